#include "machine/FileWriter.h"

#include <cerrno>
#include <cstring>
#include <random>

#ifdef _WIN32
#include <filesystem>
#include <fstream>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace {

const char* const WriteError = "Stream write error";

#ifdef _WIN32

// Without POSIX calls: a temporary name no one can guess, created only when
// it does not exist yet, then renamed over the target.
std::string WriteReplacing(const std::string& path, std::string_view bytes, const std::string& cannotCreate) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return cannotCreate;
  const std::filesystem::path target(path);
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path temporary =
        target.parent_path() / (".orvik-" + std::to_string(random()) + std::to_string(random()) + ".tmp");
    if (std::filesystem::exists(temporary, ec)) continue;
    {
      std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
      if (!file) return cannotCreate;
      file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      file.flush();
      if (!file) {
        file.close();
        std::filesystem::remove(temporary, ec);
        return WriteError;
      }
    }
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
      std::filesystem::remove(temporary, ec);
      return cannotCreate;
    }
    return "";
  }
  return cannotCreate;
}

#else

// Writes all of bytes, retrying after signals and short writes.
bool WriteAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names, following a chain of symlinks also when its
// last link dangles (the file is then created where the link points, as an
// editor saving through a link does). Returns false for a loop.
bool FollowLinks(std::string path, std::string& target) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      // An existing file is named by its canonical path, so that a link
      // into another folder puts the temporary file in that folder.
      char resolved[PATH_MAX];
      target = ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
      return true;
    }
    std::string link(static_cast<size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
    const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
    if (length <= 0) return false;
    link.resize(static_cast<size_t>(length));
    path = link.front() == '/' ? link : DirectoryOf(path) + "/" + link;
  }
  return false;
}

// A device, FIFO or terminal is the destination itself: replacing it by a
// regular file would break the system for everyone.
std::string WriteDirectly(const std::string& path, std::string_view bytes, const std::string& cannotCreate) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return cannotCreate;
  const bool written = WriteAll(fd, bytes);
  const bool closed = ::close(fd) == 0;
  return written && closed ? "" : WriteError;
}

// A file with several names keeps its inode, so every name sees the new
// bytes. The bytes are first written to a temporary file: when that fails
// (a full disk) the old file is still untouched.
std::string RewriteInPlace(const std::string& target, std::string_view bytes, const std::string& cannotCreate) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return cannotCreate;
  bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok ? "" : WriteError;
}

// Creates a temporary file beside target: a random name, exclusive create,
// never through a symlink. The name stays short, so a target name near the
// system's limit still has room for it.
int CreateTemporary(const std::string& folder, std::string& temporary) {
  static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = ".orvik-";
    for (int i = 0; i < 12; ++i) name += Letters[random() % (sizeof Letters - 1)];
    temporary = folder + "/" + name + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::string WriteReplacing(const std::string& path, std::string_view bytes, const std::string& cannotCreate) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return cannotCreate;
    if (!S_ISREG(info.st_mode)) return WriteDirectly(path, bytes, cannotCreate);
  }
  std::string target;
  if (!FollowLinks(path, target)) return cannotCreate;
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

  std::string temporary;
  const int fd = CreateTemporary(DirectoryOf(target), temporary);
  if (fd < 0) return cannotCreate;
  bool ok = true;
  if (exists) {
    // The owner can be kept only by a privileged writer; it is not worth
    // failing the save for.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok) {
    ::unlink(temporary.c_str());
    return WriteError;
  }
  if (exists && old.st_nlink > 1) {
    const std::string result = RewriteInPlace(target, bytes, cannotCreate);
    ::unlink(temporary.c_str());
    return result;
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return cannotCreate;
  }
  return "";
}

#endif

}  // namespace

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string cannotCreate = "Cannot create file " + path;
  if (path.empty()) return cannotCreate;
  // The failing call leaves its reason in errno; the clean-up after it (a
  // close, removing the temporary file) succeeds and leaves errno alone.
  errno = 0;
  std::string problem = WriteReplacing(path, bytes, cannotCreate);
  const int reason = errno;
  if (problem.empty()) return problem;
  // "Stream write error" alone would not say which file: it gets the name.
  if (problem == WriteError) problem += ": " + path;
  if (reason != 0) problem += std::string(": ") + std::strerror(reason);
  return problem;
}
