// The skinned form's caption bar: its buttons laid out along the top edge,
// their hover fades and pressed look, the caption text, and, on a form whose
// background is see-through, the band and frame that keep it readable.
#pragma once
#include "ui/caption_buttons.h"
#include "ui/gdiplus_headers.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ql {

struct SkinRect;

class CaptionBar {
 public:
  void layout(int buttonSet, int width);
  const std::vector<CaptionButton>& buttons() const { return buttons_; }
  int buttonAt(int x, int y) const { return captionButtonAt(buttons_, x, y); }
  // The button's rectangle; empty for a bit not shown.
  SkinRect rect(int bit) const;

  // The hovered and pressed buttons (0: none).
  void setHovered(int bit);
  int hovered() const { return hovered_; }
  void setPressed(int bit) { pressed_ = bit; }
  // Advances the fades; true while one runs. `changed` gets the bits whose
  // look changed.
  bool animate(int elapsedMs, std::vector<int>& changed);

  // Caption text and buttons. With `seeThrough` (a layered form whose
  // background lets the desktop through) a dark band and a frame come first,
  // and the buttons and text are drawn light on it.
  void paint(Gdiplus::Graphics& graphics, int width, int height, const std::string& caption,
             bool frameLine, bool seeThrough, bool maximised) const;

 private:
  struct State {
    int bit = 0;
    float hover = 0;
    bool hovered = false;
  };
  void paintButton(Gdiplus::Graphics& graphics, const CaptionButton& button, const State& state,
                   bool seeThrough, bool maximised) const;

  std::vector<CaptionButton> buttons_;
  std::vector<State> states_;
  int pressed_ = 0, hovered_ = 0;
};

// The band and frame of a see-through form: dark slate, opaque enough to read.
constexpr uint32_t kSeeThroughChrome = 0xD0263440;

}  // namespace ql
