// Every menu command of the control window arrives here by its number.
#pragma once

namespace ql {

constexpr int kCommandExit = 1007;

void dispatchCommand(int commandId);

}  // namespace ql
