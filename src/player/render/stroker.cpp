#include "player/render/stroker.h"

#include <algorithm>
#include <cmath>

#include "player/render/rasterizer.h"

namespace render {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Builds one closed contour point by point and hands its lines over.
class Contour {
 public:
  Contour(Rasterizer& out, const swf::Matrix* toPixels) : out_(out), toPixels_(toPixels) {}
  void moveTo(Point p) {
    close();
    first_ = last_ = p;
    open_ = true;
  }
  void lineTo(Point p) {
    line(last_, p);
    last_ = p;
  }
  void close() {
    if (open_) line(last_, first_);
    open_ = false;
  }

 private:
  void line(Point a, Point b) {
    if (toPixels_) {
      const swf::Matrix& m = *toPixels_;
      out_.addLine(m.mapX(a.x, a.y), m.mapY(a.x, a.y), m.mapX(b.x, b.y), m.mapY(b.x, b.y));
    } else {
      out_.addLine(a.x, a.y, b.x, b.y);
    }
  }

  Rasterizer& out_;
  const swf::Matrix* toPixels_;
  Point first_, last_;
  bool open_ = false;
};

Point add(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point sub(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point scale(Point a, double s) { return {a.x * s, a.y * s}; }
double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }

int arcSteps(double radius, double angle, double tolerance) {
  double step = 2 * std::acos(std::max(-1.0, 1 - tolerance / std::max(radius, tolerance)));
  if (!(step > 1e-3)) step = 1e-3;
  int n = static_cast<int>(std::ceil(std::fabs(angle) / step));
  return std::max(1, std::min(n, 256));
}

// Arc around `c` from offset `from` turning by `angle` radians.
void arc(Contour& k, Point c, Point from, double angle, double tolerance) {
  double r = std::hypot(from.x, from.y);
  double a0 = std::atan2(from.y, from.x);
  int n = arcSteps(r, angle, tolerance);
  for (int i = 1; i <= n; ++i) {
    double a = a0 + angle * i / n;
    k.lineTo({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
}

// Left offset (scaled to half width) of the direction a→b.
Point normalOf(Point a, Point b, double halfWidth) {
  Point d = sub(b, a);
  double len = std::hypot(d.x, d.y);
  return {-d.y / len * halfWidth, d.x / len * halfWidth};
}

// Join at `p` between the offset `a` of the incoming segment and `b` of the
// outgoing one, on one side of the stroke.
void join(Contour& k, Point p, Point a, Point b, Point dirIn, const StrokeStyle& s) {
  if (dot(b, dirIn) < -1e-12) {
    // Inner side: through the centre so the overlap fills, not cancels.
    k.lineTo(p);
    k.lineTo(add(p, b));
    return;
  }
  double hw = s.width / 2;
  switch (s.join) {
    case swf::Join::Round: {
      double angle = std::atan2(cross(a, b), dot(a, b));
      arc(k, p, a, angle, s.tolerance);
      break;
    }
    case swf::Join::Miter: {
      Point m = add(a, b);
      double len = std::hypot(m.x, m.y);
      if (len > 1e-12) {
        // |miter| / halfWidth = 1 / cos(θ/2); cos(θ/2) = |a+b| / (2·hw).
        double cosHalf = len / (2 * hw);
        if (cosHalf > 1e-9 && 1 / cosHalf <= s.miterLimit) {
          k.lineTo(add(p, scale(m, hw / (cosHalf * len))));
        }
      }
      k.lineTo(add(p, b));
      break;
    }
    case swf::Join::Bevel:
      k.lineTo(add(p, b));
      break;
  }
}

// Cap at end point `p` going from offset `n` round to `-n`, facing `dir`.
void cap(Contour& k, Point p, Point n, Point dir, swf::Cap c, const StrokeStyle& s) {
  double hw = s.width / 2;
  switch (c) {
    case swf::Cap::Round:
      arc(k, p, n, (cross(n, dir) > 0 ? 1 : -1) * kPi, s.tolerance);
      break;
    case swf::Cap::Square: {
      Point e = scale(dir, hw);
      k.lineTo(add(add(p, n), e));
      k.lineTo(add(sub(p, n), e));
      k.lineTo(sub(p, n));
      break;
    }
    case swf::Cap::None:
      k.lineTo(sub(p, n));
      break;
  }
}

Point unit(Point a, Point b) {
  Point d = sub(b, a);
  double len = std::hypot(d.x, d.y);
  return {d.x / len, d.y / len};
}

// One side of the stroke along pts[0..n-1] (with joins at inner points, and
// at every point when the path is closed).
void side(Contour& k, const std::vector<Point>& pts, bool closed, const StrokeStyle& s) {
  size_t n = pts.size();
  double hw = s.width / 2;
  size_t segments = closed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    Point a = pts[i], b = pts[(i + 1) % n];
    Point off = normalOf(a, b, hw);
    if (i == 0) {
      if (closed) {
        k.moveTo(add(a, off));
      } else {
        k.lineTo(add(a, off));
      }
    }
    k.lineTo(add(b, off));
    bool hasNext = closed || i + 1 < segments;
    if (hasNext) {
      Point c = pts[(i + 2) % n];
      join(k, b, off, normalOf(b, c, hw), unit(a, b), s);
    }
  }
}

}  // namespace

void strokePolyline(const std::vector<Point>& input, bool closed, const StrokeStyle& style,
                    Rasterizer& out) {
  // Drop repeated points: they have no direction.
  std::vector<Point> pts;
  pts.reserve(input.size());
  for (const Point& p : input) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    if (pts.empty() || std::fabs(p.x - pts.back().x) > 1e-9 || std::fabs(p.y - pts.back().y) > 1e-9)
      pts.push_back(p);
  }
  if (closed && pts.size() > 2 && std::fabs(pts.front().x - pts.back().x) < 1e-9 &&
      std::fabs(pts.front().y - pts.back().y) < 1e-9)
    pts.pop_back();
  if (pts.empty()) return;
  double hw = style.width / 2;
  Contour k(out, style.toPixels);
  if (pts.size() == 1) {
    // A dot: the caps meet.
    Point p = pts[0];
    if (style.startCap == swf::Cap::None) return;
    k.moveTo({p.x + hw, p.y});
    if (style.startCap == swf::Cap::Round) {
      arc(k, p, {hw, 0}, 2 * kPi, style.tolerance);
    } else {
      k.lineTo({p.x + hw, p.y + hw});
      k.lineTo({p.x - hw, p.y + hw});
      k.lineTo({p.x - hw, p.y - hw});
      k.lineTo({p.x + hw, p.y - hw});
    }
    k.close();
    return;
  }
  if (closed && pts.size() > 2) {
    side(k, pts, true, style);
    k.close();
    std::vector<Point> rev(pts.rbegin(), pts.rend());
    side(k, rev, true, style);
    k.close();
    return;
  }
  std::vector<Point> rev(pts.rbegin(), pts.rend());
  Point n0 = normalOf(pts[0], pts[1], hw);
  k.moveTo(add(pts[0], n0));
  side(k, pts, false, style);
  size_t last = pts.size() - 1;
  cap(k, pts[last], normalOf(pts[last - 1], pts[last], hw), unit(pts[last - 1], pts[last]),
      style.endCap, style);
  side(k, rev, false, style);
  cap(k, pts[0], normalOf(rev[last - 1], rev[last], hw), unit(rev[last - 1], rev[last]),
      style.startCap, style);
  k.close();
}

}  // namespace render
