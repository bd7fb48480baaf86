// A movie playing on a thread of its own. Parsing, running frames, drawing
// them and feeding their sound all happen there, so that however heavy a
// movie is, the thread that owns the window (the program's one GUI thread)
// only ever puts finished pictures on the screen and passes the pointer on.
// Frames run on an absolute clock while the window can be seen; hidden,
// minimised or covered, the movie waits and draws nothing.
#pragma once
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "player/dll/acm_mp3.h"
#include "player/dll/frame_clock.h"
#include "player/dll/gdi_fonts.h"
#include "player/dll/qlswf_api.h"
#include "player/dll/wave_output.h"
#include "player/sound/mixer.h"

namespace player {
class Player;
}

namespace qlswf {

// A drawn frame: premultiplied 32-bit pixels, rows top first, and the part
// that differs from the picture handed over before it.
struct Picture {
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  RECT changed = {0, 0, 0, 0};
};

class Playback {
 public:
  // `pictureReady` is posted to `window` when a new picture can be taken;
  // sound plays at `library`'s volume.
  Playback(HWND window, UINT pictureReady, HFPC library);
  // Stops the thread and waits for it.
  ~Playback();
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // Replaces the movie (empty bytes: none). The thread parses it.
  void setMovie(std::vector<uint8_t> bytes);
  // Replaces the movie with a file's (read by the thread).
  void setMovieFile(std::string path);
  // The size to draw at; a new size is drawn at once, whatever the clock says.
  void setSize(int width, int height);
  // The window was shown, hidden, moved or restacked: look again.
  void windowChanged();
  // Runs `work` on the movie, on the playback thread; a true result draws
  // the frame again (a button's state changed, say).
  void post(std::function<bool(player::Player&)> work);
  // Whether the pointer was over one of the movie's buttons when the movie
  // last heard of it (for the hand cursor).
  bool pointerOverButton() const { return overButton_; }
  // Whether the movie's scripts hid the pointer over it (Mouse.hide).
  bool mouseHidden() const { return mouseHidden_; }
  // Whether one of the movie's input fields has the keyboard focus.
  bool textFocused() const { return textFocused_; }

  // The newest picture in exchange for one the caller is done with; false
  // when nothing new was drawn since the last call.
  bool takePicture(Picture& picture);

 private:
  void run();
  // One pass of the thread, lock held on entry and exit; returns the time
  // to wait for (seconds on the frame clock) or a negative value to wait
  // until woken.
  double step(std::unique_lock<std::mutex>& lock);
  void loadPending(std::unique_lock<std::mutex>& lock);
  void draw(std::unique_lock<std::mutex>& lock);
  void setFineTimer(bool on);
  // The library's volume, as the mixer plays it. After a computer without a
  // sound device has been found, it stays silent until the volume changes.
  void syncVolume();
  void playSound();
  // After the movie heard of something or ran: what the pointer shows.
  void notePointerLook();

  const HWND window_;
  const UINT pictureReady_;
  const HFPC library_;

  std::mutex lock_;
  std::condition_variable wake_;
  bool quit_ = false;
  // Waiting for the thread: a movie to load, the size, work for the movie.
  bool movieChanged_ = false;
  std::vector<uint8_t> pendingBytes_;
  std::string pendingPath_;
  int width_ = 0, height_ = 0;
  bool sizeChanged_ = false;
  bool lookAgain_ = true;
  std::vector<std::function<bool(player::Player&)>> work_;
  // The picture drawn last and not yet taken.
  Picture ready_;
  bool readyNew_ = false;
  bool posted_ = false;

  std::atomic<bool> overButton_{false};
  std::atomic<bool> mouseHidden_{false};
  std::atomic<bool> textFocused_{false};

  // The thread's own. What the movie draws text with and plays sound
  // through comes before it, so it goes after it.
  GdiFonts fonts_;
  AcmMp3Codec codec_;
  sound::Mixer mixer_{&codec_};
  WaveOutput output_{mixer_};
  DWORD lastVolume_ = 0xFFFFFFFF;
  bool noDevice_ = false;
  std::unique_ptr<player::Player> movie_;
  FrameClock clock_;
  Picture drawing_;
  // The picture handed over last, to find what a new one changes: a frame
  // drawn the same (a still movie, a clock between its ticks) is not handed
  // over at all, and the screen is updated only where pictures differ. Not
  // valid when the screen may not show it (new size, back in sight).
  Picture previous_;
  bool previousValid_ = false;
  bool seen_ = false;
  double lastLook_ = -1;
  bool fineTimer_ = false;

  std::thread thread_;
};

}  // namespace qlswf
