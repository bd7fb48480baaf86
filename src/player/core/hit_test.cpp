#include "player/core/hit_test.h"

#include <algorithm>
#include <cmath>

#include "player/core/bounds.h"

namespace player {

namespace {

constexpr int kMaxNesting = 32;

// How many times, and which way, the edge crosses the ray from (x, y)
// towards +x.
int crossings(const swf::Edge& e, double x, double y) {
  if (!e.curve) {
    if ((e.y0 <= y) == (e.y1 <= y)) return 0;
    double t = (y - e.y0) / (e.y1 - e.y0);
    return e.x0 + t * (e.x1 - e.x0) > x ? (e.y1 > e.y0 ? 1 : -1) : 0;
  }
  // y(t) = a t² + b t + c, with the roots in [0, 1).
  double a = e.y0 - 2 * e.cy + e.y1, b = 2 * (e.cy - e.y0), c = e.y0 - y;
  double roots[2];
  int n = 0;
  if (std::fabs(a) < 1e-12) {
    if (std::fabs(b) > 1e-12) roots[n++] = -c / b;
  } else {
    double d = b * b - 4 * a * c;
    if (d >= 0) {
      double s = std::sqrt(d);
      roots[n++] = (-b - s) / (2 * a);
      roots[n++] = (-b + s) / (2 * a);
    }
  }
  int total = 0;
  for (int i = 0; i < n; ++i) {
    double t = roots[i];
    if (t < 0 || t >= 1) continue;
    double px = (1 - t) * (1 - t) * e.x0 + 2 * t * (1 - t) * e.cx + t * t * e.x1;
    double slope = 2 * a * t + b;  // dy/dt
    if (px > x && slope != 0) total += slope > 0 ? 1 : -1;
  }
  return total;
}

double distanceToSegment(double px, double py, double x0, double y0, double x1, double y1) {
  double dx = x1 - x0, dy = y1 - y0;
  double len = dx * dx + dy * dy;
  double t = len > 0 ? std::max(0.0, std::min(1.0, ((px - x0) * dx + (py - y0) * dy) / len)) : 0;
  return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

bool nearStroke(const std::vector<swf::Edge>& edges, double reach, double x, double y) {
  for (const swf::Edge& e : edges) {
    if (!e.curve) {
      if (distanceToSegment(x, y, e.x0, e.y0, e.x1, e.y1) <= reach) return true;
      continue;
    }
    // Curves as eight chords: close enough for a pointer.
    double ax = e.x0, ay = e.y0;
    for (int i = 1; i <= 8; ++i) {
      double t = i / 8.0;
      double bx = (1 - t) * (1 - t) * e.x0 + 2 * t * (1 - t) * e.cx + t * t * e.x1;
      double by = (1 - t) * (1 - t) * e.y0 + 2 * t * (1 - t) * e.cy + t * t * e.y1;
      if (distanceToSegment(x, y, ax, ay, bx, by) <= reach) return true;
      ax = bx;
      ay = by;
    }
  }
  return false;
}

bool inRect(const swf::Rect& r, double x, double y) { return x >= r.xMin && x <= r.xMax && y >= r.yMin && y <= r.yMax; }

// Whether any placement of a frame (its characters through their matrices)
// contains the point.
bool frameContains(const Movie& movie, const FrameDef& frame, double x, double y, int nesting) {
  for (const FrameCommand& c : frame.commands) {
    if (c.remove || !c.place.hasCharacter) continue;
    const CharacterDef* def = movie.character(c.place.characterId);
    swf::Matrix inverse;
    if (!def || !c.place.matrix.invert(&inverse)) continue;
    if (characterContains(movie, *def, nullptr, inverse.mapX(x, y), inverse.mapY(x, y), nesting + 1)) return true;
  }
  return false;
}

bool outlineContains(const std::vector<swf::Edge>& edges, double x, double y) {
  int winding = 0;
  for (const swf::Edge& e : edges) winding += crossings(e, x, y);
  return winding != 0;
}

// Static text answers where its glyphs are drawn, not its whole box; text
// with the advanced anti-aliasing by its box.
bool staticTextContains(const Movie& movie, const swf::StaticTextDef& text, double x, double y) {
  swf::Matrix inverse;
  if (!text.matrix.invert(&inverse)) return false;
  double tx = inverse.mapX(x, y), ty = inverse.mapY(x, y);
  if (text.advancedAntiAliasing) return inRect(text.bounds, tx, ty);
  for (const swf::TextRun& run : text.runs) {
    const text::EmbeddedFont* font = movie.font(run.fontId);
    if (!font || !(run.height > 0)) continue;
    const swf::FontDef& def = font->def();
    double scale = run.height / def.emUnits;
    double gx = run.x;
    for (const swf::GlyphEntry& g : run.glyphs) {
      if (g.index < def.glyphs.size() && outlineContains(def.glyphs[g.index], (tx - gx) / scale, (ty - run.y) / scale))
        return true;
      gx += g.advance;
    }
  }
  return false;
}

}  // namespace

bool shapeContains(const swf::ShapeDef& shape, double x, double y) {
  if (!inRect(shape.bounds, x, y)) return false;
  for (const swf::ShapeLayer& layer : shape.layers) {
    for (const std::vector<swf::Edge>& edges : layer.fillEdges) {
      int winding = 0;
      for (const swf::Edge& e : edges) winding += crossings(e, x, y);
      if (shape.nonZero ? winding != 0 : (winding & 1) != 0) return true;
    }
    // A hairline is a pixel wide on the stage whatever the scale: too thin
    // to reach anything measured here.
    for (size_t i = 0; i < layer.lines.size(); ++i)
      if (layer.lines[i].width > 0 && nearStroke(layer.lineEdges[i], std::max(layer.lines[i].width, 20.0) / 2, x, y))
        return true;
  }
  return false;
}

bool buttonHitContains(const Movie& movie, const swf::ButtonDef& button, double x, double y, int nesting) {
  if (nesting > kMaxNesting) return false;
  for (const swf::ButtonRecord& b : button.records) {
    if (!(b.states & swf::kStateHit)) continue;
    const CharacterDef* def = movie.character(b.characterId);
    swf::Matrix inverse;
    if (!def || !b.matrix.invert(&inverse)) continue;
    if (characterContains(movie, *def, nullptr, inverse.mapX(x, y), inverse.mapY(x, y), nesting + 1)) return true;
  }
  return false;
}

bool characterContains(const Movie& movie, const CharacterDef& def, const SpriteInstance* instance, double x,
                       double y, int nesting) {
  if (nesting > kMaxNesting) return false;
  switch (def.kind) {
    case CharacterKind::Shape:
      return shapeContains(def.shape, x, y);
    case CharacterKind::Morph:
      return shapeContains(def.morph->start, x, y);
    case CharacterKind::StaticText:
      return staticTextContains(movie, *def.staticText, x, y);
    case CharacterKind::EditText:
      return inRect(def.editText->bounds, x, y);
    case CharacterKind::Button:
      return buttonHitContains(movie, *def.button, x, y, nesting);
    case CharacterKind::Sprite: {
      if (!instance) return !def.timeline->frames.empty() && frameContains(movie, def.timeline->frames[0], x, y, nesting);
      // A clip masked by another shows (and answers) only where the mask covers.
      if (SpriteInstance* mask = instance->mask()) {
        const DisplayObject* maskObject = mask->displayObject();
        swf::Matrix toMask;
        if (!maskObject || !maskObject->def || !mask->worldMatrix().invert(&toMask)) return false;
        swf::Matrix m = toMask * instance->worldMatrix();
        if (!characterContains(movie, *maskObject->def, mask, m.mapX(x, y), m.mapY(x, y), nesting + 1)) return false;
      }
      // What scripts drew lies below the children.
      if (const Drawing* drawing = instance->drawing())
        if (shapeContains(drawing->shape, x, y)) return true;
      // Clipping layers: the depths each covers, and whether the point is in it.
      struct ClipLayer {
        int from, to;
        bool contains;
      };
      std::vector<ClipLayer> layers;
      for (const auto& entry : instance->children()) {
        const DisplayObject& o = entry.second;
        swf::Matrix inverse;
        if (o.clipDepth <= 0 || !o.def || !o.matrix.invert(&inverse)) continue;
        bool in = characterContains(movie, *o.def, o.sprite.get(), inverse.mapX(x, y), inverse.mapY(x, y), nesting + 1);
        layers.push_back({entry.first, o.clipDepth, in});
      }
      for (const auto& entry : instance->children()) {
        const DisplayObject& o = entry.second;
        swf::Matrix inverse;
        if (!o.def || o.clipDepth > 0 || !o.visible || !o.matrix.invert(&inverse)) continue;
        bool clippedAway = false;
        for (const ClipLayer& l : layers)
          if (entry.first > l.from && entry.first <= l.to && !l.contains) clippedAway = true;
        if (clippedAway) continue;
        if (o.def->kind == CharacterKind::Morph) {
          // The morph as it stands at its ratio.
          const swf::ShapeDef* shape = o.morphShape && o.morphRatio == o.ratio ? o.morphShape.get() : nullptr;
          swf::ShapeDef blended;
          if (!shape) {
            swf::blendMorph(*o.def->morph, o.ratio / 65535.0, &blended);
            shape = &blended;
          }
          if (shapeContains(*shape, inverse.mapX(x, y), inverse.mapY(x, y))) return true;
          continue;
        }
        if (o.def->kind == CharacterKind::StaticText && o.def->staticText->advancedAntiAliasing) {
          // Its box as it lies in the clip, square to the clip's axes.
          double box[4];
          clearBox(box);
          addObjectBounds(o, o.matrix, box);
          if (!boxIsEmpty(box) && x >= box[0] && x <= box[2] && y >= box[1] && y <= box[3]) return true;
          continue;
        }
        // An attached bitmap answers over its whole rectangle.
        if (o.scriptBitmap) {
          const swf::Bitmap& b = o.scriptBitmap->bitmap;
          if (b.width > 0 &&
              inRect(swf::Rect{0, b.width * 20, 0, b.height * 20}, inverse.mapX(x, y), inverse.mapY(x, y)))
            return true;
          continue;
        }
        if (characterContains(movie, *o.def, o.sprite.get(), inverse.mapX(x, y), inverse.mapY(x, y), nesting + 1))
          return true;
      }
      return false;
    }
    case CharacterKind::Bitmap:
      return shapeContains(def.shape, x, y);
    case CharacterKind::Video:
      return x >= 0 && y >= 0 && x <= def.video->width * 20.0 && y <= def.video->height * 20.0;
  }
  return false;
}

}  // namespace player
