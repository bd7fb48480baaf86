// SkinCheckBox: a check box with a caption, drawn by its form. Without
// pictures it draws a rounded box with a check mark in the theme; with two
// pictures (unchecked, checked) it draws those stretched over the element.
#pragma once
#include "ui/skin_element.h"
#include "ui/skin_image.h"

namespace ql {

class SkinCheckBox : public SkinElement {
 public:
  bool isChecked() const { return checked_; }
  // Setting the state from code does not call onCheckChanged.
  void setChecked(bool checked);
  bool setPictures(const Bytes& unchecked, const Bytes& checked);
  void setPictures(const SkinImage& unchecked, const SkinImage& checked);

  // After a click has changed the state.
  std::function<void(SkinCheckBox& box, bool checked)> onCheckChanged;

  void paint(Gdiplus::Graphics& graphics) override;
  void clicked() override;
  bool takesFocus() const override { return true; }
  bool drawsStateFades() const override { return true; }
  // Space switches a focused box.
  bool keyDown(int key, int keys) override;
  bool animate(int elapsedMs) override;

 private:
  bool checked_ = false;
  float check_ = 0;  // check-mark fade, 0..1
  SkinImage uncheckedPicture_, checkedPicture_;
};

}  // namespace ql
