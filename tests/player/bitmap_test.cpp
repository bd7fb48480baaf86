#include <gtest/gtest.h>

#include <zlib.h>

#include <vector>

#include "player/swf/bitmap.h"
#include "swf_builder.h"

namespace {

std::vector<uint8_t> greyJpeg(int w, int h, uint8_t level) {
  std::vector<uint8_t> rgb(size_t(w) * h * 3, level);
  return swftest::encodeJpeg(w, h, rgb.data(), 90);
}

}  // namespace

TEST(Jpeg, StrayEndAndStartMarkersBeforeTheImageAreDropped) {
  std::vector<uint8_t> jpeg = greyJpeg(4, 4, 200);
  std::vector<uint8_t> swfStyle{0xFF, 0xD9, 0xFF, 0xD8};
  swfStyle.insert(swfStyle.end(), jpeg.begin(), jpeg.end());
  swf::Bitmap b;
  ASSERT_TRUE(swf::decodeJpeg2(swfStyle.data(), swfStyle.size(), &b));
  EXPECT_EQ(4, b.width);
  EXPECT_NEAR(200, static_cast<int>(b.pixels[5] & 0xFF), 3);
  EXPECT_EQ(0xFFu, b.pixels[5] >> 24);
}

TEST(Jpeg, TablesFromJpegTablesAreMergedWithTheImage) {
  // Split one JPEG after its tables: everything before the frame header
  // goes to JPEGTables (closed with an EOI), the rest to DefineBits.
  std::vector<uint8_t> jpeg = greyJpeg(8, 8, 90);
  size_t sof = 2;
  while (sof + 4 < jpeg.size() && !(jpeg[sof] == 0xFF && jpeg[sof + 1] == 0xC0))
    sof += 2 + ((jpeg[sof + 2] << 8) | jpeg[sof + 3]);
  ASSERT_LT(sof + 4, jpeg.size());
  std::vector<uint8_t> tables(jpeg.begin(), jpeg.begin() + sof);
  tables.push_back(0xFF);
  tables.push_back(0xD9);
  std::vector<uint8_t> image{0xFF, 0xD8};
  image.insert(image.end(), jpeg.begin() + sof, jpeg.end());
  swf::Bitmap b;
  ASSERT_TRUE(swf::decodeDefineBits(image.data(), image.size(), tables, &b));
  EXPECT_EQ(8, b.height);
  EXPECT_NEAR(90, static_cast<int>(b.pixels[0] & 0xFF), 3);
}

TEST(Jpeg, HuffmanTablesWithTooManyCodesAreRefused) {
  // DHT with 16 lengths of 20 codes each: 320 codes in a table of 256.
  std::vector<uint8_t> bad{0xFF, 0xD8, 0xFF, 0xC4};
  size_t length = 2 + 1 + 16 + 320;
  bad.push_back(static_cast<uint8_t>(length >> 8));
  bad.push_back(static_cast<uint8_t>(length));
  bad.push_back(0x00);
  for (int i = 0; i < 16; ++i) bad.push_back(20);
  bad.insert(bad.end(), 320, 1);
  bad.insert(bad.end(), {0xFF, 0xD9});
  std::vector<uint8_t> cleaned;
  EXPECT_FALSE(swf::cleanJpeg(bad.data(), bad.size(), &cleaned));
  swf::Bitmap b;
  EXPECT_FALSE(swf::decodeJpeg2(bad.data(), bad.size(), &b));
  // Fill bytes before the marker do not get past the check.
  bad.insert(bad.begin(), {0xFF, 0xFF});
  EXPECT_FALSE(swf::decodeJpeg2(bad.data(), bad.size(), &b));

  // A sound table in a segment that claims to run past the data: the
  // decoder would read its next table from whatever follows.
  std::vector<uint8_t> cut{0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x00, 0x00};
  for (int i = 0; i < 16; ++i) cut.push_back(i == 0 ? 1 : 0);
  cut.push_back(0);
  EXPECT_FALSE(swf::cleanJpeg(cut.data(), cut.size(), &cleaned));
}

TEST(Lossless, ColourMappedRowsArePaddedAndAlphaIsKept) {
  // Format 3, 3 × 2 pixels, 2 colours with alpha; rows padded to 4 bytes.
  std::vector<uint8_t> raw{
      0x80, 0x00, 0x00, 0x80,  // colour 0: red at half alpha, premultiplied
      0x00, 0x00, 0xFF, 0xFF,  // colour 1: blue
      0, 1, 0, 9,              // row 0 and its padding byte
      1, 1, 0, 9,              // row 1
  };
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> body{3, 3, 0, 2, 0, 1};  // format, width, height, colours − 1
  std::vector<uint8_t> packed(packedSize);
  compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
  body.insert(body.end(), packed.begin(), packed.begin() + packedSize);
  swf::Bitmap b;
  ASSERT_TRUE(swf::decodeLossless(body.data(), body.size(), 2, &b));
  ASSERT_EQ(3, b.width);
  EXPECT_EQ(0x80800000u, b.pixels[0]);
  EXPECT_EQ(0xFF0000FFu, b.pixels[1]);
  EXPECT_EQ(0xFF0000FFu, b.pixels[3]);
  EXPECT_EQ(0x80800000u, b.pixels[5]);
}

TEST(Lossless, AbsurdSizesAreRefusedBeforeAllocating) {
  std::vector<uint8_t> body{5, 0xFF, 0xFF, 0xFF, 0xFF, 0x78, 0x9C};  // 65535 × 65535
  swf::Bitmap b;
  EXPECT_FALSE(swf::decodeLossless(body.data(), body.size(), 2, &b));
}
