#include "update/upgrade_file.h"

#include "runtime/text.h"
#include "update/web_address.h"

namespace ql {

const char kCurrentVersionText[] = "2";
const char kUpgradeFilePath[] = "/deskorb/Upgrade.txt";

namespace {

const char kNameMarker[] = "软件名称";

}  // namespace

UpgradeFinding readUpgradeFile(const std::string& text) {
  UpgradeFinding finding;
  finding.version = textBetween(text, "版本：", "\r\n");
  finding.address = textBetween(text, "下载地址：", "\r\n");
  // The address goes to the shell: only a web page may come from the network.
  if (finding.version.size() < 2 || finding.address.size() < 9 || !isWebAddress(finding.address))
    return finding;
  finding.verdict = textToNumber(finding.version) - kCurrentVersion > 0.0000001
                        ? UpgradeVerdict::kNewer
                        : UpgradeVerdict::kNotNewer;
  return finding;
}

UpgradeFinding findUpgrade(const FetchRoutine& fetch, const std::string& primaryServer,
                           const std::string& fallbackServer) {
  std::string text = fetch(primaryServer + kUpgradeFilePath);
  if (findNoCase(text, kNameMarker) == std::string::npos)
    text = fetch(fallbackServer + kUpgradeFilePath);
  return readUpgradeFile(text);
}

std::string upgradeQuestion(const std::string& version) {
  return std::string("检查到新版本,请问是否更新？   \r\n\r\n当前版本：") + kCurrentVersionText +
         "  更新到：" + version;
}

}  // namespace ql
