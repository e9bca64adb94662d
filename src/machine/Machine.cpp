#include "machine/Machine.h"

#include <stdexcept>

#include "machine/CellStore.h"
#include "machine/Float8.h"
#include "machine/Instruction.h"

namespace {

constexpr int RotateRight(int byte, int count) { return ((byte << (8 - count)) & 0xFF) | (byte >> count); }

// One instruction. Fetch, then PC, then IR, then at most one write of the
// effect. Plain copies (load, store, move) carry a cell unchanged; whatever
// computes or compares works on the low eight bits of its operands, so a
// value out of range from a program file can neither index outside an array
// nor overflow.
template <class TStore>
int Step(TStore& memory, TStore& registers, TStore& sysRegs) {
  const int pc = WrapAddress(sysRegs.GetContents(PCIndex));
  const int32_t first = memory.GetContents(pc);
  const int32_t second = memory.GetContents((pc + 1) & 0xFF);
  sysRegs.SetContents(PCIndex, (pc + 2) & 0xFF);
  sysRegs.SetContents(IRIndex, InstructionWord(first, second));
  if (!IsByte(first) || !IsByte(second)) return StepInvalid;

  const int r = first & 0x0F;
  const int x = second >> 4;
  const int y = second & 0x0F;
  auto reg = [&registers](int n) { return WrapAddress(registers.GetContents(n)); };
  switch (first >> 4) {
    case 0x1: registers.SetContents(r, memory.GetContents(second)); break;
    case 0x2: registers.SetContents(r, second); break;
    case 0x3: memory.SetContents(second, registers.GetContents(r)); break;
    case 0x4: registers.SetContents(y, registers.GetContents(x)); break;
    case 0x5: registers.SetContents(r, (reg(x) + reg(y)) & 0xFF); break;
    case 0x6: registers.SetContents(r, EncodeFloat8(DecodeFloat8(reg(x)) + DecodeFloat8(reg(y)))); break;
    case 0x7: registers.SetContents(r, reg(x) | reg(y)); break;
    case 0x8: registers.SetContents(r, reg(x) & reg(y)); break;
    case 0x9: registers.SetContents(r, reg(x) ^ reg(y)); break;
    case 0xA:
      if (x != 0) return StepInvalid;
      registers.SetContents(r, RotateRight(reg(r), y & 7));
      break;
    case 0xB:
      if (reg(r) == reg(0)) sysRegs.SetContents(PCIndex, second);
      break;
    case 0xC: return first == 0xC0 && second == 0 ? StepHalt : StepInvalid;
    case 0xD:
      if (r != 0) return StepInvalid;
      registers.SetContents(x, memory.GetContents(reg(y)));
      break;
    case 0xE:
      if (r != 0) return StepInvalid;
      memory.SetContents(reg(y), registers.GetContents(x));
      break;
    case 0xF:
      if (SignedByte(reg(r)) <= SignedByte(reg(0))) sysRegs.SetContents(PCIndex, second);
      break;
    default: return StepInvalid;
  }
  return StepOk;
}

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
    result = Step(mainMemory, registers, sysRegs);
  }
  return result;
}

int TMachine::ExecuteInstruction() { return ExecuteInstructions(1); }

int TMachine::ExecuteInstructions(int count) {
  if (FArrayMemory && FArrayRegisters && FArraySysRegs)
    return Run(TArrayAccess(*FArrayMemory), TArrayAccess(*FArrayRegisters), TArrayAccess(*FArraySysRegs), count);
  return Run<TCellStore&>(FMainMemory, FRegisters, FSysRegs, count);
}
