#include "ui/skin_button.h"

#include "ui/skin_draw.h"
#include "ui/skin_form.h"

#include <algorithm>

namespace ql {

void drawPicture(Gdiplus::Graphics& graphics, const SkinImage& picture, const Gdiplus::RectF& box,
                 float opacity) {
  if (!picture.valid() || opacity <= 0) return;
  if (opacity >= 1) {
    graphics.DrawImage(picture.get(), box);
    return;
  }
  Gdiplus::ColorMatrix matrix = {
      {{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, opacity, 0}, {0, 0, 0, 0, 1}}};
  Gdiplus::ImageAttributes attributes;
  attributes.SetColorMatrix(&matrix);
  graphics.DrawImage(picture.get(), box, 0, 0, float(picture.width()), float(picture.height()),
                     Gdiplus::UnitPixel, &attributes);
}

bool SkinButton::setStatePictures(const Bytes& normal, const Bytes& hover, const Bytes& pressed) {
  bool ok = normalPicture_.loadMemory(normal);
  if (hover.empty())
    hoverPicture_.clear();
  else
    hoverPicture_.loadMemory(hover);
  if (pressed.empty())
    pressedPicture_.clear();
  else
    pressedPicture_.loadMemory(pressed);
  repaint();
  return ok;
}

void SkinButton::setStatePictures(const SkinImage& normal, const SkinImage& hover,
                                  const SkinImage& pressed) {
  normalPicture_ = normal;
  hoverPicture_ = hover;
  pressedPicture_ = pressed;
  repaint();
}

bool SkinButton::setIcon(const Bytes& picture) {
  bool ok = picture.empty() ? (icon_.clear(), true) : icon_.loadMemory(picture);
  repaint();
  return ok;
}

void SkinButton::setIcon(const SkinImage& picture) {
  icon_ = picture;
  repaint();
}

void SkinButton::setAccent(bool accent) {
  accent_ = accent;
  repaint();
}

void SkinButton::setSelected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  repaint();
}

bool SkinButton::keyDown(int key, int) {
  if (key != VK_RETURN && key != VK_SPACE) return false;
  if (form()) form()->clickElement(this);
  return true;
}

void SkinButton::paint(Gdiplus::Graphics& graphics) {
  Gdiplus::RectF box = rect().toF();
  if (backColor() >> 24) {
    Gdiplus::SolidBrush brush(argbColor(backColor()));
    graphics.FillRectangle(&brush, box);
  }
  if (normalPicture_.valid())
    paintPictures(graphics, box);
  else if (icon_.valid())
    paintIconAndText(graphics, box);
  else
    paintPlain(graphics, box);
}

void SkinButton::paintPlain(Gdiplus::Graphics& graphics, const Gdiplus::RectF& box) {
  float h = hover_, p = press_;
  uint32_t fill, border, text;
  if (!isEnabled()) {
    fill = withAlpha(theme::kSurface, 230);
    border = theme::kHairline;
    text = withAlpha(theme::kTextSecondary, 160);
  } else if (accent_) {
    fill = mixColors(mixColors(theme::kAccent, theme::kAccentHover, h), theme::kAccentPressed, p);
    border = fill;
    text = theme::kWhite;
  } else {
    fill = mixColors(mixColors(withAlpha(theme::kWhite, 235), 0xFFE8F5F7, h), 0xFFD3ECEF, p);
    border = mixColors(theme::kHairline, theme::kAccent, std::max(h, p));
    text = mixColors(theme::kText, theme::kAccentPressed, std::max(h, p));
  }
  if (selected_ && !accent_) {
    fill = mixColors(fill, 0xFFD3ECEF, 0.8f);
    border = theme::kAccent;
  }
  drawRoundRect(graphics, box, 6, fill, 1, kRoundFill);
  drawRoundRect(graphics, box, 6, border, 1, kRoundOutline);
  Gdiplus::RectF label(box.X, box.Y + (p > 0.5f ? 1.0f : 0.0f), box.Width, box.Height);
  drawSkinText(graphics, this->text(), font(), label, text, kAlignCenter, kTextSingleLine);
}

void SkinButton::paintPictures(Gdiplus::Graphics& graphics, const Gdiplus::RectF& box) {
  const SkinImage& hover = hoverPicture_.valid() ? hoverPicture_ : normalPicture_;
  const SkinImage& pressed = pressedPicture_.valid() ? pressedPicture_ : hover;
  if (selected_ || (press_ >= 1 && pressed_)) {
    drawPicture(graphics, pressed, box);
  } else {
    drawPicture(graphics, normalPicture_, box);
    if (&hover != &normalPicture_) drawPicture(graphics, hover, box, hover_);
    if (&pressed != &hover) drawPicture(graphics, pressed, box, press_);
  }
  if (!isEnabled()) {
    Gdiplus::SolidBrush veil(argbColor(withAlpha(theme::kWhite, 120)));
    graphics.FillRectangle(&veil, box);
  }
  if (!this->text().empty() && !icon_.valid())
    drawSkinText(graphics, this->text(), font(), box, textColor(), kAlignCenter, kTextSingleLine);
}

void SkinButton::paintIconAndText(Gdiplus::Graphics& graphics, const Gdiplus::RectF& box) {
  float h = hover_, p = press_;
  // The tile behind the icon: selected, or lit while hovered.
  if (selected_) {
    drawRoundRect(graphics, box, 8, theme::kSelectionFill, 1, kRoundFill);
    drawRoundRect(graphics, box, 8, theme::kAccent, 1, kRoundOutline);
  } else if (h > 0 || p > 0) {
    drawRoundRect(graphics, box, 8, withAlpha(theme::kWhite, int(150 * h + 60 * p)), 1, kRoundFill);
    drawRoundRect(graphics, box, 8, withAlpha(theme::kAccent, int(120 * h)), 1, kRoundOutline);
  }
  bool hasText = !this->text().empty();
  float lineHeight = hasText ? font().height() + 6 : 0;
  float room = std::max(0.0f, std::min(box.Width - 16, box.Height - lineHeight - 12));
  float side = std::min(room, float(std::max(icon_.width(), icon_.height())));
  float scale = side / float(std::max(icon_.width(), icon_.height()));
  float iw = icon_.width() * scale, ih = icon_.height() * scale;
  float top = box.Y + (box.Height - lineHeight - ih) / 2 + (p > 0.5f ? 1 : 0);
  Gdiplus::RectF iconBox(box.X + (box.Width - iw) / 2, top, iw, ih);
  drawPicture(graphics, icon_, iconBox, isEnabled() ? 1.0f : 0.5f);
  if (hasText) {
    uint32_t color =
        selected_ ? theme::kAccentPressed : mixColors(textColor(), theme::kAccentPressed, h);
    drawSkinText(
        graphics, this->text(), font(),
        Gdiplus::RectF(box.X + 2, box.Y + box.Height - lineHeight - 4, box.Width - 4, lineHeight),
        color, kAlignCenter, kTextSingleLine);
  }
}

}  // namespace ql
