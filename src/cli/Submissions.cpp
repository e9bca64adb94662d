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

bool CollectSubmissions(const std::vector<std::string>& paths, std::vector<std::string>& submissions,
                        std::string& problem) {
  std::vector<std::string> found;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      found.push_back(path);
      continue;
    }
    const size_t before = found.size();
    fs::recursive_directory_iterator walk(path, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && walk != fs::recursive_directory_iterator(); walk.increment(ec)) {
      const std::string name = walk->path().filename().string();
      if (!name.empty() && name[0] == '.') {
        if (walk->is_directory(ec)) walk.disable_recursion_pending();
        continue;
      }
      if (IsSubmissionName(name) && walk->is_regular_file(ec)) found.push_back(walk->path().string());
    }
    if (ec) {
      problem = "Cannot read folder " + path + ": " + ec.message();
      return false;
    }
    if (found.size() == before) {
      problem = "no submissions (.asm or .prg files) in folder " + path;
      return false;
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  submissions = std::move(found);
  return true;
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

std::vector<std::string> ShardOf(const std::vector<std::string>& items, size_t index, size_t count) {
  const size_t begin = (index - 1) * items.size() / count;
  const size_t end = index * items.size() / count;
  return std::vector<std::string>(items.begin() + static_cast<std::ptrdiff_t>(begin),
                                  items.begin() + static_cast<std::ptrdiff_t>(end));
}
