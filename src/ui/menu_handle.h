// MenuHandle: one system menu. Items are addressed by command identifier, or
// by 0-based position when `byPosition` is set.
#pragma once
#include <windows.h>

#include <string>

namespace ql {

class MenuHandle {
 public:
  MenuHandle() = default;
  // Destroys the menu unless a window or a parent menu took it over.
  ~MenuHandle();
  MenuHandle(const MenuHandle&) = delete;
  MenuHandle& operator=(const MenuHandle&) = delete;

  bool createBar();
  bool createPopup();
  bool load(HINSTANCE module, const char* resourceName);
  // The window's system menu (not owned); `revert` restores the default one.
  bool takeSystemMenu(HWND window, bool revert = false);
  void destroy();
  HMENU handle() const { return menu_; }

  bool appendItem(UINT id, const std::string& text, UINT flags = MF_STRING);
  bool appendSeparator();
  // The sub-menu then belongs to this menu.
  bool appendSubMenu(MenuHandle& subMenu, const std::string& text, UINT flags = MF_STRING);
  bool insertItem(UINT position, UINT id, const std::string& text, UINT flags = MF_STRING);
  bool remove(UINT item, bool byPosition = false);

  // Makes the menu the window's menu bar (the window then owns it) and redraws it.
  bool setAsMenuBar(HWND window);
  bool setBackgroundColor(COLORREF color, bool includeSubMenus = false);
  bool setBackgroundPicture(HBITMAP picture, bool includeSubMenus = false);

  HMENU subMenu(int position) const;
  int count() const;
  int itemId(int position) const;  // -1 for none or a sub-menu
  std::string itemText(UINT item, bool byPosition = false) const;
  UINT itemState(UINT item, bool byPosition = false) const;
  bool itemInfo(UINT item, bool byPosition, MENUITEMINFOA& info) const;
  RECT itemRect(HWND window, int position) const;
  // The 0-based position of the item at a screen point, -1 when none.
  int itemAtPoint(HWND window, POINT screenPoint) const;

  bool check(UINT item, bool checked, bool byPosition = false);
  bool checkRadio(UINT first, UINT last, UINT checkedItem, bool byPosition = false);
  bool setDefaultItem(UINT item, bool byPosition = false);
  bool setItemText(UINT item, const std::string& text, bool byPosition = false);
  bool setItemState(UINT item, UINT state, bool byPosition = false);
  bool setItemBitmaps(UINT item, HBITMAP unchecked, HBITMAP checked, bool byPosition = false);

  // Makes `owner` the foreground window first (so the menu closes when the
  // user clicks elsewhere), then tracks the menu at (x, y); the owner gets
  // the command. Returns what TrackPopupMenu returns.
  int showPopup(int x, int y, HWND owner, UINT flags = 0);

 private:
  bool setBackground(HBRUSH brush, bool includeSubMenus);

  HMENU menu_ = nullptr;
  bool owned_ = false;
  HBRUSH background_ = nullptr;
};

}  // namespace ql
