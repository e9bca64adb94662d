#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "machine/Disassembler.h"
#include "machine/Listing.h"

namespace {

TMemoryCells MemoryWith(std::initializer_list<std::pair<int, int32_t>> cells) {
  TMemoryCells memory{};
  for (auto [adr, value] : cells) memory[static_cast<size_t>(adr)] = value;
  return memory;
}

TEST(Disassembler, Lines) {
  const struct {
    int Address, First, Second;
    const char* Line;
  } rows[] = {
      {0x04, 0x21, 0xA0, "04:  21,A0  load  R1,A0      ;... ($A0=-96)"},
      {0x00, 0x20, 0x41, "00:  20,41  load  R0,41      ;... ($41=65)"},
      {0x30, 0x2F, 0xFF, "30:  2F,FF  load  RF,FF      ;... ($FF=-1)"},
      {0x02, 0x11, 0x10, "02:  11,10  load  R1,[10]    ;..."},
      {0x06, 0x3C, 0x9A, "06:  3C,9A  store RC,[9A]    ;..."},
      {0x08, 0x40, 0x25, "08:  40,25  move  R5,R2      ;..."},
      {0x08, 0x47, 0x25, "08:  47,25  move  R5,R2      ;..."},
      {0x0A, 0x57, 0x12, "0A:  57,12  addi  R7,R1,R2   ;..."},
      {0x0C, 0x6A, 0xBC, "0C:  6A,BC  addf  RA,RB,RC   ;..."},
      {0x20, 0x71, 0x23, "20:  71,23  or    R1,R2,R3   ;..."},
      {0x22, 0x81, 0x23, "22:  81,23  and   R1,R2,R3   ;..."},
      {0x24, 0x91, 0x23, "24:  91,23  xor   R1,R2,R3   ;..."},
      {0x0E, 0xA3, 0x05, "0E:  A3,05  ror   R3,5       ;..."},
      {0x10, 0xB0, 0x42, "10:  B0,42  jmpEQ R0=R0,42   ;..."},
      {0x12, 0xF1, 0x20, "12:  F1,20  jmpLE R1<=R0,20  ;..."},
      {0x14, 0xC0, 0x00, "14:  C0,00  halt             ;..."},
      {0x16, 0xD0, 0x52, "16:  D0,52  load  R5,[R2]    ;..."},
      {0x18, 0xE0, 0x52, "18:  E0,52  store R5,[R2]    ;..."},
      {0x1A, 0x00, 0x00, "1A:  00,00  invalid"},
      {0x1C, 0x00, 0x05, "1C:  00,05  invalid"},
      {0x1E, 0xA1, 0x12, "1E:  A1,12  invalid"},
      {0x26, 0xC0, 0x01, "26:  C0,01  invalid"},
      {0x28, 0xC1, 0x00, "28:  C1,00  invalid"},
      {0x2A, 0xD1, 0x52, "2A:  D1,52  invalid"},
      {0x2C, 0xE1, 0x52, "2C:  E1,52  invalid"},
      {0x2E, 0x2F, 256, "2E:  2F,100  invalid"},
      {0x2E, -1, 0x00, "2E:  FFFFFFFF,00  invalid"},
      {0x2E, INT_MAX, INT_MIN, "2E:  7FFFFFFF,80000000  invalid"},
  };
  for (const auto& row : rows) {
    const TMemoryCells memory = MemoryWith({{row.Address, row.First}, {row.Address + 1, row.Second}});
    const TDisasmLine line = Disassemble(memory, row.Address);
    EXPECT_EQ(line.Line, row.Line);
    if (row.First >= 0 && row.First < 256) {
      EXPECT_EQ(line.Word, row.First * 256 + row.Second);
    }
  }
}

TEST(Disassembler, TheInstructionAtFFTakesItsSecondByteFrom00) {
  const TMemoryCells memory = MemoryWith({{0xFF, 0x2F}, {0x00, 0x41}});
  EXPECT_EQ(Disassemble(memory, 0xFF).Line, "FF:  2F,41  load  RF,41      ;... ($41=65)");
  EXPECT_EQ(Disassemble(memory, 0xFF).Word, 0x2F41);
}

TEST(Listing, SixLineExample) {
  const TMemoryCells memory = MemoryWith({{0, 0x20}, {1, 0x41}, {2, 0x40}, {3, 0x0F}, {4, 0xC0}, {5, 0x00}});
  EXPECT_EQ(BuildListing(memory, 0),
            "00:  20,41  load  R0,41      ;... ($41=65)\r\n"
            "02:  40,0F  move  RF,R0      ;...\r\n"
            "04:  C0,00  halt             ;...\r\n"
            "06:  00,00  invalid\r\n"
            "              \"\r\n"
            "              \"\r\n");
}

TEST(Listing, ZeroRunsAndAlignment) {
  const std::string ditto = "              \"\r\n";
  EXPECT_EQ(BuildListing(TMemoryCells{}, 0), "00:  00,00  invalid\r\n" + ditto + ditto);
  // 00 05 is invalid but not a zero word: it breaks the run.
  const TMemoryCells broken = MemoryWith({{0x0B, 0x05}});
  EXPECT_EQ(BuildListing(broken, 2), "00:  00,00  invalid\r\n" + ditto + ditto +
                                         "0A:  00,05  invalid\r\n"
                                         "0C:  00,00  invalid\r\n" +
                                         ditto + ditto);
  // An odd PC lists the odd addresses and ends with FF, whose second byte is 00.
  const TMemoryCells odd = MemoryWith({{0x00, 0x20}, {0x01, 0x2F}, {0x02, 0x41}, {0xFF, 0xC0}});
  EXPECT_EQ(BuildListing(odd, 0x41),
            "01:  2F,41  load  RF,41      ;... ($41=65)\r\n"
            "03:  00,00  invalid\r\n" +
                ditto + ditto + "FF:  C0,20  invalid\r\n");
  // Cells out of range whose word wraps to 0 are still listed as themselves.
  const TMemoryCells wrapped = MemoryWith({{0x10, 0x1000000}, {0x20, 0x1000000}});
  const std::string listing = BuildListing(wrapped, 0);
  EXPECT_NE(listing.find("10:  1000000,00  invalid"), std::string::npos);
  EXPECT_NE(listing.find("20:  1000000,00  invalid"), std::string::npos);
}

}  // namespace
