#include "ui/skin_element.h"

#include "ui/skin_draw.h"
#include "ui/skin_form.h"
#include "ui/toolkit.h"

namespace ql {

SkinElement::SkinElement() : textColor_(theme::kText) {}

SkinElement::~SkinElement() { destroy(); }

bool SkinElement::create(SkinForm& form, int x, int y, int width, int height,
                         const std::string& text) {
  if (!form.exists()) return false;
  destroy();
  rect_ = {x, y, width, height};
  text_ = text;
  hovered_ = pressed_ = false;
  hover_ = press_ = 0;
  form.addElement(this);
  layout();
  repaint();
  return true;
}

void SkinElement::destroy() {
  if (!form_) return;
  repaint();
  form_->removeElement(this);
}

int SkinElement::index() const { return form_ ? form_->indexOf(this) : 0; }

void SkinElement::move(int x, int y, int width, int height) {
  if (x == rect_.x && y == rect_.y && width == rect_.width && height == rect_.height) return;
  repaint();
  rect_ = {x, y, width, height};
  layout();
  repaint();
}

void SkinElement::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  if (form_) form_->invalidate(rect_);
}

void SkinElement::setEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (!enabled) pressed_ = false;
  if (drawsStateFades()) startAnimation();
  repaint();
}

void SkinElement::setText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  layout();
  repaint();
}

const SkinFont& SkinElement::font() const { return font_ ? *font_ : defaultFont(); }

void SkinElement::setFont(const SkinFont& font) {
  font_.reset(new SkinFont(font));
  layout();
  repaint();
}

void SkinElement::setTextColor(uint32_t argb) {
  textColor_ = argb;
  repaint();
}

void SkinElement::setBackColor(uint32_t argb) {
  backColor_ = argb;
  repaint();
}

void SkinElement::setTooltip(const std::string& text) { tooltip_ = text; }

void SkinElement::repaint() {
  if (form_) form_->invalidate(rect_);
}

bool SkinElement::takesMouseAt(int x, int y) const { return visible_ && rect_.contains(x, y); }

void SkinElement::mouseEnter() {
  hovered_ = true;
  if (drawsStateFades()) startAnimation();
}

void SkinElement::mouseLeave() {
  hovered_ = false;
  if (drawsStateFades()) startAnimation();
}

void SkinElement::mouseMove(int, int, int) {}

void SkinElement::leftDown(int, int, int) {
  pressed_ = true;
  if (drawsStateFades()) startAnimation();
}

void SkinElement::leftUp(int, int, int) {
  pressed_ = false;
  if (drawsStateFades()) startAnimation();
}

void SkinElement::rightDown(int, int, int) {}

void SkinElement::doubleClick(int x, int y, int keys) { leftDown(x, y, keys); }

void SkinElement::captureLost() {
  pressed_ = false;
  if (drawsStateFades()) startAnimation();
}

bool SkinElement::wheel(int, int) { return false; }

bool SkinElement::keyDown(int, int) { return false; }

bool SkinElement::animate(int elapsedMs) {
  if (!drawsStateFades()) return false;
  float hover = hover_, press = press_;
  bool hovering = fade(hover_, hovered_ && enabled_ ? 1.0f : 0.0f, elapsedMs, hovered_ ? 120 : 220);
  // A press shows at once; letting go fades out.
  bool pressing = fade(press_, pressed_ && hovered_ ? 1.0f : 0.0f, elapsedMs, pressed_ ? 1 : 160);
  if (hover != hover_ || press != press_) repaint();
  return hovering || pressing;
}

void SkinElement::report(int code) {
  if (form_) form_->report(this, code);
}

void SkinElement::startAnimation() {
  if (form_) form_->startAnimation();
}

bool SkinElement::fade(float& value, float target, int elapsedMs, int durationMs) {
  float step = durationMs <= 0 ? 1.0f : float(elapsedMs) / float(durationMs);
  if (value < target)
    value = value + step >= target ? target : value + step;
  else if (value > target)
    value = value - step <= target ? target : value - step;
  return value != target;
}

}  // namespace ql
