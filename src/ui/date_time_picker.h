// DateTimePicker: the system date-and-time picker. Values are OLE dates.
#pragma once
#include "ui/window_base.h"

namespace ql {

class DateTimePicker : public WindowBase {
 public:
  // Child, visible, tab stop, plus `style` (default: long date format);
  // size 0 -> 120 x 24.
  bool create(HWND parent, const std::string& text = std::string(), DWORD style = 4, int left = 0,
              int top = 0, int width = 120, int height = 24, DWORD exStyle = 0);

  // 0 when there is no window.
  double value() const;
  bool setValue(double date);
  // A display format such as "yyyy'年'M'月'd'日'"; empty restores the default.
  bool setFormat(const std::string& format);

  // The user changed the value.
  std::function<void(double date)> onChanged;

 protected:
  bool handleControlMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace ql
