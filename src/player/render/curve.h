// Quadratic Bézier curves to line segments.
#pragma once
#include <vector>

#include "player/render/stroker.h"

namespace render {

// Appends points along the quadratic p0 → c → p1 (not p0 itself, always p1)
// so that no point of the curve lies farther than `tolerance` from the
// polyline. Segments are spaced by the curve's own bending: short where it
// turns sharply, long where it is nearly straight, so a curve takes about
// as few segments as the tolerance allows.
void flattenQuadratic(Point p0, Point c, Point p1, double tolerance, std::vector<Point>* out);

}  // namespace render
