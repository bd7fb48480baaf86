// EditBox: a single-line system edit control.
#pragma once
#include "ui/window_base.h"

namespace ql {

class EditBox : public WindowBase {
 public:
  // Child, visible, tab stop, plus `style` (default: automatic horizontal
  // scroll); a size of 0 takes the default 80 x 20.
  bool create(HWND parent, const std::string& text = std::string(), DWORD style = ES_AUTOHSCROLL,
              int left = 0, int top = 0, int width = 80, int height = 20,
              DWORD exStyle = WS_EX_CLIENTEDGE);

  void setLimit(int characters);
  void setReadOnly(bool readOnly);
  void select(int start, int end);  // end -1: to the end
  void selectAll() { select(0, -1); }

  // The text changed (by the user or the program).
  std::function<void()> onChanged;

 protected:
  bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace ql
