// The version check against the maker's "Upgrade.txt".
#pragma once

namespace ql {

// Outcome: 0 a newer version was accepted, 1 none newer, 2 failed or declined.
int checkForUpdate();
// Command "版本更新(&Q)": checks and reports what it found.
void checkForUpdateInteractive();
// The silent check at start, on a worker thread of its own.
void startBackgroundUpdateCheck();

}  // namespace ql
