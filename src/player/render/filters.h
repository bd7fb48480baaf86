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
  // Grows to take in another box, which must not be empty.
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
};

// The box radius in 1/256 pixels of a blur of `blur` filter pixels (as
// stored: 0 to 255) drawn `scale` pixels per filter pixel: the box is
// 2·radius + 1 pixels wide, the outermost pixels taken in part.
int blurRadius(double blur, double scale);

// Box blurs a premultiplied picture in place, `passes` times over, within
// `box`, which grows by what the blur spreads (kept inside the picture).
void boxBlur(uint32_t* pixels, int width, int height, int radiusX, int radiusY, int passes, Box* box,
             FilterScratch* scratch);

// How far the filters can spread an object, in pixels.
int filterReach(const std::vector<swf::Filter>& filters, double scale);

// Runs one filter on a layer of width × height pixels; `scale` turns the
// filter's pixels into the layer's.
void applyFilter(const swf::Filter& f, double scale, uint32_t* pixels, int width, int height, Box* box,
                 FilterScratch* scratch);

}  // namespace render
