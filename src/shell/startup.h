#pragma once

namespace ql {

// Brings the program up, runs its message loop and returns the exit code.
int runProgram();

}  // namespace ql
