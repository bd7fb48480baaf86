#include "player/swf/text.h"

#include <algorithm>

#include "player/swf/bit_reader.h"

namespace swf {

namespace {

// Reads the glyph outlines whose offsets (from `base`) are given; each ends
// where the next begins, the last at `end`.
void readGlyphs(const uint8_t* base, size_t end, const std::vector<uint32_t>& offsets, FontDef* out) {
  out->glyphs.assign(offsets.size(), {});
  for (size_t i = 0; i < offsets.size(); ++i) {
    size_t from = offsets[i];
    size_t to = i + 1 < offsets.size() ? offsets[i + 1] : end;
    if (from >= to || to > end) continue;
    parseGlyph(base + from, to - from, &out->glyphs[i]);
  }
}

}  // namespace

bool parseFont(const uint8_t* data, size_t size, int version, uint16_t* id, FontDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  if (r.failed()) return false;
  if (version == 1) {
    // The offset table's first entry says how long the table is.
    const uint8_t* base = r.current();
    size_t tableSize = r.remaining();
    uint32_t first = r.u16();
    if (r.failed() || first < 2 || first > tableSize) return true;  // a font without glyphs
    std::vector<uint32_t> offsets{first};
    for (uint32_t i = 1; i < first / 2; ++i) offsets.push_back(r.u16());
    if (r.failed()) return false;
    readGlyphs(base, tableSize, offsets, out);
    return true;
  }
  uint8_t flags = r.u8();
  r.u8();  // language
  bool hasLayout = flags & 0x80, wideOffsets = flags & 0x08, wideCodes = flags & 0x04;
  out->shiftJis = flags & 0x40;
  out->smallText = flags & 0x20;
  out->italic = flags & 0x02;
  out->bold = flags & 0x01;
  out->emUnits = version == 3 ? 20480 : 1024;
  uint8_t nameLength = r.u8();
  for (int i = 0; i < nameLength; ++i) out->name += static_cast<char>(r.u8());
  while (!out->name.empty() && out->name.back() == 0) out->name.pop_back();
  uint32_t count = r.u16();
  if (r.failed()) return false;
  const uint8_t* base = r.current();
  size_t tableSize = r.remaining();
  std::vector<uint32_t> offsets;
  for (uint32_t i = 0; i < count && !r.failed(); ++i) offsets.push_back(wideOffsets ? r.u32() : r.u16());
  uint32_t codeTable = wideOffsets ? r.u32() : r.u16();
  if (r.failed()) return false;
  if (codeTable > tableSize) codeTable = static_cast<uint32_t>(tableSize);
  readGlyphs(base, codeTable, offsets, out);
  BitReader codes(base + codeTable, tableSize - codeTable);
  out->codes.resize(count);
  for (uint32_t i = 0; i < count; ++i) out->codes[i] = wideCodes || version == 3 ? codes.u16() : codes.u8();
  if (codes.failed()) return true;  // outlines without codes still serve static text
  if (hasLayout) {
    double ascent = codes.u16(), descent = codes.u16(), leading = codes.s16();
    std::vector<double> advances(count);
    for (uint32_t i = 0; i < count; ++i) advances[i] = codes.s16();
    if (!codes.failed()) {
      out->hasLayout = true;
      out->ascent = ascent;
      out->descent = descent;
      out->leading = leading;
      out->advances = std::move(advances);
    }
    for (uint32_t i = 0; i < count; ++i) codes.rect();  // glyph bounds
    uint32_t pairs = codes.u16();
    for (uint32_t i = 0; i < pairs && !codes.failed(); ++i) {
      FontDef::Kerning k;
      k.first = wideCodes ? codes.u16() : codes.u8();
      k.second = wideCodes ? codes.u16() : codes.u8();
      k.adjustment = codes.s16();
      if (!codes.failed()) out->kerning.push_back(k);
    }
  }
  return true;
}

uint16_t fontInfoTarget(const uint8_t* data, size_t size) {
  BitReader r(data, size);
  uint16_t id = r.u16();
  return r.failed() ? 0 : id;
}

bool parseFontInfo(const uint8_t* data, size_t size, int version, uint16_t* id, FontDef* font) {
  BitReader r(data, size);
  *id = r.u16();
  uint8_t nameLength = r.u8();
  std::string name;
  for (int i = 0; i < nameLength; ++i) name += static_cast<char>(r.u8());
  while (!name.empty() && name.back() == 0) name.pop_back();
  uint8_t flags = r.u8();
  if (version == 2) r.u8();  // language
  if (r.failed()) return false;
  font->name = name;
  font->smallText = flags & 0x20;
  font->shiftJis = flags & 0x10;
  font->italic = flags & 0x04;
  font->bold = flags & 0x02;
  bool wide = version == 2 || (flags & 0x01);
  font->codes.assign(font->glyphs.size(), 0);
  for (size_t i = 0; i < font->glyphs.size(); ++i) font->codes[i] = wide ? r.u16() : r.u8();
  return !r.failed();
}

bool parseStaticText(const uint8_t* data, size_t size, int version, uint16_t* id, StaticTextDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  out->bounds = r.rect();
  out->matrix = r.matrix();
  int glyphBits = r.u8(), advanceBits = r.u8();
  if (r.failed() || glyphBits > 32 || advanceBits > 32) return false;
  TextRun style;
  double x = 0, y = 0;
  while (!r.failed()) {
    uint8_t flags = r.u8();
    if (flags == 0 || r.failed()) break;
    if (flags & 0x08) style.fontId = r.u16();
    if (flags & 0x04) style.color = version == 2 ? r.rgba() : r.rgb();
    if (flags & 0x01) x = r.s16();
    if (flags & 0x02) y = r.s16();
    if (flags & 0x08) style.height = r.u16();
    int count = r.u8();
    TextRun run = style;
    run.x = x;
    run.y = y;
    for (int i = 0; i < count && !r.failed(); ++i) {
      GlyphEntry g;
      g.index = r.ubits(glyphBits);
      g.advance = r.sbits(advanceBits);
      run.glyphs.push_back(g);
      x += g.advance;
    }
    r.align();
    if (r.failed()) break;
    out->runs.push_back(std::move(run));
  }
  return true;
}

bool parseEditText(const uint8_t* data, size_t size, uint16_t* id, EditTextDef* out) {
  BitReader r(data, size);
  *id = r.u16();
  out->bounds = r.rect();
  uint8_t a = r.u8(), b = r.u8();
  if (r.failed()) return false;
  out->hasText = a & 0x80;
  out->wordWrap = a & 0x40;
  out->multiline = a & 0x20;
  out->password = a & 0x10;
  out->readOnly = a & 0x08;
  bool hasColor = a & 0x04, hasMaxLength = a & 0x02, hasFont = a & 0x01;
  bool hasFontClass = b & 0x80;
  out->autoSize = b & 0x40;
  bool hasLayout = b & 0x20;
  out->noSelect = b & 0x10;
  out->border = b & 0x08;
  out->wasStatic = b & 0x04;
  out->html = b & 0x02;
  out->useOutlines = b & 0x01;
  if (hasFont) out->fontId = r.u16();
  if (hasFontClass) out->fontClass = r.cstring();
  if (hasFont || hasFontClass) out->fontHeight = r.u16();
  if (hasColor) {
    out->hasColor = true;
    out->color = r.rgba();
  }
  if (hasMaxLength) out->maxLength = r.u16();
  if (hasLayout) {
    int align = r.u8();
    out->align = align == 1 ? TextAlign::Right : align == 2 ? TextAlign::Center
                 : align == 3 ? TextAlign::Justify : TextAlign::Left;
    out->leftMargin = r.u16();
    out->rightMargin = r.u16();
    out->indent = r.u16();
    out->leading = r.s16();
  }
  out->variable = r.cstring();
  if (out->hasText) out->initialText = r.cstring();
  return !r.failed() || !out->variable.empty() || out->hasText;
}

}  // namespace swf
