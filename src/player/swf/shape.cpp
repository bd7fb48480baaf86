#include "player/swf/shape.h"

#include <algorithm>
#include <cmath>

#include "player/swf/bit_reader.h"

namespace swf {

namespace {

// Edge coordinates are kept within this range so that garbage deltas cannot
// overflow and drawings stay finite.
constexpr int64_t kCoordLimit = int64_t(1) << 30;

int32_t clampCoord(int64_t v) {
  return static_cast<int32_t>(std::max(-kCoordLimit, std::min(kCoordLimit, v)));
}

struct StyleSet {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
};

struct StyledEdge {
  Edge edge;
  uint32_t fill0 = 0, fill1 = 0, line = 0;  // 1-based into the set; 0 = none
  uint32_t set = 0;
};

struct RawShape {
  std::vector<StyleSet> sets;
  std::vector<StyledEdge> edges;
};

void readGradientStops(BitReader& r, bool rgba, Gradient* g) {
  uint8_t head = r.u8();
  uint8_t spread = head >> 6;
  g->spread = spread == 1 ? Spread::Reflect : spread == 2 ? Spread::Repeat : Spread::Pad;
  g->linearRgb = ((head >> 4) & 3) == 1;
  int count = head & 0x0F;
  g->stops.clear();
  for (int i = 0; i < count && !r.failed(); ++i) {
    GradientStop s;
    s.ratio = r.u8();
    s.color = rgba ? r.rgba() : r.rgb();
    g->stops.push_back(s);
  }
}

bool readFillStyle(BitReader& r, int version, FillStyle* f) {
  uint8_t type = r.u8();
  bool rgba = version >= 3;
  switch (type) {
    case 0x00:
      f->kind = FillKind::Solid;
      f->color = rgba ? r.rgba() : r.rgb();
      break;
    case 0x10:
    case 0x12:
    case 0x13:
      f->kind = type == 0x10 ? FillKind::Linear : type == 0x12 ? FillKind::Radial : FillKind::Focal;
      f->matrix = r.matrix();
      readGradientStops(r, rgba, &f->gradient);
      if (type == 0x13) f->gradient.focal = std::max(-1.0, std::min(1.0, r.fixed8()));
      break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      f->kind = FillKind::Bitmap;
      f->bitmapId = r.u16();
      f->matrix = r.matrix();
      f->repeat = type == 0x40 || type == 0x42;
      f->smooth = type == 0x40 || type == 0x41;
      break;
    default:
      return false;  // unknown fill types make the rest of the record unreadable
  }
  return !r.failed();
}

Cap capFromBits(uint32_t v) { return v == 1 ? Cap::None : v == 2 ? Cap::Square : Cap::Round; }

bool readLineStyle(BitReader& r, int version, LineStyle* l) {
  l->width = r.u16();
  if (version < 4) {
    l->color = version >= 3 ? r.rgba() : r.rgb();
    return !r.failed();
  }
  l->startCap = capFromBits(r.ubits(2));
  uint32_t join = r.ubits(2);
  l->join = join == 1 ? Join::Bevel : join == 2 ? Join::Miter : Join::Round;
  l->hasFill = r.flag();
  l->noHScale = r.flag();
  l->noVScale = r.flag();
  r.flag();  // pixel hinting
  r.ubits(5);
  l->noClose = r.flag();
  l->endCap = capFromBits(r.ubits(2));
  if (l->join == Join::Miter) l->miterLimit = r.u16() / 256.0;
  if (l->hasFill) return readFillStyle(r, version, &l->fill);
  l->color = r.rgba();
  return !r.failed();
}

uint32_t readCount(BitReader& r, int version) {
  uint32_t n = r.u8();
  if (n == 0xFF && version >= 2) n = r.u16();
  return n;
}

bool readStyleArrays(BitReader& r, int version, StyleSet* set) {
  uint32_t nFills = readCount(r, version);
  for (uint32_t i = 0; i < nFills; ++i) {
    FillStyle f;
    if (!readFillStyle(r, version, &f)) return false;
    set->fills.push_back(f);
  }
  uint32_t nLines = readCount(r, version);
  for (uint32_t i = 0; i < nLines; ++i) {
    LineStyle l;
    if (!readLineStyle(r, version, &l)) return false;
    set->lines.push_back(l);
  }
  return true;
}

// Reads SHAPE records up to the end record. Style indices refer to the last
// set in raw->sets (new-style records push a new set when allowed).
void readShapeRecords(BitReader& r, int version, bool allowNewStyles, RawShape* raw) {
  r.align();
  int fillBits = static_cast<int>(r.ubits(4));
  int lineBits = static_cast<int>(r.ubits(4));
  int64_t x = 0, y = 0;
  uint32_t fill0 = 0, fill1 = 0, line = 0;
  uint32_t set = raw->sets.empty() ? 0 : static_cast<uint32_t>(raw->sets.size() - 1);
  if (raw->sets.empty()) raw->sets.emplace_back();
  while (!r.failed()) {
    bool isEdge = r.flag();
    if (!isEdge) {
      uint32_t flags = r.ubits(5);
      if (flags == 0) break;  // end of shape
      bool newStyles = flags & 0x10, lineChange = flags & 0x08, fill1Change = flags & 0x04,
           fill0Change = flags & 0x02, moveTo = flags & 0x01;
      if (moveTo) {
        int n = static_cast<int>(r.ubits(5));
        x = r.sbits(n);
        y = r.sbits(n);
      }
      uint32_t newFill0 = fill0Change ? r.ubits(fillBits) : fill0;
      uint32_t newFill1 = fill1Change ? r.ubits(fillBits) : fill1;
      uint32_t newLine = lineChange ? r.ubits(lineBits) : line;
      if (newStyles && allowNewStyles) {
        StyleSet s;
        if (!readStyleArrays(r, version, &s)) break;
        raw->sets.push_back(std::move(s));
        set = static_cast<uint32_t>(raw->sets.size() - 1);
        fillBits = static_cast<int>(r.ubits(4));
        lineBits = static_cast<int>(r.ubits(4));
        newFill0 = fill0Change ? newFill0 : 0;
        newFill1 = fill1Change ? newFill1 : 0;
        newLine = lineChange ? newLine : 0;
      } else if (newStyles) {
        break;
      }
      const StyleSet& s = raw->sets[set];
      fill0 = newFill0 <= s.fills.size() ? newFill0 : 0;
      fill1 = newFill1 <= s.fills.size() ? newFill1 : 0;
      line = newLine <= s.lines.size() ? newLine : 0;
      continue;
    }
    StyledEdge e;
    e.fill0 = fill0;
    e.fill1 = fill1;
    e.line = line;
    e.set = set;
    e.edge.x0 = static_cast<double>(x);
    e.edge.y0 = static_cast<double>(y);
    bool straight = r.flag();
    int n = static_cast<int>(r.ubits(4)) + 2;
    if (straight) {
      int64_t dx = 0, dy = 0;
      if (r.flag()) {
        dx = r.sbits(n);
        dy = r.sbits(n);
      } else if (r.flag()) {
        dy = r.sbits(n);
      } else {
        dx = r.sbits(n);
      }
      x = clampCoord(x + dx);
      y = clampCoord(y + dy);
      e.edge.cx = (e.edge.x0 + static_cast<double>(x)) / 2;
      e.edge.cy = (e.edge.y0 + static_cast<double>(y)) / 2;
    } else {
      int64_t cdx = r.sbits(n), cdy = r.sbits(n);
      int64_t adx = r.sbits(n), ady = r.sbits(n);
      int64_t cx = clampCoord(x + cdx), cy = clampCoord(y + cdy);
      x = clampCoord(cx + adx);
      y = clampCoord(cy + ady);
      e.edge.cx = static_cast<double>(cx);
      e.edge.cy = static_cast<double>(cy);
      e.edge.curve = true;
    }
    e.edge.x1 = static_cast<double>(x);
    e.edge.y1 = static_cast<double>(y);
    if (r.failed()) break;
    raw->edges.push_back(e);
  }
}

Edge reversed(const Edge& e) {
  Edge r = e;
  r.x0 = e.x1;
  r.y0 = e.y1;
  r.x1 = e.x0;
  r.y1 = e.y0;
  return r;
}

// Sorts the edges into layers by the styles they border. `edges` may differ
// from raw.edges' own geometry (the end shape of a morph).
void buildLayers(const RawShape& raw, const std::vector<StyleSet>& sets,
                 const std::vector<Edge>& edges, ShapeDef* out) {
  out->layers.clear();
  out->layers.resize(sets.size());
  for (size_t i = 0; i < sets.size(); ++i) {
    ShapeLayer& layer = out->layers[i];
    layer.fills = sets[i].fills;
    layer.lines = sets[i].lines;
    layer.fillEdges.resize(layer.fills.size());
    layer.lineEdges.resize(layer.lines.size());
  }
  for (size_t i = 0; i < raw.edges.size() && i < edges.size(); ++i) {
    const StyledEdge& se = raw.edges[i];
    ShapeLayer& layer = out->layers[se.set];
    const Edge& e = edges[i];
    if (se.fill0 == se.fill1) {
      // Both sides alike: an inner edge that bounds nothing.
    } else {
      if (se.fill1) layer.fillEdges[se.fill1 - 1].push_back(e);
      if (se.fill0) layer.fillEdges[se.fill0 - 1].push_back(reversed(e));
    }
    if (se.line) layer.lineEdges[se.line - 1].push_back(e);
  }
}

std::vector<Edge> edgesOf(const RawShape& raw) {
  std::vector<Edge> edges;
  edges.reserve(raw.edges.size());
  for (const StyledEdge& e : raw.edges) edges.push_back(e.edge);
  return edges;
}

bool readMorphFill(BitReader& r, FillStyle* a, FillStyle* b) {
  uint8_t type = r.u8();
  switch (type) {
    case 0x00:
      a->kind = b->kind = FillKind::Solid;
      a->color = r.rgba();
      b->color = r.rgba();
      break;
    case 0x10:
    case 0x12:
    case 0x13: {
      FillKind kind =
          type == 0x10 ? FillKind::Linear : type == 0x12 ? FillKind::Radial : FillKind::Focal;
      a->kind = b->kind = kind;
      a->matrix = r.matrix();
      b->matrix = r.matrix();
      uint8_t head = r.u8();
      uint8_t spread = head >> 6;
      Spread sp = spread == 1 ? Spread::Reflect : spread == 2 ? Spread::Repeat : Spread::Pad;
      a->gradient.spread = b->gradient.spread = sp;
      a->gradient.linearRgb = b->gradient.linearRgb = ((head >> 4) & 3) == 1;
      int count = head & 0x0F;
      for (int i = 0; i < count && !r.failed(); ++i) {
        GradientStop s0, s1;
        s0.ratio = r.u8();
        s0.color = r.rgba();
        s1.ratio = r.u8();
        s1.color = r.rgba();
        a->gradient.stops.push_back(s0);
        b->gradient.stops.push_back(s1);
      }
      if (type == 0x13) {
        a->gradient.focal = std::max(-1.0, std::min(1.0, r.fixed8()));
        b->gradient.focal = std::max(-1.0, std::min(1.0, r.fixed8()));
      }
      break;
    }
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      a->kind = b->kind = FillKind::Bitmap;
      a->bitmapId = b->bitmapId = r.u16();
      a->matrix = r.matrix();
      b->matrix = r.matrix();
      a->repeat = b->repeat = type == 0x40 || type == 0x42;
      a->smooth = b->smooth = type == 0x40 || type == 0x41;
      break;
    default:
      return false;
  }
  return !r.failed();
}

bool readMorphLine(BitReader& r, int version, LineStyle* a, LineStyle* b) {
  a->width = r.u16();
  b->width = r.u16();
  if (version < 2) {
    a->color = r.rgba();
    b->color = r.rgba();
    return !r.failed();
  }
  a->startCap = capFromBits(r.ubits(2));
  uint32_t join = r.ubits(2);
  a->join = join == 1 ? Join::Bevel : join == 2 ? Join::Miter : Join::Round;
  a->hasFill = r.flag();
  a->noHScale = r.flag();
  a->noVScale = r.flag();
  r.flag();
  r.ubits(5);
  a->noClose = r.flag();
  a->endCap = capFromBits(r.ubits(2));
  if (a->join == Join::Miter) a->miterLimit = r.u16() / 256.0;
  double wa = a->width, wb = b->width;
  *b = *a;
  a->width = wa;
  b->width = wb;
  if (a->hasFill) return readMorphFill(r, &a->fill, &b->fill);
  a->color = r.rgba();
  b->color = r.rgba();
  return !r.failed();
}

double lerp(double a, double b, double t) { return a + (b - a) * t; }
uint8_t lerp8(uint8_t a, uint8_t b, double t) {
  return static_cast<uint8_t>(std::lround(lerp(a, b, t)));
}
Rgba lerpColor(Rgba a, Rgba b, double t) {
  return Rgba{lerp8(a.r, b.r, t), lerp8(a.g, b.g, t), lerp8(a.b, b.b, t), lerp8(a.a, b.a, t)};
}
Matrix lerpMatrix(const Matrix& a, const Matrix& b, double t) {
  Matrix m;
  m.a = lerp(a.a, b.a, t);
  m.b = lerp(a.b, b.b, t);
  m.c = lerp(a.c, b.c, t);
  m.d = lerp(a.d, b.d, t);
  m.tx = lerp(a.tx, b.tx, t);
  m.ty = lerp(a.ty, b.ty, t);
  return m;
}
void lerpFill(const FillStyle& a, const FillStyle& b, double t, FillStyle* o) {
  *o = a;
  o->color = lerpColor(a.color, b.color, t);
  o->matrix = lerpMatrix(a.matrix, b.matrix, t);
  o->gradient.focal = lerp(a.gradient.focal, b.gradient.focal, t);
  for (size_t i = 0; i < o->gradient.stops.size() && i < b.gradient.stops.size(); ++i) {
    o->gradient.stops[i].ratio = lerp8(a.gradient.stops[i].ratio, b.gradient.stops[i].ratio, t);
    o->gradient.stops[i].color = lerpColor(a.gradient.stops[i].color, b.gradient.stops[i].color, t);
  }
}
void lerpEdges(const std::vector<Edge>& a, const std::vector<Edge>& b, double t,
               std::vector<Edge>* o) {
  o->resize(a.size());
  for (size_t i = 0; i < a.size(); ++i) {
    Edge& e = (*o)[i];
    const Edge& p = a[i];
    const Edge& q = i < b.size() ? b[i] : a[i];
    e.x0 = lerp(p.x0, q.x0, t);
    e.y0 = lerp(p.y0, q.y0, t);
    e.cx = lerp(p.cx, q.cx, t);
    e.cy = lerp(p.cy, q.cy, t);
    e.x1 = lerp(p.x1, q.x1, t);
    e.y1 = lerp(p.y1, q.y1, t);
    e.curve = p.curve || q.curve;
  }
}

}  // namespace

bool parseShape(const uint8_t* data, size_t size, int version, uint16_t* id, ShapeDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  out->bounds = r.rect();
  if (version >= 4) {
    r.rect();  // edge bounds
    uint8_t flags = r.u8();
    out->nonZero = flags & 0x04;
  }
  if (r.failed()) return false;
  RawShape raw;
  raw.sets.emplace_back();
  if (!readStyleArrays(r, version, &raw.sets[0])) return false;
  readShapeRecords(r, version, true, &raw);
  buildLayers(raw, raw.sets, edgesOf(raw), out);
  return true;
}

void parseGlyph(const uint8_t* data, size_t size, std::vector<Edge>* edges) {
  BitReader r(data, size);
  RawShape raw;
  raw.sets.emplace_back();
  raw.sets[0].fills.resize(1);
  readShapeRecords(r, 1, false, &raw);
  for (const StyledEdge& se : raw.edges) {
    if (se.fill0 == se.fill1) continue;
    edges->push_back(se.fill1 ? se.edge : reversed(se.edge));
  }
}

bool parseMorphShape(const uint8_t* data, size_t size, int version, uint16_t* id,
                     MorphShapeDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  out->start.bounds = r.rect();
  out->end.bounds = r.rect();
  if (version >= 2) {
    r.rect();
    r.rect();
    r.u8();
  }
  uint32_t endEdgesOffset = r.u32();
  size_t endEdgesAt = r.position() + endEdgesOffset;
  if (r.failed()) return false;

  StyleSet startStyles, endStyles;
  uint32_t nFills = readCount(r, 2);
  for (uint32_t i = 0; i < nFills; ++i) {
    FillStyle a, b;
    if (!readMorphFill(r, &a, &b)) return false;
    startStyles.fills.push_back(a);
    endStyles.fills.push_back(b);
  }
  uint32_t nLines = readCount(r, 2);
  for (uint32_t i = 0; i < nLines; ++i) {
    LineStyle a, b;
    if (!readMorphLine(r, version, &a, &b)) return false;
    startStyles.lines.push_back(a);
    endStyles.lines.push_back(b);
  }
  if (r.failed()) return false;

  RawShape startRaw;
  startRaw.sets.push_back(startStyles);
  readShapeRecords(r, 3, false, &startRaw);

  RawShape endRaw;
  endRaw.sets.emplace_back();
  if (endEdgesAt < size) {
    BitReader er(data + endEdgesAt, size - endEdgesAt);
    readShapeRecords(er, 3, false, &endRaw);
  }
  // Edges pair up in order; a straight edge facing a curve becomes a curve
  // through its midpoint (already stored as its control point).
  std::vector<Edge> startEdges = edgesOf(startRaw);
  std::vector<Edge> endEdges = edgesOf(endRaw);
  size_t n = std::min(startEdges.size(), endEdges.size());
  startEdges.resize(n);
  endEdges.resize(n);
  startRaw.edges.resize(n);
  for (size_t i = 0; i < n; ++i) {
    bool curve = startEdges[i].curve || endEdges[i].curve;
    startEdges[i].curve = endEdges[i].curve = curve;
  }
  out->start.nonZero = out->end.nonZero = false;
  buildLayers(startRaw, {startStyles}, startEdges, &out->start);
  buildLayers(startRaw, {endStyles}, endEdges, &out->end);
  return true;
}

void blendMorph(const MorphShapeDef& morph, double t, ShapeDef* out) {
  const ShapeDef& a = morph.start;
  const ShapeDef& b = morph.end;
  out->nonZero = a.nonZero;
  out->bounds.xMin = static_cast<int32_t>(lerp(a.bounds.xMin, b.bounds.xMin, t));
  out->bounds.xMax = static_cast<int32_t>(lerp(a.bounds.xMax, b.bounds.xMax, t));
  out->bounds.yMin = static_cast<int32_t>(lerp(a.bounds.yMin, b.bounds.yMin, t));
  out->bounds.yMax = static_cast<int32_t>(lerp(a.bounds.yMax, b.bounds.yMax, t));
  out->layers.resize(a.layers.size());
  for (size_t li = 0; li < a.layers.size() && li < b.layers.size(); ++li) {
    const ShapeLayer& la = a.layers[li];
    const ShapeLayer& lb = b.layers[li];
    ShapeLayer& lo = out->layers[li];
    lo.fills.resize(la.fills.size());
    lo.fillEdges.resize(la.fills.size());
    for (size_t i = 0; i < la.fills.size(); ++i) {
      lerpFill(la.fills[i], lb.fills[i], t, &lo.fills[i]);
      lerpEdges(la.fillEdges[i], lb.fillEdges[i], t, &lo.fillEdges[i]);
    }
    lo.lines.resize(la.lines.size());
    lo.lineEdges.resize(la.lines.size());
    for (size_t i = 0; i < la.lines.size(); ++i) {
      lo.lines[i] = la.lines[i];
      lo.lines[i].width = lerp(la.lines[i].width, lb.lines[i].width, t);
      lo.lines[i].color = lerpColor(la.lines[i].color, lb.lines[i].color, t);
      if (la.lines[i].hasFill) lerpFill(la.lines[i].fill, lb.lines[i].fill, t, &lo.lines[i].fill);
      lerpEdges(la.lineEdges[i], lb.lineEdges[i], t, &lo.lineEdges[i]);
    }
  }
}

}  // namespace swf
