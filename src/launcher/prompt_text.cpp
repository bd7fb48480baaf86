#include "launcher/prompt_text.h"

#include "runtime/message_box.h"
#include "runtime/text.h"
#include "shell/app.h"
#include "skins/skin_picture.h"
#include "ui/edit_box.h"
#include "ui/skin_button.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/window_base.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

constexpr int kWidth = 230, kHeight = 90;

class PromptWindow {
 public:
  PromptWindow(const std::string& prompt, const std::string& initial, const PromptCheck& check)
      : prompt_(prompt), initial_(initial), check_(check) {}

  std::string run() {
    TopLevelArgs args = modalPopupArgs(controlWindow(), prompt_, 20, 300, kWidth, kHeight);
    args.created = [this](HWND window) { build(window); };
    // Enter is OK, Esc is Cancel.
    window_.onOk = [this] { accept(); };
    window_.onCancel = [this] { form_.postCloseClick(); };
    window_.createTopLevel(args);
    return result_;
  }

 private:
  void build(HWND window) {
    form_.attach(window, currentSkinPicture(), SkinForm::kNoTransparentColor, kCaptionClose);
    form_.onPaint = [](Gdiplus::Graphics& graphics, int width, int height) {
      fillGradient(graphics, Gdiplus::RectF(0, 20, float(width), float(height - 20)),
                   withAlpha(theme::kWhite, 150), withAlpha(theme::kSurface, 235));
      // The edit box sits in a rounded field.
      Gdiplus::RectF field(44, 28, 140, 26);
      drawRoundRect(graphics, field, 6, theme::kWhite, 1, kRoundFill);
      drawRoundRect(graphics, field, 6, theme::kAccent, 1, kRoundOutline);
    };
    edit_.create(window, initial_, ES_AUTOHSCROLL, 50, 33, 128, 16, 0);
    int width = form_.width();
    cancel_.create(form_, width - 68, 62, 60, 22, "取 消");
    ok_.create(form_, width - 139, 62, 60, 22, "确 定");
    ok_.setAccent(true);
    cancel_.onClick = [this](SkinElement&) { form_.postCloseClick(); };
    ok_.onClick = [this](SkinElement&) { accept(); };
    edit_.selectAll();
    edit_.setFocus();
  }

  void accept() {
    std::string text = edit_.text();
    std::string refusal;
    if (launcherConfig.hasSection(trimSpaces(text))) refusal = "当前分类名称已存在!  ";
    else if (check_) refusal = check_(text);
    if (!refusal.empty()) {
      showMessageBox(window_.handle(), refusal, MB_OK);
      return;
    }
    result_ = text;
    form_.postCloseClick();
  }

  std::string prompt_, initial_, result_;
  PromptCheck check_;
  WindowBase window_;
  SkinForm form_;
  EditBox edit_;
  SkinButton cancel_, ok_;
};

}  // namespace

std::string promptText(const std::string& prompt, const std::string& initial,
                       const PromptCheck& check) {
  PromptWindow window(prompt, initial, check);
  return window.run();
}

}  // namespace ql
