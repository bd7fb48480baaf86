#include "player/avm1/clip_object.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "player/avm1/builtins.h"
#include "player/avm1/interpreter.h"
#include "player/core/bounds.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Scripts number depths from -16384 where the file numbers them from 0.
constexpr int kDepthOffset = 16384;
// The deepest a copied clip may go (file numbering).
constexpr int kMaxCloneDepth = 2130706428;

const char* const kPropertyNames[] = {
    "_x",        "_y",           "_xscale",  "_yscale",   "_currentframe", "_totalframes", "_alpha",
    "_visible",  "_width",       "_height",  "_rotation", "_target",       "_framesloaded", "_name",
    "_droptarget", "_url",       "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse",
    "_ymouse",
};
constexpr int kPropertyCount = sizeof kPropertyNames / sizeof kPropertyNames[0];

String pathOf(const player::SpriteInstance* sprite, bool slashes) {
  std::vector<const std::string*> names;
  const player::SpriteInstance* s = sprite;
  while (s && s->parent()) {
    names.push_back(&s->name());
    s = s->parent();
  }
  std::string out = slashes ? "" : "_level0";
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    out += slashes ? "/" : ".";
    out += **it;
  }
  if (slashes && out.empty()) out = "/";
  return String(out);
}

// _root for code on `s`: the root, or the nearest clip with _lockroot set.
player::SpriteInstance* rootOf(player::SpriteInstance* s) {
  while (s && s->parent() && !s->lockRoot()) s = s->parent();
  return s;
}

// Scale and rotation as scripts see them, taken from the matrix the first time.
void ensureScriptTransform(player::DisplayObject& o) {
  if (o.hasScriptTransform) return;
  const swf::Matrix& m = o.matrix;
  o.scaleX = std::sqrt(m.a * m.a + m.b * m.b);
  o.scaleY = std::sqrt(m.c * m.c + m.d * m.d);
  if (m.a * m.d - m.b * m.c < 0) o.scaleY = -o.scaleY;
  o.rotation = std::atan2(m.b, m.a) * 180 / kPi;
  o.hasScriptTransform = true;
}

void applyScriptTransform(player::DisplayObject& o) {
  double r = o.rotation * kPi / 180;
  double c = std::cos(r), s = std::sin(r);
  o.matrix.a = o.scaleX * c;
  o.matrix.b = o.scaleX * s;
  o.matrix.c = -o.scaleY * s;
  o.matrix.d = o.scaleY * c;
  o.transformedByScript = true;
}

// A clip's contents, or another object's, in its parent's coordinates.
void boundsInParent(const player::SpriteInstance* sprite, const player::DisplayObject& o, double* box) {
  player::clearBox(box);
  if (sprite) {
    player::addSpriteBounds(*sprite, o.matrix, box);
  } else {
    player::addObjectBounds(o, o.matrix, box);
  }
  if (player::boxIsEmpty(box)) box[0] = box[1] = box[2] = box[3] = 0;
}

// Degrees into -180..180 as the reference player keeps them.
double normalizeDegrees(double d) {
  d = std::fmod(d, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return d;
}

// Twips as the reference player stores positions.
double toTwips(double pixels) { return std::round(pixels * 20); }

}  // namespace

int propertyIndex(const String& name) {
  const std::string& n = name.str();
  if (n.size() < 2 || n[0] != '_') return -1;
  for (int i = 0; i < kPropertyCount; ++i)
    if (strcasecmpEqual(n, kPropertyNames[i])) return i;
  return -1;
}

// ------------------------------------------------------------ ClipObject

ClipObject::ClipObject(Object* proto, player::SpriteInstance* sprite) : Object(proto, Kind::Clip), sprite_(sprite) {}

ClipObject::~ClipObject() {
  if (sprite_) sprite_->setScriptObject(nullptr);
}

void ClipObject::detach() {
  if (sprite_ && !sprite_->removed()) lastPath_ = pathOf(sprite_, false);
  sprite_ = nullptr;
}

void ClipObject::rememberPath() {
  if (sprite_) lastPath_ = pathOf(sprite_, false);
}

String ClipObject::targetPath() const {
  if (sprite_ && !sprite_->removed()) return pathOf(sprite_, false);
  return String();
}

void ClipObject::trace(Heap& heap) { Object::trace(heap); }

// ------------------------------------------------------------ paths

bool isPath(const String& name, int swfVersion) {
  const std::string& s = name.str();
  for (char c : s) {
    if (c == ':' || c == '/') return true;
    if (c == '.' && swfVersion >= 5) return true;
  }
  return false;
}

void splitVariablePath(const String& path, String* objectPath, String* member) {
  const std::string& s = path.str();
  size_t cut = s.rfind(':');
  if (cut == std::string::npos) {
    cut = s.rfind('.');
    // ".." belongs to the path.
    if (cut != std::string::npos && cut > 0 && s[cut - 1] == '.') cut = std::string::npos;
  }
  if (cut == std::string::npos) {
    *objectPath = path;
    *member = String();
    return;
  }
  *objectPath = String(s.substr(0, cut));
  *member = String(s.substr(cut + 1));
}

int levelNumber(const String& name) {
  const std::string& s = name.str();
  if (s.size() < 7 || !strcasecmpEqual(s.substr(0, 6), "_level")) return -1;
  int n = 0;
  for (size_t i = 6; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9' || n > 100000) return -1;
    n = n * 10 + (s[i] - '0');
  }
  return n;
}

Value levelValue(Machine& m, int level) {
  if (level != 0 || !m.root()) return Value();
  return Value(m.clipObject(m.root()));
}

Value rootValue(Machine& m, Activation& a) {
  player::SpriteInstance* s = a.targetSprite();
  if (!s) s = m.root();
  return Value(m.clipObject(rootOf(s)));
}

Value parentValue(Machine& m, Activation& a) {
  player::SpriteInstance* s = a.targetSprite();
  if (!s || !s->parent()) return Value();
  return Value(m.clipObject(s->parent()));
}

player::SpriteInstance* spriteOf(const Value& v) {
  Object* o = v.object();
  if (!o || o->kind() != Object::Kind::Clip) return nullptr;
  player::SpriteInstance* s = static_cast<ClipObject*>(o)->sprite();
  return s && !s->removed() ? s : nullptr;
}

Value resolveTargetPath(Machine& m, Activation& a, Object* start, const String& path) {
  const std::string& p = path.str();
  Object* current = start;
  size_t i = 0;
  if (p.empty()) return Value(start);
  // After a slash, dots are part of names.
  bool slashSeen = p[0] == '/';
  if (p[0] == '/') {
    player::SpriteInstance* s = spriteOf(Value(start));
    current = m.clipObject(rootOf(s ? s : m.root()));
    i = 1;
  }
  while (i < p.size() && current) {
    if (p.compare(i, 2, "..") == 0 && (i + 2 == p.size() || p[i + 2] == '/')) {
      player::SpriteInstance* s = spriteOf(Value(current));
      current = s && s->parent() ? m.clipObject(s->parent()) : nullptr;
      i += 2;
    } else {
      size_t end = p.find_first_of(slashSeen ? "/:" : "/.:", i);
      if (end == std::string::npos) end = p.size();
      String token(p.substr(i, end - i));
      i = end;
      if (token.empty()) {
        // A trailing slash changes nothing; an empty step inside ("a//b") leads nowhere.
        if (i < p.size()) return Value();
      } else if (strcasecmpEqual(token.str(), "this")) {
        // stays
      } else if (strcasecmpEqual(token.str(), "_global") && m.swfVersion() >= 6) {
        current = m.global();
      } else if (levelNumber(token) >= 0) {
        current = levelValue(m, levelNumber(token)).object();
      } else if (strcasecmpEqual(token.str(), "_root")) {
        player::SpriteInstance* s = spriteOf(Value(current));
        current = m.clipObject(rootOf(s ? s : m.root()));
      } else {
        current = m.get(current, token).object();
      }
    }
    if (i < p.size()) {
      if (p[i] == '/') slashSeen = true;
      ++i;  // the separator
    }
  }
  (void)a;
  return current ? Value(current) : Value();
}

// ------------------------------------------------------------ timelines

int frameIndex(Machine& m, player::SpriteInstance& sprite, const Value& frame) {
  double n;
  if (frame.isNumber() || frame.isBoolean()) {
    n = m.toNumber(frame);
    // A fraction names no frame.
    if (n != std::floor(n)) return -1;
  } else {
    String s = m.toString(frame);
    n = m.stringToNumber(s);
    if (std::isnan(n)) return sprite.timeline().findLabel(s.str());
  }
  // Frame numbers wrap as 32-bit integers do.
  int32_t whole = m.toInt32(Value(n));
  if (std::isnan(n) || whole < 1) return -1;
  return whole - 1;
}

void runFrameActions(Machine& m, player::SpriteInstance& sprite, int frame) {
  if (frame < 0 || frame >= sprite.frameCount()) return;
  ClipObject* o = m.clipObject(&sprite);
  for (const auto& code : sprite.timeline().frames[frame].actions) runTopLevel(m, code, o);
}

void duplicateClip(Machine& m, Activation& a, const String& source, const String& name, double depth) {
  Object* o = resolveTargetPath(m, a, a.target ? a.target : a.baseClip, source).object();
  player::SpriteInstance* s = spriteOf(Value(o));
  if (!s || !s->parent() || std::isnan(depth)) return;
  // The action names the depth as the file numbers it.
  duplicateSprite(m, *s, name.str(), static_cast<int>(m.toInt32(Value(depth))), nullptr);
}

player::SpriteInstance* duplicateSprite(Machine& m, player::SpriteInstance& s, const std::string& name, int depth,
                                        Object* init) {
  player::SpriteInstance* parent = s.parent();
  player::DisplayObject* from = s.displayObject();
  if (!parent || !from || depth < 0 || depth > kMaxCloneDepth) return nullptr;
  player::DisplayObject copy;
  copy.matrix = from->matrix;
  copy.colorTransform = from->colorTransform;
  copy.visible = from->visible;
  copy.filters = from->filters;
  copy.blendMode = from->blendMode;
  copy.clipDepth = from->clipDepth;
  uint16_t id = from->characterId;
  const player::TimelineDef* timeline = &s.timeline();
  auto actions = s.clipActions();
  bool hasDrawing = s.drawing() != nullptr;
  player::Drawing drawingCopy;
  if (hasDrawing) drawingCopy = *s.drawing();
  player::SpriteInstance* clip = parent->createChild(depth, id, timeline, name);
  if (!clip) return nullptr;
  player::DisplayObject* o = clip->displayObject();
  o->matrix = copy.matrix;
  o->colorTransform = copy.colorTransform;
  o->visible = copy.visible;
  o->filters = copy.filters;
  o->blendMode = copy.blendMode;
  o->clipDepth = copy.clipDepth;
  if (actions) clip->setClipActions(std::make_shared<std::vector<player::ClipAction>>(*actions));
  if (hasDrawing) clip->drawingForScript() = drawingCopy;
  initializeClip(m, *clip, init);
  return clip;
}

void removeClip(Machine& m, Object* clip) {
  (void)m;
  player::SpriteInstance* s = spriteOf(Value(clip));
  if (!s || !s->parent()) return;
  int depth = s->depth();
  // Only clips at the depths scripts use can be removed by scripts.
  if (depth < kDepthOffset || depth >= kDepthOffset + 2130690045) return;
  s->parent()->removeChild(depth);
}

bool hasUnloadHandler(Machine& m, player::SpriteInstance& clip) {
  if (const std::vector<player::ClipAction>* actions = clip.clipActions())
    for (const player::ClipAction& a : *actions)
      if (a.events & player::kEventUnload) return true;
  if (m.swfVersion() < 6 || !clip.scriptObject()) return false;
  return m.hasProperty(clip.scriptObject(), String("onUnload"));
}

void startDrag(Machine& m, Object* clip, bool lockCenter, const double* box) {
  InputState& in = m.input();
  in.dragged = clip;
  in.dragConstrained = box != nullptr;
  if (box)
    for (int i = 0; i < 4; ++i) in.dragBox[i] = box[i];
  player::SpriteInstance* s = spriteOf(Value(clip));
  in.dragOffsetX = in.dragOffsetY = 0;
  if (s && !lockCenter) {
    player::DisplayObject* o = s->displayObject();
    swf::Matrix parent = s->parent() ? s->parent()->worldMatrix() : swf::Matrix();
    swf::Matrix inverse;
    if (o && parent.invert(&inverse)) {
      double mx = inverse.mapX(in.mouseX * 20, in.mouseY * 20), my = inverse.mapY(in.mouseX * 20, in.mouseY * 20);
      in.dragOffsetX = o->matrix.tx - mx;
      in.dragOffsetY = o->matrix.ty - my;
    }
  }
  dragTo(m);
}

bool dragTo(Machine& m) {
  InputState& in = m.input();
  player::SpriteInstance* s = spriteOf(Value(in.dragged));
  if (!s) return false;
  player::DisplayObject* o = s->displayObject();
  swf::Matrix parent = s->parent() ? s->parent()->worldMatrix() : swf::Matrix();
  swf::Matrix inverse;
  if (!o || !parent.invert(&inverse)) return false;
  double x = inverse.mapX(in.mouseX * 20, in.mouseY * 20) + in.dragOffsetX;
  double y = inverse.mapY(in.mouseX * 20, in.mouseY * 20) + in.dragOffsetY;
  if (in.dragConstrained) {
    x = std::max(std::min(in.dragBox[0], in.dragBox[2]) * 20, std::min(x, std::max(in.dragBox[0], in.dragBox[2]) * 20));
    y = std::max(std::min(in.dragBox[1], in.dragBox[3]) * 20, std::min(y, std::max(in.dragBox[1], in.dragBox[3]) * 20));
  }
  // Whole twips, as positions are kept.
  o->matrix.tx = std::round(x);
  o->matrix.ty = std::round(y);
  o->transformedByScript = true;
  return true;
}

void getUrl(Machine& m, Activation& a, const String& url, const String& window, int flags) {
  // A desktop movie opens no browser windows and loads nothing: only the
  // forms that stay inside the player are answered.
  (void)flags;
  const std::string& u = url.str();
  if (u.compare(0, 10, "FSCommand:") == 0) return;
  player::SpriteInstance* target = nullptr;
  int level = levelNumber(window);
  if (level == 0) target = m.root();
  if (!target && !window.empty()) target = spriteOf(resolveTargetPath(m, a, a.target ? a.target : a.baseClip, window));
  // Loading into a clip: unloading it is all that can be done without the file.
  if (target && u.empty() && target->parent()) target->parent()->removeChild(target->depth());
}

// ------------------------------------------------------------ properties

bool isClipProperty(const String& name) { return propertyIndex(name) >= 0; }

bool getDisplayProperty(const player::SpriteInstance* sprite, player::DisplayObject& o, int index, Value* out) {
  switch (index) {
    case 0: *out = Value(o.matrix.tx / 20); return true;
    case 1: *out = Value(o.matrix.ty / 20); return true;
    case 2: ensureScriptTransform(o); *out = Value(o.scaleX * 100); return true;
    case 3: ensureScriptTransform(o); *out = Value(o.scaleY * 100); return true;
    case 6: *out = Value(o.colorTransform.aMul * 100); return true;
    case 7: *out = Value(o.visible); return true;
    case 8:
    case 9: {
      double box[4];
      boundsInParent(sprite, o, box);
      *out = Value(index == 8 ? (box[2] - box[0]) / 20 : (box[3] - box[1]) / 20);
      return true;
    }
    case 10: ensureScriptTransform(o); *out = Value(o.rotation); return true;
    case 13: *out = Value(String(o.name)); return true;
    default: return false;
  }
}

bool getClipProperty(Machine& m, player::SpriteInstance& sprite, const String& name, Value* out) {
  int index = propertyIndex(name);
  if (index < 0) {
    if (strcasecmpEqual(name.str(), "_parent")) {
      *out = sprite.parent() ? Value(m.clipObject(sprite.parent())) : Value();
      return true;
    }
    if (strcasecmpEqual(name.str(), "_root")) {
      *out = Value(m.clipObject(rootOf(&sprite)));
      return true;
    }
    if (strcasecmpEqual(name.str(), "_lockroot")) {
      *out = Value(sprite.lockRoot());
      return true;
    }
    return false;
  }
  player::DisplayObject* o = sprite.displayObject();
  if (!o) {
    *out = Value();
    return true;
  }
  if (getDisplayProperty(&sprite, *o, index, out)) return true;
  switch (index) {
    // A clip made empty by script has no frame to be on.
    case 4:
      *out = Value(sprite.isEmptyClip() ? 0.0 : static_cast<double>(std::max(1, sprite.currentFrame() + 1)));
      break;
    case 5: *out = Value(static_cast<double>(sprite.frameCount())); break;
    case 11: *out = Value(pathOf(&sprite, true)); break;
    case 12: *out = Value(static_cast<double>(sprite.frameCount())); break;
    case 14: *out = Value(String()); break;
    case 15: *out = Value(String(m.movieUrl())); break;
    case 16: *out = Value(1.0); break;
    case 17: *out = Value::null(); break;
    case 18: *out = Value(5.0); break;
    case 19: *out = Value(String("HIGH")); break;
    case 20:
    case 21: {
      swf::Matrix inverse;
      if (!sprite.worldMatrix().invert(&inverse)) {
        *out = Value(0.0);
        break;
      }
      double x = m.input().mouseX * 20, y = m.input().mouseY * 20;
      *out = Value(std::round(index == 20 ? inverse.mapX(x, y) / 20 : inverse.mapY(x, y) / 20));
      break;
    }
  }
  return true;
}

bool setDisplayProperty(Machine& m, const player::SpriteInstance* sprite, player::DisplayObject& o, int index,
                        const Value& value) {
  auto number = [&](double* out) {
    double d = m.toNumber(value);
    if (std::isnan(d)) return false;
    *out = d;
    return true;
  };
  double d = 0;
  switch (index) {
    case 0:
      if (number(&d)) {
        o.matrix.tx = toTwips(d);
        o.transformedByScript = true;
      }
      break;
    case 1:
      if (number(&d)) {
        o.matrix.ty = toTwips(d);
        o.transformedByScript = true;
      }
      break;
    case 2:
    case 3:
      if (number(&d)) {
        ensureScriptTransform(o);
        (index == 2 ? o.scaleX : o.scaleY) = d / 100;
        applyScriptTransform(o);
      }
      break;
    case 6:
      if (number(&d)) {
        o.colorTransform.aMul = d / 100;
        o.transformedByScript = true;
      }
      break;
    case 7: {
      // "false" and other text count by number in older movies.
      o.visible = value.isString() && m.swfVersion() < 7 ? m.toBoolean(Value(m.toNumber(value))) : m.toBoolean(value);
      break;
    }
    case 8:
    case 9:
      if (number(&d) && d >= 0) {
        // The scale that gives the size, from the size unscaled: a clip
        // that covers nothing gets a scale without bound (and covers
        // nothing after, whatever it is given) until sized again.
        ensureScriptTransform(o);
        double scaleX = o.scaleX, scaleY = o.scaleY;
        o.scaleX = scaleX < 0 ? -1 : 1;
        o.scaleY = scaleY < 0 ? -1 : 1;
        applyScriptTransform(o);
        double box[4];
        boundsInParent(sprite, o, box);
        if (index == 8) {
          o.scaleX *= d * 20 / (box[2] - box[0]);
          o.scaleY = scaleY;
        } else {
          o.scaleX = scaleX;
          o.scaleY *= d * 20 / (box[3] - box[1]);
        }
        applyScriptTransform(o);
      }
      break;
    case 10:
      if (number(&d)) {
        ensureScriptTransform(o);
        o.rotation = normalizeDegrees(d);
        applyScriptTransform(o);
      }
      break;
    case 13:
      o.name = m.toString(value).str();
      break;
    default:
      return false;  // read-only, or not kept
  }
  return true;
}

bool setClipProperty(Machine& m, player::SpriteInstance& sprite, const String& name, const Value& value) {
  int index = propertyIndex(name);
  if (index < 0) {
    if (!strcasecmpEqual(name.str(), "_lockroot")) return false;
    sprite.setLockRoot(m.toBoolean(value));
    return true;
  }
  if (player::DisplayObject* o = sprite.displayObject()) setDisplayProperty(m, &sprite, *o, index, value);
  return true;
}

Value getPropertyByIndex(Machine& m, Object* clip, int index) {
  player::SpriteInstance* s = spriteOf(Value(clip));
  if (!s || index < 0 || index >= kPropertyCount) return Value();
  Value v;
  getClipProperty(m, *s, kPropertyNames[index], &v);
  return v;
}

void setPropertyByIndex(Machine& m, Object* clip, int index, const Value& value) {
  player::SpriteInstance* s = spriteOf(Value(clip));
  if (!s || index < 0 || index >= kPropertyCount) return;
  setClipProperty(m, *s, kPropertyNames[index], value);
}

void markDisplayList(Machine& m, player::SpriteInstance& root) {
  Heap& heap = m.heap();
  std::vector<player::SpriteInstance*> work{&root};
  while (!work.empty()) {
    player::SpriteInstance* s = work.back();
    work.pop_back();
    heap.mark(s->scriptObject());
    markTextObjects(m, *s);
    markVideoObjects(m, *s);
    for (auto& entry : s->children()) {
      if (entry.second.sprite) work.push_back(entry.second.sprite.get());
      if (entry.second.scriptBitmap) heap.mark(entry.second.scriptBitmap->owner);
    }
  }
  if (player::RunContext* context = m.display()) {
    for (auto& queue : context->queue)
      for (auto& q : queue)
        if (q.target) work.push_back(q.target.get());
    for (auto& weak : context->executionList)
      if (auto s = weak.lock()) work.push_back(s.get());
    if (context->running) work.push_back(context->running);
    for (player::SpriteInstance* s : work) heap.mark(s->scriptObject());
  }
}

// ------------------------------------------------------------ events

void dispatchClipEvent(Machine& m, player::SpriteInstance& sprite, uint32_t event) {
  if (m.disabled()) return;
  if (event == player::kEventConstruct) constructClip(m, sprite);
  if (const std::vector<player::ClipAction>* actions = sprite.clipActions()) {
    // The list may go when a handler removes the clip: hold on to it.
    auto keep = *actions;
    for (const player::ClipAction& a : keep) {
      if (!(a.events & event)) continue;
      if (event == player::kEventKeyPress && a.keyCode != m.input().lastKeyPressCode()) continue;
      m.runBlock(a.code, &sprite);
    }
  }
  const char* handler = nullptr;
  switch (event) {
    case player::kEventLoad: handler = "onLoad"; break;
    case player::kEventEnterFrame: handler = "onEnterFrame"; break;
    case player::kEventUnload: handler = "onUnload"; break;
    case player::kEventMouseMove: handler = "onMouseMove"; break;
    case player::kEventMouseDown: handler = "onMouseDown"; break;
    case player::kEventMouseUp: handler = "onMouseUp"; break;
    case player::kEventKeyDown: handler = "onKeyDown"; break;
    case player::kEventKeyUp: handler = "onKeyUp"; break;
    case player::kEventData: handler = "onData"; break;
    case player::kEventPress: handler = "onPress"; break;
    case player::kEventRelease: handler = "onRelease"; break;
    case player::kEventReleaseOutside: handler = "onReleaseOutside"; break;
    case player::kEventRollOver: handler = "onRollOver"; break;
    case player::kEventRollOut: handler = "onRollOut"; break;
    case player::kEventDragOver: handler = "onDragOver"; break;
    case player::kEventDragOut: handler = "onDragOut"; break;
    default: break;
  }
  if (!handler || m.swfVersion() < 6) {
    if (event == player::kEventUnload) sprite.setUnloaded();
    return;
  }
  // Fetched after the clip's own blocks ran: a collection may have renewed it.
  ClipObject* o = m.clipObject(&sprite);
  Value fn;
  try {
    fn = m.get(o, handler);
  } catch (...) {
    fn = Value();
  }
  if (fn.object() && fn.object()->kind() == Object::Kind::Function) m.callFromOutside(fn, Value(o), {});
  if (event == player::kEventUnload) sprite.setUnloaded();
}

// ------------------------------------------------------------ outside access

namespace {

// The object a path names a variable of, from `base`, and the variable's
// name; null when there is none. Throws what getters throw.
Object* variableOwner(Machine& m, player::SpriteInstance& base, const std::string& path, String* member) {
  Activation a;
  a.baseClip = m.clipObject(&base);
  a.thisValue = Value(a.baseClip);
  String objectPath;
  if (isPath(path, m.swfVersion())) {
    splitVariablePath(path, &objectPath, member);
  } else {
    *member = path;
  }
  if (member->empty()) return nullptr;
  return objectPath.empty() ? a.baseClip : resolveTargetPath(m, a, a.baseClip, objectPath).object();
}

}  // namespace

bool getVariableByPath(Machine& m, player::SpriteInstance& base, const std::string& path, Value* out) {
  String member;
  Object* owner = variableOwner(m, base, path, &member);
  if (!owner) return false;
  *out = m.get(owner, member);
  return true;
}

void setVariableByPath(Machine& m, player::SpriteInstance& base, const std::string& path, const Value& value) {
  String member;
  if (Object* owner = variableOwner(m, base, path, &member)) m.set(owner, member, value);
}

bool clipTakesPointer(Machine& m, player::SpriteInstance& sprite) {
  constexpr uint32_t kPointerEvents = player::kEventPress | player::kEventRelease | player::kEventReleaseOutside |
                                      player::kEventRollOver | player::kEventRollOut | player::kEventDragOver |
                                      player::kEventDragOut;
  if (m.disabled() || sprite.removed()) return false;
  if (const std::vector<player::ClipAction>* actions = sprite.clipActions())
    for (const player::ClipAction& a : *actions)
      if (a.events & kPointerEvents) return true;
  if (m.swfVersion() < 6) return false;
  static const char* const kHandlers[] = {"onPress",    "onRelease",  "onReleaseOutside", "onRollOver",
                                          "onRollOut", "onDragOver", "onDragOut"};
  // Plain look-ups: no getter runs while the pointer is tracked. (Scripts
  // can make prototype chains loop: a few steps are enough.)
  int steps = 0;
  for (Object* o = m.clipObject(&sprite); o && steps < 64; o = o->proto(), ++steps)
    for (const char* name : kHandlers)
      if (const Property* p = o->findOwn(name, m.swfVersion() >= 7))
        if (p->value.object() && p->value.object()->kind() == Object::Kind::Function) return true;
  return false;
}

}  // namespace avm1
