// The built-in ring: the default MIDI tune, played from memory on a playback
// thread of its own through the system's MIDI output, a number of times in a
// row without a pause.
#pragma once
#include <condition_variable>
#include <mutex>
#include <thread>

#include "tasks/midi_song.h"

namespace ql {

class DefaultRing {
 public:
  DefaultRing() = default;
  ~DefaultRing();
  DefaultRing(const DefaultRing&) = delete;
  DefaultRing& operator=(const DefaultRing&) = delete;

  // Stops a ring still playing, then plays the tune `times` times.
  void play(int times);
  // Silences the ring at once and waits for its thread to end.
  void stop();

 private:
  void run(int times);
  // Waits until `when`; false when the ring was stopped meanwhile.
  bool waitUntil(std::chrono::steady_clock::time_point when);

  MidiSong song_;
  bool songRead_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
};

// The program's one default ring.
DefaultRing& defaultRing();

}  // namespace ql
