// Filters on a layer: the blur box (size, partial outer pixels, passes,
// truncation, edges) and drop shadows in their outer, inner, knockout and
// hidden-object forms and strengths.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "player/render/filters.h"
#include "player/swf/bit_reader.h"
#include "swf_builder.h"

using render::Box;

namespace {

struct Layer {
  int w, h;
  std::vector<uint32_t> px;
  Box drawn;
  Layer(int width, int height) : w(width), h(height), px(size_t(width) * height, 0) {}
  uint32_t& at(int x, int y) { return px[size_t(y) * w + x]; }
  void put(int x, int y, uint32_t p) {
    at(x, y) = p;
    drawn.add(x, y, x + 1, y + 1);
  }
};

int alpha(uint32_t p) { return p >> 24; }

}  // namespace

TEST(Blur, BoxIsBlurMinusOnePixelsAcrossScaledWithTheStage) {
  // Radii in 1/256 pixel: a blur b covers b − 1 pixels beside the centre.
  EXPECT_EQ(9 * 256, render::blurRadius(10, 2));       // box of 19 on a stage drawn twice as large
  EXPECT_EQ(14 * 256 + 128, render::blurRadius(30, 1));  // 14 pixels and half of the next
  EXPECT_EQ(0, render::blurRadius(1, 3));
  EXPECT_EQ(0, render::blurRadius(0, 1));
  EXPECT_EQ(127 * 256, render::blurRadius(1000, 1));  // Flash stops at 255
}

TEST(Blur, MeansAreTruncatedOuterPixelsCountInPartAndPassesRepeat) {
  render::FilterScratch scratch;
  Layer one(9, 1);
  one.put(4, 0, 0xFFFFFFFF);
  render::boxBlur(one.px.data(), 9, 1, 256, 0, 1, &one.drawn, &scratch);
  EXPECT_EQ(0x55555555u, one.at(3, 0));  // 255 / 3 = 85
  EXPECT_EQ(0x55555555u, one.at(5, 0));
  EXPECT_EQ(0u, one.at(2, 0));
  EXPECT_EQ(3, one.drawn.x0);
  EXPECT_EQ(6, one.drawn.x1);

  Layer half(9, 1);
  half.put(4, 0, 0xFF000000);
  render::boxBlur(half.px.data(), 9, 1, 384, 0, 1, &half.drawn, &scratch);  // weights ½ 1 1 1 ½ of 4
  EXPECT_EQ(63, alpha(half.at(4, 0)));  // 63.75
  EXPECT_EQ(63, alpha(half.at(3, 0)));
  EXPECT_EQ(31, alpha(half.at(2, 0)));  // 31.875
  EXPECT_EQ(0, alpha(half.at(1, 0)));

  Layer twice(9, 1);
  twice.put(4, 0, 0xFF000000);
  render::boxBlur(twice.px.data(), 9, 1, 256, 0, 2, &twice.drawn, &scratch);  // 1 2 3 2 1, truncated twice
  EXPECT_EQ(85, alpha(twice.at(4, 0)));
  EXPECT_EQ(56, alpha(twice.at(3, 0)));
  EXPECT_EQ(28, alpha(twice.at(2, 0)));

  // Both ways at once; and nothing comes back in from beyond the edge.
  Layer corner(5, 5);
  corner.put(0, 0, 0xFF000000);
  render::boxBlur(corner.px.data(), 5, 5, 256, 256, 1, &corner.drawn, &scratch);
  EXPECT_EQ(28, alpha(corner.at(0, 0)));  // 85 / 3
  EXPECT_EQ(28, alpha(corner.at(1, 1)));
  EXPECT_EQ(0, alpha(corner.at(2, 0)));
}

TEST(DropShadow, OuterInnerKnockoutAndHiddenObject) {
  auto square = [] {
    Layer l(12, 6);
    for (int y = 2; y < 4; ++y)
      for (int x = 2; x < 4; ++x) l.put(x, y, 0xFFFF0000);  // opaque red, 2 × 2
    return l;
  };
  render::FilterScratch scratch;
  swf::Filter f;
  f.kind = swf::Filter::Kind::DropShadow;
  f.color = swf::Rgba{0, 0, 255, 255};
  f.distance = 3;  // to the right, no blur

  Layer outer = square();
  render::applyFilter(f, 1, outer.px.data(), outer.w, outer.h, &outer.drawn, &scratch);
  EXPECT_EQ(0xFFFF0000u, outer.at(2, 2));  // the object over its shadow
  EXPECT_EQ(0xFF0000FFu, outer.at(5, 2));
  EXPECT_EQ(0xFF0000FFu, outer.at(6, 3));
  EXPECT_EQ(0u, outer.at(4, 2));
  EXPECT_EQ(0u, outer.at(7, 2));
  EXPECT_EQ(7, outer.drawn.x1);

  f.strength = 0.5;
  Layer weak = square();
  render::applyFilter(f, 1, weak.px.data(), weak.w, weak.h, &weak.drawn, &scratch);
  EXPECT_EQ(0x80000080u, weak.at(5, 2));  // 255 · 0.5 rounded
  // Strength beyond 1 makes the shadow more opaque, never brighter than its
  // colour: an opaque purple stays that purple, a half-clear one fills in.
  f.strength = 2;
  f.color = swf::Rgba{0xCC, 0, 0xCC, 255};
  Layer strong = square();
  render::applyFilter(f, 1, strong.px.data(), strong.w, strong.h, &strong.drawn, &scratch);
  EXPECT_EQ(0xFFCC00CCu, strong.at(5, 2));
  f.color = swf::Rgba{0xCC, 0, 0xCC, 128};
  Layer filled = square();
  render::applyFilter(f, 1, filled.px.data(), filled.w, filled.h, &filled.drawn, &scratch);
  EXPECT_EQ(0xFFCB00CBu, filled.at(5, 2));  // a step lost to the half-clear colour's rounding
  f.color = swf::Rgba{0, 0, 255, 255};
  f.strength = 1;

  f.distance = 1;
  f.knockout = true;
  Layer knockout = square();
  render::applyFilter(f, 1, knockout.px.data(), knockout.w, knockout.h, &knockout.drawn, &scratch);
  EXPECT_EQ(0u, knockout.at(2, 2));  // neither the object nor the shadow under it
  EXPECT_EQ(0u, knockout.at(3, 2));
  EXPECT_EQ(0xFF0000FFu, knockout.at(4, 2));
  f.knockout = false;

  f.hideObject = true;
  Layer hidden = square();
  render::applyFilter(f, 1, hidden.px.data(), hidden.w, hidden.h, &hidden.drawn, &scratch);
  EXPECT_EQ(0u, hidden.at(2, 2));
  EXPECT_EQ(0xFF0000FFu, hidden.at(3, 2));
  f.hideObject = false;

  // Inside: what the object leaves uncovered, moved in, only on the object.
  f.inner = true;
  Layer inner = square();
  render::applyFilter(f, 1, inner.px.data(), inner.w, inner.h, &inner.drawn, &scratch);
  EXPECT_EQ(0xFF0000FFu, inner.at(2, 2));  // the left column, shadowed from outside
  EXPECT_EQ(0xFFFF0000u, inner.at(3, 2));
  EXPECT_EQ(0u, inner.at(1, 2));
  EXPECT_EQ(0u, inner.at(4, 2));

  // A shadow thrown out of the layer altogether leaves just the object.
  f.inner = false;
  for (double distance : {10.0, 40.0, -40.0, 1e6}) {
    f.distance = distance;
    Layer far = square();
    render::applyFilter(f, 1, far.px.data(), far.w, far.h, &far.drawn, &scratch);
    EXPECT_EQ(0xFFFF0000u, far.at(2, 2));
    EXPECT_EQ(2, far.drawn.x0);
    EXPECT_EQ(4, far.drawn.x1);
  }

  // The scratch picture is left clear for the next filter.
  for (uint32_t p : scratch.pixels) ASSERT_EQ(0u, p);
}

TEST(DropShadow, ReachCoversBlurAndDistance) {
  swf::Filter blur;
  blur.blurX = blur.blurY = 11;  // 5 pixels either side
  blur.passes = 2;
  swf::Filter shadow;
  shadow.kind = swf::Filter::Kind::DropShadow;
  shadow.distance = -4;
  EXPECT_EQ(11 + 5, render::filterReach({blur, shadow}, 1));
  EXPECT_EQ(21 + 9, render::filterReach({blur, shadow}, 2));
}

TEST(ColorMatrix, WorksOnStraightColourAndKeepsToTheDrawnPart) {
  Layer l(4, 1);
  l.put(1, 0, 0x80800000);  // half-transparent red, premultiplied
  swf::Filter f;
  f.kind = swf::Filter::Kind::ColorMatrix;
  // Red and blue swapped, alpha doubled, 10 added to green.
  f.matrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 10, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0};
  render::FilterScratch scratch;
  render::applyFilter(f, 1, l.px.data(), l.w, l.h, &l.drawn, &scratch);
  EXPECT_EQ(0xFF000AFFu, l.at(1, 0));
  EXPECT_EQ(0u, l.at(0, 0));
}

TEST(Convolution, WeighsNeighboursClampsOrUsesTheEdgeColourAndMayKeepAlpha) {
  render::FilterScratch scratch;
  swf::Filter f;
  f.kind = swf::Filter::Kind::Convolution;
  f.matrixX = 3;
  f.matrixY = 1;
  f.matrix = {1, 1, 1};
  f.divisor = 3;
  Layer spread(5, 1);
  spread.put(2, 0, 0xFF0000FF);
  render::applyFilter(f, 1, spread.px.data(), spread.w, spread.h, &spread.drawn, &scratch);
  EXPECT_EQ(0x55000055u, spread.at(1, 0));  // a third of the neighbour
  EXPECT_EQ(0x55000055u, spread.at(3, 0));
  EXPECT_EQ(1, spread.drawn.x0);
  EXPECT_EQ(4, spread.drawn.x1);

  f.preserveAlpha = true;
  Layer kept(5, 1);
  kept.put(2, 0, 0xFF0000FF);
  render::applyFilter(f, 1, kept.px.data(), kept.w, kept.h, &kept.drawn, &scratch);
  EXPECT_EQ(0xFF000055u, kept.at(2, 0));
  EXPECT_EQ(0u, kept.at(1, 0));  // clear stays clear
  for (uint32_t p : scratch.pixels) ASSERT_EQ(0u, p);
}

TEST(Bevel, LitSideAndShadedSideInsideOutsideAndKnockout) {
  auto square = [] {
    Layer l(20, 20);
    for (int y = 6; y < 14; ++y)
      for (int x = 6; x < 14; ++x) l.put(x, y, 0xFF808080);
    return l;
  };
  render::FilterScratch scratch;
  swf::Filter f;
  f.kind = swf::Filter::Kind::Bevel;
  f.highlight = swf::Rgba{255, 255, 255, 255};
  f.color = swf::Rgba{0, 0, 0, 255};
  f.angle = 3.14159265358979 / 4;  // light from the top left
  f.distance = 2;
  f.inner = true;
  Layer inner = square();
  render::applyFilter(f, 1, inner.px.data(), inner.w, inner.h, &inner.drawn, &scratch);
  EXPECT_EQ(0xFFFFFFFFu, inner.at(6, 6));     // lit corner
  EXPECT_EQ(0xFF000000u, inner.at(13, 13));   // shaded corner
  EXPECT_EQ(0xFF808080u, inner.at(10, 10));   // the middle as it was
  EXPECT_EQ(0u, inner.at(4, 4));              // nothing outside

  f.inner = false;
  Layer outer = square();
  render::applyFilter(f, 1, outer.px.data(), outer.w, outer.h, &outer.drawn, &scratch);
  EXPECT_EQ(0xFF808080u, outer.at(6, 6));     // the object over its bevel
  // Around the object the ground slopes up to it: lit before the lit
  // edge, shaded past the far one.
  EXPECT_EQ(0xFFFFFFFFu, outer.at(5, 5));
  EXPECT_EQ(0xFF000000u, outer.at(14, 14));
  EXPECT_LE(outer.drawn.x0, 4);

  f.knockout = true;
  Layer knocked = square();
  render::applyFilter(f, 1, knocked.px.data(), knocked.w, knocked.h, &knocked.drawn, &scratch);
  EXPECT_EQ(0u, knocked.at(10, 10));
  EXPECT_EQ(0xFF000000u, knocked.at(14, 14));
  for (uint32_t p : scratch.pixels) ASSERT_EQ(0u, p);
}

TEST(GradientGlow, ColoursTheGlowByItsStrength) {
  Layer l(12, 12);
  for (int y = 4; y < 8; ++y)
    for (int x = 4; x < 8; ++x) l.put(x, y, 0xFFFFFFFF);
  swf::Filter f;
  f.kind = swf::Filter::Kind::GradientGlow;
  f.gradient = {{0, swf::Rgba{0, 0, 0, 0}}, {255, swf::Rgba{255, 0, 0, 255}}};
  f.blurX = f.blurY = 3;  // one pixel either side
  render::FilterScratch scratch;
  render::applyFilter(f, 1, l.px.data(), l.w, l.h, &l.drawn, &scratch);
  EXPECT_EQ(0xFFFFFFFFu, l.at(5, 5));  // the object over its glow
  uint32_t edge = l.at(3, 5);           // a third of the way up the gradient
  EXPECT_GT(edge >> 24, 0x40u);
  EXPECT_LT(edge >> 24, 0x80u);
  EXPECT_EQ(0u, edge & 0xFFFF);         // red only
  EXPECT_EQ(0u, l.at(1, 5));
}

TEST(FilterList, EveryKindIsReadWithItsFields) {
  swftest::Bytes list = swftest::filter::list(
      {swftest::filter::bevel(), swftest::filter::colorMatrix(), swftest::filter::convolution()});
  swf::BitReader r(list.data(), list.size());
  std::vector<swf::Filter> filters;
  ASSERT_TRUE(swf::readFilterList(r, &filters));
  ASSERT_EQ(3u, filters.size());
  EXPECT_EQ(swf::Filter::Kind::Bevel, filters[0].kind);
  EXPECT_EQ(255, filters[0].highlight.r);  // the lit colour comes first
  EXPECT_EQ(0, filters[0].color.r);
  EXPECT_TRUE(filters[0].inner);
  EXPECT_EQ(swf::Filter::Kind::ColorMatrix, filters[1].kind);
  EXPECT_EQ(20u, filters[1].matrix.size());
  EXPECT_EQ(swf::Filter::Kind::Convolution, filters[2].kind);
  EXPECT_EQ(3, filters[2].matrixX);
  EXPECT_TRUE(filters[2].preserveAlpha);
}
