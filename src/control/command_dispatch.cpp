#include "control/command_dispatch.h"

#include "shell/app.h"

namespace ql {

void dispatchCommand(int commandId) {
  switch (commandId) {
    case kCommandExit:
      exitProgram();
    default:
      break;
  }
}

}  // namespace ql
