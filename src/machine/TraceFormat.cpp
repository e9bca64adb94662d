#include "machine/TraceFormat.h"

#include <string>

#include "machine/Disassembler.h"
#include "machine/Float8.h"
#include "machine/HexText.h"
#include "machine/InstructionSet.h"

namespace {

// The instruction text is padded to this width, so that the effects of
// successive lines start in one column.
constexpr size_t TextWidth = 15;

std::string Hex(int32_t value) { return HexText(value, 2); }
std::string Reg(int n) { return "R" + HexText(n & 0x0F, 1); }
std::string Cell(int adr) { return "[" + Hex(adr & 0xFF) + "]"; }

// "addi  R3,R1,R2   ;..." becomes "addi R3,R1,R2".
std::string PlainText(const std::string& disassembly) {
  std::string text = disassembly.substr(0, disassembly.find(';'));
  std::string plain;
  for (char ch : text) {
    if (ch == ' ' && (plain.empty() || plain.back() == ' ')) continue;
    plain += ch;
  }
  while (!plain.empty() && plain.back() == ' ') plain.pop_back();
  return plain;
}

std::string Printed(int32_t value) {
  const int byte = value & 0xFF;
  if (byte >= 0x20 && byte < 0x7F) return ", prints '" + std::string(1, static_cast<char>(byte)) + "'";
  return ", prints code " + Hex(byte);
}

std::string WithSign(int32_t value) { return Hex(value) + " = " + std::to_string(SignedByte(value)); }

}  // namespace

std::string FormatTraceLine(const TStepTrace& trace, const std::array<int32_t, RegisterCount>& registersAfter) {
  const int adr = WrapAddress(trace.Address);
  TMemoryCells cells{};
  cells[static_cast<size_t>(adr)] = trace.First;
  cells[static_cast<size_t>((adr + 1) & 0xFF)] = trace.Second;
  const std::string disassembly = Disassemble(cells, adr).Line.substr(12);
  std::string line = Hex(adr) + ": " + HexText(trace.First, 2) + " " + HexText(trace.Second, 2) + "  ";
  std::string text = PlainText(disassembly);
  if (text.size() < TextWidth) text.resize(TextWidth, ' ');
  line += text + " ";

  // The registers as the instruction found them.
  std::array<int32_t, RegisterCount> before = registersAfter;
  const TTraceWrite* effect = trace.Writes.size() > 2 ? &trace.Writes[2] : nullptr;
  if (effect && effect->Space == csRegister) before[static_cast<size_t>(effect->Address & 0x0F)] = effect->Old;
  auto reg = [&before](int n) { return WrapAddress(before[static_cast<size_t>(n & 0x0F)]); };

  const int first = trace.First;
  const int second = trace.Second;
  const auto word = static_cast<uint16_t>(InstructionWord(first, second) & 0xFFFF);
  const int r = first & 0x0F;
  const int x = (second >> 4) & 0x0F;
  const int y = second & 0x0F;
  if (!IsByte(first) || !IsByte(second) || !InstructionOf(word).Accepts(word)) return line + "invalid instruction";
  const int32_t result = effect ? effect->New : 0;
  std::string what;
  switch (static_cast<TOpcode>(first >> 4)) {
    case opLoadDirect: what = Reg(r) + " = " + Cell(second) + " = " + Hex(result); break;
    case opLoadImmediate: what = Reg(r) + " = " + Hex(result); break;
    case opStoreDirect:
    case opStoreIndirect: {
      const int target = effect ? effect->Address : 0;
      const int source = first >> 4 == opStoreDirect ? r : x;
      what = Cell(target) + " = " + Reg(source) + ": " + Hex(effect ? effect->Old : 0) + " -> " + Hex(result);
      if (first >> 4 == opStoreIndirect) what = "[" + Reg(y) + "] = " + what;
      break;
    }
    case opMove: what = Reg(y) + " = " + Reg(x) + " = " + Hex(result); break;
    case opAddi: what = Reg(r) + " = " + Hex(reg(x)) + " + " + Hex(reg(y)) + " = " + Hex(result); break;
    case opAddf:
      what = Reg(r) + " = " + Hex(reg(x)) + " + " + Hex(reg(y)) + " = " + Hex(result) + "   (" +
             std::to_string(DecodeFloat8(reg(x))) + " + " + std::to_string(DecodeFloat8(reg(y))) + " = " +
             std::to_string(DecodeFloat8(result)) + ")";
      break;
    case opOr: what = Reg(r) + " = " + Hex(reg(x)) + " or " + Hex(reg(y)) + " = " + Hex(result); break;
    case opAnd: what = Reg(r) + " = " + Hex(reg(x)) + " and " + Hex(reg(y)) + " = " + Hex(result); break;
    case opXor: what = Reg(r) + " = " + Hex(reg(x)) + " xor " + Hex(reg(y)) + " = " + Hex(result); break;
    case opRor: what = Reg(r) + " = " + Hex(reg(r)) + " ror " + std::to_string(y & 7) + " = " + Hex(result); break;
    case opJmpEQ:
      what = reg(r) == reg(0) ? Reg(r) + " (" + Hex(reg(r)) + ") = R0 (" + Hex(reg(0)) + "): jump to " + Hex(second)
                              : Reg(r) + " (" + Hex(reg(r)) + ") <> R0 (" + Hex(reg(0)) + "): no jump";
      break;
    case opJmpLE:
      what = SignedByte(reg(r)) <= SignedByte(reg(0))
                 ? Reg(r) + " (" + WithSign(reg(r)) + ") <= R0 (" + WithSign(reg(0)) + "): jump to " + Hex(second)
                 : Reg(r) + " (" + WithSign(reg(r)) + ") > R0 (" + WithSign(reg(0)) + "): no jump";
      break;
    case opHalt: what = "halted"; break;
    case opLoadIndirect: what = Reg(x) + " = [" + Reg(y) + "] = " + Cell(reg(y)) + " = " + Hex(result); break;
    case opNone: what = "invalid instruction"; break;
  }
  if (trace.HasOutput) what += Printed(trace.Output);
  return line + what;
}

std::string FormatTraceGap(uint64_t count) {
  // Grouped by thousands: a count of that size is read at a glance.
  std::string digits = std::to_string(count);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return "... " + digits + (count == 1 ? " instruction" : " instructions") + " at full speed";
}
