#include "ui/skin_label.h"

namespace ql {

void SkinLabel::setAlignment(int align) {
  align_ = align;
  repaint();
}

void SkinLabel::setTextFlags(int flags) {
  flags_ = flags;
  repaint();
}

// Clicks pass through a label, unless it has a tip to show.
bool SkinLabel::takesMouseAt(int x, int y) const {
  return !tooltip().empty() && SkinElement::takesMouseAt(x, y);
}

void SkinLabel::paint(Gdiplus::Graphics& graphics) {
  Gdiplus::RectF box = rect().toF();
  if (backColor() >> 24) {
    Gdiplus::SolidBrush brush(argbColor(backColor()));
    graphics.FillRectangle(&brush, box);
  }
  uint32_t color = isEnabled() ? textColor() : withAlpha(textColor(), int((textColor() >> 24) / 2));
  drawSkinText(graphics, text(), font(), box, color, align_, flags_);
}

}  // namespace ql
