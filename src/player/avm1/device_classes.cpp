// Classes for the keyboard focus inside the movie (Selection), and for
// things a desktop movie player has none of, or does not hand to movies:
// its own context menu, cameras, microphones, video streams, printing and
// screen readers. They exist so that movies written for a browser find what
// they look for, and they answer as a player without the device does.
#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/core/sprite.h"
#include "player/core/text_field.h"
#include "player/core/text_focus.h"

namespace avm1 {

namespace {

// ------------------------------------------------------------ Selection

// The focused input field, if any.
bool focused(Machine& m, player::FieldPlace* out) { return m.display() && player::focusedField(*m.display(), out); }

Value getFocus(Machine& m, Call&) {
  player::FieldPlace f;
  if (!focused(m, &f)) return Value::null();
  return textTargetPath(m, textObject(m, *f.parent, *f.object));
}

// setFocus(field or its path, or null): the field's whole text is selected.
Value setFocus(Machine& m, Call& c) {
  Value target = c.arg(0);
  if (target.isNullish()) {
    moveTextFocus(m, nullptr, nullptr);
    return Value(true);
  }
  if (target.isString() && m.root()) {
    Value found;
    if (!getVariableByPath(m, *m.root(), m.toString(target).str(), &found)) return Value(false);
    target = found;
  }
  player::SpriteInstance* parent;
  player::DisplayObject* object;
  if (!textFieldPlace(target, &parent, &object) || !object->textField->takesTyping()) return Value(false);
  moveTextFocus(m, parent, object);
  object->textField->setSelection(0, 1 << 30);
  return Value(true);
}

Value selectionIndex(Machine& m, Call& c) {
  player::FieldPlace f;
  if (!focused(m, &f)) return Value(-1.0);
  const player::TextField& field = *f.object->textField;
  int which = c.callee->magic;
  return Value(static_cast<double>(which == 0   ? field.selectionBegin()
                                   : which == 1 ? field.selectionEnd()
                                                : field.caretIndex()));
}

Value setSelection(Machine& m, Call& c) {
  player::FieldPlace f;
  if (!focused(m, &f)) return Value();
  double begin = m.toNumber(c.arg(0)), end = m.toNumber(c.arg(1));
  auto index = [](double v) { return std::isfinite(v) ? static_cast<int>(std::max(-1.0, std::min(v, 1e9))) : 0; };
  f.object->textField->setSelection(index(begin), index(end));
  return Value();
}

void installSelection(Machine& m) {
  Object* selection = m.newObject();
  m.global()->define("Selection", Value(selection), kDontEnum);
  m.method(selection, "getBeginIndex", selectionIndex, 0, kDontEnum | kReadOnly);
  m.method(selection, "getEndIndex", selectionIndex, 1, kDontEnum | kReadOnly);
  m.method(selection, "getCaretIndex", selectionIndex, 2, kDontEnum | kReadOnly);
  m.method(selection, "getFocus", getFocus, 0, kDontEnum | kReadOnly);
  m.method(selection, "setFocus", setFocus, 0, kDontEnum | kReadOnly);
  m.method(selection, "setSelection", setSelection, 0, kDontEnum | kReadOnly);
  makeBroadcaster(m, selection);
  // Like the rest of Selection, its listener methods cannot be replaced.
  for (const char* name : {"broadcastMessage", "addListener", "removeListener", "_listeners"})
    if (Property* p = selection->findOwn(name, true)) p->flags |= kReadOnly;
}

// ------------------------------------------------------------ ContextMenu

// The host shows its own menu, so a movie's menu is kept as data only.
Value contextMenuConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  if (c.count > 0) m.set(self, "onSelect", c.arg(0));
  Object* builtIns = m.newObject();
  for (const char* item : {"print", "forward_back", "rewind", "loop", "play", "quality", "zoom", "save"})
    m.set(builtIns, item, Value(true));
  m.set(self, "builtInItems", Value(builtIns));
  m.set(self, "customItems", Value(m.newArray()));
  return Value();
}

Value hideBuiltInItems(Machine& m, Call& c) {
  Object* builtIns = m.toObject(m.getMember(c.thisValue, "builtInItems"));
  if (!builtIns) return Value();
  for (const String& name : m.enumerate(builtIns)) m.set(builtIns, name, Value(false));
  return Value();
}

// A new object of the same class with the same own values; item lists and
// the built-in switches are copied one level deep.
Value copyWithFields(Machine& m, Call& c, const char* className) {
  Value copy = m.construct(m.get(m.global(), className), nullptr, 0);
  Object* from = c.thisValue.object();
  Object* to = copy.object();
  if (!from || !to) return copy;
  for (const String& name : m.enumerate(from)) {
    if (!m.hasOwnProperty(from, name)) continue;
    Value v = m.get(from, name);
    if (name.str() == "customItems") {
      ArrayObject* items = m.newArray();
      Object* list = v.object();
      double n = list ? m.arrayLength(list) : 0;
      for (double i = 0; i < n; ++i) {
        Value item = m.arrayGet(list, i);
        Value itemCopy = item.object() ? m.callMethod(item, "copy", nullptr, 0) : item;
        m.arraySet(items, i, itemCopy.isUndefined() ? item : itemCopy);
      }
      v = Value(items);
    } else if (name.str() == "builtInItems" && v.object()) {
      Object* switches = m.newObject();
      for (const String& key : m.enumerate(v.object())) m.set(switches, key, m.get(v.object(), key));
      v = Value(switches);
    }
    m.set(to, name, v);
  }
  return copy;
}

Value copyContextMenu(Machine& m, Call& c) { return copyWithFields(m, c, "ContextMenu"); }

Value contextMenuItemConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self) return Value();
  m.set(self, "caption", c.arg(0));
  m.set(self, "onSelect", c.arg(1));
  m.set(self, "separatorBefore", Value(c.count > 2 && m.toBoolean(c.arg(2))));
  m.set(self, "enabled", Value(c.count <= 3 || m.toBoolean(c.arg(3))));
  m.set(self, "visible", Value(c.count <= 4 || m.toBoolean(c.arg(4))));
  return Value();
}

Value copyContextMenuItem(Machine& m, Call& c) { return copyWithFields(m, c, "ContextMenuItem"); }

void installContextMenu(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "ContextMenu", contextMenuConstructor, proto, kDontEnum | kVersion6);
  m.method(proto, "copy", copyContextMenu);
  m.method(proto, "hideBuiltInItems", hideBuiltInItems);

  Object* itemProto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "ContextMenuItem", contextMenuItemConstructor, itemProto, kDontEnum | kVersion6);
  m.method(itemProto, "copy", copyContextMenuItem);
}

// ------------------------------------------------------------ devices

// Camera.get() and Microphone.get() find no device: null, and no names.
void installCaptureDevice(Machine& m, const char* name, const std::vector<const char*>& methods) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  FunctionObject* cls = m.defineClass(m.global(), name, returnNothing, proto, kDontEnum | kVersion6);
  m.method(cls, "get", returnNull, 0, 0);
  cls->define("names", Value(m.newArray()), kReadOnly);
  for (const char* method : methods) m.method(proto, method, returnNothing);
}

// A video object shows what a stream gives it; no stream gives anything here.
// Videos placed by the timeline are objects of their own all the same.
class VideoObject : public NativeObject {
 public:
  VideoObject(Object* proto, player::SpriteInstance& parent, const std::shared_ptr<player::VideoDisplay>& video)
      : NativeObject(proto, kVideoTag), parent(parent.weak_from_this()), video(video) {}
  ~VideoObject() override {
    if (auto v = video.lock())
      if (v->scriptObject == this) v->scriptObject = nullptr;
  }
  std::weak_ptr<player::SpriteInstance> parent;
  std::weak_ptr<player::VideoDisplay> video;
};

// The placed video a call is about and the clip it is in; false once it is gone.
bool placedVideo(const Value& v, player::SpriteInstance** parent, player::DisplayObject** object) {
  Object* o = v.object();
  if (!o || o->kind() != Object::Kind::Native || static_cast<NativeObject*>(o)->tag != kVideoTag) return false;
  auto* video = static_cast<VideoObject*>(o);
  auto clip = video->parent.lock();
  auto display = video->video.lock();
  if (!clip || !display || clip->removed()) return false;
  for (auto& entry : clip->children()) {
    if (entry.second.video != display) continue;
    *parent = clip.get();
    *object = &entry.second;
    return true;
  }
  return false;
}

Value getVideoProperty(Machine&, Call& c) {
  player::SpriteInstance* parent;
  player::DisplayObject* o;
  Value out;
  if (!placedVideo(c.thisValue, &parent, &o) || !getDisplayProperty(nullptr, *o, c.callee->magic, &out)) return Value();
  return out;
}

Value setVideoProperty(Machine& m, Call& c) {
  player::SpriteInstance* parent;
  player::DisplayObject* o;
  if (placedVideo(c.thisValue, &parent, &o)) setDisplayProperty(m, nullptr, *o, c.callee->magic, c.arg(0));
  return Value();
}

// Its path, as clips give theirs.
Value videoToString(Machine& m, Call& c) {
  player::SpriteInstance* parent;
  player::DisplayObject* o;
  if (!placedVideo(c.thisValue, &parent, &o)) return Value();
  return Value(String(m.toString(Value(m.clipObject(parent))).str() + "." + o->name));
}

void installVideo(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.protos().video = proto;
  m.defineClass(m.global(), "Video", returnNothing, proto, kDontEnum | kVersion6);
  m.method(proto, "attachVideo", returnNothing);
  m.method(proto, "clear", returnNothing);
  m.method(proto, "toString", videoToString, 0, kDontEnum);
  static const char* const kDisplayNames[] = {"_x",     "_y",      "_xscale",  "_yscale", "", "", "_alpha",
                                              "_visible", "_width", "_height", "_rotation", "", "", "_name"};
  for (int i : {0, 1, 2, 3, 6, 7, 8, 9, 10, 13})
    proto->defineVirtual(kDisplayNames[i], m.newNative(getVideoProperty, i), m.newNative(setVideoProperty, i),
                         kDontEnum);
}

// There is no printer to hand pages to: a job never starts.
void installPrintJob(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "PrintJob", returnNothing, proto, kDontEnum | kVersion6);
  m.method(proto, "start", returnFalse);
  m.method(proto, "addPage", returnFalse);
  m.method(proto, "send", returnNothing);
}

// No screen reader is told about the movie.
void installAccessibility(Machine& m) {
  Object* accessibility = m.newObject();
  m.global()->define("Accessibility", Value(accessibility), kDontEnum);
  m.method(accessibility, "isActive", returnFalse, 0, kReadOnly);
  m.method(accessibility, "sendEvent", returnNothing, 0, kReadOnly);
  m.method(accessibility, "updateProperties", returnNothing, 0, kReadOnly);
}

}  // namespace

Value videoObject(Machine& m, player::SpriteInstance& parent, player::DisplayObject& o) {
  if (!o.video) return Value();
  if (!o.video->scriptObject) o.video->scriptObject = m.heap().make<VideoObject>(m.protos().video, parent, o.video);
  return Value(o.video->scriptObject);
}

void markVideoObjects(Machine& m, player::SpriteInstance& sprite) {
  for (auto& entry : sprite.children())
    if (entry.second.video) m.heap().mark(entry.second.video->scriptObject);
}

void installDeviceClasses(Machine& m) {
  installSelection(m);
  installContextMenu(m);
  installCaptureDevice(m, "Camera", {"setMode", "setQuality", "setKeyFrameInterval", "setMotionLevel",
                                     "setLoopback", "setCursor"});
  installCaptureDevice(m, "Microphone", {"setSilenceLevel", "setRate", "setGain", "setUseEchoSuppression",
                                         "setCodec", "setFramesPerPacket", "setEncodeQuality"});
  installVideo(m);
  installPrintJob(m);
  installAccessibility(m);
}

}  // namespace avm1
