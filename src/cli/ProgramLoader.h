#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// The PROGRAM argument of run and disasm: a path ending in ".asm" (any case)
// is assembled, anything else is read as a program file. Fills cells with the
// 256 memory values, or writes the message to err and returns false.
bool LoadProgramArgument(const std::string& path, std::vector<int32_t>& cells, std::ostream& err);
