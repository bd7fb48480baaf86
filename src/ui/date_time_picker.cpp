#include "ui/date_time_picker.h"

#include <commctrl.h>

#include "runtime/datetime.h"

namespace ql {

namespace {

double fromSystemTime(const SYSTEMTIME& time) {
  LocalTime local;
  local.year = time.wYear;
  local.month = time.wMonth;
  local.day = time.wDay;
  local.hour = time.wHour;
  local.minute = time.wMinute;
  local.second = time.wSecond;
  return toOleDate(local);
}

}  // namespace

bool DateTimePicker::create(HWND parent, const std::string& text, DWORD style, int left, int top,
                            int width, int height, DWORD exStyle) {
  return createChild(parent, DATETIMEPICK_CLASSA, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                     left, top, width > 0 ? width : 120, height > 0 ? height : 24, exStyle);
}

double DateTimePicker::value() const {
  SYSTEMTIME time{};
  if (!exists() || send(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
    return 0.0;
  return fromSystemTime(time);
}

bool DateTimePicker::setValue(double date) {
  if (!exists()) return false;
  const LocalTime local = fromOleDate(date);
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(local.year);
  time.wMonth = static_cast<WORD>(local.month);
  time.wDay = static_cast<WORD>(local.day);
  time.wDayOfWeek = static_cast<WORD>(local.weekday());
  time.wHour = static_cast<WORD>(local.hour);
  time.wMinute = static_cast<WORD>(local.minute);
  time.wSecond = static_cast<WORD>(local.second);
  return send(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)) != 0;
}

bool DateTimePicker::setFormat(const std::string& format) {
  if (!exists()) return false;
  return send(DTM_SETFORMATA, 0, format.empty() ? 0 : reinterpret_cast<LPARAM>(format.c_str())) !=
         0;
}

bool DateTimePicker::handleControlMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (message != WM_NOTIFY || !onChanged) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code != DTN_DATETIMECHANGE) return false;
  const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(lParam);
  onChanged(change->dwFlags == GDT_VALID ? fromSystemTime(change->st) : 0.0);
  result = 0;
  return true;
}

}  // namespace ql
