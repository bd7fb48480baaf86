#include "ui/skin_draw.h"

#include "ui/round_rect_path.h"
#include "ui/text_resources.h"
#include "ui/wide_text.h"

namespace ql {

uint32_t mixColors(uint32_t a, uint32_t b, float t) {
  if (t <= 0) return a;
  if (t >= 1) return b;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    float ca = float((a >> shift) & 0xFF), cb = float((b >> shift) & 0xFF);
    out |= uint32_t(ca + (cb - ca) * t + 0.5f) << shift;
  }
  return out;
}

void addRoundRect(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect, float diameter) {
  RoundRectPath outline = roundRectPath(rect.X, rect.Y, rect.Width, rect.Height, diameter);
  if (!outline.rounded) {
    path.AddRectangle(Gdiplus::RectF(outline.x, outline.y, outline.width, outline.height));
    return;
  }
  path.StartFigure();
  for (const PathArc& arc : outline.arcs)
    path.AddArc(arc.x, arc.y, arc.width, arc.height, arc.startAngle, arc.sweepAngle);
  path.CloseFigure();
}

void drawRoundRect(Gdiplus::Graphics& graphics, const Gdiplus::RectF& rect, float diameter,
                   uint32_t color, float penWidth, int mode) {
  Gdiplus::GraphicsPath path;
  addRoundRect(path, rect, diameter);
  if (mode == kRoundFill || mode == kRoundFillAndOutline) {
    Gdiplus::SolidBrush brush(argbColor(color));
    graphics.FillPath(&brush, &path);
  }
  if (mode == kRoundOutline || mode == kRoundFillAndOutline) {
    Gdiplus::Pen pen(argbColor(color), penWidth);
    graphics.DrawPath(&pen, &path);
  }
}

void fillGradient(Gdiplus::Graphics& graphics, const Gdiplus::RectF& rect, uint32_t from,
                  uint32_t to, bool vertical) {
  if (rect.Width <= 0 || rect.Height <= 0) return;
  // The brush is stretched a pixel beyond the rectangle so its wrapped edge
  // colour never shows on the last row.
  Gdiplus::RectF span(rect.X - 1, rect.Y - 1, rect.Width + 2, rect.Height + 2);
  Gdiplus::LinearGradientBrush brush(
      span, argbColor(from), argbColor(to),
      vertical ? Gdiplus::LinearGradientModeVertical : Gdiplus::LinearGradientModeHorizontal);
  graphics.FillRectangle(&brush, rect);
}

namespace {

// Made per call: cheap, and no GDI+ object outlives GDI+ itself.
void setUpFormat(Gdiplus::StringFormat& format, int align, int flags) {
  format.SetAlignment(align == kAlignCenter  ? Gdiplus::StringAlignmentCenter
                      : align == kAlignRight ? Gdiplus::StringAlignmentFar
                                             : Gdiplus::StringAlignmentNear);
  format.SetLineAlignment((flags & kTextTop) ? Gdiplus::StringAlignmentNear
                                             : Gdiplus::StringAlignmentCenter);
  format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  format.SetHotkeyPrefix(Gdiplus::HotkeyPrefixNone);
  int formatFlags = Gdiplus::StringFormatFlagsLineLimit;
  if (flags & kTextSingleLine) formatFlags |= Gdiplus::StringFormatFlagsNoWrap;
  format.SetFormatFlags(formatFlags);
}

}  // namespace

void drawSkinText(Gdiplus::Graphics& graphics, const std::string& text, const SkinFont& font,
                  const Gdiplus::RectF& rect, uint32_t color, int align, int flags) {
  if (text.empty() || !font.valid() || (color >> 24) == 0) return;
  std::wstring wide = toWide(text);
  Gdiplus::SolidBrush brush(argbColor(color));
  Gdiplus::StringFormat format;
  setUpFormat(format, align, flags);
  graphics.DrawString(wide.c_str(), INT(wide.size()), font.get(), rect, &format, &brush);
}

Gdiplus::SizeF measureSkinText(const std::string& text, const SkinFont& font) {
  if (text.empty() || !font.valid()) return Gdiplus::SizeF(0, 0);
  Gdiplus::Bitmap scratch(1, 1, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&scratch);
  setSkinQuality(graphics, false);
  std::wstring wide = toWide(text);
  Gdiplus::RectF bounds;
  Gdiplus::StringFormat format;
  setUpFormat(format, kAlignLeft, kTextSingleLine | kTextTop);
  graphics.MeasureString(wide.c_str(), INT(wide.size()), font.get(), Gdiplus::PointF(0, 0), &format,
                         &bounds);
  return Gdiplus::SizeF(bounds.Width, bounds.Height);
}

void setSkinQuality(Gdiplus::Graphics& graphics, bool opaqueTarget) {
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetTextRenderingHint(opaqueTarget ? Gdiplus::TextRenderingHintClearTypeGridFit
                                             : Gdiplus::TextRenderingHintAntiAliasGridFit);
}

}  // namespace ql
