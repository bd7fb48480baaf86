#include "art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace art {

namespace {

constexpr double kTwips = 20;
// Half the side of the SWF gradient square, in twips.
constexpr double kGradientHalf = 16384;

int32_t twips(double px) { return static_cast<int32_t>(std::lround(px * kTwips)); }

Pt lerp(Pt a, Pt b, double t) { return a + (b - a) * t; }

double length(Pt a) { return std::hypot(a.x, a.y); }

}  // namespace

Pt polar(Pt c, double r, double degrees) {
  double a = degrees * kPi / 180;
  return {c.x + r * std::cos(a), c.y + r * std::sin(a)};
}

Affine Affine::operator*(const Affine& f) const {
  Affine m;
  m.a = a * f.a + c * f.b;
  m.b = b * f.a + d * f.b;
  m.c = a * f.c + c * f.d;
  m.d = b * f.c + d * f.d;
  m.tx = a * f.tx + c * f.ty + tx;
  m.ty = b * f.tx + d * f.ty + ty;
  return m;
}

Affine Affine::translate(double x, double y) {
  Affine m;
  m.tx = x;
  m.ty = y;
  return m;
}

Affine Affine::rotate(double degrees) {
  double r = degrees * kPi / 180;
  Affine m;
  m.a = std::cos(r);
  m.b = std::sin(r);
  m.c = -m.b;
  m.d = m.a;
  return m;
}

Affine Affine::scale(double sx, double sy) {
  Affine m;
  m.a = sx;
  m.d = sy;
  return m;
}

swftest::Matrix Affine::toSwf() const {
  swftest::Matrix m;
  m.a = a;
  m.b = b;
  m.c = c;
  m.d = d;
  m.tx = twips(tx);
  m.ty = twips(ty);
  return m;
}

Affine at(double x, double y, double degrees, double sx, double sy) {
  return Affine::translate(x, y) * Affine::rotate(degrees) * Affine::scale(sx, sy);
}

// ---- Pen --------------------------------------------------------------------

Pen& Pen::moveTo(Pt p) {
  contours_.push_back(Contour{p, {}});
  current_ = p;
  return *this;
}

Pen& Pen::lineTo(Pt p) {
  if (contours_.empty()) moveTo(current_);
  contours_.back().segments.push_back(Segment{false, {}, p});
  current_ = p;
  return *this;
}

Pen& Pen::quadTo(Pt control, Pt p) {
  if (contours_.empty()) moveTo(current_);
  contours_.back().segments.push_back(Segment{true, control, p});
  current_ = p;
  return *this;
}

// Split into pieces short enough that one quadratic each follows the cubic
// within a fraction of a pixel.
Pen& Pen::cubicTo(Pt c1, Pt c2, Pt p) {
  Pt p0 = current_;
  double span = length(c1 - p0) + length(c2 - c1) + length(p - c2);
  int pieces = std::max(2, std::min(12, static_cast<int>(std::ceil(span / 25))));
  for (int i = 0; i < pieces; ++i) {
    double t0 = double(i) / pieces, t1 = double(i + 1) / pieces;
    auto at = [&](double t) {
      Pt a = lerp(p0, c1, t), b = lerp(c1, c2, t), c = lerp(c2, p, t);
      Pt d = lerp(a, b, t), e = lerp(b, c, t);
      return lerp(d, e, t);
    };
    auto tangent = [&](double t) {
      double u = 1 - t;
      return (c1 - p0) * (3 * u * u) + (c2 - c1) * (6 * u * t) + (p - c2) * (3 * t * t);
    };
    Pt s = at(t0), e = at(t1);
    Pt d0 = tangent(t0) * ((t1 - t0) / 3), d1 = tangent(t1) * ((t1 - t0) / 3);
    Pt q1 = s + d0, q2 = e - d1;
    Pt control = (q1 * 3 + q2 * 3 - s - e) * 0.25;
    quadTo(control, e);
  }
  current_ = p;
  return *this;
}

Pen& Pen::arcTo(Pt centre, double radius, double from, double to) {
  int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(to - from) / 45)));
  double step = (to - from) / pieces;
  for (int i = 0; i < pieces; ++i) {
    double a0 = from + i * step, a1 = a0 + step;
    double half = std::fabs(step) / 2 * kPi / 180;
    quadTo(polar(centre, radius / std::cos(half), (a0 + a1) / 2), polar(centre, radius, a1));
  }
  return *this;
}

// ---- Outlines -------------------------------------------------------------------

Outline segment(Pt a, Pt b) { return Pen().moveTo(a).lineTo(b).outline(); }

Outline curve(Pt a, Pt control, Pt b) { return Pen().moveTo(a).quadTo(control, b).outline(); }

Outline circle(Pt centre, double r) { return ellipse(centre, r, r); }

Outline ellipse(Pt centre, double rx, double ry) {
  Pen pen;
  pen.moveTo({centre.x + rx, centre.y});
  double half = kPi / 8;
  for (int i = 0; i < 8; ++i) {
    double mid = (2 * i + 1) * half, end = (2 * i + 2) * half;
    Pt control{centre.x + rx / std::cos(half) * std::cos(mid),
               centre.y + ry / std::cos(half) * std::sin(mid)};
    pen.quadTo(control, {centre.x + rx * std::cos(end), centre.y + ry * std::sin(end)});
  }
  return pen.outline();
}

Outline roundRect(double x0, double y0, double x1, double y1, double r) {
  r = std::min({r, (x1 - x0) / 2, (y1 - y0) / 2});
  Pen pen;
  pen.moveTo({x0 + r, y0}).lineTo({x1 - r, y0});
  pen.arcTo({x1 - r, y0 + r}, r, -90, 0).lineTo({x1, y1 - r});
  pen.arcTo({x1 - r, y1 - r}, r, 0, 90).lineTo({x0 + r, y1});
  pen.arcTo({x0 + r, y1 - r}, r, 90, 180).lineTo({x0, y0 + r});
  pen.arcTo({x0 + r, y0 + r}, r, 180, 270);
  return pen.outline();
}

Outline polygon(const std::vector<Pt>& points) {
  Pen pen;
  if (points.empty()) return {};
  pen.moveTo(points[0]);
  for (size_t i = 1; i < points.size(); ++i) pen.lineTo(points[i]);
  pen.lineTo(points[0]);
  return pen.outline();
}

Outline smooth(const std::vector<Pt>& p, bool closed) {
  size_t n = p.size();
  if (n < 2) return {};
  auto point = [&](long i) {
    if (closed) return p[static_cast<size_t>((i % long(n) + long(n)) % long(n))];
    return p[static_cast<size_t>(std::max(0L, std::min(i, long(n) - 1)))];
  };
  Pen pen;
  pen.moveTo(p[0]);
  long segments = closed ? long(n) : long(n) - 1;
  for (long i = 0; i < segments; ++i) {
    Pt a = point(i - 1), b = point(i), c = point(i + 1), d = point(i + 2);
    pen.cubicTo(b + (c - a) * (1.0 / 6), c - (d - b) * (1.0 / 6), c);
  }
  return pen.outline();
}

Outline ring(Pt centre, double outer, double inner) {
  return joined(circle(centre, outer), circle(centre, inner));
}

// A strip along a centre line, `widths` wide at its points, closing in a
// round end at the last point. Made of quadratic segments through the
// midpoints only, so two strips with as many points have the same segments
// (as morph shapes need).
Outline ribbon(const std::vector<Pt>& centre, const std::vector<double>& widths) {
  size_t n = centre.size();
  std::vector<Pt> left, right;
  for (size_t i = 0; i < n; ++i) {
    Pt d = centre[std::min(i + 1, n - 1)] - centre[i > 0 ? i - 1 : 0];
    double len = std::hypot(d.x, d.y);
    Pt normal{-d.y / len, d.x / len};
    left.push_back(centre[i] + normal * (widths[i] / 2));
    right.push_back(centre[i] - normal * (widths[i] / 2));
  }
  art::Pen pen;
  pen.moveTo(left[0]);
  for (size_t i = 1; i + 1 < n; ++i) pen.quadTo(left[i], (left[i] + left[i + 1]) * 0.5);
  pen.quadTo(left[n - 1], centre[n - 1] + (centre[n - 1] - centre[n - 2]) * 0.15);
  pen.quadTo(right[n - 1], (right[n - 1] + right[n - 2]) * 0.5);
  for (size_t i = n - 2; i >= 1; --i) pen.quadTo(right[i], (right[i] + right[i - 1]) * 0.5);
  pen.lineTo(right[0]).lineTo(left[0]);
  return pen.outline();
}

Outline transformed(const Outline& outline, const Affine& m) {
  Outline out = outline;
  for (Contour& c : out) {
    c.start = m.apply(c.start);
    for (Segment& s : c.segments) {
      s.control = m.apply(s.control);
      s.end = m.apply(s.end);
    }
  }
  return out;
}

Outline joined(Outline a, const Outline& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// ---- Paints ------------------------------------------------------------------------

Paint solid(uint32_t color) {
  Paint p;
  p.argb = color;
  return p;
}

Paint linear(Pt from, Pt to, std::vector<Stop> stops) {
  Paint p;
  p.kind = Paint::Linear;
  Pt d = to - from;
  double half = length(d) / 2;
  p.gradient = Affine::translate((from.x + to.x) / 2, (from.y + to.y) / 2) *
               Affine::rotate(std::atan2(d.y, d.x) * 180 / kPi) * Affine::scale(half);
  p.stops = std::move(stops);
  return p;
}

Paint radial(Pt centre, double r, std::vector<Stop> stops) {
  return radial(centre, r, r, 0, std::move(stops));
}

Paint radial(Pt centre, double rx, double ry, double degrees, std::vector<Stop> stops) {
  Paint p;
  p.kind = Paint::Radial;
  p.gradient =
      Affine::translate(centre.x, centre.y) * Affine::rotate(degrees) * Affine::scale(rx, ry);
  p.stops = std::move(stops);
  return p;
}

Shape groundShadow(Pt centre, double rx, double ry) {
  Shape shadow;
  shadow.fill(ellipse(centre, rx, ry),
              radial(centre, rx, ry, 0, {{0, 0x58000000}, {190, 0x28000000}, {255, 0x00000000}}));
  return shadow;
}

uint32_t mix(uint32_t from, uint32_t to, double t) {
  t = std::max(0.0, std::min(1.0, t));
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
    out |= uint32_t(std::lround(a + (b - a) * t)) << shift;
  }
  return out;
}

// ---- Shapes ------------------------------------------------------------------------

Shape& Shape::fill(const Outline& outline, const Paint& paint) {
  if (paint.stops.size() > 8) throw std::invalid_argument("a DefineShape3 gradient holds 8 stops");
  fills_.push_back({outline, paint});
  return *this;
}

// Strokes in a row of one width and colour share a line style: each style is
// a pass of its own over the picture when the shape is drawn.
Shape& Shape::stroke(const Outline& outline, double width, uint32_t color) {
  if (!strokes_.empty() && strokes_.back().width == width && strokes_.back().argb == color) {
    strokes_.back().outline = joined(strokes_.back().outline, outline);
    return *this;
  }
  strokes_.push_back({outline, width, color});
  return *this;
}

namespace {

struct Bounds {
  double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
  void add(Pt p, double grow) {
    x0 = std::min(x0, p.x - grow);
    y0 = std::min(y0, p.y - grow);
    x1 = std::max(x1, p.x + grow);
    y1 = std::max(y1, p.y + grow);
  }
  void add(const Outline& o, double grow) {
    for (const Contour& c : o) {
      add(c.start, grow);
      for (const Segment& s : c.segments) {
        if (s.curve) add(s.control, grow);
        add(s.end, grow);
      }
    }
  }
};

void trace(swftest::Path& path, const Outline& outline, bool close) {
  for (const Contour& c : outline) {
    int32_t sx = twips(c.start.x), sy = twips(c.start.y);
    path.moveTo(sx, sy);
    int32_t x = sx, y = sy;
    for (const Segment& s : c.segments) {
      int32_t ex = twips(s.end.x), ey = twips(s.end.y);
      if (s.curve) {
        path.curveTo(twips(s.control.x), twips(s.control.y), ex, ey);
      } else if (ex != x || ey != y) {
        path.lineTo(ex, ey);
      }
      x = ex;
      y = ey;
    }
    if (close && (x != sx || y != sy)) path.lineTo(sx, sy);
  }
}

}  // namespace

swftest::Matrix gradientMatrix(const Paint& paint) {
  Affine m = paint.gradient;
  double k = kTwips / kGradientHalf;
  m.a *= k;
  m.b *= k;
  m.c *= k;
  m.d *= k;
  return m.toSwf();
}

swftest::Path morphPath(const Outline& outline, bool withFill) {
  swftest::Path path;
  if (withFill) path.fill0(0).fill1(1);
  trace(path, outline, true);
  return path;
}

TwipBounds bounds(const Outline& outline, double grow) {
  Bounds b;
  b.add(outline, grow);
  return {twips(b.x0) - 1, twips(b.x1) + 1, twips(b.y0) - 1, twips(b.y1) + 1};
}

Bytes Shape::body(uint16_t id) const {
  swftest::ShapeBuilder builder(3);
  swftest::Path path;
  Bounds extent;
  for (const Filled& f : fills_) {
    int style;
    if (f.paint.kind == Paint::Solid) {
      style = builder.solidFill(f.paint.argb);
    } else {
      std::vector<std::pair<int, uint32_t>> stops;
      for (const Stop& s : f.paint.stops) stops.emplace_back(s.ratio, s.argb);
      style = builder.gradientFill(f.paint.kind == Paint::Linear ? 0x10 : 0x12,
                                   gradientMatrix(f.paint), 0, stops);
    }
    path.fill0(0).fill1(style).line(0);
    trace(path, f.outline, true);
    extent.add(f.outline, 0);
  }
  for (const Stroked& s : strokes_) {
    int style = builder.lineStyle(std::max(1, twips(s.width)), s.argb);
    path.fill0(0).fill1(0).line(style);
    trace(path, s.outline, false);
    extent.add(s.outline, s.width / 2);
  }
  return builder.build(id, twips(extent.x0) - 1, twips(extent.x1) + 1, twips(extent.y0) - 1,
                       twips(extent.y1) + 1, path);
}

}  // namespace art
