#include "animation/compressed_block.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

namespace ql {
namespace {

std::vector<uint8_t> sampleBytes(size_t n) {
  std::vector<uint8_t> bytes(n);
  uint32_t x = 12345;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245 + 12345;
    // Half text-like, half noise, so zlib has something to do both ways.
    bytes[i] = i % 2 ? static_cast<uint8_t>(x >> 24) : static_cast<uint8_t>('a' + i % 7);
  }
  return bytes;
}

// A block whose header announces `length` and whose stream holds `payload`.
std::vector<uint8_t> handMadeBlock(uint32_t length, const std::vector<uint8_t>& payload) {
  uLongf bound = compressBound(static_cast<uLong>(payload.size()));
  std::vector<uint8_t> block(8 + bound);
  uint32_t magic = kCompressedBlockMagic;
  for (int i = 0; i < 4; ++i) {
    block[i] = static_cast<uint8_t>(magic >> (8 * i));
    block[4 + i] = static_cast<uint8_t>(length >> (8 * i));
  }
  compress(&block[8], &bound, payload.data(), static_cast<uLong>(payload.size()));
  block.resize(8 + bound);
  return block;
}

TEST(CompressedBlock, RoundTripsAndHasTheDocumentedHeader) {
  for (size_t n : {size_t(1), size_t(100), size_t(188416), size_t(300000)}) {
    std::vector<uint8_t> data = sampleBytes(n);
    std::vector<uint8_t> block = packBlock(data.data(), data.size());
    ASSERT_GT(block.size(), 8u);
    EXPECT_EQ(0, std::memcmp(block.data(), "\x0D\x0F\x3E\x03", 4));
    EXPECT_EQ(n, block[4] | block[5] << 8 | block[6] << 16 | size_t(block[7]) << 24);
    EXPECT_EQ(data, unpackBlock(block.data(), block.size())) << n;
  }
}

TEST(CompressedBlock, RefusesShortBlocksAndWrongMagic) {
  std::vector<uint8_t> data = sampleBytes(1000);
  std::vector<uint8_t> block = packBlock(data.data(), data.size());
  EXPECT_TRUE(packBlock(data.data(), 0).empty());
  EXPECT_TRUE(unpackBlock(nullptr, 0).empty());
  EXPECT_TRUE(unpackBlock(block.data(), 7).empty());
  std::vector<uint8_t> wrong = block;
  wrong[3] = 0x04;
  EXPECT_TRUE(unpackBlock(wrong.data(), wrong.size()).empty());
}

TEST(CompressedBlock, RefusesDamagedStreams) {
  std::vector<uint8_t> data = sampleBytes(5000);
  std::vector<uint8_t> block = packBlock(data.data(), data.size());
  // Cut anywhere in the stream, the trailer's checksum included.
  for (size_t cut : {size_t(8), size_t(9), block.size() / 2, block.size() - 1})
    EXPECT_TRUE(unpackBlock(block.data(), cut).empty()) << cut;
  std::vector<uint8_t> flipped = block;
  flipped[block.size() / 2] ^= 0x55;
  EXPECT_TRUE(unpackBlock(flipped.data(), flipped.size()).empty());
}

TEST(CompressedBlock, InflatedSizeMustEqualTheAnnouncedLength) {
  std::vector<uint8_t> data = sampleBytes(4000);
  std::vector<uint8_t> longer = handMadeBlock(4001, data);
  std::vector<uint8_t> shorter = handMadeBlock(3999, data);
  std::vector<uint8_t> exact = handMadeBlock(4000, data);
  EXPECT_TRUE(unpackBlock(longer.data(), longer.size()).empty());
  EXPECT_TRUE(unpackBlock(shorter.data(), shorter.size()).empty());
  EXPECT_EQ(data, unpackBlock(exact.data(), exact.size()));
  // A huge announced length is refused without trying to hold it.
  std::vector<uint8_t> huge = handMadeBlock(0xFFFFFFFFu, data);
  EXPECT_TRUE(unpackBlock(huge.data(), huge.size()).empty());
}

TEST(CompressedBlock, TellsWhatItHoldsWithoutUnpacking) {
  std::vector<uint8_t> data = sampleBytes(188416);
  std::vector<uint8_t> block = packBlock(data.data(), data.size());
  ContentId id;
  ASSERT_TRUE(blockContentId(block.data(), block.size(), id));
  EXPECT_TRUE(id == contentIdOf(data.data(), data.size()));
  // Any other build of the bytes is told apart, one byte more or one changed.
  std::vector<uint8_t> changed = data;
  changed[1000] ^= 1;
  EXPECT_FALSE(id == contentIdOf(changed.data(), changed.size()));
  changed = data;
  changed.push_back(0);
  EXPECT_FALSE(id == contentIdOf(changed.data(), changed.size()));
  EXPECT_FALSE(blockContentId(block.data(), 13, id));
  block[0] ^= 1;
  EXPECT_FALSE(blockContentId(block.data(), block.size(), id));
}

}  // namespace
}  // namespace ql
