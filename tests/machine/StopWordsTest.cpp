#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "machine/Simulator.h"
#include "machine/StopWords.h"

namespace {

// 00: load R1,1   02: addi R3,R3,R1   04: store R3,[40]   06: jmp 02
const std::vector<int32_t> Loop = {0x21, 0x01, 0x53, 0x31, 0x33, 0x40, 0xB0, 0x02};

struct TStopCase {
  const char* Name;
  std::vector<int32_t> Memory;
  std::function<void(TSimulator&)> Arm;  // breakpoints, watches, a limit
  TRunPolicy Policy;
  TStopReason Reason;
  std::string Words;       // the status bar's and orvik-cli's words
  std::string ReportWord;  // run reports and case files
};

TRunPolicy Budget(uint64_t n) {
  TRunPolicy policy;
  policy.Budget = n;
  return policy;
}
TRunPolicy Limit(uint64_t n) {
  TRunPolicy policy;
  policy.StepLimit = n;
  return policy;
}

// Each stop made by a real run, so the words follow what the session
// reports (PC, the last instruction's writes), not a hand-made value.
TEST(StopWords, EachStopOfARunHasTheWordsTheFrontEndsShow) {
  const auto none = [](TSimulator&) {};
  const TStopCase cases[] = {
      {"halt", {0x21, 0x01, 0xC0, 0x00}, none, {}, srHalt, "Halted", "halted"},
      {"invalid", {0x00, 0x00}, none, {}, srInvalid, "Invalid instruction", "invalid"},
      {"breakpoint names PC",
       Loop,
       [](TSimulator& s) { s.SetBreakpoint(0x06, true); },
       {},
       srBreakpoint,
       "Breakpoint at 06",
       "breakpoint"},
      {"a register watch names it and the writer",
       Loop,
       [](TSimulator& s) { s.SetWatch(csRegister, 3, true); },
       {},
       srWatch,
       "R3 written at 02",
       ""},
      {"a cell watch names it and the writer",
       Loop,
       [](TSimulator& s) { s.SetWatch(csMemory, 0x40, true); },
       {},
       srWatch,
       "Cell 40 written at 04",
       ""},
      {"a register above 9 in hex",
       {0x2F, 0x07, 0xC0, 0x00},
       [](TSimulator& s) { s.SetWatch(csRegister, 15, true); },
       {},
       srWatch,
       "RF written at 00",
       ""},
      {"the budget leaves it ready", Loop, none, Budget(3), srBudget, "Ready", ""},
      {"the step limit", Loop, none, Limit(5), srStepLimit, "Step limit reached", "step-limit"},
  };
  for (const TStopCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSimulator session;
    session.LoadMemory(c.Memory);
    c.Arm(session);
    const TStopReason reason = session.Run(c.Policy);
    ASSERT_EQ(reason, c.Reason);
    const TStop stop = StopOf(session, reason);
    EXPECT_EQ(StopWords(stop), c.Words);
    EXPECT_EQ(StopReportWord(reason), c.ReportWord);
    // A report word reads back as its reason; the others name none.
    EXPECT_EQ(StopFromReportWord(c.ReportWord), c.ReportWord.empty() ? std::nullopt : std::optional(reason));
  }
  EXPECT_EQ(StopFromReportWord("Halted"), std::nullopt);
  EXPECT_EQ(StopFromReportWord("step"), std::nullopt);
}

}  // namespace
