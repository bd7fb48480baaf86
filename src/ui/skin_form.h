// SkinForm: the skinned look of one top-level window. Attached to a window
// made by WindowBase, it subclasses it and paints the whole client area
// itself through one off-screen 32-bit picture (skin picture, caption,
// caption buttons, the program's own drawing, then every element), so
// nothing flickers. A layered form is pushed to the screen with per-pixel
// alpha and the form's constant alpha. It hosts the windowless elements,
// hit-tests them and routes the mouse and keyboard to them.
#pragma once
#include "runtime/dib_surface.h"
#include "runtime/files.h"
#include "ui/caption_buttons.h"
#include "ui/gdiplus_headers.h"
#include "ui/skin_element.h"
#include "ui/skin_image.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ql {

// Where an event handed to SkinForm::onEvent comes from.
constexpr int kEventFromElement = 0;
constexpr int kEventFromCaption = 1;

class SkinForm {
 public:
  static constexpr int kOpaque = -1;                   // alpha of a plain window
  static constexpr int kCaptionButtonsNotGiven = -1;   // default set, no system menu
  static constexpr uint32_t kNoTransparentColor = 0xFFFFFFFF;

  SkinForm();
  // Takes the form off a live window (the window keeps running unskinned).
  virtual ~SkinForm();
  SkinForm(const SkinForm&) = delete;
  SkinForm& operator=(const SkinForm&) = delete;

  // The form attached to `window`, or null.
  static SkinForm* fromHandle(HWND window);

  // Skins `window`. `skinPicture` holds a picture file's bytes (empty: the
  // background colour). `transparentColor` (0x00BBGGRR) makes the skin's
  // pixels of that colour see-through on a layered form. A caption-button set
  // (kCaption... bits) also gives the window the system-menu style; without
  // one the default set is drawn. An alpha other than kOpaque makes the window
  // layered with that constant alpha (0..255). Attaching again replaces the
  // picture and settings.
  bool attach(HWND window, const Bytes& skinPicture = Bytes(),
              uint32_t transparentColor = kNoTransparentColor,
              int captionButtons = kCaptionButtonsNotGiven, int alpha = kOpaque);
  HWND handle() const { return window_; }
  bool exists() const { return window_ != nullptr; }

  // Closes the window the way every window of the program closes itself: a
  // mouse move, press and release posted at (width - 8, 8), on the close button.
  void postCloseClick();

  // ---- Appearance --------------------------------------------------------
  void repaint();
  void repaint(const SkinRect& area);
  // Resizes the window to a client size of width x height.
  void resize(int width, int height);
  int width() const { return width_; }    // client size
  int height() const { return height_; }
  // Drawn at the left of the caption band; also the window's text.
  void setCaption(const std::string& text);
  const std::string& caption() const { return caption_; }
  bool setSkinPicture(const Bytes& picture);
  const SkinImage& skinPicture() const { return skin_; }
  void setAlpha(int alpha);
  int alpha() const { return alpha_; }
  bool isLayered() const { return alpha_ != kOpaque; }
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
  virtual int hitTest(int x, int y) const;
  SkinElement* hoveredElement() const { return hovered_; }
  SkinElement* focusedElement() const { return focused_; }
  void setFocusedElement(SkinElement* element);

  // ---- Event routines --------------------------------------------------------
  // Element and caption events: the window, the event code (SkinEventCode or a
  // caption code from captionEventCode), the element's index (the caption
  // button's bit for caption events) and the source (kEventFrom...). For a
  // caption button, returning true skips the button's own action.
  std::function<bool(HWND window, int code, int element, int source)> onEvent;
  // After the caption buttons and the elements have been laid out.
  std::function<void(int width, int height)> onResized;
  // The program's own drawing over the skin and caption, under the elements.
  std::function<void(Gdiplus::Graphics& graphics, int width, int height)> onPaint;
  // Sees every message of the window first; true ends it with `result`.
  std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)> onMessage;
  // Keys the focused element left alone; true when handled.
  std::function<bool(int key, int keys)> onKeyDown;
  std::function<bool(int code)> onCharacter;
  // Timers of the window other than the form's own fade timer.
  std::function<void(UINT_PTR timerId)> onTimer;

  // ---- For the elements ------------------------------------------------------
  void addElement(SkinElement* element);
  void removeElement(SkinElement* element);
  void invalidate(const SkinRect& area);
  // Runs the fade timer until no element animates any more.
  void startAnimation();
  // Sends an element event to onEvent.
  void report(SkinElement* element, int code);
  // Whether text can use ClearType (an opaque form) or must stay grey-scale.
  bool opaqueText() const { return !isLayered(); }

 protected:
  // Hooks a subclass may extend.
  virtual void layout(int width, int height);
  virtual void paintForm(Gdiplus::Graphics& graphics, const SkinRect& area);
  virtual bool handleKey(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void handleTimer(UINT_PTR timerId);
  virtual void handleDestroy();

 private:
  struct CaptionState {
    int bit = 0;
    float hover = 0;
    bool hovered = false;
  };

  static LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT callPrevious(UINT message, WPARAM wParam, LPARAM lParam);
  void detach();

  // Painting.
  bool ensureSurface();
  void prepareSkin();
  void render(const SkinRect& area);
  void paintOpaque();
  void pushLayered();
  void paintCaption(Gdiplus::Graphics& graphics);
  void paintCaptionButton(Gdiplus::Graphics& graphics, const CaptionButton& button, const CaptionState& state);

  // Mouse.
  void mouseMove(int x, int y, int keys);
  void mouseLeave();
  void leftDown(int x, int y, int keys);
  void leftUp(int x, int y, int keys);
  void rightDown(int x, int y, int keys);
  void doubleClick(int x, int y, int keys);
  bool mouseWheel(int delta, int screenX, int screenY, int keys);
  void setHovered(SkinElement* element, int captionBit);
  void captionAction(int bit);
  void toggleMaximised();
  void dragTo(int x, int y);
  LRESULT sizingHitTest(int screenX, int screenY) const;
  void endPress();
  void updateTooltip();
  bool placeTooltip();
  CaptionState* captionState(int bit);
  void animateStep();
  SkinRect captionRect(int bit) const;

  HWND window_ = nullptr;
  WNDPROC previous_ = nullptr;
  int width_ = 0, height_ = 0;
  std::string caption_;
  SkinImage skin_;
  uint32_t transparent_ = kNoTransparentColor;
  int captionButtons_ = kDefaultCaptionButtons;
  int alpha_ = kOpaque;
  int resizeBorder_ = 0;
  uint32_t background_;

  std::vector<SkinElement*> elements_;
  SkinElement* hovered_ = nullptr;
  SkinElement* captured_ = nullptr;
  SkinElement* focused_ = nullptr;

  std::vector<CaptionButton> buttons_;
  std::vector<CaptionState> buttonStates_;
  int hoveredButton_ = 0;   // caption bit under the mouse
  int pressedButton_ = 0;   // caption bit the left button went down on
  bool trackingMouse_ = false;
  std::string shownTip_;

  // Dragging the window by its caption band.
  bool dragging_ = false;
  bool dragMoved_ = false;
  POINT dragStart_ = {};     // screen point of the press
  POINT windowStart_ = {};   // window position at the press

  // Off-screen picture: a top-down 32-bit DIB with premultiplied alpha, and
  // the skin scaled to the client size in the same layout.
  DibSurface surface_;
  std::vector<uint32_t> skinPixels_;
  bool skinReady_ = false;
  bool layeredPending_ = false;

  bool animating_ = false;
  DWORD lastTick_ = 0;
};

}  // namespace ql
