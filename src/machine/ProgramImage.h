#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "machine/Instruction.h"

struct TFileError;

// A program file: the 256 memory cells as little-endian signed 32-bit
// integers, 1024 bytes, no header. Longer input is read up to its first 1024
// bytes; every value is kept unchanged, also outside 0..255.
constexpr int ProgramImageSize = 1024;

// Fills cells (256 values) from bytes. Returns false with "Stream read error"
// in error when fewer than 1024 bytes are given; cells are then untouched.
bool DecodeProgramImage(std::string_view bytes, std::vector<int32_t>& cells, std::string& error);
std::string EncodeProgramImage(const std::vector<int32_t>& cells);
std::string EncodeProgramImage(const TMemoryCells& memory);

// Reads a program file into cells (untouched on failure). Errors: "Cannot open
// file PATH" (the reason: the system's, or "not a regular file" for a FIFO or
// a device, which are never read), "Stream read error" (for a short file the
// reason gives its size).
bool ReadProgramFile(const std::string& path, std::vector<int32_t>& cells, TFileError& error);
// As above with the message alone, as the windows show it.
bool ReadProgramFile(const std::string& path, std::vector<int32_t>& cells, std::string& error);
// Returns "" on success, else "Cannot create file PATH" or "Stream write error".
std::string WriteProgramFile(const std::string& path, const TMemoryCells& memory);
