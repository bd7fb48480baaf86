// zlib streams inside movies: compressed files, bitmaps and alpha planes.
#pragma once
#include <cstddef>
#include <cstdint>

namespace swf {

// Inflates one zlib stream into out, never past `capacity` bytes. Returns how
// many bytes came out; a truncated or damaged stream keeps what came before
// the damage. `ended` tells whether the stream reached its proper end.
size_t inflatePrefix(const uint8_t* data, size_t size, uint8_t* out, size_t capacity, bool* ended);

}  // namespace swf
