#include "machine/MemoryClipboard.h"

#include <algorithm>

std::vector<int32_t> CopyCells(const TMemoryCells& memory, int lo, int hi) {
  if (lo < 0 || hi < 0) return {};
  const int last = std::min(hi, MemorySize - 1);
  std::vector<int32_t> values;
  for (int adr = lo; adr <= last; ++adr) values.push_back(memory[static_cast<size_t>(adr)]);
  return values;
}

std::string PasteEdits(const std::vector<int32_t>& clipboard, int lo, int hi, std::vector<TCellEdit>& edits) {
  edits.clear();
  if (clipboard.empty()) return NothingToPasteWords;
  if (lo < 0 || lo != hi) return NoPasteDestinationWords;
  for (size_t i = 0; i < clipboard.size() && lo + static_cast<int>(i) < MemorySize; ++i)
    edits.push_back({csMemory, lo + static_cast<int>(i), clipboard[i]});
  return "";
}
