// What PlaceObject3 adds to a placed object: its blend mode and its filters.
#pragma once
#include <cstdint>
#include <vector>

#include "player/swf/shape.h"
#include "player/swf/types.h"

namespace swf {

class BitReader;

// Numbered as in the file (0 and 1 both mean normal).
enum class BlendMode : uint8_t {
  Normal = 1,
  Layer,
  Multiply,
  Screen,
  Lighten,
  Darken,
  Difference,
  Add,
  Subtract,
  Invert,
  Alpha,
  Erase,
  Overlay,
  HardLight,
};

// Unknown numbers draw normally.
BlendMode blendModeFromFile(uint8_t value);

// The filters the player draws. A glow is kept as a drop shadow that is not
// moved.
struct Filter {
  enum class Kind : uint8_t { Blur, DropShadow, Bevel, GradientGlow, GradientBevel, ColorMatrix, Convolution };
  Kind kind = Kind::Blur;
  double blurX = 0, blurY = 0;  // box width in pixels of the object's space
  int passes = 1;               // box blurs run one after another
  Rgba color;           // shadow, glow, a bevel's shadow; a convolution's edge colour
  Rgba highlight;       // a bevel's lit side
  double angle = 0;     // radians, clockwise on screen from the x axis
  double distance = 0;  // pixels
  double strength = 1;  // alpha multiplier of the shadow
  bool inner = false;
  bool knockout = false;
  bool hideObject = false;  // the object itself is not drawn, its shadow is
  bool onTop = false;       // a bevel both inside and outside the object
  std::vector<GradientStop> gradient;  // gradient glows and bevels
  // Colour matrix: 4 rows of 5 (red, green, blue, alpha, offset in 0..255).
  // Convolution: `matrixX` × `matrixY` weights, row by row.
  std::vector<float> matrix;
  int matrixX = 0, matrixY = 0;
  double divisor = 1, bias = 0;
  bool clamp = true, preserveAlpha = false;
};

// Reads a FILTERLIST. False when the list is cut short or holds an unknown
// filter kind (nothing after it can be read then); *out keeps what was read.
bool readFilterList(BitReader& r, std::vector<Filter>* out);

}  // namespace swf
