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

namespace player {

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
  const swf::EditTextDef& def() const { return def_; }
  // The text as the movie stores it (HTML for HTML fields).
  const std::string& text() const { return text_; }
  void setText(const std::string& movieText);
  void draw(render::Renderer& renderer, MovieFonts& fonts, const swf::Matrix& toPixels,
            const swf::ColorTransform& cx);

 private:
  void layOut(MovieFonts& fonts);
  void drawBorder(render::Renderer& renderer, const swf::Matrix& toPixels, const swf::ColorTransform& cx);

  const swf::EditTextDef& def_;
  int swfVersion_;
  text::EmbeddedFont* font_;  // the field's own, if any
  text::CharFormat format_;
  text::ParagraphFormat paragraph_;
  std::string text_;
  bool dirty_ = true;
  text::TextLayout layout_;
  swf::Rect box_;  // the field's bounds after auto-sizing
};

void drawStaticText(render::Renderer& renderer, const swf::StaticTextDef& def, const Movie& movie,
                    const swf::Matrix& toPixels, const swf::ColorTransform& cx);

}  // namespace player
