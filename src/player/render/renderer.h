// Draws shapes into a premultiplied 32-bit picture (memory order B, G, R, A),
// with nested masks. One Renderer is kept per player so its buffers are
// reused frame after frame.
#pragma once
#include <cstdint>
#include <vector>

#include "player/render/filters.h"
#include "player/render/paint.h"
#include "player/render/rasterizer.h"
#include "player/render/stroker.h"
#include "player/swf/display.h"
#include "player/swf/shape.h"

namespace render {

class Renderer {
 public:
  // Starts a picture; `stride` is in bytes. Aliased drawing decides each
  // pixel by its centre, like a Flash player at low quality.
  void begin(uint32_t* pixels, int width, int height, int stride, bool antialias);
  void fill(uint32_t premultipliedColor);

  // `toPixels` maps the shape's twips to pixels; `stagePixelsPerTwip` is the
  // stage's own scale, which strokes that do not scale keep.
  void drawShape(const swf::ShapeDef& shape, const swf::Matrix& toPixels,
                 double stagePixelsPerTwip, const swf::ColorTransform& cx,
                 const BitmapSource& bitmaps);

  // A bitmap's pixels as a rectangle of 20 twips a pixel, mapped by
  // `toPixels` as a shape is; scaled nearest-pixel unless `smooth`.
  void drawBitmap(const swf::Bitmap& bitmap, const swf::Matrix& toPixels, const swf::ColorTransform& cx,
                  bool smooth);

  // Outlines (glyphs, a text field's clip) gathered, then filled together
  // in one colour by the non-zero rule; while a mask is drawn they add to it.
  void addOutline(const std::vector<swf::Edge>& edges, const swf::Matrix& toPixels);
  void fillOutlines(swf::Rgba color, const swf::ColorTransform& cx);

  // A rectangle of pixels (x0, y0 to x1, y1) in one colour.
  void fillRect(double x0, double y0, double x1, double y1, swf::Rgba color, const swf::ColorTransform& cx);

  // Masks: after beginMask, drawn shapes add to a new mask instead of the
  // picture; applyMask makes it (within any outer mask) clip what follows
  // until popMask. A mask past the memory cap, or begun once the frame's
  // drawing budget is spent, hides what it clips.
  void beginMask();
  void applyMask();
  void popMask();
  bool drawingMask() const { return maskMode_; }

  // Layers: after beginLayer, drawing goes into a new transparent picture,
  // reaching `margin` pixels past each side of the current one (so that
  // filters can draw what lies just outside in); endLayer runs the filters
  // on it (sized by `filterScale` pixels per filter pixel), applies the
  // object's colour transform `cx` and composites it with `mode` onto what
  // lies below (the picture or an outer layer, which alpha and erase modes
  // cut into).
  // False when no layer can be had (memory cap, budget spent, or inside a
  // hidden mask): the object is then drawn straight onto the target.
  bool beginLayer(int margin);
  void endLayer(swf::BlendMode mode, const std::vector<swf::Filter>* filters, double filterScale,
                const swf::ColorTransform& cx);
  bool inLayer() const { return depth_ > 0; }

 private:
  class Compositor;
  void addPath(const std::vector<swf::Edge>& edges, const swf::Matrix& m);
  void addStrokes(const std::vector<swf::Edge>& edges, const swf::LineStyle& style,
                  const swf::Matrix& m, double stagePixelsPerTwip);
  void flatten(const swf::Edge& e, const swf::Matrix& m, double tolerance, std::vector<Point>* out);
  // Sweeps what was added to the rasterizer, style i painted with paints[i].
  void paintCoverage(const Paint* paints);

  // What drawing goes into: a picture, or a layer reaching past it.
  struct Target {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;  // stride in pixels
    double originX = 0, originY = 0;        // added to every position drawn
  };
  struct Layer {
    std::vector<uint32_t> pixels;  // all clear while unused
    Box drawn;                     // what may be non-clear
    int margin = 0;
    Target below;                  // the target to composite onto
    int maskBase = 0;              // masks in force outside the layer
  };
  void setTarget(const Target& t);
  // Composites the layer onto the current picture and clears it.
  void compositeLayer(Layer& layer, int layerWidth, swf::BlendMode mode, const swf::ColorTransform& cx,
                      const uint8_t* mask);
  // Filters that reach farther than this into the picture are cut off.
  static constexpr int kMaxLayerMargin = 256;
  // Memory for masks and for layers in use at once: nested masks and
  // layers past these are not made, so no movie can exhaust a 32-bit process.
  static constexpr size_t kMaxMaskBytes = size_t(48) << 20;
  static constexpr size_t kMaxLayerBytes = size_t(96) << 20;
  // Pixels (and edges) one frame may draw, a few hundred full pictures: a
  // frame stops drawing past it, so no movie can hold its player for long.
  static constexpr int64_t kMaxDrawWorkPerFrame = int64_t(96) << 20;
  // Counts the work against the budget; false when it is spent or the
  // target is hidden by a mask that could not be made.
  bool spend(int64_t work);
  bool hidden() const { return level_ > hiddenFrom_; }
  int64_t shapeWork(const swf::ShapeDef& shape, double x0, double y0, double x1, double y1) const;
  // Pixels filters may go over in one frame (a few full-screen blurs), so
  // that hostile or runaway filter lists cannot stall playback.
  static constexpr int64_t kMaxFilterWorkPerFrame = int64_t(64) << 20;

  uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0, stridePixels_ = 0;
  double originX_ = 0, originY_ = 0;
  bool antialias_ = true;
  // How far flattened curves may stray, in pixels; outlines, in their own
  // units.
  double tolerance_ = 0.1;
  static constexpr double kOutlineTolerance = 2;
  Rasterizer rasterizer_;
  Paint paint_;
  std::vector<Paint> paints_;  // per fill style of the shape layer drawn
  std::vector<uint32_t> rowColors_;
  std::vector<uint8_t> rowCoverage_, maskedCoverage_;
  // Colour (premultiplied, 4 per pixel) and coverage of a row where fills
  // share pixels; all zero between rows.
  std::vector<float> shareColors_, shareTotals_;
  std::vector<Point> points_;
  // Mask stack: masks_[i] for level i + 1; the active one is masks_[level_ - 1].
  std::vector<std::vector<uint8_t>> masks_;
  int level_ = 0;
  bool maskMode_ = false;
  // Masks at this level and deeper were not made: while they are in force
  // nothing is drawn (the target is empty); `shown_` is the target to go
  // back to.
  int hiddenFrom_ = 1 << 30;
  Target shown_;
  int64_t drawWork_ = 0;
  // Layer stack: layers_[0 .. depth_ - 1] in use; the rest kept for reuse.
  std::vector<Layer> layers_;
  int depth_ = 0;
  // Masks below this level were made outside the current layer and are
  // applied when it is composited, not while drawing into it.
  int maskBase_ = 0;
  FilterScratch filterScratch_;
  int64_t filterWork_ = 0;
  std::vector<uint32_t> compositeRow_;
};

}  // namespace render
