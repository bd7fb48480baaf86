// Plays a mixer through the system's wave output, on a thread of its own
// that runs only while there is something to hear: a silent or idle player
// costs nothing. A computer without a sound device plays nothing.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <thread>

#include "player/sound/mixer.h"

namespace qlswf {

class WaveOutput {
 public:
  explicit WaveOutput(sound::Mixer& mixer) : mixer_(mixer) {}
  ~WaveOutput() { stop(); }
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  // From the player's thread, after each frame: starts the output when the
  // mixer has something to play, stops it once the mixer has been idle for
  // a while. False when there is no device to play on (nothing was started).
  bool update(double now);
  bool running() const { return thread_.joinable(); }

 private:
  static constexpr int kBuffers = 4;
  static constexpr int kFramesPerBuffer = 2048;  // 46 ms at 44.1 kHz
  static constexpr double kIdleSeconds = 2;

  bool start();
  void stop();
  void run();

  sound::Mixer& mixer_;
  HWAVEOUT device_ = nullptr;
  HANDLE done_ = nullptr;  // signalled as buffers come back
  WAVEHDR headers_[kBuffers] = {};
  int16_t samples_[kBuffers][kFramesPerBuffer * 2] = {};
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  double idleSince_ = -1;
};

}  // namespace qlswf
