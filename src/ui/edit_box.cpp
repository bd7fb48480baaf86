#include "ui/edit_box.h"

namespace ql {

bool EditBox::create(HWND parent, const std::string& text, DWORD style, int left, int top,
                     int width, int height, DWORD exStyle) {
  return createChild(parent, "Edit", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, left, top,
                     width > 0 ? width : 80, height > 0 ? height : 20, exStyle);
}

void EditBox::setLimit(int characters) { send(EM_SETLIMITTEXT, static_cast<WPARAM>(characters)); }

void EditBox::setReadOnly(bool readOnly) { send(EM_SETREADONLY, readOnly ? TRUE : FALSE); }

void EditBox::select(int start, int end) {
  send(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

bool EditBox::handleControlMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && onChanged) {
    onChanged();
    result = 0;
    return true;
  }
  return false;
}

}  // namespace ql
