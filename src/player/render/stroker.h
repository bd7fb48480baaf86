// Turns a stroked polyline into the outline of its painted area (caps,
// joins, miter limit), fed as lines to a rasterizer and filled non-zero.
#pragma once
#include <vector>

#include "player/swf/shape.h"

namespace render {

class Rasterizer;

struct Point {
  double x = 0, y = 0;
};

struct StrokeStyle {
  double width = 1;  // pixels
  swf::Cap startCap = swf::Cap::Round;
  swf::Cap endCap = swf::Cap::Round;
  swf::Join join = swf::Join::Round;
  double miterLimit = 3;
  double tolerance = 0.2;  // for round caps and joins, in the points' units
  // When set, the points are in another space (a shape's twips) and the
  // finished outline is mapped to pixels through it, so a stretched shape
  // has a stretched stroke.
  const swf::Matrix* toPixels = nullptr;
};

// `points` are pixels (or in toPixels' space); `closed` joins the last point
// to the first.
void strokePolyline(const std::vector<Point>& points, bool closed, const StrokeStyle& style,
                    Rasterizer& out);

}  // namespace render
