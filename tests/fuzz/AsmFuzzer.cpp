// libFuzzer target: arbitrary bytes as an assembly source. Besides the
// sanitizers it checks the invariants the editor relies on: tokens cover each
// line, styled runs are maximal, and reports point into the source.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "assembler/SourceText.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Lines split at LF only, so CR bytes reach FetchLine's trimming.
class TLfLines final : public TLineSource {
 public:
  explicit TLfLines(std::string_view text) {
    size_t start = 0;
    for (size_t pos = 0; pos <= text.size(); ++pos) {
      if (pos == text.size() || text[pos] == '\n') {
        FLines.emplace_back(text.substr(start, pos - start));
        start = pos + 1;
      }
    }
  }
  int LineCount() const override { return static_cast<int>(FLines.size()); }
  int LineStart(int i) const override { return i; }
  int LineLength(int i) const override { return static_cast<int>(FLines[static_cast<size_t>(i)].size()); }
  void CopyLine(int i, char* dest) const override {
    FLines[static_cast<size_t>(i)].copy(dest, FLines[static_cast<size_t>(i)].size());
  }

 private:
  std::vector<std::string> FLines;
};

void CheckLine(TAsmParser& parser, const std::string& line) {
  parser.SetText(line.data(), static_cast<int>(line.size()));
  parser.TokenizeLine();
  int pos = 0;
  for (const TToken& token : parser.Tokens()) {
    Require(token.StartPos == pos && token.EndPos > token.StartPos);
    pos = token.EndPos;
  }
  Require(pos == static_cast<int>(line.size()));
  parser.AssignStyles();
  pos = 0;
  const TToken* previous = nullptr;
  for (const TToken& run : parser.Tokens()) {
    Require(run.StartPos == pos && run.EndPos > run.StartPos);
    Require(previous == nullptr || previous->Style != run.Style);
    previous = &run;
    pos = run.EndPos;
  }
  Require(pos == static_cast<int>(line.size()));
}

void AssembleAndCheck(const TLineSource& source) {
  TAsmParser parser(&source);
  parser.Assemble([&](int line, int column, const std::string& message) {
    Require(line >= 0 && line < source.LineCount());
    Require(column >= 0 && column <= std::max(source.LineLength(line), 998));
    Require(!message.empty());
  });
  for (int address = 0; address < TAsmParser::ImageSize; ++address) {
    Require(parser.GetByte(address) >= 0 && parser.GetByte(address) <= 255);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TStringListSource lines(SplitSourceLines(bytes));
  AssembleAndCheck(lines);
  AssembleAndCheck(TLfLines(bytes));
  TAsmParser parser;
  for (const std::string& line : lines.Lines()) CheckLine(parser, line);
  return 0;
}
