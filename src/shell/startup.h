#pragma once

namespace ql {

// Brings the program up to its shown control window; false when the window
// could not be made.
bool startProgram();
// startProgram, then the message loop; returns the exit code. Without a
// control window the process ends at once with code 1.
int runProgram();

}  // namespace ql
