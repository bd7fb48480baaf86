#include "shell/app.h"

#include <windows.h>

#include "runtime/text.h"
#include "store/config_table.h"
#include "store/database.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"

namespace ql {

ConfigText appConfig;
ConfigText launcherConfig;
ConfigText taskConfig;

Database& database() {
  static Database db;
  return db;
}

ConfigTable& configTable() {
  static ConfigTable table(database());
  return table;
}

WindowBase& topLevelWindow(int index) {
  static WindowBase windows[kTopLevelWindowCount];
  return windows[index];
}

WindowBase& controlWindow() { return topLevelWindow(0); }

namespace {

// Lets pending window messages run, up to a quit message.
void processPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

void saveAppConfig() {
  WindowBase& window = controlWindow();
  // A collapsed or vanished window would store a useless geometry.
  if (window.height() <= 188) return;
  appConfig.setValue("控制配置", "左边", intToText(window.left()));
  appConfig.setValue("控制配置", "顶边", intToText(window.top()));
  appConfig.setValue("控制配置", "宽度", intToText(window.width()));
  appConfig.setValue("控制配置", "高度", intToText(window.height()));
  processPendingMessages();
  configTable().save(ConfigField::App, appConfig);
  processPendingMessages();
}

void exitProgram() {
  saveAppConfig();
  database().close();
  stopToolkit();
  ExitProcess(0);
}

}  // namespace ql
