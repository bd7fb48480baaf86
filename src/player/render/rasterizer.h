// Scanline coverage rasterizer.
//
// We write our own: no well-kept 2-D vector library is packaged for the
// Windows cross build, and Flash's fill model needs coverage per fill style
// (a style's area is bounded by the edges that carry it on one side), which a
// plain path filler does not give. Each line adds its exact signed area to
// the cells it crosses; summing a row from the left then gives every pixel's
// winding coverage, folded by the non-zero or even-odd rule. In aliased mode
// each line instead adds ±1 at the first pixel whose centre it passes, so a
// pixel is in or out by its centre, as an unsmoothed Flash player draws;
// positions are then rounded to 1/256 pixel and centres on an edge decided
// exactly (left and top edges take them), like a graphics card.
#pragma once
#include <cstdint>
#include <vector>

namespace render {

enum class FillRule : uint8_t { NonZero, EvenOdd };

// Receives the covered pixels of one row: coverage 0..255 for x0..x1-1.
class SpanSink {
 public:
  virtual void span(int y, int x0, int x1, const uint8_t* coverage) = 0;

 protected:
  ~SpanSink() = default;
};

class Rasterizer {
 public:
  // Prepares for a target of width × height; keeps storage between calls.
  void reset(int width, int height, bool antialias);
  void addLine(double x0, double y0, double x1, double y1);
  // Emits the coverage of everything added since reset and clears it.
  void sweep(FillRule rule, SpanSink& sink);

 private:
  void addClippedLine(double x0, double y0, double x1, double y1);
  void addAliasedLine(double x0, double y0, double x1, double y1, double dir);
  void addRowSegment(int row, double xa, double xb, double dy);
  void touch(int row, int x0, int x1);

  int width_ = 0, height_ = 0, pitch_ = 0;
  bool antialias_ = true;
  std::vector<float> cells_;  // (width + 2) per row
  std::vector<int> rowMin_, rowMax_;
  std::vector<uint8_t> coverage_;
  int minY_ = 0, maxY_ = -1;
};

}  // namespace render
