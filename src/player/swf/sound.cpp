#include "player/swf/sound.h"

#include "player/swf/bit_reader.h"

namespace swf {

bool parseDefineSound(const uint8_t* data, size_t size, uint16_t* id, SoundDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  uint8_t flags = r.u8();
  uint32_t samples = r.u32();
  if (r.failed()) return false;
  static const int kRates[] = {5512, 11025, 22050, 44100};
  out->format = static_cast<SoundFormat>(flags >> 4);
  out->sampleRate = kRates[(flags >> 2) & 3];
  out->sixteenBit = flags & 0x02;
  out->stereo = flags & 0x01;
  out->sampleCount = samples;
  out->data.assign(r.current(), r.current() + r.remaining());
  return true;
}

}  // namespace swf
