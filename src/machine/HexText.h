#pragma once

#include <cstdint>
#include <string>

// Upper-case hexadecimal of a cell with at least minDigits digits. A value
// outside the normal range shows all its digits, a negative one as eight-digit
// two's complement, so nothing a program file holds is hidden.
std::string HexText(int32_t value, int minDigits);
