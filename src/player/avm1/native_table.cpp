// ASnative(major, minor): the player's built-in routines by number, as
// hand-written movies and compilers' class code reach them.
#include <cmath>
#include <iterator>
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

// Table 200: Math's functions in the player's order.
const char* const kMathTable[] = {"abs", "min",    "max",   "sin",  "cos",  "atan2", "tan",  "exp",  "log",
                                  "sqrt", "round", "random", "floor", "ceil", "atan", "asin", "acos", "pow"};

FunctionObject* nativeFunction(Machine& m, double major, double minor) {
  for (const NativeEntry& e : kTable)
    if (e.major == major && e.minor == minor) return m.newNative(e.fn);
  if (major == 200 && minor >= std::size(kMathTable) && minor < 65536 && minor == std::floor(minor))
    return m.newNative(mathBeyondTable);
  if (major == 200 && minor >= 0 && minor < std::size(kMathTable) && minor == std::floor(minor)) {
    Object* math = m.get(m.global(), "Math").object();
    Object* fn = math ? m.get(math, kMathTable[static_cast<size_t>(minor)]).object() : nullptr;
    return fn && fn->kind() == Object::Kind::Function ? static_cast<FunctionObject*>(fn) : nullptr;
  }
  if (!(major >= 0 && major < 65536 && minor >= 0 && minor < 65536)) return nullptr;
  return filterNative(m, static_cast<int>(major), static_cast<int>(minor));
}

Value asNative(Machine& m, Call& c) {
  if (c.count < 2) return Value();
  FunctionObject* fn = nativeFunction(m, m.toNumber(c.arg(0)), m.toNumber(c.arg(1)));
  return fn ? Value(fn) : Value();
}

// One name of an ASSetNative list: an optional prefix says from which SWF
// version on the property is seen ("6".."9", "10"; "1": all of them).
struct NativeName {
  std::string name;
  uint32_t flags = 0;
};

NativeName parseNativeName(const std::string& item) {
  NativeName n{item, 0};
  if (item.empty()) return n;
  char first = item[0];
  if (first == '1') {
    bool ten = item.size() > 1 && item[1] == '0';
    n.name = item.substr(ten ? 2 : 1);
    n.flags = ten ? static_cast<uint32_t>(kVersion10) : 0u;
  } else if (first >= '6' && first <= '9') {
    const uint32_t versions[] = {kVersion6, kVersion7, kVersion8, kVersion9};
    n.name = item.substr(1);
    n.flags = versions[first - '6'];
  }
  return n;
}

// Walks "a,b,c" as ASSetNative and ASSetNativeAccessor read it: every item,
// empty or not, takes its numbers.
template <typename Fn>
void forEachNativeName(const std::string& list, Fn fn) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    fn(parseNativeName(list.substr(start, comma - start)));
    start = comma + 1;
  }
}

// ASSetNative(object, major, "a,b,c", first): a is ASnative(major, first),
// b the next one, and so on.
Value asSetNative(Machine& m, Call& c) {
  Object* o = c.arg(0).object();
  if (!o || c.count < 3) return Value();
  double major = m.toNumber(c.arg(1));
  std::string names = m.toString(c.arg(2)).str();
  double minor = c.count > 3 ? m.toNumber(c.arg(3)) : 0;
  forEachNativeName(names, [&](const NativeName& n) {
    if (!n.name.empty()) {
      FunctionObject* fn = nativeFunction(m, major, minor);
      Value value = fn ? Value(fn) : Value();
      // A property the object has keeps its flags; a new one gets the version's.
      if (Property* p = o->findOwn(String(n.name), m.caseSensitive())) {
        p->value = value;
        p->getter = p->setter = nullptr;
      } else {
        o->define(String(n.name), value, n.flags);
      }
    }
    minor += 1;
  });
  return Value();
}

// ASSetNativeAccessor(object, major, "a,b,c", first): property a gets the
// getter `first` and the setter after it, b the next pair, and so on.
Value asSetNativeAccessor(Machine& m, Call& c) {
  Object* o = c.arg(0).object();
  if (!o || c.count < 3) return Value();
  double major = m.toNumber(c.arg(1));
  std::string names = m.toString(c.arg(2)).str();
  double minor = c.count > 3 ? m.toNumber(c.arg(3)) : 0;
  forEachNativeName(names, [&](const NativeName& n) {
    if (!n.name.empty()) {
      FunctionObject* getter = nativeFunction(m, major, minor);
      FunctionObject* setter = nativeFunction(m, major, minor + 1);
      if (getter) {
        o->defineVirtual(String(n.name), getter, setter, n.flags);
      } else {
        o->define(String(n.name), Value(), n.flags);
      }
    }
    minor += 2;
  });
  return Value();
}

}  // namespace

void installNativeTable(Machine& m) {
  m.method(m.global(), "ASnative", asNative);
  m.method(m.global(), "ASSetNative", asSetNative);
  m.method(m.global(), "ASSetNativeAccessor", asSetNativeAccessor);
}

}  // namespace avm1
