// The settings menu's "设置开机启动(&X)": the mark and "控制配置"/"开机启动"
// show what the registry holds after the switch.
#include "control/autostart_switch.h"

#include "control/command_dispatch.h"
#include "control/control_menus.h"
#include "runtime/files.h"
#include "shell/app.h"

namespace ql {

bool switchAutostart(RunKeyStore& store, bool on) {
  bool state = applyAutostart(store, on, programFolder() + "\\" + programFileName());
  controlMenu(kSettingsMenu).check(kCommandAutostart, state);
  appConfig.setValue("控制配置", "开机启动", state ? "真" : "假");
  return state;
}

void setAutostart(bool on) { switchAutostart(systemRunKeyStore(), on); }

}  // namespace ql
