#include "player/dll/visibility.h"

#include <dwmapi.h>

namespace qlswf {

namespace {

// Windows 8 and later keep hidden store apps "visible" but cloaked.
bool isCloaked(HWND window) {
  DWORD cloaked = 0;
  return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) &&
         cloaked != 0;
}

bool paintsItsWholeFrame(HWND window) {
  if (!IsWindowVisible(window) || IsIconic(window)) return false;
  LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  if (exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) return false;
  return !isCloaked(window);
}

// An owner always lies below the windows it owns, whatever the Z-order list
// says (Wine's can put an activated owner first). A popup made with a child
// window as its parent is owned by that child's top-level window: the
// desktop's own window, for a player whose host was put under it.
bool isOwnerOf(HWND candidate, HWND window) {
  HWND desktop = GetDesktopWindow();
  for (HWND owner = GetWindow(window, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER))
    for (HWND w = owner; w && w != desktop; w = GetAncestor(w, GA_PARENT))
      if (w == candidate) return true;
  return false;
}

// The part of the screen the window paints. With DWM the window rectangle
// includes invisible resize borders; the extended frame bounds do not.
HRGN paintedRegion(HWND window) {
  RECT r;
  if (FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r)) &&
      !GetWindowRect(window, &r))
    return nullptr;
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  if (shape && GetWindowRgn(window, shape) != ERROR) {
    RECT w;
    GetWindowRect(window, &w);
    OffsetRgn(shape, w.left, w.top);
    HRGN bounds = CreateRectRgnIndirect(&r);
    CombineRgn(shape, shape, bounds, RGN_AND);
    DeleteObject(bounds);
    return shape;
  }
  if (shape) DeleteObject(shape);
  return CreateRectRgnIndirect(&r);
}

}  // namespace

bool isShown(HWND window) { return IsWindowVisible(window) && !IsIconic(window); }

bool isUncovered(HWND window) {
  // Cloaked: on another virtual desktop, say.
  RECT r;
  if (isCloaked(window) || !GetWindowRect(window, &r) || IsRectEmpty(&r)) return false;
  RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  RECT onScreen;
  if (!IntersectRect(&onScreen, &r, &screen)) return false;

  HRGN rest = CreateRectRgnIndirect(&onScreen);
  if (!rest) return true;
  bool uncovered = true;
  // A bound on the walk: the Z-order can change under our feet.
  int budget = 4096;
  for (HWND above = GetWindow(window, GW_HWNDPREV); above && budget-- > 0;
       above = GetWindow(above, GW_HWNDPREV)) {
    if (!paintsItsWholeFrame(above) || isOwnerOf(above, window)) continue;
    HRGN cover = paintedRegion(above);
    if (!cover) continue;
    int left = CombineRgn(rest, rest, cover, RGN_DIFF);
    DeleteObject(cover);
    if (left == NULLREGION) {
      uncovered = false;
      break;
    }
  }
  DeleteObject(rest);
  return uncovered;
}

}  // namespace qlswf
