#include "player/render/paint.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

double toLinear(double c) {
  c /= 255;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double fromLinear(double c) {
  c = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
  return c * 255;
}

}  // namespace

uint32_t premultiplied(swf::Rgba c) {
  auto mul = [](uint32_t v, uint32_t a) { return (v * a + 127) / 255; };
  return (uint32_t(c.a) << 24) | (mul(c.r, c.a) << 16) | (mul(c.g, c.a) << 8) | mul(c.b, c.a);
}

uint32_t transformPixel(uint32_t p, const swf::ColorTransform& cx) {
  uint32_t a = p >> 24;
  swf::Rgba c;
  if (a) {
    c.r = static_cast<uint8_t>(std::min<uint32_t>(255, (((p >> 16) & 0xFF) * 255 + a / 2) / a));
    c.g = static_cast<uint8_t>(std::min<uint32_t>(255, (((p >> 8) & 0xFF) * 255 + a / 2) / a));
    c.b = static_cast<uint8_t>(std::min<uint32_t>(255, ((p & 0xFF) * 255 + a / 2) / a));
  }
  c.a = static_cast<uint8_t>(a);
  return premultiplied(cx.apply(c));
}

void Paint::prepareSolid(swf::Rgba color, const swf::ColorTransform& cx) {
  kind_ = Kind::Solid;
  color_ = premultiplied(cx.apply(color));
}

bool Paint::prepare(const swf::FillStyle& fill, const swf::Matrix& shapeToPixels,
                    const swf::ColorTransform& cx, const BitmapSource& bitmaps) {
  switch (fill.kind) {
    case swf::FillKind::Solid:
      prepareSolid(fill.color, cx);
      return true;
    case swf::FillKind::Linear:
    case swf::FillKind::Radial:
    case swf::FillKind::Focal:
      if (fill.gradient.stops.empty()) return false;
      if (!(shapeToPixels * fill.matrix).invert(&inverse_)) {
        // A flat gradient square shows its last colour everywhere.
        prepareSolid(fill.gradient.stops.back().color, cx);
        return true;
      }
      kind_ = Kind::Gradient;
      gradientKind_ = fill.kind;
      spread_ = fill.gradient.spread;
      focal_ = fill.kind == swf::FillKind::Focal ? fill.gradient.focal : 0;
      buildGradientTable(fill.gradient, cx, table_);
      table_[256] = table_[255];
      return true;
    case swf::FillKind::Bitmap: {
      const swf::Bitmap* b = bitmaps.bitmap(fill.bitmapId);
      if (!b || b->width <= 0 || b->height <= 0) return false;
      if (!(shapeToPixels * fill.matrix).invert(&inverse_)) return false;
      kind_ = Kind::Bitmap;
      bitmap_ = b;
      repeat_ = fill.repeat;
      smooth_ = fill.smooth;
      transformBitmap_ = !cx.isIdentity();
      cx_ = cx;
      return true;
    }
  }
  return false;
}

void buildGradientTable(const swf::Gradient& g, const swf::ColorTransform& cx, uint32_t table[256]) {
  const auto& stops = g.stops;
  size_t n = std::min<size_t>(stops.size(), 16);
  if (n == 0) {
    std::fill(table, table + 256, 0u);
    return;
  }
  swf::Rgba colors[16];
  for (size_t i = 0; i < n; ++i) colors[i] = cx.apply(stops[i].color);
  size_t k = 0;
  for (int ratio = 0; ratio < 256; ++ratio) {
    // Stops are taken in their order; a ratio before the previous one acts
    // as a hard step at the previous ratio.
    while (k + 1 < n && stops[k + 1].ratio <= ratio) ++k;
    swf::Rgba c;
    if (k + 1 >= n || ratio <= stops[k].ratio) {
      c = colors[k];
    } else {
      double t = static_cast<double>(ratio - stops[k].ratio) / (stops[k + 1].ratio - stops[k].ratio);
      const swf::Rgba& a = colors[k];
      const swf::Rgba& b = colors[k + 1];
      auto mix = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(x + (y - x) * t); };
      if (g.linearRgb) {
        auto mixLinear = [t](uint8_t x, uint8_t y) {
          return static_cast<uint8_t>(std::min(255.0, fromLinear(toLinear(x) + (toLinear(y) - toLinear(x)) * t)));
        };
        c.r = mixLinear(a.r, b.r);
        c.g = mixLinear(a.g, b.g);
        c.b = mixLinear(a.b, b.b);
      } else {
        c.r = mix(a.r, b.r);
        c.g = mix(a.g, b.g);
        c.b = mix(a.b, b.b);
      }
      c.a = mix(a.a, b.a);
    }
    table[ratio] = premultiplied(c);
  }
}

// Where the ray from the focal point through (gx, gy) meets the circle.
double Paint::focalPosition(double gx, double gy) const {
  constexpr double kRadius = 16384;
  double fx = focal_ * kRadius;
  double dx = gx - fx, dy = gy;
  double dist = std::sqrt(dx * dx + dy * dy);
  if (dist < 1e-9) return 0;
  double b = fx * dx / dist;
  double s = -b + std::sqrt(std::max(0.0, b * b - fx * fx + kRadius * kRadius));
  return s > 1e-9 ? dist / s : 1;
}

uint32_t Paint::texel(int x, int y) const {
  int w = bitmap_->width, h = bitmap_->height;
  if (repeat_) {
    x %= w;
    if (x < 0) x += w;
    y %= h;
    if (y < 0) y += h;
  } else {
    x = std::max(0, std::min(w - 1, x));
    y = std::max(0, std::min(h - 1, y));
  }
  return bitmap_->pixels[size_t(y) * w + x];
}

uint32_t Paint::sampleBitmap(double u, double v) const {
  if (!(std::fabs(u) < 1e9 && std::fabs(v) < 1e9)) return 0;
  if (!smooth_) {
    return texel(static_cast<int>(std::floor(u)), static_cast<int>(std::floor(v)));
  }
  u -= 0.5;
  v -= 0.5;
  double fu = std::floor(u), fv = std::floor(v);
  int x = static_cast<int>(fu), y = static_cast<int>(fv);
  uint32_t wx = static_cast<uint32_t>((u - fu) * 256), wy = static_cast<uint32_t>((v - fv) * 256);
  uint32_t p00 = texel(x, y), p10 = texel(x + 1, y), p01 = texel(x, y + 1), p11 = texel(x + 1, y + 1);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t a = (p00 >> shift) & 0xFF, b = (p10 >> shift) & 0xFF;
    uint32_t c = (p01 >> shift) & 0xFF, d = (p11 >> shift) & 0xFF;
    uint32_t top = a * (256 - wx) + b * wx;
    uint32_t bottom = c * (256 - wx) + d * wx;
    uint32_t v8 = (top * (256 - wy) + bottom * wy + 32768) >> 16;
    out |= std::min<uint32_t>(v8, 255) << shift;
  }
  return out;
}

void Paint::fetch(int x, int y, int n, uint32_t* out) const {
  if (kind_ == Kind::Solid) {
    std::fill(out, out + n, color_);
    return;
  }
  double px = x + 0.5, py = y + 0.5;
  double u = inverse_.mapX(px, py), v = inverse_.mapY(px, py);
  if (kind_ == Kind::Gradient) {
    constexpr double kSquare = 32768, kRadius = 16384;
    if (gradientKind_ == swf::FillKind::Linear) {
      double t = (u + kSquare / 2) / kSquare, dt = inverse_.a / kSquare;
      // Along a row the position moves by equal steps: kept in fixed point
      // (16 bits finer than the table's 1/65536) unless it runs far out.
      double first = t * 65536 * 65536, step = dt * 65536 * 65536;
      constexpr double kLimit = 1e15;
      if (std::fabs(first) < kLimit && std::fabs(first + step * n) < kLimit) {
        int64_t p = std::llround(first), dp = std::llround(step);
        if (spread_ == swf::Spread::Pad) {
          // Runs of pixels at one table position (gradients across the row,
          // or beyond the ends) take the colour worked out once.
          int64_t last = -1;
          uint32_t color = 0;
          for (int i = 0; i < n; ++i, p += dp) {
            int64_t s = (p >> 16) - 128;
            s = s < 0 ? 0 : s > 255 * 256 ? 255 * 256 : s;
            if (s != last) {
              last = s;
              color = mixPixels(table_[s >> 8], table_[(s >> 8) + 1], static_cast<uint32_t>(s & 255));
            }
            out[i] = color;
          }
        } else {
          for (int i = 0; i < n; ++i, p += dp) out[i] = gradientColorAt(table_, spread_, p >> 16);
        }
        return;
      }
      for (int i = 0; i < n; ++i, t += dt) out[i] = gradientColor(table_, spread_, t);
    } else if (gradientKind_ == swf::FillKind::Radial || focal_ == 0) {
      for (int i = 0; i < n; ++i, u += inverse_.a, v += inverse_.b)
        out[i] = gradientColor(table_, spread_, std::sqrt(u * u + v * v) / kRadius);
    } else {
      for (int i = 0; i < n; ++i, u += inverse_.a, v += inverse_.b)
        out[i] = gradientColor(table_, spread_, focalPosition(u, v));
    }
    return;
  }
  for (int i = 0; i < n; ++i) {
    uint32_t p = sampleBitmap(u + inverse_.a * i, v + inverse_.b * i);
    out[i] = transformBitmap_ ? transformPixel(p, cx_) : p;
  }
}

}  // namespace render
