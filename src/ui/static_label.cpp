#include "ui/static_label.h"

namespace ql {

bool StaticLabel::create(HWND parent, const std::string& text, DWORD style, int left, int top,
                         int width, int height, DWORD exStyle) {
  return createChild(parent, "Static", text, WS_CHILD | WS_VISIBLE | style, left, top,
                     width > 0 ? width : 80, height > 0 ? height : 24, exStyle);
}

void StaticLabel::setTextColor(COLORREF color) {
  textColor_ = color;
  invalidate();
}

bool StaticLabel::handleControlMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_CTLCOLORSTATIC) return false;
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, textColor_);
  SetBkMode(dc, TRANSPARENT);
  result = reinterpret_cast<LRESULT>(backgroundBrush());
  return true;
}

}  // namespace ql
