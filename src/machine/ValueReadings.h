#pragma once

#include <cstdint>
#include <string>

// The code point a byte stands for on screen: Windows-1252, whose five
// unassigned codes keep their C1 code points as Windows maps them; every
// other byte is its own code point. The terminal, the value panel and the
// page all read bytes this way.
char32_t DisplayCodePoint(unsigned char byte);

// The value panel's and the cell tooltips' words for a cell value, in UTF-8:
//   "3C hex  60  +60  00111100 bin  '<'  float 96"
// A value wider than a byte is shown whole in hex; the other readings are of
// its low byte, as the machine reads it.
std::string ValueReadings(int32_t value);
