#include "update/update_check.h"

#include <windows.h>
#include <objbase.h>

#include "launcher/shortcuts.h"
#include "runtime/files.h"
#include "runtime/message_box.h"
#include "update/fetch_url.h"
#include "update/server_addresses.h"
#include "update/upgrade_file.h"

namespace ql {

namespace {

DWORD WINAPI backgroundCheck(void*) {
  // For the XMLHTTP object and for the shell, which may hand the download
  // page to a COM handler.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  checkForUpdate();
  if (com) CoUninitialize();
  return 0;
}

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
}

void startBackgroundUpdateCheck() {
  HANDLE thread = CreateThread(nullptr, 0, backgroundCheck, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

}  // namespace ql
