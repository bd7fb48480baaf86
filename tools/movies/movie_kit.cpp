#include "movie_kit.h"

#include <cmath>
#include <cstring>
#include <map>
#include <stdexcept>

namespace kit {

namespace {

int fixed8(double v) { return static_cast<int>(std::lround(v * 256)); }
int channel(double v) { return static_cast<int>(std::lround(v)); }

// The matrix as the file stores it: 16.16 parts and whole twips.
struct StoredMatrix {
  long a, b, c, d;
  int32_t tx, ty;
  bool operator==(const StoredMatrix& o) const {
    return a == o.a && b == o.b && c == o.c && d == o.d && tx == o.tx && ty == o.ty;
  }
};

StoredMatrix stored(const Affine& m) {
  swftest::Matrix s = m.toSwf();
  auto f = [](double v) { return std::lround(v * 65536); };
  return {f(s.a), f(s.b), f(s.c), f(s.d), s.tx, s.ty};
}

}  // namespace

bool Pose::sameTint(const Pose& o) const {
  return fixed8(alpha) == fixed8(o.alpha) && fixed8(red) == fixed8(o.red) &&
         fixed8(green) == fixed8(o.green) && fixed8(blue) == fixed8(o.blue) &&
         channel(addRed) == channel(o.addRed) && channel(addGreen) == channel(o.addGreen) &&
         channel(addBlue) == channel(o.addBlue);
}

bool Pose::plainTint() const { return sameTint(Pose()); }

Pose posed(const Affine& m, double alpha) {
  Pose p;
  p.m = m;
  p.alpha = alpha;
  return p;
}

Movie::Movie(int width, int height, double fps)
    : builder_(width, height, fps), width_(width), height_(height), fps_(fps) {
  // Players that paint the stage show the movie over a desktop blue; ours
  // leaves it out so the desktop itself shows through.
  builder_.background(0x2E5E8C);
}

uint16_t Movie::add(const art::Shape& shape) {
  uint16_t id = nextId_++;
  builder_.define(32, shape.body(id));
  return id;
}

namespace {

void writeMorphPaint(swftest::Writer& w, const art::Paint& from, const art::Paint& to) {
  if (from.kind != to.kind || from.stops.size() != to.stops.size())
    throw std::invalid_argument("the two paints of a morph shape differ in kind");
  if (from.kind == art::Paint::Solid) {
    w.u8(0);
    w.rgba(from.argb);
    w.rgba(to.argb);
    return;
  }
  w.u8(from.kind == art::Paint::Linear ? 0x10 : 0x12);
  for (const art::Paint* p : {&from, &to}) {
    swftest::Matrix m = art::gradientMatrix(*p);
    w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  }
  w.u8(static_cast<uint32_t>(from.stops.size()));
  for (size_t i = 0; i < from.stops.size(); ++i) {
    w.u8(from.stops[i].ratio);
    w.rgba(from.stops[i].argb);
    w.u8(to.stops[i].ratio);
    w.rgba(to.stops[i].argb);
  }
}

}  // namespace

uint16_t Movie::addMorph(const art::Outline& from, const art::Paint& fromPaint,
                         const art::Outline& to, const art::Paint& toPaint) {
  uint16_t id = nextId_++;
  swftest::Writer startEdges, endEdges, styles, w;
  swftest::writeRecords(startEdges, art::morphPath(from, true), 1, 0);
  swftest::writeRecords(endEdges, art::morphPath(to, false), 0, 0);
  styles.u8(1);
  writeMorphPaint(styles, fromPaint, toPaint);
  styles.u8(0);  // no line styles
  w.u16(id);
  art::TwipBounds a = art::bounds(from), b = art::bounds(to);
  w.rect(a.xMin, a.xMax, a.yMin, a.yMax);
  w.rect(b.xMin, b.xMax, b.yMin, b.yMax);
  w.u32(static_cast<uint32_t>(styles.data().size() + startEdges.data().size()));
  w.bytes(styles.data());
  w.bytes(startEdges.data());
  w.bytes(endEdges.data());
  builder_.define(46, w.data());
  return id;
}

uint16_t Movie::add(const Timeline& timeline, int frames) {
  uint16_t id = nextId_++;
  builder_.defineSprite(id, timeline, frames);
  return id;
}

Bytes Movie::finish() { return builder_.finish(true); }

namespace {

void writePlace(Timeline& timeline, uint16_t depth, uint16_t id, const Pose* matrixFrom,
                const Pose* tintFrom, const std::string& name, uint16_t clipDepth) {
  swftest::Writer w;
  uint8_t flags = id ? 0x02 : 0x01;
  if (matrixFrom) flags |= 0x04;
  if (tintFrom) flags |= 0x08;
  if (!name.empty()) flags |= 0x20;
  if (clipDepth) flags |= 0x40;
  int ratio = matrixFrom ? matrixFrom->ratio : tintFrom ? tintFrom->ratio : -1;
  if (ratio >= 0) flags |= 0x10;
  w.u8(flags);
  w.u16(depth);
  if (id) w.u16(id);
  if (matrixFrom) {
    swftest::Matrix m = matrixFrom->m.toSwf();
    w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  }
  if (tintFrom) {
    const Pose& p = *tintFrom;
    w.colorTransform(fixed8(p.red), fixed8(p.green), fixed8(p.blue), fixed8(p.alpha),
                     channel(p.addRed), channel(p.addGreen), channel(p.addBlue), 0);
  }
  if (ratio >= 0) w.u16(static_cast<uint32_t>(ratio));
  if (!name.empty()) w.text(name);
  if (clipDepth) w.u16(clipDepth);
  timeline.tag(26, w.data());
}

}  // namespace

void place(Timeline& timeline, uint16_t depth, uint16_t id, const Pose& pose,
           const std::string& name, uint16_t clipDepth) {
  writePlace(timeline, depth, id, &pose, pose.plainTint() ? nullptr : &pose, name, clipDepth);
}

void animate(Timeline& timeline, int frames, const std::vector<Actor>& actors,
             const std::function<Bytes(int frame)>& script) {
  std::map<uint16_t, Pose> shown;  // by depth: the pose last written
  for (int f = 0; f < frames; ++f) {
    for (const Actor& actor : actors) {
      Pose pose = actor.pose ? actor.pose(f) : Pose();
      auto it = shown.find(actor.depth);
      if (!pose.shown) {
        if (it != shown.end()) {
          timeline.remove(actor.depth);
          shown.erase(it);
        }
        continue;
      }
      if (it == shown.end()) {
        place(timeline, actor.depth, actor.id, pose, actor.name, actor.clipDepth);
        shown[actor.depth] = pose;
        continue;
      }
      bool moved = !(stored(pose.m) == stored(it->second.m)) || pose.ratio != it->second.ratio;
      bool tinted = !pose.sameTint(it->second);
      if (moved || tinted)
        writePlace(timeline, actor.depth, 0, moved ? &pose : nullptr, tinted ? &pose : nullptr, "",
                   0);
      it->second = pose;
    }
    if (script) {
      Bytes code = script(f);
      if (!code.empty()) timeline.action(code);
    }
    timeline.showFrame();
  }
}

Timeline still(const std::vector<std::pair<uint16_t, Affine>>& parts) {
  Timeline t;
  uint16_t depth = 1;
  for (const auto& part : parts) {
    Pose pose;
    pose.m = part.second;
    place(t, depth++, part.first, pose);
  }
  t.showFrame();
  return t;
}

double wave(double t, double cycles, double phase) {
  return std::sin(2 * art::kPi * (cycles * t + phase));
}

double frac(double x) { return x - std::floor(x); }

double ease(double t) {
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  return t * t * (3 - 2 * t);
}

// ---- Scripts ---------------------------------------------------------------------

void Script::pushRecord(uint8_t type, const Bytes& data) {
  size_t length = 1 + data.size();
  code_.push_back(0x96);
  code_.push_back(static_cast<uint8_t>(length & 0xFF));
  code_.push_back(static_cast<uint8_t>(length >> 8));
  code_.push_back(type);
  code_.insert(code_.end(), data.begin(), data.end());
}

Script& Script::push(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  pushRecord(0, data);
  return *this;
}

Script& Script::push(int value) {
  uint32_t v = static_cast<uint32_t>(value);
  pushRecord(7, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  return *this;
}

Script& Script::pushFloat(float value) {
  uint32_t v;
  std::memcpy(&v, &value, 4);
  pushRecord(1, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  return *this;
}

Script& Script::op(uint8_t code) {
  code_.push_back(code);
  return *this;
}

Script& Script::callMethod(const std::string& object, const std::string& method,
                           int argumentCount) {
  push(argumentCount).push(object).op(op::kGetVariable).push(method).op(op::kCallMethod);
  return *this;
}

Script& Script::runIf(const Script& body) {
  size_t skip = body.bytes().size();
  op(op::kNot);
  code_.insert(code_.end(), {0x9D, 2, 0, uint8_t(skip & 0xFF), uint8_t(skip >> 8)});
  code_.insert(code_.end(), body.bytes().begin(), body.bytes().end());
  return *this;
}

// (new Date()).getFullYear() > 2000. An engine that skips what it does not
// know is left with 2000 on top, which the guard's Not and If read as "skip".
Script datesWork() {
  Script s;
  s.push(0).push(0).push("Date").op(op::kNewObject);
  s.push("getFullYear").op(op::kCallMethod);
  s.push(2000).op(op::kGreater);
  return s;
}

}  // namespace kit
