#include "machine/Disassembler.h"

#include <string>

#include "machine/CellStore.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"
#include "machine/InstructionSet.h"

namespace {

// The text after the 12-character prefix, from the table's pattern.
std::string InstructionText(int first, int second) {
  const auto word = static_cast<uint16_t>(first << 8 | second);
  const TInstructionInfo& info = InstructionOf(word);
  if (!info.Accepts(word)) return "invalid";
  std::string text;
  const std::string_view pattern = info.Disassembly;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      text += pattern[i];
      continue;
    }
    switch (pattern[++i]) {
      case 'r': text += HexText(first & 0x0F, 1); break;
      case 'x': text += HexText(second >> 4, 1); break;
      case 'y': text += HexText(second & 0x0F, 1); break;
      case 'b': text += HexText(second, 2); break;
      case 's': text += std::to_string(SignedByte(second)); break;
      default: text += pattern[i]; break;
    }
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
