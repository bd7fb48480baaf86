#include "player/core/sound_sync.h"

#include <algorithm>

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

uint32_t SoundSync::start(uint16_t soundId, double offsetSeconds, int loops, const SpriteInstance* owner) {
  auto it = movie_.sounds.find(soundId);
  if (it == movie_.sounds.end()) return 0;
  swf::SoundInfo info;
  info.loops = loops;
  if (offsetSeconds > 0) {
    info.hasIn = true;
    info.inPoint = static_cast<uint32_t>(std::min(offsetSeconds * sound::Mixer::kRate, 4e9));
  }
  return mixer_.startSound(soundId, it->second, info, owner);
}

void SoundSync::stop(int soundId, const SpriteInstance* owner) {
  if (soundId < 0 && !owner) {
    mixer_.stopAll();
  } else {
    mixer_.stopSounds(soundId, owner);
  }
}

void SoundSync::setTransform(const SpriteInstance* owner, const SoundTransform& t) {
  // Volume and channel shares are percentages.
  float volume = static_cast<float>(t.volume) / 100;
  sound::Mixer::Gains g;
  g.leftToLeft = volume * static_cast<float>(t.leftToLeft) / 100;
  g.leftToRight = volume * static_cast<float>(t.leftToRight) / 100;
  g.rightToLeft = volume * static_cast<float>(t.rightToLeft) / 100;
  g.rightToRight = volume * static_cast<float>(t.rightToRight) / 100;
  mixer_.setGains(owner, g);
}

double SoundSync::position(uint32_t handle) { return mixer_.position(handle); }

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
