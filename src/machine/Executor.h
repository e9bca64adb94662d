#pragma once

#include <cstdint>

#include "machine/Float8.h"
#include "machine/Instruction.h"
#include "machine/InstructionSet.h"

// Results of executing one instruction.
constexpr int StepOk = 0;
constexpr int StepInvalid = -1;
constexpr int StepHalt = -2;

// The rules of one instruction, shared by every executor. TAccess supplies
// the state: PC(), Memory(adr), Register(n) read; Fetched(pc, ir) writes PC
// and then IR; SetRegister, SetMemory and Jump (a write of PC) are the
// effect. It is a template so that each executor gets its accesses inlined:
// no virtual call and no listener unless the access type itself has one.
//
// Fetch, then PC, then IR, then at most one write of the effect. Plain
// copies (load, store, move) carry a cell unchanged; whatever computes or
// compares works on the low eight bits of its operands, so a value out of
// range from a program file can neither index outside an array nor overflow.
template <class TAccess>
inline int ExecuteStep(TAccess& state) {
  const int pc = WrapAddress(state.PC());
  const int32_t first = state.Memory(pc);
  const int32_t second = state.Memory((pc + 1) & 0xFF);
  state.Fetched((pc + 2) & 0xFF, InstructionWord(first, second));
  if (!IsByte(first) || !IsByte(second)) return StepInvalid;

  const auto word = static_cast<uint16_t>(first << 8 | second);
  const int r = first & 0x0F;
  const int x = second >> 4;
  const int y = second & 0x0F;
  auto reg = [&state](int n) { return WrapAddress(state.Register(n)); };
  auto rotateRight = [](int byte, int count) { return ((byte << (8 - count)) & 0xFF) | (byte >> count); };
  switch (static_cast<TOpcode>(first >> 4)) {
    case opLoadDirect: state.SetRegister(r, state.Memory(second)); break;
    case opLoadImmediate: state.SetRegister(r, second); break;
    case opStoreDirect: state.SetMemory(second, state.Register(r)); break;
    case opMove: state.SetRegister(y, state.Register(x)); break;
    case opAddi: state.SetRegister(r, (reg(x) + reg(y)) & 0xFF); break;
    case opAddf: state.SetRegister(r, EncodeFloat8(DecodeFloat8(reg(x)) + DecodeFloat8(reg(y)))); break;
    case opOr: state.SetRegister(r, reg(x) | reg(y)); break;
    case opAnd: state.SetRegister(r, reg(x) & reg(y)); break;
    case opXor: state.SetRegister(r, reg(x) ^ reg(y)); break;
    case opRor:
      if (!InstructionInfo(opRor).Accepts(word)) return StepInvalid;
      state.SetRegister(r, rotateRight(reg(r), y & 7));
      break;
    case opJmpEQ:
      if (reg(r) == reg(0)) state.Jump(second);
      break;
    case opHalt: return InstructionInfo(opHalt).Accepts(word) ? StepHalt : StepInvalid;
    case opLoadIndirect:
      if (!InstructionInfo(opLoadIndirect).Accepts(word)) return StepInvalid;
      state.SetRegister(x, state.Memory(reg(y)));
      break;
    case opStoreIndirect:
      if (!InstructionInfo(opStoreIndirect).Accepts(word)) return StepInvalid;
      state.SetMemory(reg(y), state.Register(x));
      break;
    case opJmpLE:
      if (SignedByte(reg(r)) <= SignedByte(reg(0))) state.Jump(second);
      break;
    case opNone: return StepInvalid;
  }
  return StepOk;
}
