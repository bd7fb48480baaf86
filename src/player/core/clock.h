// The time scripts see: Date's wall clock with the local time zone, and
// getTimer's milliseconds since the movie started.
#pragma once
#include <memory>

namespace player {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since 1970-01-01 UTC.
  virtual double utcMillis() = 0;
  // Minutes the local time zone is ahead of UTC at that moment (daylight
  // saving included).
  virtual double localOffsetMinutes(double utcMs) = 0;
  // Milliseconds since the movie started.
  virtual double elapsedMillis() = 0;
  // A frame of this many milliseconds has run (clocks of their own move on).
  virtual void frameRan(double) {}
};

// The computer's clock and time zone (Windows' own settings on Windows).
std::unique_ptr<Clock> systemClock();
// The reference suite's clock: 2001-02-03 04:05:06 local time at UTC+5:45,
// moving on by one frame's time per frame.
std::unique_ptr<Clock> fixedClock();

}  // namespace player
