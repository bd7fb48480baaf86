// DefineSound: the format of an event sound and its encoded samples.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

enum class SoundFormat : uint8_t {
  RawNative = 0,
  Adpcm = 1,
  Mp3 = 2,
  RawLittle = 3,
  Nellymoser16k = 4,
  Nellymoser8k = 5,
  Nellymoser = 6,
  Speex = 11,
};

struct SoundDef {
  SoundFormat format = SoundFormat::RawNative;
  int sampleRate = 5512;  // 5512, 11025, 22050 or 44100 per second
  bool sixteenBit = false;
  bool stereo = false;
  uint32_t sampleCount = 0;  // per channel
  std::vector<uint8_t> data;  // the encoded samples (MP3: seek samples first)

  // Length in milliseconds, as Sound.duration reports it.
  double durationMs() const { return sampleRate ? sampleCount * 1000.0 / sampleRate : 0; }
};

// The body of a DefineSound tag; reads the character id into *id. False
// when the tag is too short to hold the header.
bool parseDefineSound(const uint8_t* data, size_t size, uint16_t* id, SoundDef* out);

}  // namespace swf
