// Local date-times as OLE Automation dates: days since 30 December 1899,
// the time of day in the fraction. One-second resolution is what the program uses.
#pragma once
#include <string>

namespace ql {

struct LocalTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  int weekday() const;  // 0 = Sunday .. 6 = Saturday
};

// 1 January 100, the earliest date-time; what unreadable text converts to.
constexpr double kEarliestDateTime = -657434.0;

double toOleDate(const LocalTime& t);
// Rounded to the nearest second.
LocalTime fromOleDate(double date);

// The standard text form: "%d年%d月%d日" then "%d时%d分%d秒", or "%d时%d分" /
// "%d时" when the trailing fields are 0, or nothing at midnight.
std::string formatDateTime(double date);
// Reads the standard forms (the time part may stop after any field);
// surrounding spaces are ignored. Anything else gives kEarliestDateTime.
double parseDateTime(const std::string& text);

// (a - b) × 86400.
double secondsBetween(double a, double b);
double addSeconds(double date, double seconds);
// Same day of the next month, clamped to that month's last day.
double addOneMonth(double date);
bool isValidDate(int year, int month, int day);
int daysInMonth(int year, int month);

// The clock: local time now. Tests replace it with their own.
using ClockFn = double (*)();
double now();
void setClock(ClockFn clock);  // null restores the system clock

}  // namespace ql
