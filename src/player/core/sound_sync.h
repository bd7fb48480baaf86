// Sounds as the timelines and scripts call for them: a frame's event sounds
// start (or stop) when a timeline enters the frame, a timeline's streamed
// sound plays block by block while it plays on, starts again where it jumps
// to, and stops when it stops or goes; Sound objects start, stop and set the
// volume of sounds of their own.
#pragma once
#include <map>
#include <memory>

#include "player/core/movie.h"
#include "player/core/sound_mixer.h"
#include "player/core/sprite.h"
#include "player/sound/mixer.h"

namespace player {

class SoundSync final : public SoundMixer {
 public:
  SoundSync(const Movie& movie, sound::Mixer& mixer) : movie_(movie), mixer_(mixer) {}
  ~SoundSync();
  SoundSync(const SoundSync&) = delete;
  SoundSync& operator=(const SoundSync&) = delete;

  // After a frame has run.
  void frameShown(SpriteInstance& root);
  // A sound a button or script starts.
  void start(uint16_t soundId, const swf::SoundInfo& info);

  // For Sound objects.
  uint32_t start(uint16_t soundId, double offsetSeconds, int loops, const SpriteInstance* owner) override;
  void stop(int soundId, const SpriteInstance* owner) override;
  void setTransform(const SpriteInstance* owner, const SoundTransform& transform) override;
  double position(uint32_t handle) override;

 private:
  struct Seen {
    std::weak_ptr<SpriteInstance> sprite;
    int frame = -1;
    bool streaming = false;
    bool visited = false;
  };
  void visit(SpriteInstance& sprite, int nesting);

  const Movie& movie_;
  sound::Mixer& mixer_;
  std::map<const SpriteInstance*, Seen> seen_;
};

}  // namespace player
