#include "machine/Simulator.h"
#include "machine/TraceFormat.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

// One instruction of each kind, executed at 0C by the session, and the
// line the trace shows for it.
struct TTraceCase {
  int First;
  int Second;
  std::initializer_list<std::pair<int, int>> Registers;  // R n = value before
  std::initializer_list<std::pair<int, int>> Memory;
  const char* Line;
};

const TTraceCase Cases[] = {
    {0x53, 0x12, {{1, 0x05}, {2, 0x07}}, {}, "0C: 53 12  addi R3,R1,R2   R3 = 05 + 07 = 0C"},
    {0x51, 0x12, {{1, 0xFF}, {2, 0x02}}, {}, "0C: 51 12  addi R1,R1,R2   R1 = FF + 02 = 01"},
    {0x21, 0x41, {}, {}, "0C: 21 41  load R1,41      R1 = 41"},
    {0x11, 0x20, {}, {{0x20, 0x3C}}, "0C: 11 20  load R1,[20]    R1 = [20] = 3C"},
    {0x33, 0x20, {{3, 0x0C}}, {{0x20, 0x99}}, "0C: 33 20  store R3,[20]   [20] = R3: 99 -> 0C"},
    {0x40, 0x1F, {{1, 0x41}}, {}, "0C: 40 1F  move RF,R1      RF = R1 = 41, prints 'A'"},
    {0x40, 0x1F, {{1, 0x0A}}, {}, "0C: 40 1F  move RF,R1      RF = R1 = 0A, prints code 0A"},
    {0x63, 0x12, {{1, 0x12}, {2, 0x83}}, {}, "0C: 63 12  addf R3,R1,R2   R3 = 12 + 83 = 01   (4 + -3 = 1)"},
    {0x73, 0x12, {{1, 0x05}, {2, 0x0A}}, {}, "0C: 73 12  or R3,R1,R2     R3 = 05 or 0A = 0F"},
    {0x83, 0x12, {{1, 0x0F}, {2, 0x3C}}, {}, "0C: 83 12  and R3,R1,R2    R3 = 0F and 3C = 0C"},
    {0x93, 0x12, {{1, 0x05}, {2, 0x07}}, {}, "0C: 93 12  xor R3,R1,R2    R3 = 05 xor 07 = 02"},
    {0xA1, 0x01, {{1, 0x81}}, {}, "0C: A1 01  ror R1,1        R1 = 81 ror 1 = C0"},
    {0xB1, 0x20, {{1, 0x05}, {0, 0x05}}, {}, "0C: B1 20  jmpEQ R1=R0,20  R1 (05) = R0 (05): jump to 20"},
    {0xB1, 0x20, {{1, 0x05}, {0, 0x03}}, {}, "0C: B1 20  jmpEQ R1=R0,20  R1 (05) <> R0 (03): no jump"},
    {0xF1, 0x20, {{1, 0xFF}, {0, 0x01}}, {}, "0C: F1 20  jmpLE R1<=R0,20 R1 (FF = -1) <= R0 (01 = 1): jump to 20"},
    {0xF1, 0x20, {{1, 0x01}, {0, 0xFF}}, {}, "0C: F1 20  jmpLE R1<=R0,20 R1 (01 = 1) > R0 (FF = -1): no jump"},
    {0xD0, 0x12, {{2, 0x20}}, {{0x20, 0x3C}}, "0C: D0 12  load R1,[R2]    R1 = [R2] = [20] = 3C"},
    {0xE0, 0x12, {{1, 0x41}, {2, 0x20}}, {}, "0C: E0 12  store R1,[R2]   [R2] = [20] = R1: 00 -> 41"},
    {0xC0, 0x00, {}, {}, "0C: C0 00  halt            halted"},
    {0x00, 0x00, {}, {}, "0C: 00 00  invalid         invalid instruction"},
};

TEST(TraceFormatTest, EachKindOfInstructionSaysWhatItDidWithItsValues) {
  for (const TTraceCase& c : Cases) {
    SCOPED_TRACE(c.Line);
    TSimulator session;
    session.EditMemory(eaCellEdit, 0x0C, {c.First, c.Second});
    for (const auto& [adr, value] : c.Memory) session.SetCell(csMemory, adr, value);
    for (const auto& [n, value] : c.Registers) session.SetCell(csRegister, n, value);
    session.SetCell(csSysReg, PCIndex, 0x0C);
    session.Step();
    TStepTrace trace;
    ASSERT_TRUE(session.LastStep(trace));
    EXPECT_EQ(FormatTraceLine(trace, session.RegisterCells()), c.Line);
  }
}

TEST(TraceFormatTest, UntracedInstructionsAreCountedInThousands) {
  const std::pair<uint64_t, const char*> cases[] = {{1, "... 1 instruction at full speed"},
                                                    {999, "... 999 instructions at full speed"},
                                                    {1000, "... 1,000 instructions at full speed"},
                                                    {12345, "... 12,345 instructions at full speed"},
                                                    {1234567, "... 1,234,567 instructions at full speed"}};
  for (const auto& [count, line] : cases) EXPECT_EQ(FormatTraceGap(count), line);
}

}  // namespace
