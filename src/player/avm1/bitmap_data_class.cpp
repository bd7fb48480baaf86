// flash.display.BitmapData: pixels a script paints, and MovieClip.attachBitmap,
// which shows them on a clip's display list.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/core/sprite.h"
#include "player/render/paint.h"

namespace avm1 {

namespace {

// The largest side the reference player makes, in pixels.
constexpr int kMaxSide = 2880;

const char kData[] = "bitmapData";

// The pixels hang on the script's object in a cell of their own, counted
// against the heap's limit by their bytes.
class BitmapDataCell : public NativeObject {
 public:
  BitmapDataCell() : NativeObject(nullptr, kBitmapDataTag), pixels(std::make_shared<player::ScriptBitmap>()) {
    pixels->owner = this;
  }
  ~BitmapDataCell() override { pixels->owner = nullptr; }
  size_t footprint() const override {
    return NativeObject::footprint() + pixels->bitmap.pixels.capacity() * sizeof(uint32_t);
  }

  std::shared_ptr<player::ScriptBitmap> pixels;
  bool transparent = true;
};

BitmapDataCell* dataOf(const Value& v) { return static_cast<BitmapDataCell*>(hiddenData(v, kData, kBitmapDataTag)); }

// A BitmapData that has pixels: made with a valid size and not disposed.
BitmapDataCell* validData(const Value& v) {
  BitmapDataCell* d = dataOf(v);
  return d && d->pixels->bitmap.width > 0 ? d : nullptr;
}

swf::Bitmap& pixelsOf(BitmapDataCell* d) { return d->pixels->bitmap; }

// Straight 0xAARRGGBB as the stored premultiplied pixel; bitmaps without
// transparency are opaque whatever alpha is given.
uint32_t toStored(uint32_t argb, bool transparent) {
  uint8_t a = transparent ? static_cast<uint8_t>(argb >> 24) : 255;
  return render::premultiplied(swf::Rgba{static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
                                         static_cast<uint8_t>(argb), a});
}

// A stored pixel as straight 0xAARRGGBB.
uint32_t toStraight(uint32_t p) {
  uint32_t a = p >> 24;
  if (a == 0) return 0;
  if (a == 255) return p;
  auto channel = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
  return (a << 24) | (channel((p >> 16) & 255) << 16) | (channel((p >> 8) & 255) << 8) | channel(p & 255);
}

// A rectangle of whole pixels, as the methods read a flash.geom.Rectangle.
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
};

PixelRect rectOf(Machine& m, const Value& r) {
  PixelRect p;
  p.x = m.toInt32(m.getMember(r, "x"));
  p.y = m.toInt32(m.getMember(r, "y"));
  p.width = m.toInt32(m.getMember(r, "width"));
  p.height = m.toInt32(m.getMember(r, "height"));
  return p;
}

// Cuts `r` to 0, 0, width, height; false when nothing is left. Computed in
// 64 bits: scripts may give any 32-bit corner and size.
bool clipTo(PixelRect* r, int width, int height) {
  int64_t x0 = std::max<int64_t>(r->x, 0), y0 = std::max<int64_t>(r->y, 0);
  int64_t x1 = std::min<int64_t>(int64_t(r->x) + r->width, width);
  int64_t y1 = std::min<int64_t>(int64_t(r->y) + r->height, height);
  if (x1 <= x0 || y1 <= y0) return false;
  *r = PixelRect{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
  return true;
}

// Makes the pixels of `d`: `width` × `height` of one stored colour.
void allocatePixels(Machine& m, BitmapDataCell* d, int width, int height, uint32_t stored) {
  size_t count = size_t(width) * size_t(height);
  m.account(count * sizeof(uint32_t));
  swf::Bitmap& b = pixelsOf(d);
  b.pixels.assign(count, stored);
  b.width = width;
  b.height = height;
}

BitmapDataCell* attachData(Machine& m, Object* o) {
  BitmapDataCell* d = m.heap().make<BitmapDataCell>();
  attachHiddenData(o, kData, d);
  return d;
}

// A new BitmapData object (for clone and loadBitmap), its pixels to be filled.
BitmapDataCell* makeBitmapData(Machine& m, Value* out) {
  Object* o = m.heap().make<Object>(m.protos().bitmapData);
  *out = Value(o);
  return attachData(m, o);
}

// new BitmapData(width, height, transparent = true, fillColor = 0xFFFFFFFF):
// a size outside 1..2880 makes no object, `new` gives undefined. Run on an
// object by a subclass's super(), such a size leaves the object without
// pixels: it reads as width and height -1 and ignores the methods, as a
// disposed one does.
Value bitmapDataConstructor(Machine& m, Call& c) {
  Object* o = c.thisValue.object();
  if (!o || dataOf(c.thisValue)) return Value();
  BitmapDataCell* d = attachData(m, o);
  int width = m.toInt32(c.arg(0)), height = m.toInt32(c.arg(1));
  d->transparent = c.count > 2 ? m.toBoolean(c.arg(2)) : true;
  uint32_t fill = c.count > 3 ? m.toUint32(c.arg(3)) : 0xFFFFFFFFu;
  if (c.count < 2 || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    c.refused = true;
    return Value();
  }
  allocatePixels(m, d, width, height, toStored(fill, d->transparent));
  return Value();
}

enum Field { kWidth, kHeight, kRectangle, kTransparent };

Value getField(Machine& m, Call& c) {
  BitmapDataCell* d = validData(c.thisValue);
  if (!d) return Value(-1);
  const swf::Bitmap& b = pixelsOf(d);
  switch (c.callee->magic) {
    case kWidth: return Value(b.width);
    case kHeight: return Value(b.height);
    case kRectangle: return Value(makeRectangle(m, Value(0), Value(0), Value(b.width), Value(b.height)));
    default: return Value(d->transparent);
  }
}

// The stored pixel at (x, y), or null outside the bitmap.
uint32_t* pixelAt(Machine& m, BitmapDataCell* d, const Value& xv, const Value& yv) {
  swf::Bitmap& b = pixelsOf(d);
  int x = m.toInt32(xv), y = m.toInt32(yv);
  if (x < 0 || y < 0 || x >= b.width || y >= b.height) return nullptr;
  return &b.pixels[size_t(y) * size_t(b.width) + size_t(x)];
}

// getPixel gives 0xRRGGBB, getPixel32 0xAARRGGBB as a signed 32-bit number
// (opaque pixels read negative); 0 outside the bitmap.
Value getPixel(Machine& m, Call& c) {
  BitmapDataCell* d = validData(c.thisValue);
  const uint32_t* p = d ? pixelAt(m, d, c.arg(0), c.arg(1)) : nullptr;
  if (!p) return Value(0);
  uint32_t argb = toStraight(*p);
  if (c.callee->magic == 0) return Value(static_cast<double>(argb & 0xFFFFFFu));
  return Value(static_cast<double>(static_cast<int32_t>(argb)));
}

// setPixel keeps the pixel's alpha; setPixel32 sets it too.
Value setPixel(Machine& m, Call& c) {
  BitmapDataCell* d = validData(c.thisValue);
  uint32_t* p = d ? pixelAt(m, d, c.arg(0), c.arg(1)) : nullptr;
  if (!p) return Value();
  uint32_t color = m.toUint32(c.arg(2));
  if (c.callee->magic == 0) color = (toStraight(*p) & 0xFF000000u) | (color & 0xFFFFFFu);
  *p = toStored(color, d->transparent);
  return Value();
}

Value fillRect(Machine& m, Call& c) {
  BitmapDataCell* d = validData(c.thisValue);
  if (!d || !c.arg(0).object()) return Value();
  swf::Bitmap& b = pixelsOf(d);
  PixelRect r = rectOf(m, c.arg(0));
  if (!clipTo(&r, b.width, b.height)) return Value();
  uint32_t stored = toStored(m.toUint32(c.arg(1)), d->transparent);
  m.charge(int64_t(r.width) * r.height / 64);
  for (int y = r.y; y < r.y + r.height; ++y) {
    uint32_t* row = &b.pixels[size_t(y) * size_t(b.width) + size_t(r.x)];
    std::fill(row, row + r.width, stored);
  }
  return Value();
}

Value clone(Machine& m, Call& c) {
  BitmapDataCell* d = validData(c.thisValue);
  if (!d) return Value();
  Value result;
  BitmapDataCell* copy = makeBitmapData(m, &result);
  copy->transparent = d->transparent;
  const swf::Bitmap& b = pixelsOf(d);
  m.account(b.pixels.size() * sizeof(uint32_t));
  pixelsOf(copy) = b;
  return result;
}

Value dispose(Machine&, Call& c) {
  if (BitmapDataCell* d = dataOf(c.thisValue)) d->pixels->bitmap = swf::Bitmap();
  return Value();
}

// copyPixels(source, sourceRect, destPoint[, alphaBitmap, alphaPoint, mergeAlpha]):
// the source rectangle, cut to both bitmaps, replaces what lies at the
// point, or with mergeAlpha is drawn over it. An alpha bitmap is not used.
Value copyPixels(Machine& m, Call& c) {
  BitmapDataCell* d = validData(c.thisValue);
  BitmapDataCell* source = validData(c.arg(0));
  if (!d || !source || !c.arg(1).object() || !c.arg(2).object()) return Value();
  swf::Bitmap& to = pixelsOf(d);
  const swf::Bitmap& from = pixelsOf(source);
  PixelRect r = rectOf(m, c.arg(1));
  int64_t dx = m.toInt32(m.getMember(c.arg(2), "x")), dy = m.toInt32(m.getMember(c.arg(2), "y"));
  bool merge = m.toBoolean(c.arg(5));
  // Cut to the source, then to the destination, keeping both corners in step.
  PixelRect cut = r;
  if (!clipTo(&cut, from.width, from.height)) return Value();
  dx += cut.x - int64_t(r.x);
  dy += cut.y - int64_t(r.y);
  PixelRect target{0, 0, cut.width, cut.height};
  if (dx < -kMaxSide || dy < -kMaxSide || dx > kMaxSide || dy > kMaxSide) return Value();
  target.x = static_cast<int>(dx);
  target.y = static_cast<int>(dy);
  if (!clipTo(&target, to.width, to.height)) return Value();
  int sx = cut.x + (target.x - static_cast<int>(dx)), sy = cut.y + (target.y - static_cast<int>(dy));
  m.charge(int64_t(target.width) * target.height / 64);
  // A copy within one bitmap reads the rows as they were.
  std::vector<uint32_t> rows;
  const uint32_t* src = from.pixels.data();
  size_t srcStride = size_t(from.width);
  if (&from == &to) {
    rows.resize(size_t(target.width) * size_t(target.height));
    for (int y = 0; y < target.height; ++y)
      std::copy_n(&from.pixels[size_t(sy + y) * srcStride + size_t(sx)], target.width,
                  &rows[size_t(y) * size_t(target.width)]);
    src = rows.data();
    srcStride = size_t(target.width);
    sx = sy = 0;
  }
  for (int y = 0; y < target.height; ++y) {
    const uint32_t* in = src + size_t(sy + y) * srcStride + size_t(sx);
    uint32_t* out = &to.pixels[size_t(target.y + y) * size_t(to.width) + size_t(target.x)];
    for (int x = 0; x < target.width; ++x) {
      uint32_t p = merge ? render::blendOver(out[x], in[x]) : in[x];
      out[x] = d->transparent ? p : toStored(toStraight(p), false);
    }
  }
  return Value();
}

// BitmapData.loadBitmap(exportName): a copy of an exported bitmap
// character; undefined when the name exports no bitmap.
Value loadBitmap(Machine& m, Call& c) {
  player::RunContext* display = m.display();
  if (!display || !display->movie) return Value();
  const player::Movie& movie = *display->movie;
  const player::CharacterDef* def = movie.character(movie.exportedId(m.toString(c.arg(0)).str()));
  if (!def || def->kind != player::CharacterKind::Bitmap || !def->bitmap || def->bitmap->width <= 0 ||
      def->bitmap->height <= 0)
    return Value();
  Value result;
  BitmapDataCell* d = makeBitmapData(m, &result);
  m.account(def->bitmap->pixels.size() * sizeof(uint32_t));
  pixelsOf(d) = *def->bitmap;
  return result;
}

// attachBitmap(bitmap, depth[, pixelSnapping, smoothing]): the bitmap's
// pixels at that depth of the clip, replacing what is there. What the
// script paints later shows too; a disposed bitmap shows nothing.
Value attachBitmap(Machine& m, Call& c) {
  player::SpriteInstance* s = spriteOf(c.thisValue);
  BitmapDataCell* d = validData(c.arg(0));
  if (!s || !d || c.count < 2 || !m.display()) return Value();
  double depthNumber = m.toNumber(c.arg(1));
  if (!std::isfinite(depthNumber)) return Value();
  int depth = static_cast<int>(std::max(-16384.0, std::min(depthNumber, 2130706428.0))) + 16384;
  auto def = std::make_shared<player::CharacterDef>();
  def->kind = player::CharacterKind::Bitmap;
  player::DisplayObject* o = s->createScriptObject(depth, std::move(def), "", swf::Matrix());
  if (!o) return Value();
  o->scriptBitmap = d->pixels;
  o->smoothing = m.toBoolean(c.arg(3));
  return Value();
}

}  // namespace

void installBitmapData(Machine& m) {
  Prototypes& p = m.protos();
  p.bitmapData = m.heap().make<Object>(p.object);
  Object* bp = p.bitmapData;
  FunctionObject* cls = m.defineClass(displayPackage(m), "BitmapData", bitmapDataConstructor, bp, 0);
  m.method(cls, "loadBitmap", loadBitmap, 0, 0);
  cls->define("RED_CHANNEL", Value(1));
  cls->define("GREEN_CHANNEL", Value(2));
  cls->define("BLUE_CHANNEL", Value(4));
  cls->define("ALPHA_CHANNEL", Value(8));
  const char* const fields[] = {"width", "height", "rectangle", "transparent"};
  for (int i = 0; i < 4; ++i) bp->defineVirtual(fields[i], m.newNative(getField, i), nullptr, kReadOnly);
  m.method(bp, "getPixel", getPixel, 0, 0);
  m.method(bp, "getPixel32", getPixel, 1, 0);
  m.method(bp, "setPixel", setPixel, 0, 0);
  m.method(bp, "setPixel32", setPixel, 1, 0);
  m.method(bp, "fillRect", fillRect, 0, 0);
  m.method(bp, "copyPixels", copyPixels, 0, 0);
  m.method(bp, "clone", clone, 0, 0);
  m.method(bp, "dispose", dispose, 0, 0);
  m.method(p.movieClip, "attachBitmap", attachBitmap, 0, kDontEnum | kVersion8);
}

}  // namespace avm1
