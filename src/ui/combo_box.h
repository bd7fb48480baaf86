// ComboBox: a system combo box; item indices are 0-based, -1 meaning none.
#pragma once
#include "ui/window_base.h"

namespace ql {

class ComboBox : public WindowBase {
 public:
  // Child, visible, tab stop, vertical scroll, automatic horizontal scroll and
  // no integral height, plus `kind` (default: drop-down); size 0 -> 100 x 110.
  bool create(HWND parent, const std::string& text = std::string(), DWORD kind = CBS_DROPDOWN,
              int left = 0, int top = 0, int width = 100, int height = 110, DWORD exStyle = 0);

  int addItem(const std::string& text);  // the new item's index, -1 on failure
  int insertItem(int index, const std::string& text);
  bool removeItem(int index);
  void clear();
  int count() const;
  std::string itemText(int index) const;
  int selectedIndex() const;
  void setSelectedIndex(int index);

  // The user picked another item.
  std::function<void(int index)> onSelectionChanged;

 protected:
  bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace ql
