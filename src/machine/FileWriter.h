#pragma once

#include <string>
#include <string_view>

// Replaces the file at path with bytes: written to a temporary file beside it
// and renamed over it, so a failed write never leaves a half-written file.
// Returns "" on success, else the message to show: "Cannot create file PATH"
// or "Stream write error".
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);
