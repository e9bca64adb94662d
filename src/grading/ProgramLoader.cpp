#include "grading/ProgramLoader.h"

#include <cctype>
#include <ostream>
#include <utility>

#include "grading/AssemblerSeam.h"
#include "machine/FileReader.h"
#include "machine/ProgramImage.h"

bool IsSourcePath(const std::string& path) {
  static const std::string extension = ".asm";
  if (path.size() < extension.size()) return false;
  const std::string tail = path.substr(path.size() - extension.size());
  for (size_t i = 0; i < extension.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(tail[i])) != extension[i]) return false;
  return true;
}

TLoadedProgram LoadProgram(const std::string& path) {
  TLoadedProgram loaded;
  if (IsSourcePath(path)) {
    std::string bytes;
    if (ReadSourceFile(path, bytes, loaded.Problem))
      loaded.Ok = AssembleSourceText(bytes, loaded.Cells, loaded.Errors, &loaded.Map);
    loaded.HasMap = loaded.Ok;
  } else {
    TFileError error;
    loaded.Ok = ReadProgramFile(path, loaded.Cells, error);
    if (!loaded.Ok) loaded.Problem = error.Full();
  }
  return loaded;
}

bool LoadProgramArgument(const std::string& path, std::vector<int32_t>& cells, std::ostream& err) {
  TLoadedProgram loaded = LoadProgram(path);
  if (loaded.Ok) {
    cells = std::move(loaded.Cells);
    return true;
  }
  if (!loaded.Problem.empty()) err << loaded.Problem << '\n';
  WriteAsmErrors(path, loaded.Errors, err);
  return false;
}
