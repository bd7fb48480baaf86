// Formatted text as edit text fields hold it: paragraphs of runs, each run
// in one character format. Made from plain text or from the subset of HTML
// that Flash text fields take.
#pragma once
#include <string>
#include <vector>

#include "player/swf/text.h"
#include "player/swf/types.h"

namespace text {

struct CharFormat {
  std::string font;    // face name, UTF-8
  double size = 240;   // em size, twips
  swf::Rgba color;
  bool bold = false, italic = false, underline = false;
  double letterSpacing = 0;  // twips added after each character
  bool kerning = false;      // the font's kerning pairs apply
  std::string url;           // of an <a> link, UTF-8
};

struct ParagraphFormat {
  swf::TextAlign align = swf::TextAlign::Left;
  double leftMargin = 0, rightMargin = 0, indent = 0, blockIndent = 0;  // twips
  double leading = 0;  // twips between lines
};

struct Run {
  std::u32string text;
  CharFormat format;
};

struct Paragraph {
  ParagraphFormat format;
  std::vector<Run> runs;
  // A line ends where a <br> stood (or a line break in plain text within a
  // paragraph); kept as U+2028 in the runs' text.
};

constexpr char32_t kLineBreak = 0x2028;

// Plain text: every CR, LF or CR LF starts a new paragraph.
std::vector<Paragraph> plainParagraphs(const std::u32string& text, const CharFormat& chars,
                                       const ParagraphFormat& paragraph);

// Flash's HTML subset: <p align>, <br>, <font face size color letterSpacing>,
// <b>, <i>, <u>, <a href>, <li> (a paragraph), <textformat leftmargin rightmargin indent
// blockindent leading>, character entities. Unknown tags are passed over;
// `chars` and `paragraph` are the field's own formats, which tags change.
std::vector<Paragraph> htmlParagraphs(const std::u32string& html, const CharFormat& chars,
                                      const ParagraphFormat& paragraph);

}  // namespace text
