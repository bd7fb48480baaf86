// Drawing shared by the skinned form, its elements and the program's own
// skinned surfaces: the theme's colours, rounded rectangles, gradients and
// anti-aliased text in GDI+.
#pragma once
#include "ui/gdiplus_headers.h"

#include <cstdint>
#include <string>

namespace ql {

class SkinFont;

// The 青岚 theme, 0xAARRGGBB.
namespace theme {
constexpr uint32_t kAccent = 0xFF1B9AAA;
constexpr uint32_t kAccentHover = 0xFF23B0C0;
constexpr uint32_t kAccentPressed = 0xFF147A87;
constexpr uint32_t kText = 0xFF26343B;
constexpr uint32_t kTextSecondary = 0xFF6B7C85;
constexpr uint32_t kSurface = 0xFFF3F7F8;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kHairline = 0xFFD5E1E4;
constexpr uint32_t kDanger = 0xFFE5484D;
constexpr uint32_t kDangerPressed = 0xFFC7363B;
// Selection: the accent at about 18 % with a 1 px accent frame.
constexpr uint32_t kSelectionFill = 0x2E1B9AAA;
constexpr uint32_t kHoverFill = 0x141B9AAA;
}  // namespace theme

// Colour helpers on 0xAARRGGBB values.
inline Gdiplus::Color argbColor(uint32_t argb) { return Gdiplus::Color(Gdiplus::ARGB(argb)); }
inline uint32_t withAlpha(uint32_t argb, int alpha) {
  return (uint32_t(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha) << 24) | (argb & 0xFFFFFF);
}
// The colour `t` of the way from a to b (t from 0 to 1), channel by channel.
uint32_t mixColors(uint32_t a, uint32_t b, float t);
// A system colour (0x00BBGGRR) with an alpha byte.
inline uint32_t fromColorRef(unsigned long colorRef, int alpha = 255) {
  return withAlpha(((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF),
                   alpha);
}

// drawRoundRect modes.
constexpr int kRoundOutline = 0;
constexpr int kRoundFill = 1;
constexpr int kRoundFillAndOutline = 2;

// A rounded rectangle: four arcs of diameter `diameter` at the corners of the
// rectangle shrunk by one pixel in width and height, joined by straight edges.
// Mode 1 fills with `color`, 0 outlines with a pen of `color` and `penWidth`,
// 2 fills first and then outlines.
void drawRoundRect(Gdiplus::Graphics& graphics, const Gdiplus::RectF& rect, float diameter,
                   uint32_t color, float penWidth = 1.0f, int mode = kRoundOutline);
// The same outline as a path (for clipping or custom brushes).
void addRoundRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect, float diameter);

// Fills `rect` with a linear gradient from `from` to `to`, top to bottom when
// `vertical`, else left to right.
void fillGradient(Gdiplus::Graphics& graphics, const Gdiplus::RectF& rect, uint32_t from,
                  uint32_t to, bool vertical = true);

// Text alignment for drawSkinText.
enum TextAlign : int { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
constexpr int kTextSingleLine = 1;  // no wrapping; an ellipsis ends text that does not fit
constexpr int kTextTop = 2;         // from the top instead of centred vertically

// Anti-aliased text in `rect` (text in the system code page).
void drawSkinText(Gdiplus::Graphics& graphics, const std::string& text, const SkinFont& font,
                  const Gdiplus::RectF& rect, uint32_t color, int align = kAlignLeft,
                  int flags = 0);
// Width and height the text takes on one line.
Gdiplus::SizeF measureSkinText(const std::string& text, const SkinFont& font);

// Quality settings every skinned drawing uses: anti-aliased shapes (pixel
// centres stay on integer coordinates, so 1 px outlines drawn there are
// crisp), anti-aliased text (ClearType only where the target is opaque).
void setSkinQuality(Gdiplus::Graphics& graphics, bool opaqueTarget);

}  // namespace ql
