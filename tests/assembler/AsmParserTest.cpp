#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "AsmTestSupport.h"

namespace {

struct TAsmCase {
  std::vector<std::string> Source;
  std::vector<TAsmError> Errors;
  // Hexadecimal bytes from address 0; "@XX" moves on to address XX. Every
  // cell not listed must be 0.
  std::string Image;
};

std::vector<int> ImageFrom(const std::string& text) {
  std::vector<int> image(256, 0);
  std::istringstream in(text);
  std::string word;
  int address = 0;
  while (in >> word) {
    if (word[0] == '@') {
      address = std::stoi(word.substr(1), nullptr, 16);
    } else {
      image.at(static_cast<size_t>(address++)) = std::stoi(word, nullptr, 16);
    }
  }
  return image;
}

const std::string Abort255 = "Cannot emit code: Address above 255. Assembly aborted.";
const std::string AbortInUse = "Cannot emit code: Address already in use. Assembly aborted.";

const std::vector<TAsmCase> EncodingCases = {
    {{}, {}, ""},
    {{"", "   ", "; only a comment", "\t;x"}, {}, ""},
    {{"load R1,200"}, {}, "21 C8"},
    {{"load R1,-1"}, {}, "21 FF"},
    {{"load R1,-128", "load R2,255"}, {}, "21 80 22 FF"},
    {{"load R1,[10h]"}, {}, "11 10"},
    {{"load R4,[R8]"}, {}, "D0 48"},
    {{"store R4,[R8]"}, {}, "E0 48"},
    {{"store R2,[0FFh]"}, {}, "32 FF"},
    {{"move R4,R8"}, {}, "40 84"},
    {{"addi R1,R2,R3", "addf R4,R5,R6", "or R7,R8,R9", "and RA,RB,RC", "xor RD,RE,RF"},
     {},
     "51 23 64 56 77 89 8A BC 9D EF"},
    {{"ror R3,5", "ror R4,0", "ror R5,15"}, {}, "A3 05 A4 00 A5 0F"},
    {{"jmpEQ R7=R0,42h"}, {}, "B7 42"},
    {{"jmpLE R2<=R0,Start", "Start: halt"}, {}, "F2 02 C0 00"},
    {{"jmp 10"}, {}, "B0 0A"},
    {{"halt"}, {}, "C0 00"},
    {{"db 1,\"AB\",-1"}, {}, "01 41 42 FF"},
    {{"db \"Hi\",0"}, {}, "48 69 00"},
    {{"db 'a\"b', \"c'\""}, {}, "61 22 62 63 27"},
    {{"db '', 7"}, {}, "07"},
    {{"db \"\xE9\x80\xFF\""}, {}, "E9 80 FF"},
    {{"db 1 ;c", "halt ; x"}, {}, "01 C0 00"},
    {{"org 10h", "halt", "org 2", "db 3"}, {}, "@02 03 @10 C0 00"},
    {{"LOAD r1,$ff", "JMPEQ rf=r0,0x1A", "Halt"}, {}, "21 FF BF 1A C0 00"},
    {{"  lbl:\tload  R1 , 2 ;x"}, {}, "21 02"},
    // Labels defined before and after their uses, alone or before an instruction.
    {{"X: jmp X"}, {}, "B0 00"},
    {{"jmp X", "X: halt"}, {}, "B0 02 C0 00"},
    {{"load R1,Data", "load R2,[Data]", "store R3,[Data]", "Data: db 5"}, {}, "21 06 12 06 33 06 05"},
    {{"Data: db 7", "load R1,[Data]", "store R1,[Data]", "load R2,Data"}, {}, "07 11 00 31 00 22 00"},
    {{"Start:", "  halt ; stop", "jmp Start"}, {}, "C0 00 B0 00"},
    {{"jmp L", "jmpEQ R1=R0,L", "jmpLE R2<=R0,L", "L: halt"}, {}, "B0 06 B1 06 F2 06 C0 00"},
    // A pending use beyond 255 waits for its low byte; the label takes the
    // low byte of the counter.
    {{"org 255", "load R1,X", "X:"}, {}, "01 @FF 21"},
};

const std::vector<TAsmCase> ErrorCases = {
    {{"load R1,256"}, {{0, 11, "Number larger than 255"}}, "21"},
    {{"load R1,-129"}, {{0, 12, "Number smaller than -128"}}, "21"},
    {{"load R1,12A3"}, {{0, 12, "Invalid number."}}, "21"},
    {{"load R1,99999999999"}, {{0, 19, "Invalid number."}}, "21"},
    {{"store R1,5"}, {{0, 9, "Cannot store to immediate. Expected: '['"}}, ""},
    {{"store R1,X"}, {{0, 9, "Cannot store to immediate. Expected: '['"}}, ""},
    {{"ror R1,16"}, {{0, 9, "Number larger than 15"}}, "A1"},
    {{"ror R1,-1"}, {{0, 9, "Number smaller than 0"}}, "A1"},
    {{"ror R1,x"}, {{0, 7, "Syntax error. Expected: number"}}, "A1"},
    {{"jmpEQ R1=R2,5"}, {{0, 9, "Syntax error. Expected: 'R0'"}}, "B1"},
    {{"jmpLE R2=R0,5"}, {{0, 8, "Syntax error. Expected: '<='"}}, "F2 05"},
    {{"jmpEQ R1<R0,5"}, {{0, 8, "Syntax error. Expected: '='"}}, "B1 05"},
    {{"jmpEQ R1@R0,5"}, {{0, 8, "Syntax error. Expected: '='"}}, "B1 05"},
    {{"jmpEQ R1 R0,5"}, {{0, 9, "Syntax error. Expected: '='"}}, "B1 05"},
    {{"jmpEQ R1"},
     {{0, 8, "Unexpected end of line. Expected: '='"}, {0, 8, "Unexpected end of line. Expected: 'R0'"}},
     "B1"},
    {{"jmpLE R1<="}, {{0, 10, "Unexpected end of line. Expected: 'R0'"}}, "F1"},
    {{"jmpEQ R1=R0 5"}, {{0, 12, "Syntax error. Expected: ','"}}, "B1 05"},
    {{"halt R1"}, {{0, 5, "Extra characters on line. Expected: nothing"}}, "C0 00"},
    {{"move R1,R2,"}, {{0, 10, "Extra characters on line. Expected: nothing"}}, "40 21"},
    {{"load R1,[R2] x"}, {{0, 13, "Extra characters on line. Expected: nothing"}}, "D0 12"},
    {{"db ;x"}, {{0, 3, "Not an immediate. Expected: number, string"}}, ""},
    {{"db"}, {{0, 2, "Unexpected end of line. Expected: number, string"}}, ""},
    {{"db 1,"}, {{0, 5, "Unexpected end of line. Expected: number, string"}}, "01"},
    {{"db 1 2"}, {{0, 5, "Syntax error. Expected: ','"}}, "01 02"},
    {{"db ,5"}, {{0, 3, "Not an immediate. Expected: number, string"}}, "05"},
    {{"db 300,-200,x,4"},
     {{0, 6, "Number larger than 255"},
      {0, 11, "Number smaller than -128"},
      {0, 12, "Not an immediate. Expected: number, string"}},
     "04"},
    {{"db 'abc"}, {{0, 7, "Unexpected end of string. Expected: '"}}, ""},
    {{"db 1,\"ab"}, {{0, 8, "Unexpected end of string. Expected: \""}}, "01"},
    {{"db \""}, {{0, 3, "Error in string."}}, ""},
    {{"org Start"}, {{0, 4, "Syntax error. Expected: number"}}, ""},
    {{"org 256", "halt"}, {{0, 7, "Number larger than 255"}}, "C0 00"},
    {{"org"}, {{0, 3, "Unexpected end of line. Expected: number"}}, ""},
    {{"Loop", "jmp Loop"}, {{0, 4, "Unexpected end of line. Expected: ':'"}}, "B0 00"},
    {{"label load R1,1"}, {{0, 6, "Syntax error. Expected: ':'"}}, "21 01"},
    {{"a: b"}, {{0, 3, "Unknown identifier. Expected: mnemonic, nothing"}}, ""},
    {{"a: 5"}, {{0, 3, "Unknown identifier. Expected: mnemonic, nothing"}}, ""},
    {{"L:", "L: ;again"}, {{1, 1, "Label is already defined at line 1."}}, ""},
    {{"5"}, {{0, 0, "Syntax error. Expected: label, mnemonic"}}, ""},
    {{"  R1: halt"}, {{0, 2, "Syntax error. Expected: label, mnemonic"}}, ""},
    {{"load:"}, {{0, 4, "Syntax error. Expected: register"}}, ""},
    {{"load"}, {{0, 4, "Unexpected end of line. Expected: register"}}, ""},
    {{"load R1"},
     {{0, 7, "Unexpected end of line. Expected: ','"}, {0, 7, "Unexpected end of line. Expected: number, label, '['"}},
     ""},
    {{"store R1,"}, {{0, 9, "Unexpected end of line. Expected: '['"}}, ""},
    {{"load R1,R2"}, {{0, 8, "Syntax error. Expected: number, label, '['"}}, ""},
    {{"store R1,R2"}, {{0, 9, "Syntax error. Expected: '['"}}, ""},
    {{"load R1,[5"}, {{0, 10, "Unexpected end of line. Expected: ']'"}}, "11 05"},
    {{"load R1,[5,"},
     {{0, 10, "Syntax error. Expected: ']'"}, {0, 10, "Extra characters on line. Expected: nothing"}},
     "11 05"},
    {{"load R1,[,"}, {{0, 9, "Syntax error. Expected: number, label, register"}}, ""},
    {{"load R1,[300]"}, {{0, 12, "Number larger than 255"}}, "11"},
    {{"store R1,[-1]"}, {{0, 12, "Number smaller than 0"}}, "31"},
    {{"move R1 R2"}, {{0, 8, "Syntax error. Expected: ','"}}, "40 21"},
    {{"move 5,R2"}, {{0, 5, "Syntax error. Expected: register"}}, "40"},
    {{"addi R1,R2"},
     {{0, 10, "Unexpected end of line. Expected: ','"}, {0, 10, "Unexpected end of line. Expected: register"}},
     "51"},
    {{"xor R1,R2,5"}, {{0, 10, "Syntax error. Expected: register"}}, "91"},
    {{"jmp [5]"}, {{0, 4, "Bad address. Expected: number, label"}}, "B0"},
    {{"jmp"}, {{0, 3, "Unexpected end of line. Expected: number, label"}}, "B0"},
    {{"jmp 256"}, {{0, 7, "Number larger than 255"}}, "B0"},
    {{"jmp 12A3"}, {{0, 8, "Invalid number."}}, "B0"},
    {{"load", "halt"}, {{0, 4, "Unexpected end of line. Expected: register"}}, "C0 00"},
    {{"halt @"}, {{0, 5, "Extra characters on line. Expected: nothing"}}, "C0 00"},
    // Labels: case-sensitive, first use positions, table order.
    {{"Loop: halt", "jmp loop"}, {{1, 8, "Label is not defined: loop"}}, "C0 00 B0"},
    {{"jmp Nowhere"}, {{0, 11, "Label is not defined: Nowhere"}}, "B0"},
    {{"jmp B", "jmp A", "jmp  B", "C: halt"},
     {{0, 5, "Label is not defined: B"}, {1, 5, "Label is not defined: A"}},
     "B0 00 B0 00 B0 00 C0 00"},
    {{"X: db 1", "X: db 2", "jmp X"}, {{1, 1, "Label is already defined at line 1."}}, "01 02 B0 00"},
    // Emission failures end the assembly; waiting labels are then not reported.
    {{"org 0", "halt", "org 0", "db 1", "halt"}, {{3, 0, AbortInUse}}, "C0 00"},
    {{"org 255", "halt"}, {{1, 0, Abort255}}, "@FF C0"},
    {{"org 254", "db 1,2,3", "db 4"}, {{1, 0, Abort255}}, "@FE 01 02"},
    {{"org 254", "db \"abc\""}, {{1, 0, Abort255}}, "@FE 61 62"},
    {{"org 255", "move R1,R2"}, {{1, 0, Abort255}}, "@FF 40"},
    {{"X:", "org 255", "load R1,X", "halt"}, {{2, 0, Abort255}}, "@FF 21"},
    {{"jmp Y", "jmp X", "org 3", "db 9", "X: halt"}, {{4, 1, AbortInUse}}, "B0 00 B0 09"},
    {{"org 255", "load R1,X", "halt"}, {{2, 0, Abort255}}, "@FF 21"},
    {{"org 255", "load R1,X"}, {{1, 9, "Label is not defined: X"}}, "@FF 21"},
};

void RunCases(const std::vector<TAsmCase>& cases) {
  for (const TAsmCase& testCase : cases) {
    std::string name;
    for (const std::string& line : testCase.Source) name += line + " | ";
    const TAsmResult result = AssembleLines(testCase.Source);
    EXPECT_EQ(result.Errors, testCase.Errors) << "source: " << name;
    EXPECT_EQ(result.Image, ImageFrom(testCase.Image)) << "source: " << name;
  }
}

TEST(AsmParser, EncodesEveryForm) { RunCases(EncodingCases); }

TEST(AsmParser, ReportsErrorsWithTextAndColumn) { RunCases(ErrorCases); }

TEST(AsmParser, LongLinesAreReportedAndStillAssembled) {
  const std::string line999 = "halt" + std::string(995, ' ');
  const std::string line1000 = "halt" + std::string(995, ' ') + ";";
  const std::string line1500 = "db 7" + std::string(1490, ' ') + ",8";
  const std::string line1205 = "halt" + std::string(1200, ' ') + "x";
  const TAsmResult result = AssembleLines({line999, line1000, line1500, line1205});
  const std::vector<TAsmError> expected = {{1, 998, "Line too long."},
                                           {2, 998, "Line too long."},
                                           {3, 998, "Line too long."},
                                           {3, 1204, "Extra characters on line. Expected: nothing"}};
  EXPECT_EQ(result.Errors, expected);
  EXPECT_EQ(result.Image, ImageFrom("C0 00 C0 00 07 08 C0 00"));
}

TEST(AsmParser, EachAssemblyStartsAfresh) {
  TStringListSource first({"org 3", "X: db 1", "jmp Y"});
  TStringListSource second({"jmp X", "X: halt"});
  TAsmParser parser(&first);
  std::vector<TAsmError> errors;
  const auto collect = [&](int line, int column, const std::string& message) {
    errors.push_back({line, column, message});
  };
  parser.Assemble(collect);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(parser.GetByte(3), 1);
  errors.clear();
  parser.SetSource(&second);
  parser.Assemble(collect);
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(parser.GetByte(0), 0xB0);
  EXPECT_EQ(parser.GetByte(1), 2);
  EXPECT_EQ(parser.GetByte(3), 0);
}

}  // namespace
