// ToolTips: the process's one system tooltip control. Windows are registered
// as tools (the tool identifier is the window handle; the tooltip subclasses
// the window to see its mouse messages).
#pragma once
#include <windows.h>

#include <string>

namespace ql {

class ToolTips {
 public:
  ToolTips() = default;
  ~ToolTips();
  ToolTips(const ToolTips&) = delete;
  ToolTips& operator=(const ToolTips&) = delete;

  // Creates the "tooltips_class32" window (always-tip, 400 ms delay).
  bool create();
  void destroy();
  HWND handle() const { return window_; }

  // Registers `window` as a tool with the given text (empty: no tip yet).
  bool addWindow(HWND window, const std::string& text = std::string());
  void removeWindow(HWND window);
  // Re-reads the window's client rectangle as the tool rectangle.
  void updateWindow(HWND window);
  // Setting text, title or colours hides a tip that is showing.
  void setText(HWND window, const std::string& text);
  // icon: 0 none, 1 info, 2 warning, 3 error.
  void setTitle(const std::string& title, int icon = 0);
  void setTextColor(COLORREF color);
  void setBackgroundColor(COLORREF color);
  void setDelay(int milliseconds);
  void hide();

 private:
  HWND window_ = nullptr;
};

}  // namespace ql
