#include "player/swf/zlib_stream.h"

#include <zlib.h>

#include <algorithm>

namespace swf {

size_t inflatePrefix(const uint8_t* data, size_t size, uint8_t* out, size_t capacity, bool* ended) {
  *ended = false;
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return 0;
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = static_cast<uInt>(std::min<size_t>(size, 0xFFFFFFFFu));
  zs.next_out = out;
  zs.avail_out = static_cast<uInt>(std::min<size_t>(capacity, 0xFFFFFFFFu));
  int rc = inflate(&zs, Z_FINISH);
  size_t produced = static_cast<size_t>(zs.next_out - out);
  inflateEnd(&zs);
  *ended = rc == Z_STREAM_END;
  return produced;
}

}  // namespace swf
