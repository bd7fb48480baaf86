#include "animation/animation_options.h"

#include <string>

#include "control/commands.h"
#include "control/control_menus.h"
#include "shell/app.h"

namespace ql {

namespace {

// Flips the tray mark of `commandId` and stores the new state under `key`.
// The player window is not changed yet: the desktop player arrives with the
// desktop animation window.
bool flipOption(int commandId, const char* key) {
  MenuHandle& tray = controlMenu(kTrayMenu);
  bool on = !(tray.itemState(commandId) & MF_CHECKED);
  tray.check(commandId, on);
  appConfig.setValue("fl配置", key, on ? "真" : "假");
  return on;
}

}  // namespace

void toggleLock() { flipOption(kCommandLock, "锁定"); }
void toggleAlwaysOnTop() { flipOption(kCommandOnTop, "总在最前"); }
void toggleMute() { flipOption(kCommandMute, "静音"); }
void toggleClickThrough() { flipOption(kCommandClickThrough, "穿透"); }

}  // namespace ql
