#include "machine/Float8.h"

#include <cstdint>

int DecodeFloat8(int value) {
  const int mantissa = value & 0x0F;
  const int exponent = (value & 0x70) >> 4;
  const int magnitude = mantissa << exponent;
  return (value & 0x80) != 0 ? -magnitude : magnitude;
}

int EncodeFloat8(int value) {
  // 64 bits so that the magnitude of INT_MIN is representable.
  int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  int exponent = 0;
  while (magnitude > 15) {
    magnitude /= 2;
    ++exponent;
  }
  const int sign = value < 0 ? 0x80 : 0;
  return sign | ((exponent & 7) << 4) | static_cast<int>(magnitude);
}
