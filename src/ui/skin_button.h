// SkinButton: a push button drawn by its form. Without pictures it is a
// rounded button in the theme (light, or filled with the accent colour);
// with state pictures (normal, hover, pressed) it draws those, cross-fading
// on hover. An icon picture puts a picture above the caption, as on the
// control window's page buttons, which also use the selected look.
#pragma once
#include "ui/skin_element.h"
#include "ui/skin_image.h"

namespace ql {

class SkinButton : public SkinElement {
 public:
  // Empty bytes leave that state to the next lower one (pressed falls back to
  // hover, hover to normal). Returns whether the normal picture loaded.
  bool setStatePictures(const Bytes& normal, const Bytes& hover = Bytes(),
                        const Bytes& pressed = Bytes());
  void setStatePictures(const SkinImage& normal, const SkinImage& hover, const SkinImage& pressed);
  bool setIcon(const Bytes& picture);
  void setIcon(const SkinImage& picture);
  // Filled with the accent colour: the window's main action.
  void setAccent(bool accent);
  bool isAccent() const { return accent_; }
  // The selected look (a toggle button that is on).
  void setSelected(bool selected);
  bool isSelected() const { return selected_; }

  void paint(Gdiplus::Graphics& graphics) override;
  bool takesFocus() const override { return true; }
  bool drawsStateFades() const override { return true; }
  // Enter and Space press a focused button.
  bool keyDown(int key, int keys) override;

 private:
  void paintPlain(Gdiplus::Graphics& graphics, const Gdiplus::RectF& box);
  void paintPictures(Gdiplus::Graphics& graphics, const Gdiplus::RectF& box);
  void paintIconAndText(Gdiplus::Graphics& graphics, const Gdiplus::RectF& box);

  SkinImage normalPicture_, hoverPicture_, pressedPicture_, icon_;
  bool accent_ = false;
  bool selected_ = false;
};

// Draws `picture` stretched over `box` at `opacity` (0..1).
void drawPicture(Gdiplus::Graphics& graphics, const SkinImage& picture, const Gdiplus::RectF& box,
                 float opacity = 1.0f);

}  // namespace ql
