#include "machine/ValueReadings.h"

#include "machine/Float8.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"

namespace {

constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Every display code point lies below U+10000: at most three bytes.
void AppendUtf8(std::string& text, char32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

char32_t DisplayCodePoint(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? Cp1252High[byte - 0x80] : static_cast<char32_t>(byte);
}

std::string ValueReadings(int32_t value) {
  const int byte = value & 0xFF;
  const int signedByte = SignedByte(byte);
  std::string bits(8, '0');
  for (int i = 0; i < 8; ++i)
    if (byte & (0x80 >> i)) bits[static_cast<size_t>(i)] = '1';
  std::string text = HexText(value, 2) + " hex  " + std::to_string(byte) + "  " + (signedByte >= 0 ? "+" : "") +
                     std::to_string(signedByte) + "  " + bits + " bin  '";
  AppendUtf8(text, DisplayCodePoint(static_cast<unsigned char>(byte)));
  return text + "'  float " + std::to_string(DecodeFloat8(byte));
}
