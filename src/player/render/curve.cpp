#include "player/render/curve.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Every quadratic is an affine image of a piece of the parabola y = x².
// The number of segments a piece of that parabola needs for a given error
// grows with the integral of the square root of its curvature; these two
// closed forms approximate that integral and its inverse closely enough to
// place the points (R. Levien, "Flattening quadratic Béziers", 2019).
double parabolaIntegral(double x) {
  constexpr double kD = 0.67;
  return x / (1 - kD + std::sqrt(std::sqrt(kD * kD * kD * kD + 0.25 * x * x)));
}

double parabolaIntegralInverse(double x) {
  constexpr double kB = 0.39;
  return x * (1 - kB + std::sqrt(kB * kB + 0.25 * x * x));
}

Point at(Point p0, Point c, Point p1, double t) {
  double u = 1 - t;
  return {u * u * p0.x + 2 * u * t * c.x + t * t * p1.x, u * u * p0.y + 2 * u * t * c.y + t * t * p1.y};
}

constexpr int kMaxSegments = 1000;

}  // namespace

void flattenQuadratic(Point p0, Point c, Point p1, double tolerance, std::vector<Point>* out) {
  double ddx = 2 * c.x - p0.x - p1.x, ddy = 2 * c.y - p0.y - p1.y;
  double cross = (p1.x - p0.x) * ddy - (p1.y - p0.y) * ddx;
  double dd = std::hypot(ddx, ddy);
  // Where the piece starts and ends on the standard parabola, and how much
  // the affine map scales it.
  double x0 = ((c.x - p0.x) * ddx + (c.y - p0.y) * ddy) / cross;
  double x1 = ((p1.x - c.x) * ddx + (p1.y - c.y) * ddy) / cross;
  double scale = std::fabs(cross) / (dd * std::fabs(x1 - x0));
  if (!(tolerance > 0) || !std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(scale) ||
      std::fabs(cross) < 1e-9 * std::max(1.0, dd * dd)) {
    // Straight, or folded back on itself along a line: the control point's
    // extreme is the only point besides the ends that matters.
    if (dd > 1e-12) {
      double t = ((p0.x - c.x) * (p0.x - 2 * c.x + p1.x) + (p0.y - c.y) * (p0.y - 2 * c.y + p1.y)) / (dd * dd);
      if (t > 0 && t < 1) out->push_back(at(p0, c, p1, t));
    }
    out->push_back(p1);
    return;
  }
  // Close enough to its chord already: one segment. (The curve strays
  // from its chord by half the control point's distance from it.)
  double chord = std::hypot(p1.x - p0.x, p1.y - p0.y);
  if (std::fabs((c.x - p0.x) * (p1.y - p0.y) - (c.y - p0.y) * (p1.x - p0.x)) <= 2 * tolerance * chord) {
    out->push_back(p1);
    return;
  }
  double a0 = parabolaIntegral(x0), a1 = parabolaIntegral(x1);
  double count = 0.5 * std::fabs(a1 - a0) * std::sqrt(scale / tolerance);
  int n = count < kMaxSegments ? std::max(1, static_cast<int>(std::ceil(count))) : kMaxSegments;
  double u0 = parabolaIntegralInverse(a0), u1 = parabolaIntegralInverse(a1);
  for (int i = 1; i < n; ++i) {
    double u = parabolaIntegralInverse(a0 + (a1 - a0) * i / n);
    out->push_back(at(p0, c, p1, (u - u0) / (u1 - u0)));
  }
  out->push_back(p1);
}

}  // namespace render
