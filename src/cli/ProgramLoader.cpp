#include "cli/ProgramLoader.h"

#include <cctype>
#include <ostream>

#include "cli/AssemblerSeam.h"
#include "machine/FileReader.h"
#include "machine/ProgramImage.h"

namespace {

bool HasAsmExtension(const std::string& path) {
  static const std::string extension = ".asm";
  if (path.size() < extension.size()) return false;
  const std::string tail = path.substr(path.size() - extension.size());
  for (size_t i = 0; i < extension.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(tail[i])) != extension[i]) return false;
  return true;
}

}  // namespace

bool LoadProgramArgument(const std::string& path, std::vector<int32_t>& cells, std::ostream& err) {
  if (HasAsmExtension(path)) return AssembleSourceFile(path, cells, err);
  TFileError error;
  if (ReadProgramFile(path, cells, error)) return true;
  err << error.Full() << '\n';
  return false;
}
