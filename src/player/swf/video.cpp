#include "player/swf/video.h"

#include "player/swf/bit_reader.h"

namespace swf {

bool parseVideoStream(const uint8_t* data, size_t size, uint16_t* id, VideoStreamDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  out->frameCount = r.u16();
  out->width = r.u16();
  out->height = r.u16();
  uint8_t flags = r.u8();
  out->deblocking = (flags >> 1) & 7;
  out->smoothing = flags & 1;
  out->codec = r.u8();
  return !r.failed();
}

}  // namespace swf
