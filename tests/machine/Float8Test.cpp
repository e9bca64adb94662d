#include <gtest/gtest.h>

#include <climits>

#include "MachineFixture.h"
#include "machine/Float8.h"

namespace {

// S, T, result of addf.
const struct {
  int S, T, Result;
} AddfRows[] = {
    {0x03, 0x04, 0x07}, {0x08, 0x08, 0x18}, {0x0F, 0x01, 0x18}, {0x1F, 0x01, 0x1F}, {0x85, 0x03, 0x82},
    {0x83, 0x03, 0x00}, {0x80, 0x00, 0x00}, {0x11, 0x00, 0x02}, {0x9F, 0x01, 0x9E}, {0x4F, 0x4F, 0x5F},
    {0x6F, 0x6F, 0x7F}, {0x7F, 0x01, 0x7F}, {0x7F, 0x7F, 0x0F}, {0xFF, 0xFF, 0x8F},
};

TEST(Float8, AddfTable) {
  for (const auto& row : AddfRows) {
    TMachineFixture f;
    f.SetRegister(2, row.S);
    f.SetRegister(3, row.T);
    f.Poke(0, {0x61, 0x23});
    EXPECT_EQ(f.Machine.ExecuteInstruction(), StepOk);
    EXPECT_EQ(f.Registers.GetContents(1), row.Result) << std::hex << row.S << " + " << row.T;
  }
}

TEST(Float8, DecodeGivesTheIntegerValueOfEveryEncoding) {
  const struct {
    int Byte, Value;
  } rows[] = {{0x08, 8},    {0x14, 8},     {0x22, 8},   {0x31, 8},  {0x00, 0},  {0x80, 0},
              {0x7F, 1920}, {0xFF, -1920}, {0x9F, -30}, {0x85, -5}, {0x105, 5}, {-1, -1920}};
  for (const auto& row : rows) EXPECT_EQ(DecodeFloat8(row.Byte), row.Value) << std::hex << row.Byte;
}

TEST(Float8, EncodeTakesTheSmallestExponentAndTruncatesTowardsZero) {
  const struct {
    int Value, Byte;
  } rows[] = {{0, 0x00},    {15, 0x0F},   {16, 0x18},   {31, 0x1F},    {-29, 0x9E},     {-1, 0x81},
              {1920, 0x7F}, {1921, 0x7F}, {3840, 0x0F}, {-3840, 0x8F}, {INT_MAX, 0x3F}, {INT_MIN, 0xC8}};
  for (const auto& row : rows) EXPECT_EQ(EncodeFloat8(row.Value), row.Byte) << row.Value;
  for (int byte = 0; byte < 256; ++byte) EXPECT_EQ(DecodeFloat8(EncodeFloat8(DecodeFloat8(byte))), DecodeFloat8(byte));
}

}  // namespace
