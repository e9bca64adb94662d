#include "machine/CellStore.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

TEST(CellArray, EveryWriteNotifiesAlsoWhenTheValueIsUnchanged) {
  TCellArray cells(4);
  std::vector<std::tuple<int, int32_t, int32_t>> seen;
  cells.AddListener([&](int adr, int32_t old, int32_t value) { seen.emplace_back(adr, old, value); });
  cells.SetContents(3, 0x41);
  cells.SetContents(3, 0x41);
  EXPECT_EQ(cells.GetContents(3), 0x41);
  EXPECT_EQ(seen, (std::vector<std::tuple<int, int32_t, int32_t>>{{3, 0, 0x41}, {3, 0x41, 0x41}}));
}

TEST(CellArray, AddressOutsideTheArrayIsRefused) {
  TCellArray cells(256);
  EXPECT_THROW(cells.GetContents(256), std::out_of_range);
  EXPECT_THROW(cells.SetContents(-1, 0), std::out_of_range);
}

}  // namespace
