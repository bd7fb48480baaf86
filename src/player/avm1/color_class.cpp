// Color: a clip's colour transform as setRGB and setTransform see it.
#include <cmath>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/interpreter.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

class ColorObject : public NativeObject {
 public:
  explicit ColorObject(Object* proto) : NativeObject(proto, kColorTag) {}
  void trace(Heap& heap) override {
    Object::trace(heap);
    heap.mark(target);
  }
  Value target;
};

player::DisplayObject* targetOf(Machine& m, const Call& c) {
  Object* o = c.thisValue.object();
  if (!o || o->kind() != Object::Kind::Native || static_cast<NativeObject*>(o)->tag != kColorTag) return nullptr;
  Value target = static_cast<ColorObject*>(o)->target;
  player::SpriteInstance* s = spriteOf(target);
  if (!s && !target.isNullish() && !m.toString(target).empty() && m.root()) {
    Activation* a = m.current();
    Object* start = a ? (a->target ? a->target : a->baseClip) : m.clipObject(m.root());
    if (a) s = spriteOf(resolveTargetPath(m, *a, start, m.toString(target)));
  }
  return s ? s->displayObject() : nullptr;
}

Value colorConstructor(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (c.constructing && o && o->kind() == Object::Kind::Native && static_cast<NativeObject*>(o)->tag == kColorTag) {
    static_cast<ColorObject*>(o)->target = c.arg(0);
    o->define("target", c.arg(0), kDontEnum | kDontDelete | kReadOnly);
  }
  (void)m;
  return Value();
}

Value setRgb(Machine& m, Call& c) {
  player::DisplayObject* d = targetOf(m, c);
  if (!d || c.count == 0) return Value();
  uint32_t rgb = m.toUint32(c.arg(0));
  swf::ColorTransform& t = d->colorTransform;
  t.rMul = t.gMul = t.bMul = 0;
  t.rAdd = (rgb >> 16) & 0xFF;
  t.gAdd = (rgb >> 8) & 0xFF;
  t.bAdd = rgb & 0xFF;
  d->transformedByScript = true;
  return Value();
}

Value getRgb(Machine& m, Call& c) {
  player::DisplayObject* d = targetOf(m, c);
  if (!d) return Value();
  const swf::ColorTransform& t = d->colorTransform;
  // The adds as signed numbers, shifted and or-ed: negative adds make the
  // whole number negative, as in the reference player.
  uint32_t r = static_cast<uint32_t>(wrapToInt32(t.rAdd)), g = static_cast<uint32_t>(wrapToInt32(t.gAdd));
  uint32_t b = static_cast<uint32_t>(wrapToInt32(t.bAdd));
  return Value(static_cast<double>(static_cast<int32_t>((r << 16) | (g << 8) | b)));
}

Value setTransform(Machine& m, Call& c) {
  player::DisplayObject* d = targetOf(m, c);
  Object* o = c.arg(0).object();
  if (!d || !o) return Value();
  swf::ColorTransform& t = d->colorTransform;
  struct Field {
    const char* name;
    double* value;
    double scale;
  };
  Field fields[] = {{"ra", &t.rMul, 100}, {"ga", &t.gMul, 100}, {"ba", &t.bMul, 100}, {"aa", &t.aMul, 100},
                    {"rb", &t.rAdd, 1},   {"gb", &t.gAdd, 1},   {"bb", &t.bAdd, 1},   {"ab", &t.aAdd, 1}};
  for (const Field& f : fields) {
    // Only the object's own fields count; one set to undefined means 0.
    if (!o->findOwn(f.name, m.swfVersion() >= 7)) continue;
    double v = m.toNumber(m.get(o, f.name));
    // The reference player keeps 16-bit numbers: 8.8 fixed point
    // multipliers and whole adds, wrapping past their range.
    if (f.scale == 100) {
      *f.value = static_cast<int16_t>(wrapToInt32(v * 256 / 100)) / 256.0;
    } else {
      *f.value = static_cast<int16_t>(wrapToInt32(v));
    }
  }
  d->transformedByScript = true;
  return Value();
}

Value getTransform(Machine& m, Call& c) {
  player::DisplayObject* d = targetOf(m, c);
  if (!d) return Value();
  const swf::ColorTransform& t = d->colorTransform;
  Object* o = m.newObject();
  m.set(o, "ra", Value(t.rMul * 100));
  m.set(o, "rb", Value(t.rAdd));
  m.set(o, "ga", Value(t.gMul * 100));
  m.set(o, "gb", Value(t.gAdd));
  m.set(o, "ba", Value(t.bMul * 100));
  m.set(o, "bb", Value(t.bAdd));
  m.set(o, "aa", Value(t.aMul * 100));
  m.set(o, "ab", Value(t.aAdd));
  return Value(o);
}

Object* allocateColor(Machine& m, Object* proto) { return m.heap().make<ColorObject>(proto); }

}  // namespace

void installColor(Machine& m) {
  Prototypes& p = m.protos();
  p.color = m.heap().make<Object>(p.object);
  FunctionObject* color = m.defineClass(m.global(), "Color", colorConstructor, p.color);
  color->allocate = allocateColor;
  m.method(p.color, "setRGB", setRgb);
  m.method(p.color, "getRGB", getRgb);
  m.method(p.color, "setTransform", setTransform);
  m.method(p.color, "getTransform", getTransform);
}

}  // namespace avm1
