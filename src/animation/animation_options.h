// The animation options: lock, always on top, mute and click-through,
// switched from the tray menu and from the adjustment frame's check boxes.
// Each is held in three places kept equal: the stored text in "fl配置", the
// player window and (while the frame is open) the frame's check box. The tray
// marks are read from the stored text whenever the menu opens.
#pragma once
#include "animation/player_settings.h"

namespace ql {

// Tray commands: each reads its item's mark as the current state and flips it.
void toggleLock();
void toggleAlwaysOnTop();
void toggleMute();
void toggleClickThrough();

// From the frame: applies the option to the player and stores it. Lock is
// only stored (the frame closes itself).
void setAnimationOption(AnimationOption option, bool on);

}  // namespace ql
