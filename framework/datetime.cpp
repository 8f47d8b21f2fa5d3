#include "framework/datetime.h"

#include <cmath>
#include <cstdint>

namespace komp {

namespace {
constexpr int kDaysBefore[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
// Days from 1 January 0001 to 30 December 1899.
constexpr int64_t kDelta = 693594;

int64_t DaysFromCivil(int y, int m, int d) {
  const int leap = IsLeapYear(y) ? 1 : 0;
  const int64_t yy = y - 1;
  return yy * 365 + yy / 4 - yy / 100 + yy / 400 + kDaysBefore[leap][m - 1] + d;
}

// Whole days and milliseconds of a date/time; negative values count the time forward from the day too.
// False for what is no date at all (not finite, or far beyond any calendar): a foreign double
// converted to an integer would be undefined.
bool Split(TDateTime dt, int64_t& days, int64_t& msOfDay) {
  days = msOfDay = 0;
  if (!std::isfinite(dt) || std::fabs(dt) > 1e11) return false;
  const double whole = std::trunc(dt);
  days = int64_t(whole);
  msOfDay = int64_t(std::llround(std::fabs(dt - whole) * 86400000.0));
  if (msOfDay >= 86400000) {
    msOfDay -= 86400000;
    days += dt < 0 ? -1 : 1;
  }
  return true;
}
}  // namespace

const char* const kMonatsNamen[12] = {"Januar", "Februar", "M\xE4rz",     "April",   "Mai",      "Juni",
                                      "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  const int leap = IsLeapYear(year) ? 1 : 0;
  return kDaysBefore[leap][month] - kDaysBefore[leap][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  out = 0;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  out = double(DaysFromCivil(year, month, day) - kDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime d = 0;
  TryEncodeDate(year, month, day, d);
  return d;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) {
  out = 0;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
    return false;
  out = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / 86400000.0;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime t = 0;
  TryEncodeTime(hour, minute, second, msec, t);
  return t;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  int64_t days = 0, ms = 0;
  const bool date = Split(dt, days, ms);
  int64_t n = days + kDelta;  // days since 1 January 0001, day 1 = that date
  if (!date || n <= 0) {
    year = month = day = 0;
    return;
  }
  --n;
  int64_t y = 1;
  const int64_t d400 = 146097, d100 = 36524, d4 = 1461;
  y += (n / d400) * 400;
  n %= d400;
  int64_t c = n / d100;
  if (c == 4) c = 3;
  y += c * 100;
  n -= c * d100;
  y += (n / d4) * 4;
  n %= d4;
  int64_t a = n / 365;
  if (a == 4) a = 3;
  y += a;
  n -= a * 365;
  const int leap = IsLeapYear(int(y)) ? 1 : 0;
  int m = 1;
  while (m < 12 && n >= kDaysBefore[leap][m]) ++m;
  year = int(y);
  month = m;
  day = int(n - kDaysBefore[leap][m - 1] + 1);
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec) {
  int64_t days = 0, ms = 0;
  Split(dt, days, ms);
  hour = int(ms / 3600000);
  minute = int(ms / 60000 % 60);
  second = int(ms / 1000 % 60);
  msec = int(ms % 1000);
}

int DayOfWeek(TDateTime dt) {
  int64_t days = 0, ms = 0;
  Split(dt, days, ms);
  // 30 December 1899 was a Saturday (7).
  const int64_t r = ((days + 6) % 7 + 7) % 7;
  return int(r) + 1;
}

int IsoWeekNumber(TDateTime dt) {
  const TDateTime day = DateOf(dt);
  const int isoDay = (DayOfWeek(day) + 5) % 7 + 1;  // Monday 1 .. Sunday 7
  const TDateTime thursday = day - isoDay + 4;
  int y = 0, m = 0, d = 0;
  DecodeDate(thursday, y, m, d);
  const TDateTime jan1 = EncodeDate(y, 1, 1);
  return int((thursday - jan1) / 7) + 1;
}

TDateTime DateOf(TDateTime dt) { return std::trunc(dt); }
TDateTime TimeOf(TDateTime dt) { return std::fabs(dt - std::trunc(dt)); }

}  // namespace komp
