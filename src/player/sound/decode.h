// Sound data to 16-bit samples: uncompressed PCM (8 and 16 bits, either
// byte order), Flash's ADPCM, and MP3 through the platform's decoder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "player/swf/sound.h"

namespace sound {

// Samples interleaved when stereo.
struct Pcm {
  int rate = 44100;
  int channels = 1;
  std::vector<int16_t> samples;
  size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

// An MP3 decoder, one per stream: frames fed in order come out as samples,
// the decoder keeping what one frame lends the next.
class Mp3Decoder {
 public:
  virtual ~Mp3Decoder() = default;
  // Appends the samples of whole MP3 frames (interleaved when stereo).
  virtual void decode(const uint8_t* data, size_t size, std::vector<int16_t>* out) = 0;
};

// The platform's MP3 codec: the audio compression manager's on Windows,
// libmpg123 in the native tools.
class Mp3Codec {
 public:
  virtual ~Mp3Codec() = default;
  // Null when the codec cannot take this rate and channel count.
  virtual std::unique_ptr<Mp3Decoder> open(int rate, int channels) = 0;
};

// Uncompressed samples. Data said to be in the author's own byte order is
// read in the order that gives the smoother signal: movies made on
// big-endian machines store it the other way round.
void decodePcm(const uint8_t* data, size_t size, bool sixteenBit, bool stereo, bool knownLittleEndian,
               std::vector<int16_t>* out);

// Flash's ADPCM (2 to 5 bits a sample, in packets of 4096 samples).
void decodeAdpcm(const uint8_t* data, size_t size, bool stereo, std::vector<int16_t>* out);

// ADPCM's step sizes; how far a code of `bits` bits (sign bit left out)
// moves the step index; and the difference a code makes at a step.
extern const int kAdpcmSteps[89];
int adpcmIndexChange(uint32_t code, int bits);
int adpcmDifference(int step, uint32_t code, int bits);

// A whole DefineSound. MP3 needs `codec`; without it (or for formats not
// supported: Nellymoser, Speex) the result is empty.
Pcm decodeSound(const swf::SoundDef& def, Mp3Codec* codec);

// The rate MP3 frames declare in their first header, or 0.
int mp3Rate(const uint8_t* data, size_t size);

}  // namespace sound
