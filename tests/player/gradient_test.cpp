// Gradient colours: the 256-entry table built from the stops and how a
// position is read from it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "player/render/paint.h"

namespace {

swf::Gradient twoStops(uint8_t r0, uint8_t v0, uint8_t r1, uint8_t v1) {
  swf::Gradient g;
  swf::GradientStop a, b;
  a.ratio = r0;
  a.color = swf::Rgba{v0, 0, 0, 255};
  b.ratio = r1;
  b.color = swf::Rgba{v1, 0, 0, 255};
  g.stops = {a, b};
  return g;
}

int red(uint32_t p) { return (p >> 16) & 0xFF; }

}  // namespace

TEST(GradientTable, EntryIIsTheColourAtRatioITruncated) {
  uint32_t table[256];
  render::buildGradientTable(twoStops(0, 0, 3, 10), swf::ColorTransform(), table);
  EXPECT_EQ(0, red(table[0]));
  EXPECT_EQ(3, red(table[1]));   // 3.33
  EXPECT_EQ(6, red(table[2]));   // 6.67, not rounded up
  EXPECT_EQ(10, red(table[3]));
  EXPECT_EQ(10, red(table[255]));  // held past the last stop
  // Before the first stop the first colour holds; a colour transform applies
  // to the stops (here alpha halved: premultiplied entries).
  swf::ColorTransform half;
  half.aMul = 0.5;
  render::buildGradientTable(twoStops(100, 200, 200, 0), half, table);
  EXPECT_EQ(0x7F640000u, table[0]);  // 200 at alpha 127
  EXPECT_EQ(0x7F000000u, table[255]);
}

TEST(GradientTable, StopsOutOfOrderStepAtTheEarlierRatio) {
  swf::Gradient g = twoStops(0, 0, 200, 200);
  swf::GradientStop late;
  late.ratio = 100;  // before the previous stop
  late.color = swf::Rgba{50, 0, 0, 255};
  g.stops.push_back(late);
  uint32_t table[256];
  render::buildGradientTable(g, swf::ColorTransform(), table);
  EXPECT_EQ(199, red(table[199]));
  EXPECT_EQ(50, red(table[200]));
  EXPECT_EQ(50, red(table[255]));
}

TEST(GradientTable, PositionsReadBetweenEntriesAndSpreadBeyondTheEnds) {
  uint32_t table[256];
  render::buildGradientTable(twoStops(0, 0, 255, 255), swf::ColorTransform(), table);
  using swf::Spread;
  // Entry i is met exactly at its texel centre, (i + 0.5) / 256; halfway
  // between two centres the two entries mix.
  EXPECT_EQ(table[10], render::gradientColor(table, Spread::Pad, 10.5 / 256));
  EXPECT_EQ(0xFF0B0000u, render::gradientColor(table, Spread::Pad, 11.0 / 256));  // 10.5 rounds up
  EXPECT_EQ(table[0], render::gradientColor(table, Spread::Pad, 0));
  EXPECT_EQ(table[255], render::gradientColor(table, Spread::Pad, 1));
  EXPECT_EQ(table[0], render::gradientColor(table, Spread::Pad, -3));
  EXPECT_EQ(table[255], render::gradientColor(table, Spread::Pad, 7));
  EXPECT_EQ(render::gradientColor(table, Spread::Pad, 0.25), render::gradientColor(table, Spread::Repeat, 1.25));
  EXPECT_EQ(render::gradientColor(table, Spread::Pad, 0.25), render::gradientColor(table, Spread::Repeat, -0.75));
  EXPECT_EQ(render::gradientColor(table, Spread::Pad, 0.75), render::gradientColor(table, Spread::Reflect, 1.25));
  EXPECT_EQ(render::gradientColor(table, Spread::Pad, 0.75), render::gradientColor(table, Spread::Reflect, -0.75));
  // Garbage positions still read a colour of the table.
  EXPECT_EQ(0xFFu, render::gradientColor(table, Spread::Reflect, std::nan("")) >> 24);
  EXPECT_EQ(0xFFu, render::gradientColor(table, Spread::Repeat, -1e300) >> 24);
}
