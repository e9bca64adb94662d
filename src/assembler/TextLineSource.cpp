#include "assembler/TextLineSource.h"

#include "assembler/SourceText.h"

#include <algorithm>
#include <utility>

TTextLineSource::TTextLineSource(std::string bytes) : FBytes(std::move(bytes)) {
  // Counted first, so the offsets take exactly the memory they need.
  FStarts.reserve(CountSourceLines(FBytes) + 1);
  // The breaks are squeezed out in place: the text only ever moves left.
  size_t write = 0;
  size_t pos = 0;
  FStarts.push_back(0);
  while (pos < FBytes.size()) {
    const char c = FBytes[pos];
    if (c != '\r' && c != '\n') {
      FBytes[write++] = c;
      ++pos;
      continue;
    }
    pos += (c == '\r' && pos + 1 < FBytes.size() && FBytes[pos + 1] == '\n') ? 2u : 1u;
    FStarts.push_back(static_cast<uint32_t>(write));
  }
  // Text after the last break is a line too; a break at the very end does
  // not start another one.
  if (write > FStarts.back()) FStarts.push_back(static_cast<uint32_t>(write));
  FBytes.resize(write);
}

int TTextLineSource::LineCount() const { return static_cast<int>(FStarts.size() - 1); }

int TTextLineSource::LineStart(int i) const { return static_cast<int>(FStarts.at(static_cast<size_t>(i))) + 2 * i; }

int TTextLineSource::LineLength(int i) const {
  const auto line = static_cast<size_t>(i);
  return static_cast<int>(FStarts.at(line + 1) - FStarts.at(line));
}

void TTextLineSource::CopyLine(int i, char* dest) const {
  const auto line = static_cast<size_t>(i);
  std::copy(FBytes.data() + FStarts.at(line), FBytes.data() + FStarts.at(line + 1), dest);
}
