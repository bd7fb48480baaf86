// speakTime: says the current hour and minute with the recorded clips.
#pragma once

namespace ql {

// Starts a thread that reads the local time once and speaks it, pacing the
// clips with fixed waits; returns at once. Nothing waits for the thread.
void startSpeakingTime();

}  // namespace ql
