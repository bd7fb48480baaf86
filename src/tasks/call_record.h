// Where the task actions' system calls go. The program makes them
// (calls_made.cpp). The program's test build (tests/wine/program) links
// call_record.cpp instead: when its environment names a file in
// QL_RECORD_SYSTEM_CALLS, every call is written there, one line each with the
// local time to the millisecond, and the calls that would leave the program
// (shutdown, restart, standby, log-off, shell open) are recorded, not made.
// The shipped program reads no such setting.
#pragma once
#include <string>

namespace ql {

bool recordingSystemCalls();
// Appends "HH:MM:SS.mmm line" to the record; safe from any thread.
void recordSystemCall(const std::string& line);

}  // namespace ql
