#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"

namespace {

constexpr int AnyValue = -9999;

struct TExpectedToken {
  TTokenWhat What;
  std::string Text;
  int Value = AnyValue;
};

struct TTokenCase {
  std::string Line;
  std::vector<TExpectedToken> Tokens;
};

std::vector<TExpectedToken> Tokenize(TAsmParser& parser, const std::string& line) {
  parser.SetText(line.data(), static_cast<int>(line.size()));
  parser.TokenizeLine();
  std::vector<TExpectedToken> result;
  for (const TToken& token : parser.Tokens()) {
    result.push_back(
        {token.What,
         line.substr(static_cast<size_t>(token.StartPos), static_cast<size_t>(token.EndPos - token.StartPos)),
         token.Value});
  }
  return result;
}

TEST(AsmLexer, TokenizesLines) {
  const std::vector<TTokenCase> cases = {
      {"", {}},
      {" \t  ", {{twSpace, " \t  "}}},
      {"R5:", {{twRegister, "R5", 5}, {twColon, ":"}}},
      {"r5x", {{twLabel, "r5x"}}},
      {"OR or Or",
       {{twMnemonic, "OR", 7}, {twSpace, " "}, {twMnemonic, "or", 7}, {twSpace, " "}, {twMnemonic, "Or", 7}}},
      {"db DB org JMP load STORE jmpeq JMPle",
       {{twMnemonic, "db", -1},
        {twSpace, " "},
        {twMnemonic, "DB", -1},
        {twSpace, " "},
        {twMnemonic, "org", -2},
        {twSpace, " "},
        {twMnemonic, "JMP", -5},
        {twSpace, " "},
        {twMnemonic, "load", -3},
        {twSpace, " "},
        {twMnemonic, "STORE", -4},
        {twSpace, " "},
        {twMnemonic, "jmpeq", 11},
        {twSpace, " "},
        {twMnemonic, "JMPle", 15}}},
      {"and xor ror move addi addf halt",
       {{twMnemonic, "and", 8},
        {twSpace, " "},
        {twMnemonic, "xor", 9},
        {twSpace, " "},
        {twMnemonic, "ror", 10},
        {twSpace, " "},
        {twMnemonic, "move", 4},
        {twSpace, " "},
        {twMnemonic, "addi", 5},
        {twSpace, " "},
        {twMnemonic, "addf", 6},
        {twSpace, " "},
        {twMnemonic, "halt", 12}}},
      {"r0 RA rf Rb R10 RG R jmpEQx",
       {{twRegister, "r0", 0},
        {twSpace, " "},
        {twRegister, "RA", 10},
        {twSpace, " "},
        {twRegister, "rf", 15},
        {twSpace, " "},
        {twRegister, "Rb", 11},
        {twSpace, " "},
        {twLabel, "R10"},
        {twSpace, " "},
        {twLabel, "RG"},
        {twSpace, " "},
        {twLabel, "R"},
        {twSpace, " "},
        {twLabel, "jmpEQx"}}},
      {"#a_b~9 _", {{twLabel, "#a_b~9"}, {twSpace, " "}, {twLabel, "_"}}},
      {"a<b", {{twLabel, "a"}, {twLoneLess, "<"}, {twLabel, "b"}}},
      {"a<=b", {{twLabel, "a"}, {twLessEqual, "<="}, {twLabel, "b"}}},
      {"<", {{twLoneLess, "<"}}},
      {"[R1],=", {{twOpenBracket, "["}, {twRegister, "R1", 1}, {twCloseBracket, "]"}, {twComma, ","}, {twEqual, "="}}},
      {"1+1", {{twNumber, "1", 1}, {twOther, "+"}, {twNumber, "1", 1}}},
      {"1.5", {{twNumber, "1"}, {twOther, "."}, {twNumber, "5"}}},
      {"0x1G", {{twNumber, "0x1", 1}, {twLabel, "G"}}},
      {"12hx", {{twNumber, "12h", 18}, {twLabel, "x"}}},
      {"-5-3", {{twNumber, "-5", -5}, {twNumber, "-3", -3}}},
      {"\"abc", {{twString, "\"abc", 0}}},
      {"x '", {{twLabel, "x"}, {twSpace, " "}, {twString, "'", 0}}},
      {"'it''s'", {{twString, "'it'", 1}, {twString, "'s'", 1}}},
      {"\"a'b\"'", {{twString, "\"a'b\"", 1}, {twString, "'", 0}}},
      {"'a;b' ;c\"d", {{twString, "'a;b'", 1}, {twSpace, " "}, {twComment, ";c\"d"}}},
      {";", {{twComment, ";"}}},
      {"\x80\xFF"
       "ab\xE9",
       {{twOther, "\x80\xFF"}, {twLabel, "ab"}, {twOther, "\xE9"}}},
      {"@!?(a", {{twOther, "@!?("}, {twLabel, "a"}}},
      {"@ @", {{twOther, "@"}, {twSpace, " "}, {twOther, "@"}}},
      {std::string("a\0b", 3), {{twLabel, "a"}, {twOther, std::string(1, '\0')}, {twLabel, "b"}}},
  };
  TAsmParser parser;
  for (const TTokenCase& testCase : cases) {
    const std::vector<TExpectedToken> actual = Tokenize(parser, testCase.Line);
    ASSERT_EQ(actual.size(), testCase.Tokens.size()) << "line: " << testCase.Line;
    for (size_t i = 0; i < actual.size(); ++i) {
      EXPECT_EQ(actual[i].What, testCase.Tokens[i].What) << "line: " << testCase.Line << " token " << i;
      EXPECT_EQ(actual[i].Text, testCase.Tokens[i].Text) << "line: " << testCase.Line << " token " << i;
      if (testCase.Tokens[i].Value != AnyValue) {
        EXPECT_EQ(actual[i].Value, testCase.Tokens[i].Value) << "line: " << testCase.Line << " token " << i;
      }
    }
  }
}

TEST(AsmLexer, TokensCoverTheLineAndCarryTheirClass) {
  const std::string line = "lbl: load R1,[x] ;c <= < 5 'q' @";
  TAsmParser parser;
  parser.SetText(line.c_str());
  parser.TokenizeLine();
  int pos = 0;
  for (const TToken& token : parser.Tokens()) {
    EXPECT_EQ(token.StartPos, pos);
    pos = token.EndPos;
    TTokenClass expected = tcFiller;
    switch (token.What) {
      case twMnemonic:
      case twRegister:
      case twLabel: expected = tcWord; break;
      case twNumber:
      case twString: expected = tcLiteral; break;
      case twComma:
      case twColon:
      case twLessEqual:
      case twEqual:
      case twOpenBracket:
      case twCloseBracket:
      case twLoneLess: expected = tcPunct; break;
      default: break;
    }
    EXPECT_EQ(token.Class, expected) << "token at " << token.StartPos;
  }
  EXPECT_EQ(pos, static_cast<int>(line.size()));
}

struct TNumberCase {
  std::string Text;
  int Value;
  bool WellFormed;
  bool Valid;
};

TEST(AsmLexer, EvaluatesNumbers) {
  const std::vector<TNumberCase> cases = {
      {"12", 12, true, true},
      {"-12", -12, true, true},
      {"12d", 12, true, true},
      {"12D", 12, true, true},
      {"1Ah", 26, true, true},
      {"0x1A", 26, true, true},
      {"0X1a", 26, true, true},
      {"$1a", 26, true, true},
      {"101b", 5, true, true},
      {"0Bh", 11, true, true},
      {"0B", 0, true, true},
      {"1D", 1, true, true},
      {"0", 0, true, true},
      {"007", 7, true, true},
      {"$FF", 255, true, true},
      {"0ffh", 255, true, true},
      {"-128", -128, true, true},
      {"2147483647", 2147483647, true, true},
      {"-2147483647", -2147483647, true, true},
      {"7FFFFFFFh", 2147483647, true, true},
      {"12A3", 12, false, false},
      {"-0x10", 0, false, false},
      {"-10h", 0, false, false},
      {"2b", 0, false, false},
      {"0x", 0, false, false},
      {"$", 0, false, false},
      {"-", 0, false, false},
      {"-d", 0, false, false},
      {"-x1", 0, false, false},
      {"4294967296", 0, true, false},
      {"2147483648", 0, true, false},
      {"-2147483648", 0, true, false},
      {"80000000h", 0, true, false},
      {"99999999999999999999A", 0, false, false},
  };
  TAsmParser parser;
  for (const TNumberCase& testCase : cases) {
    parser.SetText(testCase.Text.c_str());
    parser.TokenizeLine();
    ASSERT_EQ(parser.Tokens().size(), 1u) << testCase.Text;
    const TToken& token = parser.Tokens()[0];
    EXPECT_EQ(token.What, twNumber) << testCase.Text;
    EXPECT_EQ(token.WellFormed, testCase.WellFormed) << testCase.Text;
    EXPECT_EQ(token.Valid, testCase.Valid) << testCase.Text;
    if (testCase.Valid) {
      EXPECT_EQ(token.Value, testCase.Value) << testCase.Text;
    }
  }
}

struct TRun {
  int Start;
  int End;
  THighlightStyle Style;

  bool operator==(const TRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TRun& run) {
  return out << "[" << run.Start << "," << run.End << ") style " << static_cast<int>(run.Style);
}

TEST(AsmLexer, AssignStylesMergesRuns) {
  const std::vector<std::pair<std::string, std::vector<TRun>>> cases = {
      {"loop: load R1,16 ;start",
       {{0, 6, hsNormal},
        {6, 10, hsKeyword},
        {10, 14, hsNormal},
        {14, 16, hsNumeric},
        {16, 17, hsNormal},
        {17, 23, hsComment}}},
      {"", {}},
      {"1+1", {{0, 1, hsNumeric}, {1, 2, hsError}, {2, 3, hsNumeric}}},
      {"a<=b", {{0, 4, hsNormal}}},
      {"a<b", {{0, 1, hsNormal}, {1, 2, hsError}, {2, 3, hsNormal}}},
      {"db \"ab", {{0, 2, hsKeyword}, {2, 3, hsNormal}, {3, 6, hsString}}},
      {"12A3 5", {{0, 4, hsError}, {4, 5, hsNormal}, {5, 6, hsNumeric}}},
      {"4294967296", {{0, 10, hsNumeric}}},
      {"halt halt", {{0, 4, hsKeyword}, {4, 5, hsNormal}, {5, 9, hsKeyword}}},
      {"@1 x", {{0, 1, hsError}, {1, 2, hsNumeric}, {2, 4, hsNormal}}},
      {"@1x", {{0, 3, hsError}}},
  };
  TAsmParser parser;
  for (const auto& [line, expected] : cases) {
    parser.SetText(line.c_str());
    parser.TokenizeLine();
    parser.AssignStyles();
    std::vector<TRun> actual;
    for (const TToken& token : parser.Tokens()) actual.push_back({token.StartPos, token.EndPos, token.Style});
    EXPECT_EQ(actual, expected) << "line: " << line;
  }
}

// A document that hands over its lines with whatever breaks they carry.
class TRawLines final : public TLineSource {
 public:
  explicit TRawLines(std::vector<std::string> lines) : FLines(std::move(lines)) {}
  int LineCount() const override { return static_cast<int>(FLines.size()); }
  int LineStart(int i) const override { return 100 * i; }
  int LineLength(int i) const override { return static_cast<int>(FLines[static_cast<size_t>(i)].size()); }
  void CopyLine(int i, char* dest) const override {
    FLines[static_cast<size_t>(i)].copy(dest, FLines[static_cast<size_t>(i)].size());
  }

 private:
  std::vector<std::string> FLines;
};

TEST(AsmLexer, FetchLineCutsTheLastLineBreakRun) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"abc", "abc"},         {"abc\r\n", "abc"}, {"abc\n", "abc"}, {"abc\r", "abc"}, {"ab\r\ncd", "ab"},
      {"ab\rcd\n", "ab\rcd"}, {"\r\n", "\r\n"},   {"\n", "\n"},     {"\nab", "\nab"}, {"", ""},
      {"a\n\r\n\r", "a"},
  };
  std::vector<std::string> lines;
  for (const auto& row : cases) lines.push_back(row.first);
  TRawLines source(lines);
  TAsmParser parser(&source);
  for (size_t i = 0; i < cases.size(); ++i) {
    parser.FetchLine(static_cast<int>(i));
    const std::string& expected = cases[i].second;
    EXPECT_EQ(parser.LineLength(), static_cast<int>(expected.size())) << "line " << i;
    EXPECT_EQ(std::string(parser.Text()), expected) << "line " << i;
    EXPECT_EQ(parser.Line(), static_cast<int>(i));
    EXPECT_EQ(parser.LineStart(), 100 * static_cast<int>(i));
    EXPECT_EQ(parser.NextLineStart(), 100 * static_cast<int>(i) + static_cast<int>(expected.size()) + 2);
  }
}

TEST(AsmLexer, FetchLineHandlesLongAndShortLinesAlike) {
  const std::string longLine = "db " + std::string(1500, '7');
  TStringListSource source({"ab", "", longLine, "halt"});
  TAsmParser parser(&source);
  EXPECT_EQ(source.LineStart(0), 0);
  EXPECT_EQ(source.LineStart(2), 6);
  EXPECT_EQ(source.LineStart(3), 6 + 1503 + 2);
  parser.FetchLine(2);
  EXPECT_EQ(parser.LineLength(), 1503);
  EXPECT_EQ(std::string(parser.Text()), longLine);
  EXPECT_EQ(parser.NextLineStart(), 6 + 1503 + 2);
  parser.TokenizeLine();
  ASSERT_EQ(parser.Tokens().size(), 3u);
  EXPECT_EQ(parser.Tokens()[2].EndPos, 1503);
  parser.FetchLine(3);
  EXPECT_EQ(std::string(parser.Text()), "halt");
  parser.FetchLine(1);
  EXPECT_EQ(parser.LineLength(), 0);
  parser.TokenizeLine();
  EXPECT_TRUE(parser.Tokens().empty());
}

TEST(AsmLexer, SetTextClearsTheEditorPositions) {
  TStringListSource source({"halt"});
  TAsmParser parser(&source);
  parser.FetchLine(0);
  parser.SetText("load R1,2");
  EXPECT_EQ(parser.Line(), -1);
  EXPECT_EQ(parser.LineStart(), -1);
  EXPECT_EQ(parser.NextLineStart(), -1);
  EXPECT_EQ(parser.LineLength(), 9);
}

}  // namespace
