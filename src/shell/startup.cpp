#include "shell/startup.h"

#include <windows.h>

#include <climits>

#include "animation/desktop_animation.h"
#include "control/command_dispatch.h"
#include "control/control_window.h"
#include "runtime/failure_log.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "shell/app.h"
#include "store/access_file.h"
#include "store/config_table.h"
#include "store/database.h"
#include "ui/window_helpers.h"
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
  if (loaded) return;
  std::string states, messages;
  db.lastErrors(states, messages);
  logFailure("data file " + path + " not read: " + states + " " + messages);
  MessageBoxA(nullptr, "配置文件读取错误,请重新下载安装!", "错误：", MB_OK);
}

}  // namespace

bool startProgram() {
  desktopPlayer();
  setGeometryWriter(storeDesktopPlayerGeometry);
  startToolkit();
  openDataFile();

  std::string defaultLeft = intToText(GetSystemMetrics(SM_CXSCREEN) - 380);
  TopLevelArgs args;
  args.title = "青岚桌面工具箱";
  args.created = onControlWindowCreated;
  args.left = geometryValue("左边", defaultLeft);
  args.top = geometryValue("顶边", "180");
  args.width = geometryValue("宽度", "312");
  args.height = geometryValue("高度", "653");
  args.style = WS_POPUP;
  args.taskbarButton = true;

  WindowBase& window = controlWindow();
  window.onMenuCommand = dispatchCommand;
  window.onQueryEndSession = querySessionEnd;
  window.onEndSession = sessionEnded;
  return window.createTopLevel(args);
}

int runProgram() {
  // Without its window the program could never be reached or ended.
  if (!startProgram()) endProcess(1);
  runMessageLoop();
  return 0;
}

}  // namespace ql
