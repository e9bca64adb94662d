#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "machine/Float8.h"
#include "machine/Instruction.h"
#include "machine/InstructionSet.h"

// Results of executing one instruction.
constexpr int StepOk = 0;
constexpr int StepInvalid = -1;
constexpr int StepHalt = -2;

// An instruction as fetched, checked once: the opcode (or why it cannot run)
// and its operands taken apart. A session keeps one per address, so that a
// run loop does not take the same bytes apart again on every pass; what is
// done with them is ExecuteDecoded below, the same for every executor.
enum TDecodedKind : uint8_t {
  dkUndecoded,  // nothing decoded at this address yet (or its bytes changed)
  dkInvalid,    // a byte outside 0..255, an unused opcode or a bit pattern the opcode rejects
  dkHalt,
  dkLoadDirect,
  dkLoadImmediate,
  dkStoreDirect,
  dkMove,
  dkAddi,
  dkAddf,
  dkOr,
  dkAnd,
  dkXor,
  dkRor,
  dkJmpEQ,
  dkLoadIndirect,
  dkStoreIndirect,
  dkJmpLE,
  // jmpEQ or jmpLE comparing R0 with itself, the machine's idiom for a plain
  // jump: always taken, so the run loop need not compare.
  dkJump,
};

// Every kind, in the order of their values, for tables indexed by kind.
// clang-format off
#define ORVIK_DECODED_KINDS(X) X(dkUndecoded) X(dkInvalid) X(dkHalt) X(dkLoadDirect) X(dkLoadImmediate) X(dkStoreDirect) \
  X(dkMove) X(dkAddi) X(dkAddf) X(dkOr) X(dkAnd) X(dkXor) X(dkRor) X(dkJmpEQ) X(dkLoadIndirect) X(dkStoreIndirect) X(dkJmpLE) X(dkJump)
// clang-format on

namespace DecodedKinds {
#define ORVIK_KIND_ENTRY(kind) kind,
constexpr TDecodedKind All[] = {ORVIK_DECODED_KINDS(ORVIK_KIND_ENTRY)};
#undef ORVIK_KIND_ENTRY
constexpr bool InOrder() {
  for (size_t i = 0; i < std::size(All); ++i)
    if (All[i] != i) return false;
  return std::size(All) == dkJump + 1;
}
static_assert(InOrder(), "ORVIK_DECODED_KINDS lists every kind in the order of its value");
}  // namespace DecodedKinds

struct TDecoded {
  int32_t Word = 0;  // what IR receives; the second byte is its low byte when valid
  TDecodedKind Kind = dkUndecoded;
  uint8_t R = 0;  // first & 0x0F
  uint8_t X = 0;  // second >> 4
  uint8_t Y = 0;  // second & 0x0F
  uint8_t Second() const { return static_cast<uint8_t>(Word); }
};
static_assert(sizeof(TDecoded) == 8);

// Which instructions exist, and how to take one apart. Fixed masks (ror,
// halt, the indirect forms) are checked here, so that executing needs no
// test of its own.
inline TDecoded DecodeInstruction(int32_t first, int32_t second) {
  TDecoded decoded;
  decoded.Word = InstructionWord(first, second);
  decoded.Kind = dkInvalid;
  if (!IsByte(first) || !IsByte(second)) return decoded;
  decoded.R = static_cast<uint8_t>(first & 0x0F);
  decoded.X = static_cast<uint8_t>(second >> 4);
  decoded.Y = static_cast<uint8_t>(second & 0x0F);
  const auto opcode = static_cast<TOpcode>(first >> 4);
  if (!InstructionInfo(opcode).Accepts(static_cast<uint16_t>(decoded.Word))) return decoded;
  switch (opcode) {
    case opLoadDirect: decoded.Kind = dkLoadDirect; break;
    case opLoadImmediate: decoded.Kind = dkLoadImmediate; break;
    case opStoreDirect: decoded.Kind = dkStoreDirect; break;
    case opMove: decoded.Kind = dkMove; break;
    case opAddi: decoded.Kind = dkAddi; break;
    case opAddf: decoded.Kind = dkAddf; break;
    case opOr: decoded.Kind = dkOr; break;
    case opAnd: decoded.Kind = dkAnd; break;
    case opXor: decoded.Kind = dkXor; break;
    case opRor: decoded.Kind = dkRor; break;
    case opJmpEQ: decoded.Kind = decoded.R == 0 ? dkJump : dkJmpEQ; break;
    case opHalt: decoded.Kind = dkHalt; break;
    case opLoadIndirect: decoded.Kind = dkLoadIndirect; break;
    case opStoreIndirect: decoded.Kind = dkStoreIndirect; break;
    case opJmpLE: decoded.Kind = decoded.R == 0 ? dkJump : dkJmpLE; break;
    case opNone: break;
  }
  return decoded;
}

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
//
// pc is the address the instruction was fetched from (0..255) and decoded
// what DecodeInstruction made of the two bytes there, of kind Kind. A run
// loop that dispatches on the kind itself calls this directly; everything
// else goes through ExecuteDecoded. Always inlined: a call per instruction
// would cost the run loop more than most instructions do.
template <TDecodedKind Kind, class TAccess>
[[gnu::always_inline]] inline int ExecuteKind(const TDecoded& decoded, int pc, TAccess& state) {
  state.Fetched((pc + 2) & 0xFF, decoded.Word);
  const int r = decoded.R;
  const int x = decoded.X;
  const int y = decoded.Y;
  const int second = decoded.Second();
  auto reg = [&state](int n) { return WrapAddress(state.Register(n)); };
  if constexpr (Kind == dkLoadDirect) {
    state.SetRegister(r, state.Memory(second));
  } else if constexpr (Kind == dkLoadImmediate) {
    state.SetRegister(r, second);
  } else if constexpr (Kind == dkStoreDirect) {
    state.SetMemory(second, state.Register(r));
  } else if constexpr (Kind == dkMove) {
    state.SetRegister(y, state.Register(x));
  } else if constexpr (Kind == dkAddi) {
    state.SetRegister(r, (reg(x) + reg(y)) & 0xFF);
  } else if constexpr (Kind == dkAddf) {
    state.SetRegister(r, EncodeFloat8(DecodeFloat8(reg(x)) + DecodeFloat8(reg(y))));
  } else if constexpr (Kind == dkOr) {
    state.SetRegister(r, reg(x) | reg(y));
  } else if constexpr (Kind == dkAnd) {
    state.SetRegister(r, reg(x) & reg(y));
  } else if constexpr (Kind == dkXor) {
    state.SetRegister(r, reg(x) ^ reg(y));
  } else if constexpr (Kind == dkRor) {
    const int count = y & 7;
    state.SetRegister(r, ((reg(r) << (8 - count)) & 0xFF) | (reg(r) >> count));
  } else if constexpr (Kind == dkJmpEQ) {
    if (reg(r) == reg(0)) state.Jump(second);
  } else if constexpr (Kind == dkJmpLE) {
    if (SignedByte(reg(r)) <= SignedByte(reg(0))) state.Jump(second);
  } else if constexpr (Kind == dkJump) {
    state.Jump(second);
  } else if constexpr (Kind == dkLoadIndirect) {
    state.SetRegister(x, state.Memory(reg(y)));
  } else if constexpr (Kind == dkStoreIndirect) {
    state.SetMemory(reg(y), state.Register(x));
  } else if constexpr (Kind == dkHalt) {
    return StepHalt;
  } else {
    static_assert(Kind == dkInvalid || Kind == dkUndecoded);
    return StepInvalid;
  }
  return StepOk;
}

template <class TAccess>
[[gnu::always_inline]] inline int ExecuteDecoded(const TDecoded& decoded, int pc, TAccess& state) {
  switch (decoded.Kind) {
#define ORVIK_KIND_CASE(kind) \
  case kind: return ExecuteKind<kind>(decoded, pc, state);
    ORVIK_DECODED_KINDS(ORVIK_KIND_CASE)
#undef ORVIK_KIND_CASE
  }
  __builtin_unreachable();  // Kind is only ever one of the above: no range check before the jump
}

// One instruction from the state's PC: fetched, decoded and executed.
template <class TAccess>
inline int ExecuteStep(TAccess& state) {
  const int pc = WrapAddress(state.PC());
  return ExecuteDecoded(DecodeInstruction(state.Memory(pc), state.Memory((pc + 1) & 0xFF)), pc, state);
}
