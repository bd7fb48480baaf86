// ASnative(major, minor): the player's built-in routines by number, as
// hand-written movies and compilers' class code reach them.
#include <string>

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

FunctionObject* nativeFunction(Machine& m, double major, double minor) {
  for (const NativeEntry& e : kTable)
    if (e.major == major && e.minor == minor) return m.newNative(e.fn);
  if (!(major >= 0 && major < 65536 && minor >= 0 && minor < 65536)) return nullptr;
  return filterNative(m, static_cast<int>(major), static_cast<int>(minor));
}

Value asNative(Machine& m, Call& c) {
  if (c.count < 2) return Value();
  FunctionObject* fn = nativeFunction(m, m.toNumber(c.arg(0)), m.toNumber(c.arg(1)));
  return fn ? Value(fn) : Value();
}

// ASSetNativeAccessor(object, major, "a,b,c", first): property a gets the
// getter `first` and the setter after it, b the next pair, and so on; an
// empty name skips its pair.
Value asSetNativeAccessor(Machine& m, Call& c) {
  Object* o = c.arg(0).object();
  if (!o || c.count < 3) return Value();
  double major = m.toNumber(c.arg(1));
  std::string names = m.toString(c.arg(2)).str();
  double minor = c.count > 3 ? m.toNumber(c.arg(3)) : 0;
  size_t start = 0;
  while (start <= names.size()) {
    size_t comma = names.find(',', start);
    if (comma == std::string::npos) comma = names.size();
    std::string name = names.substr(start, comma - start);
    if (!name.empty()) {
      FunctionObject* getter = nativeFunction(m, major, minor);
      FunctionObject* setter = nativeFunction(m, major, minor + 1);
      if (getter) o->defineVirtual(String(name), getter, setter, 0);
    }
    minor += 2;
    start = comma + 1;
  }
  return Value();
}

}  // namespace

void installNativeTable(Machine& m) {
  m.method(m.global(), "ASnative", asNative);
  m.method(m.global(), "ASSetNativeAccessor", asSetNativeAccessor);
}

}  // namespace avm1
