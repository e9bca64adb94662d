#include "grading/AssemblerSeam.h"

#include <filesystem>
#include <ostream>
#include <system_error>
#include <utility>

#include "assembler/AsmParser.h"
#include "assembler/TextLineSource.h"
#include "machine/FileReader.h"
#include "machine/FileWriter.h"
#include "machine/HexText.h"
#include "machine/ProgramImage.h"
#include "machine/ProgramMap.h"

namespace {

constexpr int ExitOk = 0;
constexpr int ExitError = 1;

const char* const AssembleUsage = "usage: orvik-cli assemble SOURCE [-o PROGRAM] [--map FILE]\n";

int AssembleUsageError(std::ostream& err, const std::string& problem) {
  err << "orvik-cli: " << problem << '\n' << AssembleUsage;
  return ExitError;
}

}  // namespace

// FIFOs, devices and files past the size limit are refused before anything is
// read; the message carries the system's reason.
bool ReadSourceFile(const std::string& path, std::string& bytes, std::string& problem) {
  TFileError error;
  if (ReadRegularFile(path, MaxSourceFileSize, false, bytes, error)) return true;
  problem = error.Full();
  return false;
}

bool AssembleSourceText(const std::string& bytes, std::vector<int32_t>& cells, std::vector<TAsmError>& errors,
                        TProgramMap* map) {
  const TTextLineSource source(bytes);
  TAsmParser parser(&source);
  const size_t before = errors.size();
  parser.Assemble([&](int line, int column, const std::string& message) {
    errors.push_back({line + 1, column + 1, message});
  });
  if (errors.size() != before) return false;
  cells.assign(TAsmParser::ImageSize, 0);
  for (int address = 0; address < TAsmParser::ImageSize; ++address) {
    cells[static_cast<size_t>(address)] = parser.GetByte(address);
  }
  if (map != nullptr) *map = parser.Map();
  return true;
}

void WriteAsmErrors(const std::string& path, const std::vector<TAsmError>& errors, std::ostream& err) {
  for (const TAsmError& e : errors) err << path << ':' << e.Line << ':' << e.Column << ": error: " << e.Message << '\n';
}

bool AssembleSourceFile(const std::string& path, std::vector<int32_t>& cells, std::ostream& err, TProgramMap* map) {
  std::string bytes, problem;
  if (!ReadSourceFile(path, bytes, problem)) {
    err << problem << '\n';
    return false;
  }
  std::vector<TAsmError> errors;
  if (AssembleSourceText(bytes, cells, errors, map)) return true;
  WriteAsmErrors(path, errors, err);
  return false;
}

namespace {

struct TAssembleLine {
  std::string Source;
  std::string Program;
  std::string Map;
  bool HaveMap = false;
  bool HaveSource = false;
  bool HaveProgram = false;
  bool Help = false;
};

// "--" ends the options, so a source named "-x" can be given; "-o -" is a
// program file on standard output. Returns the problem, "" when all is well.
std::string ParseAssembleArguments(const std::vector<std::string>& args, TAssembleLine& line) {
  bool options = true;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--help" || arg == "-h")) {
      line.Help = true;
      return "";
    } else if (options && arg == "-o") {
      if (i + 1 >= args.size()) return "-o needs a PROGRAM file name";
      if (line.HaveProgram) return "more than one -o PROGRAM";
      line.Program = args[++i];
      line.HaveProgram = true;
    } else if (options && arg == "--map") {
      if (i + 1 >= args.size()) return "--map needs a FILE name";
      if (line.HaveMap) return "more than one --map FILE";
      line.Map = args[++i];
      line.HaveMap = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (line.HaveSource) {
      return "more than one SOURCE: " + arg;
    } else {
      line.Source = arg;
      line.HaveSource = true;
    }
  }
  return line.HaveSource ? "" : "SOURCE is missing";
}

// A full disk or a closed pipe must not end in an exit code of success.
int FlushOutput(std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return ExitOk;
  err << "Stream write error\n";
  return ExitError;
}

int WriteProgram(const std::string& programPath, const std::vector<int32_t>& cells, std::ostream& out,
                 std::ostream& err) {
  if (programPath == "-") {
    out << EncodeProgramImage(cells);
    return FlushOutput(out, err);
  }
  const std::string problem = WriteFileAtomically(programPath, EncodeProgramImage(cells));
  if (problem.empty()) return ExitOk;
  err << problem << '\n';
  return ExitError;
}

}  // namespace

int RunAssembleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TAssembleLine line;
  const std::string problem = ParseAssembleArguments(args, line);
  if (!problem.empty()) return AssembleUsageError(err, problem);
  if (line.Help) {
    out << AssembleUsage;
    return FlushOutput(out, err);
  }
  // A slip of the keyboard (-o x.asm for x.asm) would replace the source by
  // its binary image.
  std::error_code ec;
  if (line.HaveProgram && line.Program != "-" && std::filesystem::equivalent(line.Source, line.Program, ec))
    return AssembleUsageError(err, "PROGRAM " + line.Program + " is the SOURCE file");

  if (line.HaveMap && std::filesystem::equivalent(line.Source, line.Map, ec))
    return AssembleUsageError(err, "map FILE " + line.Map + " is the SOURCE file");

  std::vector<int32_t> cells;
  TProgramMap map;
  if (!AssembleSourceFile(line.Source, cells, err, &map)) return ExitError;
  if (line.HaveMap) {
    // Written first: with -o - standard output carries the program file.
    const std::string mapProblem = WriteFileAtomically(line.Map, map.ToJson());
    if (!mapProblem.empty()) {
      err << mapProblem << '\n';
      return ExitError;
    }
  }
  if (line.HaveProgram) return WriteProgram(line.Program, cells, out, err);
  // The memory rows of run --state.
  for (int row = 0; row < TAsmParser::ImageSize; row += 16) {
    out << HexText(row, 2) << ':';
    for (int column = 0; column < 16; ++column) out << ' ' << HexText(cells[static_cast<size_t>(row + column)], 2);
    out << '\n';
  }
  return FlushOutput(out, err);
}
