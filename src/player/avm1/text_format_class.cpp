// TextFormat: a text format as scripts hold it, each property null until
// set; getTextExtent measures text in it with the system's fonts. And the
// TextField methods that read and set a field's format (one format for the
// whole field, as the text engine keeps it).
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "player/avm1/builtins.h"
#include "player/avm1/text_format.h"
#include "player/text/encoding.h"
#include "player/text/font_face.h"
#include "player/text/layout.h"

namespace avm1 {

namespace {

// The properties as the constructor takes its arguments, then the rest.
enum class Kind { Text, Number, Boolean };
struct FormatProperty {
  const char* name;
  Kind kind;
};
const FormatProperty kProperties[] = {
    {"font", Kind::Text},         {"size", Kind::Number},        {"color", Kind::Number},
    {"bold", Kind::Boolean},      {"italic", Kind::Boolean},     {"underline", Kind::Boolean},
    {"url", Kind::Text},          {"target", Kind::Text},        {"align", Kind::Text},
    {"leftMargin", Kind::Number}, {"rightMargin", Kind::Number}, {"indent", Kind::Number},
    {"leading", Kind::Number},    {"blockIndent", Kind::Number}, {"bullet", Kind::Boolean},
    {"kerning", Kind::Boolean},   {"letterSpacing", Kind::Number}, {"tabStops", Kind::Text},
    {"display", Kind::Text}};
constexpr size_t kConstructorArguments = 13;

Value convert(Machine& m, Kind kind, const Value& v) {
  if (v.isUndefined() || v.isNull()) return Value::null();
  switch (kind) {
    case Kind::Text: return Value(m.toString(v));
    case Kind::Number: return Value(m.toNumber(v));
    case Kind::Boolean: return Value(m.toBoolean(v));
  }
  return Value::null();
}

Value textFormatConstructor(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || !c.constructing) return Value();
  for (size_t i = 0; i < sizeof kProperties / sizeof kProperties[0]; ++i) {
    Value v = i < kConstructorArguments ? convert(m, kProperties[i].kind, c.arg(i)) : Value::null();
    if (v.isNull() && std::string(kProperties[i].name) == "display") v = Value(String("block"));
    m.set(self, kProperties[i].name, v);
  }
  return Value();
}

// A property of a format object; false when it is null or undefined.
bool formatValue(Machine& m, Object* format, const char* name, Value* out) {
  *out = m.get(format, name);
  return !out->isUndefined() && !out->isNull();
}

// Pixels, as the reference rounds its text metrics.
double pixels(double twips) { return std::round(twips / 20); }

class DeviceFaces final : public text::FontResolver {
 public:
  explicit DeviceFaces(text::DeviceFonts& fonts) : fonts_(fonts) {}
  text::FontFace* face(const text::CharFormat& format) override {
    face_ = std::make_unique<text::DeviceFontFace>(fonts_, format.font, format.bold, format.italic);
    return face_.get();
  }

 private:
  text::DeviceFonts& fonts_;
  std::unique_ptr<text::DeviceFontFace> face_;
};

// getTextExtent(text [, width]): the text's size in this format, set in one
// line or, given a width, wrapped within a field that wide.
Value getTextExtent(Machine& m, Call& c) {
  Object* self = c.thisValue.object();
  if (!self || c.count == 0) return Value();
  text::CharFormat chars;
  chars.font = "Times New Roman";
  chars.size = 12 * 20;
  Value v;
  if (formatValue(m, self, "font", &v))
    chars.font = text::encodeUtf8(text::decodeMovieText(m.toString(v).str(), m.swfVersion()));
  if (formatValue(m, self, "size", &v) && m.toNumber(v) > 0) chars.size = m.toNumber(v) * 20;
  if (formatValue(m, self, "bold", &v)) chars.bold = m.toBoolean(v);
  if (formatValue(m, self, "italic", &v)) chars.italic = m.toBoolean(v);
  std::u32string content = text::decodeMovieText(m.toString(c.arg(0)).str(), m.swfVersion());
  double fieldWidth = c.count > 1 ? m.toNumber(c.arg(1)) : NAN;
  bool wrap = std::isfinite(fieldWidth) && fieldWidth > 0;

  TextExtent extent = measureText(m.deviceFonts(), content, chars, wrap ? fieldWidth * 20 : 0);
  // No prototype: the reference gives a bare object.
  Object* out = m.heap().make<Object>(nullptr);
  m.set(out, "ascent", Value(pixels(extent.ascent)));
  m.set(out, "descent", Value(pixels(extent.descent)));
  m.set(out, "width", Value(pixels(extent.width)));
  m.set(out, "height", Value(pixels(extent.height)));
  m.set(out, "textFieldHeight", Value(pixels(extent.height) + 4));
  m.set(out, "textFieldWidth", Value(wrap ? std::trunc(fieldWidth) : pixels(extent.width) + 4));
  return Value(out);
}

}  // namespace

TextExtent measureText(text::DeviceFonts* fonts, const std::u32string& content, const text::CharFormat& chars,
                       double fieldWidth) {
  TextExtent extent;
  text::DeviceFace metrics;
  if (fonts) metrics = fonts->metrics(chars.font, chars.bold, chars.italic);
  extent.ascent = metrics.ascent * chars.size;
  extent.descent = metrics.descent * chars.size;
  double lineHeight = extent.ascent + extent.descent;
  if (!fonts) {
    extent.height = lineHeight;
    return extent;
  }
  DeviceFaces faces(*fonts);
  text::TextLayout layout;
  // The field's 2-pixel gutters on either side are not the text's to fill.
  bool wrap = fieldWidth > 0;
  text::layoutText(text::plainParagraphs(content, chars, text::ParagraphFormat()), faces,
                   wrap ? std::max(fieldWidth - 80, 20.0) : 1e9, wrap, &layout);
  extent.width = layout.width;
  extent.height = std::max(layout.height, lineHeight);
  return extent;
}

const char* const kAlignNames[] = {"left", "right", "center", "justify"};

Object* makeTextFormat(Machine& m, const text::CharFormat& chars, const text::ParagraphFormat& paragraph) {
  Object* format = m.heap().make<Object>(m.protos().textFormat);
  auto set = [&](const char* name, const Value& v) { m.set(format, name, v); };
  set("font", Value(m.makeString(text::encodeMovieText(text::decodeUtf8(chars.font), m.swfVersion()))));
  set("size", Value(chars.size / 20));
  set("color", Value(double((uint32_t(chars.color.r) << 16) | (uint32_t(chars.color.g) << 8) | chars.color.b)));
  set("bold", Value(chars.bold));
  set("italic", Value(chars.italic));
  set("underline", Value(chars.underline));
  set("url", Value(m.makeString(text::encodeMovieText(text::decodeUtf8(chars.url), m.swfVersion()))));
  set("target", Value(String("")));
  set("align", Value(String(kAlignNames[static_cast<int>(paragraph.align) & 3])));
  set("leftMargin", Value(paragraph.leftMargin / 20));
  set("rightMargin", Value(paragraph.rightMargin / 20));
  set("indent", Value(paragraph.indent / 20));
  set("leading", Value(paragraph.leading / 20));
  set("blockIndent", Value(paragraph.blockIndent / 20));
  set("bullet", Value(false));
  set("kerning", Value(chars.kerning));
  set("letterSpacing", Value(chars.letterSpacing / 20));
  set("tabStops", Value(m.newArray()));
  set("display", Value(String("block")));
  return format;
}

void applyTextFormat(Machine& m, Object* format, text::CharFormat* chars, text::ParagraphFormat* paragraph) {
  if (!format) return;
  Value v;
  // Sizes and margins past what a field can show are refused, as nonsense.
  auto twips = [&](const char* name, double* out, double low) {
    if (!formatValue(m, format, name, &v)) return;
    double d = m.toNumber(v);
    if (std::isfinite(d) && d >= low && d <= 10000) *out = std::round(d) * 20;
  };
  if (formatValue(m, format, "font", &v))
    chars->font = text::encodeUtf8(text::decodeMovieText(m.toString(v).str(), m.swfVersion()));
  twips("size", &chars->size, 1);
  if (formatValue(m, format, "color", &v)) {
    uint32_t rgb = m.toUint32(v);
    chars->color = swf::Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
  }
  if (formatValue(m, format, "bold", &v)) chars->bold = m.toBoolean(v);
  if (formatValue(m, format, "italic", &v)) chars->italic = m.toBoolean(v);
  if (formatValue(m, format, "underline", &v)) chars->underline = m.toBoolean(v);
  if (formatValue(m, format, "kerning", &v)) chars->kerning = m.toBoolean(v);
  if (formatValue(m, format, "url", &v))
    chars->url = text::encodeUtf8(text::decodeMovieText(m.toString(v).str(), m.swfVersion()));
  twips("letterSpacing", &chars->letterSpacing, -10000);
  if (formatValue(m, format, "align", &v)) {
    std::string align = m.toString(v).str();
    for (int i = 0; i < 4; ++i)
      if (text::sameNameNoCase(align, kAlignNames[i])) paragraph->align = static_cast<swf::TextAlign>(i);
  }
  twips("leftMargin", &paragraph->leftMargin, 0);
  twips("rightMargin", &paragraph->rightMargin, 0);
  twips("indent", &paragraph->indent, -10000);
  twips("leading", &paragraph->leading, -10000);
  twips("blockIndent", &paragraph->blockIndent, 0);
}

void installTextFormat(Machine& m) {
  Object* proto = m.heap().make<Object>(m.protos().object);
  m.defineClass(m.global(), "TextFormat", textFormatConstructor, proto, kDontEnum);
  m.method(proto, "getTextExtent", getTextExtent);
  m.protos().textFormat = proto;
}

}  // namespace avm1
