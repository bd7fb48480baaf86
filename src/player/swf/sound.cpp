#include "player/swf/sound.h"

#include "player/swf/bit_reader.h"

namespace swf {

namespace {

// The rate bits of sound tags: 5.5, 11, 22 or 44 kHz.
int rateOf(uint32_t bits) {
  static const int kRates[4] = {5512, 11025, 22050, 44100};
  return kRates[bits & 3];
}

// The format byte of DefineSound and the stream heads.
template <typename Sound>
void readFormat(uint8_t flags, Sound* out) {
  out->format = static_cast<SoundFormat>(flags >> 4);
  out->rate = rateOf(flags >> 2);
  out->sixteenBit = flags & 0x02;
  out->stereo = flags & 0x01;
}

}  // namespace

bool parseSound(const uint8_t* data, size_t size, uint16_t* id, SoundDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  readFormat(r.u8(), out);
  out->sampleCount = r.u32();
  if (r.failed()) return false;
  out->data.assign(r.current(), r.current() + r.remaining());
  return true;
}

bool readSoundInfo(const uint8_t* data, size_t size, size_t* used, SoundInfo* out) {
  BitReader r(data, size);
  uint8_t flags = r.u8();
  out->stop = flags & 0x20;
  out->noMultiple = flags & 0x10;
  out->hasIn = flags & 0x01;
  out->hasOut = flags & 0x02;
  if (out->hasIn) out->inPoint = r.u32();
  if (out->hasOut) out->outPoint = r.u32();
  if (flags & 0x04) out->loops = r.u16();
  if (flags & 0x08) {
    int points = r.u8();
    for (int i = 0; i < points && !r.failed(); ++i) {
      EnvelopePoint p;
      p.position = r.u32();
      p.left = r.u16();
      p.right = r.u16();
      out->envelope.push_back(p);
    }
  }
  if (used) *used = r.position();
  return !r.failed();
}

bool parseStartSound(const uint8_t* data, size_t size, uint16_t* id, SoundInfo* out) {
  if (size < 3) return false;
  *id = static_cast<uint16_t>(data[0] | (data[1] << 8));
  return readSoundInfo(data + 2, size - 2, nullptr, out);
}

bool parseStartSound2(const uint8_t* data, size_t size, std::string* className, SoundInfo* out) {
  BitReader r(data, size);
  *className = r.cstring();
  if (r.failed()) return false;
  return readSoundInfo(r.current(), r.remaining(), nullptr, out);
}

bool parseStreamHead(const uint8_t* data, size_t size, StreamHead* out) {
  BitReader r(data, size);
  r.u8();  // the playback format the author suggested
  readFormat(r.u8(), out);
  out->samplesPerBlock = r.u16();
  if (r.failed()) return false;
  if (out->format == SoundFormat::Mp3 && r.remaining() >= 2) out->latencySeek = r.s16();
  return true;
}

}  // namespace swf
