// PageButton: one of the control window's three large page buttons. Its
// picture is a whole 72 x 72 face (tile and shadow in the upper part); the
// page's name is written in the band below the tile. A selected button sits
// on an accent-tinted plate, a hovered one on a light plate.
#pragma once
#include "ui/skin_button.h"
#include "ui/skin_image.h"

namespace ql {

class PageButton : public SkinButton {
 public:
  bool setFace(const Bytes& picture);
  void paint(Gdiplus::Graphics& graphics) override;

 private:
  SkinImage face_;
};

}  // namespace ql
