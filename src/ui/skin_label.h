// SkinLabel: static text drawn by its form, with its own colour, font and
// alignment. It takes no mouse input, so clicks reach what lies beneath,
// except when it has a tooltip: then it takes the pointer to show it.
#pragma once
#include "ui/skin_draw.h"
#include "ui/skin_element.h"

namespace ql {

class SkinLabel : public SkinElement {
 public:
  // TextAlign value; the text is centred vertically unless kTextTop is set.
  void setAlignment(int align);
  int alignment() const { return align_; }
  // kTextSingleLine and kTextTop bits (skin_draw.h); multi-line by default.
  void setTextFlags(int flags);

  void paint(Gdiplus::Graphics& graphics) override;
  bool takesMouseAt(int x, int y) const override;

 private:
  int align_ = kAlignLeft;
  int flags_ = 0;
};

}  // namespace ql
