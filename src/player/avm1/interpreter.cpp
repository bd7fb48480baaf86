#include "player/avm1/interpreter.h"

#include <cmath>
#include <cstring>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/text.h"
#include "player/core/sprite.h"
#include "player/swf/actions.h"
#include "player/swf/bit_reader.h"

namespace avm1 {

namespace {

// DefineFunction2 flags.
enum : uint16_t {
  kPreloadThis = 0x01,
  kSuppressThis = 0x02,
  kPreloadArguments = 0x04,
  kSuppressArguments = 0x08,
  kPreloadSuper = 0x10,
  kSuppressSuper = 0x20,
  kPreloadRoot = 0x40,
  kPreloadParent = 0x80,
  kPreloadGlobal = 0x100,
};

// Frame scripts have four registers; functions as many as they ask for.
constexpr size_t kGlobalRegisters = 4;

enum class Flow { Normal, Return, JumpOut };

ArrayObject* makeArguments(Machine& m, Activation& a);

struct Interpreter {
  Machine& m;
  Activation& a;
  const uint8_t* bytes;
  size_t size;
  size_t pc = 0;
  bool halted = false;

  // After a call (or a call's try on an object): a script whose own clip is
  // now off the stage goes no further, as the reference player has it.
  void checkClipRemoved() {
    if (a.haltWhenRemoved && a.baseClip->sprite() && a.baseClip->sprite()->removed()) halted = true;
  }

  Interpreter(Machine& machine, Activation& activation)
      : m(machine), a(activation), bytes(activation.code->bytes.data()), size(activation.code->bytes.size()) {}

  bool v5() const { return a.swfVersion >= 5; }

  // ------------------------------------------------------------ stack
  Value pop() {
    auto& s = m.stack();
    if (s.size() <= a.stackBase) return Value();
    Value v = std::move(s.back());
    s.pop_back();
    return v;
  }
  void push(Value v) {
    auto& s = m.stack();
    if (s.size() >= m.limits().stackValues) throw ScriptAbort{"the stack overflowed"};
    s.push_back(std::move(v));
  }
  void pushBool(bool b) { push(Value(b)); }
  double popNumber() { return m.toNumber(pop()); }
  String popString() { return m.toString(pop()); }

  // A register: past a function's own ones are those of the frame script
  // running below it, as the reference player has them.
  Value* registerSlot(size_t index) {
    if (index < a.registers.size()) return &a.registers[index];
    for (Activation* p = a.parent; p; p = p->parent)
      if (!p->callee) return index < p->registers.size() ? &p->registers[index] : nullptr;
    return nullptr;
  }

  // ------------------------------------------------------------ scopes
  Object* targetObject() const {
    if (a.target) return a.target;
    return a.baseClip;
  }
  // Where a property's path starts: the target, or the root once the target
  // has left the stage.
  Object* pathStart() const {
    Object* t = targetObject();
    if (t && t->kind() == Object::Kind::Clip && m.root()) {
      player::SpriteInstance* clip = static_cast<ClipObject*>(t)->sprite();
      if (!clip || clip->removed()) return m.clipObject(m.root());
    }
    return t;
  }
  // The object a scope link stands for: the first timeline link follows SetTarget.
  Object* scopeObject(Scope* s, bool* timelineSeen) const {
    if (s->kind == Scope::Kind::Timeline && !*timelineSeen) {
      *timelineSeen = true;
      if (a.target) return a.target;
      // A timeline gone from the stage leaves its variables to the root's.
      if (s->object && s->object->kind() == Object::Kind::Clip) {
        player::SpriteInstance* clip = static_cast<ClipObject*>(s->object)->sprite();
        if (!clip || clip->removed()) return m.clipObject(m.root());
      }
    }
    return s->object;
  }

  bool sameName(const String& name, const char* word) const {
    return m.caseSensitive() ? name.str() == word : strcasecmpEqual(name.str(), word);
  }

  // this, arguments, super and the like, when the name is one of them.
  bool specialVariable(const String& name, Value* out) {
    const std::string& n = name.str();
    if (n.empty()) return false;
    if (a.callee && sameName(name, "arguments")) {
      if (a.suppressArguments) return false;
      *out = Value(argumentsObject());
      return true;
    }
    if (a.callee && sameName(name, "super")) {
      if (a.suppressSuper) return false;
      *out = superValue();
      return true;
    }
    return false;
  }

  // Names that stand for something when no scope has a variable of that name.
  bool fallbackVariable(const String& name, Value* out) {
    if (sameName(name, "this") && !a.suppressThis) {
      *out = a.thisValue;
      return true;
    }
    if (m.swfVersion() >= 6 && sameName(name, "_global")) {
      *out = Value(m.global());
      return true;
    }
    if (levelNumber(name) >= 0) {
      *out = levelValue(m, levelNumber(name));
      return true;
    }
    if (sameName(name, "_root")) {
      *out = rootValue(m, a);
      return true;
    }
    return false;
  }

  Object* argumentsObject() {
    if (!a.arguments) a.arguments = makeArguments(m, a);
    return a.arguments;
  }

  Value superValue() {
    if (!a.superObject) return Value();
    // A super object: methods come from the parent prototype, called on this.
    return Value(makeSuperObject(m, a.superObject, a.thisValue, a.constructorChain));
  }

  Value getVariable(const String& name) {
    Value v;
    if (specialVariable(name, &v)) return v;
    if (!a.suppressThis && sameName(name, "this")) {
      // A function's this is its own (a local of that name aside); a frame
      // script's may be shadowed by a variable a script made.
      if (a.locals) {
        if (m.findOwnVisible(a.locals, name)) return m.get(a.locals, name);
        return a.thisValue;
      }
      bool timelineSeen = false;
      for (Scope* s = a.scope; s; s = s->parent) {
        Object* o = scopeObject(s, &timelineSeen);
        if (o && m.findOwnVisible(o, name)) return m.get(o, name);
      }
      return a.thisValue;
    }
    if (isPath(name, a.swfVersion)) {
      Value result;
      if (resolveVariablePath(name, &result)) return result;
      return Value();
    }
    bool timelineSeen = false;
    // _global is found on a scope's own object only, not on its prototypes.
    bool global = m.swfVersion() >= 6 && sameName(name, "_global");
    for (Scope* s = a.scope; s; s = s->parent) {
      Object* o = scopeObject(s, &timelineSeen);
      if (!o || (global && !m.findOwnVisible(o, name))) continue;
      if (m.hasProperty(o, name)) return m.get(o, name);
    }
    if (fallbackVariable(name, &v)) return v;
    return Value();
  }

  // "a.b.c", "/a/b:c", "_root.a:c": the object before the last separator,
  // tried from each link of the scope chain, and the name after it.
  bool resolveVariablePath(const String& path, Value* out) {
    String objectPath, member;
    splitVariablePath(path, &objectPath, &member);
    Object* target = nullptr;
    if (!resolveObjectPath(objectPath, &target)) return false;
    if (member.empty()) {
      *out = Value(target);
      return true;
    }
    *out = m.get(target, member);
    return true;
  }

  bool resolveObjectPath(const String& path, Object** out) {
    if (path.empty()) {
      *out = targetObject();
      return *out != nullptr;
    }
    const std::string& p = path.str();
    if (p[0] == '/' || p.compare(0, 5, "_root") == 0 || p.compare(0, 6, "_level") == 0 ||
        p.compare(0, 7, "_global") == 0 || p.compare(0, 4, "this") == 0) {
      Value v = resolveTargetPath(m, a, targetObject(), path);
      *out = v.object();
      return *out != nullptr;
    }
    bool timelineSeen = false;
    for (Scope* s = a.scope; s; s = s->parent) {
      Object* o = scopeObject(s, &timelineSeen);
      if (!o) continue;
      Value v = resolveTargetPath(m, a, o, path);
      if (v.object()) {
        *out = v.object();
        return true;
      }
    }
    return false;
  }

  void setVariable(const String& name, const Value& value) {
    // A function's own this and arguments are its locals.
    if (a.locals && (sameName(name, "this") || sameName(name, "arguments"))) {
      a.locals->define(name, value);
      return;
    }
    if (isPath(name, a.swfVersion)) {
      String objectPath, member;
      splitVariablePath(name, &objectPath, &member);
      Object* target = nullptr;
      if (!member.empty() && resolveObjectPath(objectPath, &target)) m.set(target, member, value);
      return;
    }
    bool timelineSeen = false;
    for (Scope* s = a.scope; s; s = s->parent) {
      Object* o = scopeObject(s, &timelineSeen);
      if (!o) continue;
      if (s->kind == Scope::Kind::Timeline || s->kind == Scope::Kind::Global || m.hasProperty(o, name)) {
        m.set(o, name, value);
        return;
      }
    }
  }

  void defineLocal(const String& name, const Value& value) {
    if (a.locals) {
      // In a function even a path is just the local's name.
      a.locals->define(name, value);
    } else if (isPath(name, a.swfVersion)) {
      // "var _root.x" sets what the path names.
      setVariable(name, value);
    } else if (Object* t = targetObject()) {
      m.set(t, name, value);
    }
  }

  // -------------------------------------------------------- timelines
  player::SpriteInstance* target() const { return a.targetSprite(); }

  void gotoFrame(player::SpriteInstance* t, int frame, bool play) {
    if (!t) return;
    t->gotoFrame(frame);
    if (play) t->play(); else t->stop();
  }

  // A frame given as a number (1-based) or a label, perhaps "path:frame".
  void gotoFrameValue(const Value& frameValue, bool play, int bias) {
    player::SpriteInstance* t = target();
    // The action reads anything but a number as text: false is the label "false".
    Value frame = frameValue.isBoolean() ? Value(m.toString(frameValue)) : frameValue;
    if (frame.isString()) {
      std::string s = frame.string().str();
      size_t colon = s.rfind(':');
      if (colon != std::string::npos) {
        Value clip = resolveTargetPath(m, a, targetObject(), s.substr(0, colon));
        t = spriteOf(clip);
        frame = Value(String(s.substr(colon + 1)));
      }
    }
    if (!t) return;
    int index = frameIndex(m, *t, frame);
    if (index < 0) return;
    gotoFrame(t, index + bias, play);
  }

  // ---------------------------------------------------------- running
  void skipActions(int count) {
    for (int i = 0; i < count && pc < size && bytes[pc] != 0; ++i) {
      if (bytes[pc] < 0x80) {
        ++pc;
      } else {
        if (size - pc < 3) return;
        pc += 3 + (bytes[pc + 1] | (size_t(bytes[pc + 2]) << 8));
      }
    }
  }

  Flow run(size_t start, size_t end) {
    pc = start;
    for (;;) {
      if (pc == end) return Flow::Normal;
      if (pc < start || pc > end) return Flow::JumpOut;
      size_t at = pc;
      uint8_t code = bytes[at];
      if (code == 0) return Flow::Normal;
      const uint8_t* data = nullptr;
      size_t length = 0;
      size_t next = at + 1;
      if (code >= 0x80) {
        if (end - at < 3) return Flow::Normal;
        length = bytes[at + 1] | (size_t(bytes[at + 2]) << 8);
        if (length > end - at - 3) return Flow::Normal;
        data = bytes + at + 3;
        next = at + 3 + length;
      }
      pc = next;
      m.charge(1);
      Flow f = Flow::Normal;
      long jump = 0;
      bool jumped = false;
      if (!execute(code, data, length, &f, &jump, &jumped)) return f;
      if (halted) return Flow::Return;
      if (jumped) {
        long target = static_cast<long>(next) + jump;
        if (target < 0 || static_cast<size_t>(target) > size) return Flow::Normal;  // off the code: the end
        pc = static_cast<size_t>(target);
        if (jump < 0) m.collectIfDue();
      }
    }
  }

  // After a nested block (with, try): a return ends the running range; a
  // jump out of the block or its end carries on from pc.
  static bool carryOn(Flow f, Flow* flow) {
    if (f == Flow::Return) {
      *flow = Flow::Return;
      return false;
    }
    return true;
  }

  // Returns false when the running range must end with *flow.
  bool execute(uint8_t code, const uint8_t* data, size_t length, Flow* flow, long* jump, bool* jumped);

  void doPush(const uint8_t* data, size_t length);
  void defineFunction(const uint8_t* data, size_t length, bool second);
  bool doWith(size_t length, Flow* flow);
  bool doTry(const uint8_t* data, size_t length, Flow* flow);
  void callFunctionNamed();
  void callMethod();
  Value callSuperConstructor(Object* super, const std::vector<Value>& args);
  void newObject(bool method);
  void doEnumerate(bool objectOnStack);
  void getProperty();
  void setProperty();
  void setTarget(const String& path);
  Value readFunctionBody(size_t length);

};

void Interpreter::doPush(const uint8_t* data, size_t length) {
  swf::BitReader r(data, length);
  while (!r.atEnd() && !r.failed()) {
    uint8_t type = r.u8();
    Value v;
    switch (type) {
      case 0: {
        size_t at = static_cast<size_t>(r.current() - bytes);
        auto cached = a.code->texts.find(at);
        if (cached != a.code->texts.end()) {
          v = Value(cached->second.text);
          r.skip(cached->second.rawSize);
        } else {
          std::string raw = r.cstring();
          String text = decodeText(m, a.swfVersion, raw);
          if (!r.failed()) a.code->texts.emplace(at, Code::Text{text, raw.size() + 1});
          v = Value(text);
        }
        break;
      }
      case 1: v = Value(static_cast<double>(r.f32())); break;
      case 2: v = Value::null(); break;
      case 3: break;
      case 4: {
        uint8_t reg = r.u8();
        if (Value* slot = registerSlot(reg)) v = *slot;
        break;
      }
      case 5: v = Value(r.u8() != 0); break;
      case 6: v = Value(r.f64()); break;
      case 7: v = Value(static_cast<double>(static_cast<int32_t>(r.u32()))); break;
      case 8:
      case 9: {
        size_t index = type == 8 ? r.u8() : r.u16();
        if (a.constants && index < a.constants->size()) v = Value((*a.constants)[index]);
        break;
      }
      default:
        return;  // an unknown type: the rest cannot be read
    }
    if (r.failed()) return;
    push(std::move(v));
  }
}

void Interpreter::defineFunction(const uint8_t* data, size_t length, bool second) {
  swf::BitReader r(data, length);
  String name = decodeText(m, a.swfVersion, r.cstring());
  uint16_t count = r.u16();
  ScriptFunction f;
  f.isFunction2 = second;
  if (second) {
    f.registerCount = r.u8();
    f.flags = r.u16();
    for (int i = 0; i < count && !r.failed(); ++i) {
      uint8_t reg = r.u8();
      f.params.emplace_back(reg, decodeText(m, a.swfVersion, r.cstring()));
    }
  } else {
    for (int i = 0; i < count && !r.failed(); ++i)
      f.params.emplace_back(0, decodeText(m, a.swfVersion, r.cstring()));
  }
  uint16_t bodySize = r.u16();
  if (r.failed()) return;
  size_t bodyStart = pc;
  size_t bodyEnd = std::min(size, bodyStart + bodySize);
  f.code = a.code;
  f.start = bodyStart;
  f.length = bodyEnd - bodyStart;
  f.constants = a.constants;
  f.scope = a.scope;
  f.baseClip = a.baseClip;
  pc = bodyEnd;
  FunctionObject* fn = makeScriptFunction(m, std::move(f));
  fn->name = name;
  if (name.empty()) {
    push(Value(fn));
  } else {
    defineLocal(name, Value(fn));
  }
}

bool Interpreter::doWith(size_t blockSize, Flow* flow) {
  Value v = pop();
  size_t start = pc, end = std::min(size, pc + blockSize);
  Object* o = m.toObject(v);
  if (!o) {
    // Nothing to look in: the block is skipped.
    pc = end;
    return true;
  }
  Scope* saved = a.scope;
  a.scope = m.heap().make<Scope>(Scope::Kind::With, o, saved);
  Flow f;
  try {
    f = run(start, end);
  } catch (...) {
    a.scope = saved;
    throw;
  }
  a.scope = saved;
  return carryOn(f, flow);
}

bool Interpreter::doTry(const uint8_t* data, size_t length, Flow* flow) {
  swf::BitReader r(data, length);
  uint8_t flags = r.u8();
  uint16_t trySize = r.u16(), catchSize = r.u16(), finallySize = r.u16();
  bool inRegister = flags & 0x04;
  uint8_t catchRegister = 0;
  String catchName;
  if (inRegister) {
    catchRegister = r.u8();
  } else {
    catchName = decodeText(m, a.swfVersion, r.cstring());
  }
  if (r.failed()) return true;
  size_t tryStart = pc;
  size_t catchStart = std::min(size, tryStart + trySize);
  size_t finallyStart = std::min(size, catchStart + catchSize);
  size_t after = std::min(size, finallyStart + finallySize);
  bool hasCatch = flags & 0x01;
  bool hasFinally = flags & 0x02;
  size_t stackDepth = m.stack().size();

  Flow f = Flow::Normal;
  size_t jumpTarget = 0;
  bool pendingThrow = false;
  ScriptThrow thrown;
  try {
    f = run(tryStart, catchStart);
    jumpTarget = pc;
  } catch (ScriptThrow& t) {
    if (m.stack().size() > stackDepth) m.stack().resize(stackDepth);
    if (hasCatch) {
      if (inRegister) {
        if (Value* slot = registerSlot(catchRegister)) *slot = t.value;
      } else if (a.locals) {
        a.locals->define(catchName, t.value);
      } else {
        setVariable(catchName, t.value);
      }
      try {
        f = run(catchStart, finallyStart);
        jumpTarget = pc;
      } catch (ScriptThrow& inner) {
        if (!hasFinally) throw;
        pendingThrow = true;
        thrown = inner;
      }
    } else {
      pendingThrow = true;
      thrown = t;
    }
  }
  if (hasFinally) {
    Value savedReturn = a.returnValue;
    Flow ff = run(finallyStart, after);
    if (ff != Flow::Normal) {
      // A return or jump in finally wins over what the body did.
      return carryOn(ff, flow);
    }
    a.returnValue = savedReturn;
  }
  if (pendingThrow) throw thrown;
  if (f == Flow::Normal || (f == Flow::JumpOut && jumpTarget >= catchStart && jumpTarget <= after)) {
    pc = after;
    return true;
  }
  pc = jumpTarget;
  return carryOn(f, flow);
}

void Interpreter::callFunctionNamed() {
  String name = popString();
  size_t count = static_cast<size_t>(std::max(0.0, std::min(popNumber(), 65535.0)));
  std::vector<Value> args(count);
  for (size_t i = 0; i < count; ++i) args[i] = pop();
  // A function found on a with() object or among a function's locals is
  // called on that object; others on the timeline the code targets.
  Value thisValue = Value(targetObject());
  Value fn;
  bool found = false;
  if (isPath(name, a.swfVersion)) {
    // "a.b.f()": f is called on what a.b names.
    String objectPath, member;
    splitVariablePath(name, &objectPath, &member);
    Object* o = nullptr;
    if (!member.empty() && resolveObjectPath(objectPath, &o)) {
      fn = m.get(o, member);
      thisValue = Value(o);
      found = true;
    }
  } else {
    bool timelineSeen = false;
    for (Scope* s = a.scope; s && !found; s = s->parent) {
      Object* o = scopeObject(s, &timelineSeen);
      if (!o || !m.hasProperty(o, name)) continue;
      fn = m.get(o, name);
      if (s->kind == Scope::Kind::With || s->kind == Scope::Kind::Local) thisValue = Value(o);
      found = true;
    }
  }
  if (!found) fn = getVariable(name);
  if (Object* super = isSuperObject(fn)) {
    push(callSuperConstructor(super, args));
    return;
  }
  if (!fn.object() || fn.object()->kind() != Object::Kind::Function) {
    // A primitive is made an object first, though no object made so is callable.
    if (!fn.isNullish()) m.coerceToObject(fn);
    push(Value());
    checkClipRemoved();
    return;
  }
  Value result = m.callFromScript(fn, thisValue, args.data(), args.size());
  push(result);
  checkClipRemoved();
}

// super(): the parent class's constructor on the same object, found without
// asking __resolve.
Value Interpreter::callSuperConstructor(Object* super, const std::vector<Value>& args) {
  Object* from = superConstructorFrom(super);
  Value self = superThis(super);
  Value ctor = from ? m.get(from, "__constructor__", self, false) : Value();
  Object* ctorObject = ctor.object();
  Object* next = ctorObject ? m.get(ctorObject, "prototype").object() : nullptr;
  return m.callFromScript(ctor, self, args.data(), args.size(), next, true);
}

void Interpreter::callMethod() {
  Value nameValue = pop();
  Value object = pop();
  size_t count = static_cast<size_t>(std::max(0.0, std::min(popNumber(), 65535.0)));
  std::vector<Value> args(count);
  for (size_t i = 0; i < count; ++i) args[i] = pop();
  String name = m.toString(nameValue);
  bool noName = nameValue.isUndefined() || name.empty();
  if (Object* super = isSuperObject(object)) {
    Object* home = superPrototype(super);
    Value self = superThis(super);
    if (noName) {
      push(callSuperConstructor(super, args));
      return;
    }
    // super.method(): the parent prototype's method, on the same object.
    Object* base = superBase(home);
    Value fn = base ? m.get(base, name, self) : Value();
    push(m.callFromScript(fn, self, args.data(), args.size(), base ? findMethodHome(m, base, name) : nullptr));
    return;
  }
  if (noName) {
    // The object itself is the function, called with no this.
    if (!object.isObject() && !object.isNullish()) m.coerceToObject(object);
    push(m.callFromScript(object, Value(), args.data(), args.size()));
    return;
  }
  // A primitive's method runs on the object the global constructor makes of it.
  if (!object.isObject() && !object.isNullish()) {
    Object* boxed = m.coerceToObject(object);
    object = boxed ? Value(boxed) : Value();
  }
  Value fn = m.getMember(object, name);
  if (!fn.object() || fn.object()->kind() != Object::Kind::Function) {
    push(Value());
    if (object.isObject()) checkClipRemoved();
    return;
  }
  Object* home = nullptr;
  if (Object* o = object.object()) home = findMethodHome(m, o, name);
  push(m.callFromScript(fn, object, args.data(), args.size(), home));
  if (object.isObject()) checkClipRemoved();
}

void Interpreter::newObject(bool isMethod) {
  Value fn;
  bool onObject = true;
  if (isMethod) {
    Value nameValue = pop();
    Value object = pop();
    onObject = object.isObject();
    String name = m.toString(nameValue);
    fn = nameValue.isUndefined() || name.empty() ? object : m.getMember(object, name);
  } else {
    fn = getVariable(popString());
  }
  struct Check {
    Interpreter& in;
    bool on;
    ~Check() {
      if (on) in.checkClipRemoved();
    }
  } check{*this, onObject};
  size_t count = static_cast<size_t>(std::max(0.0, std::min(popNumber(), 65535.0)));
  std::vector<Value> args(count);
  for (size_t i = 0; i < count; ++i) args[i] = pop();
  if (!fn.object() || fn.object()->kind() != Object::Kind::Function) {
    if (!fn.isNullish()) m.coerceToObject(fn);
    push(Value());
    return;
  }
  auto* f = static_cast<FunctionObject*>(fn.object());
  Value proto = m.get(f, "prototype");
  Object* made = m.constructFromScript(f, args.data(), args.size(), proto.object());
  push(made ? Value(made) : Value());
}

void Interpreter::doEnumerate(bool objectOnStack) {
  Value v = pop();
  Object* o = nullptr;
  if (objectOnStack) {
    o = v.object();
  } else {
    Value found = getVariable(m.toString(v));
    o = found.object();
  }
  push(Value());  // end marker
  if (!o) return;
  std::vector<String> names = m.enumerate(o);
  for (auto it = names.rbegin(); it != names.rend(); ++it) push(Value(*it));
}

void Interpreter::getProperty() {
  double index = popNumber();
  Value path = pop();
  Object* clip = nullptr;
  String p = m.toString(path);
  if (p.empty()) {
    clip = a.targetMissing ? nullptr : targetObject();
  } else {
    clip = resolveTargetPath(m, a, pathStart(), p).object();
  }
  if (!clip || std::isnan(index)) {
    push(Value());
    return;
  }
  push(getPropertyByIndex(m, clip, wrapToInt32(index)));
}

void Interpreter::setProperty() {
  Value value = pop();
  double index = popNumber();
  Value path = pop();
  String p = m.toString(path);
  Object* clip = p.empty() ? (a.targetMissing ? nullptr : targetObject()) : resolveTargetPath(m, a, pathStart(), p).object();
  if (!clip || std::isnan(index)) return;
  setPropertyByIndex(m, clip, wrapToInt32(index), value);
}

void Interpreter::setTarget(const String& path) {
  a.targetMissing = false;
  if (path.empty()) {
    a.target = nullptr;
    return;
  }
  // From a clip that is off the stage no path leads anywhere.
  bool baseGone = !a.baseClip->sprite() || a.baseClip->sprite()->removed();
  Value v = baseGone ? Value() : resolveTargetPath(m, a, a.baseClip, path);
  if (v.object() && v.object()->kind() == Object::Kind::Clip) {
    a.target = v.object();
  } else {
    a.target = rootValue(m, a).object();
    a.targetMissing = true;
  }
}

bool Interpreter::execute(uint8_t code, const uint8_t* data, size_t length, Flow* flow, long* jump,
                          bool* jumped) {
  switch (code) {
    // ----- timeline
    case swf::kActionNextFrame:
      if (auto* t = target()) gotoFrame(t, t->currentFrame() + 1, false);
      break;
    case swf::kActionPrevFrame:
      if (auto* t = target()) gotoFrame(t, t->currentFrame() - 1, false);
      break;
    case swf::kActionPlay:
      if (auto* t = target()) t->play();
      break;
    case swf::kActionStop:
      if (auto* t = target()) t->stop();
      break;
    case 0x08:  // ToggleQuality
    case 0x09:  // StopSounds
      if (code == 0x09) stopAllSounds(m);
      break;
    case swf::kActionGotoFrame: {
      swf::BitReader r(data, length);
      uint16_t frame = r.u16();
      if (!r.failed()) gotoFrame(target(), frame, false);
      break;
    }
    case swf::kActionGotoLabel: {
      swf::BitReader r(data, length);
      String label = decodeText(m, a.swfVersion, r.cstring());
      if (auto* t = target()) {
        int frame = t->timeline().findLabel(label.str());
        if (frame >= 0) gotoFrame(t, frame, false);
      }
      break;
    }
    case swf::kActionGotoFrame2: {
      swf::BitReader r(data, length);
      uint8_t flags = r.u8();
      int bias = (flags & 0x02) ? r.u16() : 0;
      gotoFrameValue(pop(), flags & 0x01, bias);
      break;
    }
    case 0x8A:    // WaitForFrame
    case 0x8D: {  // WaitForFrame2
      // The whole movie is loaded, frames past its end included, up to the
      // format's limit of 16000 frames; past that the next actions are skipped.
      swf::BitReader r(data, length);
      double frame = code == 0x8D ? m.toNumber(pop()) - 1 : r.u16();
      int skip = r.u8();
      if (frame > 16000) skipActions(skip);
      break;
    }
    case 0x8B: {  // SetTarget
      swf::BitReader r(data, length);
      setTarget(decodeText(m, a.swfVersion, r.cstring()));
      break;
    }
    case 0x20: {  // SetTarget2
      Value v = pop();
      // A clip is found again by its path (another clip of its name may
      // come first).
      if (v.object() && v.object()->kind() == Object::Kind::Clip) {
        setTarget(static_cast<ClipObject*>(v.object())->targetPath());
      } else {
        setTarget(m.toString(v));
      }
      break;
    }
    case 0x83: {  // GetURL
      swf::BitReader r(data, length);
      String url = decodeText(m, a.swfVersion, r.cstring());
      String window = decodeText(m, a.swfVersion, r.cstring());
      getUrl(m, a, url, window, 0);
      break;
    }
    case 0x9A: {  // GetURL2
      swf::BitReader r(data, length);
      uint8_t flags = r.u8();
      String window = popString();
      String url = popString();
      getUrl(m, a, url, window, flags);
      break;
    }
    case 0x9E: {  // Call: a frame's actions, run now
      Value frame = pop();
      player::SpriteInstance* t = target();
      if (frame.isString()) {
        std::string s = frame.string().str();
        size_t colon = s.rfind(':');
        if (colon != std::string::npos) {
          t = spriteOf(resolveTargetPath(m, a, targetObject(), s.substr(0, colon)));
          frame = Value(String(s.substr(colon + 1)));
        }
      }
      if (t) {
        int index = frameIndex(m, *t, frame);
        if (index >= 0) {
          // A frame that calls itself recurses like a function.
          Machine::NestedRun nested(m);
          runFrameActions(m, *t, index);
        }
      }
      break;
    }
    case 0x24: {  // CloneSprite
      double depth = popNumber();
      String name = popString();
      String source = popString();
      duplicateClip(m, a, source, name, depth);
      break;
    }
    case 0x25: {  // RemoveSprite
      Value v = pop();
      Object* clip = v.object() && v.object()->kind() == Object::Kind::Clip
                         ? v.object()
                         : resolveTargetPath(m, a, targetObject(), m.toString(v)).object();
      if (clip) removeClip(m, clip);
      break;
    }
    case 0x27: {  // StartDrag
      Value targetValue = pop();
      bool lockCenter = m.toBoolean(pop());
      bool constrain = m.toBoolean(pop());
      double box[4] = {0, 0, 0, 0};
      if (constrain) {
        box[3] = popNumber();
        box[2] = popNumber();
        box[1] = popNumber();
        box[0] = popNumber();
      }
      Object* clip = resolveTargetPath(m, a, targetObject(), m.toString(targetValue)).object();
      startDrag(m, clip, lockCenter, constrain ? box : nullptr);
      break;
    }
    case 0x28:  // EndDrag
      startDrag(m, nullptr, false, nullptr);
      break;

    // ----- stack and constants
    case swf::kActionPush:
      doPush(data, length);
      break;
    case swf::kActionPop:
      pop();
      break;
    case 0x4C: {  // PushDuplicate
      Value v = pop();
      push(v);
      push(v);
      break;
    }
    case 0x4D: {  // StackSwap
      Value b = pop(), c = pop();
      push(b);
      push(c);
      break;
    }
    case swf::kActionConstantPool: {
      size_t at = static_cast<size_t>(data - bytes);
      auto cached = a.code->pools.find(at);
      if (cached != a.code->pools.end()) {
        a.constants = cached->second;
        break;
      }
      swf::BitReader r(data, length);
      int count = r.u16();
      auto pool = std::make_shared<std::vector<String>>();
      pool->reserve(static_cast<size_t>(count));
      for (int i = 0; i < count && !r.failed(); ++i) pool->push_back(decodeText(m, a.swfVersion, r.cstring()));
      a.constants = pool;
      a.code->pools.emplace(at, pool);
      break;
    }
    case 0x87: {  // StoreRegister
      swf::BitReader r(data, length);
      uint8_t reg = r.u8();
      auto& s = m.stack();
      Value v = s.size() > a.stackBase ? s.back() : Value();
      if (r.failed()) break;
      if (Value* slot = registerSlot(reg)) *slot = v;
      break;
    }

    // ----- arithmetic
    case 0x0A: {  // Add
      Value bv = pop(), xv = pop();
      double x = m.toNumber(xv), b = m.toNumber(bv);
      push(Value(x + b));
      break;
    }
    case 0x0B: {  // Subtract
      Value bv = pop(), xv = pop();
      double x = m.toNumber(xv), b = m.toNumber(bv);
      push(Value(x - b));
      break;
    }
    case 0x0C: {  // Multiply
      Value bv = pop(), xv = pop();
      double x = m.toNumber(xv), b = m.toNumber(bv);
      push(Value(x * b));
      break;
    }
    case 0x0D: {  // Divide
      Value bv = pop(), xv = pop();
      double x = m.toNumber(xv), b = m.toNumber(bv);
      if (b == 0 && !v5()) {
        push(Value("#ERROR#"));
      } else {
        push(Value(x / b));
      }
      break;
    }
    case 0x3F: {  // Modulo
      Value bv = pop(), xv = pop();
      double x = m.toNumber(xv), b = m.toNumber(bv);
      push(Value(std::fmod(x, b)));
      break;
    }
    case 0x47: {  // Add2
      Value b = pop(), x = pop();
      // From SWF 6 dates are read by their text first, all else by its value.
      auto isDate = [&](const Value& v) {
        return m.swfVersion() >= 6 && v.object() && v.object()->kind() == Object::Kind::Date;
      };
      Value pb = m.toPrimitive(b, isDate(b)), px = m.toPrimitive(x, isDate(x));
      if (px.isString() || pb.isString()) {
        // An operand whose valueOf gave an object is written by its toString.
        std::string left = m.toString(px.isObject() ? x : px).str();
        std::string right = m.toString(pb.isObject() ? b : pb).str();
        push(Value(m.makeString(left + right)));
      } else {
        // An object operand is asked for its value again.
        double left = m.toNumber(px.isObject() ? x : px);
        double right = m.toNumber(pb.isObject() ? b : pb);
        push(Value(left + right));
      }
      break;
    }
    case 0x50:  // Increment
      push(Value(popNumber() + 1));
      break;
    case 0x51:  // Decrement
      push(Value(popNumber() - 1));
      break;
    case 0x18:  // ToInteger
      push(Value(static_cast<double>(m.toInt32(pop()))));
      break;
    case 0x4A:  // ToNumber
      push(Value(popNumber()));
      break;
    case 0x4B:  // ToString
      push(Value(popString()));
      break;
    case 0x60: case 0x61: case 0x62: case 0x63: case 0x64: case 0x65: {
      Value b = pop(), x = pop();
      int32_t ib = m.toInt32(b), ix = m.toInt32(x);
      double r = 0;
      switch (code) {
        case 0x60: r = ix & ib; break;
        case 0x61: r = ix | ib; break;
        case 0x62: r = ix ^ ib; break;
        case 0x63: r = static_cast<int32_t>(static_cast<uint32_t>(ix) << (ib & 31)); break;
        case 0x64: r = ix >> (ib & 31); break;
        default:
          r = static_cast<uint32_t>(ix) >> (ib & 31);
          // Players of SWF 8 and older gave the result as a signed number.
          if (m.swfVersion() <= 8) r = static_cast<int32_t>(static_cast<uint32_t>(ix) >> (ib & 31));
          break;
      }
      push(Value(r));
      break;
    }

    // ----- comparisons and logic
    case 0x0E: {  // Equals (SWF 4): numbers
      Value b = pop(), x = pop();
      double nb = m.toNumber(b), nx = m.toNumber(x);
      pushBool(nx == nb);
      break;
    }
    case 0x0F: {  // Less (SWF 4): numbers
      Value b = pop(), x = pop();
      double nx = m.toNumber(x), nb = m.toNumber(b);
      pushBool(nx < nb);
      break;
    }
    case 0x49: {  // Equals2
      Value b = pop(), x = pop();
      pushBool(m.equals(x, b));
      break;
    }
    case 0x66: {  // StrictEquals
      Value b = pop(), x = pop();
      push(Value(Machine::strictEquals(x, b)));
      break;
    }
    case 0x48: {  // Less2
      Value b = pop(), x = pop();
      push(m.lessThan(x, b));
      break;
    }
    case 0x67: {  // Greater
      Value b = pop(), x = pop();
      push(m.lessThan(b, x));
      break;
    }
    case 0x10: {  // And
      Value b = pop(), x = pop();
      pushBool(m.toBoolean(x) && m.toBoolean(b));
      break;
    }
    case 0x11: {  // Or
      Value b = pop(), x = pop();
      pushBool(m.toBoolean(x) || m.toBoolean(b));
      break;
    }
    case 0x12:  // Not
      pushBool(!m.toBoolean(pop()));
      break;
    case 0x13: {  // StringEquals
      String b = popString(), x = popString();
      pushBool(x == b);
      break;
    }
    case 0x29: {  // StringLess
      String b = popString(), x = popString();
      pushBool(x.str() < b.str());
      break;
    }
    case 0x68: {  // StringGreater
      String b = popString(), x = popString();
      pushBool(x.str() > b.str());
      break;
    }

    // ----- strings
    case 0x14:  // StringLength
    case 0x31:  // MBStringLength
      push(Value(static_cast<double>(popString().units())));
      break;
    case 0x15:    // StringExtract
    case 0x35: {  // MBStringExtract
      double count = popNumber();
      double index = popNumber();
      String s = popString();
      push(Value(legacySubstring(s, index, count)));
      break;
    }
    case 0x21: {  // StringAdd
      String b = popString(), x = popString();
      push(Value(m.makeString(x.str() + b.str())));
      break;
    }
    case 0x32:    // CharToAscii
    case 0x36: {  // MBCharToAscii
      String s = popString();
      push(Value(s.empty() ? 0.0 : static_cast<double>(firstCodeUnit(s))));
      break;
    }
    case 0x33:    // AsciiToChar
    case 0x37: {  // MBAsciiToChar
      double c = popNumber();
      push(Value(fromCharCode(static_cast<uint32_t>(wrapToInt32(c)) & 0xFFFF)));
      break;
    }

    // ----- variables and members
    case 0x1C: {  // GetVariable
      String name = popString();
      push(getVariable(name));
      break;
    }
    case 0x1D: {  // SetVariable
      Value v = pop();
      String name = popString();
      setVariable(name, v);
      break;
    }
    case 0x3C: {  // DefineLocal
      Value v = pop();
      String name = popString();
      defineLocal(name, v);
      break;
    }
    case 0x41: {  // DefineLocal2
      String name = popString();
      if (a.locals) {
        if (!a.locals->findOwn(name, m.caseSensitive())) a.locals->define(name, Value());
      } else if (isPath(name, a.swfVersion)) {
        String objectPath, member;
        splitVariablePath(name, &objectPath, &member);
        Object* o = nullptr;
        if (!member.empty() && resolveObjectPath(objectPath, &o) && o && !m.hasProperty(o, member)) m.set(o, member, Value());
      } else if (Object* t = targetObject()) {
        if (!m.hasProperty(t, name)) m.set(t, name, Value());
      }
      break;
    }
    case 0x3A: {  // Delete
      String name = popString();
      Value object = pop();
      Object* o = object.object();
      push(Value(o ? m.remove(o, name) : false));
      break;
    }
    case 0x3B: {  // Delete2
      String name = popString();
      bool removed = false;
      if (isPath(name, a.swfVersion)) {
        String objectPath, member;
        splitVariablePath(name, &objectPath, &member);
        // Delete2 takes the member after the last separator of either kind.
        if (size_t dot = member.str().rfind('.'); dot != std::string::npos && dot > 0 && member.str()[dot - 1] != '.') {
          objectPath = String(objectPath.str() + ":" + member.str().substr(0, dot));
          member = String(member.str().substr(dot + 1));
        }
        Object* o = nullptr;
        if (!member.empty() && resolveObjectPath(objectPath, &o)) {
          removed = m.remove(o, member);
        } else if (!member.empty()) {
          // The reference player says so when the path leads to a primitive.
          String ownerPath, last;
          splitVariablePath(objectPath, &ownerPath, &last);
          Object* owner = nullptr;
          Value found = !last.empty() && resolveObjectPath(ownerPath, &owner) ? m.get(owner, last) : Value();
          if (found.isString() || found.isNumber() || found.isBoolean())
            m.environment().trace("Parameters of primitive types are no longer coerced into the required type - Object.");
        }
        push(Value(removed));
        break;
      }
      bool timelineSeen = false;
      for (Scope* s = a.scope; s; s = s->parent) {
        Object* o = scopeObject(s, &timelineSeen);
        if (o && m.hasOwnProperty(o, name)) {
          removed = m.remove(o, name);
          break;
        }
      }
      push(Value(removed));
      break;
    }
    case 0x4E: {  // GetMember
      Value nameValue = pop();
      Value object = pop();
      if (Object* o = object.object()) {
        // Straight to the elements unless a named property (a getter made
        // by addProperty) may stand over one.
        if (o->kind() == Object::Kind::Array && nameValue.isNumber() && o->properties().empty()) {
          push(m.arrayGet(o, nameValue.number()));
          break;
        }
      }
      push(m.getMember(object, m.toString(nameValue)));
      break;
    }
    case 0x4F: {  // SetMember
      Value v = pop();
      Value nameValue = pop();
      Value object = pop();
      m.setMember(object, m.toString(nameValue), v);
      break;
    }
    case 0x22:  // GetProperty
      getProperty();
      break;
    case 0x23:  // SetProperty
      setProperty();
      break;
    case 0x45: {  // TargetPath
      Value v = pop();
      if (v.object() && v.object()->kind() == Object::Kind::Clip) {
        push(Value(static_cast<ClipObject*>(v.object())->targetPath()));
      } else {
        push(textTargetPath(m, v));
      }
      break;
    }

    // ----- objects
    case 0x42: {  // InitArray
      double n = popNumber();
      // No more elements than the stack holds (the rest would all be undefined).
      size_t available = m.stack().size() - std::min(m.stack().size(), a.stackBase);
      size_t count = static_cast<size_t>(std::max(0.0, std::min(std::isnan(n) ? 0.0 : n, double(available))));
      std::vector<Value> values(count);
      for (size_t i = 0; i < count; ++i) values[i] = pop();
      push(Value(m.newArray(values)));
      break;
    }
    case 0x43: {  // InitObject
      double n = popNumber();
      size_t count = static_cast<size_t>(std::max(0.0, std::min(std::isnan(n) ? 0.0 : n, 1e6)));
      if (count * 2 > m.stack().size() - std::min(m.stack().size(), a.stackBase)) {
        // More pairs than the stack holds: no object at all.
        push(Value());
        break;
      }
      Object* o = m.newObject();
      std::vector<std::pair<String, Value>> pairs(count);
      for (size_t i = 0; i < count; ++i) {
        pairs[i].second = pop();
        pairs[i].first = popString();
      }
      // Made in the order popped: the last pair first.
      for (const auto& pair : pairs) m.set(o, pair.first, pair.second);
      push(Value(o));
      break;
    }
    case 0x40:  // NewObject
      newObject(false);
      break;
    case 0x53:  // NewMethod
      newObject(true);
      break;
    case 0x3D:  // CallFunction
      callFunctionNamed();
      break;
    case 0x52:  // CallMethod
      callMethod();
      break;
    case 0x3E:  // Return
      a.returnValue = pop();
      *flow = Flow::Return;
      return false;
    case 0x44:  // TypeOf
      push(Value(m.typeOf(pop())));
      break;
    case 0x46:  // Enumerate
      doEnumerate(false);
      break;
    case 0x55:  // Enumerate2
      doEnumerate(true);
      break;
    case 0x54: {  // InstanceOf
      Value ctor = pop();
      Value object = pop();
      push(Value(instanceOf(m, object, ctor)));
      break;
    }
    case 0x69: {  // Extends
      Value super = pop();
      Value sub = pop();
      Object* superClass = super.object();
      Object* subClass = sub.object();
      if (superClass && subClass) {
        Object* proto = m.heap().make<Object>(m.get(superClass, "prototype").object());
        proto->define("__proto__", Value(m.get(superClass, "prototype").object()), kDontEnum);
        proto->define("__constructor__", Value(superClass), kDontEnum);
        m.set(subClass, "prototype", Value(proto));
      }
      break;
    }
    case 0x2B: {  // CastOp
      Value object = pop();
      Value ctor = pop();
      // A primitive is made an object, which is never of the class.
      if (!object.isObject()) {
        if (!object.isNullish()) m.coerceToObject(object);
        push(Value::null());
        break;
      }
      push(instanceOf(m, object, ctor) ? object : Value::null());
      break;
    }
    case 0x2C: {  // ImplementsOp
      Value ctor = pop();
      double n = popNumber();
      size_t count = static_cast<size_t>(std::max(0.0, std::min(std::isnan(n) ? 0.0 : n, 65535.0)));
      std::vector<Value> interfaces(count);
      for (size_t i = 0; i < count; ++i) interfaces[i] = pop();
      if (Object* c = ctor.object()) {
        Object* proto = m.get(c, "prototype").object();
        if (proto) setInterfaces(m, proto, interfaces);
      }
      break;
    }
    case 0x2A:  // Throw
      throw ScriptThrow{pop()};
    case swf::kActionIf: {
      swf::BitReader r(data, length);
      int16_t offset = r.s16();
      if (m.toBoolean(pop()) && !r.failed()) {
        *jump = offset;
        *jumped = true;
      }
      break;
    }
    case swf::kActionJump: {
      swf::BitReader r(data, length);
      int16_t offset = r.s16();
      if (!r.failed()) {
        *jump = offset;
        *jumped = true;
      }
      break;
    }
    case 0x9B:  // DefineFunction
      defineFunction(data, length, false);
      break;
    case 0x8E:  // DefineFunction2
      defineFunction(data, length, true);
      break;
    case 0x94: {  // With
      swf::BitReader r(data, length);
      uint16_t blockSize = r.u16();
      if (!doWith(blockSize, flow)) return false;
      break;
    }
    case 0x8F:  // Try
      if (!doTry(data, length, flow)) return false;
      break;

    // ----- the world outside
    case 0x26: {  // Trace: a carriage return ends a line too
      std::string text = m.toTraceString(pop()).str();
      for (char& ch : text)
        if (ch == '\r') ch = '\n';
      m.environment().trace(text);
      break;
    }
    case 0x34:  // GetTime
      push(Value(std::floor(m.environment().elapsedMillis())));
      break;
    case 0x30: {  // RandomNumber
      double max = popNumber();
      int64_t n = std::isnan(max) || max < 1 ? 0 : static_cast<int64_t>(std::min(max, 2147483647.0));
      push(Value(n <= 0 ? 0.0 : std::floor(m.environment().random() * static_cast<double>(n))));
      break;
    }
    default:
      break;  // unknown actions are skipped by their length
  }
  return true;
}

// Runs `interpreter` over [start, end) with the machine's current activation set.
// The arguments array, made when a function first asks for it.
ArrayObject* makeArguments(Machine& m, Activation& a) {
  if (!a.arguments) {
    a.arguments = m.newArray(std::vector<Value>(a.args, a.args + a.argCount));
    a.arguments->define("callee", a.callee ? Value(a.callee) : Value(), kDontEnum);
    a.arguments->define("caller", a.caller ? Value(a.caller) : Value::null(), kDontEnum);
  }
  return a.arguments;
}

Flow runActivation(Machine& m, Activation& a, size_t start, size_t end) {
  a.parent = m.current();
  a.stackBase = m.stack().size();
  m.setCurrent(&a);
  int outerVersion = m.swfVersion();
  m.setActiveVersion(a.swfVersion);
  struct Restore {
    Machine& m;
    Activation& a;
    int version;
    ~Restore() {
      if (m.stack().size() > a.stackBase) m.stack().resize(a.stackBase);
      m.setCurrent(a.parent);
      m.setActiveVersion(version);
    }
  } restore{m, a, outerVersion};
  Interpreter in(m, a);
  return in.run(start, end);
}

}  // namespace

player::SpriteInstance* Activation::targetSprite() const {
  // A target not found means the root, unless the script's own clip is gone.
  if (targetMissing && (!baseClip->sprite() || baseClip->sprite()->removed())) return nullptr;
  Object* t = target ? target : baseClip;
  if (!t || t->kind() != Object::Kind::Clip) return nullptr;
  return static_cast<ClipObject*>(t)->sprite();
}

void Activation::trace(Heap& heap) {
  heap.mark(scope);
  heap.mark(thisValue);
  heap.mark(baseClip);
  heap.mark(target);
  for (const Value& v : registers) heap.mark(v);
  heap.mark(callee);
  heap.mark(superObject);
  heap.mark(arguments);
  for (size_t i = 0; i < argCount; ++i) heap.mark(args[i]);
  heap.mark(caller);
  heap.mark(locals);
  heap.mark(returnValue);
}

void runTopLevel(Machine& m, const std::shared_ptr<const Code>& code, ClipObject* base) {
  Activation a;
  a.code = code;
  a.baseClip = base;
  a.thisValue = Value(base);
  a.swfVersion = code->swfVersion;
  a.registers.resize(kGlobalRegisters);
  a.haltWhenRemoved = base->sprite() && !base->sprite()->removed();
  Scope* global = m.heap().make<Scope>(Scope::Kind::Global, m.global(), nullptr);
  a.scope = m.heap().make<Scope>(Scope::Kind::Timeline, base, global);
  runActivation(m, a, 0, code->bytes.size());
}

Value runFunction(Machine& m, FunctionObject* function, Call& call) {
  const ScriptFunction& f = *function->script;
  Activation a;
  a.code = f.code;
  a.constants = f.constants;
  // Functions came with SWF 5 and follow its rules even in older movies.
  a.swfVersion = std::max(5, f.code->swfVersion);
  a.baseClip = static_cast<ClipObject*>(f.baseClip);
  if (a.baseClip && m.root() && (!a.baseClip->sprite() || a.baseClip->sprite()->removed())) {
    // The clip the function was made on is gone: it runs on a clip now at
    // its path, else on `this` when that is a clip on the stage, else on
    // the root.
    auto onStage = [](Object* o) {
      player::SpriteInstance* clip = o && o->kind() == Object::Kind::Clip ? static_cast<ClipObject*>(o)->sprite() : nullptr;
      return clip && !clip->removed();
    };
    const String path = a.baseClip->lastPath();
    a.baseClip = m.clipObject(m.root());
    Object* again = path.empty() ? nullptr : resolveTargetPath(m, a, a.baseClip, path).object();
    Object* self = call.thisValue.object();
    if (onStage(again)) a.baseClip = static_cast<ClipObject*>(again);
    else if (onStage(self)) a.baseClip = static_cast<ClipObject*>(self);
  }
  a.haltWhenRemoved = a.baseClip && a.baseClip->sprite() && !a.baseClip->sprite()->removed();
  a.callee = function;
  a.superObject = call.superObject;
  a.thisValue = call.thisValue;
  a.constructing = call.constructing;
  a.constructorChain = call.constructorChain;
  a.locals = m.heap().make<Object>(nullptr);
  a.scope = m.heap().make<Scope>(Scope::Kind::Local, a.locals, f.scope);
  a.args = call.args;
  a.argCount = call.count;
  a.caller = m.current() ? m.current()->callee : nullptr;
  if (f.isFunction2) {
    a.registers.resize(f.registerCount);
    // What is preloaded into a register is not a variable as well.
    a.suppressThis = f.flags & (kSuppressThis | kPreloadThis);
    a.suppressArguments = f.flags & (kSuppressArguments | kPreloadArguments);
    a.suppressSuper = f.flags & (kSuppressSuper | kPreloadSuper);
    size_t reg = 1;
    auto preload = [&](const Value& v) {
      if (reg < a.registers.size()) a.registers[reg] = v;
      ++reg;
    };
    if (f.flags & kPreloadThis) preload(call.thisValue);
    if (f.flags & kPreloadArguments) preload(Value(makeArguments(m, a)));
    if (f.flags & kPreloadSuper) preload(a.superObject ? Value(makeSuperObject(m, a.superObject, a.thisValue, a.constructorChain)) : Value());
    if (f.flags & kPreloadRoot) preload(rootValue(m, a));
    if (f.flags & kPreloadParent) {
      // No parent takes no register.
      Value parent = parentValue(m, a);
      if (!parent.isUndefined()) preload(parent);
    }
    if (f.flags & kPreloadGlobal) preload(Value(m.global()));
    for (size_t i = 0; i < f.params.size(); ++i) {
      Value v = call.arg(i);
      uint8_t r = f.params[i].first;
      if (r != 0) {
        if (r < a.registers.size()) a.registers[r] = v;
      } else {
        a.locals->define(f.params[i].second, v);
      }
    }
  } else {
    a.registers.resize(kGlobalRegisters);
    for (size_t i = 0; i < f.params.size(); ++i) a.locals->define(f.params[i].second, call.arg(i));
  }
  Flow flow = runActivation(m, a, f.start, f.start + f.length);
  (void)flow;
  return a.returnValue;
}

}  // namespace avm1
