#include "update/update_check.h"

#include <windows.h>

namespace ql {

namespace {

DWORD WINAPI backgroundCheck(void*) {
  checkForUpdate();
  return 0;
}

}  // namespace

// No server is asked yet: nothing newer is known.
int checkForUpdate() { return 1; }

void checkForUpdateInteractive() {}

void startBackgroundUpdateCheck() {
  HANDLE thread = CreateThread(nullptr, 0, backgroundCheck, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

}  // namespace ql
