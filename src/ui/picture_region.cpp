#include "ui/picture_region.h"

#include <cstdint>
#include <vector>

#include "runtime/dib_surface.h"
#include "ui/region_runs.h"

namespace ql {

namespace {

HRGN regionFromBlock(const RegionRuns& runs, const RegionBlock& block,
                     std::vector<unsigned char>& data) {
  const size_t rectBytes = block.count * sizeof(RECT);
  data.assign(sizeof(RGNDATAHEADER) + rectBytes, 0);
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(block.count);
  header->nRgnSize = static_cast<DWORD>(rectBytes);
  SetRect(&header->rcBound, block.bounds.left, block.bounds.top, block.bounds.right,
          block.bounds.bottom);
  auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < block.count; ++i) {
    const RegionRect& r = runs.rects[block.first + i];
    SetRect(&rects[i], r.left, r.top, r.right, r.bottom);
  }
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                         reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

HRGN createRegionFromPicture(HBITMAP picture, COLORREF transparent) {
  BITMAP info{};
  if (!picture || !GetObjectA(picture, sizeof(info), &info)) return nullptr;
  const int width = info.bmWidth;
  const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (width <= 0 || height <= 0) return nullptr;

  std::vector<uint32_t> pixels;
  if (!readBitmapPixels(picture, width, height, pixels)) return nullptr;
  const uint32_t key = (static_cast<uint32_t>(GetRValue(transparent)) << 16) |
                       (static_cast<uint32_t>(GetGValue(transparent)) << 8) |
                       GetBValue(transparent);
  return createRegionFromPixels(pixels.data(), width, height, key);
}

HRGN createRegionFromPixels(const uint32_t* pixels, int width, int height, uint32_t key) {
  // Blocks are combined like a binary counter: two regions of the same size
  // are merged as soon as both exist, so the work stays near n log n and only
  // a handful of region handles are alive at a time.
  struct Part {
    HRGN region;
    int size;
  };
  std::vector<Part> stack;
  std::vector<unsigned char> data;
  bool failed = false;
  const RegionRuns runs = buildRegionRuns(pixels, width, height, key);
  for (const RegionBlock& block : runs.blocks) {
    HRGN part = regionFromBlock(runs, block, data);
    if (!part) {
      failed = true;
      break;
    }
    stack.push_back(Part{part, 1});
    while (stack.size() >= 2 && stack[stack.size() - 2].size == stack.back().size) {
      Part top = stack.back();
      stack.pop_back();
      CombineRgn(stack.back().region, stack.back().region, top.region, RGN_OR);
      DeleteObject(top.region);
      stack.back().size *= 2;
    }
  }
  if (failed) {
    for (const Part& part : stack) DeleteObject(part.region);
    return nullptr;
  }
  // The rest, smallest first.
  while (stack.size() >= 2) {
    Part top = stack.back();
    stack.pop_back();
    CombineRgn(stack.back().region, stack.back().region, top.region, RGN_OR);
    DeleteObject(top.region);
  }
  return stack.empty() ? CreateRectRgn(0, 0, 0, 0) : stack.front().region;
}

}  // namespace ql
