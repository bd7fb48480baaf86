#include "tasks/task_sound.h"

#include "tasks/task_actions.h"
#include "tasks/task_platform.h"

namespace ql {

void stopTaskSound() { stopRing(systemCalls(), taskMediaPlayer()); }

}  // namespace ql
