// Reading "Upgrade.txt", the version file on the maker's update server:
// a line holding "软件名称", a line "版本：" with the published version and a
// line "下载地址：" with the download page, each ended by CR LF.
#pragma once
#include <functional>
#include <string>

namespace ql {

constexpr double kCurrentVersion = 2.0;
extern const char kCurrentVersionText[];  // "2"
extern const char kUpgradeFilePath[];      // "/deskorb/Upgrade.txt"

// The outcomes of a version check.
constexpr int kUpdateAccepted = 0, kNoNewerVersion = 1, kUpdateCheckFailed = 2;

enum class UpgradeVerdict { kFailed, kNotNewer, kNewer };

struct UpgradeFinding {
  UpgradeVerdict verdict = UpgradeVerdict::kFailed;
  std::string version;
  std::string address;  // the download page
};

// What the text of a version file offers.
UpgradeFinding readUpgradeFile(const std::string& text);

// A synchronous GET: the body's bytes, empty on any failure.
using FetchRoutine = std::function<std::string(const std::string& address)>;

// Reads the primary server's file; an answer without "软件名称" (an error
// page, nothing at all) sends the check to the fallback server, whose answer
// counts whatever it holds. Servers are given without the path.
UpgradeFinding findUpgrade(const FetchRoutine& fetch, const std::string& primaryServer,
                           const std::string& fallbackServer);

// The question that offers `version`.
std::string upgradeQuestion(const std::string& version);

}  // namespace ql
