#include "animation/desktop_animation.h"

#include "animation/adjust_frame.h"
#include "animation/animation_catalogue.h"
#include "animation/flash_player_window.h"
#include "animation/movie_reference.h"
#include "animation/player_settings.h"
#include "control/command_dispatch.h"
#include "control/control_menus.h"
#include "runtime/files.h"
#include "shell/app.h"

namespace ql {

FlashPlayerWindow& desktopPlayer() {
  static FlashPlayerWindow player;
  return player;
}

namespace {

void playRememberedMovie(FlashPlayerWindow& player) {
  MovieReference movie =
      parseMovieReference(appConfig.getValue(kPlayerSection, "fl地址"), fileExists);
  if (movie.kind == MovieReference::File) player.loadMovie(movie.path);
  if (movie.kind == MovieReference::Catalogue)
    player.putMovieFromMemory(loadAnimationData(movie.category, movie.name));
}

// In this order: lock, always on top, click-through, mute. The tray marks
// follow the stored values; the window follows them too, always on top
// included, so the mark and the window never disagree.
void applyStoredOptions(FlashPlayerWindow& player) {
  MenuHandle& tray = controlMenu(kTrayMenu);
  if (!animationOptionOn(appConfig, kOptionLock))
    openAdjustFrame(player.windowHandle(), player.left(), player.top(), player.width(),
                    player.height());
  else
    tray.check(kCommandLock, true);
  if (animationOptionOn(appConfig, kOptionOnTop)) {
    player.setTopmost(true);
    tray.check(kCommandOnTop, true);
  }
  if (animationOptionOn(appConfig, kOptionClickThrough)) {
    player.setClickThrough(true);
    tray.check(kCommandClickThrough, true);
  }
  bool muted = animationOptionOn(appConfig, kOptionMute);
  player.volume(volumeFor(muted), true);
  if (muted) tray.check(kCommandMute, true);
}

// Right above the desktop's own window, under every application window.
void sinkToDesktop(HWND window, HWND desktop) {
  HWND above = desktop ? GetWindow(desktop, GW_HWNDPREV) : HWND_BOTTOM;
  if (above == window) return;
  SetWindowPos(window, above ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void createDesktopAnimation(HWND host) {
  // The desktop's own window: the animation belongs to the desktop.
  HWND desktop = FindWindowA("Progman", "Program Manager");
  SetParent(host, desktop);
  PlayerGeometry place = storedPlayerGeometry(appConfig, GetSystemMetrics(SM_CXSCREEN));
  FlashPlayerWindow& player = desktopPlayer();
  if (player.create(host, place.left, place.top, place.width, place.height))
    sinkToDesktop(player.windowHandle(), desktop);
  playRememberedMovie(player);
  applyStoredOptions(player);
}

// A player that could not be made has no place: the stored one stays.
void storeDesktopPlayerGeometry(ConfigText& config) {
  FlashPlayerWindow& player = desktopPlayer();
  if (!player.windowHandle()) return;
  storePlayerGeometry(config, {player.left(), player.top(), player.width(), player.height()});
}

}  // namespace ql
