// Where the control window's controls sit for a window size. No Win32 here.
#pragma once

namespace ql {

struct ControlRect {
  int x, y, width, height;
};

constexpr int kPageCount = 3;
// The category tabs and the list start at fixed heights; the list mode box
// sits just above the tabs' right end.
constexpr int kCategoryTabsTop = 118;
constexpr int kCategoryTabsHeight = 30;
constexpr int kItemListTop = 150;

struct ControlLayout {
  ControlRect minimiseButton, settingsButton, skinButton;
  ControlRect itemList, categoryTabs, statusLabel, listModeBox;
};

// The layout for a client area of width x height (the window has no border).
ControlLayout layoutControls(int width, int height);

// Page button 1..3: 72 x 72 at y 35, 5 px apart after a 15 px margin.
ControlRect pageButtonRect(int page);

}  // namespace ql
