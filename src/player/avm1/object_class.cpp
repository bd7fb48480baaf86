// Object, Function, Boolean, Number, Error and AsBroadcaster; functions,
// super and instanceof; and the dispatch of properties objects answer for
// themselves.
#include <cmath>
#include <cstring>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/text.h"

namespace avm1 {

namespace {

class SuperObject : public NativeObject {
 public:
  SuperObject(Object* home, Value thisValue, bool inConstructor)
      : NativeObject(nullptr, kSuperTag), home(home), thisValue(std::move(thisValue)), inConstructor(inConstructor) {}
  void trace(Heap& heap) override {
    Object::trace(heap);
    heap.mark(home);
    heap.mark(thisValue);
  }
  Object* home;
  Value thisValue;
  bool inConstructor;
};

Object* thisObject(const Call& c) { return c.thisValue.object(); }

// ------------------------------------------------------------ Object

Value objectConstructor(Machine& m, Call& c) {
  if (c.count > 0 && !c.arg(0).isNullish()) {
    Object* o = m.toObject(c.arg(0));
    if (o) return Value(o);
  }
  if (c.constructing) return c.thisValue;
  return Value(m.newObject());
}

Value addProperty(Machine& m, Call& c) {
  Object* o = thisObject(c);
  String name = m.toString(c.arg(0));
  Object* getter = c.arg(1).object();
  Value setterValue = c.arg(2);
  if (!o || name.empty() || !getter || getter->kind() != Object::Kind::Function) return Value(false);
  Object* setter = setterValue.object();
  if (setter && setter->kind() != Object::Kind::Function) return Value(false);
  if (!setter && !setterValue.isNull()) return Value(false);
  Property* existing = o->findOwn(name, m.caseSensitive());
  uint32_t flags = existing ? existing->flags : 0;
  String key = existing ? existing->name : name;
  Value old = existing ? existing->value : Value();
  o->defineVirtual(key, getter, setter, flags);
  // A watcher on the name sees the property made as undefined assigned; what
  // it returns is the value the property keeps for reads past its getter.
  if (Watcher* found = o->findWatcher(key, m.caseSensitive())) {
    Watcher w = *found;
    Value args[] = {key, old, Value(), w.userData};
    Value kept = m.call(w.callback, Value(o), args, 4);
    Property* made = o->findOwn(key, m.caseSensitive());
    if (made && made->isVirtual()) made->value = kept;
  }
  return Value(true);
}

Value hasOwnPropertyFn(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (!o || c.count == 0) return Value(false);
  return Value(m.hasOwnProperty(o, m.toString(c.arg(0))));
}

Value isPropertyEnumerable(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (!o) return Value(false);
  String name = m.toString(c.arg(0));
  if (o->kind() == Object::Kind::Array) {
    if (uint32_t* flags = arrayElementFlags(static_cast<ArrayObject*>(o), name)) return Value(!(*flags & kDontEnum));
  }
  Property* p = m.findOwnVisible(o, name);
  return Value(p && !(p->flags & kDontEnum));
}

Value isPrototypeOf(Machine& m, Call& c) {
  Object* self = thisObject(c);
  Object* o = c.arg(0).object();
  if (!self || !o) return Value(false);
  int guard = 0;
  for (Object* p = o->proto(); p && guard < 256; p = p->proto(), ++guard)
    if (p == self) return Value(true);
  (void)m;
  return Value(false);
}

Value objectToString(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (o && o->kind() == Object::Kind::Function) return Value("[type Function]");
  if (o && o->kind() == Object::Kind::Clip) return Value(static_cast<ClipObject*>(o)->targetPath());
  (void)m;
  return Value("[object Object]");
}

Value objectValueOf(Machine&, Call& c) { return c.thisValue; }

Value watch(Machine& m, Call& c) {
  Object* o = thisObject(c);
  Object* callback = c.arg(1).object();
  if (!o || c.count < 2 || !callback || callback->kind() != Object::Kind::Function) return Value(false);
  String name = m.toString(c.arg(0));
  if (Watcher* w = o->findWatcher(name, m.caseSensitive())) {
    w->callback = callback;
    w->userData = c.arg(2);
    return Value(true);
  }
  o->watchers().push_back(Watcher{name, callback, c.arg(2)});
  return Value(true);
}

Value unwatch(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (!o) return Value(false);
  String name = m.toString(c.arg(0));
  Watcher* w = o->findWatcher(name, m.caseSensitive());
  if (!w) return Value(false);
  // A getter/setter property keeps its watcher.
  Property* p = o->findOwn(name, m.caseSensitive());
  if (p && p->isVirtual()) return Value(false);
  o->watchers().erase(o->watchers().begin() + (w - o->watchers().data()));
  return Value(true);
}

Value registerClass(Machine& m, Call& c) {
  if (c.count < 2) return Value(false);
  String name = m.toString(c.arg(0));
  Object* ctor = c.arg(1).object();
  auto& classes = m.registeredClasses();
  for (auto it = classes.begin(); it != classes.end(); ++it) {
    if (m.caseSensitive() ? it->first == name : strcasecmpEqual(it->first.str(), name.str())) {
      classes.erase(it);
      break;
    }
  }
  if (ctor && ctor->kind() == Object::Kind::Function) classes.emplace_back(name, ctor);
  return Value(true);
}

// ------------------------------------------------------------ Function

// Function(x) gives x; Function() an object with no prototype at all.
Value functionConstructor(Machine& m, Call& c) {
  if (c.count > 0) return c.arg(0);
  return Value(m.heap().make<Object>(nullptr));
}

// call() and apply() with no object to call on use the globals.
// What a function given this value by call() or apply() runs on: a
// primitive made an object, the globals when there is none.
Value thisForCall(Machine& m, const Value& v) {
  Object* o = v.isNullish() ? nullptr : m.coerceToObject(v);
  return Value(o ? o : m.global());
}

Value functionCall(Machine& m, Call& c) {
  Value thisArg = thisForCall(m, c.arg(0));
  return m.call(c.thisValue, thisArg, c.count > 1 ? c.args + 1 : nullptr, c.count > 1 ? c.count - 1 : 0);
}

Value functionApply(Machine& m, Call& c) {
  Value thisArg = thisForCall(m, c.arg(0));
  std::vector<Value> args;
  if (Object* list = c.arg(1).object()) {
    double n = m.arrayLength(list);
    m.charge(static_cast<int64_t>(std::min(n, 1e7)));
    for (double i = 0; i < n && i < 65536; ++i) args.push_back(m.arrayGet(list, i));
  }
  return m.call(c.thisValue, thisArg, args.data(), args.size());
}

// ------------------------------------------------------------ Boolean, Number

Object* allocateBoxed(Machine& m, Object* proto) { return m.heap().make<BoxedObject>(proto, Value()); }

}  // namespace

void storePrimitive(Object* o, const Value& v) {
  if (o->kind() == Object::Kind::Boxed) {
    static_cast<BoxedObject*>(o)->primitive = v;
  } else {
    o->define("__primitive__", v, kInternal | kDontEnum | kDontDelete);
  }
}

Value storedPrimitive(Object* o) {
  if (!o) return Value();
  if (o->kind() == Object::Kind::Boxed) return static_cast<BoxedObject*>(o)->primitive;
  const Property* p = o->findOwn("__primitive__", true);
  return p && (p->flags & kInternal) ? p->value : Value();
}

namespace {

Value booleanConstructor(Machine& m, Call& c) {
  bool b = c.count > 0 && m.toBoolean(c.arg(0));
  if (c.constructing) {
    if (Object* o = thisObject(c)) storePrimitive(o, Value(b));
    return Value();
  }
  return c.count == 0 ? Value() : Value(b);
}

Value booleanToString(Machine& m, Call& c) {
  Value stored = storedPrimitive(thisObject(c));
  if (stored.isBoolean()) return Value(stored.boolean() ? "true" : "false");
  if (c.thisValue.isBoolean()) return Value(c.thisValue.boolean() ? "true" : "false");
  (void)m;
  return Value();
}

Value booleanValueOf(Machine& m, Call& c) {
  if (Object* o = thisObject(c)) {
    Value stored = storedPrimitive(o);
    return stored.isUndefined() ? stored : Value(m.toBoolean(stored));
  }
  if (c.thisValue.isBoolean()) return c.thisValue;
  (void)m;
  return Value();
}

Value numberConstructor(Machine& m, Call& c) {
  double n = c.count > 0 ? m.toNumber(c.arg(0)) : 0;
  if (c.constructing) {
    if (Object* o = thisObject(c)) storePrimitive(o, Value(n));
    return Value();
  }
  return Value(n);
}

double thisNumber(Machine& m, const Call& c, bool* ok) {
  *ok = true;
  if (c.thisValue.isNumber()) return c.thisValue.number();
  Value stored = storedPrimitive(thisObject(c));
  if (stored.isNumber()) return stored.number();
  *ok = false;
  (void)m;
  return NAN;
}

Value numberToStringFn(Machine& m, Call& c) {
  bool ok;
  double n = thisNumber(m, c, &ok);
  if (!ok) return Value();
  double radixArg = c.count > 0 && !c.arg(0).isUndefined() ? m.toNumber(c.arg(0)) : 10;
  int radix = std::isnan(radixArg) ? 10 : wrapToInt32(radixArg);
  if (radix < 2 || radix > 36 || radix == 10) return Value(Machine::numberToString(n));
  if (!std::isfinite(n)) return Value(Machine::numberToString(n));
  // Other radixes: the integer part, as 32-bit values print.
  int32_t v = wrapToInt32(n);
  bool negative = v < 0;
  uint32_t u = negative ? static_cast<uint32_t>(-static_cast<int64_t>(v)) : static_cast<uint32_t>(v);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % static_cast<uint32_t>(radix)]);
    u /= static_cast<uint32_t>(radix);
  } while (u);
  if (negative) digits.insert(digits.begin(), '-');
  return Value(String(digits));
}

Value numberValueOf(Machine& m, Call& c) {
  bool ok;
  double n = thisNumber(m, c, &ok);
  return ok ? Value(n) : Value();
}

// ------------------------------------------------------------ Error

Value errorConstructor(Machine& m, Call& c) {
  Object* o = c.constructing ? thisObject(c) : m.heap().make<Object>(m.protos().error);
  if (o && c.count > 0 && !c.arg(0).isUndefined()) m.set(o, "message", c.arg(0));
  return c.constructing ? Value() : Value(o);
}

Value errorToString(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (!o) return Value();
  return Value(m.toString(m.get(o, "message")));
}

// ------------------------------------------------------------ AsBroadcaster

// Removes the first listener equal (by ==) to `listener`; true if one was.
bool removeListenerFrom(Machine& m, Object* list, const Value& listener) {
  double n = m.arrayLength(list);
  for (double i = 0; i < n; ++i) {
    if (m.equals(m.arrayGet(list, i), listener)) {
      Value args[] = {Value(i), Value(1.0)};
      m.callMethod(Value(list), "splice", args, 2);
      return true;
    }
  }
  return false;
}

// As the reference player has it: an equal listener goes first, then the
// new one goes last (undefined when none is given).
Value broadcasterAddListener(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (!o) return Value(false);
  Object* list = m.get(o, "_listeners").object();
  if (!list) return Value(false);
  removeListenerFrom(m, list, c.arg(0));
  Value listener = c.arg(0);
  m.callMethod(Value(list), "push", &listener, 1);
  return Value(true);
}

Value broadcasterRemoveListener(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (!o) return Value(false);
  Object* list = m.get(o, "_listeners").object();
  if (!list) return Value(false);
  return Value(removeListenerFrom(m, list, c.arg(0)));
}

Value broadcasterBroadcast(Machine& m, Call& c) {
  Object* o = thisObject(c);
  if (!o || c.count == 0) return Value();
  Object* list = m.get(o, "_listeners").object();
  if (!list) return Value();
  String name = m.toString(c.arg(0));
  std::vector<Value> listeners;
  double n = m.arrayLength(list);
  for (double i = 0; i < n && i < 1e6; ++i) listeners.push_back(m.arrayGet(list, i));
  for (const Value& l : listeners) {
    // No name calls each listener itself, as a method call without one does.
    if (name.empty()) m.call(l, Value(), c.args + 1, c.count - 1);
    else m.callMethod(l, name, c.args + 1, c.count - 1);
  }
  return Value(!listeners.empty());
}

Value broadcasterInitialize(Machine& m, Call& c) {
  Object* o = c.arg(0).object();
  if (!o) return Value();
  Object* broadcaster = c.callee ? m.get(m.global(), "AsBroadcaster").object() : nullptr;
  for (const char* name : {"broadcastMessage", "addListener", "removeListener"}) {
    Value fn = broadcaster ? m.get(broadcaster, name) : Value();
    m.set(o, name, fn);
    if (Property* p = o->findOwn(name, true)) p->flags |= kDontEnum;
  }
  m.set(o, "_listeners", Value(m.newArray()));
  if (Property* p = o->findOwn("_listeners", true)) p->flags |= kDontEnum;
  return Value();
}

Value broadcasterConstructor(Machine&, Call&) { return Value(); }

}  // namespace

// ------------------------------------------------------------ functions, super

FunctionObject* makeScriptFunction(Machine& m, ScriptFunction f) {
  auto* fn = m.heap().make<FunctionObject>(m.protos().function, std::move(f));
  Object* proto = m.newObject();
  proto->define("constructor", Value(fn), kDontEnum);
  fn->define("prototype", Value(proto), kDontEnum | kDontDelete);
  return fn;
}

Object* makeSuperObject(Machine& m, Object* home, const Value& thisValue, bool inConstructor) {
  return m.heap().make<SuperObject>(home, thisValue, inConstructor);
}

Object* isSuperObject(const Value& v) {
  Object* o = v.object();
  if (o && o->kind() == Object::Kind::Native && static_cast<NativeObject*>(o)->tag == kSuperTag) return o;
  return nullptr;
}

Object* superPrototype(Object* super) { return static_cast<SuperObject*>(super)->home; }
Value superThis(Object* super) { return static_cast<SuperObject*>(super)->thisValue; }

Object* superBase(Object* home) {
  Object* base = home ? home->proto() : nullptr;
  return base && base->kind() != Object::Kind::Clip ? base : nullptr;
}

Object* superConstructorFrom(Object* super) {
  auto* s = static_cast<SuperObject*>(super);
  if (!s->inConstructor) return superBase(s->home);
  return s->home && s->home->kind() != Object::Kind::Clip ? s->home : nullptr;
}

Object* findMethodHome(Machine& m, Object* o, const String& name) {
  int guard = 0;
  for (Object* p = o; p && guard < 256; p = p->proto(), ++guard)
    if (m.findOwnVisible(p, name)) return p;
  return nullptr;
}

// True when `proto` or a prototype after it is the class's prototype, or
// declares an interface that is the class or leads to it.
bool chainMatches(Machine& m, Object* first, Object* ctor, Object* classProto, int depth) {
  if (depth > 32) return false;
  int guard = 0;
  for (Object* p = first; p && guard < 256; p = p->proto(), ++guard) {
    if (p == classProto) return true;
    Property* list = p->findOwn("__interfaces__", true);
    if (!list || !(list->flags & kInternal)) continue;
    Object* a = list->value.object();
    double n = a ? m.arrayLength(a) : 0;
    for (double i = 0; i < n; ++i) {
      Object* iface = m.arrayGet(a, i).object();
      if (!iface) continue;
      if (iface == ctor) return true;
      Object* ifaceProto = m.get(iface, "prototype").object();
      if (ifaceProto && chainMatches(m, ifaceProto, ctor, classProto, depth + 1)) return true;
    }
  }
  return false;
}

namespace {
bool isRemovedClip(Object* o) {
  return o->kind() == Object::Kind::Clip && static_cast<ClipObject*>(o)->targetPath().empty();
}
}  // namespace

bool instanceOf(Machine& m, const Value& object, const Value& constructor) {
  Object* o = object.object();
  if (!o) return false;
  Object* ctor = constructor.isNullish() ? nullptr : m.coerceToObject(constructor);
  if (!ctor || isRemovedClip(ctor)) return false;
  // Only the class's own prototype counts, as it is stored: no getter runs,
  // none is inherited, and a version's hiding does not apply.
  const Property* p = ctor->findOwn("prototype", m.caseSensitive());
  if (!p || p->isVirtual()) return false;
  Object* proto = p->value.isNullish() ? nullptr : m.coerceToObject(p->value);
  // A clip never serves as a class's prototype.
  if (!proto || !p->value.isObject() || proto->kind() == Object::Kind::Clip) return false;
  // A removed clip is of no class, though the class was looked at first.
  if (isRemovedClip(o)) return false;
  return chainMatches(m, o->proto(), ctor, proto, 0);
}

void setInterfaces(Machine& m, Object* prototype, const std::vector<Value>& interfaces) {
  prototype->define("__interfaces__", Value(m.newArray(interfaces)), kInternal | kDontEnum);
}

// ------------------------------------------------------------ special properties

bool getSpecial(Machine& m, Object* o, const String& name, bool own, Value* out) {
  switch (o->kind()) {
    case Object::Kind::Array:
      return arrayGetOwn(static_cast<ArrayObject*>(o), name, out);
    case Object::Kind::Clip:
      return own && clipGetSpecial(m, static_cast<ClipObject*>(o), name, out);
    case Object::Kind::Native:
      if (static_cast<NativeObject*>(o)->tag == kSuperTag) {
        auto* s = static_cast<SuperObject*>(o);
        Object* base = superBase(s->home);
        *out = base ? m.get(base, name, s->thisValue) : Value();
        return true;
      }
      return false;
    default:
      return false;
  }
}

bool setSpecial(Machine& m, Object* o, const String& name, const Value& value) {
  switch (o->kind()) {
    case Object::Kind::Array:
      return arraySetOwn(m, static_cast<ArrayObject*>(o), name, value);
    case Object::Kind::Clip:
      return clipSetSpecial(m, static_cast<ClipObject*>(o), name, value);
    default:
      return false;
  }
}

bool removeSpecial(Machine& m, Object* o, const String& name) {
  (void)m;
  if (o->kind() != Object::Kind::Array) return false;
  auto* a = static_cast<ArrayObject*>(o);
  uint32_t* flags = arrayElementFlags(a, name);
  if (!flags || (*flags & kDontDelete)) return false;
  uint32_t i;
  arrayIndex(name, &i);
  a->erase(i);
  return true;
}

bool hasSpecial(Machine& m, Object* o, const String& name) {
  Value ignored;
  switch (o->kind()) {
    case Object::Kind::Array: {
      uint32_t i;
      if (!arrayIndex(name, &i) && name.str() != "length") return false;
      return arrayGetOwn(static_cast<ArrayObject*>(o), name, &ignored);
    }
    case Object::Kind::Clip:
      return clipHasSpecial(m, static_cast<ClipObject*>(o), name);
    default:
      return false;
  }
}

void enumerateSpecial(Machine& m, Object* o, std::vector<String>* names) {
  if (o->kind() == Object::Kind::Array) {
    auto* a = static_cast<ArrayObject*>(o);
    for (size_t i : a->elementsInOrder())
      if (!(a->flags[i] & (kDontEnum | kInternal))) names->push_back(Machine::numberToString(static_cast<double>(i)));
  } else if (o->kind() == Object::Kind::Clip) {
    clipEnumerateSpecial(m, static_cast<ClipObject*>(o), names);
  }
}

// ------------------------------------------------------------ installation

void installObjectClasses(Machine& m) {
  Object* g = m.global();
  Prototypes& p = m.protos();
  Object* op = p.object;
  FunctionObject* object = m.defineClass(g, "Object", objectConstructor, op);
  m.method(op, "addProperty", addProperty);
  m.method(op, "hasOwnProperty", hasOwnPropertyFn);
  m.method(op, "isPropertyEnumerable", isPropertyEnumerable);
  m.method(op, "isPrototypeOf", isPrototypeOf);
  m.method(op, "toString", objectToString);
  m.method(op, "toLocaleString", objectToString);
  m.method(op, "valueOf", objectValueOf);
  m.method(op, "watch", watch);
  m.method(op, "unwatch", unwatch);
  m.method(object, "registerClass", registerClass);

  Object* fp = p.function;
  m.defineClass(g, "Function", functionConstructor, fp);
  m.method(fp, "call", functionCall);
  m.method(fp, "apply", functionApply);

  p.boolean = m.heap().make<Object>(op);
  FunctionObject* boolean = m.defineClass(g, "Boolean", booleanConstructor, p.boolean);
  boolean->allocate = allocateBoxed;
  m.method(p.boolean, "toString", booleanToString);
  m.method(p.boolean, "valueOf", booleanValueOf);

  p.number = m.heap().make<Object>(op);
  FunctionObject* number = m.defineClass(g, "Number", numberConstructor, p.number);
  number->allocate = allocateBoxed;
  m.method(p.number, "toString", numberToStringFn);
  m.method(p.number, "valueOf", numberValueOf);
  uint32_t constant = kDontEnum | kDontDelete | kReadOnly;
  number->define("MAX_VALUE", Value(1.7976931348623157e308), constant);
  number->define("MIN_VALUE", Value(4.9406564584124654e-324), constant);
  number->define("NaN", Value(NAN), constant);
  number->define("NEGATIVE_INFINITY", Value(-INFINITY), constant);
  number->define("POSITIVE_INFINITY", Value(INFINITY), constant);

  p.error = m.heap().make<Object>(op);
  m.defineClass(g, "Error", errorConstructor, p.error);
  p.error->define("message", Value("Error"), kDontEnum);
  p.error->define("name", Value("Error"), kDontEnum);
  m.method(p.error, "toString", errorToString);

  Object* broadcasterProto = m.newObject();
  FunctionObject* broadcaster = m.defineClass(g, "AsBroadcaster", broadcasterConstructor, broadcasterProto);
  m.method(broadcaster, "initialize", broadcasterInitialize);
  m.method(broadcaster, "addListener", broadcasterAddListener);
  m.method(broadcaster, "removeListener", broadcasterRemoveListener);
  m.method(broadcaster, "broadcastMessage", broadcasterBroadcast);
}

}  // namespace avm1
