#include "grading/CaseCheck.h"

#include <algorithm>

#include "grading/ByteText.h"
#include "machine/HexText.h"
#include "machine/ProgramMap.h"

namespace {

std::string Steps(uint64_t steps) { return std::to_string(steps) + (steps == 1 ? " step" : " steps"); }

// " (line 7)" for an address of a source's program that still holds what
// was assembled there; "" otherwise.
std::string LineNote(const TProgramMap* map, const TRunResult& result, int address) {
  if (map == nullptr) return "";
  const TMapCell& cell = map->Cell(address);
  const auto a = static_cast<size_t>(address & 0xFF);
  if (cell.Kind == mkNone || a >= result.Memory.size() || result.Memory[a] != cell.Value) return "";
  return " (line " + std::to_string(cell.Line) + ")";
}

std::string WhatItDid(const TRunResult& result, const TProgramMap* map) {
  switch (result.Status) {
    case srHalt: return "halted after " + Steps(result.Steps);
    case srInvalid: {
      const int at = (result.PC - 2) & 0xFF;
      return "met an invalid instruction at " + HexText(at, 2) + LineNote(map, result, at) + " after " +
             Steps(result.Steps);
    }
    case srStepLimit: return "was still running after " + Steps(result.Steps) + " (the step limit)";
    case srBreakpoint:
      return "stopped at the breakpoint at " + HexText(result.PC, 2) + LineNote(map, result, result.PC) + " after " +
             Steps(result.Steps);
    default: break;  // RunImage reports no other reason
  }
  return "";
}

std::string WhatWasExpected(TStopReason status) {
  switch (status) {
    case srHalt: return "to halt";
    case srInvalid: return "to stop at an invalid instruction";
    case srStepLimit: return "to run until the step limit";
    case srBreakpoint: return "to stop at a breakpoint";
    default: break;  // a case file names no other reason
  }
  return "";
}

// actual may be cut short of the total that was written (the output cap).
std::string OutputDifference(const std::string& expected, const std::string& actual, uint64_t total) {
  total = std::max<uint64_t>(total, actual.size());
  size_t same = 0;
  while (same < expected.size() && same < actual.size() && expected[same] == actual[same]) ++same;
  if (same == expected.size() && same == actual.size() && total == actual.size()) return "";
  if (same == expected.size() && same == actual.size())
    return "output has " + std::to_string(total - same) + " bytes more than expected";
  // Show the text from a little before the difference, where the reader
  // can still recognise it.
  const size_t from = same > 10 ? same - 10 : 0;
  const std::string before = from > 0 ? "..." : "";
  if (same == actual.size())
    return "output ends after " + std::to_string(actual.size()) + " bytes; expected " +
           std::to_string(expected.size()) + ", going on with " + QuoteBytes(expected.substr(same));
  if (same == expected.size())
    return "output has " + std::to_string(total - same) +
           " bytes more than expected: " + QuoteBytes(actual.substr(same));
  return "output differs at byte " + std::to_string(same + 1) + ": expected " + before +
         QuoteBytes(expected.substr(from)) + ", got " + before + QuoteBytes(actual.substr(from));
}

std::string CellText(int32_t value) { return HexText(value, 2); }

}  // namespace

TRunSetup CaseSetup(const TGradeCase& gradeCase, const std::vector<int32_t>& image, size_t maxOutput) {
  TRunSetup setup;
  setup.Memory = image;
  setup.Memory.resize(MemorySize, 0);
  for (const TCellValue& cell : gradeCase.Cells) setup.Memory[static_cast<size_t>(cell.Address)] = cell.Value;
  for (const TCellValue& reg : gradeCase.Registers) setup.Registers[static_cast<size_t>(reg.Address)] = reg.Value;
  setup.PC = gradeCase.PC;
  setup.StepLimit = gradeCase.Steps;
  setup.Breakpoints = gradeCase.Breakpoints;
  setup.MaxOutput = maxOutput;
  return setup;
}

std::string FirstDifference(const TGradeCase& gradeCase, const TRunResult& result, const TProgramMap* map) {
  if (gradeCase.Status && *gradeCase.Status != result.Status)
    return "expected the program " + WhatWasExpected(*gradeCase.Status) + ", but it " + WhatItDid(result, map);
  if (gradeCase.Output) {
    const std::string difference = OutputDifference(*gradeCase.Output, result.Output, result.OutputBytes);
    if (!difference.empty()) return difference;
  }
#if ORVIK_OUTPUT_REGEX
  if (gradeCase.OutputRegex) {
    if (result.Output.size() > MaxPatternOutput)
      return "output of " + std::to_string(result.Output.size()) + " bytes is too long to match /" +
             gradeCase.OutputPattern + "/ (at most " + std::to_string(MaxPatternOutput) + ")";
    if (!std::regex_search(result.Output, *gradeCase.OutputRegex))
      return "output " + QuoteBytes(result.Output) + " does not match /" + gradeCase.OutputPattern + "/";
  }
#endif
  if (gradeCase.ExpectPC && *gradeCase.ExpectPC != result.PC)
    return "PC is " + CellText(result.PC) + ", expected " + CellText(*gradeCase.ExpectPC);
  for (const TCellValue& reg : gradeCase.ExpectRegisters) {
    const int32_t actual = result.Registers[static_cast<size_t>(reg.Address)];
    if (actual != reg.Value)
      return "R" + HexText(reg.Address, 1) + " is " + CellText(actual) + ", expected " + CellText(reg.Value);
  }
  for (const TCellValue& cell : gradeCase.ExpectCells) {
    const int32_t actual = result.Memory[static_cast<size_t>(cell.Address)];
    if (actual != cell.Value)
      return "memory cell " + HexText(cell.Address, 2) + " is " + CellText(actual) + ", expected " +
             CellText(cell.Value);
  }
  return "";
}
