// What the gallery's scenes share: the log of facts, the command line's
// options and the usual top-level window.
#pragma once
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/window_base.h"

namespace gallery {

// key=value lines, flushed as they are written.
class Log {
 public:
  explicit Log(const std::string& path)
      : file_(path.empty() ? nullptr : std::fopen(path.c_str(), "w")) {}
  ~Log() {
    if (file_) std::fclose(file_);
  }
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;
  void fact(const std::string& key, const std::string& value) {
    if (!file_) return;
    std::fprintf(file_, "%s=%s\n", key.c_str(), value.c_str());
    std::fflush(file_);
  }
  void fact(const std::string& key, long long value) { fact(key, std::to_string(value)); }

 private:
  FILE* file_;
};

inline std::string optionValue(const std::vector<std::string>& args, const std::string& name,
                               const std::string& fallback = std::string()) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return fallback;
}

inline std::string handleText(HWND window) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%lx",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
  return text;
}

// A shown top-level window with a taskbar button.
inline ql::TopLevelArgs topLevel(const char* title, int left, int top, int width, int height,
                                 DWORD style = WS_POPUP | WS_CLIPCHILDREN,
                                 std::function<void(HWND)> created = nullptr) {
  ql::TopLevelArgs args;
  args.title = title;
  args.created = std::move(created);
  args.left = left;
  args.top = top;
  args.width = width;
  args.height = height;
  args.style = style;
  args.taskbarButton = true;
  return args;
}

}  // namespace gallery
