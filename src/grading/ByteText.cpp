#include "grading/ByteText.h"

#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

const char* const HexDigits = "0123456789ABCDEF";

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text.push_back(c);
    } else {
      text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return text;
}

bool Utf8ToLatin1(std::string_view text, std::string& bytes, std::string& problem) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      result.push_back(static_cast<char>(lead));
      continue;
    }
    // Only the two-byte forms of U+0080..U+00FF are 8-bit characters.
    if ((lead == 0xC2 || lead == 0xC3) && i + 1 < text.size() &&
        (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      result.push_back(static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
      ++i;
      continue;
    }
    uint32_t codePoint = 0;
    int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    codePoint = lead & (0x7F >> length);
    for (int k = 1; k < length && i + static_cast<size_t>(k) < text.size(); ++k)
      codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3Fu);
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
    problem = std::string("character ") + name + " is not an 8-bit character (U+0000..U+00FF)";
    return false;
  }
  bytes = std::move(result);
  return true;
}

std::string HexBytes(std::string_view bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex.push_back(HexDigits[byte >> 4]);
    hex.push_back(HexDigits[byte & 0x0F]);
  }
  return hex;
}

std::string QuoteBytes(std::string_view bytes, size_t limit) {
  std::string quoted = "\"";
  const size_t shown = bytes.size() < limit ? bytes.size() : limit;
  for (size_t i = 0; i < shown; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    switch (byte) {
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      case '\t': quoted += "\\t"; break;
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      default:
        if (byte >= 0x20 && byte < 0x7F) {
          quoted.push_back(static_cast<char>(byte));
        } else {
          quoted += "\\x";
          quoted.push_back(HexDigits[byte >> 4]);
          quoted.push_back(HexDigits[byte & 0x0F]);
        }
    }
  }
  quoted.push_back('"');
  if (shown < bytes.size()) quoted += "...";
  return quoted;
}
