#include "player/dll/wave_output.h"

namespace qlswf {

bool WaveOutput::update(double now) {
  bool idle = mixer_.idle() || mixer_.volume() == 0;
  if (!running()) {
    idleSince_ = -1;
    return idle || start();
  }
  if (!idle) {
    idleSince_ = -1;
  } else if (idleSince_ < 0) {
    idleSince_ = now;
  } else if (now - idleSince_ >= kIdleSeconds) {
    stop();
  }
  return true;
}

bool WaveOutput::start() {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = sound::Mixer::kRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!done_) return false;
  if (waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    device_ = nullptr;
    CloseHandle(done_);
    done_ = nullptr;
    return false;
  }
  for (int i = 0; i < kBuffers; ++i) {
    WAVEHDR& h = headers_[i];
    h = WAVEHDR();
    h.lpData = reinterpret_cast<LPSTR>(samples_[i]);
    h.dwBufferLength = sizeof samples_[i];
    waveOutPrepareHeader(device_, &h, sizeof h);
    // Marked done: the thread fills and queues it first thing.
    h.dwFlags |= WHDR_DONE;
  }
  stopping_ = false;
  thread_ = std::thread([this] { run(); });
  SetEvent(done_);
  return true;
}

void WaveOutput::run() {
  while (!stopping_) {
    WaitForSingleObject(done_, 200);
    for (WAVEHDR& h : headers_) {
      if (stopping_) break;
      if (!(h.dwFlags & WHDR_DONE)) continue;
      mixer_.mix(reinterpret_cast<int16_t*>(h.lpData), kFramesPerBuffer);
      h.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
      waveOutWrite(device_, &h, sizeof h);
    }
  }
}

void WaveOutput::stop() {
  if (!running()) return;
  stopping_ = true;
  SetEvent(done_);
  thread_.join();
  waveOutReset(device_);
  for (WAVEHDR& h : headers_) waveOutUnprepareHeader(device_, &h, sizeof h);
  waveOutClose(device_);
  device_ = nullptr;
  CloseHandle(done_);
  done_ = nullptr;
}

}  // namespace qlswf
