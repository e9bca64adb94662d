#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "AsmTestSupport.h"
#include "machine/Disassembler.h"

namespace {

// Each source line and the instruction text the disassembler gives for its
// bytes (the part after the address and byte columns).
struct TRoundTrip {
  std::string Source;
  std::string Text;
};

const std::vector<TRoundTrip> EveryForm = {
    {"Start: load R1,200", "load  R1,C8      ;... ($C8=-56)"},
    {"load R2,Start", "load  R2,00      ;... ($00=0)"},
    {"load R3,[10h]", "load  R3,[10]    ;..."},
    {"load R4,[Start]", "load  R4,[00]    ;..."},
    {"load R5,[R2]", "load  R5,[R2]    ;..."},
    {"store R6,[0FEh]", "store R6,[FE]    ;..."},
    {"store R7,[Start]", "store R7,[00]    ;..."},
    {"store R8,[R9]", "store R8,[R9]    ;..."},
    {"move R4,R8", "move  R4,R8      ;..."},
    {"addi R1,R2,R3", "addi  R1,R2,R3   ;..."},
    {"addf R4,R5,R6", "addf  R4,R5,R6   ;..."},
    {"or R7,R8,R9", "or    R7,R8,R9   ;..."},
    {"and RA,RB,RC", "and   RA,RB,RC   ;..."},
    {"xor RD,RE,RF", "xor   RD,RE,RF   ;..."},
    {"ror R3,5", "ror   R3,5       ;..."},
    {"jmpEQ R7=R0,End", "jmpEQ R7=R0,24   ;..."},
    {"jmpLE R2<=R0,$1a", "jmpLE R2<=R0,1A  ;..."},
    {"jmp Start", "jmpEQ R0=R0,00   ;..."},
    {"End: halt", "halt             ;..."},
};

// Turns a disassembled instruction back into source: the comment goes, and
// every operand that is not a register is a hexadecimal number.
std::string ToSource(const std::string& text) {
  const std::string code = text.substr(0, text.find(';'));
  const size_t operands = code.find(' ');
  if (operands == std::string::npos) return code;
  std::string source = code.substr(0, operands);
  for (size_t pos = operands; pos < code.size();) {
    if (!std::isalnum(static_cast<unsigned char>(code[pos]))) {
      source += code[pos++];
      continue;
    }
    size_t end = pos;
    while (end < code.size() && std::isalnum(static_cast<unsigned char>(code[end]))) ++end;
    const std::string word = code.substr(pos, end - pos);
    source += (word.size() == 2 && word[0] == 'R') ? word : "0x" + word;
    pos = end;
  }
  return source;
}

TEST(AsmRoundTrip, DisassemblingGivesBackEveryInstruction) {
  std::vector<std::string> lines;
  for (const TRoundTrip& row : EveryForm) lines.push_back(row.Source);
  const TAsmResult assembled = AssembleLines(lines);
  ASSERT_TRUE(assembled.Errors.empty());

  TMemoryCells memory{};
  for (size_t address = 0; address < memory.size(); ++address) memory[address] = assembled.Image[address];
  std::vector<std::string> again;
  for (size_t i = 0; i < EveryForm.size(); ++i) {
    const std::string line = Disassemble(memory, static_cast<int>(2 * i)).Line;
    EXPECT_EQ(line.substr(12), EveryForm[i].Text) << EveryForm[i].Source;
    again.push_back(ToSource(line.substr(12)));
  }
  // The disassembly, read back as source, assembles to the same bytes.
  const TAsmResult reassembled = AssembleLines(again);
  EXPECT_TRUE(reassembled.Errors.empty());
  EXPECT_EQ(reassembled.Image, assembled.Image);
}

}  // namespace
