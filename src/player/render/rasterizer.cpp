#include "player/render/rasterizer.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Rounds towards minus infinity (b > 0).
int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

constexpr int64_t kHalf = 128, kOne = 256;  // the aliased grid: 1/256 pixel

}  // namespace

void Rasterizer::reset(int width, int height, bool antialias) {
  antialias_ = antialias;
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  // Storage only grows (layers switch between sizes every frame); every
  // cell is back to zero after each row is swept.
  if (cells_.size() < size_t(width_) + 2) {
    cells_.resize(size_t(width_) + 2, 0.0f);
    coverage_.resize(size_t(width_) + 2, 0);
    sharedCoverage_.resize(size_t(width_) + 2, 0.0f);
  }
  lines_.clear();
  rules_.clear();
  style_ = 0;
  rule_ = FillRule::NonZero;
}

void Rasterizer::setStyle(int style, FillRule rule) {
  style_ = std::max(0, style);
  rule_ = rule;
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
  Line l;
  l.dir = 1;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    l.dir = -1;
  }
  l.style = style_;
  if (antialias_) {
    l.firstRow = std::max(0, static_cast<int>(std::floor(std::max(y0, -1.0))));
    l.lastRow = std::min(height_ - 1, static_cast<int>(std::ceil(std::min(y1, height_ + 1.0))) - 1);
    l.gx0 = l.gy0 = l.gdx = l.gdy = 0;
  } else {
    // Rows far outside the picture only need the line's direction; keeping
    // y near the picture keeps the products in addToRow within 64 bits.
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
    int64_t X0 = std::llround(x0 * kOne), Y0 = std::llround(y0 * kOne);
    int64_t X1 = std::llround(x1 * kOne), Y1 = std::llround(y1 * kOne);
    if (Y0 == Y1) return;
    // Rows whose centre lies in [Y0, Y1).
    l.firstRow = static_cast<int>(std::max<int64_t>(0, floorDiv(Y0 - kHalf + kOne - 1, kOne)));
    l.lastRow = static_cast<int>(std::min<int64_t>(height_ - 1, floorDiv(Y1 - kHalf + kOne - 1, kOne) - 1));
    l.gx0 = X0;
    l.gy0 = Y0;
    l.gdx = X1 - X0;
    l.gdy = Y1 - Y0;
  }
  if (l.firstRow > l.lastRow) return;
  l.x0 = x0;
  l.y0 = y0;
  l.x1 = x1;
  l.y1 = y1;
  l.dxdy = (x1 - x0) / (y1 - y0);
  if (rules_.size() <= size_t(style_)) rules_.resize(size_t(style_) + 1, FillRule::NonZero);
  rules_[style_] = rule_;
  lines_.push_back(l);
}

// Adds a line piece lying within one row. Each pixel column it crosses gets
// the piece's height there, split between the cell (the part of the pixel
// right of the line) and the next cell (carried on along the row).
void Rasterizer::addRowSegment(float* cells, double xa, double xb, double dy, int* lo, int* hi) const {
  double xl = std::min(xa, xb), xr = std::max(xa, xb);
  int c0 = static_cast<int>(std::floor(xl));
  int c1 = static_cast<int>(std::floor(xr));
  c0 = std::max(0, std::min(width_, c0));
  c1 = std::max(0, std::min(width_, c1));
  if (c0 == c1 || xr - xl < 1e-9) {
    double xm = (xa + xb) * 0.5 - c0;
    cells[c0] += static_cast<float>(dy * (1 - xm));
    cells[c0 + 1] += static_cast<float>(dy * xm);
    *lo = std::min(*lo, c0);
    *hi = std::max(*hi, c0 + 1);
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
  *lo = std::min(*lo, c0);
  *hi = std::max(*hi, c1 + 1);
}

void Rasterizer::addToRow(const Line& l, int row, float* cells, int* lo, int* hi) const {
  if (antialias_) {
    double ya = std::max(l.y0, static_cast<double>(row));
    double yb = std::min(l.y1, static_cast<double>(row + 1));
    if (yb <= ya) return;
    double xa = l.x0 + (ya - l.y0) * l.dxdy;
    double xb = l.x0 + (yb - l.y0) * l.dxdy;
    addRowSegment(cells, xa, xb, (yb - ya) * l.dir, lo, hi);
    return;
  }
  // Aliased: the first column whose centre is at or right of the crossing
  // at the row's centre; a centre on a left edge is inside, on a right edge
  // outside, so shapes that share an edge neither overlap nor leave a gap.
  int64_t yc = int64_t(row) * kOne + kHalf;
  int64_t num = l.gx0 * l.gdy + (yc - l.gy0) * l.gdx - kHalf * l.gdy;
  int64_t c = floorDiv(num + kOne * l.gdy - 1, kOne * l.gdy);
  int col = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(width_, c)));
  cells[col] += l.dir;
  *lo = std::min(*lo, col);
  *hi = std::max(*hi, col);
}

namespace {

inline void store(float cov, uint8_t* out) { *out = static_cast<uint8_t>(cov * 255 + 0.5f); }
inline void store(float cov, float* out) {
  // Sums of float areas leave crumbs where the coverage should be 0.
  *out = cov < 1e-6f ? 0 : cov;
}
inline void emit(SpanSink& sink, int y, int style, int x0, int x1, const uint8_t* coverage) {
  sink.span(y, style, x0, x1, coverage);
}
inline void emit(SpanSink& sink, int y, int style, int x0, int x1, const float* coverage) {
  sink.sharedSpan(y, style, x0, x1, coverage);
}

}  // namespace

template <typename Coverage>
void Rasterizer::sweepRow(int y, int style, float* cells, int lo, int hi, Coverage* coverage, SpanSink& sink) {
  FillRule rule = rules_[style];
  int x1 = std::min(hi, width_);
  float sum = 0;
  int first = -1, last = -1;
  Coverage c = 0;
  for (int x = lo; x <= x1; ++x) {
    if (cells[x] == 0 && x > lo) {
      // Between edges the coverage carries on unchanged.
      coverage[x] = c;
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
    store(cov, &c);
    coverage[x] = c;
    if (c) {
      if (first < 0) first = x;
      last = x;
    }
  }
  // The cells beyond the width only carry sums; they are never drawn.
  for (int x = x1 + 1; x <= hi && x <= width_ + 1; ++x) cells[x] = 0;
  if (first >= 0) {
    last = std::min(last, width_ - 1);
    if (first <= last) emit(sink, y, style, first, last + 1, coverage + first);
  }
}

void Rasterizer::sweep(SpanSink& sink) {
  order_.resize(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) order_[i] = static_cast<int>(i);
  std::sort(order_.begin(), order_.end(), [this](int a, int b) {
    return lines_[a].firstRow < lines_[b].firstRow;
  });
  active_.clear();
  float* cells = cells_.data();
  size_t next = 0;
  int y = 0;
  while (next < order_.size() || !active_.empty()) {
    if (active_.empty()) y = std::max(y, lines_[order_[next]].firstRow);
    // Lines starting here join the active ones, kept in style order.
    while (next < order_.size() && lines_[order_[next]].firstRow <= y) {
      int index = order_[next++];
      int style = lines_[index].style;
      auto at = std::upper_bound(active_.begin(), active_.end(), style,
                                 [this](int s, int i) { return s < lines_[i].style; });
      active_.insert(at, index);
    }
    int styles = 0;
    for (size_t i = 0; i < active_.size(); ++i)
      if (i == 0 || lines_[active_[i]].style != lines_[active_[i - 1]].style) ++styles;
    for (size_t i = 0; i < active_.size();) {
      int style = lines_[active_[i]].style;
      int lo = width_ + 1, hi = -1;
      for (; i < active_.size() && lines_[active_[i]].style == style; ++i)
        addToRow(lines_[active_[i]], y, cells, &lo, &hi);
      if (lo > hi) continue;
      if (styles == 1) {
        sweepRow(y, style, cells, lo, hi, coverage_.data(), sink);
      } else {
        sweepRow(y, style, cells, lo, hi, sharedCoverage_.data(), sink);
      }
    }
    sink.endRow(y);
    active_.erase(std::remove_if(active_.begin(), active_.end(),
                                 [this, y](int i) { return lines_[i].lastRow <= y; }),
                  active_.end());
    ++y;
  }
  lines_.clear();
  rules_.clear();
  style_ = 0;
  rule_ = FillRule::NonZero;
}

}  // namespace render
