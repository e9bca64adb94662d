// The lexer as the highlighter drives it (one line per keystroke), and whole
// assemblies of a program that fills memory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Bench.h"
#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double HighlightRate(const std::string& line, int repetitions) {
  TAsmParser parser;
  size_t runs = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repetitions; ++i) {
    parser.SetText(line.c_str());
    parser.TokenizeLine();
    parser.AssignStyles();
    runs += parser.Tokens().size();
  }
  const double seconds = Seconds(start);
  benchmark::DoNotOptimize(runs);
  return repetitions / seconds;
}

void AsmHighlight(TBenchContext& context) {
  const int repetitions = context.Smoke() ? 100 : 2000000;
  const std::string typical = "loop:   jmpLE R2<=R0,Start ; count down \"to\" 0x10";
  std::string longLine;
  while (longLine.size() < 1000) longLine += "db 1,'ab',0x7F,12A3 ";
  context.Report("typical_lines_per_second", HighlightRate(typical, repetitions));
  context.Report("long_1000_char_lines_per_second", HighlightRate(longLine, repetitions / 20));
}

// 32 groups of four lines, the first using a label defined later; the fourth
// line of group i is fourth(i).
std::vector<std::string> BenchProgram(const std::function<std::string(int)>& fourth) {
  std::vector<std::string> lines;
  for (int i = 0; i < 32; ++i) {
    const std::string n = std::to_string(i);
    lines.push_back("L" + n + ": load R1,[L" + std::to_string((i + 1) % 32) + "] ; next");
    lines.push_back("  addi R2,R2,R1");
    lines.push_back("  jmpLE R2<=R0,L" + n);
    lines.push_back(fourth(i));
  }
  return lines;
}

void AsmAssemble(TBenchContext& context) {
  const int repetitions = context.Smoke() ? 10 : 20000;
  // 128 two-byte instructions.
  const std::vector<std::string> lines =
      BenchProgram([](int i) { return "  store R2,[0x" + std::to_string(10 + i % 6) + "]"; });
  TStringListSource source(lines);
  TAsmParser parser(&source);
  int errors = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repetitions; ++i) parser.Assemble([&](int, int, const std::string&) { ++errors; });
  const double seconds = Seconds(start);
  if (errors != 0 || parser.GetByte(255) == 0) throw std::logic_error("assemble benchmark program");
  context.Report("assemblies_per_second", repetitions / seconds);
  context.Report("lines_per_second", repetitions * static_cast<double>(lines.size()) / seconds);
}

// Assembling with the program map against assembling without it, on a
// program with data bytes too (their map entries differ from an
// instruction's); best of 5 rounds of each, interleaved, so that a busy
// machine slows both sides alike.
void AsmMapOverhead(TBenchContext& context) {
  const int repetitions = context.Smoke() ? 10 : 5000;
  const std::vector<std::string> lines = BenchProgram([](int) { return std::string("  db 1,2"); });
  TStringListSource source(lines);
  TAsmParser parser(&source);
  int errors = 0;
  auto round = [&](bool map) {
    parser.SetRecordMap(map);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i) parser.Assemble([&](int, int, const std::string&) { ++errors; });
    return Seconds(start);
  };
  double with = 1e30, without = 1e30;
  for (int r = 0; r < 5; ++r) {
    without = std::min(without, round(false));
    with = std::min(with, round(true));
  }
  if (errors != 0 || parser.Map().Cell(255).Kind != mkData) throw std::logic_error("map benchmark program");
  context.Report("assemble_map_overhead_ratio", with / without);
}

}  // namespace

ORVIK_BENCH_CASE(asm_map_overhead, AsmMapOverhead, false);
ORVIK_BENCH_CASE(asm_highlight, AsmHighlight, false);
ORVIK_BENCH_CASE(asm_assemble, AsmAssemble, false);
