// StaticLabel: a system static text control with its own colours.
#pragma once
#include "ui/window_base.h"

namespace ql {

class StaticLabel : public WindowBase {
 public:
  // Child, visible, plus `style` (default: centred vertically); size 0 ->
  // 80 x 24. The background starts as the system button-face colour.
  bool create(HWND parent, const std::string& text = "标签", DWORD style = SS_CENTERIMAGE,
              int left = 0, int top = 0, int width = 80, int height = 24, DWORD exStyle = 0);

  void setTextColor(COLORREF color);
  COLORREF textColor() const { return textColor_; }

 protected:
  bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  COLORREF textColor_ = GetSysColor(COLOR_BTNTEXT);
};

}  // namespace ql
