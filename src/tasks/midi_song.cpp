#include "tasks/midi_song.h"

#include <algorithm>
#include <cstring>

namespace ql {

namespace {

constexpr uint32_t kDefaultTempo = 500000;   // microseconds per quarter note
constexpr uint32_t kTempoMark = 0xFFFFFFFF;  // a tempo change, not a message

struct TickEvent {
  uint64_t tick;
  uint32_t message;  // kTempoMark: `tempo` holds the new tempo
  uint32_t tempo;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}
  bool atEnd() const { return at_ >= end_; }
  size_t left() const { return static_cast<size_t>(end_ - at_); }
  bool byte(uint8_t& value) {
    if (at_ >= end_) return false;
    value = *at_++;
    return true;
  }
  bool peek(uint8_t& value) const {
    if (at_ >= end_) return false;
    value = *at_;
    return true;
  }
  bool big(int bytes, uint32_t& value) {
    if (left() < size_t(bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | *at_++;
    return true;
  }
  // A variable-length quantity: at most four bytes of seven bits.
  bool quantity(uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
      uint8_t b;
      if (!byte(b)) return false;
      value = value << 7 | (b & 0x7F);
      if (!(b & 0x80)) return true;
    }
    return false;
  }
  bool skip(size_t bytes) {
    if (left() < bytes) return false;
    at_ += bytes;
    return true;
  }
  bool tag(const char* name) {
    if (left() < 4 || std::memcmp(at_, name, 4) != 0) return false;
    at_ += 4;
    return true;
  }
  const uint8_t* here() const { return at_; }

 private:
  const uint8_t* at_;
  const uint8_t* end_;
};

int dataBytesOf(uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0: return 1;
    default: return 2;
  }
}

// One track's events; false when it is malformed.
bool readTrack(Reader track, std::vector<TickEvent>& out, uint64_t& endTick) {
  uint64_t tick = 0;
  uint8_t running = 0;
  while (!track.atEnd()) {
    uint32_t delta;
    uint8_t first;
    if (!track.quantity(delta) || !track.peek(first)) return false;
    tick += delta;
    if (first == 0xFF) {
      uint8_t type;
      uint32_t length;
      track.skip(1);
      if (!track.byte(type) || !track.quantity(length) || track.left() < length) return false;
      if (type == 0x51 && length == 3) {
        Reader tempo(track.here(), 3);
        uint32_t value;
        tempo.big(3, value);
        if (value > 0) out.push_back({tick, kTempoMark, value});
      }
      track.skip(length);
      if (type == 0x2F) break;
      continue;
    }
    if (first == 0xF0 || first == 0xF7) {
      uint32_t length;
      track.skip(1);
      if (!track.quantity(length) || !track.skip(length)) return false;
      continue;
    }
    uint8_t status = running;
    if (first & 0x80) {
      if (first >= 0xF0) return false;  // no system messages inside a track
      status = first;
      track.skip(1);
    }
    if (!(status & 0x80)) return false;
    running = status;
    uint32_t message = status;
    for (int i = 0; i < dataBytesOf(status); ++i) {
      uint8_t value;
      if (!track.byte(value) || (value & 0x80)) return false;
      message |= uint32_t(value) << (8 * (i + 1));
    }
    out.push_back({tick, message, 0});
  }
  endTick = std::max(endTick, tick);
  return true;
}

}  // namespace

MidiSong readStandardMidi(const uint8_t* data, size_t size) {
  Reader file(data, size);
  uint32_t headerLength, format, tracks, division;
  if (!file.tag("MThd") || !file.big(4, headerLength) || headerLength < 6 || !file.big(2, format) ||
      !file.big(2, tracks) || !file.big(2, division) || !file.skip(headerLength - 6))
    return {};
  if (format > 1 || tracks == 0 || (format == 0 && tracks != 1) || division == 0 ||
      (division & 0x8000))
    return {};

  std::vector<TickEvent> events;
  uint64_t endTick = 0;
  for (uint32_t i = 0; i < tracks; ++i) {
    uint32_t length;
    if (!file.tag("MTrk") || !file.big(4, length) || file.left() < length) return {};
    if (!readTrack(Reader(file.here(), length), events, endTick)) return {};
    file.skip(length);
  }
  // Tracks merged by time; within one tick, tracks keep their order.
  std::stable_sort(events.begin(), events.end(),
                   [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });

  MidiSong song;
  uint64_t tempo = kDefaultTempo, lastTick = 0, microseconds = 0;
  auto advanceTo = [&](uint64_t tick) {
    microseconds += (tick - lastTick) * tempo / division;
    lastTick = tick;
  };
  for (const TickEvent& event : events) {
    advanceTo(event.tick);
    if (event.message == kTempoMark)
      tempo = event.tempo;
    else
      song.events.push_back({microseconds, event.message});
  }
  advanceTo(endTick);
  song.lengthMicroseconds = microseconds;
  return song;
}

}  // namespace ql
