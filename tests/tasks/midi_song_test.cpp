#include <gtest/gtest.h>

#include "tasks/midi_song.h"

using namespace ql;

namespace {

using Data = std::vector<uint8_t>;

void big(Data& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(value >> (8 * i)));
}

Data midiFile(int format, int division, const std::vector<Data>& tracks) {
  Data file = {'M', 'T', 'h', 'd'};
  big(file, 6, 4);
  big(file, uint32_t(format), 2);
  big(file, uint32_t(tracks.size()), 2);
  big(file, uint32_t(division), 2);
  for (const Data& track : tracks) {
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    big(file, uint32_t(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
  }
  return file;
}

MidiSong read(const Data& file) { return readStandardMidi(file.data(), file.size()); }

// Note on 60 at 0, off at 480 ticks; the tempo halves there; a running-status
// note on at 960 ticks (0x83 0x60 is the two-byte delta 3 × 128 + 96 = 480).
const Data kMelody = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000
                      0x00, 0xC0, 0x0A,                          // program 10
                      0x00, 0x90, 0x3C, 0x64,                    // note on
                      0x83, 0x60, 0x80, 0x3C, 0x00,              // 480 later: note off
                      0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // tempo 250000
                      0x00, 0xF0, 0x02, 0x7E, 0xF7,              // system exclusive, skipped
                      0x83, 0x60, 0x90, 0x40, 0x50,              // 480 later: note on
                      0x83, 0x60, 0x40, 0x00,                    // running status, 480 later
                      0x00, 0xFF, 0x2F, 0x00};

}  // namespace

TEST(MidiSong, ReadsMessagesAtTheirTimesFollowingTempoChanges) {
  MidiSong song = read(midiFile(0, 480, {kMelody}));
  ASSERT_EQ(song.events.size(), 5u);
  EXPECT_EQ(song.events[0].message, 0x0AC0u);
  EXPECT_EQ(song.events[1].message, 0x643C90u);
  EXPECT_EQ(song.events[2].atMicroseconds, 500000u);
  EXPECT_EQ(song.events[2].message, 0x003C80u);
  EXPECT_EQ(song.events[3].atMicroseconds, 750000u);
  EXPECT_EQ(song.events[4].atMicroseconds, 1000000u);
  EXPECT_EQ(song.events[4].message, 0x004090u);
  EXPECT_EQ(song.lengthMicroseconds, 1000000u);
}

TEST(MidiSong, MergesTheTracksOfAFormatOneFile) {
  const Data conductor = {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // 1 s per quarter
                          0x00, 0xFF, 0x2F, 0x00};
  const Data notes = {0x00, 0x91, 0x30, 0x40, 0x60, 0x81, 0x30, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  MidiSong song = read(midiFile(1, 96, {conductor, notes}));
  ASSERT_EQ(song.events.size(), 2u);
  EXPECT_EQ(song.events[1].atMicroseconds, 1000000u);
  EXPECT_EQ(song.lengthMicroseconds, 1000000u);
}

TEST(MidiSong, RejectsWhatItCannotPlay) {
  Data good = midiFile(0, 480, {kMelody});
  EXPECT_TRUE(read(midiFile(2, 480, {kMelody})).empty());
  EXPECT_TRUE(read(midiFile(0, 480, {kMelody, kMelody})).empty());
  EXPECT_TRUE(read(midiFile(0, 0xE728, {kMelody})).empty());  // SMPTE time
  EXPECT_TRUE(read(Data(good.begin(), good.end() - 3)).empty());
  Data noHeader = good;
  noHeader[0] = 'X';
  EXPECT_TRUE(read(noHeader).empty());
  // A data byte with its top bit set.
  Data badData = kMelody;
  badData[13] = 0xE4;
  EXPECT_TRUE(read(midiFile(0, 480, {badData})).empty());
  // Running status with nothing to run on.
  EXPECT_TRUE(read(midiFile(0, 480, {{0x00, 0x3C, 0x40}})).empty());
  EXPECT_TRUE(read(Data()).empty());
}
