#include "player/core/hit_test.h"

#include <algorithm>
#include <cmath>

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

}  // namespace

bool shapeContains(const swf::ShapeDef& shape, double x, double y) {
  if (!inRect(shape.bounds, x, y)) return false;
  for (const swf::ShapeLayer& layer : shape.layers) {
    for (const std::vector<swf::Edge>& edges : layer.fillEdges) {
      int winding = 0;
      for (const swf::Edge& e : edges) winding += crossings(e, x, y);
      if (shape.nonZero ? winding != 0 : (winding & 1) != 0) return true;
    }
    for (size_t i = 0; i < layer.lines.size(); ++i)
      if (nearStroke(layer.lineEdges[i], std::max(layer.lines[i].width, 20.0) / 2, x, y)) return true;
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
    case CharacterKind::StaticText: {
      swf::Matrix inverse;
      return def.staticText->matrix.invert(&inverse) &&
             inRect(def.staticText->bounds, inverse.mapX(x, y), inverse.mapY(x, y));
    }
    case CharacterKind::EditText:
      return inRect(def.editText->bounds, x, y);
    case CharacterKind::Button:
      return buttonHitContains(movie, *def.button, x, y, nesting);
    case CharacterKind::Sprite:
      if (!instance) return !def.timeline->frames.empty() && frameContains(movie, def.timeline->frames[0], x, y, nesting);
      // What scripts drew lies below the children.
      if (const Drawing* drawing = instance->drawing())
        if (shapeContains(drawing->shape, x, y)) return true;
      for (const auto& entry : instance->children()) {
        const DisplayObject& o = entry.second;
        swf::Matrix inverse;
        if (!o.def || o.clipDepth > 0 || !o.visible || !o.matrix.invert(&inverse)) continue;
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
    case CharacterKind::Bitmap:
      return false;
  }
  return false;
}

}  // namespace player
