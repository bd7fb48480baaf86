// Window regions made from pictures: the Win32 half of region_runs.h.
#pragma once
#include <windows.h>

#include <cstdint>

namespace ql {

// A region of the pixels of `picture` whose colour differs from
// `transparent`, built from runs of opaque pixels; null on failure.
HRGN createRegionFromPicture(HBITMAP picture, COLORREF transparent);

// The same from 32-bit pixels (top row first) in memory.
HRGN createRegionFromPixels(const uint32_t* pixels, int width, int height, uint32_t transparentRgb);

}  // namespace ql
