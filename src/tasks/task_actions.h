// What a task does when its time comes, down to the system calls and their
// flags. The calls go through SystemCalls so that tests see them without a
// single one being made: no test ever shuts anything down.
#pragma once
#include <cstdint>
#include <string>

#include "tasks/task_model.h"

namespace ql {

class MediaPlayer;

// Flag values of the calls.
constexpr unsigned kTokenAdjustPrivileges = 0x20, kTokenQuery = 0x08;
constexpr unsigned kPrivilegeEnabled = 2;  // SE_PRIVILEGE_ENABLED
constexpr unsigned kExitLogOff = 0x00, kExitShutdown = 0x01, kExitReboot = 0x02, kExitForce = 0x04,
                   kExitPowerOff = 0x08;
constexpr unsigned long kShutdownPrivilegeNumber = 19;  // SE_SHUTDOWN_PRIVILEGE
constexpr int kShutdownNoReboot = 0;
constexpr int kShowNormal = 1;            // SW_SHOWNORMAL
constexpr unsigned kSoundPurge = 0x0040;  // SND_PURGE

extern const char kShutdownPrivilegeName[];  // "SeShutdownPrivilege"
extern const char kBalloonTitle[];           // "计划任务提醒!"
extern const char kRingText[];               // "您的计划任务事件时间已到! "
constexpr int kBalloonTimeoutMs = 30000;
constexpr int kDefaultRingPlays = 3;

// The system calls behind the actions, one operation per call. Handles and
// privilege ids are opaque numbers here.
class SystemCalls {
 public:
  struct Luid {
    uint32_t low = 0;
    int32_t high = 0;
  };
  virtual ~SystemCalls() = default;

  // GetVersionExA's platform id is VER_PLATFORM_WIN32_NT.
  virtual bool isNtFamily() = 0;
  // OpenProcessToken(current process, access, &token).
  virtual bool openProcessToken(unsigned access, uintptr_t& token) = 0;
  // LookupPrivilegeValueA(no system, name, &luid).
  virtual bool lookupPrivilegeValue(const std::string& name, Luid& luid) = 0;
  // AdjustTokenPrivileges(token, FALSE, {count, luid, attributes}, 0, null, null).
  virtual void adjustTokenPrivileges(uintptr_t token, int count, const Luid& luid,
                                     unsigned attributes) = 0;
  virtual unsigned long lastError() = 0;
  virtual void closeHandle(uintptr_t handle) = 0;
  virtual void exitWindowsEx(unsigned flags, unsigned long reason) = 0;
  virtual void setSystemPowerState(bool suspend, bool force) = 0;
  // The two ntdll entry points, bound by name at run time; false when a
  // name cannot be bound.
  virtual bool rtlAdjustPrivilege(unsigned long privilege, bool enable, bool currentThread) = 0;
  virtual bool ntShutdownSystem(int action) = 0;
  // ShellExecuteA(no owner, "open", target, no parameters, "", show).
  virtual void shellOpen(const std::string& target, int show) = 0;
  // The control window's tray balloon.
  virtual void showBalloon(const std::string& text, const std::string& title, int iconKind,
                           int timeoutMs) = 0;
  virtual bool fileExists(const std::string& path) = 0;
  // The built-in MIDI ring, `times` times in a row, in the background.
  virtual void playDefaultRing(int times) = 0;
  virtual void stopDefaultRing() = 0;
  // PlaySoundA(no sound, no module, flags).
  virtual void playSound(unsigned flags) = 0;
  // speakTime on a thread of its own; returns at once.
  virtual void startSpeakingTime() = 0;
};

// Whether the action ends the session (and with it the program): shutdown,
// restart, log-off and fast shutdown.
bool actionEndsSession(int action);

// Carries out the task's action.
void performAction(const ScheduledTask& task, SystemCalls& calls, MediaPlayer& player);

// Ends a ring: the media player rewinds and stops, sounds played from memory
// are purged and the built-in ring stops.
void stopRing(SystemCalls& calls, MediaPlayer& player);

}  // namespace ql
