// The clocks scripts read: the computer's, in its own time zone with the
// summer time of the day asked about, and the reference suite's fixed one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "player/core/clock.h"

namespace {

// Sets the process's time zone for one test (POSIX rules, so no zone
// database is needed) and puts the old one back.
class TimeZone {
 public:
  explicit TimeZone(const char* rules) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", rules, 1);
    tzset();
  }
  ~TimeZone() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

constexpr double kWinter2001 = 981152406000.0;  // 2001-02-02 22:20:06 UTC
constexpr double kSummer2001 = 994112406000.0;  // 2001-07-02 22:20:06 UTC

}  // namespace

TEST(Clock, TheComputersClockUsesItsTimeZoneAndSummerTime) {
  auto clock = player::systemClock();
  {
    TimeZone china("CST-8");
    EXPECT_EQ(480, clock->localOffsetMinutes(kWinter2001));
    EXPECT_EQ(480, clock->localOffsetMinutes(kSummer2001));
  }
  {
    TimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(60, clock->localOffsetMinutes(kWinter2001));
    EXPECT_EQ(120, clock->localOffsetMinutes(kSummer2001));  // the date's own rule, not today's
  }
  // Dates far out of range give an answer, not a crash.
  EXPECT_TRUE(std::isfinite(clock->localOffsetMinutes(1e300)));
  EXPECT_EQ(0, clock->localOffsetMinutes(NAN));
  // Now is now, and elapsed time only grows.
  double now = static_cast<double>(std::time(nullptr)) * 1000;
  EXPECT_NEAR(now, clock->utcMillis(), 5000);
  double before = clock->elapsedMillis();
  EXPECT_GE(clock->elapsedMillis(), before);
}

TEST(Clock, TheFixedClockStartsAtTheSuitesMomentAndMovesByFrames) {
  auto clock = player::fixedClock();
  EXPECT_EQ(kWinter2001, clock->utcMillis());
  EXPECT_EQ(345, clock->localOffsetMinutes(kWinter2001));
  clock->frameRan(40);
  clock->frameRan(40);
  EXPECT_EQ(80, clock->elapsedMillis());
  EXPECT_EQ(kWinter2001 + 80, clock->utcMillis());
}
