// Section "fl配置" of the configuration text: where the desktop player sits
// and its four options, "真" for on and "假" for off.
#pragma once
#include <string>

namespace ql {

class ConfigText;

extern const char kPlayerSection[];  // "fl配置"

struct PlayerGeometry {
  int left = 0, top = 0, width = 0, height = 0;
};

// The stored rectangle; missing values are 100 from the top, 800 from the
// screen's right edge, 600 x 400. A width or height under 200 reads as 380.
PlayerGeometry storedPlayerGeometry(const ConfigText& config, int screenWidth);
void storePlayerGeometry(ConfigText& config, const PlayerGeometry& geometry);

// The options, numbered as the adjustment frame's check boxes are.
enum AnimationOption : int {
  kOptionOnTop = 1,
  kOptionClickThrough = 2,
  kOptionMute = 3,
  kOptionLock = 4
};
const char* optionKey(AnimationOption option);  // "总在最前", "穿透", "静音", "锁定"

// On unless the stored text is exactly "假"; a missing value is off.
bool animationOptionOn(const ConfigText& config, AnimationOption option);
void storeAnimationOption(ConfigText& config, AnimationOption option, bool on);

// The player's volume with mute on or off.
constexpr int kPlayingVolume = 70;
inline int volumeFor(bool muted) { return muted ? 0 : kPlayingVolume; }

}  // namespace ql
