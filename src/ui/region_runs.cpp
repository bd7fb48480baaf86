#include "ui/region_runs.h"

#include <algorithm>

namespace ql {

namespace {

void add(RegionRuns& runs, const RegionRect& rect, size_t blockRects) {
  if (runs.blocks.empty() || runs.blocks.back().count >= blockRects)
    runs.blocks.push_back(RegionBlock{rect, runs.rects.size(), 0});
  runs.rects.push_back(rect);
  RegionBlock& block = runs.blocks.back();
  ++block.count;
  RegionRect& b = block.bounds;
  b.left = std::min(b.left, rect.left);
  b.top = std::min(b.top, rect.top);
  b.right = std::max(b.right, rect.right);
  b.bottom = std::max(b.bottom, rect.bottom);
}

bool sameRuns(const std::vector<RegionRect>& band, const std::vector<RegionRect>& row) {
  if (band.empty() || band.size() != row.size()) return false;
  for (size_t i = 0; i < row.size(); ++i)
    if (band[i].left != row[i].left || band[i].right != row[i].right) return false;
  return true;
}

}  // namespace

RegionRuns buildRegionRuns(const uint32_t* pixels, int width, int height, uint32_t transparentRgb,
                           size_t blockRects) {
  RegionRuns runs;
  if (!pixels || width <= 0 || height <= 0) return runs;
  if (blockRects == 0) blockRects = 1;
  const uint32_t key = transparentRgb & 0x00FFFFFFu;
  std::vector<RegionRect> band, row;
  for (int y = 0; y < height; ++y) {
    const uint32_t* line = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    row.clear();
    int x = 0;
    while (x < width) {
      while (x < width && (line[x] & 0x00FFFFFFu) == key) ++x;
      if (x == width) break;
      const int start = x;
      while (x < width && (line[x] & 0x00FFFFFFu) != key) ++x;
      row.push_back(RegionRect{start, y, x, y + 1});
    }
    if (sameRuns(band, row)) {
      for (RegionRect& rect : band) rect.bottom = y + 1;
      continue;
    }
    for (const RegionRect& rect : band) add(runs, rect, blockRects);
    band.swap(row);
  }
  for (const RegionRect& rect : band) add(runs, rect, blockRects);
  return runs;
}

}  // namespace ql
