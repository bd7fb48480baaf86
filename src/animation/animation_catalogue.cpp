#include "animation/animation_catalogue.h"

#include <windows.h>

#include "animation/desktop_animation.h"
#include "animation/flash_player_window.h"
#include "animation/movie_reference.h"
#include "animation/player_settings.h"
#include "control/page_view.h"
#include "runtime/files.h"
#include "shell/app.h"
#include "ui/file_dialog.h"

namespace ql {

namespace {
constexpr unsigned kAnimationEntryColor = 0xE60060C0;
}  // namespace

const char* const kAnimationCategories[5] = {"特效", "动漫", "时钟", "生活", "其他"};

std::vector<AnimationEntry>& animationCatalogue() {
  static std::vector<AnimationEntry> catalogue;
  return catalogue;
}

void loadCatalogue() { animationCatalogue() = readCatalogue(database()); }

Bytes loadAnimationData(const std::string& category, const std::string& name) {
  return readAnimationData(database(), category, name);
}

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

void playCatalogueEntry(const std::string& category, const std::string& name) {
  desktopPlayer().putMovieFromMemory(loadAnimationData(category, name));
  appConfig.setValue(kPlayerSection, "fl地址", catalogueReference(category, name));
}

// A file that cannot be read (or is far too large to be a movie) plays as
// nothing, and is still remembered: it may be back by the next start.
void chooseCustomMovie() {
  FlashPlayerWindow& player = desktopPlayer();
  std::string path =
      askForFile(player.windowHandle(), "请选择自定义Flash文件", "Flash文件(*.swf)\0*.swf\0");
  if (path.empty()) return;
  Bytes movie;
  WIN32_FILE_ATTRIBUTE_DATA file;
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file) && file.nFileSizeHigh == 0 &&
      file.nFileSizeLow <= QLSWF_LARGEST_MOVIE_BYTES)
    readWholeFile(path, movie);
  player.putMovieFromMemory(movie);
  appConfig.setValue(kPlayerSection, "fl地址", path);
}

}  // namespace ql
