#include "ui/tooltips.h"

#include <commctrl.h>

namespace ql {

namespace {

// The tool record up to lParam: the size both the old and the themed common
// controls accept.
TOOLINFOA toolFor(HWND window) {
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_CENTERTIP | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  return tool;
}

}  // namespace

ToolTips::~ToolTips() { destroy(); }

bool ToolTips::create() {
  if (window_) return true;
  window_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window_) return false;
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(window_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, 400);
  // Long tips wrap instead of running off the screen.
  SendMessageA(window_, TTM_SETMAXTIPWIDTH, 0, 400);
  return true;
}

void ToolTips::destroy() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
}

bool ToolTips::addWindow(HWND window, const std::string& text) {
  if (!window_ || !window) return false;
  TOOLINFOA tool = toolFor(window);
  tool.lpszText = const_cast<char*>(text.c_str());
  return SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

void ToolTips::removeWindow(HWND window) {
  if (!window_ || !window) return;
  TOOLINFOA tool = toolFor(window);
  SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolTips::updateWindow(HWND window) {
  if (!window_ || !window) return;
  TOOLINFOA tool = toolFor(window);
  GetClientRect(window, &tool.rect);
  SendMessageA(window_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(window_, TTM_UPDATE, 0, 0);
}

void ToolTips::setText(HWND window, const std::string& text) {
  if (!window_ || !window) return;
  hide();
  TOOLINFOA tool = toolFor(window);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(window_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolTips::setTitle(const std::string& title, int icon) {
  if (!window_) return;
  hide();
  SendMessageA(window_, TTM_SETTITLEA, static_cast<WPARAM>(icon),
               reinterpret_cast<LPARAM>(title.c_str()));
}

void ToolTips::setTextColor(COLORREF color) {
  if (!window_) return;
  hide();
  SendMessageA(window_, TTM_SETTIPTEXTCOLOR, color, 0);
}

void ToolTips::setBackgroundColor(COLORREF color) {
  if (!window_) return;
  hide();
  SendMessageA(window_, TTM_SETTIPBKCOLOR, color, 0);
}

void ToolTips::setDelay(int milliseconds) {
  if (window_) SendMessageA(window_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, milliseconds);
}

void ToolTips::hide() {
  if (window_) SendMessageA(window_, TTM_POP, 0, 0);
}

}  // namespace ql
