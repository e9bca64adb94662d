#pragma once

#include <string>
#include <vector>

// One submission found on the command line. Problem is set for a student's
// folder that holds nothing to grade or cannot be read: it fails, counted in
// every report, instead of vanishing or stopping the class.
struct TSubmissionEntry {
  std::string Path;
  std::string Problem;
};

// An entry of a scanned folder that is not graded, and why.
struct TSkippedEntry {
  std::string Path;
  std::string Reason;
};

// The submissions named on the command line: a file is taken as it is (also
// when it is missing, so that it is reported as a failed submission and not
// silently skipped); a folder gives every .asm and .prg file below it (any
// case). A folder named on the line, and each folder right inside it (the
// folder-per-student layout of a learning platform), is one failed
// submission when it holds no submission or cannot be read. Every other
// entry passed over (hidden names, other extensions, FIFOs, devices, links
// out of the folder or back up into it, folders named like a source) is in
// skipped with its reason. The list is sorted byte by byte and without
// duplicates, so every machine that shards it sees the same order.
void CollectSubmissions(const std::vector<std::string>& paths, std::vector<TSubmissionEntry>& submissions,
                        std::vector<TSkippedEntry>& skipped);

// Reads "I/N" (1 <= I <= N). Returns false with a message otherwise.
bool ParseShard(const std::string& text, size_t& index, size_t& count, std::string& problem);

// The index-th (1-based) of count parts of items that differ in size by at
// most one, in order: items [(index-1)*size/count, index*size/count).
template <typename T>
std::vector<T> ShardOf(const std::vector<T>& items, size_t index, size_t count) {
  const size_t begin = (index - 1) * items.size() / count;
  const size_t end = index * items.size() / count;
  return std::vector<T>(items.begin() + static_cast<std::ptrdiff_t>(begin),
                        items.begin() + static_cast<std::ptrdiff_t>(end));
}
