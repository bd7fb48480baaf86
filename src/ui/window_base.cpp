#include "ui/window_base.h"

#include <shellapi.h>

#include <cstddef>
#include <cstring>
#include <unordered_map>

#include "runtime/dib_surface.h"
#include "runtime/message_box.h"
#include "runtime/text.h"
#include "ui/region_runs.h"

namespace ql {

const char kWindowClassName[] = "WTWindow";

// The shell's tray record up to the balloon fields: the size every shell
// since Windows 2000 understands (488 bytes for a 32-bit process, 504 with
// 64-bit handles).
static_assert(offsetof(NOTIFYICONDATAA, guidItem) == (sizeof(void*) == 8 ? 504 : 488),
              "tray record of the balloon-capable size");

struct WindowBase::TrayRecord {
  NOTIFYICONDATAA data;
};

namespace {

constexpr UINT kTrayIconId = 1;
// Remembers a subclassed control's own procedure on the window itself, so a
// control detached while someone else's subclass sits above ours still works.
constexpr char kPreviousProcedureProperty[] = "ql.previous.procedure";

std::unordered_map<HWND, WindowBase*>& windowMap() {
  static std::unordered_map<HWND, WindowBase*> map(997);
  return map;
}

HWND currentWindow = nullptr;
int lastHotKeyId = 0;
int lastControlId = 1000;
UINT taskbarCreatedMessage = 0;

int modifierKeys() {
  int keys = 0;
  if (GetKeyState(VK_CONTROL) < 0) keys |= kModControl;
  if (GetKeyState(VK_SHIFT) < 0) keys |= kModShift;
  if (GetKeyState(VK_MENU) < 0) keys |= kModAlt;
  return keys;
}

int lowSigned(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int highSigned(LPARAM value) { return static_cast<short>(HIWORD(value)); }

// The tray callback's mouse message as the tray-icon routine's event code;
// 0 for what is not reported (button-up messages, balloon hidden).
int trayEventCode(LPARAM message) {
  switch (static_cast<UINT>(message)) {
    case WM_LBUTTONDOWN: return kTrayLeftDown;
    case WM_RBUTTONDOWN: return kTrayRightDown;
    case WM_MBUTTONDOWN: return kTrayMiddleDown;
    case WM_LBUTTONDBLCLK: return kTrayLeftDoubleClick;
    case WM_RBUTTONDBLCLK: return kTrayRightDoubleClick;
    case WM_MBUTTONDBLCLK: return kTrayMiddleDoubleClick;
    case WM_MOUSEMOVE: return kTrayMouseMove;
    case NIN_BALLOONSHOW: return kTrayBalloonShown;
    case NIN_BALLOONTIMEOUT: return kTrayBalloonTimeout;
    case NIN_BALLOONUSERCLICK: return kTrayBalloonClicked;
    default: return 0;
  }
}

HRGN regionFromBlock(const RegionRuns& runs, const RegionBlock& block,
                     std::vector<unsigned char>& data) {
  const size_t rectBytes = block.count * sizeof(RECT);
  data.assign(sizeof(RGNDATAHEADER) + rectBytes, 0);
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(block.count);
  header->nRgnSize = static_cast<DWORD>(rectBytes);
  SetRect(&header->rcBound, block.bounds.left, block.bounds.top, block.bounds.right,
          block.bounds.bottom);
  auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < block.count; ++i) {
    const RegionRect& r = runs.rects[block.first + i];
    SetRect(&rects[i], r.left, r.top, r.right, r.bottom);
  }
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                         reinterpret_cast<const RGNDATA*>(data.data()));
}

void copyCut(char* destination, size_t size, const std::string& text) {
  const std::string cut = cutGbkText(text, size - 1);
  std::memcpy(destination, cut.c_str(), cut.size() + 1);
}

}  // namespace

HWND currentMessageWindow() { return currentWindow; }

HRGN createRegionFromPicture(HBITMAP picture, COLORREF transparent) {
  BITMAP info{};
  if (!picture || !GetObjectA(picture, sizeof(info), &info)) return nullptr;
  const int width = info.bmWidth;
  const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (width <= 0 || height <= 0) return nullptr;

  std::vector<uint32_t> pixels;
  if (!readBitmapPixels(picture, width, height, pixels)) return nullptr;

  const uint32_t key = (static_cast<uint32_t>(GetRValue(transparent)) << 16) |
                       (static_cast<uint32_t>(GetGValue(transparent)) << 8) |
                       GetBValue(transparent);
  // Blocks are combined like a binary counter: two regions of the same size
  // are merged as soon as both exist, so the work stays near n log n and only
  // a handful of region handles are alive at a time.
  struct Part {
    HRGN region;
    int size;
  };
  std::vector<Part> stack;
  std::vector<unsigned char> data;
  bool failed = false;
  const RegionRuns runs = buildRegionRuns(pixels.data(), width, height, key);
  for (const RegionBlock& block : runs.blocks) {
    HRGN part = regionFromBlock(runs, block, data);
    if (!part) {
      failed = true;
      break;
    }
    stack.push_back(Part{part, 1});
    while (stack.size() >= 2 && stack[stack.size() - 2].size == stack.back().size) {
      Part top = stack.back();
      stack.pop_back();
      CombineRgn(stack.back().region, stack.back().region, top.region, RGN_OR);
      DeleteObject(top.region);
      stack.back().size *= 2;
    }
  }
  if (failed) {
    for (const Part& part : stack) DeleteObject(part.region);
    return nullptr;
  }
  // The rest, smallest first.
  while (stack.size() >= 2) {
    Part top = stack.back();
    stack.pop_back();
    CombineRgn(stack.back().region, stack.back().region, top.region, RGN_OR);
    DeleteObject(top.region);
  }
  return stack.empty() ? CreateRectRgn(0, 0, 0, 0) : stack.front().region;
}

// ---- Class and procedures -------------------------------------------------

WindowBase::WindowBase() = default;

WindowBase::~WindowBase() {
  if (!window_) return;
  if (previousProcedure_ && IsWindow(window_) &&
      reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC)) == controlProcedure) {
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure_));
    RemovePropA(window_, kPreviousProcedureProperty);
  }
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

void WindowBase::attach(HWND window) {
  window_ = window;
  windowMap()[window] = this;
  createdDelivered_ = false;
  firstActivationDone_ = false;
  trackingMouse_ = false;
}

void WindowBase::detach() {
  if (!window_) return;
  auto& map = windowMap();
  auto found = map.find(window_);
  if (found != map.end() && found->second == this) map.erase(found);
  window_ = nullptr;
}

LRESULT CALLBACK WindowBase::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  WindowBase* self = fromHandle(window);
  if (!self && message == WM_NCCREATE) {
    // createTopLevel hands the object over in the creation parameter so that
    // the messages sent during CreateWindowExA already reach it.
    self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) self->attach(window);
  }
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->dispatch(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::controlProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (WindowBase* self = fromHandle(window)) return self->dispatch(window, message, wParam, lParam);
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcedureProperty));
  if (previous) return CallWindowProcA(previous, window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT WindowBase::dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND outer = currentWindow;
  currentWindow = window;
  // Nothing of the object is touched after handleMessage: a routine may have
  // destroyed it.
  LRESULT result = handleMessage(message, wParam, lParam);
  currentWindow = outer;
  return result;
}

LRESULT WindowBase::callDefault(UINT message, WPARAM wParam, LPARAM lParam) {
  if (previousProcedure_)
    return CallWindowProcA(previousProcedure_, window_, message, wParam, lParam);
  return DefWindowProcA(window_, message, wParam, lParam);
}

// ---- Message routing ------------------------------------------------------

LRESULT WindowBase::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (onMessage && onMessage(message, wParam, lParam, result)) return result;
  if (routeControlMessage(message, wParam, lParam, result)) return result;

  const int x = lowSigned(lParam), y = highSigned(lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
      if (handleLeftDown(x, y, modifierKeys()) || (onLeftDown && onLeftDown(x, y, modifierKeys())))
        return 0;
      break;
    case WM_LBUTTONUP:
      if (handleLeftUp(x, y, modifierKeys()) || (onLeftUp && onLeftUp(x, y, modifierKeys())))
        return 0;
      break;
    case WM_LBUTTONDBLCLK:
      if (handleDoubleClick(x, y, modifierKeys()) ||
          (onLeftDoubleClick && onLeftDoubleClick(x, y, modifierKeys())))
        return 0;
      break;
    case WM_RBUTTONDOWN:
      if (onRightDown && onRightDown(x, y, modifierKeys())) return 0;
      break;
    case WM_RBUTTONUP:
      if (onRightUp && onRightUp(x, y, modifierKeys())) return 0;
      break;
    case WM_MOUSEMOVE:
      if (handleMouseMove(x, y, modifierKeys()) ||
          (onMouseMove && onMouseMove(x, y, modifierKeys())))
        return 0;
      break;
    case WM_MOUSELEAVE:
      trackingMouse_ = false;
      handleMouseLeave();
      break;
    case WM_SETFOCUS:
      if (onFocusGained) onFocusGained();
      break;
    case WM_KILLFOCUS:
      if (onFocusLost) onFocusLost();
      break;
    case WM_KEYDOWN: {
      const int key = static_cast<int>(wParam);
      if (handleKeyDown(key, modifierKeys()) || (onKeyDown && onKeyDown(key, modifierKeys())))
        return 0;
      break;
    }
    case WM_KEYUP:
      if (onKeyUp && onKeyUp(static_cast<int>(wParam), modifierKeys())) return 0;
      break;
    case WM_CHAR:
      if (onCharacter && onCharacter(static_cast<int>(wParam))) return 0;
      break;
    case WM_MOUSEWHEEL:
      if (onMouseWheel && onMouseWheel(static_cast<short>(HIWORD(wParam)), modifierKeys()))
        return 0;
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == window_ && handleSetCursor(LOWORD(lParam)))
        return TRUE;
      break;
    case WM_PAINT:
      if (onPaint) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        onPaint(dc, paint.rcPaint);
        EndPaint(window_, &paint);
        handlePaint();
        return 0;
      }
      if (handlePaint()) return 0;
      break;
    case WM_ERASEBKGND:
      if (backgroundBrush_ || backgroundPicture_) {
        drawBackground(reinterpret_cast<HDC>(wParam), clientRect());
        return 1;
      }
      break;
    case WM_MOVING:
      handleMoving(*reinterpret_cast<RECT*>(lParam));
      break;
    case WM_MOVE:
      handleMove(x, y);
      break;
    case WM_SIZE:
      handleSize(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_DROPFILES: {
      auto drop = reinterpret_cast<HDROP>(wParam);
      std::vector<std::string> paths;
      const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH + 1] = {};
        if (DragQueryFileA(drop, i, path, MAX_PATH)) paths.emplace_back(path);
      }
      DragFinish(drop);
      if (!handleFilesDropped(paths) && onFilesDropped) onFilesDropped(paths);
      return 0;
    }
    case WM_TIMER:
      if (onTimer) {
        onTimer(static_cast<UINT_PTR>(wParam));
        return 0;
      }
      break;
    case WM_NCDESTROY: {
      const LRESULT last = callDefault(message, wParam, lParam);
      handleFinalDestroy();
      return last;
    }
    default:
      break;
  }
  if (isTopLevel_ && handleTopLevel(message, wParam, lParam, result)) return result;
  return callDefault(message, wParam, lParam);
}

bool WindowBase::routeControlMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result) {
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
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
      break;
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
    case WM_COMPAREITEM:
      child = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_DELETEITEM:
      child = reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
      break;
    default:
      return false;
  }
  WindowBase* control = fromHandle(child);
  if (!control || control == this) return false;
  currentWindow = child;
  return control->handleControlMessage(message, wParam, lParam, result);
}

bool WindowBase::handleTopLevel(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
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
      if (createdDelivered_ && onResized) onResized(LOWORD(lParam), HIWORD(lParam));
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
      if (!wParam && keepActive_) {
        result = TRUE;
        return true;
      }
      return false;
    case WM_COMMAND:
      if (lParam == 0 && onMenuCommand) {
        onMenuCommand(LOWORD(wParam));
        return true;
      }
      return false;
    case WM_HOTKEY:
      if (onHotKey) {
        onHotKey(LOWORD(lParam), HIWORD(lParam));
        return true;
      }
      return false;
    default:
      if (taskbarCreatedMessage && message == taskbarCreatedMessage && trayRecord_) {
        NOTIFYICONDATAA& data = trayRecord_->data;
        Shell_NotifyIconA(NIM_DELETE, &data);
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        Shell_NotifyIconA(NIM_ADD, &data);
      }
      return false;
  }
}

// ---- Virtual hooks ----------------------------------------------------------

bool WindowBase::handleLeftDown(int, int, int) { return false; }
bool WindowBase::handleLeftUp(int, int, int) { return false; }
bool WindowBase::handleDoubleClick(int, int, int) { return false; }

bool WindowBase::handleMouseMove(int, int, int) {
  if (!trackingMouse_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
    trackingMouse_ = TrackMouseEvent(&track) != FALSE;
  }
  return false;
}

void WindowBase::handleMouseLeave() {}
bool WindowBase::handleKeyDown(int, int) { return false; }

bool WindowBase::handleSetCursor(int hitTest) {
  if (!cursor_ || hitTest != HTCLIENT) return false;
  SetCursor(cursor_);
  return true;
}

bool WindowBase::handlePaint() { return false; }
void WindowBase::handleMoving(RECT&) {}
void WindowBase::handleMove(int, int) {}
void WindowBase::handleSize(int, int, int) {}
bool WindowBase::handleFilesDropped(const std::vector<std::string>&) { return false; }

void WindowBase::handleFinalDestroy() {
  releaseResources();
  if (previousProcedure_) {
    RemovePropA(window_, kPreviousProcedureProperty);
    previousProcedure_ = nullptr;
  }
  if (hiddenOwner_) {
    DestroyWindow(hiddenOwner_);
    hiddenOwner_ = nullptr;
  }
  modalOwner_ = nullptr;
  isTopLevel_ = false;
  detach();
}

bool WindowBase::handleControlMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void WindowBase::releaseResources() {
  if (trayRecord_) {
    Shell_NotifyIconA(NIM_DELETE, &trayRecord_->data);
    if (trayRecord_->data.hIcon) DestroyIcon(trayRecord_->data.hIcon);
    trayRecord_.reset();
  }
  if (backgroundBrush_) {
    DeleteObject(backgroundBrush_);
    backgroundBrush_ = nullptr;
  }
  backgroundPicture_ = nullptr;
  backgroundMode_ = kBackgroundBrushOnly;
  if (cursor_ && cursorOwned_) DestroyCursor(cursor_);
  cursor_ = nullptr;
  cursorOwned_ = false;
}

// ---- Creation ---------------------------------------------------------------

bool WindowBase::createTopLevel(HWND owner, const std::string& title,
                                std::function<void(HWND)> created, bool modal, int left, int top,
                                int width, int height, DWORD style, DWORD exStyle,
                                const char* className, HACCEL accelerators, bool show,
                                bool taskbarButton) {
  if (exists()) return false;
  if (!className) className = kWindowClassName;
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExA(module, className, &existing)) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    if (!RegisterClassExA(&windowClass)) return false;
  }
  if (created) onCreated = std::move(created);

  HWND hiddenOwner = nullptr;
  if (!owner && !taskbarButton) {
    hiddenOwner = CreateWindowExA(0, className, "", WS_OVERLAPPED, 0, 0, 250, 110, nullptr,
                                  nullptr, module, nullptr);
    owner = hiddenOwner;
  }
  isTopLevel_ = true;
  HWND window = CreateWindowExA(exStyle, className, title.c_str(), style, left, top, width,
                                height, owner, nullptr, module, this);
  if (!window) {
    isTopLevel_ = false;
    if (hiddenOwner) DestroyWindow(hiddenOwner);
    return false;
  }
  if (window_ != window) {
    // A class of another procedure: route its messages through this object.
    attach(window);
    previousProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure)));
    SetPropA(window, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(previousProcedure_));
  }
  hiddenOwner_ = hiddenOwner;
  modalOwner_ = modal ? owner : nullptr;

  SendMessageA(window, kMsgCreated, 0, 0);
  if (show && IsWindow(window)) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
  }
  if (modal) runModalLoop(window, owner, accelerators);
  return true;
}

void WindowBase::runModalLoop(HWND window, HWND owner, HACCEL accelerators) {
  // Only locals from here on: the object may be gone when the window is.
  if (owner && IsWindow(window)) EnableWindow(owner, FALSE);
  MSG message;
  while (IsWindow(window)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      // Leave the quit for the outer loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (accelerators && TranslateAcceleratorA(window, accelerators, &message)) continue;
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (owner && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

bool WindowBase::createChild(HWND parent, const char* className, const std::string& text,
                             DWORD style, int left, int top, int width, int height,
                             DWORD exStyle) {
  if (exists() || !className) return false;
  const int id = ++lastControlId;
  HWND window = CreateWindowExA(exStyle, className, text.c_str(), style | WS_CHILD, left, top,
                                width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
  if (!window) return false;
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               TRUE);
  attach(window);
  isTopLevel_ = false;
  previousProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure)));
  SetPropA(window, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(previousProcedure_));
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

std::string WindowBase::text() const {
  if (!exists()) return std::string();
  const int length = GetWindowTextLengthA(window_);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window_, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

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
  if (cursor_ && cursorOwned_ && cursor_ != cursor) DestroyCursor(cursor_);
  cursor_ = cursor;
  cursorOwned_ = cursor && owned;
}

void WindowBase::setClassCursor(HCURSOR cursor) {
  if (exists()) SetClassLongPtrA(window_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
}

void WindowBase::setClassBackground(HBRUSH brush) {
  if (exists()) SetClassLongPtrA(window_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
}

// ---- Background ------------------------------------------------------------------------

void WindowBase::setBackgroundColor(COLORREF color) {
  if (backgroundBrush_) DeleteObject(backgroundBrush_);
  backgroundBrush_ = CreateSolidBrush(color);
  invalidate();
}

void WindowBase::setBackgroundPictureBrush(HBITMAP picture) {
  HBRUSH brush = picture ? CreatePatternBrush(picture) : nullptr;
  if (!brush) return;
  if (backgroundBrush_) DeleteObject(backgroundBrush_);
  backgroundBrush_ = brush;
  invalidate();
}

void WindowBase::setBackgroundPicture(HBITMAP picture, int mode) {
  backgroundPicture_ = picture;
  backgroundMode_ = mode;
  invalidate();
}

HBRUSH WindowBase::backgroundBrush() const {
  return backgroundBrush_ ? backgroundBrush_ : GetSysColorBrush(COLOR_BTNFACE);
}

void WindowBase::drawBackground(HDC dc, const RECT& area) const {
  if (!dc) return;
  FillRect(dc, &area, backgroundBrush());
  if (!backgroundPicture_ || backgroundMode_ == kBackgroundBrushOnly) return;
  BITMAP info{};
  if (!GetObjectA(backgroundPicture_, sizeof(info), &info)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(source, backgroundPicture_);
  const int pictureHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (backgroundMode_ == kBackgroundStretched) {
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, 0,
               0, info.bmWidth, pictureHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  } else {
    BitBlt(dc, area.left, area.top, info.bmWidth, pictureHeight, source, 0, 0, SRCCOPY);
  }
  SelectObject(source, previous);
  DeleteDC(source);
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
  if (!exists()) return false;
  if (!taskbarCreatedMessage) taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  HICON oldIcon = nullptr;
  if (trayRecord_) {
    // The shell refuses a second add under the same identifier.
    Shell_NotifyIconA(NIM_DELETE, &trayRecord_->data);
    oldIcon = trayRecord_->data.hIcon;
  }
  auto record = std::make_unique<TrayRecord>();
  std::memset(&record->data, 0, sizeof(record->data));
  NOTIFYICONDATAA& data = record->data;
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = window_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kMsgTrayIcon;
  data.hIcon = icon;
  copyCut(data.szTip, sizeof(data.szTip), tip);
  if (oldIcon && oldIcon != icon) DestroyIcon(oldIcon);
  trayRecord_ = std::move(record);
  return Shell_NotifyIconA(NIM_ADD, &trayRecord_->data) != FALSE;
}

bool WindowBase::modifyTray(UINT flags) {
  NOTIFYICONDATAA& data = trayRecord_->data;
  data.uFlags = flags;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool WindowBase::setTrayTip(const std::string& tip) {
  if (!trayRecord_) return false;
  copyCut(trayRecord_->data.szTip, sizeof(trayRecord_->data.szTip), tip);
  return modifyTray(NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

bool WindowBase::setTrayIcon(HICON icon) {
  if (!trayRecord_) return false;
  HICON& current = trayRecord_->data.hIcon;
  if (current && current != icon) DestroyIcon(current);
  current = icon;
  return modifyTray(NIF_MESSAGE | NIF_ICON | NIF_TIP);
}

bool WindowBase::showBalloon(const std::string& text, const std::string& title, int iconKind,
                             int timeoutMs) {
  if (!trayRecord_) return false;
  NOTIFYICONDATAA& data = trayRecord_->data;
  copyCut(data.szInfo, sizeof(data.szInfo), text);
  copyCut(data.szInfoTitle, sizeof(data.szInfoTitle), title);
  data.dwInfoFlags = static_cast<DWORD>(iconKind);
  data.uTimeout = static_cast<UINT>(timeoutMs);
  data.dwState = 0;
  data.dwStateMask = 0;
  return modifyTray(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_STATE | NIF_INFO);
}

bool WindowBase::removeTrayIcon() {
  if (!trayRecord_) return false;
  const bool removed = Shell_NotifyIconA(NIM_DELETE, &trayRecord_->data) != FALSE;
  if (trayRecord_->data.hIcon) DestroyIcon(trayRecord_->data.hIcon);
  trayRecord_.reset();
  return removed;
}

std::string WindowBase::trayTip() const {
  return trayRecord_ ? std::string(trayRecord_->data.szTip) : std::string();
}

// ---- Hot keys ---------------------------------------------------------------------------------

int WindowBase::registerHotKey(UINT modifiers, UINT key) {
  if (!exists()) return 0;
  const int id = lastHotKeyId + 1;
  if (!RegisterHotKey(window_, id, modifiers, key)) return 0;
  lastHotKeyId = id;
  return id;
}

bool WindowBase::unregisterHotKey(int id) {
  return exists() && UnregisterHotKey(window_, id);
}

}  // namespace ql
