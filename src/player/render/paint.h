// What a fill puts into each pixel: a solid colour, a gradient or a bitmap,
// with the object's colour transform already applied.
#pragma once
#include <cstdint>

#include "player/swf/bitmap.h"
#include "player/swf/shape.h"
#include "player/swf/types.h"

namespace render {

class BitmapSource {
 public:
  virtual const swf::Bitmap* bitmap(uint16_t id) const = 0;

 protected:
  ~BitmapSource() = default;
};

class Paint {
 public:
  // False when the fill draws nothing (missing bitmap, singular matrix,
  // gradient without stops).
  bool prepare(const swf::FillStyle& fill, const swf::Matrix& shapeToPixels,
               const swf::ColorTransform& cx, const BitmapSource& bitmaps);
  void prepareSolid(swf::Rgba color, const swf::ColorTransform& cx);

  bool isSolid() const { return kind_ == Kind::Solid; }
  uint32_t solidColor() const { return color_; }  // premultiplied 0xAARRGGBB
  // Premultiplied colours of pixels x..x+n-1 of row y (sampled at centres).
  void fetch(int x, int y, int n, uint32_t* out) const;

 private:
  enum class Kind : uint8_t { Solid, Gradient, Bitmap };
  double focalPosition(double gx, double gy) const;
  uint32_t sampleBitmap(double u, double v) const;
  uint32_t texel(int x, int y) const;

  Kind kind_ = Kind::Solid;
  uint32_t color_ = 0;
  swf::FillKind gradientKind_ = swf::FillKind::Linear;
  swf::Spread spread_ = swf::Spread::Pad;
  double focal_ = 0;
  swf::Matrix inverse_;  // pixels → gradient square or bitmap pixels
  // The gradient table and a copy of its last entry, so reads between
  // entries need no test at the end.
  uint32_t table_[257] = {};
  const swf::Bitmap* bitmap_ = nullptr;
  bool repeat_ = true, smooth_ = true;
  bool transformBitmap_ = false;
  swf::ColorTransform cx_;
};

// A straight colour as a premultiplied pixel.
uint32_t premultiplied(swf::Rgba c);

// A premultiplied pixel through a colour transform (which works on
// straight colour).
uint32_t transformPixel(uint32_t p, const swf::ColorTransform& cx);

// Gradients are drawn from a table of 256 premultiplied colours, entry i the
// colour at ratio i (channels truncated), read between entries with 8-bit
// weights the way a graphics card filters a 256-pixel texture: this is how
// the reference pictures of Flash content are drawn.
void buildGradientTable(const swf::Gradient& g, const swf::ColorTransform& cx, uint32_t table[256]);

// p·(256 − w) + q·w over 256, rounded, on all four channels.
inline uint32_t mixPixels(uint32_t p, uint32_t q, uint32_t w) {
  uint32_t v = 256 - w;
  uint32_t rb = ((p & 0x00FF00FFu) * v + (q & 0x00FF00FFu) * w + 0x00800080u) >> 8;
  uint32_t ag = ((p >> 8) & 0x00FF00FFu) * v + ((q >> 8) & 0x00FF00FFu) * w + 0x00800080u;
  return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

// The colour at gradient position p / 65536 (0 at ratio 0, 1 at ratio 255)
// after the spread: pad holds the end colours, repeat starts again, reflect
// runs back. Texel centres sit at (i + 0.5) / 256 of the way.
inline uint32_t gradientColorAt(const uint32_t table[256], swf::Spread spread, int64_t p) {
  if (spread == swf::Spread::Repeat) {
    p &= 0xFFFF;
  } else if (spread == swf::Spread::Reflect) {
    p &= 0x1FFFF;
    if (p > 65536) p = 131072 - p;
  }
  int64_t s = p - 128;
  s = s < 0 ? 0 : s > 255 * 256 ? 255 * 256 : s;
  uint32_t i = static_cast<uint32_t>(s >> 8), w = static_cast<uint32_t>(s & 255);
  return w ? mixPixels(table[i], table[i + 1], w) : table[i];
}

// The same at gradient position t; any t, NaN included, reads the table.
inline uint32_t gradientColor(const uint32_t table[256], swf::Spread spread, double t) {
  constexpr double kLimit = 1e9;
  double x = t * 65536;  // 256 entries of 256 steps each
  if (!(x > -kLimit)) x = -kLimit;
  if (x > kLimit) x = kLimit;
  // Truncating a positive number floors it, without a call to floor().
  constexpr double kOffset = 4294967296.0;
  return gradientColorAt(table, spread, static_cast<int64_t>(x + kOffset) - static_cast<int64_t>(kOffset));
}

// Source-over of premultiplied colours, coverage 0..255.
inline uint32_t scalePixel(uint32_t p, uint32_t a) {
  // a/255 applied to all four channels with rounding.
  uint32_t rb = (p & 0x00FF00FFu) * a + 0x00800080u;
  rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
  uint32_t ag = ((p >> 8) & 0x00FF00FFu) * a + 0x00800080u;
  ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
  return rb | ag;
}

inline uint32_t blendOver(uint32_t dst, uint32_t src) {
  uint32_t inv = 255 - (src >> 24);
  return src + scalePixel(dst, inv);
}

}  // namespace render
