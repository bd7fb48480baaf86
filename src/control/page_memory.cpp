#include "control/page_memory.h"

namespace ql {

int PageMemory::category(int page) const { return isPage(page) ? categories_[page - 1] : 0; }

void PageMemory::remember(int page, int categoryTab) {
  if (isPage(page)) categories_[page - 1] = categoryTab;
}

bool PageMemory::switchTo(int page, int currentTab) {
  if (!isPage(page) || page == current_) return false;
  remember(current_, currentTab);
  current_ = page;
  return true;
}

void PageMemory::reset() {
  current_ = kLauncherPage;
  for (int& category : categories_) category = 1;
}

}  // namespace ql
