// The pacing of a set speed: what is due when, in which batches.
#include <gtest/gtest.h>

#include "machine/Pacing.h"

namespace {

TEST(PacingTest, DueInstructionsFollowTheClockOneAtATimeUpTo100PerSecond) {
  struct TCase {
    double Speed;
    double Elapsed;
    uint64_t Due;
    bool ShowEach;
  } cases[] = {
      {10, 0.0, 1, true},       // the first at once
      {10, 0.099, 1, true},     // the second only at 0.1 s
      {10, 0.1, 2, true},       //
      {100, 1.0, 101, true},    // the last speed that shows each
      {101, 1.0, 102, false},   //
      {1000, 0.5, 501, false},  //
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Speed);
    TPacing pacing;
    pacing.Restart(c.Speed);
    EXPECT_EQ(pacing.DueBy(c.Elapsed), c.Due);
    EXPECT_EQ(pacing.ShowEach(), c.ShowEach);
    EXPECT_EQ(pacing.Batch(c.Due), c.ShowEach ? 1u : c.Due);
  }
  // Done counts at least one per call (a stop executes nothing), and the
  // next is due at done / speed.
  TPacing pacing;
  pacing.Restart(10);
  pacing.Count(0);
  pacing.Count(2);
  EXPECT_EQ(pacing.Done(), 3u);
  EXPECT_DOUBLE_EQ(pacing.NextDelay(0.25), 0.05);
  pacing.Restart(10);
  EXPECT_EQ(pacing.Done(), 0u);
}

}  // namespace
