#include "ui/tray_icon.h"

#include <cstddef>
#include <cstring>

#include "runtime/text.h"

namespace ql {

// The shell's tray record up to the balloon fields: the size every shell
// since Windows 2000 understands (488 bytes for a 32-bit process, 504 with
// 64-bit handles).
static_assert(offsetof(NOTIFYICONDATAA, guidItem) == (sizeof(void*) == 8 ? 504 : 488),
              "tray record of the balloon-capable size");

namespace {

constexpr UINT kTrayIconId = 1;
TrayShellCall shellCall = Shell_NotifyIconA;

void copyCut(char* destination, size_t size, const std::string& text) {
  const std::string cut = cutGbkText(text, size - 1);
  std::memcpy(destination, cut.c_str(), cut.size() + 1);
}

}  // namespace

int trayEventCode(LPARAM mouseMessage) {
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDOWN: return kTrayLeftDown;
    case WM_RBUTTONDOWN: return kTrayRightDown;
    case WM_MBUTTONDOWN: return kTrayMiddleDown;
    case WM_LBUTTONDBLCLK: return kTrayLeftDoubleClick;
    case WM_RBUTTONDBLCLK: return kTrayRightDoubleClick;
    case WM_MBUTTONDBLCLK: return kTrayMiddleDoubleClick;
    case WM_MOUSEMOVE: return kTrayMouseMove;
    case NIN_BALLOONSHOW: return kTrayBalloonShown;
    case NIN_BALLOONTIMEOUT: return kTrayBalloonTimeout;
    case NIN_BALLOONUSERCLICK: return kTrayBalloonClicked;
    default: return 0;
  }
}

void setTrayShellCall(TrayShellCall call) { shellCall = call ? call : Shell_NotifyIconA; }

TrayIcon::TrayIcon(HWND window) {
  std::memset(&record_, 0, sizeof record_);
  record_.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record_.hWnd = window;
  record_.uID = kTrayIconId;
  record_.uCallbackMessage = kMsgTrayIcon;
}

TrayIcon::~TrayIcon() { remove(); }

UINT TrayIcon::taskbarCreatedMessage(HWND window) {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  // An elevated program would otherwise never hear that the shell came back.
  using AllowRoutine = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  static const auto allow = reinterpret_cast<AllowRoutine>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")));
  if (allow && window && message) allow(window, message, 1 /* MSGFLT_ALLOW */, nullptr);
  return message;
}

bool TrayIcon::add(HICON icon, const std::string& tip) {
  icon_.reset(icon);
  taskbarCreatedMessage(record_.hWnd);
  // The shell refuses a second add under the same identifier.
  if (shown_) shellCall(NIM_DELETE, &record_);
  copyCut(record_.szTip, sizeof record_.szTip, tip);
  record_.hIcon = icon;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  shown_ = shellCall(NIM_ADD, &record_) != FALSE;
  return shown_;
}

bool TrayIcon::addAgain() {
  if (!record_.hIcon && !shown_) return false;
  shellCall(NIM_DELETE, &record_);
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  shown_ = shellCall(NIM_ADD, &record_) != FALSE;
  return shown_;
}

bool TrayIcon::modify(UINT flags) {
  if (!shown_) return false;
  record_.uFlags = flags;
  return shellCall(NIM_MODIFY, &record_) != FALSE;
}

bool TrayIcon::setTip(const std::string& tip) {
  copyCut(record_.szTip, sizeof record_.szTip, tip);
  return modify(NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

bool TrayIcon::setIcon(HICON icon) {
  icon_.reset(icon);
  record_.hIcon = icon;
  return modify(NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

bool TrayIcon::showBalloon(const std::string& text, const std::string& title, int iconKind,
                           int timeoutMs) {
  copyCut(record_.szInfo, sizeof record_.szInfo, text);
  copyCut(record_.szInfoTitle, sizeof record_.szInfoTitle, title);
  record_.dwInfoFlags = static_cast<DWORD>(iconKind);
  record_.uTimeout = static_cast<UINT>(timeoutMs);
  record_.dwState = 0;
  record_.dwStateMask = 0;
  return modify(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE | NIF_INFO);
}

bool TrayIcon::remove() {
  if (!shown_) return false;
  shown_ = false;
  return shellCall(NIM_DELETE, &record_) != FALSE;
}

}  // namespace ql
