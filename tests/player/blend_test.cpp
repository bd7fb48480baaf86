// Blend modes on premultiplied pixels: each mode's mix where both pictures
// are present, and what shows where only one of them is.
#include <gtest/gtest.h>

#include <cstdint>

#include "player/render/blend.h"

using swf::BlendMode;

namespace {

uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

uint32_t blend(BlendMode mode, uint32_t below, uint32_t source) {
  render::blendRow(mode, &below, &source, 1);
  return below;
}

int ch(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

// Channels of two pixels within one level of each other.
void expectNear(uint32_t expected, uint32_t actual, const char* what) {
  for (int shift = 0; shift < 32; shift += 8)
    EXPECT_NEAR(ch(expected, shift), ch(actual, shift), 1) << what << std::hex << " expected " << expected
                                                            << " got " << actual;
}

const uint32_t kBelow = argb(255, 200, 100, 50);
const uint32_t kSource = argb(255, 100, 150, 250);

}  // namespace

TEST(Blend, OpaquePixelsMixByEachModesFormula) {
  expectNear(argb(255, 78, 59, 49), blend(BlendMode::Multiply, kBelow, kSource), "multiply");
  expectNear(argb(255, 222, 191, 251), blend(BlendMode::Screen, kBelow, kSource), "screen");
  expectNear(argb(255, 200, 150, 250), blend(BlendMode::Lighten, kBelow, kSource), "lighten");
  expectNear(argb(255, 100, 100, 50), blend(BlendMode::Darken, kBelow, kSource), "darken");
  expectNear(argb(255, 100, 50, 200), blend(BlendMode::Difference, kBelow, kSource), "difference");
  expectNear(argb(255, 255, 250, 255), blend(BlendMode::Add, kBelow, kSource), "add");
  expectNear(argb(255, 100, 0, 0), blend(BlendMode::Subtract, kBelow, kSource), "subtract");
  expectNear(argb(255, 55, 155, 205), blend(BlendMode::Invert, kBelow, kSource), "invert");
  // Overlay goes by the picture below (200 light: screen; 100 and 50 dark:
  // multiply), hard light by the source (100 dark; 150, 250 light).
  expectNear(argb(255, 189, 118, 98), blend(BlendMode::Overlay, kBelow, kSource), "overlay");
  expectNear(argb(255, 156, 127, 247), blend(BlendMode::HardLight, kBelow, kSource), "hard light");
  expectNear(kSource, blend(BlendMode::Normal, kBelow, kSource), "normal");
  expectNear(kSource, blend(BlendMode::Layer, kBelow, kSource), "layer");
}

TEST(Blend, WhereOnlyOnePictureIsPresentItShowsAsIs) {
  const BlendMode separable[] = {BlendMode::Multiply, BlendMode::Screen,   BlendMode::Lighten,
                                 BlendMode::Darken,   BlendMode::Difference, BlendMode::Overlay,
                                 BlendMode::HardLight};
  for (BlendMode mode : separable) {
    // Nothing below: the source as drawn normally.
    expectNear(kSource, blend(mode, 0, kSource), "over nothing");
    uint32_t half = argb(128, 50, 75, 125);
    expectNear(half, blend(mode, 0, half), "half over nothing");
    // An empty source pixel leaves the picture alone.
    EXPECT_EQ(kBelow, blend(mode, kBelow, 0));
  }
  // The neutral colours of each mode change nothing, at any alpha.
  uint32_t halfWhite = argb(128, 128, 128, 128), halfBlack = argb(128, 0, 0, 0);
  expectNear(kBelow, blend(BlendMode::Multiply, kBelow, argb(255, 255, 255, 255)), "multiply by white");
  expectNear(kBelow, blend(BlendMode::Multiply, kBelow, halfWhite), "multiply by half white");
  expectNear(kBelow, blend(BlendMode::Screen, kBelow, halfBlack), "screen with half black");
  expectNear(kBelow, blend(BlendMode::Difference, kBelow, halfBlack), "difference with half black");
  // Half a source mixes half way between the picture and the full mix.
  uint32_t full = blend(BlendMode::Multiply, kBelow, argb(255, 0, 0, 0));
  uint32_t partial = blend(BlendMode::Multiply, kBelow, halfBlack);
  EXPECT_EQ(0, ch(full, 16));
  EXPECT_NEAR(100, ch(partial, 16), 1);
}

TEST(Blend, AlphaAndEraseCutThePictureBelowBySourceAlpha) {
  uint32_t quarter = argb(64, 10, 20, 30);  // the colour does not matter
  expectNear(argb(64, 50, 25, 13), blend(BlendMode::Alpha, kBelow, quarter), "alpha");
  expectNear(argb(191, 150, 75, 37), blend(BlendMode::Erase, kBelow, quarter), "erase");
  expectNear(0, blend(BlendMode::Erase, kBelow, argb(255, 1, 2, 3)), "erase all");
  // Where the source has no pixel, alpha cuts nothing either.
  EXPECT_EQ(kBelow, blend(BlendMode::Alpha, kBelow, 0));
  // Invert keeps the picture's alpha and shows no source colour.
  uint32_t halfBelow = argb(128, 100, 50, 0);
  expectNear(argb(128, 28, 78, 128), blend(BlendMode::Invert, halfBelow, argb(255, 9, 9, 9)), "invert half");
}
