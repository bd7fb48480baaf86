#include "player/core/player.h"

#include <algorithm>
#include <cmath>

#include "player/core/avm1.h"
#include "player/core/movie.h"
#include "player/core/pointer.h"
#include "player/core/sound_sync.h"
#include "player/core/sprite.h"
#include "player/core/text_field.h"
#include "player/core/variables.h"
#include "player/render/renderer.h"

namespace player {

namespace {

// Actions run per frame at most: goto loops between frame scripts end here.
constexpr size_t kMaxActionBlocksPerFrame = 10000;
constexpr int kMaxStageSide = 8192;

class MoviePlayer final : public Player, private render::BitmapSource, private PointerHost {
 public:
  MoviePlayer(std::unique_ptr<Movie> movie, const PlayerServices& services)
      : movie_(std::move(movie)), fonts_(*movie_, services.deviceFonts), pointer_(*movie_, *this) {
    context_.movie = movie_.get();
    root_ = std::make_shared<SpriteInstance>(&movie_->root, 0, &context_);
    if (services.mixer) sounds_ = std::make_unique<SoundSync>(*movie_, *services.mixer);
  }

  int stageWidth() const override { return stageSide(movie_->header.frameSize.xMax - movie_->header.frameSize.xMin); }
  int stageHeight() const override { return stageSide(movie_->header.frameSize.yMax - movie_->header.frameSize.yMin); }
  double frameRate() const override { return movie_->header.frameRate; }
  uint32_t backgroundColor() const override { return movie_->backgroundColor; }
  int frameCount() const override { return root_->frameCount(); }
  int currentFrame() const override { return root_->currentFrame() + 1; }
  void setAntialias(bool on) override { antialias_ = on; }

  void advanceFrame() override {
    context_.work = 0;
    if (root_->currentFrame() < 0) {
      root_->gotoFrame(0);
    } else {
      ++context_.tick;
      root_->tick();
    }
    runQueuedActions();
    syncTextFields(*root_);
    if (sounds_) sounds_->frameShown(*root_);
  }

  void render(uint32_t* pixels, int width, int height, int stride, bool paintBackground) override {
    if (!pixels || width <= 0 || height <= 0 || stride < width * 4) return;
    renderer_.begin(pixels, width, height, stride, antialias_);
    renderer_.fill(paintBackground ? 0xFF000000u | movie_->backgroundColor : 0);
    // "Show all": the whole stage, as large as fits, centred.
    double sw = stageWidth(), sh = stageHeight();
    double scale = std::min(width / sw, height / sh);
    swf::Matrix stage;
    stage.a = stage.d = scale / 20;
    stage.tx = (width - sw * scale) / 2 - movie_->header.frameSize.xMin * stage.a;
    stage.ty = (height - sh * scale) / 2 - movie_->header.frameSize.yMin * stage.d;
    stageScale_ = stage.a;
    stageToPixels_ = stage;
    drawSprite(*root_, stage, swf::ColorTransform());
  }

  bool pointerMove(double x, double y) override {
    swf::Matrix toStage;
    if (!stageToPixels_.invert(&toStage)) return false;
    return afterPointer(pointer_.move(*root_, toStage.mapX(x, y), toStage.mapY(x, y)));
  }
  bool pointerButton(bool down) override { return afterPointer(pointer_.button(*root_, down)); }
  bool pointerLeave() override { return afterPointer(pointer_.leave(*root_)); }
  bool pointerOverButton() const override { return pointer_.overActive(); }

 private:
  static int stageSide(int32_t twips) {
    int px = static_cast<int>(std::lround(twips / 20.0));
    return std::max(1, std::min(px, kMaxStageSide));
  }

  const swf::Bitmap* bitmap(uint16_t id) const override {
    const CharacterDef* def = movie_->character(id);
    return def && def->kind == CharacterKind::Bitmap ? def->bitmap.get() : nullptr;
  }

  // Scripts that the pointer started run now, with what they queue.
  bool afterPointer(bool changed) {
    if (!context_.queue.empty() || ranActions_) {
      runQueuedActions();
      syncTextFields(*root_);
      changed = true;
    }
    ranActions_ = false;
    return changed;
  }

  void runButtonActions(SpriteInstance& timeline, const std::vector<uint8_t>& code) override {
    runActions(code.data(), code.size(), timeline);
    ranActions_ = true;
  }
  void playButtonSound(const swf::ButtonDef::Sound& sound) override {
    if (sounds_) sounds_->start(sound.id, sound.info);
  }
  // Clips answer the pointer through their scripts' handlers.
  bool clipTakesPointer(SpriteInstance&) override { return false; }
  void clipEvent(SpriteInstance&, uint32_t) override {}

  void runQueuedActions() {
    // Blocks queued while running (gotos) run in the same pass.
    for (size_t i = 0; i < context_.queue.size() && i < kMaxActionBlocksPerFrame; ++i) {
      QueuedActions q = context_.queue[i];
      if (auto target = q.target.lock()) runActions(q.code->data(), q.code->size(), *target);
    }
    context_.queue.clear();
  }

  TextField& textFieldOf(DisplayObject& o) {
    if (!o.textField) o.textField = std::make_shared<TextField>(*o.def->editText, *movie_);
    return *o.textField;
  }

  // Fields bound to a variable show its value; a field whose variable is
  // not set yet sets it to the field's own text.
  void syncTextFields(SpriteInstance& sprite) {
    for (auto& entry : sprite.children()) {
      DisplayObject& o = entry.second;
      if (o.sprite) syncTextFields(*o.sprite);
      if (o.def->kind != CharacterKind::EditText || o.def->editText->variable.empty()) continue;
      TextField& field = textFieldOf(o);
      std::string value;
      if (readVariable(sprite, o.def->editText->variable, &value)) {
        field.setText(value);
      } else {
        writeVariable(sprite, o.def->editText->variable, field.text());
      }
    }
  }

  void drawObject(DisplayObject& o, const swf::Matrix& m, const swf::ColorTransform& cx) {
    switch (o.def->kind) {
      case CharacterKind::Shape:
        renderer_.drawShape(o.def->shape, m, stageScale_, cx, *this);
        break;
      case CharacterKind::Morph:
        if (!o.morphShape) o.morphShape = std::make_unique<swf::ShapeDef>();
        if (o.morphRatio != o.ratio) {
          swf::blendMorph(*o.def->morph, o.ratio / 65535.0, o.morphShape.get());
          o.morphRatio = o.ratio;
        }
        renderer_.drawShape(*o.morphShape, m, stageScale_, cx, *this);
        break;
      case CharacterKind::Sprite:
      case CharacterKind::Button:
        if (o.sprite) drawSprite(*o.sprite, m, cx);
        break;
      case CharacterKind::StaticText:
        drawStaticText(renderer_, *o.def->staticText, *movie_, m, cx);
        break;
      case CharacterKind::EditText:
        textFieldOf(o).draw(renderer_, fonts_, m, cx);
        break;
      case CharacterKind::Bitmap:
        break;
    }
  }

  // Grows box (x0, y0, x1, y1) by what the object covers through m.
  void addBounds(const DisplayObject& o, const swf::Matrix& m, double* box) {
    const swf::Rect* r = nullptr;
    swf::Matrix inner = m;
    if (o.def->kind == CharacterKind::Shape) r = &o.def->shape.bounds;
    if (o.def->kind == CharacterKind::Morph && o.morphShape) r = &o.morphShape->bounds;
    if (o.def->kind == CharacterKind::EditText) r = &o.def->editText->bounds;
    if (o.def->kind == CharacterKind::StaticText) {
      r = &o.def->staticText->bounds;
      inner = m * o.def->staticText->matrix;
    }
    if (r) {
      double xs[2] = {double(r->xMin), double(r->xMax)}, ys[2] = {double(r->yMin), double(r->yMax)};
      for (double x : xs)
        for (double y : ys) {
          double px = inner.mapX(x, y), py = inner.mapY(x, y);
          box[0] = std::min(box[0], px);
          box[1] = std::min(box[1], py);
          box[2] = std::max(box[2], px);
          box[3] = std::max(box[3], py);
        }
    }
    if (o.sprite)
      for (auto& entry : o.sprite->children()) addBounds(entry.second, m * entry.second.matrix, box);
  }

  // Cached and filtered objects are drawn as a picture of their own whose
  // corner sits on a whole pixel: the object moves by less than half a
  // pixel so that its bounds' top left corner does. Halves round up across;
  // down the page they round down for filtered pictures and up for cached
  // ones, as the reference pictures show. The moved bounds go to *box
  // (x0, y0, x1, y1); false when the object covers nothing.
  bool snapToPixels(const DisplayObject& o, bool filtered, swf::Matrix* m, double* box) {
    box[0] = box[1] = 1e300;
    box[2] = box[3] = -1e300;
    addBounds(o, *m, box);
    if (!(box[0] <= box[2]) || !(std::fabs(box[0]) < 1e9) || !(std::fabs(box[1]) < 1e9)) return false;
    double dx = std::floor(box[0] + 0.5) - box[0];
    double dy = (filtered ? std::ceil(box[1] - 0.5) : std::floor(box[1] + 0.5)) - box[1];
    m->tx += dx;
    m->ty += dy;
    box[0] += dx;
    box[1] += dy;
    box[2] += dx;
    box[3] += dy;
    return true;
  }

  void drawSprite(SpriteInstance& sprite, const swf::Matrix& m, const swf::ColorTransform& cx) {
    size_t clipBase = clipStack_.size();
    for (auto& entry : sprite.children()) {
      int depth = entry.first;
      DisplayObject& o = entry.second;
      while (clipStack_.size() > clipBase && depth > clipStack_.back()) {
        renderer_.popMask();
        clipStack_.pop_back();
      }
      swf::Matrix om = m * o.matrix;
      if (o.clipDepth > 0) {
        if (renderer_.drawingMask()) continue;  // masks inside a mask's content are not drawn
        renderer_.beginMask();
        drawObject(o, om, cx * o.colorTransform);
        renderer_.applyMask();
        clipStack_.push_back(o.clipDepth);
        continue;
      }
      if (!o.visible) continue;
      // Blend modes and filters work on the object drawn on its own, whose
      // colour transform then applies to it as a whole.
      bool layered = (o.blendMode != swf::BlendMode::Normal || o.filters) && !renderer_.drawingMask();
      // Alpha and erase cut into the layer they are drawn in; with none,
      // they have nothing to cut and the object itself is not shown.
      bool cuts = o.blendMode == swf::BlendMode::Alpha || o.blendMode == swf::BlendMode::Erase;
      if (cuts && !renderer_.inLayer()) continue;
      if (o.filters || o.cacheAsBitmap || o.hasBackground) {
        double box[4];
        bool covers = snapToPixels(o, o.filters != nullptr, &om, box);
        // An opaque background fills the cached picture's whole pixels.
        if (covers && o.hasBackground)
          renderer_.fillRect(box[0], box[1], box[0] + std::ceil(box[2] - box[0] - 1e-9),
                             box[1] + std::ceil(box[3] - box[1] - 1e-9), o.background, cx * o.colorTransform);
      }
      if (!layered) {
        drawObject(o, om, cx * o.colorTransform);
        continue;
      }
      double filterScale = stageScale_ * 20;
      if (!renderer_.beginLayer(o.filters ? render::filterReach(*o.filters, filterScale) : 0)) {
        // No layer to be had: drawn as it is, unless it only cuts.
        if (!cuts) drawObject(o, om, cx * o.colorTransform);
        continue;
      }
      drawObject(o, om, cx);
      renderer_.endLayer(o.blendMode, o.filters.get(), filterScale, o.colorTransform);
    }
    while (clipStack_.size() > clipBase) {
      renderer_.popMask();
      clipStack_.pop_back();
    }
  }

  std::unique_ptr<Movie> movie_;
  MovieFonts fonts_;
  RunContext context_;
  std::shared_ptr<SpriteInstance> root_;
  render::Renderer renderer_;
  std::vector<int> clipStack_;
  double stageScale_ = 1.0 / 20;
  // Where the stage was last drawn: the pointer's pixels map back through it.
  swf::Matrix stageToPixels_ = swf::Matrix{1.0 / 20, 0, 0, 1.0 / 20, 0, 0};
  Pointer pointer_;
  bool ranActions_ = false;
  std::unique_ptr<SoundSync> sounds_;
  bool antialias_ = true;
};

}  // namespace

std::unique_ptr<Player> Player::load(const uint8_t* data, size_t size, const PlayerServices& services) {
  auto movie = std::make_unique<Movie>();
  if (!parseMovie(data, size, movie.get())) return nullptr;
  return std::make_unique<MoviePlayer>(std::move(movie), services);
}

}  // namespace player
