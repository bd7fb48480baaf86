// What the control window's pages share: the category tab strip, the item
// list with its icons and the status label, with which page is showing and
// the category each page was left on. The launcher, animation and task pages
// fill these and know nothing else of the control window; the control window
// puts them on its form and lays them out.
#pragma once
#include "control/page_memory.h"
#include "ui/skin_image_list.h"
#include "ui/skin_label.h"
#include "ui/skin_list_view.h"
#include "ui/skin_tab_strip.h"

namespace ql {

struct PageView {
  SkinTabStrip tabs;
  SkinListView list;
  SkinImageList images{32, 32};
  SkinLabel status;
  PageMemory pages;
};

PageView& pageView();

}  // namespace ql
