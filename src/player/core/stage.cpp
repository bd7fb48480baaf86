#include "player/core/stage.h"

#include <algorithm>

#include "player/avm1/builtins.h"
#include "player/avm1/clip_object.h"
#include "player/avm1/machine.h"
#include "player/core/text_editing.h"
#include "player/core/text_field.h"
#include "player/core/text_focus.h"
#include "player/text/encoding.h"

namespace player {

namespace {

// Action blocks run per frame at most: goto loops between frame scripts end here.
constexpr size_t kMaxActionBlocksPerFrame = 100000;
// Interval callbacks per frame at most (a 1 ms interval at a slow frame rate).
constexpr int kMaxTimerCallsPerFrame = 1000;

}  // namespace

Stage::Stage(const Movie& movie, const PlayerServices& services, SoundMixer* sounds)
    : movie_(movie), clock_(services.clock) {
  if (!clock_) clock_ = systemClock();
  randomState_ = services.randomSeed ? services.randomSeed
                                    : static_cast<uint32_t>(static_cast<uint64_t>(clock_->utcMillis())) | 1u;
  context_.movie = &movie_;
  if (!movie_.actionScript3) {
    avm1::Environment env;
    env.trace = services.trace;
    Clock* clock = clock_.get();
    env.utcMillis = [clock] { return clock->utcMillis(); };
    env.localOffsetMinutes = [clock](double t) { return clock->localOffsetMinutes(t); };
    env.elapsedMillis = [clock] { return clock->elapsedMillis(); };
    uint32_t* state = &randomState_;
    env.random = [state] {
      // xorshift32: the reference player's own generator cannot be matched anyway.
      uint32_t x = *state;
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      *state = x;
      return static_cast<double>(x) / 4294967296.0;
    };
    machine_ = std::make_unique<avm1::Machine>(movie_.header.version, std::move(env));
    machine_->setCodePage(services.codePage);
    machine_->setMixer(sounds);
    machine_->setDeviceFonts(services.deviceFonts);
    machine_->setMovieUrl(services.url);
    context_.machine = machine_.get();
  }
  root_ = std::make_shared<SpriteInstance>(&movie_.root, 0, &context_);
  if (machine_) machine_->attachDisplay(root_.get(), &context_);
}

Stage::~Stage() {
  // Clips go before the machine whose objects they point at.
  for (auto& q : context_.queue) q.clear();
  root_.reset();
  machine_.reset();
}

void Stage::advanceFrame() {
  context_.work = 0;
  if (machine_) machine_->beginFrame();
  if (!started_) {
    started_ = true;
    root_->placed();
  } else {
    clock_->frameRan(1000.0 / movie_.header.frameRate);
    ++context_.tick;
    auto& list = context_.executionList;
    // Clips kept for their unload handlers leave now.
    for (size_t i = list.size(); i-- > 0;) {
      std::shared_ptr<SpriteInstance> s = list[i].lock();
      if (s && s->awaitingUnload() && !s->removed() && s->parent() && !s->parent()->awaitingUnload())
        s->parent()->removeChild(s->depth());
    }
    // Newest clip first; clips made during the pass wait for the next tick.
    for (size_t i = list.size(); i-- > 0;) {
      std::shared_ptr<SpriteInstance> s = list[i].lock();
      if (s && !s->removed()) s->tick();
    }
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const std::weak_ptr<SpriteInstance>& w) {
                                auto s = w.lock();
                                return !s || s->removed();
                              }),
               list.end());
  }
  runQueuedActions();
  if (machine_) {
    // Intervals shorter than a frame fire as often as they fall due before
    // the next frame, each followed by the scripts it queued.
    double until = clock_->elapsedMillis() + 1000.0 / movie_.header.frameRate;
    for (int fired = 0; fired < kMaxTimerCallsPerFrame && avm1::runNextTimer(*machine_, until); ++fired)
      runQueuedActions();
    avm1::deliverLocalMessages(*machine_);
    runQueuedActions();
    machine_->collectIfDue();
  }
}

void Stage::runQueuedActions() {
  if (!machine_) {
    for (auto& q : context_.queue) q.clear();
    return;
  }
  for (size_t n = 0; n < kMaxActionBlocksPerFrame; ++n) {
    int p = kActionPriorities - 1;
    while (p >= 0 && context_.queue[p].empty()) --p;
    if (p < 0) return;
    QueuedAction q = std::move(context_.queue[p].front());
    context_.queue[p].pop_front();
    if (!q.target || ((q.target->removed() || q.target->awaitingUnload()) && !q.evenIfRemoved)) continue;
    context_.running = q.target.get();
    if (q.code) {
      machine_->runBlock(q.code, q.target.get());
    } else {
      avm1::dispatchClipEvent(*machine_, *q.target, q.event);
    }
    context_.running = nullptr;
  }
  for (auto& q : context_.queue) q.clear();
}

void Stage::broadcastClipEvent(uint32_t event) {
  for (size_t i = context_.executionList.size(); i-- > 0;) {
    std::shared_ptr<SpriteInstance> s = context_.executionList[i].lock();
    if (s && !s->removed()) context_.enqueue(ActionPriority::Normal, {s, nullptr, event, false});
  }
}

bool Stage::mouseMove(double x, double y) {
  if (!machine_) return false;
  uint64_t before = machine_->scriptsRun();
  machine_->beginFrame();
  machine_->input().mouseX = x;
  machine_->input().mouseY = y;
  bool dragged = avm1::dragTo(*machine_);
  broadcastClipEvent(kEventMouseMove);
  avm1::broadcastMouse(*machine_, "onMouseMove");
  runQueuedActions();
  return dragged || machine_->scriptsRun() != before;
}

bool Stage::mouseButton(bool down) {
  if (!machine_) return false;
  uint64_t before = machine_->scriptsRun();
  machine_->beginFrame();
  machine_->input().mouseDown = down;
  broadcastClipEvent(down ? kEventMouseDown : kEventMouseUp);
  avm1::broadcastMouse(*machine_, down ? "onMouseDown" : "onMouseUp");
  runQueuedActions();
  return machine_->scriptsRun() != before;
}

bool Stage::key(bool down, int keyCode, int charCode) {
  if (!machine_) return false;
  uint64_t before = machine_->scriptsRun();
  machine_->beginFrame();
  avm1::InputState& in = machine_->input();
  if (keyCode >= 0 && keyCode < 256) in.keys[keyCode] = down;
  in.lastKey = keyCode;
  in.lastChar = charCode;
  // The focused field takes the editing keys; Key's listeners still hear
  // them, as in the reference player.
  bool edited = false;
  FieldPlace f;
  if (down && focusedField(context_, &f)) {
    EditOutcome outcome = editKey(*f.object->textField, keyCode, in.keys[16]);
    if (outcome != EditOutcome::None) caretSince_ = clock_->elapsedMillis();
    if (outcome == EditOutcome::Changed) fieldEdited(*f.parent, *f.object);
    edited = outcome != EditOutcome::None;
  }
  broadcastClipEvent(down ? kEventKeyDown : kEventKeyUp);
  avm1::broadcastKey(*machine_, down);
  runQueuedActions();
  return edited || machine_->scriptsRun() != before;
}

bool Stage::pressAt(double x, double y) {
  if (!machine_) return false;
  machine_->beginFrame();
  FieldPlace f;
  bool hit = typingFieldAt(*root_, x, y, &f);
  FieldPlace was;
  bool had = focusedField(context_, &was);
  if (!hit && !had) return false;
  bool sameField = hit && had && was.object == f.object;
  machine_->runOutside([&] { avm1::moveTextFocus(*machine_, hit ? f.parent : nullptr, hit ? f.object : nullptr); });
  if (hit) {
    TextField& field = *f.object->textField;
    int at = field.indexAt(f.toLocal.mapX(x, y), f.toLocal.mapY(x, y));
    bool extend = sameField && machine_->input().keys[16];
    field.setSelection(extend ? field.anchorIndex() : at, at);
    caretSince_ = clock_->elapsedMillis();
    selecting_ = true;
    selectingToLocal_ = f.toLocal;
  }
  pendingHigh_ = 0;
  runQueuedActions();
  return true;
}

bool Stage::dragSelect(double x, double y) {
  FieldPlace f;
  if (!selecting_ || !focusedField(context_, &f)) return false;
  TextField& field = *f.object->textField;
  int at = field.indexAt(selectingToLocal_.mapX(x, y), selectingToLocal_.mapY(x, y));
  if (at == field.caretIndex()) return false;
  field.setSelection(field.anchorIndex(), at);
  caretSince_ = clock_->elapsedMillis();
  return true;
}

bool Stage::typeUnit(char16_t unit) {
  FieldPlace f;
  if (!machine_ || !focusedField(context_, &f)) return false;
  std::u16string typed;
  if (unit >= 0xD800 && unit < 0xDC00) {
    pendingHigh_ = unit;  // the pair's second half follows
    return false;
  }
  if (unit >= 0xDC00 && unit < 0xE000) {
    if (!pendingHigh_) return false;
    typed += pendingHigh_;
  }
  pendingHigh_ = 0;
  typed += unit;
  machine_->beginFrame();
  if (typeText(*f.object->textField, typed) != EditOutcome::Changed) return false;
  caretSince_ = clock_->elapsedMillis();
  fieldEdited(*f.parent, *f.object);
  runQueuedActions();
  return true;
}

void Stage::fieldEdited(SpriteInstance& parent, DisplayObject& object) {
  TextField& field = *object.textField;
  if (!field.def().variable.empty()) {
    int version = movie_.header.version;
    const std::string& text = field.text();
    setVariableText(parent.variableScope(), field.def().variable,
                    version >= 6 ? text : text::encodeUtf8(text::decodeMovieText(text, version)));
  }
  machine_->runOutside([&] { avm1::textChanged(*machine_, parent, object); });
}

bool Stage::textFocused() {
  FieldPlace f;
  return focusedField(context_, &f);
}

void Stage::showCaret() {
  FieldPlace f;
  if (!focusedField(context_, &f)) return;
  double since = clock_->elapsedMillis() - caretSince_;
  f.object->textField->setCaretShown(true, since < 0 || static_cast<int64_t>(since / 500) % 2 == 0);
}

bool Stage::mouseHidden() const { return machine_ && machine_->input().mouseHidden; }

void Stage::runActions(SpriteInstance& clip, const std::vector<uint8_t>& code) {
  if (!machine_) return;
  std::shared_ptr<const ActionCode>& ready = codes_[&code];
  if (!ready) ready = std::make_shared<ActionCode>(ActionCode{code, movie_.header.version, {}, {}});
  machine_->beginFrame();
  machine_->runBlock(ready, &clip);
  runQueuedActions();
}

bool Stage::clipTakesPointer(SpriteInstance& clip) { return machine_ && avm1::clipTakesPointer(*machine_, clip); }

void Stage::clipEvent(SpriteInstance& clip, uint32_t event) {
  if (!machine_) return;
  machine_->beginFrame();
  avm1::dispatchClipEvent(*machine_, clip, event);
  runQueuedActions();
}

bool Stage::getVariableText(SpriteInstance& base, const std::string& path, std::string* text) {
  if (!machine_) return false;
  bool found = false;
  machine_->runOutside([&] {
    avm1::Value v;
    if (!avm1::getVariableByPath(*machine_, base, path, &v) || v.isUndefined()) return;
    *text = machine_->toString(v).str();
    found = true;
  });
  return found;
}

void Stage::setVariableText(SpriteInstance& base, const std::string& path, const std::string& text) {
  if (!machine_) return;
  machine_->runOutside([&] { avm1::setVariableByPath(*machine_, base, path, avm1::Value(avm1::String(text))); });
}

}  // namespace player
