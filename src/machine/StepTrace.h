#pragma once

#include <cstdint>
#include <vector>

// Where a cell of the machine lives.
enum TCellSpace : uint8_t {
  csNone,
  csMemory,    // 256 cells
  csRegister,  // R0..RF
  csSysReg,    // PC (0) and IR (1)
};

// One write of an instruction, with the value before and after.
struct TTraceWrite {
  TCellSpace Space = csNone;
  int Address = 0;
  int32_t Old = 0;
  int32_t New = 0;
  bool operator==(const TTraceWrite&) const = default;
};

// What one executed instruction did, for a trace: where it was fetched, the
// two cells it was made of, its writes in order (PC, IR, then at most one
// effect, which may be a second write of PC) and the byte it put on the
// output port, if any.
struct TStepTrace {
  int Address = 0;
  int32_t First = 0;
  int32_t Second = 0;
  std::vector<TTraceWrite> Writes;
  bool HasOutput = false;
  uint8_t Output = 0;
};
