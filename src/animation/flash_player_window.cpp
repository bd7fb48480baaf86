#include "animation/flash_player_window.h"

#include "animation/flash_library.h"
#include "runtime/message_box.h"

namespace ql {

namespace {

// The volume the program speaks (0..100) is the library's divided by this.
constexpr int kVolumeScale = 655;

const char* const kEntryNames[] = {
    "FPCIsFlashInstalled",   "FPCIsTransparentAvailable",
    "FPC_LoadRegisteredOCX", "FPC_CreateWindowA",
    "FPCPutMovieFromMemory", "FPC_GetSoundVolume",
    "FPC_SetSoundVolume",    "FPC_UnloadCode",
};

void* systemLoad(const std::string& path) {
  return path.empty() ? nullptr : LoadLibraryA(path.c_str());
}

void* systemFind(void* module, const char* entry) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), entry));
}

void systemTell(const std::string& text) {
  showMessageBox(nullptr, text, MB_OK | MB_ICONERROR, "DLL ERROR");
}

const FlashLibraryAccess kSystemAccess = {systemLoad, systemFind, systemTell};
const FlashLibraryAccess* currentAccess = &kSystemAccess;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

const FlashLibraryAccess& systemFlashLibraryAccess() { return kSystemAccess; }

void setFlashLibraryAccess(const FlashLibraryAccess* access) {
  currentAccess = access ? access : &kSystemAccess;
}

FlashPlayerWindow::FlashPlayerWindow() : FlashPlayerWindow(installFlashLibrary()) {}

FlashPlayerWindow::FlashPlayerWindow(std::string libraryPath)
    : flashLibraryPath_(std::move(libraryPath)), access_(currentAccess) {}

// A library that cannot be had is told once and then stays silent: the
// desktop animation is simply missing and the rest of the program goes on.
void* FlashPlayerWindow::bind(Entry which) {
  if (entries_[which]) return entries_[which];
  if (!moduleTried_) {
    moduleTried_ = true;
    module_ = access_->load(flashLibraryPath_);
    if (!module_ && !told_) {
      told_ = true;
      access_->tell("同目录下无法找到DLL文件:" + quoted(QLSWF_LIBRARY_NAME) + ".请与作者联系.");
    }
  }
  if (!module_) return nullptr;
  entries_[which] = access_->find(module_, kEntryNames[which]);
  if (!entries_[which] && !told_) {
    told_ = true;
    access_->tell("无法定位DLL文件:" + quoted(QLSWF_LIBRARY_NAME) + "当中的" +
                  quoted(kEntryNames[which]) + "函数.");
  }
  return entries_[which];
}

template <typename Fn>
Fn FlashPlayerWindow::entry(Entry which) {
  return reinterpret_cast<Fn>(bind(which));
}

HWND FlashPlayerWindow::create(HWND parent, int left, int top, int width, int height,
                               const char* moviePath, const char* windowName, const char* caption) {
  auto isInstalled = entry<FPCIsFlashInstalledFn>(kIsFlashInstalled);
  if (!isInstalled || !isInstalled()) return nullptr;
  auto isTransparent = entry<FPCIsTransparentAvailableFn>(kIsTransparentAvailable);
  if (!isTransparent || !isTransparent()) return nullptr;
  auto loadLibrary = entry<FPC_LoadRegisteredOCXFn>(kLoadRegisteredOcx);
  libraryHandle_ = loadLibrary ? loadLibrary() : nullptr;
  if (!libraryHandle_) return nullptr;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  auto createWindow = entry<FPC_CreateWindowAFn>(kCreateWindow);
  if (!createWindow) return nullptr;
  windowHandle_ = createWindow(libraryHandle_, WS_EX_LAYERED, windowName, WS_POPUP | WS_VISIBLE,
                               left, top, width, height, parent, nullptr, nullptr, nullptr);
  if (!windowHandle_) return nullptr;
  SetWindowTextA(windowHandle_, caption);
  if (moviePath && *moviePath) loadMovie(moviePath);
  int menuOff = 0;
  SendMessageA(windowHandle_, QLSWF_MSG_CONTEXT_MENU_OFF, 0, reinterpret_cast<LPARAM>(&menuOff));
  return windowHandle_;
}

int FlashPlayerWindow::volume(int value, bool set) {
  if (set) {
    value = value < 0 ? 0 : value > 100 ? 100 : value;
    if (auto setVolume = entry<FPC_SetSoundVolumeFn>(kSetSoundVolume))
      setVolume(libraryHandle_, static_cast<DWORD>(value * kVolumeScale));
    return value;
  }
  auto getVolume = entry<FPC_GetSoundVolumeFn>(kGetSoundVolume);
  return getVolume ? static_cast<int>(getVolume(libraryHandle_) / kVolumeScale) : 0;
}

void FlashPlayerWindow::putMovieFromMemory(const std::vector<unsigned char>& bytes) {
  if (auto put = entry<FPCPutMovieFromMemoryFn>(kPutMovieFromMemory))
    put(windowHandle_, bytes.empty() ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size()));
}

void FlashPlayerWindow::loadMovie(const std::string& path) {
  std::string copy = path;  // the library reads the path while the message is handled
  QlSwfLoadMovie request = {copy.c_str(), 0};
  SendMessageA(windowHandle_, QLSWF_MSG_LOAD_MOVIE, 0, reinterpret_cast<LPARAM>(&request));
}

void FlashPlayerWindow::destroy() {
  if (!windowHandle_) return;
  if (originalWindowProcedure_)
    SetWindowLongPtrA(windowHandle_, GWLP_WNDPROC,
                      reinterpret_cast<LONG_PTR>(originalWindowProcedure_));
  DestroyWindow(windowHandle_);
  windowHandle_ = nullptr;
  if (auto unload = entry<FPC_UnloadCodeFn>(kUnloadCode)) unload(libraryHandle_);
  libraryHandle_ = nullptr;
}

std::string FlashPlayerWindow::caption(const std::string& text, bool) {
  if (!text.empty()) {
    SetWindowTextA(windowHandle_, text.c_str());
    return std::string();
  }
  char buffer[256] = {};
  GetWindowTextA(windowHandle_, buffer, 255);
  return buffer;
}

WNDPROC FlashPlayerWindow::originalWindowProcedure() const { return originalWindowProcedure_; }

void FlashPlayerWindow::hide() { ShowWindow(windowHandle_, SW_HIDE); }

void FlashPlayerWindow::maximise() { PostMessageA(windowHandle_, WM_SYSCOMMAND, SC_MAXIMIZE, 0); }

void FlashPlayerWindow::setTopmost(bool on) {
  SetWindowPos(windowHandle_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

bool FlashPlayerWindow::visible(bool value, bool set) {
  if (set) {
    ShowWindow(windowHandle_, value ? SW_SHOWNORMAL : SW_HIDE);
    return value;
  }
  return IsWindowVisible(windowHandle_) != FALSE;
}

void FlashPlayerWindow::moveToStoredRectangle() {
  MoveWindow(windowHandle_, left_, top_, width_, height_, TRUE);
}

int FlashPlayerWindow::left(int value, bool set) {
  if (!set) return left_;
  left_ = value;
  moveToStoredRectangle();
  return value;
}

int FlashPlayerWindow::top(int value, bool set) {
  if (!set) return top_;
  top_ = value;
  moveToStoredRectangle();
  return value;
}

int FlashPlayerWindow::width(int value, bool set) {
  if (!set) return width_;
  width_ = value;
  moveToStoredRectangle();
  return value;
}

int FlashPlayerWindow::height(int value, bool set) {
  if (!set) return height_;
  height_ = value;
  moveToStoredRectangle();
  return value;
}

void FlashPlayerWindow::move(std::optional<int> left, std::optional<int> top,
                             std::optional<int> width, std::optional<int> height) {
  if (left) left_ = *left;
  if (top) top_ = *top;
  if (width) width_ = *width;
  if (height) height_ = *height;
  moveToStoredRectangle();
}

void FlashPlayerWindow::setClickThrough(bool on) {
  LONG style = GetWindowLongA(windowHandle_, GWL_EXSTYLE) | WS_EX_LAYERED;
  style = on ? style | WS_EX_TRANSPARENT : style & ~WS_EX_TRANSPARENT;
  SetWindowLongA(windowHandle_, GWL_EXSTYLE, style);
}

void FlashPlayerWindow::setParent(HWND parent) { SetParent(windowHandle_, parent); }

bool FlashPlayerWindow::disabled(bool value, bool set) {
  if (set) {
    EnableWindow(windowHandle_, !value);
    return value;
  }
  return !IsWindowEnabled(windowHandle_);
}

HWND FlashPlayerWindow::windowHandle() const { return windowHandle_; }

void FlashPlayerWindow::unloadMovie() { loadMovie("FALSE"); }

void FlashPlayerWindow::reserved() {}

}  // namespace ql
