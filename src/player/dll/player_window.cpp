#include "player/dll/player_window.h"

#include <mmsystem.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <vector>

#include "player/core/player.h"
#include "player/dll/frame_clock.h"
#include "player/dll/qlswf_api.h"
#include "player/dll/visibility.h"
#include "runtime/dib_surface.h"

namespace qlswf {

namespace {

const char kClassName[] = "QlSwfPlayerWindow";
constexpr UINT_PTR kFrameTimer = 1;
// How often a covered window looks whether it can be seen again.
constexpr UINT kCoveredPollMs = 250;

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

double secondsNow() {
  static const double ticksPerSecond = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticksPerSecond;
}

// The engine reports failure by returning null; an exception (running out of
// memory on a huge stage, say) must still never unwind through user32's
// frames into the program, so the calls into the engine and the one large
// allocation are fenced.
template <typename Fn>
bool fenced(Fn fn) {
  try {
    fn();
    return true;
  } catch (...) {
    return false;
  }
}

class PlayerWindow {
 public:
  explicit PlayerWindow(HWND window) : window_(window) {}
  ~PlayerWindow() {
    KillTimer(window_, kFrameTimer);
    setFineTimer(false);
  }

  void setMovie(const uint8_t* data, size_t size) {
    movie_.reset();
    if (data && size) {
      std::unique_ptr<player::Player> movie;
      if (fenced([&] { movie = player::Player::load(data, size); }) && movie &&
          fenced([&] { movie->advanceFrame(); }))
        movie_ = std::move(movie);
    }
    seen_ = isShown(window_) && isUncovered(window_);
    lastCoverCheck_ = secondsNow();
    if (movie_) clock_.restart(lastCoverCheck_, movie_->frameRate());
    draw();
    schedule();
  }

  void loadMovieFile(const char* path) {
    std::vector<uint8_t> bytes;
    readMovieFile(path, bytes);
    setMovie(bytes.data(), bytes.size());
  }

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_TIMER:
        if (wParam == kFrameTimer) tick();
        return 0;
      case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        // A new size is drawn at once at that size, never stretched from the
        // last picture.
        if (!(pos->flags & SWP_NOSIZE) && (pos->cx != canvas_.width() || pos->cy != canvas_.height()))
          draw();
        if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED) ||
            !(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOZORDER))
          recheckSight();
        // Still sends WM_SIZE and WM_MOVE, for whoever subclasses the window.
        return DefWindowProcA(window_, message, wParam, lParam);
      }
      case WM_STYLECHANGED:
        // Taking WS_EX_LAYERED away and back drops the layered picture.
        if (wParam == static_cast<WPARAM>(GWL_EXSTYLE)) draw();
        return 0;
      case WM_DISPLAYCHANGE:
        recheckSight();
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window_, &ps);
        EndPaint(window_, &ps);
        return 0;
      }
      case WM_CONTEXTMENU:
        // There is no player menu to offer.
        return 0;
      case QLSWF_MSG_CONTEXT_MENU_OFF:
        return 0;
      case QLSWF_MSG_LOAD_MOVIE: {
        // The record's address means something only to the window's own
        // thread; one sent from elsewhere (another process, perhaps) is refused.
        const QlSwfLoadMovie* request = reinterpret_cast<const QlSwfLoadMovie*>(lParam);
        if (!InSendMessage()) loadMovieFile(request ? request->path : nullptr);
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
  static void readMovieFile(const char* path, std::vector<uint8_t>& bytes) {
    if (!path || !*path) return;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= QLSWF_LARGEST_MOVIE_BYTES &&
        fenced([&] { bytes.resize(static_cast<size_t>(size.QuadPart)); })) {
      DWORD got = 0;
      if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
          got != bytes.size())
        bytes.clear();
    }
    CloseHandle(file);
  }

  // Frames are driven by SetTimer: WM_TIMER arrives on the window's own
  // thread, where the engine lives, with no thread of ours and no message
  // loop of ours (a multimedia or waitable timer would fire elsewhere and have
  // to post back). The system's default 15.6 ms tick would make 30 fps judder,
  // so the timer runs at 1 ms resolution, but only while frames are shown.
  void setFineTimer(bool on) {
    if (on == fineTimer_) return;
    if (on)
      fineTimer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    else {
      timeEndPeriod(1);
      fineTimer_ = false;
    }
  }

  // Shown and not minimised is known from messages; being covered is not, so
  // it is looked at on the frame ticks, at most every kCoveredPollMs.
  void tick() {
    double now = secondsNow();
    if (!movie_) return schedule();
    bool shown = isShown(window_);
    if (shown && (!seen_ || now - lastCoverCheck_ >= kCoveredPollMs / 1000.0)) {
      lastCoverCheck_ = now;
      shown = isUncovered(window_);
    }
    if (shown && !seen_) {
      // Back in sight: carry on from here, no catching up on the pause.
      seen_ = true;
      clock_.restart(now, movie_->frameRate());
      draw();
    } else if (shown) {
      int frames = clock_.framesDue(now);
      if (frames > 0) {
        bool ok = fenced([&] {
          for (int i = 0; i < frames; ++i) movie_->advanceFrame();
        });
        if (!ok) movie_.reset();
        draw();
      }
    }
    seen_ = shown;
    schedule();
  }

  void recheckSight() {
    bool wasSeen = seen_;
    seen_ = isShown(window_) && isUncovered(window_);
    lastCoverCheck_ = secondsNow();
    if (seen_ && !wasSeen && movie_) {
      clock_.restart(lastCoverCheck_, movie_->frameRate());
      draw();
    }
    schedule();
  }

  void schedule() {
    if (!movie_ || !isShown(window_)) {
      // Hidden or minimised: messages wake us when that changes.
      KillTimer(window_, kFrameTimer);
      setFineTimer(false);
      return;
    }
    if (!seen_) {
      setFineTimer(false);
      SetTimer(window_, kFrameTimer, kCoveredPollMs, nullptr);
      return;
    }
    setFineTimer(true);
    double wait = clock_.secondsUntilNext(secondsNow());
    UINT ms = static_cast<UINT>(wait * 1000.0 + 0.999);
    SetTimer(window_, kFrameTimer, ms ? ms : 1, nullptr);
  }

  // Draws the current frame with per-pixel alpha; the movie's background
  // colour is left out so the desktop shows through.
  void draw() {
    RECT r;
    if (!GetWindowRect(window_, &r)) return;
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0 || !canvas_.resize(width, height)) return;
    bool drawn = false;
    if (movie_)
      drawn = fenced([&] { movie_->render(canvas_.pixels(), width, height, width * 4, false); });
    if (!drawn) std::memset(canvas_.pixels(), 0, static_cast<size_t>(width) * height * 4);
    GdiFlush();
    POINT to = {r.left, r.top}, from = {0, 0};
    SIZE size = {width, height};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window_, nullptr, &to, &size, canvas_.dc(), &from, 0, &blend, ULW_ALPHA);
  }

  HWND window_;
  std::unique_ptr<player::Player> movie_;
  FrameClock clock_;
  ql::DibSurface canvas_;
  bool seen_ = false;
  double lastCoverCheck_ = 0;
  bool fineTimer_ = false;
};

PlayerWindow* playerOf(HWND window) {
  return reinterpret_cast<PlayerWindow*>(GetWindowLongPtrA(window, 0));
}

LRESULT CALLBACK playerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PlayerWindow* player = playerOf(window);
  if (message == WM_NCCREATE) {
    player = new (std::nothrow) PlayerWindow(window);
    if (!player) return FALSE;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(player));
  } else if (message == WM_NCDESTROY) {
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
