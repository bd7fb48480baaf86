// The program's process-wide objects and its exit path.
#pragma once
#include <functional>

#include "store/config_text.h"

namespace ql {

class Database;
class WindowBase;

Database& database();

// "字段1" (sections "控制配置" and "fl配置"), "字段2" (launcher), "字段3" (tasks).
extern ConfigText appConfig;
extern ConfigText launcherConfig;
extern ConfigText taskConfig;

// The top-level windows: 0 is the control window, 1 the desktop animation host.
constexpr int kTopLevelWindowCount = 3;
WindowBase& topLevelWindow(int index);
WindowBase& controlWindow();

// Writes the window geometry into appConfig and stores "字段1", only while the
// control window is taller than 188 pixels. `storeOtherWindows` writes the
// other windows' geometry (the desktop player's) into the text first.
void saveAppConfig(const std::function<void(ConfigText&)>& storeOtherWindows);

// The exit command: save, close the database, end the process with code 0.
[[noreturn]] void exitProgram(const std::function<void(ConfigText&)>& storeOtherWindows);

}  // namespace ql
