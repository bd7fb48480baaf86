#include "control/tray.h"

#include <windows.h>
#include <mmsystem.h>

#include "animation/player_settings.h"
#include "control/command_dispatch.h"
#include "control/control_menus.h"
#include "control/control_window.h"
#include "shell/app.h"
#include "tasks/task_sound.h"
#include "ui/tray_icon.h"
#include "ui/window_base.h"

namespace ql {

namespace {

void showTrayMenu() {
  MenuHandle& tray = controlMenu(kTrayMenu);
  tray.check(kCommandLock, animationOptionOn(appConfig, kOptionLock));
  tray.check(kCommandOnTop, animationOptionOn(appConfig, kOptionOnTop));
  tray.check(kCommandClickThrough, animationOptionOn(appConfig, kOptionClickThrough));
  tray.check(kCommandMute, animationOptionOn(appConfig, kOptionMute));
  POINT cursor;
  GetCursorPos(&cursor);
  showControlMenu(kTrayMenu, cursor.x, cursor.y);
}

}  // namespace

void onTrayEvent(int event) {
  switch (event) {
    case kTrayLeftDown: showControlWindow(); break;
    case kTrayRightDown: showTrayMenu(); break;
    case kTrayBalloonTimeout:
    case kTrayBalloonClicked:
      stopTaskSound();
      PlaySoundA(nullptr, nullptr, 0);
      break;
    default: break;
  }
}

}  // namespace ql
