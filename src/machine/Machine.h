#pragma once

#include "machine/Executor.h"

class TCellStore;
class TCellArray;

// The executor of the machine. The state lives in three cell stores owned by
// the caller (the main window's grids, or plain arrays in the command-line
// tool and the tests); every write goes through them and so notifies.
class TMachine {
 public:
  // Throws std::invalid_argument unless the stores hold 256, 16 and 2 cells.
  TMachine(TCellStore& mainMemory, TCellStore& registers, TCellStore& sysRegs);

  // Executes the instruction at PC and returns StepOk, StepInvalid or StepHalt.
  int ExecuteInstruction();
  // Up to count instructions, stopping after the first that is not StepOk;
  // returns the last result, StepOk when count <= 0.
  int ExecuteInstructions(int count);
  // True exactly while an instruction executes, so that a listener can tell
  // the program's own writes from the user's.
  bool Executing() const { return FExecuting; }

  TCellStore& MainMemory() const { return FMainMemory; }
  TCellStore& Registers() const { return FRegisters; }
  TCellStore& SysRegs() const { return FSysRegs; }

 private:
  template <class TStore>
  int Run(TStore mainMemory, TStore registers, TStore sysRegs, int count);

  TCellStore& FMainMemory;
  TCellStore& FRegisters;
  TCellStore& FSysRegs;
  // Set when all three stores are plain arrays: the executor is then
  // instantiated for them and the compiler inlines every access.
  TCellArray* FArrayMemory = nullptr;
  TCellArray* FArrayRegisters = nullptr;
  TCellArray* FArraySysRegs = nullptr;
  bool FExecuting = false;
};
