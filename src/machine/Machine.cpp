#include "machine/Machine.h"

#include <stdexcept>
#include <type_traits>

#include "machine/CellStore.h"
#include "machine/Executor.h"
#include "machine/Instruction.h"

namespace {

// The executor's view of three cell stores: every write goes through the
// store and so notifies its listeners.
template <class TStore>
class TStoreState {
 public:
  TStoreState(TStore& memory, TStore& registers, TStore& sysRegs)
      : FMemory(memory), FRegisters(registers), FSysRegs(sysRegs) {}
  int32_t PC() const { return FSysRegs.GetContents(PCIndex); }
  int32_t Memory(int adr) const { return FMemory.GetContents(adr); }
  int32_t Register(int n) const { return FRegisters.GetContents(n); }
  void Fetched(int32_t pc, int32_t ir) {
    FSysRegs.SetContents(PCIndex, pc);
    FSysRegs.SetContents(IRIndex, ir);
  }
  void SetRegister(int n, int32_t value) { FRegisters.SetContents(n, value); }
  void SetMemory(int adr, int32_t value) { FMemory.SetContents(adr, value); }
  void Jump(int target) { FSysRegs.SetContents(PCIndex, target); }

 private:
  TStore& FMemory;
  TStore& FRegisters;
  TStore& FSysRegs;
};

// A plain array seen by the executor: the constructor has checked the sizes
// and every address is reduced to its array, so the bounds checks of the
// general interface can go (they cost about a sixth of the speed).
class TArrayAccess {
 public:
  explicit TArrayAccess(TCellArray& cells) : FCells(cells) {}
  int32_t GetContents(int adr) const { return FCells.GetUnchecked(adr); }
  void SetContents(int adr, int32_t value) { FCells.SetUnchecked(adr, value); }

 private:
  TCellArray& FCells;
};

// Clears the flag also when a listener throws out of a write.
class TExecutingScope {
 public:
  explicit TExecutingScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TExecutingScope() { FFlag = false; }
  TExecutingScope(const TExecutingScope&) = delete;
  TExecutingScope& operator=(const TExecutingScope&) = delete;

 private:
  bool& FFlag;
};

}  // namespace

TMachine::TMachine(TCellStore& mainMemory, TCellStore& registers, TCellStore& sysRegs)
    : FMainMemory(mainMemory), FRegisters(registers), FSysRegs(sysRegs) {
  if (mainMemory.Count() != MemorySize || registers.Count() != RegisterCount || sysRegs.Count() != SysRegCount)
    throw std::invalid_argument("TMachine: the stores must hold 256, 16 and 2 cells");
  FArrayMemory = dynamic_cast<TCellArray*>(&mainMemory);
  FArrayRegisters = dynamic_cast<TCellArray*>(&registers);
  FArraySysRegs = dynamic_cast<TCellArray*>(&sysRegs);
}

template <class TStore>
int TMachine::Run(TStore mainMemory, TStore registers, TStore sysRegs, int count) {
  int result = StepOk;
  for (int i = 0; i < count && result == StepOk; ++i) {
    TExecutingScope scope(FExecuting);
    TStoreState<std::remove_reference_t<TStore>> state(mainMemory, registers, sysRegs);
    result = ExecuteStep(state);
  }
  return result;
}

int TMachine::ExecuteInstruction() { return ExecuteInstructions(1); }

int TMachine::ExecuteInstructions(int count) {
  if (FArrayMemory && FArrayRegisters && FArraySysRegs)
    return Run(TArrayAccess(*FArrayMemory), TArrayAccess(*FArrayRegisters), TArrayAccess(*FArraySysRegs), count);
  return Run<TCellStore&>(FMainMemory, FRegisters, FSysRegs, count);
}
