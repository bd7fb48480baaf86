// The launcher's menu commands (2001 to 2010 and "移动到").
#pragma once

namespace ql {

void runLauncherCommand(int commandId);
// Moves the selected item to category tab `target` (1-based).
void moveSelectedItem(int target);

}  // namespace ql
