// Text on the stage: static text (DefineText) drawn from its glyph runs, and
// edit text fields (DefineEditText) with their text, bound to a variable or
// set, laid out with embedded or device fonts.
#pragma once
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "player/core/movie.h"
#include "player/render/renderer.h"
#include "player/text/device_fonts.h"
#include "player/text/layout.h"
#include "player/text/restrict.h"

namespace avm1 {
class Object;
}

namespace player {

struct DisplayObject;
class SpriteInstance;

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
  // The clip this field is the mask of (setMask); such a field shows only
  // as that clip's mask.
  SpriteInstance* masked() const { return masked_.lock().get(); }
  void setMasked(std::weak_ptr<SpriteInstance> clip) { masked_ = std::move(clip); }
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

  // --- typing into the field ---
  // A user may type into it: an input field that is selectable (HTML
  // fields are not edited: their tags would be typed over).
  bool takesTyping() const { return !def_.readOnly && !def_.noSelect && !def_.html; }
  // The text as UTF-16 units, as carets and scripts count it (plain text:
  // HTML fields are not edited).
  std::u16string units() const;
  void setUnits(const std::u16string& units);
  const text::RestrictPattern& restrict() const { return restrict_; }
  void setRestrict(const text::RestrictPattern& pattern) { restrict_ = pattern; }
  // The selection runs from the anchor to the caret, in UTF-16 units.
  int caretIndex() const { return caret_; }
  int anchorIndex() const { return anchor_; }
  int selectionBegin() const { return std::min(anchor_, caret_); }
  int selectionEnd() const { return std::max(anchor_, caret_); }
  // Clamped to the text; never inside a surrogate pair.
  void setSelection(int anchor, int caret);
  // The caret is drawn while the field has the focus and the blink shows it.
  void setCaretShown(bool focused, bool blinkOn) {
    focused_ = focused;
    blinkOn_ = blinkOn;
  }
  // The unit index nearest to a point in the field's own twips; the text
  // must have been drawn (laid out) once, else the end.
  int indexAt(double x, double y) const;
  // How far the text is scrolled to keep the caret in view: pixels across,
  // and the top line shown (1 for the first); with the most each may be.
  double hscroll() const { return std::round(scrollX_ / 20); }
  double maxHScroll() const;
  int scroll() const;
  int maxScroll() const;
  // Whether a point in the field's own twips is inside its bounds.
  bool contains(double x, double y) const;

 private:
  void layOut(MovieFonts& fonts);
  void mapStops();
  size_t stopOf(int unit) const;
  void keepCaretInView();
  // The selection of the focused field: its stops [first, last).
  bool selectedStops(size_t* first, size_t* last) const;
  void drawSelection(render::Renderer& renderer, const swf::Matrix& toPixels, const swf::ColorTransform& cx,
                     double textX, double textY, size_t first, size_t last);
  void drawCaret(render::Renderer& renderer, const swf::Matrix& toPixels, const swf::ColorTransform& cx,
                 double textX, double textY);
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
  text::RestrictPattern restrict_;
  int anchor_ = 0, caret_ = 0;
  bool focused_ = false, blinkOn_ = false;
  std::weak_ptr<SpriteInstance> masked_;
  // The unit index each of the layout's caret stops stands before.
  std::vector<int> stopUnits_;
  // How far the text is scrolled to keep the caret in view (twips).
  double scrollX_ = 0, scrollY_ = 0;
};

// The field of an edit text on the display list, made when first needed.
TextField& textFieldOf(DisplayObject& o, const Movie& movie);

void drawStaticText(render::Renderer& renderer, const swf::StaticTextDef& def, const Movie& movie,
                    const swf::Matrix& toPixels, const swf::ColorTransform& cx);

}  // namespace player
