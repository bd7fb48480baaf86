// The program's process-wide objects and its exit path.
#pragma once
#include <functional>

#include "store/config_text.h"

namespace ql {

class ConfigTable;
class Database;
class WindowBase;

Database& database();
// The record of "配置表" the three texts below are read from and saved to.
ConfigTable& configTable();

// "字段1" (sections "控制配置" and "fl配置"), "字段2" (launcher), "字段3" (tasks).
extern ConfigText appConfig;
extern ConfigText launcherConfig;
extern ConfigText taskConfig;

// The top-level windows: 0 is the control window, 1 the desktop animation host.
constexpr int kTopLevelWindowCount = 3;
WindowBase& topLevelWindow(int index);
WindowBase& controlWindow();

// Writes the window geometry into appConfig and stores "字段1", only while the
// control window is taller than 188 pixels. A refused save goes to the
// failure log.
void saveAppConfig();
// What the program's other windows add to that geometry (the desktop
// player's place), set once at start-up.
void setGeometryWriter(std::function<void(ConfigText&)> writer);

// The exit command: save, close the database, end the process with code 0.
[[noreturn]] void exitProgram();

// Every way out ends here: the tray icon leaves the tray, then the process
// ends with `code`. The global objects end with the process.
[[noreturn]] void endProcess(unsigned code);

// The session is ending (log-off, shut-down): does what the exit command
// does, once per session end. `ending` false (the end was called off) lets
// a later end save again; `ending` true closes and ends the process.
bool querySessionEnd();
void sessionEnded(bool ending);

}  // namespace ql
