// The sound a task's ring plays.
#pragma once

namespace ql {

// Stops a ring: the task media player rewinds and stops, sounds played from
// memory are purged and the built-in MIDI ring falls silent.
void stopTaskSound();

}  // namespace ql
