// Key, Mouse and Stage: what scripts learn of the keyboard, the pointer and
// the player's stage.
#include <cmath>

#include "player/avm1/builtins.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

Value isDown(Machine& m, Call& c) {
  double code = m.toNumber(c.arg(0));
  if (!(code >= 0 && code < 256)) return Value(false);
  return Value(m.input().keys[static_cast<int>(code)]);
}

Value getCode(Machine& m, Call&) { return Value(static_cast<double>(m.input().lastKey)); }
Value getAscii(Machine& m, Call&) { return Value(static_cast<double>(m.input().lastChar)); }
Value isToggled(Machine&, Call&) { return Value(false); }

Value showMouse(Machine& m, Call&) {
  bool wasHidden = m.input().mouseHidden;
  m.input().mouseHidden = false;
  return Value(wasHidden ? 0.0 : 1.0);
}

Value hideMouse(Machine& m, Call&) {
  bool wasHidden = m.input().mouseHidden;
  m.input().mouseHidden = true;
  return Value(wasHidden ? 0.0 : 1.0);
}

Value stageWidth(Machine& m, Call&) {
  if (!m.display()) return Value();
  const swf::Rect& r = m.display()->movie->header.frameSize;
  return Value(static_cast<double>(std::lround((r.xMax - r.xMin) / 20.0)));
}

Value stageHeight(Machine& m, Call&) {
  if (!m.display()) return Value();
  const swf::Rect& r = m.display()->movie->header.frameSize;
  return Value(static_cast<double>(std::lround((r.yMax - r.yMin) / 20.0)));
}

void broadcast(Machine& m, const char* objectName, const char* event) {
  m.runOutside([&] {
    Value target = m.get(m.global(), objectName);
    Object* o = target.object();
    if (!o) return;
    // With no listeners nothing runs, and the input changed nothing.
    Object* listeners = m.get(o, "_listeners").object();
    if (listeners && !(m.toNumber(m.get(listeners, "length")) > 0)) return;
    Value fn = m.get(o, "broadcastMessage");
    m.callFromOutside(fn, target, {Value(event)});
  });
}

}  // namespace

void makeBroadcaster(Machine& m, Object* o) {
  Value initialize = m.get(m.get(m.global(), "AsBroadcaster").object(), "initialize");
  Value arg(o);
  m.call(initialize, Value(), &arg, 1);
}


uint8_t InputState::lastKeyPressCode() const {
  // keyPress events name keys by the character, or by their own small codes.
  switch (lastKey) {
    case 37: return 1;   // left
    case 39: return 2;   // right
    case 36: return 3;   // home
    case 35: return 4;   // end
    case 45: return 5;   // insert
    case 46: return 6;   // delete
    case 8: return 8;    // backspace
    case 13: return 13;  // enter
    case 38: return 14;  // up
    case 40: return 15;  // down
    case 33: return 16;  // page up
    case 34: return 17;  // page down
    case 9: return 18;   // tab
    case 27: return 19;  // escape
    default: return static_cast<uint8_t>(lastChar);
  }
}

void broadcastMouse(Machine& m, const char* event) { broadcast(m, "Mouse", event); }

void broadcastKey(Machine& m, bool down) { broadcast(m, "Key", down ? "onKeyDown" : "onKeyUp"); }

void installInput(Machine& m) {
  Object* g = m.global();
  Object* key = m.newObject();
  g->define("Key", Value(key), kDontEnum);
  makeBroadcaster(m, key);
  m.method(key, "isDown", isDown);
  m.method(key, "getCode", getCode);
  m.method(key, "getAscii", getAscii);
  m.method(key, "isToggled", isToggled);
  struct Code {
    const char* name;
    double code;
  };
  const Code codes[] = {{"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40},
                        {"END", 35},      {"ENTER", 13},    {"ESCAPE", 27},  {"HOME", 36},      {"INSERT", 45},
                        {"LEFT", 37},     {"PGDN", 34},     {"PGUP", 33},    {"RIGHT", 39},     {"SHIFT", 16},
                        {"SPACE", 32},    {"TAB", 9},       {"UP", 38},      {"ALT", 18}};
  for (const Code& k : codes) key->define(k.name, Value(k.code), kDontEnum | kDontDelete | kReadOnly);

  Object* mouse = m.newObject();
  g->define("Mouse", Value(mouse), kDontEnum);
  makeBroadcaster(m, mouse);
  m.method(mouse, "show", showMouse);
  m.method(mouse, "hide", hideMouse);

  Object* stage = m.newObject();
  g->define("Stage", Value(stage), kDontEnum);
  makeBroadcaster(m, stage);
  stage->defineVirtual("width", m.newNative(stageWidth), nullptr, kDontEnum | kDontDelete);
  stage->defineVirtual("height", m.newNative(stageHeight), nullptr, kDontEnum | kDontDelete);
  stage->define("scaleMode", Value("showAll"), kDontEnum);
  stage->define("align", Value(""), kDontEnum);
  stage->define("showMenu", Value(true), kDontEnum);
}

}  // namespace avm1
