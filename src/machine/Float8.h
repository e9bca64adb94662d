#pragma once

// The 8-bit number format of addf: s eee mmmm is (-1)^s * m * 2^e, with no
// bias and no hidden bit, so every value is an integer in -1920..1920.

// Only the low eight bits of the argument are looked at.
int DecodeFloat8(int value);
// Smallest exponent that brings the magnitude to 15 or less; the bits shifted
// out are dropped (towards zero) and the exponent keeps only its low three
// bits, so 3840 comes out as 15. Zero is always 0x00.
int EncodeFloat8(int value);
