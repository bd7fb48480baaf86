// Sound: sounds from the library started and stopped through the player's
// mixer, and the volume and pan of a clip's sounds.
#include <cmath>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/interpreter.h"
#include "player/core/sound_mixer.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

class SoundObject : public NativeObject {
 public:
  explicit SoundObject(Object* proto) : NativeObject(proto, kSoundTag) {}
  void trace(Heap& heap) override {
    Object::trace(heap);
    heap.mark(target);
  }
  Value target;  // a clip or a path; undefined for the movie as a whole
  bool hasTarget = false;
  // A clip is found again by the path it had: renamed, it is not there.
  String clipPath;
  int soundId = -1;  // attached from the library; -1 for none
  const swf::SoundDef* sound = nullptr;
  uint32_t handle = 0;
};

SoundObject* thisSound(const Call& c) {
  Object* o = c.thisValue.object();
  if (!o || o->kind() != Object::Kind::Native || static_cast<NativeObject*>(o)->tag != kSoundTag) return nullptr;
  return static_cast<SoundObject*>(o);
}

// 32-bit integers as the reference player converts them here: values out of
// range, and NaN, become the smallest integer.
int32_t saturatingInt(Machine& m, const Value& v) { return saturateToInt32(m.toNumber(v)); }

int32_t wrapped(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// A volume or pan argument: none is 0.
int32_t levelArgument(Machine& m, const Call& c) { return c.count == 0 ? 0 : saturatingInt(m, c.arg(0)); }

// The reference's arithmetic: modulo 2^32, NaN and infinities 0.
int32_t moduloInt(Machine& m, const Value& v) {
  double d = m.toNumber(v);
  if (!std::isfinite(d)) return 0;
  return wrapped(static_cast<int64_t>(std::fmod(std::trunc(d), 4294967296.0)));
}

int32_t magnitude(int32_t v) { return v < 0 ? wrapped(-int64_t(v)) : v; }

// The clip whose sounds this object controls; null for the whole movie.
// False when a target was named but is not there.
bool targetOf(Machine& m, SoundObject* s, player::SpriteInstance** sprite) {
  *sprite = nullptr;
  if (!s->hasTarget) return true;
  *sprite = spriteOf(s->target);
  if ((!*sprite || !s->clipPath.empty()) && m.current()) {
    Activation* a = m.current();
    Object* start = a->target ? a->target : a->baseClip;
    *sprite = spriteOf(resolveTargetPath(m, *a, start, s->clipPath.empty() ? m.toString(s->target) : s->clipPath));
  }
  return *sprite != nullptr;
}

// The transform a Sound object reads and writes, null when its clip is gone.
player::SoundTransform* transformOf(Machine& m, const Call& c, player::SpriteInstance** sprite) {
  SoundObject* s = thisSound(c);
  if (!s || !targetOf(m, s, sprite)) return nullptr;
  return *sprite ? &(*sprite)->soundTransform() : &m.globalSoundTransform();
}

void transformChanged(Machine& m, player::SpriteInstance* sprite, const player::SoundTransform& t) {
  if (m.mixer()) m.mixer()->setTransform(sprite, t);
}

Value soundConstructor(Machine& m, Call& c) {
  SoundObject* s = thisSound(c);
  if (c.constructing && s && c.count > 0 && !c.arg(0).isNullish()) {
    s->target = c.arg(0);
    s->hasTarget = true;
    if (Object* o = s->target.object()) {
      // Anything but a clip names one by its text, read now (a toString
      // that throws ends the construction).
      if (o->kind() == Object::Kind::Clip) s->clipPath = static_cast<ClipObject*>(o)->targetPath();
      else s->target = Value(m.toString(s->target));
    }
  }
  return Value();
}

// The library's sound of an export name; null when there is none.
const swf::SoundDef* exportedSound(Machine& m, const Value& name, uint16_t* id) {
  if (!m.display()) return nullptr;
  const player::Movie& movie = *m.display()->movie;
  *id = movie.exportedId(m.toString(name).str());
  auto it = *id ? movie.sounds.find(*id) : movie.sounds.end();
  return it == movie.sounds.end() ? nullptr : it->second.get();
}

Value attachSound(Machine& m, Call& c) {
  SoundObject* s = thisSound(c);
  uint16_t id;
  player::SpriteInstance* sprite;
  // Nothing is attached while the object's clip is not there.
  const swf::SoundDef* sound = s && targetOf(m, s, &sprite) ? exportedSound(m, c.arg(0), &id) : nullptr;
  if (sound) {
    s->sound = sound;
    s->soundId = id;
  }
  return Value();
}

Value start(Machine& m, Call& c) {
  SoundObject* s = thisSound(c);
  player::SpriteInstance* sprite;
  if (!s || !s->sound || !targetOf(m, s, &sprite)) return Value();
  double offset = c.count > 0 ? m.toNumber(c.arg(0)) : 0;
  double loops = c.count > 1 ? m.toNumber(c.arg(1)) : 1;
  if (!std::isfinite(offset) || offset < 0) offset = 0;
  if (!std::isfinite(loops) || loops < 1) loops = 1;
  if (m.mixer()) s->handle = m.mixer()->start(static_cast<uint16_t>(s->soundId), offset,
                                              static_cast<int>(std::min(loops, 32767.0)), sprite);
  return Value();
}

Value stop(Machine& m, Call& c) {
  SoundObject* s = thisSound(c);
  player::SpriteInstance* sprite;
  if (!s || !targetOf(m, s, &sprite) || !m.mixer()) return Value();
  uint16_t id = 0;
  if (c.count > 0 && !exportedSound(m, c.arg(0), &id)) return Value();
  m.mixer()->stop(c.count > 0 ? id : -1, sprite);
  return Value();
}

Value getVolume(Machine& m, Call& c) {
  player::SpriteInstance* sprite;
  player::SoundTransform* t = transformOf(m, c, &sprite);
  return t ? Value(static_cast<double>(t->volume)) : Value();
}

Value setVolume(Machine& m, Call& c) {
  player::SpriteInstance* sprite;
  player::SoundTransform* t = transformOf(m, c, &sprite);
  if (!t) return Value();
  t->volume = levelArgument(m, c);
  transformChanged(m, sprite, *t);
  return Value();
}

Value getPan(Machine& m, Call& c) {
  player::SpriteInstance* sprite;
  player::SoundTransform* t = transformOf(m, c, &sprite);
  if (!t) return Value();
  // Read off the left channel unless it is full, then off the right.
  int32_t pan = t->leftToLeft == 100 ? wrapped(int64_t(magnitude(t->rightToRight)) - 100)
                                      : wrapped(100 - int64_t(magnitude(t->leftToLeft)));
  return Value(static_cast<double>(pan));
}

Value setPan(Machine& m, Call& c) {
  player::SpriteInstance* sprite;
  player::SoundTransform* t = transformOf(m, c, &sprite);
  if (!t) return Value();
  int32_t pan = levelArgument(m, c);
  t->leftToRight = t->rightToLeft = 0;
  if (pan >= 0) {
    t->leftToLeft = wrapped(100 - int64_t(pan));
    t->rightToRight = 100;
  } else {
    t->leftToLeft = 100;
    t->rightToRight = wrapped(100 + int64_t(pan));
  }
  transformChanged(m, sprite, *t);
  return Value();
}

Value getTransform(Machine& m, Call& c) {
  player::SpriteInstance* sprite;
  player::SoundTransform* t = transformOf(m, c, &sprite);
  if (!t) return Value();
  Object* o = m.newObject();
  m.set(o, "ll", Value(static_cast<double>(t->leftToLeft)));
  m.set(o, "lr", Value(static_cast<double>(t->leftToRight)));
  m.set(o, "rr", Value(static_cast<double>(t->rightToRight)));
  m.set(o, "rl", Value(static_cast<double>(t->rightToLeft)));
  return Value(o);
}

Value setTransform(Machine& m, Call& c) {
  player::SpriteInstance* sprite;
  player::SoundTransform* t = transformOf(m, c, &sprite);
  Object* o = c.arg(0).object();
  if (!t || !o) return Value();
  struct Field {
    const char* name;
    int32_t* value;
  } fields[] = {{"ll", &t->leftToLeft}, {"lr", &t->leftToRight}, {"rr", &t->rightToRight}, {"rl", &t->rightToLeft}};
  // Only the object's own fields count.
  for (const Field& f : fields)
    if (m.hasOwnProperty(o, f.name)) *f.value = moduloInt(m, m.get(o, f.name));
  transformChanged(m, sprite, *t);
  return Value();
}

Value getDuration(Machine&, Call& c) {
  SoundObject* s = thisSound(c);
  if (!s || !s->sound) return Value();
  return Value(std::round(s->sound->sampleCount * 1000.0 / s->sound->rate));
}

Value getPosition(Machine& m, Call& c) {
  SoundObject* s = thisSound(c);
  if (!s || !s->sound) return Value();
  double ms = s->handle && m.mixer() ? m.mixer()->position(s->handle) : 0;
  return Value(std::floor(std::max(0.0, ms) + 1e-6));  // whole milliseconds, not a hair under
}

Value ignore(Machine&, Call&) { return Value(); }

Object* allocateSound(Machine& m, Object* proto) { return m.heap().make<SoundObject>(proto); }

}  // namespace

void stopAllSounds(Machine& m) {
  if (m.mixer()) m.mixer()->stop(-1, nullptr);
}

void installSound(Machine& m) {
  Prototypes& p = m.protos();
  p.sound = m.heap().make<Object>(p.object);
  Object* sp = p.sound;
  FunctionObject* sound = m.defineClass(m.global(), "Sound", soundConstructor, sp);
  sound->allocate = allocateSound;
  m.method(sp, "attachSound", attachSound);
  m.method(sp, "start", start);
  m.method(sp, "stop", stop);
  m.method(sp, "getVolume", getVolume);
  m.method(sp, "setVolume", setVolume);
  m.method(sp, "getPan", getPan);
  m.method(sp, "setPan", setPan);
  m.method(sp, "getTransform", getTransform);
  m.method(sp, "setTransform", setTransform);
  // The rest came with SWF 6.
  uint32_t fromSwf6 = kDontEnum | kVersion6;
  m.method(sp, "getDuration", getDuration, 0, fromSwf6);
  m.method(sp, "getPosition", getPosition, 0, fromSwf6);
  m.method(sp, "loadSound", ignore, 0, fromSwf6);
  m.method(sp, "getBytesLoaded", ignore, 0, fromSwf6);
  m.method(sp, "getBytesTotal", ignore, 0, fromSwf6);
  sp->defineVirtual("duration", m.newNative(getDuration), nullptr, fromSwf6 | kDontDelete);
  sp->defineVirtual("position", m.newNative(getPosition), nullptr, fromSwf6 | kDontDelete);
  m.global()->define("stopAllSounds", Value(m.newNative([](Machine& mm, Call&) {
                       stopAllSounds(mm);
                       return Value();
                     })),
                     kDontEnum);
}

}  // namespace avm1
