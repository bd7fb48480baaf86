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
//
// All styles of one sweep go through the picture together, row by row: a
// row hands the sink every style's coverage before the next row starts, so
// the sink can share each pixel out among the fills that meet in it. Fills
// that abut then add up to the whole pixel instead of each being smoothed
// on its own, which would let what lies below show through the seam.
#pragma once
#include <cstdint>
#include <vector>

namespace render {

enum class FillRule : uint8_t { NonZero, EvenOdd };

// Receives the covered pixels row by row: for each row, the spans of its
// styles in rising style order, then endRow. A row with one
// style gets its coverage in bytes (0..255 for x0..x1-1); a row where
// several styles meet gets it as fractions (0..1), precise enough that
// shares of one pixel add up to the whole of it.
class SpanSink {
 public:
  virtual void span(int y, int style, int x0, int x1, const uint8_t* coverage) = 0;
  virtual void sharedSpan(int y, int style, int x0, int x1, const float* coverage) = 0;
  virtual void endRow(int y) = 0;

 protected:
  ~SpanSink() = default;
};

class Rasterizer {
 public:
  // Prepares for a target of width × height; keeps storage between calls.
  void reset(int width, int height, bool antialias);
  // Lines added from now on border `style` (0 until set), filled by `rule`.
  void setStyle(int style, FillRule rule);
  void addLine(double x0, double y0, double x1, double y1);
  // Emits the coverage of everything added since reset and clears it.
  void sweep(SpanSink& sink);

 private:
  // A line with y0 < y1, clipped across to [0, width]; `dir` is the winding
  // it carries. Aliased lines also keep their ends on the 1/256 grid.
  struct Line {
    double x0, y0, x1, y1, dxdy;
    float dir;
    int style;
    int firstRow, lastRow;
    int64_t gx0, gy0, gdx, gdy;
  };
  void addClippedLine(double x0, double y0, double x1, double y1);
  void addToRow(const Line& line, int row, float* cells, int* lo, int* hi) const;
  void addRowSegment(float* cells, double xa, double xb, double dy, int* lo, int* hi) const;
  template <typename Coverage>
  void sweepRow(int y, int style, float* cells, int lo, int hi, Coverage* coverage, SpanSink& sink);

  int width_ = 0, height_ = 0;
  bool antialias_ = true;
  int style_ = 0;
  FillRule rule_ = FillRule::NonZero;
  std::vector<FillRule> rules_;  // per style
  std::vector<Line> lines_;
  std::vector<int> order_, active_;
  std::vector<float> cells_;     // one row: width + 2
  std::vector<uint8_t> coverage_;      // one row
  std::vector<float> sharedCoverage_;  // one row
};

}  // namespace render
