#include <gtest/gtest.h>

#include <map>

#include "control/autostart.h"

using namespace ql;

namespace {

// A registry whose machine-wide key may refuse writes and deletes, as it does
// for a user without administrator rights.
class FakeRunKeys : public RunKeyStore {
 public:
  bool machineWritable = true;
  std::map<RunScope, std::string> values;

  std::string read(RunScope scope) override { return values[scope]; }
  bool write(RunScope scope, const std::string& path) override {
    if (scope == RunScope::Machine && !machineWritable) return false;
    values[scope] = path;
    return true;
  }
  void remove(RunScope scope) override {
    if (scope == RunScope::Machine && !machineWritable) return;
    values.erase(scope);
  }
};

const std::string kPath = "C:\\青岚\\qinglan.exe";

}  // namespace

TEST(Autostart, InitialStateComesFromEitherRunKey) {
  FakeRunKeys keys;
  EXPECT_FALSE(autostartEnabled(keys));
  keys.values[RunScope::Machine] = "";  // present but empty
  EXPECT_FALSE(autostartEnabled(keys));
  keys.values[RunScope::User] = "D:\\old\\place.exe";  // another folder still counts
  EXPECT_TRUE(autostartEnabled(keys));
}

TEST(Autostart, WritesTheMachineKeyWhenAllowed) {
  FakeRunKeys keys;
  EXPECT_TRUE(applyAutostart(keys, true, kPath));
  EXPECT_EQ(keys.values[RunScope::Machine], kPath);
  EXPECT_EQ(keys.values.count(RunScope::User), 0u);
}

TEST(Autostart, FallsBackToTheUserKeyWithoutAdministratorRights) {
  FakeRunKeys keys;
  keys.machineWritable = false;
  EXPECT_TRUE(applyAutostart(keys, true, kPath));
  EXPECT_EQ(keys.values[RunScope::User], kPath);
  EXPECT_FALSE(applyAutostart(keys, false, kPath));
  EXPECT_TRUE(keys.values[RunScope::User].empty());
}

TEST(Autostart, SwitchingOffRemovesBothAndReportsWhatRemains) {
  FakeRunKeys keys;
  keys.values[RunScope::Machine] = kPath;
  keys.values[RunScope::User] = kPath;
  EXPECT_FALSE(applyAutostart(keys, false, kPath));
  EXPECT_TRUE(keys.values.empty() || (keys.values[RunScope::Machine].empty() &&
                                      keys.values[RunScope::User].empty()));
  // A machine value that cannot be deleted keeps autostart on, and says so.
  keys.values[RunScope::Machine] = kPath;
  keys.machineWritable = false;
  EXPECT_TRUE(applyAutostart(keys, false, kPath));
}
