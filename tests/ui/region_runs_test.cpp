#include "ui/region_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ql {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kInk = 0xFF26343B;

// A picture from rows of '#' (ink) and '.' (white).
std::vector<uint32_t> picture(const std::vector<std::string>& rows) {
  std::vector<uint32_t> pixels;
  for (const std::string& row : rows)
    for (char c : row) pixels.push_back(c == '#' ? kInk : 0xFF000000u | kWhite);
  return pixels;
}

std::vector<RegionRect> allRects(const std::vector<RegionBlock>& blocks) {
  std::vector<RegionRect> rects;
  for (const RegionBlock& block : blocks) rects.insert(rects.end(), block.rects.begin(), block.rects.end());
  return rects;
}

bool operator==(const RegionRect& a, const RegionRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(RegionRuns, OneRectanglePerRunOfOpaquePixels) {
  const auto pixels = picture({
      "##..###",
      ".#.#.#.",
      "#######",
  });
  const auto rects = allRects(buildRegionBlocks(pixels.data(), 7, 3, kWhite));
  const std::vector<RegionRect> expected = {
      {0, 0, 2, 1}, {4, 0, 7, 1},                 // row 0: two runs, the second to the edge
      {1, 1, 2, 2}, {3, 1, 4, 2}, {5, 1, 6, 2},   // row 1: single pixels between holes
      {0, 2, 7, 3},                               // row 2: a full row is one rectangle
  };
  ASSERT_EQ(rects.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(rects[i] == expected[i]) << i;
}

TEST(RegionRuns, RowsWithoutOpaquePixelsAddNothing) {
  const auto pixels = picture({
      ".....",
      "..#..",
      ".....",
  });
  const auto rects = allRects(buildRegionBlocks(pixels.data(), 5, 3, kWhite));
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_TRUE(rects[0] == (RegionRect{2, 1, 3, 2}));
}

TEST(RegionRuns, EmptyOrMissingPictureGivesNoBlocks) {
  const auto blank = picture({"...", "..."});
  EXPECT_TRUE(buildRegionBlocks(blank.data(), 3, 2, kWhite).empty());
  EXPECT_TRUE(buildRegionBlocks(nullptr, 3, 2, kWhite).empty());
  EXPECT_TRUE(buildRegionBlocks(blank.data(), 0, 2, kWhite).empty());
  EXPECT_TRUE(buildRegionBlocks(blank.data(), 3, 0, kWhite).empty());
}

TEST(RegionRuns, AlphaIsIgnoredAndTheKeyColourIsExact) {
  // Transparent white with alpha 0 is still the key; a colour one step off it is opaque.
  const std::vector<uint32_t> pixels = {0x00FFFFFF, 0xFFFFFFFE, 0x80FFFFFF, 0xFF000000};
  const auto rects = allRects(buildRegionBlocks(pixels.data(), 4, 1, kWhite));
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_TRUE(rects[0] == (RegionRect{1, 0, 2, 1}));
  EXPECT_TRUE(rects[1] == (RegionRect{3, 0, 4, 1}));
  // With black as the key the picture's white becomes the opaque part.
  const auto inverse = allRects(buildRegionBlocks(pixels.data(), 4, 1, 0x000000));
  ASSERT_EQ(inverse.size(), 1u);
  EXPECT_TRUE(inverse[0] == (RegionRect{0, 0, 3, 1}));
}

TEST(RegionRuns, BlocksHoldAtMostTheBlockSizeAndBoundTheirRectangles) {
  // A checkerboard: every opaque pixel is its own run.
  const int width = 9, height = 5;
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back((x + y) % 2 ? kInk : kWhite);
  const auto blocks = buildRegionBlocks(pixels.data(), width, height, kWhite, 4);
  size_t total = 0;
  for (const RegionBlock& block : blocks) {
    ASSERT_FALSE(block.rects.empty());
    EXPECT_LE(block.rects.size(), 4u);
    total += block.rects.size();
    for (const RegionRect& r : block.rects) {
      EXPECT_GE(r.left, block.bounds.left);
      EXPECT_GE(r.top, block.bounds.top);
      EXPECT_LE(r.right, block.bounds.right);
      EXPECT_LE(r.bottom, block.bounds.bottom);
    }
  }
  EXPECT_EQ(total, 22u);  // 45 pixels, the odd ones opaque
  EXPECT_EQ(blocks.size(), 6u);
  // The first block: (1,0) (3,0) (5,0) (7,0).
  EXPECT_TRUE(blocks[0].bounds == (RegionRect{1, 0, 8, 1}));
  // The second block spans two rows: (0,1) (2,1) (4,1) (6,1).
  EXPECT_TRUE(blocks[1].bounds == (RegionRect{0, 1, 7, 2}));
}

}  // namespace
}  // namespace ql
