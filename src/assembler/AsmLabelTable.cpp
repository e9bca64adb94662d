#include "assembler/AsmLabelTable.h"

#include <algorithm>
#include <utility>

namespace {

// FNV-1a: labels are short and similar (L1, L2, ...), which it spreads well.
size_t HashName(const std::string& name) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash ^ (hash >> 32));
}

}  // namespace

// The slot holding name, or the free slot where it would go. The index is
// never more than half full, so the probe always ends.
size_t TAsmLabelTable::Slot(const std::string& name) const {
  const size_t mask = FSlots.size() - 1;
  size_t slot = HashName(name) & mask;
  while (FSlots[slot] != NoLabel && FLabels[FSlots[slot]].Name != name) slot = (slot + 1) & mask;
  return slot;
}

TAsmLabel* TAsmLabelTable::Find(const std::string& name) {
  if (FSlots.empty()) return nullptr;
  const uint32_t index = FSlots[Slot(name)];
  return index == NoLabel ? nullptr : &FLabels[index];
}

void TAsmLabelTable::Add(TAsmLabel label) {
  FLabels.push_back(std::move(label));
  if (FLabels.size() * 2 > FSlots.size()) {
    // Grown by doubling, every label placed again: amortised constant time.
    FSlots.assign(std::max<size_t>(64, FSlots.size() * 2), NoLabel);
    for (size_t i = 0; i < FLabels.size(); ++i) FSlots[Slot(FLabels[i].Name)] = static_cast<uint32_t>(i);
  } else {
    FSlots[Slot(FLabels.back().Name)] = static_cast<uint32_t>(FLabels.size() - 1);
  }
}

void TAsmLabelTable::Clear() {
  FLabels.clear();
  FSlots.clear();
}
