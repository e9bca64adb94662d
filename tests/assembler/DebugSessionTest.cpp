// The source view of a session: where PC stands, staleness that follows the
// cells through edits and undo, and breakpoints set on lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "machine/DebugSession.h"
#include "machine/Simulator.h"

namespace {

const std::vector<std::string> Program = {
    "; count down",     // 1
    "      load R1,2",  // 2
    "Loop: load R2,1",  // 3
    "",                 // 4
    "      jmp Skip",   // 5
    "Data: db 9",       // 6
    "Skip: halt",       // 7
    "; end",            // 8
};

struct TSession {
  TSimulator Sim;
  TDebugSession Debug{Sim};
  TSession() {
    TStringListSource source(Program);
    TAsmParser parser(&source);
    parser.Assemble([](int, int, const std::string& m) { FAIL() << m; });
    std::vector<int32_t> image;
    for (int a = 0; a < TAsmParser::ImageSize; ++a) image.push_back(parser.GetByte(a));
    Sim.LoadMemory(image, eaAssemble);
    Debug.SetMap(parser.Map());
  }
};

TEST(DebugSessionTest, PlaceWordsFollowPcThroughStepsEditsAndUndo) {
  TSession s;
  struct TCase {
    const char* What;
    int Pc;
    std::string Words;
    std::string Trace;
  } cases[] = {
      {"first line", 0, "line 2", "line 2"},
      {"labelled", 2, "line 3, Loop", "line 3, Loop"},
      {"data", 6, "data, line 6", "data, line 6"},
      {"nothing there", 200, "", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    s.Sim.SetCell(csSysReg, 0, c.Pc);
    const TSourcePlace place = s.Debug.PlaceAtPC();
    std::string words = TDebugSession::PlaceWords(place);
    if (const TMapLabel* label = s.Debug.LabelAt(c.Pc); label != nullptr && place.State == psCode)
      words += ", " + label->Name;
    EXPECT_EQ(words, c.Words);
    EXPECT_EQ(s.Debug.TraceTag(c.Pc), c.Trace);
  }
  s.Sim.SetCell(csSysReg, 0, 2);
  s.Sim.SetCell(csMemory, 3, 5);  // the operand of line 3
  EXPECT_EQ(s.Debug.PlaceAtPC().State, psStale);
  EXPECT_EQ(TDebugSession::PlaceWords(s.Debug.PlaceAtPC()), "changed since assembling");
  s.Sim.Undo();
  EXPECT_EQ(s.Debug.PlaceAtPC().State, psCode);
  s.Debug.DropMap();
  EXPECT_EQ(s.Debug.PlaceAtPC().State, psNone);
}

// The band after a halt stays on the halt, whose PC has moved past it; any
// other step shows the next to run, also when it ends beside a halt.
TEST(DebugSessionTest, TheBandStaysOnAHaltThatRan) {
  TSession s;
  struct TCase {
    const char* What;
    int StartPc;
    int Line;
  } cases[] = {
      {"the halt ran", 0x07, 7},
      {"a jump to the halt", 0x04, 7},
      {"the first line", 0x00, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    s.Sim.SetCell(csSysReg, 0, c.StartPc);
    s.Sim.Step();
    const TSourcePlace shown = s.Debug.PlaceShown();
    EXPECT_EQ(shown.Line, c.Line);
    EXPECT_EQ(shown.State, psCode);
  }
  // Moved away by hand after the halt: PC's own place again.
  s.Sim.SetCell(csSysReg, 0, 0x07);
  s.Sim.Step();
  s.Sim.SetCell(csSysReg, 0, 0);
  EXPECT_EQ(s.Debug.PlaceShown().Line, 2);
}

TEST(DebugSessionTest, LineBreakpointsBindToTheNextCodeLineAndRebind) {
  TSession s;
  struct TCase {
    int Line;
    int Bound;
    int Address;
  } cases[] = {{1, 2, 0}, {3, 3, 2}, {4, 5, 4}, {6, 7, 7}, {8, 0, -1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    const TLineBreakpoint b = s.Debug.SetLineBreakpoint(c.Line, true);
    EXPECT_EQ(b.BoundLine, c.Bound);
    EXPECT_EQ(b.Address, c.Address);
    if (c.Address >= 0) {
      EXPECT_TRUE(s.Sim.Breakpoint(c.Address));
    }
  }
  EXPECT_EQ(s.Debug.BreakpointLines(), (std::vector<int>{2, 3, 5, 7}));
  // The margin clears one; the gutter and the line list follow.
  s.Sim.SetBreakpoint(2, false);
  EXPECT_EQ(s.Debug.BreakpointLines(), (std::vector<int>{2, 5, 7}));
  EXPECT_EQ(s.Debug.LineBreakpoints().size(), 4u);
  // Two lines inserted at the top, then the old program assembled again:
  // the breakpoints asked on lines 1 and 4, now 3 and 6, bind to its code
  // lines 3 and 7; those below its last code line bind nowhere.
  s.Debug.ShiftLines(1, 2);
  const std::vector<TLineBreakpoint> moved = s.Debug.LineBreakpoints();
  ASSERT_EQ(moved.size(), 4u);
  EXPECT_EQ(moved[1].Line, 6);
  TProgramMap map = s.Debug.Map();
  s.Debug.SetMap(map);
  EXPECT_FALSE(s.Sim.Breakpoint(0));
  EXPECT_EQ(s.Debug.BreakpointLines(), (std::vector<int>{3, 7}));
}

}  // namespace
