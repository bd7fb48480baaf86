#include "player/text/layout.h"

#include <algorithm>
#include <cmath>

namespace text {

namespace {

// Chinese, Japanese and Korean characters may break a line before and after
// them without a space.
bool breaksFreely(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x2FFFF);
}

bool isSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

struct Char {
  char32_t c;
  const CharFormat* format;
  FontFace* face;
  const std::vector<swf::Edge>* outline;
  double advance;  // twips, letter spacing included
};

class LineBuilder {
 public:
  LineBuilder(FontResolver& fonts, double width, bool wordWrap, TextLayout* out)
      : fonts_(fonts), width_(width), wordWrap_(wordWrap), out_(out) {}

  void paragraph(const Paragraph& p) {
    chars_.clear();
    for (const Run& run : p.runs) {
      FontFace* face = fonts_.face(run.format);
      for (char32_t c : run.text) {
        Char ch{c, &run.format, face, nullptr, 0};
        double advance = 0;
        if (face && c != kLineBreak && face->glyph(c == U'\t' ? U' ' : c, &ch.outline, &advance))
          ch.advance = std::floor(advance * run.format.size) + run.format.letterSpacing;
        // A kerned pair moves the first character's advance.
        if (run.format.kerning && !chars_.empty() && chars_.back().face == face && face)
          chars_.back().advance += std::floor(face->kerning(chars_.back().c, c) * run.format.size);
        chars_.push_back(ch);
      }
    }
    // The format of an empty line: the paragraph's first run, or the field's.
    const CharFormat* emptyFormat = p.runs.empty() ? nullptr : &p.runs.front().format;
    size_t start = 0;
    bool first = true;
    for (;;) {
      const ParagraphFormat& pf = p.format;
      double left = pf.leftMargin + pf.blockIndent + (first ? pf.indent : 0);
      double room = width_ - left - pf.rightMargin;
      size_t end = lineEnd(start, room);
      bool forced = end < chars_.size() && chars_[end].c == kLineBreak;
      placeLine(start, end, left, room, pf, end >= chars_.size() || forced, emptyFormat);
      first = false;
      // Spaces skipped where a line wrapped stand at its end.
      size_t next = end;
      if (!forced && end < chars_.size())
        while (next < chars_.size() && isSpace(chars_[next].c)) ++next;
      for (size_t i = end; i < next; ++i) out_->stops.push_back(CaretStop{lineEndX_, out_->lines - 1});
      if (forced) {
        // The break itself ends its line.
        out_->stops.push_back(CaretStop{lineEndX_, out_->lines - 1});
        start = end + 1;  // a break at the very end still starts a line
        continue;
      }
      if (end >= chars_.size()) break;
      // Spaces where a line wrapped are not carried to the next.
      start = next;
      if (start >= chars_.size()) break;
    }
    // The paragraph's end, where its break (or the text's end) stands.
    out_->stops.push_back(CaretStop{lineEndX_, out_->lines - 1});
  }

 private:
  // Where the line starting at `start` ends (exclusive).
  size_t lineEnd(size_t start, double room) const {
    double x = 0;
    size_t lastBreak = start;  // a line may end here
    for (size_t i = start; i < chars_.size(); ++i) {
      const Char& ch = chars_[i];
      if (ch.c == kLineBreak) return i;
      if (i > start && (isSpace(ch.c) || breaksFreely(ch.c) || breaksFreely(chars_[i - 1].c)))
        lastBreak = i;
      x += ch.advance;
      if (wordWrap_ && x > room && !isSpace(ch.c) && i > start) {
        if (lastBreak > start) return lastBreak;
        return i;  // one word longer than the line: cut it
      }
    }
    return chars_.size();
  }

  void placeLine(size_t start, size_t end, double left, double room, const ParagraphFormat& pf,
                 bool lastOfParagraph, const CharFormat* emptyFormat) {
    double ascent = 0, descent = 0, width = 0, trailing = 0;
    int spaces = 0;
    bool any = false;
    for (size_t i = start; i < end; ++i) {
      const Char& ch = chars_[i];
      if (ch.face) {
        DeviceFace m = ch.face->metrics();
        ascent = std::max(ascent, std::floor(m.ascent * ch.format->size));
        descent = std::max(descent, std::floor(m.descent * ch.format->size));
        any = true;
      }
      width += ch.advance;
      if (isSpace(ch.c)) {
        trailing += ch.advance;
        ++spaces;
      } else {
        trailing = 0;
      }
    }
    if (!any && emptyFormat) {
      if (FontFace* face = fonts_.face(*emptyFormat)) {
        DeviceFace m = face->metrics();
        ascent = std::floor(m.ascent * emptyFormat->size);
        descent = std::floor(m.descent * emptyFormat->size);
      }
    }
    double inked = width - trailing;
    double x = left;
    double gap = 0;
    if (pf.align == swf::TextAlign::Right) x += std::max(0.0, room - inked);
    if (pf.align == swf::TextAlign::Center) x += std::max(0.0, (room - inked) / 2);
    if (pf.align == swf::TextAlign::Justify && !lastOfParagraph && spaces > 0 && wordWrap_) {
      // Trailing spaces take no part.
      int inner = spaces;
      for (size_t i = end; i > start && isSpace(chars_[i - 1].c); --i) --inner;
      if (inner > 0) gap = std::max(0.0, room - inked) / inner;
    }
    double baseline = top_ + ascent;
    Underline* open = nullptr;
    for (size_t i = start; i < end; ++i) {
      const Char& ch = chars_[i];
      out_->stops.push_back(CaretStop{x, out_->lines});
      if (ch.outline && !ch.outline->empty()) {
        LaidGlyph g;
        g.outline = ch.outline;
        g.x = x;
        g.y = baseline;
        g.scale = ch.format->size / ch.face->unitsPerEm();
        g.color = ch.format->color;
        g.stop = out_->stops.size() - 1;
        out_->glyphs.push_back(g);
      }
      double next = x + ch.advance + (isSpace(ch.c) ? gap : 0);
      if (ch.format->underline && !(isSpace(ch.c) && i + 1 == end)) {
        double y = baseline + std::max(20.0, ch.format->size * 0.1);
        if (open && open->y == y && open->x1 == x) {
          open->x1 = next;
        } else {
          out_->underlines.push_back(Underline{x, next, y, 20, ch.format->color});
          open = &out_->underlines.back();
        }
      } else {
        open = nullptr;
      }
      x = next;
    }
    lineEndX_ = x;
    out_->lineBoxes.push_back(LineBox{top_, ascent + descent, x});
    out_->width = std::max(out_->width, left + inked + pf.rightMargin);
    top_ += ascent + descent;
    out_->height = top_;
    top_ += pf.leading;
    ++out_->lines;
  }

  FontResolver& fonts_;
  double width_;
  bool wordWrap_;
  TextLayout* out_;
  std::vector<Char> chars_;
  double top_ = 0;
  double lineEndX_ = 0;  // where the last line placed ends
};

}  // namespace

void layoutText(const std::vector<Paragraph>& paragraphs, FontResolver& fonts, double width,
                bool wordWrap, TextLayout* out) {
  *out = TextLayout();
  LineBuilder lines(fonts, width, wordWrap, out);
  for (const Paragraph& p : paragraphs) lines.paragraph(p);
}

}  // namespace text
