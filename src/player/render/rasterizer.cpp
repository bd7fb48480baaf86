#include "player/render/rasterizer.h"

#include <algorithm>
#include <cmath>

namespace render {

void Rasterizer::reset(int width, int height, bool antialias) {
  antialias_ = antialias;
  if (width != width_ || height != height_) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    pitch_ = width_ + 2;
    // Storage only grows (layers switch between sizes every frame); every
    // cell is back to zero after each sweep, whatever the layout.
    size_t cells = size_t(pitch_) * height_;
    if (cells_.size() < cells) cells_.resize(cells, 0.0f);
    if (rowMin_.size() < size_t(height_)) {
      rowMin_.resize(height_, 0);
      rowMax_.resize(height_, -1);
    }
    if (coverage_.size() < size_t(pitch_)) coverage_.resize(pitch_, 0);
  }
  minY_ = height_;
  maxY_ = -1;
}

void Rasterizer::touch(int row, int x0, int x1) {
  if (rowMin_[row] > rowMax_[row]) {
    rowMin_[row] = x0;
    rowMax_[row] = x1;
  } else {
    rowMin_[row] = std::min(rowMin_[row], x0);
    rowMax_[row] = std::max(rowMax_[row], x1);
  }
  minY_ = std::min(minY_, row);
  maxY_ = std::max(maxY_, row);
}

void Rasterizer::addLine(double x0, double y0, double x1, double y1) {
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
  if (y0 == y1 || height_ == 0 || width_ == 0) return;
  // Keep x within [0, width]: what lies outside still counts for the winding,
  // as a vertical edge on the border (at x = width it only closes the row).
  double w = width_;
  // Work left to right, then hand each piece on in the line's own direction
  // (the direction carries the winding).
  bool swapped = x0 > x1;
  if (swapped) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  auto piece = [&](double ax, double ay, double bx, double by) {
    if (swapped) {
      addClippedLine(bx, by, ax, ay);
    } else {
      addClippedLine(ax, ay, bx, by);
    }
  };
  if (x0 >= w) {
    piece(w, y0, w, y1);
    return;
  }
  if (x1 <= 0) {
    piece(0, y0, 0, y1);
    return;
  }
  if (x0 < 0) {
    double ym = y0 + (y1 - y0) * (0 - x0) / (x1 - x0);
    piece(0, y0, 0, ym);
    x0 = 0;
    y0 = ym;
  }
  if (x1 > w) {
    double ym = y0 + (y1 - y0) * (w - x0) / (x1 - x0);
    piece(x0, y0, w, ym);
    piece(w, ym, w, y1);
    return;
  }
  piece(x0, y0, x1, y1);
}

void Rasterizer::addClippedLine(double x0, double y0, double x1, double y1) {
  if (y0 == y1) return;
  double dir = 1;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    dir = -1;
  }
  double dxdy = (x1 - x0) / (y1 - y0);
  if (!antialias_) {
    addAliasedLine(x0, y0, x1, y1, dir);
    return;
  }
  int r0 = std::max(0, static_cast<int>(std::floor(y0)));
  int r1 = std::min(height_ - 1, static_cast<int>(std::ceil(y1)) - 1);
  for (int r = r0; r <= r1; ++r) {
    double ya = std::max(y0, static_cast<double>(r));
    double yb = std::min(y1, static_cast<double>(r + 1));
    if (yb <= ya) continue;
    double xa = x0 + (ya - y0) * dxdy;
    double xb = x0 + (yb - y0) * dxdy;
    addRowSegment(r, xa, xb, (yb - ya) * dir);
  }
}

namespace {

// Rounds towards minus infinity (b > 0).
int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

// Aliased edges work on positions rounded to 1/256 pixel, as graphics
// hardware does, and decide every pixel centre exactly in integers: a centre
// on a left or top edge is inside, on a right or bottom edge outside, so
// shapes that share an edge neither overlap nor leave a gap.
void Rasterizer::addAliasedLine(double x0, double y0, double x1, double y1, double dir) {
  // Rows far outside the picture only need the line's direction; keeping y
  // near the picture keeps the products below within 64 bits.
  double top = -1, bottom = height_ + 1.0;
  if (y1 <= top || y0 >= bottom) return;
  if (y0 < top) {
    x0 += (x1 - x0) * (top - y0) / (y1 - y0);
    y0 = top;
  }
  if (y1 > bottom) {
    x1 = x0 + (x1 - x0) * (bottom - y0) / (y1 - y0);
    y1 = bottom;
  }
  constexpr double kSub = 256;
  int64_t X0 = std::llround(x0 * kSub), Y0 = std::llround(y0 * kSub);
  int64_t X1 = std::llround(x1 * kSub), Y1 = std::llround(y1 * kSub);
  if (Y0 == Y1) return;
  const int64_t half = 128, one = 256;
  // Rows whose centre lies in [Y0, Y1).
  int r0 = static_cast<int>(std::max<int64_t>(0, floorDiv(Y0 - half + one - 1, one)));
  int r1 = static_cast<int>(std::min<int64_t>(height_ - 1, floorDiv(Y1 - half + one - 1, one) - 1));
  int64_t dy = Y1 - Y0, dx = X1 - X0;
  for (int r = r0; r <= r1; ++r) {
    // First column whose centre is at or right of the crossing.
    int64_t yc = int64_t(r) * one + half;
    int64_t num = X0 * dy + (yc - Y0) * dx - half * dy;
    int64_t c = floorDiv(num + one * dy - 1, one * dy);
    int col = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(width_, c)));
    cells_[size_t(r) * pitch_ + col] += static_cast<float>(dir);
    touch(r, col, col);
  }
}

// Adds a line piece lying within one row. Each pixel column it crosses gets
// the piece's height there, split between the cell (the part of the pixel
// right of the line) and the next cell (carried on along the row).
void Rasterizer::addRowSegment(int row, double xa, double xb, double dy) {
  float* cells = cells_.data() + size_t(row) * pitch_;
  double xl = std::min(xa, xb), xr = std::max(xa, xb);
  int c0 = static_cast<int>(std::floor(xl));
  int c1 = static_cast<int>(std::floor(xr));
  c0 = std::max(0, std::min(width_, c0));
  c1 = std::max(0, std::min(width_, c1));
  if (c0 == c1 || xr - xl < 1e-9) {
    double xm = (xa + xb) * 0.5 - c0;
    cells[c0] += static_cast<float>(dy * (1 - xm));
    cells[c0 + 1] += static_cast<float>(dy * xm);
    touch(row, c0, c0 + 1);
    return;
  }
  double perX = dy / (xr - xl);
  for (int c = c0; c <= c1; ++c) {
    double a = std::max(xl, static_cast<double>(c));
    double b = std::min(xr, static_cast<double>(c + 1));
    if (b <= a) continue;
    double h = perX * (b - a);
    double xm = (a + b) * 0.5 - c;
    cells[c] += static_cast<float>(h * (1 - xm));
    cells[c + 1] += static_cast<float>(h * xm);
  }
  touch(row, c0, c1 + 1);
}

void Rasterizer::sweep(FillRule rule, SpanSink& sink) {
  for (int y = minY_; y <= maxY_; ++y) {
    int x0 = rowMin_[y], x1 = rowMax_[y];
    if (x0 > x1) continue;
    float* cells = cells_.data() + size_t(y) * pitch_;
    x1 = std::min(x1, width_);
    float sum = 0;
    int first = -1, last = -1;
    uint8_t c = 0;
    for (int x = x0; x <= x1; ++x) {
      if (cells[x] == 0 && x > x0) {
        // Between edges the coverage carries on unchanged.
        coverage_[x] = c;
        if (c) last = x;
        continue;
      }
      sum += cells[x];
      cells[x] = 0;
      float a = std::fabs(sum);
      float cov = a;
      if (a > 1) {
        if (rule == FillRule::NonZero) {
          cov = 1;
        } else {
          cov = a - 2 * std::floor(a * 0.5f);  // winding folded to 0..2
          if (cov > 1) cov = 2 - cov;
        }
      }
      c = static_cast<uint8_t>(cov * 255 + 0.5f);
      coverage_[x] = c;
      if (c) {
        if (first < 0) first = x;
        last = x;
      }
    }
    // The cell beyond the width only carries sums; it is never drawn.
    cells[width_] = 0;
    cells[width_ + 1] = 0;
    rowMin_[y] = 0;
    rowMax_[y] = -1;
    if (first >= 0) {
      last = std::min(last, width_ - 1);
      if (first <= last) sink.span(y, first, last + 1, coverage_.data() + first);
    }
  }
  minY_ = height_;
  maxY_ = -1;
}

}  // namespace render
