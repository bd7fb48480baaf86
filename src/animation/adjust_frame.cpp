#include "animation/adjust_frame.h"

#include "animation/adjust_frame_layout.h"
#include "animation/animation_catalogue.h"
#include "animation/animation_options.h"
#include "animation/desktop_animation.h"
#include "animation/flash_player_window.h"
#include "assets/assets.h"
#include "shell/app.h"
#include "ui/skin_button.h"
#include "ui/skin_check_box.h"
#include "ui/skin_form.h"
#include "ui/skin_label.h"
#include "ui/text_resources.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"

namespace ql {

namespace {

// After the maximise button, the frame's new rectangle is final a moment later.
constexpr UINT_PTR kSyncTimer = 550;
constexpr UINT kSyncDelayMs = 100;
constexpr uint32_t kBoxTextColor = 0xC8FFFFFF;
// The boxes are only 44 px wide: their captions a size smaller than the
// program's text, so that two characters fit beside the box.
constexpr float kBoxTextSize = 11;
constexpr uint32_t kLabelColor = 0xC8808080;

const char* const kBoxCaptions[3] = {"总在最前", "穿透", "静音"};

struct AdjustFrame {
  WindowBase window;
  SkinForm form;
  SkinButton movieButton;
  SkinCheckBox boxes[3];
  SkinLabel label;
};

AdjustFrame& frame() {
  static AdjustFrame parts;
  return parts;
}

void place(SkinElement& element, const ControlRect& r) {
  element.move(r.x, r.y, r.width, r.height);
}

void layOut(int width, int) {
  AdjustFrame& f = frame();
  AdjustFrameLayout layout = layOutAdjustFrame(width);
  place(f.movieButton, layout.movieButton);
  for (int i = 0; i < 3; ++i) place(f.boxes[i], layout.boxes[i]);
  f.label.setVisible(layout.labelShown);
}

bool onFrameEvent(HWND window, int code, int element, int source) {
  AdjustFrame& f = frame();
  if (source == kEventFromCaption) {
    if (code == captionEventCode(kCaptionMaximise))
      SetTimer(window, kSyncTimer, kSyncDelayMs, nullptr);
    // The form's own handling of the close button then closes the frame.
    if (code == captionEventCode(kCaptionClose)) setAnimationOption(kOptionLock, true);
    return false;
  }
  SkinElement* target = f.form.element(element);
  if (code == kEventClick && target == &f.movieButton) chooseCustomMovie();
  for (int i = 0; i < 3; ++i)
    if (code == kEventCheckChanged && target == &f.boxes[i])
      setAnimationOption(AnimationOption(kOptionOnTop + i), f.boxes[i].isChecked());
  return false;
}

void onFrameTimer(UINT_PTR timer) {
  if (timer != kSyncTimer) return;
  HWND window = frame().window.handle();
  KillTimer(window, kSyncTimer);
  syncPlayerToFrame(window);
}

// The end of a move or a resize (the system's loop, or the form's own drag).
bool onFrameMessage(UINT message, WPARAM, LPARAM, LRESULT&) {
  if (message == WM_EXITSIZEMOVE) syncPlayerToFrame(frame().window.handle());
  return false;
}

void createControls(int width) {
  AdjustFrame& f = frame();
  AdjustFrameLayout layout = layOutAdjustFrame(width);
  const ControlRect& b = layout.movieButton;
  f.movieButton.create(f.form, b.x, b.y, b.width, b.height, "自定义动画");
  f.movieButton.setStatePictures(assetBytes(ASSET_MOVIE_NORMAL), assetBytes(ASSET_MOVIE_HOVER),
                                 assetBytes(ASSET_MOVIE_PRESSED));
  f.movieButton.setTooltip("自定义动画");
  SkinFont boxFont(defaultFont().family(), kBoxTextSize);
  for (int i = 0; i < 3; ++i) {
    const ControlRect& r = layout.boxes[i];
    f.boxes[i].create(f.form, r.x, r.y, r.width, r.height, kBoxCaptions[i]);
    f.boxes[i].setTextColor(kBoxTextColor);
    f.boxes[i].setFont(boxFont);
    f.boxes[i].setChecked(animationOptionOn(appConfig, AnimationOption(kOptionOnTop + i)));
  }
  const ControlRect& l = layout.label;
  f.label.create(f.form, l.x, l.y, l.width, l.height, "可关闭本窗口,锁定Flash动画!");
  f.label.setTextColor(kLabelColor);
  f.label.setVisible(layout.labelShown);
}

void onFrameCreated(HWND window) {
  AdjustFrame& f = frame();
  // No picture, white see-through, alpha 1: a caption band with the
  // controls and a thin frame around a middle that shows the player and
  // lets its clicks through. The frame's edges size it.
  f.form.attach(window, Bytes(), 0xFFFFFF, kCaptionClose | kCaptionMaximise, 1);
  f.form.setResizeBorder(SkinForm::kFrameWidth);
  f.form.onResized = layOut;
  f.form.onEvent = onFrameEvent;
  RECT client;
  GetClientRect(window, &client);
  createControls(client.right);
}

}  // namespace

// Without a player window (no player library) there is nothing to adjust.
void openAdjustFrame(HWND player, int left, int top, int width, int height) {
  AdjustFrame& f = frame();
  if (f.window.exists() || !IsWindow(player)) return;
  f.window.onTimer = onFrameTimer;
  f.window.onMessage = onFrameMessage;
  TopLevelArgs args;
  args.owner = player;
  args.created = onFrameCreated;
  args.left = left;
  args.top = top;
  args.width = width;
  args.height = height;
  args.style = WS_POPUP;
  args.show = false;
  if (!f.window.createTopLevel(args)) return;
  // Shown just above the player it adjusts, wherever that lies among the
  // windows, and not activated (which would raise it over them all).
  HWND above = GetWindow(player, GW_HWNDPREV);
  if (above == f.window.handle()) above = nullptr;
  SetWindowPos(f.window.handle(), above ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void closeAdjustFrame() {
  AdjustFrame& f = frame();
  if (f.window.exists()) SendMessageA(f.window.handle(), WM_CLOSE, 0, 0);
}

void syncPlayerToFrame(HWND window) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  ControlRect inside = playerInsideFrame(r.left, r.top, r.right, r.bottom);
  desktopPlayer().move(inside.x, inside.y, inside.width, inside.height);
}

void syncFrameCheckBox(AnimationOption option, bool on) {
  AdjustFrame& f = frame();
  if (option < kOptionOnTop || option > kOptionMute || !IsWindow(f.window.handle())) return;
  f.boxes[option - kOptionOnTop].setChecked(on);
}

}  // namespace ql
