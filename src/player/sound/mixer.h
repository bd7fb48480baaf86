// Mixes a movie's sounds into one 44.1 kHz stereo stream: event sounds
// (loops, in and out points, envelopes, no-multiple, stop) and the sound
// that timelines stream frame by frame. The engine feeds it from the
// player's thread; the sound output pulls mixed samples from its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "player/sound/decode.h"
#include "player/swf/sound.h"

namespace sound {

class Mixer {
 public:
  static constexpr int kRate = 44100;

  // `codec` decodes MP3 (null: MP3 sounds stay silent); it must outlive the mixer.
  explicit Mixer(Mp3Codec* codec) : codec_(codec) {}

  // 0 (silent) to 1. While silent nothing is decoded or mixed: sounds
  // started then are not heard later either.
  void setVolume(double volume);
  double volume() const;

  // An event sound: started (its samples decoded once and kept), or, with
  // info.stop, stopped wherever it plays. A script's sound names the clip it
  // plays for as its `owner`. Returns a handle for position(), 0 when
  // nothing started.
  uint32_t startSound(uint16_t id, const std::shared_ptr<const swf::SoundDef>& def, const swf::SoundInfo& info,
                      const void* owner = nullptr);
  void stopAll();
  // Stops the event sounds of `id` (negative: of every id) started for
  // `owner` (null: for anyone).
  void stopSounds(int id, const void* owner);

  // How loud the event sounds of `owner` play, from each source channel to
  // each speaker (1: as recorded); the gains of owner null apply to every
  // sound, streams included.
  struct Gains {
    float leftToLeft = 1, leftToRight = 0, rightToLeft = 0, rightToRight = 1;
  };
  void setGains(const void* owner, const Gains& gains);
  // Milliseconds into its sound that a started sound plays now; negative
  // once it has ended.
  double position(uint32_t handle) const;

  // One frame's SoundStreamBlock of the stream `key` (a timeline); with
  // `restart` whatever it still had queued is dropped first (the timeline
  // jumped). Streams that run ahead of the output by more than a second
  // lose their oldest samples, so sound and frames stay in step.
  void streamBlock(const void* key, const swf::StreamHead& head, const uint8_t* block, size_t size, bool restart);
  void stopStream(const void* key);

  // True when nothing is playing.
  bool idle() const;

  // Adds up to `frames` stereo frames into `out` (interleaved left, right),
  // overwriting it; silence where nothing plays.
  void mix(int16_t* out, size_t frames);

 private:
  struct Voice {
    uint16_t id = 0;
    uint32_t handle = 0;
    const void* owner = nullptr;
    std::shared_ptr<const Pcm> pcm;
    double position = 0;     // in the sound's own frames
    double begin = 0, end = 0;  // in and out points, the sound's frames
    int loopsLeft = 1;
    uint64_t played = 0;     // output frames since the start, for the envelope
    std::vector<swf::EnvelopePoint> envelope;
  };
  struct Stream {
    int rate = kRate;
    int channels = 1;
    std::deque<int16_t> samples;  // interleaved when stereo
    double position = 0;          // fraction of the next source frame
    std::unique_ptr<Mp3Decoder> mp3;
    swf::SoundFormat format = swf::SoundFormat::PcmLittle;
  };

  std::shared_ptr<const Pcm> decoded(uint16_t id, const std::shared_ptr<const swf::SoundDef>& def);
  void decodeBlock(Stream& s, const swf::StreamHead& head, const uint8_t* block, size_t size);
  // Samples (as floats per channel) of a voice at the output's next frame;
  // false when it has ended.
  bool voiceFrame(Voice& v, float* left, float* right);

  Mp3Codec* codec_;
  mutable std::mutex lock_;
  double volume_ = 1;
  std::map<uint16_t, std::shared_ptr<const Pcm>> cache_;
  std::vector<Voice> voices_;
  uint32_t lastHandle_ = 0;
  std::map<const void*, Gains> gains_;
  std::map<const void*, Stream> streams_;
  std::vector<float> mixBuffer_;
};

}  // namespace sound
