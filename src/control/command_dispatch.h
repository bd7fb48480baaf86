// Every menu command of the control window arrives here by its number.
#pragma once
#include "control/commands.h"

namespace ql {

void dispatchCommand(int commandId);

}  // namespace ql
