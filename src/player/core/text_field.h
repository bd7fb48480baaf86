// Text on the stage: static text (DefineText) drawn from its glyph runs, and
// edit text fields (DefineEditText) with their text, bound to a variable or
// set, laid out with embedded or device fonts.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "player/core/movie.h"
#include "player/render/renderer.h"
#include "player/text/device_fonts.h"
#include "player/text/layout.h"

namespace avm1 {
class Object;
}

namespace player {

struct DisplayObject;

// Every font a movie's text may use: its own by id or name, and the
// system's through the device font seam (absent in some hosts).
class MovieFonts {
 public:
  MovieFonts(const Movie& movie, text::DeviceFonts* device) : movie_(movie), device_(device) {}
  // With `outlines`, only the movie's own fonts draw; otherwise the system's.
  text::FontFace* face(const text::CharFormat& format, bool outlines);

 private:
  const Movie& movie_;
  text::DeviceFonts* device_;
  std::map<std::tuple<std::string, bool, bool>, std::unique_ptr<text::DeviceFontFace>> deviceFaces_;
};

class TextField {
 public:
  TextField(const swf::EditTextDef& def, const Movie& movie);
  ~TextField();
  const swf::EditTextDef& def() const { return def_; }
  // The text as the movie stores it (HTML for HTML fields).
  const std::string& text() const { return text_; }
  void setText(const std::string& movieText);

  // --- what scripts change ---
  // The field's settings as scripts set them (html, wordWrap, variable, ...).
  swf::EditTextDef& settings() {
    dirty_ = true;
    return def_;
  }
  // Frame and ground: each shown or not, in its own colour (0xRRGGBB).
  bool border() const { return border_; }
  bool background() const { return background_; }
  uint32_t borderColor() const { return borderColor_; }
  uint32_t backgroundColor() const { return backgroundColor_; }
  void setBorder(bool on, uint32_t rgb);
  void setBackground(bool on, uint32_t rgb);
  uint32_t textColor() const;
  void setTextColor(uint32_t rgb);
  // The whole field's character and paragraph format (fields keep one).
  const text::CharFormat& format() const { return format_; }
  const text::ParagraphFormat& paragraphFormat() const { return paragraph_; }
  void setFormat(const text::CharFormat& chars, const text::ParagraphFormat& paragraph);
  // The laid-out text's size in twips (0 before the field was drawn).
  double textWidth() const { return layout_.width; }
  double textHeight() const { return layout_.height; }
  // The script object standing for this field, if scripts asked for one.
  avm1::Object* scriptObject() const { return scriptObject_; }
  void setScriptObject(avm1::Object* o) { scriptObject_ = o; }
  void draw(render::Renderer& renderer, MovieFonts& fonts, const swf::Matrix& toPixels,
            const swf::ColorTransform& cx);

 private:
  void layOut(MovieFonts& fonts);
  void drawBorder(render::Renderer& renderer, const swf::Matrix& toPixels, const swf::ColorTransform& cx);

  swf::EditTextDef def_;
  int swfVersion_;
  bool border_, background_;
  uint32_t borderColor_ = 0x000000, backgroundColor_ = 0xFFFFFF;
  avm1::Object* scriptObject_ = nullptr;
  text::EmbeddedFont* font_;  // the field's own, if any
  text::CharFormat format_;
  text::ParagraphFormat paragraph_;
  std::string text_;
  bool dirty_ = true;
  text::TextLayout layout_;
  swf::Rect box_;  // the field's bounds after auto-sizing
};

// The field of an edit text on the display list, made when first needed.
TextField& textFieldOf(DisplayObject& o, const Movie& movie);

void drawStaticText(render::Renderer& renderer, const swf::StaticTextDef& def, const Movie& movie,
                    const swf::Matrix& toPixels, const swf::ColorTransform& cx);

}  // namespace player
