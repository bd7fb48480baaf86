#include "player/render/filters.h"

#include <algorithm>
#include <cmath>

#include "player/render/paint.h"

namespace render {

namespace {

// One box pass along a line of n pixels (stride apart) of which only
// [first, last) may be non-clear; what lies beyond counts as clear. Each
// pixel becomes the weighted mean of the box around it: the pixel, `whole`
// neighbours either side at full weight and the next ones at part/256
// (Flash's box for a blur b is b − 1 pixels across, plus the pixel).
void boxLine(uint32_t* p, int stride, int first, int last, int whole, int part, uint32_t* line, int n) {
  int reach = whole + (part ? 1 : 0);
  int lo = std::max(0, first - reach), hi = std::min(n, last + reach);
  for (int i = lo; i < hi; ++i) line[i - lo] = i >= first && i < last ? p[size_t(i) * stride] : 0;
  int len = hi - lo;
  auto at = [&](int i) -> uint32_t { return i >= 0 && i < len ? line[i] : 0; };
  // The box's weight in 1/256 pixels. Dividing by it is a multiply: with
  // sums below 2^26 and weights of at least 256, 44 bits of reciprocal give
  // the exact quotient within 64 bits. The mean is truncated, as pictures
  // stored in 8 bits between passes are in the reference.
  const uint64_t weight = uint64_t(2 * whole + 1) * 256 + 2 * uint64_t(part);
  const uint64_t reciprocal = (uint64_t(1) << 44) / weight + 1;
  uint32_t sum[4] = {0, 0, 0, 0};
  for (int k = -whole; k <= whole; ++k) {
    uint32_t v = at(k);
    for (int c = 0; c < 4; ++c) sum[c] += (v >> (8 * c)) & 0xFF;
  }
  for (int i = 0; i < len; ++i) {
    uint32_t out = 0;
    uint32_t outerA = part ? at(i - whole - 1) : 0, outerB = part ? at(i + whole + 1) : 0;
    for (int c = 0; c < 4; ++c) {
      uint64_t outer = ((outerA >> (8 * c)) & 0xFF) + ((outerB >> (8 * c)) & 0xFF);
      uint64_t num = uint64_t(sum[c]) * 256 + outer * uint64_t(part);
      uint64_t v = (num * reciprocal) >> 44;
      out |= uint32_t(v > 255 ? 255 : v) << (8 * c);
    }
    p[size_t(i + lo) * stride] = out;
    uint32_t leaving = at(i - whole), entering = at(i + whole + 1);
    for (int c = 0; c < 4; ++c) sum[c] += ((entering >> (8 * c)) & 0xFF) - ((leaving >> (8 * c)) & 0xFF);
  }
}

// How far a box of radius (in 1/256 pixels) reaches, in whole pixels.
int reachOf(int radius) { return (radius + 255) >> 8; }

// The filter's offset in whole pixels, kept within the layer.
void offsetOf(const swf::Filter& f, double scale, int width, int height, int* dx, int* dy) {
  *dx = static_cast<int>(std::lround(std::cos(f.angle) * f.distance * scale));
  *dy = static_cast<int>(std::lround(std::sin(f.angle) * f.distance * scale));
  *dx = std::max(-width, std::min(width, *dx));
  *dy = std::max(-height, std::min(height, *dy));
}

uint32_t clampByte(double v) { return v <= 0 ? 0 : v >= 255 ? 255 : static_cast<uint32_t>(v + 0.5); }

// The object's alpha (inverted for inner effects), moved by (dx, dy) and
// blurred, in the top byte of scratch->pixels over the returned area: the
// layer's drawn part grown by the offset and the blur. Outside that area
// the map reads as clear.
Box blurredAlpha(const swf::Filter& f, double scale, const uint32_t* pixels, int width, int height,
                 const Box& box, int dx, int dy, bool invert, FilterScratch* scratch) {
  int radiusX = blurRadius(f.blurX, scale), radiusY = blurRadius(f.blurY, scale);
  int spreadX = (reachOf(radiusX) + 1) * f.passes, spreadY = (reachOf(radiusY) + 1) * f.passes;
  Box area = box.grown(std::abs(dx) + spreadX, std::abs(dy) + spreadY, width, height);
  std::vector<uint32_t>& map = scratch->pixels;
  if (map.size() < size_t(width) * height) map.assign(size_t(width) * height, 0);
  for (int y = area.y0; y < area.y1; ++y) {
    for (int x = area.x0; x < area.x1; ++x) {
      int sx = x - dx, sy = y - dy;
      uint32_t a = sx >= box.x0 && sx < box.x1 && sy >= box.y0 && sy < box.y1 ? pixels[size_t(sy) * width + sx] >> 24 : 0;
      map[size_t(y) * width + x] = (invert ? 255 - a : a) << 24;
    }
  }
  Box blurred = area;
  boxBlur(map.data(), width, height, radiusX, radiusY, f.passes, &blurred, scratch);
  return blurred;
}

void clearMap(const Box& area, int width, FilterScratch* scratch) {
  for (int y = area.y0; y < area.y1; ++y)
    std::fill(scratch->pixels.begin() + size_t(y) * width + area.x0, scratch->pixels.begin() + size_t(y) * width + area.x1, 0u);
}

// Flash's colour matrix works on straight colour: four rows of weights of
// red, green, blue and alpha plus an offset.
void colorMatrix(const swf::Filter& f, uint32_t* pixels, int width, const Box& box) {
  if (f.matrix.size() < 20) return;
  const float* m = f.matrix.data();
  for (int y = box.y0; y < box.y1; ++y) {
    for (int x = box.x0; x < box.x1; ++x) {
      uint32_t& p = pixels[size_t(y) * width + x];
      uint32_t a = p >> 24;
      double c[4] = {0, 0, 0, double(a)};
      if (a) {
        c[0] = ((p >> 16) & 0xFF) * 255.0 / a;
        c[1] = ((p >> 8) & 0xFF) * 255.0 / a;
        c[2] = (p & 0xFF) * 255.0 / a;
      }
      uint32_t out[4];
      for (int row = 0; row < 4; ++row) {
        const float* w = m + row * 5;
        out[row] = clampByte(w[0] * c[0] + w[1] * c[1] + w[2] * c[2] + w[3] * c[3] + w[4]);
      }
      p = premultiplied(swf::Rgba{static_cast<uint8_t>(out[0]), static_cast<uint8_t>(out[1]),
                                  static_cast<uint8_t>(out[2]), static_cast<uint8_t>(out[3])});
    }
  }
}

// Each pixel becomes the weighted sum of its neighbours (premultiplied),
// divided and biased; beyond the layer's drawn part pixels are clear, or
// the edge colour where the filter does not clamp.
void convolve(const swf::Filter& f, uint32_t* pixels, int width, int height, Box* box, FilterScratch* scratch) {
  int mx = f.matrixX, my = f.matrixY;
  if (mx <= 0 || my <= 0 || f.matrix.size() < size_t(mx) * my) return;
  Box out = box->grown(mx / 2, my / 2, width, height);
  std::vector<uint32_t>& copy = scratch->pixels;
  if (copy.size() < size_t(width) * height) copy.assign(size_t(width) * height, 0);
  for (int y = out.y0; y < out.y1; ++y)
    std::copy(pixels + size_t(y) * width + out.x0, pixels + size_t(y) * width + out.x1, copy.begin() + size_t(y) * width + out.x0);
  double divisor = f.divisor != 0 ? f.divisor : 1;
  uint32_t edge = premultiplied(f.color);
  auto sample = [&](int x, int y) -> uint32_t {
    if (x >= out.x0 && x < out.x1 && y >= out.y0 && y < out.y1) return copy[size_t(y) * width + x];
    if (!f.clamp) return edge;
    x = std::max(out.x0, std::min(out.x1 - 1, x));
    y = std::max(out.y0, std::min(out.y1 - 1, y));
    return copy[size_t(y) * width + x];
  };
  for (int y = out.y0; y < out.y1; ++y) {
    for (int x = out.x0; x < out.x1; ++x) {
      double sum[4] = {0, 0, 0, 0};
      for (int j = 0; j < my; ++j) {
        for (int i = 0; i < mx; ++i) {
          double w = f.matrix[size_t(j) * mx + i];
          if (w == 0) continue;
          uint32_t p = sample(x + i - mx / 2, y + j - my / 2);
          for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
        }
      }
      uint32_t self = copy[size_t(y) * width + x];
      uint32_t a = f.preserveAlpha ? self >> 24 : clampByte(sum[3] / divisor + f.bias);
      uint32_t result = a << 24;
      for (int c = 0; c < 3; ++c) result |= std::min(a, clampByte(sum[c] / divisor + f.bias)) << (8 * c);
      pixels[size_t(y) * width + x] = result;
    }
  }
  clearMap(out, width, scratch);
  *box = out;
}

// Light from the filter's angle: the object's blurred alpha, compared a
// distance towards and away from the light, lights one side and shades the
// other. Inner bevels keep to the object, outer ones to what lies around
// it, full ones take both.
void bevel(const swf::Filter& f, double scale, uint32_t* pixels, int width, int height, Box* box,
           FilterScratch* scratch) {
  int dx = 0, dy = 0;
  offsetOf(f, scale, width, height, &dx, &dy);
  Box area = blurredAlpha(f, scale, pixels, width, height, *box, 0, 0, false, scratch);
  const std::vector<uint32_t>& map = scratch->pixels;
  auto at = [&](int x, int y) -> int {
    return x >= 0 && x < width && y >= 0 && y < height ? static_cast<int>(map[size_t(y) * width + x] >> 24) : 0;
  };
  uint32_t table[257];
  bool gradient = f.kind == swf::Filter::Kind::GradientBevel;
  if (gradient) {
    swf::Gradient g;
    g.stops = f.gradient;
    buildGradientTable(g, swf::ColorTransform(), table);
  }
  uint32_t shadow = premultiplied(f.color), light = premultiplied(f.highlight);
  double strength = std::max(0.0, f.strength);
  bool outer = !f.inner || f.onTop, inner = f.inner || f.onTop;
  Box out = outer ? area.grown(std::abs(dx), std::abs(dy), width, height) : *box;
  std::vector<uint32_t> row(size_t(std::max(0, out.x1 - out.x0)));
  for (int y = out.y0; y < out.y1; ++y) {
    for (int x = out.x0; x < out.x1; ++x) {
      // Positive towards the light, negative away from it.
      double e = (at(x + dx, y + dy) - at(x - dx, y - dy)) / 255.0 * strength;
      e = std::max(-1.0, std::min(1.0, e));
      uint32_t b;
      if (gradient) {
        b = table[clampByte(127.5 - e * 127.5)];
      } else {
        b = e > 0 ? scalePixel(light, clampByte(e * 255)) : scalePixel(shadow, clampByte(-e * 255));
      }
      row[size_t(x - out.x0)] = b;
    }
    for (int x = out.x0; x < out.x1; ++x) {
      uint32_t& p = pixels[size_t(y) * width + x];
      bool inBox = x >= box->x0 && x < box->x1 && y >= box->y0 && y < box->y1;
      uint32_t object = inBox ? p : 0;
      uint32_t a = object >> 24;
      uint32_t b = row[size_t(x - out.x0)];
      uint32_t inside = inner ? scalePixel(b, a) : 0, outside = outer ? scalePixel(b, 255 - a) : 0;
      p = f.knockout ? inside + outside : blendOver(blendOver(outside, object), inside);
    }
  }
  clearMap(area, width, scratch);
  *box = out;
}

// A glow or shadow coloured by how strong it is, through the filter's
// gradient (whose first colour is where there is none).
void gradientGlow(const swf::Filter& f, double scale, uint32_t* pixels, int width, int height, Box* box,
                  FilterScratch* scratch) {
  int dx = 0, dy = 0;
  offsetOf(f, scale, width, height, &dx, &dy);
  Box area = blurredAlpha(f, scale, pixels, width, height, *box, dx, dy, f.inner, scratch);
  const std::vector<uint32_t>& map = scratch->pixels;
  uint32_t table[257];
  swf::Gradient g;
  g.stops = f.gradient;
  buildGradientTable(g, swf::ColorTransform(), table);
  double strength = std::max(0.0, f.strength);
  Box out = f.inner ? *box : area;
  for (int y = out.y0; y < out.y1; ++y) {
    for (int x = out.x0; x < out.x1; ++x) {
      uint32_t& p = pixels[size_t(y) * width + x];
      bool inBox = x >= box->x0 && x < box->x1 && y >= box->y0 && y < box->y1;
      uint32_t object = inBox ? p : 0;
      uint32_t a = object >> 24;
      uint32_t s = table[clampByte((map[size_t(y) * width + x] >> 24) * strength)];
      if (f.inner) {
        s = scalePixel(s, a);
        p = f.knockout || f.hideObject ? s : blendOver(object, s);
      } else if (f.knockout) {
        p = scalePixel(s, 255 - a);
      } else {
        p = f.hideObject ? s : blendOver(s, object);
      }
    }
  }
  clearMap(area, width, scratch);
  *box = out;
}

// A shadow pixel made stronger or weaker: its alpha times the strength
// (8.8, at most opaque), its colour kept, so a strong shadow shows its own
// colour rather than one brightened past it.
uint32_t strengthened(uint32_t p, uint32_t strength8) {
  uint32_t a = p >> 24;
  if (a == 0) return 0;
  uint32_t scaledA = std::min<uint32_t>(255, (a * strength8 + 128) >> 8);
  uint32_t result = scaledA << 24;
  for (int c = 0; c < 24; c += 8)
    result |= std::min<uint32_t>(scaledA, (((p >> c) & 0xFF) * scaledA + a / 2) / a) << c;
  return result;
}

}  // namespace

int blurRadius(double blur, double scale) {
  if (!(blur > 1) || !(scale > 0)) return 0;
  double r = (std::min(blur, 255.0) - 1) / 2 * scale;
  return static_cast<int>(std::lround(std::min(r, 255.0) * 256));
}

Box Box::grown(int dx, int dy, int width, int height) const {
  return Box{std::max(0, x0 - dx), std::max(0, y0 - dy), std::min(width, x1 + dx), std::min(height, y1 + dy)};
}

void boxBlur(uint32_t* pixels, int width, int height, int radiusX, int radiusY, int passes, Box* box,
             FilterScratch* scratch) {
  if ((radiusX <= 0 && radiusY <= 0) || box->empty()) return;
  scratch->line.resize(size_t(std::max(width, height)) + 2);
  for (int pass = 0; pass < passes; ++pass) {
    if (radiusX > 0) {
      for (int y = box->y0; y < box->y1; ++y)
        boxLine(pixels + size_t(y) * width, 1, box->x0, box->x1, radiusX >> 8, radiusX & 255, scratch->line.data(), width);
      *box = box->grown(reachOf(radiusX), 0, width, height);
    }
    if (radiusY > 0) {
      for (int x = box->x0; x < box->x1; ++x)
        boxLine(pixels + x, width, box->y0, box->y1, radiusY >> 8, radiusY & 255, scratch->line.data(), height);
      *box = box->grown(0, reachOf(radiusY), width, height);
    }
  }
}

int filterReach(const std::vector<swf::Filter>& filters, double scale) {
  using Kind = swf::Filter::Kind;
  double reach = 0;
  for (const swf::Filter& f : filters) {
    double r = reachOf(std::max(blurRadius(f.blurX, scale), blurRadius(f.blurY, scale))) * f.passes;
    if (f.kind == Kind::ColorMatrix) r = 0;
    if (f.kind == Kind::Convolution) r = std::max(f.matrixX, f.matrixY) / 2 + 1;
    bool moves = f.kind == Kind::DropShadow || f.kind == Kind::GradientGlow || f.kind == Kind::Bevel ||
                 f.kind == Kind::GradientBevel;
    if (moves && !f.inner) r += std::fabs(f.distance) * scale;
    reach += r + 1;
  }
  return static_cast<int>(std::min(reach, 1e6));
}

void applyFilter(const swf::Filter& f, double scale, uint32_t* pixels, int width, int height, Box* box,
                 FilterScratch* scratch) {
  if (!(scale > 0) || box->empty()) return;
  int radiusX = blurRadius(f.blurX, scale), radiusY = blurRadius(f.blurY, scale);
  switch (f.kind) {
    case swf::Filter::Kind::Blur:
      boxBlur(pixels, width, height, radiusX, radiusY, f.passes, box, scratch);
      return;
    case swf::Filter::Kind::ColorMatrix:
      colorMatrix(f, pixels, width, *box);
      return;
    case swf::Filter::Kind::Convolution:
      convolve(f, pixels, width, height, box, scratch);
      return;
    case swf::Filter::Kind::Bevel:
    case swf::Filter::Kind::GradientBevel:
      bevel(f, scale, pixels, width, height, box, scratch);
      return;
    case swf::Filter::Kind::GradientGlow:
      gradientGlow(f, scale, pixels, width, height, box, scratch);
      return;
    case swf::Filter::Kind::DropShadow:
      break;
  }
  // The shadow: the object's alpha (or, inside, what it leaves uncovered)
  // moved by the distance, blurred, in the shadow's colour and strength.
  int dx = static_cast<int>(std::lround(std::cos(f.angle) * f.distance * scale));
  int dy = static_cast<int>(std::lround(std::sin(f.angle) * f.distance * scale));
  if (std::abs(dx) > width || std::abs(dy) > height) {
    if (!f.inner) dx = dy = width + height;  // moved out of sight
    else dx = dy = 0;
  }
  uint32_t color = premultiplied(f.color);
  std::vector<uint32_t>& shadow = scratch->pixels;
  // Storage only grows; the part used is cleared again below.
  if (shadow.size() < size_t(width) * height) shadow.assign(size_t(width) * height, 0);
  int spreadX = (reachOf(radiusX) + 1) * f.passes, spreadY = (reachOf(radiusY) + 1) * f.passes;
  Box area;
  if (f.inner) {
    // Everything around the object casts the shadow; far enough out that
    // the blur does not reach past the filled area into the object.
    area = box->grown(std::abs(dx) + spreadX, std::abs(dy) + spreadY, width, height);
  } else {
    area = Box{box->x0 + dx, box->y0 + dy, box->x1 + dx, box->y1 + dy};
    area = Box{std::max(0, area.x0), std::max(0, area.y0), std::min(width, area.x1), std::min(height, area.y1)};
  }
  if (area.empty()) area = Box();  // moved wholly out of the layer
  for (int y = area.y0; y < area.y1; ++y) {
    for (int x = area.x0; x < area.x1; ++x) {
      int sx = x - dx, sy = y - dy;
      uint32_t a = sx >= box->x0 && sx < box->x1 && sy >= box->y0 && sy < box->y1
                       ? pixels[size_t(sy) * width + sx] >> 24 : 0;
      if (f.inner) a = 255 - a;
      shadow[size_t(y) * width + x] = a ? scalePixel(color, a) : 0;
    }
  }
  Box shadowBox = area;
  if (!shadowBox.empty()) boxBlur(shadow.data(), width, height, radiusX, radiusY, f.passes, &shadowBox, scratch);
  double strength = std::max(0.0, f.strength);
  uint32_t strength8 = static_cast<uint32_t>(std::min(255.0 * 256, strength * 256));

  Box out = *box;
  if (!f.inner && !shadowBox.empty()) out.add(shadowBox.x0, shadowBox.y0, shadowBox.x1, shadowBox.y1);
  for (int y = out.y0; y < out.y1; ++y) {
    for (int x = out.x0; x < out.x1; ++x) {
      size_t i = size_t(y) * width + x;
      bool inShadow = x >= shadowBox.x0 && x < shadowBox.x1 && y >= shadowBox.y0 && y < shadowBox.y1;
      uint32_t s = inShadow ? shadow[i] : 0;
      if (s && strength8 != 256) s = strengthened(s, strength8);
      uint32_t object = pixels[i];
      uint32_t objectAlpha = object >> 24;
      uint32_t result;
      if (f.inner) {
        s = scalePixel(s, objectAlpha);  // only where the object is
        result = f.knockout || f.hideObject ? s : blendOver(object, s);
      } else if (f.knockout) {
        result = scalePixel(s, 255 - objectAlpha);
      } else {
        result = f.hideObject ? s : blendOver(s, object);
      }
      pixels[i] = result;
    }
  }
  for (int y = shadowBox.y0; y < shadowBox.y1; ++y)
    std::fill(shadow.begin() + size_t(y) * width + shadowBox.x0, shadow.begin() + size_t(y) * width + shadowBox.x1, 0u);
  *box = out;
}

}  // namespace render
