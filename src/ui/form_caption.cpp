#include "ui/form_caption.h"

#include "ui/skin_draw.h"
#include "ui/skin_element.h"
#include "ui/toolkit.h"

#include <algorithm>

namespace ql {

void CaptionBar::layout(int buttonSet, int width) {
  buttons_ = layoutCaptionButtons(buttonSet, width);
  std::vector<State> states;
  for (const CaptionButton& button : buttons_) {
    State state;
    state.bit = button.bit;
    for (const State& old : states_)
      if (old.bit == button.bit) state = old;
    states.push_back(state);
  }
  states_.swap(states);
}

SkinRect CaptionBar::rect(int bit) const {
  for (const CaptionButton& button : buttons_)
    if (button.bit == bit) return {button.left, button.top, button.width, button.height};
  return {};
}

void CaptionBar::setHovered(int bit) {
  hovered_ = bit;
  for (State& state : states_) state.hovered = state.bit == bit;
}

bool CaptionBar::animate(int elapsedMs, std::vector<int>& changed) {
  bool running = false;
  for (State& state : states_) {
    float before = state.hover;
    float target = state.hovered ? 1.0f : 0.0f;
    float step = float(elapsedMs) / (state.hovered ? 100.0f : 200.0f);
    state.hover = state.hover < target ? std::min(target, state.hover + step)
                                       : std::max(target, state.hover - step);
    if (state.hover != before) changed.push_back(state.bit);
    if (state.hover != target) running = true;
  }
  return running;
}

void CaptionBar::paint(Gdiplus::Graphics& graphics, int width, int height,
                       const std::string& caption, bool frameLine, bool seeThrough,
                       bool maximised) const {
  if (seeThrough) {
    // Over a see-through middle the band and a frame carry the caption.
    Gdiplus::SolidBrush band(argbColor(kSeeThroughChrome));
    Gdiplus::SmoothingMode smoothing = graphics.GetSmoothingMode();
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    graphics.FillRectangle(&band, Gdiplus::RectF(0, 0, float(width), float(kCaptionBandHeight)));
    Gdiplus::Pen frame(argbColor(kSeeThroughChrome), 3);
    frame.SetAlignment(Gdiplus::PenAlignmentInset);
    graphics.DrawRectangle(&frame, Gdiplus::RectF(0, 0, float(width), float(height)));
    graphics.SetSmoothingMode(smoothing);
  } else if (frameLine) {
    // A hairline frame keeps a borderless window apart from what lies behind it.
    Gdiplus::Pen frame(argbColor(withAlpha(theme::kText, 72)), 1);
    graphics.DrawRectangle(&frame, Gdiplus::RectF(0, 0, float(width - 1), float(height - 1)));
  }
  if (!caption.empty()) {
    int right = buttons_.empty() ? width : buttons_.back().left;
    drawSkinText(graphics, caption, defaultFont(),
                 Gdiplus::RectF(8, 1, float(std::max(0, right - 16)), float(kCaptionBandHeight)),
                 seeThrough ? theme::kWhite : theme::kText, kAlignLeft, kTextSingleLine);
  }
  for (size_t i = 0; i < buttons_.size() && i < states_.size(); ++i)
    paintButton(graphics, buttons_[i], states_[i], seeThrough, maximised);
}

void CaptionBar::paintButton(Gdiplus::Graphics& graphics, const CaptionButton& button,
                             const State& state, bool seeThrough, bool maximised) const {
  bool close = button.bit == kCaptionClose;
  bool pressed = pressed_ == button.bit && hovered_ == button.bit;
  float h = state.hover;
  Gdiplus::RectF box(float(button.left), float(button.top), float(button.width),
                     float(button.height));
  uint32_t fill = 0;
  if (close)
    fill = pressed ? theme::kDangerPressed : withAlpha(theme::kDanger, int(255 * h));
  else
    fill = pressed ? withAlpha(theme::kAccentPressed, 72) : withAlpha(theme::kAccent, int(44 * h));
  if (fill >> 24) {
    Gdiplus::SolidBrush brush(argbColor(fill));
    Gdiplus::SmoothingMode smoothing = graphics.GetSmoothingMode();
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    graphics.FillRectangle(&brush, box);
    graphics.SetSmoothingMode(smoothing);
  }
  uint32_t ink = seeThrough ? theme::kWhite : theme::kText;
  uint32_t glyph = close ? mixColors(ink, theme::kWhite, pressed ? 1.0f : h)
                         : mixColors(ink, seeThrough ? theme::kWhite : theme::kAccentPressed,
                                     pressed ? 1.0f : h);
  Gdiplus::Pen pen(argbColor(glyph), 1.0f);
  // Glyphs sit on whole pixels around the button's centre so their 1 px
  // strokes stay sharp.
  float cx = float(button.left + button.width / 2), cy = float(button.top + button.height / 2);
  switch (button.bit) {
    case kCaptionClose:
      pen.SetWidth(1.3f);
      graphics.DrawLine(&pen, cx - 4, cy - 4, cx + 4, cy + 4);
      graphics.DrawLine(&pen, cx - 4, cy + 4, cx + 4, cy - 4);
      break;
    case kCaptionMaximise:
      if (maximised) {
        graphics.DrawRectangle(&pen, Gdiplus::RectF(cx - 4, cy - 2, 6, 6));
        graphics.DrawLine(&pen, cx - 2, cy - 4, cx + 4, cy - 4);
        graphics.DrawLine(&pen, cx + 4, cy - 4, cx + 4, cy + 2);
      } else {
        graphics.DrawRectangle(&pen, Gdiplus::RectF(cx - 4, cy - 4, 8, 8));
        graphics.DrawLine(&pen, cx - 4, cy - 3, cx + 4, cy - 3);
      }
      break;
    case kCaptionMinimise: graphics.DrawLine(&pen, cx - 4, cy + 1, cx + 4, cy + 1); break;
    case kCaptionMenu:
      for (int i = -3; i <= 3; i += 3) graphics.DrawLine(&pen, cx - 5, cy + i, cx + 5, cy + i);
      break;
    case kCaptionSkin: {
      // A small shirt: the usual sign for changing the look.
      Gdiplus::PointF shirt[] = {{cx - 2, cy - 5}, {cx - 6, cy - 3}, {cx - 5, cy},
                                 {cx - 3, cy - 1}, {cx - 3, cy + 5}, {cx + 3, cy + 5},
                                 {cx + 3, cy - 1}, {cx + 5, cy},     {cx + 6, cy - 3},
                                 {cx + 2, cy - 5}, {cx, cy - 3}};
      graphics.DrawPolygon(&pen, shirt, 11);
      break;
    }
    default: break;
  }
}

}  // namespace ql
