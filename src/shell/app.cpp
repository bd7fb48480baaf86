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

void saveAppConfig(const std::function<void(ConfigText&)>& storeOtherWindows) {
  WindowBase& window = controlWindow();
  // A collapsed or vanished window would store a useless geometry.
  if (window.height() <= 188) return;
  appConfig.setValue("控制配置", "左边", intToText(window.left()));
  appConfig.setValue("控制配置", "顶边", intToText(window.top()));
  appConfig.setValue("控制配置", "宽度", intToText(window.width()));
  appConfig.setValue("控制配置", "高度", intToText(window.height()));
  if (storeOtherWindows) storeOtherWindows(appConfig);
  processPendingMessages();
  saveConfigText(database(), ConfigField::App, appConfig);
  processPendingMessages();
}

void exitProgram(const std::function<void(ConfigText&)>& storeOtherWindows) {
  saveAppConfig(storeOtherWindows);
  database().close();
  stopToolkit();
  ExitProcess(0);
}

}  // namespace ql
