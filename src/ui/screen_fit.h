// Keeping a window on the screen. No Win32 here.
#pragma once
#include <algorithm>

namespace ql {

struct ScreenRect {
  int left, top, right, bottom;
};

// The nearest position for a box of width x height at (x, y) that lies
// inside `area`; a box larger than the area keeps its top-left corner in it.
inline void keepInside(int& x, int& y, int width, int height, const ScreenRect& area) {
  x = std::max(area.left, std::min(x, area.right - width));
  y = std::max(area.top, std::min(y, area.bottom - height));
}

}  // namespace ql
