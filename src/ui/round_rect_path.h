// The outline of a rounded rectangle as the toolkit draws it: four corner
// arcs of diameter d inside the rectangle shrunk by one pixel in width and
// height (so a 1 px pen stays inside the rectangle), clockwise from the
// top-right corner. Added one after another to one GDI+ figure, consecutive
// arcs are joined by straight edges and closing the figure adds the last one.
#pragma once
#include <algorithm>
#include <array>

namespace ql {

struct PathArc {
  float x, y, width, height;     // bounding box of the arc's ellipse
  float startAngle, sweepAngle;  // degrees, clockwise from the positive x axis
};

struct RoundRectPath {
  // False when the rectangle is too small to draw or the corners have no
  // size: the outline is then the plain rectangle (x, y, width, height).
  bool rounded = false;
  float x = 0, y = 0, width = 0, height = 0;  // the shrunk rectangle
  std::array<PathArc, 4> arcs{};              // top-right, bottom-right, bottom-left, top-left
};

inline RoundRectPath roundRectPath(float x, float y, float width, float height, float diameter) {
  RoundRectPath path;
  path.x = x;
  path.y = y;
  path.width = width - 1;
  path.height = height - 1;
  // A corner can never be wider than the rectangle it rounds.
  float d = std::min(diameter, std::min(path.width, path.height));
  if (d <= 0 || path.width <= 0 || path.height <= 0) return path;
  path.rounded = true;
  float right = x + path.width - d, bottom = y + path.height - d;
  path.arcs = {{
      {right, y, d, d, 270, 90},
      {right, bottom, d, d, 0, 90},
      {x, bottom, d, d, 90, 90},
      {x, y, d, d, 180, 90},
  }};
  return path;
}

}  // namespace ql
