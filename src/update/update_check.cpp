#include "update/update_check.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>

#include "launcher/shortcuts.h"
#include "runtime/files.h"
#include "runtime/message_box.h"
#include "update/fetch_url.h"
#include "update/server_addresses.h"
#include "update/upgrade_file.h"

namespace ql {

namespace {

using Check = void (*)();

// COM is set up for the XMLHTTP object and for the shell, which may hand the
// download page to a COM handler.
DWORD WINAPI checkThread(void* check) {
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  reinterpret_cast<Check>(check)();
  if (com) CoUninitialize();
  return 0;
}

// Runs `check` on a thread of its own.
bool startCheckThread(Check check) {
  HANDLE thread =
      CreateThread(nullptr, 0, checkThread, reinterpret_cast<void*>(check), 0, nullptr);
  if (!thread) return false;
  CloseHandle(thread);
  return true;
}

// Set while a check asked for from the menu is under way.
std::atomic<bool> menuCheckRunning{false};

void reportedCheck() {
  switch (checkForUpdate()) {
    case kNoNewerVersion:
      showMessageBox(nullptr, "当前还没有更新版本~   ", MB_OK | MB_ICONINFORMATION, "提示!");
      break;
    case kUpdateCheckFailed:
      showMessageBox(nullptr, "检查版本失败,请确定网络连接正常! ", MB_OK | MB_ICONINFORMATION,
                     "错误!");
      break;
    default:
      break;
  }
  menuCheckRunning = false;
}

void silentCheck() { checkForUpdate(); }

}  // namespace

int checkForUpdate() {
  UpgradeFinding finding = findUpgrade(fetchUrl, kUpdateServer, kUpdateFallbackServer);
  if (finding.verdict == UpgradeVerdict::kFailed) return kUpdateCheckFailed;
  if (finding.verdict == UpgradeVerdict::kNotNewer) return kNoNewerVersion;
  if (showMessageBox(nullptr, upgradeQuestion(finding.version), MB_YESNO | MB_ICONINFORMATION,
                     programFileName()) == kAnswerYes) {
    launchTarget(finding.address, "", kLaunchNormal);
    return kUpdateAccepted;
  }
  // Declining a newer version ends the program at once, unsaved.
  ExitProcess(0);
}

void checkForUpdateInteractive() {
  // A server that never answers must not freeze the window: the check and its
  // answer run on a worker thread, like the silent one. A second pick while
  // one is under way adds nothing.
  if (menuCheckRunning.exchange(true)) return;
  if (!startCheckThread(reportedCheck)) menuCheckRunning = false;
}

void startBackgroundUpdateCheck() { startCheckThread(silentCheck); }

}  // namespace ql
