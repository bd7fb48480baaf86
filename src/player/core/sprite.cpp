#include "player/core/sprite.h"

#include <algorithm>

namespace player {

struct SpriteInstance::Placement {
  uint16_t characterId = 0;
  swf::Matrix matrix;
  swf::ColorTransform colorTransform;
  uint16_t ratio = 0;
  uint16_t clipDepth = 0;
  std::string name;
  std::shared_ptr<const std::vector<swf::Filter>> filters;
  swf::BlendMode blendMode = swf::BlendMode::Normal;
  bool visible = true;
  bool cacheAsBitmap = false;
  bool hasBackground = false;
  swf::Rgba background;
  bool fresh = false;  // placed anew since the frame shown
};

// What a place tag sets on an object, whether it is new or moved.
void SpriteInstance::applyPlacement(DisplayObject& o, const Placement& p) {
  o.matrix = p.matrix;
  o.colorTransform = p.colorTransform;
  o.ratio = p.ratio;
  o.clipDepth = p.clipDepth;
  o.name = p.name;
  o.filters = p.filters;
  o.blendMode = p.blendMode;
  o.visible = p.visible;
  o.cacheAsBitmap = p.cacheAsBitmap;
  o.hasBackground = p.hasBackground;
  o.background = p.background;
}

SpriteInstance::~SpriteInstance() { context_->objects -= static_cast<int64_t>(children_.size()); }

void SpriteInstance::applyFrame(int frame, std::map<int, Placement>* state) const {
  context_->work += 1 + static_cast<int64_t>(timeline_->frames[frame].commands.size());
  for (const FrameCommand& c : timeline_->frames[frame].commands) {
    const PlaceCommand& p = c.place;
    if (c.remove) {
      state->erase(p.depth);
      continue;
    }
    auto it = state->find(p.depth);
    Placement* target = nullptr;
    if (p.move) {
      if (it == state->end()) continue;  // nothing there to move
      target = &it->second;
      if (p.hasCharacter && target->characterId != p.characterId) {
        target->characterId = p.characterId;
        target->fresh = true;
      }
    } else {
      if (!p.hasCharacter) continue;
      Placement fresh;
      fresh.characterId = p.characterId;
      fresh.fresh = true;
      target = &((*state)[p.depth] = fresh);
    }
    if (p.hasMatrix) target->matrix = p.matrix;
    if (p.hasColorTransform) target->colorTransform = p.colorTransform;
    if (p.hasRatio) target->ratio = p.ratio;
    if (p.hasName) target->name = p.name;
    if (p.hasClipDepth) target->clipDepth = p.clipDepth;
    if (p.hasFilters) target->filters = p.filters;
    if (p.hasBlendMode) target->blendMode = p.blendMode;
    if (p.hasVisible) target->visible = p.visible;
    if (p.hasCacheAsBitmap) target->cacheAsBitmap = p.cacheAsBitmap;
    if (p.hasBackground) {
      target->hasBackground = true;
      target->background = p.background;
    }
  }
}

void SpriteInstance::createObject(int depth, const Placement& p) {
  const CharacterDef* def = context_->movie->character(p.characterId);
  if (!def || def->kind == CharacterKind::Bitmap) return;
  if (context_->objects >= RunContext::kMaxObjects) return;
  bool timeline = def->kind == CharacterKind::Sprite || def->kind == CharacterKind::Button;
  if (timeline && nesting_ >= RunContext::kMaxNesting) return;
  DisplayObject& o = children_[depth];
  ++context_->objects;
  o.characterId = p.characterId;
  o.def = def;
  applyPlacement(o, p);
  if (timeline) {
    auto sprite = std::make_shared<SpriteInstance>(def->timeline.get(), nesting_ + 1, context_);
    sprite->bornTick_ = context_->tick;
    sprite->parent_ = weak_from_this();
    o.sprite = sprite;
    sprite->gotoFrame(0);
    // A button shows the state the pointer leaves it in, not a sequence.
    if (def->kind == CharacterKind::Button) sprite->stop();
  }
}

void SpriteInstance::gotoFrame(int frame) {
  frame = std::max(0, std::min(frame, frameCount() - 1));
  if (frame == frame_ || context_->work > RunContext::kMaxWorkPerTick) return;
  bool forward = frame > frame_;
  std::map<int, Placement> state;
  int from = 0;
  // The display list is copied and set again: that counts as work too.
  context_->work += static_cast<int64_t>(children_.size());
  if (forward) {
    for (const auto& entry : children_) {
      const DisplayObject& o = entry.second;
      Placement p;
      p.characterId = o.characterId;
      p.matrix = o.matrix;
      p.colorTransform = o.colorTransform;
      p.ratio = o.ratio;
      p.clipDepth = o.clipDepth;
      p.name = o.name;
      p.filters = o.filters;
      p.blendMode = o.blendMode;
      p.visible = o.visible;
      p.cacheAsBitmap = o.cacheAsBitmap;
      p.hasBackground = o.hasBackground;
      p.background = o.background;
      state[entry.first] = p;
    }
    from = frame_ + 1;
  }
  for (int f = from; f <= frame; ++f) applyFrame(f, &state);
  frame_ = frame;

  // Queue this frame's actions before the new children run their first frame.
  for (const auto& code : timeline_->frames[frame].actions)
    context_->queue.push_back({weak_from_this(), &code});

  context_->work += static_cast<int64_t>(state.size());
  // Objects that stay keep running; replaced or removed ones go.
  for (auto it = children_.begin(); it != children_.end();) {
    auto s = state.find(it->first);
    bool keep = s != state.end() && s->second.characterId == it->second.characterId &&
                !(forward && s->second.fresh);
    if (keep) {
      ++it;
    } else {
      it = children_.erase(it);
      --context_->objects;
    }
  }
  for (const auto& entry : state) {
    auto it = children_.find(entry.first);
    if (it == children_.end()) {
      createObject(entry.first, entry.second);
      continue;
    }
    DisplayObject& o = it->second;
    const Placement& p = entry.second;
    applyPlacement(o, p);
  }
}

void SpriteInstance::tick() {
  if (bornTick_ == context_->tick && frame_ >= 0 && nesting_ > 0) return;  // showed frame 1 this tick
  if (playing_ && frameCount() > 1) gotoFrame(frame_ + 1 >= frameCount() ? 0 : frame_ + 1);
  // Children may be removed by nothing here, but keep them alive while ticking.
  std::vector<std::shared_ptr<SpriteInstance>> sprites;
  for (auto& entry : children_)
    if (entry.second.sprite) sprites.push_back(entry.second.sprite);
  for (auto& s : sprites) s->tick();
}

}  // namespace player
