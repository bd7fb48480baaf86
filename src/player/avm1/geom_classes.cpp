// flash.geom.Point, flash.geom.Rectangle and flash.geom.Matrix. Their fields are plain
// properties a script may set to anything; the methods read them back as
// numbers where they compute, and copy them untouched where they only move
// them, which is what movies see in the reference player.
#include <cmath>

#include "player/avm1/builtins.h"

namespace avm1 {

namespace {

bool inherits(Object* o, Object* proto) {
  if (!proto) return false;
  int depth = 0;
  for (Object* p = o ? o->proto() : nullptr; p && depth < 256; p = p->proto(), ++depth)
    if (p == proto) return true;
  return false;
}

double number(Machine& m, const Value& object, const char* name) {
  return m.toNumber(m.getMember(object, name));
}

// Math.min and Math.max: NaN when either is.
double minOf(double a, double b) { return std::isnan(a) || std::isnan(b) ? NAN : std::min(a, b); }
double maxOf(double a, double b) { return std::isnan(a) || std::isnan(b) ? NAN : std::max(a, b); }

// The script's `a < b`: true, false or undefined when NaN takes part.
Value less(Machine& m, double a, double b) { return m.lessThan(Value(a), Value(b)); }
// `a >= b`, the negation of `a < b` (undefined negates to true).
bool notLess(Machine& m, double a, double b) { return !m.toBoolean(less(m, a, b)); }

// ------------------------------------------------------------ Point

Object* makePoint(Machine& m, const Value& x, const Value& y) {
  Object* p = m.heap().make<Object>(m.protos().point);
  m.set(p, "x", x);
  m.set(p, "y", y);
  return p;
}

Value pointConstructor(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  m.set(o, "x", c.count == 0 ? Value(0.0) : c.arg(0));
  m.set(o, "y", c.count == 0 ? Value(0.0) : c.arg(1));
  return Value();
}

Value pointLength(Machine& m, Call& c) {
  double x = number(m, c.thisValue, "x"), y = number(m, c.thisValue, "y");
  return Value(std::sqrt(x * x + y * y));
}

Value pointAdd(Machine& m, Call& c) {
  return Value(makePoint(m, Value(number(m, c.thisValue, "x") + number(m, c.arg(0), "x")),
                         Value(number(m, c.thisValue, "y") + number(m, c.arg(0), "y"))));
}

Value pointSubtract(Machine& m, Call& c) {
  return Value(makePoint(m, Value(number(m, c.thisValue, "x") - number(m, c.arg(0), "x")),
                         Value(number(m, c.thisValue, "y") - number(m, c.arg(0), "y"))));
}

Value pointClone(Machine& m, Call& c) {
  return Value(makePoint(m, m.getMember(c.thisValue, "x"), m.getMember(c.thisValue, "y")));
}

Value pointEquals(Machine& m, Call& c) {
  Object* other = c.arg(0).object();
  if (!inherits(other, m.protos().point)) return Value(false);
  return Value(m.equals(m.getMember(c.thisValue, "x"), m.get(other, "x")) &&
               m.equals(m.getMember(c.thisValue, "y"), m.get(other, "y")));
}

Value pointNormalize(Machine& m, Call& c) {
  double x = number(m, c.thisValue, "x"), y = number(m, c.thisValue, "y");
  double length = std::sqrt(x * x + y * y);
  // A point of no length (or of none that is a number) stays as it is.
  if (!(length > 0)) return Value();
  double scale = m.toNumber(c.arg(0)) / length;
  m.setMember(c.thisValue, "x", Value(x * scale));
  m.setMember(c.thisValue, "y", Value(y * scale));
  return Value();
}

Value pointOffset(Machine& m, Call& c) {
  m.setMember(c.thisValue, "x", Value(number(m, c.thisValue, "x") + m.toNumber(c.arg(0))));
  m.setMember(c.thisValue, "y", Value(number(m, c.thisValue, "y") + m.toNumber(c.arg(1))));
  return Value();
}

Value pointToString(Machine& m, Call& c) {
  std::string s = "(x=" + m.toString(m.getMember(c.thisValue, "x")).str() +
                  ", y=" + m.toString(m.getMember(c.thisValue, "y")).str() + ")";
  return m.makeString(s);
}

// Point.distance(a, b): the length of a.subtract(b); a must be a point.
Value pointDistance(Machine& m, Call& c) {
  if (!inherits(c.arg(0).object(), m.protos().point)) return Value();
  double dx = number(m, c.arg(0), "x") - number(m, c.arg(1), "x");
  double dy = number(m, c.arg(0), "y") - number(m, c.arg(1), "y");
  return Value(std::sqrt(dx * dx + dy * dy));
}

// Point.interpolate(a, b, f): b at f = 0, a at f = 1.
Value pointInterpolate(Machine& m, Call& c) {
  double f = m.toNumber(c.arg(2));
  double ax = number(m, c.arg(0), "x"), ay = number(m, c.arg(0), "y");
  double bx = number(m, c.arg(1), "x"), by = number(m, c.arg(1), "y");
  return Value(makePoint(m, Value(bx + f * (ax - bx)), Value(by + f * (ay - by))));
}

Value pointPolar(Machine& m, Call& c) {
  double length = m.toNumber(c.arg(0)), angle = m.toNumber(c.arg(1));
  return Value(makePoint(m, Value(length * std::cos(angle)), Value(length * std::sin(angle))));
}

// ------------------------------------------------------------ Rectangle

struct Box {
  double left, top, right, bottom;
};

Box boxOf(Machine& m, const Value& r) {
  double x = number(m, r, "x"), y = number(m, r, "y");
  return {x, y, x + number(m, r, "width"), y + number(m, r, "height")};
}

}  // namespace

Object* makeRectangle(Machine& m, const Value& x, const Value& y, const Value& width, const Value& height) {
  Object* r = m.heap().make<Object>(m.protos().rectangle);
  m.set(r, "x", x);
  m.set(r, "y", y);
  m.set(r, "width", width);
  m.set(r, "height", height);
  return r;
}

namespace {

Value rectangleConstructor(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  bool empty = c.count == 0;
  m.set(o, "x", empty ? Value(0.0) : c.arg(0));
  m.set(o, "y", empty ? Value(0.0) : c.arg(1));
  m.set(o, "width", empty ? Value(0.0) : c.arg(2));
  m.set(o, "height", empty ? Value(0.0) : c.arg(3));
  return Value();
}

// The edges and corners, by magic number.
enum Edge { kLeft, kTop, kRight, kBottom, kTopLeft, kBottomRight, kSize };

Value rectangleGet(Machine& m, Call& c) {
  const Value& r = c.thisValue;
  switch (c.callee ? c.callee->magic : 0) {
    case kLeft:
      return m.getMember(r, "x");
    case kTop:
      return m.getMember(r, "y");
    case kRight:
      return Value(boxOf(m, r).right);
    case kBottom:
      return Value(boxOf(m, r).bottom);
    case kTopLeft:
      return Value(makePoint(m, m.getMember(r, "x"), m.getMember(r, "y")));
    case kBottomRight: {
      Box b = boxOf(m, r);
      return Value(makePoint(m, Value(b.right), Value(b.bottom)));
    }
    default:
      return Value(makePoint(m, m.getMember(r, "width"), m.getMember(r, "height")));
  }
}

// Moving one edge keeps the opposite one where it was.
void setLeft(Machine& m, const Value& r, const Value& v) {
  m.setMember(r, "width", Value(boxOf(m, r).right - m.toNumber(v)));
  m.setMember(r, "x", v);
}
void setTop(Machine& m, const Value& r, const Value& v) {
  m.setMember(r, "height", Value(boxOf(m, r).bottom - m.toNumber(v)));
  m.setMember(r, "y", v);
}
void setRight(Machine& m, const Value& r, const Value& v) {
  m.setMember(r, "width", Value(m.toNumber(v) - number(m, r, "x")));
}
void setBottom(Machine& m, const Value& r, const Value& v) {
  m.setMember(r, "height", Value(m.toNumber(v) - number(m, r, "y")));
}

Value rectangleSet(Machine& m, Call& c) {
  const Value& r = c.thisValue;
  Value v = c.arg(0);
  switch (c.callee ? c.callee->magic : 0) {
    case kLeft:
      setLeft(m, r, v);
      break;
    case kTop:
      setTop(m, r, v);
      break;
    case kRight:
      setRight(m, r, v);
      break;
    case kBottom:
      setBottom(m, r, v);
      break;
    case kTopLeft:
      setLeft(m, r, m.getMember(v, "x"));
      setTop(m, r, m.getMember(v, "y"));
      break;
    case kBottomRight:
      setRight(m, r, m.getMember(v, "x"));
      setBottom(m, r, m.getMember(v, "y"));
      break;
    default:
      m.setMember(r, "width", m.getMember(v, "x"));
      m.setMember(r, "height", m.getMember(v, "y"));
      break;
  }
  return Value();
}

Value rectangleClone(Machine& m, Call& c) {
  const Value& r = c.thisValue;
  return Value(makeRectangle(m, m.getMember(r, "x"), m.getMember(r, "y"), m.getMember(r, "width"),
                             m.getMember(r, "height")));
}

Value rectangleEquals(Machine& m, Call& c) {
  Object* other = c.arg(0).object();
  if (!inherits(other, m.protos().rectangle)) return Value(false);
  for (const char* name : {"x", "y", "width", "height"})
    if (!m.equals(m.getMember(c.thisValue, name), m.get(other, name))) return Value(false);
  return Value(true);
}

Value rectangleIsEmpty(Machine& m, Call& c) {
  double w = number(m, c.thisValue, "width"), h = number(m, c.thisValue, "height");
  return Value(!(w > 0) || !(h > 0));
}

Value rectangleSetEmpty(Machine& m, Call& c) {
  for (const char* name : {"x", "y", "width", "height"}) m.setMember(c.thisValue, name, Value(0.0));
  return Value();
}

// x >= left && x < right && y >= top && y < bottom, with the script's
// comparisons: a NaN makes a `<` undefined, and that is what comes back.
Value containsPoint(Machine& m, const Box& b, double x, double y) {
  if (!notLess(m, x, b.left)) return Value(false);
  Value v = less(m, x, b.right);
  if (!m.toBoolean(v)) return v;
  if (!notLess(m, y, b.top)) return Value(false);
  return less(m, y, b.bottom);
}

Value rectangleContains(Machine& m, Call& c) {
  return containsPoint(m, boxOf(m, c.thisValue), m.toNumber(c.arg(0)), m.toNumber(c.arg(1)));
}

Value rectangleContainsPoint(Machine& m, Call& c) {
  return containsPoint(m, boxOf(m, c.thisValue), number(m, c.arg(0), "x"), number(m, c.arg(0), "y"));
}

Value rectangleContainsRectangle(Machine& m, Call& c) {
  Box b = boxOf(m, c.thisValue), o = boxOf(m, c.arg(0));
  // The other's top left corner inside, then its bottom right one inside
  // or on the far edges.
  Value v = containsPoint(m, b, o.left, o.top);
  if (!m.toBoolean(v)) return v;
  v = less(m, b.left, o.right);
  if (!m.toBoolean(v)) return v;
  if (m.toBoolean(less(m, b.right, o.right))) return Value(false);
  v = less(m, b.top, o.bottom);
  if (!m.toBoolean(v)) return v;
  return Value(!m.toBoolean(less(m, b.bottom, o.bottom)));
}

void inflateBy(Machine& m, const Value& r, double dx, double dy) {
  m.setMember(r, "x", Value(number(m, r, "x") - dx));
  m.setMember(r, "width", Value(number(m, r, "width") + 2 * dx));
  m.setMember(r, "y", Value(number(m, r, "y") - dy));
  m.setMember(r, "height", Value(number(m, r, "height") + 2 * dy));
}

Value rectangleInflate(Machine& m, Call& c) {
  inflateBy(m, c.thisValue, m.toNumber(c.arg(0)), m.toNumber(c.arg(1)));
  return Value();
}

Value rectangleInflatePoint(Machine& m, Call& c) {
  inflateBy(m, c.thisValue, number(m, c.arg(0), "x"), number(m, c.arg(0), "y"));
  return Value();
}

void offsetBy(Machine& m, const Value& r, double dx, double dy) {
  m.setMember(r, "x", Value(number(m, r, "x") + dx));
  m.setMember(r, "y", Value(number(m, r, "y") + dy));
}

Value rectangleOffset(Machine& m, Call& c) {
  offsetBy(m, c.thisValue, m.toNumber(c.arg(0)), m.toNumber(c.arg(1)));
  return Value();
}

Value rectangleOffsetPoint(Machine& m, Call& c) {
  offsetBy(m, c.thisValue, number(m, c.arg(0), "x"), number(m, c.arg(0), "y"));
  return Value();
}

// The overlap, or an empty rectangle at 0, 0 when there is none.
Box overlap(Machine& m, const Value& a, const Value& b) {
  Box p = boxOf(m, a), q = boxOf(m, b);
  Box o = {maxOf(p.left, q.left), maxOf(p.top, q.top), minOf(p.right, q.right), minOf(p.bottom, q.bottom)};
  if (!(o.right > o.left && o.bottom > o.top)) return {0, 0, 0, 0};
  return o;
}

Value rectangleIntersection(Machine& m, Call& c) {
  Box o = overlap(m, c.thisValue, c.arg(0));
  return Value(makeRectangle(m, Value(o.left), Value(o.top), Value(o.right - o.left), Value(o.bottom - o.top)));
}

Value rectangleIntersects(Machine& m, Call& c) {
  Box o = overlap(m, c.thisValue, c.arg(0));
  return Value(o.right > o.left);
}

Value rectangleUnion(Machine& m, Call& c) {
  Box p = boxOf(m, c.thisValue), q = boxOf(m, c.arg(0));
  Box u = {minOf(p.left, q.left), minOf(p.top, q.top), maxOf(p.right, q.right), maxOf(p.bottom, q.bottom)};
  return Value(makeRectangle(m, Value(u.left), Value(u.top), Value(u.right - u.left), Value(u.bottom - u.top)));
}

Value rectangleToString(Machine& m, Call& c) {
  const Value& r = c.thisValue;
  std::string s = "(x=" + m.toString(m.getMember(r, "x")).str() + ", y=" + m.toString(m.getMember(r, "y")).str() +
                  ", w=" + m.toString(m.getMember(r, "width")).str() +
                  ", h=" + m.toString(m.getMember(r, "height")).str() + ")";
  return m.makeString(s);
}

// ------------------------------------------------------------ Matrix

const char* const kMatrixFields[] = {"a", "b", "c", "d", "tx", "ty"};

struct Affine {
  double a, b, c, d, tx, ty;
};

Affine affineOf(Machine& m, const Value& v) {
  return {number(m, v, "a"), number(m, v, "b"), number(m, v, "c"),
          number(m, v, "d"), number(m, v, "tx"), number(m, v, "ty")};
}

void store(Machine& m, const Value& v, const Affine& t) {
  const double fields[] = {t.a, t.b, t.c, t.d, t.tx, t.ty};
  for (int i = 0; i < 6; ++i) m.setMember(v, kMatrixFields[i], Value(fields[i]));
}

// p then q: a point goes through p first.
Affine then(const Affine& p, const Affine& q) {
  return {p.a * q.a + p.b * q.c,         p.a * q.b + p.b * q.d,         p.c * q.a + p.d * q.c,
          p.c * q.b + p.d * q.d,         p.tx * q.a + p.ty * q.c + q.tx, p.tx * q.b + p.ty * q.d + q.ty};
}

Affine box(double scaleX, double scaleY, double rotation, double tx, double ty) {
  double cs = std::cos(rotation), sn = std::sin(rotation);
  return {cs * scaleX, sn * scaleY, -sn * scaleX, cs * scaleY, tx, ty};
}

Value matrixConstructor(Machine& m, Call& c) {
  if (!c.thisValue.object()) return Value();
  if (c.count == 0) {
    store(m, c.thisValue, {1, 0, 0, 1, 0, 0});
  } else {
    for (size_t i = 0; i < 6; ++i) m.setMember(c.thisValue, kMatrixFields[i], c.arg(i));
  }
  return Value();
}

Value matrixClone(Machine& m, Call& c) {
  Object* o = m.heap().make<Object>(m.protos().matrix);
  for (const char* name : kMatrixFields) m.set(o, name, m.getMember(c.thisValue, name));
  return Value(o);
}

Value matrixConcat(Machine& m, Call& c) {
  store(m, c.thisValue, then(affineOf(m, c.thisValue), affineOf(m, c.arg(0))));
  return Value();
}

Value matrixIdentity(Machine& m, Call& c) {
  store(m, c.thisValue, {1, 0, 0, 1, 0, 0});
  return Value();
}

Value matrixInvert(Machine& m, Call& c) {
  Affine t = affineOf(m, c.thisValue);
  double det = t.a * t.d - t.b * t.c;
  Affine r = {t.d / det, -t.b / det, -t.c / det, t.a / det, 0, 0};
  r.tx = -(r.a * t.tx + r.c * t.ty);
  r.ty = -(r.b * t.tx + r.d * t.ty);
  store(m, c.thisValue, r);
  return Value();
}

Value matrixRotate(Machine& m, Call& c) {
  store(m, c.thisValue, then(affineOf(m, c.thisValue), box(1, 1, m.toNumber(c.arg(0)), 0, 0)));
  return Value();
}

Value matrixScale(Machine& m, Call& c) {
  store(m, c.thisValue,
        then(affineOf(m, c.thisValue), {m.toNumber(c.arg(0)), 0, 0, m.toNumber(c.arg(1)), 0, 0}));
  return Value();
}

Value matrixTranslate(Machine& m, Call& c) {
  Affine t = affineOf(m, c.thisValue);
  t.tx += m.toNumber(c.arg(0));
  t.ty += m.toNumber(c.arg(1));
  store(m, c.thisValue, t);
  return Value();
}

// Rotation, tx and ty left out count as 0.
double numberOr0(Machine& m, const Call& c, size_t i) { return c.count > i ? m.toNumber(c.arg(i)) : 0; }

Value matrixCreateBox(Machine& m, Call& c) {
  store(m, c.thisValue, box(m.toNumber(c.arg(0)), m.toNumber(c.arg(1)), numberOr0(m, c, 2), numberOr0(m, c, 3),
                            numberOr0(m, c, 4)));
  return Value();
}

// A gradient's square of 1638.4 twips-as-pixels stretched over the box.
Value matrixCreateGradientBox(Machine& m, Call& c) {
  double width = m.toNumber(c.arg(0)), height = m.toNumber(c.arg(1));
  store(m, c.thisValue, box(width / 1638.4, height / 1638.4, numberOr0(m, c, 2), numberOr0(m, c, 3) + width / 2,
                            numberOr0(m, c, 4) + height / 2));
  return Value();
}

Value matrixTransformPoint(Machine& m, Call& c) {
  Affine t = affineOf(m, c.thisValue);
  double x = number(m, c.arg(0), "x"), y = number(m, c.arg(0), "y");
  bool delta = c.callee && c.callee->magic == 1;
  return Value(makePoint(m, Value(t.a * x + t.c * y + (delta ? 0 : t.tx)),
                         Value(t.b * x + t.d * y + (delta ? 0 : t.ty))));
}

Value matrixToString(Machine& m, Call& c) {
  std::string s = "(";
  for (int i = 0; i < 6; ++i) {
    if (i) s += ", ";
    s += kMatrixFields[i];
    s += '=';
    s += m.toString(m.getMember(c.thisValue, kMatrixFields[i])).str();
  }
  return m.makeString(s + ")");
}

}  // namespace

namespace {

// A package object under `owner`, made on first use. Found whatever the
// movie's version: the classes are installed before any script runs, and
// a version that may not see them still must not get two of them.
Object* package(Machine& m, Object* owner, const char* name, uint32_t flags) {
  Property* p = owner->findOwn(name, true);
  if (p && p->value.object()) return p->value.object();
  Object* o = m.newObject();
  owner->define(name, Value(o), flags);
  return o;
}

}  // namespace

Object* flashPackage(Machine& m) { return package(m, m.global(), "flash", kDontEnum | kVersion8); }

Object* geomPackage(Machine& m) { return package(m, flashPackage(m), "geom", kDontEnum); }

Object* displayPackage(Machine& m) { return package(m, flashPackage(m), "display", kDontEnum); }

void installGeom(Machine& m) {
  Prototypes& p = m.protos();
  Object* geom = geomPackage(m);

  p.point = m.heap().make<Object>(p.object);
  FunctionObject* point = m.defineClass(geom, "Point", pointConstructor, p.point);
  m.method(p.point, "add", pointAdd);
  m.method(p.point, "subtract", pointSubtract);
  m.method(p.point, "clone", pointClone);
  m.method(p.point, "equals", pointEquals);
  m.method(p.point, "normalize", pointNormalize);
  m.method(p.point, "offset", pointOffset);
  m.method(p.point, "toString", pointToString);
  p.point->defineVirtual("length", m.newNative(pointLength), nullptr, kDontEnum | kDontDelete);
  m.method(point, "distance", pointDistance);
  m.method(point, "interpolate", pointInterpolate);
  m.method(point, "polar", pointPolar);

  p.rectangle = m.heap().make<Object>(p.object);
  m.defineClass(geom, "Rectangle", rectangleConstructor, p.rectangle);
  const char* edges[] = {"left", "top", "right", "bottom", "topLeft", "bottomRight", "size"};
  for (int i = kLeft; i <= kSize; ++i)
    p.rectangle->defineVirtual(edges[i], m.newNative(rectangleGet, i), m.newNative(rectangleSet, i),
                               kDontEnum | kDontDelete);
  m.method(p.rectangle, "clone", rectangleClone);
  m.method(p.rectangle, "equals", rectangleEquals);
  m.method(p.rectangle, "isEmpty", rectangleIsEmpty);
  m.method(p.rectangle, "setEmpty", rectangleSetEmpty);
  m.method(p.rectangle, "contains", rectangleContains);
  m.method(p.rectangle, "containsPoint", rectangleContainsPoint);
  m.method(p.rectangle, "containsRectangle", rectangleContainsRectangle);
  m.method(p.rectangle, "inflate", rectangleInflate);
  m.method(p.rectangle, "inflatePoint", rectangleInflatePoint);
  m.method(p.rectangle, "intersection", rectangleIntersection);
  m.method(p.rectangle, "intersects", rectangleIntersects);
  m.method(p.rectangle, "offset", rectangleOffset);
  m.method(p.rectangle, "offsetPoint", rectangleOffsetPoint);
  m.method(p.rectangle, "union", rectangleUnion);
  m.method(p.rectangle, "toString", rectangleToString);

  p.matrix = m.heap().make<Object>(p.object);
  m.defineClass(geom, "Matrix", matrixConstructor, p.matrix);
  m.method(p.matrix, "clone", matrixClone);
  m.method(p.matrix, "concat", matrixConcat);
  m.method(p.matrix, "identity", matrixIdentity);
  m.method(p.matrix, "invert", matrixInvert);
  m.method(p.matrix, "rotate", matrixRotate);
  m.method(p.matrix, "scale", matrixScale);
  m.method(p.matrix, "translate", matrixTranslate);
  m.method(p.matrix, "createBox", matrixCreateBox);
  m.method(p.matrix, "createGradientBox", matrixCreateGradientBox);
  m.method(p.matrix, "transformPoint", matrixTransformPoint);
  m.method(p.matrix, "deltaTransformPoint", matrixTransformPoint, 1);
  m.method(p.matrix, "toString", matrixToString);
}

}  // namespace avm1
