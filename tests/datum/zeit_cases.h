// Key tables for TZeit, run through the model's API here and through real key messages by the
// control's tests: single fields (style, start, keys -> shown text, cursor, leave check) and
// from/to pairs (which field is edited -> both fields after).
//
// Key scripts: '0'-'9' digits, '<' left, '>' right, '^' up, 'v' down, 'B' Backspace, '_' Space;
// blanks only group the digits for reading. Shown texts are TZeitModel::Shown(): the parts in
// screen order, one blank apart, '_' for empty fields; "" is an empty field.
#pragma once
#include <algorithm>
#include <string_view>

#include "components/datum/zeitmodel.h"

namespace komp::zeitcases {

// "Now" for every table: a leap year, so 29.02 typed into an empty field is accepted.
inline TDateTime Jetzt() { return EncodeDate(2024, 6, 15) + EncodeTime(9, 41, 27, 0); }

// One script character as a key; false for the grouping blank.
inline bool ScriptKey(char c, TZeitKey& key, int& digit) {
  digit = 0;
  if (c >= '0' && c <= '9') {
    key = TZeitKey::Digit;
    digit = c - '0';
    return true;
  }
  switch (c) {
    case '<': key = TZeitKey::Left; return true;
    case '>': key = TZeitKey::Right; return true;
    case '^': key = TZeitKey::Up; return true;
    case 'v': key = TZeitKey::Down; return true;
    case 'B': key = TZeitKey::Backspace; return true;
    case '_': key = TZeitKey::Space; return true;
    default: return false;
  }
}

// Puts a shown text into the fields; parts are told apart by their form, not their order.
inline void LoadShown(TZeitModel& m, std::string_view shown) {
  m.Clear();
  while (!shown.empty()) {
    const size_t blank = shown.find(' ');
    const std::string_view part = shown.substr(0, blank);
    shown = blank == std::string_view::npos ? std::string_view() : shown.substr(blank + 1);
    auto field = [&](size_t at, size_t n) {
      int v = 0;
      for (size_t i = at; i < at + n; ++i) {
        if (part[i] == '_') return -1;
        v = v * 10 + (part[i] - '0');
      }
      return v;
    };
    if (part.size() == 5) {
      m.Stunde = int16_t(field(0, 2));
      m.Minute = int16_t(field(3, 2));
    } else if (part.size() == 10) {
      m.Tag = uint16_t(std::max(field(0, 2), 0));
      m.Monat = uint16_t(std::max(field(3, 2), 0));
      m.Jahr = uint16_t(std::max(field(6, 4), 0));
    }
  }
}

struct KeyCase {
  TZeitStyle style;
  bool zeitDatum;
  const char* start;
  int startPos;
  const char* keys;
  const char* shown;
  int pos;
  bool leaveOk;  // Test(1): the field can be left without "Kein gültiges Datum!"
  const char* why;
};

inline constexpr KeyCase kKeyCases[] = {
    // Date only.
    {zaDatum, false, "", 0, "31 02 2021", "31.02.2021", 7, false, "typed into an empty field; leaving it complains"},
    {zaDatum, false, "", 0, "29 02", "29.02.2024", 4, true, "29 02 in 2024 is accepted"},
    {zaDatum, false, "", 0, "29 02 2000", "29.02.2000", 7, true, "2000 is a leap year"},
    {zaDatum, false, "", 0, "29 02 1900", "29.02.1900", 7, false, "1900 is none"},
    {zaDatum, false, "", 0, "29 02 2100", "29.02.2100", 7, false, "2100 is none"},
    {zaDatum, false, "", 0, "0", "05.06.2024", 1, true, "an empty field starts from now, then takes the digit"},
    {zaDatum, false, "", 0, "^", "15.06.2024", 0, true, "an arrow on an empty field only fills it"},
    {zaDatum, false, "", 3, "v", "15.06.2024", 3, true, "down arrow likewise"},
    {zaDatum, false, "", 3, "B", "__.__.____", 2, true, "Backspace does not fill an empty field"},
    {zaDatum, false, "__.03.2021", 0, "1", "10.03.2021", 1, true, "a partly empty field is not filled"},
    {zaDatum, false, "05.03.2021", 0, "4", "31.03.2021", 1, true, "day tens 4 gives 31"},
    {zaDatum, false, "05.03.2021", 2, "2", "05.12.2021", 3, true, "month tens 2 gives 12"},
    {zaDatum, false, "05.03.2021", 0, "00", "__.03.2021", 2, true, "day 00 is an empty day"},
    {zaDatum, false, "05.03.2021", 4, "18", "05.03.1821", 6, false, "a year before 1900 cannot be left"},
    {zaDatum, false, "01.01.1950", 4, "v", "01.01.____", 4, true, "down on the thousands of 1950 empties the year"},
    {zaDatum, false, "01.01.1950", 5, "v", "01.01.____", 5, true, "1850 is below 1900 too"},
    {zaDatum, false, "01.01.____", 7, "^", "01.01.1900", 7, true, "up on the units of an empty year gives 1900"},
    {zaDatum, false, "01.01.1950", 4, "^", "01.01.2950", 4, true, "up on the thousands"},
    {zaDatum, false, "05.03.9950", 5, "^", "05.03.9999", 5, true, "up stops at 9999"},
    {zaDatum, false, "30.03.2021", 0, "^", "31.03.2021", 0, true, "up stops at 31"},
    {zaDatum, false, "05.11.2021", 2, "^", "05.12.2021", 2, true, "up stops at 12"},
    {zaDatum, false, "05.03.2021", 0, "v", "__.03.2021", 0, true, "a day below 0 becomes 0: empty"},
    {zaDatum, false, "25.03.2021", 1, "vvvvv", "20.03.2021", 1, true, "down on the units"},
    {zaDatum, false, "05.03.2021", 7, "B B", "05.03.2000", 5, true, "Backspace writes 0 and steps left"},
    {zaDatum, false, "15.03.2021", 0, "B", "05.03.2021", 0, true, "Backspace at the first digit stays there"},
    {zaDatum, false, "05.03.2021", 0, "<", "05.03.2021", 0, true, "left at the first digit stays"},
    {zaDatum, false, "05.03.2021", 7, ">", "05.03.2021", 7, true, "right at the last digit stays"},
    {zaDatum, false, "05.03.2021", 3, ">>><", "05.03.2021", 5, true, "arrows move the cursor only"},
    {zaDatum, false, "05.03.2021", 5, "_", "05.03.2021", 0, true, "Space goes to the start"},
    {zaDatum, false, "05.03.2021", 7, "9", "05.03.2029", 7, true, "a digit at the last place stays there"},
    {zaDatum, false, "", -1, "1^>B", "__.__.____", -1, true, "without a cursor keys do nothing"},
    // Time only.
    {zaUhr, false, "", 0, "1430", "14:30", 3, true, "an empty time starts from now"},
    {zaUhr, false, "", 0, "2599", "23:59", 3, true, "digits beyond the maximum are clamped"},
    {zaUhr, false, "", 1, "B", "00:__", 0, true, "an empty hour counts as 0"},
    {zaUhr, false, "", 2, "^", "09:41", 2, true, "an arrow fills with now"},
    {zaUhr, false, "09:41", 2, "^", "09:51", 2, true, "up on the minute tens"},
    {zaUhr, false, "09:55", 3, "^^^^^^", "09:59", 3, true, "up stops at 59"},
    {zaUhr, false, "20:00", 0, "^", "23:00", 0, true, "up stops at 23"},
    {zaUhr, false, "05:41", 0, "v", "00:41", 0, true, "an hour below 0 becomes 00, not empty"},
    {zaUhr, false, "09:41", 1, ">>>_", "09:41", 0, true, "right stops at 3; Space goes to 0"},
    // Date and time.
    {zaBeides, false, "", 0, "05032021 1407", "05.03.2021 14:07", 11, true, "typing runs on from the date into the time"},
    {zaBeides, false, "05.03.2021 __:__", 8, "1", "05.03.2021 10:__", 9, true, "an empty hour counts as 0"},
    {zaBeides, false, "05.03.2021 14:07", 3, "_", "05.03.2021 14:07", 8, true, "Space jumps from the date to the time"},
    {zaBeides, false, "05.03.2021 14:07", 9, "_", "05.03.2021 14:07", 0, true, "and back to the date"},
    {zaBeides, false, "05.03.2021 14:07", 11, ">", "05.03.2021 14:07", 11, true, "right at the last digit stays"},
    {zaBeides, false, "05.03.2021 14:07", 8, "<", "05.03.2021 14:07", 7, true, "left from the time into the date"},
    {zaBeides, false, "31.02.2021 14:07", 10, "3", "31.02.2021 14:37", 11, false, "an impossible date stays impossible"},
    // Time before date.
    {zaBeides, true, "14:07 05.03.2021", 11, ">", "14:07 05.03.2021", 0, true, "right from the last minute digit goes to the day"},
    {zaBeides, true, "14:07 05.03.2021", 7, ">", "14:07 05.03.2021", 7, true, "right on the year's last digit stays"},
    {zaBeides, true, "14:07 05.03.2021", 8, "<", "14:07 05.03.2021", 8, true, "left on the hour tens stays"},
    {zaBeides, true, "14:07 05.03.2021", 0, "<", "14:07 05.03.2021", 11, true, "left from the day goes to the minutes"},
    {zaBeides, true, "", 8, "1407 05032021", "14:07 05.03.2021", 7, true, "typing runs through the time, then the date"},
    {zaBeides, true, "14:07 15.03.2021", 0, "B", "14:07 05.03.2021", 11, true, "Backspace steps back in screen order"},
    {zaBeides, true, "14:07 05.03.2021", 8, "B", "04:07 05.03.2021", 8, true, "and stops at the hour tens"},
    {zaBeides, true, "14:07 05.03.2021", 2, "_", "14:07 05.03.2021", 8, true, "Space from the date to the time"},
};

// A from/to pair, both zaBeides, coupled both ways; the keys go to one of them.
struct PairCase {
  const char* from;
  const char* to;
  bool editTo;        // the keys go to the "to" field, else to the "from" field
  bool otherChanged;  // the other field's Change flag: the user set it himself
  int pos;
  const char* keys;
  const char* fromAfter;
  const char* toAfter;
  const char* why;
};

inline constexpr PairCase kPairCases[] = {
    {"05.03.2021 14:00", "05.03.2021 16:00", true, false, 8, "12", "05.03.2021 14:00", "06.03.2021 12:00",
     "a 'to' time before 'from' on the same day is the next day"},
    {"05.03.2021 14:00", "05.03.2021 16:00", true, false, 0, "04", "04.03.2021 16:00", "04.03.2021 16:00",
     "a 'to' date before 'from' pulls 'from' back"},
    {"05.03.2021 14:00", "05.03.2021 16:00", true, true, 0, "04", "05.03.2021 14:00", "04.03.2021 16:00",
     "unless the user changed 'from'"},
    {"06.03.2021 10:00", "05.03.2021 16:00", true, false, 8, "1", "05.03.2021 16:00", "05.03.2021 16:00",
     "a 'to' time edit on another day than 'from' pulls 'from'"},
    {"05.03.2021 14:00", "05.03.2021 16:00", true, false, 8, "15", "05.03.2021 14:00", "05.03.2021 15:00",
     "in order: nothing else moves"},
    {"05.03.2021 14:00", "05.03.2021 16:00", false, false, 0, "07", "07.03.2021 14:00", "07.03.2021 14:00",
     "'from' set later pushes 'to' along"},
    {"05.03.2021 14:00", "05.03.2021 16:00", false, false, 8, "17", "05.03.2021 17:00", "05.03.2021 17:00",
     "also by its time"},
    {"05.03.2021 14:00", "05.03.2021 16:00", false, true, 0, "07", "07.03.2021 14:00", "05.03.2021 16:00",
     "unless the user changed 'to'"},
    {"05.03.2021 14:00", "05.03.2021 16:00", false, false, 8, "09", "05.03.2021 09:00", "05.03.2021 16:00",
     "'from' earlier: nothing else moves"},
    {"05.03.2021 14:00", "", false, false, 8, "15", "05.03.2021 15:00", "05.03.2021 15:00",
     "an empty 'to' takes the 'from' value"},
    {"31.12.9999 14:00", "31.12.9999 16:00", true, false, 8, "12", "31.12.9999 14:00", "31.12.9999 12:00",
     "there is no next day after the last one: the pair stays out of order"},
    {"", "05.03.2021 16:00", true, false, 8, "12", "__.__.____ __:__", "05.03.2021 12:00",
     "an empty 'from' stays empty"},
    {"__.__.____ 14:00", "05.03.2021 16:00", false, false, 8, "18", "__.__.____ 18:00", "05.03.2021 16:00",
     "a 'from' without a date has no day to push"},
};

}  // namespace komp::zeitcases
