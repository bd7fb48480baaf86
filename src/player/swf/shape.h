// Shape definitions (DefineShape 1-4, DefineMorphShape 1-2) in the form the
// renderer draws them from: edges grouped by the style they border.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/swf/types.h"

namespace swf {

class BitReader;

struct GradientStop {
  uint8_t ratio = 0;
  Rgba color;
};

enum class Spread : uint8_t { Pad, Reflect, Repeat };

struct Gradient {
  Spread spread = Spread::Pad;
  bool linearRgb = false;
  double focal = 0;  // -1..1 along the gradient's x axis (focal gradients)
  std::vector<GradientStop> stops;
};

enum class FillKind : uint8_t { Solid, Linear, Radial, Focal, Bitmap };

struct FillStyle {
  FillKind kind = FillKind::Solid;
  Rgba color;
  Matrix matrix;  // gradient square or bitmap pixels → shape twips
  Gradient gradient;
  uint16_t bitmapId = 0;
  bool repeat = true;
  bool smooth = true;
};

enum class Cap : uint8_t { Round, None, Square };
enum class Join : uint8_t { Round, Bevel, Miter };

struct LineStyle {
  double width = 20;  // twips
  Rgba color;
  bool hasFill = false;  // DefineShape4: the stroke is painted with `fill`
  FillStyle fill;
  Cap startCap = Cap::Round;
  Cap endCap = Cap::Round;
  Join join = Join::Round;
  double miterLimit = 3;
  bool noHScale = false;
  bool noVScale = false;
  bool noClose = false;
};

// One straight (curve == false) or quadratic edge, in twips.
struct Edge {
  double x0 = 0, y0 = 0, cx = 0, cy = 0, x1 = 0, y1 = 0;
  bool curve = false;
};

// A quadratic edge, or with curve false a straight one (its control point
// halfway, where a morph to a curve wants it).
inline Edge makeEdge(double x0, double y0, double x1, double y1, bool curve = false, double cx = 0,
                     double cy = 0) {
  Edge e;
  e.x0 = x0;
  e.y0 = y0;
  e.x1 = x1;
  e.y1 = y1;
  e.curve = curve;
  e.cx = curve ? cx : (x0 + x1) / 2;
  e.cy = curve ? cy : (y0 + y1) / 2;
  return e;
}

// Styles set by one style-array record, with the edges that use them. A
// shape that brings in new style arrays starts a new layer, drawn above the
// earlier ones (fills, then strokes, layer by layer).
struct ShapeLayer {
  std::vector<FillStyle> fills;
  std::vector<LineStyle> lines;
  // Per fill style, every edge that borders it, turned so the style lies on
  // the same side of all of them.
  std::vector<std::vector<Edge>> fillEdges;
  // Per line style, the stroked edges in drawing order.
  std::vector<std::vector<Edge>> lineEdges;
};

struct ShapeDef {
  Rect bounds;
  bool nonZero = false;  // DefineShape4 flag; otherwise even-odd per style
  std::vector<ShapeLayer> layers;
};

// Both ends of a morph; `start` and `end` have the same layers, styles and
// edge counts, so a blend is element by element.
struct MorphShapeDef {
  ShapeDef start;
  ShapeDef end;
};

// `version` is 1 to 4 for DefineShape, DefineShape2..4. Reads the character
// id into *id. False when the record is unusable; a shape cut short keeps
// the edges read so far.
bool parseShape(const uint8_t* data, size_t size, int version, uint16_t* id, ShapeDef* out);
// A glyph: SHAPE records whose one fill style is the glyph. Appends to
// *edges every edge that borders it, turned so the glyph lies on the same
// side of all of them.
void parseGlyph(const uint8_t* data, size_t size, std::vector<Edge>* edges);
// `version` 1 or 2 for DefineMorphShape and DefineMorphShape2.
bool parseMorphShape(const uint8_t* data, size_t size, int version, uint16_t* id,
                     MorphShapeDef* out);
// The morph at ratio t (0 = start, 1 = end) into *out, reusing its storage.
void blendMorph(const MorphShapeDef& morph, double t, ShapeDef* out);

}  // namespace swf
