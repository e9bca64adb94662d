#pragma once

#include <string>
#include <string_view>

// Replaces the file at path with bytes: written to a temporary file beside it
// and renamed over it, so a failed write never leaves a half-written file.
// The temporary file has an unpredictable name and is created exclusively,
// never through a symlink, so nobody who can write the folder can redirect
// it. A symlinked path is written through to the file it names; the file's
// mode (and, where allowed, its owner) is kept. A file with several hard
// links is rewritten in place so that every name sees the new bytes. A path
// that exists and is not a regular file (a device, a FIFO, a terminal) is
// written directly, never replaced. Returns "" on success, else the message
// to show with the system's reason: "Cannot create file PATH: REASON" or
// "Stream write error: PATH: REASON".
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);
