// GDI+ text resources: fonts, font families and string formats. Each wrapper
// owns one GDI+ object and frees it; an object whose creation failed is empty
// (get() is null) and its readers return 0 or empty values.
#pragma once
#include "ui/gdiplus_headers.h"

#include <memory>
#include <string>
#include <vector>

namespace ql {

class SkinFontFamily {
 public:
  SkinFontFamily() = default;
  // The name is in the system code page.
  explicit SkinFontFamily(const std::string& name);
  SkinFontFamily(const SkinFontFamily& other);
  SkinFontFamily& operator=(const SkinFontFamily& other);

  static SkinFontFamily genericSansSerif();
  static SkinFontFamily genericSerif();
  static SkinFontFamily genericMonospace();
  // The families installed on the system.
  static std::vector<std::string> installedFamilies();

  bool valid() const { return family_ != nullptr; }
  const Gdiplus::FontFamily* get() const { return family_.get(); }
  std::string name() const;
  bool isStyleAvailable(int style) const;
  int emHeight(int style) const;
  int cellAscent(int style) const;
  int cellDescent(int style) const;
  int lineSpacing(int style) const;

 private:
  std::unique_ptr<Gdiplus::FontFamily> family_;
};

class SkinFont {
 public:
  SkinFont() = default;
  // From a family name (system code page), size, style and unit.
  SkinFont(const std::string& family, float size, int style = Gdiplus::FontStyleRegular,
           Gdiplus::Unit unit = Gdiplus::UnitPixel);
  SkinFont(const SkinFontFamily& family, float size, int style = Gdiplus::FontStyleRegular,
           Gdiplus::Unit unit = Gdiplus::UnitPixel);
  SkinFont(HDC dc, const LOGFONTA& logFont);
  // The font currently selected into `dc`.
  explicit SkinFont(HDC dc);
  SkinFont(const SkinFont& other);
  SkinFont& operator=(const SkinFont& other);

  bool valid() const { return font_ != nullptr; }
  Gdiplus::Font* get() const { return font_.get(); }
  SkinFontFamily family() const;
  std::string familyName() const;
  int style() const;
  float size() const;
  Gdiplus::Unit unit() const;
  // Line height in pixels at the screen's resolution.
  float height() const;
  bool logFont(HDC dc, LOGFONTA& out) const;

 private:
  std::unique_ptr<Gdiplus::Font> font_;
};

class SkinStringFormat {
 public:
  SkinStringFormat();  // a default format
  SkinStringFormat(const SkinStringFormat& other);
  SkinStringFormat& operator=(const SkinStringFormat& other);
  static SkinStringFormat generic();
  static SkinStringFormat genericTypographic();

  bool valid() const { return format_ != nullptr; }
  Gdiplus::StringFormat* get() const { return format_.get(); }
  Gdiplus::StringAlignment alignment() const;
  void setAlignment(Gdiplus::StringAlignment alignment);
  Gdiplus::StringAlignment lineAlignment() const;
  void setLineAlignment(Gdiplus::StringAlignment alignment);
  Gdiplus::StringTrimming trimming() const;
  void setTrimming(Gdiplus::StringTrimming trimming);
  Gdiplus::HotkeyPrefix hotkeyPrefix() const;
  void setHotkeyPrefix(Gdiplus::HotkeyPrefix prefix);
  int flags() const;
  void setFlags(int flags);

 private:
  explicit SkinStringFormat(Gdiplus::StringFormat* format) : format_(format) {}
  std::unique_ptr<Gdiplus::StringFormat> format_;
};

}  // namespace ql
