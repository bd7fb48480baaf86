#include "player/swf/bitmap.h"

#include <algorithm>
#include <cstring>

#include "player/swf/bit_reader.h"
#include "player/swf/zlib_stream.h"

// stb_image is a third-party single header; its own code is not ours to warn about.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#if defined(__clang__)
#pragma GCC diagnostic ignored "-Wunknown-warning-option"
#endif
#elif defined(_MSC_VER)
#pragma warning(push, 0)
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif

namespace swf {

namespace {

uint32_t premultiply(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  auto mul = [](uint32_t c, uint32_t al) { return (c * al + 127) / 255; };
  return (uint32_t(a) << 24) | (mul(r, a) << 16) | (mul(g, a) << 8) | mul(b, a);
}

bool sizeAcceptable(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w * h <= kMaxBitmapPixels;
}

// No image format we read packs more than a few thousand pixels into a byte;
// a header claiming more is lying, and must not make us allocate for it.
constexpr int64_t kMaxPixelsPerByte = 8192;

bool sizeFitsData(int64_t w, int64_t h, size_t dataSize) {
  return w * h <= std::max<int64_t>(65536, static_cast<int64_t>(dataSize) * kMaxPixelsPerByte);
}

// Decodes JPEG/PNG/GIF bytes with stb_image into opaque-or-alpha pixels.
bool decodeImage(const uint8_t* data, size_t size, Bitmap* out) {
  if (size == 0 || size > 0x7FFFFFFF) return false;
  std::vector<uint8_t> cleaned;
  // Whatever starts with 0xFF may be taken for JPEG by the decoder, so all of
  // it passes through the cleaning and checking first.
  if (data[0] == 0xFF) {
    if (!cleanJpeg(data, size, &cleaned)) return false;
    data = cleaned.data();
    size = cleaned.size();
  }
  int w = 0, h = 0, comp = 0;
  if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &comp)) return false;
  if (!sizeAcceptable(w, h) || !sizeFitsData(w, h, size)) return false;
  uint8_t* px = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &comp, 4);
  if (!px) return false;
  out->width = w;
  out->height = h;
  out->pixels.resize(size_t(w) * h);
  for (size_t i = 0; i < out->pixels.size(); ++i) {
    const uint8_t* p = px + i * 4;
    out->pixels[i] = premultiply(p[0], p[1], p[2], p[3]);
  }
  stbi_image_free(px);
  return true;
}

// Inflates exactly `expected` bytes (less when the stream ends early: the
// rest stays zero).
bool inflateExact(const uint8_t* data, size_t size, size_t expected, std::vector<uint8_t>* out) {
  out->assign(expected, 0);
  bool ended = false;
  size_t produced = inflatePrefix(data, size, out->data(), expected, &ended);
  return produced > 0 || ended;
}

}  // namespace

namespace {

// A DHT segment's tables: class 0/1, slot 0..3, at most 256 codes each.
bool huffmanTablesSound(const uint8_t* p, size_t size) {
  size_t i = 0;
  while (i < size) {
    if (size - i < 17) return false;
    uint8_t q = p[i];
    if ((q >> 4) > 1 || (q & 15) > 3) return false;
    size_t codes = 0;
    for (int k = 1; k <= 16; ++k) codes += p[i + k];
    if (codes > 256 || codes > size - i - 17) return false;
    i += 17 + codes;
  }
  return true;
}

}  // namespace

bool cleanJpeg(const uint8_t* data, size_t size, std::vector<uint8_t>* result) {
  std::vector<uint8_t>& out = *result;
  out.clear();
  out.reserve(size + 2);
  out.push_back(0xFF);
  out.push_back(0xD8);
  size_t p = 0;
  while (p + 1 < size) {
    if (data[p] != 0xFF) {
      ++p;  // not at a marker: resynchronise
      continue;
    }
    uint8_t m = data[p + 1];
    if (m == 0xFF) {
      ++p;
      continue;
    }
    if (m == 0xD8 || m == 0xD9 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
      p += 2;  // standalone markers before the scan carry nothing we need
      continue;
    }
    if (p + 4 > size) break;
    size_t len = (size_t(data[p + 2]) << 8) | data[p + 3];
    if (m == 0xDA) {
      // Start of scan: the entropy-coded data runs to the end.
      out.insert(out.end(), data + p, data + size);
      // Progressive images define more tables between scans; inside scan
      // data 0xFF is always stuffed, so FF C4 there is such a definition.
      for (size_t q = p + 2; q + 3 < size; ++q) {
        if (data[q] != 0xFF || data[q + 1] != 0xC4) continue;
        size_t n = (size_t(data[q + 2]) << 8) | data[q + 3];
        if (n < 2 || n > size - q - 2 || !huffmanTablesSound(data + q + 4, n - 2)) return false;
      }
      // A trailing stray SOI/EOI pair after the real end does no harm to the decoder.
      return true;
    }
    // A segment running past the data is damage; the decoder would read
    // on into whatever follows, unchecked.
    if (len < 2 || len > size - p - 2) return false;
    size_t end = p + 2 + len;
    if (m == 0xC4 && !huffmanTablesSound(data + p + 4, len - 2)) return false;
    out.insert(out.end(), data + p, data + end);
    p = end;
  }
  out.push_back(0xFF);
  out.push_back(0xD9);
  return true;
}

bool decodeDefineBits(const uint8_t* data, size_t size, const std::vector<uint8_t>& tables,
                      Bitmap* out) {
  // The tables' segments go before the image's own; cleanJpeg drops the
  // EOI/SOI pair between them.
  std::vector<uint8_t> merged(tables.begin(), tables.end());
  merged.insert(merged.end(), data, data + size);
  return decodeImage(merged.data(), merged.size(), out);
}

bool decodeJpeg2(const uint8_t* data, size_t size, Bitmap* out) {
  return decodeImage(data, size, out);
}

bool decodeJpeg3(const uint8_t* data, size_t size, Bitmap* out) {
  BitReader r(data, size);
  uint32_t imageSize = r.u32();
  if (r.failed() || imageSize > r.remaining()) return false;
  const uint8_t* image = r.current();
  if (!decodeImage(image, imageSize, out)) return false;
  size_t alphaAt = 4 + size_t(imageSize);
  if (alphaAt >= size) return true;  // no alpha: opaque
  // Alpha applies to JPEG data only; PNG and GIF carry their own.
  if (!(imageSize >= 2 && image[0] == 0xFF)) return true;
  std::vector<uint8_t> alpha;
  if (!inflateExact(data + alphaAt, size - alphaAt, out->pixels.size(), &alpha)) return true;
  for (size_t i = 0; i < out->pixels.size(); ++i) {
    uint32_t p = out->pixels[i];
    out->pixels[i] = premultiply((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, alpha[i]);
  }
  return true;
}

bool decodeLossless(const uint8_t* data, size_t size, int version, Bitmap* out) {
  BitReader r(data, size);
  uint8_t format = r.u8();
  int w = r.u16();
  int h = r.u16();
  int colors = format == 3 ? r.u8() + 1 : 0;
  if (r.failed() || !sizeAcceptable(w, h)) return false;
  bool withAlpha = version == 2;
  size_t rowBytes;
  size_t tableBytes = 0;
  if (format == 3) {
    rowBytes = (size_t(w) + 3) & ~size_t(3);
    tableBytes = size_t(colors) * (withAlpha ? 4 : 3);
  } else if (format == 4) {
    rowBytes = (size_t(w) * 2 + 3) & ~size_t(3);
  } else if (format == 5) {
    rowBytes = size_t(w) * 4;
  } else {
    return false;
  }
  size_t expected = tableBytes + rowBytes * h;
  // zlib expands at most about 1032 to 1.
  if (expected > r.remaining() * 1032 + 1024) return false;
  std::vector<uint8_t> raw;
  if (!inflateExact(r.current(), r.remaining(), expected, &raw)) return false;
  out->width = w;
  out->height = h;
  out->pixels.assign(size_t(w) * h, 0);
  uint32_t palette[256] = {};
  for (int i = 0; i < colors; ++i) {
    const uint8_t* c = raw.data() + i * (withAlpha ? 4 : 3);
    uint8_t a = withAlpha ? c[3] : 255;
    // Table entries of Lossless2 are premultiplied already; keep them sane.
    uint8_t rr = std::min(c[0], a), gg = std::min(c[1], a), bb = std::min(c[2], a);
    palette[i] = (uint32_t(a) << 24) | (uint32_t(rr) << 16) | (uint32_t(gg) << 8) | bb;
  }
  const uint8_t* rows = raw.data() + tableBytes;
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = rows + size_t(y) * rowBytes;
    uint32_t* dst = out->pixels.data() + size_t(y) * w;
    for (int x = 0; x < w; ++x) {
      if (format == 3) {
        dst[x] = row[x] < colors ? palette[row[x]] : 0;
      } else if (format == 4) {
        uint16_t v = static_cast<uint16_t>((row[x * 2] << 8) | row[x * 2 + 1]);
        uint32_t r5 = (v >> 10) & 31, g5 = (v >> 5) & 31, b5 = v & 31;
        dst[x] = 0xFF000000u | (((r5 << 3) | (r5 >> 2)) << 16) | (((g5 << 3) | (g5 >> 2)) << 8) |
                 ((b5 << 3) | (b5 >> 2));
      } else {
        const uint8_t* p = row + x * 4;  // A, R, G, B
        uint8_t a = withAlpha ? p[0] : 255;
        uint8_t rr = std::min(p[1], a), gg = std::min(p[2], a), bb = std::min(p[3], a);
        dst[x] = (uint32_t(a) << 24) | (uint32_t(rr) << 16) | (uint32_t(gg) << 8) | bb;
      }
    }
  }
  return true;
}

}  // namespace swf
