#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "assembler/LineSource.h"

// A whole source file as the assembler's line source, split as
// SplitSourceLines does, yet kept as the one block of bytes it was read as
// (the line breaks squeezed out in place) plus one 32-bit offset per line: a
// file of empty lines costs about five bytes per byte instead of a string per
// line. Positions count every line break as two characters, as in the
// editor. Sources are limited far below 4 GB, so 32-bit offsets suffice.
class TTextLineSource final : public TLineSource {
 public:
  explicit TTextLineSource(std::string bytes);

  int LineCount() const override;
  int LineStart(int i) const override;
  int LineLength(int i) const override;
  void CopyLine(int i, char* dest) const override;

 private:
  std::string FBytes;  // the lines, one after the other, without breaks
  // Where each line starts in FBytes, then the end of the last line.
  std::vector<uint32_t> FStarts;
};
