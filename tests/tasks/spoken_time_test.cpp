#include <gtest/gtest.h>

#include <cstring>

#include "tasks/spoken_time.h"

using namespace ql;

namespace {

// The clips as words, the waits in brackets where they are not the clip's own.
std::string said(int hour, int minute) {
  static const char* const kWords[kSpokenClipCount] = {
      "opening", "zero", "hour", "o'clock", "minutes", "one",  "two", "three",
      "four",    "five", "six",  "seven",   "eight",   "nine", "ten"};
  std::string text;
  for (const SpokenStep& step : spokenTimeSteps(hour, minute)) {
    if (!text.empty()) text += " ";
    text += kWords[step.clip];
    if (step.clip == kClipHour) text += "(" + std::to_string(step.waitMs) + ")";
  }
  return text;
}

int waitAfter(int clip) {
  for (const SpokenStep& step : spokenTimeSteps(21, 59))
    if (step.clip == clip) return step.waitMs;
  for (const SpokenStep& step : spokenTimeSteps(0, 7))
    if (step.clip == clip) return step.waitMs;
  return -1;
}

void addClip(std::vector<uint8_t>& data, uint32_t kind, const std::string& body) {
  std::string file = "RIFF" + std::string(4, '\0') + "WAVE" + body;
  uint32_t length = static_cast<uint32_t>(file.size());
  for (uint32_t v : {kind, length})
    for (int i = 0; i < 4; ++i) data.push_back(uint8_t(v >> (8 * i)));
  data.insert(data.end(), file.begin(), file.end());
}

}  // namespace

TEST(SpokenTime, HoursAndMinutes) {
  EXPECT_EQ(said(0, 30), "opening zero hour(580) three ten minutes");
  EXPECT_EQ(said(8, 0), "opening eight hour(310) o'clock");
  EXPECT_EQ(said(21, 5), "opening two ten one hour(580) zero five minutes");
  EXPECT_EQ(said(10, 10), "opening ten hour(580) ten minutes");
  EXPECT_EQ(said(10, 0), "opening ten hour(310) o'clock");
  EXPECT_EQ(said(20, 11), "opening two ten hour(580) ten one minutes");
  EXPECT_EQ(said(19, 20), "opening ten nine hour(580) two ten minutes");
  EXPECT_EQ(said(11, 47), "opening ten one hour(580) four ten seven minutes");
  EXPECT_EQ(said(23, 59), "opening two ten three hour(580) five ten nine minutes");
  EXPECT_EQ(said(1, 1), "opening one hour(580) zero one minutes");
  EXPECT_EQ(said(12, 50), "opening ten two hour(580) five ten minutes");
}

// Reads Chinese numerals back from the clips: "two ten one" is 21.
int numberSaid(const std::vector<int>& clips) {
  int value = 0, units = 0;
  for (int clip : clips) {
    if (clip == kClipTen) {
      value += (units == 0 ? 1 : units) * 10;
      units = 0;
    } else if (clip != kClipZero) {
      units = clip - kClipOne + 1;
    }
  }
  return value + units;
}

TEST(SpokenTime, EveryHourAndMinuteReadsBackAsItself) {
  for (int hour = 0; hour < 24; ++hour)
    for (int minute = 0; minute < 60; ++minute) {
      std::vector<SpokenStep> steps = spokenTimeSteps(hour, minute);
      ASSERT_EQ(steps.front().clip, kClipOpening);
      EXPECT_EQ(steps.back().clip, minute == 0 ? kClipOnTheHour : kClipMinute);
      EXPECT_EQ(steps.back().waitMs, 0);
      std::vector<int> hourClips, minuteClips;
      std::vector<int>* part = &hourClips;
      for (size_t i = 1; i + 1 < steps.size(); ++i) {
        if (steps[i].clip == kClipHour)
          part = &minuteClips;
        else
          part->push_back(steps[i].clip);
      }
      EXPECT_EQ(numberSaid(hourClips), hour) << hour << ":" << minute;
      EXPECT_EQ(numberSaid(minuteClips), minute) << hour << ":" << minute;
      // Single-digit minutes are said with a leading "zero", nothing else is.
      EXPECT_EQ(!minuteClips.empty() && minuteClips[0] == kClipZero, minute >= 1 && minute <= 9);
    }
}

TEST(SpokenTime, WaitsFollowTheClips) {
  EXPECT_EQ(spokenTimeSteps(8, 0).front().waitMs, 1380);
  EXPECT_EQ(waitAfter(kClipZero), 350);
  const int numberWaits[] = {349, 349, 454, 399, 353, 349, 331, 334, 349, 350};
  for (int n = 1; n <= 10; ++n) {
    int found = -1;
    for (int h = 0; h < 24 && found < 0; ++h)
      for (int m = 0; m < 60 && found < 0; ++m)
        for (const SpokenStep& step : spokenTimeSteps(h, m))
          if (step.clip == kClipOne + n - 1) found = step.waitMs;
    EXPECT_EQ(found, numberWaits[n - 1]) << n;
  }
}

TEST(SpokenClips, FifteenPrefixedWaveFilesOrNothing) {
  std::vector<uint8_t> data;
  for (int i = 0; i < kSpokenClipCount; ++i) addClip(data, 1, "fmt data " + std::to_string(i));
  std::vector<ClipView> clips = splitSpokenClips(data.data(), data.size());
  ASSERT_EQ(clips.size(), 15u);
  EXPECT_EQ(clips[0].data, data.data() + 8);
  EXPECT_EQ(std::memcmp(clips[14].data + 12, "fmt data 14", 11), 0);

  std::vector<uint8_t> fourteen(data.begin(), data.begin() + (data.size() - clips[14].size - 8));
  EXPECT_TRUE(splitSpokenClips(fourteen.data(), fourteen.size()).empty());
  std::vector<uint8_t> cut(data.begin(), data.end() - 1);
  EXPECT_TRUE(splitSpokenClips(cut.data(), cut.size()).empty());
  std::vector<uint8_t> badKind;
  for (int i = 0; i < kSpokenClipCount; ++i) addClip(badKind, i == 3 ? 2 : 1, "x");
  EXPECT_TRUE(splitSpokenClips(badKind.data(), badKind.size()).empty());
  std::vector<uint8_t> notWave = data;
  notWave[8] = 'X';
  EXPECT_TRUE(splitSpokenClips(notWave.data(), notWave.size()).empty());
}
