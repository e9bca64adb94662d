#include "cli/Submissions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool IsSubmissionName(const std::string& name) {
  if (name.size() < 5 || name[0] == '.') return false;
  std::string extension = name.substr(name.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".asm" || extension == ".prg";
}

bool ParseCount(const std::string& text, size_t& value) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  value = std::stoul(text);
  return true;
}

}  // namespace

namespace {

bool Inside(const fs::path& path, const fs::path& root) {
  auto r = root.begin();
  auto p = path.begin();
  for (; r != root.end(); ++r, ++p)
    if (p == path.end() || *p != *r) return false;
  return true;
}

class TScan {
 public:
  TScan(std::vector<TSubmissionEntry>& found, std::vector<TSkippedEntry>& skipped) : FFound(found), FSkipped(skipped) {}

  // Scans folder (shown as shown); depth 0 is a folder on the command line.
  void Folder(const fs::path& folder, const fs::path& real, int depth) {
    const size_t before = FFound.size();
    std::error_code ec;
    fs::directory_iterator walk(folder, ec);
    std::vector<fs::directory_entry> entries;
    for (; !ec && walk != fs::directory_iterator(); walk.increment(ec)) entries.push_back(*walk);
    if (ec) {
      Student(folder, depth, "Cannot read folder " + folder.string() + ": " + ec.message());
      return;
    }
    std::sort(entries.begin(), entries.end());
    for (const fs::directory_entry& entry : entries) Entry(entry.path(), real, depth);
    if (FFound.size() == before)
      Student(folder, depth, "no submissions (.asm or .prg files) in folder " + folder.string());
  }

  fs::path Root;

 private:
  // A folder that should have held a student's work fails; deeper ones are
  // only noted.
  void Student(const fs::path& folder, int depth, const std::string& problem) {
    if (depth <= 1)
      FFound.push_back({folder.string(), problem});
    else
      FSkipped.push_back({folder.string(), problem});
  }

  void Entry(const fs::path& path, const fs::path& parentReal, int depth) {
    const std::string name = path.filename().string();
    std::error_code ec;
    if (!name.empty() && name[0] == '.') return Skip(path, "a hidden name");
    const fs::file_status link = fs::symlink_status(path, ec);
    fs::path real = parentReal / path.filename();
    if (fs::is_symlink(link)) {
      real = fs::canonical(path, ec);
      if (ec) return Skip(path, "a link to nothing");
      if (!Inside(real, Root)) return Skip(path, "a link out of the folder");
      if (fs::is_directory(real, ec)) {
        if (Inside(parentReal, real)) return Skip(path, "a link back up to a folder that holds it (a loop)");
        return Skip(path, "a link to a folder that is scanned where it is");
      }
    }
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status)) {
      // x.asm/ is most often an unpacked archive or a slip; graded as a
      // folder it would pass for a source.
      if (IsSubmissionName(name)) return Skip(path, "a folder named like a source or program file, not scanned");
      return Folder(path, real, depth + 1);
    }
    if (fs::is_fifo(status)) return Skip(path, "a FIFO");
    if (fs::is_block_file(status) || fs::is_character_file(status)) return Skip(path, "a device");
    if (fs::is_socket(status)) return Skip(path, "a socket");
    if (!fs::is_regular_file(status)) return Skip(path, "not a regular file");
    if (!IsSubmissionName(name)) return Skip(path, "not a .asm or .prg file");
    FFound.push_back({path.string(), ""});
  }

  void Skip(const fs::path& path, const std::string& reason) { FSkipped.push_back({path.string(), reason}); }

  std::vector<TSubmissionEntry>& FFound;
  std::vector<TSkippedEntry>& FSkipped;
};

}  // namespace

void CollectSubmissions(const std::vector<std::string>& paths, std::vector<TSubmissionEntry>& submissions,
                        std::vector<TSkippedEntry>& skipped) {
  std::vector<TSubmissionEntry> found;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      found.push_back({path, ""});
      continue;
    }
    TScan scan(found, skipped);
    scan.Root = fs::canonical(path, ec);
    if (ec) scan.Root = fs::absolute(path, ec);
    scan.Folder(path, scan.Root, 0);
  }
  std::sort(found.begin(), found.end(),
            [](const TSubmissionEntry& a, const TSubmissionEntry& b) { return a.Path < b.Path; });
  found.erase(std::unique(found.begin(), found.end(),
                          [](const TSubmissionEntry& a, const TSubmissionEntry& b) { return a.Path == b.Path; }),
              found.end());
  submissions = std::move(found);
}

bool ParseShard(const std::string& text, size_t& index, size_t& count, std::string& problem) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos || !ParseCount(text.substr(0, slash), index) ||
      !ParseCount(text.substr(slash + 1), count) || count == 0 || index == 0 || index > count) {
    problem = "--shard needs I/N with 1 <= I <= N, not " + text;
    return false;
  }
  return true;
}
