#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>

#include "runtime/files.h"
#include "runtime/text.h"
#include "shell/app.h"
#include "tasks/call_record.h"
#include "tasks/default_ring.h"
#include "tasks/media_player.h"
#include "tasks/speak_time.h"
#include "tasks/task_actions.h"
#include "tasks/task_platform.h"
#include "ui/window_base.h"

namespace ql {

namespace {

std::string hexText(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

// An ntdll entry point bound by name.
template <typename Function>
Function ntdllFunction(const char* name) {
  static const HMODULE ntdll = LoadLibraryA("ntdll.dll");  // loaded for the life of the process
  return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)))
               : nullptr;
}

class WindowsCalls : public SystemCalls {
 public:
  bool isNtFamily() override {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }

  bool openProcessToken(unsigned access, uintptr_t& token) override {
    HANDLE handle = nullptr;
    BOOL opened = OpenProcessToken(GetCurrentProcess(), access, &handle);
    recordSystemCall("OpenProcessToken(" + hexText(access) + ") = " + intToText(opened));
    token = reinterpret_cast<uintptr_t>(handle);
    return opened != FALSE;
  }

  bool lookupPrivilegeValue(const std::string& name, Luid& luid) override {
    LUID value = {};
    BOOL found = LookupPrivilegeValueA(nullptr, name.c_str(), &value);
    recordSystemCall("LookupPrivilegeValueA(" + name + ") = " + intToText(found));
    luid.low = value.LowPart;
    luid.high = value.HighPart;
    return found != FALSE;
  }

  void adjustTokenPrivileges(uintptr_t token, int count, const Luid& luid,
                             unsigned attributes) override {
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = static_cast<DWORD>(count);
    privileges.Privileges[0].Luid.LowPart = luid.low;
    privileges.Privileges[0].Luid.HighPart = luid.high;
    privileges.Privileges[0].Attributes = attributes;
    // The error code then tells of this call alone: not every system clears
    // it when all privileges were assigned.
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD error = GetLastError();
    recordSystemCall("AdjustTokenPrivileges(" + intToText(count) + ", " + intToText(attributes) +
                     ") error " + intToText(static_cast<long long>(error)));
    SetLastError(error);  // writing the record may have changed it
  }

  unsigned long lastError() override { return GetLastError(); }

  void closeHandle(uintptr_t handle) override { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

  void exitWindowsEx(unsigned flags, unsigned long reason) override {
    recordSystemCall("ExitWindowsEx(" + hexText(flags) + ", " +
                     intToText(static_cast<long long>(reason)) + ")");
    if (!recordingSystemCalls()) ExitWindowsEx(flags, reason);
  }

  void setSystemPowerState(bool suspend, bool force) override {
    recordSystemCall("SetSystemPowerState(" + intToText(suspend) + ", " + intToText(force) + ")");
    if (!recordingSystemCalls()) SetSystemPowerState(suspend, force);
  }

  bool rtlAdjustPrivilege(unsigned long privilege, bool enable, bool currentThread) override {
    using Function = LONG(WINAPI*)(ULONG, BOOLEAN, BOOLEAN, PBOOLEAN);
    auto function = ntdllFunction<Function>("RtlAdjustPrivilege");
    recordSystemCall("RtlAdjustPrivilege(" + intToText(static_cast<long long>(privilege)) + ", " +
                     intToText(enable) + ", " + intToText(currentThread) + ")" +
                     (function ? "" : " unbound"));
    if (!function) return false;
    BOOLEAN previous = FALSE;
    function(privilege, enable, currentThread, &previous);
    return true;
  }

  bool ntShutdownSystem(int action) override {
    using Function = LONG(WINAPI*)(int);
    auto function = ntdllFunction<Function>("NtShutdownSystem");
    recordSystemCall("NtShutdownSystem(" + intToText(action) + ")" + (function ? "" : " unbound"));
    if (!function) return false;
    if (!recordingSystemCalls()) function(action);
    return true;
  }

  void shellOpen(const std::string& target, int show) override {
    recordSystemCall("ShellExecuteA(open, " + target + ", " + intToText(show) + ")");
    if (!recordingSystemCalls()) ShellExecuteA(nullptr, "open", target.c_str(), nullptr, "", show);
  }

  void showBalloon(const std::string& text, const std::string& title, int iconKind,
                   int timeoutMs) override {
    recordSystemCall("balloon(" + text + "|" + title + "|" + intToText(iconKind) + "|" +
                     intToText(timeoutMs) + ")");
    controlWindow().showBalloon(text, title, iconKind, timeoutMs);
  }

  bool fileExists(const std::string& path) override { return ql::fileExists(path); }

  void playDefaultRing(int times) override {
    recordSystemCall("default ring x" + intToText(times));
    defaultRing().play(times);
  }

  void stopDefaultRing() override { defaultRing().stop(); }

  void playSound(unsigned flags) override {
    recordSystemCall("PlaySoundA(" + hexText(flags) + ")");
    PlaySoundA(nullptr, nullptr, flags);
  }

  void startSpeakingTime() override {
    recordSystemCall("speak the time");
    ql::startSpeakingTime();
  }
};

class WindowsMci : public MciPort {
 public:
  unsigned sendString(const std::string& command, std::string* answer) override {
    char buffer[256] = {};
    MCIERROR code =
        mciSendStringA(command.c_str(), answer ? buffer : nullptr, answer ? 255 : 0, nullptr);
    recordSystemCall("mciSendStringA(" + command +
                     ") = " + intToText(static_cast<long long>(code)));
    if (answer) *answer = buffer;
    return static_cast<unsigned>(code);
  }

  std::string errorString(unsigned code) override {
    char buffer[256] = {};
    mciGetErrorStringA(code, buffer, 255);
    return buffer;
  }

  unsigned shortPathName(const std::string& file, std::string& shortName) override {
    char buffer[256] = {};
    DWORD length = GetShortPathNameA(file.c_str(), buffer, 255);
    if (length >= 255) return 0;  // too long for the buffer: no short name
    shortName = buffer;
    return static_cast<unsigned>(length);
  }

  bool fileExists(const std::string& path) override { return ql::fileExists(path); }

  MediaRect parentClientRect(uintptr_t window) override {
    RECT client = {};
    GetClientRect(GetParent(reinterpret_cast<HWND>(window)), &client);
    return {client.left, client.top, client.right - client.left, client.bottom - client.top};
  }
};

}  // namespace

SystemCalls& systemCalls() {
  static WindowsCalls calls;
  return calls;
}

MediaPlayer& taskMediaPlayer() {
  static WindowsMci mci;
  static MediaPlayer player(mci, GetTickCount());
  return player;
}

}  // namespace ql
