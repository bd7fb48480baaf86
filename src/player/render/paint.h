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
  void buildRamp(const swf::Gradient& g, const swf::ColorTransform& cx);
  // Ramp index of gradient position t (0..1 over the ramp) after the spread.
  int rampIndex(double t) const {
    double x = t * kRampSize;
    if (spread_ == swf::Spread::Pad) {
      if (!(x > 0)) return 0;
      return x >= kRampSize - 1 ? kRampSize - 1 : static_cast<int>(x);
    }
    x = x < -1e9 ? -1e9 : x > 1e9 ? 1e9 : x;
    int i = static_cast<int>(x);
    if (x < i) --i;  // floor
    if (spread_ == swf::Spread::Repeat) return i & (kRampSize - 1);
    i &= 2 * kRampSize - 1;
    return i < kRampSize ? i : 2 * kRampSize - 1 - i;
  }
  double focalPosition(double gx, double gy) const;
  uint32_t sampleBitmap(double u, double v) const;
  uint32_t texel(int x, int y) const;

  Kind kind_ = Kind::Solid;
  uint32_t color_ = 0;
  swf::FillKind gradientKind_ = swf::FillKind::Linear;
  swf::Spread spread_ = swf::Spread::Pad;
  double focal_ = 0;
  swf::Matrix inverse_;  // pixels → gradient square or bitmap pixels
  // Finer than the 256 ratios so long gradients step smoothly.
  static constexpr int kRampSize = 1024;
  uint32_t ramp_[kRampSize] = {};
  const swf::Bitmap* bitmap_ = nullptr;
  bool repeat_ = true, smooth_ = true;
  bool transformBitmap_ = false;
  swf::ColorTransform cx_;
};

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
