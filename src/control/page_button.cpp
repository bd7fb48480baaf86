#include "control/page_button.h"

#include <algorithm>

#include "ui/skin_draw.h"

namespace ql {

namespace {
// The face's caption band: below the tile's shadow.
constexpr float kCaptionTop = 50;
}  // namespace

bool PageButton::setFace(const Bytes& picture) {
  bool loaded = face_.loadMemory(picture);
  repaint();
  return loaded;
}

void PageButton::paint(Gdiplus::Graphics& graphics) {
  Gdiplus::RectF box = rect().toF();
  float h = hover_, p = press_;
  if (isSelected()) {
    drawRoundRect(graphics, box, 10, withAlpha(theme::kWhite, 200), 1, kRoundFill);
    drawRoundRect(graphics, box, 10, theme::kSelectionFill, 1, kRoundFill);
    drawRoundRect(graphics, box, 10, withAlpha(theme::kAccent, 200), 1, kRoundOutline);
  } else if (h > 0 || p > 0) {
    drawRoundRect(graphics, box, 10, withAlpha(theme::kWhite, int(140 * h + 60 * p)), 1,
                  kRoundFill);
    drawRoundRect(graphics, box, 10, withAlpha(theme::kAccent, int(110 * h)), 1, kRoundOutline);
  }
  // Pressing nudges the face down a pixel.
  float nudge = p > 0.5f ? 1.0f : 0.0f;
  float scale = std::min(box.Width, box.Height) / 72.0f;
  if (face_.valid())
    drawPicture(graphics, face_, Gdiplus::RectF(box.X, box.Y + nudge, 72 * scale, 72 * scale));
  uint32_t color = isSelected() ? theme::kAccentPressed
                                : mixColors(theme::kText, theme::kAccentPressed, std::max(h, p));
  Gdiplus::RectF caption(box.X + 1, box.Y + kCaptionTop * scale + nudge, box.Width - 2,
                         box.Height - kCaptionTop * scale - 2);
  drawSkinText(graphics, text(), font(), caption, color, kAlignCenter, kTextSingleLine);
}

}  // namespace ql
