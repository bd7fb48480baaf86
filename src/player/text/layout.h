// Lays formatted paragraphs out in lines: word wrap (at spaces, and between
// Chinese characters, which need none), alignment, margins, indents and
// leading. Positions are twips from the text area's top left corner.
#pragma once
#include <vector>

#include "player/swf/shape.h"
#include "player/text/font_face.h"
#include "player/text/paragraphs.h"

namespace text {

class FontResolver {
 public:
  // The face that draws text in this format; null when there is none.
  virtual FontFace* face(const CharFormat& format) = 0;

 protected:
  ~FontResolver() = default;
};

struct LaidGlyph {
  const std::vector<swf::Edge>* outline = nullptr;
  double x = 0, y = 0;  // the glyph's origin on its baseline
  double scale = 1;     // twips per outline unit
  swf::Rgba color;
  size_t stop = 0;      // the caret stop before the glyph's character
};

struct Underline {
  double x0 = 0, x1 = 0, y = 0, thickness = 20;
  swf::Rgba color;
};

// Where a caret stands before one character of the text, or at the end of a
// paragraph (in place of the break that ends it).
struct CaretStop {
  double x = 0;
  int line = 0;
};

struct LineBox {
  double top = 0, height = 0;  // twips
  double right = 0;            // where its last character ends
};

struct TextLayout {
  std::vector<LaidGlyph> glyphs;
  std::vector<Underline> underlines;
  // One stop per character of every paragraph, then one for its end.
  std::vector<CaretStop> stops;
  std::vector<LineBox> lineBoxes;
  double width = 0, height = 0;  // what the lines take up
  int lines = 0;
};

// `width` is what the lines may fill (twips); without word wrap lines are
// broken only where the text breaks them.
void layoutText(const std::vector<Paragraph>& paragraphs, FontResolver& fonts, double width,
                bool wordWrap, TextLayout* out);

}  // namespace text
