#include "machine/TerminalModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TLines = std::vector<std::string>;

struct TWriteCase {
  const char* name;
  int cols, rows;
  std::string input;
  TLines lines;
  int curLine;
};

TTerminalModel Written(int cols, int rows, const std::string& input) {
  TTerminalModel model;
  model.SetSize(cols, rows);
  for (char ch : input) model.Write(static_cast<unsigned char>(ch));
  return model;
}

const TWriteCase kCases[] = {
    {"FillingTheLastCellDoesNotBreak", 4, 3, "abcd", {"abcd"}, 0},
    {"TheNextByteBreaks", 4, 3, "abcde", {"abcd", "e"}, 1},
    {"LineFeedOnAFullLineBreaksOnce", 4, 3, "abcd\nx", {"abcd", "x"}, 1},
    {"TwoLineFeedsLeaveOneEmptyLine", 10, 4, "a\n\nb", {"a", "", "b"}, 2},
    {"LineFeedOnTheBottomRowScrolls", 10, 3, "1\n2\n3\n", {"2", "3", ""}, 2},
    {"WrapOnTheBottomRowScrolls", 4, 2, "abcdefghij", {"efgh", "ij"}, 1},
    {"OneRowScrollsIntoItself", 3, 1, "abcd\ne", {"e"}, 0},
    {"BackspaceOnAnEmptyTerminal", 10, 2, "\b", {""}, 0},
    {"BackspaceRemovesTheLastCharacter", 10, 2, "ab\b", {"a"}, 0},
    {"BackspaceNeverGoesBackALine", 10, 2, "a\n\b\b", {"a", ""}, 1},
    {"TabAfterThreeCharacters", 20, 2, "abc\t", {"abc     "}, 0},
    {"TabOnAnEmptyLine", 20, 2, "\t", {"        "}, 0},
    {"TabOnAMultipleOfEightWritesEight", 20, 2, "abcdefgh\t", {"abcdefgh        "}, 0},
    {"TabContinuesOnTheWrappedLine", 10, 3, "abcdefgh\t", {"abcdefgh  ", "        "}, 1},
    {"NarrowTabStopsWhenTheLineIsFull", 4, 3, "ab\tc", {"ab  ", "c"}, 1},
    {"NarrowTabOnAFullLineFillsTheNextLine", 4, 3, "abcd\t", {"abcd", "    "}, 1},
    {"TabInOneColumn", 1, 2, "\t\t", {" ", " "}, 1},
    {"NulChangesNothingOnAShortLine", 4, 2, std::string("ab\0c", 4), {"abc"}, 0},
    {"NulOnAFullLineStartsANewLine", 4, 2, std::string("abcd\0", 5), {"abcd", ""}, 1},
    {"OtherControlCodesAreCharacters", 10, 2, "a\rb\x07\x0c\x1b\x7f\x80\xff", {"a\rb\x07\x0c\x1b\x7f\x80\xff"}, 0},
    {"ASizeBelowOneCellCountsAsOne", 0, 0, "ab\nc", {"c"}, 0},
};

class TerminalModelWrite : public ::testing::TestWithParam<TWriteCase> {};

TEST_P(TerminalModelWrite, GivesTheLines) {
  const TWriteCase& c = GetParam();
  const TTerminalModel model = Written(c.cols, c.rows, c.input);
  EXPECT_EQ(model.Lines(), c.lines);
  EXPECT_EQ(model.CurLine(), c.curLine);
}

INSTANTIATE_TEST_SUITE_P(Cases, TerminalModelWrite, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TerminalModel, EveryByteKeepsTheInvariant) {
  // The "Output test" example writes every byte value in turn, endlessly.
  for (int cols : {1, 3, 7, 8, 9, 20}) {
    TTerminalModel model;
    model.SetSize(cols, 3);
    for (int round = 0; round < 3; ++round) {
      for (int b = 0; b < 256; ++b) {
        model.Write(static_cast<unsigned char>(b));
        ASSERT_LE(static_cast<int>(model.Lines().size()), 3);
        ASSERT_EQ(model.CurLine(), static_cast<int>(model.Lines().size()) - 1);
        for (const std::string& line : model.Lines()) ASSERT_LE(static_cast<int>(line.size()), cols);
      }
    }
  }
}

TEST(TerminalModel, ShrinkingKeepsTheTopLinesAndCutsTheRest) {
  TTerminalModel model = Written(6, 3, "abcdef\ngh\nij");
  model.SetSize(4, 2);
  EXPECT_EQ(model.Lines(), (TLines{"abcd", "gh"}));
  EXPECT_EQ(model.CurLine(), 1);
  model.Write('X');
  EXPECT_EQ(model.Lines(), (TLines{"abcd", "ghX"}));
}

}  // namespace
