#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "grading/AssemblerSeam.h"
#include "machine/ProgramMap.h"

// True for a path ending in ".asm" (any case): such a PROGRAM is a source.
bool IsSourcePath(const std::string& path);

// A PROGRAM argument read into memory cells, or why that failed: Problem for
// a file that cannot be read, Errors for a source that does not assemble.
struct TLoadedProgram {
  bool Ok = false;
  std::vector<int32_t> Cells;
  std::string Problem;
  std::vector<TAsmError> Errors;
  // A source's map; a program file has none.
  bool HasMap = false;
  TProgramMap Map;
};

// The PROGRAM argument of run, disasm and test: a source is assembled,
// anything else is read as a program file.
TLoadedProgram LoadProgram(const std::string& path);

// The same for the commands that report on standard error: fills cells with
// the 256 memory values, or writes the message to err and returns false.
bool LoadProgramArgument(const std::string& path, std::vector<int32_t>& cells, std::ostream& err);
