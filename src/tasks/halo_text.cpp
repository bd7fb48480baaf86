#include "tasks/halo_text.h"

#include "runtime/text.h"
#include "ui/skin_draw.h"
#include "ui/text_resources.h"

namespace ql {

void drawHaloText(Gdiplus::Graphics& graphics, const std::string& text, const std::string& family,
                  float points, const Gdiplus::RectF& rect, uint32_t color, int align, int flags) {
  SkinFont font(family, points, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
  if (!font.valid()) return;
  // Line breaks as "\n" alone: some GDI+ versions draw a lone "\r" as a box.
  const std::string lines = replaceAll(text, "\r\n", "\n");
  const int layout = flags & kTextSingleLine ? kTextSingleLine : kTextTop;
  // The halo: the text in translucent white one pixel off in each of eight
  // directions, then the text itself on top.
  const uint32_t halo = withAlpha(theme::kWhite, 150);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      if (dx == 0 && dy == 0) continue;
      Gdiplus::RectF shifted(rect.X + float(dx), rect.Y + float(dy), rect.Width, rect.Height);
      drawSkinText(graphics, lines, font, shifted, halo, align, layout);
    }
  drawSkinText(graphics, lines, font, rect, color, align, layout);
}

}  // namespace ql
