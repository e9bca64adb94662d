#include "machine/TerminalHistory.h"

#include "machine/Simulator.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// load R1,01 ; loop: addi RF,RF,R1 ; jmp R0,loop: output byte n is n & FF,
// which brings line feeds, tabs, backspaces and NULs into the terminal.
const std::vector<int32_t> CountingProgram = {0x21, 0x01, 0x5F, 0xF1, 0xB0, 0x02};

// The terminal a fresh model shows for the first count bytes of the program.
TTerminalModel Expected(int cols, int rows, uint64_t count) {
  TTerminalModel model;
  model.SetSize(cols, rows);
  for (uint64_t n = 1; n <= count; ++n) model.Write(static_cast<unsigned char>(n & 0xFF));
  return model;
}

struct THistoryCase {
  const char* Name;
  int Cols, Rows;
  uint64_t Spacing;
  size_t HistoryBytes;  // 0: the default
  int Instructions;
  int FollowEvery;  // instructions between two looks of the terminal
  int StepsBack;    // at most; a short history ends them earlier
};

const THistoryCase kCases[] = {
    {"StepBackWithinTheShownText", 10, 3, TTerminalHistory::DefaultSpacing, 0, 40, 1, 5},
    {"StepBackOverScrolledLines", 8, 2, TTerminalHistory::DefaultSpacing, 0, 600, 7, 400},
    {"StepBackAcrossCopies", 8, 2, 16, 0, 2000, 3, 1500},
    {"AShortHistoryLetsGoOfOldBytes", 8, 2, 1000, 1, 400000, 5000, 1000000},
};

TEST(TerminalHistoryTest, StepBackDrawsTheTerminalAsItWasAndStepsForwardAgain) {
  for (const THistoryCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    TSimulator simulator;
    if (c.HistoryBytes > 0) simulator.SetHistoryLimitBytes(c.HistoryBytes);
    simulator.LoadMemory(CountingProgram);
    TTerminalHistory history(c.Spacing);
    history.SetSize(c.Cols, c.Rows);
    TRunPolicy policy;
    policy.Budget = static_cast<uint64_t>(c.FollowEvery);
    for (int done = 0; done < c.Instructions; done += c.FollowEvery) {
      simulator.Run(policy);
      EXPECT_FALSE(history.Follow(simulator));
    }
    // The bytes kept are those a step back can bring back and those after
    // the copy to draw them from, not all of them.
    EXPECT_LE(simulator.OutputSince(0).size(),
              simulator.History().Size() + c.Spacing + static_cast<uint64_t>(c.FollowEvery));
    const uint64_t printed = simulator.OutputCount();
    EXPECT_EQ(history.Terminal().Lines(), Expected(c.Cols, c.Rows, printed).Lines());

    int back = 0;
    while (back < c.StepsBack && simulator.StepBack()) ++back;
    ASSERT_GT(back, 0);
    EXPECT_TRUE(history.Follow(simulator));
    const TTerminalModel before = Expected(c.Cols, c.Rows, simulator.OutputCount());
    EXPECT_EQ(history.Terminal().Lines(), before.Lines());
    EXPECT_EQ(history.Terminal().CurLine(), before.CurLine());

    for (int i = 0; i < back; ++i) {
      simulator.Step();
      history.Follow(simulator);
    }
    EXPECT_EQ(simulator.OutputCount(), printed);
    EXPECT_EQ(history.Terminal().Lines(), Expected(c.Cols, c.Rows, printed).Lines());
  }
}

}  // namespace
