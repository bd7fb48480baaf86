#include "player/core/pointer.h"

#include "player/core/hit_test.h"

namespace player {

namespace {

constexpr int kMaxNesting = 32;

// Which frame of a button's timeline each state shows.
int frameOf(uint16_t condition) {
  switch (condition) {
    case swf::kIdleToOverUp:
    case swf::kOverDownToOverUp:
      return 1;  // over
    case swf::kOverUpToOverDown:
    case swf::kOutDownToOverDown:
    case swf::kIdleToOverDown:
      return 2;  // down
    default:
      return 0;  // up
  }
}

uint32_t eventOf(uint16_t condition) {
  switch (condition) {
    case swf::kIdleToOverUp: return kEventRollOver;
    case swf::kOverUpToIdle: return kEventRollOut;
    case swf::kOverUpToOverDown: return kEventPress;
    case swf::kOverDownToOverUp: return kEventRelease;
    case swf::kOverDownToOutDown: return kEventDragOut;
    case swf::kOutDownToOverDown: return kEventDragOver;
    case swf::kOutDownToIdle: return kEventReleaseOutside;
    case swf::kIdleToOverDown: return kEventDragOver;
    case swf::kOverDownToIdle: return kEventDragOut;
  }
  return 0;
}

// DefineButtonSound's four sounds, by transition.
int soundOf(uint16_t condition) {
  switch (condition) {
    case swf::kOverUpToIdle: return 0;
    case swf::kIdleToOverUp: return 1;
    case swf::kOverUpToOverDown: return 2;
    case swf::kOverDownToOverUp: return 3;
  }
  return -1;
}

}  // namespace

// The topmost button or pointer-taking clip under (x, y), children before
// their parents' lower depths.
bool Pointer::find(SpriteInstance& sprite, const swf::Matrix& toStage, double x, double y, Target* out,
                   int nesting) {
  if (nesting > kMaxNesting) return false;
  auto& children = sprite.children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    DisplayObject& o = it->second;
    if (!o.def || !o.visible || o.clipDepth > 0 || !o.sprite) continue;
    swf::Matrix m = toStage * o.matrix, inverse;
    if (!m.invert(&inverse)) continue;
    double lx = inverse.mapX(x, y), ly = inverse.mapY(x, y);
    if (o.def->kind == CharacterKind::Button) {
      if (buttonHitContains(movie_, *o.def->button, lx, ly)) {
        *out = Target{o.sprite, sprite.shared_from_this(), o.def->button.get()};
        return true;
      }
      continue;
    }
    if (host_.clipTakesPointer(*o.sprite) && characterContains(movie_, *o.def, o.sprite.get(), lx, ly)) {
      *out = Target{o.sprite, sprite.shared_from_this(), nullptr};
      return true;
    }
    if (find(*o.sprite, m, x, y, out, nesting + 1)) return true;
  }
  return false;
}

void Pointer::transition(const Target& t, uint16_t condition, State to) {
  state_ = to;
  auto object = t.object.lock();
  if (!object) return;
  if (!t.button) {
    host_.clipEvent(*object, eventOf(condition));
    return;
  }
  object->gotoFrame(frameOf(condition));
  int sound = soundOf(condition);
  if (sound >= 0 && t.button->sounds[sound].id) host_.playButtonSound(t.button->sounds[sound]);
  auto parent = t.parent.lock();
  if (!parent) return;
  for (const swf::ButtonAction& a : t.button->actions)
    if (a.conditions & condition) host_.runButtonActions(*parent, a.code);
}

// Moves the state machine to where the pointer is now.
bool Pointer::update(SpriteInstance& root) {
  Target under;
  bool over = inside_ && find(root, swf::Matrix(), x_, y_, &under, 0);
  hover_ = over ? under.object : std::weak_ptr<SpriteInstance>();
  auto current = current_.object.lock();
  if (!current) state_ = State::Idle;
  bool sameTarget = over && current && under.object.lock() == current;
  State before = state_;
  switch (state_) {
    case State::Idle:
      if (!over) break;
      if (!down_) {
        current_ = under;
        transition(current_, swf::kIdleToOverUp, State::OverUp);
      } else if (under.button && under.button->trackAsMenu) {
        // Only a menu takes a press that began elsewhere.
        current_ = under;
        transition(current_, swf::kIdleToOverDown, State::OverDown);
      }
      break;
    case State::OverUp:
      if (!sameTarget) {
        transition(current_, swf::kOverUpToIdle, State::Idle);
        return update(root) || true;
      }
      if (down_) transition(current_, swf::kOverUpToOverDown, State::OverDown);
      break;
    case State::OverDown:
      if (!sameTarget) {
        bool menu = current_.button && current_.button->trackAsMenu;
        transition(current_, menu ? swf::kOverDownToIdle : swf::kOverDownToOutDown, menu ? State::Idle : State::OutDown);
        return update(root) || true;
      }
      if (!down_) transition(current_, swf::kOverDownToOverUp, State::OverUp);
      break;
    case State::OutDown:
      if (!down_) {
        transition(current_, swf::kOutDownToIdle, State::Idle);
        return update(root) || true;
      }
      if (sameTarget) transition(current_, swf::kOutDownToOverDown, State::OverDown);
      break;
  }
  return state_ != before;
}

bool Pointer::move(SpriteInstance& root, double x, double y) {
  inside_ = true;
  x_ = x;
  y_ = y;
  return update(root);
}

bool Pointer::button(SpriteInstance& root, bool down) {
  if (down == down_) return false;
  down_ = down;
  return update(root);
}

bool Pointer::leave(SpriteInstance& root) {
  inside_ = false;
  down_ = false;
  return update(root);
}

}  // namespace player
