// The desktop animation's player: one movie window made by the player
// library (qlswf.dll), whose entry points are bound by name on first call.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "player/dll/qlswf_api.h"

namespace ql {

// How the player window reaches its library. Tests put their own in place to
// watch the calls; the system's loads by full path, asks GetProcAddress and
// tells the user with a message box.
struct FlashLibraryAccess {
  void* (*load)(const std::string& path);  // module, null on failure
  void* (*find)(void* module, const char* entry);
  void (*tell)(const std::string& text);
};
const FlashLibraryAccess& systemFlashLibraryAccess();
// Null puts the system's back. Affects player windows created afterwards.
void setFlashLibraryAccess(const FlashLibraryAccess* access);

class FlashPlayerWindow {
 public:
  // Installs the library where it can (flash_library.h) and uses that copy.
  FlashPlayerWindow();
  explicit FlashPlayerWindow(std::string libraryPath);
  virtual ~FlashPlayerWindow() = default;
  FlashPlayerWindow(const FlashPlayerWindow&) = delete;
  FlashPlayerWindow& operator=(const FlashPlayerWindow&) = delete;

  // The window, owned by `parent`, at the given screen rectangle; 0 when the
  // library cannot play or cannot be had.
  virtual HWND create(HWND parent, int left, int top, int width, int height,
                      const char* moviePath = nullptr, const char* windowName = nullptr,
                      const char* caption = nullptr);
  // 0..100. Setting clamps and returns the value set.
  virtual int volume(int value = 0, bool set = false);
  virtual void putMovieFromMemory(const std::vector<unsigned char>& bytes);
  virtual void loadMovie(const std::string& path);
  virtual void destroy();
  // Non-empty text sets the caption (and gives empty text); empty text reads it.
  virtual std::string caption(const std::string& text = std::string(), bool set = false);
  virtual WNDPROC originalWindowProcedure() const;
  virtual void hide();
  virtual void maximise();
  virtual void setTopmost(bool on);
  virtual bool visible(bool value = false, bool set = false);
  virtual int left(int value = 0, bool set = false);
  virtual int top(int value = 0, bool set = false);
  virtual int width(int value = 0, bool set = false);
  virtual int height(int value = 0, bool set = false);
  virtual void move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                    std::optional<int> height);
  // Mouse input passes through while on; the window stays layered either way.
  virtual void setClickThrough(bool on);
  virtual void setParent(HWND parent);
  virtual bool disabled(bool value = false, bool set = false);
  virtual HWND windowHandle() const;
  // Empties the window: "FALSE" names no movie.
  virtual void unloadMovie();
  virtual void reserved();

  const std::string& flashLibraryPath() const { return flashLibraryPath_; }

 private:
  enum Entry {
    kIsFlashInstalled,
    kIsTransparentAvailable,
    kLoadRegisteredOcx,
    kCreateWindow,
    kPutMovieFromMemory,
    kGetSoundVolume,
    kSetSoundVolume,
    kUnloadCode,
    kEntryCount
  };
  template <typename Fn>
  Fn entry(Entry which);
  void* bind(Entry which);
  void moveToStoredRectangle();

  std::string flashLibraryPath_;
  HWND windowHandle_ = nullptr;
  WNDPROC originalWindowProcedure_ = nullptr;
  HFPC libraryHandle_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;

  // Binding: the module, each entry point once found, and whether the user
  // has been told that something is missing (once is enough).
  const FlashLibraryAccess* access_;
  void* module_ = nullptr;
  bool moduleTried_ = false;
  bool told_ = false;
  void* entries_[kEntryCount] = {};
};

}  // namespace ql
