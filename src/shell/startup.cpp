#include "shell/startup.h"

#include <windows.h>

#include <climits>

#include "animation/desktop_animation.h"
#include "control/command_dispatch.h"
#include "control/control_window.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "shell/app.h"
#include "store/access_file.h"
#include "store/config_table.h"
#include "store/database.h"
#include "ui/message_loop.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"

namespace ql {

namespace {

// A stored geometry value: the number at the start of the text, truncated
// toward zero (clamped so that absurd texts cannot overflow).
int geometryValue(const std::string& key, const std::string& fallback) {
  double value = textToNumber(appConfig.getValue("控制配置", key, fallback));
  if (value >= INT_MAX) return INT_MAX;
  if (value <= INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

void openDataFile() {
  std::string path = dataFilePath();
  Database& db = database();
  // The Access driver refuses a missing file; checking first keeps every
  // driver from creating an empty one in its place.
  bool loaded = fileExists(path) && db.openAccess(path, accessPassword()) &&
                configTable().load(appConfig, launcherConfig, taskConfig);
  if (!loaded) MessageBoxA(nullptr, "配置文件读取错误,请重新下载安装!", "错误：", MB_OK);
}

}  // namespace

int runProgram() {
  desktopPlayer();
  startToolkit();
  openDataFile();

  std::string defaultLeft = intToText(GetSystemMetrics(SM_CXSCREEN) - 380);
  int left = geometryValue("左边", defaultLeft);
  int top = geometryValue("顶边", "180");
  int width = geometryValue("宽度", "312");
  int height = geometryValue("高度", "653");

  WindowBase& window = controlWindow();
  window.onMenuCommand = dispatchCommand;
  window.createTopLevel(nullptr, "青岚桌面工具箱", onControlWindowCreated, false, left, top, width,
                        height, WS_POPUP, 0, kWindowClassName, nullptr, true, true);

  runMessageLoop();
  return 0;
}

}  // namespace ql
