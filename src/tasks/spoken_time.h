// The spoken time: the current hour and minute said in Chinese with fifteen
// short recorded clips that the program carries in its data, paced with
// fixed waits.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ql {

// The clips in the order they are stored.
enum SpokenClip : int {
  kClipOpening = 0,  // the opening phrase
  kClipZero = 1,
  kClipHour = 2,       // said after the hour number
  kClipOnTheHour = 3,  // said instead of the minutes when they are 0
  kClipMinute = 4,     // said after the minutes
  kClipOne = 5,        // "one" .. "ten" are kClipOne .. kClipOne + 9
  kClipTen = 14,
};
constexpr int kSpokenClipCount = 15;

// One clip to play and the wait after it before the next one starts.
struct SpokenStep {
  int clip;
  int waitMs;
};

// What is played for hour 0..23 and minute 0..59.
std::vector<SpokenStep> spokenTimeSteps(int hour, int minute);

// The clips of the stored data: each a whole RIFF WAVE file behind an
// 8-byte prefix (32-bit 1, then the file's length, little-endian). Empty
// when the data does not hold exactly fifteen such clips.
struct ClipView {
  const uint8_t* data;
  size_t size;
};
std::vector<ClipView> splitSpokenClips(const uint8_t* data, size_t size);

}  // namespace ql
