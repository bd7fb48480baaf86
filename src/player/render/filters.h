// Filters on a layer: box blur (run once per pass, as Flash's quality
// setting does) and drop shadow / glow made from the layer's alpha.
#pragma once
#include <cstdint>
#include <vector>

#include "player/swf/display.h"

namespace render {

// A rectangle of pixels, x1 and y1 excluded.
struct Box {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool empty() const { return x0 >= x1 || y0 >= y1; }
  void add(int ax0, int ay0, int ax1, int ay1) {
    if (empty()) {
      *this = Box{ax0, ay0, ax1, ay1};
      return;
    }
    if (ax0 < x0) x0 = ax0;
    if (ay0 < y0) y0 = ay0;
    if (ax1 > x1) x1 = ax1;
    if (ay1 > y1) y1 = ay1;
  }
  Box grown(int dx, int dy, int width, int height) const;
};

// Buffers reused from filter to filter.
struct FilterScratch {
  std::vector<uint32_t> pixels;
  std::vector<uint32_t> line;
  std::vector<uint32_t> sums;
};

// Box blurs a premultiplied picture in place, within `box`, which grows by
// what the blur spreads (and is kept inside the picture). `radiusX` and
// `radiusY` are the box widths in pixels.
void boxBlur(uint32_t* pixels, int width, int height, double boxX, double boxY, int passes,
             Box* box, FilterScratch* scratch);

// Runs one filter on a layer of width × height pixels; `scale` turns the
// filter's pixels into the layer's.
void applyFilter(const swf::Filter& f, double scale, uint32_t* pixels, int width, int height, Box* box,
                 FilterScratch* scratch);

}  // namespace render
