// libFuzzer target: arbitrary bytes as a source file, loaded the way the
// editor and orvik-cli load one: through the file reader (a real file on
// disk), split into lines, and held as the assembler's compact line source.
// Both ways of splitting must agree line for line, and the compact source
// must assemble exactly as the list of lines does.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "assembler/SourceText.h"
#include "assembler/TextLineSource.h"
#include "machine/FileReader.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// One scratch file per fuzzing process, removed when it ends.
const std::string& ScratchFile() {
  static const std::string path = "/tmp/orvik-source-fuzz-" + std::to_string(::getpid()) + ".asm";
  // Registered after path is made, so it runs before path is destroyed.
  static const bool removedAtExit = std::atexit([] { std::remove(path.c_str()); }) == 0;
  (void)removedAtExit;
  return path;
}

struct TReport {
  int Line, Column;
  std::string Message;
  bool operator==(const TReport& other) const {
    return Line == other.Line && Column == other.Column && Message == other.Message;
  }
};

std::vector<TReport> Assemble(const TLineSource& source, std::vector<int>& image) {
  std::vector<TReport> reports;
  TAsmParser parser(&source);
  parser.Assemble([&](int line, int column, const std::string& message) {
    reports.push_back({line, column, message});
  });
  image.clear();
  for (int address = 0; address < TAsmParser::ImageSize; ++address) image.push_back(parser.GetByte(address));
  return reports;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(ScratchFile(), std::ios::binary | std::ios::trunc);
    file.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  // A limit below the input's size is refused whole, never cut short.
  std::string bytes;
  TFileError error;
  const size_t limit = size / 2;
  if (size > 0) Require(!ReadRegularFile(ScratchFile(), limit, false, bytes, error) && bytes.empty());
  Require(ReadRegularFile(ScratchFile(), MaxSourceFileSize, false, bytes, error));
  Require(bytes == input);

  const TStringListSource lines(SplitSourceLines(bytes));
  const TTextLineSource compact(bytes);
  Require(lines.LineCount() == compact.LineCount());
  Require(CountSourceLines(bytes) == static_cast<size_t>(lines.LineCount()));
  std::string line;
  for (int i = 0; i < lines.LineCount(); ++i) {
    Require(lines.LineStart(i) == compact.LineStart(i));
    Require(lines.LineLength(i) == compact.LineLength(i));
    line.assign(static_cast<size_t>(compact.LineLength(i)), '\0');
    compact.CopyLine(i, line.data());
    Require(line == lines.Lines()[static_cast<size_t>(i)]);
  }
  std::vector<int> listImage, compactImage;
  Require(Assemble(lines, listImage) == Assemble(compact, compactImage));
  Require(listImage == compactImage);
  return 0;
}
