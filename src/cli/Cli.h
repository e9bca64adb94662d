#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// orvik-cli without its process: args are the command-line arguments after
// the program name; program output goes to out, messages to err. Returns the
// exit code (0 halted, 2 invalid instruction, 3 step limit reached, 1 usage,
// file or assembly error).
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
