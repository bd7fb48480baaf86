// Switching autostart from the settings menu.
#pragma once
#include "control/autostart.h"

namespace ql {

// Switches autostart through `store` and shows the resulting state on the
// menu item and in "控制配置"/"开机启动". Returns that state.
bool switchAutostart(RunKeyStore& store, bool on);

// The same with the real registry.
void setAutostart(bool on);

}  // namespace ql
