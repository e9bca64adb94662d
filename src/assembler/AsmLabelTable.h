#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One label; Refs are the operand cells still waiting for its value.
struct TAsmLabel {
  std::string Name;
  uint8_t Value = 0;
  std::vector<int> Refs;
  int Line = 0;    // definition, or first use while only used
  int Column = 0;  // EndPos of that token
};

// The labels of one assembly, in the order first met (the order the reports
// follow), found by name through a hash index: a lookup costs the same with
// 10 labels or 100,000. Names are case-sensitive: Loop and loop differ.
class TAsmLabelTable {
 public:
  TAsmLabel* Find(const std::string& name);
  // The name must not be in the table yet.
  void Add(TAsmLabel label);
  void Clear();
  const std::vector<TAsmLabel>& Labels() const { return FLabels; }

 private:
  size_t Slot(const std::string& name) const;

  std::vector<TAsmLabel> FLabels;
  // Open addressing into FLabels; NoLabel marks a free slot.
  static constexpr uint32_t NoLabel = UINT32_MAX;
  std::vector<uint32_t> FSlots;
};
