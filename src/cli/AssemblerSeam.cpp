#include "cli/AssemblerSeam.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <system_error>
#include <utility>

#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "assembler/SourceText.h"
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

}  // namespace

bool ReadSourceFile(const std::string& path, std::string& bytes, std::string& problem) {
  // A folder opens as a stream on some systems and reads as nothing: it would
  // pass for an empty source that assembles cleanly.
  std::error_code ec;
  std::ifstream file;
  if (!std::filesystem::is_directory(path, ec)) file.open(path, std::ios::binary);
  if (!file.is_open()) {
    problem = "Cannot open file " + path;
    return false;
  }
  // Read through the stream itself: copying its buffer into another stream
  // would swallow a read error and hand on a truncated source.
  std::string content;
  char chunk[4096];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) content.append(chunk, static_cast<size_t>(file.gcount()));
  if (file.bad()) {
    problem = "Stream read error";
    return false;
  }
  bytes = std::move(content);
  return true;
}

bool AssembleSourceText(const std::string& bytes, std::vector<int32_t>& cells, std::vector<TAsmError>& errors) {
  const TStringListSource source(SplitSourceLines(bytes));
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
  return true;
}

void WriteAsmErrors(const std::string& path, const std::vector<TAsmError>& errors, std::ostream& err) {
  for (const TAsmError& e : errors) err << path << ':' << e.Line << ':' << e.Column << ": error: " << e.Message << '\n';
}

bool AssembleSourceFile(const std::string& path, std::vector<int32_t>& cells, std::ostream& err) {
  std::string bytes, problem;
  if (!ReadSourceFile(path, bytes, problem)) {
    err << problem << '\n';
    return false;
  }
  std::vector<TAsmError> errors;
  if (AssembleSourceText(bytes, cells, errors)) return true;
  WriteAsmErrors(path, errors, err);
  return false;
}

int RunAssembleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string sourcePath;
  std::string programPath;
  bool haveSource = false;
  bool haveProgram = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-o") {
      if (i + 1 >= args.size()) return AssembleUsageError(err, "-o needs a PROGRAM file name");
      if (haveProgram) return AssembleUsageError(err, "more than one -o PROGRAM");
      programPath = args[++i];
      haveProgram = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return AssembleUsageError(err, "unknown option " + arg);
    } else if (haveSource) {
      return AssembleUsageError(err, "more than one SOURCE: " + arg);
    } else {
      sourcePath = arg;
      haveSource = true;
    }
  }
  if (!haveSource) return AssembleUsageError(err, "SOURCE is missing");
  // A slip of the keyboard (-o x.asm for x.asm) would replace the source by
  // its binary image.
  std::error_code ec;
  if (haveProgram && std::filesystem::equivalent(sourcePath, programPath, ec))
    return AssembleUsageError(err, "PROGRAM " + programPath + " is the SOURCE file");

  std::vector<int32_t> cells;
  if (!AssembleSourceFile(sourcePath, cells, err)) return ExitError;
  if (haveProgram) {
    const std::string problem = WriteFileAtomically(programPath, EncodeProgramImage(cells));
    if (!problem.empty()) {
      err << problem << '\n';
      return ExitError;
    }
    return ExitOk;
  }
  // The memory rows of run --state.
  for (int row = 0; row < TAsmParser::ImageSize; row += 16) {
    out << HexText(row, 2) << ':';
    for (int column = 0; column < 16; ++column) out << ' ' << HexText(cells[static_cast<size_t>(row + column)], 2);
    out << '\n';
  }
  // A full disk or a closed pipe must not end in an exit code of success.
  out.flush();
  if (!out) {
    err << "Stream write error\n";
    return ExitError;
  }
  return ExitOk;
}
