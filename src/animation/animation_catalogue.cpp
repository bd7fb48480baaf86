#include "animation/animation_catalogue.h"

#include "control/page_view.h"
#include "runtime/files.h"

namespace ql {

namespace {
constexpr unsigned kAnimationEntryColor = 0xE60060C0;
}  // namespace

const char* const kAnimationCategories[5] = {"特效", "动漫", "时钟", "生活", "其他"};

std::vector<AnimationEntry>& animationCatalogue() {
  static std::vector<AnimationEntry> catalogue;
  return catalogue;
}

// The catalogue is read from "动画表" together with the desktop player; until
// then the page lists no movies.
void loadCatalogue() {}

void showAnimationPage(int fill) {
  SkinTabStrip& tabs = pageView().tabs;
  tabs.clearTabs();
  for (const char* category : kAnimationCategories) tabs.addTab(category);
  // Selecting the tab lists its movies through the tab change.
  int shown = tabs.setCurrent(pageView().pages.category(kAnimationPage));
  if (fill > 0 && shown == 0) refreshAnimationList(0);
  pageView().status.setText("");
}

void refreshAnimationList(int tab) {
  SkinImageList& images = pageView().images;
  SkinListView& list = pageView().list;
  images.clear();
  images.add(programFolder() + "\\imgs\\swf.swf");
  list.clear();
  std::string category = pageView().tabs.tabText(tab);
  if (category.empty()) return;
  for (const AnimationEntry& entry : animationCatalogue())
    if (entry.category == category) list.insertEntry(entry.name, 1, kAnimationEntryColor);
}

// Playing and choosing movies arrive with the desktop player.
void playCatalogueEntry(const std::string&, const std::string&) {}
void chooseCustomMovie() {}

}  // namespace ql
