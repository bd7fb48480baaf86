// Whole-frame drawing through the player: stage scaling, colours,
// gradients, masks, strokes and bitmaps on small built movies.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "player/core/player.h"
#include "swf_builder.h"

namespace {

using swftest::Bytes;
using swftest::MovieBuilder;
using swftest::Path;
using swftest::ShapeBuilder;

struct Picture {
  int w, h;
  std::vector<uint32_t> px;
  uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
};

Picture draw(const Bytes& movie, int w, int h, int frames = 1, bool background = true) {
  auto p = player::Player::load(movie.data(), movie.size());
  EXPECT_NE(nullptr, p);
  Picture pic{w, h, std::vector<uint32_t>(size_t(w) * h, 0xDEADBEEF)};
  if (!p) return pic;
  for (int i = 0; i < frames; ++i) p->advanceFrame();
  p->render(pic.px.data(), w, h, w * 4, background);
  return pic;
}

// A 10 × 10 pixel stage with one rectangle (pixels) of the given colour.
Bytes rectMovie(uint32_t argb, int x0, int y0, int x1, int y1) {
  MovieBuilder m(10, 10, 12);
  m.background(0xFFFFFF);
  ShapeBuilder s;
  int fill = s.solidFill(argb);
  Path p;
  p.fill1(fill).rect(x0 * 20, y0 * 20, x1 * 20, y1 * 20);
  m.defineShape(1, s, p, x0 * 20, x1 * 20, y0 * 20, y1 * 20);
  m.root().place(1, 1);
  m.root().showFrame();
  return m.finish(true);
}

int channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

}  // namespace

TEST(Render, StageIsScaledToFitAndCentred) {
  Bytes movie = rectMovie(0xFF0000FF, 0, 0, 5, 10);  // left half blue
  Picture pic = draw(movie, 40, 20, 1, false);  // twice as wide as the stage's aspect
  // The 10 × 10 stage becomes 20 × 20 in the middle; 10 px bands either side.
  EXPECT_EQ(0u, pic.at(9, 10));
  EXPECT_EQ(0xFF0000FFu, pic.at(10, 10));
  EXPECT_EQ(0xFF0000FFu, pic.at(19, 19));
  EXPECT_EQ(0u, pic.at(20, 10));
  // With the background, the bands take its colour like the stage.
  Picture filled = draw(movie, 40, 20, 1, true);
  EXPECT_EQ(0xFFFFFFFFu, filled.at(5, 10));
  EXPECT_EQ(0xFFFFFFFFu, filled.at(25, 10));
}

TEST(Render, WithoutBackgroundEmptyPixelsStayTransparentAndAlphaIsPremultiplied) {
  Bytes movie = rectMovie(0x80FF0000, 0, 0, 5, 5);  // red at alpha 128
  Picture pic = draw(movie, 10, 10, 1, false);
  EXPECT_EQ(0u, pic.at(8, 8));
  uint32_t p = pic.at(2, 2);
  EXPECT_EQ(128, channel(p, 24));
  EXPECT_EQ(128, channel(p, 16));
  EXPECT_EQ(0, channel(p, 8));
  // Over white it blends to pink.
  Picture over = draw(movie, 10, 10, 1, true);
  EXPECT_EQ(0xFFFF7F7Fu, over.at(2, 2));
}

TEST(Render, ColourTransformWithAlphaAppliesToStraightColour) {
  MovieBuilder m(10, 10, 12);
  m.background(0x000000);
  ShapeBuilder s;
  int fill = s.solidFill(0xFF808080);
  Path p;
  p.fill1(fill).rect(0, 0, 200, 200);
  m.defineShape(1, s, p, 0, 200, 0, 200);
  // red ×2, green +64, blue ×0, alpha ×0.5
  m.root().placeWithColor(1, 1, swftest::Matrix(), 512, 256, 0, 128, 0, 64, 0, 0);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 10, 10);
  uint32_t px = pic.at(5, 5);
  EXPECT_EQ(255, channel(px, 24));
  EXPECT_EQ(127, channel(px, 16));  // 255 at alpha 255·0.5 = 127 over black
  EXPECT_EQ(96, channel(px, 8));    // 192 at alpha 127
  EXPECT_EQ(0, channel(px, 0));
}

TEST(Render, LinearGradientSpreadsPadReflectRepeat) {
  // The gradient square scaled to 4 px wide centred at x = 20 px of a 40 px
  // stage: black at 18 px, white at 22 px.
  auto movieWith = [](int spread) {
    MovieBuilder m(40, 1, 12);
    ShapeBuilder s;
    swftest::Matrix g;
    g.a = 80.0 / 32768;  // 4 px = 80 twips
    g.d = 20.0 / 32768;
    g.tx = 400;
    g.ty = 10;
    int fill = s.gradientFill(0x10, g, spread, {{0, 0xFF000000}, {255, 0xFFFFFFFF}});
    Path p;
    p.fill1(fill).rect(0, 0, 800, 20);
    m.defineShape(1, s, p, 0, 800, 0, 20);
    m.root().place(1, 1);
    m.root().showFrame();
    return m.finish(false);
  };
  Picture pad = draw(movieWith(0), 40, 1), reflect = draw(movieWith(1), 40, 1),
          repeat = draw(movieWith(2), 40, 1);
  // Inside the square all three agree and rise from black to white.
  EXPECT_LT(channel(pad.at(18, 0), 0), 48);
  EXPECT_GT(channel(pad.at(21, 0), 0), 200);
  EXPECT_EQ(pad.at(19, 0), reflect.at(19, 0));
  EXPECT_EQ(pad.at(19, 0), repeat.at(19, 0));
  // Beyond it: pad holds white, reflect falls back, repeat starts again.
  EXPECT_EQ(255, channel(pad.at(23, 0), 0));
  EXPECT_EQ(channel(reflect.at(20, 0), 0), channel(reflect.at(23, 0), 0));
  EXPECT_EQ(channel(repeat.at(19, 0), 0), channel(repeat.at(23, 0), 0));
  EXPECT_EQ(255, channel(pad.at(39, 0), 0));
  EXPECT_EQ(0, channel(pad.at(0, 0), 0));
}

TEST(Render, ClipDepthMasksOnlyTheDepthsItCovers) {
  MovieBuilder m(10, 10, 12);
  m.background(0xFFFFFF);
  ShapeBuilder maskShape, red, blue;
  Path mp, rp, bp;
  mp.fill1(maskShape.solidFill(0xFF00FF00)).rect(0, 0, 100, 200);  // left half
  rp.fill1(red.solidFill(0xFFFF0000)).rect(0, 0, 200, 100);        // top half
  bp.fill1(blue.solidFill(0xFF0000FF)).rect(0, 100, 200, 200);     // bottom half
  m.defineShape(1, maskShape, mp, 0, 100, 0, 200);
  m.defineShape(2, red, rp, 0, 200, 0, 100);
  m.defineShape(3, blue, bp, 0, 200, 100, 200);
  m.root().place(1, 1, swftest::Matrix(), 2);  // masks depth 2 only
  m.root().place(2, 2);
  m.root().place(3, 3);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 10, 10);
  EXPECT_EQ(0xFFFF0000u, pic.at(2, 2));  // red inside the mask
  EXPECT_EQ(0xFFFFFFFFu, pic.at(7, 2));  // red cut away; the mask itself not drawn
  EXPECT_EQ(0xFF0000FFu, pic.at(7, 7));  // depth 3 is not masked
  EXPECT_EQ(0xFF0000FFu, pic.at(2, 7));
}

TEST(Render, HairlineStrokesAreOnePixelWide) {
  MovieBuilder m(10, 10, 12);
  m.background(0xFFFFFF);
  ShapeBuilder s;
  int line = s.lineStyle(0, 0xFF000000);
  Path p;
  p.line(line).moveTo(20, 110).lineTo(180, 110);  // along the middle of row 5
  m.defineShape(1, s, p, 0, 200, 100, 120);
  m.root().place(1, 1);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 10, 10);
  EXPECT_EQ(0xFF000000u, pic.at(5, 5));
  EXPECT_EQ(0xFFFFFFFFu, pic.at(5, 4));
  EXPECT_EQ(0xFFFFFFFFu, pic.at(5, 6));
}

TEST(Render, BitmapFillsRepeatOrClampWithoutSmoothing) {
  auto movieWith = [](bool repeat) {
    MovieBuilder m(8, 2, 12);
    // 2 × 1 bitmap: red, blue; each bitmap pixel 1 screen pixel (20 twips).
    m.defineLosslessBitmap(5, 2, 1, {0xFFFF0000, 0xFF0000FF});
    ShapeBuilder s;
    swftest::Matrix bm;
    bm.a = bm.d = 20;
    int fill = s.bitmapFill(5, bm, repeat, false);
    Path p;
    p.fill1(fill).rect(0, 0, 160, 40);
    m.defineShape(1, s, p, 0, 160, 0, 40);
    m.root().place(1, 1);
    m.root().showFrame();
    return m.finish(false);
  };
  Picture tiled = draw(movieWith(true), 8, 2), clipped = draw(movieWith(false), 8, 2);
  EXPECT_EQ(0xFFFF0000u, tiled.at(0, 0));
  EXPECT_EQ(0xFF0000FFu, tiled.at(1, 0));
  EXPECT_EQ(0xFFFF0000u, tiled.at(6, 1));
  EXPECT_EQ(0xFF0000FFu, tiled.at(7, 1));
  EXPECT_EQ(0xFFFF0000u, clipped.at(0, 0));
  EXPECT_EQ(0xFF0000FFu, clipped.at(6, 1));  // the edge pixel carries on
}

TEST(Render, BitmapsPlacedByTheTimelineShowTheirPixels) {
  MovieBuilder m(6, 2, 12);
  m.background(0xFFFFFF);
  m.defineLosslessBitmap(5, 2, 1, {0xFFFF0000, 0xFF0000FF});
  swftest::Matrix at;
  at.tx = 40;
  m.root().place(1, 5, at);
  m.root().showFrame();
  Picture pic = draw(m.finish(false), 6, 2);
  EXPECT_EQ(0xFFFFFFFFu, pic.at(1, 0));
  EXPECT_EQ(0xFFFF0000u, pic.at(2, 0));
  EXPECT_EQ(0xFF0000FFu, pic.at(3, 0));
  EXPECT_EQ(0xFFFFFFFFu, pic.at(4, 0));
  EXPECT_EQ(0xFFFFFFFFu, pic.at(2, 1));  // one row high
}

TEST(Render, LowQualityDecidesEdgesByPixelCentres) {
  Bytes movie = rectMovie(0xFF000000, 0, 0, 5, 10);
  auto p = player::Player::load(movie.data(), movie.size());
  ASSERT_NE(nullptr, p);
  p->advanceFrame();
  // 10 px stage in 15 px: the edge at x = 7.5 falls on a pixel's middle.
  std::vector<uint32_t> smooth(15 * 15), sharp(15 * 15);
  p->render(smooth.data(), 15, 15, 60, true);
  p->setAntialias(false);
  p->render(sharp.data(), 15, 15, 60, true);
  int grey = channel(smooth[7 * 15 + 7], 0);  // half covered
  EXPECT_NEAR(128, grey, 2);
  uint32_t edge = sharp[7 * 15 + 7];
  EXPECT_TRUE(edge == 0xFF000000u || edge == 0xFFFFFFFFu);
}

TEST(Render, MorphShapesBlendEdgesAndColoursByRatio) {
  MovieBuilder m(10, 10, 12);
  m.background(0xFFFFFF);
  Path start, end;
  start.fill1(1).rect(0, 0, 80, 80);      // top-left 4 × 4 px, red
  end.moveTo(120, 120).lineTo(200, 120).lineTo(200, 200).lineTo(120, 200).lineTo(120, 120);
  m.defineMorph(1, start, 0xFFFF0000, end, 0xFF0000FF, 200);
  m.root().place(1, 1);
  m.root().showFrame();
  m.root().moveRatio(1, 32768);
  m.root().showFrame();
  m.root().moveRatio(1, 65535);
  m.root().showFrame();
  Bytes movie = m.finish(false);
  Picture atStart = draw(movie, 10, 10, 1);
  EXPECT_EQ(0xFFFF0000u, atStart.at(1, 1));
  EXPECT_EQ(0xFFFFFFFFu, atStart.at(8, 8));
  Picture halfway = draw(movie, 10, 10, 2);  // 3..7 px, purple
  EXPECT_EQ(0xFFFFFFFFu, halfway.at(1, 1));
  uint32_t mid = halfway.at(5, 5);
  EXPECT_NEAR(128, channel(mid, 16), 2);
  EXPECT_NEAR(127, channel(mid, 0), 2);
  Picture atEnd = draw(movie, 10, 10, 3);
  EXPECT_EQ(0xFF0000FFu, atEnd.at(8, 8));
  EXPECT_EQ(0xFFFFFFFFu, atEnd.at(5, 5));
}

// Fills of one shape that share edges, at slants through pixels, over a
// transparent picture: every pixel inside is fully covered, with no seam of
// the background showing between the fills.
TEST(Render, AbuttingFillsLeaveNoSeam) {
  MovieBuilder m(100, 100, 12);
  ShapeBuilder s;
  const int wedges = 36;
  std::vector<int> fills;
  for (int k = 0; k < wedges; ++k) fills.push_back(s.solidFill(0xFF000000u | uint32_t(k * 0x070B0D)));
  // A fan of wedges around (50, 50), 45 pixels out, in twips; each spoke
  // has one wedge on its left and the next on its right.
  const double kPi = 3.14159265358979;
  auto rim = [&](int k, int32_t* x, int32_t* y) {
    double a = 2 * kPi * k / wedges + 0.1;
    *x = static_cast<int32_t>(1000 + 900 * std::cos(a));
    *y = static_cast<int32_t>(1000 + 900 * std::sin(a));
  };
  Path p;
  for (int k = 0; k < wedges; ++k) {
    int32_t x, y, nx, ny;
    rim(k, &x, &y);
    rim(k + 1, &nx, &ny);
    p.fill0(fills[(k + wedges - 1) % wedges]).fill1(fills[k]).moveTo(1000, 1000).lineTo(x, y);
    p.fill0(0).fill1(fills[k]).lineTo(nx, ny);
  }
  m.defineShape(1, s, p, 100, 1900, 100, 1900);
  m.root().place(1, 1);
  m.root().showFrame();
  Bytes movie = m.finish(true);
  for (int size : {100, 73, 161}) {
    Picture pic = draw(movie, size, size, 1, false);
    double scale = size / 100.0;
    int open = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        double dx = (x + 0.5) / scale - 50, dy = (y + 0.5) / scale - 50;
        // Well inside the polygon whose corners lie 45 pixels out.
        if (std::hypot(dx, dy) > 43 - 2 / scale) continue;
        if (channel(pic.at(x, y), 24) != 255) ++open;
      }
    }
    EXPECT_EQ(0, open) << "at " << size << " pixels";
  }
}

// Where two fills of one shape overlap, the later one is what shows, as
// when each is drawn over the other.
TEST(Render, OverlappingFillsOfOneShapeShowTheLaterFill) {
  MovieBuilder m(20, 20, 12);
  ShapeBuilder s;
  int red = s.solidFill(0xFFFF0000), blue = s.solidFill(0xFF0000FF);
  Path p;
  p.fill1(red).rect(0, 0, 300, 300);
  p.fill1(blue).rect(100, 100, 400, 400);
  m.defineShape(1, s, p, 0, 400, 0, 400);
  m.root().place(1, 1);
  m.root().showFrame();
  Picture pic = draw(m.finish(true), 20, 20, 1, false);
  EXPECT_EQ(0xFFFF0000u, pic.at(2, 2));
  EXPECT_EQ(0xFF0000FFu, pic.at(10, 10));
  EXPECT_EQ(0xFF0000FFu, pic.at(17, 17));
}
