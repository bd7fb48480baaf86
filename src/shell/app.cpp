#include "shell/app.h"

#include <windows.h>

#include "runtime/text.h"
#include "store/config_table.h"
#include "store/database.h"
#include "runtime/failure_log.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"

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

// Saved for the session end now under way.
bool savedForSessionEnd = false;

std::function<void(ConfigText&)>& geometryWriter() {
  static std::function<void(ConfigText&)> writer;
  return writer;
}

}  // namespace

void setGeometryWriter(std::function<void(ConfigText&)> writer) {
  geometryWriter() = std::move(writer);
}

void saveAppConfig() {
  WindowBase& window = controlWindow();
  // A collapsed or vanished window would store a useless geometry.
  if (window.height() <= 188) return;
  appConfig.setValue("控制配置", "左边", intToText(window.left()));
  appConfig.setValue("控制配置", "顶边", intToText(window.top()));
  appConfig.setValue("控制配置", "宽度", intToText(window.width()));
  appConfig.setValue("控制配置", "高度", intToText(window.height()));
  if (geometryWriter()) geometryWriter()(appConfig);
  processPendingMessages();
  if (!configTable().save(ConfigField::App, appConfig)) logFailure("字段1 not saved");
  processPendingMessages();
}

void endProcess(unsigned code) {
  removeAllTrayIcons();
  ExitProcess(code);
}

void exitProgram() {
  saveAppConfig();
  database().close();
  endProcess(0);
}

bool querySessionEnd() {
  if (!savedForSessionEnd) saveAppConfig();
  savedForSessionEnd = true;
  return true;
}

void sessionEnded(bool ending) {
  if (!ending) {
    savedForSessionEnd = false;
    return;
  }
  querySessionEnd();
  database().close();
  endProcess(0);
}

}  // namespace ql
