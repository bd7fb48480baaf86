#include "player/render/blend.h"

#include <algorithm>

#include "player/render/paint.h"

namespace render {

namespace {

// x·y / 255, rounded, for x, y in 0..255.
inline int mul(int x, int y) {
  int t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

inline int clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// The separable modes as the compositing model writes them: what the source
// shows where the picture below is empty, what the picture shows where the
// source is empty, and where both are present the mode's own mix, scaled by
// both alphas (`mixed` gets premultiplied channels and both alphas).
template <typename Mix>
inline uint32_t separable(uint32_t d, uint32_t s, Mix mixed) {
  int sa = s >> 24, da = d >> 24;
  uint32_t out = uint32_t(clamp255(sa + da - mul(sa, da))) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    int sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
    int v = mul(sc, 255 - da) + mul(dc, 255 - sa) + mixed(sc, sa, dc, da);
    out |= uint32_t(clamp255(v)) << shift;
  }
  return out;
}

// Hard light of source over picture, both premultiplied: a multiply where
// the source is dark, a screen where it is light.
inline int hardLight(int sc, int sa, int dc, int da) {
  if (2 * sc <= sa) return 2 * mul(sc, dc);
  return mul(sa, da) - 2 * mul(da - dc, sa - sc);
}

// Scales all four channels by a/255.
inline uint32_t scaled(uint32_t p, int a) { return scalePixel(p, static_cast<uint32_t>(a)); }

}  // namespace

void blendRow(swf::BlendMode mode, uint32_t* dst, const uint32_t* src, int n) {
  using swf::BlendMode;
  for (int i = 0; i < n; ++i) {
    uint32_t s = src[i], d = dst[i];
    int sa = s >> 24;
    // An empty source pixel leaves the picture alone in every mode: even
    // alpha cuts only where its object has pixels.
    if (s == 0) continue;
    switch (mode) {
      case BlendMode::Normal:
      case BlendMode::Layer:
        dst[i] = blendOver(d, s);
        break;
      case BlendMode::Multiply:
        dst[i] = separable(d, s, [](int sc, int, int dc, int) { return mul(sc, dc); });
        break;
      case BlendMode::Screen:
        dst[i] = separable(d, s, [](int sc, int sa_, int dc, int da) {
          return mul(sc, da) + mul(dc, sa_) - mul(sc, dc);
        });
        break;
      case BlendMode::Lighten:
        dst[i] = separable(d, s, [](int sc, int sa_, int dc, int da) { return std::max(mul(sc, da), mul(dc, sa_)); });
        break;
      case BlendMode::Darken:
        dst[i] = separable(d, s, [](int sc, int sa_, int dc, int da) { return std::min(mul(sc, da), mul(dc, sa_)); });
        break;
      case BlendMode::Difference:
        dst[i] = separable(d, s, [](int sc, int sa_, int dc, int da) {
          int a = mul(sc, da), b = mul(dc, sa_);
          return a > b ? a - b : b - a;
        });
        break;
      case BlendMode::Overlay:
        dst[i] = separable(d, s, [](int sc, int sa_, int dc, int da) { return hardLight(dc, da, sc, sa_); });
        break;
      case BlendMode::HardLight:
        dst[i] = separable(d, s, hardLight);
        break;
      case BlendMode::Add: {
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8)
          out |= uint32_t(std::min(255u, ((s >> shift) & 0xFF) + ((d >> shift) & 0xFF))) << shift;
        dst[i] = out;
        break;
      }
      case BlendMode::Subtract: {
        // The source's colour comes off the picture; alpha is added as over.
        uint32_t out = uint32_t(clamp255(sa + int(d >> 24) - mul(sa, int(d >> 24)))) << 24;
        for (int shift = 0; shift < 24; shift += 8)
          out |= uint32_t(clamp255(int((d >> shift) & 0xFF) - int((s >> shift) & 0xFF))) << shift;
        dst[i] = out;
        break;
      }
      case BlendMode::Invert: {
        // The picture's colours turn over where the source covers it.
        int da = d >> 24;
        uint32_t out = uint32_t(da) << 24;
        for (int shift = 0; shift < 24; shift += 8) {
          int dc = (d >> shift) & 0xFF;
          out |= uint32_t(clamp255(mul(dc, 255 - sa) + mul(da - dc, sa))) << shift;
        }
        dst[i] = out;
        break;
      }
      case BlendMode::Alpha:
        dst[i] = scaled(d, sa);
        break;
      case BlendMode::Erase:
        dst[i] = scaled(d, 255 - sa);
        break;
    }
  }
}

}  // namespace render
