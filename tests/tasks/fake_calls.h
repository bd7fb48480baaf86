// Fakes of the task subsystem's seams that write every call into one list,
// in order, with its arguments: what a test compares against.
#pragma once
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tasks/media_player.h"
#include "tasks/task_actions.h"

namespace ql {

using CallLog = std::vector<std::string>;

inline std::string hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

class FakeMci : public MciPort {
 public:
  explicit FakeMci(CallLog& log) : log_(log) {}
  std::map<std::string, std::string> answers;  // command -> answer
  std::map<std::string, unsigned> failures;    // command -> MCI error code
  std::map<std::string, std::string> shortNames;
  std::set<std::string> files;

  unsigned sendString(const std::string& command, std::string* answer) override {
    log_.push_back(command);
    auto failed = failures.find(command);
    if (failed != failures.end()) return failed->second;
    if (answer) *answer = answers.count(command) ? answers[command] : "";
    return 0;
  }
  std::string errorString(unsigned code) override { return "error " + std::to_string(code); }
  unsigned shortPathName(const std::string& file, std::string& shortName) override {
    auto found = shortNames.find(file);
    if (found == shortNames.end()) return 0;
    shortName = found->second;
    return static_cast<unsigned>(shortName.size());
  }
  bool fileExists(const std::string& path) override { return files.count(path) > 0; }
  MediaRect parentClientRect(uintptr_t window) override {
    log_.push_back("client rect of the parent of " + std::to_string(window));
    return {0, 0, 640, 480};
  }

 private:
  CallLog& log_;
};

class FakeSystem : public SystemCalls {
 public:
  explicit FakeSystem(CallLog& log) : log_(log) {}
  bool nt = true;
  bool tokenOpens = true;
  unsigned long errorAfterAdjust = 0;
  bool ntdllBinds = true;
  std::set<std::string> files;

  bool isNtFamily() override { return nt; }
  bool openProcessToken(unsigned access, uintptr_t& token) override {
    log_.push_back("OpenProcessToken(" + hex(access) + ")");
    token = 77;
    return tokenOpens;
  }
  bool lookupPrivilegeValue(const std::string& name, Luid& luid) override {
    log_.push_back("LookupPrivilegeValueA(" + name + ")");
    luid.low = 19;
    return true;
  }
  void adjustTokenPrivileges(uintptr_t token, int count, const Luid& luid,
                             unsigned attributes) override {
    log_.push_back("AdjustTokenPrivileges(" + std::to_string(token) + ", " + std::to_string(count) +
                   ", " + std::to_string(luid.low) + ", " + std::to_string(attributes) + ")");
  }
  unsigned long lastError() override { return errorAfterAdjust; }
  void closeHandle(uintptr_t handle) override {
    log_.push_back("CloseHandle(" + std::to_string(handle) + ")");
  }
  void exitWindowsEx(unsigned flags, unsigned long reason) override {
    log_.push_back("ExitWindowsEx(" + hex(flags) + ", " + std::to_string(reason) + ")");
  }
  void setSystemPowerState(bool suspend, bool force) override {
    log_.push_back("SetSystemPowerState(" + std::to_string(suspend) + ", " + std::to_string(force) +
                   ")");
  }
  bool rtlAdjustPrivilege(unsigned long privilege, bool enable, bool currentThread) override {
    log_.push_back("RtlAdjustPrivilege(" + std::to_string(privilege) + ", " +
                   std::to_string(enable) + ", " + std::to_string(currentThread) + ")");
    return ntdllBinds;
  }
  bool ntShutdownSystem(int action) override {
    log_.push_back("NtShutdownSystem(" + std::to_string(action) + ")");
    return ntdllBinds;
  }
  void shellOpen(const std::string& target, int show) override {
    log_.push_back("ShellExecuteA(open, " + target + ", " + std::to_string(show) + ")");
  }
  void showBalloon(const std::string& text, const std::string& title, int iconKind,
                   int timeoutMs) override {
    log_.push_back("balloon(" + text + "|" + title + "|" + std::to_string(iconKind) + "|" +
                   std::to_string(timeoutMs) + ")");
  }
  bool fileExists(const std::string& path) override { return files.count(path) > 0; }
  void playDefaultRing(int times) override {
    log_.push_back("default ring x" + std::to_string(times));
  }
  void stopDefaultRing() override { log_.push_back("default ring stopped"); }
  void playSound(unsigned flags) override { log_.push_back("PlaySoundA(" + hex(flags) + ")"); }
  void startSpeakingTime() override { log_.push_back("speak the time"); }

 private:
  CallLog& log_;
};

}  // namespace ql
