// Plain value types shared by the SWF parser, the player and the renderer.
// Coordinates inside a movie are twips (1/20 pixel).
#pragma once
#include <cstdint>

namespace swf {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct Rect {
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// x' = a·x + c·y + tx,  y' = b·x + d·y + ty  (SWF's ScaleX, RotateSkew0,
// RotateSkew1, ScaleY, TranslateX, TranslateY).
struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  // this ∘ inner: applies inner first.
  Matrix operator*(const Matrix& inner) const {
    Matrix m;
    m.a = a * inner.a + c * inner.b;
    m.b = b * inner.a + d * inner.b;
    m.c = a * inner.c + c * inner.d;
    m.d = b * inner.c + d * inner.d;
    m.tx = a * inner.tx + c * inner.ty + tx;
    m.ty = b * inner.tx + d * inner.ty + ty;
    return m;
  }
  double mapX(double x, double y) const { return a * x + c * y + tx; }
  double mapY(double x, double y) const { return b * x + d * y + ty; }
  // False when the matrix is singular (nothing visible can come of it).
  bool invert(Matrix* out) const;
};

// Flash colour transform: channel' = channel · mult + add, clamped to 0..255,
// applied to straight (not premultiplied) colour. Multipliers are 8.8 fixed
// point in the file; kept as 1.0-based doubles here.
struct ColorTransform {
  double rMul = 1, gMul = 1, bMul = 1, aMul = 1;
  double rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

  bool isIdentity() const {
    return rMul == 1 && gMul == 1 && bMul == 1 && aMul == 1 && rAdd == 0 && gAdd == 0 &&
           bAdd == 0 && aAdd == 0;
  }
  // this ∘ inner: applies inner first (a child's transform inside its parent's).
  ColorTransform operator*(const ColorTransform& inner) const {
    ColorTransform t;
    t.rMul = rMul * inner.rMul; t.rAdd = rMul * inner.rAdd + rAdd;
    t.gMul = gMul * inner.gMul; t.gAdd = gMul * inner.gAdd + gAdd;
    t.bMul = bMul * inner.bMul; t.bAdd = bMul * inner.bAdd + bAdd;
    t.aMul = aMul * inner.aMul; t.aAdd = aMul * inner.aAdd + aAdd;
    return t;
  }
  Rgba apply(Rgba c) const;
};

}  // namespace swf
