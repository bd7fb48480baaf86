#include "tasks/default_ring.h"

#include <windows.h>
#include <mmsystem.h>

#include "assets/assets.h"

namespace ql {

DefaultRing::~DefaultRing() { stop(); }

void DefaultRing::play(int times) {
  stop();
  if (!songRead_) {
    Bytes file = assetBytes(ASSET_DEFAULT_RING);
    song_ = readStandardMidi(file.data(), file.size());
    songRead_ = true;
  }
  if (song_.empty()) return;
  stopping_ = false;
  thread_ = std::thread(&DefaultRing::run, this, times);
}

void DefaultRing::stop() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

bool DefaultRing::waitUntil(std::chrono::steady_clock::time_point when) {
  std::unique_lock<std::mutex> lock(mutex_);
  return !wake_.wait_until(lock, when, [this] { return stopping_; });
}

void DefaultRing::run(int times) {
  HMIDIOUT output = nullptr;
  if (midiOutOpen(&output, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return;
  // Millisecond waits keep the tune's rhythm even.
  timeBeginPeriod(1);
  auto start = std::chrono::steady_clock::now();
  bool playing = true;
  for (int play = 0; play < times && playing; ++play) {
    for (const MidiEvent& event : song_.events) {
      playing = waitUntil(start + std::chrono::microseconds(event.atMicroseconds));
      if (!playing) break;
      midiOutShortMsg(output, event.message);
    }
    start += std::chrono::microseconds(song_.lengthMicroseconds);
    if (playing) playing = waitUntil(start);
  }
  midiOutReset(output);
  midiOutClose(output);
  timeEndPeriod(1);
}

DefaultRing& defaultRing() {
  static DefaultRing ring;
  return ring;
}

}  // namespace ql
