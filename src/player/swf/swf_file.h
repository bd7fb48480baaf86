// The SWF container: signature, version, compression, the movie header and
// the sequence of tags.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/swf/types.h"

namespace swf {

struct MovieHeader {
  int version = 0;
  Rect frameSize;          // twips
  double frameRate = 12;   // never 0
  uint16_t frameCount = 0;
};

// A movie's bytes after the 8-byte file header, inflated when the file is
// compressed. `tagsOffset` is where the first tag starts inside `body`.
struct SwfFile {
  MovieHeader header;
  std::vector<uint8_t> body;
  size_t tagsOffset = 0;
};

// Uncompressed (FWS) and zlib (CWS) files; LZMA (ZWS) is refused because no
// decoder we can rely on is available for every build. False for anything
// that is not a readable movie. Inflation never goes beyond the length the
// file declares nor beyond what its compressed size can honestly give.
bool openSwf(const uint8_t* data, size_t size, SwfFile* out);

struct Tag {
  uint16_t code = 0;
  const uint8_t* data = nullptr;
  size_t size = 0;
};

enum TagCode : uint16_t {
  kEnd = 0,
  kShowFrame = 1,
  kDefineShape = 2,
  kPlaceObject = 4,
  kRemoveObject = 5,
  kDefineBits = 6,
  kDefineButton = 7,
  kJpegTables = 8,
  kSetBackgroundColor = 9,
  kDefineFont = 10,
  kDefineText = 11,
  kDoAction = 12,
  kDefineFontInfo = 13,
  kDefineSound = 14,
  kStartSound = 15,
  kDefineButtonSound = 17,
  kSoundStreamHead = 18,
  kSoundStreamBlock = 19,
  kDefineBitsLossless = 20,
  kDefineBitsJpeg2 = 21,
  kDefineShape2 = 22,
  kDefineButtonCxform = 23,
  kPlaceObject2 = 26,
  kRemoveObject2 = 28,
  kDefineShape3 = 32,
  kDefineText2 = 33,
  kDefineButton2 = 34,
  kDefineBitsJpeg3 = 35,
  kDefineBitsLossless2 = 36,
  kDefineEditText = 37,
  kDefineSprite = 39,
  kFrameLabel = 43,
  kSoundStreamHead2 = 45,
  kDefineMorphShape = 46,
  kDefineFont2 = 48,
  kExportAssets = 56,
  kDoInitAction = 59,
  kDefineVideoStream = 60,
  kDefineFontInfo2 = 62,
  kFileAttributes = 69,
  kPlaceObject3 = 70,
  kCsmTextSettings = 74,
  kDefineFont3 = 75,
  kSymbolClass = 76,
  kDefineShape4 = 83,
  kDefineMorphShape2 = 84,
  kStartSound2 = 89,
};

// Walks tag headers (short form, and long form when the short length is
// 0x3F). A tag whose length runs past the data is cut to what is there and
// ends the walk.
class TagReader {
 public:
  TagReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool next(Tag* tag);

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace swf
