#include "machine/FileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const char* const NotRegular = ": not a regular file";

std::string CannotOpen(const std::string& path) { return "Cannot open file " + path; }

}  // namespace

std::string FileTooLargeMessage(const std::string& path, size_t limit) {
  return "File too large: " + path + " is larger than " + std::to_string(limit >> 20) + " MB (" +
         std::to_string(limit) + " bytes)";
}

#ifdef _WIN32

bool ReadRegularFile(const std::string& path, size_t limit, bool truncate, std::string& bytes, TFileError& error) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec) {
    error = {CannotOpen(path), ec.message()};
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    error = {CannotOpen(path) + NotRegular, ""};
    return false;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    error = {CannotOpen(path), std::strerror(errno)};
    return false;
  }
  std::string content(limit + 1, '\0');
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (file.bad()) {
    error = {"Stream read error", ""};
    return false;
  }
  content.resize(static_cast<size_t>(file.gcount()));
  if (content.size() > limit) {
    if (!truncate) {
      error = {FileTooLargeMessage(path, limit), ""};
      return false;
    }
    content.resize(limit);
  }
  bytes = std::move(content);
  return true;
}

#else

bool ReadRegularFile(const std::string& path, size_t limit, bool truncate, std::string& bytes, TFileError& error) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer,
  // forever. It changes nothing for a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = {CannotOpen(path), std::strerror(errno)};
    return false;
  }
  struct stat info {};
  bool ok = false;
  if (::fstat(fd, &info) != 0) {
    error = {CannotOpen(path), std::strerror(errno)};
  } else if (S_ISDIR(info.st_mode)) {
    error = {CannotOpen(path), std::strerror(EISDIR)};
  } else if (!S_ISREG(info.st_mode)) {
    error = {CannotOpen(path) + NotRegular, ""};
  } else if (!truncate && static_cast<unsigned long long>(info.st_size) > limit) {
    error = {FileTooLargeMessage(path, limit), ""};
  } else {
    ok = true;
  }
  if (!ok) {
    ::close(fd);
    return false;
  }
  // Read to the end rather than trusting the size: a file may grow or shrink
  // while it is read, and it must still never exceed the limit.
  std::string content;
  content.reserve(std::min(static_cast<size_t>(info.st_size), limit) + 1);
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      error = {"Stream read error", std::strerror(errno)};
      return false;
    }
    if (n == 0) break;
    content.append(chunk, static_cast<size_t>(n));
    if (content.size() > limit) {
      if (!truncate) {
        ::close(fd);
        error = {FileTooLargeMessage(path, limit), ""};
        return false;
      }
      content.resize(limit);
      break;
    }
  }
  ::close(fd);
  bytes = std::move(content);
  return true;
}

#endif
