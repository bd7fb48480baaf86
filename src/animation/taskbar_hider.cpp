#include "animation/taskbar_hider.h"

#include <atomic>

#include "ui/window_helpers.h"

namespace ql {

namespace {

constexpr char kOwnerClass[] = "HideTaskbar";
constexpr DWORD kOwnerExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;  // 0x180
constexpr DWORD kOwnerStyle = WS_CLIPSIBLINGS | WS_CAPTION;           // 0x04C00000
// The handle the owner thread hands back: still pending, or 0 on failure.
const HWND kOwnerPending = reinterpret_cast<HWND>(~static_cast<ULONG_PTR>(0));

HWND ownerOf(HWND window) {
  return reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_HWNDPARENT));
}

void setOwner(HWND window, HWND owner) {
  SetWindowLongPtrA(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

// Runs on a thread of its own so that the owner window outlives nothing of
// the GUI thread; the window lives until WM_QUIT reaches the thread.
DWORD WINAPI ownerThread(void* parameter) {
  auto* shared = static_cast<std::atomic<HWND>*>(parameter);
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = kOwnerClass;
  RegisterClassA(&windowClass);  // already registered on later calls: fine
  HWND owner = CreateWindowExA(kOwnerExStyle, kOwnerClass, "", kOwnerStyle, 0, 0, 0, 0, nullptr,
                               nullptr, windowClass.hInstance, nullptr);
  *shared = owner;
  if (!owner) return 0;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace

bool isOwnedByTaskbarHider(HWND window) {
  if (!IsWindow(window)) return false;
  HWND owner = ownerOf(window);
  return owner && static_cast<DWORD>(GetWindowLongA(owner, GWL_EXSTYLE)) == kOwnerExStyle &&
         static_cast<DWORD>(GetWindowLongA(owner, GWL_STYLE)) == kOwnerStyle;
}

bool hideFromTaskbar(HWND window) {
  if (!IsWindow(window)) return false;
  if (isOwnedByTaskbarHider(window)) return true;
  std::atomic<HWND> shared{kOwnerPending};
  HANDLE thread = CreateThread(nullptr, 0, ownerThread, &shared, 0, nullptr);
  if (!thread) return false;
  CloseHandle(thread);
  // Keep the interface alive while the thread makes its window.
  while (shared == kOwnerPending) {
    processPendingMessages();
    Sleep(1);
  }
  HWND owner = shared;
  if (!owner) return false;
  setOwner(window, owner);
  return true;
}

bool restoreToTaskbar(HWND window) {
  if (!IsWindow(window)) return false;
  if (!isOwnedByTaskbarHider(window)) return true;
  const bool wasVisible = IsWindowVisible(window) != FALSE;
  const bool wasMinimised = IsIconic(window) != FALSE;
  HWND owner = ownerOf(window);
  setOwner(window, nullptr);
  PostThreadMessageA(GetWindowThreadProcessId(owner, nullptr), WM_QUIT, 0, 0);
  SendMessageA(owner, WM_CLOSE, 0, 0);
  // Showing it minimised and back makes the shell create the button again.
  SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  ShowWindow(window, SW_SHOWMINNOACTIVE);
  if (!wasMinimised) ShowWindow(window, SW_SHOWNOACTIVATE);
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  if (!wasVisible) ShowWindow(window, SW_HIDE);
  return true;
}

}  // namespace ql
