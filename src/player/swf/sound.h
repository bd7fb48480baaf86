// Sound tags: DefineSound, the SOUNDINFO of StartSound, StartSound2 and
// button sounds, and the stream tags (SoundStreamHead 1 and 2,
// SoundStreamBlock).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

enum class SoundFormat : uint8_t {
  PcmNative = 0,  // uncompressed, the author's machine's byte order (little endian in practice)
  Adpcm = 1,
  Mp3 = 2,
  PcmLittle = 3,
  Nellymoser16k = 4,
  Nellymoser8k = 5,
  Nellymoser = 6,
  Speex = 11,
};

struct SoundDef {
  SoundFormat format = SoundFormat::PcmLittle;
  int rate = 44100;  // 5512, 11025, 22050 or 44100
  bool sixteenBit = true;
  bool stereo = false;
  uint32_t sampleCount = 0;  // per channel
  std::vector<uint8_t> data;  // MP3: starts with the seek samples
};

bool parseSound(const uint8_t* data, size_t size, uint16_t* id, SoundDef* out);

struct EnvelopePoint {
  uint32_t position = 0;  // in 44.1 kHz samples from the start
  uint16_t left = 32768, right = 32768;  // 0..32768
};

struct SoundInfo {
  bool stop = false;        // stop the sound instead of starting it
  bool noMultiple = false;  // do not start it again while it plays
  bool hasIn = false, hasOut = false;
  uint32_t inPoint = 0, outPoint = 0;  // in 44.1 kHz samples
  int loops = 1;
  std::vector<EnvelopePoint> envelope;
};

bool readSoundInfo(const uint8_t* data, size_t size, size_t* used, SoundInfo* out);

// StartSound: the sound's id and how to play it.
bool parseStartSound(const uint8_t* data, size_t size, uint16_t* id, SoundInfo* out);
// StartSound2 names the sound by class; the class name is read past.
bool parseStartSound2(const uint8_t* data, size_t size, std::string* className, SoundInfo* out);

struct StreamHead {
  SoundFormat format = SoundFormat::PcmLittle;
  int rate = 44100;
  bool sixteenBit = true;
  bool stereo = false;
  uint32_t samplesPerBlock = 0;  // per frame, per channel
  int latencySeek = 0;           // MP3: samples to skip at the start
};

bool parseStreamHead(const uint8_t* data, size_t size, StreamHead* out);

}  // namespace swf
