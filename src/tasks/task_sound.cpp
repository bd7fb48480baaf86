#include "tasks/task_sound.h"

namespace ql {

// Reminders play no sound files yet.
void stopTaskSound() {}

}  // namespace ql
