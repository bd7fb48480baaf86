// flash.geom.ColorTransform and flash.geom.Transform: a colour transform
// as numbers a script reads and writes, and a clip's own transform seen
// through them.
#include <cmath>
#include <string>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/core/bounds.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

// The numbers live in a cell of their own hung on the object.
const char kData[] = "colorTransform";

class ColorTransformData : public NativeObject {
 public:
  ColorTransformData() : NativeObject(nullptr, kColorTransformTag) {}
  swf::ColorTransform value;
};

ColorTransformData* dataOf(const Value& v) {
  return static_cast<ColorTransformData*>(hiddenData(v, kData, kColorTransformTag));
}

ColorTransformData* attachData(Machine& m, Object* o) {
  if (ColorTransformData* d = dataOf(Value(o))) return d;
  ColorTransformData* d = m.heap().make<ColorTransformData>();
  attachHiddenData(o, kData, d);
  return d;
}

Object* makeColorTransform(Machine& m, const swf::ColorTransform& t) {
  Object* o = m.heap().make<Object>(m.protos().colorTransform);
  attachData(m, o)->value = t;
  return o;
}

// The eight fields in the order the constructor takes them.
double swf::ColorTransform::*const kFields[] = {
    &swf::ColorTransform::rMul, &swf::ColorTransform::gMul, &swf::ColorTransform::bMul, &swf::ColorTransform::aMul,
    &swf::ColorTransform::rAdd, &swf::ColorTransform::gAdd, &swf::ColorTransform::bAdd, &swf::ColorTransform::aAdd};
const char* const kFieldNames[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                   "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

Value colorTransformConstructor(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o) return Value();
  // Every argument is read, even when the object already is one (a
  // subclass calling super() twice): only the first construction counts.
  swf::ColorTransform t;
  if (c.count > 0)
    for (size_t i = 0; i < 8; ++i) t.*kFields[i] = m.toNumber(c.arg(i));
  if (!dataOf(c.thisValue)) attachData(m, o)->value = t;
  return Value();
}

Value getField(Machine&, Call& c) {
  ColorTransformData* d = dataOf(c.thisValue);
  if (!d) return Value();
  return Value(d->value.*kFields[c.callee->magic]);
}

Value setField(Machine& m, Call& c) {
  ColorTransformData* d = dataOf(c.thisValue);
  if (d) d->value.*kFields[c.callee->magic] = m.toNumber(c.arg(0));
  return Value();
}

int32_t channel(double v) { return wrapToInt32(v); }

Value getRgb(Machine&, Call& c) {
  ColorTransformData* d = dataOf(c.thisValue);
  if (!d) return Value();
  const swf::ColorTransform& t = d->value;
  return Value(static_cast<double>((channel(t.rAdd) << 16) | (channel(t.gAdd) << 8) | channel(t.bAdd)));
}

// Setting the colour makes the transform paint that colour over everything.
Value setRgb(Machine& m, Call& c) {
  ColorTransformData* d = dataOf(c.thisValue);
  if (!d) return Value();
  uint32_t rgb = m.toUint32(c.arg(0));
  swf::ColorTransform& t = d->value;
  t.rMul = t.gMul = t.bMul = 0;
  t.rAdd = (rgb >> 16) & 0xFF;
  t.gAdd = (rgb >> 8) & 0xFF;
  t.bAdd = rgb & 0xFF;
  return Value();
}

// this.concat(second): `second` applied first, then this.
Value concat(Machine&, Call& c) {
  ColorTransformData* d = dataOf(c.thisValue);
  ColorTransformData* other = dataOf(c.arg(0));
  if (d && other) d->value = d->value * other->value;
  return Value();
}

Value toString(Machine& m, Call& c) {
  ColorTransformData* d = dataOf(c.thisValue);
  if (!d) return Value();
  std::string s = "(";
  for (size_t i = 0; i < 8; ++i) {
    if (i) s += ", ";
    s += kFieldNames[i];
    s += '=';
    s += Machine::numberToString(d->value.*kFields[i]).str();
  }
  s += ')';
  return m.makeString(s);
}

// ------------------------------------------------------------ Transform

class TransformObject : public NativeObject {
 public:
  explicit TransformObject(Object* proto) : NativeObject(proto, kTransformTag) {}
  void trace(Heap& heap) override {
    Object::trace(heap);
    heap.mark(clip);
  }
  Value clip;
};

player::DisplayObject* transformTarget(const Call& c) {
  Object* o = c.thisValue.object();
  if (!o || o->kind() != Object::Kind::Native || static_cast<NativeObject*>(o)->tag != kTransformTag) return nullptr;
  player::SpriteInstance* s = spriteOf(static_cast<TransformObject*>(o)->clip);
  return s ? s->displayObject() : nullptr;
}

player::SpriteInstance* transformSprite(const Call& c) {
  return transformTarget(c) ? spriteOf(static_cast<TransformObject*>(c.thisValue.object())->clip) : nullptr;
}

Object* allocateTransform(Machine& m, Object* proto) { return m.heap().make<TransformObject>(proto); }

Value transformConstructor(Machine&, Call& c) {
  Object* o = c.thisValue.object();
  if (c.constructing && o && o->kind() == Object::Kind::Native && static_cast<NativeObject*>(o)->tag == kTransformTag)
    static_cast<TransformObject*>(o)->clip = spriteOf(c.arg(0)) ? c.arg(0) : Value();
  return Value();
}

Value getColorTransform(Machine& m, Call& c) {
  player::DisplayObject* d = transformTarget(c);
  if (!d) return Value();
  return Value(makeColorTransform(m, d->colorTransform));
}

Value setColorTransform(Machine&, Call& c) {
  player::DisplayObject* d = transformTarget(c);
  ColorTransformData* t = dataOf(c.arg(0));
  if (!d || !t) return Value();
  d->colorTransform = t->value;
  d->transformedByScript = true;
  return Value();
}

// The clip's colour transform within all its parents'.
Value getConcatenatedColorTransform(Machine& m, Call& c) {
  player::SpriteInstance* s = transformSprite(c);
  if (!s) return Value();
  swf::ColorTransform t;
  for (int depth = 0; s && depth < 1000; s = s->parent(), ++depth)
    if (player::DisplayObject* d = s->displayObject()) t = d->colorTransform * t;
  return Value(makeColorTransform(m, t));
}

// A matrix as a flash.geom.Matrix, its translation in pixels.
Value matrixObject(Machine& m, const swf::Matrix& t) {
  Object* o = m.heap().make<Object>(m.protos().matrix);
  const double fields[] = {t.a, t.b, t.c, t.d, t.tx / 20, t.ty / 20};
  const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
  for (int i = 0; i < 6; ++i) m.set(o, names[i], Value(fields[i]));
  return Value(o);
}

Value getMatrix(Machine& m, Call& c) {
  player::DisplayObject* d = transformTarget(c);
  return d ? matrixObject(m, d->matrix) : Value();
}

// The clip's matrix within all its parents': from its space to the stage's.
Value getConcatenatedMatrix(Machine& m, Call& c) {
  player::SpriteInstance* s = transformSprite(c);
  return s ? matrixObject(m, s->worldMatrix()) : Value();
}

// What the clip covers on the stage, in whole pixels.
Value getPixelBounds(Machine& m, Call& c) {
  player::SpriteInstance* s = transformSprite(c);
  if (!s) return Value();
  double box[4];
  player::clearBox(box);
  player::addSpriteBounds(*s, s->worldMatrix(), box);
  double edges[4] = {0, 0, 0, 0};
  if (!player::boxIsEmpty(box)) {
    edges[0] = std::floor(box[0] / 20);
    edges[1] = std::floor(box[1] / 20);
    edges[2] = std::ceil(box[2] / 20) - edges[0];
    edges[3] = std::ceil(box[3] / 20) - edges[1];
  }
  Value args[4] = {Value(edges[0]), Value(edges[1]), Value(edges[2]), Value(edges[3])};
  return m.construct(m.get(geomPackage(m), "Rectangle"), args, 4);
}

Value setMatrix(Machine& m, Call& c) {
  player::DisplayObject* d = transformTarget(c);
  Object* o = c.arg(0).object();
  if (!d || !o) return Value();
  double fields[6];
  const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
  for (int i = 0; i < 6; ++i) {
    fields[i] = m.toNumber(m.get(o, names[i]));
    // A matrix that is no number at all leaves the clip as it is.
    if (!std::isfinite(fields[i])) return Value();
  }
  d->matrix = {fields[0], fields[1], fields[2], fields[3], std::round(fields[4] * 20), std::round(fields[5] * 20)};
  d->transformedByScript = true;
  d->hasScriptTransform = false;
  return Value();
}

// MovieClip.transform: a new Transform of the clip each time.
Value clipTransform(Machine& m, Call& c) {
  if (!spriteOf(c.thisValue)) return Value();
  Object* proto = m.get(m.get(geomPackage(m), "Transform").object(), "prototype").object();
  TransformObject* t = m.heap().make<TransformObject>(proto);
  t->clip = c.thisValue;
  return Value(t);
}

}  // namespace

void installColorTransform(Machine& m) {
  Prototypes& p = m.protos();
  Object* geom = geomPackage(m);
  p.colorTransform = m.heap().make<Object>(p.object);
  m.defineClass(geom, "ColorTransform", colorTransformConstructor, p.colorTransform);
  // Listed by for..in, as in the reference player.
  const int order[] = {3, 0, 1, 2, 7, 4, 5, 6};
  for (int i : order)
    p.colorTransform->defineVirtual(kFieldNames[i], m.newNative(getField, i), m.newNative(setField, i), 0);
  p.colorTransform->defineVirtual("rgb", m.newNative(getRgb), m.newNative(setRgb), 0);
  m.method(p.colorTransform, "concat", concat, 0, 0);
  m.method(p.colorTransform, "toString", toString, 0, 0);

  Object* transformProto = m.heap().make<Object>(p.object);
  FunctionObject* transform = m.defineClass(geom, "Transform", transformConstructor, transformProto);
  transform->allocate = allocateTransform;
  transformProto->defineVirtual("colorTransform", m.newNative(getColorTransform), m.newNative(setColorTransform),
                                kDontEnum | kDontDelete);
  transformProto->defineVirtual("concatenatedColorTransform", m.newNative(getConcatenatedColorTransform), nullptr,
                                kDontEnum | kDontDelete);
  transformProto->defineVirtual("concatenatedMatrix", m.newNative(getConcatenatedMatrix), nullptr,
                                kDontEnum | kDontDelete);
  transformProto->defineVirtual("pixelBounds", m.newNative(getPixelBounds), nullptr, kDontEnum | kDontDelete);
  transformProto->defineVirtual("matrix", m.newNative(getMatrix), m.newNative(setMatrix), kDontEnum | kDontDelete);
  p.movieClip->defineVirtual("transform", m.newNative(clipTransform), nullptr, kDontEnum | kDontDelete | kVersion8);
}

}  // namespace avm1
