#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "cli/CliRun.h"

// A case file of orvik-cli test: JSON naming a program (optional), a default
// step limit and the cases, each with its starting state and what must hold
// at the end. The README shows the format.

struct TCellValue {
  int Address = 0;
  int32_t Value = 0;
};

struct TGradeCase {
  std::string Name;
  // The starting state: the program's image with these cells put over it.
  std::vector<TCellValue> Cells;
  std::vector<TCellValue> Registers;
  int32_t PC = 0;
  uint64_t Steps = 0;
  std::vector<int> Breakpoints;
  // What must hold at the end; an absent item is not checked.
  std::optional<TRunStatus> Status;
  std::optional<std::string> Output;  // exact bytes
  std::string OutputPattern;          // as written, for messages
  std::shared_ptr<const std::regex> OutputRegex;
  std::vector<TCellValue> ExpectRegisters;
  std::vector<TCellValue> ExpectCells;
  std::optional<int32_t> ExpectPC;
};

struct TCaseFile {
  std::string Path;
  std::string Program;  // resolved against the case file's folder; "" when not named
  std::vector<TGradeCase> Cases;
};

constexpr uint64_t DefaultCaseSteps = 1000000;

// libstdc++'s default matcher recurses once per character and overflows the
// stack on an output of some ten thousand bytes, which would end every
// grade at once; its breadth-first matcher runs in constant stack (and
// refuses back-references). Elsewhere the output to match is kept short.
#if defined(__GLIBCXX__)
constexpr std::regex::flag_type OutputRegexFlags = std::regex::ECMAScript | std::regex_constants::__polynomial;
constexpr size_t MaxPatternOutput = SIZE_MAX;
#else
constexpr std::regex::flag_type OutputRegexFlags = std::regex::ECMAScript;
constexpr size_t MaxPatternOutput = 4096;
#endif

// Reads and checks a case file. On failure returns false with one message
// that names the file and, for a syntax error, the line, the column and what
// was expected there.
bool ReadCaseFile(const std::string& path, TCaseFile& file, std::string& problem);
