#include "runtime/datetime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ql {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

// Constant-initialised: dates made during static initialisation use it.
constexpr long long kOleEpoch = daysFromCivil(1899, 12, 30);

// Seconds since the OLE epoch on a linear scale. OLE dates before the epoch
// keep a positive time of day in the fraction (-1.25 is 29 Dec 1899 06:00).
long long linearSeconds(double date) {
  double day = std::trunc(date);
  double frac = std::fabs(date - day);
  long long secs = std::llround(frac * 86400.0);
  return static_cast<long long>(day) * 86400 + secs;
}

double fromLinearSeconds(long long secs) {
  long long day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
  long long rest = secs - day * 86400;
  double frac = rest / 86400.0;
  return day >= 0 ? double(day) + frac : double(day) - frac;
}

ClockFn currentClock = nullptr;

double systemNow() {
#ifdef _WIN32
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear, t.month = st.wMonth, t.day = st.wDay;
  t.hour = st.wHour, t.minute = st.wMinute, t.second = st.wSecond;
#else
  std::time_t raw = std::time(nullptr);
  std::tm tmv{};
  localtime_r(&raw, &tmv);
  LocalTime t;
  t.year = tmv.tm_year + 1900, t.month = tmv.tm_mon + 1, t.day = tmv.tm_mday;
  t.hour = tmv.tm_hour, t.minute = tmv.tm_min, t.second = tmv.tm_sec;
#endif
  return toOleDate(t);
}

// Reads an unsigned decimal number at text[i]; false when there is none.
bool readNumber(const std::string& text, size_t& i, int& value) {
  size_t start = i;
  long long v = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    v = v * 10 + (text[i] - '0');
    if (v > 1000000) return false;
    ++i;
  }
  value = static_cast<int>(v);
  return i > start;
}

bool readMark(const std::string& text, size_t& i, const char* mark) {
  std::string m(mark);
  if (text.compare(i, m.size(), m) != 0) return false;
  i += m.size();
  return true;
}

}  // namespace

int LocalTime::weekday() const {
  long long days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  long long w = (days + 4) % 7;  // 1970-01-01 was a Thursday
  return static_cast<int>(w < 0 ? w + 7 : w);
}

int daysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool isValidDate(int year, int month, int day) {
  return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= daysInMonth(year, month);
}

double toOleDate(const LocalTime& t) {
  long long days = daysFromCivil(t.year, static_cast<unsigned>(t.month),
                                 static_cast<unsigned>(t.day)) - kOleEpoch;
  long long secs = days * 86400 + t.hour * 3600LL + t.minute * 60LL + t.second;
  return fromLinearSeconds(secs);
}

LocalTime fromOleDate(double date) {
  long long secs = linearSeconds(date);
  long long day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
  long long rest = secs - day * 86400;
  LocalTime t;
  civilFromDays(day + kOleEpoch, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

std::string formatDateTime(double date) {
  LocalTime t = fromOleDate(date);
  char buf[96];
  int n = std::snprintf(buf, sizeof buf, "%d年%d月%d日", t.year, t.month, t.day);
  if (t.second != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分%d秒", t.hour, t.minute, t.second);
  else if (t.minute != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时%d分", t.hour, t.minute);
  else if (t.hour != 0)
    std::snprintf(buf + n, sizeof buf - n, "%d时", t.hour);
  return buf;
}

double parseDateTime(const std::string& raw) {
  // Trim ASCII and full-width spaces around the text.
  size_t b = 0, e = raw.size();
  auto isSpaceAt = [&](size_t i) {
    return raw[i] == ' ' || ((unsigned char)raw[i] == 0xA1 && i + 1 < raw.size() &&
                             (unsigned char)raw[i + 1] == 0xA1);
  };
  while (b < e && isSpaceAt(b)) b += raw[b] == ' ' ? 1 : 2;
  while (e > b && raw[e - 1] == ' ') --e;
  while (e >= b + 2 && (unsigned char)raw[e - 1] == 0xA1 && (unsigned char)raw[e - 2] == 0xA1) e -= 2;
  const std::string text = raw.substr(b, e - b);

  LocalTime t;
  size_t i = 0;
  if (!readNumber(text, i, t.year) || !readMark(text, i, "年") ||
      !readNumber(text, i, t.month) || !readMark(text, i, "月") ||
      !readNumber(text, i, t.day) || !readMark(text, i, "日"))
    return kEarliestDateTime;
  t.hour = t.minute = t.second = 0;
  if (i < text.size()) {
    if (!readNumber(text, i, t.hour) || !readMark(text, i, "时")) return kEarliestDateTime;
    if (i < text.size()) {
      if (!readNumber(text, i, t.minute) || !readMark(text, i, "分")) return kEarliestDateTime;
      if (i < text.size()) {
        if (!readNumber(text, i, t.second) || !readMark(text, i, "秒")) return kEarliestDateTime;
      }
    }
  }
  if (i != text.size() || !isValidDate(t.year, t.month, t.day) || t.hour > 23 ||
      t.minute > 59 || t.second > 59)
    return kEarliestDateTime;
  return toOleDate(t);
}

double secondsBetween(double a, double b) { return (a - b) * 86400.0; }

double addSeconds(double date, double seconds) {
  return fromLinearSeconds(linearSeconds(date) + std::llround(seconds));
}

double addOneMonth(double date) {
  LocalTime t = fromOleDate(date);
  if (++t.month > 12) t.month = 1, ++t.year;
  int last = daysInMonth(t.year, t.month);
  if (t.day > last) t.day = last;
  return toOleDate(t);
}

double now() { return currentClock ? currentClock() : systemNow(); }

void setClock(ClockFn clock) { currentClock = clock; }

}  // namespace ql
