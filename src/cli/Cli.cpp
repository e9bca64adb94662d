#include "cli/Cli.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>

#include "cli/AssemblerSeam.h"
#include "cli/ProgramLoader.h"
#include "machine/CellStore.h"
#include "machine/HexText.h"
#include "machine/Instruction.h"
#include "machine/Listing.h"
#include "machine/Simulator.h"

namespace {

constexpr int ExitHalted = 0;
constexpr int ExitError = 1;
constexpr int ExitInvalid = 2;
constexpr int ExitStepLimit = 3;
constexpr uint64_t DefaultStepLimit = 1000000;
// Instructions per call into the session between two flushes of its output.
constexpr uint64_t OutputSlice = 1 << 20;

const char* const UsageText =
    "usage: orvik-cli run PROGRAM [--steps N] [--state]\n"
    "       orvik-cli disasm PROGRAM [--pc HEX]\n"
    "       orvik-cli assemble SOURCE [-o PROGRAM]\n"
    "\n"
    "PROGRAM is a program file (1024 bytes) or, when it ends in .asm, a source\n"
    "that is assembled first.\n"
    "\n"
    "run      executes from PC 0 until halt, an invalid instruction or N\n"
    "         instructions (default 1000000, 0 = no limit). Every write of RF\n"
    "         goes to standard output as one byte; the outcome and, with --state,\n"
    "         PC, IR, the registers and memory go to standard error.\n"
    "         Exit code: 0 halted, 2 invalid instruction, 3 step limit reached,\n"
    "         1 file or assembly error.\n"
    "disasm   writes the listing of memory, starting at PC mod 2 (PC in hex,\n"
    "         default 0), to standard output.\n"
    "assemble assembles SOURCE and writes the program file PROGRAM, or without\n"
    "         -o the memory image as 16 rows of hex bytes to standard output.\n"
    "         Errors go to standard error as SOURCE:LINE:COLUMN: error: MESSAGE;\n"
    "         with any error nothing is written and the exit code is 1.\n";

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
  int PC = 0;
};

// Parses the arguments after the command name; options may come before or
// after PROGRAM. Returns the problem text, "" when all is well.
std::string ParseArguments(const std::vector<std::string>& args, bool isRun, TCommandLine& line) {
  bool haveProgram = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (isRun && arg == "--steps") {
      if (!hasValue) return "--steps needs a number";
      const std::optional<uint64_t> steps = ParseDecimal(args[++i]);
      if (!steps) return "--steps needs a decimal number, not " + args[i];
      line.Steps = *steps;
    } else if (isRun && arg == "--state") {
      line.State = true;
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
  return haveProgram ? "" : "PROGRAM is missing";
}

void LoadMemory(TCellArray& memory, const std::vector<int32_t>& cells) {
  for (int i = 0; i < MemorySize; ++i) memory.SetContents(i, cells[static_cast<size_t>(i)]);
}

void WriteState(std::ostream& err, const TSimulator& simulator) {
  err << "PC=" << HexText(simulator.PC(), 2) << " IR=" << HexText(simulator.IR(), 4) << '\n';
  for (int r = 0; r < RegisterCount; ++r)
    err << (r > 0 ? " R" : "R") << HexText(r, 1) << '=' << HexText(simulator.Register(r), 2);
  err << '\n';
  for (int row = 0; row < MemorySize; row += 16) {
    err << HexText(row, 2) << ':';
    for (int column = 0; column < 16; ++column) err << ' ' << HexText(simulator.Memory(row + column), 2);
    err << '\n';
  }
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCommandLine line;
  const std::string problem = ParseArguments(args, true, line);
  if (!problem.empty()) return Usage(err, problem);
  std::vector<int32_t> cells;
  if (!LoadProgramArgument(line.Program, cells, err)) return ExitError;

  TSimulator simulator;
  // Nothing here steps back, so the run keeps no history.
  simulator.SetRecording(false);
  simulator.LoadMemory(cells);
  TRunPolicy policy;
  policy.StepLimit = line.Steps;
  // The output port is emptied between slices, so a long run that prints a
  // lot holds little of it at a time.
  policy.Budget = OutputSlice;
  TStopReason reason = srBudget;
  while (reason == srBudget) {
    reason = simulator.Run(policy);
    const std::string output = simulator.TakeOutput();
    out.write(output.data(), static_cast<std::streamsize>(output.size()));
  }
  if (OutputFailed(out, err)) return ExitError;

  err << StopReasonText(reason) << '\n';
  const int exitCode = reason == srHalt ? ExitHalted : reason == srInvalid ? ExitInvalid : ExitStepLimit;
  if (line.State) WriteState(err, simulator);
  return exitCode;
}

int DisasmCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCommandLine line;
  const std::string problem = ParseArguments(args, false, line);
  if (!problem.empty()) return Usage(err, problem);
  std::vector<int32_t> cells;
  if (!LoadProgramArgument(line.Program, cells, err)) return ExitError;
  TCellArray memory(MemorySize);
  LoadMemory(memory, cells);
  out << BuildListing(memory, line.PC);
  return OutputFailed(out, err) ? ExitError : ExitHalted;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "");
  const std::string& command = args[0];
  if (command == "run") return RunCommand(args, out, err);
  if (command == "disasm") return DisasmCommand(args, out, err);
  if (command == "assemble")
    return RunAssembleCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
  if (command == "--help" || command == "-h") return Usage(err, "");
  return Usage(err, "unknown command " + command);
}
