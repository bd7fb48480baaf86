#include "form_scenes.h"

#include <windows.h>

#include <string>

#include "scene_support.h"
#include "ui/edit_box.h"
#include "ui/skin_button.h"
#include "ui/skin_check_box.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/skin_label.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"

namespace {

using gallery::handleText;
using gallery::Log;
using gallery::optionValue;
using gallery::topLevel;

constexpr UINT kMsgPushAgain = WM_APP + 20;  // repaint (and push) the form N times
constexpr COLORREF kPaintRed = RGB(220, 30, 30);

BOOL CALLBACK countProperty(HWND, LPSTR, HANDLE, ULONG_PTR counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// Property names left on a window, counted.
int propertyCount(HWND window) {
  int count = 0;
  EnumPropsExA(window, countProperty, reinterpret_cast<LPARAM>(&count));
  return count;
}

void logRect(Log& log, const std::string& key, HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  log.fact(key, std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                    std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top));
}

// ---- paint: the window's own GDI paint routine on a skinned window -----------------
int paintScene(Log& log, const std::vector<std::string>& args) {
  ql::WindowBase window;
  ql::SkinForm form;
  ql::SkinLabel label;
  const int alpha = std::atoi(optionValue(args, "--alpha", "-1").c_str());
  window.onDestroyed = [] { PostQuitMessage(0); };
  window.onPaint = [&](HDC dc, const RECT&) {
    RECT box = {40, 40, 120, 80};
    ql::ScopedBrush red(CreateSolidBrush(kPaintRed));
    FillRect(dc, &box, red.get());
    log.fact("painted", 1);
  };
  auto created = [&](HWND handle) {
    form.attach(handle, ql::Bytes(), ql::SkinForm::kNoTransparentColor, ql::kCaptionClose, alpha);
    label.create(form, 140, 40, 200, 40, "GDI 绘制在皮肤之上");
    log.fact("window", handleText(handle));
  };
  if (!window.createTopLevel(topLevel("绘制例程", 120, 120, 360, 200, WS_POPUP, created))) return 1;
  return int(ql::runMessageLoop());
}

// ---- reattach: a form attached, taken off and another attached ----------------------
int reattachScene(Log& log) {
  ql::WindowBase window;
  ql::SkinForm first, second;
  ql::SkinButton before, after;
  window.onDestroyed = [] { PostQuitMessage(0); };
  auto created = [&](HWND handle) {
    log.fact("properties_before_attach", propertyCount(handle));
    first.attach(handle);
    first.setBackgroundColor(0xFFFFE0E0);
    before.create(first, 20, 40, 100, 26, "第一个");
    first.detach();
    log.fact("filter_after_detach", window.messageFilter() ? 1 : 0);
    log.fact("button_after_detach", before.exists() ? 1 : 0);
    log.fact("properties_after_detach", propertyCount(handle));
    second.attach(handle);
    // Attaching the same form again only replaces its settings.
    second.attach(handle, ql::Bytes(), ql::SkinForm::kNoTransparentColor, ql::kCaptionClose);
    second.onEvent = [&](HWND, int code, int element, int source) {
      if (source == ql::kEventFromElement && code == ql::kEventClick)
        log.fact("clicked", second.element(element)->text());
      return false;
    };
    after.create(second, 20, 40, 100, 26, "第二个");
    log.fact("form_of_window", ql::SkinForm::fromHandle(handle) == &second ? 1 : 0);
    log.fact("window", handleText(handle));
  };
  window.onCloseRequested = [&] {
    log.fact("properties_before_destroy", propertyCount(window.handle()));
    return false;
  };
  if (!window.createTopLevel(topLevel("重新附着", 120, 120, 300, 160, WS_POPUP, created))) return 1;
  return int(ql::runMessageLoop());
}

// ---- framed: a layered form on a window with a frame, pushed again and again --------
int framedScene(Log& log) {
  ql::WindowBase window;
  ql::SkinForm form;
  ql::SkinLabel label;
  window.onDestroyed = [] { PostQuitMessage(0); };
  window.onMessage = [&](UINT message, WPARAM times, LPARAM, LRESULT& result) {
    if (message != kMsgPushAgain) return false;
    for (WPARAM i = 0; i < times; ++i) {
      form.repaint();
      ql::processPendingMessages();
    }
    logRect(log, "rect_after", window.handle());
    result = 0;
    return true;
  };
  auto created = [&](HWND handle) {
    form.attach(handle, ql::Bytes(), ql::SkinForm::kNoTransparentColor, ql::kDefaultCaptionButtons,
                220);
    label.create(form, 20, 40, 260, 40, "有边框的分层窗口");
  };
  if (!window.createTopLevel(
          topLevel("分层有框", 140, 140, 320, 200, WS_OVERLAPPEDWINDOW, created)))
    return 1;
  ql::processPendingMessages();
  logRect(log, "rect_before", window.handle());
  log.fact("window", handleText(window.handle()));
  return int(ql::runMessageLoop());
}

// ---- see-through: a frame with no picture, transparency colour white and
// alpha 1 over a window that counts its clicks ------------------------------------------
int seeThroughScene(Log& log) {
  ql::WindowBase beneath, frame;
  ql::SkinForm form;
  ql::SkinCheckBox boxes[3];
  ql::SkinLabel label;
  beneath.setBackgroundColor(RGB(0x1B, 0x9A, 0xAA));
  beneath.onLeftDown = [&](int x, int y, int) {
    log.fact("beneath_click", std::to_string(x) + "," + std::to_string(y));
    return true;
  };
  beneath.onDestroyed = [] { PostQuitMessage(0); };
  if (!beneath.createTopLevel(topLevel("动画之下", 100, 100, 600, 420, WS_POPUP))) return 1;
  const char* captions[3] = {"总在最前", "穿透", "静音"};
  const int widths[3] = {72, 44, 44};
  auto created = [&](HWND handle) {
    form.attach(handle, ql::Bytes(), RGB(255, 255, 255), ql::kCaptionClose | ql::kCaptionMaximise,
                1);
    int right = form.width() - 98;
    for (int i = 0; i < 3; ++i) {
      right -= widths[i];
      boxes[i].create(form, right, 1, widths[i], 20, captions[i]);
      boxes[i].setTextColor(ql::withAlpha(ql::theme::kWhite, 200));
      boxes[i].onCheckChanged = [&log, i](ql::SkinCheckBox&, bool on) {
        log.fact("checked." + std::to_string(i + 1), on ? 1 : 0);
      };
    }
    label.create(form, 5, 0, 168, 22, "可关闭本窗口,锁定Flash动画!");
    label.setTextColor(0xC8808080);
    log.fact("frame", handleText(handle));
  };
  ql::TopLevelArgs args = topLevel("", 150, 150, 500, 320, WS_POPUP, created);
  args.owner = beneath.handle();
  args.taskbarButton = false;
  if (!frame.createTopLevel(args)) return 1;
  log.fact("beneath", handleText(beneath.handle()));
  return int(ql::runMessageLoop());
}

// ---- orphan: the object goes before its window; the hidden owner still goes with it ----
int orphanScene(Log& log) {
  HWND window = nullptr, owner = nullptr;
  {
    ql::WindowBase object;
    ql::TopLevelArgs args = topLevel("无主窗口", 100, 100, 200, 100, WS_POPUP);
    args.taskbarButton = false;
    if (!object.createTopLevel(args)) return 1;
    window = object.handle();
    owner = GetWindow(window, GW_OWNER);
  }
  log.fact("owner_alive_after_object", IsWindow(owner) ? 1 : 0);
  DestroyWindow(window);
  log.fact("owner_alive_after_window", IsWindow(owner) ? 1 : 0);
  return 0;
}

// ---- dialog: a modal skinned window with an edit box and two buttons --------------------
int dialogScene(Log& log) {
  ql::WindowBase window;
  ql::SkinForm form;
  ql::EditBox edit;
  ql::SkinButton ok, cancel;
  auto finish = [&](const std::string& how) {
    log.fact("result", how);
    form.postCloseClick();
  };
  window.onOk = [&] { finish("ok:" + edit.text()); };
  window.onCancel = [&] { finish("cancel"); };
  auto created = [&](HWND handle) {
    form.attach(handle, ql::Bytes(), ql::SkinForm::kNoTransparentColor, ql::kCaptionClose);
    edit.create(handle, "青岚", ES_AUTOHSCROLL, 50, 33, 128, 18, 0);
    ok.create(form, 91, 62, 60, 22, "确 定");
    cancel.create(form, 162, 62, 60, 22, "取 消");
    ok.setAccent(true);
    ok.onClick = [&](ql::SkinElement&) { finish("ok-button:" + edit.text()); };
    cancel.onClick = [&](ql::SkinElement&) { finish("cancel-button"); };
    edit.setFocus();
    log.fact("window", handleText(handle));
  };
  ql::TopLevelArgs args =
      topLevel("对话键", 300, 200, 230, 90, WS_POPUP | WS_CLIPCHILDREN, created);
  args.modal = true;
  args.taskbarButton = false;
  window.createTopLevel(args);
  log.fact("closed", 1);
  return 0;
}

}  // namespace

int runFormScene(const std::vector<std::string>& args) {
  if (args.empty()) return -1;
  const std::string& scene = args[0];
  if (scene != "paint" && scene != "reattach" && scene != "framed" && scene != "see-through" &&
      scene != "orphan" && scene != "dialog")
    return -1;
  ql::startToolkit();
  Log log(optionValue(args, "--log"));
  int code = 1;
  if (scene == "paint")
    code = paintScene(log, args);
  else if (scene == "reattach")
    code = reattachScene(log);
  else if (scene == "framed")
    code = framedScene(log);
  else if (scene == "see-through")
    code = seeThroughScene(log);
  else if (scene == "orphan")
    code = orphanScene(log);
  else
    code = dialogScene(log);
  log.fact("toolkit_stopped", ql::stopToolkit() ? 1 : 0);
  log.fact("exit", code);
  return code;
}
