#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The instruction set, written down once. The executor, the disassembler, the
// assembler's keywords and forms and the instruction composer all read this
// table, so a change to an instruction is made here and nowhere else.
//
// An instruction word is w1 w2 w3 w4 (four nibbles, w1 the opcode); XY is the
// second byte (w3 w4).

// The opcode nibble.
enum TOpcode : uint8_t {
  opNone = 0x0,  // no instruction: always invalid
  opLoadDirect = 0x1,
  opLoadImmediate = 0x2,
  opStoreDirect = 0x3,
  opMove = 0x4,
  opAddi = 0x5,
  opAddf = 0x6,
  opOr = 0x7,
  opAnd = 0x8,
  opXor = 0x9,
  opRor = 0xA,
  opJmpEQ = 0xB,
  opHalt = 0xC,
  opLoadIndirect = 0xD,
  opStoreIndirect = 0xE,
  opJmpLE = 0xF,
};

// How the assembler reads the operands after the mnemonic.
enum TAsmForm : uint8_t {
  afNone,             // not written in assembly
  afLoadStore,        // load/store R,[XY] | R,XY | Rx,[Ry]: the operand picks the opcode
  afMove,             // move Ry,Rx
  afThreeRegisters,   // op R,Rx,Ry
  afRor,              // ror R,Y
  afConditionalJump,  // jmpXX R<relation>R0,XY
  afHalt,             // halt
};

// A field of the instruction word that an operand fills.
enum TWordField : uint8_t { wfNone, wfW2, wfW3, wfW4, wfXY };

// The list an operand box of the composer offers; the item index is the
// field's value.
enum TChoiceKind : uint8_t { ckNotApplicable, ckRegister, ckIndirect, ckByte, ckAddress, ckNibble };

struct TComposerSlot {
  TChoiceKind Choices;
  TWordField Field;
};

struct TInstructionInfo {
  TOpcode Opcode;
  // The assembler keyword, any case; also the start of the disassembly text.
  std::string_view Mnemonic;
  TAsmForm Form;
  // For afConditionalJump: the relation written between the registers.
  std::string_view Relation;
  // The word is valid when (word & ValidMask) == ValidValue; opNone never is.
  uint16_t ValidMask;
  uint16_t ValidValue;
  // The disassembly text after the address and byte prefix. %r %x %y are
  // the nibbles w2 w3 w4 in hex, %b the byte XY in two hex digits, %s that
  // byte as a signed decimal number. The blanks before ";..." line the
  // comments up in the listing.
  std::string_view Disassembly;
  // The composer's name for the instruction and its three operand boxes, in
  // the order of the assembly syntax.
  std::string_view ComposerName;
  std::array<TComposerSlot, 3> ComposerSlots;

  constexpr bool Accepts(uint16_t word) const { return Opcode != opNone && (word & ValidMask) == ValidValue; }
  // The first byte of this instruction with w2 = nibble.
  constexpr int FirstByte(int nibble) const { return Opcode << 4 | (nibble & 0x0F); }
};

namespace instruction_set_detail {
constexpr TComposerSlot None{ckNotApplicable, wfNone};
constexpr TComposerSlot RegW2{ckRegister, wfW2};
constexpr TComposerSlot RegW3{ckRegister, wfW3};
constexpr TComposerSlot RegW4{ckRegister, wfW4};
constexpr TComposerSlot IndirectW4{ckIndirect, wfW4};
constexpr TComposerSlot NibbleW4{ckNibble, wfW4};
constexpr TComposerSlot Address{ckAddress, wfXY};
constexpr TComposerSlot Byte{ckByte, wfXY};
}  // namespace instruction_set_detail

// Indexed by the opcode nibble.
inline constexpr std::array<TInstructionInfo, 16> InstructionTable = [] {
  using namespace instruction_set_detail;
  // Only the opcode nibble is checked unless a row says otherwise.
  constexpr uint16_t opcodeOnly = 0xF000;
  return std::array<TInstructionInfo, 16>{{
      {opNone, "", afNone, "", 0, 0, "", "invalid", {None, None, None}},
      {opLoadDirect,
       "load",
       afLoadStore,
       "",
       opcodeOnly,
       0x1000,
       "load  R%r,[%b]    ;...",
       "direct load",
       {RegW2, Address, None}},
      {opLoadImmediate,
       "load",
       afLoadStore,
       "",
       opcodeOnly,
       0x2000,
       "load  R%r,%b      ;... ($%b=%s)",
       "immediate load",
       {RegW2, Byte, None}},
      {opStoreDirect,
       "store",
       afLoadStore,
       "",
       opcodeOnly,
       0x3000,
       "store R%r,[%b]    ;...",
       "direct store",
       {RegW2, Address, None}},
      // move names the destination (w4) first.
      {opMove, "move", afMove, "", opcodeOnly, 0x4000, "move  R%y,R%x      ;...", "move", {RegW4, RegW3, None}},
      {opAddi,
       "addi",
       afThreeRegisters,
       "",
       opcodeOnly,
       0x5000,
       "addi  R%r,R%x,R%y   ;...",
       "addi",
       {RegW2, RegW3, RegW4}},
      {opAddf,
       "addf",
       afThreeRegisters,
       "",
       opcodeOnly,
       0x6000,
       "addf  R%r,R%x,R%y   ;...",
       "addf",
       {RegW2, RegW3, RegW4}},
      {opOr, "or", afThreeRegisters, "", opcodeOnly, 0x7000, "or    R%r,R%x,R%y   ;...", "or", {RegW2, RegW3, RegW4}},
      {opAnd,
       "and",
       afThreeRegisters,
       "",
       opcodeOnly,
       0x8000,
       "and   R%r,R%x,R%y   ;...",
       "and",
       {RegW2, RegW3, RegW4}},
      {opXor,
       "xor",
       afThreeRegisters,
       "",
       opcodeOnly,
       0x9000,
       "xor   R%r,R%x,R%y   ;...",
       "xor",
       {RegW2, RegW3, RegW4}},
      // w3 must be 0.
      {opRor, "ror", afRor, "", 0xF0F0, 0xA000, "ror   R%r,%y       ;...", "ror", {RegW2, NibbleW4, None}},
      {opJmpEQ,
       "jmpEQ",
       afConditionalJump,
       "=",
       opcodeOnly,
       0xB000,
       "jmpEQ R%r=R0,%b   ;...",
       "jmpEQ",
       {RegW2, Byte, None}},
      // Only C000 halts; every other Cxxx is invalid.
      {opHalt, "halt", afHalt, "", 0xFFFF, 0xC000, "halt             ;...", "halt", {None, None, None}},
      // The indirect forms have w2 = 0 and name the data register (w3) first.
      {opLoadIndirect,
       "load",
       afLoadStore,
       "",
       0xFF00,
       0xD000,
       "load  R%x,[R%y]    ;...",
       "indirect load",
       {RegW3, IndirectW4, None}},
      {opStoreIndirect,
       "store",
       afLoadStore,
       "",
       0xFF00,
       0xE000,
       "store R%x,[R%y]    ;...",
       "indirect store",
       {RegW3, IndirectW4, None}},
      {opJmpLE,
       "jmpLE",
       afConditionalJump,
       "<=",
       opcodeOnly,
       0xF000,
       "jmpLE R%r<=R0,%b  ;...",
       "jmpLE",
       {RegW2, Byte, None}},
  }};
}();

constexpr const TInstructionInfo& InstructionInfo(TOpcode opcode) { return InstructionTable[opcode & 0x0F]; }

// The row of a word; whether it is valid is Accepts(word).
constexpr const TInstructionInfo& InstructionOf(uint16_t word) { return InstructionTable[word >> 12]; }

// The row whose mnemonic is the given word (any case) and whose second
// operand offers the given choices; nullptr when there is none. The
// assembler picks the opcode of a shared mnemonic (load, store) this way.
constexpr const TInstructionInfo* FindInstruction(std::string_view mnemonic, TChoiceKind second) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  for (const TInstructionInfo& info : InstructionTable) {
    if (info.Mnemonic.size() != mnemonic.size() || info.ComposerSlots[1].Choices != second) continue;
    bool same = true;
    for (size_t i = 0; i < mnemonic.size(); ++i) same = same && upper(info.Mnemonic[i]) == upper(mnemonic[i]);
    if (same) return &info;
  }
  return nullptr;
}

// The value of a field in a word, and the word's bits for a field value.
constexpr int WordFieldValue(uint16_t word, TWordField field) {
  switch (field) {
    case wfW2: return (word >> 8) & 0xF;
    case wfW3: return (word >> 4) & 0xF;
    case wfW4: return word & 0xF;
    case wfXY: return word & 0xFF;
    case wfNone: break;
  }
  return 0;
}

constexpr int WordFieldBits(TWordField field, int value) {
  switch (field) {
    case wfW2: return (value & 0xF) << 8;
    case wfW3: return (value & 0xF) << 4;
    case wfW4: return value & 0xF;
    case wfXY: return value & 0xFF;
    case wfNone: break;
  }
  return 0;
}

static_assert(
    [] {
      for (size_t i = 0; i < InstructionTable.size(); ++i)
        if (InstructionTable[i].Opcode != i) return false;
      return true;
    }(),
    "the table is indexed by opcode");
