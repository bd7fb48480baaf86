#include "player/dll/player_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "player/core/player.h"
#include "player/dll/playback.h"
#include "player/dll/qlswf_api.h"
#include "player/dll/visibility.h"
#include "runtime/dib_surface.h"

namespace qlswf {

namespace {

const char kClassName[] = "QlSwfPlayerWindow";

// Movie bytes handed over from FPCPutMovieFromMemory, so that the movie is
// always replaced on the window's own thread.
UINT putMovieMessage() {
  static const UINT message = RegisterWindowMessageA("QlSwfPutMovie");
  return message;
}

struct MovieBytes {
  const uint8_t* data;
  size_t size;
};

// Any process may send any message to our window, but only our own calls of
// putMovie hand over real addresses: the window takes only those.
std::mutex pendingLock;
std::set<const MovieBytes*> pendingMovies;

bool isPending(const MovieBytes* bytes) {
  std::lock_guard<std::mutex> hold(pendingLock);
  return pendingMovies.count(bytes) != 0;
}

// Finished pictures from the playback thread wait to be taken.
constexpr UINT kPictureReady = WM_APP + 1;
// While the pointer is over the window: whether it still is.
constexpr UINT_PTR kPointerTimer = 1;
constexpr UINT kPointerCheckMs = 100;

// A posted 0x153D carries no address of ours (only a sent one can), so it is
// turned into nothing before anyone dispatches it. One hook per thread that
// has player windows, kept while it has any.
thread_local HHOOK postedMessageHook = nullptr;
thread_local int playerWindowsOnThread = 0;

bool isPlayerWindow(HWND window);

LRESULT CALLBACK dropPostedLoadMovie(int code, WPARAM wParam, LPARAM lParam) {
  MSG* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && message && message->message == QLSWF_MSG_LOAD_MOVIE &&
      isPlayerWindow(message->hwnd))
    message->message = WM_NULL;
  return CallNextHookEx(postedMessageHook, code, wParam, lParam);
}

void holdHook(bool hold) {
  if (hold && playerWindowsOnThread++ == 0)
    postedMessageHook =
        SetWindowsHookExA(WH_GETMESSAGE, dropPostedLoadMovie, nullptr, GetCurrentThreadId());
  if (!hold && --playerWindowsOnThread == 0 && postedMessageHook) {
    UnhookWindowsHookEx(postedMessageHook);
    postedMessageHook = nullptr;
  }
}

// The window side of a player: it hands movies and sizes to the playback
// thread and puts the pictures it draws on the screen.
class PlayerWindow {
 public:
  PlayerWindow(HWND window, HFPC library) : window_(window) {
    holdHook(true);
    try {
      playback_ = std::make_unique<Playback>(window, kPictureReady, library);
    } catch (...) {
      // No thread to be had: the window stays empty.
    }
  }
  ~PlayerWindow() {
    KillTimer(window_, kPointerTimer);
    playback_.reset();
    holdHook(false);
  }

  void setMovie(const uint8_t* data, size_t size) {
    if (!playback_) return;
    std::vector<uint8_t> bytes;
    try {
      if (data && size) bytes.assign(data, data + size);
    } catch (...) {
      bytes.clear();
    }
    playback_->setMovie(std::move(bytes));
  }

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CREATE: {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (playback_) playback_->setSize(create->cx, create->cy);
        return 0;
      }
      case kPictureReady:
        if (playback_ && playback_->takePicture(shown_)) push();
        return 0;
      case WM_TIMER:
        if (wParam == kPointerTimer) checkPointerGone();
        return 0;
      case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        // A new size is drawn at once at that size, never stretched from the
        // last picture.
        if (playback_ && !(pos->flags & SWP_NOSIZE)) playback_->setSize(pos->cx, pos->cy);
        // Minimised, the window shows nothing (Wine would otherwise leave the
        // last picture where the window was).
        if (IsIconic(window_)) clear();
        if (playback_ && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED) ||
                          !(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOZORDER)))
          playback_->windowChanged();
        // Still sends WM_SIZE and WM_MOVE, for whoever subclasses the window.
        return DefWindowProcA(window_, message, wParam, lParam);
      }
      case WM_STYLECHANGED:
        // Taking WS_EX_LAYERED away and back drops the layered picture.
        if (wParam == static_cast<WPARAM>(GWL_EXSTYLE)) push(true);
        return 0;
      case WM_DISPLAYCHANGE:
        if (playback_) playback_->windowChanged();
        return 0;
      case WM_ERASEBKGND: return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window_, &ps);
        EndPaint(window_, &ps);
        return 0;
      }
      case WM_CONTEXTMENU:
        // There is no player menu to offer.
        return 0;
      // The pointer, for the movie's buttons (a click-through window gets
      // none of these); the movie hears of it on its own thread.
      case WM_MOUSEMOVE: {
        if (!trackingLeave_) trackLeave();
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        tell([x, y](player::Player& movie) { return movie.pointerMove(x, y); });
        return 0;
      }
      case WM_MOUSELEAVE:
        trackingLeave_ = false;
        KillTimer(window_, kPointerTimer);
        if (GetCapture() != window_)
          tell([](player::Player& movie) { return movie.pointerLeave(); });
        return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP: {
        bool down = message == WM_LBUTTONDOWN;
        if (down) SetCapture(window_);
        // Typing into the movie's input fields needs the keyboard; a window
        // made not to activate keeps it where it is.
        if (down && GetFocus() != window_ && !(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_NOACTIVATE))
          SetFocus(window_);
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        tell([x, y, down](player::Player& movie) {
          bool moved = movie.pointerMove(x, y);
          return movie.pointerButton(down) || moved;
        });
        if (!down) {
          if (GetCapture() == window_) ReleaseCapture();
          // Capture ends the leave tracking: asked again, it reports at once
          // if the pointer was released off the window.
          trackLeave();
        }
        return 0;
      }
      case WM_CAPTURECHANGED:
        // Capture taken away while pressed: the press ends where it is.
        if (reinterpret_cast<HWND>(lParam) != window_)
          tell([](player::Player& movie) { return movie.pointerButton(false); });
        return 0;
      case WM_KEYDOWN:
      case WM_KEYUP: {
        // What a key types depends on this thread's keyboard state: read here.
        bool down = message == WM_KEYDOWN;
        int key = static_cast<int>(wParam & 0xFF);
        int typed = typedCharacter(static_cast<UINT>(wParam), lParam);
        tell([down, key, typed](player::Player& movie) { return movie.stage().key(down, key, typed); });
        return 0;
      }
      case WM_CHAR: {
        // Characters for the focused input field; the keys that edit come
        // with WM_KEYDOWN, so nothing here types twice.
        std::u16string units = typedUnits(wParam, false);
        for (char16_t unit : units) tell([unit](player::Player& movie) { return movie.stage().typeUnit(unit); });
        return 0;
      }
      case WM_IME_CHAR: {
        // Taken here whole, so that no WM_CHAR follows for the same text.
        std::u16string units = typedUnits(wParam, true);
        for (char16_t unit : units) tell([unit](player::Player& movie) { return movie.stage().typeUnit(unit); });
        return 0;
      }
      case WM_GETDLGCODE:
        // In a dialog: characters and arrows always come here; Enter, Esc
        // and Tab too while an input field has the focus.
        return DLGC_WANTCHARS | DLGC_WANTARROWS | (playback_ && playback_->textFocused() ? DLGC_WANTALLKEYS : 0);
      case WM_SETCURSOR:
        // Mouse.hide() hides the pointer over the movie; buttons show a hand.
        if (LOWORD(lParam) == HTCLIENT && playback_ && playback_->mouseHidden()) {
          SetCursor(nullptr);
          return TRUE;
        }
        if (LOWORD(lParam) == HTCLIENT && playback_ && playback_->pointerOverButton()) {
          SetCursor(LoadCursorA(nullptr, IDC_HAND));
          return TRUE;
        }
        break;
      case QLSWF_MSG_CONTEXT_MENU_OFF: return 0;
      case QLSWF_MSG_LOAD_MOVIE: {
        // The record's address means something only on the window's own
        // thread, sent: one sent from elsewhere (another process, perhaps)
        // is refused, and a posted one never gets here.
        const QlSwfLoadMovie* request = reinterpret_cast<const QlSwfLoadMovie*>(lParam);
        if (!InSendMessage() && playback_)
          playback_->setMovieFile(request && request->path ? request->path : "");
        return 0;
      }
    }
    if (message == putMovieMessage()) {
      const MovieBytes* bytes = reinterpret_cast<const MovieBytes*>(lParam);
      if (!isPending(bytes)) return 0;
      setMovie(bytes->data, bytes->size);
      return 1;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
  }

 private:
  // The character a key types with the keyboard as it is now, 0 for none.
  static int typedCharacter(UINT key, LPARAM lParam) {
    BYTE keys[256];
    if (!GetKeyboardState(keys)) return 0;
    WORD typed[2] = {0, 0};
    UINT scan = (static_cast<UINT>(lParam) >> 16) & 0xFF;
    return ToAscii(key, scan, keys, typed, 0) == 1 ? typed[0] & 0xFF : 0;
  }

  // UTF-16 of a WM_CHAR or WM_IME_CHAR. A Unicode window gets units; an
  // ANSI one gets code page bytes, a double-byte character as a lead byte
  // then a trail byte (WM_CHAR) or both at once, lead high (WM_IME_CHAR).
  std::u16string typedUnits(WPARAM wParam, bool ime) {
    if (IsWindowUnicode(window_)) return std::u16string(1, static_cast<char16_t>(wParam & 0xFFFF));
    char bytes[2];
    int count = 0;
    if (ime && (wParam & 0xFF00)) {
      bytes[count++] = static_cast<char>((wParam >> 8) & 0xFF);
    } else if (!ime && leadByte_) {
      bytes[count++] = static_cast<char>(leadByte_);
      leadByte_ = 0;
    } else if (!ime && IsDBCSLeadByte(static_cast<BYTE>(wParam & 0xFF))) {
      leadByte_ = static_cast<BYTE>(wParam & 0xFF);
      return std::u16string();
    }
    bytes[count++] = static_cast<char>(wParam & 0xFF);
    wchar_t wide[2];
    int n = MultiByteToWideChar(CP_ACP, 0, bytes, count, wide, 2);
    std::u16string out;
    for (int i = 0; i < n; ++i) out += static_cast<char16_t>(wide[i]);
    return out;
  }

  // The picture last taken goes to the screen, if it is the window's size
  // (a picture of the old size is dropped; the new size is coming) and the
  // window is shown (a picture drawn just before minimising would put a
  // minimised window back on the screen). Only what it changes is updated,
  // unless the screen may not show the picture before it.
  void push(bool whole = false) {
    RECT r;
    if (!isShown(window_) || !GetWindowRect(window_, &r)) return;
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width != shown_.width || height != shown_.height || width <= 0 || height <= 0 ||
        !canvas_.resize(width, height)) {
      screenCurrent_ = false;
      return;
    }
    // The canvas holds the picture before: only the changed part is copied.
    const RECT* changed = whole || !screenCurrent_ ? nullptr : &shown_.changed;
    RECT all = {0, 0, width, height};
    const RECT& copy = changed ? *changed : all;
    for (LONG y = copy.top; y < copy.bottom; ++y)
      std::memcpy(canvas_.pixels() + size_t(y) * width + copy.left,
                  shown_.pixels.data() + size_t(y) * width + copy.left,
                  size_t(copy.right - copy.left) * 4);
    update(r, changed);
    screenCurrent_ = true;
  }

  // Input for the movie, heard on its own thread.
  template <typename Fn>
  void tell(Fn event) {
    if (playback_) playback_->post(event);
  }

  // The leave message does not always come (a pointer that slides onto a
  // see-through pixel, a system that drops it): while the pointer is over
  // the window, a timer looks whether it still is.
  void checkPointerGone() {
    if (!trackingLeave_) KillTimer(window_, kPointerTimer);
    if (!trackingLeave_ || GetCapture() == window_) return;
    POINT at;
    if (GetCursorPos(&at) && WindowFromPoint(at) == window_) return;
    trackingLeave_ = false;
    KillTimer(window_, kPointerTimer);
    tell([](player::Player& movie) { return movie.pointerLeave(); });
  }

  void trackLeave() {
    TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window_, 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    if (trackingLeave_) SetTimer(window_, kPointerTimer, kPointerCheckMs, nullptr);
  }

  void clear() {
    RECT r;
    if (!GetWindowRect(window_, &r) || r.right <= r.left || r.bottom <= r.top ||
        !canvas_.resize(r.right - r.left, r.bottom - r.top))
      return;
    std::memset(canvas_.pixels(), 0, size_t(canvas_.width()) * canvas_.height() * 4);
    update(r, nullptr);
    screenCurrent_ = false;
  }

  // Puts the canvas on the screen; `changed` (null: all of it) is the part
  // that differs from what is there.
  void update(const RECT& r, const RECT* changed) {
    GdiFlush();
    POINT to = {r.left, r.top}, from = {0, 0};
    SIZE size = {r.right - r.left, r.bottom - r.top};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UPDATELAYEREDWINDOWINFO info = {sizeof info, nullptr, &to,    &size,     canvas_.dc(),
                                    &from,       0,       &blend, ULW_ALPHA, changed};
    UpdateLayeredWindowIndirect(window_, &info);
  }

  HWND window_;
  std::unique_ptr<Playback> playback_;
  Picture shown_;
  // Whether the screen shows the picture before `shown_` (else a push
  // updates the whole window).
  bool screenCurrent_ = false;
  ql::DibSurface canvas_;
  bool trackingLeave_ = false;
  BYTE leadByte_ = 0;  // of a double-byte character typed in two WM_CHARs
};

PlayerWindow* playerOf(HWND window) {
  return reinterpret_cast<PlayerWindow*>(GetWindowLongPtrA(window, 0));
}

LRESULT CALLBACK playerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PlayerWindow* player = playerOf(window);
  if (message == WM_NCCREATE) {
    const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    player = new (std::nothrow) PlayerWindow(window, static_cast<HFPC>(create->lpCreateParams));
    if (!player) return FALSE;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(player));
  } else if (message == WM_NCDESTROY) {
    RemovePropA(window, QLSWF_VOLUME_PROPERTY);
    SetWindowLongPtrA(window, 0, 0);
    delete player;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return player ? player->handle(message, wParam, lParam)
                : DefWindowProcA(window, message, wParam, lParam);
}

bool isPlayerWindow(HWND window) {
  if (!IsWindow(window)) return false;
  char name[sizeof kClassName + 1];
  return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, kClassName) == 0 &&
         reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC)) == playerProc;
}

}  // namespace

const char* playerWindowClass(HINSTANCE module) {
  static const bool registered = [module] {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = playerProc;
    wc.cbWndExtra = sizeof(PlayerWindow*);
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered ? kClassName : nullptr;
}

bool putMovie(HWND window, const uint8_t* data, size_t size) {
  if (!isPlayerWindow(window)) return false;
  MovieBytes bytes = {data, data ? size : 0};
  {
    std::lock_guard<std::mutex> hold(pendingLock);
    pendingMovies.insert(&bytes);
  }
  bool taken = SendMessageA(window, putMovieMessage(), 0, reinterpret_cast<LPARAM>(&bytes)) != 0;
  std::lock_guard<std::mutex> hold(pendingLock);
  pendingMovies.erase(&bytes);
  return taken;
}

}  // namespace qlswf
