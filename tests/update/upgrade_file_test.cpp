#include "update/upgrade_file.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace ql {
namespace {

std::string upgradeFile(const std::string& version, const std::string& address) {
  return "软件名称：青岚桌面工具箱\r\n版本：" + version + "\r\n下载地址：" + address + "\r\n";
}

UpgradeVerdict verdictOf(const std::string& version, const std::string& address = "http://a.cn/d") {
  return readUpgradeFile(upgradeFile(version, address)).verdict;
}

TEST(UpgradeFile, ComparesTheVersionWithTwo) {
  EXPECT_EQ(verdictOf("2.0"), UpgradeVerdict::kNotNewer);
  EXPECT_EQ(verdictOf("2.0000001"), UpgradeVerdict::kNotNewer);  // not above the margin
  EXPECT_EQ(verdictOf("1.5"), UpgradeVerdict::kNotNewer);
  EXPECT_EQ(verdictOf("新版"), UpgradeVerdict::kNotNewer);          // not a number: 0
  UpgradeFinding newer = readUpgradeFile(upgradeFile("2.1", "http://www.qinglan.cn/down.html"));
  EXPECT_EQ(newer.verdict, UpgradeVerdict::kNewer);
  EXPECT_EQ(newer.version, "2.1");
  EXPECT_EQ(newer.address, "http://www.qinglan.cn/down.html");
  EXPECT_EQ(verdictOf("10"), UpgradeVerdict::kNewer);
}

TEST(UpgradeFile, FailsWithoutUsableLines) {
  // A one-character version is too short to be read, even "2" or "3".
  EXPECT_EQ(verdictOf("2"), UpgradeVerdict::kFailed);
  EXPECT_EQ(verdictOf("3"), UpgradeVerdict::kFailed);
  EXPECT_EQ(verdictOf("2.1", "http://a"), UpgradeVerdict::kFailed);     // 8 bytes
  EXPECT_EQ(verdictOf("2.1", "http://ab"), UpgradeVerdict::kNewer);     // 9 bytes
  EXPECT_EQ(readUpgradeFile("").verdict, UpgradeVerdict::kFailed);
  EXPECT_EQ(readUpgradeFile("软件名称\r\n版本：2.1\r\n").verdict, UpgradeVerdict::kFailed);
  // LF alone ends no value.
  EXPECT_EQ(readUpgradeFile("软件名称\n版本：2.1\n下载地址：http://a.cn/d\n").verdict,
            UpgradeVerdict::kFailed);
  // The version marker is not recognised at the very start of the text.
  EXPECT_EQ(readUpgradeFile("版本：2.1\r\n软件名称\r\n下载地址：http://a.cn/d\r\n").verdict,
            UpgradeVerdict::kFailed);
  // The last line needs its CR LF too.
  EXPECT_EQ(readUpgradeFile("软件名称\r\n版本：2.1\r\n下载地址：http://a.cn/d").verdict,
            UpgradeVerdict::kFailed);
}

TEST(UpgradeFile, AcceptsOnlyWebAddressesForTheShell) {
  for (const char* address : {"file:///C:/Windows/System32/calc.exe",
                              "C:\\Windows\\System32\\calc.exe", "\\\\host\\share\\setup.exe",
                              "javascript:alert(1)", "mailto:a@b.cn", " http://a.cn/d",
                              "http://a.cn/\td", "http://a.cn/\x7f", "httpx://a.cn/d",
                              "http:/a.cn/d", "ahttp://a.cn/d"})
    EXPECT_EQ(verdictOf("2.1", address), UpgradeVerdict::kFailed) << address;
  EXPECT_EQ(verdictOf("2.1", std::string("http://a.cn\0.exe", 16)), UpgradeVerdict::kFailed);
  // Even when nothing newer is offered, a hostile file is a failed check.
  EXPECT_EQ(verdictOf("2", "C:\\x\\setup.exe"), UpgradeVerdict::kFailed);
  for (const char* address : {"HTTP://A.CN/D", "https://a.cn/下载.html", "hTtPs://a.cn/?a=1 b"})
    EXPECT_EQ(verdictOf("2.1", address), UpgradeVerdict::kNewer) << address;
}

// Answers from a table of addresses and records what was asked.
struct FakeServers {
  std::map<std::string, std::string> files;
  std::vector<std::string> asked;
  FetchRoutine routine() {
    return [this](const std::string& address) {
      asked.push_back(address);
      auto found = files.find(address);
      return found == files.end() ? std::string() : found->second;
    };
  }
};

const char kPrimary[] = "http://127.0.0.1:1";
const char kFallback[] = "http://127.0.0.1:2";

TEST(FindUpgrade, AsksTheFallbackOnlyWithoutAVersionFile) {
  FakeServers servers;
  servers.files["http://127.0.0.1:1/deskorb/Upgrade.txt"] = upgradeFile("2.5", "http://p.cn/d");
  servers.files["http://127.0.0.1:2/deskorb/Upgrade.txt"] = upgradeFile("3.0", "http://f.cn/d");
  UpgradeFinding found = findUpgrade(servers.routine(), kPrimary, kFallback);
  EXPECT_EQ(found.version, "2.5");
  EXPECT_EQ(servers.asked, std::vector<std::string>{"http://127.0.0.1:1/deskorb/Upgrade.txt"});

  // An error page of the primary server: the fallback's file counts.
  servers.asked.clear();
  servers.files["http://127.0.0.1:1/deskorb/Upgrade.txt"] =
      "<html><title>404</title>版本：9.9\r\n下载地址：http://x.cn/d\r\n</html>";
  found = findUpgrade(servers.routine(), kPrimary, kFallback);
  EXPECT_EQ(found.version, "3.0");
  EXPECT_EQ(found.address, "http://f.cn/d");
  EXPECT_EQ(servers.asked.size(), 2u);

  // Whatever the fallback gives is used, even without the name line.
  servers.files["http://127.0.0.1:2/deskorb/Upgrade.txt"] = "x版本：2.2\r\n下载地址：http://f.cn/e\r\n";
  found = findUpgrade(servers.routine(), kPrimary, kFallback);
  EXPECT_EQ(found.verdict, UpgradeVerdict::kNewer);
  EXPECT_EQ(found.address, "http://f.cn/e");

  // Neither answers.
  EXPECT_EQ(findUpgrade(FakeServers().routine(), kPrimary, kFallback).verdict,
            UpgradeVerdict::kFailed);
}

// Unlike the version, the name counts at the very first character too.
TEST(FindUpgrade, ANameAtTheVeryStartCounts) {
  FakeServers servers;
  servers.files["http://127.0.0.1:1/deskorb/Upgrade.txt"] =
      "软件名称\r\n版本：2.1\r\n下载地址：http://P.cn/d\r\n";
  EXPECT_EQ(findUpgrade(servers.routine(), kPrimary, kFallback).address, "http://P.cn/d");
  EXPECT_EQ(servers.asked.size(), 1u);
}

TEST(UpgradeQuestion, NamesBothVersions) {
  EXPECT_EQ(upgradeQuestion("2.1"), "检查到新版本,请问是否更新？   \r\n\r\n当前版本：2  更新到：2.1");
}

}  // namespace
}  // namespace ql
