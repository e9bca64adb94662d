#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "machine/Simulator.h"

namespace {

// 00: load R1,1   02: addi R2,R2,R1   04: store R2,[40]   06: jmp 02
const std::vector<int32_t> Loop = {0x21, 0x01, 0x52, 0x21, 0x32, 0x40, 0xB0, 0x02};

// One thing a student or a caller does, and what the session says after it.
struct TAction {
  std::function<TStopReason(TSimulator&)> Do;
  TStopReason Reason;
  uint64_t Executed;
  int32_t PC;
};

TStopReason RunAll(TSimulator& s) { return s.Run({}); }
TStopReason StepOnce(TSimulator& s) { return s.Step(); }
std::function<TStopReason(TSimulator&)> Slice(uint64_t budget, uint64_t stepLimit = 0) {
  return [=](TSimulator& s) {
    TRunPolicy policy;
    policy.Budget = budget;
    policy.StepLimit = stepLimit;
    return s.Run(policy);
  };
}
std::function<TStopReason(TSimulator&)> SetPC(int32_t pc) {
  return [=](TSimulator& s) {
    s.SetCell(csSysReg, PCIndex, pc);
    return srBudget;
  };
}
TStopReason Back(TSimulator& s) {
  s.StepBack();
  return srBudget;
}
TStopReason EditR3(TSimulator& s) {
  s.SetCell(csRegister, 3, 5);
  return srBudget;
}

struct TBreakCase {
  const char* Name;
  bool Watch40;  // Stop when written on cell 40 besides the breakpoint at 06
  std::vector<TAction> Actions;
};

TEST(Breakpoints, StopWhereAStudentExpectsAndRunOnFromAReportedStop) {
  const TBreakCase cases[] = {
      {"run again continues past the reported stop",
       false,
       {{RunAll, srBreakpoint, 3, 0x06}, {RunAll, srBreakpoint, 6, 0x06}}},
      {"a slice ending just before the breakpoint leaves it to the next one",
       false,
       {{Slice(2), srBudget, 2, 0x04}, {Slice(1), srBreakpoint, 3, 0x06}, {Slice(1), srBudget, 4, 0x02}}},
      {"a slice reaching the breakpoint on its last instruction reports it",
       false,
       {{Slice(3), srBreakpoint, 3, 0x06}, {Slice(2), srBudget, 5, 0x04}}},
      {"step from a breakpoint stop executes it",
       false,
       {{RunAll, srBreakpoint, 3, 0x06}, {StepOnce, srBudget, 4, 0x02}}},
      {"step onto a breakpoint says so",
       false,
       {{Slice(2), srBudget, 2, 0x04}, {StepOnce, srBreakpoint, 3, 0x06}, {RunAll, srBreakpoint, 6, 0x06}}},
      {"run from a PC the student put on a breakpoint executes it",
       false,
       {{SetPC(0x06), srBudget, 0, 0x06}, {RunAll, srBreakpoint, 3, 0x06}}},
      {"run after stepping back onto the breakpoint executes it",
       false,
       {{RunAll, srBreakpoint, 3, 0x06},
        {StepOnce, srBudget, 4, 0x02},
        {Back, srBudget, 3, 0x06},
        {RunAll, srBreakpoint, 6, 0x06}}},
      {"the step limit comes before a breakpoint reached at the same time",
       false,
       {{Slice(2, 3), srBudget, 2, 0x04}, {Slice(1, 3), srStepLimit, 3, 0x06}, {Slice(1, 3), srStepLimit, 3, 0x06}}},
      {"a breakpoint reached by a watched write is reported by the next run",
       true,
       {{RunAll, srWatch, 3, 0x06}, {RunAll, srBreakpoint, 3, 0x06}, {RunAll, srWatch, 6, 0x06}}},
      {"a step after that watch stop executes the instruction",
       true,
       {{RunAll, srWatch, 3, 0x06}, {StepOnce, srBudget, 4, 0x02}}},
      {"an edit after that watch stop lets the run go on from there",
       true,
       {{RunAll, srWatch, 3, 0x06}, {EditR3, srBudget, 3, 0x06}, {RunAll, srWatch, 6, 0x06}}},
  };
  for (const TBreakCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSimulator s;
    s.EditMemory(eaLoadFile, 0, Loop);
    s.SetBreakpoint(0x06, true);
    if (c.Watch40) s.SetWatch(csMemory, 0x40, true);
    for (size_t i = 0; i < c.Actions.size(); ++i) {
      SCOPED_TRACE(i);
      const TAction& a = c.Actions[i];
      EXPECT_EQ(a.Do(s), a.Reason);
      EXPECT_EQ(s.Executed(), a.Executed);
      EXPECT_EQ(s.PC(), a.PC);
    }
  }
}

}  // namespace
