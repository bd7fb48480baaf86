#include "player/swf/types.h"

#include <cmath>

namespace swf {

bool Matrix::invert(Matrix* out) const {
  double det = a * d - b * c;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
  Matrix m;
  m.a = d / det;
  m.b = -b / det;
  m.c = -c / det;
  m.d = a / det;
  m.tx = -(m.a * tx + m.c * ty);
  m.ty = -(m.b * tx + m.d * ty);
  *out = m;
  return true;
}

static uint8_t clampChannel(double v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return static_cast<uint8_t>(v);
}

Rgba ColorTransform::apply(Rgba c) const {
  Rgba o;
  o.r = clampChannel(c.r * rMul + rAdd);
  o.g = clampChannel(c.g * gMul + gAdd);
  o.b = clampChannel(c.b * bMul + bAdd);
  o.a = clampChannel(c.a * aMul + aAdd);
  return o;
}

}  // namespace swf
