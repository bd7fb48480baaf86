// The desktop animation's player window for a screenshot test, under Wine:
//   player_window_test MOVIE LOG
// Shows two magenta backdrops, each with a player window on top of it: the left
// plays MOVIE loaded by path, the right the same bytes handed over from
// memory. Writes key=value facts to LOG, "ready=1" last, and runs until a
// backdrop is closed (or two minutes pass).
#include <windows.h>

#include <cstdio>
#include <string>

#include "animation/flash_player_window.h"
#include "runtime/files.h"

namespace {

const COLORREF kBackdrop = RGB(255, 0, 255);
const int kTop = 100, kWidth = 400, kHeight = 300, kLeftX = 60, kRightX = 540;

LRESULT CALLBACK backdropProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(w, &r);
    HBRUSH brush = CreateSolidBrush(kBackdrop);
    FillRect(reinterpret_cast<HDC>(wp), &r, brush);
    DeleteObject(brush);
    return 1;
  }
  if (m == WM_CLOSE) PostQuitMessage(0);
  return DefWindowProcA(w, m, wp, lp);
}

HWND makeBackdrop(int x, const char* title) {
  return CreateWindowExA(0, "QlBackdrop", title, WS_POPUP | WS_VISIBLE, x, kTop, kWidth, kHeight,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return 2;
  std::string moviePath = __argv[1];
  FILE* log = std::fopen(__argv[2], "w");
  if (!log) return 2;
  auto fact = [log](const std::string& key, long long value) {
    std::fprintf(log, "%s=%lld\n", key.c_str(), value);
    std::fflush(log);
  };

  WNDCLASSA wc = {};
  wc.lpfnWndProc = backdropProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "QlBackdrop";
  RegisterClassA(&wc);
  HWND leftBackdrop = makeBackdrop(kLeftX, "backdrop-path");
  HWND rightBackdrop = makeBackdrop(kRightX, "backdrop-memory");

  std::string library = ql::programFolder() + "\\" QLSWF_LIBRARY_NAME;
  ql::FlashPlayerWindow byPath(library), fromMemory(library);
  HWND left = byPath.create(leftBackdrop, kLeftX, kTop, kWidth, kHeight, moviePath.c_str(),
                            nullptr, "player-path");
  HWND right = fromMemory.create(rightBackdrop, kRightX, kTop, kWidth, kHeight);
  ql::Bytes bytes;
  ql::readWholeFile(moviePath, bytes);
  fromMemory.putMovieFromMemory(bytes);
  fact("path_window", reinterpret_cast<long long>(left));
  fact("memory_window", reinterpret_cast<long long>(right));
  fact("owner_ok", GetWindow(left, GW_OWNER) == leftBackdrop);

  fact("volume_150", byPath.volume(150, true));
  fact("volume_after_150", byPath.volume());
  fact("volume_minus_5", byPath.volume(-5, true));
  fact("volume_after_minus_5", byPath.volume());

  // The right one is topmost and lets clicks through, as the user may set it.
  fromMemory.setTopmost(true);
  fromMemory.setClickThrough(true);
  LONG ex = GetWindowLongA(right, GWL_EXSTYLE);
  fact("topmost", (ex & WS_EX_TOPMOST) != 0);
  fact("click_through", (ex & WS_EX_TRANSPARENT) != 0);
  fact("layered", (ex & WS_EX_LAYERED) != 0);
  fact("ready", 1);

  SetTimer(nullptr, 0, 120000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  fact("closed", 1);
  std::fclose(log);
  return 0;
}
