// Builds a window region's rectangles from a picture: one rectangle per run
// of opaque pixels in each row, handed out in blocks so that large skins with
// many holes become a few big region pieces instead of thousands of small ones.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ql {

struct RegionRect {
  int left, top, right, bottom;  // right and bottom exclusive
};

// Rectangles of one block, in row order, with their bounding box.
struct RegionBlock {
  RegionRect bounds;
  std::vector<RegionRect> rects;
};

constexpr size_t kRegionBlockRects = 2000;

// `pixels` holds width * height 32-bit pixels, top row first, 0xAARRGGBB (the
// layout of a 32-bit top-down DIB). A pixel is opaque when its colour (alpha
// ignored) differs from `transparentRgb` (0xRRGGBB). Every block holds at
// most `blockRects` rectangles; no block is empty.
std::vector<RegionBlock> buildRegionBlocks(const uint32_t* pixels, int width, int height,
                                           uint32_t transparentRgb,
                                           size_t blockRects = kRegionBlockRects);

}  // namespace ql
