// MovieClip: the properties clips answer for, timeline control, clips made
// and removed by scripts, geometry, and the drawing methods.
#include <algorithm>
#include <cmath>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/interpreter.h"
#include "player/core/bounds.h"
#include "player/core/hit_test.h"
#include "player/core/sprite.h"

namespace avm1 {

namespace {

constexpr int kDepthOffset = 16384;
// The deepest a script may move a clip to (script numbering).
constexpr int32_t kMaxScriptDepth = 2130690044;

player::SpriteInstance* sprite(const Call& c) { return spriteOf(c.thisValue); }

// A depth as scripts give it (wrapping as 32-bit integers do), in file numbering.
int scriptDepth(Machine& m, const Value& v) {
  return static_cast<int>(static_cast<int64_t>(m.toInt32(v)) + kDepthOffset);
}

// The clip a removed clip's path now leads to, if any.
ClipObject* liveClip(Machine& m, ClipObject* clip) {
  if (!m.root()) return nullptr;
  Activation a;
  a.baseClip = m.clipObject(m.root());
  String path = clip->lastPath();
  if (path.str().compare(0, 7, "_level0") != 0) return nullptr;
  std::string rest = path.str().substr(7);
  Value v = rest.empty() ? Value(a.baseClip) : resolveTargetPath(m, a, a.baseClip, String(rest.substr(1)));
  Object* o = v.object();
  if (!o || o == clip || o->kind() != Object::Kind::Clip) return nullptr;
  return static_cast<ClipObject*>(o);
}

// The goto methods take frame numbers as 32-bit integers and keep within
// the timeline; frame 0 goes nowhere.
Value frameArgument(Machine& m, player::SpriteInstance& s, const Value& frame, bool play) {
  int index;
  if (frame.isNumber()) {
    int32_t number = m.toInt32(frame);
    if (number == 0 || std::isnan(frame.number())) return Value();
    index = static_cast<int32_t>(static_cast<uint32_t>(number) - 1u);
    index = std::max(0, std::min(index, s.frameCount() - 1));
  } else {
    index = frameIndex(m, s, frame);
    if (index < 0) return Value();
  }
  s.gotoFrame(index);
  if (play) s.play(); else s.stop();
  return Value();
}

// ------------------------------------------------------------ timeline

Value play(Machine&, Call& c) {
  if (auto* s = sprite(c)) s->play();
  return Value();
}

Value stop(Machine&, Call& c) {
  if (auto* s = sprite(c)) s->stop();
  return Value();
}

Value nextFrame(Machine&, Call& c) {
  if (auto* s = sprite(c)) {
    s->gotoFrame(s->currentFrame() + 1);
    s->stop();
  }
  return Value();
}

Value prevFrame(Machine&, Call& c) {
  if (auto* s = sprite(c)) {
    s->gotoFrame(s->currentFrame() - 1);
    s->stop();
  }
  return Value();
}

Value gotoAndPlay(Machine& m, Call& c) {
  if (auto* s = sprite(c)) frameArgument(m, *s, c.arg(0), true);
  return Value();
}

Value gotoAndStop(Machine& m, Call& c) {
  if (auto* s = sprite(c)) frameArgument(m, *s, c.arg(0), false);
  return Value();
}

// ------------------------------------------------------------ depths

Value getDepth(Machine&, Call& c) {
  auto* s = sprite(c);
  if (!s || !s->parent()) return s ? Value(-kDepthOffset * 1.0) : Value();
  return Value(static_cast<double>(s->depth() - kDepthOffset));
}

Value swapDepths(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s || !s->parent()) return Value();
  player::SpriteInstance* parent = s->parent();
  int to;
  // A clip, or a path to one from this clip; else a depth (undefined: none).
  Value arg = c.arg(0);
  if (arg.isUndefined()) return Value();
  player::SpriteInstance* other = spriteOf(arg);
  if (!other && arg.isString() && m.current())
    other = spriteOf(resolveTargetPath(m, *m.current(), m.clipObject(s), arg.string()));
  if (other) {
    if (other->parent() != parent) return Value();
    to = other->depth();
  } else {
    int32_t d = m.toInt32(c.arg(0));
    if (d < -kDepthOffset || d > kMaxScriptDepth) return Value();
    to = d + kDepthOffset;
  }
  parent->swapChildren(s->depth(), to);
  return Value();
}

Value getNextHighestDepth(Machine&, Call& c) {
  auto* s = sprite(c);
  if (!s) return Value();
  int highest = -1;
  for (const auto& entry : s->children())
    if (entry.first >= kDepthOffset) highest = std::max(highest, entry.first - kDepthOffset);
  return Value(static_cast<double>(highest + 1));
}

Value getInstanceAtDepth(Machine& m, Call& c) {
  auto* s = sprite(c);
  double d = m.toNumber(c.arg(0));
  if (!s || std::isnan(d)) return Value();
  auto it = s->children().find(wrapToInt32(d) + kDepthOffset);
  if (it == s->children().end()) return Value();
  if (it->second.sprite) return Value(m.clipObject(it->second.sprite.get()));
  Value text = textObject(m, *s, it->second);
  return text.isUndefined() ? Value(m.clipObject(s)) : text;
}

// ------------------------------------------------------------ made by scripts

Value createEmptyMovieClip(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s || c.count < 2) return Value();
  std::string name = m.toString(c.arg(0)).str();
  player::SpriteInstance* clip = s->createChild(scriptDepth(m, c.arg(1)), 0, nullptr, name);
  if (!clip) return Value();
  initializeClip(m, *clip, nullptr);
  return Value(m.clipObject(clip));
}

Value attachMovie(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s || c.count < 3 || !m.display()) return Value();
  std::string exportName = m.toString(c.arg(0)).str();
  uint16_t id = m.display()->movie->exportedId(exportName);
  // A name exported in a frame the root has not reached yet is not known.
  if (m.root() && m.display()->movie->exportFrame(exportName) > m.root()->furthestFrame()) id = 0;
  const player::CharacterDef* def = id ? m.display()->movie->character(id) : nullptr;
  if (!def || (def->kind != player::CharacterKind::Sprite && def->kind != player::CharacterKind::Button))
    return Value();
  std::string name = m.toString(c.arg(1)).str();
  player::SpriteInstance* clip = s->createChild(scriptDepth(m, c.arg(2)), id, def->timeline.get(), name);
  if (!clip) return Value();
  initializeClip(m, *clip, c.arg(3).object());
  return Value(m.clipObject(clip));
}

Value duplicateMovieClip(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s || c.count < 2) return Value();
  std::string name = m.toString(c.arg(0)).str();
  int depth = scriptDepth(m, c.arg(1));
  player::SpriteInstance* clip = duplicateSprite(m, *s, name, depth, c.arg(2).object());
  return clip ? Value(m.clipObject(clip)) : Value();
}

Value removeMovieClip(Machine& m, Call& c) {
  removeClip(m, c.thisValue.object());
  return Value();
}

// ------------------------------------------------------------ geometry

// The clip's bounds in `target`'s coordinates (pixels): xMin, xMax, yMin, yMax.
Value boundsObject(Machine& m, player::SpriteInstance& s, player::SpriteInstance* target) {
  double own[4], box[4];
  player::clearBox(own);
  player::clearBox(box);
  player::addSpriteBounds(s, swf::Matrix(), own);
  swf::Matrix toTarget;
  if (target != &s) {
    toTarget = s.worldMatrix();
    swf::Matrix inverse;
    if (target && target->worldMatrix().invert(&inverse)) toTarget = inverse * toTarget;
  }
  player::addBoxCorners(own, toTarget, box);
  Object* o = m.newObject();
  if (player::boxIsEmpty(box)) {
    // What the reference player reports for a clip that covers nothing:
    // 0x7FFFFFF twips, which its single-precision move into another clip's
    // space rounds up to 2^27.
    double nothing = (!target || target == &s) ? 0x7FFFFFF / 20.0 : 0x8000000 / 20.0;
    for (const char* name : {"xMin", "xMax", "yMin", "yMax"}) m.set(o, name, Value(nothing));
    return Value(o);
  }
  m.set(o, "xMin", Value(box[0] / 20));
  m.set(o, "xMax", Value(box[2] / 20));
  m.set(o, "yMin", Value(box[1] / 20));
  m.set(o, "yMax", Value(box[3] / 20));
  return Value(o);
}

Value getBounds(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s) return Value();
  player::SpriteInstance* target = s;
  if (c.count > 0) {
    // Anything but a clip names one by its path from this clip.
    target = spriteOf(c.arg(0));
    if (!target) {
      String path = m.toString(c.arg(0));
      if (path.empty()) return Value();
      Activation outside;
      target = spriteOf(resolveTargetPath(m, m.current() ? *m.current() : outside, c.thisValue.object(), path));
    }
    if (!target) return Value();
  }
  return boundsObject(m, *s, target);
}

void pointOf(Machine& m, const Value& v, double* x, double* y) {
  Object* o = v.object();
  *x = o ? m.toNumber(m.get(o, "x")) : NAN;
  *y = o ? m.toNumber(m.get(o, "y")) : NAN;
}

Value localToGlobal(Machine& m, Call& c) {
  auto* s = sprite(c);
  Object* p = c.arg(0).object();
  if (!s || !p) return Value();
  double x, y;
  pointOf(m, c.arg(0), &x, &y);
  swf::Matrix w = s->worldMatrix();
  m.set(p, "x", Value(w.mapX(x * 20, y * 20) / 20));
  m.set(p, "y", Value(w.mapY(x * 20, y * 20) / 20));
  return Value();
}

Value globalToLocal(Machine& m, Call& c) {
  auto* s = sprite(c);
  Object* p = c.arg(0).object();
  if (!s || !p) return Value();
  double x, y;
  pointOf(m, c.arg(0), &x, &y);
  swf::Matrix inverse;
  if (!s->worldMatrix().invert(&inverse)) return Value();
  m.set(p, "x", Value(inverse.mapX(x * 20, y * 20) / 20));
  m.set(p, "y", Value(inverse.mapY(x * 20, y * 20) / 20));
  return Value();
}

Value hitTest(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s) return Value(false);
  double box[4];
  player::clearBox(box);
  player::addSpriteBounds(*s, s->worldMatrix(), box);
  if (c.count >= 2) {
    double x = m.toNumber(c.arg(0)) * 20, y = m.toNumber(c.arg(1)) * 20;
    if (std::isnan(x) || std::isnan(y)) return Value(false);
    if (c.count > 2 && m.toBoolean(c.arg(2))) {
      // By the shapes' outlines, winding rules and strokes. The point is in
      // the root's coordinates, whatever its own transform.
      swf::Matrix toClip;
      const player::DisplayObject* own = s->displayObject();
      if (!m.display() || !own || !s->worldMatrix().invert(&toClip)) return Value(false);
      toClip = toClip * m.root()->displayObject()->matrix;
      return Value(player::characterContains(*m.display()->movie, *own->def, s, toClip.mapX(x, y), toClip.mapY(x, y)));
    }
    return Value(!player::boxIsEmpty(box) && x >= box[0] && x <= box[2] && y >= box[1] && y <= box[3]);
  }
  player::SpriteInstance* other = spriteOf(c.arg(0));
  if (!other) return Value(false);
  double otherBox[4];
  player::clearBox(otherBox);
  player::addSpriteBounds(*other, other->worldMatrix(), otherBox);
  if (player::boxIsEmpty(box) || player::boxIsEmpty(otherBox)) return Value(false);
  return Value(box[0] <= otherBox[2] && otherBox[0] <= box[2] && box[1] <= otherBox[3] && otherBox[1] <= box[3]);
}

// setMask(clip, text field or path): true when set, false when the path
// leads nowhere;
// null or undefined take the mask away.
Value setMask(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s || c.count == 0) return Value();
  const Value& arg = c.arg(0);
  if (arg.isNullish()) {
    s->setMask(nullptr);
    return Value(true);
  }
  Value target = arg;
  player::SpriteInstance* holder;
  player::DisplayObject* field;
  if (!spriteOf(target) && !textFieldPlace(target, &holder, &field) && m.current()) {
    Activation& a = *m.current();
    target = resolveTargetPath(m, a, a.target ? a.target : a.baseClip, m.toString(arg));
  }
  // A text field masks with its glyphs.
  if (textFieldPlace(target, &holder, &field)) {
    s->setMaskField(*holder, field->textField);
    return Value(true);
  }
  player::SpriteInstance* mask = spriteOf(target);
  if (!mask) return Value(false);
  s->setMask(mask);
  return Value(true);
}

Value startDragFn(Machine& m, Call& c) {
  bool lock = m.toBoolean(c.arg(0));
  double box[4];
  bool constrain = c.count >= 5;
  for (int i = 0; i < 4 && constrain; ++i) box[i] = m.toNumber(c.arg(static_cast<size_t>(i + 1)));
  startDrag(m, c.thisValue.object(), lock, constrain ? box : nullptr);
  return Value();
}

Value stopDrag(Machine& m, Call&) {
  startDrag(m, nullptr, false, nullptr);
  return Value();
}

// A clip's size is its definition's; the root's the movie's.
Value getBytes(Machine& m, Call& c) {
  auto* s = sprite(c);
  if (!s || !m.display()) return Value();
  if (!s->parent()) return Value(static_cast<double>(m.display()->movie->fileSize));
  return Value(static_cast<double>(s->timeline().byteSize));
}

Value getSwfVersion(Machine& m, Call& c) {
  if (!sprite(c)) return Value();
  return Value(static_cast<double>(m.swfVersion()));
}

Value unloadMovie(Machine&, Call& c) {
  auto* s = sprite(c);
  if (s && s->parent()) s->parent()->removeChild(s->depth());
  return Value();
}

Value ignoreCall(Machine&, Call&) { return Value(); }

// ------------------------------------------------------------ drawing

swf::Rgba colorOf(Machine& m, const Value& rgb, const Value& alpha) {
  uint32_t c = m.toUint32(rgb);
  double a = alpha.isUndefined() ? 100 : m.toNumber(alpha);
  if (std::isnan(a)) a = 0;
  a = std::max(0.0, std::min(100.0, a));
  swf::Rgba out;
  out.r = static_cast<uint8_t>(c >> 16);
  out.g = static_cast<uint8_t>(c >> 8);
  out.b = static_cast<uint8_t>(c);
  out.a = static_cast<uint8_t>(std::lround(a * 255 / 100));
  return out;
}

void growBounds(player::Drawing& d, double x, double y, double pad) {
  swf::Rect& b = d.shape.bounds;
  // Twips as the file keeps them: far points are held at the edge of the range.
  auto twips = [](double v) { return static_cast<int32_t>(std::max(-1e9, std::min(1e9, v))); };
  int32_t x0 = twips(std::floor(x - pad)), x1 = twips(std::ceil(x + pad));
  int32_t y0 = twips(std::floor(y - pad)), y1 = twips(std::ceil(y + pad));
  if (!d.hasBounds) {
    b.xMin = x0;
    b.xMax = x1;
    b.yMin = y0;
    b.yMax = y1;
    d.hasBounds = true;
    return;
  }
  b.xMin = std::min(b.xMin, x0);
  b.xMax = std::max(b.xMax, x1);
  b.yMin = std::min(b.yMin, y0);
  b.yMax = std::max(b.yMax, y1);
}

void addEdge(player::Drawing& d, const swf::Edge& e);

// Closes the fill's outline back to where it began, with the pen's line.
void closeOutline(player::Drawing& d) {
  if (!d.filling || d.fillPath.empty() || (d.penX == d.pathStartX && d.penY == d.pathStartY)) return;
  swf::Edge e;
  e.x0 = d.penX;
  e.y0 = d.penY;
  e.x1 = d.pathStartX;
  e.y1 = d.pathStartY;
  addEdge(d, e);
}

// Ends the open fill: its path is closed and becomes part of the shape.
void closeFill(player::Drawing& d) {
  if (!d.filling) return;
  closeOutline(d);
  if (!d.fillPath.empty()) {
    swf::ShapeLayer layer;
    layer.fills.push_back(d.fill);
    layer.fillEdges.push_back(std::move(d.fillPath));
    // Below the strokes drawn along with it.
    size_t at = std::min(d.fillLayerAt, d.shape.layers.size());
    d.shape.layers.insert(d.shape.layers.begin() + static_cast<ptrdiff_t>(at), std::move(layer));
    d.strokeLayer = static_cast<size_t>(-1);
  }
  d.fillPath.clear();
  d.filling = false;
}

void addEdge(player::Drawing& d, const swf::Edge& e) {
  double pad = d.stroking ? d.line.width / 2 : 0;
  growBounds(d, e.x0, e.y0, pad);
  growBounds(d, e.x1, e.y1, pad);
  if (e.curve) growBounds(d, e.cx, e.cy, pad);
  if (d.filling) d.fillPath.push_back(e);
  if (d.stroking) {
    if (d.shape.layers.empty() || d.strokeLayer != d.shape.layers.size() - 1) {
      swf::ShapeLayer layer;
      layer.lines.push_back(d.line);
      layer.lineEdges.emplace_back();
      d.shape.layers.push_back(std::move(layer));
      d.strokeLayer = d.shape.layers.size() - 1;
    }
    d.shape.layers.back().lineEdges[0].push_back(e);
  }
}

player::Drawing* drawingOf(const Call& c) {
  auto* s = sprite(c);
  return s ? &s->drawingForScript() : nullptr;
}

Value clear(Machine&, Call& c) {
  if (auto* s = sprite(c)) s->clearDrawing();
  return Value();
}

Value beginFill(Machine& m, Call& c) {
  player::Drawing* d = drawingOf(c);
  if (!d) return Value();
  closeFill(*d);
  if (c.count == 0 || c.arg(0).isUndefined()) return Value();
  d->fill = swf::FillStyle();
  d->fill.color = colorOf(m, c.arg(0), c.arg(1));
  d->filling = true;
  d->fillLayerAt = d->shape.layers.size();
  d->pathStartX = d->penX;
  d->pathStartY = d->penY;
  return Value();
}

Value beginGradientFill(Machine& m, Call& c) {
  player::Drawing* d = drawingOf(c);
  if (!d) return Value();
  closeFill(*d);
  Object* colors = c.arg(1).object();
  Object* alphas = c.arg(2).object();
  Object* ratios = c.arg(3).object();
  Object* matrix = c.arg(4).object();
  if (!colors || !alphas || !ratios || !matrix) return Value();
  swf::FillStyle f;
  String kind = m.toString(c.arg(0));
  f.kind = kind.str() == "radial" ? swf::FillKind::Radial : swf::FillKind::Linear;
  double n = std::min(std::min(m.arrayLength(colors), m.arrayLength(alphas)), std::min(m.arrayLength(ratios), 15.0));
  for (double i = 0; i < n; ++i) {
    swf::GradientStop stop;
    stop.color = colorOf(m, m.arrayGet(colors, i), m.arrayGet(alphas, i));
    double r = m.toNumber(m.arrayGet(ratios, i));
    stop.ratio = static_cast<uint8_t>(std::max(0.0, std::min(255.0, std::isnan(r) ? 0 : r)));
    f.gradient.stops.push_back(stop);
  }
  if (f.gradient.stops.empty()) return Value();
  // The gradient square (-16384..16384 twips in the file) from the script's matrix.
  Value type = m.get(matrix, "matrixType");
  swf::Matrix g;
  if (m.toString(type).str() == "box") {
    double w = m.toNumber(m.get(matrix, "w")) * 20, h = m.toNumber(m.get(matrix, "h")) * 20;
    double x = m.toNumber(m.get(matrix, "x")) * 20, y = m.toNumber(m.get(matrix, "y")) * 20;
    double r = m.toNumber(m.get(matrix, "r"));
    double cs = std::cos(r), sn = std::sin(r);
    g.a = w / 32768 * cs;
    g.b = w / 32768 * sn;
    g.c = -h / 32768 * sn;
    g.d = h / 32768 * cs;
    g.tx = x + w / 2;
    g.ty = y + h / 2;
  } else {
    // a, b, d, e, tx... in pixels for a 1-pixel square mapped from ±819.2.
    g.a = m.toNumber(m.get(matrix, "a")) * 20 / 1638.4;
    g.b = m.toNumber(m.get(matrix, "b")) * 20 / 1638.4;
    g.c = m.toNumber(m.get(matrix, "d")) * 20 / 1638.4;
    g.d = m.toNumber(m.get(matrix, "e")) * 20 / 1638.4;
    g.tx = m.toNumber(m.get(matrix, "g")) * 20;
    g.ty = m.toNumber(m.get(matrix, "h")) * 20;
  }
  for (double* v : {&g.a, &g.b, &g.c, &g.d, &g.tx, &g.ty})
    if (std::isnan(*v)) *v = 0;
  f.matrix = g;
  d->fill = f;
  d->filling = true;
  d->fillLayerAt = d->shape.layers.size();
  d->pathStartX = d->penX;
  d->pathStartY = d->penY;
  return Value();
}

Value endFill(Machine&, Call& c) {
  if (player::Drawing* d = drawingOf(c)) closeFill(*d);
  return Value();
}

Value lineStyle(Machine& m, Call& c) {
  player::Drawing* d = drawingOf(c);
  if (!d) return Value();
  d->strokeLayer = static_cast<size_t>(-1);
  if (c.count == 0 || c.arg(0).isUndefined()) {
    d->stroking = false;
    return Value();
  }
  double width = m.toNumber(c.arg(0));
  if (std::isnan(width)) width = 0;
  d->line = swf::LineStyle();
  // Hairlines (0) draw one pixel wide.
  d->line.width = std::max(20.0, std::min(255.0, width) * 20);
  d->line.color = colorOf(m, c.arg(1), c.arg(2));
  if (c.count > 5) {
    std::string caps = m.toString(c.arg(5)).str();
    d->line.startCap = d->line.endCap = caps == "none" ? swf::Cap::None : caps == "square" ? swf::Cap::Square : swf::Cap::Round;
  }
  if (c.count > 6) {
    std::string joint = m.toString(c.arg(6)).str();
    d->line.join = joint == "miter" ? swf::Join::Miter : joint == "bevel" ? swf::Join::Bevel : swf::Join::Round;
  }
  d->stroking = true;
  return Value();
}

// Drawn points land on whole twips, as in shapes from the file.
double twips(Machine& m, const Value& v) { return std::round(m.toNumber(v) * 20); }

Value moveTo(Machine& m, Call& c) {
  player::Drawing* d = drawingOf(c);
  if (!d) return Value();
  double x = twips(m, c.arg(0)), y = twips(m, c.arg(1));
  if (std::isnan(x) || std::isnan(y)) return Value();
  // A new outline of the same fill: the last one closes first.
  closeOutline(*d);
  d->penX = d->pathStartX = x;
  d->penY = d->pathStartY = y;
  return Value();
}

Value lineTo(Machine& m, Call& c) {
  player::Drawing* d = drawingOf(c);
  if (!d) return Value();
  double x = twips(m, c.arg(0)), y = twips(m, c.arg(1));
  if (std::isnan(x) || std::isnan(y)) return Value();
  m.charge(4);
  swf::Edge e;
  e.x0 = d->penX;
  e.y0 = d->penY;
  e.x1 = x;
  e.y1 = y;
  addEdge(*d, e);
  d->penX = x;
  d->penY = y;
  return Value();
}

Value curveTo(Machine& m, Call& c) {
  player::Drawing* d = drawingOf(c);
  if (!d) return Value();
  double cx = twips(m, c.arg(0)), cy = twips(m, c.arg(1));
  double x = twips(m, c.arg(2)), y = twips(m, c.arg(3));
  if (std::isnan(x) || std::isnan(y) || std::isnan(cx) || std::isnan(cy)) return Value();
  m.charge(4);
  swf::Edge e;
  e.x0 = d->penX;
  e.y0 = d->penY;
  e.cx = cx;
  e.cy = cy;
  e.x1 = x;
  e.y1 = y;
  e.curve = true;
  addEdge(*d, e);
  d->penX = x;
  d->penY = y;
  return Value();
}

Object* registeredClassOf(Machine& m, player::SpriteInstance& clip) {
  if (m.registeredClasses().empty() || !m.display()) return nullptr;
  uint16_t id = clip.characterId();
  if (!id) return nullptr;
  // Buttons stay of the Button class, whatever is registered for their symbol.
  const player::DisplayObject* o = clip.displayObject();
  if (o && o->def && o->def->kind == player::CharacterKind::Button) return nullptr;
  for (const auto& e : m.display()->movie->exports) {
    if (e.second != id) continue;
    for (const auto& c : m.registeredClasses())
      if (m.caseSensitive() ? c.first.str() == e.first : strcasecmpEqual(c.first.str(), e.first)) return c.second;
  }
  return nullptr;
}

}  // namespace

// ------------------------------------------------------------ clip properties

bool clipGetSpecial(Machine& m, ClipObject* clip, const String& name, Value* out) {
  player::SpriteInstance* s = clip->sprite();
  if (!s || s->removed()) {
    // A reference to a removed clip follows its path to whatever is there now.
    ClipObject* live = liveClip(m, clip);
    if (!live) {
      // Its variables last until its unload handlers have run.
      if (s && !s->unloaded() && !isClipProperty(name)) return false;
      *out = Value();
      return true;
    }
    *out = m.get(live, name);
    return true;
  }
  if (m.findOwnVisible(clip, name)) return false;
  if (player::DisplayObject* child = s->namedChild(name.str(), m.caseSensitive())) {
    // Shapes have no object of their own: their name leads to their clip.
    Value text = m.swfVersion() >= 6 ? textObject(m, *s, *child) : Value();
    if (text.isUndefined()) text = videoObject(m, *s, *child);
    *out = !text.isUndefined() ? text : Value(m.clipObject(child->sprite ? child->sprite.get() : s));
    return true;
  }
  return getClipProperty(m, *s, name, out);
}

bool clipSetSpecial(Machine& m, ClipObject* clip, const String& name, const Value& value) {
  player::SpriteInstance* s = clip->sprite();
  if (!s || s->removed()) {
    ClipObject* live = liveClip(m, clip);
    if (!live) return false;
    m.set(live, name, value);
    return true;
  }
  return setClipProperty(m, *s, name, value);
}

bool clipHasSpecial(Machine& m, ClipObject* clip, const String& name) {
  player::SpriteInstance* s = clip->sprite();
  if (!s) return false;
  if (s->namedChild(name.str(), m.caseSensitive())) return true;
  return isClipProperty(name) || strcasecmpEqual(name.str(), "_parent") || strcasecmpEqual(name.str(), "_root") ||
         strcasecmpEqual(name.str(), "_lockroot");
}

void clipEnumerateSpecial(Machine& m, ClipObject* clip, std::vector<String>* names) {
  (void)m;
  player::SpriteInstance* s = clip->sprite();
  if (!s) return;
  // Every named child, shapes and text included: their names lead somewhere.
  for (const auto& entry : s->children())
    if (!entry.second.name.empty()) names->push_back(String(entry.second.name));
}

void initializeClip(Machine& m, player::SpriteInstance& clip, Object* init) {
  ClipObject* o = m.clipObject(&clip);
  Object* cls = registeredClassOf(m, clip);
  if (cls) {
    Value proto = m.get(cls, "prototype");
    if (proto.object()) o->define("__proto__", proto, kDontEnum);
  }
  // The first frame's children are there before the init object's
  // properties (a _width needs them) and the constructor.
  clip.placed(true);
  if (init) {
    // Oldest property first: the reverse of the order for..in lists them.
    std::vector<String> names = m.enumerate(init);
    for (auto it = names.rbegin(); it != names.rend(); ++it) m.set(o, *it, m.get(init, *it));
  }
  if (cls) {
    o->define("__constructor__", Value(cls), kDontEnum);
    Value protoValue = m.get(cls, "prototype");
    m.call(Value(cls), Value(o), nullptr, 0, protoValue.object(), true);
  }
}

void constructClip(Machine& m, player::SpriteInstance& clip) {
  Object* cls = registeredClassOf(m, clip);
  if (!cls) return;
  ClipObject* o = m.clipObject(&clip);
  Value proto = m.get(cls, "prototype");
  if (proto.object()) o->define("__proto__", proto, kDontEnum);
  o->define("__constructor__", Value(cls), kDontEnum);
  m.callFromOutside(Value(cls), Value(o), {});
}

void installMovieClip(Machine& m) {
  Prototypes& p = m.protos();
  p.movieClip = m.heap().make<Object>(p.object);
  Object* mp = p.movieClip;
  m.defineClass(m.global(), "MovieClip", ignoreCall, mp);
  // Every clip answers the pointer and shows the hand over it unless told not to.
  mp->define("enabled", Value(true), kDontEnum | kVersion6);
  mp->define("useHandCursor", Value(true), kDontEnum | kVersion6);
  // Methods newer than SWF 5 stay hidden from older movies, as the
  // reference player flags them.
  m.method(mp, "play", play);
  m.method(mp, "stop", stop);
  m.method(mp, "nextFrame", nextFrame);
  m.method(mp, "prevFrame", prevFrame);
  m.method(mp, "gotoAndPlay", gotoAndPlay);
  m.method(mp, "gotoAndStop", gotoAndStop);
  m.method(mp, "getDepth", getDepth, 0, kDontEnum | kVersion6);
  m.method(mp, "swapDepths", swapDepths);
  m.method(mp, "getNextHighestDepth", getNextHighestDepth, 0, kDontEnum | kVersion7);
  m.method(mp, "getInstanceAtDepth", getInstanceAtDepth, 0, kDontEnum | kVersion7);
  m.method(mp, "createEmptyMovieClip", createEmptyMovieClip, 0, kDontEnum | kVersion6);
  m.method(mp, "attachMovie", attachMovie);
  m.method(mp, "duplicateMovieClip", duplicateMovieClip);
  m.method(mp, "removeMovieClip", removeMovieClip);
  m.method(mp, "getBounds", getBounds);
  m.method(mp, "getRect", getBounds, 0, kDontEnum | kVersion8);
  m.method(mp, "localToGlobal", localToGlobal);
  m.method(mp, "globalToLocal", globalToLocal);
  m.method(mp, "hitTest", hitTest);
  m.method(mp, "startDrag", startDragFn);
  m.method(mp, "stopDrag", stopDrag);
  m.method(mp, "getBytesLoaded", getBytes);
  m.method(mp, "getBytesTotal", getBytes);
  m.method(mp, "getSWFVersion", getSwfVersion, 0, kDontEnum | kVersion6);
  m.method(mp, "unloadMovie", unloadMovie);
  m.method(mp, "loadMovie", ignoreCall);
  m.method(mp, "loadVariables", ignoreCall);
  m.method(mp, "getURL", ignoreCall);
  m.method(mp, "setMask", setMask, 0, kDontEnum | kVersion6);
  m.method(mp, "clear", clear, 0, kDontEnum | kVersion6);
  m.method(mp, "beginFill", beginFill, 0, kDontEnum | kVersion6);
  m.method(mp, "beginGradientFill", beginGradientFill, 0, kDontEnum | kVersion6);
  m.method(mp, "endFill", endFill, 0, kDontEnum | kVersion6);
  m.method(mp, "lineStyle", lineStyle, 0, kDontEnum | kVersion6);
  m.method(mp, "moveTo", moveTo, 0, kDontEnum | kVersion6);
  m.method(mp, "lineTo", lineTo, 0, kDontEnum | kVersion6);
  m.method(mp, "curveTo", curveTo, 0, kDontEnum | kVersion6);
}

}  // namespace avm1
