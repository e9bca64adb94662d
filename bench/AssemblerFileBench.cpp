// Whole source files through orvik-cli's assembler path: a table of 100,000
// labels, and 10 MB of mixed lines for the speed and the peak heap per
// source byte (the file's own bytes included).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "Bench.h"
#include "grading/AssemblerSeam.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The error lines go nowhere, as to a terminal that keeps up.
class TNullBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

std::string WriteSource(const std::string& name, const std::string& text) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

struct TRun {
  double Seconds;
  size_t PeakBytes;
};

TRun AssembleFile(const std::string& path) {
  TNullBuffer nothing;
  std::ostream err(&nothing);
  std::vector<int32_t> cells;
  const size_t before = HeapBytesInUse();
  ResetHeapPeak();
  const auto start = std::chrono::steady_clock::now();
  AssembleSourceFile(path, cells, err);
  const double seconds = Seconds(start);
  return {seconds, HeapPeakBytes() - before};
}

void AsmLabels(TBenchContext& context) {
  const int labels = context.Smoke() ? 1000 : 100000;
  // Only definitions: each looks its name up among all before it. (Uses
  // would emit bytes, and emitting stops at the end of memory.)
  std::string text;
  for (int i = 0; i < labels; ++i) text += "L" + std::to_string(i) + ":\r\n";
  const std::string path = WriteSource("orvik-bench-labels.asm", text);
  const TRun run = AssembleFile(path);
  std::filesystem::remove(path);
  context.Report("assemble_100k_labels_ms", run.Seconds * 1000);
}

// Lines as a student's source and its mistakes have them: comments, blank
// lines, labels (each new), code up to the end of memory, and lines in error.
std::string MixedSource(size_t size) {
  std::string text;
  text.reserve(size + 100);
  const char* const code[] = {"         load    R1,Text     ;the start of the string\r\n",
                              "         addi    R1,R1,R2    ;increase address\r\n",
                              "         jmpEQ   RF=R0,Ready ;when string-terminator, then ready\r\n"};
  for (size_t line = 0; text.size() < size; ++line) {
    switch (line % 8) {
      case 0: text += "; a comment that explains the next part of the program\r\n"; break;
      case 1: text += "\r\n"; break;
      case 2: text += "Label" + std::to_string(line) + ":\r\n"; break;
      case 3: text += line < 300 ? code[line % 3] : "          ; indented comment\r\n"; break;
      case 4: text += "\n"; break;
      case 5: text += "Word" + std::to_string(line) + " R1 ; not an instruction\r\n"; break;
      case 6: text += "         \t \r\n"; break;
      default: text += ";\n"; break;
    }
  }
  return text;
}

void AsmFile(TBenchContext& context) {
  const size_t size = context.Smoke() ? 100000 : 10u << 20;
  const std::string path = WriteSource("orvik-bench-mixed.asm", MixedSource(size));
  const TRun run = AssembleFile(path);
  std::filesystem::remove(path);
  context.Report("assemble_mb_per_second", static_cast<double>(size) / (1 << 20) / run.Seconds);
  context.Report("assemble_peak_bytes_per_source_byte", static_cast<double>(run.PeakBytes) / static_cast<double>(size));
}

}  // namespace

ORVIK_BENCH_CASE(asm_labels, AsmLabels, false);
ORVIK_BENCH_CASE(asm_file, AsmFile, false);
