#include "window_scenes.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "ui/combo_box.h"
#include "ui/date_time_picker.h"
#include "ui/edit_box.h"
#include "ui/static_label.h"
#include "ui/text_resources.h"
#include "ui/toolkit.h"
#include "ui/web_browser_host.h"
#include "ui/picture_region.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"
#include "scene_support.h"
#include "runtime/datetime.h"

namespace {

using gallery::handleText;
using gallery::Log;
using gallery::optionValue;
using gallery::topLevel;

// Private messages the tests send to a scene's window.
constexpr UINT kMsgTrayCheck = WM_APP + 1;   // log whether the shell holds our icon
constexpr UINT kMsgTrayForget = WM_APP + 2;  // drop our icon behind the window's back

// Whether the shell holds icon 1 of `window`: a modification that changes
// nothing succeeds only for an icon the shell knows.
bool shellHasIcon(HWND window) {
  NOTIFYICONDATAA probe{};
  probe.cbSize = NOTIFYICONDATAA_V2_SIZE;
  probe.hWnd = window;
  probe.uID = 1;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// ---- modal: an owner and a modal window over it ------------------------------
int modalScene(Log& log) {
  ql::WindowBase owner, dialog;
  owner.onActivated = [&] { log.fact("owner_activated", 1); };
  owner.onDestroyed = [] { PostQuitMessage(0); };
  owner.onTimer = [&](UINT_PTR id) {
    KillTimer(owner.handle(), id);
    dialog.onCreated = [&](HWND window) { log.fact("modal", handleText(window)); };
    dialog.onFirstActivation = [&] {
      log.fact("owner_enabled_while_modal", IsWindowEnabled(owner.handle()) ? 1 : 0);
    };
    ql::TopLevelArgs args =
        topLevel("模态窗口", 400, 300, 240, 120, WS_POPUP | WS_CAPTION | WS_SYSMENU);
    args.owner = owner.handle();
    args.modal = true;
    args.taskbarButton = false;
    dialog.createTopLevel(args);
    // Only now, with the modal window gone.
    log.fact("modal_returned", 1);
    log.fact("owner_enabled_after", IsWindowEnabled(owner.handle()) ? 1 : 0);
    log.fact("owner_active_after", GetActiveWindow() == owner.handle() ? 1 : 0);
  };
  if (!owner.createTopLevel(topLevel("模态所有者", 100, 100, 420, 300, WS_OVERLAPPEDWINDOW)))
    return 1;
  log.fact("owner", handleText(owner.handle()));
  SetTimer(owner.handle(), 1, 100, nullptr);
  return static_cast<int>(ql::runMessageLoop());
}

// ---- close-veto: the first close request is refused ---------------------------
int closeVetoScene(Log& log) {
  ql::WindowBase window;
  int requests = 0;
  window.onCloseRequested = [&] {
    ++requests;
    log.fact("close_requested", requests);
    return requests == 1;  // keep the window the first time only
  };
  window.onDestroyed = [&] {
    log.fact("destroyed", 1);
    PostQuitMessage(0);
  };
  if (!window.createTopLevel(topLevel("关闭否决", 120, 120, 300, 200, WS_OVERLAPPEDWINDOW)))
    return 1;
  log.fact("window", handleText(window.handle()));
  return static_cast<int>(ql::runMessageLoop());
}

// ---- tray: an icon with a long tip, re-added when the taskbar comes back --------
int trayScene(Log& log, const std::vector<std::string>& args) {
  ql::WindowBase window;
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  window.onMessage = [&](UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == taskbarCreated) {
      // The window re-adds its icon after this routine; look once it has.
      window.post(kMsgTrayCheck);
      return false;
    }
    if (message == kMsgTrayCheck) {
      log.fact("shell_has_icon", shellHasIcon(window.handle()) ? 1 : 0);
      log.fact("tip", window.trayTip());
      result = 0;
      return true;
    }
    if (message == kMsgTrayForget) {
      NOTIFYICONDATAA gone{};
      gone.cbSize = NOTIFYICONDATAA_V2_SIZE;
      gone.hWnd = window.handle();
      gone.uID = 1;
      Shell_NotifyIconA(NIM_DELETE, &gone);
      log.fact("forgotten", shellHasIcon(window.handle()) ? 0 : 1);
      result = 0;
      return true;
    }
    return false;
  };
  window.onTrayEvent = [&](int event) { log.fact("tray_event", event); };
  window.onDestroyed = [] { PostQuitMessage(0); };
  if (!window.createTopLevel(topLevel("托盘测试", 140, 140, 300, 200, WS_OVERLAPPEDWINDOW)))
    return 1;
  log.fact("window", handleText(window.handle()));
  HICON icon = CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
  const std::string tip = optionValue(args, "--tip", "青岚桌面工具箱");
  log.fact("added", window.addTrayIcon(icon, tip) ? 1 : 0);
  log.fact("shell_has_icon", shellHasIcon(window.handle()) ? 1 : 0);
  log.fact("tip", window.trayTip());
  return static_cast<int>(ql::runMessageLoop());
}

// ---- centre: window state 3 ----------------------------------------------------------
int centreScene(Log& log) {
  ql::WindowBase window;
  window.onDestroyed = [] { PostQuitMessage(0); };
  if (!window.createTopLevel([] {
        ql::TopLevelArgs args = topLevel("居中测试", 10, 10, 300, 200, WS_POPUP);
        args.show = false;
        return args;
      }()))
    return 1;
  window.setWindowState(3);
  log.fact("window", handleText(window.handle()));
  log.fact("visible", window.isVisible() ? 1 : 0);
  log.fact("left", window.left());
  log.fact("top", window.top());
  log.fact("width", window.width());
  log.fact("height", window.height());
  return static_cast<int>(ql::runMessageLoop());
}

// ---- region: a window shaped by a picture with holes, and the building time -----------
HBITMAP laceBitmap(int width, int height) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = -height;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool dot = (x % 6 < 2) && (y % 6 < 2);
      const bool lace = (x < 24 || y < 24 || x >= width - 24 || y >= height - 24) && ((x ^ y) & 1);
      pixels[y * width + x] = (dot || lace) ? 0x00FFFFFF : 0x001B9AAA;
    }
  return bitmap;
}

// Times the building of a region from a 1024 x 768 picture with many holes,
// then shapes a 400 x 300 window with the same lace. (A full-screen region
// of that many rectangles is more than Wine's X11 driver can send in one
// request, so the window itself is smaller.)
int regionScene(Log& log) {
  HBITMAP large = laceBitmap(1024, 768);
  if (!large) return 1;
  const int rounds = 10;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i)
    DeleteObject(ql::createRegionFromPicture(large, RGB(255, 255, 255)));
  const double buildMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
      rounds;
  DeleteObject(large);
  char figure[32];
  std::snprintf(figure, sizeof(figure), "%.2f", buildMs);
  log.fact("build_ms", figure);

  const int width = 400, height = 300;
  HBITMAP picture = laceBitmap(width, height);
  ql::WindowBase window;
  window.onDestroyed = [] { PostQuitMessage(0); };
  window.setBackgroundColor(RGB(0x1B, 0x9A, 0xAA));
  if (!picture || !window.createTopLevel(topLevel("区域测试", 100, 100, width, height, WS_POPUP)))
    return 1;
  log.fact("window", handleText(window.handle()));
  const auto applyStart = std::chrono::steady_clock::now();
  const bool applied = window.setRegionFromPicture(picture);
  const double applyMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - applyStart)
          .count();
  std::snprintf(figure, sizeof(figure), "%.2f", applyMs);
  log.fact("apply_ms", figure);
  log.fact("applied", applied ? 1 : 0);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(window.handle(), region) != ERROR) {
    log.fact("solid_inside", PtInRegion(region, 100, 100) ? 1 : 0);  // teal
    log.fact("dot_inside", PtInRegion(region, 102, 102) ? 1 : 0);    // a dot of the grid
    log.fact("lace_hole_inside", PtInRegion(region, 3, 0) ? 1 : 0);  // a hole of the lace
    log.fact("lace_solid_inside", PtInRegion(region, 2, 0) ? 1 : 0);
  }
  DeleteObject(region);
  DeleteObject(picture);
  log.fact("ready", 1);
  return static_cast<int>(ql::runMessageLoop());
}

// ---- controls: the wrapped system controls in a modal window -----------------------
int controlsScene(Log& log) {
  ql::WindowBase window;
  ql::EditBox edit;
  ql::ComboBox combo;
  ql::DateTimePicker picker;
  ql::StaticLabel label, plainLabel;
  ql::WebBrowserHost browser;
  // Enter in the dialog-like window is its OK.
  window.onOk = [&] { log.fact("enter_text", edit.text()); };
  combo.onSelectionChanged = [&](int index) { log.fact("combo_changed", index); };
  window.onCreated = [&](HWND handle) {
    window.setBackgroundColor(RGB(0xF3, 0xF7, 0xF8));
    label.create(handle, "名称：", SS_CENTERIMAGE, 12, 12, 48, 20);
    label.setTextColor(RGB(0x26, 0x34, 0x3B));
    label.setBackgroundColor(RGB(0xF3, 0xF7, 0xF8));
    edit.create(handle, "青岚", ES_AUTOHSCROLL, 64, 12, 160, 20);
    combo.create(handle, "", CBS_DROPDOWNLIST, 64, 40, 160, 110);
    for (const char* item : {"仅一次", "每天", "每月"}) combo.addItem(item);
    combo.setSelectedIndex(1);
    picker.create(handle, "", DTS_UPDOWN, 64, 68, 160, 22);
    ql::LocalTime when;
    when.year = 2024;
    when.month = 3;
    when.day = 15;
    when.hour = 8;
    when.minute = 30;
    picker.setValue(ql::toOleDate(when));
    picker.setFormat("yyyy'年'M'月'd'日' HH':'mm");
    plainLabel.create(handle, "标签", SS_CENTERIMAGE, 64, 96, 160, 20);
    log.fact("browser_created",
             browser.create(handle, "about:blank", 0, 240, 12, 120, 100) ? 1 : 0);
    log.fact("browser_html_empty", browser.outerHtml().empty() ? 1 : 0);
    edit.setFocus();
  };
  window.onFirstActivation = [&] {
    log.fact("edit", handleText(edit.handle()));
    log.fact("combo", handleText(combo.handle()));
    log.fact("combo_count", combo.count());
    log.fact("combo_selected_text", combo.itemText(combo.selectedIndex()));
    log.fact("picker_text", picker.text());
    log.fact("picker_value", ql::formatDateTime(picker.value()));
    log.fact("label_text", plainLabel.text());
    log.fact("font", ql::defaultFont().familyName());
    log.fact("windows_major", ql::windowsMajorVersion());
    log.fact("ready", 1);
  };
  // Modal without an owner: the toolkit's hidden owner takes the part.
  ql::TopLevelArgs args = topLevel("控件", 200, 200, 380, 160, WS_POPUP | WS_CAPTION | WS_SYSMENU);
  args.modal = true;
  args.taskbarButton = false;
  window.createTopLevel(args);
  return 0;
}

}  // namespace

int runWindowScene(const std::vector<std::string>& args) {
  if (args.empty()) return -1;
  const std::string& scene = args[0];
  if (scene != "modal" && scene != "close-veto" && scene != "tray" && scene != "centre" &&
      scene != "region" && scene != "controls")
    return -1;
  ql::startToolkit();
  Log log(optionValue(args, "--log"));
  int code = 1;
  if (scene == "modal")
    code = modalScene(log);
  else if (scene == "close-veto")
    code = closeVetoScene(log);
  else if (scene == "tray")
    code = trayScene(log, args);
  else if (scene == "centre")
    code = centreScene(log);
  else if (scene == "controls")
    code = controlsScene(log);
  else
    code = regionScene(log);
  log.fact("exit", code);
  ql::stopToolkit();
  return code;
}
