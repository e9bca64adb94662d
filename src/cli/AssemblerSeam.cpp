#include "cli/AssemblerSeam.h"

#include <ostream>

// The assembler is not part of the core yet; until it is, both entry points
// say so and fail with the exit code of an assembly error.

bool AssembleSourceFile(const std::string& path, std::vector<int32_t>& /*cells*/, std::ostream& err) {
  err << "Cannot assemble " << path << ": this orvik-cli has no assembler yet\n";
  return false;
}

int RunAssembleCommand(const std::vector<std::string>& /*args*/, std::ostream& /*out*/, std::ostream& err) {
  err << "orvik-cli assemble: this orvik-cli has no assembler yet\n";
  return 1;
}
