#include "ui/round_rect_path.h"

#include <cmath>

#include <gtest/gtest.h>

namespace ql {
namespace {

struct Point {
  float x, y;
};

Point arcPoint(const PathArc& arc, float degrees) {
  const float pi = 3.14159265358979f;
  float radians = degrees * pi / 180.0f;
  return {arc.x + arc.width / 2 + arc.width / 2 * std::cos(radians),
          arc.y + arc.height / 2 + arc.height / 2 * std::sin(radians)};
}

TEST(RoundRectPath, FourCornerArcsClockwiseFromTopRightInsideTheShrunkRectangle) {
  RoundRectPath path = roundRectPath(10, 20, 101, 51, 8);
  ASSERT_TRUE(path.rounded);
  EXPECT_FLOAT_EQ(path.width, 100);
  EXPECT_FLOAT_EQ(path.height, 50);

  const float starts[4] = {270, 0, 90, 180};
  const float lefts[4] = {102, 102, 10, 10};  // 10 + 100 - 8 on the right
  const float tops[4] = {20, 62, 62, 20};     // 20 + 50 - 8 at the bottom
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FLOAT_EQ(path.arcs[i].startAngle, starts[i]);
    EXPECT_FLOAT_EQ(path.arcs[i].sweepAngle, 90);
    EXPECT_FLOAT_EQ(path.arcs[i].width, 8);
    EXPECT_FLOAT_EQ(path.arcs[i].height, 8);
    EXPECT_FLOAT_EQ(path.arcs[i].x, lefts[i]);
    EXPECT_FLOAT_EQ(path.arcs[i].y, tops[i]);
  }
}

TEST(RoundRectPath, ArcsMeetTheEdgesOfTheShrunkRectangleSoTheJoinsAreStraight) {
  RoundRectPath path = roundRectPath(0, 0, 41, 31, 10);
  ASSERT_TRUE(path.rounded);
  const float right = 40, bottom = 30;
  // Each arc ends where the next edge starts, and that edge runs along one
  // side of the rectangle to the next arc's start.
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const PathArc& arc = path.arcs[i];
    const PathArc& next = path.arcs[(i + 1) % 4];
    Point end = arcPoint(arc, arc.startAngle + arc.sweepAngle);
    Point start = arcPoint(next, next.startAngle);
    bool vertical = std::fabs(end.x - start.x) < 1e-3f;
    bool horizontal = std::fabs(end.y - start.y) < 1e-3f;
    EXPECT_TRUE(vertical || horizontal);
    bool onSide = (vertical && (std::fabs(end.x) < 1e-3f || std::fabs(end.x - right) < 1e-3f)) ||
                  (horizontal && (std::fabs(end.y) < 1e-3f || std::fabs(end.y - bottom) < 1e-3f));
    EXPECT_TRUE(onSide) << end.x << "," << end.y;
  }
  // The first arc starts at the top edge.
  Point first = arcPoint(path.arcs[0], 270);
  EXPECT_NEAR(first.y, 0, 1e-3f);
  EXPECT_NEAR(first.x, right - 5, 1e-3f);
}

TEST(RoundRectPath, OversizedCornersShrinkAndDegenerateShapesFallBackToARectangle) {
  RoundRectPath wide = roundRectPath(0, 0, 21, 11, 40);
  ASSERT_TRUE(wide.rounded);
  EXPECT_FLOAT_EQ(wide.arcs[0].width, 10);  // no taller than the rectangle
  EXPECT_FLOAT_EQ(wide.arcs[1].y, 0);

  EXPECT_FALSE(roundRectPath(0, 0, 20, 20, 0).rounded);
  EXPECT_FALSE(roundRectPath(0, 0, 1, 20, 6).rounded);
  RoundRectPath flat = roundRectPath(3, 4, 20, 10, 0);
  EXPECT_FLOAT_EQ(flat.x, 3);
  EXPECT_FLOAT_EQ(flat.width, 19);
  EXPECT_FLOAT_EQ(flat.height, 9);
}

}  // namespace
}  // namespace ql
