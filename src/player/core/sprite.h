// Running timelines: a sprite instance (the root is one too) with its
// display list, its current frame and its play state.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/core/movie.h"

namespace player {

class SpriteInstance;
class TextField;

struct DisplayObject {
  uint16_t characterId = 0;
  const CharacterDef* def = nullptr;
  swf::Matrix matrix;
  swf::ColorTransform colorTransform;
  uint16_t ratio = 0;
  uint16_t clipDepth = 0;
  std::string name;
  std::shared_ptr<const std::vector<swf::Filter>> filters;  // null: none
  swf::BlendMode blendMode = swf::BlendMode::Normal;
  bool visible = true;
  bool cacheAsBitmap = false;
  bool hasBackground = false;
  swf::Rgba background;
  std::shared_ptr<SpriteInstance> sprite;  // for sprite characters
  // A morph drawn at `morphRatio`, kept until the ratio changes.
  std::unique_ptr<swf::ShapeDef> morphShape;
  int morphRatio = -1;
  // An edit text's own text and layout, made when first needed.
  std::shared_ptr<TextField> textField;
};

struct QueuedActions {
  std::weak_ptr<SpriteInstance> target;
  const std::vector<uint8_t>* code = nullptr;
};

// What every timeline of one player shares while frames run.
struct RunContext {
  const Movie* movie = nullptr;
  std::vector<QueuedActions> queue;
  uint32_t tick = 0;
  // Live display objects; placements beyond the limit are dropped so that a
  // sprite placing itself cannot grow without end.
  int64_t objects = 0;
  static constexpr int64_t kMaxObjects = 20000;
  // Frames and commands replayed by gotos in this tick; scripts that jump
  // back and forth through long timelines stop moving past the limit.
  int64_t work = 0;
  static constexpr int64_t kMaxWorkPerTick = 2000000;
  static constexpr int kMaxNesting = 32;
};

class SpriteInstance : public std::enable_shared_from_this<SpriteInstance> {
 public:
  SpriteInstance(const TimelineDef* timeline, int nesting, RunContext* context)
      : timeline_(timeline), nesting_(nesting), context_(context) {}
  ~SpriteInstance();
  SpriteInstance(const SpriteInstance&) = delete;
  SpriteInstance& operator=(const SpriteInstance&) = delete;

  // Index of the frame shown, -1 before the first.
  int currentFrame() const { return frame_; }
  int frameCount() const { return static_cast<int>(timeline_->frames.size()); }
  bool playing() const { return playing_; }
  const TimelineDef& timeline() const { return *timeline_; }
  const std::map<int, DisplayObject>& children() const { return children_; }
  std::map<int, DisplayObject>& children() { return children_; }

  // One tick: this timeline moves on when playing (the last frame loops to
  // the first), then the sprites it holds do the same.
  void tick();
  // Shows `frame` (0-based, clamped): the display list becomes what the
  // timeline defines there, objects that stay keep running, and the frame's
  // actions are queued.
  void gotoFrame(int frame);
  void play() { playing_ = true; }
  void stop() { playing_ = false; }
  // The timeline holding this one; null for the root (or once it is gone).
  std::shared_ptr<SpriteInstance> parent() const { return parent_.lock(); }
  // Variables set on this timeline, as text in the movie's encoding.
  std::map<std::string, std::string>& variables() { return variables_; }

 private:
  struct Placement;
  void applyFrame(int frame, std::map<int, Placement>* state) const;
  void createObject(int depth, const Placement& p);
  static void applyPlacement(DisplayObject& o, const Placement& p);

  const TimelineDef* timeline_;
  int nesting_;
  RunContext* context_;
  int frame_ = -1;
  bool playing_ = true;
  uint32_t bornTick_ = 0;
  std::map<int, DisplayObject> children_;
  std::weak_ptr<SpriteInstance> parent_;
  std::map<std::string, std::string> variables_;
};

}  // namespace player
