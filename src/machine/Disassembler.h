#pragma once

#include <cstdint>
#include <string>

#include "machine/Instruction.h"

// One disassembled instruction: the text shown in the disassembly window and
// the listing, and the instruction word (first byte * 256 + second byte).
struct TDisasmLine {
  std::string Line;
  int32_t Word = 0;
};

// The instruction at address (taken modulo 256; the second byte of the one at
// FF comes from 00). Only reads memory. A cell outside 0..255 makes the line
// "invalid", and its prefix shows all the cell's digits.
TDisasmLine Disassemble(const TMemoryCells& memory, int address);
