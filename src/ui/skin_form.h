// SkinForm: the skinned look of one top-level window made by WindowBase. It
// plugs into the window as its message filter (window_base.h: step 2 of the
// message path), paints the whole client area through one off-screen 32-bit
// picture, so nothing flickers, and hosts the windowless elements: it
// hit-tests them and routes the mouse and the keyboard to them.
//
// ---- What a paint draws, bottom to top ----------------------------------------
//   the skin picture (or the background colour), scaled to the client area;
//   onPaint below (GDI+);
//   the caption bar: its text and buttons (and, when the background is
//     see-through, a dark band and frame);
//   the window's own paint routine, WindowBase::onPaint (GDI on the
//     picture's DC; see window_base.h);
//   the elements, in creation order, and the keyboard focus ring.
//
// ---- Alpha and the transparency colour -------------------------------------------
//   alpha kOpaque (-1): a plain window; the transparency colour is not used.
//   alpha 0..255: a layered window, pushed with per-pixel alpha. The alpha is
//     the opacity of the form's background, that is its skin picture or its
//     background colour. The caption bar, the elements and both paint
//     routines keep the opacity of their own colours, so a form stays
//     readable at any alpha.
//   transparency colour (layered forms): skin pixels of that colour are fully
//     see-through, and a form without a skin picture then has no background
//     at all. Fully see-through pixels take no clicks: the window's region
//     leaves them out, so clicks there reach the window beneath.
//   When the background is see-through or fainter than kLegibleAlpha, the
//     form draws a dark caption band and a frame of kFrameWidth pixels, so
//     that the window can be seen, read and moved.
// The desktop animation's frame (no picture, transparency colour white,
// alpha 1) is therefore a band with its controls and a thin frame around a
// see-through, click-through middle.
//
// ---- Keyboard ---------------------------------------------------------------------
// Keys go to the focused element first (when the window itself has the
// focus); what it leaves goes on to the window's key routines. In a
// dialog-like window Tab steps through the elements that take the focus and
// the child controls in reading order; Enter presses a focused button.
#pragma once
#include "runtime/dib_surface.h"
#include "runtime/files.h"
#include "ui/form_caption.h"
#include "ui/form_input.h"
#include "ui/gdiplus_headers.h"
#include "ui/skin_element.h"
#include "ui/skin_image.h"
#include "ui/window_base.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ql {

class FormSurface;

// Where an event handed to SkinForm::onEvent comes from.
constexpr int kEventFromElement = 0;
constexpr int kEventFromCaption = 1;

class SkinForm : public MessageFilter {
 public:
  static constexpr int kOpaque = -1;                  // alpha of a plain window
  static constexpr int kCaptionButtonsNotGiven = -1;  // default set, no system menu
  static constexpr uint32_t kNoTransparentColor = 0xFFFFFFFF;
  // Below this background alpha the form draws its own band and frame.
  static constexpr int kLegibleAlpha = 160;
  static constexpr int kFrameWidth = 3;

  SkinForm();
  // Takes the form off a live window (the window keeps running unskinned).
  ~SkinForm() override;
  SkinForm(const SkinForm&) = delete;
  SkinForm& operator=(const SkinForm&) = delete;

  // The form attached to `window`, or null.
  static SkinForm* fromHandle(HWND window);

  // Skins `window`, which must be a WindowBase's window (false otherwise).
  // `skinPicture` holds a picture file's bytes (empty: none). `transparentColor`
  // is 0x00BBGGRR, `alpha` 0..255 or kOpaque: see the top of this file. A
  // caption-button set (kCaption... bits) also gives the window the
  // system-menu style; without one the default set is drawn. Attaching again
  // replaces the picture and settings; attaching to another window leaves the
  // first one.
  bool attach(HWND window, const Bytes& skinPicture = Bytes(),
              uint32_t transparentColor = kNoTransparentColor,
              int captionButtons = kCaptionButtonsNotGiven, int alpha = kOpaque);
  // Takes the form off its window; its elements leave it too.
  void detach();
  HWND handle() const { return window_ ? window_->handle() : nullptr; }
  bool exists() const { return window_ != nullptr; }

  // Closes the window the way every window of the program closes itself: a
  // mouse move, press and release posted at (width - 8, 8), on the close button.
  void postCloseClick();

  // ---- Appearance --------------------------------------------------------
  void repaint();
  void repaint(const SkinRect& area);
  // Resizes the window to a client size of width x height.
  void resize(int width, int height);
  int width() const { return width_; }  // client size
  int height() const { return height_; }
  // Drawn at the left of the caption band; also the window's text.
  void setCaption(const std::string& text);
  const std::string& caption() const { return caption_; }
  bool setSkinPicture(const Bytes& picture);
  const SkinImage& skinPicture() const { return skin_; }
  void setAlpha(int alpha);
  int alpha() const { return alpha_; }
  bool isLayered() const { return alpha_ != kOpaque; }
  uint32_t transparentColor() const { return transparent_; }
  // True when the background lets what is beneath through: a layered form
  // whose transparency colour is set and that has no skin picture.
  bool backgroundSeeThrough() const;
  int captionButtons() const { return captionButtons_; }
  void setCaptionButtons(int buttonSet);
  // A band this many pixels wide along the window's edges sizes the window
  // with the system's sizing loop (0, the default: the window cannot be sized).
  void setResizeBorder(int pixels) { resizeBorder_ = pixels; }
  int resizeBorder() const { return resizeBorder_; }
  // Painted where there is no skin picture.
  void setBackgroundColor(uint32_t argb);
  uint32_t backgroundColor() const { return background_; }

  // ---- Elements ------------------------------------------------------------
  int elementCount() const { return int(elements_.size()); }
  SkinElement* element(int index) const;  // 1-based
  int indexOf(const SkinElement* element) const;
  // The 1-based index of the topmost element that takes the mouse at client
  // point (x, y); 0 for none.
  int hitTest(int x, int y) const;
  SkinElement* hoveredElement() const;
  SkinElement* focusedElement() const;
  void setFocusedElement(SkinElement* element);
  // Whether the element shows the keyboard focus ring now.
  bool showsFocus(const SkinElement* element) const;

  // ---- Event routines --------------------------------------------------------
  // Element and caption events: the window, the event code (SkinEventCode or a
  // caption code from captionEventCode), the element's index (the caption
  // button's bit for caption events) and the source (kEventFrom...). For a
  // caption button, returning true skips the button's own action.
  std::function<bool(HWND window, int code, int element, int source)> onEvent;
  // After the caption buttons and the elements have been laid out.
  std::function<void(int width, int height)> onResized;
  // The program's own GDI+ drawing over the skin, under the caption and elements.
  std::function<void(Gdiplus::Graphics& graphics, int width, int height)> onPaint;

  // ---- For the elements ------------------------------------------------------
  void addElement(SkinElement* element);
  void removeElement(SkinElement* element);
  void invalidate(const SkinRect& area);
  // Runs the fade timer until no element animates any more.
  void startAnimation();
  // Sends an element event to onEvent.
  void report(SkinElement* element, int code);
  // A click made with the keyboard (Enter or Space on a focused button).
  void clickElement(SkinElement* element);
  // Whether text can use ClearType (an opaque form) or must stay grey-scale.
  bool opaqueText() const { return !isLayered(); }

  // ---- MessageFilter ------------------------------------------------------------
  bool filterMessage(WindowBase& window, UINT message, WPARAM wParam, LPARAM lParam,
                     LRESULT& result) override;
  bool dialogKey(WindowBase& window, int key, int keys) override;
  void filterRemoved(WindowBase& window) override;

 private:
  void layout();
  void applySteps(const FormSteps& steps);
  void applySteps(const FormSteps& steps, POINT point);
  FormHit hitAt(int x, int y) const;
  SkinElement* elementOf(ElementKey key) const;
  void captionAction(int bit);
  LRESULT sizingHitTest(int screenX, int screenY) const;
  void updateTooltip();
  bool placeTooltip();
  void animateStep();
  bool moveFocus(bool forward);
  void render(const SkinRect& area);
  void paintLayers(Gdiplus::Graphics& graphics, const SkinRect& area);
  void paintOpaque();
  void pushLayered();
  void scheduleRepaint(const SkinRect& area);

  WindowBase* window_ = nullptr;
  int width_ = 0, height_ = 0;
  std::string caption_;
  SkinImage skin_;
  uint32_t transparent_ = kNoTransparentColor;
  int captionButtons_;
  int alpha_ = kOpaque;
  int resizeBorder_ = 0;
  uint32_t background_;

  std::vector<SkinElement*> elements_;
  FormInput input_;
  CaptionBar captionBar_;
  std::string shownTip_;
  bool keyboardCues_ = false;
  POINT windowAtDragStart_ = {};

  std::unique_ptr<FormSurface> surface_;
  bool layeredPending_ = false;
  bool animating_ = false;
  DWORD lastTick_ = 0;
};

}  // namespace ql
