#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class TProgramMap;

// Where the command-line tool meets the assembler: the only functions that
// know about assembly sources.

// One assembly error; line and column are 1-based.
struct TAsmError {
  int Line = 0;
  int Column = 0;
  std::string Message;
};

// Reads the whole file as bytes (one byte is one source character). FIFOs,
// devices and sources over the size limit are refused. On failure returns
// false with the message, and the system's reason, in problem.
bool ReadSourceFile(const std::string& path, std::string& bytes, std::string& problem);

// Assembles a source held in memory into cells (256 values), and into map
// when one is given, or returns false with every error in order.
bool AssembleSourceText(const std::string& bytes, std::vector<int32_t>& cells, std::vector<TAsmError>& errors,
                        TProgramMap* map = nullptr);

// Writes errors to err in the compiler-style form that editors and IDEs turn
// into links: PATH:LINE:COLUMN: error: MESSAGE.
void WriteAsmErrors(const std::string& path, const std::vector<TAsmError>& errors, std::ostream& err);

// Assembles the source file at path into cells (256 values). On failure
// writes the messages to err and returns false.
bool AssembleSourceFile(const std::string& path, std::vector<int32_t>& cells, std::ostream& err,
                        TProgramMap* map = nullptr);

// orvik-cli assemble SOURCE [-o PROGRAM] [--map FILE]; args are those after "assemble".
int RunAssembleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
