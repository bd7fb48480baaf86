// Vector drawing for the shipped movies: outlines made of straight and
// quadratic segments in stage pixels, paints (solid, linear and radial
// gradients) and shapes that turn them into DefineShape3 tags.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "swf_builder.h"

namespace art {

using swftest::Bytes;

constexpr double kPi = 3.14159265358979323846;

struct Pt {
  double x = 0, y = 0;
};
inline Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
inline Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
inline Pt operator*(Pt a, double k) { return {a.x * k, a.y * k}; }
// The point at `degrees` (0 right, 90 down: screen angles) and distance r from c.
Pt polar(Pt c, double r, double degrees);

// x' = a x + c y + tx, y' = b x + d y + ty (the SWF matrix), in pixels.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
  Pt apply(Pt p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  // This after `first`.
  Affine operator*(const Affine& first) const;
  static Affine translate(double x, double y);
  static Affine rotate(double degrees);
  static Affine scale(double sx, double sy);
  static Affine scale(double s) { return scale(s, s); }
  swftest::Matrix toSwf() const;
};
// Translate to (x, y), then rotate, then scale: the usual place of a part.
Affine at(double x, double y, double degrees = 0, double sx = 1, double sy = 1);

struct Segment {
  bool curve = false;
  Pt control, end;
};
struct Contour {
  Pt start;
  std::vector<Segment> segments;
};
using Outline = std::vector<Contour>;

// Builds contours segment by segment; cubic curves become quadratic ones.
class Pen {
 public:
  Pen& moveTo(Pt p);
  Pen& lineTo(Pt p);
  Pen& quadTo(Pt control, Pt p);
  Pen& cubicTo(Pt c1, Pt c2, Pt p);
  // A circular arc around `centre` from the current angle to `toDegrees`
  // (screen angles); the pen must sit on the circle.
  Pen& arcTo(Pt centre, double radius, double fromDegrees, double toDegrees);
  Outline outline() const { return contours_; }

 private:
  Pt current_;
  Outline contours_;
};

Outline segment(Pt a, Pt b);
Outline curve(Pt a, Pt control, Pt b);
Outline circle(Pt centre, double r);
Outline ellipse(Pt centre, double rx, double ry);
Outline roundRect(double x0, double y0, double x1, double y1, double r);
Outline polygon(const std::vector<Pt>& points);
// A smooth curve through the points (Catmull-Rom), closed or open.
Outline smooth(const std::vector<Pt>& points, bool closed);
// A ring between two circles (for stroking with a fill).
Outline ring(Pt centre, double outer, double inner);
// A strip along a centre line, `widths` wide at its points, with a rounded
// end at the last point. Two strips with as many points have the same
// segments, as the two outlines of a morph shape must.
Outline ribbon(const std::vector<Pt>& centre, const std::vector<double>& widths);
Outline transformed(const Outline& outline, const Affine& m);
Outline joined(Outline a, const Outline& b);

struct Stop {
  int ratio;  // 0..255
  uint32_t argb;
};

struct Paint {
  enum Kind { Solid, Linear, Radial } kind = Solid;
  uint32_t argb = 0;
  Affine gradient;  // maps the gradient square (-1..1 both ways) to pixels
  std::vector<Stop> stops;
};
Paint solid(uint32_t argb);
Paint linear(Pt from, Pt to, std::vector<Stop> stops);
Paint radial(Pt centre, double r, std::vector<Stop> stops);
// An elliptical radial gradient turned by `degrees`.
Paint radial(Pt centre, double rx, double ry, double degrees, std::vector<Stop> stops);

// One shape: fills painted in the order given, then strokes over them.
class Shape {
 public:
  Shape& fill(const Outline& outline, const Paint& paint);
  // Round caps and joins; open contours stay open.
  Shape& stroke(const Outline& outline, double width, uint32_t argb);
  bool empty() const { return fills_.empty() && strokes_.empty(); }
  // The DefineShape3 tag body.
  Bytes body(uint16_t id) const;

 private:
  struct Filled {
    Outline outline;
    Paint paint;
  };
  struct Stroked {
    Outline outline;
    double width;
    uint32_t argb;
  };
  std::vector<Filled> fills_;
  std::vector<Stroked> strokes_;
};

// The outline as shape records, every contour closed, with fill style 1 or
// with no style at all (the end edges of a morph shape).
swftest::Path morphPath(const Outline& outline, bool withFill);
// A gradient's matrix as the file stores it.
swftest::Matrix gradientMatrix(const Paint& paint);
// The outline's extent in whole twips, grown by `grow` pixels.
struct TwipBounds {
  int32_t xMin, xMax, yMin, yMax;
};
TwipBounds bounds(const Outline& outline, double grow = 0);

// A soft shadow on the ground, centred on `centre`.
Shape groundShadow(Pt centre, double rx, double ry);

// ARGB from components, and a colour's alpha replaced.
constexpr uint32_t argb(int a, int r, int g, int b) {
  return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}
constexpr uint32_t withAlpha(uint32_t color, int a) {
  return (color & 0xFFFFFF) | (uint32_t(a) << 24);
}
// Between two colours, t from 0 to 1, alpha included.
uint32_t mix(uint32_t from, uint32_t to, double t);

}  // namespace art
