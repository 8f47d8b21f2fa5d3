// Date and time as a double counting days since 30 December 1899; the fraction is the time of day.
#pragma once

namespace komp {

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// False (and 0) for an impossible date; years 1 to 9999.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime dt);
// ISO 8601 week number (1..53) of the date's day.
int IsoWeekNumber(TDateTime dt);
TDateTime DateOf(TDateTime dt);

// The German month names, code page 1252: [0] is "Januar", [2] "M\xE4rz".
extern const char* const kMonatsNamen[12];
TDateTime TimeOf(TDateTime dt);

}  // namespace komp
