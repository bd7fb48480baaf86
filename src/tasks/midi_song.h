// A standard MIDI file read into the short messages a MIDI output plays and
// the time of each, so the built-in ring can be played from memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ql {

struct MidiEvent {
  uint64_t atMicroseconds;
  // Status, first and second data byte in the layout midiOutShortMsg takes.
  uint32_t message;
};

struct MidiSong {
  std::vector<MidiEvent> events;    // in time order
  uint64_t lengthMicroseconds = 0;  // to the last track's end
  bool empty() const { return events.empty(); }
};

// Formats 0 and 1 with ticks per quarter note; tempo changes are followed,
// system-exclusive and meta events other than the tempo are skipped. An
// empty song when the data is not such a file.
MidiSong readStandardMidi(const uint8_t* data, size_t size);

}  // namespace ql
