#include "tasks/task_actions.h"

#include "tasks/media_player.h"

namespace ql {

namespace {

constexpr int kBalloonInfoIcon = 1;

// Enables the shutdown privilege of this process on NT-family systems;
// false when that failed and the action must not go on.
bool enableShutdownPrivilege(SystemCalls& calls) {
  if (!calls.isNtFamily()) return true;
  uintptr_t token = 0;
  if (!calls.openProcessToken(kTokenAdjustPrivileges | kTokenQuery, token)) return false;
  SystemCalls::Luid luid;
  calls.lookupPrivilegeValue(kShutdownPrivilegeName, luid);
  calls.adjustTokenPrivileges(token, 1, luid, kPrivilegeEnabled);
  bool enabled = calls.lastError() == 0;
  calls.closeHandle(token);
  return enabled;
}

void shutDown(int action, SystemCalls& calls) {
  bool nt = calls.isNtFamily();
  if (!enableShutdownPrivilege(calls)) return;
  switch (action) {
    case kActionShutdown:
      calls.exitWindowsEx((nt ? kExitPowerOff : kExitShutdown) | kExitForce, 0);
      break;
    case kActionRestart: calls.exitWindowsEx(kExitReboot | kExitForce, 0); break;
    case kActionStandby: calls.setSystemPowerState(true, true); break;
    case kActionLogOff: calls.exitWindowsEx(kExitLogOff | kExitForce, 0); break;
  }
}

void ring(const std::string& file, SystemCalls& calls, MediaPlayer& player) {
  if (!file.empty() && calls.fileExists(file)) {
    if (player.open(file, 0, false) == 0) player.play();
  } else {
    calls.playDefaultRing(kDefaultRingPlays);
  }
  calls.showBalloon(kRingText, kBalloonTitle, kBalloonInfoIcon, kBalloonTimeoutMs);
}

}  // namespace

const char kShutdownPrivilegeName[] = "SeShutdownPrivilege";
const char kBalloonTitle[] = "计划任务提醒!";
const char kRingText[] = "您的计划任务事件时间已到! ";

bool actionEndsSession(int action) {
  return action == kActionShutdown || action == kActionRestart || action == kActionLogOff ||
         action == kActionFastShutdown;
}

void performAction(const ScheduledTask& task, SystemCalls& calls, MediaPlayer& player) {
  switch (task.action) {
    case kActionRing: ring(task.parameter, calls, player); break;
    case kActionShutdown:
    case kActionRestart:
    case kActionStandby:
    case kActionLogOff: shutDown(task.action, calls); break;
    case kActionOpenPage:
    case kActionRunProgram: calls.shellOpen(task.parameter, kShowNormal); break;
    case kActionBalloon:
      calls.showBalloon(task.parameter, kBalloonTitle, kBalloonInfoIcon, kBalloonTimeoutMs);
      break;
    case kActionSpeakTime: calls.startSpeakingTime(); break;
    case kActionFastShutdown:
      if (calls.rtlAdjustPrivilege(kShutdownPrivilegeNumber, true, false))
        calls.ntShutdownSystem(kShutdownNoReboot);
      break;
  }
}

void stopRing(SystemCalls& calls, MediaPlayer& player) {
  player.stop();
  calls.playSound(kSoundPurge);
  calls.stopDefaultRing();
}

}  // namespace ql
