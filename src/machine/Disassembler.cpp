#include "machine/Disassembler.h"

#include <cstdio>

#include "machine/CellStore.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"

namespace {

// The text after the 12-character prefix. The blanks before ";..." line the
// comment areas up in the listing, and the user types comments behind them.
std::string InstructionText(int first, int second) {
  const int r = first & 0x0F;
  const int x = second >> 4;
  const int y = second & 0x0F;
  char text[64];
  switch (first >> 4) {
    case 0x1: std::snprintf(text, sizeof text, "load  R%X,[%02X]    ;...", r, second); break;
    case 0x2:
      std::snprintf(text, sizeof text, "load  R%X,%02X      ;... ($%02X=%i)", r, second, second, SignedByte(second));
      break;
    case 0x3: std::snprintf(text, sizeof text, "store R%X,[%02X]    ;...", r, second); break;
    case 0x4: std::snprintf(text, sizeof text, "move  R%X,R%X      ;...", y, x); break;
    case 0x5: std::snprintf(text, sizeof text, "addi  R%X,R%X,R%X   ;...", r, x, y); break;
    case 0x6: std::snprintf(text, sizeof text, "addf  R%X,R%X,R%X   ;...", r, x, y); break;
    case 0x7: std::snprintf(text, sizeof text, "or    R%X,R%X,R%X   ;...", r, x, y); break;
    case 0x8: std::snprintf(text, sizeof text, "and   R%X,R%X,R%X   ;...", r, x, y); break;
    case 0x9: std::snprintf(text, sizeof text, "xor   R%X,R%X,R%X   ;...", r, x, y); break;
    case 0xA:
      if (x != 0) return "invalid";
      std::snprintf(text, sizeof text, "ror   R%X,%X       ;...", r, y);
      break;
    case 0xB: std::snprintf(text, sizeof text, "jmpEQ R%X=R0,%02X   ;...", r, second); break;
    case 0xC:
      if (first != 0xC0 || second != 0) return "invalid";
      return "halt             ;...";
    case 0xD:
      if (r != 0) return "invalid";
      std::snprintf(text, sizeof text, "load  R%X,[R%X]    ;...", x, y);
      break;
    case 0xE:
      if (r != 0) return "invalid";
      std::snprintf(text, sizeof text, "store R%X,[R%X]    ;...", x, y);
      break;
    case 0xF: std::snprintf(text, sizeof text, "jmpLE R%X<=R0,%02X  ;...", r, second); break;
    default: return "invalid";
  }
  return text;
}

}  // namespace

TDisasmLine Disassemble(const TCellStore& memory, int address) {
  const int adr = WrapAddress(address);
  const int32_t first = memory.GetContents(adr);
  const int32_t second = memory.GetContents((adr + 1) & 0xFF);
  TDisasmLine result;
  result.Word = InstructionWord(first, second);
  result.Line = HexText(adr, 2) + ":  " + HexText(first, 2) + "," + HexText(second, 2) + "  ";
  result.Line += IsByte(first) && IsByte(second) ? InstructionText(first, second) : "invalid";
  return result;
}
