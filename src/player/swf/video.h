// DefineVideoStream: what a video character says of its frames. The frames
// themselves (VideoFrame tags) are not decoded.
#pragma once
#include <cstddef>
#include <cstdint>

namespace swf {

struct VideoStreamDef {
  uint16_t frameCount = 0;
  uint16_t width = 0, height = 0;  // pixels
  uint8_t deblocking = 0;
  bool smoothing = false;
  uint8_t codec = 0;
};

// False when the tag is too short to hold its header.
bool parseVideoStream(const uint8_t* data, size_t size, uint16_t* id, VideoStreamDef* out);

}  // namespace swf
