#include "player/avm1/machine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_set>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/interpreter.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

// Prototype chains longer than this are taken as loops.
constexpr int kMaxProtoChain = 256;
// The wall clock is read every so many steps.
constexpr int64_t kClockCheckInterval = 4096;
// A collection runs after this many new cells, or bytes of elements and text.
constexpr size_t kCollectEvery = 20000;
constexpr size_t kCollectEveryBytes = size_t(32) << 20;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

Machine::Machine(int swfVersion, Environment environment)
    : swfVersion_(swfVersion), activeVersion_(swfVersion), env_(std::move(environment)) {
  if (!env_.trace) env_.trace = [](const std::string&) {};
  if (!env_.utcMillis) env_.utcMillis = [] { return 0.0; };
  if (!env_.localOffsetMinutes) env_.localOffsetMinutes = [](double) { return 0.0; };
  if (!env_.elapsedMillis) env_.elapsedMillis = [] { return 0.0; };
  if (!env_.random) env_.random = [] { return 0.5; };
  beginFrame();
  installBuiltins();
  // Collections keep the heap below its limit; the cap stops what they cannot.
  heap_.setMaxCells(limits_.heapCells + limits_.heapCells / 2);
}

Machine::~Machine() = default;

void Machine::installBuiltins() {
  protos_.object = heap_.make<Object>(nullptr);
  protos_.object->isPrototypeObject = true;
  protos_.function = heap_.make<Object>(protos_.object);
  protos_.function->isPrototypeObject = true;
  global_ = heap_.make<Object>(nullptr);
  installGlobals(*this);
}

ClipObject* Machine::clipObject(player::SpriteInstance* sprite) {
  if (!sprite) return nullptr;
  if (!sprite->scriptObject()) {
    const player::DisplayObject* d = sprite->displayObject();
    bool button = d && d->def && d->def->kind == player::CharacterKind::Button && protos_.button;
    auto* o = heap_.make<ClipObject>(button ? protos_.button : protos_.movieClip, sprite);
    sprite->setScriptObject(o);
  }
  return sprite->scriptObject();
}

player::SpriteInstance* Machine::targetSprite() const {
  return current_ ? current_->targetSprite() : root_;
}

// ---------------------------------------------------------------- running

void Machine::beginFrame() {
  steps_ = 0;
  nextClockCheck_ = kClockCheckInterval;
  frameStart_ = std::chrono::steady_clock::now();
}

void Machine::checkBudget() {
  nextClockCheck_ = steps_ + kClockCheckInterval;
  if (steps_ > limits_.stepsPerFrame) throw ScriptAbort{"too many actions in one frame"};
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - frameStart_).count();
  if (seconds > limits_.secondsPerFrame) throw ScriptAbort{"a script ran too long"};
}

template <typename Fn>
void Machine::guarded(Fn fn) {
  bool outermost = current_ == nullptr;
  if (!outermost) {
    // Inside a running script: limits end the outer script too.
    try {
      fn();
    } catch (const ScriptThrow& t) {
      env_.trace("Warning: Uncaught exception, " + toString(t.value).str());
    }
    return;
  }
  char marker;
  stackBase_ = &marker;
  try {
    try {
      fn();
    } catch (const ScriptThrow& t) {
      // What trace prints for an exception no script caught.
      env_.trace("Warning: Uncaught exception, " + toString(t.value).str());
    }
  } catch (const ScriptAbort& a) {
    stopReason_ = a.reason;
  } catch (const ScriptThrow&) {
    stopReason_ = "an exception could not be written out";
  } catch (const HeapFull&) {
    stopReason_ = "the script's heap is full";
  } catch (const std::bad_alloc&) {
    stopReason_ = "memory ran out";
  }
  stack_.clear();
  current_ = nullptr;
  activeVersion_ = swfVersion_;
  callDepth_ = unsafeDepth_ = 0;
  stackBase_ = nullptr;
  collectIfDue();
}

void Machine::runBlock(const std::shared_ptr<const Code>& code, player::SpriteInstance* clip) {
  if (disabled() || !code || !clip) return;
  ClipObject* base = clipObject(clip);
  ++scriptsRun_;
  guarded([&] { runTopLevel(*this, code, base); });
}

Value Machine::callFromOutside(const Value& function, const Value& thisValue, const std::vector<Value>& args) {
  if (disabled()) return Value();
  Value result;
  ++scriptsRun_;
  guarded([&] { result = call(function, thisValue, args.data(), args.size()); });
  return result;
}

void Machine::runOutside(const std::function<void()>& work) {
  if (!disabled()) guarded(work);
}

void Machine::collect() {
  heap_.mark(global_);
  Object** all = reinterpret_cast<Object**>(&protos_);
  for (size_t i = 0; i < sizeof protos_ / sizeof(Object*); ++i) heap_.mark(all[i]);
  for (const Value& v : stack_) heap_.mark(v);
  for (Activation* a = current_; a; a = a->parent) a->trace(heap_);
  for (auto& entry : registeredClasses_) heap_.mark(entry.second);
  for (const Timer& t : timers_) {
    heap_.mark(t.function);
    for (const Value& v : t.args) heap_.mark(v);
  }
  heap_.mark(input_.dragged);
  for (auto& tracer : rootTracers_) tracer(heap_);
  if (root_) markDisplayList(*this, *root_);
  liveBytes_ = heap_.sweep();
  bytesSinceCollect_ = 0;
}

void Machine::account(size_t bytes) {
  bytesSinceCollect_ += bytes;
  if (bytesSinceCollect_ < kCollectEveryBytes) return;
  if (current_ && unsafeDepth_ == 0) collect();
  if (liveBytes_ + bytesSinceCollect_ > limits_.heapBytes) throw ScriptAbort{"the script's heap is full"};
}

void Machine::collectIfDue() {
  if (unsafeDepth_ > 0) return;
  if (heap_.allocatedSinceCollect() < kCollectEvery && bytesSinceCollect_ < kCollectEveryBytes) return;
  collect();
  if (current_ && (heap_.cellCount() > limits_.heapCells || liveBytes_ > limits_.heapBytes))
    throw ScriptAbort{"the script's heap is full"};
}

// ----------------------------------------------------------- conversions

String Machine::numberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  char buf[40];
  if (std::fabs(n) < 1e15 && n == std::floor(n)) {
    std::snprintf(buf, sizeof buf, "%.0f", n);
    return buf;
  }
  // Fifteen significant digits; positional from 1e-5 up to 1e15.
  std::snprintf(buf, sizeof buf, "%.14e", n);
  char* e = std::strchr(buf, 'e');
  int exponent = std::atoi(e + 1);
  std::string digits;
  bool negative = buf[0] == '-';
  for (char* p = buf + (negative ? 1 : 0); p < e; ++p)
    if (*p != '.') digits += *p;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  if (exponent >= 15 || exponent < -5) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "e-" : "e+";
    out += std::to_string(std::abs(exponent));
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else {
    size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits + std::string(whole - digits.size(), '0');
    } else {
      out += digits.substr(0, whole) + "." + digits.substr(whole);
    }
  }
  return out;
}

double Machine::stringToNumber(const String& text) const {
  const std::string& s = text.str();
  const char* p = s.c_str();
  if (activeVersion_ < 5) {
    // SWF 4 reads what decimal number it can from the start; none is 0.
    const char* q = p;
    while (isSpace(*q)) ++q;
    const char* start = q;
    if (*q == '-' || *q == '+') ++q;
    const char* digits = q;
    while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
    if (*q == '.') {
      ++q;
      while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
    }
    if (q == digits || (q == digits + 1 && *digits == '.')) return 0;
    if (*q == 'e' || *q == 'E') {
      const char* e = q + 1;
      if (*e == '-' || *e == '+') ++e;
      if (std::isdigit(static_cast<unsigned char>(*e))) {
        while (std::isdigit(static_cast<unsigned char>(*e))) ++e;
        q = e;
      }
    }
    return std::strtod(std::string(start, q).c_str(), nullptr);
  }
  while (isSpace(*p)) ++p;
  if (!*p) return s.empty() || activeVersion_ >= 5 ? NAN : 0;
  // Hexadecimal as a 32-bit integer.
  const char* h = p;
  bool negative = false;
  if (*h == '-' || *h == '+') {
    negative = *h == '-';
    ++h;
  }
  if (activeVersion_ >= 6 && h[0] == '0' && (h[1] == 'x' || h[1] == 'X')) {
    // A sign may also follow the "0x".
    const char* q = h + 2;
    if (*q == '-' || *q == '+') negative = negative != (*q++ == '-');
    if (!*q) return NAN;
    uint32_t v = 0;
    for (; *q; ++q) {
      int d = std::isdigit(static_cast<unsigned char>(*q)) ? *q - '0'
              : (*q >= 'a' && *q <= 'f') ? *q - 'a' + 10
              : (*q >= 'A' && *q <= 'F') ? *q - 'A' + 10 : -1;
      if (d < 0) return NAN;
      v = v * 16 + static_cast<uint32_t>(d);
    }
    double r = static_cast<int32_t>(v);
    return negative ? -r : r;
  }
  // SWF 6 and later read a leading zero before octal digits as octal (as a
  // 32-bit integer), unless white space came first.
  if (activeVersion_ >= 6 && p == s.c_str() && h[0] == '0' && h[1]) {
    uint32_t v = 0;
    const char* q = h;
    while (*q >= '0' && *q <= '7') v = v * 8 + static_cast<uint32_t>(*q++ - '0');
    if (!*q) {
      double r = static_cast<int32_t>(v);
      return negative ? -r : r;
    }
  }
  // Decimal: digits, a point, an exponent; nothing else may follow.
  const char* q = p;
  if (*q == '-' || *q == '+') ++q;
  bool digits = false;
  while (std::isdigit(static_cast<unsigned char>(*q))) ++q, digits = true;
  if (*q == '.') {
    ++q;
    while (std::isdigit(static_cast<unsigned char>(*q))) ++q, digits = true;
  }
  if (!digits) return NAN;
  if (*q == 'e' || *q == 'E') {
    const char* x = q + 1;
    if (*x == '-' || *x == '+') ++x;
    if (!std::isdigit(static_cast<unsigned char>(*x))) return NAN;
    while (std::isdigit(static_cast<unsigned char>(*x))) ++x;
    q = x;
  }
  if (*q) return NAN;
  return std::strtod(p, nullptr);
}

double Machine::toNumber(const Value& v) {
  switch (v.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
      return activeVersion_ >= 7 ? NAN : 0;
    case Value::Type::Boolean:
    case Value::Type::Number:
      return v.number();
    case Value::Type::String:
      return stringToNumber(v.string());
    case Value::Type::Object: {
      Value p = toPrimitive(v);
      // With no number from valueOf, SWF 4 reads the object's text.
      if (p.isObject()) return activeVersion_ < 5 ? stringToNumber(toString(v)) : NAN;
      return toNumber(p);
    }
  }
  return NAN;
}

int32_t Machine::toInt32(const Value& v) { return wrapToInt32(toNumber(v)); }

bool Machine::toBoolean(const Value& v) {
  switch (v.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
      return false;
    case Value::Type::Boolean:
      return v.boolean();
    case Value::Type::Number:
      return !(v.number() == 0 || std::isnan(v.number()));
    case Value::Type::String:
      if (activeVersion_ >= 7) return !v.string().empty();
      {
        double d = stringToNumber(v.string());
        return !(d == 0 || std::isnan(d));
      }
    case Value::Type::Object:
      return true;
  }
  return false;
}

Value Machine::toPrimitive(const Value& v, bool preferString) {
  Object* o = v.object();
  if (!o || isSuperObject(v)) return v;
  // valueOf (or toString for a text hint); a missing method gives undefined.
  // The method is looked up plainly: a missing one is not asked of __resolve.
  const char* name = preferString ? "toString" : "valueOf";
  Value fn = hasProperty(o, name) ? get(o, name) : Value();
  if (!fn.object() || fn.object()->kind() != Object::Kind::Function) return Value();
  return call(fn, v, nullptr, 0);
}

Object* Machine::toObject(const Value& v) {
  switch (v.type()) {
    case Value::Type::Object:
      return v.object();
    case Value::Type::Boolean:
      return heap_.make<BoxedObject>(protos_.boolean, v);
    case Value::Type::Number:
      return heap_.make<BoxedObject>(protos_.number, v);
    case Value::Type::String: {
      Object* o = heap_.make<BoxedObject>(protos_.string, v);
      o->define("length", Value(static_cast<double>(v.string().units())), kDontEnum | kDontDelete);
      return o;
    }
    default:
      return nullptr;
  }
}

Object* Machine::coerceToObject(const Value& v) {
  if (Object* o = v.object()) return o;
  const char* name = v.isBoolean() ? "Boolean" : v.isNumber() ? "Number" : v.isString() ? "String" : nullptr;
  // The global is read as it stands (getters run), never through __resolve.
  if (!name || !hasProperty(global_, name)) return nullptr;
  Object* f = get(global_, name).object();
  if (!f || f->kind() != Object::Kind::Function) return nullptr;
  auto* function = static_cast<FunctionObject*>(f);
  Object* o = constructFromScript(function, &v, 1, get(function, "prototype").object());
  if (!o) return nullptr;
  // A constructor of the script's own still gives the object the value.
  if (storedPrimitive(o).isUndefined()) {
    storePrimitive(o, v);
    if (v.isString()) o->define("length", Value(static_cast<double>(v.string().units())), kDontEnum | kDontDelete);
  }
  return o;
}

String Machine::typeOf(const Value& v) {
  switch (v.type()) {
    case Value::Type::Undefined: return "undefined";
    case Value::Type::Null: return "null";
    case Value::Type::Boolean: return "boolean";
    case Value::Type::Number: return "number";
    case Value::Type::String: return "string";
    case Value::Type::Object:
      if (v.object()->kind() == Object::Kind::Clip) {
        // Buttons run on timelines here, but scripts know them as objects.
        player::SpriteInstance* s = static_cast<ClipObject*>(v.object())->sprite();
        const player::DisplayObject* o = s ? s->displayObject() : nullptr;
        return o && o->def && o->def->kind == player::CharacterKind::Button ? "object" : "movieclip";
      }
      if (v.object()->kind() == Object::Kind::Function) return "function";
      return "object";
  }
  return "undefined";
}

String Machine::toString(const Value& v) {
  switch (v.type()) {
    case Value::Type::Undefined:
      return activeVersion_ >= 7 ? "undefined" : "";
    case Value::Type::Null:
      return "null";
    case Value::Type::Boolean:
      // SWF 4 writes booleans as numbers.
      if (activeVersion_ < 5) return v.boolean() ? "1" : "0";
      return v.boolean() ? "true" : "false";
    case Value::Type::Number:
      return numberToString(v.number());
    case Value::Type::String:
      return v.string();
    case Value::Type::Object: {
      // toString's text; anything else it gives, or none, names the type.
      Object* o = v.object();
      if (!isSuperObject(v)) {
        Value r = toPrimitive(v, true);
        if (r.isString()) return r.string();
      }
      return o->kind() == Object::Kind::Function ? "[type Function]" : "[type Object]";
    }
  }
  return "";
}

String Machine::toTraceString(const Value& v) {
  if (v.isUndefined()) return "undefined";
  return toString(v);
}

String Machine::makeString(std::string text) {
  if (text.size() > limits_.stringBytes) throw ScriptAbort{"a text grew too long"};
  account(text.size());
  return String(std::move(text));
}

// ----------------------------------------------------------- comparisons

bool Machine::strictEquals(const Value& a, const Value& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
      return true;
    case Value::Type::Boolean:
      return a.boolean() == b.boolean();
    case Value::Type::Number:
      // The reference player holds NaN equal to NaN.
      return a.number() == b.number() || (std::isnan(a.number()) && std::isnan(b.number()));
    case Value::Type::String:
      return a.string() == b.string();
    case Value::Type::Object: {
      if (a.object() == b.object()) return true;
      // Clip values stand for their path: two clips at one path are one.
      if (a.object()->kind() != Object::Kind::Clip || b.object()->kind() != Object::Kind::Clip) return false;
      String path = static_cast<ClipObject*>(a.object())->targetPath();
      return !path.empty() && path == static_cast<ClipObject*>(b.object())->targetPath();
    }
  }
  return false;
}

bool Machine::equals(const Value& a, const Value& b) {
  using T = Value::Type;
  if (a.type() == b.type()) return strictEquals(a, b);
  if (a.isNullish() && b.isNullish()) return true;
  // An object whose valueOf gives nothing equals undefined and null.
  if (a.isObject() && b.isNullish()) return toPrimitive(a).isNullish();
  if (b.isObject() && a.isNullish()) return toPrimitive(b).isNullish();
  if (a.isNullish() || b.isNullish()) return false;
  if (a.type() == T::Number && b.type() == T::String) return a.number() == stringToNumber(b.string());
  if (a.type() == T::String && b.type() == T::Number) return stringToNumber(a.string()) == b.number();
  if (a.type() == T::Boolean) return equals(Value(a.number()), b);
  if (b.type() == T::Boolean) return equals(a, Value(b.number()));
  if (a.isObject() && !b.isObject()) {
    Value p = toPrimitive(a);
    return p.isObject() ? false : equals(p, b);
  }
  if (b.isObject() && !a.isObject()) {
    Value p = toPrimitive(b);
    return p.isObject() ? false : equals(a, p);
  }
  return false;
}

Value Machine::lessThan(const Value& a, const Value& b) {
  // An operand whose value is still an object makes the answer false; the
  // other is then not asked.
  // Clips count as no number.
  Value pa = toPrimitive(a);
  if (pa.isObject() && pa.object()->kind() != Object::Kind::Clip) return false;
  Value pb = toPrimitive(b);
  if (pb.isObject() && pb.object()->kind() != Object::Kind::Clip) return false;
  if (pa.isString() && pb.isString()) return pa.string().str() < pb.string().str();
  double x = toNumber(pa), y = toNumber(pb);
  if (std::isnan(x) || std::isnan(y)) return Value();
  return x < y;
}

// ------------------------------------------------------------ properties

namespace {

// Counts a getter, setter or watcher call on one property (or one watcher)
// while it runs. Scripts may move or remove it meanwhile, so it is looked up
// again by name at the end.
class CallOnProperty {
 public:
  // Natives as getters nest without script calls, so the stack is watched
  // here as well.
  CallOnProperty(Machine& m, Object* owner, const String& name, bool caseSensitive, bool watcher)
      : owner_(owner), name_(name), caseSensitive_(caseSensitive), watcher_(watcher) {
    if (m.stackExhausted()) throw ScriptAbort{"too much recursion"};
    if (int* busy = counter()) ++*busy;
  }
  ~CallOnProperty() {
    if (int* busy = counter(); busy && *busy > 0) --*busy;
  }
  CallOnProperty(const CallOnProperty&) = delete;
  CallOnProperty& operator=(const CallOnProperty&) = delete;

 private:
  int* counter() {
    if (watcher_) {
      Watcher* w = owner_->findWatcher(name_, caseSensitive_);
      return w ? &w->busy : nullptr;
    }
    Property* p = owner_->findOwn(name_, caseSensitive_);
    return p ? &p->busy : nullptr;
  }
  Object* owner_;
  String name_;
  bool caseSensitive_;
  bool watcher_;
};

}  // namespace

Property* Machine::findOwnVisible(Object* object, const String& name) {
  Property* p = object->findOwn(name, caseSensitive());
  if (p && !visibleToVersion(p->flags, activeVersion_)) return nullptr;
  return p;
}

int Machine::propertyCallLimit() const {
  // Before SWF 7 a property's getter, setter or watcher is never re-entered.
  return activeVersion_ >= 7 ? limits_.virtualPropertyDepth : 1;
}

Value Machine::get(Object* object, const String& name) { return get(object, name, Value(object)); }

Value Machine::get(Object* object, const String& name, const Value& thisValue, bool askResolve) {
  Object* o = object;
  for (int depth = 0; o && depth < kMaxProtoChain; ++depth, o = o->proto()) {
    // Own properties first (a getter may stand over an array's length);
    // clips order their own, and removed ones have none.
    Property* p = o->kind() == Object::Kind::Clip ? nullptr : findOwnVisible(o, name);
    if (!p) {
      Value special;
      if (getSpecial(*this, o, name, depth == 0, &special)) return special;
      p = o->kind() == Object::Kind::Clip ? findOwnVisible(o, name) : nullptr;
      if (!p) continue;
    }
    if (!p->isVirtual()) return p->value;
    // Too deep in this property's own calls it reads as the value last
    // assigned to it.
    if (p->busy >= propertyCallLimit()) return p->value;
    Object* getter = p->getter;
    CallOnProperty running(*this, o, p->name, caseSensitive(), false);
    return call(getter, thisValue, nullptr, 0, o);
  }
  // A missing property is asked of the object's __resolve function (SWF 6
  // and later), with the name.
  if (askResolve && activeVersion_ >= 6 && object && name.str() != "__resolve") {
    Value resolve = get(object, "__resolve", thisValue);
    if (resolve.object() && resolve.object()->kind() == Object::Kind::Function) {
      Value arg(name);
      return call(resolve, thisValue, &arg, 1);
    }
  }
  return Value();
}

Value Machine::getMember(const Value& base, const String& name) {
  Object* o = coerceToObject(base);
  return o ? get(o, name) : Value();
}

bool Machine::watchSet(Object* object, const String& name, Value* value) {
  Watcher* found = object->findWatcher(name, caseSensitive());
  if (!found) return false;
  // Too deep in this watcher's own calls the value is stored unwatched.
  if (found->busy >= propertyCallLimit()) return true;
  Watcher w = *found;
  // The old value may come from a prototype (getters are not run for it).
  Property* p = nullptr;
  for (Object* o = object; o && !p; o = o->proto()) p = findOwnVisible(o, name);
  Value old = p && !p->isVirtual() ? p->value : Value();
  CallOnProperty running(*this, object, w.name, caseSensitive(), true);
  Value args[] = {name, old, *value, w.userData};
  *value = call(w.callback, Value(object), args, 4);
  return true;
}

// Assigns through a getter/setter property of `owner` (the object or one of
// its prototypes): a watcher on the name runs first, then the setter, both
// counted on the property. Too deep in its calls the value is only stored;
// after the setter it is stored as well, for those reads.
void Machine::setVirtual(Object* object, Object* owner, Property* p, Value value) {
  if (!p->setter) return;
  if (p->busy >= propertyCallLimit()) {
    p->value = value;
    return;
  }
  bool cs = caseSensitive();
  String name = p->name;
  {
    CallOnProperty running(*this, owner, name, cs, false);
    if (Watcher* found = object->findWatcher(name, cs)) {
      Watcher w = *found;
      Value args[] = {name, p->value, value, w.userData};
      value = call(w.callback, Value(object), args, 4);
      p = owner->findOwn(name, cs);
      if (!p || !p->setter) return;
    }
    Object* setter = p->setter;
    call(setter, Value(object), &value, 1, owner);
  }
  p = owner->findOwn(name, cs);
  if (p && p->isVirtual()) p->value = value;
}

void Machine::set(Object* object, const String& name, const Value& value) {
  if (!object || name.empty()) return;  // nameless properties cannot be made
  Value v = value;
  Property* p = object->findOwn(name, caseSensitive());
  if (!(p && p->isVirtual()) && setSpecial(*this, object, name, value)) return;
  if (p && !visibleToVersion(p->flags, activeVersion_)) {
    // Assigning to a property hidden from this version makes a plain one of it.
    if (p->flags & kInternal) return;
    p->flags &= kDontEnum | kDontDelete | kReadOnly;
    p->getter = p->setter = nullptr;
  }
  if (p && p->isVirtual()) {
    setVirtual(object, object, p, v);
    return;
  }
  if (p && (p->flags & kReadOnly)) return;
  if (!p) {
    // A getter/setter pair on a prototype handles the assignment.
    for (Object* o = object->proto(); o; o = o->proto()) {
      Property* q = findOwnVisible(o, name);
      if (!q) continue;
      if (q->isVirtual()) {
        setVirtual(object, o, q, v);
        return;
      }
      break;
    }
  }
  if (!object->watchers().empty()) {
    try {
      watchSet(object, name, &v);
    } catch (const ScriptThrow&) {
      // A watcher that throws leaves the property undefined.
      Property* q = findOwnVisible(object, name);
      if (q && !q->isVirtual() && !(q->flags & kReadOnly)) q->value = Value();
      else if (!q) object->define(name, Value());
      throw;
    }
    p = findOwnVisible(object, name);
    if (p && (p->isVirtual() || (p->flags & kReadOnly))) return;
  }
  if (p) {
    p->value = v;
    object->propertyChanged(*p);
  } else {
    object->define(name, v);
  }
}

void Machine::setMember(const Value& base, const String& name, const Value& value) {
  if (Object* o = base.object()) set(o, name, value);
}

bool Machine::remove(Object* object, const String& name) {
  if (removeSpecial(*this, object, name)) return true;
  Property* p = object->findOwn(name, caseSensitive());
  if (p && (p->flags & kInternal)) return false;
  if (!p || (p->flags & kDontDelete)) return false;
  return object->removeOwn(name, caseSensitive());
}

bool Machine::hasOwnProperty(Object* object, const String& name) {
  Value ignored;
  if (hasSpecial(*this, object, name)) return true;
  const Property* p = object->findOwn(name, caseSensitive());
  return p && !(p->flags & kInternal);
}

bool Machine::hasProperty(Object* object, const String& name) {
  Object* o = object;
  for (int depth = 0; o && depth < kMaxProtoChain; ++depth, o = o->proto()) {
    if (hasOwnProperty(o, name)) return true;
  }
  return false;
}

std::vector<String> Machine::enumerate(Object* object) {
  // The reference player lists the object's names, then its prototypes'
  // not seen yet, each in the order they were made, and hands them to
  // for..in last first.
  std::vector<String> names;
  std::unordered_set<std::string> seen;
  Object* o = object;
  std::vector<String> own;
  for (int depth = 0; o && depth < kMaxProtoChain; ++depth, o = o->proto()) {
    own.clear();
    enumerateSpecial(*this, o, &own);
    for (const Property& p : o->properties())
      if (!(p.flags & (kDontEnum | kInternal))) own.push_back(p.name);
    for (const String& n : own) {
      std::string key = n.str();
      if (!caseSensitive())
        for (char& ch : key)
          if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
      if (seen.insert(std::move(key)).second) names.push_back(n);
    }
    charge(static_cast<int64_t>(own.size()));
  }
  std::reverse(names.begin(), names.end());
  return names;
}

// ------------------------------------------------------------------ calls

// Native code keeps values in C++ variables the collector cannot see, so
// while a native runs, or a call made from native code, nothing is freed.
struct Machine::NoCollection {
  Machine& m;
  explicit NoCollection(Machine& machine) : m(machine) { ++m.unsafeDepth_; }
  ~NoCollection() { --m.unsafeDepth_; }
};

Value Machine::call(const Value& function, const Value& thisValue, const Value* args, size_t count,
                    Object* superObject, bool constructorChain) {
  NoCollection hold(*this);
  return callFromScript(function, thisValue, args, count, superObject, constructorChain);
}

Value Machine::callFromScript(const Value& function, const Value& thisValue, const Value* args, size_t count,
                              Object* superObject, bool constructorChain) {
  Object* f = function.object();
  if (!f || f->kind() != Object::Kind::Function) return Value();
  auto* fn = static_cast<FunctionObject*>(f);
  Call c;
  c.thisValue = thisValue;
  c.args = args;
  c.count = count;
  c.callee = fn;
  c.superObject = superObject;
  c.constructorChain = constructorChain;
  if (fn->native) {
    NoCollection hold(*this);
    charge(1);
    return fn->native(*this, c);
  }
  if (!fn->script) return Value();
  return invokeScript(fn, c);
}

bool Machine::stackExhausted() const {
  char marker;
  size_t used = stackBase_ ? static_cast<size_t>(stackBase_ > &marker ? stackBase_ - &marker : &marker - stackBase_) : 0;
  return used > limits_.stackBytes;
}

Machine::NestedRun::NestedRun(Machine& m) : m_(m) {
  if (m.callDepth_ >= m.limits_.callDepth || m.stackExhausted()) throw ScriptAbort{"too much recursion"};
  ++m.callDepth_;
}

Value Machine::invokeScript(FunctionObject* function, Call& call) {
  NestedRun nested(*this);
  return runFunction(*this, function, call);
}

Value Machine::callMethod(const Value& object, const String& name, const Value* args, size_t count) {
  Object* o = coerceToObject(object);
  if (!o) return Value();
  Value self(o);
  return call(get(o, name), self, args, count);
}

Object* Machine::constructWith(FunctionObject* function, const Value* args, size_t count, Object* superObject) {
  NoCollection hold(*this);
  return constructFromScript(function, args, count, superObject);
}

Object* Machine::constructFromScript(FunctionObject* function, const Value* args, size_t count,
                                     Object* superObject) {
  Value protoValue = get(function, "prototype");
  Object* proto = protoValue.object();
  Object* object = function->allocate ? function->allocate(*this, proto) : heap_.make<Object>(proto);
  // A prototype that is no object is still what __proto__ reads.
  if (!proto && !protoValue.isNullish()) object->define("__proto__", protoValue, kDontEnum);
  object->define("__constructor__", Value(function), kDontEnum);
  if (activeVersion_ < 7) object->define("constructor", Value(function), kDontEnum);
  Call c;
  c.thisValue = Value(object);
  c.args = args;
  c.count = count;
  c.constructing = true;
  c.constructorChain = true;
  c.callee = function;
  c.superObject = superObject;
  if (function->native) {
    NoCollection hold(*this);
    charge(1);
    Value r = function->native(*this, c);
    if (c.refused) return nullptr;
    // Natives that make their own object (Number, String, ...) return it.
    if (r.object() && !function->allocate) return r.object();
    return object;
  }
  if (function->script) invokeScript(function, c);
  return object;
}

Value Machine::construct(const Value& function, const Value* args, size_t count) {
  Object* f = function.object();
  if (!f || f->kind() != Object::Kind::Function) return Value();
  Object* made = constructWith(static_cast<FunctionObject*>(f), args, count);
  return made ? Value(made) : Value();
}

// ---------------------------------------------------------- making objects

Object* Machine::newObject() { return heap_.make<Object>(protos_.object); }

ArrayObject* Machine::newArray() { return heap_.make<ArrayObject>(protos_.array); }

ArrayObject* Machine::newArray(const std::vector<Value>& values) {
  charge(static_cast<int64_t>(values.size()));
  account(values.size() * sizeof(Value));
  ArrayObject* a = newArray();
  a->assign(values.data(), values.size());
  a->length = static_cast<double>(values.size());
  return a;
}

FunctionObject* Machine::newNative(NativeFunction fn, int magic) {
  auto* f = heap_.make<FunctionObject>(protos_.function, fn);
  f->magic = magic;
  return f;
}

FunctionObject* Machine::method(Object* owner, const char* name, NativeFunction fn, int magic, uint32_t flags) {
  FunctionObject* f = newNative(fn, magic);
  owner->define(name, Value(f), flags);
  return f;
}

FunctionObject* Machine::defineClass(Object* owner, const char* name, NativeFunction constructor, Object* prototype,
                                     uint32_t flags) {
  FunctionObject* f = newNative(constructor);
  f->define("prototype", Value(prototype), kDontEnum | kDontDelete);
  prototype->define("constructor", Value(f), kDontEnum);
  prototype->isPrototypeObject = true;
  if (owner) owner->define(name, Value(f), flags);
  return f;
}

void Machine::throwError(const char* message) {
  Object* e = heap_.make<Object>(protos_.error);
  e->define("message", Value(String(message)));
  throw ScriptThrow{Value(e)};
}

// ------------------------------------------------------------------ arrays

double Machine::arrayLength(Object* object) {
  if (object->kind() == Object::Kind::Array) return std::max(static_cast<ArrayObject*>(object)->length, 0.0);
  double n = toNumber(get(object, "length"));
  return std::isnan(n) || n < 0 ? 0 : std::floor(n);
}

Value Machine::arrayGet(Object* object, double index) {
  if (object->kind() == Object::Kind::Array && index >= 0) {
    auto* a = static_cast<ArrayObject*>(object);
    if (index < static_cast<double>(a->elements.size())) {
      size_t i = static_cast<size_t>(index);
      if (a->present[i]) return a->elements[i];
    }
  }
  return get(object, numberToString(index));
}

void Machine::arraySet(Object* object, double index, const Value& value) {
  set(object, numberToString(index), value);
}

}  // namespace avm1
