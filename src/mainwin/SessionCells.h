#pragma once

#include "controls/HexGridModel.h"
#include "machine/Simulator.h"

#include <functional>

// One space of a simulator session (memory, registers or PC/IR) as the cells
// of a hex grid. Reads come from the session; a write made through the grid
// is handed to OnWrite, which makes it a user edit of the session.
class TSessionCells final : public THexGridModel {
 public:
  TSessionCells(const TSimulator& session, TCellSpace space) : FSession(session), FSpace(space) {}

  std::function<void(TCellSpace space, int adr, int32_t value)> OnWrite;

  int32_t CellValue(int adr) const override { return FSession.Cell(FSpace, adr); }
  void WriteCell(int adr, int32_t value) override {
    if (OnWrite) OnWrite(FSpace, adr, value);
  }
  uint64_t Generation() const override { return FSession.Generation(); }
  uint64_t CellGeneration(int adr) const override { return FSession.CellGeneration(FSpace, adr); }

 private:
  const TSimulator& FSession;
  TCellSpace FSpace;
};
