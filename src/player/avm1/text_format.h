// Text formats for scripts: measuring text as getTextExtent does, and new
// TextFormat objects for the text field methods that give them.
#pragma once
#include <string>

#include "player/text/device_fonts.h"
#include "player/text/paragraphs.h"

namespace avm1 {

class Machine;
class Object;

struct TextExtent {
  double ascent = 0, descent = 0, width = 0, height = 0;  // twips
};

// The size of `content` in `chars`' format with the system's fonts (none:
// only the line height is known). With fieldWidth (twips) > 0 the text wraps
// within a field that wide, gutters taken off.
TextExtent measureText(text::DeviceFonts* fonts, const std::u32string& content, const text::CharFormat& chars,
                       double fieldWidth);

// A TextFormat holding a field's format.
Object* makeTextFormat(Machine& m, const text::CharFormat& chars, const text::ParagraphFormat& paragraph);
// Takes a TextFormat's properties that are set (not null) into a format.
void applyTextFormat(Machine& m, Object* format, text::CharFormat* chars, text::ParagraphFormat* paragraph);

}  // namespace avm1
