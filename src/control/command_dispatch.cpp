#include "control/command_dispatch.h"

#include "animation/animation_catalogue.h"
#include "animation/animation_options.h"
#include "control/autostart_switch.h"
#include "control/control_menus.h"
#include "control/control_window.h"
#include "launcher/catalogue_edits.h"
#include "launcher/launcher_commands.h"
#include "shell/app.h"
#include "tasks/task_page.h"
#include "update/update_check.h"

namespace ql {

void dispatchCommand(int commandId) {
  switch (commandId) {
    case kCommandOpenMovie: chooseCustomMovie(); return;
    case kCommandUpdateCheck: checkForUpdateInteractive(); return;
    case kCommandLock: toggleLock(); return;
    case kCommandOnTop: toggleAlwaysOnTop(); return;
    case kCommandMute: toggleMute(); return;
    case kCommandClickThrough: toggleClickThrough(); return;
    case kCommandShowWindow: showControlWindow(); return;
    case kCommandExit: exitProgram();

    case kCommandOpenItem:
    case kCommandAddItem:
    case kCommandDeleteItem:
    case kCommandAddCategory:
    case kCommandDeleteCategory:
    case kCommandRenameItem:
    case kCommandRenameCategory:
    case kCommandPlaceItem:
    case kCommandOpenFolder:
    case kCommandAddFolder: runLauncherCommand(commandId); return;

    case kCommandAddTask: openTaskEditor("添加计划任务!"); return;
    case kCommandModifyTask:
      if (selectedTask() > 0) openTaskEditor("修改计划任务!");
      return;
    case kCommandDeleteTask: deleteSelectedTask(); return;

    case kCommandAutostart:
      setAutostart(!(controlMenu(kSettingsMenu).itemState(kCommandAutostart) & MF_CHECKED));
      return;

    default:
      // "关于!(&G)" (1003) has no action.
      if (int target = moveTargetOf(commandId)) moveSelectedItem(target);
      return;
  }
}

}  // namespace ql
