#include "cli/AssemblerSeam.h"

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

namespace {

constexpr int ExitOk = 0;
constexpr int ExitError = 1;

const char* const AssembleUsage = "usage: orvik-cli assemble SOURCE [-o PROGRAM]\n";

int AssembleUsageError(std::ostream& err, const std::string& problem) {
  err << "orvik-cli: " << problem << '\n' << AssembleUsage;
  return ExitError;
}

// Reads the whole file as bytes; one byte is one source character. FIFOs,
// devices and files past the size limit are refused before anything is read.
bool ReadSource(const std::string& path, std::string& bytes, std::ostream& err) {
  TFileError error;
  if (ReadRegularFile(path, MaxSourceFileSize, false, bytes, error)) return true;
  err << error.Full() << '\n';
  return false;
}

}  // namespace

bool AssembleSourceFile(const std::string& path, std::vector<int32_t>& cells, std::ostream& err) {
  std::string bytes;
  if (!ReadSource(path, bytes, err)) return false;
  const TTextLineSource source(std::move(bytes));
  TAsmParser parser(&source);
  bool failed = false;
  // The compiler-style form that editors and IDEs turn into links.
  parser.Assemble([&](int line, int column, const std::string& message) {
    err << path << ':' << line + 1 << ':' << column + 1 << ": error: " << message << '\n';
    failed = true;
  });
  if (failed) return false;
  cells.assign(TAsmParser::ImageSize, 0);
  for (int address = 0; address < TAsmParser::ImageSize; ++address) {
    cells[static_cast<size_t>(address)] = parser.GetByte(address);
  }
  return true;
}

namespace {

struct TAssembleLine {
  std::string Source;
  std::string Program;
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

  std::vector<int32_t> cells;
  if (!AssembleSourceFile(line.Source, cells, err)) return ExitError;
  if (line.HaveProgram) return WriteProgram(line.Program, cells, out, err);
  // The memory rows of run --state.
  for (int row = 0; row < TAsmParser::ImageSize; row += 16) {
    out << HexText(row, 2) << ':';
    for (int column = 0; column < 16; ++column) out << ' ' << HexText(cells[static_cast<size_t>(row + column)], 2);
    out << '\n';
  }
  return FlushOutput(out, err);
}
