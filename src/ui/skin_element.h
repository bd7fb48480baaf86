// SkinElement: the base of the windowless controls a SkinForm hosts. An
// element is a plain object (it may exist before any window); create() puts it
// on a form, which then draws it into its off-screen picture in creation
// order and routes the mouse and keyboard to it. When the form's window ends,
// its elements are taken off it and can be created again on another form.
#pragma once
#include "ui/gdiplus_headers.h"
#include "ui/text_resources.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ql {

class SkinForm;

// Event codes elements report to the form's event routine (caption buttons
// report 12 and up, see caption_buttons.h).
enum SkinEventCode : int {
  kEventLeftPress = 1,
  kEventRightPress = 2,
  kEventDoubleClick = 3,
  kEventMouseEnter = 4,
  kEventMouseLeave = 5,
  kEventClick = 7,             // pressed and released on the element
  kEventCheckChanged = 8,      // check box
  kEventSelectionChanged = 9,  // list view, by the user
  kEventTabChanged = 10,       // tab strip
  kEventActivate = 11,         // list view entry double-clicked or Enter pressed
};

struct SkinRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool contains(int px, int py) const {
    return px >= x && px < x + width && py >= y && py < y + height;
  }
  bool intersects(const SkinRect& o) const {
    return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
  }
  Gdiplus::RectF toF() const {
    return Gdiplus::RectF(float(x), float(y), float(width), float(height));
  }
};

class SkinElement {
 public:
  SkinElement();
  virtual ~SkinElement();
  SkinElement(const SkinElement&) = delete;
  SkinElement& operator=(const SkinElement&) = delete;

  // Puts the element on `form` (after the elements already there). An element
  // already on a form leaves it first.
  bool create(SkinForm& form, int x, int y, int width, int height,
              const std::string& text = std::string());
  // Takes the element off its form.
  void destroy();
  bool exists() const { return form_ != nullptr; }
  SkinForm* form() const { return form_; }
  // The element's 1-based place on its form, 0 when on none.
  int index() const;

  // ---- Geometry (form client pixels) ---------------------------------------
  int left() const { return rect_.x; }
  int top() const { return rect_.y; }
  int width() const { return rect_.width; }
  int height() const { return rect_.height; }
  const SkinRect& rect() const { return rect_; }
  void move(int x, int y, int width, int height);
  void setLeft(int x) { move(x, rect_.y, rect_.width, rect_.height); }
  void setTop(int y) { move(rect_.x, y, rect_.width, rect_.height); }

  // ---- Appearance ------------------------------------------------------------
  bool isVisible() const { return visible_; }
  void setVisible(bool visible);
  bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled);
  const std::string& text() const { return text_; }
  void setText(const std::string& text);
  // The toolkit's default font until one is set.
  const SkinFont& font() const;
  void setFont(const SkinFont& font);
  uint32_t textColor() const { return textColor_; }
  void setTextColor(uint32_t argb);
  uint32_t backColor() const { return backColor_; }  // 0: transparent
  void setBackColor(uint32_t argb);
  const std::string& tooltip() const { return tooltip_; }
  void setTooltip(const std::string& text);
  // Redraws the element on the next paint.
  void repaint();

  // ---- Event routines (x, y relative to the element) --------------------------
  std::function<void(SkinElement&element, int x, int y)> onLeftPress, onRightPress, onDoubleClick;
  std::function<void(SkinElement& element)> onClick;

  // ---- Called by the form ----------------------------------------------------
  // Draws into the form's picture (form coordinates); only called when visible.
  virtual void paint(Gdiplus::Graphics& graphics) = 0;
  // Whether the element takes the mouse at form point (x, y).
  virtual bool takesMouseAt(int x, int y) const;
  virtual void mouseEnter();
  virtual void mouseLeave();
  // Mouse coordinates below are relative to the element.
  virtual void mouseMove(int x, int y, int keys);
  virtual void leftDown(int x, int y, int keys);
  virtual void leftUp(int x, int y, int keys);
  virtual void rightDown(int x, int y, int keys);
  // By default a double-click is a second press (so quick clicks all count).
  virtual void doubleClick(int x, int y, int keys);
  // The left button was released over the element it went down on.
  virtual void clicked() {}
  // A capture taken by leftDown was lost (another window took the mouse).
  virtual void captureLost();
  // True when handled.
  virtual bool wheel(int delta, int keys);
  virtual bool keyDown(int key, int keys);
  // Advances fades by `elapsedMs`; true while any fade is still running.
  virtual bool animate(int elapsedMs);
  // Whether Tab can give the element the keyboard focus.
  virtual bool takesFocus() const { return false; }
  // Whether the element draws the hover and press fades below; only those
  // that do repaint while the fades run.
  virtual bool drawsStateFades() const { return false; }
  // The element's size or font changed.
  virtual void layout() {}
  // The form's window is going away.
  virtual void detached() {}

 protected:
  // Reports an event to the form's event routine with this element's index.
  void report(int code);
  // Asks the form to run the fade timer.
  void startAnimation();
  // Moves `value` toward `target` at a speed that covers 0..1 in durationMs;
  // true while it has not arrived.
  static bool fade(float& value, float target, int elapsedMs, int durationMs);

  bool hovered_ = false;
  bool pressed_ = false;  // left button went down here and is still held
  float hover_ = 0;       // hover fade, 0..1
  float press_ = 0;       // press fade, 0..1

 private:
  friend class SkinForm;
  SkinForm* form_ = nullptr;
  SkinRect rect_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  std::string tooltip_;
  std::unique_ptr<SkinFont> font_;
  uint32_t textColor_;
  uint32_t backColor_ = 0;
};

}  // namespace ql
