// Date, with the local time zone from the player's clock.
#include <cmath>
#include <cstdio>

#include "player/avm1/builtins.h"

namespace avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;

double day(double t) { return std::floor(t / kMsPerDay); }
double daysInYear(double y) {
  if (std::fmod(y, 4) != 0) return 365;
  if (std::fmod(y, 100) != 0) return 366;
  if (std::fmod(y, 400) != 0) return 365;
  return 366;
}
double dayFromYear(double y) {
  return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) + std::floor((y - 1601) / 400);
}
double timeFromYear(double y) { return kMsPerDay * dayFromYear(y); }

// The fields of a time follow the reference player's arithmetic, which
// truncates to 32-bit integers on the way: infinite times and those past
// some two billion years have fields made of the smallest integer.
constexpr double kInt32Min = -2147483648.0;

// A whole remainder in 0..divisor-1, as the reference's integer arithmetic gives it.
double positiveRemainder(double v, double divisor) {
  double r = saturateToInt32(std::fmod(v, divisor));
  return r < 0 ? r + divisor : r;
}
double yearFromTime(double t) {
  double estimate = std::floor(t / (kMsPerDay * 365.2425));
  // An estimate out of the integers' range is taken as it stands.
  if (saturateToInt32(estimate) == INT32_MIN) return kInt32Min + 1970;
  double y = estimate + 1970;
  for (int i = 0; i < 4 && timeFromYear(y) > t; ++i) --y;
  for (int i = 0; i < 4 && timeFromYear(y + 1) <= t; ++i) ++y;
  return y;
}
double dayWithinYear(double t, double year) { return saturateToInt32(day(t) - dayFromYear(year)); }
const int kMonthStart[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
int monthFromTime(double t) {
  double year = yearFromTime(t);
  double d = dayWithinYear(t, year);
  int l = daysInYear(year) == 366 ? 1 : 0;
  for (int mth = 0; mth < 12; ++mth)
    if (d < kMonthStart[l][mth + 1]) return mth;
  return 11;
}
double dateFromTime(double t) {
  double year = yearFromTime(t);
  int l = daysInYear(year) == 366 ? 1 : 0;
  return dayWithinYear(t, year) - kMonthStart[l][monthFromTime(t)] + 1;
}
double weekDay(double t) { return positiveRemainder(day(t) + 4, 7); }
double hourFromTime(double t) { return positiveRemainder(std::floor(t / 3600000), 24); }
// The hour getters and toString show multiply by the reciprocal of an hour
// and correct the result upwards only: far from 1970 the last millisecond of
// an hour counts to the next one there. Setters start from the exact hour.
double hourAsShown(double t) {
  double hours = std::floor(t * (1.0 / 3600000));
  if ((hours + 1) * 3600000 <= t) ++hours;
  return positiveRemainder(hours, 24);
}
double minFromTime(double t) { return positiveRemainder(std::floor(t / 60000), 60); }
double secFromTime(double t) { return positiveRemainder(std::floor(t / 1000), 60); }
double msFromTime(double t) { return positiveRemainder(t, 1000); }

// Field arithmetic as the reference does it: no range checks, so infinite
// fields make infinite times; a year is truncated to a 32-bit integer.
double makeTime(double h, double m, double s, double ms) {
  return std::trunc(h) * 3600000 + std::trunc(m) * 60000 + std::trunc(s) * 1000 + std::trunc(ms);
}
double makeDay(double year, double month, double date) {
  if (!std::isfinite(month)) return NAN;
  month = std::trunc(month);
  double y = saturateToInt32(year) + std::floor(month / 12);
  double mn = std::fmod(month, 12);
  if (mn < 0) mn += 12;
  int l = daysInYear(y) == 366 ? 1 : 0;
  return dayFromYear(y) + kMonthStart[l][static_cast<int>(mn)] + std::trunc(date) - 1;
}
double makeDate(double d, double time) { return d * kMsPerDay + time; }
// Setters hold times to ECMAScript's range and whole milliseconds; the
// constructor and Date.UTC keep whatever the arithmetic gives.
double timeClip(double t) { return std::fabs(t) <= 8.64e15 ? std::trunc(t) : NAN; }

double localOffsetMs(Machine& m, double utc) { return m.environment().localOffsetMinutes(utc) * 60000; }
double toLocal(Machine& m, double utc) { return utc + localOffsetMs(m, utc); }
double toUtc(Machine& m, double local) { return local - localOffsetMs(m, local - localOffsetMs(m, local)); }

DateObject* thisDate(const Call& c) {
  Object* o = c.thisValue.object();
  return o && o->kind() == Object::Kind::Date ? static_cast<DateObject*>(o) : nullptr;
}

String formatDate(Machine& m, double t) {
  if (!std::isfinite(t)) return "Invalid Date";
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  double offset = m.environment().localOffsetMinutes(t);
  double l = t + offset * 60000;
  int off = static_cast<int>(std::fabs(offset));
  char buf[96];
  // Far out, the year passes the 32-bit integers: it is printed as a number.
  std::snprintf(buf, sizeof buf, "%s %s %.0f %02d:%02d:%02d GMT%c%02d%02d %.0f", kDays[static_cast<int>(weekDay(l))],
                kMonths[monthFromTime(l)], dateFromTime(l), static_cast<int>(hourAsShown(l)),
                static_cast<int>(minFromTime(l)), static_cast<int>(secFromTime(l)), offset < 0 ? '-' : '+', off / 60,
                off % 60, yearFromTime(l));
  return buf;
}

// Date(y, m, d, h, min, s, ms) fields to a time, local or UTC.
double fromFields(Machine& m, const Call& c, bool utc) {
  double f[7] = {NAN, 0, 1, 0, 0, 0, 0};
  for (size_t i = 0; i < 7 && i < c.count; ++i) f[i] = m.toNumber(c.args[i]);
  // Years below 100 are the 1900s (-2 is 1898).
  if (std::isfinite(f[0]) && std::trunc(f[0]) < 100) f[0] = 1900 + std::trunc(f[0]);
  double t = makeDate(makeDay(f[0], f[1], f[2]), makeTime(f[3], f[4], f[5], f[6]));
  return utc ? t : toUtc(m, t);
}

Value dateConstructor(Machine& m, Call& c) {
  if (!c.constructing) return Value(formatDate(m, std::floor(m.environment().utcMillis())));
  DateObject* d = thisDate(c);
  double t;
  if (c.count == 0) {
    t = std::floor(m.environment().utcMillis());
  } else if (c.count == 1) {
    Value v = c.args[0];
    t = v.isUndefined() ? NAN : m.toNumber(v);
  } else {
    t = fromFields(m, c, false);
  }
  if (d) d->time = t;
  return Value();
}

Value dateUtc(Machine& m, Call& c) {
  if (c.count < 2) return Value();
  return Value(fromFields(m, c, true));
}

enum Field { kYear, kMonth, kDate, kDay, kHours, kMinutes, kSeconds, kMs, kFullYearShort };

Value getter(Machine& m, Call& c) {
  DateObject* d = thisDate(c);
  if (!d) return Value();
  int magic = c.callee->magic;
  bool utc = magic >= 100;
  int field = magic % 100;
  double t = d->time;
  if (std::isnan(t)) return Value(NAN);
  if (!utc) t = toLocal(m, t);
  t = std::floor(t);  // fields count whole milliseconds
  switch (field) {
    case kYear: return Value(yearFromTime(t));
    case kFullYearShort: return Value(yearFromTime(t) - 1900);
    case kMonth: return Value(static_cast<double>(monthFromTime(t)));
    case kDate: return Value(dateFromTime(t));
    case kDay: return Value(weekDay(t));
    case kHours: return Value(hourAsShown(t));
    case kMinutes: return Value(minFromTime(t));
    case kSeconds: return Value(secFromTime(t));
    case kMs: return Value(msFromTime(t));
    default: return Value();
  }
}

Value getTime(Machine&, Call& c) {
  DateObject* d = thisDate(c);
  return d ? Value(d->time) : Value();
}

Value getTimezoneOffset(Machine& m, Call& c) {
  DateObject* d = thisDate(c);
  if (!d) return Value();
  if (!std::isfinite(d->time)) return Value(NAN);
  // Far from 1970 the sum loses milliseconds, and the answer shows it.
  return Value((d->time - toLocal(m, d->time)) / 60000);
}

Value setTime(Machine& m, Call& c) {
  DateObject* d = thisDate(c);
  if (!d) return Value();
  d->time = timeClip(m.toNumber(c.arg(0)));
  return Value(d->time);
}

// setFullYear, setMonth, ... : the named field and those after it that are given.
Value setter(Machine& m, Call& c) {
  DateObject* d = thisDate(c);
  if (!d) return Value();
  int magic = c.callee->magic;
  bool utc = magic >= 100;
  int field = magic % 100;
  double t = d->time;
  // An invalid or infinite date stays invalid whatever is set.
  if (!std::isfinite(t)) {
    d->time = NAN;
    return Value(NAN);
  }
  if (!utc) t = toLocal(m, t);
  double year = yearFromTime(t), month = monthFromTime(t), date = dateFromTime(t);
  double h = hourFromTime(t), mi = minFromTime(t), s = secFromTime(t), ms = msFromTime(t);
  // The first argument counts even when missing (undefined); later ones
  // only when given. Each setter converts them in a way of its own.
  auto a = [&](size_t i, double fallback) { return i == 0 || c.count > i ? m.toNumber(c.arg(i)) : fallback; };
  switch (field) {
    case kYear:
      year = a(0, year);
      month = a(1, month);
      date = a(2, date);
      break;
    case kFullYearShort: {
      // Unlike the constructor, only years 0 to 99 are the 1900s.
      year = a(0, year);
      if (year >= 0 && year < 100) year = 1900 + std::trunc(year);
      month = a(1, month);
      date = a(2, date);
      break;
    }
    case kMonth:
      month = a(0, month);
      if (std::isnan(month)) month = 0;
      date = a(1, date);
      break;
    case kDate:
      date = a(0, date);
      break;
    case kHours:
      h = a(0, h);
      mi = a(1, mi);
      s = a(2, s);
      ms = a(3, ms);
      break;
    case kMinutes:
      // setMinutes alone truncates its arguments to integers, NaN and
      // infinities to the smallest one.
      mi = saturateToInt32(a(0, mi));
      s = saturateToInt32(a(1, s));
      ms = saturateToInt32(a(2, ms));
      break;
    case kSeconds:
      s = a(0, s);
      ms = a(1, ms);
      break;
    case kMs:
      ms = a(0, ms);
      break;
    default:
      break;
  }
  double r = makeDate(makeDay(year, month, date), makeTime(h, mi, s, ms));
  d->time = timeClip(utc ? r : toUtc(m, r));
  return Value(d->time);
}

Value dateToString(Machine& m, Call& c) {
  DateObject* d = thisDate(c);
  if (!d) return Value("[object Object]");
  return Value(formatDate(m, d->time));
}

Object* allocateDate(Machine& m, Object* proto) { return m.heap().make<DateObject>(proto); }

}  // namespace

void installDate(Machine& m) {
  Prototypes& p = m.protos();
  p.date = m.heap().make<Object>(p.object);
  Object* dp = p.date;
  FunctionObject* date = m.defineClass(m.global(), "Date", dateConstructor, dp);
  date->allocate = allocateDate;
  m.method(date, "UTC", dateUtc);
  struct Named {
    const char* name;
    int field;
  };
  const Named getters[] = {{"FullYear", kYear}, {"Month", kMonth}, {"Date", kDate}, {"Day", kDay},
                           {"Hours", kHours},   {"Minutes", kMinutes}, {"Seconds", kSeconds},
                           {"Milliseconds", kMs}};
  for (const Named& g : getters) {
    m.method(dp, (std::string("get") + g.name).c_str(), getter, g.field);
    m.method(dp, (std::string("getUTC") + g.name).c_str(), getter, 100 + g.field);
    if (g.field != kDay) {
      m.method(dp, (std::string("set") + g.name).c_str(), setter, g.field);
      m.method(dp, (std::string("setUTC") + g.name).c_str(), setter, 100 + g.field);
    }
  }
  m.method(dp, "getYear", getter, kFullYearShort);
  m.method(dp, "getUTCYear", getter, 100 + kFullYearShort);
  m.method(dp, "setYear", setter, kFullYearShort);
  m.method(dp, "getTime", getTime);
  m.method(dp, "valueOf", getTime);
  m.method(dp, "setTime", setTime);
  m.method(dp, "getTimezoneOffset", getTimezoneOffset);
  m.method(dp, "toString", dateToString);
}

}  // namespace avm1
