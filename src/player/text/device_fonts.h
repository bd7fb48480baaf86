// Device fonts: text whose movie carries no outlines is drawn with the
// system's own fonts. The engine asks through this seam; the player library
// answers with GDI glyph outlines, the native tools with FreeType.
#pragma once
#include <string>
#include <vector>

#include "player/swf/shape.h"

namespace text {

// One character of a face, in units of its em (y down, baseline at 0).
struct DeviceGlyph {
  std::vector<swf::Edge> outline;
  double advance = 0;
};

struct DeviceFace {
  double ascent = 0.9, descent = 0.2, leading = 0;  // in ems
};

class DeviceFonts {
 public:
  virtual ~DeviceFonts() = default;
  // `face` is the movie's font name in UTF-8: a family, or "_sans", "_serif",
  // "_typewriter". Faces the system lacks fall back to one that has the
  // character (for Chinese text, the system's Chinese face). Null when no
  // face has the character. The glyph stays valid while this object lives.
  virtual const DeviceGlyph* glyph(const std::string& face, bool bold, bool italic, char32_t c) = 0;
  virtual DeviceFace metrics(const std::string& face, bool bold, bool italic) = 0;
};

}  // namespace text
