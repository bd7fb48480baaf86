// Text drawn the way the task windows label themselves over a skin picture
// of any colour: glyph outlines with a soft light halo around them.
#pragma once
#include <cstdint>
#include <string>

#include "ui/gdiplus_headers.h"

namespace ql {

// `text` (system code page) in `family` at `points` points, laid out in
// `rect`: wrapping at its width, "\r\n" starting new lines, from the top
// (or centred vertically on one line with kTextSingleLine), aligned by
// `align` (TextAlign of skin_draw.h).
void drawHaloText(Gdiplus::Graphics& graphics, const std::string& text, const std::string& family,
                  float points, const Gdiplus::RectF& rect, uint32_t color, int align = 0,
                  int flags = 0);

}  // namespace ql
