#include "tasks/spoken_time.h"

#include <cstring>

namespace ql {

namespace {

// The wait after "zero" and after "one" .. "ten", in that order.
const int kNumberWaitMs[11] = {350, 349, 349, 454, 399, 353, 349, 331, 334, 349, 350};
constexpr int kOpeningWaitMs = 1380;
constexpr int kBeforeOnTheHourMs = 310;
constexpr int kBeforeMinutesMs = 580;

class Speech {
 public:
  void play(int clip, int waitMs = 0) { steps_.push_back({clip, waitMs}); }
  // The wait after the last clip played.
  void waitAfterLast(int waitMs) { steps_.back().waitMs = waitMs; }

  void zero() { play(kClipZero, kNumberWaitMs[0]); }
  // 1..10 with its own wait; anything else says nothing.
  void number(int n) {
    if (n >= 1 && n <= 10) play(kClipOne + n - 1, kNumberWaitMs[n]);
  }
  // "ten", then the remainder of n over base.
  void tens(int n, int base) {
    number(10);
    number(n % base);
  }
  // 11..59 as tens and units: "ten" for 11..19, "two", "ten", ... above.
  void twoDigits(int n) {
    if (n >= 20) number(n / 10);
    tens(n, n / 10 * 10);
  }

  std::vector<SpokenStep> take() { return std::move(steps_); }

 private:
  std::vector<SpokenStep> steps_;
};

uint32_t readLittle32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::vector<SpokenStep> spokenTimeSteps(int hour, int minute) {
  Speech speech;
  speech.play(kClipOpening, kOpeningWaitMs);
  if (hour == 0)
    speech.zero();
  else if (hour <= 10)
    speech.number(hour);
  else
    speech.twoDigits(hour);
  speech.play(kClipHour);
  if (minute == 0) {
    speech.waitAfterLast(kBeforeOnTheHourMs);
    speech.play(kClipOnTheHour);
    return speech.take();
  }
  speech.waitAfterLast(kBeforeMinutesMs);
  if (minute <= 9) {
    speech.zero();
    speech.number(minute);
  } else if (minute == 10) {
    speech.number(10);
  } else {
    speech.twoDigits(minute);
  }
  speech.play(kClipMinute);
  return speech.take();
}

std::vector<ClipView> splitSpokenClips(const uint8_t* data, size_t size) {
  std::vector<ClipView> clips;
  size_t at = 0;
  while (at + 8 <= size) {
    uint32_t kind = readLittle32(data + at), length = readLittle32(data + at + 4);
    at += 8;
    if (kind != 1 || length < 12 || length > size - at) return {};
    const uint8_t* file = data + at;
    if (std::memcmp(file, "RIFF", 4) != 0 || std::memcmp(file + 8, "WAVE", 4) != 0) return {};
    clips.push_back({file, length});
    at += length;
  }
  if (at != size || clips.size() != kSpokenClipCount) return {};
  return clips;
}

}  // namespace ql
