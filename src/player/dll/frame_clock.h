// When the next frame of a movie is due. Frames are scheduled on an absolute
// clock (frame n is due at origin + n × period) so that timer jitter and
// rendering time never add up to drift. After a stall the movie skips ahead
// to where the clock says it should be and is drawn once; a stall of more than
// a second starts the schedule afresh instead of running through the backlog.
// Portable: times are seconds on any monotonic clock.
#pragma once

namespace qlswf {

class FrameClock {
 public:
  // The frame just shown counts as shown at `now`; the next is due one period later.
  void restart(double now, double framesPerSecond);

  // How many frames to advance at `now` (0 when none is due yet). A frame due
  // within a millisecond counts as due: timers wake on whole milliseconds.
  int framesDue(double now);

  // Seconds from `now` until the next frame is due, never negative.
  double secondsUntilNext(double now) const;

 private:
  double origin_ = 0;
  double period_ = 1.0 / 12;
  long long next_ = 1;  // index of the next frame to show, counted from origin_
};

}  // namespace qlswf
