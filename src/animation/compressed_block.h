// The program's compressed-data block: how the player library travels inside
// the executable. Little-endian magic 0x033E0F0D, the unpacked length, then
// one zlib stream that inflates to exactly that many bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ql {

constexpr uint32_t kCompressedBlockMagic = 0x033E0F0D;

// Empty for empty input or when zlib fails.
std::vector<uint8_t> packBlock(const uint8_t* data, size_t size);

// What bytes are, for telling copies apart: their length and Adler-32.
struct ContentId {
  uint32_t length = 0;
  uint32_t adler32 = 0;
  bool operator==(const ContentId& other) const {
    return length == other.length && adler32 == other.adler32;
  }
};

ContentId contentIdOf(const uint8_t* data, size_t size);

// The id of what a block unpacks to, told without unpacking it: the header's
// length and the Adler-32 that ends every zlib stream (inflating checks the
// data against it). False for a block too short to hold both or with a
// wrong magic.
bool blockContentId(const uint8_t* block, size_t size, ContentId& id);

// Empty for a block of 7 bytes or fewer, a wrong magic, a zlib error, or a
// stream that does not inflate to exactly the announced length.
std::vector<uint8_t> unpackBlock(const uint8_t* block, size_t size);

}  // namespace ql
