#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Program output and sources are 8-bit bytes; JSON and XML carry Unicode
// text. These helpers move between the two without losing a byte.

// Each byte as the code point of the same number (Latin-1), in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// The reverse: UTF-8 text whose code points all lie in 0..255, as bytes.
// Returns false with a message naming the first other character.
bool Utf8ToLatin1(std::string_view text, std::string& bytes, std::string& problem);

// "48690A": two upper-case hex digits per byte.
std::string HexBytes(std::string_view bytes);

// The bytes between double quotes as a reader sees them in a message: printable
// ASCII as itself, \n \r \t \" \\ and \xHH for the rest; cut after limit bytes
// with "..." behind the closing quote.
std::string QuoteBytes(std::string_view bytes, size_t limit = 40);
