#include "stand_in_windows.h"

namespace {

// A calm wallpaper: blue at the top, paler towards the bottom, in bands.
void paintWallpaper(HDC dc, const RECT& client) {
  const int bands = 64;
  for (int i = 0; i < bands; ++i) {
    double t = double(i) / (bands - 1);
    HBRUSH brush = CreateSolidBrush(RGB(int(28 + 60 * t), int(72 + 80 * t), int(122 + 90 * t)));
    RECT band = {0, client.bottom * i / bands, client.right, client.bottom * (i + 1) / bands};
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
}

LRESULT CALLBACK standInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) {
      FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    } else {
      paintWallpaper(dc, client);
    }
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(window, message, wParam, lParam);
}

struct Request {
  const char* className;
  const char* title;
  DWORD exStyle;
  RECT place;
  HWND made = nullptr;
  HANDLE ready = nullptr;
};

DWORD WINAPI windowThread(void* parameter) {
  Request* request = static_cast<Request*>(parameter);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = standInProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = request->className;
  RegisterClassA(&wc);
  const RECT& r = request->place;
  HWND window =
      CreateWindowExA(request->exStyle | WS_EX_NOACTIVATE, request->className, request->title,
                      WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  if (window && !(request->exStyle & WS_EX_TOPMOST))
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  request->made = window;
  SetEvent(request->ready);  // `request` is not ours after this
  MSG message;
  while (window && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

HWND startWindow(const char* className, const char* title, DWORD exStyle, const RECT& place) {
  Request request{className, title, exStyle, place};
  request.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, windowThread, &request, 0, nullptr);
  if (thread) {
    WaitForSingleObject(request.ready, 10000);
    CloseHandle(thread);
  }
  CloseHandle(request.ready);
  return request.made;
}

}  // namespace

HWND startDesktopWindow() {
  static HWND desktop =
      startWindow("Progman", "Program Manager", 0,
                  {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  return desktop;
}

HWND openCoverWindow(int left, int top, int width, int height) {
  return startWindow("QlDriveCover", "", WS_EX_TOPMOST, {left, top, left + width, top + height});
}
