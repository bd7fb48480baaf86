// What the script engine asks of the player's sound output. The player
// plugs its mixer in; without one, scripts run the same and nothing is heard.
#pragma once
#include <cstdint>

namespace player {

class SpriteInstance;

// How loud a clip's sounds play: volume in percent, and how much of each
// source channel goes to each speaker (left-to-left, left-to-right, ...).
struct SoundTransform {
  int32_t volume = 100;
  int32_t leftToLeft = 100, leftToRight = 0, rightToLeft = 0, rightToRight = 100;
};

class SoundMixer {
 public:
  // Starts the movie's sound `soundId` for `owner` (null: the movie as a
  // whole) from `offsetSeconds`, played `loops` times. Returns a handle, 0
  // when it cannot play.
  virtual uint32_t start(uint16_t soundId, double offsetSeconds, int loops, const SpriteInstance* owner) = 0;
  // Stops sound `soundId` (negative: every sound) started for `owner`
  // (null: anyone); both unnamed, streams stop too.
  virtual void stop(int soundId, const SpriteInstance* owner) = 0;
  // The transform for the sounds of `owner` (null: the movie as a whole).
  virtual void setTransform(const SpriteInstance* owner, const SoundTransform& transform) = 0;
  // Milliseconds of a started sound played so far; negative once it ended.
  virtual double position(uint32_t handle) = 0;

 protected:
  ~SoundMixer() = default;
};

}  // namespace player
