#include "animation/animation_options.h"

#include "animation/adjust_frame.h"
#include "animation/desktop_animation.h"
#include "animation/flash_player_window.h"
#include "control/commands.h"
#include "control/control_menus.h"
#include "shell/app.h"

namespace ql {

namespace {

void applyToPlayer(AnimationOption option, bool on) {
  FlashPlayerWindow& player = desktopPlayer();
  switch (option) {
    case kOptionOnTop: player.setTopmost(on); break;
    case kOptionClickThrough: player.setClickThrough(on); break;
    case kOptionMute: player.volume(volumeFor(on), true); break;
    case kOptionLock: break;
  }
}

// The tray's pattern: the mark is the current state; the new one goes to
// the player, the mark, the stored text and the frame's own box.
void toggle(int commandId, AnimationOption option) {
  MenuHandle& tray = controlMenu(kTrayMenu);
  bool on = !(tray.itemState(commandId) & MF_CHECKED);
  applyToPlayer(option, on);
  tray.check(commandId, on);
  storeAnimationOption(appConfig, option, on);
  syncFrameCheckBox(option, on);
}

}  // namespace

void toggleLock() {
  MenuHandle& tray = controlMenu(kTrayMenu);
  bool locked = tray.itemState(kCommandLock) & MF_CHECKED;
  if (locked) {
    FlashPlayerWindow& player = desktopPlayer();
    openAdjustFrame(player.windowHandle(), player.left(), player.top(), player.width(),
                    player.height());
  } else {
    closeAdjustFrame();
  }
  tray.check(kCommandLock, !locked);
  storeAnimationOption(appConfig, kOptionLock, !locked);
}

void toggleAlwaysOnTop() { toggle(kCommandOnTop, kOptionOnTop); }
void toggleMute() { toggle(kCommandMute, kOptionMute); }
void toggleClickThrough() { toggle(kCommandClickThrough, kOptionClickThrough); }

void setAnimationOption(AnimationOption option, bool on) {
  applyToPlayer(option, on);
  storeAnimationOption(appConfig, option, on);
}

}  // namespace ql
