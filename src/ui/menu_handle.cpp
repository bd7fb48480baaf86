#include "ui/menu_handle.h"

namespace ql {

namespace {
UINT byFlag(bool byPosition) { return byPosition ? MF_BYPOSITION : MF_BYCOMMAND; }
}  // namespace

MenuHandle::~MenuHandle() { destroy(); }

void MenuHandle::destroy() {
  const bool menuGone = !menu_ || owned_ || !IsMenu(menu_);
  if (menu_ && owned_) DestroyMenu(menu_);
  menu_ = nullptr;
  owned_ = false;
  // A menu handed to a window keeps drawing with the brush: it stays then.
  if (background_ && menuGone) DeleteObject(background_);
  background_ = nullptr;
}

bool MenuHandle::createBar() {
  destroy();
  menu_ = CreateMenu();
  owned_ = menu_ != nullptr;
  return owned_;
}

bool MenuHandle::createPopup() {
  destroy();
  menu_ = CreatePopupMenu();
  owned_ = menu_ != nullptr;
  return owned_;
}

bool MenuHandle::load(HINSTANCE module, const char* resourceName) {
  destroy();
  menu_ = LoadMenuA(module, resourceName);
  owned_ = menu_ != nullptr;
  return owned_;
}

bool MenuHandle::takeSystemMenu(HWND window, bool revert) {
  destroy();
  menu_ = GetSystemMenu(window, revert ? TRUE : FALSE);
  return menu_ != nullptr;
}

bool MenuHandle::appendItem(UINT id, const std::string& text, UINT flags) {
  return menu_ && AppendMenuA(menu_, flags, id, text.c_str());
}

bool MenuHandle::appendSeparator() { return menu_ && AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr); }

bool MenuHandle::appendSubMenu(MenuHandle& subMenu, const std::string& text, UINT flags) {
  if (!menu_ || !subMenu.menu_) return false;
  if (!AppendMenuA(menu_, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu.menu_),
                   text.c_str()))
    return false;
  subMenu.owned_ = false;
  return true;
}

bool MenuHandle::insertItem(UINT position, UINT id, const std::string& text, UINT flags) {
  return menu_ && InsertMenuA(menu_, position, flags | MF_BYPOSITION, id, text.c_str());
}

bool MenuHandle::remove(UINT item, bool byPosition) {
  return menu_ && DeleteMenu(menu_, item, byFlag(byPosition));
}

bool MenuHandle::setAsMenuBar(HWND window) {
  if (!menu_ || !SetMenu(window, menu_)) return false;
  owned_ = false;
  DrawMenuBar(window);
  return true;
}

bool MenuHandle::setBackground(HBRUSH brush, bool includeSubMenus) {
  if (!menu_ || !brush) {
    if (brush) DeleteObject(brush);
    return false;
  }
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_BACKGROUND | (includeSubMenus ? MIM_APPLYTOSUBMENUS : 0);
  info.hbrBack = brush;
  if (!SetMenuInfo(menu_, &info)) {
    DeleteObject(brush);
    return false;
  }
  if (background_) DeleteObject(background_);
  background_ = brush;
  return true;
}

bool MenuHandle::setBackgroundColor(COLORREF color, bool includeSubMenus) {
  return setBackground(CreateSolidBrush(color), includeSubMenus);
}

bool MenuHandle::setBackgroundPicture(HBITMAP picture, bool includeSubMenus) {
  return setBackground(picture ? CreatePatternBrush(picture) : nullptr, includeSubMenus);
}

HMENU MenuHandle::subMenu(int position) const {
  return menu_ ? GetSubMenu(menu_, position) : nullptr;
}

int MenuHandle::count() const { return menu_ ? GetMenuItemCount(menu_) : 0; }

int MenuHandle::itemId(int position) const {
  if (!menu_) return -1;
  const UINT id = GetMenuItemID(menu_, position);
  return id == static_cast<UINT>(-1) ? -1 : static_cast<int>(id);
}

std::string MenuHandle::itemText(UINT item, bool byPosition) const {
  if (!menu_) return std::string();
  const int length = GetMenuStringA(menu_, item, nullptr, 0, byFlag(byPosition));
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetMenuStringA(menu_, item, &text[0], length + 1, byFlag(byPosition));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

UINT MenuHandle::itemState(UINT item, bool byPosition) const {
  if (!menu_) return 0;
  const UINT state = GetMenuState(menu_, item, byFlag(byPosition));
  return state == static_cast<UINT>(-1) ? 0 : state;
}

bool MenuHandle::itemInfo(UINT item, bool byPosition, MENUITEMINFOA& info) const {
  info.cbSize = sizeof(info);
  return menu_ && GetMenuItemInfoA(menu_, item, byPosition ? TRUE : FALSE, &info);
}

RECT MenuHandle::itemRect(HWND window, int position) const {
  RECT rect{};
  if (menu_) GetMenuItemRect(window, menu_, static_cast<UINT>(position), &rect);
  return rect;
}

int MenuHandle::itemAtPoint(HWND window, POINT screenPoint) const {
  return menu_ ? MenuItemFromPoint(window, menu_, screenPoint) : -1;
}

bool MenuHandle::check(UINT item, bool checked, bool byPosition) {
  return menu_ &&
         CheckMenuItem(menu_, item, byFlag(byPosition) | (checked ? MF_CHECKED : MF_UNCHECKED)) !=
             static_cast<DWORD>(-1);
}

bool MenuHandle::checkRadio(UINT first, UINT last, UINT checkedItem, bool byPosition) {
  return menu_ && CheckMenuRadioItem(menu_, first, last, checkedItem, byFlag(byPosition));
}

bool MenuHandle::setDefaultItem(UINT item, bool byPosition) {
  return menu_ && SetMenuDefaultItem(menu_, item, byPosition ? TRUE : FALSE);
}

bool MenuHandle::setItemText(UINT item, const std::string& text, bool byPosition) {
  if (!menu_) return false;
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<char*>(text.c_str());
  return SetMenuItemInfoA(menu_, item, byPosition ? TRUE : FALSE, &info);
}

bool MenuHandle::setItemState(UINT item, UINT state, bool byPosition) {
  if (!menu_) return false;
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE;
  info.fState = state;
  return SetMenuItemInfoA(menu_, item, byPosition ? TRUE : FALSE, &info);
}

bool MenuHandle::setItemBitmaps(UINT item, HBITMAP unchecked, HBITMAP checked, bool byPosition) {
  return menu_ && SetMenuItemBitmaps(menu_, item, byFlag(byPosition), unchecked, checked);
}

int MenuHandle::showPopup(int x, int y, HWND owner, UINT flags) {
  if (!menu_) return 0;
  SetForegroundWindow(owner);
  const int result = TrackPopupMenu(menu_, flags, x, y, 0, owner, nullptr);
  // Lets the menu close properly when it is opened again from the tray.
  PostMessageA(owner, WM_NULL, 0, 0);
  return result;
}

}  // namespace ql
