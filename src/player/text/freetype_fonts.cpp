#include "player/text/freetype_fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cctype>
#include <filesystem>
#include <map>
#include <tuple>

namespace text {

namespace {

std::string lowercase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Collects an outline as edges in ems, y down. Cubic pieces (OpenType
// outlines) become quadratics, one per half of the cubic.
struct OutlineSink {
  std::vector<swf::Edge>* edges;
  double scale;  // ems per font unit
  double x = 0, y = 0, startX = 0, startY = 0;
  bool open = false;

  void add(double x1, double y1, bool curve, double cx, double cy) {
    if (x != x1 || y != y1) edges->push_back(swf::makeEdge(x, y, x1, y1, curve, cx, cy));
    x = x1;
    y = y1;
  }
  void close() {
    if (open) add(startX, startY, false, 0, 0);
    open = false;
  }
  double px(const FT_Vector* v) const { return v->x * scale; }
  double py(const FT_Vector* v) const { return -v->y * scale; }
};

int moveTo(const FT_Vector* to, void* user) {
  auto* s = static_cast<OutlineSink*>(user);
  s->close();
  s->x = s->startX = s->px(to);
  s->y = s->startY = s->py(to);
  s->open = true;
  return 0;
}

int lineTo(const FT_Vector* to, void* user) {
  auto* s = static_cast<OutlineSink*>(user);
  s->add(s->px(to), s->py(to), false, 0, 0);
  return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* s = static_cast<OutlineSink*>(user);
  s->add(s->px(to), s->py(to), true, s->px(control), s->py(control));
  return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* s = static_cast<OutlineSink*>(user);
  double x0 = s->x, y0 = s->y, x1 = s->px(c1), y1 = s->py(c1), x2 = s->px(c2), y2 = s->py(c2);
  double x3 = s->px(to), y3 = s->py(to);
  // Split at the middle; each half's quadratic control point is where its
  // end tangents meet, approximated by the usual 3/4 rule.
  double mx = (x0 + 3 * x1 + 3 * x2 + x3) / 8, my = (y0 + 3 * y1 + 3 * y2 + y3) / 8;
  double ax = (x0 + x1) / 2, ay = (y0 + y1) / 2, bx = (x1 + x2) / 2, by = (y1 + y2) / 2;
  double cx = (x2 + x3) / 2, cy = (y2 + y3) / 2;
  double abx = (ax + bx) / 2, aby = (ay + by) / 2, bcx = (bx + cx) / 2, bcy = (by + cy) / 2;
  s->add(mx, my, true, (3 * (ax + abx) / 2 - (x0 + mx) / 2) / 2, (3 * (ay + aby) / 2 - (y0 + my) / 2) / 2);
  s->add(x3, y3, true, (3 * (bcx + cx) / 2 - (mx + x3) / 2) / 2, (3 * (bcy + cy) / 2 - (my + y3) / 2) / 2);
  return 0;
}

class FreeTypeFonts final : public DeviceFonts {
 public:
  explicit FreeTypeFonts(FT_Library library) : library_(library) {}
  ~FreeTypeFonts() override {
    for (Face& f : faces_) FT_Done_Face(f.face);
    FT_Done_FreeType(library_);
  }

  void addFile(const std::string& path) {
    FT_Face first = nullptr;
    if (FT_New_Face(library_, path.c_str(), 0, &first)) return;
    long count = first->num_faces;
    faces_.push_back(describe(first));
    for (long i = 1; i < count; ++i) {
      FT_Face f = nullptr;
      if (!FT_New_Face(library_, path.c_str(), i, &f)) faces_.push_back(describe(f));
    }
  }
  bool empty() const { return faces_.empty(); }

  const DeviceGlyph* glyph(const std::string& face, bool bold, bool italic, char32_t c) override {
    auto key = std::make_tuple(face, bold, italic, c);
    auto it = glyphs_.find(key);
    if (it != glyphs_.end()) return it->second.get();
    std::unique_ptr<DeviceGlyph> g;
    const Face* f = pick(face, bold, italic, c);
    if (f) g = load(*f, bold && !f->bold, italic && !f->italic, c);
    return (glyphs_[key] = std::move(g)).get();
  }

  DeviceFace metrics(const std::string& face, bool bold, bool italic) override {
    DeviceFace m;
    const Face* f = pick(face, bold, italic, U'A');
    if (!f) return m;
    double em = f->face->units_per_EM ? f->face->units_per_EM : 1000;
    m.ascent = f->face->ascender / em;
    m.descent = -f->face->descender / em;
    m.leading = std::max(0.0, f->face->height / em - m.ascent - m.descent);
    return m;
  }

 private:
  struct Face {
    FT_Face face;
    std::string family;  // lower case
    bool bold, italic;
  };

  static Face describe(FT_Face f) {
    return Face{f, lowercase(f->family_name ? f->family_name : ""), (f->style_flags & FT_STYLE_FLAG_BOLD) != 0,
                (f->style_flags & FT_STYLE_FLAG_ITALIC) != 0};
  }

  static bool has(const Face& f, char32_t c) { return FT_Get_Char_Index(f.face, c) != 0; }

  // The named family in the closest style that has the character; else the
  // first face that has it (the fallback order is the files' order).
  const Face* pick(const std::string& name, bool bold, bool italic, char32_t c) const {
    std::string key = lowercase(name);
    const Face* best = nullptr;
    int bestScore = -1;
    for (const Face& f : faces_) {
      if (f.family != key || !has(f, c)) continue;
      int score = (f.bold == bold) + (f.italic == italic);
      if (score > bestScore) {
        best = &f;
        bestScore = score;
      }
    }
    if (best) return best;
    for (const Face& f : faces_)
      if (!f.bold && !f.italic && has(f, c)) return &f;
    for (const Face& f : faces_)
      if (has(f, c)) return &f;
    return nullptr;
  }

  std::unique_ptr<DeviceGlyph> load(const Face& f, bool embolden, bool slant, char32_t c) {
    FT_UInt index = FT_Get_Char_Index(f.face, c);
    if (FT_Load_Glyph(f.face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) return nullptr;
    FT_GlyphSlot slot = f.face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return nullptr;
    double em = f.face->units_per_EM ? f.face->units_per_EM : 1000;
    auto g = std::make_unique<DeviceGlyph>();
    FT_Outline* outline = &slot->outline;
    if (embolden) FT_Outline_Embolden(outline, static_cast<FT_Pos>(em / 24));
    if (slant) {
      FT_Matrix shear = {0x10000, static_cast<FT_Fixed>(0.2 * 0x10000), 0, 0x10000};
      FT_Outline_Transform(outline, &shear);
    }
    OutlineSink sink{&g->outline, 1 / em};
    FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    FT_Outline_Decompose(outline, &funcs, &sink);
    sink.close();
    g->advance = (slot->metrics.horiAdvance + (embolden ? em / 24 : 0)) / em;
    return g;
  }

  FT_Library library_;
  std::vector<Face> faces_;
  std::map<std::tuple<std::string, bool, bool, char32_t>, std::unique_ptr<DeviceGlyph>> glyphs_;
};

}  // namespace

std::unique_ptr<DeviceFonts> makeFreeTypeFonts(const std::vector<std::string>& fontFiles) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library)) return nullptr;
  auto fonts = std::make_unique<FreeTypeFonts>(library);
  for (const std::string& path : fontFiles) fonts->addFile(path);
  if (fonts->empty()) return nullptr;
  return fonts;
}

std::vector<std::string> installedChineseFonts() {
  std::vector<std::string> out;
  for (const char* path : {"/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
                           "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"})
    if (std::filesystem::exists(path)) out.push_back(path);
  return out;
}

}  // namespace text
