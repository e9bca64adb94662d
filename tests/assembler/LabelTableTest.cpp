// The label table at scale: names found again after many regrowths of the
// index, case kept apart, and reports in the order labels were first met.
// Also the compact line source of whole files against the list of lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "AsmTestSupport.h"
#include "assembler/SourceText.h"
#include "assembler/TextLineSource.h"

namespace {

TEST(LabelTable, EveryNameIsFoundAgainAmongTwentyThousand) {
  constexpr int Count = 20000;
  std::vector<int> order(Count);
  for (int i = 0; i < Count; ++i) order[static_cast<size_t>(i)] = i;
  std::mt19937 random(14);
  std::shuffle(order.begin(), order.end(), random);
  // Defined in one order, with a twin in the other case, then defined again
  // in reverse: each second definition names the line of the first.
  std::vector<std::string> lines;
  for (int n : order) {
    lines.push_back("Name" + std::to_string(n) + ":");
    lines.push_back("nAME" + std::to_string(n) + ":");
  }
  for (auto it = order.rbegin(); it != order.rend(); ++it) lines.push_back("Name" + std::to_string(*it) + ":");
  const TAsmResult result = AssembleLines(lines);
  ASSERT_EQ(result.Errors.size(), static_cast<size_t>(Count));
  for (int i = 0; i < Count; ++i) {
    const int n = order[static_cast<size_t>(Count - 1 - i)];
    const auto first = static_cast<int>(std::find(order.begin(), order.end(), n) - order.begin()) * 2;
    const TAsmError& error = result.Errors[static_cast<size_t>(i)];
    ASSERT_EQ(error.Line, 2 * Count + i);
    ASSERT_EQ(error.Message, "Label is already defined at line " + std::to_string(first + 1) + ".") << n;
  }
}

TEST(LabelTable, UndefinedLabelsAreReportedInTheOrderFirstMet) {
  // Labels met first by a use, then some defined (patched) and others not;
  // enough names to regrow the index several times.
  std::vector<std::string> lines;
  std::vector<TAsmError> expected;
  for (int i = 0; i < 300; ++i) lines.push_back("Defined" + std::to_string(i) + ":");
  const std::vector<std::string> used = {"Zeta", "alpha", "Alpha", "M1", "Defined7", "zeta", "Q"};
  for (const std::string& name : used) lines.push_back("jmp " + name);
  lines.push_back("Alpha: halt");
  lines.push_back("Q:");
  for (size_t i = 0; i < used.size(); ++i) {
    if (used[i] == "Alpha" || used[i] == "Q" || used[i] == "Defined7") continue;
    expected.push_back(
        {300 + static_cast<int>(i), 4 + static_cast<int>(used[i].size()), "Label is not defined: " + used[i]});
  }
  const TAsmResult result = AssembleLines(lines);
  EXPECT_EQ(result.Errors, expected);
  // Defined7 was known: its jump was written at once; Alpha and Q patched.
  EXPECT_EQ(result.Image[9], 0);
  EXPECT_EQ(result.Image[5], 14);
  EXPECT_EQ(result.Image[13], 16);
}

TEST(TextLineSource, SplitsAsTheListOfLinesDoes) {
  const std::string inputs[] = {"",
                                "\n",
                                "\r\n",
                                "\r",
                                "a",
                                "a\r",
                                "a\r\r\nb",
                                "\r\n\n\r\r\n",
                                std::string("x\0y\r\nz\n", 7),
                                "load R1,2\r\nhalt\nData: db \"\xE9\"\r",
                                "\n\n\nlast"};
  for (const std::string& input : inputs) {
    const TStringListSource list(SplitSourceLines(input));
    const TTextLineSource text(input);
    ASSERT_EQ(text.LineCount(), list.LineCount()) << input;
    EXPECT_EQ(CountSourceLines(input), static_cast<size_t>(list.LineCount())) << input;
    for (int i = 0; i < list.LineCount(); ++i) {
      EXPECT_EQ(text.LineStart(i), list.LineStart(i)) << input << " line " << i;
      ASSERT_EQ(text.LineLength(i), list.LineLength(i)) << input << " line " << i;
      std::string line(static_cast<size_t>(text.LineLength(i)), '?');
      text.CopyLine(i, line.data());
      EXPECT_EQ(line, list.Lines()[static_cast<size_t>(i)]) << input << " line " << i;
    }
  }
}

TEST(TextLineSource, AssemblesAsTheListOfLinesDoes) {
  const std::string source = "start: load R1,Text\r\n\n  jmp Far ; x\rText: db \"hi\",10\r\nhalt x\n";
  const TAsmResult expected = AssembleLines(SplitSourceLines(source));
  const TTextLineSource text(source);
  TAsmParser parser(&text);
  std::vector<TAsmError> errors;
  parser.Assemble([&](int line, int column, const std::string& message) { errors.push_back({line, column, message}); });
  EXPECT_EQ(errors, expected.Errors);
  ASSERT_FALSE(errors.empty());
  for (int address = 0; address < TAsmParser::ImageSize; ++address)
    EXPECT_EQ(parser.GetByte(address), expected.Image[static_cast<size_t>(address)]) << address;
}

}  // namespace
