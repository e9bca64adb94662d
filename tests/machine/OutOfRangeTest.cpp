// Cells from a program file may hold any 32-bit value. None of them may index
// outside an array or overflow: instructions with such bytes are invalid, and
// addresses taken from cells are reduced modulo 256.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "MachineFixture.h"
#include "machine/Disassembler.h"
#include "machine/Instruction.h"
#include "machine/Listing.h"

namespace {

const int32_t Extremes[] = {-1, 256, INT_MIN, INT_MAX};

TEST(OutOfRange, AFirstOrSecondByteOutsideAByteIsInvalidAfterWritingPCAndIR) {
  for (int32_t bad : Extremes) {
    for (int position = 0; position < 2; ++position) {
      SCOPED_TRACE(testing::Message() << bad << " at byte " << position);
      TMachineFixture f;
      std::vector<int32_t> bytes = {0x2F, 0x41};  // would load RF
      bytes[static_cast<size_t>(position)] = bad;
      f.Poke(0x10, bytes);
      f.SetPC(0x10);
      EXPECT_EQ(f.Machine.ExecuteInstruction(), StepInvalid);
      EXPECT_EQ(f.Writes, (std::vector<TWrite>{{'S', 0, 0x12}, {'S', 1, InstructionWord(bytes[0], bytes[1])}}));
      EXPECT_EQ(Disassemble(f.MemoryCells(), 0x10).Line.substr(Disassemble(f.MemoryCells(), 0x10).Line.size() - 7),
                "invalid");
    }
  }
}

TEST(OutOfRange, PCAndRegisterAddressesAreReducedModulo256) {
  const struct {
    int32_t Value;
    int Reduced;
  } rows[] = {{-1, 0xFF}, {256, 0x00}, {INT_MIN, 0x00}, {INT_MAX, 0xFF}, {0x1234, 0x34}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Value);
    TMachineFixture pcCase;
    pcCase.Poke(row.Reduced, {0x2F, 0x41});
    pcCase.SetPC(row.Value);
    EXPECT_EQ(pcCase.Machine.ExecuteInstruction(), StepOk);
    EXPECT_EQ(pcCase.SysRegs.GetContents(0), (row.Reduced + 2) % 256);
    EXPECT_EQ(pcCase.Registers.GetContents(15), 0x41);

    TMachineFixture load;  // load R5,[R2]
    load.Poke(row.Reduced, {0x77});
    load.Poke(0x80, {0xD0, 0x52});
    load.SetPC(0x80);
    load.SetRegister(2, row.Value);
    EXPECT_EQ(load.Machine.ExecuteInstruction(), StepOk);
    EXPECT_EQ(load.Registers.GetContents(5), 0x77);

    TMachineFixture store;  // store R5,[R2]
    store.Poke(0x80, {0xE0, 0x52});
    store.SetPC(0x80);
    store.SetRegister(5, 0x66);
    store.SetRegister(2, row.Value);
    EXPECT_EQ(store.Machine.ExecuteInstruction(), StepOk);
    EXPECT_EQ(store.Writes.back(), (TWrite{'M', row.Reduced, 0x66}));
  }
}

TEST(OutOfRange, CopiesKeepTheValueAndComputationsUseItsLowByte) {
  const struct {
    const char* Name;
    int First, Second;
    int32_t R1, R2;
    TWrite Effect;
  } rows[] = {
      {"load direct copies", 0x13, 0x90, 0, 0, {'R', 3, INT_MIN}},
      {"move copies", 0x40, 0x13, INT_MAX, 0, {'R', 3, INT_MAX}},
      {"store copies", 0x31, 0x91, -1, 0, {'M', 0x91, -1}},
      {"addi", 0x53, 0x12, INT_MAX, 1, {'R', 3, 0x00}},
      {"addi negative", 0x53, 0x12, INT_MIN, -1, {'R', 3, 0xFF}},
      {"addf", 0x63, 0x12, 0x108, 0x08, {'R', 3, 0x18}},
      {"or", 0x73, 0x12, 256, -1, {'R', 3, 0xFF}},
      {"and", 0x83, 0x12, INT_MAX, 0x1F0, {'R', 3, 0xF0}},
      {"xor", 0x93, 0x12, INT_MIN, 0x10F, {'R', 3, 0x0F}},
      {"ror", 0xA1, 0x01, 0x181, 0, {'R', 1, 0xC0}},
      {"jmpEQ compares bytes", 0xB1, 0x20, 256, 0, {'S', 0, 0x20}},
      {"jmpLE compares bytes", 0xF1, 0x20, INT_MIN, 0, {'S', 0, 0x20}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    TMachineFixture f;
    f.Poke(0x90, {INT_MIN});
    f.SetRegister(1, row.R1);
    f.SetRegister(2, row.R2);
    f.Poke(0, {row.First, row.Second});
    EXPECT_EQ(f.Machine.ExecuteInstruction(), StepOk);
    ASSERT_EQ(f.Writes.size(), 3u);
    EXPECT_EQ(f.Writes[2], row.Effect);
  }
}

// Every extreme value in every cell of the machine, then a few hundred
// instructions of whatever that makes, one step at a time with history and
// in one run without: both must end alike (the debug and sanitizer builds
// check every array access), and PC must stay an address.
TEST(OutOfRange, NoCellValueMakesTheMachineLeaveItsArrays) {
  constexpr uint64_t Steps = 300;
  for (int32_t bad : Extremes) {
    for (int cell = 0; cell < 256 + 16 + 2; ++cell) {
      TMachineFixture stepped;
      TSimulator run;
      run.SetRecording(false);
      for (TSimulator* s : {&stepped.Session, &run}) {
        // A program that uses registers as addresses and jumps around.
        s->EditMemory(eaCellEdit, 0, {0xD0, 0x12, 0xE0, 0x31, 0x15, 0x00, 0x51, 0x12, 0x40, 0x13, 0xF0, 0x00});
        if (cell < 256)
          s->SetCell(csMemory, cell, bad);
        else if (cell < 272)
          s->SetCell(csRegister, cell - 256, bad);
        else
          s->SetCell(csSysReg, cell - 272, bad);
      }
      for (uint64_t i = 0; i < Steps; ++i) stepped.Machine.ExecuteInstruction();
      TRunPolicy policy;
      policy.StepLimit = Steps;
      // Halt and invalid instructions end a run, but PC has moved on: go on.
      while (run.Executed() < Steps) run.Run(policy);
      ASSERT_TRUE(IsByte(stepped.SysRegs.GetContents(0))) << bad << " in cell " << cell;
      ASSERT_EQ(run.MemoryCells(), stepped.Session.MemoryCells()) << bad << " in cell " << cell;
      ASSERT_EQ(run.RegisterCells(), stepped.Session.RegisterCells()) << bad << " in cell " << cell;
      ASSERT_EQ(run.PC(), stepped.Session.PC());
      ASSERT_EQ(run.IR(), stepped.Session.IR());
      ASSERT_NO_THROW(BuildListing(stepped.MemoryCells(), bad));
    }
  }
}

}  // namespace
