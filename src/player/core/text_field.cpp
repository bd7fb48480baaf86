#include "player/core/text_field.h"

#include <algorithm>
#include <cmath>

#include "player/core/sprite.h"
#include "player/text/encoding.h"

namespace player {

namespace {

// Flash keeps text 2 pixels inside a field's bounds on every side.
constexpr double kGutter = 40;

std::vector<swf::Edge> rectangle(double x0, double y0, double x1, double y1) {
  return {swf::makeEdge(x0, y0, x1, y0), swf::makeEdge(x1, y0, x1, y1), swf::makeEdge(x1, y1, x0, y1),
          swf::makeEdge(x0, y1, x0, y0)};
}

// A field's frame: lines one `width` wide on the pixels where the bounds'
// edges fall, the right and bottom ones just past the bounds. As in Flash,
// the bottom right corner is left out.
std::vector<swf::Edge> frame(double x0, double y0, double x1, double y1, double width) {
  std::vector<swf::Edge> edges;
  for (const std::vector<swf::Edge>& line :
       {rectangle(x0, y0, x1 + width, y0 + width), rectangle(x0, y0, x0 + width, y1 + width),
        rectangle(x1, y0, x1 + width, y1), rectangle(x0, y1, x1, y1 + width)})
    edges.insert(edges.end(), line.begin(), line.end());
  return edges;
}

// A field's fonts: its own font where the text asks for that face in that
// style (movies often carry several fonts of one name, each with the
// glyphs of its own fields), others by name.
class FieldFonts : public text::FontResolver {
 public:
  FieldFonts(MovieFonts& fonts, bool outlines, text::EmbeddedFont* own)
      : fonts_(fonts), outlines_(outlines), own_(own) {}
  text::FontFace* face(const text::CharFormat& format) override {
    if (outlines_ && own_ && own_->def().bold == format.bold && own_->def().italic == format.italic &&
        text::sameNameNoCase(own_->nameUtf8(), format.font))
      return own_;
    return fonts_.face(format, outlines_);
  }

 private:
  MovieFonts& fonts_;
  bool outlines_;
  text::EmbeddedFont* own_;
};

swf::Matrix placed(const swf::Matrix& m, double x, double y, double scale) {
  swf::Matrix local;
  local.a = local.d = scale;
  local.tx = x;
  local.ty = y;
  return m * local;
}

}  // namespace

text::FontFace* MovieFonts::face(const text::CharFormat& format, bool outlines) {
  if (outlines) return movie_.fontNamed(format.font, format.bold, format.italic);
  if (!device_) return nullptr;
  auto key = std::make_tuple(format.font, format.bold, format.italic);
  auto it = deviceFaces_.find(key);
  if (it == deviceFaces_.end())
    it = deviceFaces_.emplace(key, std::make_unique<text::DeviceFontFace>(*device_, format.font, format.bold,
                                                                          format.italic)).first;
  return it->second.get();
}

TextField::TextField(const swf::EditTextDef& def, const Movie& movie)
    : def_(def), swfVersion_(movie.header.version), border_(def.border), background_(def.border),
      font_(def.fontId ? movie.font(def.fontId) : nullptr), box_(def.bounds) {
  const text::EmbeddedFont* font = font_;
  if (font) {
    format_.font = font->nameUtf8();
    // HTML text is bold or italic where its tags say so, whichever style
    // of the face the field names.
    format_.bold = !def.html && font->def().bold;
    format_.italic = !def.html && font->def().italic;
  } else if (!def.fontClass.empty()) {
    format_.font = text::encodeUtf8(text::decodeMovieText(def.fontClass, swfVersion_));
  }
  format_.size = def.fontHeight;
  if (def.hasColor) format_.color = def.color;
  paragraph_.align = def.align;
  paragraph_.leftMargin = def.leftMargin;
  paragraph_.rightMargin = def.rightMargin;
  paragraph_.indent = def.indent;
  paragraph_.leading = def.leading;
  if (def.hasText) text_ = def.initialText;
}

TextField::~TextField() = default;

void TextField::setBorder(bool on, uint32_t rgb) {
  border_ = on;
  borderColor_ = rgb & 0xFFFFFF;
}

void TextField::setBackground(bool on, uint32_t rgb) {
  background_ = on;
  backgroundColor_ = rgb & 0xFFFFFF;
}

uint32_t TextField::textColor() const {
  return (uint32_t(format_.color.r) << 16) | (uint32_t(format_.color.g) << 8) | format_.color.b;
}

void TextField::setTextColor(uint32_t rgb) {
  format_.color = swf::Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
  dirty_ = true;
}

TextField& textFieldOf(DisplayObject& o, const Movie& movie) {
  if (!o.textField) o.textField = std::make_shared<TextField>(*o.def->editText, movie);
  return *o.textField;
}

void TextField::setText(const std::string& movieText) {
  if (movieText == text_) return;
  text_ = movieText;
  dirty_ = true;
  setSelection(anchor_, caret_);
}

std::u16string TextField::units() const {
  return text::encodeUtf16(text::decodeMovieText(text_, swfVersion_));
}

void TextField::setUnits(const std::u16string& units) {
  setText(text::encodeMovieText(text::decodeUtf16(units), swfVersion_));
}

void TextField::setSelection(int anchor, int caret) {
  std::u16string u = units();
  auto clamp = [&u](int i) {
    i = std::max(0, std::min(i, static_cast<int>(u.size())));
    // Both halves of a pair go together: the caret stands before it.
    if (i > 0 && i < static_cast<int>(u.size()) && u[i] >= 0xDC00 && u[i] < 0xE000 && u[i - 1] >= 0xD800 &&
        u[i - 1] < 0xDC00)
      --i;
    return i;
  };
  anchor_ = clamp(anchor);
  caret_ = clamp(caret);
}

double TextField::maxHScroll() const {
  double width = box_.xMax - box_.xMin - 2 * kGutter;
  return def_.wordWrap ? 0 : std::max(0.0, std::round((layout_.width - width) / 20));
}

int TextField::scroll() const {
  int line = 0;
  while (line + 1 < static_cast<int>(layout_.lineBoxes.size()) && layout_.lineBoxes[line + 1].top <= scrollY_) ++line;
  return line + 1;
}

int TextField::maxScroll() const {
  // The first line from which the last one still shows whole.
  double height = box_.yMax - box_.yMin - 2 * kGutter;
  int lines = static_cast<int>(layout_.lineBoxes.size());
  if (lines == 0) return 1;
  double bottom = layout_.lineBoxes.back().top + layout_.lineBoxes.back().height;
  int first = 0;
  while (first + 1 < lines && bottom - layout_.lineBoxes[first].top > height) ++first;
  return first + 1;
}

bool TextField::contains(double x, double y) const {
  return x >= box_.xMin && x <= box_.xMax && y >= box_.yMin && y <= box_.yMax;
}

// Which unit each caret stop stands before: a CR LF pair ends one
// paragraph, and a character past U+FFFF takes two units.
void TextField::mapStops() {
  stopUnits_.clear();
  if (def_.html) return;
  std::u32string chars = text::decodeMovieText(text_, swfVersion_);
  int unit = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    stopUnits_.push_back(unit);
    if (chars[i] == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') {
      ++i;
      unit += 2;
    } else {
      unit += chars[i] > 0xFFFF ? 2 : 1;
    }
  }
  stopUnits_.push_back(unit);
  if (stopUnits_.size() != layout_.stops.size()) stopUnits_.clear();
}

size_t TextField::stopOf(int unit) const {
  auto it = std::upper_bound(stopUnits_.begin(), stopUnits_.end(), unit);
  return it == stopUnits_.begin() ? 0 : static_cast<size_t>(it - stopUnits_.begin() - 1);
}

int TextField::indexAt(double x, double y) const {
  if (stopUnits_.empty() || layout_.lineBoxes.empty()) return static_cast<int>(units().size());
  double tx = x - box_.xMin - kGutter + scrollX_, ty = y - box_.yMin - kGutter + scrollY_;
  int line = 0;
  while (line + 1 < static_cast<int>(layout_.lineBoxes.size()) && ty >= layout_.lineBoxes[line + 1].top) ++line;
  // The nearest stop of that line: before a character's middle, the caret
  // goes before it.
  size_t best = stopUnits_.size() - 1;
  double bestDistance = 1e300;
  for (size_t i = 0; i < layout_.stops.size(); ++i) {
    if (layout_.stops[i].line != line) continue;
    double d = std::fabs(layout_.stops[i].x - tx);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return stopUnits_[best];
}

// The caret stays inside the field: single lines scroll across, several
// lines up and down.
void TextField::keepCaretInView() {
  if (stopUnits_.empty()) return;
  const text::CaretStop& stop = layout_.stops[stopOf(caret_)];
  double width = box_.xMax - box_.xMin - 2 * kGutter, height = box_.yMax - box_.yMin - 2 * kGutter;
  if (!def_.wordWrap) {
    if (stop.x - scrollX_ > width) scrollX_ = stop.x - width;
    if (stop.x < scrollX_) scrollX_ = stop.x;
    scrollX_ = std::max(0.0, std::min(scrollX_, layout_.width - width));
    if (stop.x - scrollX_ > width) scrollX_ = stop.x - width;
  }
  if (stop.line < static_cast<int>(layout_.lineBoxes.size())) {
    const text::LineBox& line = layout_.lineBoxes[stop.line];
    // By whole lines, as scroll counts them.
    if (line.top + line.height - scrollY_ > height) {
      int first = stop.line;
      while (first > 0 && line.top + line.height - layout_.lineBoxes[first - 1].top <= height) --first;
      scrollY_ = layout_.lineBoxes[first].top;
    }
    if (line.top < scrollY_) scrollY_ = line.top;
  }
}

bool TextField::selectedStops(size_t* first, size_t* last) const {
  if (!focused_ || stopUnits_.empty() || selectionBegin() == selectionEnd()) return false;
  *first = stopOf(selectionBegin());
  *last = stopOf(selectionEnd());
  return *first < *last;
}

// A block of the text's colour behind each line's selected characters.
void TextField::drawSelection(render::Renderer& renderer, const swf::Matrix& toPixels, const swf::ColorTransform& cx,
                              double textX, double textY, size_t first, size_t last) {
  for (size_t i = first; i < last;) {
    const text::CaretStop& from = layout_.stops[i];
    size_t j = i + 1;
    while (j < last && layout_.stops[j].line == from.line) ++j;
    if (from.line >= static_cast<int>(layout_.lineBoxes.size())) break;
    const text::LineBox& line = layout_.lineBoxes[from.line];
    // The block ends where the next stop on its line stands, or the line.
    double x1 = j < layout_.stops.size() && layout_.stops[j].line == from.line ? layout_.stops[j].x : line.right;
    if (x1 > from.x) {
      renderer.addOutline(rectangle(textX + from.x, textY + line.top, textX + x1, textY + line.top + line.height),
                          toPixels);
      renderer.fillOutlines(format_.color, cx);
    }
    i = j;
  }
}

// A line one pixel wide, in the text's colour, down the caret's line.
void TextField::drawCaret(render::Renderer& renderer, const swf::Matrix& toPixels, const swf::ColorTransform& cx,
                          double textX, double textY) {
  double top = 0, height = format_.size;
  double x = 0;
  if (!stopUnits_.empty()) {
    const text::CaretStop& stop = layout_.stops[stopOf(caret_)];
    x = stop.x;
    if (stop.line < static_cast<int>(layout_.lineBoxes.size())) {
      top = layout_.lineBoxes[stop.line].top;
      if (layout_.lineBoxes[stop.line].height > 0) height = layout_.lineBoxes[stop.line].height;
    }
  }
  double pixel = 1 / std::max(1e-9, std::sqrt(std::fabs(toPixels.a * toPixels.d - toPixels.b * toPixels.c)));
  double x0 = std::min(textX + x, box_.xMax - pixel), y0 = textY + top;
  renderer.addOutline(rectangle(x0, y0, x0 + pixel, y0 + height), toPixels);
  renderer.fillOutlines(format_.color, cx);
}

void TextField::setFormat(const text::CharFormat& chars, const text::ParagraphFormat& paragraph) {
  format_ = chars;
  paragraph_ = paragraph;
  def_.align = paragraph.align;  // auto-sizing keeps the aligned side still
  dirty_ = true;
}

void TextField::layOut(MovieFonts& fonts) {
  std::u32string chars = text::decodeMovieText(text_, swfVersion_);
  if (def_.password && !def_.html) chars.assign(chars.size(), U'*');
  std::vector<text::Paragraph> paragraphs = def_.html ? text::htmlParagraphs(chars, format_, paragraph_)
                                                      : text::plainParagraphs(chars, format_, paragraph_);
  FieldFonts resolver(fonts, def_.useOutlines, font_);
  double width = def_.bounds.xMax - def_.bounds.xMin - 2 * kGutter;
  text::layoutText(paragraphs, resolver, width, def_.wordWrap, &layout_);
  mapStops();
  box_ = def_.bounds;
  if (def_.autoSize) {
    // The field grows or shrinks to its text, from the side its alignment
    // keeps still.
    double w = std::ceil(layout_.width + 2 * kGutter), h = std::ceil(layout_.height + 2 * kGutter);
    if (!def_.wordWrap) {
      double grow = w - (box_.xMax - box_.xMin);
      if (def_.align == swf::TextAlign::Center) {
        box_.xMin -= static_cast<int32_t>(grow / 2);
        box_.xMax = box_.xMin + static_cast<int32_t>(w);
      } else if (def_.align == swf::TextAlign::Right) {
        box_.xMin = box_.xMax - static_cast<int32_t>(w);
      } else {
        box_.xMax = box_.xMin + static_cast<int32_t>(w);
      }
    }
    box_.yMax = box_.yMin + static_cast<int32_t>(h);
  }
  // Text that got shorter takes back the scrolling it no longer needs.
  scrollX_ = std::min(scrollX_, maxHScroll() * 20);
  scrollY_ = layout_.lineBoxes.empty() ? 0 : std::min(scrollY_, layout_.lineBoxes[maxScroll() - 1].top);
  dirty_ = false;
}

// The ground (white unless a script says otherwise) in a frame one pixel
// wide (black unless ...), each where shown.
void TextField::drawBorder(render::Renderer& renderer, const swf::Matrix& toPixels, const swf::ColorTransform& cx) {
  auto rgba = [](uint32_t rgb) { return swf::Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255}; };
  const swf::Rgba white = rgba(backgroundColor_), black = rgba(borderColor_);
  double x0 = box_.xMin, y0 = box_.yMin, x1 = box_.xMax, y1 = box_.yMax;
  // Upright, or turned so little that no side strays half a pixel from
  // upright: on whole pixels, the pixel each corner falls in.
  bool upright = toPixels.a > 0 && toPixels.d > 0 && std::fabs(toPixels.c * (y1 - y0)) < 0.5 &&
                 std::fabs(toPixels.b * (x1 - x0)) < 0.5;
  if ((toPixels.b == 0 && toPixels.c == 0) || upright) {
    // The top left corner and the sides' lengths are each rounded to whole
    // pixels, halves down, so the frame keeps its size wherever it lies.
    auto whole = [](double v) { return std::ceil(v - 0.5); };
    double cornerX = toPixels.mapX(x0, y0), cornerY = toPixels.mapY(x0, y0);
    double px0 = whole(cornerX), px1 = px0 + whole(toPixels.mapX(x1, y0) - cornerX);
    double py0 = whole(cornerY), py1 = py0 + whole(toPixels.mapY(x0, y1) - cornerY);
    if (px0 > px1) std::swap(px0, px1);
    if (py0 > py1) std::swap(py0, py1);
    const swf::Matrix pixels;
    if (background_) {
      renderer.addOutline(rectangle(px0, py0, px1, py1), pixels);
      renderer.fillOutlines(white, cx);
    }
    if (border_) {
      renderer.addOutline(frame(px0, py0, px1, py1, 1), pixels);
      renderer.fillOutlines(black, cx);
    }
    return;
  }
  double pixel = 1 / std::max(1e-9, std::sqrt(std::fabs(toPixels.a * toPixels.d - toPixels.b * toPixels.c)));
  if (background_) {
    renderer.addOutline(rectangle(x0, y0, x1, y1), toPixels);
    renderer.fillOutlines(white, cx);
  }
  if (border_) {
    renderer.addOutline(frame(x0, y0, x1, y1, pixel), toPixels);
    renderer.fillOutlines(black, cx);
  }
}

void TextField::draw(render::Renderer& renderer, MovieFonts& fonts, const swf::Matrix& toPixels,
                     const swf::ColorTransform& cx) {
  if (dirty_) layOut(fonts);
  double x0 = box_.xMin, y0 = box_.yMin, x1 = box_.xMax, y1 = box_.yMax;
  if (border_ || background_) drawBorder(renderer, toPixels, cx);
  if (focused_) keepCaretInView();
  bool caret = focused_ && blinkOn_ && selectionBegin() == selectionEnd();
  if (layout_.glyphs.empty() && layout_.underlines.empty() && !caret) return;
  // Text beyond the field is cut off at its bounds.
  double textX = box_.xMin + kGutter - scrollX_, textY = box_.yMin + kGutter - scrollY_;
  bool clip = layout_.width + 2 * kGutter > x1 - x0 + 0.5 || layout_.height + 2 * kGutter > y1 - y0 + 0.5 ||
              scrollX_ > 0 || scrollY_ > 0;
  bool masking = renderer.drawingMask();
  if (clip && !masking) {
    renderer.beginMask();
    renderer.addOutline(rectangle(x0, y0, x1, y1), toPixels);
    renderer.fillOutlines(swf::Rgba(), cx);
    renderer.applyMask();
  }
  // Selected text shows in the ground's colour on the text's.
  size_t selectedFirst = 0, selectedLast = 0;
  if (selectedStops(&selectedFirst, &selectedLast))
    drawSelection(renderer, toPixels, cx, textX, textY, selectedFirst, selectedLast);
  const swf::Rgba ground{uint8_t(backgroundColor_ >> 16), uint8_t(backgroundColor_ >> 8), uint8_t(backgroundColor_),
                         255};
  auto colorOf = [&](const text::LaidGlyph& g) {
    return g.stop >= selectedFirst && g.stop < selectedLast ? ground : g.color;
  };
  for (size_t i = 0; i < layout_.glyphs.size();) {
    // Glyphs of one colour are filled together.
    size_t j = i;
    const swf::Rgba c = colorOf(layout_.glyphs[i]);
    for (; j < layout_.glyphs.size(); ++j) {
      const text::LaidGlyph& g = layout_.glyphs[j];
      const swf::Rgba gc = colorOf(g);
      if (gc.r != c.r || gc.g != c.g || gc.b != c.b || gc.a != c.a) break;
      renderer.addOutline(*g.outline, placed(toPixels, textX + g.x, textY + g.y, g.scale));
    }
    renderer.fillOutlines(c, cx);
    i = j;
  }
  for (const text::Underline& u : layout_.underlines) {
    renderer.addOutline(rectangle(textX + u.x0, textY + u.y, textX + u.x1, textY + u.y + u.thickness), toPixels);
    renderer.fillOutlines(u.color, cx);
  }
  if (caret) drawCaret(renderer, toPixels, cx, textX, textY);
  if (clip && !masking) renderer.popMask();
}

void drawStaticText(render::Renderer& renderer, const swf::StaticTextDef& def, const Movie& movie,
                    const swf::Matrix& toPixels, const swf::ColorTransform& cx) {
  swf::Matrix m = toPixels * def.matrix;
  for (const swf::TextRun& run : def.runs) {
    const text::EmbeddedFont* font = movie.font(run.fontId);
    if (!font || run.glyphs.empty()) continue;
    double scale = run.height / font->def().emUnits;
    double x = run.x;
    for (const swf::GlyphEntry& g : run.glyphs) {
      if (g.index < font->def().glyphs.size())
        renderer.addOutline(font->def().glyphs[g.index], placed(m, x, run.y, scale));
      x += g.advance;
    }
    renderer.fillOutlines(run.color, cx);
  }
}

}  // namespace player
