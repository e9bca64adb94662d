#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "machine/Executor.h"
#include "machine/Simulator.h"

// One write of an instruction: space ('M' memory, 'R' registers, 'S' PC/IR),
// address and new value.
struct TWrite {
  char Store;
  int Adr;
  int32_t Value;
  bool operator==(const TWrite&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TWrite& w) {
  return os << w.Store << '[' << w.Adr << "]=" << std::hex << w.Value << std::dec;
}

// A session that collects the writes of every instruction it executes, in
// order, from the trace of each step; the cells are set up by user edits.
struct TMachineFixture {
  // One space of the session, read and written as cells.
  struct TCells {
    TMachineFixture& Owner;
    TCellSpace Space;
    int32_t GetContents(int adr) const { return Owner.Session.Cell(Space, adr); }
    void SetContents(int adr, int32_t value) { Owner.Session.SetCell(Space, adr, value); }
  };
  // Executes through the session and returns StepOk, StepInvalid or StepHalt.
  struct TExecutor {
    TMachineFixture& Owner;
    int ExecuteInstruction() {
      const TStopReason reason = Owner.Session.Step();
      TStepTrace trace;
      if (Owner.Session.LastStep(trace))
        for (const TTraceWrite& w : trace.Writes)
          Owner.Writes.push_back({w.Space == csMemory ? 'M' : w.Space == csRegister ? 'R' : 'S', w.Address, w.New});
      return reason == srHalt ? StepHalt : reason == srInvalid ? StepInvalid : StepOk;
    }
    // Up to count instructions, stopping after the first that is not StepOk.
    int ExecuteInstructions(int count) {
      int result = StepOk;
      for (int i = 0; i < count && result == StepOk; ++i) result = ExecuteInstruction();
      return result;
    }
  };

  TSimulator Session;
  TCells Memory{*this, csMemory};
  TCells Registers{*this, csRegister};
  TCells SysRegs{*this, csSysReg};
  TExecutor Machine{*this};
  std::vector<TWrite> Writes;

  // Puts bytes at address (wrapping) and forgets the writes so far.
  void Poke(int address, const std::vector<int32_t>& bytes) {
    Session.EditMemory(eaCellEdit, address, bytes);
    Writes.clear();
  }
  void SetRegister(int n, int32_t value) {
    Session.SetCell(csRegister, n, value);
    Writes.clear();
  }
  void SetPC(int32_t pc) {
    Session.SetCell(csSysReg, PCIndex, pc);
    Writes.clear();
  }
  const TMemoryCells& MemoryCells() const { return Session.MemoryCells(); }
};
