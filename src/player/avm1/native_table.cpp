// ASnative(major, minor): the player's built-in routines by number, as
// hand-written movies and compilers' class code reach them.
#include "player/avm1/builtins.h"
#include "player/avm1/interpreter.h"

namespace avm1 {

namespace {

// ASnew: whether the script function calling it was run by `new`. Native
// calls in between (call, apply, getters, valueOf) do not count; a nested
// function does.
Value asNew(Machine& m, Call&) {
  Activation* a = m.current();
  return Value(a != nullptr && a->constructing);
}

struct NativeEntry {
  int major, minor;
  NativeFunction fn;
};

const NativeEntry kTable[] = {
    {2, 0, asNew},
};

Value asNative(Machine& m, Call& c) {
  if (c.count < 2) return Value();
  double major = m.toNumber(c.arg(0)), minor = m.toNumber(c.arg(1));
  for (const NativeEntry& e : kTable)
    if (e.major == major && e.minor == minor) return Value(m.newNative(e.fn));
  return Value();
}

}  // namespace

void installNativeTable(Machine& m) { m.method(m.global(), "ASnative", asNative); }

}  // namespace avm1
