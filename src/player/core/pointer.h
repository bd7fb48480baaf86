// The pointer over the stage: which button (or clip that answers the
// pointer) it is over, the state that button shows (up, over, down), and
// the transitions that run its actions, play its sounds and send clip
// events, as a Flash player tracks them.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "player/core/movie.h"
#include "player/core/sprite.h"

namespace player {

// What the pointer's transitions reach: the script machine and the mixer.
class PointerHost {
 public:
  // Runs a button's action block on the timeline that holds the button.
  virtual void runButtonActions(SpriteInstance& timeline, const std::vector<uint8_t>& code) = 0;
  virtual void playButtonSound(const swf::ButtonDef::Sound& sound) = 0;
  // Whether a clip answers the pointer itself (onPress, onRelease, ...);
  // such a clip takes the pointer as a button does.
  virtual bool clipTakesPointer(SpriteInstance& clip) = 0;
  virtual void clipEvent(SpriteInstance& clip, uint32_t event) = 0;

 protected:
  ~PointerHost() = default;
};

class Pointer {
 public:
  Pointer(const Movie& movie, PointerHost& host) : movie_(movie), host_(host) {}

  // Positions are stage twips. Each returns true when something the
  // picture shows may have changed.
  bool move(SpriteInstance& root, double x, double y);
  bool button(SpriteInstance& root, bool down);
  // The pointer left the stage.
  bool leave(SpriteInstance& root);
  // Over a button or a clip that answers the pointer: the hand cursor.
  bool overActive() const { return !hover_.expired(); }

 private:
  struct Target {
    std::weak_ptr<SpriteInstance> object;  // the button's or clip's timeline
    std::weak_ptr<SpriteInstance> parent;  // the timeline holding it
    const swf::ButtonDef* button = nullptr;  // null for a clip
  };
  enum class State : uint8_t { Idle, OverUp, OverDown, OutDown };

  bool find(SpriteInstance& sprite, const swf::Matrix& toStage, double x, double y, Target* out, int nesting);
  bool update(SpriteInstance& root);
  void transition(const Target& t, uint16_t condition, State to);

  const Movie& movie_;
  PointerHost& host_;
  bool inside_ = false, down_ = false;
  double x_ = 0, y_ = 0;
  Target current_;  // what the state below is about
  State state_ = State::Idle;
  std::weak_ptr<SpriteInstance> hover_;  // what the pointer is over now
};

}  // namespace player
