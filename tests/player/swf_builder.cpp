#include "swf_builder.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace swftest {

Bytes encodeJpeg(int width, int height, const uint8_t* rgb, int quality) {
  Bytes out;
  stbi_write_jpg_to_func(
      [](void* context, void* data, int size) {
        auto* bytes = static_cast<Bytes*>(context);
        bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
      },
      &out, width, height, 3, rgb, quality);
  return out;
}

void Writer::ubits(uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) {
    bitBuffer_ = (bitBuffer_ << 1) | ((v >> i) & 1);
    if (++bitCount_ == 8) {
      out_.push_back(static_cast<uint8_t>(bitBuffer_));
      bitBuffer_ = 0;
      bitCount_ = 0;
    }
  }
}

void Writer::flush() {
  if (bitCount_ > 0) {
    out_.push_back(static_cast<uint8_t>(bitBuffer_ << (8 - bitCount_)));
    bitBuffer_ = 0;
    bitCount_ = 0;
  }
}

int Writer::signedBits(int32_t v) {
  int n = 1;
  while (n < 32 && (v < -(1 << (n - 1)) || v > (1 << (n - 1)) - 1)) ++n;
  return n;
}

void Writer::rect(int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax) {
  int n = std::max({signedBits(xMin), signedBits(xMax), signedBits(yMin), signedBits(yMax)});
  ubits(n, 5);
  sbits(xMin, n);
  sbits(xMax, n);
  sbits(yMin, n);
  sbits(yMax, n);
  flush();
}

void Writer::matrix(double a, double b, double c, double d, int32_t tx, int32_t ty) {
  auto fx = [](double v) { return static_cast<int32_t>(std::lround(v * 65536)); };
  bool scale = a != 1 || d != 1;
  ubits(scale, 1);
  if (scale) {
    int n = std::max(signedBits(fx(a)), signedBits(fx(d)));
    ubits(n, 5);
    sbits(fx(a), n);
    sbits(fx(d), n);
  }
  bool rotate = b != 0 || c != 0;
  ubits(rotate, 1);
  if (rotate) {
    int n = std::max(signedBits(fx(b)), signedBits(fx(c)));
    ubits(n, 5);
    sbits(fx(b), n);
    sbits(fx(c), n);
  }
  int n = std::max(signedBits(tx), signedBits(ty));
  ubits(n, 5);
  sbits(tx, n);
  sbits(ty, n);
  flush();
}

void Writer::colorTransform(int rm, int gm, int bm, int am, int ra, int ga, int ba, int aa) {
  int n = 1;
  for (int v : {rm, gm, bm, am, ra, ga, ba, aa}) n = std::max(n, signedBits(v));
  ubits(1, 1);  // adds
  ubits(1, 1);  // multipliers
  ubits(n, 4);
  for (int v : {rm, gm, bm, am, ra, ga, ba, aa}) sbits(v, n);
  flush();
}

void Path::applyPending(bool move, int32_t x, int32_t y) {
  if (pending_.fill0 < 0 && pending_.fill1 < 0 && pending_.line < 0 && !move) return;
  Record r = pending_;
  r.kind = Record::Style;
  r.move = move;
  r.a = x;
  r.b = y;
  records_.push_back(r);
  pending_ = Record{Record::Style};
}

Path& Path::moveTo(int32_t x, int32_t y) {
  applyPending(true, x, y);
  x_ = x;
  y_ = y;
  return *this;
}

Path& Path::lineTo(int32_t x, int32_t y) {
  applyPending(false, 0, 0);
  Record r{Record::Line};
  r.a = x - x_;
  r.b = y - y_;
  records_.push_back(r);
  x_ = x;
  y_ = y;
  return *this;
}

Path& Path::curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
  applyPending(false, 0, 0);
  Record r{Record::Curve};
  r.a = cx - x_;
  r.b = cy - y_;
  r.c = x - cx;
  r.d = y - cy;
  records_.push_back(r);
  x_ = x;
  y_ = y;
  return *this;
}

Path& Path::rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  moveTo(x0, y0);
  lineTo(x1, y0);
  lineTo(x1, y1);
  lineTo(x0, y1);
  return lineTo(x0, y0);
}

int ShapeBuilder::solidFill(uint32_t argb) {
  Writer w;
  w.u8(0);
  if (version_ >= 3) {
    w.rgba(argb);
  } else {
    w.rgb(argb);
  }
  fills_.push_back(w.data());
  return static_cast<int>(fills_.size());
}

int ShapeBuilder::gradientFill(int kind, const Matrix& m, int spread,
                               const std::vector<std::pair<int, uint32_t>>& stops) {
  Writer w;
  w.u8(kind);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  w.u8((spread << 6) | static_cast<int>(stops.size()));
  for (const auto& s : stops) {
    w.u8(s.first);
    if (version_ >= 3) {
      w.rgba(s.second);
    } else {
      w.rgb(s.second);
    }
  }
  fills_.push_back(w.data());
  return static_cast<int>(fills_.size());
}

int ShapeBuilder::bitmapFill(uint16_t bitmapId, const Matrix& m, bool repeat, bool smooth) {
  Writer w;
  w.u8(repeat ? (smooth ? 0x40 : 0x42) : (smooth ? 0x41 : 0x43));
  w.u16(bitmapId);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  fills_.push_back(w.data());
  return static_cast<int>(fills_.size());
}

int ShapeBuilder::lineStyle(int widthTwips, uint32_t argb) {
  Writer w;
  w.u16(widthTwips);
  if (version_ >= 4) {
    w.u8(0);  // round caps and joins, no fill, scaling
    w.u8(0);
    w.rgba(argb);
  } else if (version_ == 3) {
    w.rgba(argb);
  } else {
    w.rgb(argb);
  }
  lines_.push_back(w.data());
  return static_cast<int>(lines_.size());
}

int ShapeBuilder::tagCode() const {
  return version_ == 1 ? 2 : version_ == 2 ? 22 : version_ == 3 ? 32 : 83;
}

Bytes ShapeBuilder::build(uint16_t id, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax,
                          const Path& path) const {
  Writer w;
  w.u16(id);
  w.rect(xMin, xMax, yMin, yMax);
  if (version_ >= 4) {
    w.rect(xMin, xMax, yMin, yMax);
    w.u8(0);
  }
  w.u8(static_cast<uint32_t>(fills_.size()));
  for (const Bytes& f : fills_) w.bytes(f);
  w.u8(static_cast<uint32_t>(lines_.size()));
  for (const Bytes& l : lines_) w.bytes(l);
  int fillBits = 1, lineBits = 1;
  while ((1u << fillBits) <= fills_.size()) ++fillBits;
  while ((1u << lineBits) <= lines_.size()) ++lineBits;
  writeRecords(w, path, fillBits, lineBits);
  return w.data();
}

void writeRecords(Writer& w, const Path& path, int fillBits, int lineBits) {
  w.ubits(fillBits, 4);
  w.ubits(lineBits, 4);
  for (const Path::Record& r : path.records_) {
    switch (r.kind) {
      case Path::Record::Style: {
        w.ubits(0, 1);
        w.ubits(0, 1);  // no new styles
        w.ubits(r.line >= 0, 1);
        w.ubits(r.fill1 >= 0, 1);
        w.ubits(r.fill0 >= 0, 1);
        w.ubits(r.move, 1);
        if (r.move) {
          int n = std::max(Writer::signedBits(r.a), Writer::signedBits(r.b));
          w.ubits(n, 5);
          w.sbits(r.a, n);
          w.sbits(r.b, n);
        }
        if (r.fill0 >= 0) w.ubits(r.fill0, fillBits);
        if (r.fill1 >= 0) w.ubits(r.fill1, fillBits);
        if (r.line >= 0) w.ubits(r.line, lineBits);
        break;
      }
      case Path::Record::Line: {
        int n = std::max({Writer::signedBits(r.a), Writer::signedBits(r.b), 2});
        w.ubits(1, 1);
        w.ubits(1, 1);
        w.ubits(n - 2, 4);
        w.ubits(1, 1);  // general line
        w.sbits(r.a, n);
        w.sbits(r.b, n);
        break;
      }
      case Path::Record::Curve: {
        int n = std::max({Writer::signedBits(r.a), Writer::signedBits(r.b), Writer::signedBits(r.c),
                          Writer::signedBits(r.d), 2});
        w.ubits(1, 1);
        w.ubits(0, 1);
        w.ubits(n - 2, 4);
        w.sbits(r.a, n);
        w.sbits(r.b, n);
        w.sbits(r.c, n);
        w.sbits(r.d, n);
        break;
      }
    }
  }
  w.ubits(0, 6);  // end of shape
  w.flush();
}

void Timeline::tag(int code, const Bytes& body) {
  Writer w;
  if (body.size() < 63) {
    w.u16((code << 6) | static_cast<int>(body.size()));
  } else {
    w.u16((code << 6) | 63);
    w.u32(static_cast<uint32_t>(body.size()));
  }
  w.bytes(body);
  bytes_.insert(bytes_.end(), w.data().begin(), w.data().end());
}

void Timeline::place(uint16_t depth, uint16_t id, const Matrix& m, int clipDepth,
                     const std::string& name) {
  Writer w;
  w.u8(0x02 | 0x04 | (name.empty() ? 0 : 0x20) | (clipDepth ? 0x40 : 0));
  w.u16(depth);
  w.u16(id);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  if (!name.empty()) w.text(name);
  if (clipDepth) w.u16(clipDepth);
  tag(26, w.data());
}

void Timeline::placeWithColor(uint16_t depth, uint16_t id, const Matrix& m, int rm, int gm, int bm,
                              int am, int ra, int ga, int ba, int aa) {
  Writer w;
  w.u8(0x02 | 0x04 | 0x08);
  w.u16(depth);
  w.u16(id);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  w.colorTransform(rm, gm, bm, am, ra, ga, ba, aa);
  tag(26, w.data());
}

void Timeline::move(uint16_t depth, const Matrix& m) {
  Writer w;
  w.u8(0x01 | 0x04);
  w.u16(depth);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  tag(26, w.data());
}

void Timeline::moveRatio(uint16_t depth, uint16_t ratio) {
  Writer w;
  w.u8(0x01 | 0x10);
  w.u16(depth);
  w.u16(ratio);
  tag(26, w.data());
}

void Timeline::place3(uint16_t depth, uint16_t id, const Matrix& m, const Place3Extras& x) {
  Writer w;
  w.u8(0x02 | 0x04);
  w.u8((x.filters.empty() ? 0 : 0x01) | (x.blendMode ? 0x02 : 0) | (x.cacheAsBitmap >= 0 ? 0x04 : 0) |
       (x.visible >= 0 ? 0x20 : 0) | (x.background ? 0x40 : 0));
  w.u16(depth);
  w.u16(id);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  if (!x.filters.empty()) w.bytes(x.filters);
  if (x.blendMode) w.u8(static_cast<uint32_t>(x.blendMode));
  if (x.cacheAsBitmap >= 0) w.u8(static_cast<uint32_t>(x.cacheAsBitmap));
  if (x.visible >= 0) w.u8(static_cast<uint32_t>(x.visible));
  if (x.background) w.rgba(x.background);
  tag(70, w.data());
}

namespace filter {

namespace {
void fixed16(Writer& w, double v) { w.u32(static_cast<uint32_t>(static_cast<int32_t>(v * 65536))); }
void fixed8(Writer& w, double v) { w.u16(static_cast<uint32_t>(static_cast<int16_t>(v * 256)) & 0xFFFF); }
}  // namespace

Bytes blur(double blurX, double blurY, int passes) {
  Writer w;
  w.u8(1);
  fixed16(w, blurX);
  fixed16(w, blurY);
  w.u8(static_cast<uint32_t>(passes << 3));
  return w.data();
}

Bytes dropShadow(uint32_t argb, double blur, double angle, double distance, double strength, bool inner,
                 bool knockout, bool hideObject, int passes) {
  Writer w;
  w.u8(0);
  w.rgba(argb);
  fixed16(w, blur);
  fixed16(w, blur);
  fixed16(w, angle);
  fixed16(w, distance);
  fixed8(w, strength);
  w.u8((inner ? 0x80 : 0) | (knockout ? 0x40 : 0) | (hideObject ? 0 : 0x20) | static_cast<uint32_t>(passes));
  return w.data();
}

Bytes glow(uint32_t argb, double blur, double strength, int passes) {
  Writer w;
  w.u8(2);
  w.rgba(argb);
  fixed16(w, blur);
  fixed16(w, blur);
  fixed8(w, strength);
  w.u8(0x20 | static_cast<uint32_t>(passes));
  return w.data();
}

Bytes bevel() {
  Writer w;
  w.u8(3);
  w.rgba(0xFFFFFFFF);
  w.rgba(0xFF000000);
  fixed16(w, 4);
  fixed16(w, 4);
  fixed16(w, 0.785);
  fixed16(w, 2);
  fixed8(w, 1);
  w.u8(0x80 | 0x20 | 1);  // inner, over the object, one pass
  return w.data();
}

Bytes colorMatrix() {
  Writer w;
  w.u8(6);
  for (int i = 0; i < 20; ++i) {
    float v = i % 6 == 0 ? 1.0f : 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    w.u32(bits);
  }
  return w.data();
}

Bytes convolution() {
  Writer w;
  w.u8(5);
  w.u8(3);
  w.u8(1);
  for (float v : {3.0f, 0.0f, 1.0f, 1.0f, 1.0f}) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    w.u32(bits);
  }
  w.rgba(0);
  w.u8(0x02 | 0x01);  // clamp, keep alpha
  return w.data();
}

Bytes list(std::initializer_list<Bytes> filters) {
  Writer w;
  w.u8(static_cast<uint32_t>(filters.size()));
  for (const Bytes& f : filters) w.bytes(f);
  return w.data();
}

}  // namespace filter

void Timeline::remove(uint16_t depth) {
  Writer w;
  w.u16(depth);
  tag(28, w.data());
}

void Timeline::label(const std::string& name) {
  Writer w;
  w.text(name);
  tag(43, w.data());
}

void Timeline::action(const Bytes& code) {
  Bytes body = code;
  body.push_back(0);
  tag(12, body);
}

void Timeline::initAction(uint16_t spriteId, const Bytes& code) {
  Writer w;
  w.u16(spriteId);
  w.bytes(code);
  w.u8(0);
  tag(59, w.data());
}

void Timeline::placeWithEvents(uint16_t depth, uint16_t id, const std::string& name,
                               const std::vector<std::pair<uint32_t, Bytes>>& events, const Matrix& m) {
  Writer w;
  w.u8(0x80 | 0x20 | 0x04 | 0x02);  // clip actions, name, matrix, character
  w.u16(depth);
  w.u16(id);
  w.matrix(m.a, m.b, m.c, m.d, m.tx, m.ty);
  w.text(name);
  w.u16(0);
  uint32_t all = 0;
  for (const auto& e : events) all |= e.first;
  w.u32(all);
  for (const auto& e : events) {
    w.u32(e.first);
    w.u32(static_cast<uint32_t>(e.second.size() + 1));
    w.bytes(e.second);
    w.u8(0);
  }
  w.u32(0);
  tag(26, w.data());
}

namespace act {

Bytes gotoFrame(uint16_t frame) { return {0x81, 2, 0, static_cast<uint8_t>(frame), static_cast<uint8_t>(frame >> 8)}; }

Bytes gotoLabel(const std::string& label) {
  Writer w;
  w.u8(0x8C);
  w.u16(static_cast<uint32_t>(label.size() + 1));
  w.text(label);
  return w.data();
}

Bytes pushNumber(double v) {
  // Type 6: a double stored as two 32-bit words, high word first.
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  Bytes b{0x96, 9, 0, 6};
  uint32_t hi = static_cast<uint32_t>(bits >> 32), lo = static_cast<uint32_t>(bits);
  for (uint32_t word : {hi, lo})
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(word >> (8 * i)));
  return b;
}

Bytes pushString(const std::string& s) {
  Writer w;
  w.u8(0x96);
  w.u16(static_cast<uint32_t>(s.size() + 2));
  w.u8(0);  // string
  w.text(s);
  return w.data();
}

Bytes gotoFrame2(bool play) { return {0x9F, 1, 0, static_cast<uint8_t>(play ? 1 : 0)}; }

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace act

void MovieBuilder::defineMorph(uint16_t id, const Path& start, uint32_t startArgb, const Path& end,
                               uint32_t endArgb, int32_t extent) {
  Writer edges;
  writeRecords(edges, start, 1, 0);
  Bytes startEdges = edges.data();
  Writer endWriter;
  writeRecords(endWriter, end, 0, 0);
  Writer w;
  w.u16(id);
  w.rect(0, extent, 0, extent);
  w.rect(0, extent, 0, extent);
  Writer styles;
  styles.u8(1);
  styles.u8(0);  // solid
  styles.rgba(startArgb);
  styles.rgba(endArgb);
  styles.u8(0);  // no line styles
  w.u32(static_cast<uint32_t>(styles.data().size() + startEdges.size()));
  w.bytes(styles.data());
  w.bytes(startEdges);
  w.bytes(endWriter.data());
  root_.tag(46, w.data());
}

MovieBuilder::MovieBuilder(int widthPx, int heightPx, double fps, int version)
    : width_(widthPx), height_(heightPx), version_(version), fps_(fps) {}

void MovieBuilder::background(uint32_t rgb) {
  Writer w;
  w.rgb(rgb);
  root_.tag(9, w.data());
}

void MovieBuilder::defineButton2(uint16_t id, const std::vector<ButtonRecord>& records) {
  defineButton2(id, records, {}, false);
}

void MovieBuilder::exportAs(uint16_t id, const std::string& name) {
  Writer w;
  w.u16(1);
  w.u16(id);
  w.text(name);
  root_.tag(56, w.data());
}

Script& Script::longAction(uint8_t code, const Bytes& payload) {
  code_.push_back(code);
  code_.push_back(static_cast<uint8_t>(payload.size()));
  code_.push_back(static_cast<uint8_t>(payload.size() >> 8));
  code_.insert(code_.end(), payload.begin(), payload.end());
  return *this;
}

Script& Script::push(double v) {
  Bytes b = act::pushNumber(v);
  code_.insert(code_.end(), b.begin(), b.end());
  return *this;
}

Script& Script::push(const std::string& s) {
  Bytes b = act::pushString(s);
  code_.insert(code_.end(), b.begin(), b.end());
  return *this;
}

Script& Script::push(bool b) { return longAction(0x96, {5, static_cast<uint8_t>(b ? 1 : 0)}); }
Script& Script::pushNull() { return longAction(0x96, {2}); }
Script& Script::pushUndefined() { return longAction(0x96, {3}); }
Script& Script::pushRegister(int r) { return longAction(0x96, {4, static_cast<uint8_t>(r)}); }
Script& Script::storeRegister(int r) { return longAction(0x87, {static_cast<uint8_t>(r)}); }
Script& Script::gotoFrame2(bool play) { return longAction(0x9F, {static_cast<uint8_t>(play ? 1 : 0)}); }

Script& Script::op(uint8_t code) {
  code_.push_back(code);
  return *this;
}

Script& Script::function(const std::string& name, const std::vector<std::string>& params, const Script& body) {
  Writer w;
  w.text(name);
  w.u16(static_cast<uint32_t>(params.size()));
  for (const std::string& p : params) w.text(p);
  Bytes code = body.bytes();
  w.u16(static_cast<uint32_t>(code.size()));
  longAction(0x9B, w.data());
  code_.insert(code_.end(), code.begin(), code.end());
  return *this;
}

Script& Script::function2(const std::string& name, const std::vector<std::pair<int, std::string>>& params,
                          uint16_t flags, int registers, const Script& body) {
  Writer w;
  w.text(name);
  w.u16(static_cast<uint32_t>(params.size()));
  w.u8(static_cast<uint32_t>(registers));
  w.u16(flags);
  for (const auto& p : params) {
    w.u8(static_cast<uint32_t>(p.first));
    w.text(p.second);
  }
  Bytes code = body.bytes();
  w.u16(static_cast<uint32_t>(code.size()));
  longAction(0x8E, w.data());
  code_.insert(code_.end(), code.begin(), code.end());
  return *this;
}

Script& Script::tryCatch(const Script& body, const std::string& catchName, const Script& handler,
                         const Script* finally) {
  Bytes tryCode = body.bytes(), catchCode = handler.bytes();
  Bytes finallyCode = finally ? finally->bytes() : Bytes();
  // The try block ends with a jump over the catch block.
  Writer jump;
  jump.u8(0x99);
  jump.u16(2);
  jump.u16(static_cast<uint32_t>(catchCode.size()));
  tryCode.insert(tryCode.end(), jump.data().begin(), jump.data().end());
  Writer w;
  w.u8(0x01 | (finally ? 0x02 : 0));
  w.u16(static_cast<uint32_t>(tryCode.size()));
  w.u16(static_cast<uint32_t>(catchCode.size()));
  w.u16(static_cast<uint32_t>(finallyCode.size()));
  w.text(catchName);
  longAction(0x8F, w.data());
  code_.insert(code_.end(), tryCode.begin(), tryCode.end());
  code_.insert(code_.end(), catchCode.begin(), catchCode.end());
  code_.insert(code_.end(), finallyCode.begin(), finallyCode.end());
  return *this;
}

Script& Script::label(const std::string& name) {
  labels_.emplace_back(name, code_.size());
  return *this;
}

Script& Script::jump(const std::string& label) {
  longAction(0x99, {0, 0});
  jumps_.emplace_back(label, code_.size() - 2);
  return *this;
}

Script& Script::ifTrue(const std::string& label) {
  longAction(0x9D, {0, 0});
  jumps_.emplace_back(label, code_.size() - 2);
  return *this;
}

Bytes Script::bytes() const {
  Bytes out = code_;
  for (const auto& j : jumps_) {
    for (const auto& l : labels_) {
      if (l.first != j.first) continue;
      // Offsets count from the end of the jump action.
      int offset = static_cast<int>(l.second) - static_cast<int>(j.second + 2);
      out[j.second] = static_cast<uint8_t>(offset & 0xFF);
      out[j.second + 1] = static_cast<uint8_t>((offset >> 8) & 0xFF);
    }
  }
  return out;
}

void MovieBuilder::defineSprite(uint16_t id, const Timeline& t, int frames) {
  Writer w;
  w.u16(id);
  w.u16(frames);
  w.bytes(t.bytes());
  w.u16(0);  // End
  root_.tag(39, w.data());
}

void MovieBuilder::defineLosslessBitmap(uint16_t id, int w, int h, const std::vector<uint32_t>& argb) {
  Bytes raw;
  for (uint32_t p : argb) {
    raw.push_back(static_cast<uint8_t>(p >> 24));
    raw.push_back(static_cast<uint8_t>(p >> 16));
    raw.push_back(static_cast<uint8_t>(p >> 8));
    raw.push_back(static_cast<uint8_t>(p));
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packedSize);
  compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  Writer body;
  body.u16(id);
  body.u8(5);
  body.u16(w);
  body.u16(h);
  body.bytes(packed);
  root_.tag(36, body.data());
}

Bytes MovieBuilder::finish(bool compressed) const {
  Writer body;
  body.rect(0, width_ * 20, 0, height_ * 20);
  body.u16(static_cast<uint32_t>(std::lround(fps_ * 256)));
  // Frame count from the ShowFrame tags at the root.
  int frames = 0;
  const Bytes& t = root_.bytes();
  for (size_t p = 0; p + 2 <= t.size();) {
    uint32_t head = t[p] | (t[p + 1] << 8);
    size_t len = head & 63;
    p += 2;
    if (len == 63) {
      len = t[p] | (t[p + 1] << 8) | (t[p + 2] << 16) | (uint32_t(t[p + 3]) << 24);
      p += 4;
    }
    if ((head >> 6) == 1) ++frames;
    p += len;
  }
  body.u16(frames);
  body.bytes(t);
  body.u16(0);  // End
  Bytes payload = body.data();
  Writer head;
  head.u8(compressed ? 'C' : 'F');
  head.u8('W');
  head.u8('S');
  head.u8(version_);
  head.u32(static_cast<uint32_t>(payload.size() + 8));
  Bytes out = head.data();
  if (!compressed) {
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
  }
  uLongf packedSize = compressBound(static_cast<uLong>(payload.size()));
  Bytes packed(packedSize);
  compress(packed.data(), &packedSize, payload.data(), static_cast<uLong>(payload.size()));
  out.insert(out.end(), packed.begin(), packed.begin() + packedSize);
  return out;
}

void defineBoxFont(MovieBuilder& m, uint16_t id) {
  std::vector<Glyph> glyphs(3);
  glyphs[0].code = U'A';
  glyphs[0].outline.fill1(1).rect(100, -700, 412, 0);
  glyphs[1].code = U'B';
  glyphs[1].outline.fill1(1).rect(100, -350, 412, 0);
  glyphs[2].code = U' ';
  m.defineFont2(id, "Boxes", glyphs, 800, 224);
}

}  // namespace swftest
