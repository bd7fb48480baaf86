#include "player/core/sound_sync.h"

namespace player {

namespace {
constexpr int kMaxNesting = 32;
}

SoundSync::~SoundSync() {
  for (const auto& entry : seen_)
    if (entry.second.streaming) mixer_.stopStream(entry.first);
}

void SoundSync::start(uint16_t soundId, const swf::SoundInfo& info) {
  auto it = movie_.sounds.find(soundId);
  if (it != movie_.sounds.end()) mixer_.startSound(soundId, it->second, info);
}

void SoundSync::visit(SpriteInstance& sprite, int nesting) {
  if (nesting > kMaxNesting) return;
  Seen& seen = seen_[&sprite];
  // An entry left by a timeline that is gone and whose memory is reused.
  if (seen.sprite.lock().get() != &sprite) {
    if (seen.streaming) mixer_.stopStream(&sprite);
    seen = Seen();
    seen.sprite = sprite.shared_from_this();
  }
  seen.visited = true;
  int frame = sprite.currentFrame();
  const TimelineDef& timeline = sprite.timeline();
  if (frame >= 0 && frame < static_cast<int>(timeline.frames.size())) {
    const FrameDef& def = timeline.frames[frame];
    if (frame != seen.frame)
      for (const FrameSound& s : def.sounds) start(s.soundId, s.info);
    if (timeline.hasStream) {
      if (frame == seen.frame) {
        // Stopped: so is its sound.
        if (seen.streaming) mixer_.stopStream(&sprite);
        seen.streaming = false;
      } else if (!def.streamBlock.empty()) {
        bool restart = frame != seen.frame + 1 || !seen.streaming;
        mixer_.streamBlock(&sprite, timeline.stream, def.streamBlock.data(), def.streamBlock.size(), restart);
        seen.streaming = true;
      }
    }
  }
  seen.frame = frame;
  for (auto& entry : sprite.children())
    if (entry.second.sprite) visit(*entry.second.sprite, nesting + 1);
}

void SoundSync::frameShown(SpriteInstance& root) {
  for (auto& entry : seen_) entry.second.visited = false;
  visit(root, 0);
  for (auto it = seen_.begin(); it != seen_.end();) {
    if (it->second.visited) {
      ++it;
      continue;
    }
    if (it->second.streaming) mixer_.stopStream(it->first);
    it = seen_.erase(it);
  }
}

}  // namespace player
