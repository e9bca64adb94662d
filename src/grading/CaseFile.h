#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "grading/CliRun.h"

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
  std::optional<TStopReason> Status;
  std::optional<std::string> Output;  // exact bytes
  std::string OutputPattern;          // as written, for messages
  std::shared_ptr<const std::regex> OutputRegex;
  std::vector<TCellValue> ExpectRegisters;
  std::vector<TCellValue> ExpectCells;
  std::optional<int32_t> ExpectPC;
  double Points = 1;
  bool Hidden = false;  // counts, but a student is shown only that it passed or not
};

// The output kept per run; the rest is counted, so that a program printing
// in a loop cannot fill memory or the reports.
constexpr size_t DefaultMaxOutput = 64 * 1024;
constexpr size_t MaxOutputLimit = 16 * 1024 * 1024;

struct TCaseFile {
  std::string Path;
  std::string Program;  // resolved against the case file's folder; "" when not named
  std::vector<TGradeCase> Cases;
  // An exercise's words for the student; "" when not given.
  std::string Title;
  std::string Statement;
  std::string Starter;
  size_t MaxOutput = DefaultMaxOutput;
};

constexpr uint64_t DefaultCaseSteps = 1000000;

// The browser edition leaves regular expressions out: the standard
// library's matcher brings the whole of std::locale with it, which would
// double the page's download. There a case file with "output_regex" is
// refused with a message that names the tools that check it.
#if defined(__EMSCRIPTEN__)
#define ORVIK_OUTPUT_REGEX 0
#else
#define ORVIK_OUTPUT_REGEX 1
#endif

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

// Reads and checks a case file. On failure returns false with every mistake,
// one line each, naming the file and the JSON path or, for a syntax error,
// the line, the column and what was expected there.
bool ReadCaseFile(const std::string& path, TCaseFile& file, std::string& problem);

// The same for a case file's text already in memory (a page's upload or
// download); path names it in the messages and is where "program" is found.
bool ParseCaseFile(const std::string& text, const std::string& path, TCaseFile& file, std::string& problem);
