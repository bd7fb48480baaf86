#include "tasks/reminder_popup.h"

#include <windows.h>

#include "assets/asset_ids.h"
#include "runtime/datetime.h"
#include "runtime/text.h"
#include "skins/skin_picture.h"
#include "tasks/halo_text.h"
#include "tasks/task_model.h"
#include "tasks/task_sound.h"
#include "ui/skin_button.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/skin_label.h"
#include "ui/text_resources.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"

namespace ql {

namespace {

constexpr int kWidth = 320, kHeight = 170;
constexpr UINT_PTR kCountdownTimer = 518;
constexpr UINT kCountdownPeriodMs = 1000;
constexpr uint32_t kLineColor = 0xFF800000;  // dark red
constexpr uint32_t kCountdownColor = 0xFFFF0000;
const char kGotIt[] = "知道了!";
const char kClose[] = "关闭";

class ReminderPopup {
 public:
  void open(const ScheduledTask& task) {
    task_ = task;
    if (window_.exists()) {
      // One popup: it now shows the latest task.
      ringing_ = false;
      button_.setText(kGotIt);
      showRemaining();
      form_.repaint();
      window_.setTopmost(true);
      return;
    }
    ringing_ = false;
    window_.onDestroyed = [this] {
      // However the popup goes, a ring it offered to stop stops with it.
      if (ringing_) stopTaskSound();
    };
    window_.onTimer = [this](UINT_PTR timer) {
      if (timer == kCountdownTimer) showRemaining();
    };
    TopLevelArgs args;
    args.title = "计划任务!";
    args.created = [this](HWND window) { build(window); };
    args.left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    args.top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    args.width = kWidth;
    args.height = kHeight;
    args.style = WS_POPUP | WS_CLIPCHILDREN;
    window_.createTopLevel(args);
  }

  void fired(const ScheduledTask& task) {
    if (!window_.exists() || task.row != task_.row || task.due != task_.due) return;
    if (task.action == kActionRing) {
      ringing_ = true;
      button_.setText(kClose);
    } else {
      window_.close();
    }
  }

 private:
  void build(HWND window) {
    HICON icon = static_cast<HICON>(
        LoadImageA(toolkitModule(), MAKEINTRESOURCEA(ICON_PROGRAM), IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    form_.attach(window, currentSkinPicture(), SkinForm::kNoTransparentColor, kCaptionClose);
    form_.setCaption("计划任务!");
    form_.onPaint = [this](Gdiplus::Graphics& graphics, int width, int height) {
      paint(graphics, width, height);
    };

    button_.create(form_, form_.width() - 78, 140, 65, 23, kGotIt);
    button_.setAccent(true);
    button_.onClick = [this](SkinElement&) { dismiss(); };
    countdown_.create(form_, 35, 102, 290, 38);
    countdown_.setTextColor(kCountdownColor);
    countdown_.setFont(SkinFont("宋体", 11.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPoint));

    window_.setTopmost(true);
    SetTimer(window, kCountdownTimer, kCountdownPeriodMs, nullptr);
    showRemaining();
  }

  void paint(Gdiplus::Graphics& graphics, int width, int height) {
    fillGradient(graphics, Gdiplus::RectF(0, 20, float(width), float(height - 20)),
                 withAlpha(theme::kWhite, 110), withAlpha(theme::kSurface, 210));
    drawRoundRect(graphics, Gdiplus::RectF(10, 30, float(width - 20), 66), 10,
                  withAlpha(theme::kWhite, 120), 1, kRoundFill);
    drawHaloText(graphics, reminderLine(task_), "宋体", 13, Gdiplus::RectF(18, 35, 282, 92),
                 kLineColor);
  }

  void showRemaining() {
    countdown_.setText("剩余时间 " + intToText(secondsUntil(task_.due, now())) + " 秒");
  }

  void dismiss() {
    KillTimer(window_.handle(), kCountdownTimer);
    form_.postCloseClick();
  }

  ScheduledTask task_;
  WindowBase window_;
  SkinForm form_;
  SkinButton button_;
  SkinLabel countdown_;
  bool ringing_ = false;  // the task rang: the button reads "关闭"
};

ReminderPopup& popup() {
  static ReminderPopup reminder;
  return reminder;
}

}  // namespace

void openReminder(const ScheduledTask& task) { popup().open(task); }

void reminderTaskFired(const ScheduledTask& task) { popup().fired(task); }

}  // namespace ql
