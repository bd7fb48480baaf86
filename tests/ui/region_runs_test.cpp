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

std::vector<RegionRect> allRects(const RegionRuns& runs) { return runs.rects; }

bool operator==(const RegionRect& a, const RegionRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(RegionRuns, OneRectanglePerRunOfOpaquePixels) {
  const auto pixels = picture({
      "##..###",
      ".#.#.#.",
      "#######",
  });
  const auto rects = allRects(buildRegionRuns(pixels.data(), 7, 3, kWhite));
  const std::vector<RegionRect> expected = {
      {0, 0, 2, 1}, {4, 0, 7, 1},                 // row 0: two runs, the second to the edge
      {1, 1, 2, 2}, {3, 1, 4, 2}, {5, 1, 6, 2},   // row 1: single pixels between holes
      {0, 2, 7, 3},                               // row 2: a full row is one rectangle
  };
  ASSERT_EQ(rects.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(rects[i] == expected[i]) << i;
}

TEST(RegionRuns, RowsWithTheSameRunsShareTheirRectangles) {
  const auto pixels = picture({
      "#######",
      "#######",
      "##...##",
      "##...##",
      "##...##",
      "#.....#",
      "##...##",
  });
  const auto rects = allRects(buildRegionRuns(pixels.data(), 7, 7, kWhite));
  const std::vector<RegionRect> expected = {
      {0, 0, 7, 2},                 // two full rows
      {0, 2, 2, 5}, {5, 2, 7, 5},   // a hole three rows high
      {0, 5, 1, 6}, {6, 5, 7, 6},   // a wider row breaks the band
      {0, 6, 2, 7}, {5, 6, 7, 7},   // the same runs again start a new band
  };
  ASSERT_EQ(rects.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_TRUE(rects[i] == expected[i]) << i;
}

TEST(RegionRuns, RowsWithoutOpaquePixelsAddNothing) {
  const auto pixels = picture({
      ".....",
      "..#..",
      ".....",
      ".....",
      "..#..",
  });
  // The empty rows between keep the two single pixels apart.
  const auto rects = allRects(buildRegionRuns(pixels.data(), 5, 5, kWhite));
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_TRUE(rects[0] == (RegionRect{2, 1, 3, 2}));
  EXPECT_TRUE(rects[1] == (RegionRect{2, 4, 3, 5}));
}

TEST(RegionRuns, EmptyOrMissingPictureGivesNoBlocks) {
  const auto blank = picture({"...", "..."});
  for (const RegionRuns& runs :
       {buildRegionRuns(blank.data(), 3, 2, kWhite), buildRegionRuns(nullptr, 3, 2, kWhite),
        buildRegionRuns(blank.data(), 0, 2, kWhite), buildRegionRuns(blank.data(), 3, 0, kWhite)}) {
    EXPECT_TRUE(runs.rects.empty());
    EXPECT_TRUE(runs.blocks.empty());
  }
}

TEST(RegionRuns, AlphaIsIgnoredAndTheKeyColourIsExact) {
  // Transparent white with alpha 0 is still the key; a colour one step off it is opaque.
  const std::vector<uint32_t> pixels = {0x00FFFFFF, 0xFFFFFFFE, 0x80FFFFFF, 0xFF000000};
  const auto rects = allRects(buildRegionRuns(pixels.data(), 4, 1, kWhite));
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_TRUE(rects[0] == (RegionRect{1, 0, 2, 1}));
  EXPECT_TRUE(rects[1] == (RegionRect{3, 0, 4, 1}));
  // With black as the key the picture's white becomes the opaque part.
  const auto inverse = allRects(buildRegionRuns(pixels.data(), 4, 1, 0x000000));
  ASSERT_EQ(inverse.size(), 1u);
  EXPECT_TRUE(inverse[0] == (RegionRect{0, 0, 3, 1}));
}

TEST(RegionRuns, BlocksCoverEveryRectangleOnceAndBoundThem) {
  // A checkerboard: every opaque pixel is its own run and no two rows match.
  const int width = 9, height = 5;
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back((x + y) % 2 ? kInk : kWhite);
  const RegionRuns runs = buildRegionRuns(pixels.data(), width, height, kWhite, 4);
  ASSERT_EQ(runs.rects.size(), 22u);  // 45 pixels, the odd ones opaque
  ASSERT_EQ(runs.blocks.size(), 6u);  // 5 blocks of 4 and one of 2
  size_t next = 0;
  for (const RegionBlock& block : runs.blocks) {
    EXPECT_EQ(block.first, next);
    EXPECT_GE(block.count, 1u);
    EXPECT_LE(block.count, 4u);
    next += block.count;
    for (size_t i = block.first; i < block.first + block.count; ++i) {
      const RegionRect& r = runs.rects[i];
      EXPECT_GE(r.left, block.bounds.left);
      EXPECT_GE(r.top, block.bounds.top);
      EXPECT_LE(r.right, block.bounds.right);
      EXPECT_LE(r.bottom, block.bounds.bottom);
    }
  }
  EXPECT_EQ(next, runs.rects.size());
  // The first block: (1,0) (3,0) (5,0) (7,0); the second spans two rows: (0,1) (2,1) (4,1) (6,1).
  EXPECT_TRUE(runs.blocks[0].bounds == (RegionRect{1, 0, 8, 1}));
  EXPECT_TRUE(runs.blocks[1].bounds == (RegionRect{0, 1, 7, 2}));
}

}  // namespace
}  // namespace ql
