#include "control/control_window.h"

#include <cstdlib>
#include <string>

#include "animation/animation_catalogue.h"
#include "animation/desktop_animation.h"
#include "animation/taskbar_hider.h"
#include "assets/assets.h"
#include "control/control_layout.h"
#include "control/command_dispatch.h"
#include "control/autostart.h"
#include "control/control_menus.h"
#include "control/page_button.h"
#include "control/page_view.h"
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
#include "ui/toolkit.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"
#include "update/news_window.h"
#include "update/update_check.h"

namespace ql {

namespace {

constexpr UINT_PTR kRelayoutTimer = 5180;
constexpr UINT_PTR kDeferredStartTimer = 5181;
constexpr UINT kRelayoutDelayMs = 50;

const char* const kPageNames[kPageCount] = {"应用工具", "桌面Flash", "计划任务"};
const int kPageFaces[kPageCount] = {ASSET_PAGE_APPS, ASSET_PAGE_FLASH, ASSET_PAGE_TASKS};

// The window's own controls; the pages' shared ones are in pageView().
struct ControlParts {
  SkinForm form;
  SkinButton minimise, settings, skin;
  PageButton pageButtons[kPageCount];
  SkinCheckBox listMode;
  int laidOutWidth = 0, laidOutHeight = 0;
};

ControlParts& parts() {
  static ControlParts controls;
  return controls;
}

void place(SkinElement& element, const ControlRect& rect) {
  element.move(rect.x, rect.y, rect.width, rect.height);
}

HICON programIcon(int size) {
  return static_cast<HICON>(LoadImageA(toolkitModule(), MAKEINTRESOURCEA(ICON_PROGRAM), IMAGE_ICON,
                                       size, size, LR_DEFAULTCOLOR));
}

bool addTrayIcon() { return controlWindow().addTrayIcon(programIcon(16), "青岚桌面工具箱"); }

// ---- Pages -----------------------------------------------------------------

// Rebuilds the tabs and the list of the showing page.
void showCurrentPage() {
  switch (pageView().pages.current()) {
    case kLauncherPage: rebuildCategories(1); break;
    case kAnimationPage: showAnimationPage(1); break;
    case kTaskPage: showTaskPage(); break;
  }
}

void switchPage(int page) {
  ControlParts& p = parts();
  PageView& view = pageView();
  int left = view.pages.current();
  if (!view.pages.switchTo(page, view.tabs.current())) return;
  p.pageButtons[left - 1].setSelected(false);
  p.pageButtons[page - 1].setSelected(true);
  showCurrentPage();
}

// "列表方式": checked shows the list, unchecked large icons.
void applyListMode(bool listStyle) {
  PageView& view = pageView();
  int size = listStyle ? 16 : 32;
  view.images.setIconSize(size, size);
  view.list.setStyle(listStyle ? ListViewStyle::List : ListViewStyle::LargeIcons);
}

void switchListMode() {
  ControlParts& p = parts();
  bool listStyle = p.listMode.isChecked();
  applyListMode(listStyle);
  appConfig.setValue("控制配置", "列表方式", listStyle ? "真" : "假");
  refreshPage(pageView().tabs.current());
}

// ---- Title-bar buttons ---------------------------------------------------------

// Hidden, the window is reachable only through its tray icon: without one
// (the shell refused it, even when asked again) it is minimised instead.
void minimiseToTray() {
  WindowBase& window = controlWindow();
  if (!window.hasTrayIcon() && !addTrayIcon()) {
    window.setWindowState(SW_MINIMIZE);
    return;
  }
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
  PageView& view = pageView();
  switch (view.pages.current()) {
    case kLauncherPage:
      if (view.list.entryText(index) == kPlaceholderItem)
        dispatchCommand(kCommandAddItem);
      else
        openItem();
      break;
    case kAnimationPage:
      playCatalogueEntry(view.tabs.tabText(view.tabs.current()), view.list.entryText(index));
      break;
    case kTaskPage: onTaskRowActivated(index); break;
  }
}

void showListMenu() {
  PageView& view = pageView();
  POINT cursor;
  GetCursorPos(&cursor);
  switch (view.pages.current()) {
    case kLauncherPage:
      showControlMenu(view.list.selected() > 0 ? kItemMenu : kPageMenu, cursor.x, cursor.y);
      break;
    case kTaskPage: showControlMenu(kTaskMenu, cursor.x, cursor.y); break;
  }
}

// The form's event routine: clicks on the buttons and the list box, list
// activation and right-clicks.
bool onFormEvent(HWND, int code, int element, int source) {
  if (source != kEventFromElement) return false;
  ControlParts& p = parts();
  PageView& view = pageView();
  SkinElement* target = p.form.element(element);
  if (code == kEventClick) {
    if (target == &p.minimise)
      minimiseToTray();
    else if (target == &p.settings)
      showSettingsMenu();
    else if (target == &p.skin)
      openSkinChooser(controlWindow().handle());
    else if (target == &p.listMode)
      switchListMode();
    else if (target == &view.list && view.pages.current() == kTaskPage)
      onTaskRowClicked(view.list.selected());
    for (int page = 1; page <= kPageCount; ++page)
      if (target == &p.pageButtons[page - 1]) switchPage(page);
  } else if (target == &view.list && code == kEventActivate) {
    activateEntry(view.list.selected());
  } else if (target == &view.list && code == kEventDoubleClick &&
             view.pages.current() == kTaskPage && view.list.selected() == 0) {
    // A double-click beside the rows adds a task.
    onTaskRowActivated(0);
  } else if (target == &view.list && code == kEventRightPress) {
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

// Runs on every size change; a window shown again at its old size (from the
// tray, or restored) keeps its page as it was.
void layOut(int width, int height) {
  ControlParts& p = parts();
  PageView& view = pageView();
  if (width == p.laidOutWidth && height == p.laidOutHeight) return;
  p.laidOutWidth = width;
  p.laidOutHeight = height;
  ControlLayout layout = layoutControls(width, height);
  place(p.minimise, layout.minimiseButton);
  place(p.settings, layout.settingsButton);
  place(p.skin, layout.skinButton);
  view.list.move(layout.itemList.x, layout.itemList.y, layout.itemList.width,
                 layout.itemList.height);
  view.tabs.move(view.tabs.left(), view.tabs.top(), layout.categoryTabs.width, view.tabs.height());
  place(view.status, layout.statusLabel);
  place(p.listMode, layout.listModeBox);
  SetTimer(controlWindow().handle(), kRelayoutTimer, kRelayoutDelayMs, nullptr);
}

void relayoutPage() {
  PageView& view = pageView();
  view.pages.remember(view.pages.current(), view.tabs.current());
  showCurrentPage();
  trimWorkingSet();
}

// The start-up work that waits until the desktop has settled.
void runDeferredStart() {
  importDesktopsOnce();
  reloadTasks();
  // The list belongs to the showing page: only the task page shows tasks.
  if (pageView().pages.current() == kTaskPage) refreshTaskList();
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
  pageView().pages.reset();
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
  PageView& view = pageView();
  view.tabs.create(p.form, 0, kCategoryTabsTop, 2000, kCategoryTabsHeight);
  view.list.create(p.form, 0, kItemListTop, width - 5, height - 190);
  view.list.setImageList(&view.images);
  applyListMode(p.listMode.isChecked());
  view.status.create(p.form, 15, height - 30, width - 30, 25);
  view.status.setTextColor(theme::kTextSecondary);
}

void createDesktopHost() {
  TopLevelArgs args;
  args.created = createDesktopAnimation;
  args.left = args.top = 0;
  args.width = args.height = 10;
  args.style = WS_POPUP;
  args.show = false;
  topLevelWindow(1).createTopLevel(args);
}

}  // namespace

void refreshPage(int tab) {
  switch (pageView().pages.current()) {
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
  showSkinsOn(p.form);

  createButtons(width);
  createPageButtons();
  createListModeBox(width);
  createTabsAndList(width, height);
  createControlMenus();

  // Before the tabs are built: selecting the first one fills the list now,
  // not only when the first layout's timer comes.
  pageView().tabs.onChanged = [](SkinTabStrip&, int tab) { refreshPage(tab); };
  if (ensureFirstCategory(launcherConfig)) processPendingMessages();
  rebuildCategories(1);
  rebuildMoveMenu();

  fillTrayAndSettingsMenus(autostartEnabled(systemRunKeyStore()));

  p.form.onEvent = onFormEvent;
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
