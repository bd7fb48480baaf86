#include "ui/combo_box.h"

namespace ql {

namespace {
int asIndex(LRESULT value) { return value < 0 ? -1 : static_cast<int>(value); }
}  // namespace

bool ComboBox::create(HWND parent, const std::string& text, DWORD kind, int left, int top,
                      int width, int height, DWORD exStyle) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
                      CBS_NOINTEGRALHEIGHT | kind;
  return createChild(parent, "ComboBox", text, style, left, top, width > 0 ? width : 100,
                     height > 0 ? height : 110, exStyle);
}

int ComboBox::addItem(const std::string& text) {
  if (!exists()) return -1;
  return asIndex(send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ComboBox::insertItem(int index, const std::string& text) {
  if (!exists()) return -1;
  return asIndex(
      send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

bool ComboBox::removeItem(int index) {
  return exists() && send(CB_DELETESTRING, static_cast<WPARAM>(index)) != CB_ERR;
}

void ComboBox::clear() { send(CB_RESETCONTENT); }

int ComboBox::count() const { return exists() ? asIndex(send(CB_GETCOUNT)) : 0; }

std::string ComboBox::itemText(int index) const {
  if (!exists()) return std::string();
  const LRESULT length = send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length == CB_ERR || length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied =
      send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

int ComboBox::selectedIndex() const { return exists() ? asIndex(send(CB_GETCURSEL)) : -1; }

void ComboBox::setSelectedIndex(int index) { send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

bool ComboBox::handleControlMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE && onSelectionChanged) {
    onSelectionChanged(selectedIndex());
    result = 0;
    return true;
  }
  return false;
}

}  // namespace ql
