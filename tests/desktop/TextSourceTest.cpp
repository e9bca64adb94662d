#include "desktop/TextSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextSource, SeekFollowsTheOriginAndRefusesTargetsOutsideTheText) {
  struct TCase {
    int64_t Start;  // position before the seek
    int64_t Offset;
    int Origin;
    int64_t Result;    // -1: refused
    int64_t Position;  // afterwards
  };
  // The text has 10 bytes.
  const TCase cases[] = {
      {0, 4, soBeginning, 4, 4},   {3, 0, soBeginning, 0, 0}, {3, 10, soBeginning, 10, 10}, {3, 11, soBeginning, -1, 3},
      {3, -1, soBeginning, -1, 3}, {3, 2, soCurrent, 5, 5},   {3, -3, soCurrent, 0, 0},     {3, -4, soCurrent, -1, 3},
      {3, 7, soCurrent, 10, 10},   {3, 8, soCurrent, -1, 3},  {3, 4, soEnd, 6, 6},          {3, 0, soEnd, 10, 10},
      {3, 10, soEnd, 0, 0},        {3, 11, soEnd, -1, 3},     {3, -1, soEnd, -1, 3},        {3, 1, 3, -1, 3},
      {3, 1, -1, -1, 3},
  };
  for (const TCase& c : cases) {
    TTextSource source("0123456789");
    ASSERT_EQ(source.Seek(c.Start, soBeginning), c.Start);
    EXPECT_EQ(source.Seek(c.Offset, c.Origin), c.Result) << c.Start << " " << c.Offset << " " << c.Origin;
    EXPECT_EQ(source.Position(), c.Position) << c.Start << " " << c.Offset << " " << c.Origin;
  }
}

TEST(TextSource, ReadCopiesUpToTheEndAndAdvances) {
  TTextSource source("abcdefg");
  char buffer[8] = {};
  struct TStep {
    int64_t Count;
    std::string Expected;
  };
  const std::vector<TStep> steps = {{3, "abc"}, {0, ""}, {-2, ""}, {2, "de"}, {5, "fg"}, {4, ""}};
  for (const TStep& step : steps) {
    const int64_t copied = source.Read(buffer, step.Count);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(copied)), step.Expected) << step.Count;
  }
  EXPECT_EQ(source.Position(), 7);
  ASSERT_EQ(source.Seek(2, soEnd), 5);
  EXPECT_EQ(source.Read(buffer, 8), 2);
  EXPECT_EQ(std::string(buffer, 2), "fg");
}

TEST(TextSource, WriteChangesNothing) {
  TTextSource source("abc");
  EXPECT_EQ(source.Write("xyz", 3), 0);
  char buffer[4] = {};
  EXPECT_EQ(source.Read(buffer, 4), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

}  // namespace
