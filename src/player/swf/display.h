// What PlaceObject3 adds to a placed object: its blend mode and its filters.
#pragma once
#include <cstdint>
#include <vector>

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
// moved; bevels, gradient filters, convolution and colour matrices are read
// past but not kept.
struct Filter {
  enum class Kind : uint8_t { Blur, DropShadow } kind = Kind::Blur;
  double blurX = 0, blurY = 0;  // box width in pixels of the object's space
  int passes = 1;               // box blurs run one after another
  Rgba color;
  double angle = 0;     // radians, clockwise on screen from the x axis
  double distance = 0;  // pixels
  double strength = 1;  // alpha multiplier of the shadow
  bool inner = false;
  bool knockout = false;
  bool hideObject = false;  // the object itself is not drawn, its shadow is
};

// Reads a FILTERLIST. False when the list is cut short or holds an unknown
// filter kind (nothing after it can be read then); *out keeps what was read.
bool readFilterList(BitReader& r, std::vector<Filter>* out);

}  // namespace swf
