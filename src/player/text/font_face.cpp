#include "player/text/font_face.h"

#include "player/text/encoding.h"

namespace text {

EmbeddedFont::EmbeddedFont(swf::FontDef def, int swfVersion) : def_(std::move(def)) {
  name_ = encodeUtf8(decodeMovieText(def_.name, swfVersion));
  for (size_t i = 0; i < def_.codes.size() && i < def_.glyphs.size(); ++i) {
    char32_t c = decodeFontCode(def_.codes[i], swfVersion, def_.shiftJis);
    glyphOfChar_.emplace(c, static_cast<uint32_t>(i));
  }
  for (const swf::FontDef::Kerning& k : def_.kerning) {
    uint64_t key = uint64_t(decodeFontCode(k.first, swfVersion, def_.shiftJis)) << 32 |
                   decodeFontCode(k.second, swfVersion, def_.shiftJis);
    kerning_[key] = k.adjustment / def_.emUnits;
  }
}

double EmbeddedFont::kerning(char32_t first, char32_t second) const {
  auto it = kerning_.find(uint64_t(first) << 32 | second);
  return it == kerning_.end() ? 0 : it->second;
}

DeviceFace EmbeddedFont::metrics() const {
  DeviceFace m;
  if (def_.hasLayout) {
    m.ascent = def_.ascent / def_.emUnits;
    m.descent = def_.descent / def_.emUnits;
    m.leading = def_.leading / def_.emUnits;
  }
  return m;
}

bool EmbeddedFont::glyph(char32_t c, const std::vector<swf::Edge>** outline, double* advance) {
  auto it = glyphOfChar_.find(c);
  if (it == glyphOfChar_.end()) return false;
  *outline = &def_.glyphs[it->second];
  *advance = it->second < def_.advances.size() ? def_.advances[it->second] / def_.emUnits : 0;
  return true;
}

bool DeviceFontFace::glyph(char32_t c, const std::vector<swf::Edge>** outline, double* advance) {
  const DeviceGlyph* g = fonts_.glyph(face_, bold_, italic_, c);
  if (!g) return false;
  *outline = &g->outline;
  *advance = g->advance;
  return true;
}

}  // namespace text
