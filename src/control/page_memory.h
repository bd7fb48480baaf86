// The control window's three pages: which one is showing and, for each, the
// category tab the user last left it on. No Win32 here.
#pragma once
#include "control/control_layout.h"

namespace ql {

enum Page : int { kLauncherPage = 1, kAnimationPage = 2, kTaskPage = 3 };

class PageMemory {
 public:
  int current() const { return current_; }
  // The remembered category tab of page 1..3 (1 until the page is left).
  int category(int page) const;
  void remember(int page, int categoryTab);
  // Leaves the current page on `currentTab` and makes `page` current. False,
  // with nothing changed, when `page` is already showing or is no page.
  bool switchTo(int page, int currentTab);
  void reset();

 private:
  static bool isPage(int page) { return page >= 1 && page <= kPageCount; }
  int current_ = kLauncherPage;
  int categories_[kPageCount] = {1, 1, 1};
};

}  // namespace ql
