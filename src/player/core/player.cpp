#include "player/core/player.h"

#include <algorithm>
#include <cmath>

#include "player/core/bounds.h"
#include "player/core/movie.h"
#include "player/core/pointer.h"
#include "player/core/sound_sync.h"
#include "player/core/sprite.h"
#include "player/core/stage.h"
#include "player/core/text_field.h"
#include "player/render/renderer.h"
#include "player/text/encoding.h"

namespace player {

namespace {

constexpr int kMaxStageSide = 8192;

class MoviePlayer final : public Player, private render::BitmapSource, private PointerHost {
 public:
  MoviePlayer(std::unique_ptr<Movie> movie, const PlayerServices& services)
      : movie_(std::move(movie)),
        fonts_(*movie_, services.deviceFonts),
        sounds_(services.mixer ? std::make_unique<SoundSync>(*movie_, *services.mixer) : nullptr),
        stage_(*movie_, services, sounds_.get()),
        root_(&stage_.root()),
        pointer_(*movie_, *this) {}

  int stageWidth() const override { return stageSide(movie_->header.frameSize.xMax - movie_->header.frameSize.xMin); }
  int stageHeight() const override { return stageSide(movie_->header.frameSize.yMax - movie_->header.frameSize.yMin); }
  double frameRate() const override { return movie_->header.frameRate; }
  uint32_t backgroundColor() const override { return movie_->backgroundColor; }
  int frameCount() const override { return root_->frameCount(); }
  int currentFrame() const override { return root_->currentFrame() + 1; }
  void setAntialias(bool on) override { antialias_ = on; }

  void advanceFrame() override {
    stage_.advanceFrame();
    syncTextFields(*root_);
    if (sounds_) sounds_->frameShown(*root_);
  }
  Stage& stage() override { return stage_; }

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
    stage_.showCaret();
    // Scripts may move, colour or hide the root too.
    const DisplayObject* own = root_->displayObject();
    if (own->visible) drawSprite(*root_, stage * own->matrix, own->colorTransform);
  }

  bool pointerMove(double x, double y) override {
    swf::Matrix toStage;
    if (!stageToPixels_.invert(&toStage)) return false;
    double twipsX = toStage.mapX(x, y), twipsY = toStage.mapY(x, y);
    pointerX_ = twipsX;
    pointerY_ = twipsY;
    if (stage_.dragSelect(twipsX, twipsY)) ranScripts_ = true;
    if (stage_.mouseMove(twipsX / 20, twipsY / 20)) ranScripts_ = true;
    return afterPointer(pointer_.move(*root_, twipsX, twipsY));
  }
  bool pointerButton(bool down) override {
    // A press gives the focus to the input field under it, or takes it.
    bool focus = down && stage_.pressAt(pointerX_, pointerY_);
    if (focus) ranScripts_ = true;
    if (!down) stage_.releasePress();
    if (stage_.mouseButton(down)) ranScripts_ = true;
    return afterPointer(pointer_.button(*root_, down));
  }
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

  // What the pointer's scripts changed shows at once.
  bool afterPointer(bool changed) {
    if (ranScripts_) {
      syncTextFields(*root_);
      changed = true;
    }
    ranScripts_ = false;
    return changed;
  }

  void runButtonActions(SpriteInstance& timeline, const std::vector<uint8_t>& code) override {
    stage_.runActions(timeline, code);
    ranScripts_ = true;
  }
  void playButtonSound(const swf::ButtonDef::Sound& sound) override {
    if (sounds_) sounds_->start(sound.id, sound.info);
  }
  bool clipTakesPointer(SpriteInstance& clip) override { return stage_.clipTakesPointer(clip); }
  void clipEvent(SpriteInstance& clip, uint32_t event) override {
    stage_.clipEvent(clip, event);
    ranScripts_ = true;
  }

  // Fields bound to a variable show its value; a field whose variable is
  // not set yet sets it to the field's own text.
  void syncTextFields(SpriteInstance& sprite) {
    for (auto& entry : sprite.children()) {
      DisplayObject& o = entry.second;
      if (o.sprite) syncTextFields(*o.sprite);
      if (o.def->kind != CharacterKind::EditText) continue;
      TextField& field = textFieldOf(o, *movie_);
      if (field.def().variable.empty()) continue;
      std::string value;
      int version = movie_->header.version;
      SpriteInstance& scope = sprite.variableScope();
      if (stage_.getVariableText(scope, field.def().variable, &value)) {
        field.setText(version >= 6 ? value : text::encodeMovieText(text::decodeUtf8(value), version));
      } else {
        std::string text = field.text();
        stage_.setVariableText(scope, field.def().variable,
                               version >= 6 ? text : text::encodeUtf8(text::decodeMovieText(text, version)));
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
        textFieldOf(o, *movie_).draw(renderer_, fonts_, m, cx);
        break;
      case CharacterKind::Video:
        break;
      case CharacterKind::Bitmap:
        if (o.scriptBitmap) {
          renderer_.drawBitmap(o.scriptBitmap->bitmap, m, cx, o.smoothing);
        } else {
          renderer_.drawShape(o.def->shape, m, stageScale_, cx, *this);
        }
        break;
    }
  }

  // Cached and filtered objects are drawn as a picture of their own whose
  // corner sits on a whole pixel: the object moves by less than half a
  // pixel so that its bounds' top left corner does. Halves round up across;
  // down the page they round down for filtered pictures and up for cached
  // ones, as the reference pictures show. The moved bounds go to *box
  // (x0, y0, x1, y1); false when the object covers nothing.
  bool snapToPixels(const DisplayObject& o, bool filtered, swf::Matrix* m, double* box) {
    clearBox(box);
    addObjectBounds(o, *m, box);
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

  // An object of a display list, visible and not a mask, drawn at `om`.
  void drawPlaced(DisplayObject& o, swf::Matrix om, const swf::ColorTransform& cx) {
    // Blend modes and filters work on the object drawn on its own, whose
    // colour transform then applies to it as a whole.
    bool layered = (o.blendMode != swf::BlendMode::Normal || o.filters) && !renderer_.drawingMask();
    // Alpha and erase cut into the layer they are drawn in; with none,
    // they have nothing to cut and the object itself is not shown.
    bool cuts = o.blendMode == swf::BlendMode::Alpha || o.blendMode == swf::BlendMode::Erase;
    if (cuts && !renderer_.inLayer()) return;
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
      return;
    }
    double filterScale = stageScale_ * 20;
    if (!renderer_.beginLayer(o.filters ? render::filterReach(*o.filters, filterScale) : 0)) {
      // No layer to be had: drawn as it is, unless it only cuts.
      if (!cuts) drawObject(o, om, cx * o.colorTransform);
      return;
    }
    drawObject(o, om, cx);
    renderer_.endLayer(o.blendMode, o.filters.get(), filterScale, o.colorTransform);
  }

  void drawSprite(SpriteInstance& sprite, const swf::Matrix& m, const swf::ColorTransform& cx) {
    if (const Drawing* d = sprite.drawing()) renderer_.drawShape(d->shape, m, stageScale_, cx, *this);
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
      // A clip that masks another (setMask) shows only as that one's mask.
      if (o.sprite && o.sprite->masked()) continue;
      if (o.textField && o.textField->masked()) continue;
      SpriteInstance* mask = nullptr;
      SpriteInstance* fieldHolder = nullptr;
      DisplayObject* maskField = nullptr;
      if (o.sprite && !renderer_.drawingMask()) {
        mask = o.sprite->mask();
        if (!mask) maskField = o.sprite->maskField(&fieldHolder);
      }
      if (mask || maskField) {
        renderer_.beginMask();
        if (mask) {
          drawSprite(*mask, stageToPixels_ * mask->worldMatrix(), swf::ColorTransform());
        } else {
          drawObject(*maskField, stageToPixels_ * fieldHolder->worldMatrix() * maskField->matrix,
                     swf::ColorTransform());
        }
        renderer_.applyMask();
      }
      drawPlaced(o, om, cx);
      if (mask || maskField) renderer_.popMask();
    }
    while (clipStack_.size() > clipBase) {
      renderer_.popMask();
      clipStack_.pop_back();
    }
  }

  std::unique_ptr<Movie> movie_;
  MovieFonts fonts_;
  std::unique_ptr<SoundSync> sounds_;
  Stage stage_;
  SpriteInstance* root_;
  render::Renderer renderer_;
  std::vector<int> clipStack_;
  double stageScale_ = 1.0 / 20;
  // Where the stage was last drawn: the pointer's pixels map back through it.
  swf::Matrix stageToPixels_ = swf::Matrix{1.0 / 20, 0, 0, 1.0 / 20, 0, 0};
  Pointer pointer_;
  bool ranScripts_ = false;  // since the pointer's last news
  double pointerX_ = 0, pointerY_ = 0;  // stage twips
  bool antialias_ = true;
};

}  // namespace

std::unique_ptr<Player> Player::load(const uint8_t* data, size_t size, const PlayerServices& services) {
  auto movie = std::make_unique<Movie>();
  if (!parseMovie(data, size, movie.get())) return nullptr;
  return std::make_unique<MoviePlayer>(std::move(movie), services);
}

}  // namespace player
