// The sound a task's reminder plays.
#pragma once

namespace ql {

// Stops the task media player (a reminder's sound file).
void stopTaskSound();

}  // namespace ql
