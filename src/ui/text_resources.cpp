#include "ui/text_resources.h"

#include "ui/wide_text.h"

namespace ql {

namespace {

// GDI+ constructors report failure through the status, not by throwing.
template <typename T>
std::unique_ptr<T> keepIfOk(T* object) {
  std::unique_ptr<T> kept(object);
  if (kept && kept->GetLastStatus() != Gdiplus::Ok) kept.reset();
  return kept;
}

// The generic families are null when GDI+ finds no font for them.
std::unique_ptr<Gdiplus::FontFamily> cloneGeneric(const Gdiplus::FontFamily* generic) {
  return generic ? keepIfOk(generic->Clone()) : nullptr;
}

}  // namespace

// ---- SkinFontFamily ----------------------------------------------------------

SkinFontFamily::SkinFontFamily(const std::string& name)
    : family_(keepIfOk(new Gdiplus::FontFamily(toWide(name).c_str()))) {}

SkinFontFamily::SkinFontFamily(const SkinFontFamily& other)
    : family_(other.family_ ? keepIfOk(other.family_->Clone()) : nullptr) {}

SkinFontFamily& SkinFontFamily::operator=(const SkinFontFamily& other) {
  if (this != &other) family_ = other.family_ ? keepIfOk(other.family_->Clone()) : nullptr;
  return *this;
}

SkinFontFamily SkinFontFamily::genericSansSerif() {
  SkinFontFamily family;
  family.family_ = cloneGeneric(Gdiplus::FontFamily::GenericSansSerif());
  return family;
}

SkinFontFamily SkinFontFamily::genericSerif() {
  SkinFontFamily family;
  family.family_ = cloneGeneric(Gdiplus::FontFamily::GenericSerif());
  return family;
}

SkinFontFamily SkinFontFamily::genericMonospace() {
  SkinFontFamily family;
  family.family_ = cloneGeneric(Gdiplus::FontFamily::GenericMonospace());
  return family;
}

std::vector<std::string> SkinFontFamily::installedFamilies() {
  std::vector<std::string> names;
  Gdiplus::InstalledFontCollection collection;
  const INT count = collection.GetFamilyCount();
  if (count <= 0) return names;
  std::vector<Gdiplus::FontFamily> families(static_cast<size_t>(count));
  INT found = 0;
  if (collection.GetFamilies(count, families.data(), &found) != Gdiplus::Ok) return names;
  for (INT i = 0; i < found; ++i) {
    WCHAR name[LF_FACESIZE] = {};
    if (families[static_cast<size_t>(i)].GetFamilyName(name) == Gdiplus::Ok)
      names.push_back(fromWide(name));
  }
  return names;
}

std::string SkinFontFamily::name() const {
  WCHAR name[LF_FACESIZE] = {};
  if (!family_ || family_->GetFamilyName(name) != Gdiplus::Ok) return std::string();
  return fromWide(name);
}

bool SkinFontFamily::isStyleAvailable(int style) const {
  return family_ && family_->IsStyleAvailable(style);
}

int SkinFontFamily::emHeight(int style) const { return family_ ? family_->GetEmHeight(style) : 0; }

int SkinFontFamily::cellAscent(int style) const {
  return family_ ? family_->GetCellAscent(style) : 0;
}

int SkinFontFamily::cellDescent(int style) const {
  return family_ ? family_->GetCellDescent(style) : 0;
}

int SkinFontFamily::lineSpacing(int style) const {
  return family_ ? family_->GetLineSpacing(style) : 0;
}

// ---- SkinFont ----------------------------------------------------------------

SkinFont::SkinFont(const std::string& family, float size, int style, Gdiplus::Unit unit)
    : font_(keepIfOk(new Gdiplus::Font(toWide(family).c_str(), size, style, unit))) {}

SkinFont::SkinFont(const SkinFontFamily& family, float size, int style, Gdiplus::Unit unit) {
  if (family.get()) font_ = keepIfOk(new Gdiplus::Font(family.get(), size, style, unit));
}

SkinFont::SkinFont(HDC dc, const LOGFONTA& logFont)
    : font_(keepIfOk(new Gdiplus::Font(dc, &logFont))) {}

SkinFont::SkinFont(HDC dc) : font_(keepIfOk(new Gdiplus::Font(dc))) {}

SkinFont::SkinFont(const SkinFont& other)
    : font_(other.font_ ? keepIfOk(other.font_->Clone()) : nullptr) {}

SkinFont& SkinFont::operator=(const SkinFont& other) {
  if (this != &other) font_ = other.font_ ? keepIfOk(other.font_->Clone()) : nullptr;
  return *this;
}

SkinFontFamily SkinFont::family() const { return SkinFontFamily(familyName()); }

std::string SkinFont::familyName() const {
  if (!font_) return std::string();
  Gdiplus::FontFamily family;
  WCHAR name[LF_FACESIZE] = {};
  if (font_->GetFamily(&family) != Gdiplus::Ok || family.GetFamilyName(name) != Gdiplus::Ok)
    return std::string();
  return fromWide(name);
}

int SkinFont::style() const { return font_ ? font_->GetStyle() : 0; }
float SkinFont::size() const { return font_ ? font_->GetSize() : 0.0f; }
Gdiplus::Unit SkinFont::unit() const { return font_ ? font_->GetUnit() : Gdiplus::UnitPixel; }

float SkinFont::height() const {
  if (!font_) return 0.0f;
  HDC screen = GetDC(nullptr);
  const float dpi = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  return font_->GetHeight(dpi);
}

bool SkinFont::logFont(HDC dc, LOGFONTA& out) const {
  if (!font_) return false;
  Gdiplus::Graphics graphics(dc);
  return font_->GetLogFontA(&graphics, &out) == Gdiplus::Ok;
}

// ---- SkinStringFormat ----------------------------------------------------------

SkinStringFormat::SkinStringFormat() : format_(keepIfOk(new Gdiplus::StringFormat())) {}

SkinStringFormat::SkinStringFormat(const SkinStringFormat& other)
    : format_(other.format_ ? keepIfOk(other.format_->Clone()) : nullptr) {}

SkinStringFormat& SkinStringFormat::operator=(const SkinStringFormat& other) {
  if (this != &other) format_ = other.format_ ? keepIfOk(other.format_->Clone()) : nullptr;
  return *this;
}

SkinStringFormat SkinStringFormat::generic() {
  return SkinStringFormat(Gdiplus::StringFormat::GenericDefault()->Clone());
}

SkinStringFormat SkinStringFormat::genericTypographic() {
  return SkinStringFormat(Gdiplus::StringFormat::GenericTypographic()->Clone());
}

Gdiplus::StringAlignment SkinStringFormat::alignment() const {
  return format_ ? format_->GetAlignment() : Gdiplus::StringAlignmentNear;
}

void SkinStringFormat::setAlignment(Gdiplus::StringAlignment alignment) {
  if (format_) format_->SetAlignment(alignment);
}

Gdiplus::StringAlignment SkinStringFormat::lineAlignment() const {
  return format_ ? format_->GetLineAlignment() : Gdiplus::StringAlignmentNear;
}

void SkinStringFormat::setLineAlignment(Gdiplus::StringAlignment alignment) {
  if (format_) format_->SetLineAlignment(alignment);
}

Gdiplus::StringTrimming SkinStringFormat::trimming() const {
  return format_ ? format_->GetTrimming() : Gdiplus::StringTrimmingNone;
}

void SkinStringFormat::setTrimming(Gdiplus::StringTrimming trimming) {
  if (format_) format_->SetTrimming(trimming);
}

Gdiplus::HotkeyPrefix SkinStringFormat::hotkeyPrefix() const {
  return format_ ? format_->GetHotkeyPrefix() : Gdiplus::HotkeyPrefixNone;
}

void SkinStringFormat::setHotkeyPrefix(Gdiplus::HotkeyPrefix prefix) {
  if (format_) format_->SetHotkeyPrefix(prefix);
}

int SkinStringFormat::flags() const { return format_ ? format_->GetFormatFlags() : 0; }

void SkinStringFormat::setFlags(int flags) {
  if (format_) format_->SetFormatFlags(flags);
}

}  // namespace ql
