// The animation options switched from the tray menu: lock, always on top,
// mute and click-through. Each reads its item's mark as the current state,
// flips it and stores the new state in "fl配置".
#pragma once

namespace ql {

void toggleLock();
void toggleAlwaysOnTop();
void toggleMute();
void toggleClickThrough();

}  // namespace ql
