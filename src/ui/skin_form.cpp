#include "ui/skin_form.h"

#include "ui/form_surface.h"
#include "ui/skin_draw.h"
#include "ui/tooltips.h"
#include "ui/toolkit.h"
#include "ui/window_helpers.h"

#include <commctrl.h>

#include <algorithm>

namespace ql {

namespace {

// The form's own timer: runs only while something fades.
const UINT_PTR kFadeTimer = 0x7BD1;
const UINT kFadeInterval = 15;

// Posted to a layered form to push its picture once after a run of changes.
UINT pushMessage() {
  static UINT message = RegisterWindowMessageA("QlSkinFormPush");
  return message;
}

int clampAlpha(int alpha) {
  return alpha == SkinForm::kOpaque ? alpha : std::min(std::max(alpha, 0), 255);
}

SkinRect clientArea(const RECT& rect) {
  return {int(rect.left), int(rect.top), int(rect.right - rect.left), int(rect.bottom - rect.top)};
}

}  // namespace

SkinForm::SkinForm()
    : captionButtons_(kDefaultCaptionButtons),
      background_(theme::kSurface),
      surface_(std::make_unique<FormSurface>()) {}

SkinForm::~SkinForm() { detach(); }

SkinForm* SkinForm::fromHandle(HWND window) {
  WindowBase* base = WindowBase::fromHandle(window);
  return base ? dynamic_cast<SkinForm*>(base->messageFilter()) : nullptr;
}

bool SkinForm::attach(HWND handle, const Bytes& skinPicture, uint32_t transparentColor,
                      int captionButtons, int alpha) {
  WindowBase* window = WindowBase::fromHandle(handle);
  if (!window || !window->exists()) return false;
  if (window_ != window) {
    detach();
    window_ = window;
    window->setMessageFilter(this);
  }
  caption_ = window->text();
  skin_.clear();
  if (!skinPicture.empty()) skin_.loadMemory(skinPicture);
  transparent_ = transparentColor;
  captionButtons_ =
      captionButtons == kCaptionButtonsNotGiven ? kDefaultCaptionButtons : captionButtons;
  if (captionButtons != kCaptionButtonsNotGiven) window->setStyleBits(WS_SYSMENU, true);
  alpha_ = clampAlpha(alpha);
  window->setExStyleBits(WS_EX_LAYERED, isLayered());
  surface_->invalidateBackground();

  toolTips().removeWindow(handle);  // attaching again must not add a second tool
  toolTips().addWindow(handle);
  shownTip_.clear();
  layout();
  repaint();
  return true;
}

void SkinForm::detach() {
  if (window_ && window_->messageFilter() == this)
    window_->setMessageFilter(nullptr);
  else if (window_)
    filterRemoved(*window_);
}

void SkinForm::filterRemoved(WindowBase& window) {
  if (window_ != &window) return;
  HWND handle = window.handle();
  if (handle && IsWindow(handle)) {
    if (animating_) KillTimer(handle, kFadeTimer);
    toolTips().removeWindow(handle);
    if (GetCapture() == handle) ReleaseCapture();
    if (isLayered()) SetWindowRgn(handle, nullptr, TRUE);
  }
  animating_ = false;
  layeredPending_ = false;
  std::vector<SkinElement*> elements;
  elements.swap(elements_);
  for (SkinElement* element : elements) {
    element->form_ = nullptr;
    element->hovered_ = element->pressed_ = false;
    element->detached();
  }
  input_.reset();
  window_ = nullptr;
  surface_->release();
}

// ---- The message filter -----------------------------------------------------------

bool SkinForm::filterMessage(WindowBase& window, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) {
  HWND handle = window.handle();
  const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
  switch (message) {
    case WM_ERASEBKGND: result = 1; return true;
    case WM_PAINT:
      if (isLayered()) {
        ValidateRect(handle, nullptr);
        scheduleRepaint({0, 0, width_, height_});
      } else {
        paintOpaque();
      }
      return true;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        layout();
        toolTips().updateWindow(handle);
        repaint();
      }
      return false;
    case WM_GETMINMAXINFO: {
      result = DefSubclassProc(handle, message, wParam, lParam);
      // A maximised popup covers the work area, never the taskbar.
      MONITORINFO monitor = {};
      monitor.cbSize = sizeof monitor;
      if (GetMonitorInfoA(MonitorFromWindow(handle, MONITOR_DEFAULTTONEAREST), &monitor)) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxPosition.x = monitor.rcWork.left - monitor.rcMonitor.left;
        info->ptMaxPosition.y = monitor.rcWork.top - monitor.rcMonitor.top;
        info->ptMaxSize.x = monitor.rcWork.right - monitor.rcWork.left;
        info->ptMaxSize.y = monitor.rcWork.bottom - monitor.rcWork.top;
      }
      return true;
    }
    case WM_MOUSEMOVE: {
      POINT screen = {x, y};
      ClientToScreen(handle, &screen);
      applySteps(input_.mouseMove(hitAt(x, y), screen.x, screen.y), POINT{x, y});
      return false;
    }
    case WM_MOUSELEAVE: applySteps(input_.mouseLeave()); return false;
    case WM_LBUTTONDOWN: {
      POINT screen = {x, y};
      ClientToScreen(handle, &screen);
      applySteps(input_.leftDown(hitAt(x, y), screen.x, screen.y, IsZoomed(handle) != FALSE),
                 POINT{x, y});
      return false;
    }
    case WM_LBUTTONUP: applySteps(input_.leftUp(hitAt(x, y)), POINT{x, y}); return false;
    case WM_RBUTTONDOWN: applySteps(input_.rightDown(hitAt(x, y)), POINT{x, y}); return false;
    case WM_LBUTTONDBLCLK:
      applySteps(input_.doubleClick(hitAt(x, y), (captionButtons_ & kCaptionMaximise) != 0),
                 POINT{x, y});
      return false;
    case WM_MOUSEWHEEL: {
      POINT point = {x, y};
      ScreenToClient(handle, &point);
      const int keys = mouseModifierKeys(LOWORD(wParam));
      const int delta = short(HIWORD(wParam));
      SkinElement* target = element(hitTest(point.x, point.y));
      SkinElement* focused = focusedElement();
      if ((target && target->isEnabled() && target->wheel(delta, keys)) ||
          (focused && focused != target && focused->isVisible() && focused->isEnabled() &&
           focused->wheel(delta, keys))) {
        result = 0;
        return true;
      }
      return false;
    }
    case WM_NCHITTEST: result = sizingHitTest(x, y); return result != 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header && header->hwndFrom == toolTips().handle() && header->code == TTN_SHOW &&
          placeTooltip()) {
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != handle) applySteps(input_.captureLost());
      return false;
    case WM_KEYDOWN: {
      SkinElement* focused = focusedElement();
      if (GetFocus() == handle && focused && focused->isVisible() && focused->isEnabled() &&
          focused->keyDown(int(wParam), modifierKeys())) {
        result = 0;
        return true;
      }
      return false;
    }
    case WM_KILLFOCUS:
    case WM_SETFOCUS:
      if (SkinElement* focused = focusedElement()) focused->repaint();
      return false;
    case WM_TIMER:
      if (wParam != kFadeTimer) return false;
      animateStep();
      result = 0;
      return true;
    default:
      if (message == pushMessage()) {
        pushLayered();
        result = 0;
        return true;
      }
      return false;
  }
}

bool SkinForm::dialogKey(WindowBase& window, int key, int keys) {
  if (key == VK_TAB) return moveFocus((keys & kModShift) == 0);
  SkinElement* focused = focusedElement();
  if (key == VK_RETURN && focused && GetFocus() == window.handle() && focused->isVisible() &&
      focused->isEnabled())
    return focused->keyDown(key, keys);
  return false;
}

// Tab: the elements that take the focus and the child controls, in reading order.
bool SkinForm::moveFocus(bool forward) {
  HWND handle = window_->handle();
  std::vector<FocusStop> stops;
  for (SkinElement* element : elements_)
    if (element->takesFocus() && element->isVisible() && element->isEnabled())
      stops.push_back({element, element->left(), element->top()});
  for (HWND child = GetWindow(handle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (!(style & WS_TABSTOP) || !(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
    RECT rect;
    GetWindowRect(child, &rect);
    POINT corner = {rect.left, rect.top};
    ScreenToClient(handle, &corner);
    stops.push_back({child, corner.x, corner.y});
  }
  // The child of this window that holds the focus (or holds what does).
  HWND focus = GetFocus();
  while (focus && focus != handle && GetAncestor(focus, GA_PARENT) != handle)
    focus = GetAncestor(focus, GA_PARENT);
  const void* current = focus == handle ? static_cast<const void*>(focusedElement())
                                        : static_cast<const void*>(focus);
  const void* next = nextFocusStop(stops, current, forward);
  if (!next) return true;
  keyboardCues_ = true;
  if (SkinElement* element = elementOf(next)) {
    SetFocus(handle);
    applySteps(input_.setFocus(element));
  } else {
    applySteps(input_.setFocus(nullptr));
    SetFocus(static_cast<HWND>(const_cast<void*>(next)));
  }
  return true;
}

// ---- Carrying out the mouse and focus rules ------------------------------------------

FormHit SkinForm::hitAt(int x, int y) const {
  FormHit hit;
  SkinElement* target = element(hitTest(x, y));
  hit.element = target;
  hit.enabled = target && target->isEnabled();
  hit.captionButton = target ? 0 : captionBar_.buttonAt(x, y);
  hit.captionBand = inCaptionBand(y);
  return hit;
}

SkinElement* SkinForm::elementOf(ElementKey key) const {
  for (SkinElement* element : elements_)
    if (element == key) return element;
  return nullptr;
}

void SkinForm::applySteps(const FormSteps& steps) {
  if (steps.empty() || !window_) return;
  POINT cursor;
  GetCursorPos(&cursor);
  ScreenToClient(window_->handle(), &cursor);
  applySteps(steps, cursor);
}

// `point`: where the mouse message that led here was, in client pixels.
void SkinForm::applySteps(const FormSteps& steps, POINT point) {
  for (const FormStep& step : steps) {
    if (!window_) return;  // a routine ended the window
    HWND handle = window_->handle();
    SkinElement* element = elementOf(step.element);
    const int ex = element ? point.x - element->left() : 0;
    const int ey = element ? point.y - element->top() : 0;
    const int keys = element ? modifierKeys() : 0;
    switch (step.kind) {
      case FormStep::PointerEntered: toolTips().updateWindow(handle); break;
      case FormStep::Enter:
        if (element) {
          element->mouseEnter();
          report(element, kEventMouseEnter);
        }
        break;
      case FormStep::Leave:
        if (element) {
          element->mouseLeave();
          report(element, kEventMouseLeave);
        }
        break;
      case FormStep::Move:
        if (element) element->mouseMove(ex, ey, keys);
        break;
      case FormStep::Focus: {
        SkinElement* old = focusedElement();
        if (old && old != element) old->repaint();
        if (element) element->repaint();
        break;
      }
      case FormStep::Press:
        if (element) {
          SetCapture(handle);
          element->leftDown(ex, ey, keys);
          if (element->form_ == this && element->onLeftPress)
            element->onLeftPress(*element, ex, ey);
          report(element, kEventLeftPress);
        }
        break;
      case FormStep::DoublePress:
        if (element) {
          SetCapture(handle);
          element->doubleClick(ex, ey, keys);
          if (element->form_ == this && element->onDoubleClick)
            element->onDoubleClick(*element, ex, ey);
          report(element, kEventDoubleClick);
        }
        break;
      case FormStep::RightPress:
        if (element) {
          element->rightDown(ex, ey, keys);
          if (element->form_ == this && element->onRightPress)
            element->onRightPress(*element, ex, ey);
          report(element, kEventRightPress);
        }
        break;
      case FormStep::Release:
        if (GetCapture() == handle) ReleaseCapture();
        if (element) element->leftUp(ex, ey, keys);
        break;
      case FormStep::Click: clickElement(element); break;
      case FormStep::CaptureLost:
        if (element) element->captureLost();
        break;
      case FormStep::HoverButton:
        invalidate(captionBar_.rect(captionBar_.hovered()));
        captionBar_.setHovered(step.bit);
        invalidate(captionBar_.rect(step.bit));
        startAnimation();
        break;
      case FormStep::PressButton:
        SetCapture(handle);
        captionBar_.setPressed(step.bit);
        invalidate(captionBar_.rect(step.bit));
        break;
      case FormStep::ReleaseButton:
        if (GetCapture() == handle) ReleaseCapture();
        captionBar_.setPressed(0);
        invalidate(captionBar_.rect(step.bit));
        break;
      case FormStep::CaptionAction: captionAction(step.bit); break;
      case FormStep::DragStart: {
        RECT rect;
        GetWindowRect(handle, &rect);
        windowAtDragStart_ = {rect.left, rect.top};
        SetCapture(handle);
        break;
      }
      case FormStep::DragMove:
        if (step.dx == 0 && step.dy == 0) break;
        SetWindowPos(handle, nullptr, windowAtDragStart_.x + step.dx,
                     windowAtDragStart_.y + step.dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      case FormStep::DragEnd:
        if (GetCapture() == handle) ReleaseCapture();
        // Tell the window the move is over, as the system's own move loop does.
        if (step.moved) SendMessageA(handle, WM_EXITSIZEMOVE, 0, 0);
        break;
    }
  }
  updateTooltip();
}

void SkinForm::clickElement(SkinElement* element) {
  if (!element || element->form_ != this || !element->isEnabled()) return;
  element->clicked();
  if (element->form_ == this && element->onClick) element->onClick(*element);
  report(element, kEventClick);
}

void SkinForm::captionAction(int bit) {
  HWND window = handle();
  if (onEvent && onEvent(window, captionEventCode(bit), bit, kEventFromCaption)) return;
  if (handle() != window || !IsWindow(window)) return;
  switch (bit) {
    case kCaptionClose:
      // Posted: the window may be destroyed, and not inside its own click.
      PostMessageA(window, WM_CLOSE, 0, 0);
      break;
    case kCaptionMaximise:
      ShowWindow(window, IsZoomed(window) ? SW_RESTORE : SW_MAXIMIZE);
      invalidate(captionBar_.rect(kCaptionMaximise));
      break;
    case kCaptionMinimise: ShowWindow(window, SW_MINIMIZE); break;
    case kCaptionMenu: {
      HMENU menu = GetSystemMenu(window, FALSE);
      SkinRect button = captionBar_.rect(bit);
      POINT point = {button.x, button.y + button.height};
      ClientToScreen(window, &point);
      if (!menu) break;
      SetForegroundWindow(window);
      int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0,
                                   window, nullptr);
      if (command) PostMessageA(window, WM_SYSCOMMAND, WPARAM(command), 0);
      break;
    }
    default: break;  // the skin button only reports its event
  }
}

LRESULT SkinForm::sizingHitTest(int screenX, int screenY) const {
  HWND handle = window_->handle();
  if (resizeBorder_ <= 0 || IsZoomed(handle)) return 0;
  RECT rect;
  GetWindowRect(handle, &rect);
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
  if (top && captionBar_.buttonAt(screenX - rect.left, 0) == 0) return HTTOP;
  return 0;
}

void SkinForm::updateTooltip() {
  if (!window_) return;
  SkinElement* hovered = hoveredElement();
  const int button = input_.hoveredButton();
  std::string tip = hovered ? hovered->tooltip() : button ? captionTooltip(button) : "";
  if (tip == shownTip_) return;
  shownTip_ = tip;
  toolTips().setText(window_->handle(), tip);
}

// The tooltip tool is the whole window, so the system would centre every tip
// under the window; it goes under the element or caption button instead.
bool SkinForm::placeTooltip() {
  SkinElement* hovered = hoveredElement();
  SkinRect target = hovered ? hovered->rect() : captionBar_.rect(input_.hoveredButton());
  HWND tip = toolTips().handle();
  HWND handle = window_->handle();
  if (target.width <= 0 || !tip) return false;
  RECT tipRect;
  GetWindowRect(tip, &tipRect);
  int tipWidth = tipRect.right - tipRect.left, tipHeight = tipRect.bottom - tipRect.top;
  POINT point = {target.x + target.width / 2, target.y + target.height + 4};
  ClientToScreen(handle, &point);
  int x = point.x - tipWidth / 2, y = point.y;
  ScreenRect area = workAreaAt(point.x, point.y);
  x = std::max(area.left, std::min(x, area.right - tipWidth));
  if (y + tipHeight > area.bottom) {
    POINT above = {0, target.y - 4};
    ClientToScreen(handle, &above);
    y = above.y - tipHeight;
  }
  SetWindowPos(tip, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

// ---- Appearance ---------------------------------------------------------------------

void SkinForm::postCloseClick() {
  if (!window_) return;
  HWND handle = window_->handle();
  RECT client;
  GetClientRect(handle, &client);
  LPARAM point = MAKELPARAM(client.right - 8, 8);
  PostMessageA(handle, WM_MOUSEMOVE, 0, point);
  PostMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(handle, WM_LBUTTONUP, 0, point);
}

void SkinForm::repaint() { invalidate({0, 0, width_, height_}); }

void SkinForm::repaint(const SkinRect& area) { invalidate(area); }

void SkinForm::invalidate(const SkinRect& area) {
  if (!window_ || area.width <= 0 || area.height <= 0) return;
  scheduleRepaint(area);
}

void SkinForm::scheduleRepaint(const SkinRect& area) {
  HWND handle = window_->handle();
  if (isLayered()) {
    // Layered windows get no WM_PAINT: collect changes and push once.
    if (!layeredPending_) layeredPending_ = PostMessageA(handle, pushMessage(), 0, 0) != FALSE;
    return;
  }
  RECT rect = {area.x, area.y, area.x + area.width, area.y + area.height};
  InvalidateRect(handle, &rect, FALSE);
}

void SkinForm::resize(int width, int height) {
  if (!window_) return;
  RECT rect = {0, 0, width, height};
  AdjustWindowRectEx(&rect, window_->style(), FALSE, window_->exStyle());
  SetWindowPos(window_->handle(), nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SkinForm::setCaption(const std::string& text) {
  caption_ = text;
  if (window_) window_->setText(text);
  invalidate({0, 0, width_, kCaptionBandHeight});
}

bool SkinForm::setSkinPicture(const Bytes& picture) {
  bool ok = picture.empty() ? (skin_.clear(), true) : skin_.loadMemory(picture);
  surface_->invalidateBackground();
  repaint();
  return ok;
}

void SkinForm::setAlpha(int alpha) {
  bool wasLayered = isLayered();
  alpha_ = clampAlpha(alpha);
  surface_->invalidateBackground();
  if (!window_) return;
  if (wasLayered != isLayered()) {
    window_->setExStyleBits(WS_EX_LAYERED, isLayered());
    if (!isLayered()) {
      SetWindowRgn(window_->handle(), nullptr, FALSE);
      RedrawWindow(window_->handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }
  repaint();
}

bool SkinForm::backgroundSeeThrough() const {
  return isLayered() && transparent_ != kNoTransparentColor && !skin_.valid();
}

void SkinForm::setCaptionButtons(int buttonSet) {
  captionButtons_ = buttonSet;
  layout();
  repaint();
}

void SkinForm::setBackgroundColor(uint32_t argb) {
  background_ = argb;
  surface_->invalidateBackground();
  repaint();
}

// ---- Elements -------------------------------------------------------------------------

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

SkinElement* SkinForm::hoveredElement() const { return elementOf(input_.hovered()); }
SkinElement* SkinForm::focusedElement() const { return elementOf(input_.focused()); }

void SkinForm::setFocusedElement(SkinElement* element) {
  if (element && element->form_ != this) return;
  applySteps(input_.setFocus(element));
}

bool SkinForm::showsFocus(const SkinElement* element) const {
  return keyboardCues_ && element && element == focusedElement() && window_ &&
         GetFocus() == window_->handle();
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
  FormSteps steps = input_.forget(element);
  if (!steps.empty() && window_ && GetCapture() == window_->handle()) ReleaseCapture();
  element->form_ = nullptr;
  element->detached();
  updateTooltip();
}

void SkinForm::report(SkinElement* element, int code) {
  int index = indexOf(element);
  if (index && onEvent) onEvent(handle(), code, index, kEventFromElement);
}

// ---- Layout and painting ----------------------------------------------------------------

void SkinForm::layout() {
  RECT client = window_->clientRect();
  width_ = client.right;
  height_ = client.bottom;
  captionBar_.layout(captionButtons_, width_);
  surface_->invalidateBackground();
  for (SkinElement* element : std::vector<SkinElement*>(elements_)) element->layout();
  if (onResized) onResized(width_, height_);
}

void SkinForm::render(const SkinRect& requested) {
  SkinRect area;
  area.x = std::max(0, requested.x);
  area.y = std::max(0, requested.y);
  area.width = std::min(width_, requested.x + requested.width) - area.x;
  area.height = std::min(height_, requested.y + requested.height) - area.y;
  if (area.width <= 0 || area.height <= 0) return;
  if (!surface_->fit(window_->handle(), isLayered(), width_, height_)) return;
  const bool seeThrough = backgroundSeeThrough();
  FormBackground look = {
      &skin_,
      background_,
      transparent_ == kNoTransparentColor ? 0xFFFFFFFFu : fromColorRef(transparent_) & 0xFFFFFF,
      isLayered(),
      isLayered() ? alpha_ : 255,
      seeThrough};
  Gdiplus::Bitmap* canvas = surface_->begin(look, area);
  if (!canvas) return;
  Gdiplus::Graphics graphics(canvas);
  setSkinQuality(graphics, !isLayered());
  graphics.SetClip(Gdiplus::Rect(area.x, area.y, area.width, area.height));
  paintLayers(graphics, area);
}

void SkinForm::paintLayers(Gdiplus::Graphics& graphics, const SkinRect& area) {
  if (onPaint) onPaint(graphics, width_, height_);
  const bool chrome = isLayered() && (backgroundSeeThrough() || alpha_ < kLegibleAlpha);
  captionBar_.paint(graphics, width_, height_, caption_, !isLayered(), chrome,
                    IsZoomed(window_->handle()) != FALSE);
  if (window_->onPaint) {
    // The window's own GDI drawing goes onto the same picture.
    graphics.Flush(Gdiplus::FlushIntentionSync);
    HDC dc = surface_->clientDc();
    std::vector<uint32_t> before;
    if (isLayered()) surface_->snapshot(area, before);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.x, area.y, area.x + area.width, area.y + area.height);
    window_->onPaint(dc, RECT{area.x, area.y, area.x + area.width, area.y + area.height});
    RestoreDC(dc, saved);
    GdiFlush();
    if (isLayered()) surface_->makeChangedOpaque(area, before);
    if (!window_) return;
  }
  for (SkinElement* element : elements_) {
    if (!element->isVisible() || !element->rect().intersects(area)) continue;
    Gdiplus::GraphicsState state = graphics.Save();
    element->paint(graphics);
    graphics.Restore(state);
    if (showsFocus(element)) {
      Gdiplus::RectF ring = element->rect().toF();
      drawRoundRect(graphics,
                    Gdiplus::RectF(ring.X - 1, ring.Y - 1, ring.Width + 2, ring.Height + 2), 6,
                    withAlpha(theme::kAccent, 200), 1, kRoundOutline);
    }
  }
}

void SkinForm::paintOpaque() {
  HWND handle = window_->handle();
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle, &paint);
  if (dc) {
    SkinRect area = clientArea(paint.rcPaint);
    render(area);
    if (window_) surface_->copyTo(dc, area);
  }
  EndPaint(handle, &paint);
}

void SkinForm::pushLayered() {
  layeredPending_ = false;
  if (!window_ || !isLayered()) return;
  render({0, 0, width_, height_});
  if (window_) surface_->push(window_->handle(), transparent_ != kNoTransparentColor);
}

// ---- Fades ----------------------------------------------------------------------------------

void SkinForm::startAnimation() {
  if (!window_ || animating_) return;
  animating_ = SetTimer(window_->handle(), kFadeTimer, kFadeInterval, nullptr) != 0;
  lastTick_ = GetTickCount();
}

void SkinForm::animateStep() {
  DWORD now = GetTickCount();
  int elapsed = std::min(std::max(int(now - lastTick_), 1), 100);
  lastTick_ = now;
  bool running = false;
  for (SkinElement* element : std::vector<SkinElement*>(elements_))
    if (element->form_ == this && element->animate(elapsed)) running = true;
  std::vector<int> changed;
  if (captionBar_.animate(elapsed, changed)) running = true;
  for (int bit : changed) invalidate(captionBar_.rect(bit));
  if (!running && window_) {
    KillTimer(window_->handle(), kFadeTimer);
    animating_ = false;
  }
}

}  // namespace ql
