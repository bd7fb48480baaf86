// What PlaceObject3 brings, through whole movies: blend modes drawn over
// what lies below, alpha and erase inside and outside a layer, hidden
// objects, filters (the fields after an unknown filter still read), objects
// with a shadow falling in from beyond the stage, buttons and opaque
// backgrounds.
#include <gtest/gtest.h>

#include <vector>

#include "player/core/player.h"
#include "swf_builder.h"

namespace {

using swftest::Bytes;
using swftest::Matrix;
using swftest::MovieBuilder;
using swftest::Place3Extras;

struct Picture {
  int w, h;
  std::vector<uint32_t> px;
  uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
};

Picture draw(const Bytes& movie, int w, int h, bool antialias = false) {
  auto p = player::Player::load(movie.data(), movie.size());
  EXPECT_NE(nullptr, p);
  Picture pic{w, h, std::vector<uint32_t>(size_t(w) * h, 0)};
  if (!p) return pic;
  p->setAntialias(antialias);
  p->advanceFrame();
  p->render(pic.px.data(), w, h, w * 4, true);
  return pic;
}

// Shape `id`: a rectangle in pixels of one colour.
Matrix at(int x, int y) {
  Matrix m;
  m.tx = x * 20;
  m.ty = y * 20;
  return m;
}

int channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

}  // namespace

TEST(Layers, BlendModeMixesTheObjectWithWhatIsBelow) {
  MovieBuilder m(20, 10, 12);
  m.background(0xFFFFFF);
  m.defineRect(1, 0xFF0000FF, 0, 0, 10, 10);   // blue left half
  m.defineRect(2, 0xFFFF0000, 5, 0, 15, 10);   // red, across the middle
  m.root().place(1, 1);
  Place3Extras multiply;
  multiply.blendMode = 3;
  m.root().place3(2, 2, Matrix(), multiply);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 20, 10);
  EXPECT_EQ(0xFF0000FFu, pic.at(2, 5));   // blue alone
  EXPECT_EQ(0xFF000000u, pic.at(7, 5));   // red times blue
  EXPECT_EQ(0xFFFF0000u, pic.at(12, 5));  // red times white
  EXPECT_EQ(0xFFFFFFFFu, pic.at(17, 5));
}

TEST(Layers, AlphaCutsIntoItsLayerAndWithoutOneShowsNothing) {
  MovieBuilder m(20, 10, 12);
  m.background(0x000000);
  m.defineRect(1, 0xFFFF0000, 0, 0, 20, 10);  // red everywhere
  m.defineRect(2, 0x80FFFFFF, 0, 0, 10, 10);  // half-transparent, left half
  Place3Extras alpha;
  alpha.blendMode = 11;
  swftest::Timeline group;  // red with the alpha object in it
  group.place(1, 1);
  group.place3(2, 2, Matrix(), alpha);
  group.showFrame();
  m.defineSprite(3, group, 1);
  Place3Extras layer;
  layer.blendMode = 2;
  m.root().place3(1, 3, Matrix(), layer);
  m.root().showFrame();
  Picture inLayer = draw(m.finish(false), 20, 10);
  EXPECT_EQ(128, channel(inLayer.at(5, 5), 16));  // red at half alpha over black
  EXPECT_EQ(0xFFFF0000u, inLayer.at(15, 5));      // the alpha object does not reach here

  MovieBuilder plain(20, 10, 12);
  plain.background(0x000000);
  plain.defineRect(1, 0xFFFF0000, 0, 0, 20, 10);
  plain.defineRect(2, 0x80FFFFFF, 0, 0, 10, 10);
  plain.root().place(1, 1);
  plain.root().place3(2, 2, Matrix(), alpha);
  plain.root().showFrame();
  Picture noLayer = draw(plain.finish(false), 20, 10);
  EXPECT_EQ(0xFFFF0000u, noLayer.at(5, 5));  // neither cut nor drawn
}

TEST(Layers, HiddenObjectsAreNotDrawnAndFieldsAfterUnknownFiltersStillRead) {
  MovieBuilder m(20, 10, 12);
  m.background(0xFFFFFF);
  m.defineRect(1, 0xFF0000FF, 0, 0, 10, 10);
  m.defineRect(2, 0xFFFF0000, 0, 0, 20, 10);
  Place3Extras hidden;
  hidden.visible = 0;
  m.root().place(1, 1);
  m.root().place3(2, 1, at(10, 0), hidden);  // the blue square again, hidden
  // A bevel (its edges away from the pixels looked at) before the blend
  // mode: still multiply.
  Place3Extras bevelled;
  bevelled.filters = swftest::filter::list({swftest::filter::bevel()});
  bevelled.blendMode = 3;
  m.root().place3(3, 2, Matrix(), bevelled);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 20, 10);
  EXPECT_EQ(0xFF000000u, pic.at(5, 5));   // red times blue
  EXPECT_EQ(0xFFFF0000u, pic.at(15, 5));  // the hidden square left white below the red
}

TEST(Layers, BlurAndShadowsSpreadPastTheObjectAndInFromBeyondTheStage) {
  MovieBuilder m(30, 20, 12);
  m.background(0xFFFFFF);
  m.defineRect(1, 0xFF000000, 0, 0, 10, 10);
  Place3Extras blurred;
  blurred.filters = swftest::filter::list({swftest::filter::blur(5, 5, 1)});  // 2 pixels either side
  m.root().place3(1, 1, at(2, 5), blurred);
  // Half of this square lies above the stage; its shadow, 10 pixels down,
  // falls wholly on it.
  Place3Extras shadowed;
  shadowed.filters = swftest::filter::list(
      {swftest::filter::dropShadow(0xFF0000FF, 0, 1.5707963, 10, 1, false, false, false, 1)});
  m.root().place3(2, 1, at(18, -5), shadowed);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 30, 20);
  EXPECT_EQ(0xFF000000u, pic.at(7, 10));        // inside, far from the edges
  int spread = channel(pic.at(1, 10), 0);       // a pixel left of the square
  EXPECT_GT(spread, 0);
  EXPECT_LT(spread, 255);
  EXPECT_EQ(0xFFFFFFFFu, pic.at(14, 10));        // 3 pixels out: beyond the blur
  EXPECT_EQ(0xFF0000FFu, pic.at(23, 6));        // shadow of the part above the stage
  EXPECT_EQ(0xFF000000u, pic.at(23, 2));        // the square itself
  EXPECT_EQ(0xFFFFFFFFu, pic.at(23, 16));
}

TEST(Layers, ButtonsShowTheirUpStateAndOpaqueBackgroundsFillTheBounds) {
  MovieBuilder m(20, 10, 12);
  m.background(0xFFFFFF);
  m.defineRect(1, 0xFF0000FF, 0, 0, 4, 4);
  m.defineRect(2, 0xFFFF0000, 0, 0, 4, 4);
  MovieBuilder::ButtonRecord up, hit;
  up.id = 1;
  up.states = 1 | 2 | 4;
  hit.id = 2;
  hit.depth = 2;
  hit.states = 8;  // the area that takes clicks, never drawn
  hit.matrix = at(4, 0);
  m.defineButton2(3, {up, hit});
  m.root().place(1, 3, at(1, 1));
  Place3Extras backed;
  backed.background = 0xFF00FF00;
  m.root().place3(2, 1, at(10, 2), backed);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 20, 10);
  EXPECT_EQ(0xFF0000FFu, pic.at(2, 2));
  EXPECT_EQ(0xFFFFFFFFu, pic.at(6, 2));   // no hit area shown
  EXPECT_EQ(0xFF0000FFu, pic.at(11, 3));  // the object over its background
  EXPECT_EQ(0xFFFFFFFFu, pic.at(15, 3));  // the background covers the bounds only
}
