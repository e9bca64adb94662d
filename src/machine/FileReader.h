#pragma once

#include <cstddef>
#include <string>

// Why a file could not be read. Message is what the windows show; Reason is
// the system's explanation ("No such file or directory"), which the
// command-line tool adds after a colon. Reason is empty when Message already
// says all.
struct TFileError {
  std::string Message;
  std::string Reason;

  // "Message: Reason", or Message alone.
  std::string Full() const { return Reason.empty() ? Message : Message + ": " + Reason; }
};

// A source for a 256-cell machine needs a few kilobytes; anything near this
// size is a mistake (a log, an image, /dev/zero behind a link) and would only
// cost the memory and patience of the student.
constexpr size_t MaxSourceFileSize = size_t{16} << 20;

// The message for a file larger than limit bytes: "File too large: PATH is
// larger than 16 MB (16777216 bytes)".
std::string FileTooLargeMessage(const std::string& path, size_t limit);

// Reads at most limit bytes of the regular file at path into bytes. Never
// blocks on a FIFO and never reads a device: what is not a regular file is
// refused ("Cannot open file PATH: not a regular file"), as is a file larger
// than limit (FileTooLargeMessage). With truncate set, a longer file is read
// up to limit bytes instead of being refused. Other failures: "Cannot open
// file PATH" with the system's reason, "Stream read error".
bool ReadRegularFile(const std::string& path, size_t limit, bool truncate, std::string& bytes, TFileError& error);
