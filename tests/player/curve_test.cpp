// Curve flattening: the polyline stays within the tolerance of the curve,
// without spending more segments than the curve needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "player/render/curve.h"

using render::Point;

namespace {

Point at(Point p0, Point c, Point p1, double t) {
  double u = 1 - t;
  return {u * u * p0.x + 2 * u * t * c.x + t * t * p1.x, u * u * p0.y + 2 * u * t * c.y + t * t * p1.y};
}

double distanceToSegment(Point p, Point a, Point b) {
  double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::max(0.0, std::min(1.0, ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2)) : 0;
  return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Largest distance from a point of the curve to the polyline.
double largestError(Point p0, Point c, Point p1, const std::vector<Point>& line) {
  double worst = 0;
  for (int i = 0; i <= 2000; ++i) {
    Point p = at(p0, c, p1, i / 2000.0);
    double best = 1e300;
    for (size_t k = 1; k < line.size(); ++k) best = std::min(best, distanceToSegment(p, line[k - 1], line[k]));
    worst = std::max(worst, best);
  }
  return worst;
}

}  // namespace

TEST(Curve, FlattenedCurvesStayWithinTheToleranceAndEndAtTheEndPoint) {
  struct Case {
    Point p0, c, p1;
  } cases[] = {
      {{0, 0}, {50, 100}, {100, 0}},       // symmetric arch
      {{0, 0}, {100, 0}, {100, 100}},      // quarter turn
      {{0, 0}, {400, 3}, {2, 1}},          // almost folded back: a sharp tip
      {{10, 10}, {11, 10.05}, {12, 10}},   // tiny
      {{0, 0}, {30, 30}, {60, 60}},        // straight, control on the chord
      {{0, 0}, {-50, 0}, {100, 0}},        // straight but running back past the start
  };
  for (double tolerance : {0.1, 0.5}) {
    for (const Case& k : cases) {
      std::vector<Point> line{k.p0};
      render::flattenQuadratic(k.p0, k.c, k.p1, tolerance, &line);
      EXPECT_EQ(k.p1.x, line.back().x);
      EXPECT_EQ(k.p1.y, line.back().y);
      EXPECT_LE(largestError(k.p0, k.c, k.p1, line), tolerance * 1.05)
          << tolerance << " (" << k.c.x << "," << k.c.y << ") in " << line.size() - 1 << " segments";
    }
  }
}

TEST(Curve, SegmentsGatherWhereTheCurveTurns) {
  // A long flat curve with a sharp tip needs far fewer segments than evenly
  // spaced ones would for the same error, and a curve within the tolerance
  // of its chord is a single segment.
  Point p0{0, 0}, c{400, 3}, p1{2, 1};
  std::vector<Point> line{p0};
  render::flattenQuadratic(p0, c, p1, 0.1, &line);
  size_t adaptive = line.size() - 1;
  // Even steps: the chord error is |p0 − 2c + p1| / (4n²).
  double dd = std::hypot(p0.x - 2 * c.x + p1.x, p0.y - 2 * c.y + p1.y);
  double even = std::ceil(std::sqrt(dd / (4 * 0.1)));
  EXPECT_LT(adaptive * 2, even);

  std::vector<Point> flat{{0, 0}};
  render::flattenQuadratic({0, 0}, {50, 0.39}, {100, 0}, 0.2, &flat);  // strays 0.195
  EXPECT_EQ(2u, flat.size());
  std::vector<Point> bent{{0, 0}};
  render::flattenQuadratic({0, 0}, {50, 0.41}, {100, 0}, 0.2, &bent);  // strays 0.205
  EXPECT_EQ(3u, bent.size());
}
