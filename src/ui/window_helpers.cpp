#include "ui/window_helpers.h"

#include <ole2.h>

#include "runtime/scoped_handles.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"

namespace ql {

namespace {

// A keyboard message inside a hosted ATL control (the web browser) goes to
// the control's own accelerator handling first, so that its Tab, arrows and
// shortcuts work. True when the control consumed it.
bool translateInAtlControl(MSG& message) {
  char className[16];
  for (HWND window = message.hwnd; window; window = GetParent(window)) {
    if (!GetClassNameA(window, className, sizeof(className)) ||
        lstrcmpA(className, "AtlAxWin") != 0)
      continue;
    ComPointer<IUnknown> control;
    *control.receive() = atlHostedControl(window);
    ComPointer<IOleInPlaceActiveObject> active;
    if (!control ||
        FAILED(control->QueryInterface(IID_IOleInPlaceActiveObject, active.receiveVoid())) ||
        !active)
      return false;
    return active->TranslateAccelerator(&message) == S_OK;
  }
  return false;
}

// One message through the program's keyboard handling, then to its window.
void pumpMessage(MSG& message, HWND acceleratorWindow, HACCEL accelerators, bool atlKeys) {
  const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
  if (key && atlKeys && translateInAtlControl(message)) return;
  if (accelerators && TranslateAcceleratorA(acceleratorWindow, accelerators, &message)) return;
  if (key && WindowBase::translateDialogKey(message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace

std::string windowText(HWND window) {
  if (!window || !IsWindow(window)) return std::string();
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

int modifierKeys() {
  int keys = 0;
  if (GetKeyState(VK_CONTROL) < 0) keys |= kModControl;
  if (GetKeyState(VK_SHIFT) < 0) keys |= kModShift;
  if (GetKeyState(VK_MENU) < 0) keys |= kModAlt;
  return keys;
}

int mouseModifierKeys(WPARAM mouseFlags) {
  int keys = 0;
  if (mouseFlags & MK_CONTROL) keys |= kModControl;
  if (mouseFlags & MK_SHIFT) keys |= kModShift;
  if (GetKeyState(VK_MENU) < 0) keys |= kModAlt;
  return keys;
}

ScreenRect workAreaAt(int x, int y) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (GetMonitorInfoA(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), &monitor))
    area = monitor.rcWork;
  return {int(area.left), int(area.top), int(area.right), int(area.bottom)};
}

void fitInWorkArea(int& x, int& y, int width, int height) {
  keepInside(x, y, width, height, workAreaAt(x + width / 2, y + height / 2));
}

TopLevelArgs modalPopupArgs(const WindowBase& owner, const std::string& title, int dx, int dy,
                            int width, int height) {
  TopLevelArgs args;
  args.owner = owner.handle();
  args.title = title;
  args.modal = true;
  args.left = owner.left() + dx;
  args.top = owner.top() + dy;
  fitInWorkArea(args.left, args.top, width, height);
  args.width = width;
  args.height = height;
  args.style = WS_POPUP | WS_CLIPCHILDREN;
  return args;
}

WPARAM runMessageLoop(HWND owner, HACCEL accelerators, LoopFilter filter, bool atlKeys) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return message.wParam;
    if (got == -1) return 0;
    if (filter && filter(message)) return 0;
    pumpMessage(message, owner, accelerators, atlKeys);
    if (owner && !IsWindow(owner)) return 0;
  }
}

void runModalLoop(HWND window, HACCEL accelerators) {
  MSG message{};
  while (IsWindow(window)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got == -1) return;
    pumpMessage(message, window, accelerators, false);
  }
}

void processPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    if (message.message == WM_QUIT || !PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    pumpMessage(message, nullptr, nullptr, false);
  }
}

}  // namespace ql
