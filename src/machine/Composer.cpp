#include "machine/Composer.h"

#include <cstdio>

namespace {

// Each value printed with format.
std::vector<std::string> Generated(int count, const char* format) {
  std::vector<std::string> items;
  char buffer[8];
  for (int value = 0; value < count; ++value) {
    std::snprintf(buffer, sizeof buffer, format, value);
    items.emplace_back(buffer);
  }
  return items;
}

const TComposerSlot& Slot(uint16_t word, int slot) {
  return InstructionTable[static_cast<size_t>(word >> 12)].ComposerSlots[static_cast<size_t>(slot & 3) % 3];
}

// The word rebuilt from its opcode and the fields its format has.
uint16_t Rebuilt(uint16_t word, int replacedSlot, int index) {
  int rebuilt = word & 0xF000;
  for (int slot = 0; slot < 3; ++slot) {
    const TComposerSlot& s = Slot(word, slot);
    if (s.Choices == ckNotApplicable) continue;
    rebuilt |= WordFieldBits(s.Field, slot == replacedSlot ? index : WordFieldValue(word, s.Field));
  }
  return static_cast<uint16_t>(rebuilt);
}

}  // namespace

const std::vector<std::string>& ComposerChoices(TChoiceKind kind) {
  static const std::vector<std::string> registers = Generated(16, "R%X");
  static const std::vector<std::string> indirect = Generated(16, "[R%X]");
  static const std::vector<std::string> bytes = Generated(256, "%02X");
  static const std::vector<std::string> addresses = Generated(256, "[%02X]");
  static const std::vector<std::string> nibbles = Generated(16, "%X");
  static const std::vector<std::string> none{"N/A"};
  switch (kind) {
    case ckRegister: return registers;
    case ckIndirect: return indirect;
    case ckByte: return bytes;
    case ckAddress: return addresses;
    case ckNibble: return nibbles;
    case ckNotApplicable: break;
  }
  return none;
}

TChoiceKind ComposerSlotChoices(uint16_t word, int slot) { return Slot(word, slot).Choices; }

int ComposerSlotValue(uint16_t word, int slot) { return WordFieldValue(word, Slot(word, slot).Field); }

uint16_t ComposerWithOpcode(uint16_t word, int opcode) {
  return Rebuilt(static_cast<uint16_t>(((opcode & 0xF) << 12) | (word & 0x0FFF)), -1, 0);
}

uint16_t ComposerWithChoice(uint16_t word, int slot, int index) { return Rebuilt(word, slot, index); }
