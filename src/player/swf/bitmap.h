// Bitmap characters: DefineBits (with JPEGTables), DefineBitsJPEG2/3 and
// DefineBitsLossless 1/2, decoded to premultiplied 32-bit pixels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // premultiplied 0xAARRGGBB, row after row
};

// Largest picture accepted, in pixels: a few bytes of a file must not be able
// to ask for gigabytes.
constexpr int64_t kMaxBitmapPixels = int64_t(4096) * 4096;

// The body after the character id. `tables` is the movie's JPEGTables
// content (may be empty) for DefineBits.
bool decodeDefineBits(const uint8_t* data, size_t size, const std::vector<uint8_t>& tables,
                      Bitmap* out);
// DefineBitsJPEG2 (JPEG, PNG or GIF data).
bool decodeJpeg2(const uint8_t* data, size_t size, Bitmap* out);
// DefineBitsJPEG3: image data, then zlib alpha one byte per pixel.
bool decodeJpeg3(const uint8_t* data, size_t size, Bitmap* out);
// DefineBitsLossless (version 1) and DefineBitsLossless2 (version 2).
bool decodeLossless(const uint8_t* data, size_t size, int version, Bitmap* out);

// Drops the stray end-of-image / start-of-image markers SWF JPEG data often
// carries before the scan (FF D9 FF D8 and friends) so one SOI starts the
// stream. False for streams whose Huffman tables are malformed: the packaged
// decoder would write past its tables on those.
bool cleanJpeg(const uint8_t* data, size_t size, std::vector<uint8_t>* out);

}  // namespace swf
