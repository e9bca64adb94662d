#pragma once

#include <array>
#include <cstdint>

// Helpers shared by the executor and the disassembler. Cells are signed 32-bit
// values, and a program file may put anything into them; these functions keep
// such values from ever turning into an index outside the arrays.

constexpr int MemorySize = 256;
constexpr int RegisterCount = 16;
constexpr int SysRegCount = 2;
constexpr int PCIndex = 0;
constexpr int IRIndex = 1;

// The 256 memory cells, as a session holds them and files and listings read them.
using TMemoryCells = std::array<int32_t, MemorySize>;

constexpr bool IsByte(int32_t value) { return value >= 0 && value <= 0xFF; }

// An address taken from a cell, reduced modulo 256 (also for negative values).
constexpr int WrapAddress(int32_t value) { return static_cast<int>(static_cast<uint32_t>(value) & 0xFFu); }

// First byte * 256 + second byte. Out-of-range bytes (instructions that are
// invalid anyway) wrap in 32 bits instead of overflowing.
constexpr int32_t InstructionWord(int32_t first, int32_t second) {
  return static_cast<int32_t>(static_cast<uint32_t>(first) * 256u + static_cast<uint32_t>(second));
}

// A byte read as a two's-complement number, -128..127.
constexpr int SignedByte(int32_t value) {
  const int byte = WrapAddress(value);
  return byte >= 0x80 ? byte - 0x100 : byte;
}
