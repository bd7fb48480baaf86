#include "player/swf/bit_reader.h"

#include <cstring>

namespace swf {

uint8_t BitReader::u8() {
  align();
  if (pos_ >= size_) {
    failed_ = true;
    return 0;
  }
  return data_[pos_++];
}

uint16_t BitReader::u16() {
  uint16_t lo = u8();
  uint16_t hi = u8();
  return static_cast<uint16_t>(lo | (hi << 8));
}

uint32_t BitReader::u32() {
  uint32_t lo = u16();
  uint32_t hi = u16();
  return lo | (hi << 16);
}

float BitReader::f32() {
  uint32_t bits = u32();
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

double BitReader::f64() {
  uint64_t hi = u32();
  uint64_t lo = u32();
  uint64_t bits = (hi << 32) | lo;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

bool BitReader::skip(size_t n) {
  align();
  if (n > remaining()) {
    pos_ = size_;
    failed_ = true;
    return false;
  }
  pos_ += n;
  return true;
}

std::string BitReader::cstring() {
  align();
  size_t start = pos_;
  while (pos_ < size_ && data_[pos_] != 0) ++pos_;
  std::string s(reinterpret_cast<const char*>(data_ + start), pos_ - start);
  if (pos_ < size_) {
    ++pos_;
  } else {
    failed_ = true;
  }
  return s;
}

uint32_t BitReader::ubits(int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) {
    if (bitCount_ == 0) {
      if (pos_ >= size_) {
        failed_ = true;
        return 0;
      }
      bitBuffer_ = data_[pos_++];
      bitCount_ = 8;
    }
    --bitCount_;
    v = (v << 1) | ((bitBuffer_ >> bitCount_) & 1u);
  }
  return v;
}

int32_t BitReader::sbits(int n) {
  if (n <= 0) return 0;
  uint32_t v = ubits(n);
  if (n < 32 && (v & (1u << (n - 1)))) v |= ~0u << n;
  return static_cast<int32_t>(v);
}

Rect BitReader::rect() {
  align();
  int n = static_cast<int>(ubits(5));
  Rect r;
  r.xMin = sbits(n);
  r.xMax = sbits(n);
  r.yMin = sbits(n);
  r.yMax = sbits(n);
  align();
  return r;
}

Matrix BitReader::matrix() {
  align();
  Matrix m;
  if (flag()) {
    int n = static_cast<int>(ubits(5));
    m.a = fbits(n);
    m.d = fbits(n);
  }
  if (flag()) {
    int n = static_cast<int>(ubits(5));
    m.b = fbits(n);
    m.c = fbits(n);
  }
  int n = static_cast<int>(ubits(5));
  m.tx = sbits(n);
  m.ty = sbits(n);
  align();
  return m;
}

Rgba BitReader::rgb() {
  Rgba c;
  c.r = u8();
  c.g = u8();
  c.b = u8();
  c.a = 255;
  return c;
}

Rgba BitReader::rgba() {
  Rgba c = rgb();
  c.a = u8();
  return c;
}

ColorTransform BitReader::colorTransform(bool withAlpha) {
  align();
  bool hasAdd = flag();
  bool hasMul = flag();
  int n = static_cast<int>(ubits(4));
  ColorTransform t;
  if (hasMul) {
    t.rMul = sbits(n) / 256.0;
    t.gMul = sbits(n) / 256.0;
    t.bMul = sbits(n) / 256.0;
    if (withAlpha) t.aMul = sbits(n) / 256.0;
  }
  if (hasAdd) {
    t.rAdd = sbits(n);
    t.gAdd = sbits(n);
    t.bAdd = sbits(n);
    if (withAlpha) t.aAdd = sbits(n);
  }
  align();
  return t;
}

}  // namespace swf
