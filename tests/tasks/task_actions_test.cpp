#include <gtest/gtest.h>

#include "fake_calls.h"
#include "tasks/task_actions.h"

using namespace ql;

namespace {

class ActionTest : public ::testing::Test {
 protected:
  CallLog perform(int action, const std::string& parameter = "") {
    log.clear();
    ScheduledTask task;
    task.action = action;
    task.parameter = parameter;
    performAction(task, system, player);
    return log;
  }

  CallLog log;
  FakeSystem system{log};
  FakeMci mci{log};
  MediaPlayer player{mci, 4242};
};

const std::vector<std::string> kPrivilege = {
    "OpenProcessToken(0x28)", "LookupPrivilegeValueA(SeShutdownPrivilege)",
    "AdjustTokenPrivileges(77, 1, 19, 2)", "CloseHandle(77)"};

CallLog withPrivilege(const std::string& call) {
  CallLog calls = kPrivilege;
  calls.push_back(call);
  return calls;
}

}  // namespace

TEST_F(ActionTest, ShutdownsEnableThePrivilegeThenForceTheirCall) {
  EXPECT_EQ(perform(kActionShutdown), withPrivilege("ExitWindowsEx(0xC, 0)"));
  EXPECT_EQ(perform(kActionRestart), withPrivilege("ExitWindowsEx(0x6, 0)"));
  EXPECT_EQ(perform(kActionStandby), withPrivilege("SetSystemPowerState(1, 1)"));
  EXPECT_EQ(perform(kActionLogOff), withPrivilege("ExitWindowsEx(0x4, 0)"));
}

TEST_F(ActionTest, ShutdownsStopSilentlyWithoutThePrivilege) {
  system.tokenOpens = false;
  EXPECT_EQ(perform(kActionShutdown), CallLog{"OpenProcessToken(0x28)"});
  system.tokenOpens = true;
  system.errorAfterAdjust = 1300;  // ERROR_NOT_ALL_ASSIGNED
  EXPECT_EQ(perform(kActionRestart), kPrivilege);
}

TEST_F(ActionTest, OlderSystemsShutDownWithoutAPrivilege) {
  system.nt = false;
  EXPECT_EQ(perform(kActionShutdown), CallLog{"ExitWindowsEx(0x5, 0)"});
  EXPECT_EQ(perform(kActionLogOff), CallLog{"ExitWindowsEx(0x4, 0)"});
}

TEST_F(ActionTest, FastShutdownThroughNtdll) {
  EXPECT_EQ(perform(kActionFastShutdown),
            (CallLog{"RtlAdjustPrivilege(19, 1, 0)", "NtShutdownSystem(0)"}));
  system.ntdllBinds = false;
  EXPECT_EQ(perform(kActionFastShutdown), CallLog{"RtlAdjustPrivilege(19, 1, 0)"});
}

TEST_F(ActionTest, ShellBalloonAndSpokenTime) {
  EXPECT_EQ(perform(kActionOpenPage, "HTTP://example.org"),
            CallLog{"ShellExecuteA(open, HTTP://example.org, 1)"});
  EXPECT_EQ(perform(kActionRunProgram, "C:\\a b\\c.exe"),
            CallLog{"ShellExecuteA(open, C:\\a b\\c.exe, 1)"});
  EXPECT_EQ(perform(kActionBalloon, "喝水"), CallLog{"balloon(喝水|计划任务提醒!|1|30000)"});
  EXPECT_EQ(perform(kActionSpeakTime), CallLog{"speak the time"});
  EXPECT_TRUE(perform(12).empty());
}

TEST_F(ActionTest, RingPlaysTheFileOrTheDefaultRingAndShowsTheBalloon) {
  const std::string balloon = "balloon(您的计划任务事件时间已到! |计划任务提醒!|1|30000)";
  system.files = {"C:\\ring.mp3"};
  EXPECT_EQ(perform(kActionRing, "C:\\ring.mp3"),
            (CallLog{"close Media4242", "open C:\\ring.mp3 Alias Media4242 style child",
                     "play Media4242", balloon}));
  // A file the player cannot open: no sound, the balloon all the same.
  mci.failures["open C:\\ring.mp3 Alias Media4242 style child"] = 263;
  mci.failures["open C:\\ring.mp3 Alias Media4242"] = 263;
  EXPECT_EQ(perform(kActionRing, "C:\\ring.mp3"),
            (CallLog{"close Media4242", "open C:\\ring.mp3 Alias Media4242 style child",
                     "open C:\\ring.mp3 Alias Media4242", balloon}));
  // No file, or one deleted since: the built-in ring, three times.
  EXPECT_EQ(perform(kActionRing, ""), (CallLog{"default ring x3", balloon}));
  EXPECT_EQ(perform(kActionRing, "C:\\gone.mp3"), (CallLog{"default ring x3", balloon}));
}

TEST_F(ActionTest, StoppingTheRingRewindsPurgesAndStopsTheBuiltInRing) {
  stopRing(system, player);
  EXPECT_EQ(log, (CallLog{"seek Media4242 to 0", "stop Media4242", "PlaySoundA(0x40)",
                          "default ring stopped"}));
}
