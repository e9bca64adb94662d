#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "machine/Instruction.h"

// What put a byte of an assembled image there.
enum TMapKind : uint8_t {
  mkNone,        // nothing was assembled to this address
  mkCodeFirst,   // the first byte of an instruction
  mkCodeSecond,  // the second byte of an instruction
  mkData,        // a byte of a db directive
};

// One address of the image: the source line (1-based; 0 when unmapped) and
// the columns (0-based, end exclusive) of the instruction or data item, and
// the value assembled there, which tells later whether memory still holds it.
struct TMapCell {
  int Line = 0;
  int StartColumn = 0;
  int EndColumn = 0;
  TMapKind Kind = mkNone;
  uint8_t Value = 0;
  bool operator==(const TMapCell&) const = default;
};

// A label of the source: its name, the address it stands for and the line
// (1-based) that defines it.
struct TMapLabel {
  std::string Name;
  int Address = 0;
  int Line = 0;
  bool operator==(const TMapLabel&) const = default;
};

// The program map of one assembly: for each of the 256 addresses the line
// that emitted its byte, and the label table. The image itself is not part
// of it: images and program files stay as they are, the map goes beside them.
class TProgramMap {
 public:
  void Clear();
  // True when no address is mapped and no label is known.
  bool Empty() const;

  void SetCell(int address, const TMapCell& cell) { FCells[Slot(address)] = cell; }
  const TMapCell& Cell(int address) const { return FCells[Slot(address)]; }
  const std::array<TMapCell, MemorySize>& Cells() const { return FCells; }

  // Labels in the order the source defines them.
  void AddLabel(TMapLabel label) { FLabels.push_back(std::move(label)); }
  // Stable: labels of one line keep the order they were added in.
  void SortLabelsByLine();
  // Sets only the value of a mapped cell (a forward label use, patched later).
  void SetValue(int address, uint8_t value) { FCells[Slot(address)].Value = value; }
  const std::vector<TMapLabel>& Labels() const { return FLabels; }
  // The first label defined for address, or nullptr.
  const TMapLabel* LabelAt(int address) const;
  // Every label of address, in the order defined.
  std::vector<const TMapLabel*> LabelsAt(int address) const;

  // The address of the first instruction byte emitted by line (1-based), or
  // -1 when the line emitted no instruction.
  int FirstCodeAddress(int line) const;
  // The first line at or after line that emitted an instruction; 0 when none.
  int CodeLineFrom(int line) const;
  // The highest line that emitted anything (0 for an empty map).
  int LastLine() const;

  // The map as one JSON document (orvik-cli assemble --map):
  // {"cells":[{"address":0,"line":3,"start":2,"end":12,"kind":"code"},...],
  //  "labels":[{"name":"Loop","address":2,"line":4},...]}
  // Only mapped addresses are listed, ascending; kind is "code" (first
  // byte), "operand" (second byte) or "data".
  std::string ToJson() const;

  bool operator==(const TProgramMap&) const = default;

 private:
  static size_t Slot(int address) { return static_cast<size_t>(address & (MemorySize - 1)); }

  std::array<TMapCell, MemorySize> FCells{};
  std::vector<TMapLabel> FLabels;
};

// The JSON word of a kind: "code", "operand", "data" (or "" for mkNone).
const char* MapKindName(TMapKind kind);
