// Builds a window region's rectangles from a picture, row by row: one
// rectangle per run of opaque pixels, and consecutive rows with the same runs
// share their rectangles (a band). The rectangles are handed out in small
// blocks: some systems build a region from a rectangle list in time that
// grows with the square of its length, so large skins with many holes are
// built as many small regions that are then combined.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ql {

struct RegionRect {
  int left, top, right, bottom;  // right and bottom exclusive
};

// A block: `count` rectangles from index `first`, and their bounding box.
struct RegionBlock {
  RegionRect bounds;
  size_t first, count;
};

// All rectangles, top to bottom and left to right, cut into blocks.
struct RegionRuns {
  std::vector<RegionRect> rects;
  std::vector<RegionBlock> blocks;
};

constexpr size_t kRegionBlockRects = 32;

// `pixels` holds width * height 32-bit pixels, top row first, 0xAARRGGBB (the
// layout of a 32-bit top-down DIB). A pixel is opaque when its colour (alpha
// ignored) differs from `transparentRgb` (0xRRGGBB). Every block holds at
// most `blockRects` rectangles; no block is empty.
RegionRuns buildRegionRuns(const uint32_t* pixels, int width, int height, uint32_t transparentRgb,
                           size_t blockRects = kRegionBlockRects);

}  // namespace ql
