#include "ui/region_runs.h"

#include <algorithm>

namespace ql {

namespace {

void addToBlock(std::vector<RegionBlock>& blocks, const RegionRect& rect, size_t blockRects) {
  if (blocks.empty() || blocks.back().rects.size() >= blockRects) {
    blocks.push_back(RegionBlock{rect, {}});
    blocks.back().rects.reserve(blockRects);
  }
  RegionBlock& block = blocks.back();
  block.rects.push_back(rect);
  RegionRect& b = block.bounds;
  b.left = std::min(b.left, rect.left);
  b.top = std::min(b.top, rect.top);
  b.right = std::max(b.right, rect.right);
  b.bottom = std::max(b.bottom, rect.bottom);
}

}  // namespace

std::vector<RegionBlock> buildRegionBlocks(const uint32_t* pixels, int width, int height,
                                           uint32_t transparentRgb, size_t blockRects) {
  std::vector<RegionBlock> blocks;
  if (!pixels || width <= 0 || height <= 0) return blocks;
  if (blockRects == 0) blockRects = 1;
  const uint32_t key = transparentRgb & 0x00FFFFFFu;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    int x = 0;
    while (x < width) {
      while (x < width && (row[x] & 0x00FFFFFFu) == key) ++x;
      if (x == width) break;
      const int start = x;
      while (x < width && (row[x] & 0x00FFFFFFu) != key) ++x;
      addToBlock(blocks, RegionRect{start, y, x, y + 1}, blockRects);
    }
  }
  return blocks;
}

}  // namespace ql
