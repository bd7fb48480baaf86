#include "control/tray.h"

#include <windows.h>
#include <mmsystem.h>

#include "control/command_dispatch.h"
#include "control/control_menus.h"
#include "control/control_window.h"
#include "shell/app.h"
#include "tasks/task_sound.h"
#include "ui/tray_icon.h"
#include "ui/window_base.h"

namespace ql {

namespace {

// An option is on unless its stored text is exactly "假"; a missing one is off.
bool animationOptionOn(const char* key) { return appConfig.getValue("fl配置", key, "假") != "假"; }

void showTrayMenu() {
  MenuHandle& tray = controlMenu(kTrayMenu);
  tray.check(kCommandLock, animationOptionOn("锁定"));
  tray.check(kCommandOnTop, animationOptionOn("总在最前"));
  tray.check(kCommandClickThrough, animationOptionOn("穿透"));
  tray.check(kCommandMute, animationOptionOn("静音"));
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
