// The animation catalogue: the movies of "动画表", filed under five fixed
// categories, shown on the control window's "桌面Flash" page.
#pragma once
#include <string>
#include <vector>

#include "animation/catalogue_store.h"

namespace ql {

// "特效", "动漫", "时钟", "生活", "其他": the page's tabs, in this order.
extern const char* const kAnimationCategories[5];

std::vector<AnimationEntry>& animationCatalogue();

// Reads the catalogue from the data file (once, while the control window is built).
void loadCatalogue();
// The movie bytes of an entry; empty when the data file has none.
Bytes loadAnimationData(const std::string& category, const std::string& name);
// Puts the categories on the tabs, selects the page's remembered one and,
// with `fill` > 0, lists its movies.
void showAnimationPage(int fill);
// Lists the movies of category tab `tab`.
void refreshAnimationList(int tab);
// Plays an entry on the desktop and remembers it in "fl配置"/"fl地址".
void playCatalogueEntry(const std::string& category, const std::string& name);
// Lets the user pick a .swf file to play instead.
void chooseCustomMovie();

}  // namespace ql
