// Reads the little-endian bytes and the big-endian bit fields of SWF data.
// Never reads past the end: a read beyond it yields zeros and sets a sticky
// error flag, so parsers can read a whole record and check once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "player/swf/types.h"

namespace swf {

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool failed() const { return failed_; }
  bool atEnd() const { return pos_ >= size_; }
  size_t position() const { return pos_; }
  size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
  const uint8_t* current() const { return data_ + (pos_ < size_ ? pos_ : size_); }

  // Byte reads start at the next whole byte.
  void align() { bitCount_ = 0; }
  uint8_t u8();
  uint16_t u16();
  uint32_t u32();
  int16_t s16() { return static_cast<int16_t>(u16()); }
  double fixed8() { return s16() / 256.0; }    // signed 8.8
  float f32();
  double f64();  // AVM1 double: two 32-bit words, high word first
  bool skip(size_t n);
  // Zero-terminated text; stops at the end of data.
  std::string cstring();

  uint32_t ubits(int n);
  int32_t sbits(int n);
  double fbits(int n) { return sbits(n) / 65536.0; }
  bool flag() { return ubits(1) != 0; }

  Rect rect();
  Matrix matrix();
  Rgba rgb();
  Rgba rgba();
  ColorTransform colorTransform(bool withAlpha);

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  uint8_t bitBuffer_ = 0;
  int bitCount_ = 0;
  bool failed_ = false;
};

}  // namespace swf
