#include "player/dll/playback.h"

#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "player/core/player.h"
#include "player/dll/player_window.h"
#include "player/dll/visibility.h"

namespace qlswf {

namespace {

// How often a covered window looks whether it can be seen again, and a seen
// one whether it has been covered.
constexpr double kLookEvery = 0.25;

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
// memory on a huge stage, say) must still never end the thread, so the calls
// into the engine and the large allocations are fenced.
template <typename Fn>
bool fenced(Fn fn) {
  try {
    fn();
    return true;
  } catch (...) {
    return false;
  }
}

// The bounding box of the pixels in which `now` differs from `before` (the
// whole picture when their sizes differ); empty when they are the same.
RECT changedArea(const Picture& now, const Picture& before) {
  RECT area = {0, 0, now.width, now.height};
  if (now.width != before.width || now.height != before.height) return area;
  area = {now.width, now.height, 0, 0};
  const uint32_t* a = now.pixels.data();
  const uint32_t* b = before.pixels.data();
  size_t rowBytes = size_t(now.width) * 4;
  for (int y = 0; y < now.height; ++y, a += now.width, b += now.width) {
    if (std::memcmp(a, b, rowBytes) == 0) continue;
    int left = 0, right = now.width;
    while (a[left] == b[left]) ++left;
    while (a[right - 1] == b[right - 1]) --right;
    area.left = std::min<LONG>(area.left, left);
    area.right = std::max<LONG>(area.right, right);
    if (area.top > y) area.top = y;
    area.bottom = y + 1;
  }
  return area;
}

void readMovieFile(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  if (path.empty()) return;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
      size.QuadPart <= QLSWF_LARGEST_MOVIE_BYTES &&
      fenced([&] { bytes.resize(static_cast<size_t>(size.QuadPart)); })) {
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
        got != bytes.size())
      bytes.clear();
  }
  CloseHandle(file);
}

}  // namespace

Playback::Playback(HWND window, UINT pictureReady, HFPC library)
    : window_(window), pictureReady_(pictureReady), library_(library), thread_([this] { run(); }) {}

Playback::~Playback() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void Playback::setMovie(std::vector<uint8_t> bytes) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    pendingBytes_ = std::move(bytes);
    pendingPath_.clear();
    movieChanged_ = true;
  }
  wake_.notify_all();
}

void Playback::setMovieFile(std::string path) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    pendingBytes_.clear();
    pendingPath_ = std::move(path);
    movieChanged_ = true;
  }
  wake_.notify_all();
}

void Playback::setSize(int width, int height) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    sizeChanged_ = true;
  }
  wake_.notify_all();
}

void Playback::windowChanged() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    lookAgain_ = true;
  }
  wake_.notify_all();
}

void Playback::post(std::function<bool(player::Player&)> work) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    work_.push_back(std::move(work));
  }
  wake_.notify_all();
}

bool Playback::takePicture(Picture& picture) {
  std::lock_guard<std::mutex> hold(lock_);
  posted_ = false;
  if (!readyNew_) return false;
  std::swap(picture, ready_);
  readyNew_ = false;
  return true;
}

void Playback::run() {
  std::unique_lock<std::mutex> lock(lock_);
  auto woken = [this] {
    return quit_ || movieChanged_ || sizeChanged_ || lookAgain_ || !work_.empty();
  };
  while (!quit_) {
    double wait = step(lock);
    if (quit_) break;
    if (wait < 0) {
      wake_.wait(lock, woken);
    } else if (wait > 0) {
      wake_.wait_for(lock, std::chrono::duration<double>(wait), woken);
    }
  }
  lock.unlock();
  setFineTimer(false);
}

double Playback::step(std::unique_lock<std::mutex>& lock) {
  bool redraw = movieChanged_ || sizeChanged_;
  if (sizeChanged_) previousValid_ = false;
  if (movieChanged_) loadPending(lock);
  sizeChanged_ = false;
  if (!work_.empty()) {
    std::vector<std::function<bool(player::Player&)>> work;
    work.swap(work_);
    lock.unlock();
    for (auto& w : work) {
      bool changed = false;
      if (movie_ && !fenced([&] { changed = w(*movie_); })) movie_.reset();
      redraw = redraw || changed;
    }
    notePointerLook();
    playSound();
    lock.lock();
  }

  // Hidden or minimised: nothing to do until the window says it changed.
  double now = secondsNow();
  bool look = lookAgain_ || now - lastLook_ >= kLookEvery;
  lookAgain_ = false;
  if (!isShown(window_)) {
    seen_ = false;
    setFineTimer(false);
    lock.unlock();
    playSound();
    lock.lock();
    return -1;
  }
  if (look) {
    bool wasSeen = seen_;
    lock.unlock();
    seen_ = isUncovered(window_);
    lock.lock();
    lastLook_ = now;
    if (seen_ && !wasSeen) {
      // Back in sight: carry on from here, no catching up on the pause.
      if (movie_) clock_.restart(now, movie_->frameRate());
      redraw = true;
      previousValid_ = false;
    }
  }
  if (!seen_) {
    setFineTimer(false);
    // Sounds already started play out; then the output stops.
    lock.unlock();
    playSound();
    lock.lock();
    return std::max(0.0, lastLook_ + kLookEvery - now);
  }
  if (movie_) {
    int frames = clock_.framesDue(now);
    if (frames > 0) {
      lock.unlock();
      if (!fenced([&] {
            for (int i = 0; i < frames; ++i) movie_->advanceFrame();
          }))
        movie_.reset();
      notePointerLook();
      playSound();
      lock.lock();
      redraw = true;
    }
  }
  if (redraw) draw(lock);
  if (!movie_) {
    // An empty window: nothing changes until it is told of a change.
    setFineTimer(false);
    return -1;
  }
  // The system's default 15.6 ms tick would make 30 fps judder: waits run
  // at 1 ms resolution, but only while frames are shown.
  setFineTimer(true);
  now = secondsNow();
  return std::min(clock_.secondsUntilNext(now), std::max(0.0, lastLook_ + kLookEvery - now));
}

void Playback::loadPending(std::unique_lock<std::mutex>& lock) {
  movieChanged_ = false;
  std::vector<uint8_t> bytes = std::move(pendingBytes_);
  std::string path = std::move(pendingPath_);
  pendingBytes_.clear();
  pendingPath_.clear();
  lock.unlock();
  movie_.reset();
  mixer_.stopAll();
  syncVolume();
  if (!path.empty()) readMovieFile(path, bytes);
  player::PlayerServices services;
  services.deviceFonts = &fonts_;
  services.mixer = &mixer_;
  std::unique_ptr<player::Player> movie;
  if (!bytes.empty() &&
      fenced([&] { movie = player::Player::load(bytes.data(), bytes.size(), services); }) &&
      movie && fenced([&] { movie->advanceFrame(); }))
    movie_ = std::move(movie);
  notePointerLook();
  playSound();
  lock.lock();
  if (movie_) clock_.restart(secondsNow(), movie_->frameRate());
}

// Draws the current frame with per-pixel alpha (the movie's background
// colour left out, so the desktop shows through) and hands it over.
void Playback::draw(std::unique_lock<std::mutex>& lock) {
  int width = width_, height = height_;
  if (width <= 0 || height <= 0) return;
  lock.unlock();
  size_t count = size_t(width) * size_t(height);
  bool drawn = fenced([&] { drawing_.pixels.resize(count); });
  if (drawn) {
    drawing_.width = width;
    drawing_.height = height;
    bool rendered = movie_ && fenced([&] {
                      movie_->render(drawing_.pixels.data(), width, height, width * 4, false);
                    });
    if (!rendered) std::memset(drawing_.pixels.data(), 0, count * 4);
  }
  if (drawn) {
    drawing_.changed =
        previousValid_ ? changedArea(drawing_, previous_) : RECT{0, 0, width, height};
    drawn = !IsRectEmpty(&drawing_.changed);
  }
  if (drawn) {
    previousValid_ = fenced([&] { previous_.pixels = drawing_.pixels; });
    previous_.width = width;
    previous_.height = height;
  }
  lock.lock();
  if (!drawn) return;
  // A picture not taken yet is replaced: what it changed still has to go.
  if (readyNew_) UnionRect(&drawing_.changed, &drawing_.changed, &ready_.changed);
  std::swap(drawing_, ready_);
  readyNew_ = true;
  if (!posted_) posted_ = PostMessageA(window_, pictureReady_, 0, 0) != FALSE;
}

void Playback::notePointerLook() {
  bool overButton = false, hidden = false, typing = false;
  if (movie_ && !fenced([&] {
        overButton = movie_->pointerOverButton();
        hidden = movie_->stage().mouseHidden();
        typing = movie_->stage().textFocused();
      }))
    movie_.reset();
  overButton_ = overButton;
  mouseHidden_ = hidden;
  textFocused_ = typing;
}

void Playback::syncVolume() {
  DWORD volume = libraryVolume(library_);
  if (volume != lastVolume_) {
    lastVolume_ = volume;
    noDevice_ = false;
  }
  mixer_.setVolume(noDevice_ ? 0 : volume / 65535.0);
}

void Playback::playSound() {
  syncVolume();
  if (!output_.update(secondsNow())) {
    noDevice_ = true;
    mixer_.setVolume(0);
  }
}

void Playback::setFineTimer(bool on) {
  if (on == fineTimer_) return;
  if (on) {
    fineTimer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  } else {
    timeEndPeriod(1);
    fineTimer_ = false;
  }
}

}  // namespace qlswf
