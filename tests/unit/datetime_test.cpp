#include <gtest/gtest.h>

#include "runtime/datetime.h"

using namespace ql;

namespace {
double at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  LocalTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s;
  return toOleDate(t);
}
}  // namespace

TEST(OleDate, MatchesKnownDays) {
  EXPECT_EQ(at(1899, 12, 30), 0.0);
  EXPECT_EQ(at(1900, 1, 1), 2.0);
  EXPECT_EQ(at(2000, 1, 1), 36526.0);
  EXPECT_DOUBLE_EQ(at(2000, 1, 1, 12), 36526.5);
  EXPECT_DOUBLE_EQ(at(1899, 12, 29, 6), -1.25);  // before the epoch the time stays positive
  EXPECT_EQ(at(100, 1, 1), kEarliestDateTime);
}

TEST(OleDate, RoundTripsToTheSecond) {
  for (double d : {0.0, 36526.5, 46000.999988426, -1.25, 45678.3333333333}) {
    LocalTime t = fromOleDate(d);
    EXPECT_NEAR(toOleDate(t), d, 0.5 / 86400) << d;
  }
  LocalTime t = fromOleDate(at(2026, 12, 7, 23, 59, 59));
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.day, 7);
  EXPECT_EQ(t.second, 59);
  EXPECT_EQ(t.weekday(), 1);  // a Monday
}

TEST(DateTimeText, ShortensTrailingZeroFields) {
  EXPECT_EQ(formatDateTime(at(2026, 3, 5, 8, 7, 6)), "2026年3月5日8时7分6秒");
  EXPECT_EQ(formatDateTime(at(2026, 3, 5, 8, 7)), "2026年3月5日8时7分");
  EXPECT_EQ(formatDateTime(at(2026, 3, 5, 8)), "2026年3月5日8时");
  EXPECT_EQ(formatDateTime(at(2026, 3, 5)), "2026年3月5日");
  EXPECT_EQ(formatDateTime(at(2026, 3, 5, 0, 0, 9)), "2026年3月5日0时0分9秒");
}

TEST(DateTimeText, ReadsEveryStandardFormAndRejectsTheRest) {
  EXPECT_EQ(parseDateTime("2026年3月5日8时7分6秒"), at(2026, 3, 5, 8, 7, 6));
  EXPECT_EQ(parseDateTime("2026年3月5日8时7分"), at(2026, 3, 5, 8, 7));
  EXPECT_EQ(parseDateTime("2026年03月05日08时"), at(2026, 3, 5, 8));
  EXPECT_EQ(parseDateTime(" 2026年3月5日 "), at(2026, 3, 5));
  for (const char* bad : {"", "abc", "2026年2月30日", "2026年3月5日25时", "2026年3月5日8时61分",
                          "2026年3月", "8时7分", "2026年3月5日8时7", "2026年3月5日x"}) {
    EXPECT_EQ(parseDateTime(bad), kEarliestDateTime) << bad;
  }
  double d = at(2024, 2, 29, 23, 59, 1);
  EXPECT_EQ(parseDateTime(formatDateTime(d)), d);
}

TEST(DateTimeArithmetic, SecondsAndCalendarMonths) {
  EXPECT_NEAR(secondsBetween(at(2026, 1, 2), at(2026, 1, 1, 23, 59, 30)), 30, 1e-6);
  EXPECT_EQ(addSeconds(at(2026, 12, 31, 23, 59, 59), 1), at(2027, 1, 1));
  EXPECT_EQ(addOneMonth(at(2026, 1, 31, 9)), at(2026, 2, 28, 9));
  EXPECT_EQ(addOneMonth(at(2024, 1, 31)), at(2024, 2, 29));
  EXPECT_EQ(addOneMonth(at(2026, 12, 9, 8, 30)), at(2027, 1, 9, 8, 30));
}

TEST(Clock, CanBeReplaced) {
  setClock([] { return 45000.25; });
  EXPECT_EQ(now(), 45000.25);
  setClock(nullptr);
  EXPECT_GT(now(), 45000.0);
}
