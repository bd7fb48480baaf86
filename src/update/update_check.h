// The version check against the maker's "Upgrade.txt".
#pragma once

namespace ql {

// Fetches the version file and, when it offers a newer version, asks whether
// to update: Yes opens the download page with the shell, No ends the program
// at once without saving. Returns kUpdateAccepted, kNoNewerVersion or
// kUpdateCheckFailed (upgrade_file.h).
int checkForUpdate();
// Command "版本更新(&Q)": checks on a worker thread and reports what it found;
// ignored while such a check is under way.
void checkForUpdateInteractive();
// The silent check at start, on a worker thread of its own.
void startBackgroundUpdateCheck();

}  // namespace ql
