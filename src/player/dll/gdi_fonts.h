// Device fonts through GDI: glyph outlines of the system's faces, with the
// Chinese faces standing in for names the system lacks.
#pragma once
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "player/text/device_fonts.h"

namespace qlswf {

class GdiFonts final : public text::DeviceFonts {
 public:
  GdiFonts();
  ~GdiFonts() override;
  GdiFonts(const GdiFonts&) = delete;
  GdiFonts& operator=(const GdiFonts&) = delete;

  const text::DeviceGlyph* glyph(const std::string& face, bool bold, bool italic, char32_t c) override;
  text::DeviceFace metrics(const std::string& face, bool bold, bool italic) override;

 private:
  struct Face {
    HFONT font = nullptr;
    text::DeviceFace metrics;
  };
  // The face of that name, made at an em of kEm pixels; null when GDI
  // cannot make one.
  Face* face(const std::wstring& name, bool bold, bool italic);
  bool has(Face& f, char32_t c);
  std::unique_ptr<text::DeviceGlyph> outline(Face& f, char32_t c);

  HDC dc_;
  std::map<std::tuple<std::wstring, bool, bool>, Face> faces_;
  std::map<std::tuple<std::string, bool, bool, char32_t>, std::unique_ptr<text::DeviceGlyph>> glyphs_;
};

}  // namespace qlswf
