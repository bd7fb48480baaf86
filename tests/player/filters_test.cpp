// Filters on a layer: the blur box (size, partial outer pixels, passes,
// truncation, edges) and drop shadows in their outer, inner, knockout and
// hidden-object forms.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "player/render/filters.h"

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
