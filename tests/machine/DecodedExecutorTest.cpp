// The decoded run loop against the one that decodes every instruction as it
// fetches it, on random programs that store over their own code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "machine/Simulator.h"

namespace {

struct TDecodedCase {
  const char* Name;
  bool Recording;
  bool Checks;  // breakpoints and watches set
};

// Mostly valid instructions, many of them stores aimed at the program
// itself; now and then a cell no byte can hold.
int32_t RandomCell(std::mt19937& random) {
  const uint32_t pick = random() % 100;
  if (pick < 3) return static_cast<int32_t>(random());               // anything a program file may hold
  if (pick < 20) return 0x30 | static_cast<int32_t>(random() % 16);  // store direct
  if (pick < 30) return 0xE0;                                        // store indirect
  if (pick < 33) return 0xC0;                                        // halt, when 00 follows
  return static_cast<int32_t>(0x10 + random() % 0xF0);
}

void ExpectSame(const TSimulator& decoded, const TSimulator& plain, const std::string& outputA,
                const std::string& outputB) {
  ASSERT_EQ(decoded.MemoryCells(), plain.MemoryCells());
  ASSERT_EQ(decoded.RegisterCells(), plain.RegisterCells());
  ASSERT_EQ(decoded.PC(), plain.PC());
  ASSERT_EQ(decoded.IR(), plain.IR());
  ASSERT_EQ(decoded.Executed(), plain.Executed());
  ASSERT_EQ(decoded.Generation(), plain.Generation());
  ASSERT_EQ(outputA, outputB);
  for (int adr = 0; adr < MemorySize; ++adr)
    ASSERT_EQ(decoded.CellGeneration(csMemory, adr), plain.CellGeneration(csMemory, adr)) << adr;
}

class DecodedExecutorTest : public testing::TestWithParam<TDecodedCase> {};

TEST_P(DecodedExecutorTest, AgreesWithDecodingEveryFetch) {
  const TDecodedCase& param = GetParam();
  std::mt19937 random(20261209u + static_cast<unsigned>(param.Recording) * 2 + param.Checks);
  TSimulator decoded;
  TSimulator plain;
  plain.SetDecoding(false);
  TSimulator* both[] = {&decoded, &plain};
  auto forBoth = [&](auto action) {
    for (TSimulator* session : both) action(*session);
  };
  std::string outputA, outputB;
  uint64_t steps = 0;
  uint64_t nextCompare = 1000;
  int program = 0;
  while (steps < 1000000) {
    // A new random program every 50,000 steps or so.
    if (steps >= static_cast<uint64_t>(program) * 50000) {
      ++program;
      std::vector<int32_t> cells(MemorySize);
      for (int32_t& cell : cells) cell = RandomCell(random);
      std::vector<TCellEdit> registers;
      for (int n = 0; n < RegisterCount; ++n)
        registers.push_back({csRegister, n, static_cast<int32_t>(random() % 256)});
      forBoth([&](TSimulator& s) {
        s.SetRecording(param.Recording);
        s.LoadMemory(cells);
        s.Edit(eaCellEdit, registers);
      });
      if (param.Checks) {
        for (int i = 0; i < 4; ++i) {
          const int adr = static_cast<int>(random() % 256);
          const int watched = static_cast<int>(random() % 256);
          const int reg = static_cast<int>(random() % 16);
          forBoth([&](TSimulator& s) {
            s.SetBreakpoint(adr, true);
            s.SetWatch(csMemory, watched, true);
            s.SetWatch(csRegister, reg, i == 0);
          });
        }
      }
    }
    TRunPolicy policy;
    policy.Budget = 1 + random() % 1000;
    const TStopReason a = decoded.Run(policy);
    const TStopReason b = plain.Run(policy);
    ASSERT_EQ(a, b) << "at step " << steps;
    outputA += decoded.TakeOutput();
    outputB += plain.TakeOutput();
    if (a == srHalt || a == srInvalid || random() % 8 == 0) {
      // Go on somewhere else, as a student would: PC by hand, sometimes a
      // cell typed over the code, sometimes a few steps taken back.
      const int32_t pc = static_cast<int32_t>(random() % 256);
      const int cell = static_cast<int>(random() % 256);
      const int32_t value = RandomCell(random);
      const uint32_t what = random() % 3;
      const auto back = static_cast<int>(random() % 20);
      forBoth([&](TSimulator& s) {
        if (what == 1) s.SetCell(csMemory, cell, value);
        if (what == 2 && param.Recording)
          for (int i = 0; i < back; ++i) s.StepBack();
        if (a == srHalt || a == srInvalid || what == 0) s.SetCell(csSysReg, PCIndex, pc);
      });
      outputA.resize(decoded.OutputCount());
      outputB.resize(plain.OutputCount());
    }
    if (decoded.Executed() >= nextCompare || steps >= 1000000) {
      SCOPED_TRACE("after " + std::to_string(decoded.Executed()) + " instructions");
      ExpectSame(decoded, plain, outputA, outputB);
      nextCompare = decoded.Executed() + 1000;
    }
    steps = std::max(steps, decoded.Executed());
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, DecodedExecutorTest,
                         testing::Values(TDecodedCase{"Plain", false, false}, TDecodedCase{"History", true, false},
                                         TDecodedCase{"Checks", false, true},
                                         TDecodedCase{"HistoryAndChecks", true, true}),
                         [](const testing::TestParamInfo<TDecodedCase>& info) { return info.param.Name; });

}  // namespace
