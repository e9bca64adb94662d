#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "MachineFixture.h"
#include "machine/Simulator.h"

namespace {

// Everything a student can see of a session.
struct TSnapshot {
  std::array<int32_t, 256> Memory;
  std::array<int32_t, 16> Registers;
  int32_t PC, IR;
  std::string Output;
  uint64_t Executed;
  bool operator==(const TSnapshot&) const = default;
};

void PrintTo(const TSnapshot& s, std::ostream* os) {
  *os << "PC=" << s.PC << " IR=" << s.IR << " executed=" << s.Executed << " output=" << s.Output.size() << " bytes";
}

TSnapshot Snap(const TSimulator& s) {
  return {s.MemoryCells(), s.RegisterCells(), s.PC(), s.IR(), std::string(s.OutputSince(0)), s.Executed()};
}

// Random cells, mostly bytes, some far outside a byte (a program file may
// hold any 32-bit value), and instructions that write RF often.
void FillRandom(TSimulator& s, std::mt19937& random) {
  std::vector<TCellEdit> cells;
  for (int adr = 0; adr < 256; ++adr) {
    int32_t value = static_cast<int32_t>(random() & 0xFF);
    if (random() % 64 == 0) value = static_cast<int32_t>(random());
    if (adr % 2 == 1 && random() % 4 == 0) value = 0xF0 | (value & 0x0F);  // RF as a target
    cells.push_back({csMemory, adr, value});
  }
  for (int r = 0; r < 16; ++r) cells.push_back({csRegister, r, static_cast<int32_t>(random() & 0xFF)});
  s.Edit(eaLoadFile, cells);
}

void RunExactly(TSimulator& s, uint64_t count) {
  const uint64_t target = s.Executed() + count;
  TRunPolicy policy;
  policy.StepLimit = target;
  // Halt and invalid instructions stop a run, but PC has moved on: go on.
  while (s.Executed() < target) s.Run(policy);
}

TEST(Simulator, StepsBackFrom100000RandomInstructionsToTheExactStart) {
  std::mt19937 random(12345);
  TSimulator s;
  FillRandom(s, random);
  s.SetCell(csSysReg, PCIndex, 0x37);
  const TSnapshot start = Snap(s);
  const uint64_t startPosition = s.History().EndPosition();

  // Snapshots on the way, checked again on the way back.
  std::vector<std::pair<uint64_t, TSnapshot>> checkpoints;
  for (int i = 0; i < 10; ++i) {
    RunExactly(s, 10000);
    checkpoints.push_back({s.History().EndPosition(), Snap(s)});
  }
  ASSERT_EQ(s.Executed(), 100000u);
  ASSERT_GT(s.OutputCount(), 1000u);  // the random program did print
  for (auto it = checkpoints.rbegin(); it != checkpoints.rend(); ++it) {
    ASSERT_TRUE(s.UndoTo(it->first));
    EXPECT_EQ(Snap(s), it->second);
  }
  ASSERT_TRUE(s.UndoTo(startPosition));
  EXPECT_EQ(Snap(s), start);
}

// Single steps with history, and one run without history or with checks
// that never fire, are different instantiations of the executor: on random
// programs they must leave the same state and output.
TEST(Simulator, StepsAndRunsOfEveryKindExecuteAlike) {
  std::mt19937 random(777);
  TSimulator stepped, plain, checked;
  FillRandom(stepped, random);
  for (TSimulator* s : {&plain, &checked}) {
    std::vector<int32_t> cells(stepped.MemoryCells().begin(), stepped.MemoryCells().end());
    s->LoadMemory(cells);
    for (int r = 0; r < 16; ++r) s->SetCell(csRegister, r, stepped.Register(r));
  }
  plain.SetRecording(false);
  checked.SetWatch(csRegister, 0, true);  // R0 watched: a run stops after each write of it
  for (int i = 0; i < 20000; ++i) ASSERT_NE(stepped.Step(), srBreak) << i;
  for (TSimulator* s : {&plain, &checked}) RunExactly(*s, 20000);
  for (TSimulator* s : {&plain, &checked}) {
    EXPECT_EQ(s->MemoryCells(), stepped.MemoryCells());
    EXPECT_EQ(s->RegisterCells(), stepped.RegisterCells());
    EXPECT_EQ(s->PC(), stepped.PC());
    EXPECT_EQ(s->IR(), stepped.IR());
    EXPECT_EQ(s->OutputSince(0), stepped.OutputSince(0));
  }
}

struct TEditCase {
  const char* Name;
  TEditAction Action;
  std::function<void(TSimulator&)> Apply;
};

TEST(Simulator, UndoTakesBackEachKindOfUserEditWhole) {
  const std::vector<int32_t> image = [] {
    std::vector<int32_t> cells(256);
    for (int i = 0; i < 256; ++i) cells[static_cast<size_t>(i)] = (i * 7 + 3) & 0xFF;
    cells[9] = -5;  // a program file may hold anything
    return cells;
  }();
  const TEditCase cases[] = {
      {"cell edit", eaCellEdit, [](TSimulator& s) { s.SetCell(csMemory, 0x10, 0x99); }},
      {"register edit writes the output", eaCellEdit, [](TSimulator& s) { s.SetCell(csRegister, 15, 0x41); }},
      {"PC edit", eaCellEdit, [](TSimulator& s) { s.SetCell(csSysReg, PCIndex, 0x20); }},
      {"clear", eaClear, [](TSimulator& s) { s.LoadMemory(std::vector<int32_t>(256, 0), eaClear); }},
      {"paste", eaPaste,
       [](TSimulator& s) {
         s.EditMemory(eaPaste, 0xFE, {1, 2, 3, 4});
       }},
      {"cut", eaCut,
       [](TSimulator& s) {
         s.EditMemory(eaCut, 0x20, {0, 0, 0});
       }},
      {"composer", eaComposer,
       [](TSimulator& s) {
         s.EditMemory(eaComposer, 0x30, {0xC0, 0x00});
       }},
      {"assemble", eaAssemble, [](TSimulator& s) { s.LoadMemory(std::vector<int32_t>(256, 0xFF), eaAssemble); }},
      {"load file", eaLoadFile, [&image](TSimulator& s) { s.LoadMemory(image, eaLoadFile); }},
  };
  for (const TEditCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSimulator s;
    for (int i = 0; i < 256; ++i) s.SetCell(csMemory, i, (i * 13) & 0xFF);
    s.SetCell(csRegister, 15, 0x42);
    s.SetCell(csSysReg, PCIndex, 0x11);
    // An instruction before the edit must survive its undo.
    s.EditMemory(eaCellEdit, 0x11, {0x21, 0x05});
    s.Step();
    const TSnapshot before = Snap(s);
    const uint64_t generation = s.Generation();
    c.Apply(s);
    ASSERT_NE(Snap(s), before);
    EXPECT_EQ(s.Undo(), udEdit);
    EXPECT_EQ(Snap(s), before);
    EXPECT_GT(s.Generation(), generation);
    EXPECT_TRUE(s.StepBack());
    EXPECT_EQ(s.Register(1), 0);
  }
}

struct TPolicyCase {
  const char* Name;
  std::vector<int32_t> Program;  // at 00
  std::function<void(TSimulator&, TRunPolicy&)> Setup;
  TStopReason Reason;
  uint64_t Executed;
  int32_t PC;
};

// 00: load R1,1   02: addi R2,R2,R1   04: store R2,[40]   06: jmp 02
const std::vector<int32_t> Counter = {0x21, 0x01, 0x52, 0x21, 0x32, 0x40, 0xB0, 0x02};

TEST(Simulator, RunStopsForEachReasonOfThePolicy) {
  const TPolicyCase cases[] = {
      {"halt", {0x21, 0x01, 0xC0, 0x00}, nullptr, srHalt, 2, 0x04},
      {"invalid", {0x21, 0x01, 0xA1, 0x10}, nullptr, srInvalid, 2, 0x04},
      {"budget", Counter, [](TSimulator&, TRunPolicy& p) { p.Budget = 5; }, srBudget, 5, 0x04},
      {"step limit counts all instructions of the session", Counter,
       [](TSimulator& s, TRunPolicy& p) {
         s.Step();
         p.StepLimit = 4;
       },
       srStepLimit, 4, 0x02},
      {"a budget that ends at the step limit reports the step limit", Counter,
       [](TSimulator&, TRunPolicy& p) {
         p.Budget = 4;
         p.StepLimit = 4;
       },
       srStepLimit, 4, 0x02},
      {"halt on the last instruction of the budget is a halt",
       {0x21, 0x01, 0xC0, 0x00},
       [](TSimulator&, TRunPolicy& p) { p.Budget = 2; },
       srHalt,
       2,
       0x04},
      {"breakpoint stops before its instruction", Counter,
       [](TSimulator& s, TRunPolicy&) { s.SetBreakpoint(0x06, true); }, srBreakpoint, 3, 0x06},
      {"a run starting on a breakpoint goes past it", Counter,
       [](TSimulator& s, TRunPolicy&) {
         s.SetBreakpoint(0x02, true);
         s.SetCell(csSysReg, PCIndex, 0x02);
       },
       srBreakpoint, 3, 0x02},
      {"watched memory stops after the write", Counter,
       [](TSimulator& s, TRunPolicy&) { s.SetWatch(csMemory, 0x40, true); }, srWatch, 3, 0x06},
      {"watched register", Counter, [](TSimulator& s, TRunPolicy&) { s.SetWatch(csRegister, 2, true); }, srWatch, 2,
       0x04},
      {"break request", Counter, [](TSimulator& s, TRunPolicy&) { s.RequestBreak(); }, srBreak, 0, 0x00},
      {"deadline in the past still runs one check interval", Counter,
       [](TSimulator&, TRunPolicy& p) { p.Deadline = std::chrono::steady_clock::now(); }, srDeadline,
       TRunPolicy::DeadlineCheckInterval, 0x02},
  };
  for (const TPolicyCase& c : cases) {
    SCOPED_TRACE(c.Name);
    // Without history and without checks other loops run: all must agree.
    for (bool recording : {true, false}) {
      SCOPED_TRACE(recording);
      TSimulator s;
      s.SetRecording(recording);
      s.EditMemory(eaLoadFile, 0, c.Program);
      TRunPolicy policy;
      if (c.Setup) c.Setup(s, policy);
      EXPECT_EQ(s.Run(policy), c.Reason);
      EXPECT_EQ(s.Executed(), c.Executed);
      EXPECT_EQ(s.PC(), c.PC);
    }
  }
}

TEST(Simulator, ABreakFromAnotherThreadStopsAnEndlessRun) {
  TSimulator s;
  s.EditMemory(eaLoadFile, 0, Counter);
  TStopReason reason = srBudget;
  std::thread runner([&] { reason = s.Run({}); });
  // Usually the run is under way by then; a request made before it starts
  // stops it as well, so the test holds either way.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  s.RequestBreak();
  runner.join();
  EXPECT_EQ(reason, srBreak);
  // The request was used up: the next run goes on.
  TRunPolicy policy;
  policy.Budget = 3;
  EXPECT_EQ(s.Run(policy), srBudget);
}

TEST(Simulator, OutputPortGetsEveryWriteOfRFAlsoUnchanged) {
  TSimulator s;
  // load RF,41 twice, move RF,RF (unchanged value), store RF,[80], halt
  s.EditMemory(eaLoadFile, 0, {0x2F, 0x41, 0x2F, 0x41, 0x40, 0xFF, 0x3F, 0x80, 0xC0, 0x00});
  EXPECT_EQ(s.Run({}), srHalt);
  EXPECT_EQ(s.OutputSince(0), "AAA");
  EXPECT_EQ(s.OutputSince(2), "A");
  EXPECT_EQ(s.TakeOutput(), "AAA");
  EXPECT_EQ(s.OutputCount(), 3u);
  EXPECT_EQ(s.OutputSince(0), "");
}

TEST(Simulator, APartOfTheOutputCanBeTakenAndAStepBackStillTakesItsByte) {
  TSimulator s;
  // load RF,41 / load RF,42 / load RF,43 / halt
  s.EditMemory(eaLoadFile, 0, {0x2F, 0x41, 0x2F, 0x42, 0x2F, 0x43, 0xC0, 0x00});
  EXPECT_EQ(s.Run({}), srHalt);
  EXPECT_EQ(s.TakeOutput(2), "AB");
  EXPECT_EQ(s.OutputSince(0), "C");
  EXPECT_EQ(s.OutputSince(2), "C");
  EXPECT_EQ(s.OutputCount(), 3u);
  ASSERT_TRUE(s.StepBack());  // the halt
  ASSERT_TRUE(s.StepBack());  // the write of C
  EXPECT_EQ(s.OutputSince(0), "");
  EXPECT_EQ(s.OutputCount(), 2u);
  EXPECT_EQ(s.TakeOutput(5), "");
}

struct TTraceCase {
  const char* Name;
  std::vector<int32_t> Program;  // at 00, executed up to its last instruction
  int Steps;
  int Address;
  int32_t First, Second;
  std::vector<TTraceWrite> Writes;
  bool HasOutput;
};

TEST(Simulator, LastStepTellsWhatTheInstructionWrote) {
  const TTraceCase cases[] = {
      {"store into its own first byte",
       {0x20, 0x99, 0x30, 0x02},
       2,
       0x02,
       0x30,
       0x02,
       {{csSysReg, 0, 0x02, 0x04}, {csSysReg, 1, 0x2099, 0x3002}, {csMemory, 0x02, 0x30, 0x99}},
       false},
      {"taken jump writes PC twice",
       {0xB0, 0x10},
       1,
       0x00,
       0xB0,
       0x10,
       {{csSysReg, 0, 0x00, 0x02}, {csSysReg, 1, 0, 0xB010}, {csSysReg, 0, 0x02, 0x10}},
       false},
      {"RF write is output",
       {0x2F, 0x48},
       1,
       0x00,
       0x2F,
       0x48,
       {{csSysReg, 0, 0x00, 0x02}, {csSysReg, 1, 0, 0x2F48}, {csRegister, 15, 0, 0x48}},
       true},
      {"halt writes only PC and IR",
       {0xC0, 0x00},
       1,
       0x00,
       0xC0,
       0x00,
       {{csSysReg, 0, 0x00, 0x02}, {csSysReg, 1, 0, 0xC000}},
       false},
      {"out-of-range cell",
       {0x1FF, 0x00},
       1,
       0x00,
       0x1FF,
       0x00,
       {{csSysReg, 0, 0x00, 0x02}, {csSysReg, 1, 0, 0x1FF00}},
       false},
  };
  for (const TTraceCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSimulator s;
    s.EditMemory(eaLoadFile, 0, c.Program);
    TStepTrace trace;
    EXPECT_FALSE(s.LastStep(trace));  // an edit is no instruction
    for (int i = 0; i < c.Steps; ++i) s.Step();
    ASSERT_TRUE(s.LastStep(trace));
    EXPECT_EQ(trace.Address, c.Address);
    EXPECT_EQ(trace.First, c.First);
    EXPECT_EQ(trace.Second, c.Second);
    EXPECT_EQ(trace.Writes, c.Writes);
    EXPECT_EQ(trace.HasOutput, c.HasOutput);
    EXPECT_EQ(trace.Output, c.HasOutput ? 0x48 : 0);
  }
}

TEST(Simulator, ViewsSeeWhichCellsChangedSinceTheyLooked) {
  TSimulator s;
  s.EditMemory(eaLoadFile, 0, Counter);
  EXPECT_TRUE(s.MemoryModified());
  s.SetMemoryModified(false);  // saved
  const uint64_t seen = s.Generation();
  std::vector<int> changed;
  s.ChangedMemory(seen, changed);
  EXPECT_TRUE(changed.empty());
  TRunPolicy policy;
  policy.Budget = 3;  // load, addi, store [40]
  s.Run(policy);
  s.ChangedMemory(seen, changed);
  EXPECT_EQ(changed, std::vector<int>{0x40});
  EXPECT_GT(s.CellGeneration(csRegister, 1), seen);
  EXPECT_GT(s.CellGeneration(csRegister, 2), seen);
  EXPECT_LE(s.CellGeneration(csRegister, 3), seen);
  EXPECT_GT(s.CellGeneration(csSysReg, PCIndex), seen);
  EXPECT_FALSE(s.MemoryModified());  // the program's own store
  const uint64_t afterRun = s.Generation();
  ASSERT_TRUE(s.StepBack());
  s.ChangedMemory(afterRun, changed);
  EXPECT_EQ(changed, std::vector<int>{0x40});  // undone is changed too
  s.SetCell(csMemory, 0x41, 7);
  EXPECT_TRUE(s.MemoryModified());
}

TEST(Simulator, HistoryKeepsAMillionInstructionsWithin64MBAndDropsOlderCleanly) {
  TSimulator s;
  s.EditMemory(eaLoadFile, 0, Counter);
  const uint64_t start = s.History().EndPosition();
  RunExactly(s, 2500000);
  const THistory& history = s.History();
  EXPECT_LE(history.AllocatedBytes(), 64u << 20);
  EXPECT_GE(history.Size(), 1000000u);
  EXPECT_GT(history.FirstPosition(), start);
  // The dropped part is refused without a change; the kept part restores.
  const TSnapshot now = Snap(s);
  EXPECT_FALSE(s.UndoTo(start));
  EXPECT_EQ(Snap(s), now);
  const uint64_t oldest = history.FirstPosition();
  const uint64_t kept = history.EndPosition() - oldest;
  ASSERT_TRUE(s.UndoTo(oldest));
  EXPECT_EQ(s.Executed(), 2500000u - kept);
  EXPECT_FALSE(s.StepBack());
  EXPECT_EQ(s.Undo(), udNothing);
  RunExactly(s, 10);
  EXPECT_EQ(s.History().Size(), 10u);
  // A run without recording leaves no history to step back through.
  s.SetRecording(false);
  s.Step();
  EXPECT_FALSE(s.StepBack());
  EXPECT_TRUE(s.History().Empty());
}

TEST(Simulator, AnEditIsNeverSplitByTheHistoryLimit) {
  TSimulator s;
  s.SetHistoryLimitBytes(1);  // one chunk
  s.EditMemory(eaLoadFile, 0, Counter);
  RunExactly(s, THistory::ChunkRecords - 100);
  // 256 changed cells do not fit into the 100 records left.
  std::vector<int32_t> cells(256);
  for (int i = 0; i < 256; ++i) cells[static_cast<size_t>(i)] = i + 1000;
  const TSnapshot before = Snap(s);
  s.LoadMemory(cells);
  EXPECT_EQ(s.History().Size(), 258u);
  EXPECT_EQ(s.Undo(), udEdit);
  EXPECT_EQ(Snap(s), before);
  EXPECT_EQ(s.Undo(), udNothing);
}

}  // namespace
