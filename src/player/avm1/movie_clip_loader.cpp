// MovieClipLoader. This player plays the one movie it was given and loads
// no other files into it (loadMovie does nothing either), so a load asked
// for fails the way a missing file does: the loader's listeners hear
// onLoadError once the frame's scripts have run, and the target stays as
// it was.
#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/interpreter.h"

namespace avm1 {

namespace {

// The clip a loader call names: a clip, a path, or a level number.
Value targetClip(Machine& m, const Value& target) {
  if (spriteOf(target)) return target;
  Activation* a = m.current();
  if (!a || !m.root()) return Value();
  Object* start = a->target ? a->target : a->baseClip;
  String path = target.isNumber() ? m.makeString("_level" + Machine::numberToString(m.toNumber(target)).str())
                                  : m.toString(target);
  Value clip = resolveTargetPath(m, *a, start, path);
  return spriteOf(clip) ? clip : Value();
}

Value loaderConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  makeBroadcaster(m, self);
  // A loader hears its own events.
  Value arg = c.thisValue;
  m.callMethod(c.thisValue, "addListener", &arg, 1);
  return Value();
}

Value loadClip(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  Value target = targetClip(m, c.arg(1));
  if (!self || !c.arg(0).isString() || target.isUndefined()) return Value(false);
  // Told after this frame's scripts, as a real failure would be.
  callAfterScripts(m, c.thisValue, "broadcastMessage", {Value("onLoadError"), target, Value("URLNotFound")});
  return Value(true);
}

Value unloadClip(Machine& m, Call& c) {
  Value target = targetClip(m, c.arg(0));
  if (target.isUndefined()) return Value(false);
  m.callMethod(target, "unloadMovie", nullptr, 0);
  return Value(true);
}

Value getProgress(Machine& m, Call& c) {
  Value target = targetClip(m, c.arg(0));
  if (target.isUndefined()) return Value();
  Object* progress = m.newObject();
  m.set(progress, "bytesLoaded", m.callMethod(target, "getBytesLoaded", nullptr, 0));
  m.set(progress, "bytesTotal", m.callMethod(target, "getBytesTotal", nullptr, 0));
  return Value(progress);
}

}  // namespace

void installMovieClipLoader(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "MovieClipLoader", loaderConstructor, proto, kDontEnum | kVersion6);
  m.method(proto, "loadClip", loadClip);
  m.method(proto, "unloadClip", unloadClip);
  m.method(proto, "getProgress", getProgress);
}

}  // namespace avm1
