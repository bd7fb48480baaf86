#include "animation/desktop_animation.h"

#include "animation/flash_player_window.h"

namespace ql {

FlashPlayerWindow& desktopPlayer() {
  static FlashPlayerWindow player;
  return player;
}

// The player is not attached to the desktop yet: the host stays an empty,
// hidden window.
void createDesktopAnimation(HWND) {}

}  // namespace ql
