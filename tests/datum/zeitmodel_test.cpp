// TZeitModel through its API: the key tables of zeit_cases.h, validity and values, the text
// forms both ways, Minuten, the clipboard bytes, the quick ranges, the coupling of a pair,
// layout and mouse, focus and the change delay.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "tests/datum/zeit_cases.h"

using namespace komp;
using namespace komp::zeitcases;

namespace {
TZeitModel Field(TZeitStyle style, const char* shown, bool zeitDatum = false) {
  TZeitModel m;
  m.SetStyle(style);
  m.Zeit_Datum = zeitDatum;
  LoadShown(m, shown);
  return m;
}

// Returns whether any key edited the value.
bool RunScript(TZeitModel& m, std::string_view keys) {
  bool changed = false;
  for (char c : keys) {
    TZeitKey key;
    int digit;
    if (ScriptKey(c, key, digit)) changed |= m.Key(key, digit, Jetzt()).changed;
  }
  return changed;
}

// "dd.mm.yyyy hh:mm:ss.zzz" of a TDateTime, so a range end shows its last millisecond.
std::string Stamp(TDateTime v) {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(v, y, mo, d);
  DecodeTime(v, h, mi, s, ms);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d.%03d", d, mo, y, h, mi, s, ms);
  return buf;
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0) { return EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0); }

void Couple(TZeitModel& from, TZeitModel& to) {
  from.Kombi = &to;
  to.Kombi = &from;
  from.Von = true;
}
}  // namespace

TEST(ZeitModel, KeySequences) {
  for (const KeyCase& c : kKeyCases) {
    TZeitModel m = Field(c.style, c.start, c.zeitDatum);
    m.SetPosition(c.startPos);
    const bool changed = RunScript(m, c.keys);
    EXPECT_EQ(m.Shown(), c.shown) << c.why;
    EXPECT_EQ(m.Position(), c.pos) << c.why;
    EXPECT_EQ(m.Change, changed) << c.why;
    EXPECT_EQ(m.Test(1), c.leaveOk) << c.why;
  }
}

TEST(ZeitModel, PairEdits) {
  for (const PairCase& c : kPairCases) {
    TZeitModel from = Field(zaBeides, c.from), to = Field(zaBeides, c.to);
    Couple(from, to);
    TZeitModel& edited = c.editTo ? to : from;
    TZeitModel& other = c.editTo ? from : to;
    other.Change = c.otherChanged;
    edited.SetPosition(c.pos);
    RunScript(edited, c.keys);
    EXPECT_EQ(from.Shown(), c.fromAfter) << c.why;
    EXPECT_EQ(to.Shown(), c.toAfter) << c.why;
    EXPECT_TRUE(edited.Change) << c.why << ": the edit stays the user's";
  }
}

TEST(ZeitModel, KeyReportsWhatHappened) {
  TZeitModel from = Field(zaBeides, "05.03.2021 14:00"), to = Field(zaBeides, "05.03.2021 16:00");
  Couple(from, to);
  from.SetPosition(0);
  TZeitKeyResult r = from.Key(TZeitKey::Right, 0, Jetzt());
  EXPECT_TRUE(r.handled && !r.changed && !r.partnerChanged);
  r = from.Key(TZeitKey::Digit, 7, Jetzt());  // 07.03: later than "to"
  EXPECT_TRUE(r.handled && r.changed && r.partnerChanged);
  r = from.Key(TZeitKey::Digit, 12, Jetzt());
  EXPECT_FALSE(r.handled) << "not a digit";
  EXPECT_EQ(from.Shown(), "07.03.2021 14:00");
}

TEST(ZeitModel, TestModesAndFailurePosition) {
  struct Row {
    TZeitStyle style;
    const char* shown;
    int mode;
    bool ok;
    int posAfter;  // the cursor starts at 6
  } rows[] = {
      {zaDatum, "29.02.2000", 0, true, 6},   {zaDatum, "29.02.1900", 0, false, 0}, {zaDatum, "29.02.2100", 0, false, 0},
      {zaDatum, "29.02.2024", 0, true, 6},   {zaDatum, "31.04.2021", 0, false, 0}, {zaDatum, "01.13.2021", 0, false, 0},
      {zaDatum, "01.01.1850", 0, false, 4},  {zaDatum, "01.01.1850", 1, false, 4}, {zaDatum, "01.01.1850", 2, false, 6},
      {zaDatum, "01.01.____", 0, false, 0},  {zaDatum, "01.01.____", 1, true, 6},  {zaDatum, "01.01.____", 2, false, 6},
      {zaDatum, "31.12.9999", 0, true, 6},   {zaUhr, "14:07", 0, true, 3},         {zaUhr, "14:__", 0, false, 0},
      {zaUhr, "__:__", 1, true, 3},          {zaBeides, "05.03.2021 __:__", 0, true, 6},
      {zaBeides, "__.__.____ 14:07", 0, false, 0},
  };
  for (const Row& r : rows) {
    TZeitModel m = Field(r.style, r.shown);
    m.SetPosition(6);
    EXPECT_EQ(m.Test(r.mode), r.ok) << r.shown << " mode " << r.mode;
    EXPECT_EQ(m.Position(), r.posAfter) << r.shown << " mode " << r.mode;
  }
}

TEST(ZeitModel, ValuesOfTheFields) {
  const TDateTime d = EncodeDate(2021, 3, 5), t = EncodeTime(14, 7, 0, 0);
  struct Row {
    TZeitStyle style;
    const char* shown;
    TDateTime value, date, time;
  } rows[] = {
      {zaDatum, "05.03.2021", d, d, -1},
      {zaDatum, "31.02.2021", -1, -1, -1},
      {zaDatum, "", -1, -1, -1},
      {zaUhr, "14:07", t, -1, t},
      {zaUhr, "14:__", -1, -1, -1},
      {zaBeides, "05.03.2021 14:07", d + t, d, t},
      {zaBeides, "05.03.2021 __:__", d, d, -1},
      {zaBeides, "__.__.____ 14:07", -1 + t, -1, t},  // the empty date still counts as -1
  };
  for (const Row& r : rows) {
    const TZeitModel m = Field(r.style, r.shown);
    EXPECT_DOUBLE_EQ(m.GetValue(), r.value) << r.shown;
    EXPECT_DOUBLE_EQ(m.GetDateValue(), r.date) << r.shown;
    EXPECT_DOUBLE_EQ(m.GetTimeValue(), r.time) << r.shown;
  }
  // A date field carries no time, even one left from another style.
  TZeitModel m = Field(zaBeides, "05.03.2021 14:07");
  m.SetStyle(zaDatum);
  EXPECT_DOUBLE_EQ(m.GetValue(), d);
}

TEST(ZeitModel, SetValueTakesOnlyWhatTheFieldCanHold) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Row {
    TZeitStyle style;
    TDateTime v;
    const char* shown;
  } rows[] = {
      {zaBeides, At(2021, 3, 5, 14, 7), "05.03.2021 14:07"},
      {zaDatum, At(2021, 3, 5, 14, 7), "05.03.2021"},
      {zaUhr, At(2021, 3, 5, 14, 7), "14:07"},
      {zaUhr, 0.25, "06:00"},
      {zaUhr, -1.25, "__:__"},
      {zaBeides, 0.5, "__.__.____ __:__"},
      {zaBeides, 1.5, "__.__.____ __:__"},  // 31.12.1899
      {zaDatum, -3, "__.__.____"},
      {zaBeides, nan, "__.__.____ __:__"},
      {zaUhr, inf, "__:__"},
      {zaDatum, 1e300, "__.__.____"},
      {zaDatum, EncodeDate(9999, 12, 31) + 1, "__.__.____"},
      {zaBeides, EncodeDate(1900, 1, 1), "01.01.1900 00:00"},
      {zaBeides, EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 999), "29.02.2024 23:59"},
  };
  for (const Row& r : rows) {
    TZeitModel m = Field(r.style, r.style == zaUhr ? "11:11" : "11.11.2011 11:11");
    m.Change = true;
    m.SetValue(r.v);
    EXPECT_EQ(m.Shown(), r.shown) << r.v;
    EXPECT_FALSE(m.Change);
  }
}

TEST(ZeitModel, AnsiTextsAndRoundTrips) {
  struct Row {
    TZeitStyle style;
    bool textFormat, nullZeit;
    const char* shown;
    const char* ansi;
  } rows[] = {
      {zaDatum, false, false, "05.03.2021", "20210305"},
      {zaDatum, true, false, "05.03.2021", "05.03.2021"},
      {zaUhr, false, false, "14:07", "140700"},
      {zaUhr, true, false, "14:07", "14:07"},
      {zaUhr, false, false, "00:00", "000000"},
      {zaBeides, false, false, "05.03.2021 14:07", "20210305140700"},
      {zaBeides, true, false, "05.03.2021 14:07", "05.03.202114:07"},
      {zaBeides, false, true, "05.03.2021 14:07", "20210305140700"},
      {zaDatum, false, false, "", "NULL"},
      {zaDatum, true, false, "", ""},
      {zaDatum, false, true, "", "00000000"},
      {zaDatum, true, true, "", "00000000"},
      {zaUhr, false, false, "", "NULL"},
      {zaUhr, true, true, "", "00000000"},
      {zaUhr, false, true, "", "00000000"},
      {zaBeides, false, false, "05.03.2021 __:__", "NULL"},
      {zaBeides, true, false, "__.__.____ 14:07", ""},
      {zaBeides, false, true, "31.02.2021 14:07", "00000000"},
  };
  for (const Row& r : rows) {
    TZeitModel m = Field(r.style, r.shown);
    m.TextFormat = r.textFormat;
    m.NullZeit = r.nullZeit;
    EXPECT_EQ(m.GetAnsi(), r.ansi) << r.shown;
    // Read back by a field of the same kind: the same value, or empty.
    TZeitModel back = Field(r.style, r.style == zaUhr ? "11:11" : "11.11.2011 11:11");
    back.TextFormat = r.textFormat;
    back.Change = true;
    back.SetAnsi(r.ansi);
    const TDateTime v = m.GetValue();
    const bool complete = r.style == zaBeides ? m.DateValid() && m.TimeSet() : m.Test(2);
    EXPECT_EQ(back.GetValue(), complete ? v : -1) << r.ansi;
    EXPECT_EQ(back.IsEmpty(), !complete) << r.ansi;
    EXPECT_FALSE(back.Change);
  }
}

TEST(ZeitModel, SetAnsiRefusesWhatItCannotRead) {
  struct Row {
    TZeitStyle style;
    bool textFormat;
    const char* text;
    const char* shown;
  } rows[] = {
      {zaDatum, false, "20210305", "05.03.2021"},
      {zaDatum, false, "20210305junk", "05.03.2021"},
      {zaDatum, false, "2021030", "__.__.____"},
      {zaDatum, false, "", "__.__.____"},
      {zaDatum, false, "2021O305", "__.__.____"},
      {zaDatum, false, "20210229", "__.__.____"},
      {zaDatum, false, "20000229", "29.02.2000"},
      {zaDatum, false, "19000229", "__.__.____"},
      {zaDatum, false, "18991231", "__.__.____"},
      {zaDatum, false, "20211301", "__.__.____"},
      {zaDatum, false, "00000000", "__.__.____"},
      {zaDatum, true, "05.03.2021", "05.03.2021"},
      {zaDatum, true, "05.03.21", "__.__.____"},
      {zaDatum, true, "05.03.202", "__.__.____"},
      {zaDatum, true, "05-03-2021", "__.__.____"},
      {zaDatum, true, "20210305", "__.__.____"},
      {zaDatum, true, "5.3.2021", "__.__.____"},
      {zaUhr, false, "1407", "14:07"},
      {zaUhr, false, "2599", "__:__"},
      {zaUhr, false, "2400", "__:__"},
      {zaUhr, false, "1260", "__:__"},
      {zaUhr, false, "140", "__:__"},
      {zaUhr, false, "NULL", "__:__"},
      {zaUhr, false, "00000000", "__:__"},
      {zaUhr, true, "14:07", "14:07"},
      {zaUhr, true, "1407", "__:__"},
      {zaUhr, true, "14:7", "__:__"},
      {zaUhr, true, "25:99", "__:__"},
      {zaBeides, false, "202103051407", "05.03.2021 14:07"},
      {zaBeides, false, "2021030514", "__.__.____ __:__"},
      {zaBeides, false, "202102291407", "__.__.____ __:__"},
      {zaBeides, false, "202103052599", "__.__.____ __:__"},
      {zaBeides, true, "05.03.202114:07", "05.03.2021 14:07"},
      {zaBeides, true, "05.03.2021 14:07", "__.__.____ __:__"},
      {zaBeides, true, "05.03.2021", "__.__.____ __:__"},
  };
  for (const Row& r : rows) {
    TZeitModel m = Field(r.style, r.style == zaUhr ? "11:11" : "11.11.2011 11:11");
    m.TextFormat = r.textFormat;
    // A heap copy of exactly the text's length: reading past its end trips the sanitizer.
    const size_t n = std::strlen(r.text);
    std::unique_ptr<char[]> exact(new char[n ? n : 1]);
    std::memcpy(exact.get(), r.text, n);
    m.SetAnsi(std::string_view(exact.get(), n));
    EXPECT_EQ(m.Shown(), r.shown) << r.text;
  }
}

TEST(ZeitModel, DateAndTimeTexts) {
  TZeitModel m = Field(zaBeides, "31.12.2021 09:05");
  EXPECT_EQ(m.GetDateAnsi(0), "20211231");
  EXPECT_EQ(m.GetDateAnsi(1), "20220101");
  EXPECT_EQ(m.GetDateAnsi(-366), "20201230");
  EXPECT_EQ(m.GetTimeAnsi(), "090500");
  m.TextFormat = true;
  EXPECT_EQ(m.GetDateAnsi(60), "01.03.2022");
  EXPECT_EQ(m.GetTimeAnsi(), "09:05");
  EXPECT_EQ(m.GetDateAnsi(3000000), "") << "beyond 9999";
  m.NullZeit = true;
  EXPECT_EQ(m.GetDateAnsi(-50000), "00000000") << "before 1900";
  LoadShown(m, "31.12.2021 __:__");
  EXPECT_EQ(m.GetTimeAnsi(), "00000000");
}

TEST(ZeitModel, Minuten) {
  struct Row {
    TZeitStyle style;
    const char* before;
    int n;
    const char* after;
    bool ok;
  } rows[] = {
      {zaBeides, "31.12.2021 23:30", 1500, "02.01.2022 00:30", true},
      {zaBeides, "__.__.____ 23:30", 1500, "__.__.____ 00:30", true},
      {zaBeides, "31.02.2021 23:30", 60, "31.02.2021 00:30", true},
      {zaBeides, "05.03.2021 __:__", 90, "05.03.2021 01:30", true},
      {zaBeides, "28.02.2024 23:00", 120, "29.02.2024 01:00", true},
      {zaBeides, "28.02.2023 23:00", 120, "01.03.2023 01:00", true},
      {zaBeides, "01.01.2022 00:15", -45, "31.12.2021 23:30", true},
      {zaBeides, "05.03.2021 14:07", 0, "05.03.2021 14:07", true},
      {zaBeides, "31.12.9999 23:59", 1, "31.12.9999 23:59", false},
      {zaBeides, "01.01.1900 00:00", -1, "01.01.1900 00:00", false},
      {zaUhr, "23:30", 45, "00:15", true},
      {zaUhr, "00:10", -20, "23:50", true},
      {zaDatum, "31.12.2021", 1440 * 2, "02.01.2022", true},
  };
  for (const Row& r : rows) {
    TZeitModel m = Field(r.style, r.before);
    EXPECT_EQ(m.Minuten(r.n), r.ok) << r.before << " + " << r.n;
    EXPECT_EQ(m.Shown(), r.after) << r.before << " + " << r.n;
  }
}

TEST(ZeitModel, JetztFillsWhatTheStyleShows) {
  for (auto [style, shown] : {std::pair{zaDatum, "15.06.2024"}, {zaUhr, "09:41"}, {zaBeides, "15.06.2024 09:41"}}) {
    TZeitModel m = Field(style, "");
    EXPECT_TRUE(m.Jetzt(Jetzt()));
    EXPECT_EQ(m.Shown(), shown);
    EXPECT_TRUE(m.Change);
  }
  TZeitModel m = Field(zaDatum, "");
  EXPECT_FALSE(m.Jetzt(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(m.IsEmpty());
}

TEST(ZeitModel, ClipboardBytes) {
  const std::string one = TZeitModel::ToClipboardBytes(1.0);
  EXPECT_EQ(one, std::string("\0\0\0\0\0\0\xF0\x3F", 8)) << "a little-endian double";
  const TDateTime v = At(2021, 3, 5, 14, 7);
  EXPECT_EQ(TZeitModel::FromClipboardBytes(TZeitModel::ToClipboardBytes(v)), v);

  const std::string good = TZeitModel::ToClipboardBytes(v);
  struct Row {
    std::string bytes;
    bool taken;
    const char* what;
  } rows[] = {
      {good.substr(0, 7), false, "7 bytes"},
      {good + '\0', false, "9 bytes"},
      {"", false, "nothing"},
      {TZeitModel::ToClipboardBytes(std::numeric_limits<double>::quiet_NaN()), false, "NaN"},
      {TZeitModel::ToClipboardBytes(std::numeric_limits<double>::infinity()), false, "inf"},
      {TZeitModel::ToClipboardBytes(-std::numeric_limits<double>::infinity()), false, "-inf"},
      {TZeitModel::ToClipboardBytes(1e300), false, "far beyond"},
      {TZeitModel::ToClipboardBytes(-1e300), false, "far before"},
      {TZeitModel::ToClipboardBytes(1.5), false, "year 1899"},
      {TZeitModel::ToClipboardBytes(0.5), false, "a bare time of day is year 1899 too"},
      {TZeitModel::ToClipboardBytes(EncodeDate(9999, 12, 31) + 1), false, "year 10000"},
      {TZeitModel::ToClipboardBytes(EncodeDate(1900, 1, 1)), true, "first day"},
      {TZeitModel::ToClipboardBytes(EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 0)), true, "last day"},
  };
  for (const Row& r : rows) EXPECT_EQ(TZeitModel::FromClipboardBytes(r.bytes).has_value(), r.taken) << r.what;
}

TEST(ZeitModel, QuickRanges) {
  const TDateTime jan = At(2024, 1, 15, 10, 0), mar = At(2024, 3, 10, 10, 0);
  struct Row {
    std::optional<TZeitRange> r;
    const char* start;
    const char* end;
    const char* what;
  } rows[] = {
      {TZeitModel::DieserMonat(Jetzt()), "01.06.2024 00:00:00.000", "30.06.2024 23:59:59.999", "this month"},
      {TZeitModel::LetzterMonat(jan), "01.12.2023 00:00:00.000", "31.12.2023 23:59:59.999", "January back to December"},
      {TZeitModel::LetzterMonat(mar), "01.02.2024 00:00:00.000", "29.02.2024 23:59:59.999", "leap February"},
      {TZeitModel::Monatsauswahl(2, 2100), "01.02.2100 00:00:00.000", "28.02.2100 23:59:59.999", "chosen month"},
      {TZeitModel::Monatsauswahl(12, 9999), "01.12.9999 00:00:00.000", "31.12.9999 23:59:59.999", "the last month"},
      {TZeitModel::DiesesJahr(Jetzt()), "01.01.2024 00:00:00.000", "31.12.2024 23:59:59.999", "this year"},
      {TZeitModel::LetztesJahr(jan), "01.01.2023 00:00:00.000", "31.12.2023 23:59:59.999", "last year"},
  };
  for (const Row& r : rows) {
    ASSERT_TRUE(r.r.has_value()) << r.what;
    EXPECT_EQ(Stamp(r.r->Start), r.start) << r.what;
    EXPECT_EQ(Stamp(r.r->Ende), r.end) << r.what;
  }
  EXPECT_FALSE(TZeitModel::LetzterMonat(At(1900, 1, 20)));
  EXPECT_FALSE(TZeitModel::LetztesJahr(At(1900, 6, 1)));
  EXPECT_FALSE(TZeitModel::Monatsauswahl(13, 2024));
  EXPECT_FALSE(TZeitModel::Monatsauswahl(0, 2024));
  EXPECT_FALSE(TZeitModel::Monatsauswahl(1, 1899));
  EXPECT_FALSE(TZeitModel::DieserMonat(std::numeric_limits<double>::quiet_NaN()));
}

TEST(ZeitModel, RangesGoIntoThePair) {
  const TZeitRange june = *TZeitModel::DieserMonat(Jetzt());
  for (bool onTo : {false, true}) {
    TZeitModel from = Field(zaBeides, "05.03.2021 14:07"), to = Field(zaBeides, "05.03.2021 16:00");
    Couple(from, to);
    EXPECT_TRUE((onTo ? to : from).ApplyRange(june, false));
    EXPECT_EQ(from.Shown(), "01.06.2024 00:00") << onTo;
    EXPECT_EQ(to.Shown(), "30.06.2024 23:59") << onTo;
    EXPECT_TRUE((onTo ? to : from).Change);
  }
  // The chosen month keeps the "from" field's time.
  TZeitModel from = Field(zaBeides, "05.03.2021 14:07"), to = Field(zaBeides, "05.03.2021 16:00");
  Couple(from, to);
  from.ApplyRange(*TZeitModel::Monatsauswahl(2, 2024), true);
  EXPECT_EQ(from.Shown(), "01.02.2024 14:07");
  EXPECT_EQ(to.Shown(), "29.02.2024 23:59");
  // A lone field takes its own end; a time field takes nothing.
  TZeitModel lone = Field(zaDatum, "");
  EXPECT_TRUE(lone.ApplyRange(june, false));
  EXPECT_EQ(lone.Shown(), "30.06.2024");
  TZeitModel uhr = Field(zaUhr, "14:07");
  EXPECT_FALSE(uhr.ApplyRange(june, false));
  EXPECT_EQ(uhr.Shown(), "14:07");

  int month = 0, year = 0;
  Field(zaDatum, "05.03.2021").MonatsVorgabe(Jetzt(), month, year);
  EXPECT_EQ(month * 10000 + year, 32021);
  Field(zaDatum, "").MonatsVorgabe(Jetzt(), month, year);
  EXPECT_EQ(month * 10000 + year, 62024);
}

TEST(ZeitModel, SetValueSyncsThePairAndEnds) {
  struct Row {
    const char* from;
    const char* to;
    bool onTo;
    TDateTime v;
    const char* fromAfter;
    const char* toAfter;
  } rows[] = {
      {"05.03.2021 14:00", "05.03.2021 16:00", false, At(2021, 3, 7, 9, 0), "07.03.2021 09:00", "07.03.2021 09:00"},
      {"05.03.2021 14:00", "05.03.2021 16:00", false, At(2021, 3, 5, 9, 0), "05.03.2021 09:00", "05.03.2021 16:00"},
      {"05.03.2021 14:00", "05.03.2021 16:00", true, At(2021, 3, 4, 9, 0), "04.03.2021 09:00", "04.03.2021 09:00"},
      {"05.03.2021 14:00", "05.03.2021 16:00", true, At(2021, 3, 9, 9, 0), "05.03.2021 14:00", "09.03.2021 09:00"},
      {"05.03.2021 14:00", "", false, At(2021, 3, 7, 9, 0), "07.03.2021 09:00", "07.03.2021 09:00"},
      {"", "05.03.2021 16:00", true, At(2021, 3, 4, 9, 0), "__.__.____ __:__", "04.03.2021 09:00"},
      {"05.03.2021 14:00", "05.03.2021 16:00", false, 0, "__.__.____ __:__", "05.03.2021 16:00"},
  };
  for (const Row& r : rows) {
    TZeitModel from = Field(zaBeides, r.from), to = Field(zaBeides, r.to);
    Couple(from, to);
    to.Change = from.Change = true;  // SetValue syncs regardless of the user's edits
    (r.onTo ? to : from).SetValue(r.v);
    EXPECT_EQ(from.Shown(), r.fromAfter) << r.from << " / " << r.to;
    EXPECT_EQ(to.Shown(), r.toAfter) << r.from << " / " << r.to;
  }

  // A date-only "to" holds less than a date-and-time "from": pushing back would cut the time off.
  TZeitModel from = Field(zaBeides, "05.03.2021 14:00"), to = Field(zaDatum, "05.03.2021");
  Couple(from, to);
  from.SetValue(At(2021, 3, 7, 9, 30));
  EXPECT_EQ(from.Shown(), "07.03.2021 09:30");
  EXPECT_EQ(to.Shown(), "07.03.2021");

  // A field that is its own partner, and three fields in a ring, end too.
  TZeitModel self = Field(zaDatum, "");
  self.Kombi = &self;
  self.Von = true;
  self.SetValue(At(2021, 3, 7));
  EXPECT_EQ(self.Shown(), "07.03.2021");
  TZeitModel a = Field(zaBeides, ""), b = Field(zaDatum, ""), c = Field(zaBeides, "");
  a.Kombi = &b, b.Kombi = &c, c.Kombi = &a;
  a.Von = b.Von = c.Von = true;
  a.SetValue(At(2021, 3, 7, 9, 30));
  EXPECT_EQ(b.Shown(), "07.03.2021");
  EXPECT_EQ(c.Shown(), "07.03.2021 00:00");
  EXPECT_EQ(a.Shown(), "07.03.2021 09:30");
}

TEST(ZeitModel, LayoutNumbers) {
  struct Row {
    TZeitStyle style;
    bool zeitDatum, caption;
    int hoehe, titel, text, zweit, breite, knopf;
  } rows[] = {
      // "M" in Courier New 10 pt: 8 x 16; a caption 40 pixels wide.
      {zaDatum, false, false, 20, 0, 5, 0, 105, 90},     {zaDatum, false, true, 20, 44, 49, 0, 149, 134},
      {zaUhr, false, false, 20, 0, 5, 0, 65, 50},        {zaBeides, false, false, 20, 0, 5, 95, 158, 143},
      {zaBeides, true, false, 20, 0, 5, 55, 158, 143},   {zaBeides, true, true, 20, 44, 49, 99, 202, 187},
  };
  for (const Row& r : rows) {
    TZeitModel m = Field(r.style, "", r.zeitDatum);
    const TZeitLayout l = m.Layout(8, 16, r.caption, 40);
    EXPECT_EQ((std::vector<int>{l.Hoehe, l.TitelBreite, l.TextStart, l.ZweitStart, l.Breite, l.KnopfX}),
              (std::vector<int>{r.hoehe, r.titel, r.text, r.zweit, r.breite, r.knopf}))
        << r.style << r.zeitDatum << r.caption;
  }
}

TEST(ZeitModel, ClicksFindTheDigitsThePainterMarks) {
  // Every digit's cursor cell, clicked anywhere inside, selects that digit.
  for (auto [style, zeitDatum] : {std::pair{zaDatum, false}, {zaUhr, false}, {zaBeides, false}, {zaBeides, true}}) {
    TZeitModel m = Field(style, "", zeitDatum);
    const TZeitLayout l = m.Layout(8, 16, true, 33);
    for (int p = 0; p <= m.LastPosition(); ++p) {
      const TRect cell = m.CursorCell(p, l);
      EXPECT_EQ(cell.Width(), 8);
      EXPECT_EQ(m.ColumnToPosition(cell.left, l), p) << style << zeitDatum << " left of " << p;
      EXPECT_EQ(m.ColumnToPosition(cell.right - 1, l), p) << style << zeitDatum << " right of " << p;
    }
    EXPECT_EQ(m.ColumnToPosition(l.Breite - 1, l), zeitDatum ? 7 : m.LastPosition()) << "far right: the last digit shown";
    EXPECT_EQ(m.ColumnToPosition(l.TitelBreite - 1, l), -1) << "on the title";
    EXPECT_EQ(m.ColumnToPosition(l.TitelBreite, l), zeitDatum ? 8 : 0) << "between title and text";
    EXPECT_TRUE(m.CursorCell(-1, l).IsEmpty());
  }
  TZeitModel m = Field(zaBeides, "");
  const TZeitLayout l = m.Layout(8, 16, false, 0);
  // Cells where the painter writes them: "DD.MM.YYYY" at 5, "HH:MM" at the second start + 3.
  EXPECT_EQ(m.CursorCell(0, l), Rect(5, 4, 13, 17));
  EXPECT_EQ(m.CursorCell(2, l).left, 5 + 3 * 8);
  EXPECT_EQ(m.CursorCell(4, l).left, 5 + 6 * 8);
  EXPECT_EQ(m.CursorCell(8, l).left, 98);
  EXPECT_EQ(m.CursorCell(10, l).left, 98 + 3 * 8);
  // Separators land on a neighbouring digit; the gap before the time selects the hour.
  EXPECT_EQ(m.ColumnToPosition(5 + 2 * 8 + 3, l), 1);
  EXPECT_EQ(m.ColumnToPosition(5 + 5 * 8 + 3, l), 4);
  EXPECT_EQ(m.ColumnToPosition(98 + 2 * 8 + 3, l), 10);
  EXPECT_EQ(m.ColumnToPosition(5 + 10 * 8 + 2, l), 8);
}

TEST(ZeitModel, FocusGoesToTheFirstEmptyPart) {
  struct Row {
    TZeitStyle style;
    bool zeitDatum;
    const char* shown;
    int before, after;
  } rows[] = {
      {zaDatum, false, "05.03.2021", 5, 0},          {zaDatum, false, "", 5, 0},
      {zaDatum, false, "05.03.____", 0, 4},          {zaDatum, false, "05.__.____", 5, 0},
      {zaDatum, false, "05.03.2021", -1, -1},        {zaUhr, false, "14:07", 3, 0},
      {zaUhr, false, "__:__", 3, 0},                 {zaUhr, false, "14:__", 0, 2},
      {zaBeides, false, "05.03.2021 14:07", 9, 0},   {zaBeides, false, "05.03.2021 __:__", 0, 8},
      {zaBeides, false, "05.03.2021 14:__", 0, 10},  {zaBeides, false, "", 9, 0},
      {zaBeides, true, "14:07 05.03.2021", 2, 8},    {zaBeides, true, "__:__ __.__.____", 2, 8},
      {zaBeides, true, "14:07 __.__.____", 9, 0},    {zaBeides, true, "14:07 05.03.____", 9, 4},
  };
  for (const Row& r : rows) {
    TZeitModel m = Field(r.style, r.shown, r.zeitDatum);
    m.SetPosition(r.before);
    m.FocusGained();
    EXPECT_EQ(m.Position(), r.after) << r.shown << " from " << r.before;
  }
}

TEST(ZeitModel, ChangeDelayGrowsWhileTypingAndResets) {
  TZeitModel m;
  EXPECT_EQ(m.Changing(), 400);
  EXPECT_EQ(m.Changing(), 1000);
  EXPECT_EQ(m.Changing(), 1600);
  EXPECT_EQ(m.Changing(), 1600);
  m.ChangeFired();
  EXPECT_EQ(m.Changing(), 400);
}

TEST(ZeitModel, StyleChangeKeepsTheCursorInside) {
  TZeitModel m = Field(zaBeides, "05.03.2021 14:07");
  m.SetPosition(11);
  m.SetStyle(zaUhr);
  EXPECT_EQ(m.Position(), 3);
  m.SetPosition(42);
  EXPECT_EQ(m.Position(), 3);
  EXPECT_EQ(m.Shown(), "14:07");
  m.Zeit_Datum = true;
  EXPECT_FALSE(m.TimeFirst()) << "only where there is a date after it";
}
