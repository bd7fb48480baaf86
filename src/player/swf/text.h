// Fonts and text definitions: DefineFont 1-3 with DefineFontInfo 1 and 2,
// static text (DefineText, DefineText2) and edit text (DefineEditText).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "player/swf/shape.h"
#include "player/swf/types.h"

namespace swf {

struct FontDef {
  std::string name;  // as stored: GBK before SWF 6, UTF-8 from then on
  bool bold = false, italic = false;
  bool shiftJis = false;  // codes are Shift-JIS (before SWF 6)
  bool smallText = false;
  double emUnits = 1024;  // glyph units per em: 1024, or 20480 for DefineFont3
  std::vector<std::vector<Edge>> glyphs;  // outlines, y down, baseline at 0
  std::vector<uint16_t> codes;  // per glyph, as stored (see shiftJis)
  // DefineFont2 and 3 layout, in glyph units; advances per glyph.
  bool hasLayout = false;
  double ascent = 0, descent = 0, leading = 0;
  std::vector<double> advances;
  struct Kerning {
    uint16_t first = 0, second = 0;  // codes as stored
    double adjustment = 0;           // glyph units
  };
  std::vector<Kerning> kerning;
};

// DefineFont, DefineFont2 (version 2) and DefineFont3 (version 3). False when
// the tag cannot be read at all.
bool parseFont(const uint8_t* data, size_t size, int version, uint16_t* id, FontDef* out);
// DefineFontInfo (version 1) and DefineFontInfo2 (version 2): the name, the
// style and the code of each glyph of an earlier DefineFont. *id names it.
bool parseFontInfo(const uint8_t* data, size_t size, int version, uint16_t* id, FontDef* font);
// The font id that a DefineFontInfo tag is for (0 when unreadable).
uint16_t fontInfoTarget(const uint8_t* data, size_t size);

struct GlyphEntry {
  uint32_t index = 0;
  int32_t advance = 0;  // twips
};

struct TextRun {
  uint16_t fontId = 0;
  Rgba color;
  double x = 0, y = 0;  // start of the run's baseline, twips
  double height = 0;    // em size, twips
  std::vector<GlyphEntry> glyphs;
};

struct StaticTextDef {
  Rect bounds;
  Matrix matrix;
  std::vector<TextRun> runs;
  // CSMTextSettings chose the advanced anti-aliasing for it.
  bool advancedAntiAliasing = false;
};

// DefineText (version 1) and DefineText2 (version 2, colours with alpha).
bool parseStaticText(const uint8_t* data, size_t size, int version, uint16_t* id, StaticTextDef* out);

enum class TextAlign : uint8_t { Left, Right, Center, Justify };

struct EditTextDef {
  Rect bounds;
  bool wordWrap = false, multiline = false, password = false, readOnly = false;
  bool autoSize = false, noSelect = false, border = false, html = false, useOutlines = false;
  bool wasStatic = false;
  uint16_t fontId = 0;       // 0: none given
  std::string fontClass;     // a font named by class instead
  double fontHeight = 240;   // twips
  bool hasColor = false;
  Rgba color;
  int maxLength = 0;         // 0: no limit
  TextAlign align = TextAlign::Left;
  double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;  // twips
  std::string variable;      // bound variable path, as stored
  bool hasText = false;
  std::string initialText;   // as stored
};

bool parseEditText(const uint8_t* data, size_t size, uint16_t* id, EditTextDef* out);

}  // namespace swf
