#include "player/dll/gdi_fonts.h"

#include <vector>

namespace qlswf {

namespace {

// Glyphs are taken at an em of this many pixels, fine enough to scale down.
constexpr int kEm = 1024;

// Faces tried, in turn, for characters the named face lacks: the Chinese
// faces of the systems this player serves, then what Western text uses.
const wchar_t* const kFallbacks[] = {L"\u5FAE\u8F6F\u96C5\u9ED1", L"\u5B8B\u4F53", L"SimSun", L"Arial"};

std::wstring wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
  return out;
}

// Flash's generic names.
std::wstring systemName(const std::string& face) {
  if (face == "_sans") return L"Arial";
  if (face == "_serif") return L"Times New Roman";
  if (face == "_typewriter") return L"Courier New";
  if (face.empty()) return kFallbacks[1];
  return wide(face);
}

double fixedValue(FIXED f) { return f.value + f.fract / 65536.0; }

}  // namespace

GdiFonts::GdiFonts() : dc_(CreateCompatibleDC(nullptr)) {}

GdiFonts::~GdiFonts() {
  for (auto& entry : faces_)
    if (entry.second.font) DeleteObject(entry.second.font);
  if (dc_) DeleteDC(dc_);
}

GdiFonts::Face* GdiFonts::face(const std::wstring& name, bool bold, bool italic) {
  auto key = std::make_tuple(name, bold, italic);
  auto it = faces_.find(key);
  if (it != faces_.end()) return it->second.font ? &it->second : nullptr;
  Face& f = faces_[key];
  LOGFONTW lf = {};
  lf.lfHeight = -kEm;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  lstrcpynW(lf.lfFaceName, name.c_str(), LF_FACESIZE);
  f.font = dc_ ? CreateFontIndirectW(&lf) : nullptr;
  if (!f.font) return nullptr;
  HGDIOBJ old = SelectObject(dc_, f.font);
  TEXTMETRICW tm;
  if (GetTextMetricsW(dc_, &tm)) {
    f.metrics.ascent = double(tm.tmAscent) / kEm;
    f.metrics.descent = double(tm.tmDescent) / kEm;
    f.metrics.leading = double(tm.tmExternalLeading) / kEm;
  }
  SelectObject(dc_, old);
  return &f;
}

bool GdiFonts::has(Face& f, char32_t c) {
  if (c >= 0x10000) return false;
  wchar_t text = static_cast<wchar_t>(c);
  WORD index = 0xFFFF;
  HGDIOBJ old = SelectObject(dc_, f.font);
  DWORD got = GetGlyphIndicesW(dc_, &text, 1, &index, GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc_, old);
  return got != GDI_ERROR && index != 0xFFFF;
}

// GGO_NATIVE outlines: polygons of lines and quadratic B-splines (whose
// on-curve points between two controls are implied), y up.
std::unique_ptr<text::DeviceGlyph> GdiFonts::outline(Face& f, char32_t c) {
  HGDIOBJ old = SelectObject(dc_, f.font);
  GLYPHMETRICS gm;
  MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  UINT format = GGO_NATIVE | GGO_UNHINTED;
  DWORD size = GetGlyphOutlineW(dc_, static_cast<UINT>(c), format, &gm, 0, nullptr, &identity);
  auto g = std::make_unique<text::DeviceGlyph>();
  std::vector<char> buffer;
  if (size != GDI_ERROR && size > 0) {
    buffer.resize(size);
    if (GetGlyphOutlineW(dc_, static_cast<UINT>(c), format, &gm, size, buffer.data(), &identity) == GDI_ERROR)
      buffer.clear();
  } else if (size == GDI_ERROR) {
    SelectObject(dc_, old);
    return nullptr;
  }
  SelectObject(dc_, old);
  g->advance = double(gm.gmCellIncX) / kEm;
  auto point = [](const POINTFX& p, double* x, double* y) {
    *x = fixedValue(p.x) / kEm;
    *y = -fixedValue(p.y) / kEm;
  };
  auto add = [&](double x0, double y0, double x1, double y1, bool curve, double cx, double cy) {
    g->outline.push_back(swf::makeEdge(x0, y0, x1, y1, curve, cx, cy));
  };
  size_t at = 0;
  while (at + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
    const TTPOLYGONHEADER* header = reinterpret_cast<const TTPOLYGONHEADER*>(buffer.data() + at);
    size_t end = at + header->cb;
    if (header->cb < sizeof(TTPOLYGONHEADER) || end > buffer.size()) break;
    double startX, startY, x, y;
    point(header->pfxStart, &startX, &startY);
    x = startX;
    y = startY;
    size_t p = at + sizeof(TTPOLYGONHEADER);
    while (p + sizeof(WORD) * 2 <= end) {
      const TTPOLYCURVE* curve = reinterpret_cast<const TTPOLYCURVE*>(buffer.data() + p);
      size_t bytes = sizeof(WORD) * 2 + sizeof(POINTFX) * curve->cpfx;
      if (p + bytes > end) break;
      for (WORD i = 0; i < curve->cpfx; ++i) {
        double px, py;
        point(curve->apfx[i], &px, &py);
        if (curve->wType == TT_PRIM_QSPLINE && i + 1 < curve->cpfx) {
          // A control point; the next one, or the midpoint before it, is on the curve.
          double nx, ny;
          point(curve->apfx[i + 1], &nx, &ny);
          bool last = i + 2 == curve->cpfx;
          double ex = last ? nx : (px + nx) / 2, ey = last ? ny : (py + ny) / 2;
          add(x, y, ex, ey, true, px, py);
          x = ex;
          y = ey;
          if (last) ++i;
        } else {
          add(x, y, px, py, false, 0, 0);
          x = px;
          y = py;
        }
      }
      p += bytes;
    }
    if (x != startX || y != startY) add(x, y, startX, startY, false, 0, 0);
    at = end;
  }
  return g;
}

const text::DeviceGlyph* GdiFonts::glyph(const std::string& name, bool bold, bool italic, char32_t c) {
  auto key = std::make_tuple(name, bold, italic, c);
  auto it = glyphs_.find(key);
  if (it != glyphs_.end()) return it->second.get();
  std::unique_ptr<text::DeviceGlyph> g;
  Face* f = face(systemName(name), bold, italic);
  if (f && has(*f, c)) g = outline(*f, c);
  for (const wchar_t* fallback : kFallbacks) {
    if (g) break;
    Face* other = face(fallback, bold, italic);
    if (other && has(*other, c)) g = outline(*other, c);
  }
  return (glyphs_[key] = std::move(g)).get();
}

text::DeviceFace GdiFonts::metrics(const std::string& name, bool bold, bool italic) {
  Face* f = face(systemName(name), bold, italic);
  return f ? f->metrics : text::DeviceFace();
}

}  // namespace qlswf
