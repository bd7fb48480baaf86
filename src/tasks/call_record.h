// Test equipment: when the environment names a file in QL_RECORD_SYSTEM_CALLS,
// the task actions' system calls are written there, one line each with the
// local time to the millisecond, and the calls that would leave the program
// (shutdown, restart, standby, log-off, shell open) are recorded instead of
// made. Whole-program tests set it; nothing else does.
#pragma once
#include <string>

namespace ql {

bool recordingSystemCalls();
// Appends "HH:MM:SS.mmm line" to the record; safe from any thread.
void recordSystemCall(const std::string& line);

}  // namespace ql
