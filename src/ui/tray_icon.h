// TrayIcon: a window's one icon in the notification area, with its tip and
// balloons. It owns the icon handle, knows whether the shell holds the icon
// and takes it out of the tray when it goes, so no dead icon is left behind.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "runtime/scoped_handles.h"

namespace ql {

// Callback message of the tray icon.
constexpr UINT kMsgTrayIcon = 12313;

// Event codes handed to the tray-icon routine. Button-up messages are not reported.
enum TrayEvent : int {
  kTrayLeftDown = 1,
  kTrayRightDown = 2,
  kTrayMiddleDown = 3,
  kTrayLeftDoubleClick = 4,
  kTrayRightDoubleClick = 5,
  kTrayMiddleDoubleClick = 6,
  kTrayMouseMove = 7,
  kTrayBalloonShown = 8,
  kTrayBalloonTimeout = 9,
  kTrayBalloonClicked = 10,
};

// Balloon icon kinds (the shell's NIIF_ values).
constexpr int kBalloonNone = 0, kBalloonInfo = 1, kBalloonWarning = 2, kBalloonError = 3;

// The tray callback's mouse message as an event code; 0 for what is not
// reported (button-up messages, balloon hidden).
int trayEventCode(LPARAM mouseMessage);

// The shell's tray call. Tests put in a shell that refuses.
using TrayShellCall = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);
void setTrayShellCall(TrayShellCall call);

class TrayIcon {
 public:
  explicit TrayIcon(HWND window);
  // Takes the icon out of the tray.
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon (taking any earlier one out first). The icon handle is
  // ours from here on, whatever the shell answers. Tips are cut to 127 bytes,
  // never inside a double-byte character.
  bool add(HICON icon, const std::string& tip);
  bool setTip(const std::string& tip);
  bool setIcon(HICON icon);
  bool showBalloon(const std::string& text, const std::string& title, int iconKind, int timeoutMs);
  bool remove();
  // The shell was restarted ("TaskbarCreated"): adds the icon again.
  bool addAgain();
  // Whether the shell holds the icon now (its last add was accepted).
  bool shown() const { return shown_; }
  std::string tip() const { return record_.szTip; }

  // The registered "TaskbarCreated" message, registered on first use and let
  // through the message filter of an elevated process.
  static UINT taskbarCreatedMessage(HWND window);

 private:
  bool modify(UINT flags);

  NOTIFYICONDATAA record_;
  ScopedIcon icon_;
  bool shown_ = false;
};

}  // namespace ql
