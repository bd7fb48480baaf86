#include "player/dll/frame_clock.h"

#include <cmath>

namespace qlswf {

namespace {
constexpr double kEarlyTolerance = 0.001;
}

void FrameClock::restart(double now, double framesPerSecond) {
  if (!(framesPerSecond > 0.01)) framesPerSecond = 0.01;
  period_ = 1.0 / framesPerSecond;
  origin_ = now;
  next_ = 1;
}

int FrameClock::framesDue(double now) {
  double elapsed = now - origin_ + kEarlyTolerance;
  if (elapsed < next_ * period_) return 0;
  long long reached = static_cast<long long>(std::floor(elapsed / period_));
  long long due = reached - next_ + 1;
  // At most a second's worth of frames is caught up; beyond that the movie
  // would race through half-forgotten frames, so it just carries on from now.
  long long limit = static_cast<long long>(std::ceil(1.0 / period_));
  if (due > limit) {
    origin_ = now;
    next_ = 1;
    return 1;
  }
  next_ = reached + 1;
  return static_cast<int>(due);
}

double FrameClock::secondsUntilNext(double now) const {
  double wait = origin_ + next_ * period_ - now;
  return wait > 0 ? wait : 0;
}

}  // namespace qlswf
