#include "cli/Cli.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <ostream>
#include <system_error>
#include <utility>

#include "cli/RunReport.h"
#include "cli/TestCommand.h"
#include "cli/TraceWriter.h"
#include "grading/AssemblerSeam.h"
#include "grading/CaseCheck.h"
#include "grading/CaseFile.h"
#include "grading/CliRun.h"
#include "grading/ProgramLoader.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"
#include "machine/Listing.h"

namespace {

constexpr int ExitHalted = 0;
constexpr int ExitError = 1;
constexpr int ExitInvalid = 2;
constexpr int ExitStepLimit = 3;
constexpr int ExitBreakpoint = 4;
constexpr uint64_t DefaultStepLimit = 1000000;

const char* const UsageText =
    "usage: orvik-cli run PROGRAM [--steps N] [--state] [--json] [--trace FILE] [--break HEX]...\n"
    "                     [--case CASES.json NAME]\n"
    "       orvik-cli disasm PROGRAM [--pc HEX]\n"
    "       orvik-cli assemble SOURCE [-o PROGRAM] [--map FILE]\n"
    "       orvik-cli test CASES.json... [SUBMISSION...] [-j N] [--shard I/N]\n"
    "                      [--junit FILE] [--json FILE] [--gradescope FILE]\n"
    "                      [--prairielearn FILE]\n"
    "       orvik-cli --help\n"
    "\n"
    "PROGRAM is a program file (1024 bytes) or, when it ends in .asm, a source\n"
    "that is assembled first.\n"
    "\n"
    "run      executes from PC 0 until halt, an invalid instruction or N\n"
    "         instructions (default 1000000, 0 = no limit). Every write of RF\n"
    "         goes to standard output as one byte; the outcome and, with --state,\n"
    "         PC, IR, the registers and memory go to standard error.\n"
    "         Exit code: 0 halted, 2 invalid instruction, 3 step limit reached,\n"
    "         4 breakpoint reached, 1 file or assembly error. --json writes one\n"
    "         JSON document to standard output instead of the output bytes;\n"
    "         --trace writes one JSON line per executed instruction to FILE\n"
    "         (- for standard output); --break stops before the instruction at\n"
    "         HEX (repeatable); --case starts from the case NAME of CASES.json\n"
    "         (its cells, registers, PC, steps and breakpoints; PROGRAM may be\n"
    "         left out when the case file names one). For a source each trace\n"
    "         line also has \"line\" (its source line) and \"label\" (the label\n"
    "         there, if any).\n"
    "disasm   writes the listing of memory, starting at PC mod 2 (PC in hex,\n"
    "         default 0), to standard output.\n"
    "assemble assembles SOURCE and writes the program file PROGRAM, or without\n"
    "         -o the memory image as 16 rows of hex bytes to standard output\n"
    "         (-o - writes the program file to standard output). --map writes\n"
    "         FILE, the program map as JSON: for each assembled address its\n"
    "         source line, columns and kind, and the labels.\n"
    "         Errors go to standard error as SOURCE:LINE:COLUMN: error: MESSAGE;\n"
    "         with any error nothing is written and the exit code is 1.\n"
    "test     runs every SUBMISSION (files, or folders of .asm and .prg files)\n"
    "         against every case of the CASES files, or without submissions the\n"
    "         program each case file names. --junit, --json, --gradescope and\n"
    "         --prairielearn write reports. Exit code: 0 all passed, 4 any\n"
    "         failed, 1 usage or case file error.\n"
    "\n"
    "-- ends the options: a file name after it may start with '-'. Sources\n"
    "larger than 16 MB, FIFOs and devices are refused.\n";

// Output that could not be written (a full disk, a closed pipe) must not end
// in an exit code that says all went well.
bool OutputFailed(std::ostream& out, std::ostream& err) {
  out.flush();
  if (out) return false;
  err << "Stream write error\n";
  return true;
}

int Usage(std::ostream& err, const std::string& problem) {
  if (!problem.empty()) err << "orvik-cli: " << problem << '\n';
  err << UsageText;
  return ExitError;
}

std::optional<uint64_t> ParseDecimal(const std::string& text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  return value;
}

std::optional<int> ParseHexByte(const std::string& text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

struct TCommandLine {
  std::string Program;
  uint64_t Steps = DefaultStepLimit;
  bool State = false;
  bool Json = false;
  bool HasTrace = false;
  std::string Trace;
  std::vector<int> Breakpoints;
  int PC = 0;
  bool Help = false;
  bool HasSteps = false;
  std::string CaseFile;
  std::string CaseName;
};

// Asked for, the usage is the output: stdout and success.
int Help(std::ostream& out, std::ostream& err) {
  out << UsageText;
  return OutputFailed(out, err) ? ExitError : ExitHalted;
}

// Parses the arguments after the command name; options may come before or
// after PROGRAM, "--" ends them (so that a file named "-x" can be given), and
// --help asks for the usage and ends the parsing. Returns the problem text,
// "" when all is well.
std::string ParseArguments(const std::vector<std::string>& args, bool isRun, TCommandLine& line) {
  bool haveProgram = false;
  bool options = true;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--help" || arg == "-h")) {
      line.Help = true;
      return "";
    } else if (!options) {
      if (haveProgram) return "more than one PROGRAM: " + arg;
      line.Program = arg;
      haveProgram = true;
    } else if (isRun && arg == "--steps") {
      if (!hasValue) return "--steps needs a number";
      const std::optional<uint64_t> steps = ParseDecimal(args[++i]);
      if (!steps) return "--steps needs a decimal number, not " + args[i];
      line.Steps = *steps;
      line.HasSteps = true;
    } else if (isRun && arg == "--case") {
      if (i + 2 >= args.size()) return "--case needs a case file and the NAME of a case";
      line.CaseFile = args[++i];
      line.CaseName = args[++i];
    } else if (isRun && arg == "--state") {
      line.State = true;
    } else if (isRun && arg == "--json") {
      line.Json = true;
    } else if (isRun && arg == "--trace") {
      if (!hasValue) return "--trace needs a FILE name (- for standard output)";
      line.Trace = args[++i];
      line.HasTrace = true;
    } else if (isRun && arg == "--break") {
      if (!hasValue) return "--break needs a hexadecimal address";
      const std::optional<int> address = ParseHexByte(args[++i]);
      if (!address) return "--break needs a hexadecimal address 0..FF, not " + args[i];
      line.Breakpoints.push_back(*address);
    } else if (!isRun && arg == "--pc") {
      if (!hasValue) return "--pc needs a hexadecimal address";
      const std::optional<int> pc = ParseHexByte(args[++i]);
      if (!pc) return "--pc needs a hexadecimal address 0..FF, not " + args[i];
      line.PC = *pc;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (haveProgram) {
      return "more than one PROGRAM: " + arg;
    } else {
      line.Program = arg;
      haveProgram = true;
    }
  }
  if (!haveProgram && line.CaseFile.empty()) return "PROGRAM is missing";
  // A slip (--trace x.prg for x.prg) would overwrite the program.
  std::error_code ec;
  if (line.HasTrace && std::filesystem::equivalent(line.Program, line.Trace, ec))
    return "the trace FILE " + line.Trace + " is the PROGRAM";
  if (line.Json && line.HasTrace && line.Trace == "-") return "--json and --trace - cannot both use standard output";
  return "";
}

void WriteState(std::ostream& err, const TRunResult& state) {
  err << "PC=" << HexText(state.PC, 2) << " IR=" << HexText(state.IR, 4) << '\n';
  for (int r = 0; r < RegisterCount; ++r)
    err << (r > 0 ? " R" : "R") << HexText(r, 1) << '=' << HexText(state.Registers[static_cast<size_t>(r)], 2);
  err << '\n';
  for (int row = 0; row < MemorySize; row += 16) {
    err << HexText(row, 2) << ':';
    for (int column = 0; column < 16; ++column)
      err << ' ' << HexText(state.Memory[static_cast<size_t>(row + column)], 2);
    err << '\n';
  }
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCommandLine line;
  const std::string problem = ParseArguments(args, true, line);
  if (!problem.empty()) return Usage(err, problem);
  if (line.Help) return Help(out, err);
  TCaseFile caseFile;
  const TGradeCase* gradeCase = nullptr;
  if (!line.CaseFile.empty()) {
    std::string caseProblem;
    if (!ReadCaseFile(line.CaseFile, caseFile, caseProblem)) {
      err << caseProblem << '\n';
      return ExitError;
    }
    for (const TGradeCase& c : caseFile.Cases)
      if (c.Name == line.CaseName) gradeCase = &c;
    if (!gradeCase) {
      err << line.CaseFile << ": no case named \"" << line.CaseName << "\"\n";
      return ExitError;
    }
    if (line.Program.empty()) line.Program = caseFile.Program;
    if (line.Program.empty()) return Usage(err, line.CaseFile + " names no \"program\"; give the PROGRAM");
    std::error_code ec;
    if (line.HasTrace && std::filesystem::equivalent(line.CaseFile, line.Trace, ec))
      return Usage(err, "the trace FILE " + line.Trace + " is the case file");
  }
  TLoadedProgram loaded = LoadProgram(line.Program);
  if (!loaded.Ok) {
    if (!loaded.Problem.empty()) err << loaded.Problem << '\n';
    WriteAsmErrors(line.Program, loaded.Errors, err);
    if (line.Json) out << LoadFailureJson(loaded);
    OutputFailed(out, err);
    return ExitError;
  }

  // A trace file is written as the program runs: it may grow far beyond
  // memory, and /dev/null or a pipe must work as a target.
  std::ofstream traceFile;
  std::ostream* trace = nullptr;
  if (line.HasTrace && line.Trace == "-") {
    trace = &out;
  } else if (line.HasTrace) {
    errno = 0;
    traceFile.open(line.Trace, std::ios::binary | std::ios::trunc);
    if (!traceFile.is_open()) {
      err << "Cannot create file " << line.Trace << ": " << std::strerror(errno != 0 ? errno : EIO) << '\n';
      return ExitError;
    }
    trace = &traceFile;
  }
  TTraceWriter traceWriter(trace ? *trace : out);
  TTraceEvent onTrace;
  if (trace) onTrace = [&traceWriter](const TTraceStep& step) { traceWriter.Write(step); };
  if (loaded.HasMap) traceWriter.SetMap(&loaded.Map);
  // The raw bytes go out as they are written, unless standard output carries
  // a JSON document or the trace (which holds every output byte).
  TOutputEvent onOutput;
  if (!line.Json && trace != &out) onOutput = [&out](char byte) { out.put(byte); };

  TRunSetup setup;
  if (gradeCase) {
    setup = CaseSetup(*gradeCase, loaded.Cells, SIZE_MAX);
    if (line.HasSteps) setup.StepLimit = line.Steps;
    setup.Breakpoints.insert(setup.Breakpoints.end(), line.Breakpoints.begin(), line.Breakpoints.end());
  } else {
    setup.Memory = std::move(loaded.Cells);
    setup.StepLimit = line.Steps;
    setup.Breakpoints = line.Breakpoints;
  }
  // A failed write (a closed pipe, a full disk) ends the run at once: without
  // --steps a program would otherwise write into nothing forever.
  int traceError = 0;  // the system's reason, taken before later calls change errno
  setup.KeepGoing = [&out, &traceFile, &traceError] {
    if (!traceFile.good() && traceError == 0) traceError = errno != 0 ? errno : EIO;
    return out.good() && traceFile.good();
  };
  const TRunResult result = RunImage(setup, onOutput, onTrace);
  traceWriter.Flush();
  if (trace == &traceFile) {
    errno = 0;
    traceFile.flush();
    if (!traceFile) {
      // Half a trace reads as a program that stopped there; it is removed
      // (a device such as /dev/full stays).
      const int reason = traceError != 0 ? traceError : errno != 0 ? errno : EIO;
      traceFile.close();
      std::error_code ec;
      if (std::filesystem::is_regular_file(line.Trace, ec)) std::filesystem::remove(line.Trace, ec);
      err << "Cannot write file " << line.Trace << ": " << std::strerror(reason) << '\n';
      return ExitError;
    }
  }
  if (line.Json) out << RunReportJson(result);
  if (OutputFailed(out, err)) return ExitError;

  TStop stop;
  stop.Reason = result.Status;
  stop.PC = result.PC;
  err << StopWords(stop) << '\n';
  const int exitCode = result.Status == srHalt         ? ExitHalted
                       : result.Status == srInvalid    ? ExitInvalid
                       : result.Status == srBreakpoint ? ExitBreakpoint
                                                       : ExitStepLimit;
  if (line.State) WriteState(err, result);
  // The outcome and the state are output too: lost, they are no success.
  err.flush();
  if (!err) return ExitError;
  return exitCode;
}

int DisasmCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCommandLine line;
  const std::string problem = ParseArguments(args, false, line);
  if (!problem.empty()) return Usage(err, problem);
  if (line.Help) return Help(out, err);
  std::vector<int32_t> cells;
  if (!LoadProgramArgument(line.Program, cells, err)) return ExitError;
  TMemoryCells memory{};
  std::copy_n(cells.begin(), std::min(cells.size(), memory.size()), memory.begin());
  out << BuildListing(memory, line.PC);
  return OutputFailed(out, err) ? ExitError : ExitHalted;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "");
  const std::string& command = args[0];
  if (command == "run") return RunCommand(args, out, err);
  if (command == "disasm") return DisasmCommand(args, out, err);
  if (command == "test") return RunTestCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  if (command == "assemble")
    return RunAssembleCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  if (command == "--help" || command == "-h") return Help(out, err);
  return Usage(err, "unknown command " + command);
}
