#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// Where the command-line tool meets the assembler: the only two functions
// that know about assembly sources.

// Assembles the source file at path into cells (256 values). On failure
// writes the messages to err and returns false.
bool AssembleSourceFile(const std::string& path, std::vector<int32_t>& cells, std::ostream& err);

// orvik-cli assemble SOURCE [-o PROGRAM]; args are those after "assemble".
int RunAssembleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
