#include "machine/HexText.h"

std::string HexText(int32_t value, int minDigits) {
  static const char digits[] = "0123456789ABCDEF";
  auto bits = static_cast<uint32_t>(value);
  std::string text;
  while (bits != 0 || static_cast<int>(text.size()) < minDigits) {
    text.insert(text.begin(), digits[bits & 0xF]);
    bits >>= 4;
  }
  return text;
}
