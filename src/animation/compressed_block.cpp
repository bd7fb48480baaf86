#include "animation/compressed_block.h"

#include <zlib.h>

#include <limits>

namespace ql {

namespace {

constexpr size_t kHeaderSize = 8;

void putLe32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t getLe32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

}  // namespace

ContentId contentIdOf(const uint8_t* data, size_t size) {
  ContentId id;
  id.length = static_cast<uint32_t>(size);
  uLong adler = adler32(0L, Z_NULL, 0);
  // zlib takes at most uInt bytes a call.
  for (size_t done = 0; done < size;) {
    uInt piece = static_cast<uInt>(size - done < 0x40000000 ? size - done : 0x40000000);
    adler = adler32(adler, data + done, piece);
    done += piece;
  }
  id.adler32 = static_cast<uint32_t>(adler);
  return id;
}

bool blockContentId(const uint8_t* block, size_t size, ContentId& id) {
  // The header, at least the stream's two-byte header, and its Adler-32.
  if (size < kHeaderSize + 2 + 4 || getLe32(block) != kCompressedBlockMagic) return false;
  const uint8_t* tail = block + size - 4;  // big-endian
  id.length = getLe32(block + 4);
  id.adler32 = uint32_t(tail[0]) << 24 | uint32_t(tail[1]) << 16 | uint32_t(tail[2]) << 8 | tail[3];
  return true;
}

std::vector<uint8_t> packBlock(const uint8_t* data, size_t size) {
  if (size == 0 || size > std::numeric_limits<uint32_t>::max()) return {};
  uLongf bound = compressBound(static_cast<uLong>(size));
  std::vector<uint8_t> block(kHeaderSize + bound);
  putLe32(&block[0], kCompressedBlockMagic);
  putLe32(&block[4], static_cast<uint32_t>(size));
  if (compress2(&block[kHeaderSize], &bound, data, static_cast<uLong>(size), Z_BEST_COMPRESSION) !=
      Z_OK)
    return {};
  block.resize(kHeaderSize + bound);
  return block;
}

std::vector<uint8_t> unpackBlock(const uint8_t* block, size_t size) {
  if (size <= 7 || size < kHeaderSize || getLe32(block) != kCompressedBlockMagic) return {};
  uint32_t length = getLe32(block + 4);
  // A hostile length must not make us allocate gigabytes before zlib has
  // produced a byte: grow the buffer as the stream delivers.
  std::vector<uint8_t> out;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {};
  z.next_in = const_cast<Bytef*>(block + kHeaderSize);
  z.avail_in = static_cast<uInt>(size - kHeaderSize);
  int rc = Z_OK;
  while (rc == Z_OK) {
    size_t have = out.size();
    if (have >= length) {
      // The stream must end exactly here: ask for one more byte to find out.
      uint8_t extra;
      z.next_out = &extra;
      z.avail_out = 1;
      rc = inflate(&z, Z_FINISH);
      if (z.avail_out == 0) rc = Z_DATA_ERROR;
      break;
    }
    size_t chunk = length - have < 65536 ? length - have : 65536;
    out.resize(have + chunk);
    z.next_out = &out[have];
    z.avail_out = static_cast<uInt>(chunk);
    rc = inflate(&z, Z_NO_FLUSH);
    out.resize(have + (chunk - z.avail_out));
    if (rc == Z_BUF_ERROR && z.avail_in == 0) rc = Z_DATA_ERROR;  // truncated stream
    if (rc == Z_BUF_ERROR) rc = Z_OK;
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END || out.size() != length) return {};
  return out;
}

}  // namespace ql
