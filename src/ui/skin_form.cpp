#include "ui/skin_form.h"

#include "ui/skin_draw.h"
#include "ui/tooltips.h"
#include "ui/toolkit.h"
#include "ui/window_base.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace ql {

namespace {

const char kFormProperty[] = "QlSkinForm";
const char kPreviousProperty[] = "QlSkinFormPrevious";
// The form's own timer: runs only while something fades.
const UINT_PTR kFadeTimer = 0x7BD1;
const UINT kFadeInterval = 15;

// Posted to a layered form to push its picture once after a run of changes.
UINT pushMessage() {
  static UINT message = RegisterWindowMessageA("QlSkinFormPush");
  return message;
}

int modifierKeys() {
  int keys = 0;
  if (GetKeyState(VK_CONTROL) < 0) keys |= kModControl;
  if (GetKeyState(VK_SHIFT) < 0) keys |= kModShift;
  if (GetKeyState(VK_MENU) < 0) keys |= kModAlt;
  return keys;
}

int clampAlpha(int alpha) { return alpha == SkinForm::kOpaque ? alpha : std::min(std::max(alpha, 0), 255); }

uint32_t premultiplied(uint32_t argb) {
  uint32_t a = argb >> 24;
  if (a == 255) return argb;
  uint32_t r = ((argb >> 16) & 0xFF) * a / 255, g = ((argb >> 8) & 0xFF) * a / 255, b = (argb & 0xFF) * a / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

SkinForm::SkinForm() : background_(theme::kSurface) {}

SkinForm::~SkinForm() { detach(); }

SkinForm* SkinForm::fromHandle(HWND window) {
  return window ? static_cast<SkinForm*>(GetPropA(window, kFormProperty)) : nullptr;
}

bool SkinForm::attach(HWND window, const Bytes& skinPicture, uint32_t transparentColor,
                      int captionButtons, int alpha) {
  if (!window || !IsWindow(window)) return false;
  if (window_ && window_ != window) detach();
  if (!window_) {
    SetPropA(window, kFormProperty, this);
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinForm::formProcedure)));
    SetPropA(window, kPreviousProperty, reinterpret_cast<HANDLE>(previous));
    previous_ = previous;
    window_ = window;
  }
  int length = GetWindowTextLengthA(window);
  std::string title(size_t(length) + 1, '\0');
  GetWindowTextA(window, &title[0], length + 1);
  title.resize(size_t(length));
  caption_ = title;

  skin_.clear();
  if (!skinPicture.empty()) skin_.loadMemory(skinPicture);
  skinReady_ = false;
  transparent_ = transparentColor;
  captionButtons_ = captionButtons == kCaptionButtonsNotGiven ? kDefaultCaptionButtons : captionButtons;
  LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  if (captionButtons != kCaptionButtonsNotGiven && !(style & WS_SYSMENU))
    SetWindowLongPtrA(window, GWL_STYLE, style | WS_SYSMENU);
  alpha_ = clampAlpha(alpha);
  LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
  LONG_PTR wantedEx = isLayered() ? (exStyle | WS_EX_LAYERED) : (exStyle & ~LONG_PTR(WS_EX_LAYERED));
  if (wantedEx != exStyle) SetWindowLongPtrA(window, GWL_EXSTYLE, wantedEx);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  toolTips().removeWindow(window);  // attaching again must not add a second tool
  toolTips().addWindow(window);
  shownTip_.clear();
  RECT client;
  GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;
  layout(width_, height_);
  repaint();
  return true;
}

void SkinForm::detach() {
  if (!window_) return;
  HWND window = window_;
  if (animating_) KillTimer(window, kFadeTimer);
  animating_ = false;
  if (IsWindow(window)) {
    // Unhook only when nobody subclassed the window after us; otherwise our
    // procedure stays in the chain and passes everything on.
    if (GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SkinForm::formProcedure)) {
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
      RemovePropA(window, kPreviousProperty);
    }
    RemovePropA(window, kFormProperty);
    toolTips().removeWindow(window);
  }
  std::vector<SkinElement*> elements;
  elements.swap(elements_);
  for (SkinElement* element : elements) {
    element->form_ = nullptr;
    element->hovered_ = element->pressed_ = false;
    element->detached();
  }
  hovered_ = captured_ = focused_ = nullptr;
  window_ = nullptr;
  previous_ = nullptr;
  dragging_ = false;
  pressedButton_ = hoveredButton_ = 0;
  trackingMouse_ = false;
  surface_.release();
}

LRESULT CALLBACK SkinForm::formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SkinForm* form = fromHandle(window);
  if (form && form->window_ == window) return form->handleMessage(message, wParam, lParam);
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProperty));
  if (message == WM_NCDESTROY) RemovePropA(window, kPreviousProperty);
  return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                  : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT SkinForm::callPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
  return previous_ ? CallWindowProcA(previous_, window_, message, wParam, lParam)
                   : DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT SkinForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (onMessage) {
    LRESULT result = 0;
    if (onMessage(message, wParam, lParam, result)) return result;
    if (!window_) return result;  // the routine ended the window
  }
  int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
  int keys = modifierKeys();
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      if (isLayered()) {
        ValidateRect(window_, nullptr);
        invalidate({0, 0, width_, height_});
      } else {
        paintOpaque();
      }
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        RECT client;
        GetClientRect(window_, &client);
        width_ = client.right;
        height_ = client.bottom;
        layout(width_, height_);
        toolTips().updateWindow(window_);
        repaint();
      }
      break;
    case WM_GETMINMAXINFO: {
      LRESULT result = callPrevious(message, wParam, lParam);
      // A maximised popup covers the work area, never the taskbar.
      MONITORINFO monitor = {};
      monitor.cbSize = sizeof monitor;
      if (GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxPosition.x = monitor.rcWork.left - monitor.rcMonitor.left;
        info->ptMaxPosition.y = monitor.rcWork.top - monitor.rcMonitor.top;
        info->ptMaxSize.x = monitor.rcWork.right - monitor.rcWork.left;
        info->ptMaxSize.y = monitor.rcWork.bottom - monitor.rcWork.top;
      }
      return result;
    }
    case WM_MOUSEMOVE:
      mouseMove(x, y, keys);
      break;
    case WM_MOUSELEAVE:
      mouseLeave();
      break;
    case WM_LBUTTONDOWN:
      leftDown(x, y, keys);
      break;
    case WM_LBUTTONUP:
      leftUp(x, y, keys);
      break;
    case WM_RBUTTONDOWN:
      rightDown(x, y, keys);
      break;
    case WM_LBUTTONDBLCLK:
      doubleClick(x, y, keys);
      break;
    case WM_MOUSEWHEEL:
      if (mouseWheel(short(HIWORD(wParam)), x, y, keys)) return 0;
      break;
    case WM_NCHITTEST:
      if (LRESULT hit = sizingHitTest(x, y)) return hit;
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header && header->hwndFrom == toolTips().handle() && header->code == TTN_SHOW && placeTooltip())
        return TRUE;
      break;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != window_) endPress();
      break;
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_IME_COMPOSITION:
      if (handleKey(message, wParam, lParam)) return 0;
      break;
    case WM_TIMER:
      if (wParam == kFadeTimer) {
        animateStep();
        return 0;
      }
      handleTimer(wParam);
      break;
    case WM_DESTROY:
      handleDestroy();
      break;
    case WM_NCDESTROY: {
      LRESULT result = callPrevious(message, wParam, lParam);
      detach();
      return result;
    }
    default:
      if (message == pushMessage()) {
        pushLayered();
        return 0;
      }
      break;
  }
  if (!window_) return 0;
  return callPrevious(message, wParam, lParam);
}

// ---- Appearance -------------------------------------------------------------

void SkinForm::postCloseClick() {
  if (!window_) return;
  RECT client;
  GetClientRect(window_, &client);
  LPARAM point = MAKELPARAM(client.right - 8, 8);
  PostMessageA(window_, WM_MOUSEMOVE, 0, point);
  PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(window_, WM_LBUTTONUP, 0, point);
}

void SkinForm::repaint() { invalidate({0, 0, width_, height_}); }

void SkinForm::repaint(const SkinRect& area) { invalidate(area); }

void SkinForm::invalidate(const SkinRect& area) {
  if (!window_ || area.width <= 0 || area.height <= 0) return;
  if (isLayered()) {
    // Layered windows get no WM_PAINT: collect changes and push once.
    if (!layeredPending_) {
      layeredPending_ = true;
      PostMessageA(window_, pushMessage(), 0, 0);
    }
    return;
  }
  RECT rect = {area.x, area.y, area.x + area.width, area.y + area.height};
  InvalidateRect(window_, &rect, FALSE);
}

void SkinForm::resize(int width, int height) {
  if (!window_) return;
  RECT rect = {0, 0, width, height};
  AdjustWindowRectEx(&rect, DWORD(GetWindowLongPtrA(window_, GWL_STYLE)), FALSE,
                     DWORD(GetWindowLongPtrA(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SkinForm::setCaption(const std::string& text) {
  caption_ = text;
  if (window_) SetWindowTextA(window_, text.c_str());
  invalidate({0, 0, width_, kCaptionBandHeight});
}

bool SkinForm::setSkinPicture(const Bytes& picture) {
  bool ok = picture.empty() ? (skin_.clear(), true) : skin_.loadMemory(picture);
  skinReady_ = false;
  repaint();
  return ok;
}

void SkinForm::setAlpha(int alpha) {
  bool wasLayered = isLayered();
  alpha_ = clampAlpha(alpha);
  if (!window_) return;
  if (wasLayered != isLayered()) {
    LONG_PTR exStyle = GetWindowLongPtrA(window_, GWL_EXSTYLE);
    SetWindowLongPtrA(window_, GWL_EXSTYLE,
                      isLayered() ? (exStyle | WS_EX_LAYERED) : (exStyle & ~LONG_PTR(WS_EX_LAYERED)));
    skinReady_ = false;
    if (!isLayered()) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  repaint();
}

void SkinForm::setCaptionButtons(int buttonSet) {
  captionButtons_ = buttonSet;
  layout(width_, height_);
  repaint();
}

void SkinForm::setBackgroundColor(uint32_t argb) {
  background_ = argb;
  skinReady_ = false;
  repaint();
}

// ---- Elements ---------------------------------------------------------------

SkinElement* SkinForm::element(int index) const {
  return index >= 1 && index <= elementCount() ? elements_[size_t(index - 1)] : nullptr;
}

int SkinForm::indexOf(const SkinElement* element) const {
  for (size_t i = 0; i < elements_.size(); ++i)
    if (elements_[i] == element) return int(i) + 1;
  return 0;
}

int SkinForm::hitTest(int x, int y) const {
  for (size_t i = elements_.size(); i-- > 0;)
    if (elements_[i]->takesMouseAt(x, y)) return int(i) + 1;
  return 0;
}

void SkinForm::setFocusedElement(SkinElement* element) {
  if (element && element->form_ != this) return;
  focused_ = element;
}

void SkinForm::addElement(SkinElement* element) {
  if (!element || indexOf(element)) return;
  elements_.push_back(element);
  element->form_ = this;
}

void SkinForm::removeElement(SkinElement* element) {
  int index = indexOf(element);
  if (!index) return;
  elements_.erase(elements_.begin() + (index - 1));
  if (hovered_ == element) hovered_ = nullptr;
  if (focused_ == element) focused_ = nullptr;
  if (captured_ == element) {
    captured_ = nullptr;
    if (GetCapture() == window_) ReleaseCapture();
  }
  element->form_ = nullptr;
  element->detached();
  updateTooltip();
}

void SkinForm::report(SkinElement* element, int code) {
  int index = indexOf(element);
  if (index && onEvent) onEvent(window_, code, index, kEventFromElement);
}

// ---- Layout and painting ------------------------------------------------------

void SkinForm::layout(int width, int height) {
  buttons_ = layoutCaptionButtons(captionButtons_, width);
  std::vector<CaptionState> states;
  for (const CaptionButton& button : buttons_) {
    CaptionState state;
    state.bit = button.bit;
    if (CaptionState* old = captionState(button.bit)) state = *old;
    states.push_back(state);
  }
  buttonStates_.swap(states);
  skinReady_ = false;
  for (SkinElement* element : std::vector<SkinElement*>(elements_)) element->layout();
  if (onResized) onResized(width, height);
}

bool SkinForm::ensureSurface() {
  if (width_ <= 0 || height_ <= 0) return false;
  return surface_.resize(width_, height_);
}

// The skin, scaled once per size: it covers the client area, keeping its
// proportions, anchored at the top-left corner where skins put their design.
void SkinForm::prepareSkin() {
  size_t count = size_t(width_) * size_t(height_);
  uint32_t fill = premultiplied(isLayered() ? background_ : (background_ | 0xFF000000u));
  skinPixels_.assign(count, fill);
  skinReady_ = true;
  if (!skin_.valid() || skin_.width() <= 0 || skin_.height() <= 0) return;

  SkinImage keyed;
  const SkinImage* source = &skin_;
  if (isLayered() && transparent_ != kNoTransparentColor) {
    // See-through pixels are cut from the picture before it is scaled.
    keyed = skin_;
    Gdiplus::Bitmap* bitmap = keyed.get();
    Gdiplus::Rect all(0, 0, keyed.width(), keyed.height());
    Gdiplus::BitmapData data;
    if (bitmap && bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                                   PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
      uint32_t key = fromColorRef(transparent_) & 0xFFFFFF;
      for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < keyed.width(); ++x)
          if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
      }
      bitmap->UnlockBits(&data);
      source = &keyed;
    }
  }
  Gdiplus::Bitmap canvas(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                         reinterpret_cast<BYTE*>(skinPixels_.data()));
  Gdiplus::Graphics graphics(&canvas);
  float scale = std::max(float(width_) / float(source->width()), float(height_) / float(source->height()));
  float w = source->width() * scale, h = source->height() * scale;
  if (source->width() == width_ && source->height() == height_) {
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
  } else {
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  }
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::ImageAttributes clampEdges;
  clampEdges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  graphics.DrawImage(source->get(), Gdiplus::RectF(0, 0, w, h), 0, 0, float(source->width()),
                     float(source->height()), Gdiplus::UnitPixel, &clampEdges);
}

void SkinForm::render(const SkinRect& requested) {
  SkinRect area;
  area.x = std::max(0, requested.x);
  area.y = std::max(0, requested.y);
  area.width = std::min(width_, requested.x + requested.width) - area.x;
  area.height = std::min(height_, requested.y + requested.height) - area.y;
  if (area.width <= 0 || area.height <= 0 || !ensureSurface()) return;
  if (!skinReady_) prepareSkin();
  for (int y = area.y; y < area.y + area.height; ++y) {
    size_t offset = size_t(y) * size_t(width_) + size_t(area.x);
    std::memcpy(surface_.pixels() + offset, skinPixels_.data() + offset, size_t(area.width) * 4);
  }
  Gdiplus::Bitmap canvas(width_, height_, width_ * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(surface_.pixels()));
  Gdiplus::Graphics graphics(&canvas);
  setSkinQuality(graphics, !isLayered());
  graphics.SetClip(Gdiplus::Rect(area.x, area.y, area.width, area.height));
  paintForm(graphics, area);
}

void SkinForm::paintForm(Gdiplus::Graphics& graphics, const SkinRect& area) {
  if (onPaint) onPaint(graphics, width_, height_);
  paintCaption(graphics);
  for (size_t i = 0; i < buttons_.size() && i < buttonStates_.size(); ++i)
    paintCaptionButton(graphics, buttons_[i], buttonStates_[i]);
  for (SkinElement* element : elements_) {
    if (!element->isVisible() || !element->rect().intersects(area)) continue;
    Gdiplus::GraphicsState state = graphics.Save();
    element->paint(graphics);
    graphics.Restore(state);
  }
}

void SkinForm::paintCaption(Gdiplus::Graphics& graphics) {
  if (!isLayered()) {
    // A hairline frame keeps a borderless window apart from what lies behind it.
    Gdiplus::Pen frame(argbColor(withAlpha(theme::kText, 72)), 1);
    graphics.DrawRectangle(&frame, Gdiplus::RectF(0, 0, float(width_ - 1), float(height_ - 1)));
  }
  if (caption_.empty()) return;
  int right = buttons_.empty() ? width_ : buttons_.back().left;
  drawSkinText(graphics, caption_, defaultFont(),
               Gdiplus::RectF(8, 1, float(std::max(0, right - 16)), float(kCaptionBandHeight)),
               theme::kText, kAlignLeft, kTextSingleLine);
}

void SkinForm::paintCaptionButton(Gdiplus::Graphics& graphics, const CaptionButton& button,
                                  const CaptionState& state) {
  bool close = button.bit == kCaptionClose;
  bool pressed = pressedButton_ == button.bit && hoveredButton_ == button.bit;
  float h = state.hover;
  Gdiplus::RectF box(float(button.left), float(button.top), float(button.width), float(button.height));
  uint32_t fill = 0;
  if (close) fill = pressed ? theme::kDangerPressed : withAlpha(theme::kDanger, int(255 * h));
  else fill = pressed ? withAlpha(theme::kAccentPressed, 72) : withAlpha(theme::kAccent, int(44 * h));
  if (fill >> 24) {
    Gdiplus::SolidBrush brush(argbColor(fill));
    Gdiplus::SmoothingMode smoothing = graphics.GetSmoothingMode();
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    graphics.FillRectangle(&brush, box);
    graphics.SetSmoothingMode(smoothing);
  }
  uint32_t glyph = close ? mixColors(theme::kText, theme::kWhite, pressed ? 1.0f : h)
                         : mixColors(theme::kText, theme::kAccentPressed, pressed ? 1.0f : h);
  Gdiplus::Pen pen(argbColor(glyph), 1.0f);
  // Glyphs sit on whole pixels around the button's centre so their 1 px
  // strokes stay sharp.
  float cx = float(button.left + button.width / 2), cy = float(button.top + button.height / 2);
  switch (button.bit) {
    case kCaptionClose:
      pen.SetWidth(1.3f);
      graphics.DrawLine(&pen, cx - 4, cy - 4, cx + 4, cy + 4);
      graphics.DrawLine(&pen, cx - 4, cy + 4, cx + 4, cy - 4);
      break;
    case kCaptionMaximise:
      if (window_ && IsZoomed(window_)) {
        graphics.DrawRectangle(&pen, Gdiplus::RectF(cx - 4, cy - 2, 6, 6));
        graphics.DrawLine(&pen, cx - 2, cy - 4, cx + 4, cy - 4);
        graphics.DrawLine(&pen, cx + 4, cy - 4, cx + 4, cy + 2);
      } else {
        graphics.DrawRectangle(&pen, Gdiplus::RectF(cx - 4, cy - 4, 8, 8));
        graphics.DrawLine(&pen, cx - 4, cy - 3, cx + 4, cy - 3);
      }
      break;
    case kCaptionMinimise:
      graphics.DrawLine(&pen, cx - 4, cy + 1, cx + 4, cy + 1);
      break;
    case kCaptionMenu:
      for (int i = -3; i <= 3; i += 3) graphics.DrawLine(&pen, cx - 5, cy + i, cx + 5, cy + i);
      break;
    case kCaptionSkin: {
      // A small shirt: the usual sign for changing the look.
      Gdiplus::PointF shirt[] = {{cx - 2, cy - 5}, {cx - 6, cy - 3}, {cx - 5, cy}, {cx - 3, cy - 1},
                                 {cx - 3, cy + 5}, {cx + 3, cy + 5}, {cx + 3, cy - 1}, {cx + 5, cy},
                                 {cx + 6, cy - 3}, {cx + 2, cy - 5}, {cx, cy - 3}};
      graphics.DrawPolygon(&pen, shirt, 11);
      break;
    }
    default:
      break;
  }
}

void SkinForm::paintOpaque() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (dc) {
    SkinRect area = {int(paint.rcPaint.left), int(paint.rcPaint.top),
                     int(paint.rcPaint.right - paint.rcPaint.left), int(paint.rcPaint.bottom - paint.rcPaint.top)};
    render(area);
    if (surface_.dc())
      BitBlt(dc, area.x, area.y, area.width, area.height, surface_.dc(), area.x, area.y, SRCCOPY);
  }
  EndPaint(window_, &paint);
}

void SkinForm::pushLayered() {
  layeredPending_ = false;
  if (!window_ || !isLayered()) return;
  RECT windowRect;
  GetWindowRect(window_, &windowRect);
  render({0, 0, width_, height_});
  if (!surface_.dc()) return;
  POINT source = {0, 0};
  POINT position = {windowRect.left, windowRect.top};
  SIZE size = {width_, height_};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, BYTE(alpha_), AC_SRC_ALPHA};
  UpdateLayeredWindow(window_, nullptr, &position, &size, surface_.dc(), &source, 0, &blend, ULW_ALPHA);
}

// ---- Mouse ------------------------------------------------------------------

SkinForm::CaptionState* SkinForm::captionState(int bit) {
  for (CaptionState& state : buttonStates_)
    if (state.bit == bit) return &state;
  return nullptr;
}

SkinRect SkinForm::captionRect(int bit) const {
  for (const CaptionButton& button : buttons_)
    if (button.bit == bit) return {button.left, button.top, button.width, button.height};
  return {};
}

void SkinForm::mouseMove(int x, int y, int keys) {
  if (!trackingMouse_) {
    toolTips().updateWindow(window_);
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window_, 0};
    trackingMouse_ = TrackMouseEvent(&track) != FALSE;
  }
  if (dragging_) {
    dragTo(x, y);
    return;
  }
  if (captured_) {
    captured_->mouseMove(x - captured_->left(), y - captured_->top(), keys);
    bool inside = captured_->takesMouseAt(x, y);
    if (inside != (hovered_ == captured_)) setHovered(inside ? captured_ : nullptr, 0);
    return;
  }
  int index = hitTest(x, y);
  SkinElement* element = index ? elements_[size_t(index - 1)] : nullptr;
  int bit = element ? 0 : captionButtonAt(buttons_, x, y);
  if (pressedButton_ && bit != pressedButton_) bit = 0;  // only the pressed button lights up
  setHovered(element, bit);
  if (element && window_) element->mouseMove(x - element->left(), y - element->top(), keys);
}

void SkinForm::mouseLeave() {
  trackingMouse_ = false;
  if (!captured_ && !dragging_) setHovered(nullptr, 0);
  else if (hoveredButton_) setHovered(hovered_, 0);
}

void SkinForm::setHovered(SkinElement* element, int captionBit) {
  if (element != hovered_) {
    SkinElement* old = hovered_;
    hovered_ = element;
    if (old) {
      old->mouseLeave();
      report(old, kEventMouseLeave);
    }
    if (element && hovered_ == element) {
      element->mouseEnter();
      report(element, kEventMouseEnter);
    }
  }
  if (captionBit != hoveredButton_) {
    if (CaptionState* old = captionState(hoveredButton_)) old->hovered = false;
    if (CaptionState* now = captionState(captionBit)) now->hovered = true;
    invalidate(captionRect(hoveredButton_));
    invalidate(captionRect(captionBit));
    hoveredButton_ = captionBit;
    startAnimation();
  }
  updateTooltip();
}

void SkinForm::updateTooltip() {
  if (!window_) return;
  std::string tip = hovered_ ? hovered_->tooltip() : hoveredButton_ ? captionTooltip(hoveredButton_) : "";
  if (tip == shownTip_) return;
  shownTip_ = tip;
  toolTips().setText(window_, tip);
}

// The tooltip tool is the whole window, so the system would centre every tip
// under the window; it goes under the element or caption button instead.
bool SkinForm::placeTooltip() {
  SkinRect target = hovered_ ? hovered_->rect() : captionRect(hoveredButton_);
  HWND tip = toolTips().handle();
  if (target.width <= 0 || !tip) return false;
  RECT tipRect;
  GetWindowRect(tip, &tipRect);
  int tipWidth = tipRect.right - tipRect.left, tipHeight = tipRect.bottom - tipRect.top;
  POINT point = {target.x + target.width / 2, target.y + target.height + 4};
  ClientToScreen(window_, &point);
  int x = point.x - tipWidth / 2, y = point.y;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    x = std::max(int(monitor.rcWork.left), std::min(x, int(monitor.rcWork.right) - tipWidth));
    if (y + tipHeight > monitor.rcWork.bottom) {
      POINT above = {0, target.y - 4};
      ClientToScreen(window_, &above);
      y = above.y - tipHeight;
    }
  }
  SetWindowPos(tip, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void SkinForm::leftDown(int x, int y, int keys) {
  endPress();
  int index = hitTest(x, y);
  if (index) {
    SkinElement* element = elements_[size_t(index - 1)];
    focused_ = element;
    if (!element->isEnabled()) return;
    setHovered(element, 0);
    captured_ = element;
    SetCapture(window_);
    int ex = x - element->left(), ey = y - element->top();
    element->leftDown(ex, ey, keys);
    if (element->form_ == this && element->onLeftPress) element->onLeftPress(*element, ex, ey);
    report(element, kEventLeftPress);
    return;
  }
  if (int bit = captionButtonAt(buttons_, x, y)) {
    pressedButton_ = bit;
    setHovered(nullptr, bit);
    SetCapture(window_);
    invalidate(captionRect(bit));
    return;
  }
  if (inCaptionBand(y) && !IsZoomed(window_)) {
    RECT windowRect;
    GetWindowRect(window_, &windowRect);
    POINT point = {x, y};
    ClientToScreen(window_, &point);
    dragStart_ = point;
    windowStart_ = {windowRect.left, windowRect.top};
    dragging_ = true;
    dragMoved_ = false;
    SetCapture(window_);
  }
}

LRESULT SkinForm::sizingHitTest(int screenX, int screenY) const {
  if (resizeBorder_ <= 0 || IsZoomed(window_)) return 0;
  RECT rect;
  GetWindowRect(window_, &rect);
  bool left = screenX < rect.left + resizeBorder_, right = screenX >= rect.right - resizeBorder_;
  bool top = screenY < rect.top + resizeBorder_, bottom = screenY >= rect.bottom - resizeBorder_;
  if (top && left) return HTTOPLEFT;
  if (top && right) return HTTOPRIGHT;
  if (bottom && left) return HTBOTTOMLEFT;
  if (bottom && right) return HTBOTTOMRIGHT;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  if (bottom) return HTBOTTOM;
  // The top edge only away from the caption buttons, which sit right at it.
  if (top && captionButtonAt(buttons_, screenX - rect.left, 0) == 0) return HTTOP;
  return 0;
}

void SkinForm::dragTo(int x, int y) {
  POINT point = {x, y};
  ClientToScreen(window_, &point);
  int dx = point.x - dragStart_.x, dy = point.y - dragStart_.y;
  if (!dragMoved_) {
    if (dx == 0 && dy == 0) return;
    dragMoved_ = true;
    SendMessageA(window_, WM_ENTERSIZEMOVE, 0, 0);
  }
  SetWindowPos(window_, nullptr, windowStart_.x + dx, windowStart_.y + dy, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SkinForm::leftUp(int x, int y, int keys) {
  if (dragging_) {
    bool moved = dragMoved_;
    dragging_ = false;
    if (GetCapture() == window_) ReleaseCapture();
    // Tell the window the move is over, as the system's own move loop does.
    if (moved && window_) SendMessageA(window_, WM_EXITSIZEMOVE, 0, 0);
    return;
  }
  if (pressedButton_) {
    int bit = pressedButton_;
    pressedButton_ = 0;
    if (GetCapture() == window_) ReleaseCapture();
    invalidate(captionRect(bit));
    if (captionButtonAt(buttons_, x, y) == bit && hitTest(x, y) == 0) captionAction(bit);
    return;
  }
  if (SkinElement* element = captured_) {
    captured_ = nullptr;
    if (GetCapture() == window_) ReleaseCapture();
    int ex = x - element->left(), ey = y - element->top();
    element->leftUp(ex, ey, keys);
    if (element->form_ == this && element->isEnabled() && element->takesMouseAt(x, y)) {
      element->clicked();
      if (element->form_ == this && element->onClick) element->onClick(*element);
      report(element, kEventClick);
    }
  }
}

void SkinForm::rightDown(int x, int y, int keys) {
  int index = hitTest(x, y);
  if (!index) return;
  SkinElement* element = elements_[size_t(index - 1)];
  focused_ = element;
  if (!element->isEnabled()) return;
  int ex = x - element->left(), ey = y - element->top();
  element->rightDown(ex, ey, keys);
  if (element->form_ == this && element->onRightPress) element->onRightPress(*element, ex, ey);
  report(element, kEventRightPress);
}

void SkinForm::doubleClick(int x, int y, int keys) {
  endPress();
  int index = hitTest(x, y);
  if (index) {
    SkinElement* element = elements_[size_t(index - 1)];
    focused_ = element;
    if (!element->isEnabled()) return;
    captured_ = element;
    SetCapture(window_);
    int ex = x - element->left(), ey = y - element->top();
    element->doubleClick(ex, ey, keys);
    if (element->form_ == this && element->onDoubleClick) element->onDoubleClick(*element, ex, ey);
    report(element, kEventDoubleClick);
    return;
  }
  if (int bit = captionButtonAt(buttons_, x, y)) {
    // A quick second click on a caption button is a click like the first.
    pressedButton_ = bit;
    SetCapture(window_);
    invalidate(captionRect(bit));
    return;
  }
  if (captionDoubleClickToggles(captionButtons_, y, false)) captionAction(kCaptionMaximise);
}

bool SkinForm::mouseWheel(int delta, int screenX, int screenY, int keys) {
  POINT point = {screenX, screenY};
  ScreenToClient(window_, &point);
  int index = hitTest(point.x, point.y);
  SkinElement* target = index ? elements_[size_t(index - 1)] : nullptr;
  if (target && target->isEnabled() && target->wheel(delta, keys)) return true;
  return focused_ && focused_ != target && focused_->isVisible() && focused_->isEnabled() &&
         focused_->wheel(delta, keys);
}

void SkinForm::endPress() {
  if (dragging_) {
    dragging_ = false;
    if (dragMoved_) SendMessageA(window_, WM_EXITSIZEMOVE, 0, 0);
  }
  if (pressedButton_) {
    invalidate(captionRect(pressedButton_));
    pressedButton_ = 0;
  }
  if (SkinElement* element = captured_) {
    captured_ = nullptr;
    element->captureLost();
  }
}

void SkinForm::captionAction(int bit) {
  HWND window = window_;
  if (onEvent && onEvent(window, captionEventCode(bit), bit, kEventFromCaption)) return;
  if (window_ != window || !IsWindow(window)) return;
  switch (bit) {
    case kCaptionClose:
      // Posted: the window may be destroyed, and not inside its own click.
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case kCaptionMaximise:
      toggleMaximised();
      break;
    case kCaptionMinimise:
      ShowWindow(window, SW_MINIMIZE);
      break;
    case kCaptionMenu: {
      HMENU menu = GetSystemMenu(window, FALSE);
      SkinRect button = captionRect(bit);
      POINT point = {button.x, button.y + button.height};
      ClientToScreen(window, &point);
      if (!menu) break;
      SetForegroundWindow(window);
      int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, window, nullptr);
      if (command) PostMessageA(window, WM_SYSCOMMAND, WPARAM(command), 0);
      break;
    }
    default:
      break;  // the skin button only reports its event
  }
}

void SkinForm::toggleMaximised() {
  ShowWindow(window_, IsZoomed(window_) ? SW_RESTORE : SW_MAXIMIZE);
  invalidate(captionRect(kCaptionMaximise));
}

// ---- Keyboard and timers -------------------------------------------------------

bool SkinForm::handleKey(UINT message, WPARAM wParam, LPARAM) {
  int keys = modifierKeys();
  if (message == WM_KEYDOWN) {
    if (focused_ && focused_->isVisible() && focused_->isEnabled() && focused_->keyDown(int(wParam), keys))
      return true;
    return onKeyDown && onKeyDown(int(wParam), keys);
  }
  if (message == WM_CHAR) return onCharacter && onCharacter(int(wParam));
  return false;  // composition: the window's own handling
}

void SkinForm::handleTimer(UINT_PTR timerId) {
  if (onTimer) onTimer(timerId);
}

void SkinForm::startAnimation() {
  if (!window_ || animating_) return;
  animating_ = SetTimer(window_, kFadeTimer, kFadeInterval, nullptr) != 0;
  lastTick_ = GetTickCount();
}

void SkinForm::animateStep() {
  DWORD now = GetTickCount();
  int elapsed = int(now - lastTick_);
  lastTick_ = now;
  elapsed = std::min(std::max(elapsed, 1), 100);
  bool running = false;
  for (SkinElement* element : std::vector<SkinElement*>(elements_))
    if (element->form_ == this && element->animate(elapsed)) running = true;
  for (CaptionState& state : buttonStates_) {
    float before = state.hover;
    float target = state.hovered ? 1.0f : 0.0f;
    float step = float(elapsed) / (state.hovered ? 100.0f : 200.0f);
    state.hover = state.hover < target ? std::min(target, state.hover + step) : std::max(target, state.hover - step);
    if (state.hover != before) invalidate(captionRect(state.bit));
    if (state.hover != target) running = true;
  }
  if (!running && window_) {
    KillTimer(window_, kFadeTimer);
    animating_ = false;
  }
}

void SkinForm::handleDestroy() {
  trackingMouse_ = false;
  if (animating_) KillTimer(window_, kFadeTimer);
  animating_ = false;
  skin_.clear();
  surface_.release();
}

}  // namespace ql
