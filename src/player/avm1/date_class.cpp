// Date, with the local time zone from the player's clock.
#include <cmath>
#include <cstdio>

#include "player/avm1/builtins.h"

namespace avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;

double day(double t) { return std::floor(t / kMsPerDay); }
double timeWithinDay(double t) {
  double r = std::fmod(t, kMsPerDay);
  return r < 0 ? r + kMsPerDay : r;
}
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
double yearFromTime(double t) {
  double y = std::floor(t / (kMsPerDay * 365.2425)) + 1970;
  for (int i = 0; i < 4 && timeFromYear(y) > t; ++i) --y;
  for (int i = 0; i < 4 && timeFromYear(y + 1) <= t; ++i) ++y;
  return y;
}
bool leap(double t) { return daysInYear(yearFromTime(t)) == 366; }
double dayWithinYear(double t) { return day(t) - dayFromYear(yearFromTime(t)); }
const int kMonthStart[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
double monthFromTime(double t) {
  double d = dayWithinYear(t);
  int l = leap(t) ? 1 : 0;
  for (int mth = 0; mth < 12; ++mth)
    if (d < kMonthStart[l][mth + 1]) return mth;
  return 11;
}
double dateFromTime(double t) {
  int l = leap(t) ? 1 : 0;
  return dayWithinYear(t) - kMonthStart[l][static_cast<int>(monthFromTime(t))] + 1;
}
double weekDay(double t) {
  double r = std::fmod(day(t) + 4, 7);
  return r < 0 ? r + 7 : r;
}
double hourFromTime(double t) { return std::floor(timeWithinDay(t) / 3600000); }
double minFromTime(double t) { return std::fmod(std::floor(timeWithinDay(t) / 60000), 60); }
double secFromTime(double t) { return std::fmod(std::floor(timeWithinDay(t) / 1000), 60); }
double msFromTime(double t) { return std::fmod(timeWithinDay(t), 1000); }

double makeTime(double h, double m, double s, double ms) {
  if (!std::isfinite(h) || !std::isfinite(m) || !std::isfinite(s) || !std::isfinite(ms)) return NAN;
  return std::trunc(h) * 3600000 + std::trunc(m) * 60000 + std::trunc(s) * 1000 + std::trunc(ms);
}
double makeDay(double year, double month, double date) {
  if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) return NAN;
  year = std::trunc(year);
  month = std::trunc(month);
  date = std::trunc(date);
  double y = year + std::floor(month / 12);
  double mn = std::fmod(month, 12);
  if (mn < 0) mn += 12;
  if (std::fabs(y) > 400000) return NAN;
  double t = timeFromYear(y);
  int l = daysInYear(y) == 366 ? 1 : 0;
  return day(t) + kMonthStart[l][static_cast<int>(mn)] + date - 1;
}
double makeDate(double d, double time) {
  if (!std::isfinite(d) || !std::isfinite(time)) return NAN;
  return d * kMsPerDay + time;
}
// The reference player keeps fractions and times past ECMAScript's range.
double timeClip(double t) { return std::isnan(t) ? NAN : t; }

double localOffsetMs(Machine& m, double utc) { return m.environment().localOffsetMinutes(utc) * 60000; }
double toLocal(Machine& m, double utc) { return utc + localOffsetMs(m, utc); }
double toUtc(Machine& m, double local) { return local - localOffsetMs(m, local - localOffsetMs(m, local)); }

// Times whose fields this can work out (a few hundred million years).
bool fieldsKnown(double t) { return std::isfinite(t) && std::fabs(t) < 1e19; }

DateObject* thisDate(const Call& c) {
  Object* o = c.thisValue.object();
  return o && o->kind() == Object::Kind::Date ? static_cast<DateObject*>(o) : nullptr;
}

String formatDate(Machine& m, double t) {
  if (!fieldsKnown(t)) return "Invalid Date";
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  double offset = m.environment().localOffsetMinutes(t);
  double l = t + offset * 60000;
  int off = static_cast<int>(std::fabs(offset));
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %d", kDays[static_cast<int>(weekDay(l))],
                kMonths[static_cast<int>(monthFromTime(l))], static_cast<int>(dateFromTime(l)),
                static_cast<int>(hourFromTime(l)), static_cast<int>(minFromTime(l)), static_cast<int>(secFromTime(l)),
                offset < 0 ? '-' : '+', off / 60, off % 60, static_cast<int>(yearFromTime(l)));
  return buf;
}

// Date(y, m, d, h, min, s, ms) fields to a time, local or UTC.
double fromFields(Machine& m, const Call& c, bool utc) {
  double f[7] = {NAN, 0, 1, 0, 0, 0, 0};
  for (size_t i = 0; i < 7 && i < c.count; ++i) f[i] = m.toNumber(c.args[i]);
  // Years below 100 are the 1900s (-2 is 1898).
  if (std::isfinite(f[0]) && std::trunc(f[0]) < 100) f[0] = 1900 + std::trunc(f[0]);
  double t = makeDate(makeDay(f[0], f[1], f[2]), makeTime(f[3], f[4], f[5], f[6]));
  return timeClip(utc ? t : toUtc(m, t));
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
  if (!fieldsKnown(t)) return Value(NAN);
  if (!utc) t = toLocal(m, t);
  t = std::floor(t);  // fields count whole milliseconds
  switch (field) {
    case kYear: return Value(yearFromTime(t));
    case kFullYearShort: return Value(yearFromTime(t) - 1900);
    case kMonth: return Value(monthFromTime(t));
    case kDate: return Value(dateFromTime(t));
    case kDay: return Value(weekDay(t));
    case kHours: return Value(hourFromTime(t));
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
  return Value(-m.environment().localOffsetMinutes(d->time));
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
  if (!fieldsKnown(t)) {
    if (field != kYear && field != kFullYearShort) return Value(NAN);
    t = 0;
  } else if (!utc) {
    t = toLocal(m, t);
  }
  double year = yearFromTime(t), month = monthFromTime(t), date = dateFromTime(t);
  double h = hourFromTime(t), mi = minFromTime(t), s = secFromTime(t), ms = msFromTime(t);
  auto a = [&](size_t i, double fallback) { return c.count > i ? m.toNumber(c.args[i]) : fallback; };
  if (c.count == 0) {
    d->time = NAN;
    return Value(NAN);
  }
  switch (field) {
    case kYear:
      year = a(0, year);
      month = a(1, month);
      date = a(2, date);
      break;
    case kFullYearShort: {
      double y = a(0, year);
      if (std::isfinite(y) && std::trunc(y) < 100) y = 1900 + std::trunc(y);
      year = y;
      break;
    }
    case kMonth:
      month = a(0, month);
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
      mi = a(0, mi);
      s = a(1, s);
      ms = a(2, ms);
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
