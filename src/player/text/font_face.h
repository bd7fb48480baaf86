// What text layout needs of a font, whether the movie carries its outlines
// or the system draws it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "player/swf/text.h"
#include "player/text/device_fonts.h"

namespace text {

class FontFace {
 public:
  virtual ~FontFace() = default;
  // Ascent, descent and leading in ems.
  virtual DeviceFace metrics() const = 0;
  // The outline of a character (in units of `unitsPerEm`, y down, baseline
  // at 0) and its advance in ems; false when the font lacks it.
  virtual bool glyph(char32_t c, const std::vector<swf::Edge>** outline, double* advance) = 0;
  virtual double unitsPerEm() const = 0;
  // How much closer (negative) or farther apart the pair is set, in ems.
  virtual double kerning(char32_t first, char32_t second) const = 0;
};

// A font whose outlines the movie carries, with its codes as characters.
class EmbeddedFont final : public FontFace {
 public:
  // `swfVersion` decides how the codes are read.
  EmbeddedFont(swf::FontDef def, int swfVersion);
  const swf::FontDef& def() const { return def_; }
  // The face name as characters of the movie's text.
  const std::string& nameUtf8() const { return name_; }
  DeviceFace metrics() const override;
  bool glyph(char32_t c, const std::vector<swf::Edge>** outline, double* advance) override;
  double unitsPerEm() const override { return def_.emUnits; }
  double kerning(char32_t first, char32_t second) const override;

 private:
  swf::FontDef def_;
  std::string name_;
  std::unordered_map<char32_t, uint32_t> glyphOfChar_;
  std::unordered_map<uint64_t, double> kerning_;  // (first << 32 | second) → ems
};

// A face of the system's, by name and style.
class DeviceFontFace final : public FontFace {
 public:
  DeviceFontFace(DeviceFonts& fonts, std::string face, bool bold, bool italic)
      : fonts_(fonts), face_(std::move(face)), bold_(bold), italic_(italic) {}
  DeviceFace metrics() const override { return fonts_.metrics(face_, bold_, italic_); }
  bool glyph(char32_t c, const std::vector<swf::Edge>** outline, double* advance) override;
  double unitsPerEm() const override { return 1; }
  double kerning(char32_t, char32_t) const override { return 0; }

 private:
  DeviceFonts& fonts_;
  std::string face_;
  bool bold_, italic_;
};

}  // namespace text
