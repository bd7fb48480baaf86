#include "ui/skin_check_box.h"

#include "ui/skin_button.h"
#include "ui/skin_draw.h"
#include "ui/skin_form.h"

#include <algorithm>
#include <cmath>

namespace ql {

namespace {
constexpr int kBoxSize = 14;
constexpr int kCaptionGap = 3;
}  // namespace

void SkinCheckBox::setChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  startAnimation();
  repaint();
}

bool SkinCheckBox::setPictures(const Bytes& unchecked, const Bytes& checked) {
  bool ok = uncheckedPicture_.loadMemory(unchecked);
  if (!checkedPicture_.loadMemory(checked)) ok = false;
  repaint();
  return ok;
}

void SkinCheckBox::setPictures(const SkinImage& unchecked, const SkinImage& checked) {
  uncheckedPicture_ = unchecked;
  checkedPicture_ = checked;
  repaint();
}

bool SkinCheckBox::keyDown(int key, int) {
  if (key != VK_SPACE) return false;
  if (form()) form()->clickElement(this);
  return true;
}

void SkinCheckBox::clicked() {
  checked_ = !checked_;
  startAnimation();
  repaint();
  if (onCheckChanged) onCheckChanged(*this, checked_);
  report(kEventCheckChanged);
}

bool SkinCheckBox::animate(int elapsedMs) {
  float before = check_;
  bool checking = fade(check_, checked_ ? 1.0f : 0.0f, elapsedMs, 120);
  if (check_ != before) repaint();
  return SkinElement::animate(elapsedMs) || checking;
}

void SkinCheckBox::paint(Gdiplus::Graphics& graphics) {
  Gdiplus::RectF box = rect().toF();
  if (backColor() >> 24) {
    Gdiplus::SolidBrush brush(argbColor(backColor()));
    graphics.FillRectangle(&brush, box);
  }
  if (uncheckedPicture_.valid() || checkedPicture_.valid()) {
    drawPicture(graphics, uncheckedPicture_, box, 1.0f - check_);
    drawPicture(graphics, checkedPicture_, box, check_);
    if (hover_ > 0)
      drawRoundRect(graphics, box, 4, withAlpha(theme::kAccent, int(90 * hover_)), 1,
                    kRoundOutline);
    return;
  }
  float h = hover_, c = check_;
  float side = float(std::min(kBoxSize, std::max(8, height() - 2)));
  Gdiplus::RectF mark(box.X + 1, box.Y + std::floor((box.Height - side) / 2), side, side);
  bool enabled = isEnabled();
  uint32_t empty = mixColors(withAlpha(theme::kWhite, 240), 0xFFF0F8F9, h);
  uint32_t fill = mixColors(
      empty, enabled ? mixColors(theme::kAccent, theme::kAccentHover, h) : theme::kHairline, c);
  uint32_t border = enabled ? mixColors(mixColors(0xFF8FA7AE, theme::kAccent, h), theme::kAccent, c)
                            : theme::kHairline;
  drawRoundRect(graphics, mark, 4, fill, 1, kRoundFill);
  drawRoundRect(graphics, mark, 4, border, 1, kRoundOutline);
  if (c > 0) {
    Gdiplus::Pen pen(argbColor(withAlpha(theme::kWhite, int(255 * c))), 1.6f);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    float s = side - 1;
    Gdiplus::PointF tick[] = {{mark.X + s * 0.24f, mark.Y + s * 0.52f},
                              {mark.X + s * 0.43f, mark.Y + s * 0.70f},
                              {mark.X + s * 0.77f, mark.Y + s * 0.31f}};
    graphics.DrawLines(&pen, tick, 3);
  }
  float textLeft = mark.X + side + kCaptionGap;
  uint32_t color = enabled ? textColor() : withAlpha(theme::kTextSecondary, 160);
  drawSkinText(
      graphics, text(), font(),
      Gdiplus::RectF(textLeft, box.Y, std::max(0.0f, box.X + box.Width - textLeft), box.Height),
      color, kAlignLeft, kTextSingleLine);
}

}  // namespace ql
