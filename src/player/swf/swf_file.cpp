#include "player/swf/swf_file.h"

#include <algorithm>

#include "player/swf/bit_reader.h"
#include "player/swf/zlib_stream.h"

namespace swf {

namespace {

// zlib cannot expand data by more than about 1032 to 1, so a claimed size
// above that is a lie and must not drive the allocation.
constexpr size_t kMaxInflateRatio = 1032;
constexpr size_t kMaxMovieBytes = size_t(256) << 20;

bool inflateBody(const uint8_t* data, size_t size, size_t expected, std::vector<uint8_t>* out) {
  size_t bound = std::min({expected, size * kMaxInflateRatio + 64, kMaxMovieBytes});
  out->resize(bound);
  bool ended = false;
  size_t produced = inflatePrefix(data, size, out->data(), bound, &ended);
  // A truncated or damaged stream still gives the tags before the damage.
  if (produced == 0 && !ended) return false;
  out->resize(produced);
  return true;
}

}  // namespace

bool openSwf(const uint8_t* data, size_t size, SwfFile* out) {
  if (!data || size < 8) return false;
  uint8_t kind = data[0];
  if (data[1] != 'W' || data[2] != 'S') return false;
  out->header.version = data[3];
  uint32_t declared = static_cast<uint32_t>(data[4]) | (static_cast<uint32_t>(data[5]) << 8) |
                      (static_cast<uint32_t>(data[6]) << 16) | (static_cast<uint32_t>(data[7]) << 24);
  size_t expected = declared > 8 ? declared - 8 : 0;
  if (kind == 'F') {
    size_t n = std::min(size - 8, kMaxMovieBytes);
    if (expected > 0) n = std::min(n, expected);
    out->body.assign(data + 8, data + 8 + n);
  } else if (kind == 'C') {
    if (!inflateBody(data + 8, size - 8, expected, &out->body)) return false;
  } else {
    return false;  // 'Z' (LZMA) and anything else
  }

  BitReader r(out->body.data(), out->body.size());
  out->header.frameSize = r.rect();
  uint16_t rate = r.u16();
  out->header.frameCount = r.u16();
  if (r.failed()) return false;
  out->header.frameRate = rate ? rate / 256.0 : 12.0;
  out->tagsOffset = r.position();
  return true;
}

bool TagReader::next(Tag* tag) {
  if (pos_ + 2 > size_) return false;
  uint16_t codeAndLength = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  size_t length = codeAndLength & 0x3F;
  if (length == 0x3F) {
    if (pos_ + 4 > size_) return false;
    length = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
             (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
             (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
  }
  tag->code = static_cast<uint16_t>(codeAndLength >> 6);
  tag->data = data_ + pos_;
  if (length > size_ - pos_) {
    tag->size = size_ - pos_;
    pos_ = size_;
  } else {
    tag->size = length;
    pos_ += length;
  }
  return true;
}

}  // namespace swf
