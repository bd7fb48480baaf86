// What keeps a hostile movie from exhausting the player: nested masks and
// layers past their memory caps, and the drawing budget of one frame. The
// picture stays sound: what cannot be clipped is hidden, what cannot get a
// layer is drawn as it is, what does not fit the budget waits for the next
// frame.
#include <gtest/gtest.h>

#include <vector>

#include "player/core/player.h"
#include "swf_builder.h"

namespace {

using swftest::Bytes;
using swftest::Matrix;
using swftest::MovieBuilder;
using swftest::Path;
using swftest::Place3Extras;
using swftest::ShapeBuilder;

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

std::vector<uint32_t> draw(const Bytes& movie, int w, int h) {
  auto p = player::Player::load(movie.data(), movie.size());
  EXPECT_NE(nullptr, p);
  std::vector<uint32_t> px(size_t(w) * h, 0);
  if (!p) return px;
  p->setAntialias(false);
  p->advanceFrame();
  p->render(px.data(), w, h, w * 4, false);
  return px;
}

// Shape `id`: the whole 100 x 100 stage in one colour.
void stageRect(MovieBuilder& m, uint16_t id, uint32_t argb) {
  ShapeBuilder s;
  Path p;
  p.fill1(s.solidFill(argb)).rect(0, 0, 2000, 2000);
  m.defineShape(id, s, p, 0, 2000, 0, 2000);
}

// `levels` masks, each clipping everything above it; red under the first
// ten, green on top of them all.
Bytes nestedMasks(int levels) {
  MovieBuilder m(100, 100, 12);
  stageRect(m, 1, 0xFF000000);
  stageRect(m, 2, kRed);
  stageRect(m, 3, kGreen);
  for (int i = 0; i < levels; ++i) {
    m.root().place(static_cast<uint16_t>(1 + 2 * i), 1, Matrix(), 65000);
    if (i == 9) m.root().place(static_cast<uint16_t>(2 + 2 * i), 2);
  }
  m.root().place(static_cast<uint16_t>(2 * levels + 1), 3);
  m.root().showFrame();
  return m.finish(false);
}

TEST(Limits, MasksPastTheCapHideWhatTheyClip) {
  // 1000 x 1000: 1 MB a mask, so the cap is reached long before 100 levels.
  std::vector<uint32_t> few = draw(nestedMasks(20), 1000, 1000);
  EXPECT_EQ(kGreen, few[500 * 1000 + 500]);
  std::vector<uint32_t> many = draw(nestedMasks(100), 1000, 1000);
  EXPECT_EQ(kRed, many[500 * 1000 + 500]);
  // The same movie small enough for every mask: green again.
  std::vector<uint32_t> small = draw(nestedMasks(100), 100, 100);
  EXPECT_EQ(kGreen, small[50 * 100 + 50]);
}

// Twelve sprites inside each other, each blurred; a blue square in the middle.
Bytes nestedBlurs(int blend) {
  MovieBuilder m(100, 100, 12);
  ShapeBuilder s;
  Path p;
  p.fill1(s.solidFill(kBlue)).rect(-400, -400, 400, 400);
  m.defineShape(1, s, p, -400, 400, -400, 400);
  uint16_t inner = 1;
  for (int level = 0; level < 12; ++level) {
    swftest::Timeline t;
    Place3Extras extras;
    extras.filters = swftest::filter::list({swftest::filter::blur(2, 2, 1)});
    if (level == 0) extras.blendMode = blend;
    t.place3(1, inner, Matrix(), extras);
    t.showFrame();
    uint16_t id = static_cast<uint16_t>(10 + level);
    m.defineSprite(id, t, 1);
    inner = id;
  }
  Matrix centre;
  centre.tx = centre.ty = 1000;
  m.root().place(1, inner, centre);
  m.root().showFrame();
  return m.finish(false);
}

TEST(Limits, LayersPastTheCapAreDrawnAsTheyAre) {
  // At 2000 x 2000 a layer is over 16 MB: only a few fit under the cap.
  std::vector<uint32_t> big = draw(nestedBlurs(0), 2000, 2000);
  EXPECT_EQ(kBlue, big[1000 * 2000 + 1000]);
  // An erasing object past the cap has no layer to cut: it is left out.
  std::vector<uint32_t> erased = draw(nestedBlurs(12), 2000, 2000);
  EXPECT_EQ(0u, erased[1000 * 2000 + 1000]);
}

TEST(Limits, AFrameStopsDrawingPastItsBudget) {
  // 400 whole-stage rectangles at 1000 x 1000: about 400 million pixels, far
  // past the budget. The first ones are drawn, the last ones are not.
  MovieBuilder m(100, 100, 12);
  stageRect(m, 1, kRed);
  stageRect(m, 2, kGreen);
  for (int i = 0; i < 400; ++i) m.root().place(static_cast<uint16_t>(1 + i), i < 399 ? 1 : 2);
  m.root().showFrame();
  std::vector<uint32_t> px = draw(m.finish(false), 1000, 1000);
  EXPECT_EQ(kRed, px[500 * 1000 + 500]);
  // A small picture fits them all.
  std::vector<uint32_t> small = draw(m.finish(false), 100, 100);
  EXPECT_EQ(kGreen, small[50 * 100 + 50]);
}

}  // namespace
