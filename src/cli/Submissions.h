#pragma once

#include <string>
#include <vector>

// The submissions named on the command line: a file is taken as it is (also
// when it is missing, so that it is reported as a failed submission and not
// silently skipped); a folder gives every .asm and .prg file below it (any
// case, hidden names skipped). The list is sorted byte by byte and without
// duplicates, so every machine that shards it sees the same order. Returns
// false with a message for a folder that holds no submission.
bool CollectSubmissions(const std::vector<std::string>& paths, std::vector<std::string>& submissions,
                        std::string& problem);

// Reads "I/N" (1 <= I <= N). Returns false with a message otherwise.
bool ParseShard(const std::string& text, size_t& index, size_t& count, std::string& problem);

// The index-th (1-based) of count parts of items that differ in size by at
// most one, in order: items [(index-1)*size/count, index*size/count).
std::vector<std::string> ShardOf(const std::vector<std::string>& items, size_t index, size_t count);
