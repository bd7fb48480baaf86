#include "player/dll/frame_clock.h"

#include <gtest/gtest.h>

namespace qlswf {
namespace {

TEST(FrameClock, LateTicksDoNotDrift) {
  FrameClock clock;
  clock.restart(100.0, 25);  // 40 ms frames
  EXPECT_EQ(0, clock.framesDue(100.030));
  EXPECT_NEAR(0.010, clock.secondsUntilNext(100.030), 1e-9);
  // Every tick 7 ms late: frames stay on the 40 ms grid.
  int frames = 0;
  for (int n = 1; n <= 1000; ++n) frames += clock.framesDue(100.0 + n * 0.040 + 0.007);
  EXPECT_EQ(1000, frames);
  EXPECT_NEAR(0.033, clock.secondsUntilNext(100.0 + 1000 * 0.040 + 0.007), 1e-6);
}

TEST(FrameClock, SlightlyEarlyTickCountsAndTwiceInOneFrameDoesNot) {
  FrameClock clock;
  clock.restart(0.0, 20);  // 50 ms
  EXPECT_EQ(1, clock.framesDue(0.0495));
  EXPECT_EQ(0, clock.framesDue(0.0505));
  EXPECT_EQ(1, clock.framesDue(0.1001));
}

TEST(FrameClock, StallSkipsAheadOnceAndLongStallStartsAfresh) {
  FrameClock clock;
  clock.restart(0.0, 10);
  EXPECT_EQ(4, clock.framesDue(0.405));  // frames 1..4 due: one catch-up step
  EXPECT_EQ(0, clock.framesDue(0.45));
  EXPECT_EQ(1, clock.framesDue(0.5));
  // Five seconds lost: one frame now, the schedule restarts from here.
  EXPECT_EQ(1, clock.framesDue(5.55));
  EXPECT_NEAR(0.1, clock.secondsUntilNext(5.55), 1e-9);
  EXPECT_EQ(0, clock.framesDue(5.6));
}

}  // namespace
}  // namespace qlswf
