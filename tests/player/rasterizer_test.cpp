#include <gtest/gtest.h>

#include <vector>

#include "player/render/rasterizer.h"
#include "player/render/stroker.h"

using render::FillRule;
using render::Rasterizer;

namespace {

// Collects the coverage of a sweep into a picture of bytes.
class Grid : public render::SpanSink {
 public:
  Grid(int w, int h) : w_(w), cells_(size_t(w) * h, 0) {}
  void span(int y, int, int x0, int x1, const uint8_t* c) override {
    for (int x = x0; x < x1; ++x) cells_[size_t(y) * w_ + x] = c[x - x0];
  }
  void sharedSpan(int y, int, int x0, int x1, const float* c) override {
    for (int x = x0; x < x1; ++x) cells_[size_t(y) * w_ + x] += static_cast<uint8_t>(c[x - x0] * 255 + 0.5f);
  }
  void endRow(int) override {}
  int at(int x, int y) const { return cells_[size_t(y) * w_ + x]; }
  double total() const {
    double t = 0;
    for (uint8_t c : cells_) t += c / 255.0;
    return t;
  }

 private:
  int w_;
  std::vector<uint8_t> cells_;
};

void polygon(Rasterizer& r, std::initializer_list<std::pair<double, double>> pts) {
  std::vector<std::pair<double, double>> p(pts);
  for (size_t i = 0; i < p.size(); ++i) {
    auto a = p[i], b = p[(i + 1) % p.size()];
    r.addLine(a.first, a.second, b.first, b.second);
  }
}

}  // namespace

TEST(Rasterizer, PixelAlignedSquareIsExactlyCovered) {
  Rasterizer r;
  r.reset(8, 8, true);
  polygon(r, {{2, 2}, {6, 2}, {6, 5}, {2, 5}});
  Grid g(8, 8);
  r.sweep(g);
  EXPECT_EQ(255, g.at(2, 2));
  EXPECT_EQ(255, g.at(5, 4));
  EXPECT_EQ(0, g.at(6, 4));
  EXPECT_EQ(0, g.at(1, 3));
  EXPECT_EQ(0, g.at(3, 5));
  EXPECT_DOUBLE_EQ(12, g.total());
}

TEST(Rasterizer, EdgesThroughPixelsGiveTheirAreaShare) {
  Rasterizer r;
  r.reset(8, 8, true);
  polygon(r, {{1.5, 1}, {4.25, 1}, {4.25, 3}, {1.5, 3}});
  Grid g(8, 8);
  r.sweep(g);
  EXPECT_EQ(128, g.at(1, 1));  // half the pixel
  EXPECT_EQ(64, g.at(4, 2));   // a quarter
  EXPECT_EQ(255, g.at(2, 2));
  // A triangle's coverage adds up to its area.
  r.reset(16, 16, true);
  polygon(r, {{1.3, 0.7}, {14.1, 3.9}, {5.2, 12.6}});
  Grid t(16, 16);
  r.sweep(t);
  double area = 0.5 * std::abs((14.1 - 1.3) * (12.6 - 0.7) - (5.2 - 1.3) * (3.9 - 0.7));
  EXPECT_NEAR(area, t.total(), 0.05);
}

TEST(Rasterizer, NonZeroFillsNestedSameWayLoopsEvenOddCutsAHole) {
  Rasterizer r;
  Grid nonZero(10, 10), evenOdd(10, 10);
  for (FillRule rule : {FillRule::NonZero, FillRule::EvenOdd}) {
    r.reset(10, 10, true);
    r.setStyle(0, rule);
    polygon(r, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    polygon(r, {{3, 3}, {7, 3}, {7, 7}, {3, 7}});
    r.sweep(rule == FillRule::NonZero ? static_cast<render::SpanSink&>(nonZero) : evenOdd);
  }
  EXPECT_EQ(255, nonZero.at(5, 5));
  EXPECT_EQ(0, evenOdd.at(5, 5));
  EXPECT_EQ(255, evenOdd.at(1, 1));
}

TEST(Rasterizer, ShapesReachingPastBothSidesStayFilled) {
  Rasterizer r;
  r.reset(10, 4, true);
  r.setStyle(0, FillRule::EvenOdd);
  polygon(r, {{-5, 0}, {15, 0}, {15, 4}, {-5, 4}});
  Grid g(10, 4);
  r.sweep(g);
  EXPECT_EQ(255, g.at(0, 1));
  EXPECT_EQ(255, g.at(9, 1));
  EXPECT_DOUBLE_EQ(40, g.total());
}

TEST(Rasterizer, AliasedModeTakesPixelsWhoseCentreIsInside) {
  Rasterizer r;
  r.reset(8, 8, false);
  polygon(r, {{1.4, 1.6}, {4.6, 1.6}, {4.6, 3.4}, {1.4, 3.4}});
  Grid g(8, 8);
  r.sweep(g);
  EXPECT_EQ(255, g.at(1, 2));  // centre (1.5, 2.5) inside
  EXPECT_EQ(255, g.at(4, 2));
  EXPECT_EQ(0, g.at(1, 1));  // centre y 1.5 above the top
  EXPECT_EQ(0, g.at(5, 2));
  EXPECT_DOUBLE_EQ(4, g.total());
}

TEST(Stroker, ClosedSquareStrokeIsARingAndButtCapsStopAtTheEnds) {
  Rasterizer r;
  r.reset(20, 20, true);
  render::StrokeStyle s;
  s.width = 2;
  s.join = swf::Join::Miter;
  render::strokePolyline({{5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}}, true, s, r);
  Grid ring(20, 20);
  r.sweep(ring);
  EXPECT_EQ(255, ring.at(4, 4));  // mitred corner
  EXPECT_EQ(255, ring.at(10, 5));
  EXPECT_EQ(0, ring.at(10, 10));  // the hole stays empty
  EXPECT_EQ(0, ring.at(10, 2));
  EXPECT_NEAR(12 * 12 - 8 * 8, ring.total(), 0.01);

  r.reset(20, 20, true);
  s.startCap = s.endCap = swf::Cap::None;
  render::strokePolyline({{5, 10}, {15, 10}}, false, s, r);
  Grid line(20, 20);
  r.sweep(line);
  EXPECT_NEAR(20, line.total(), 0.01);
  EXPECT_EQ(0, line.at(4, 10));
  EXPECT_EQ(255, line.at(5, 9));
}

TEST(Rasterizer, AliasedNeighboursSharingAnEdgeThroughCentresNeitherOverlapNorLeaveGaps) {
  // A square cut along its diagonal, which passes exactly through the
  // centres of the pixels on it; and a vertical cut at x = 3.5, through the
  // centres of column 3. Every pixel belongs to exactly one half.
  Rasterizer r;
  for (int cut = 0; cut < 2; ++cut) {
    Grid a(8, 8), b(8, 8);
    r.reset(8, 8, false);
    if (cut == 0) {
      polygon(r, {{0.5, 0.5}, {7.5, 0.5}, {7.5, 7.5}});
    } else {
      polygon(r, {{0.5, 0.5}, {3.5, 0.5}, {3.5, 7.5}, {0.5, 7.5}});
    }
    r.sweep(a);
    r.reset(8, 8, false);
    if (cut == 0) {
      polygon(r, {{0.5, 0.5}, {7.5, 7.5}, {0.5, 7.5}});
    } else {
      polygon(r, {{3.5, 0.5}, {7.5, 0.5}, {7.5, 7.5}, {3.5, 7.5}});
    }
    r.sweep(b);
    // Centres on the outline's top and left edges are in, on its bottom and
    // right edges out; inside, each centre is in exactly one half.
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(x < 7 && y < 7 ? 255 : 0, a.at(x, y) + b.at(x, y)) << cut << ": " << x << "," << y;
      }
    }
    // The centre on the cut goes to the part on its right (a left edge).
    if (cut == 1) {
      EXPECT_EQ(255, b.at(3, 4));
    }
  }
}
