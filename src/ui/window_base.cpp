#include "ui/window_base.h"

#include <commctrl.h>
#include <shellapi.h>

#include <unordered_map>

#include "runtime/failure_log.h"
#include "runtime/message_box.h"
#include "ui/picture_region.h"
#include "ui/tray_icon.h"
#include "ui/window_helpers.h"

namespace ql {

const char kWindowClassName[] = "WTWindow";

namespace {

// Subclass identifiers: the object's routing, and the hidden owner's end,
// which must come even when the object has gone before its window.
constexpr UINT_PTR kRoutingSubclass = 1;
constexpr UINT_PTR kHiddenOwnerSubclass = 2;

// The one handle-to-object registry.
std::unordered_map<HWND, WindowBase*>& windowMap() {
  static std::unordered_map<HWND, WindowBase*> map(997);
  return map;
}

HWND currentWindow = nullptr;
int lastHotKeyId = 0;
int lastControlId = 1000;

int lowSigned(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int highSigned(LPARAM value) { return static_cast<short>(HIWORD(value)); }

LRESULT CALLBACK hiddenOwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR owner) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, hiddenOwnerProcedure, id);
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    DestroyWindow(reinterpret_cast<HWND>(owner));
    return result;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

bool registerWindowClass(HINSTANCE module, const char* className, WNDPROC procedure) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(module, className, &existing)) return true;
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = module;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

HWND currentMessageWindow() { return currentWindow; }

bool anyWindowAlive() {
  for (auto& entry : windowMap())
    if (IsWindow(entry.first)) return true;
  return false;
}

void removeAllTrayIcons() {
  for (auto& entry : windowMap()) entry.second->removeTrayIcon();
}

// ---- Class and procedures -------------------------------------------------

WindowBase::WindowBase() = default;

WindowBase::~WindowBase() {
  if (!window_) return;
  if (filter_) std::exchange(filter_, nullptr)->filterRemoved(*this);
  if (IsWindow(window_)) RemoveWindowSubclass(window_, subclassProcedure, kRoutingSubclass);
  releaseResources();
  detach();
}

WindowBase* WindowBase::fromHandle(HWND window) {
  if (!window) return nullptr;
  auto& map = windowMap();
  auto found = map.find(window);
  return found == map.end() ? nullptr : found->second;
}

bool WindowBase::exists() const { return window_ && IsWindow(window_); }

bool WindowBase::attach(HWND window) {
  if (!SetWindowSubclass(window, subclassProcedure, kRoutingSubclass,
                         reinterpret_cast<DWORD_PTR>(this)))
    return false;
  window_ = window;
  windowMap()[window] = this;
  createdDelivered_ = false;
  firstActivationDone_ = false;
  trackingMouse_ = false;
  return true;
}

void WindowBase::detach() {
  if (!window_) return;
  auto& map = windowMap();
  auto found = map.find(window_);
  if (found != map.end() && found->second == this) map.erase(found);
  window_ = nullptr;
}

// The class procedure of "WTWindow": the object is handed over in the
// creation parameter and subclasses the window at once, so the messages sent
// during CreateWindowExA already reach it.
LRESULT CALLBACK WindowBase::classProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self && !fromHandle(window)) self->attach(window);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::subclassProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR object) {
  auto* self = reinterpret_cast<WindowBase*>(object);
  HWND outer = currentWindow;
  currentWindow = window;
  // Nothing of the object is touched after route: a routine may have
  // destroyed it.
  const LRESULT result = self->route(message, wParam, lParam);
  currentWindow = outer;
  return result;
}

void WindowBase::setMessageFilter(MessageFilter* filter) {
  if (filter_ == filter) return;
  MessageFilter* old = std::exchange(filter_, filter);
  if (old) old->filterRemoved(*this);
}

// ---- Message routing (the order is written down in window_base.h) ---------------

LRESULT WindowBase::route(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = window_;
  if (message == WM_NCDESTROY) {
    const LRESULT last = DefSubclassProc(window, message, wParam, lParam);
    RemoveWindowSubclass(window, subclassProcedure, kRoutingSubclass);
    handleFinalDestroy();
    return last;
  }
  // The toolkit's own bookkeeping comes before anyone can end the message.
  if (message == WM_MOUSEMOVE && !trackingMouse_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
    trackingMouse_ = TrackMouseEvent(&track) != FALSE;
  } else if (message == WM_MOUSELEAVE) {
    trackingMouse_ = false;
  }

  LRESULT result = 0;
  if (onMessage && onMessage(message, wParam, lParam, result)) return result;
  if (filter_ && filter_->filterMessage(*this, message, wParam, lParam, result)) return result;
  if (routeControlMessage(message, wParam, lParam, result)) return result;
  if (routeEvent(message, wParam, lParam, result)) return result;
  if (isTopLevel_ && routeTopLevel(message, wParam, lParam, result)) return result;
  return DefSubclassProc(window, message, wParam, lParam);
}

bool WindowBase::routeEvent(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  const int x = lowSigned(lParam), y = highSigned(lParam);
  auto mouse = [&](const MouseRoutine& routine) {
    return routine && routine(x, y, mouseModifierKeys(wParam));
  };
  switch (message) {
    case WM_LBUTTONDOWN: return mouse(onLeftDown);
    case WM_LBUTTONUP: return mouse(onLeftUp);
    case WM_LBUTTONDBLCLK: return mouse(onLeftDoubleClick);
    case WM_RBUTTONDOWN: return mouse(onRightDown);
    case WM_RBUTTONUP: return mouse(onRightUp);
    case WM_MOUSEMOVE: return mouse(onMouseMove);
    case WM_SETFOCUS:
      if (onFocusGained) onFocusGained();
      return false;
    case WM_KILLFOCUS:
      if (onFocusLost) onFocusLost();
      return false;
    case WM_KEYDOWN: return onKeyDown && onKeyDown(static_cast<int>(wParam), modifierKeys());
    case WM_KEYUP: return onKeyUp && onKeyUp(static_cast<int>(wParam), modifierKeys());
    case WM_CHAR: return onCharacter && onCharacter(static_cast<int>(wParam));
    case WM_MOUSEWHEEL:
      return onMouseWheel &&
             onMouseWheel(static_cast<short>(HIWORD(wParam)), mouseModifierKeys(LOWORD(wParam)));
    case WM_SETCURSOR:
      if (cursor_ && reinterpret_cast<HWND>(wParam) == window_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(cursor_);
        result = TRUE;
        return true;
      }
      return false;
    case WM_PAINT: return paint();
    case WM_ERASEBKGND:
      if (!backgroundBrush_ && !backgroundPicture_) return false;
      drawBackground(reinterpret_cast<HDC>(wParam), clientRect());
      result = 1;
      return true;
    case WM_DROPFILES: {
      auto drop = reinterpret_cast<HDROP>(wParam);
      std::vector<std::string> paths;
      const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH + 1] = {};
        if (DragQueryFileA(drop, i, path, MAX_PATH)) paths.emplace_back(path);
      }
      DragFinish(drop);
      if (onFilesDropped) onFilesDropped(paths);
      return true;
    }
    case WM_TIMER:
      if (!onTimer) return false;
      onTimer(static_cast<UINT_PTR>(wParam));
      return true;
    default: return false;
  }
}

bool WindowBase::paint() {
  if (!onPaint) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (dc) onPaint(dc, paint.rcPaint);
  EndPaint(window_, &paint);
  return true;
}

bool WindowBase::routeControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // Menus, accelerators and the window's own scroll bars send no control.
  if (lParam == 0) return false;
  HWND child = nullptr;
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: child = reinterpret_cast<HWND>(lParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom; break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU) child = item->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU) child = GetDlgItem(window_, static_cast<int>(item->CtlID));
      break;
    }
    case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem; break;
    case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem; break;
    default: return false;
  }
  WindowBase* control = fromHandle(child);
  if (!control || control == this) return false;
  currentWindow = child;
  return control->handleControlMessage(message, wParam, lParam, result);
}

bool WindowBase::routeTopLevel(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case kMsgCreated:
      createdDelivered_ = true;
      if (onCreated) onCreated(window_);
      if (onResized && exists()) {
        const RECT client = clientRect();
        onResized(client.right, client.bottom);
      }
      return true;
    case WM_CLOSE:
      if (onCloseRequested && onCloseRequested()) return true;
      DestroyWindow(window_);
      return true;
    case WM_DESTROY:
      // The owner comes back before this window goes, so the system hands
      // activation to it rather than to another program.
      if (modalOwner_) EnableWindow(modalOwner_, TRUE);
      if (onDestroyed) onDestroyed();
      return false;
    case WM_MOVE:
      if (createdDelivered_ && onMoved) onMoved(lowSigned(lParam), highSigned(lParam));
      return false;
    case WM_SIZE:
      if (createdDelivered_ && onResized && wParam != SIZE_MINIMIZED)
        onResized(LOWORD(lParam), HIWORD(lParam));
      return false;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        if (!firstActivationDone_) {
          firstActivationDone_ = true;
          if (onFirstActivation) onFirstActivation();
        }
        if (onActivated) onActivated();
      } else if (onDeactivated) {
        onDeactivated();
      }
      return false;
    case WM_SHOWWINDOW:
      if (wParam) {
        if (onShown) onShown();
      } else if (onHidden) {
        onHidden();
      }
      return false;
    case kMsgTrayIcon: {
      const int code = trayEventCode(lParam);
      if (code && onTrayEvent) onTrayEvent(code);
      return true;
    }
    case WM_NCACTIVATE:
      if (wParam || !keepActive_) return false;
      result = TRUE;
      return true;
    case WM_COMMAND:
      if (lParam != 0 || !onMenuCommand) return false;
      onMenuCommand(LOWORD(wParam));
      return true;
    case WM_HOTKEY:
      if (!onHotKey) return false;
      onHotKey(LOWORD(lParam), HIWORD(lParam));
      return true;
    case WM_QUERYENDSESSION: result = !onQueryEndSession || onQueryEndSession(); return true;
    case WM_ENDSESSION:
      if (onEndSession) onEndSession(wParam != FALSE);
      return true;
    default:
      if (tray_ && message == TrayIcon::taskbarCreatedMessage(window_)) tray_->addAgain();
      return false;
  }
}

// ---- Dialog keys ----------------------------------------------------------------

bool WindowBase::translateDialogKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  const int key = static_cast<int>(message.wParam);
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  WindowBase* window = fromHandle(GetAncestor(message.hwnd, GA_ROOT));
  if (!window || !window->isDialogLike()) return false;
  // The control with the focus keeps the keys it asks for (a multi-line
  // edit's Enter, an open drop-down's Esc).
  MSG copy = message;
  const LRESULT wants =
      SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&copy));
  if (wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  if (key == VK_TAB && (wants & DLGC_WANTTAB)) return false;
  return window->dialogKey(key, modifierKeys());
}

bool WindowBase::dialogKey(int key, int keys) {
  if (filter_ && filter_->dialogKey(*this, key, keys)) return true;
  HWND window = window_;
  switch (key) {
    case VK_TAB: {
      HWND next = GetNextDlgTabItem(window, GetFocus(), (keys & kModShift) != 0);
      if (next) SetFocus(next);
      return true;
    }
    case VK_RETURN:
      if (onOk) onOk();
      return true;
    case VK_ESCAPE:
      if (onCancel)
        onCancel();
      else
        PostMessageA(window, WM_CLOSE, 0, 0);
      return true;
    default: return false;
  }
}

// ---- Final destroy --------------------------------------------------------------

bool WindowBase::handleControlMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void WindowBase::handleFinalDestroy() {
  if (filter_) std::exchange(filter_, nullptr)->filterRemoved(*this);
  releaseResources();
  modalOwner_ = nullptr;
  modal_ = false;
  isTopLevel_ = false;
  detach();
}

void WindowBase::releaseResources() {
  tray_.reset();
  backgroundBrush_.reset();
  backgroundPicture_ = nullptr;
  backgroundMode_ = kBackgroundBrushOnly;
  ownedCursor_.reset();
  cursor_ = nullptr;
}

// ---- Creation ---------------------------------------------------------------

bool WindowBase::createTopLevel(const TopLevelArgs& args) {
  if (exists()) return false;
  const char* className = args.className ? args.className : kWindowClassName;
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (!registerWindowClass(module, className, classProcedure)) {
    logFailure("window class " + std::string(className) + " not registered, error " +
               std::to_string(GetLastError()));
    return false;
  }
  if (args.created) onCreated = args.created;

  HWND owner = args.owner;
  HWND hiddenOwner = nullptr;
  if (!owner && !args.taskbarButton) {
    hiddenOwner = CreateWindowExA(0, className, "", WS_OVERLAPPED, 0, 0, 250, 110, nullptr, nullptr,
                                  module, nullptr);
    owner = hiddenOwner;
  }
  isTopLevel_ = true;
  modal_ = args.modal;
  HWND window = CreateWindowExA(args.exStyle, className, args.title.c_str(), args.style, args.left,
                                args.top, args.width, args.height, owner, nullptr, module, this);
  if (window && window_ != window && !attach(window)) {
    DestroyWindow(window);
    window = nullptr;
  }
  if (!window) {
    logFailure("window \"" + args.title + "\" not created, error " +
               std::to_string(GetLastError()));
    isTopLevel_ = false;
    modal_ = false;
    if (hiddenOwner) DestroyWindow(hiddenOwner);
    return false;
  }
  if (hiddenOwner)
    SetWindowSubclass(window, hiddenOwnerProcedure, kHiddenOwnerSubclass,
                      reinterpret_cast<DWORD_PTR>(hiddenOwner));
  modalOwner_ = args.modal ? owner : nullptr;

  SendMessageA(window, kMsgCreated, 0, 0);
  if (args.show && IsWindow(window)) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
  }
  if (args.modal) {
    // Only locals from here on: the object may be gone when the window is.
    if (owner && IsWindow(window)) EnableWindow(owner, FALSE);
    runModalLoop(window, args.accelerators);
    if (owner && IsWindow(owner)) {
      EnableWindow(owner, TRUE);
      SetActiveWindow(owner);
    }
  }
  return true;
}

bool WindowBase::createChild(HWND parent, const char* className, const std::string& text,
                             DWORD style, int left, int top, int width, int height, DWORD exStyle) {
  if (exists() || !className) return false;
  const int id = ++lastControlId;
  HWND window = CreateWindowExA(
      exStyle, className, text.c_str(), style | WS_CHILD, left, top, width, height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!window) {
    logFailure("control " + std::string(className) + " not created, error " +
               std::to_string(GetLastError()));
    return false;
  }
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               TRUE);
  isTopLevel_ = false;
  if (!attach(window)) {
    DestroyWindow(window);
    return false;
  }
  return true;
}

void WindowBase::destroy() {
  if (exists()) DestroyWindow(window_);
}

// ---- Geometry -----------------------------------------------------------------

RECT WindowBase::windowRect() const {
  RECT rect{};
  if (exists()) GetWindowRect(window_, &rect);
  return rect;
}

RECT WindowBase::clientRect() const {
  RECT rect{};
  if (exists()) GetClientRect(window_, &rect);
  return rect;
}

// The window rectangle in the coordinates its position is set in: the
// parent's client area for a window inside another, the screen otherwise.
static RECT placement(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  HWND parent = GetAncestor(window, GA_PARENT);
  if (parent && parent != GetDesktopWindow())
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int WindowBase::left() const { return exists() ? placement(window_).left : 0; }
int WindowBase::top() const { return exists() ? placement(window_).top : 0; }

int WindowBase::width() const {
  const RECT rect = windowRect();
  return rect.right - rect.left;
}

int WindowBase::height() const {
  const RECT rect = windowRect();
  return rect.bottom - rect.top;
}

void WindowBase::setLeft(int left) { move(left, top(), width(), height()); }
void WindowBase::setTop(int top) { move(left(), top, width(), height()); }
void WindowBase::setWidth(int width) { move(left(), top(), width, height()); }
void WindowBase::setHeight(int height) { move(left(), top(), width(), height); }

void WindowBase::move(int left, int top, int width, int height) {
  if (exists()) MoveWindow(window_, left, top, width, height, TRUE);
}

// ---- State ----------------------------------------------------------------------

bool WindowBase::isVisible() const { return exists() && IsWindowVisible(window_); }

void WindowBase::setVisible(bool visible) {
  if (exists()) ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

bool WindowBase::isEnabled() const { return exists() && IsWindowEnabled(window_); }

void WindowBase::setEnabled(bool enabled) {
  if (exists()) EnableWindow(window_, enabled ? TRUE : FALSE);
}

void WindowBase::setFocus() {
  if (exists()) SetFocus(window_);
}

bool WindowBase::hasFocus() const { return exists() && GetFocus() == window_; }

int WindowBase::windowState() const {
  if (!exists()) return 0;
  if (IsIconic(window_)) return 1;
  if (IsZoomed(window_)) return 2;
  return 0;
}

void WindowBase::setWindowState(int state) {
  if (!exists()) return;
  if (state == 3) {
    const RECT rect = windowRect();
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOW);
    return;
  }
  ShowWindow(window_, state);
}

void WindowBase::setRedraw(bool on) {
  if (exists()) SendMessageA(window_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
}

void WindowBase::invalidate(bool erase) {
  if (exists()) InvalidateRect(window_, nullptr, erase ? TRUE : FALSE);
}

void WindowBase::validate() {
  if (exists()) ValidateRect(window_, nullptr);
}

void WindowBase::updateNow() {
  if (exists()) UpdateWindow(window_);
}

// ---- Styles ------------------------------------------------------------------------

DWORD WindowBase::style() const {
  return exists() ? static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)) : 0;
}

DWORD WindowBase::exStyle() const {
  return exists() ? static_cast<DWORD>(GetWindowLongA(window_, GWL_EXSTYLE)) : 0;
}

static void changeStyleBits(HWND window, int index, DWORD bits, bool on) {
  DWORD value = static_cast<DWORD>(GetWindowLongA(window, index));
  value = on ? (value | bits) : (value & ~bits);
  SetWindowLongA(window, index, static_cast<LONG>(value));
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void WindowBase::setStyleBits(DWORD bits, bool on) {
  if (exists()) changeStyleBits(window_, GWL_STYLE, bits, on);
}

void WindowBase::setExStyleBits(DWORD bits, bool on) {
  if (exists()) changeStyleBits(window_, GWL_EXSTYLE, bits, on);
}

void WindowBase::setTopmost(bool on) {
  if (exists())
    SetWindowPos(window_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool WindowBase::isTopmost() const { return (exStyle() & WS_EX_TOPMOST) != 0; }

// ---- Text, parent, properties, messages ------------------------------------------

std::string WindowBase::text() const { return windowText(window_); }

void WindowBase::setText(const std::string& text) {
  if (exists()) SetWindowTextA(window_, text.c_str());
}

HWND WindowBase::parent() const { return exists() ? GetParent(window_) : nullptr; }

void WindowBase::setParent(HWND parent) {
  if (exists()) SetParent(window_, parent);
}

bool WindowBase::setProperty(const std::string& name, HANDLE value) {
  return exists() && SetPropA(window_, name.c_str(), value);
}

HANDLE WindowBase::property(const std::string& name) const {
  return exists() ? GetPropA(window_, name.c_str()) : nullptr;
}

HANDLE WindowBase::removeProperty(const std::string& name) {
  return exists() ? RemovePropA(window_, name.c_str()) : nullptr;
}

LRESULT WindowBase::send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return exists() ? SendMessageA(window_, message, wParam, lParam) : 0;
}

bool WindowBase::post(UINT message, WPARAM wParam, LPARAM lParam) const {
  return exists() && PostMessageA(window_, message, wParam, lParam);
}

void WindowBase::close() { send(WM_CLOSE); }

// ---- Files, menus, cursor, class ------------------------------------------------------

void WindowBase::acceptFiles(bool accept) {
  if (exists()) DragAcceptFiles(window_, accept ? TRUE : FALSE);
}

HMENU WindowBase::menu() const { return exists() ? GetMenu(window_) : nullptr; }

bool WindowBase::setMenu(HMENU menu) { return exists() && SetMenu(window_, menu); }

void WindowBase::redrawMenuBar() {
  if (exists()) DrawMenuBar(window_);
}

void WindowBase::setCursor(HCURSOR cursor, bool owned) {
  if (ownedCursor_.get() != cursor) ownedCursor_.reset(owned ? cursor : nullptr);
  cursor_ = cursor;
}

void WindowBase::setClassCursor(HCURSOR cursor) {
  if (exists()) SetClassLongPtrA(window_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
}

void WindowBase::setClassBackground(HBRUSH brush) {
  if (exists()) SetClassLongPtrA(window_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
}

// ---- Background ------------------------------------------------------------------------

void WindowBase::setBackgroundColor(COLORREF color) {
  backgroundBrush_.reset(CreateSolidBrush(color));
  invalidate();
}

void WindowBase::setBackgroundPictureBrush(HBITMAP picture) {
  HBRUSH brush = picture ? CreatePatternBrush(picture) : nullptr;
  if (!brush) return;
  backgroundBrush_.reset(brush);
  invalidate();
}

void WindowBase::setBackgroundPicture(HBITMAP picture, int mode) {
  backgroundPicture_ = picture;
  backgroundMode_ = mode;
  invalidate();
}

HBRUSH WindowBase::backgroundBrush() const {
  return backgroundBrush_ ? backgroundBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

void WindowBase::drawBackground(HDC dc, const RECT& area) const {
  if (!dc) return;
  FillRect(dc, &area, backgroundBrush());
  if (!backgroundPicture_ || backgroundMode_ == kBackgroundBrushOnly) return;
  BITMAP info{};
  if (!GetObjectA(backgroundPicture_, sizeof(info), &info)) return;
  ScopedMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  ScopedSelect picture(source.get(), backgroundPicture_);
  const int pictureHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (backgroundMode_ == kBackgroundStretched) {
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
               source.get(), 0, 0, info.bmWidth, pictureHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  } else {
    BitBlt(dc, area.left, area.top, info.bmWidth, pictureHeight, source.get(), 0, 0, SRCCOPY);
  }
}

// ---- Regions ----------------------------------------------------------------------------

bool WindowBase::setRegion(HRGN region) {
  if (!region) return false;
  // On success the system owns the region; on failure it is ours to delete.
  if (exists() && SetWindowRgn(window_, region, TRUE)) return true;
  DeleteObject(region);
  return false;
}

bool WindowBase::setRoundRegion(int cornerDiameter) {
  if (!exists()) return false;
  return setRegion(
      CreateRoundRectRgn(0, 0, width() + 1, height() + 1, cornerDiameter, cornerDiameter));
}

bool WindowBase::setRegionFromPicture(HBITMAP picture, COLORREF transparent) {
  if (!exists()) return false;
  return setRegion(createRegionFromPicture(picture, transparent));
}

// ---- Message box --------------------------------------------------------------------------

int WindowBase::showMessage(const std::string& text, UINT flags, const std::string& title) {
  // Without a live window the box is still shown, unowned: an unseen box
  // answering "OK" would pass for the user's answer.
  return showMessageBox(exists() ? window_ : nullptr, text, flags, title);
}

// ---- Tray icon ------------------------------------------------------------------------------

bool WindowBase::addTrayIcon(HICON icon, const std::string& tip) {
  ScopedIcon owned(icon);
  if (!exists()) return false;
  if (!tray_) tray_ = std::make_unique<TrayIcon>(window_);
  return tray_->add(owned.release(), tip);
}

bool WindowBase::setTrayTip(const std::string& tip) { return tray_ && tray_->setTip(tip); }

bool WindowBase::setTrayIcon(HICON icon) {
  ScopedIcon owned(icon);
  return tray_ && tray_->setIcon(owned.release());
}

bool WindowBase::showBalloon(const std::string& text, const std::string& title, int iconKind,
                             int timeoutMs) {
  return tray_ && tray_->showBalloon(text, title, iconKind, timeoutMs);
}

bool WindowBase::removeTrayIcon() {
  if (!tray_) return false;
  const bool removed = tray_->remove();
  tray_.reset();
  return removed;
}

bool WindowBase::hasTrayIcon() const { return tray_ && tray_->shown(); }

std::string WindowBase::trayTip() const { return tray_ ? tray_->tip() : std::string(); }

// ---- Hot keys ---------------------------------------------------------------------------------

int WindowBase::registerHotKey(UINT modifiers, UINT key) {
  if (!exists()) return 0;
  const int id = lastHotKeyId + 1;
  if (!RegisterHotKey(window_, id, modifiers, key)) return 0;
  lastHotKeyId = id;
  return id;
}

bool WindowBase::unregisterHotKey(int id) { return exists() && UnregisterHotKey(window_, id); }

}  // namespace ql
