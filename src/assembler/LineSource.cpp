#include "assembler/LineSource.h"

#include <algorithm>
#include <utility>

TStringListSource::TStringListSource(std::vector<std::string> lines) : FLines(std::move(lines)) {
  FStarts.reserve(FLines.size());
  int start = 0;
  for (const std::string& line : FLines) {
    FStarts.push_back(start);
    start += static_cast<int>(line.size()) + 2;
  }
}

int TStringListSource::LineCount() const { return static_cast<int>(FLines.size()); }

int TStringListSource::LineStart(int i) const { return FStarts.at(static_cast<size_t>(i)); }

int TStringListSource::LineLength(int i) const { return static_cast<int>(FLines.at(static_cast<size_t>(i)).size()); }

void TStringListSource::CopyLine(int i, char* dest) const {
  const std::string& line = FLines.at(static_cast<size_t>(i));
  std::copy(line.begin(), line.end(), dest);
}
