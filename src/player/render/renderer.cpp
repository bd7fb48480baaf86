#include "player/render/renderer.h"

#include <algorithm>
#include <cmath>

#include "player/render/blend.h"
#include "player/render/curve.h"

namespace render {

// Puts one row's coverage into the picture (through the active mask) or,
// while a mask is being drawn, into that mask. Where several fills meet in a
// row, their coverage is first shared out per pixel: each fill adds its
// colour in proportion to the part of the pixel it covers, so fills that
// abut add up to the whole pixel; where fills overlap, the later one takes
// the overlap. The shared colour is then drawn once.
class Renderer::Compositor : public SpanSink {
 public:
  Compositor(Renderer& r, const Paint* paints) : r_(r), paints_(paints) {}

  void span(int y, int style, int x0, int x1, const uint8_t* coverage) override {
    put(y, x0, x1, &paints_[style], coverage);
  }

  void sharedSpan(int y, int style, int x0, int x1, const float* coverage) override {
    share(y, style, x0, x1, coverage);
  }

  void endRow(int y) override {
    if (lo_ >= hi_) return;
    float* acc = r_.shareColors_.data();
    float* total = r_.shareTotals_.data();
    uint32_t* colors = r_.rowColors_.data();
    uint8_t* c = r_.rowCoverage_.data();
    for (int x = lo_; x < hi_; ++x) {
      float* a = acc + size_t(x) * 4;
      float t = std::min(1.0f, total[x]);
      c[x - lo_] = static_cast<uint8_t>(t * 255 + 0.5f);
      uint32_t p = 0;
      for (int k = 0; k < 4; ++k) p |= uint32_t(std::min(255.0f, a[k] + 0.5f)) << (8 * k);
      colors[x - lo_] = p;
      a[0] = a[1] = a[2] = a[3] = 0;
      total[x] = 0;
    }
    if (r_.maskMode_) {
      addToMask(y, lo_, hi_, c);
    } else {
      blend(y, lo_, hi_, colors);
    }
    lo_ = hi_ = 0;
  }

 private:
  void share(int y, int style, int x0, int x1, const float* coverage) {
    int n = x1 - x0;
    if (lo_ >= hi_) {
      lo_ = x0;
      hi_ = x1;
    } else {
      lo_ = std::min(lo_, x0);
      hi_ = std::max(hi_, x1);
    }
    float* acc = r_.shareColors_.data() + size_t(x0) * 4;
    float* total = r_.shareTotals_.data() + x0;
    const uint32_t* colors = nullptr;
    uint32_t solid = 0;
    if (!r_.maskMode_) {
      const Paint& paint = paints_[style];
      if (paint.isSolid()) {
        solid = paint.solidColor();
      } else {
        paint.fetch(x0, y, n, r_.rowColors_.data());
        colors = r_.rowColors_.data();
      }
    }
    for (int i = 0; i < n; ++i) {
      float c = coverage[i];
      if (c <= 0) continue;
      float* a = acc + size_t(i) * 4;
      float t = total[i];
      if (t + c > 1 && t > 0) {
        // Overlap: what was there keeps only the part the new fill leaves.
        float keep = std::max(0.0f, 1 - c) / t;
        for (int k = 0; k < 4; ++k) a[k] *= keep;
        t = t * keep;
      }
      total[i] = t + c;
      uint32_t p = colors ? colors[i] : solid;
      for (int k = 0; k < 4; ++k) a[k] += c * float((p >> (8 * k)) & 0xFF);
    }
  }

  void put(int y, int x0, int x1, const Paint* paint, const uint8_t* coverage) {
    if (r_.maskMode_) return addToMask(y, x0, x1, coverage);
    const uint32_t* colors = nullptr;
    uint32_t solid = 0;
    if (paint->isSolid()) {
      solid = paint->solidColor();
      if (solid == 0) return;
    } else {
      paint->fetch(x0, y, x1 - x0, r_.rowColors_.data());
      colors = r_.rowColors_.data();
    }
    int n = x1 - x0;
    const uint8_t* cov = maskedCoverage(y, x0, n, coverage);
    uint32_t* dst = r_.pixels_ + size_t(y) * r_.stridePixels_ + x0;
    if (r_.depth_ > 0) r_.layers_[r_.depth_ - 1].drawn.add(x0, y, x1, y + 1);
    for (int i = 0; i < n; ++i) {
      uint32_t c = cov[i];
      uint32_t src = colors ? colors[i] : solid;
      if (c == 255 && (src >> 24) == 255) {
        dst[i] = src;
      } else if (c) {
        dst[i] = blendOver(dst[i], c == 255 ? src : scalePixel(src, c));
      }
    }
  }

  // Shared colours are already weighted by their coverage; only the mask
  // scales them further.
  void blend(int y, int x0, int x1, const uint32_t* colors) {
    int n = x1 - x0;
    if (r_.depth_ > 0) r_.layers_[r_.depth_ - 1].drawn.add(x0, y, x1, y + 1);
    const uint8_t* m = r_.level_ > r_.maskBase_ ? r_.masks_[r_.level_ - 1].data() + size_t(y) * r_.width_ + x0
                                                : nullptr;
    uint32_t* dst = r_.pixels_ + size_t(y) * r_.stridePixels_ + x0;
    for (int i = 0; i < n; ++i) {
      uint32_t src = colors[i];
      if (m) src = scalePixel(src, m[i]);
      if (!src) continue;
      dst[i] = (src >> 24) == 255 ? src : blendOver(dst[i], src);
    }
  }

  const uint8_t* maskedCoverage(int y, int x0, int n, const uint8_t* coverage) {
    if (r_.level_ <= r_.maskBase_) return coverage;
    const uint8_t* m = r_.masks_[r_.level_ - 1].data() + size_t(y) * r_.width_ + x0;
    uint8_t* c = r_.maskedCoverage_.data();
    for (int i = 0; i < n; ++i) c[i] = static_cast<uint8_t>((coverage[i] * m[i] + 127) / 255);
    return c;
  }

  void addToMask(int y, int x0, int x1, const uint8_t* coverage) {
    uint8_t* m = r_.masks_[r_.level_ - 1].data() + size_t(y) * r_.width_ + x0;
    for (int i = 0; i < x1 - x0; ++i)
      m[i] = static_cast<uint8_t>(m[i] + (coverage[i] * (255 - m[i]) + 127) / 255);
  }

  Renderer& r_;
  const Paint* paints_;
  int lo_ = 0, hi_ = 0;  // pixels with shared colour in this row
};

void Renderer::begin(uint32_t* pixels, int width, int height, int stride, bool antialias) {
  antialias_ = antialias;
  Target t;
  t.pixels = pixels;
  t.width = std::max(0, width);
  t.height = std::max(0, height);
  t.stride = stride / 4;
  setTarget(t);
  level_ = 0;
  maskMode_ = false;
  hiddenFrom_ = 1 << 30;
  depth_ = 0;
  maskBase_ = 0;
  filterWork_ = 0;
  drawWork_ = 0;
}

bool Renderer::spend(int64_t work) {
  if (hidden() || drawWork_ >= kMaxDrawWorkPerFrame) return false;
  drawWork_ += work;
  return true;
}

// What drawing the shape costs: each pass sweeps its box, each edge is
// flattened and added.
int64_t Renderer::shapeWork(const swf::ShapeDef& shape, double x0, double y0, double x1, double y1) const {
  double w = std::min<double>(x1, width_) - std::max(0.0, x0), h = std::min<double>(y1, height_) - std::max(0.0, y0);
  int64_t box = int64_t(std::max(1.0, w)) * int64_t(std::max(1.0, h)), work = 0;
  for (const swf::ShapeLayer& layer : shape.layers) {
    work += box;
    for (const auto& edges : layer.fillEdges) work += 16 * int64_t(edges.size());
    for (const auto& edges : layer.lineEdges)
      if (!edges.empty()) work += box + 16 * int64_t(edges.size());
  }
  return work;
}

void Renderer::fill(uint32_t color) {
  for (int y = 0; y < height_; ++y) std::fill(pixels_ + size_t(y) * stridePixels_, pixels_ + size_t(y) * stridePixels_ + width_, color);
}

void Renderer::flatten(const swf::Edge& e, const swf::Matrix& m, double tolerance, std::vector<Point>* out) {
  Point p1{m.mapX(e.x1, e.y1), m.mapY(e.x1, e.y1)};
  if (!e.curve) {
    out->push_back(p1);
    return;
  }
  Point p0{m.mapX(e.x0, e.y0), m.mapY(e.x0, e.y0)};
  Point c{m.mapX(e.cx, e.cy), m.mapY(e.cx, e.cy)};
  flattenQuadratic(p0, c, p1, tolerance, out);
}

void Renderer::addPath(const std::vector<swf::Edge>& edges, const swf::Matrix& m) {
  for (const swf::Edge& e : edges) {
    points_.clear();
    Point p0{m.mapX(e.x0, e.y0), m.mapY(e.x0, e.y0)};
    points_.push_back(p0);
    flatten(e, m, tolerance_, &points_);
    for (size_t i = 1; i < points_.size(); ++i)
      rasterizer_.addLine(points_[i - 1].x, points_[i - 1].y, points_[i].x, points_[i].y);
  }
}

void Renderer::addStrokes(const std::vector<swf::Edge>& edges, const swf::LineStyle& style,
                          const swf::Matrix& m, double stagePixelsPerTwip) {
  // How much the matrix stretches, least and most, over all directions.
  double sum = m.a * m.a + m.b * m.b + m.c * m.c + m.d * m.d;
  double det = std::fabs(m.a * m.d - m.b * m.c);
  double root = std::sqrt(std::max(0.0, sum * sum - 4 * det * det));
  double least = std::sqrt((sum - root) / 2), most = std::sqrt((sum + root) / 2);
  StrokeStyle s;
  s.startCap = style.startCap;
  s.endCap = style.endCap;
  s.join = style.join;
  s.miterLimit = std::max(1.0, style.miterLimit);
  // A shape stretched more one way than the other has its stroke stretched
  // with it, as Flash draws it: the stroke is made in the shape's own space
  // and mapped to pixels. Otherwise it is made in pixels, where Flash keeps
  // strokes at least a pixel wide (width 0 is a hairline) and strokes that
  // do not scale keep their width.
  bool stretched = !style.noHScale && !style.noVScale && most > least * 1.001 &&
                   style.width * least >= 1;
  double flatness = tolerance_;
  const swf::Matrix identity;
  const swf::Matrix* toPoints = &m;
  if (stretched) {
    s.width = style.width;
    s.toPixels = &m;
    flatness = tolerance_ / most;
    toPoints = &identity;
  } else {
    double scale = std::sqrt(det);
    if (style.noHScale && style.noVScale) {
      scale = stagePixelsPerTwip;
    } else if (style.noHScale) {
      scale = std::hypot(m.c, m.d);
    } else if (style.noVScale) {
      scale = std::hypot(m.a, m.b);
    }
    s.width = std::max(1.0, style.width * scale);
    if (!antialias_) s.width = std::max(1.0, std::round(s.width));
  }
  s.tolerance = flatness / 4;
  size_t i = 0;
  while (i < edges.size()) {
    // A run of edges each starting where the previous one ended.
    size_t j = i + 1;
    while (j < edges.size() && edges[j].x0 == edges[j - 1].x1 && edges[j].y0 == edges[j - 1].y1) ++j;
    points_.clear();
    points_.push_back({toPoints->mapX(edges[i].x0, edges[i].y0), toPoints->mapY(edges[i].x0, edges[i].y0)});
    for (size_t k = i; k < j; ++k) flatten(edges[k], *toPoints, flatness, &points_);
    bool closed = !style.noClose && edges[i].x0 == edges[j - 1].x1 && edges[i].y0 == edges[j - 1].y1 &&
                  j - i > 1;
    strokePolyline(points_, closed, s, rasterizer_);
    i = j;
  }
}

void Renderer::paintCoverage(const Paint* paints) {
  Compositor sink(*this, paints);
  rasterizer_.sweep(sink);
}

void Renderer::drawBitmap(const swf::Bitmap& bitmap, const swf::Matrix& toPixels,
                          const swf::ColorTransform& cx, bool smooth) {
  if (bitmap.width <= 0 || bitmap.height <= 0) return;
  // The one bitmap the rectangle's fill names.
  class OneBitmap final : public BitmapSource {
   public:
    explicit OneBitmap(const swf::Bitmap& b) : b_(b) {}
    const swf::Bitmap* bitmap(uint16_t) const override { return &b_; }

   private:
    const swf::Bitmap& b_;
  };
  int32_t w = bitmap.width * 20, h = bitmap.height * 20;
  swf::ShapeDef rect;
  rect.bounds = swf::Rect{0, w, 0, h};
  swf::ShapeLayer layer;
  swf::FillStyle fill;
  fill.kind = swf::FillKind::Bitmap;
  fill.matrix.a = fill.matrix.d = 20;
  fill.repeat = false;
  fill.smooth = smooth;
  layer.fills.push_back(fill);
  layer.fillEdges.push_back({swf::makeEdge(0, 0, w, 0), swf::makeEdge(w, 0, w, h), swf::makeEdge(w, h, 0, h),
                             swf::makeEdge(0, h, 0, 0)});
  rect.layers.push_back(std::move(layer));
  drawShape(rect, toPixels, 0, cx, OneBitmap(bitmap));
}

void Renderer::drawShape(const swf::ShapeDef& shape, const swf::Matrix& shapeToPixels,
                         double stagePixelsPerTwip, const swf::ColorTransform& cx,
                         const BitmapSource& bitmaps) {
  if (!pixels_ || width_ == 0 || height_ == 0) return;
  swf::Matrix toPixels = shapeToPixels;
  toPixels.tx += originX_;
  toPixels.ty += originY_;
  // Skip shapes wholly outside the picture (bounds include stroke widths).
  const swf::Rect& b = shape.bounds;
  double xs[4] = {toPixels.mapX(b.xMin, b.yMin), toPixels.mapX(b.xMax, b.yMin),
                  toPixels.mapX(b.xMin, b.yMax), toPixels.mapX(b.xMax, b.yMax)};
  double ys[4] = {toPixels.mapY(b.xMin, b.yMin), toPixels.mapY(b.xMax, b.yMin),
                  toPixels.mapY(b.xMin, b.yMax), toPixels.mapY(b.xMax, b.yMax)};
  double minX = *std::min_element(xs, xs + 4), maxX = *std::max_element(xs, xs + 4);
  double minY = *std::min_element(ys, ys + 4), maxY = *std::max_element(ys, ys + 4);
  if (maxX < -1 || maxY < -1 || minX > width_ + 1 || minY > height_ + 1) return;
  if (!maskMode_ && cx.aMul == 0 && cx.aAdd <= 0) return;  // fully transparent
  if (!spend(shapeWork(shape, minX, minY, maxX, maxY))) return;

  FillRule rule = shape.nonZero ? FillRule::NonZero : FillRule::EvenOdd;
  for (const swf::ShapeLayer& layer : shape.layers) {
    // The layer's fills go through the rasterizer together, so that fills
    // sharing an edge share its pixels.
    if (paints_.size() < layer.fills.size()) paints_.resize(layer.fills.size());
    bool any = false;
    for (size_t i = 0; i < layer.fills.size(); ++i) {
      if (layer.fillEdges[i].empty()) continue;
      if (!maskMode_ && !paints_[i].prepare(layer.fills[i], toPixels, cx, bitmaps)) continue;
      rasterizer_.setStyle(static_cast<int>(i), rule);
      addPath(layer.fillEdges[i], toPixels);
      any = true;
    }
    if (any) paintCoverage(paints_.data());
    // Flash masks take the fill area only; strokes leave no trace in them.
    if (maskMode_) continue;
    for (size_t i = 0; i < layer.lines.size(); ++i) {
      if (layer.lineEdges[i].empty()) continue;
      const swf::LineStyle& style = layer.lines[i];
      if (style.hasFill) {
        if (!paint_.prepare(style.fill, toPixels, cx, bitmaps)) continue;
      } else {
        paint_.prepareSolid(style.color, cx);
      }
      addStrokes(layer.lineEdges[i], style, toPixels, stagePixelsPerTwip);
      paintCoverage(&paint_);
    }
  }
}

void Renderer::addOutline(const std::vector<swf::Edge>& edges, const swf::Matrix& toPixels) {
  if (!pixels_) return;
  swf::Matrix m = toPixels;
  m.tx += originX_;
  m.ty += originY_;
  // Glyphs are small in their own units: curves are followed to a few of
  // those units, as finely as the reference pictures draw them.
  double tolerance = tolerance_;
  tolerance_ = std::max(0.002, std::min(tolerance, kOutlineTolerance * std::sqrt(std::fabs(m.a * m.d - m.b * m.c))));
  addPath(edges, m);
  tolerance_ = tolerance;
}

void Renderer::fillOutlines(swf::Rgba color, const swf::ColorTransform& cx) {
  if (!pixels_) return;
  if (!maskMode_) paint_.prepareSolid(color, cx);
  paintCoverage(&paint_);
}

void Renderer::fillRect(double x0, double y0, double x1, double y1, swf::Rgba color,
                        const swf::ColorTransform& cx) {
  if (!pixels_ || maskMode_ || !spend(int64_t(std::fabs((x1 - x0) * (y1 - y0))))) return;
  paint_.prepareSolid(color, cx);
  x0 += originX_;
  x1 += originX_;
  y0 += originY_;
  y1 += originY_;
  rasterizer_.addLine(x0, y0, x1, y0);
  rasterizer_.addLine(x1, y0, x1, y1);
  rasterizer_.addLine(x1, y1, x0, y1);
  rasterizer_.addLine(x0, y1, x0, y0);
  paintCoverage(&paint_);
}

void Renderer::beginMask() {
  size_t bytes = size_t(width_) * height_;
  for (int i = 0; i < level_ && !hidden(); ++i) bytes += masks_[i].size();
  if (!hidden() && (bytes > kMaxMaskBytes || !spend(2 * int64_t(width_) * height_))) {
    // Not made: what it clips is not drawn, the mask itself included.
    hiddenFrom_ = level_;
    shown_ = Target{pixels_, width_, height_, stridePixels_, originX_, originY_};
    setTarget(Target());
  }
  if (!hidden()) {
    if (masks_.size() <= size_t(level_)) masks_.emplace_back();
    masks_[level_].assign(size_t(width_) * height_, 0);
  }
  ++level_;
  maskMode_ = true;
}

void Renderer::applyMask() {
  maskMode_ = false;
  if (!hidden() && level_ >= maskBase_ + 2) {
    std::vector<uint8_t>& m = masks_[level_ - 1];
    const std::vector<uint8_t>& outer = masks_[level_ - 2];
    for (size_t i = 0; i < m.size(); ++i) m[i] = static_cast<uint8_t>((m[i] * outer[i] + 127) / 255);
  }
}

void Renderer::popMask() {
  if (level_ > 0) --level_;
  maskMode_ = false;
  if (level_ == hiddenFrom_) {
    hiddenFrom_ = 1 << 30;
    setTarget(shown_);
  }
}

void Renderer::setTarget(const Target& t) {
  pixels_ = t.pixels;
  width_ = t.width;
  height_ = t.height;
  stridePixels_ = t.stride;
  originX_ = t.originX;
  originY_ = t.originY;
  rasterizer_.reset(width_, height_, antialias_);
  if (rowColors_.size() < size_t(width_) + 2) {
    rowColors_.resize(size_t(width_) + 2);
    rowCoverage_.resize(size_t(width_) + 2);
    maskedCoverage_.resize(size_t(width_) + 2);
    shareColors_.resize((size_t(width_) + 2) * 4, 0.0f);
    shareTotals_.resize(size_t(width_) + 2, 0.0f);
  }
}

bool Renderer::beginLayer(int margin) {
  // What lies farther out than the picture is large is left out: a shadow
  // from that far is rare, and the layer's size is what filters cost.
  margin = std::max(0, std::min(margin, std::min(kMaxLayerMargin, std::max(width_, height_))));
  Target t;
  t.width = width_ + 2 * margin;
  t.height = height_ + 2 * margin;
  t.stride = t.width;
  t.originX = originX_ + margin;
  t.originY = originY_ + margin;
  size_t pixels = size_t(t.width) * t.height, inUse = pixels;
  for (int i = 0; i < depth_; ++i) inUse += layers_[i].pixels.size();
  if (!pixels_ || inUse * 4 > kMaxLayerBytes || !spend(2 * int64_t(pixels))) return false;
  if (layers_.size() <= size_t(depth_)) layers_.emplace_back();
  Layer& l = layers_[depth_];
  // Storage only grows; what was used is cleared after compositing. Deeper
  // layers give theirs back when this one grows, so the cap holds for all.
  if (l.pixels.size() < pixels) {
    layers_.resize(size_t(depth_) + 1);
    l.pixels.assign(pixels, 0);
  }
  t.pixels = l.pixels.data();
  l.drawn = Box();
  l.margin = margin;
  l.below = Target{pixels_, width_, height_, stridePixels_, originX_, originY_};
  l.maskBase = maskBase_;
  ++depth_;
  maskBase_ = level_;
  setTarget(t);
  return true;
}

void Renderer::endLayer(swf::BlendMode mode, const std::vector<swf::Filter>* filters, double filterScale,
                        const swf::ColorTransform& cx) {
  if (depth_ == 0) return;
  Layer& l = layers_[depth_ - 1];
  if (filters) {
    for (const swf::Filter& f : *filters) {
      if (l.drawn.empty()) break;
      // Each pass goes over the layer's drawn part (grown by the filter)
      // twice; past the frame's budget, filters are left out.
      int reach = filterReach({f}, filterScale);
      Box grown = l.drawn.grown(reach, reach, width_, height_);
      int64_t work = int64_t(grown.x1 - grown.x0) * (grown.y1 - grown.y0) * 2 * (f.passes + 1);
      if (filterWork_ + work > kMaxFilterWorkPerFrame) break;
      filterWork_ += work;
      applyFilter(f, filterScale, l.pixels.data(), width_, height_, &l.drawn, &filterScratch_);
    }
  }
  int layerWidth = width_;
  --depth_;
  maskBase_ = l.maskBase;
  setTarget(l.below);
  if (l.drawn.empty()) return;
  // Masks made outside the layer clip it as a whole.
  compositeLayer(l, layerWidth, mode, cx, level_ > maskBase_ ? masks_[level_ - 1].data() : nullptr);
}

void Renderer::compositeLayer(Layer& l, int layerWidth, swf::BlendMode mode, const swf::ColorTransform& cx,
                              const uint8_t* mask) {
  // The part of the layer over the target; the margin around is dropped.
  Box box{std::max(l.drawn.x0, l.margin), std::max(l.drawn.y0, l.margin),
          std::min(l.drawn.x1, l.margin + width_), std::min(l.drawn.y1, l.margin + height_)};
  if (!box.empty()) {
    int n = box.x1 - box.x0;
    if (compositeRow_.size() < size_t(n)) compositeRow_.resize(n);
    bool transform = !cx.isIdentity();
    for (int y = box.y0; y < box.y1; ++y) {
      const uint32_t* src = l.pixels.data() + size_t(y) * layerWidth + box.x0;
      int ty = y - l.margin, tx = box.x0 - l.margin;
      if (transform || mask) {
        uint32_t* out = compositeRow_.data();
        const uint8_t* m = mask ? mask + size_t(ty) * width_ + tx : nullptr;
        for (int i = 0; i < n; ++i) {
          uint32_t p = src[i];
          if (p && transform) p = transformPixel(p, cx);
          if (m) p = scalePixel(p, m[i]);
          out[i] = p;
        }
        src = out;
      }
      blendRow(mode, pixels_ + size_t(ty) * stridePixels_ + tx, src, n);
    }
    if (depth_ > 0) layers_[depth_ - 1].drawn.add(box.x0 - l.margin, box.y0 - l.margin, box.x1 - l.margin, box.y1 - l.margin);
  }
  for (int y = l.drawn.y0; y < l.drawn.y1; ++y)
    std::fill(l.pixels.begin() + size_t(y) * layerWidth + l.drawn.x0, l.pixels.begin() + size_t(y) * layerWidth + l.drawn.x1, 0u);
}

}  // namespace render
