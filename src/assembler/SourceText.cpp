#include "assembler/SourceText.h"

std::vector<std::string> SplitSourceLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    const char c = bytes[pos];
    if (c != '\r' && c != '\n') {
      ++pos;
      continue;
    }
    lines.emplace_back(bytes.substr(start, pos - start));
    pos += (c == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') ? 2u : 1u;
    start = pos;
  }
  if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
  return lines;
}

size_t CountSourceLines(std::string_view bytes) {
  size_t lines = 0;
  for (size_t pos = 0; pos < bytes.size(); ++pos) {
    const char c = bytes[pos];
    // CR LF is one break: its LF counts it.
    if (c == '\n' || (c == '\r' && (pos + 1 == bytes.size() || bytes[pos + 1] != '\n'))) ++lines;
  }
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') ++lines;
  return lines;
}
