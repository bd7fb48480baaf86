// Times the building of a window region's rectangles from a 1024 x 768 skin
// with many holes (a grid of transparent dots and a ring of lace at the edge).
#include <chrono>
#include <cstdio>
#include <vector>

#include "ui/region_runs.h"

int main() {
  const int width = 1024, height = 768;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xFF1B9AAA);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool dot = (x % 6 < 2) && (y % 6 < 2);
      const bool lace = (x < 24 || y < 24 || x >= width - 24 || y >= height - 24) && ((x ^ y) & 1);
      if (dot || lace) pixels[static_cast<size_t>(y) * width + x] = 0xFFFFFFFF;
    }
  const int rounds = 50;
  size_t rects = 0, blocks = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) {
    const ql::RegionRuns runs = ql::buildRegionRuns(pixels.data(), width, height, 0xFFFFFF);
    blocks = runs.blocks.size();
    rects = runs.rects.size();
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
      rounds;
  std::printf("region runs 1024x768: %zu rectangles in %zu blocks, %.2f ms per picture\n", rects,
              blocks, ms);
  return 0;
}
