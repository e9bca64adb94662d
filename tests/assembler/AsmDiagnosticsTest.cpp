#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembler/AsmParser.h"
#include "assembler/MnemonicHint.h"

namespace {

TEST(AsmDiagnostics, ExpectedListNamesMembersInFixedOrder) {
  const std::vector<std::pair<TTokenWhatSet, std::string>> cases = {
      {{twRegister}, "register"},
      {{twLabel, twMnemonic}, "label, mnemonic"},
      {{twMnemonic, twLabel}, "label, mnemonic"},
      {{twRegister, twLabel, twNumber}, "number, label, register"},
      {{twComma}, "','"},
      {{twSpace, twComment, twCloseBracket, twOpenBracket, twEqual, twLessEqual, twColon, twComma, twRegister,
        twMnemonic, twLabel, twString, twNumber},
       "number, string, label, mnemonic, register, ',', ':', '<=', '=', '[', ']', comment, space"},
      {{}, ""},
      // twOther and twLoneLess can never be members of a set.
      {{twOther, twLoneLess}, ""},
      {{50}, "other"},
      {{twComma, 50, 51}, "',', other"},
      {{twNumber, 98, -1, 200}, "number"},
  };
  for (const auto& [set, expected] : cases) EXPECT_EQ(TAsmParser::ExpectedList(set), expected);
}

TEST(AsmDiagnostics, AMisspeltMnemonicGetsAHintNamingTheNearestOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"laod R3,1", "laod is not a mnemonic; did you mean load?"},
      {"  LAOD R3,1 ; two letters swapped", "LAOD is not a mnemonic; did you mean load?"},
      {"\tstor R1,[20]", "stor is not a mnemonic; did you mean store?"},
      {"hlat", "hlat is not a mnemonic; did you mean halt?"},
      {"jmpeg R1=R0,10", "jmpeg is not a mnemonic; did you mean jmpEQ?"},
      {"adi R1,R2,R3", "adi is not a mnemonic; did you mean addi?"},
      {"storre R1,[20]", "storre is not a mnemonic; did you mean store?"},
      // A label, with or without its colon, a real mnemonic, and words too far from any.
      {"laod: load R1,2", ""},
      {"loop load R1,2", ""},
      {"lood jmp loop", ""},
      {"load R3,1", ""},
      {"DB 1,2", ""},
      {"xyzzy R1", ""},
      {"lo R1", ""},
      {"; laod R3,1", ""},
      {"", ""},
  };
  for (const auto& [line, hint] : cases) EXPECT_EQ(MisspeltMnemonicHint(line), hint) << line;
}

TEST(AsmDiagnostics, MessageTable) {
  // Spot checks of texts whose blanks and punctuation matter to the reader.
  EXPECT_EQ(AsmMessage(amLineTooLong), "Line too long.");
  EXPECT_EQ(AsmMessage(amUnexpectedEndOfLine), "Unexpected end of line. Expected: ");
  EXPECT_EQ(AsmMessage(amAddressBelowZero), "Cannot emit code: Address below 0. Assembly aborted.");
  EXPECT_EQ(AsmMessage(amBadAddress), "Bad address. Expected: number, label");
}

TEST(AsmDiagnostics, ChecksNumbersInOrder) {
  TAsmParser parser;
  const std::string line = "5 -129 300 x 99999999999 12A3";
  parser.SetText(line.c_str());
  parser.TokenizeLine();
  const std::vector<TToken>& tokens = parser.Tokens();
  EXPECT_TRUE(parser.CheckNumber(&tokens[0], 0, 15));
  EXPECT_FALSE(parser.CheckNumber(&tokens[0], 6, 3));
  EXPECT_EQ(parser.Message(), "Number smaller than 6");
  EXPECT_FALSE(parser.CheckNumber(&tokens[2], -128, 255));
  EXPECT_EQ(parser.Message(), "Number smaller than -128");
  EXPECT_FALSE(parser.CheckNumber(&tokens[4], -128, 255));
  EXPECT_EQ(parser.Message(), "Number larger than 255");
  EXPECT_FALSE(parser.CheckNumber(&tokens[6], 0, 255));
  EXPECT_EQ(parser.Message(), "Invalid number.");
  EXPECT_FALSE(parser.CheckNumber(&tokens[8], 0, 255));
  EXPECT_EQ(parser.Message(), "Invalid number.");
  EXPECT_FALSE(parser.CheckNumber(&tokens[10], 0, 255));
  EXPECT_EQ(parser.Message(), "Invalid number.");
  EXPECT_FALSE(parser.CheckNumber(nullptr, 0, 255));
}

TEST(AsmDiagnostics, EmitByteChecksAddressThenUse) {
  TAsmParser parser;
  EXPECT_FALSE(parser.EmitByte(-1, 1));
  EXPECT_EQ(parser.Message(), "Cannot emit code: Address below 0. Assembly aborted.");
  EXPECT_FALSE(parser.EmitByte(256, 1));
  EXPECT_EQ(parser.Message(), "Cannot emit code: Address above 255. Assembly aborted.");
  EXPECT_TRUE(parser.EmitByte(255, 0x1AB));
  EXPECT_EQ(parser.GetByte(255), 0xAB);
  EXPECT_FALSE(parser.EmitByte(255, 2));
  EXPECT_EQ(parser.Message(), "Cannot emit code: Address already in use. Assembly aborted.");
  EXPECT_EQ(parser.GetByte(255), 0xAB);
  EXPECT_EQ(parser.GetByte(-1), 255);
  EXPECT_EQ(parser.GetByte(256), 255);
  EXPECT_EQ(parser.GetByte(0), 0);
}

}  // namespace
