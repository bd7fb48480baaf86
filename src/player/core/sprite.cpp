#include "player/core/sprite.h"

#include <algorithm>

#include "player/avm1/clip_object.h"
#include "player/core/text_field.h"

namespace player {

namespace {

// The timeline of clips made empty by scripts.
const TimelineDef& emptyTimeline() {
  static const TimelineDef empty = [] {
    TimelineDef t;
    t.frames.emplace_back();
    return t;
  }();
  return empty;
}

const std::string kNoName;

// What clips made empty by scripts are drawn from.
const CharacterDef& emptySpriteCharacter() {
  static const CharacterDef def = [] {
    CharacterDef d;
    d.kind = CharacterKind::Sprite;
    return d;
  }();
  return def;
}

}  // namespace

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
  std::shared_ptr<const std::vector<ClipAction>> clipActions;
  int placeFrame = -1;  // the frame whose tag placed it
};

SpriteInstance::SpriteInstance(const TimelineDef* timeline, int nesting, RunContext* context)
    : timeline_(timeline ? timeline : &emptyTimeline()), nesting_(nesting), context_(context) {
  if (nesting == 0) {
    own_ = std::make_unique<DisplayObject>();
    own_->def = &emptySpriteCharacter();
  }
}

// What a place tag sets on an object, whether it is new or moved. Objects a
// script has moved keep their transform.
void SpriteInstance::applyPlacement(DisplayObject& o, const Placement& p) {
  if (!o.transformedByScript) {
    o.matrix = p.matrix;
    o.colorTransform = p.colorTransform;
    o.hasScriptTransform = false;
  }
  o.ratio = p.ratio;
  o.clipDepth = p.clipDepth;
  if (!p.name.empty()) o.name = p.name;
  o.filters = p.filters;
  o.blendMode = p.blendMode;
  o.visible = p.visible;
  o.cacheAsBitmap = p.cacheAsBitmap;
  o.hasBackground = p.hasBackground;
  o.background = p.background;
}

SpriteInstance::~SpriteInstance() {
  context_->objects -= static_cast<int64_t>(children_.size());
  for (auto& entry : children_) {
    std::shared_ptr<SpriteInstance> child = std::move(entry.second.sprite);
    if (!child || child.use_count() == 1) continue;
    // A child something still holds is off the stage, and keeps its entry.
    child->parent_ = nullptr;
    child->entry_ = nullptr;
    child->removed_ = true;
    child->own_ = std::make_unique<DisplayObject>(std::move(entry.second));
  }
  if (scriptObject_) scriptObject_->detach();
}

DisplayObject* SpriteInstance::displayObject() const { return own_ ? own_.get() : entry_; }

SpriteInstance& SpriteInstance::variableScope() {
  SpriteInstance* s = this;
  for (;;) {
    const DisplayObject* o = s->displayObject();
    if (!s->parent_ || !o || !o->def || o->def->kind != CharacterKind::Button) return *s;
    s = s->parent_;
  }
}

const std::string& SpriteInstance::name() const {
  DisplayObject* o = displayObject();
  return o ? o->name : kNoName;
}

uint16_t SpriteInstance::characterId() const {
  DisplayObject* o = displayObject();
  return o ? o->characterId : 0;
}

DisplayObject* SpriteInstance::namedChild(const std::string& name, bool caseSensitive) {
  for (auto& entry : children_) {
    DisplayObject& o = entry.second;
    if (o.name.size() != name.size() || o.name.empty()) continue;
    if (caseSensitive ? o.name == name : avm1::strcasecmpEqual(o.name, name)) return &o;
  }
  return nullptr;
}

void SpriteInstance::setMask(SpriteInstance* mask) {
  // A clip masks one clip at a time, and has one mask at a time.
  if (SpriteInstance* old = mask_.lock().get()) old->masked_.reset();
  mask_.reset();
  if (auto field = maskField_.lock()) field->setMasked({});
  maskField_.reset();
  maskFieldHolder_.reset();
  if (!mask || mask == this) return;
  if (SpriteInstance* before = mask->masked_.lock().get()) before->mask_.reset();
  mask_ = mask->weak_from_this();
  mask->masked_ = weak_from_this();
}

void SpriteInstance::setMaskField(SpriteInstance& holder, const std::shared_ptr<TextField>& field) {
  setMask(nullptr);
  if (!field) return;
  if (SpriteInstance* before = field->masked()) before->setMask(nullptr);
  maskField_ = field;
  maskFieldHolder_ = holder.weak_from_this();
  field->setMasked(weak_from_this());
}

DisplayObject* SpriteInstance::maskField(SpriteInstance** holder) const {
  auto field = maskField_.lock();
  auto owner = maskFieldHolder_.lock();
  if (!field || !owner) return nullptr;
  for (auto& entry : owner->children_) {
    if (entry.second.textField == field) {
      *holder = owner.get();
      return &entry.second;
    }
  }
  return nullptr;
}

swf::Matrix SpriteInstance::worldMatrix() const {
  swf::Matrix m;
  for (const SpriteInstance* s = this; s; s = s->parent()) {
    const DisplayObject* o = s->displayObject();
    if (o) m = o->matrix * m;
  }
  return m;
}

Drawing& SpriteInstance::drawingForScript() {
  if (!drawing_) drawing_ = std::make_unique<Drawing>();
  return *drawing_;
}

void SpriteInstance::applyFrame(int frame, std::map<int, Placement>* state) {
  context_->work += 1 + static_cast<int64_t>(timeline_->frames[frame].commands.size());
  queueInitActions(frame);
  for (const FrameCommand& c : timeline_->frames[frame].commands) {
    if (c.action >= 0) continue;
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
        target->placeFrame = frame;
      }
    } else {
      if (!p.hasCharacter) continue;
      Placement fresh;
      fresh.characterId = p.characterId;
      fresh.placeFrame = frame;
      fresh.clipActions = p.clipActions;
      target = &((*state)[p.depth] = fresh);
    }
    applyCommand(target, p);
  }
}

void SpriteInstance::applyCommand(Placement* target, const PlaceCommand& p) {
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

void SpriteInstance::queueInitActions(int frame) {
  if (!context_->machine) return;
  for (const auto& init : timeline_->frames[frame].initActions) {
    if (!context_->initialized.insert(init.first).second) continue;
    context_->enqueue(ActionPriority::InitActions, {shared_from_this(), init.second, 0, false});
  }
}

void SpriteInstance::createObject(int depth, const Placement& p) {
  const CharacterDef* def = context_->movie->character(p.characterId);
  if (!def) return;
  if (context_->objects >= RunContext::kMaxObjects) return;
  bool timeline = def->kind == CharacterKind::Sprite || def->kind == CharacterKind::Button;
  if (timeline && nesting_ >= RunContext::kMaxNesting) return;
  DisplayObject& o = children_[depth];
  ++context_->objects;
  o.characterId = p.characterId;
  o.def = def;
  o.placeFrame = p.placeFrame;
  applyPlacement(o, p);
  if (def->kind == CharacterKind::Video) o.video = std::make_shared<VideoDisplay>();
  if (timeline) {
    if (o.name.empty()) o.name = "instance" + std::to_string(++context_->instanceCounter);
    auto sprite = std::make_shared<SpriteInstance>(def->timeline.get(), nesting_ + 1, context_);
    sprite->parent_ = this;
    sprite->depth_ = depth;
    sprite->entry_ = &o;
    o.sprite = sprite;
    if (def->kind == CharacterKind::Button) {
      // A button shows the state the pointer leaves it in, not a sequence,
      // and has no clip events of its own.
      sprite->playing_ = false;
      sprite->runFrameTags(0);
    } else {
      sprite->clipActions_ = p.clipActions;
      sprite->placed();
    }
  }
}

bool SpriteInstance::isEmptyClip() const { return timeline_ == &emptyTimeline(); }

SpriteInstance* SpriteInstance::createChild(int depth, uint16_t characterId, const TimelineDef* timeline,
                                            const std::string& name) {
  if (nesting_ >= RunContext::kMaxNesting || context_->objects >= RunContext::kMaxObjects) return nullptr;
  auto existing = children_.find(depth);
  if (existing != children_.end()) removeAt(existing);
  DisplayObject& o = children_[depth];
  ++context_->objects;
  o.characterId = characterId;
  o.def = context_->movie->character(characterId);
  bool button = o.def && o.def->kind == CharacterKind::Button;
  if (!o.def || (o.def->kind != CharacterKind::Sprite && !button)) o.def = &emptySpriteCharacter();
  o.name = name;
  o.placedByScript = true;
  auto sprite = std::make_shared<SpriteInstance>(timeline, nesting_ + 1, context_);
  sprite->parent_ = this;
  sprite->depth_ = depth;
  sprite->entry_ = &o;
  // A button shows the state the pointer leaves it in, not a sequence.
  if (button) sprite->playing_ = false;
  o.sprite = sprite;
  return sprite.get();
}

DisplayObject* SpriteInstance::createScriptObject(int depth, std::shared_ptr<const CharacterDef> def,
                                                 const std::string& name, const swf::Matrix& matrix) {
  if (!def || context_->objects >= RunContext::kMaxObjects) return nullptr;
  auto existing = children_.find(depth);
  if (existing != children_.end()) removeAt(existing);
  DisplayObject& o = children_[depth];
  ++context_->objects;
  o.def = def.get();
  o.scriptDef = std::move(def);
  o.name = name;
  o.matrix = matrix;
  o.placedByScript = true;
  return &o;
}

void SpriteInstance::placed(bool byScript) {
  context_->executionList.push_back(weak_from_this());
  if (context_->machine) {
    uint32_t all = 0;
    if (clipActions_)
      for (const ClipAction& a : *clipActions_) all |= a.events;
    auto self = shared_from_this();
    if (all & kEventInitialize) context_->enqueue(ActionPriority::Initialize, {self, nullptr, kEventInitialize, false});
    // Clips of registered classes get their constructor at this point too
    // (their classes may be registered by init actions not yet run).
    if ((all & kEventConstruct) || !byScript)
      context_->enqueue(ActionPriority::Construct, {self, nullptr, kEventConstruct, false});
  }
  // A clip's load comes before its first frame's scripts; the root's after
  // them, so that a first frame may set _root.onLoad.
  bool isRoot = parent_ == nullptr;
  if (context_->machine && !isRoot) context_->enqueue(ActionPriority::Normal, {shared_from_this(), nullptr, kEventLoad, false});
  runFrameTags(0);
  if (context_->machine && isRoot) context_->enqueue(ActionPriority::Normal, {shared_from_this(), nullptr, kEventLoad, false});
}

void SpriteInstance::removeAt(std::map<int, DisplayObject>::iterator it) {
  std::shared_ptr<SpriteInstance> sprite = it->second.sprite;
  // Clips (not buttons, which no frame would take away later) wait for their unload handlers.
  bool isClip = it->second.def && it->second.def->kind != CharacterKind::Button;
  if (sprite && isClip && !sprite->awaitingUnload_ && context_->machine &&
      avm1::hasUnloadHandler(*context_->machine, *sprite)) {
    keepUntilUnloaded(it);
    return;
  }
  auto node = children_.extract(it);
  --context_->objects;
  if (!sprite) return;
  node.mapped().sprite.reset();
  sprite->own_ = std::make_unique<DisplayObject>(std::move(node.mapped()));
  sprite->entry_ = nullptr;
  sprite->markRemoved();
  sprite->parent_ = nullptr;
}

void SpriteInstance::markRemoved() {
  // Scripts may look for the clip again by the path it had.
  if (scriptObject_) scriptObject_->rememberPath();
  removed_ = true;
  // Children hear of it first, as the reference player orders unload events.
  for (auto& entry : children_)
    if (entry.second.sprite) entry.second.sprite->markRemoved();
  if (context_->machine && !unloadQueued_)
    context_->enqueue(ActionPriority::Normal, {shared_from_this(), nullptr, kEventUnload, true});
}

void SpriteInstance::keepUntilUnloaded(std::map<int, DisplayObject>::iterator it) {
  std::shared_ptr<SpriteInstance> sprite = it->second.sprite;
  int to = -1 - it->first;
  // One still waiting there from an earlier frame goes for good.
  auto earlier = children_.find(to);
  if (earlier != children_.end()) removeAt(earlier);
  auto node = children_.extract(it);
  node.key() = to;
  auto placed = children_.insert(std::move(node));
  sprite->depth_ = to;
  sprite->entry_ = &placed.position->second;
  sprite->queueUnload();
}

void SpriteInstance::queueUnload() {
  awaitingUnload_ = true;
  for (auto& entry : children_)
    if (entry.second.sprite) entry.second.sprite->queueUnload();
  if (unloadQueued_) return;
  unloadQueued_ = true;
  context_->enqueue(ActionPriority::Normal, {shared_from_this(), nullptr, kEventUnload, true});
}

void SpriteInstance::removeChild(int depth) {
  auto it = children_.find(depth);
  if (it != children_.end()) removeAt(it);
}

void SpriteInstance::swapChildren(int from, int to) {
  if (from == to) return;
  auto a = children_.find(from);
  if (a == children_.end()) return;
  auto b = children_.find(to);
  auto nodeA = children_.extract(a);
  nodeA.key() = to;
  nodeA.mapped().placedByScript = true;
  if (nodeA.mapped().sprite) nodeA.mapped().sprite->depth_ = to;
  if (b != children_.end()) {
    auto nodeB = children_.extract(b);
    nodeB.key() = from;
    nodeB.mapped().placedByScript = true;
    if (nodeB.mapped().sprite) nodeB.mapped().sprite->depth_ = from;
    children_.insert(std::move(nodeB));
  }
  children_.insert(std::move(nodeA));
}

// One frame forward: the frame's tags in their order, so that frame scripts
// and the first frames of new clips queue their actions as they come.
void SpriteInstance::runFrameTags(int frame) {
  context_->work += 1 + static_cast<int64_t>(timeline_->frames[frame].commands.size());
  queueInitActions(frame);
  frame_ = frame;
  furthestFrame_ = std::max(furthestFrame_, frame);
  loaded_ = true;
  for (const FrameCommand& c : timeline_->frames[frame].commands) {
    if (c.action >= 0) {
      if (context_->machine)
        context_->enqueue(ActionPriority::Normal, {shared_from_this(), timeline_->frames[frame].actions[c.action], 0, false});
      continue;
    }
    const PlaceCommand& p = c.place;
    auto it = children_.find(p.depth);
    bool scripted = it != children_.end() && it->second.placedByScript;
    if (c.remove) {
      // The tag removes whatever is at its depth, even a clip a script moved there.
      if (it != children_.end()) removeAt(it);
      continue;
    }
    if (scripted) continue;
    if (p.move) {
      if (it == children_.end()) continue;
      DisplayObject& o = it->second;
      Placement q;
      if (p.hasCharacter && p.characterId != o.characterId) {
        // Another character at the same depth: a new object in its place.
        q.characterId = p.characterId;
        q.matrix = p.hasMatrix ? p.matrix : o.matrix;
        q.colorTransform = p.hasColorTransform ? p.colorTransform : o.colorTransform;
        q.ratio = p.hasRatio ? p.ratio : o.ratio;
        q.name = p.hasName ? p.name : o.name;
        q.clipDepth = p.hasClipDepth ? p.clipDepth : o.clipDepth;
        q.clipActions = p.clipActions;
        q.placeFrame = frame;
        removeAt(it);
        createObject(p.depth, q);
        continue;
      }
      if (!o.transformedByScript) {
        if (p.hasMatrix) {
          o.matrix = p.matrix;
          o.hasScriptTransform = false;
        }
        if (p.hasColorTransform) o.colorTransform = p.colorTransform;
      }
      if (p.hasRatio) o.ratio = p.ratio;
      if (p.hasName) o.name = p.name;
      if (p.hasClipDepth) o.clipDepth = p.clipDepth;
      if (p.hasFilters) o.filters = p.filters;
      if (p.hasBlendMode) o.blendMode = p.blendMode;
      if (p.hasVisible) o.visible = p.visible;
      if (p.hasCacheAsBitmap) o.cacheAsBitmap = p.cacheAsBitmap;
      if (p.hasBackground) {
        o.hasBackground = true;
        o.background = p.background;
      }
      continue;
    }
    if (!p.hasCharacter) continue;
    if (it != children_.end()) removeAt(it);
    Placement q;
    q.characterId = p.characterId;
    q.clipActions = p.clipActions;
    q.placeFrame = frame;
    applyCommand(&q, p);
    createObject(p.depth, q);
  }
}

void SpriteInstance::gotoFrame(int frame) {
  if (removed_) return;  // a clip off the stage has no timeline to move
  // A frame past the last stops at the last, whose scripts then do not run
  // (they were not the frame asked for).
  bool pastTheEnd = frame >= frameCount();
  frame = std::max(0, std::min(frame, frameCount() - 1));
  if (frame == frame_ || context_->work > RunContext::kMaxWorkPerTick) return;
  bool forward = frame > frame_;
  std::map<int, Placement> state;
  int from = 0;
  // Copying the display list and setting it again count as work too.
  context_->work += static_cast<int64_t>(children_.size());
  if (forward) {
    for (const auto& entry : children_) {
      const DisplayObject& o = entry.second;
      if (o.placedByScript) continue;
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
      p.placeFrame = o.placeFrame;
      state[entry.first] = p;
    }
    from = frame_ + 1;
  }
  for (int f = from; f <= frame; ++f) applyFrame(f, &state);
  frame_ = frame;
  furthestFrame_ = std::max(furthestFrame_, frame);
  loaded_ = true;

  context_->work += static_cast<int64_t>(state.size());
  // Objects that stay keep running; replaced or removed ones go. What
  // scripts placed is not the timeline's to change.
  for (auto it = children_.begin(); it != children_.end();) {
    // A rewind clears the timeline's depths (below 16384) of what scripts
    // put there too; above them, scripts' clips stay.
    if (it->second.placedByScript && (forward || it->first >= 16384)) {
      ++it;
      continue;
    }
    auto s = state.find(it->first);
    // The same placement stays; one made by another frame's tag is new.
    bool keep = s != state.end() && s->second.characterId == it->second.characterId &&
                s->second.placeFrame == it->second.placeFrame;
    if (keep) {
      ++it;
    } else {
      auto next = std::next(it);
      removeAt(it);
      it = next;
    }
  }
  // Clips of the frames passed over come first; the frame's own tags then
  // place clips and queue scripts in their order.
  std::set<int> placedHere;
  for (const auto& entry : state) {
    auto it = children_.find(entry.first);
    if (it == children_.end()) {
      if (entry.second.placeFrame == frame) {
        placedHere.insert(entry.first);
      } else {
        createObject(entry.first, entry.second);
      }
      continue;
    }
    if (it->second.placedByScript) continue;
    applyPlacement(it->second, entry.second);
  }
  const FrameDef& tags = timeline_->frames[frame];
  for (const FrameCommand& c : tags.commands) {
    if (c.action >= 0) {
      if (!pastTheEnd && context_->machine)
        context_->enqueue(ActionPriority::Normal, {shared_from_this(), tags.actions[c.action], 0, false});
    } else if (!c.remove && placedHere.erase(c.place.depth)) {
      createObject(c.place.depth, state[c.place.depth]);
    }
  }
  for (int depth : placedHere) createObject(depth, state[depth]);
}

void SpriteInstance::tick() {
  if (removed_ || awaitingUnload_) return;
  if (context_->machine) context_->enqueue(ActionPriority::Normal, {shared_from_this(), nullptr, kEventEnterFrame, false});
  if (!playing_ || frameCount() <= 1) return;
  if (frame_ + 1 >= frameCount()) {
    if (timeline_->loops) gotoFrame(0);
  } else {
    runFrameTags(frame_ + 1);
  }
}

}  // namespace player
