#include "control/control_window.h"

#include <cstdlib>
#include <string>

#include "animation/animation_catalogue.h"
#include "animation/desktop_animation.h"
#include "animation/taskbar_hider.h"
#include "assets/assets.h"
#include "control/control_layout.h"
#include "control/command_dispatch.h"
#include "control/control_menus.h"
#include "control/page_button.h"
#include "control/tray.h"
#include "launcher/catalogue_edits.h"
#include "launcher/launcher_page.h"
#include "launcher/shortcuts.h"
#include "shell/app.h"
#include "skins/skin_chooser.h"
#include "skins/skin_picture.h"
#include "tasks/task_page.h"
#include "ui/skin_check_box.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/skin_image_list.h"
#include "ui/skin_label.h"
#include "ui/skin_list_view.h"
#include "ui/skin_tab_strip.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"
#include "update/news_window.h"
#include "update/update_check.h"

namespace ql {

namespace {

constexpr UINT_PTR kRelayoutTimer = 5180;
constexpr UINT_PTR kDeferredStartTimer = 5181;
constexpr UINT kRelayoutDelayMs = 50;

const char* const kPageNames[kPageCount] = {"应用工具", "桌面Flash", "计划任务"};
const int kPageFaces[kPageCount] = {ASSET_PAGE_APPS, ASSET_PAGE_FLASH, ASSET_PAGE_TASKS};

struct ControlParts {
  SkinForm form;
  SkinButton minimise, settings, skin;
  PageButton pageButtons[kPageCount];
  SkinCheckBox listMode;
  SkinTabStrip tabs;
  SkinImageList images{32, 32};
  SkinListView list;
  SkinLabel status;
  PageMemory pages;
};

ControlParts& parts() {
  static ControlParts controls;
  return controls;
}

void place(SkinElement& element, const ControlRect& rect) {
  element.move(rect.x, rect.y, rect.width, rect.height);
}

void processPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

HICON programIcon(int size) {
  return static_cast<HICON>(LoadImageA(toolkitModule(), MAKEINTRESOURCEA(ICON_PROGRAM), IMAGE_ICON,
                                       size, size, LR_DEFAULTCOLOR));
}

// ---- Pages -----------------------------------------------------------------

// Rebuilds the tabs and the list of the showing page.
void showCurrentPage() {
  switch (parts().pages.current()) {
    case kLauncherPage: rebuildCategories(1); break;
    case kAnimationPage: showAnimationPage(1); break;
    case kTaskPage: showTaskPage(); break;
  }
}

void switchPage(int page) {
  ControlParts& p = parts();
  int left = p.pages.current();
  if (!p.pages.switchTo(page, p.tabs.current())) return;
  p.pageButtons[left - 1].setSelected(false);
  p.pageButtons[page - 1].setSelected(true);
  showCurrentPage();
}

// "列表方式": checked shows the list, unchecked large icons.
void applyListMode(bool listStyle) {
  ControlParts& p = parts();
  int size = listStyle ? 16 : 32;
  p.images.setIconSize(size, size);
  p.list.setStyle(listStyle ? ListViewStyle::List : ListViewStyle::LargeIcons);
}

void switchListMode() {
  ControlParts& p = parts();
  bool listStyle = p.listMode.isChecked();
  applyListMode(listStyle);
  appConfig.setValue("控制配置", "列表方式", listStyle ? "真" : "假");
  refreshPage(p.tabs.current());
}

// ---- Title-bar buttons ---------------------------------------------------------

void minimiseToTray() {
  WindowBase& window = controlWindow();
  window.setVisible(false);
  hideFromTaskbar(window.handle());
}

void showSettingsMenu() {
  POINT cursor;
  GetCursorPos(&cursor);
  showControlMenu(kSettingsMenu, cursor.x - 58, controlWindow().top() + 22);
}

// ---- The list ----------------------------------------------------------------------

void activateEntry(int index) {
  ControlParts& p = parts();
  switch (p.pages.current()) {
    case kLauncherPage:
      if (p.list.entryText(index) == kPlaceholderItem) dispatchCommand(kCommandAddItem);
      else openItem();
      break;
    case kAnimationPage:
      playCatalogueEntry(p.tabs.tabText(p.tabs.current()), p.list.entryText(index));
      break;
    case kTaskPage:
      onTaskRowActivated(index);
      break;
  }
}

void showListMenu() {
  ControlParts& p = parts();
  POINT cursor;
  GetCursorPos(&cursor);
  switch (p.pages.current()) {
    case kLauncherPage:
      showControlMenu(p.list.selected() > 0 ? kItemMenu : kPageMenu, cursor.x, cursor.y);
      break;
    case kTaskPage:
      showControlMenu(kTaskMenu, cursor.x, cursor.y);
      break;
  }
}

// The form's event routine: clicks on the buttons and the list box, list
// activation and right-clicks.
bool onFormEvent(HWND, int code, int element, int source) {
  if (source != kEventFromElement) return false;
  ControlParts& p = parts();
  SkinElement* target = p.form.element(element);
  if (code == kEventClick) {
    if (target == &p.minimise) minimiseToTray();
    else if (target == &p.settings) showSettingsMenu();
    else if (target == &p.skin) openSkinChooser(controlWindow().handle());
    else if (target == &p.listMode) switchListMode();
    else if (target == &p.list && p.pages.current() == kTaskPage) onTaskRowClicked(p.list.selected());
    for (int page = 1; page <= kPageCount; ++page)
      if (target == &p.pageButtons[page - 1]) switchPage(page);
  } else if (target == &p.list && code == kEventActivate) {
    activateEntry(p.list.selected());
  } else if (target == &p.list && code == kEventDoubleClick && p.pages.current() == kTaskPage &&
             p.list.selected() == 0) {
    // A double-click beside the rows adds a task.
    onTaskRowActivated(0);
  } else if (target == &p.list && code == kEventRightPress) {
    showListMenu();
  }
  return false;
}

// A soft plate behind the page buttons keeps them apart from the skin; it
// ends short of the list-mode box in the corner.
void paintBackdrop(Gdiplus::Graphics& graphics, int width, int) {
  Gdiplus::RectF plate(8, 30, float(width - 32), 82);
  drawRoundRect(graphics, plate, 12, withAlpha(theme::kWhite, 120), 1, kRoundFill);
  drawRoundRect(graphics, plate, 12, withAlpha(theme::kHairline, 200), 1, kRoundOutline);
}

// ---- Layout and timers ----------------------------------------------------------

void layOut(int width, int height) {
  ControlParts& p = parts();
  ControlLayout layout = layoutControls(width, height);
  place(p.minimise, layout.minimiseButton);
  place(p.settings, layout.settingsButton);
  place(p.skin, layout.skinButton);
  p.list.move(layout.itemList.x, layout.itemList.y, layout.itemList.width, layout.itemList.height);
  p.tabs.move(p.tabs.left(), p.tabs.top(), layout.categoryTabs.width, p.tabs.height());
  place(p.status, layout.statusLabel);
  place(p.listMode, layout.listModeBox);
  SetTimer(controlWindow().handle(), kRelayoutTimer, kRelayoutDelayMs, nullptr);
}

void relayoutPage() {
  ControlParts& p = parts();
  p.pages.remember(p.pages.current(), p.tabs.current());
  showCurrentPage();
  trimWorkingSet();
}

// The start-up work that waits until the desktop has settled.
void runDeferredStart() {
  importDesktopsOnce();
  reloadTasks();
  // The list belongs to the showing page: only the task page shows tasks.
  if (parts().pages.current() == kTaskPage) refreshTaskList();
  showNewsWindow();
}

void onTimer(UINT_PTR timer) {
  HWND window = controlWindow().handle();
  if (timer == kRelayoutTimer) {
    KillTimer(window, kRelayoutTimer);
    relayoutPage();
  } else if (timer == kDeferredStartTimer) {
    KillTimer(window, kDeferredStartTimer);
    runDeferredStart();
  } else {
    onSchedulerTick(timer);
  }
}

// ---- Creation ------------------------------------------------------------------

void createButtons(int width) {
  ControlParts& p = parts();
  p.minimise.create(p.form, width - 39, 0, 39, 20);
  p.minimise.setStatePictures(assetBytes(ASSET_MINIMISE_NORMAL), assetBytes(ASSET_MINIMISE_HOVER),
                              assetBytes(ASSET_MINIMISE_PRESSED));
  p.minimise.setTooltip("最小化窗口");
  p.settings.create(p.form, width - 95, 0, 28, 20);
  p.settings.setStatePictures(assetBytes(ASSET_SETTINGS_NORMAL), assetBytes(ASSET_SETTINGS_HOVER),
                              assetBytes(ASSET_SETTINGS_PRESSED));
  p.settings.setTooltip("设置");
  p.skin.create(p.form, 0, 0, 28, 20);
  p.skin.setStatePictures(assetBytes(ASSET_SKIN_NORMAL), assetBytes(ASSET_SKIN_HOVER),
                          assetBytes(ASSET_SKIN_PRESSED));
  p.skin.setTooltip("皮肤");
}

void createPageButtons() {
  ControlParts& p = parts();
  for (int page = 1; page <= kPageCount; ++page) {
    PageButton& button = p.pageButtons[page - 1];
    ControlRect rect = pageButtonRect(page);
    button.create(p.form, rect.x, rect.y, rect.width, rect.height, kPageNames[page - 1]);
    button.setFace(assetBytes(kPageFaces[page - 1]));
  }
  p.pageButtons[0].setSelected(true);
  p.pages.reset();
}

void createListModeBox(int width) {
  ControlParts& p = parts();
  bool listStyle = appConfig.getValue("控制配置", "列表方式", "假") == "真";
  p.listMode.create(p.form, width - 20, kCategoryTabsTop - 16, 18, 18);
  p.listMode.setPictures(assetBytes(ASSET_LIST_MODE_OFF), assetBytes(ASSET_LIST_MODE_ON));
  p.listMode.setChecked(listStyle);
  p.listMode.setTooltip("列表显示方式");
}

void createTabsAndList(int width, int height) {
  ControlParts& p = parts();
  p.tabs.create(p.form, 0, kCategoryTabsTop, 2000, kCategoryTabsHeight);
  p.list.create(p.form, 0, kItemListTop, width - 5, height - 190);
  p.list.setImageList(&p.images);
  applyListMode(p.listMode.isChecked());
  p.status.create(p.form, 15, height - 30, width - 30, 25);
  p.status.setTextColor(theme::kTextSecondary);
}

void addTrayIcon() {
  controlWindow().addTrayIcon(programIcon(16), "青岚桌面工具箱");
}

void createDesktopHost() {
  topLevelWindow(1).createTopLevel(nullptr, "", createDesktopAnimation, false, 0, 0, 10, 10, WS_POPUP,
                                   0, kWindowClassName, nullptr, false, false);
}

}  // namespace

SkinForm& controlForm() { return parts().form; }
SkinTabStrip& categoryTabs() { return parts().tabs; }
SkinListView& itemList() { return parts().list; }
SkinImageList& itemImages() { return parts().images; }
SkinLabel& statusLabel() { return parts().status; }
PageMemory& pages() { return parts().pages; }

void refreshPage(int tab) {
  switch (parts().pages.current()) {
    case kLauncherPage: refreshItems(tab); break;
    case kAnimationPage: refreshAnimationList(tab); break;
    case kTaskPage: refreshTaskList(); break;
  }
}

void showControlWindow() {
  WindowBase& window = controlWindow();
  HWND handle = window.handle();
  ShowWindow(handle, IsIconic(handle) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(handle);
  restoreToTaskbar(handle);
}

void onControlWindowCreated(HWND window) {
  ControlParts& p = parts();
  WindowBase& control = controlWindow();
  RECT client;
  GetClientRect(window, &client);
  int width = client.right, height = client.bottom;

  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon(32)));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon(16)));
  control.setBackgroundColor(RGB(255, 255, 255));

  loadSkinAtStart();
  // The window draws its own title-bar buttons: the form gets none.
  p.form.attach(window, currentSkinPicture(), SkinForm::kNoTransparentColor, 0);
  p.form.onPaint = paintBackdrop;

  createButtons(width);
  createPageButtons();
  createListModeBox(width);
  createTabsAndList(width, height);
  createControlMenus();

  if (ensureFirstCategory(launcherConfig)) processPendingMessages();
  rebuildCategories(1);
  rebuildMoveMenu();

  fillTrayAndSettingsMenus();

  p.form.onEvent = onFormEvent;
  p.tabs.onChanged = [](SkinTabStrip&, int tab) { refreshPage(tab); };
  control.onTrayEvent = onTrayEvent;
  control.onResized = layOut;
  control.onTimer = onTimer;

  addTrayIcon();
  loadCatalogue();

  std::srand(GetTickCount());
  UINT delaySeconds = 22 + static_cast<UINT>(std::rand() % 12);
  SetTimer(window, kDeferredStartTimer, delaySeconds * 1000, nullptr);

  createDesktopHost();
  startBackgroundUpdateCheck();
}

}  // namespace ql
