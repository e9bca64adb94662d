// Every consumer of the instruction table over every row: the executor, the
// disassembler, the assembler (through the disassembly text) and the
// composer must agree on each opcode's validity, mnemonic and fields.
#include "assembler/AsmTestSupport.h"
#include "machine/Disassembler.h"
#include "machine/HexText.h"
#include "machine/InstructionSet.h"
#include "machine/Simulator.h"
#include "mainwin/AssembleDialog.h"
#include "mainwin/MainWinFixture.h"

#include <QComboBox>

#include <array>
#include <string>

namespace {

// Operand patterns put into the bits a row does not fix.
constexpr std::array<uint16_t, 4> Patterns = {0x0000, 0x0FFF, 0x0A5C, 0x0361};

// The bits the operands and the fixed parts of a row decide; the rest (the
// unused nibble of move) is ignored by the executor and written as 0.
uint16_t UsedBits(const TInstructionInfo& info) {
  int used = 0xF000 | info.ValidMask;
  for (const TComposerSlot& slot : info.ComposerSlots) used |= WordFieldBits(slot.Field, 0xFF);
  return static_cast<uint16_t>(used);
}

// A row's disassembly pattern filled in for a word; as a source, numbers get
// a '$' so that the assembler reads them as hexadecimal.
std::string Expand(std::string_view pattern, uint16_t word, bool source) {
  std::string text;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') {
      text += pattern[i];
      continue;
    }
    const char field = pattern[++i];
    if (source && field != 's' && (text.empty() || text.back() != 'R')) text += '$';
    switch (field) {
      case 'r': text += HexText(word >> 8 & 0xF, 1); break;
      case 'x': text += HexText(word >> 4 & 0xF, 1); break;
      case 'y': text += HexText(word & 0xF, 1); break;
      case 'b': text += HexText(word & 0xFF, 2); break;
      case 's': text += std::to_string(static_cast<int8_t>(word & 0xFF)); break;
    }
  }
  return source ? text.substr(0, text.find(';')) : text;
}

TStopReason Execute(uint16_t word) {
  TSimulator simulator;
  simulator.EditMemory(eaLoadFile, 0x40, {word >> 8, word & 0xFF});
  simulator.SetCell(csSysReg, PCIndex, 0x40);
  return simulator.Step();
}

class InstructionTableTest : public MainWinTest {};

TEST_F(InstructionTableTest, EveryConsumerAgreesOnEveryRow) {
  TAssembleDialog dialog(*Main);
  for (const TInstructionInfo& info : InstructionTable) {
    for (uint16_t pattern : Patterns) {
      const auto word = static_cast<uint16_t>(info.Opcode << 12 | (pattern & ~info.ValidMask & 0x0FFF) |
                                              (info.ValidValue & info.ValidMask & 0x0FFF));
      SCOPED_TRACE(HexText(word, 4));
      const bool valid = info.Accepts(word);
      EXPECT_EQ(valid, info.Opcode != opNone);

      // Executor.
      EXPECT_EQ(Execute(word), !valid ? srInvalid : info.Opcode == opHalt ? srHalt : srBudget);
      // Fixed bits flipped make it invalid.
      if (info.ValidMask != 0xF000 && info.Opcode != opNone) {
        EXPECT_EQ(Execute(static_cast<uint16_t>(word ^ (info.ValidMask & 0x0FFF))), srInvalid);
      }

      // Disassembler.
      TMemoryCells memory{};
      memory[0x40] = word >> 8;
      memory[0x41] = word & 0xFF;
      const std::string line = Disassemble(memory, 0x40).Line;
      const std::string text = line.substr(12);
      if (!valid) {
        EXPECT_EQ(text, "invalid");
      } else {
        EXPECT_EQ(text.substr(0, info.Mnemonic.size()), info.Mnemonic);
        EXPECT_EQ(text, Expand(info.Disassembly, word, false));
        // Lexer and parser: the disassembly, as a source, assembles back to
        // the bits that matter.
        const std::string source = Expand(info.Disassembly, word, true);
        const TAsmResult assembled = AssembleLines({source});
        EXPECT_EQ(assembled.Errors, std::vector<TAsmError>{}) << source;
        EXPECT_EQ(assembled.Image[0] << 8 | assembled.Image[1], word & UsedBits(info)) << source;
      }

      // Composer: names, operand boxes, and the word built from them.
      dialog.opcode->setCurrentIndex(info.Opcode == opNone ? 1 : 0);
      dialog.opcode->setCurrentIndex(info.Opcode);
      EXPECT_EQ(dialog.opcode->currentText().toStdString(), info.ComposerName);
      const std::array<QComboBox*, 3> boxes{dialog.op1, dialog.op2, dialog.op3};
      for (size_t i = 0; i < boxes.size(); ++i) {
        const TComposerSlot& slot = info.ComposerSlots[i];
        EXPECT_EQ(boxes[i]->isEnabled(), slot.Choices != ckNotApplicable) << i;
        if (slot.Choices != ckNotApplicable) boxes[i]->setCurrentIndex(WordFieldValue(word, slot.Field));
      }
      EXPECT_EQ(dialog.InstrWord(), word & UsedBits(info));
    }
  }
}

}  // namespace
