// TextSnapshot: the characters of the static text placed directly on a
// clip, as MovieClip.getTextSnapshot gives them, with a selection of its own.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/text_snapshot.h"
#include "player/core/movie.h"
#include "player/core/sprite.h"
#include "player/text/encoding.h"
#include "player/text/font_face.h"

namespace avm1 {

namespace {

const char kData[] = "textSnapshot";

class SnapshotData : public NativeObject {
 public:
  SnapshotData() : NativeObject(nullptr, kSnapshotTag) {}
  void trace(Heap& heap) override {
    Object::trace(heap);
    heap.mark(clip);
  }
  Value clip;
  std::vector<bool> selected;
};

SnapshotData* dataOf(const Value& v) { return static_cast<SnapshotData*>(hiddenData(v, kData, kSnapshotTag)); }

std::vector<SnapshotChar> charsOf(const Value& snapshot) {
  SnapshotData* d = dataOf(snapshot);
  player::SpriteInstance* sprite = d ? spriteOf(d->clip) : nullptr;
  return sprite ? snapshotChars(*sprite) : std::vector<SnapshotChar>();
}

// The characters from `start` to `end` (already in range), a line end
// before each that begins a new line when asked for.
std::u32string textBetween(const std::vector<SnapshotChar>& chars, size_t start, size_t end, bool lineEnds,
                           const std::vector<bool>* onlySelected = nullptr) {
  std::u32string out;
  for (size_t i = start; i < end; ++i) {
    if (onlySelected && !(i < onlySelected->size() && (*onlySelected)[i])) continue;
    if (lineEnds && chars[i].startsLine && !out.empty()) out += U'\n';
    out += chars[i].code;
  }
  return out;
}

// A range as the reference player clamps it: the start within the text,
// the end at least one past it.
bool clampRange(Machine& m, const Call& c, size_t count, size_t* start, size_t* end) {
  if (count == 0) return false;
  double s = m.toNumber(c.arg(0)), e = m.toNumber(c.arg(1));
  s = std::isnan(s) ? 0 : std::trunc(s);
  e = std::isnan(e) ? 0 : std::trunc(e);
  s = std::min(std::max(s, 0.0), double(count - 1));
  e = std::min(std::max(e, s + 1), double(count));
  *start = static_cast<size_t>(s);
  *end = static_cast<size_t>(e);
  return true;
}

Value makeText(Machine& m, const std::u32string& text) {
  return Value(m.makeString(text::encodeMovieText(text, m.swfVersion())));
}

Value snapshotConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || !c.constructing) return Value();
  SnapshotData* d = m.heap().make<SnapshotData>();
  if (spriteOf(c.arg(0))) d->clip = c.arg(0);
  attachHiddenData(self, kData, d);
  return Value();
}

Value getCount(Machine&, Call& c) {
  if (!dataOf(c.thisValue)) return Value();
  return Value(double(charsOf(c.thisValue).size()));
}

Value getText(Machine& m, Call& c) {
  if (c.count < 2 || c.count > 3 || !dataOf(c.thisValue)) return Value();
  std::vector<SnapshotChar> chars = charsOf(c.thisValue);
  size_t start = 0, end = 0;
  if (!clampRange(m, c, chars.size(), &start, &end)) return Value(String(""));
  return makeText(m, textBetween(chars, start, end, m.toBoolean(c.arg(2))));
}

Value findText(Machine& m, Call& c) {
  if (c.count != 3 || !dataOf(c.thisValue)) return Value();
  std::vector<SnapshotChar> chars = charsOf(c.thisValue);
  double from = m.toNumber(c.arg(0));
  from = std::isnan(from) || from < 0 ? 0 : std::trunc(from);
  std::u32string needle = text::decodeMovieText(m.toString(c.arg(1)).str(), m.swfVersion());
  bool caseSensitive = m.toBoolean(c.arg(2));
  auto fold = [caseSensitive](char32_t ch) {
    return caseSensitive || ch >= 0x80 ? ch : char32_t(std::tolower(static_cast<int>(ch)));
  };
  if (needle.empty()) return Value(-1.0);
  for (size_t i = static_cast<size_t>(std::min(from, double(chars.size()))); i + needle.size() <= chars.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && fold(chars[i + k].code) == fold(needle[k])) ++k;
    if (k == needle.size()) return Value(double(i));
  }
  return Value(-1.0);
}

Value setSelected(Machine& m, Call& c) {
  SnapshotData* d = dataOf(c.thisValue);
  if (!d || c.count < 3) return Value();
  std::vector<SnapshotChar> chars = charsOf(c.thisValue);
  size_t start = 0, end = 0;
  if (!clampRange(m, c, chars.size(), &start, &end)) return Value();
  d->selected.resize(chars.size());
  bool select = m.toBoolean(c.arg(2));
  for (size_t i = start; i < end; ++i) d->selected[i] = select;
  return Value();
}

Value getSelected(Machine& m, Call& c) {
  SnapshotData* d = dataOf(c.thisValue);
  if (!d || c.count < 2) return Value();
  std::vector<SnapshotChar> chars = charsOf(c.thisValue);
  size_t start = 0, end = 0;
  if (!clampRange(m, c, chars.size(), &start, &end)) return Value(false);
  for (size_t i = start; i < end && i < d->selected.size(); ++i)
    if (d->selected[i]) return Value(true);
  return Value(false);
}

Value getSelectedText(Machine& m, Call& c) {
  SnapshotData* d = dataOf(c.thisValue);
  if (!d) return Value();
  std::vector<SnapshotChar> chars = charsOf(c.thisValue);
  return makeText(m, textBetween(chars, 0, chars.size(), m.toBoolean(c.arg(0)), &d->selected));
}

// The character whose cell lies nearest (x, y), in the clip's pixels, within
// maxDistance of it; -1 for none.
Value hitTestTextNearPos(Machine& m, Call& c) {
  if (!dataOf(c.thisValue) || c.count < 2) return Value();
  std::vector<SnapshotChar> chars = charsOf(c.thisValue);
  double x = m.toNumber(c.arg(0)) * 20, y = m.toNumber(c.arg(1)) * 20;
  double reach = c.count > 2 ? m.toNumber(c.arg(2)) * 20 : 0;
  if (std::isnan(x) || std::isnan(y)) return Value(-1.0);
  if (std::isnan(reach) || reach < 0) reach = 0;
  double best = -1, bestDistance = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    const SnapshotChar& ch = chars[i];
    double dx = x < ch.left ? ch.left - x : (x > ch.right ? x - ch.right : 0);
    double dy = y < ch.top ? ch.top - y : (y > ch.bottom ? y - ch.bottom : 0);
    double distance = std::sqrt(dx * dx + dy * dy);
    if (distance <= reach && (best < 0 || distance < bestDistance)) {
      best = double(i);
      bestDistance = distance;
    }
  }
  return Value(best);
}

Value setSelectColor(Machine&, Call&) { return Value(); }

// One object per character: its place in its run, selection, font, colour,
// size and the corners of its cell.
Value getTextRunInfo(Machine& m, Call& c) {
  SnapshotData* d = dataOf(c.thisValue);
  if (!d || c.count < 2) return Value();
  std::vector<SnapshotChar> chars = charsOf(c.thisValue);
  ArrayObject* out = m.newArray();
  size_t start = 0, end = 0;
  if (!clampRange(m, c, chars.size(), &start, &end)) return Value(out);
  double n = 0;
  for (size_t i = start; i < end; ++i) {
    const SnapshotChar& ch = chars[i];
    Object* info = m.newObject();
    m.set(info, "indexInRun", Value(double(ch.indexInRun)));
    m.set(info, "selected", Value(i < d->selected.size() && d->selected[i]));
    m.set(info, "font", Value(m.makeString(ch.font)));
    m.set(info, "color", Value(double(ch.color)));
    m.set(info, "height", Value(ch.height / 20));
    m.set(info, "corner0x", Value(ch.left / 20));
    m.set(info, "corner0y", Value(ch.bottom / 20));
    m.set(info, "corner1x", Value(ch.right / 20));
    m.set(info, "corner1y", Value(ch.bottom / 20));
    m.set(info, "corner2x", Value(ch.right / 20));
    m.set(info, "corner2y", Value(ch.top / 20));
    m.set(info, "corner3x", Value(ch.left / 20));
    m.set(info, "corner3y", Value(ch.top / 20));
    m.arraySet(out, n++, Value(info));
  }
  return Value(out);
}

// Made through whatever _global.TextSnapshot is now, as the reference does.
Value getTextSnapshot(Machine& m, Call& c) {
  if (!spriteOf(c.thisValue)) return Value();
  Value constructor = m.get(m.global(), "TextSnapshot");
  return m.construct(constructor, &c.thisValue, 1);
}

}  // namespace

std::vector<SnapshotChar> snapshotChars(player::SpriteInstance& sprite) {
  std::vector<SnapshotChar> out;
  const player::Movie* movie = sprite.context().movie;
  if (!movie) return out;
  int version = movie->header.version;
  bool firstText = true;
  for (const auto& entry : sprite.children()) {
    const player::DisplayObject& o = entry.second;
    if (!o.def || o.def->kind != player::CharacterKind::StaticText || !o.def->staticText) continue;
    const swf::StaticTextDef& text = *o.def->staticText;
    bool newLine = !firstText;
    firstText = false;
    double lastY = 0;
    bool haveY = false;
    for (const swf::TextRun& run : text.runs) {
      if (haveY && run.y != lastY) newLine = true;
      haveY = true;
      lastY = run.y;
      const text::EmbeddedFont* font = movie->font(run.fontId);
      double x = run.x;
      uint32_t indexInRun = 0;
      for (const swf::GlyphEntry& g : run.glyphs) {
        SnapshotChar ch;
        if (font && g.index < font->def().codes.size())
          ch.code = text::decodeFontCode(font->def().codes[g.index], version, font->def().shiftJis);
        ch.startsLine = newLine;
        newLine = false;
        ch.indexInRun = indexInRun++;
        if (font) ch.font = font->nameUtf8();
        ch.color = (uint32_t(run.color.r) << 16) | (uint32_t(run.color.g) << 8) | run.color.b;
        ch.height = run.height;
        // The cell in the clip's space: the text's own matrix, then its placement.
        double cellLeft = x, cellRight = x + g.advance, top = run.y - run.height, bottom = run.y;
        auto place = [&](double px, double py, double* ox, double* oy) {
          const swf::Matrix& a = text.matrix;
          double tx = a.a * px + a.c * py + a.tx, ty = a.b * px + a.d * py + a.ty;
          const swf::Matrix& b = o.matrix;
          *ox = b.a * tx + b.c * ty + b.tx;
          *oy = b.b * tx + b.d * ty + b.ty;
        };
        place(cellLeft, top, &ch.left, &ch.top);
        place(cellRight, bottom, &ch.right, &ch.bottom);
        if (ch.left > ch.right) std::swap(ch.left, ch.right);
        if (ch.top > ch.bottom) std::swap(ch.top, ch.bottom);
        x += g.advance;
        out.push_back(ch);
      }
    }
  }
  return out;
}

void installTextSnapshot(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "TextSnapshot", snapshotConstructor, proto, kDontEnum);
  // Listed by for..in, newest first, as the reference lists them.
  m.method(proto, "getCount", getCount, 0, kVersion6);
  m.method(proto, "setSelected", setSelected, 0, kVersion6);
  m.method(proto, "getSelected", getSelected, 0, kVersion6);
  m.method(proto, "getText", getText, 0, kVersion6);
  m.method(proto, "getSelectedText", getSelectedText, 0, kVersion6);
  m.method(proto, "hitTestTextNearPos", hitTestTextNearPos, 0, kVersion6);
  m.method(proto, "findText", findText, 0, kVersion6);
  m.method(proto, "setSelectColor", setSelectColor, 0, kVersion6);
  m.method(proto, "getTextRunInfo", getTextRunInfo, 0, kVersion6);
  m.method(m.protos().movieClip, "getTextSnapshot", getTextSnapshot, 0, kDontEnum | kVersion6);
}

}  // namespace avm1
