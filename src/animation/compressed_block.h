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

// Empty for a block of 7 bytes or fewer, a wrong magic, a zlib error, or a
// stream that does not inflate to exactly the announced length.
std::vector<uint8_t> unpackBlock(const uint8_t* block, size_t size);

}  // namespace ql
