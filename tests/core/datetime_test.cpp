#include <gtest/gtest.h>

#include <cmath>

#include "framework/datetime.h"

using namespace komp;

TEST(DateTime, EncodeDecodeRoundTripsOverTheWholeRange) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  // Every day from year 1 to 9999 decodes to the date it was encoded from, one day apart.
  TDateTime prev = EncodeDate(1, 1, 1) - 1;
  for (int y = 1; y <= 9999; ++y)
    for (int m = 1; m <= 12; ++m)
      for (int d = 1; d <= DaysInMonth(y, m); ++d) {
        TDateTime dt = 0;
        ASSERT_TRUE(TryEncodeDate(y, m, d, dt)) << y << "-" << m << "-" << d;
        ASSERT_EQ(dt, prev + 1) << y << "-" << m << "-" << d;
        prev = dt;
        int yy, mm, dd;
        // 18:00 of that day; before 30 December 1899 the time counts forward from a negative day.
        DecodeDate(dt >= 0 ? dt + 0.75 : dt - 0.75, yy, mm, dd);
        ASSERT_TRUE(yy == y && mm == m && dd == d) << y << "-" << m << "-" << d << " decoded " << yy << "-" << mm
                                                   << "-" << dd;
      }
}

TEST(DateTime, ImpossibleDatesAndTimesAreRefused) {
  TDateTime dt = 1;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, dt));
  EXPECT_EQ(dt, 0.0);
  EXPECT_TRUE(TryEncodeDate(2024, 2, 29, dt));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, dt)) << "1900 is no leap year";
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, dt)) << "2000 is one";
  EXPECT_FALSE(TryEncodeDate(2024, 4, 31, dt));
  EXPECT_FALSE(TryEncodeDate(2024, 13, 1, dt));
  EXPECT_FALSE(TryEncodeDate(2024, 0, 1, dt));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, dt));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, dt));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, dt));
  EXPECT_FALSE(TryEncodeTime(12, 60, 0, 0, dt));
  EXPECT_FALSE(TryEncodeTime(12, 0, 0, 1000, dt));
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
}

TEST(DateTime, TimeOfDayRoundTripsToTheMillisecond) {
  for (int ms = 0; ms < 86400000; ms += 997) {
    const TDateTime dt = EncodeDate(2025, 12, 9) + EncodeTime(ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    int h, m, s, z;
    DecodeTime(dt, h, m, s, z);
    ASSERT_EQ(((h * 60 + m) * 60 + s) * 1000 + z, ms);
  }
  int h, m, s, z;
  // Just below midnight rounds up into the next day, not to 24:00.
  DecodeTime(EncodeDate(2025, 1, 1) + 0.9999999999, h, m, s, z);
  EXPECT_EQ(h * 10000 + m * 100 + s, 0);
  int y, mo, d;
  DecodeDate(EncodeDate(2025, 1, 1) + 0.9999999999, y, mo, d);
  EXPECT_EQ(d, 2);
  // Before 1899 the fraction still counts forward from the day.
  DecodeTime(-1.25, h, m, s, z);
  EXPECT_EQ(h, 6);
  DecodeDate(-1.25, y, mo, d);
  EXPECT_EQ(y * 10000 + mo * 100 + d, 18991229);
  EXPECT_EQ(DateOf(-1.25), -1.0);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
}

TEST(DateTime, WeekdaysAndIsoWeeks) {
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2025, 12, 9)), 3);   // Tuesday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);       // Monday, proleptic Gregorian
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24) - 0.5), 1);  // Sunday noon
  // Weeks run Monday to Sunday without a gap, across every year boundary.
  for (TDateTime dt = EncodeDate(1990, 1, 1); dt < EncodeDate(2040, 1, 1); dt += 1) {
    ASSERT_EQ(DayOfWeek(dt + 1), DayOfWeek(dt) % 7 + 1);
    const int w = IsoWeekNumber(dt), next = IsoWeekNumber(dt + 1);
    if (DayOfWeek(dt + 1) == 2) ASSERT_TRUE(next == w + 1 || (next == 1 && (w == 52 || w == 53))) << dt;
    else ASSERT_EQ(next, w) << dt;
  }
  struct Case {
    int y, m, d, week;
  } cases[] = {
      {2020, 12, 31, 53}, {2021, 1, 3, 53}, {2021, 1, 4, 1},  {2015, 12, 31, 53}, {2016, 1, 1, 53},
      {2026, 12, 31, 53}, {2027, 1, 3, 53}, {2019, 12, 30, 1}, {2024, 12, 30, 1},  {2025, 12, 9, 50},
      {2009, 12, 31, 53}, {2010, 1, 3, 53}, {2008, 12, 29, 1}, {2023, 1, 1, 52},   {2000, 1, 2, 52}};
  for (const Case& c : cases)
    EXPECT_EQ(IsoWeekNumber(EncodeDate(c.y, c.m, c.d) + 0.9), c.week) << c.y << "-" << c.m << "-" << c.d;
  // Years with 53 weeks between 2000 and 2030: those starting on a Thursday, or leap years on a Wednesday.
  std::vector<int> long_years;
  for (int y = 2000; y <= 2030; ++y)
    if (IsoWeekNumber(EncodeDate(y, 12, 28)) == 53) long_years.push_back(y);
  EXPECT_EQ(long_years, (std::vector<int>{2004, 2009, 2015, 2020, 2026}));
}

// A double from outside (a file, the clipboard) may be anything: no date, and no undefined
// conversion on the way.
TEST(DateTime, ValuesThatAreNoDateDecodeToNothing) {
  for (double v : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -5.67e178, 1e12}) {
    SCOPED_TRACE(v);
    int y = 1, m = 1, d = 1, h = 1, mi = 1, s = 1, ms = 1;
    DecodeDate(v, y, m, d);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(d, 0);
    DecodeTime(v, h, mi, s, ms);
    EXPECT_EQ(h + mi + s + ms, 0);
  }
  int y = 0, m = 0, d = 0;
  DecodeDate(2958465.5, y, m, d);  // 31.12.9999 still decodes
  EXPECT_EQ(y * 10000 + m * 100 + d, 99991231);
}
