#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "MachineFixture.h"
#include "machine/Instruction.h"

namespace {

using TValues = std::vector<std::pair<int, int32_t>>;

struct TOpcodeCase {
  const char* Name;
  int First, Second;
  TValues Registers;  // set before the instruction
  TValues Memory;
  int Result;
  std::vector<TWrite> Effect;  // the writes after PC and IR, in order
};

// The instruction always sits at 0x40, so PC becomes 0x42 before the effect.
const TOpcodeCase OpcodeCases[] = {
    {"0000 invalid", 0x00, 0x00, {}, {}, StepInvalid, {}},
    {"0123 invalid", 0x01, 0x23, {{1, 5}}, {}, StepInvalid, {}},
    {"load direct", 0x13, 0x80, {}, {{0x80, 0x5A}}, StepOk, {{'R', 3, 0x5A}}},
    {"load immediate", 0x2F, 0x41, {}, {}, StepOk, {{'R', 15, 0x41}}},
    {"store direct", 0x3A, 0x90, {{10, 0x77}}, {}, StepOk, {{'M', 0x90, 0x77}}},
    {"move", 0x40, 0x25, {{2, 0x33}}, {}, StepOk, {{'R', 5, 0x33}}},
    {"move ignores nibble 2", 0x47, 0x25, {{2, 0x33}}, {}, StepOk, {{'R', 5, 0x33}}},
    {"4123 copies R2 into R3", 0x41, 0x23, {{2, 0x99}}, {}, StepOk, {{'R', 3, 0x99}}},
    {"addi wraps FF+01", 0x57, 0x12, {{1, 0xFF}, {2, 0x01}}, {}, StepOk, {{'R', 7, 0x00}}},
    {"addi wraps 80+80", 0x57, 0x12, {{1, 0x80}, {2, 0x80}}, {}, StepOk, {{'R', 7, 0x00}}},
    {"addi into a source", 0x51, 0x12, {{1, 0x05}, {2, 0x03}}, {}, StepOk, {{'R', 1, 0x08}}},
    {"addf", 0x61, 0x23, {{2, 0x08}, {3, 0x08}}, {}, StepOk, {{'R', 1, 0x18}}},
    {"or", 0x73, 0x12, {{1, 0xF0}, {2, 0x0F}}, {}, StepOk, {{'R', 3, 0xFF}}},
    {"and", 0x83, 0x12, {{1, 0x3C}, {2, 0x0F}}, {}, StepOk, {{'R', 3, 0x0C}}},
    {"xor", 0x93, 0x12, {{1, 0x3C}, {2, 0x0F}}, {}, StepOk, {{'R', 3, 0x33}}},
    {"ror A10F by 7", 0xA1, 0x0F, {{1, 0x01}}, {}, StepOk, {{'R', 1, 0x02}}},
    {"ror A110 invalid", 0xA1, 0x10, {{1, 0x01}}, {}, StepInvalid, {}},
    {"jmpEQ taken", 0xB1, 0x20, {{0, 7}, {1, 7}}, {}, StepOk, {{'S', 0, 0x20}}},
    {"jmpEQ not taken", 0xB1, 0x20, {{0, 7}, {1, 8}}, {}, StepOk, {}},
    {"jmp B0XY", 0xB0, 0x20, {{0, 0x55}}, {}, StepOk, {{'S', 0, 0x20}}},
    {"jmpEQ to itself", 0xB0, 0x40, {}, {}, StepOk, {{'S', 0, 0x40}}},
    {"halt", 0xC0, 0x00, {}, {}, StepHalt, {}},
    {"C001 invalid", 0xC0, 0x01, {}, {}, StepInvalid, {}},
    {"C100 invalid", 0xC1, 0x00, {}, {}, StepInvalid, {}},
    {"C0FF invalid", 0xC0, 0xFF, {}, {}, StepInvalid, {}},
    {"load indirect", 0xD0, 0x52, {{2, 0x80}}, {{0x80, 0x99}}, StepOk, {{'R', 5, 0x99}}},
    {"D100 invalid", 0xD1, 0x00, {}, {}, StepInvalid, {}},
    {"store indirect", 0xE0, 0x52, {{5, 0x66}, {2, 0x81}}, {}, StepOk, {{'M', 0x81, 0x66}}},
    {"E100 invalid", 0xE1, 0x00, {}, {}, StepInvalid, {}},
    {"jmpLE -1 <= 1", 0xF1, 0x20, {{1, 0xFF}, {0, 0x01}}, {}, StepOk, {{'S', 0, 0x20}}},
    {"jmpLE 1 <= -1 not", 0xF1, 0x20, {{1, 0x01}, {0, 0xFF}}, {}, StepOk, {}},
    {"jmpLE -128 <= 127", 0xF1, 0x20, {{1, 0x80}, {0, 0x7F}}, {}, StepOk, {{'S', 0, 0x20}}},
    {"jmpLE 127 <= -128 not", 0xF1, 0x20, {{1, 0x7F}, {0, 0x80}}, {}, StepOk, {}},
    {"jmpLE equal", 0xF1, 0x20, {{1, 0x42}, {0, 0x42}}, {}, StepOk, {{'S', 0, 0x20}}},
    {"jmpLE F0XY", 0xF0, 0x20, {{0, 0x80}}, {}, StepOk, {{'S', 0, 0x20}}},
};

TEST(Machine, EveryOpcodeFetchesWritesPCThenIRThenAtMostOneEffect) {
  for (const TOpcodeCase& c : OpcodeCases) {
    SCOPED_TRACE(c.Name);
    TMachineFixture f;
    for (auto [n, v] : c.Registers) f.SetRegister(n, v);
    for (auto [a, v] : c.Memory) f.Poke(a, {v});
    f.Poke(0x40, {c.First, c.Second});
    f.SetPC(0x40);
    EXPECT_EQ(f.Machine.ExecuteInstruction(), c.Result);
    std::vector<TWrite> expected = {{'S', 0, 0x42}, {'S', 1, c.First * 256 + c.Second}};
    expected.insert(expected.end(), c.Effect.begin(), c.Effect.end());
    EXPECT_EQ(f.Writes, expected);
  }
}

TEST(Machine, RotateRightExamples) {
  const struct {
    int Value, Count, Expected;
  } rows[] = {{0x01, 1, 0x80}, {0x81, 1, 0xC0}, {0x12, 4, 0x21}, {0xA5, 3, 0xB4},
              {0x5A, 9, 0x2D}, {0x5A, 0, 0x5A}, {0x5A, 8, 0x5A}, {0xFF, 15, 0xFF}};
  for (const auto& row : rows) {
    TMachineFixture f;
    f.SetRegister(3, row.Value);
    f.Poke(0, {0xA3, row.Count});
    EXPECT_EQ(f.Machine.ExecuteInstruction(), StepOk);
    EXPECT_EQ(f.Registers.GetContents(3), row.Expected) << std::hex << row.Value << " by " << row.Count;
  }
}

TEST(Machine, PCWrapsAtFEAndAnInstructionAtFFTakesItsSecondByteFrom00) {
  TMachineFixture f;
  f.Poke(0xFE, {0x21, 0x07});
  f.SetPC(0xFE);
  EXPECT_EQ(f.Machine.ExecuteInstruction(), StepOk);
  EXPECT_EQ(f.SysRegs.GetContents(0), 0x00);

  f.Poke(0xFF, {0x2F, 0x41});
  f.SetPC(0xFF);
  EXPECT_EQ(f.Machine.ExecuteInstruction(), StepOk);
  EXPECT_EQ(f.Writes, (std::vector<TWrite>{{'S', 0, 0x01}, {'S', 1, 0x2F41}, {'R', 15, 0x41}}));
}

TEST(Machine, EmptyMemoryIsInvalidAndLeavesPCPastIt) {
  TMachineFixture f;
  EXPECT_EQ(f.Machine.ExecuteInstructions(1), StepInvalid);
  EXPECT_EQ(f.SysRegs.GetContents(0), 2);
  EXPECT_EQ(f.SysRegs.GetContents(1), 0);
}

TEST(Machine, AStoreIntoTheInstructionsOwnBytesTakesEffectAtTheNextFetch) {
  TMachineFixture f;
  f.SetRegister(0, 0xC0);
  f.SetRegister(1, 0x00);
  // 00: store R0,[00]   02: store R1,[05]   04: C0 05 (becomes halt)
  f.Poke(0, {0x30, 0x00, 0x31, 0x05, 0xC0, 0x05});
  EXPECT_EQ(f.Machine.ExecuteInstruction(), StepOk);
  EXPECT_EQ(f.SysRegs.GetContents(1), 0x3000);
  EXPECT_EQ(f.Memory.GetContents(0), 0xC0);
  EXPECT_EQ(f.Machine.ExecuteInstructions(5), StepHalt);
  EXPECT_EQ(f.SysRegs.GetContents(0), 6);
  f.SetPC(0);
  EXPECT_EQ(f.Machine.ExecuteInstruction(), StepHalt);
}

TEST(Machine, EqualWritesAreWritesEveryTime) {
  TMachineFixture f;
  f.Poke(0, {0x2F, 0x41, 0x2F, 0x41});
  EXPECT_EQ(f.Machine.ExecuteInstructions(2), StepOk);
  EXPECT_EQ(f.Writes[2], (TWrite{'R', 15, 0x41}));
  EXPECT_EQ(f.Writes[5], (TWrite{'R', 15, 0x41}));
  EXPECT_EQ(f.Session.OutputSince(0), "AA");
}

TEST(Machine, ExecuteInstructionsStopsAtTheFirstResultThatIsNotOk) {
  TMachineFixture f;
  f.Poke(0, {0x21, 0x01, 0xC0, 0x00, 0x22, 0x02});
  EXPECT_EQ(f.Machine.ExecuteInstructions(0), StepOk);
  EXPECT_EQ(f.Machine.ExecuteInstructions(-3), StepOk);
  EXPECT_TRUE(f.Writes.empty());
  EXPECT_EQ(f.Machine.ExecuteInstructions(10), StepHalt);
  EXPECT_EQ(f.SysRegs.GetContents(0), 4);
  EXPECT_EQ(f.Registers.GetContents(2), 0);
}

// The session runs one of four instantiations of the executor (with or
// without history, with or without breakpoint and watch checks); all of
// them, and single steps, run a program alike.
TEST(Machine, EveryWayOfRunningRunsTheSameProgram) {
  // Counts R1 down from 3 to 0 with addi R1,R1,R2 (R2 = FF), printing R1
  // each time, then halts.
  const std::vector<int32_t> program = {0x21, 0x03, 0x22, 0xFF, 0x51, 0x12, 0x40,
                                        0x1F, 0xB1, 0x0C, 0xB0, 0x04, 0xC0, 0x00};
  TMachineFixture stepped;
  stepped.Poke(0, program);
  EXPECT_EQ(stepped.Machine.ExecuteInstructions(100), StepHalt);
  for (const bool record : {false, true}) {
    for (const bool checks : {false, true}) {
      SCOPED_TRACE(testing::Message() << "record " << record << ", checks " << checks);
      TSimulator run;
      run.EditMemory(eaCellEdit, 0, program);
      run.SetRecording(record);
      // Checks that never fire: an address the program never reaches.
      if (checks) run.SetBreakpoint(0x80, true);
      EXPECT_EQ(run.Run(TRunPolicy{}), srHalt);
      EXPECT_EQ(run.MemoryCells(), stepped.Session.MemoryCells());
      EXPECT_EQ(run.RegisterCells(), stepped.Session.RegisterCells());
      EXPECT_EQ(run.PC(), stepped.Session.PC());
      EXPECT_EQ(run.IR(), stepped.Session.IR());
      EXPECT_EQ(run.Executed(), stepped.Session.Executed());
      EXPECT_EQ(run.OutputSince(0), std::string("\x02\x01\x00", 3));
    }
  }
}

}  // namespace
