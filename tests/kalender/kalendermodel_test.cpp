// TKalenderModel: grids and ISO weeks (checked against a computation of their own for 1900-2100),
// marked runs as exact entry bytes across month and year ends, week-row clicks, the tenth run,
// hostile host lists, clicks off the grid, display clicks with the year block, navigation.
#include "components/kalender/kalendermodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace komp;
using Eintrag = std::array<uint8_t, 5>;

namespace {

// Proleptic Gregorian day count from 1 January 1970 (Hinnant's days_from_civil), kept apart from
// the framework's date code so the weeks are checked against something else.
int64_t Tage(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int64_t JahrVon(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  return yoe + era * 400 + (mp >= 10 ? 1 : 0);
}

int Wochentag(int64_t z) { return int(((z + 3) % 7 + 7) % 7); }  // Monday 0; 1970-01-01 was a Thursday

// ISO 8601: a week belongs to the year of its Thursday and counts from that year's first Thursday.
int IsoWoche(int64_t z) {
  const int64_t donnerstag = z - Wochentag(z) + 3;
  return int((donnerstag - Tage(JahrVon(donnerstag), 1, 1)) / 7) + 1;
}

TDateTime AlsDatum(int64_t z) { return TDateTime(z + 25569); }  // 1970-01-01 is day 25569

// Click points come from the model's geometry.
TPoint Mitte(int index) {
  const TPoint o = kalender::ZellUrsprung(index);
  return {o.x + kalender::kZellBreite / 2, o.y + kalender::kZellHoehe / 2};
}
TPoint WochenFeld(int zeile) { return {kalender::kWochenSpalteRechts / 2, Mitte(zeile * 7).y}; }

int Zelle(const TKalenderModel& k, int monat, int tag) {
  for (int i = 0; i < kalender::kZellen; ++i)
    if (k.ZellMonat(i) == monat && k.Tag(i) == tag) return i;
  ADD_FAILURE() << "no cell " << tag << "." << monat;
  return 0;
}

TKalenderAktion Klicke(TKalenderModel& k, int index, bool rechts = false) {
  const TPoint p = Mitte(index);
  return k.Klick(p.x, p.y, rechts);
}

std::vector<int> Markiert(const TKalenderModel& k) {
  std::vector<int> v;
  for (int i = 0; i < kalender::kZellen; ++i)
    if (k.Marker(i)) v.push_back(i);
  return v;
}

TEintragListe Liste(const std::vector<Eintrag>& e) {
  TEintragListe l{};
  for (size_t i = 0; i < e.size() && i < 9; ++i) std::memcpy(l.data() + 5 * i, e[i].data(), 5);
  return l;
}

// Exactly 45 bytes on the heap, so a read past them is caught by the address sanitizer.
std::vector<uint8_t> Heap(const TEintragListe& l) { return {l.begin(), l.end()}; }

TKalenderModel Kalender(int j, int m, bool edit = true, const uint8_t* liste = nullptr) {
  TKalenderModel k;
  k.Setze_Modus(edit);
  EXPECT_TRUE(k.Init(uint16_t(j), uint16_t(m), 0, liste));
  return k;
}

}  // namespace

TEST(KalenderModel, MonthGrids) {
  struct Fall {
    int j, m, erster, letzteVor, ersteFolge, letzter;
    std::array<int, 6> wochen;
    const char* titel;
  } faelle[] = {
      {2021, 2, 25, 6, 35, 7, {4, 5, 6, 7, 8, 9}, "Februar 2021"},        // the 1st is a Monday
      {2021, 1, 28, 3, 35, 7, {53, 1, 2, 3, 4, 5}, "Januar 2021"},        // Monday 28.12.2020: week 53
      {2026, 1, 29, 2, 34, 8, {1, 2, 3, 4, 5, 6}, "Januar 2026"},         // Monday 29.12.2025: week 1
      {2024, 12, 25, 5, 37, 5, {48, 49, 50, 51, 52, 1}, "Dezember 2024"},  // 30/31.12.2024 in week 1
      {2026, 12, 30, 0, 32, 10, {49, 50, 51, 52, 53, 1}, "Dezember 2026"},  // 28.12.2026: week 53
      {2024, 3, 26, 3, 35, 7, {9, 10, 11, 12, 13, 14}, "M\xE4rz 2024"},
      {2024, 2, 29, 2, 32, 10, {5, 6, 7, 8, 9, 10}, "Februar 2024"},  // leap year
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.titel);
    TKalenderModel k = Kalender(f.j, f.m);
    EXPECT_EQ(k.Tag(0), f.erster);
    EXPECT_EQ(k.LetzteVorzelle(), f.letzteVor);
    EXPECT_EQ(k.ErsteFolgezelle(), f.ersteFolge);
    EXPECT_EQ(k.Tag(41), f.letzter);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(k.Woche(r), f.wochen[size_t(r)]) << "row " << r;
    EXPECT_EQ(k.ErsteWoche(), f.wochen[0]);
    EXPECT_EQ(k.Titel(), f.titel);
  }
  // February 2021 cell by cell: 25..31 January, 1..28 February, 1..7 March.
  TKalenderModel k = Kalender(2021, 2);
  std::vector<int> tage, erwartet;
  for (int i = 0; i < 42; ++i) tage.push_back(k.Tag(i));
  for (int t = 25; t <= 31; ++t) erwartet.push_back(t);
  for (int t = 1; t <= 28; ++t) erwartet.push_back(t);
  for (int t = 1; t <= 7; ++t) erwartet.push_back(t);
  EXPECT_EQ(tage, erwartet);
}

TEST(KalenderModel, GridsAgreeWithIsoWeeks1900To2100) {
  for (int j = 1900; j <= 2100; ++j)
    for (int m = 1; m <= 12; ++m) {
      TKalenderModel k = Kalender(j, m);
      const int64_t erster = Tage(j, m, 1);
      const int vor = Wochentag(erster) == 0 ? 7 : Wochentag(erster);
      const int64_t start = erster - vor;
      ASSERT_EQ(k.ZellDatum(0), AlsDatum(start)) << j << "-" << m;
      ASSERT_EQ(k.LetzteVorzelle(), vor - 1) << j << "-" << m;
      ASSERT_EQ(k.ErsteFolgezelle(), vor + int(Tage(m == 12 ? j + 1 : j, m % 12 + 1, 1) - erster)) << j << "-" << m;
      for (int r = 0; r < 6; ++r) ASSERT_EQ(k.Woche(r), IsoWoche(start + 7 * r)) << j << "-" << m << " row " << r;
    }
}

TEST(KalenderModel, WeekOfAnyDate) {
  struct Fall {
    int j, m, t, woche;
  } faelle[] = {
      {2021, 1, 4, 1},   {2020, 12, 28, 53}, {2021, 1, 1, 53}, {2021, 1, 3, 53}, {2024, 12, 31, 1},
      {2026, 12, 28, 53}, {2027, 1, 3, 53},  {2025, 12, 29, 1}, {2023, 1, 1, 52}, {1900, 1, 1, 1},
      {2100, 12, 31, 52},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(TKalenderModel::Get_Kalenderwoche(f.j, EncodeDate(f.j, f.m, f.t)), f.woche)
        << f.t << "." << f.m << "." << f.j;
  // A year that is not the date's own does not change the answer.
  EXPECT_EQ(TKalenderModel::Get_Kalenderwoche(2020, EncodeDate(2021, 1, 4)), 1);
  for (int64_t z = Tage(1900, 1, 1); z <= Tage(2100, 12, 31); ++z)
    ASSERT_EQ(TKalenderModel::Get_Kalenderwoche(int(JahrVon(z)), AlsDatum(z)), IsoWoche(z)) << "day " << z;
}

TEST(KalenderModel, MarkedRunsAsEntryBytes) {
  struct Fall {
    int j, m;
    std::vector<std::pair<int, int>> tage;  // (month, day) clicked
    std::vector<Eintrag> erwartet;
  } faelle[] = {
      {2021, 2, {{2, 10}, {2, 11}, {2, 12}}, {{6, 10, 2, 12, 2}}},  // Wednesday to Friday
      {2021, 2, {{2, 12}, {2, 13}, {2, 14}, {2, 15}, {2, 16}}, {{6, 12, 2, 14, 2}, {7, 15, 2, 16, 2}}},
      {2021, 2, {{2, 7}, {2, 8}, {2, 9}}, {{5, 7, 2, 9, 2}}},  // a run starting on Sunday goes on
      {2021, 2, {{2, 24}, {2, 3}}, {{5, 3, 2, 3, 2}, {8, 24, 2, 24, 2}}},  // in grid order
      {2021, 2, {{1, 29}, {1, 30}, {1, 31}, {2, 1}, {2, 2}}, {{4, 29, 1, 31, 1}, {5, 1, 2, 2, 2}}},
      {2021, 2, {{2, 27}, {2, 28}, {3, 1}, {3, 2}, {3, 3}}, {{8, 27, 2, 28, 2}, {9, 1, 3, 3, 3}}},
      {2021, 4, {{4, 29}, {4, 30}, {5, 1}}, {{17, 29, 4, 1, 5}}},  // month end inside a row
      {2021, 4, {{4, 29}, {4, 30}}, {{17, 29, 4, 30, 4}}},
      {2021, 4, {{5, 1}}, {{17, 1, 5, 1, 5}}},
      {2024, 12, {{12, 30}, {12, 31}, {1, 1}, {1, 2}}, {{0x41, 30, 12, 2, 1}}},  // week 1 of 2025
      {2024, 12, {{12, 23}}, {{52, 23, 12, 23, 12}}},
      {2024, 12, {{1, 3}, {1, 4}, {1, 5}}, {{0x41, 3, 1, 5, 1}}},
      {2026, 12, {{12, 28}, {12, 29}}, {{53, 28, 12, 29, 12}}},
      {2026, 12, {{1, 4}}, {{0x41, 4, 1, 4, 1}}},
      {2021, 12, {{1, 1}, {1, 2}}, {{0x40 | 52, 1, 1, 2, 1}}},  // next year's days in week 52
      {2020, 12, {{12, 31}, {1, 1}}, {{53, 31, 12, 1, 1}}},
      {2020, 12, {{1, 2}, {1, 3}}, {{0x40 | 53, 2, 1, 3, 1}}},
      {2021, 1, {{12, 30}, {12, 31}, {1, 1}, {1, 2}}, {{0x80 | 53, 30, 12, 2, 1}}},
      {2021, 1, {{1, 1}, {1, 2}, {1, 3}}, {{53, 1, 1, 3, 1}}},
      {2025, 1, {{12, 30}, {12, 31}}, {{0x80 | 1, 30, 12, 31, 12}}},
      {2025, 1, {{2, 3}}, {{6, 3, 2, 3, 2}}},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(::testing::Message() << f.j << "-" << f.m << " first " << f.tage[0].second);
    TKalenderModel k = Kalender(f.j, f.m);
    for (auto [monat, tag] : f.tage) {
      const TKalenderAktion a = Klicke(k, Zelle(k, monat, tag));
      EXPECT_EQ(a.Nachricht, kNachrichtMarker);
      EXPECT_TRUE(a.Neuzeichnen);
      EXPECT_FALSE(a.ZuViele);
    }
    const TEintragListe erwartet = Liste(f.erwartet);
    EXPECT_EQ(k.Get_Daten(), erwartet);
    // Read back in either mode, the bytes mark the same cells.
    for (bool edit : {true, false}) {
      const auto heap = Heap(erwartet);
      EXPECT_EQ(Markiert(Kalender(f.j, f.m, edit, heap.data())), Markiert(k)) << "edit " << edit;
    }
  }
}

TEST(KalenderModel, WeekCellClick) {
  struct Fall {
    std::vector<int> vorher;  // February 2021 days of row 2 (8 to 14) marked first
    bool alleDanach;
    std::vector<Eintrag> liste;
  } faelle[] = {
      {{8, 9, 10, 11, 12, 13, 14}, false, {}},
      {{9, 12, 13}, true, {{6, 8, 2, 14, 2}}},
      {{}, true, {{6, 8, 2, 14, 2}}},
      {{14}, true, {{6, 8, 2, 14, 2}}},
  };
  for (const Fall& f : faelle) {
    TKalenderModel k = Kalender(2021, 2);
    for (int t : f.vorher) Klicke(k, Zelle(k, 2, t));
    const TPoint p = WochenFeld(2);
    const TKalenderAktion a = k.Klick(p.x, p.y, false);
    EXPECT_EQ(a.Nachricht, kNachrichtMarker);
    for (int i = 14; i < 21; ++i) EXPECT_EQ(k.Marker(i), f.alleDanach) << "cell " << i;
    EXPECT_EQ(Markiert(k).size(), f.alleDanach ? 7u : 0u);
    EXPECT_EQ(k.Get_Daten(), Liste(f.liste));
  }
  // Display mode: the week column is no day.
  TKalenderModel k = Kalender(2021, 2, false);
  const TPoint p = WochenFeld(2);
  EXPECT_EQ(k.Klick(p.x, p.y, false).Nachricht, 0);
}

TEST(KalenderModel, TenthRunIsRefused) {
  TKalenderModel k = Kalender(2021, 2);
  for (int t : {1, 3, 5, 8, 10, 12, 15, 17, 19}) ASSERT_FALSE(Klicke(k, Zelle(k, 2, t)).ZuViele);
  EXPECT_EQ(k.AnzahlEintraege(), 9);
  const TEintragListe neun = k.Get_Daten();
  const auto markiert = Markiert(k);

  TKalenderAktion a = Klicke(k, Zelle(k, 2, 22));
  EXPECT_TRUE(a.ZuViele);
  EXPECT_EQ(a.Nachricht, 0);  // nothing changed, so the host hears nothing
  EXPECT_EQ(k.Get_Daten(), neun);
  EXPECT_EQ(Markiert(k), markiert);
  // A filled week row would be a tenth run as well.
  const TPoint w = WochenFeld(4);
  EXPECT_TRUE(k.Klick(w.x, w.y, false).ZuViele);
  EXPECT_EQ(k.Get_Daten(), neun);

  // Splitting a run in two with a full list is refused too, and the cell stays marked.
  TKalenderModel s = Kalender(2021, 2);
  for (int t : {1, 3, 5, 8, 10, 12, 15, 17, 24, 25, 26}) Klicke(s, Zelle(s, 2, t));
  ASSERT_EQ(s.AnzahlEintraege(), 9);
  EXPECT_TRUE(Klicke(s, Zelle(s, 2, 25)).ZuViele);
  EXPECT_TRUE(s.Marker(Zelle(s, 2, 25)));
  // Taking a day away makes room again.
  EXPECT_FALSE(Klicke(s, Zelle(s, 2, 1)).ZuViele);
  EXPECT_FALSE(Klicke(s, Zelle(s, 2, 25)).ZuViele);
  EXPECT_EQ(s.AnzahlEintraege(), 9);

  // Other months' entries are never given up for a new run.
  const std::vector<Eintrag> andere = {{2, 12, 1, 12, 1},   {18, 3, 5, 3, 5},    {23, 7, 6, 7, 6},
                                       {28, 12, 7, 12, 7},  {32, 9, 8, 9, 8},    {37, 14, 9, 14, 9},
                                       {41, 12, 10, 12, 10}, {45, 9, 11, 9, 11}};
  const auto host = Heap(Liste(andere));
  TKalenderModel h = Kalender(2021, 2, true, host.data());
  EXPECT_FALSE(Klicke(h, Zelle(h, 2, 10)).ZuViele);
  std::vector<Eintrag> mitFeb = andere;
  mitFeb.insert(mitFeb.begin() + 1, Eintrag{6, 10, 2, 10, 2});
  EXPECT_EQ(h.Get_Daten(), Liste(mitFeb));
  EXPECT_TRUE(Klicke(h, Zelle(h, 2, 20)).ZuViele);
  EXPECT_EQ(h.Get_Daten(), Liste(mitFeb));
  EXPECT_FALSE(h.Marker(Zelle(h, 2, 20)));
  EXPECT_EQ(std::vector<uint8_t>(host), Heap(Liste(andere)));  // the host's bytes are only read
}

TEST(KalenderModel, HostListsWithGarbage) {
  struct Fall {
    const char* was;
    std::vector<Eintrag> liste;
    std::vector<std::pair<int, int>> markiert;  // (month, day) expected marked in February 2021
  } faelle[] = {
      {"day 0", {{6, 0, 2, 3, 2}}, {}},
      {"day 40", {{6, 40, 2, 41, 2}}, {}},
      {"negative day", {{6, 0xF0, 2, 3, 2}}, {}},
      {"month 13", {{6, 3, 13, 5, 13}}, {}},
      {"month 0", {{6, 3, 0, 5, 0}}, {}},
      {"month 255", {{6, 3, 255, 5, 255}}, {}},
      {"December", {{50, 1, 12, 3, 12}}, {}},
      {"next year's bit off December", {{0x46, 10, 2, 10, 2}}, {}},
      {"previous year's bit off January", {{0x86, 10, 2, 10, 2}}, {}},
      {"before the grid", {{3, 20, 1, 27, 1}}, {}},
      {"after the grid", {{10, 8, 3, 9, 3}}, {}},
      {"last day 40 stops at the grid end", {{9, 5, 3, 40, 3}}, {{3, 5}, {3, 6}, {3, 7}}},
      {"last day 0", {{9, 6, 3, 0, 3}}, {{3, 6}, {3, 7}}},
      {"previous month", {{4, 25, 1, 27, 1}}, {{1, 25}, {1, 26}, {1, 27}}},
      {"nine entries, no terminator",
       {{5, 1, 2, 1, 2}, {5, 2, 2, 2, 2}, {5, 3, 2, 3, 2}, {5, 4, 2, 4, 2}, {5, 5, 2, 5, 2},
        {5, 6, 2, 6, 2}, {5, 7, 2, 7, 2}, {6, 8, 2, 8, 2}, {6, 9, 2, 9, 2}},
       {{2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {2, 6}, {2, 7}, {2, 8}, {2, 9}}},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.was);
    std::vector<int> erwartet;
    for (bool edit : {false, true}) {
      const auto host = Heap(Liste(f.liste));
      TKalenderModel k = Kalender(2021, 2, edit, host.data());
      if (erwartet.empty())
        for (auto [m, t] : f.markiert) erwartet.push_back(Zelle(k, m, t));
      EXPECT_EQ(Markiert(k), erwartet);
      std::vector<uint8_t> ziel(45);
      k.Get_Eintraege(ziel.data(), 9);
      // What was not shown comes back as it was given.
      if (f.markiert.empty()) {
        EXPECT_EQ(ziel, host);
      }
      // Clicking around the damaged list stays inside it.
      for (int i = 0; i < 42; i += 5) Klicke(k, i, true);
      EXPECT_LE(k.AnzahlEintraege(), 9);
    }
  }
  // More than nine entries: only the first 45 bytes count.
  std::vector<uint8_t> lang;
  for (int t = 1; t <= 18; ++t) lang.insert(lang.end(), {uint8_t(t < 8 ? 5 : 6), uint8_t(t), 2, uint8_t(t), 2});
  TKalenderModel k = Kalender(2021, 2, true, lang.data());
  EXPECT_EQ(Markiert(k).size(), 9u);
  EXPECT_FALSE(k.Marker(Zelle(k, 2, 10)));
  EXPECT_EQ(k.AnzahlEintraege(), 9);
}

TEST(KalenderModel, ClicksOffTheGridDoNothing) {
  const TPoint aussen[] = {{0, 30},   {-1, 30},  {176, 30}, {177, 100}, {30, 20},     {30, 0},
                           {30, 140}, {30, 141}, {100, -5}, {-100, -100}, {5000, 5000}, {175, 140}};
  for (bool edit : {true, false}) {
    TKalenderModel k = Kalender(2021, 2, edit);
    for (const TPoint& p : aussen) {
      const TKalenderAktion a = k.Klick(p.x, p.y, false);
      EXPECT_FALSE(a.Neuzeichnen || a.NeuerMonat || a.ZuViele || a.Nachricht) << p.x << "," << p.y;
    }
    EXPECT_TRUE(Markiert(k).empty());
    EXPECT_EQ(k.Get_Monat(), 2);
  }
  // The edges still inside: the week column's first pixel, the last cell's corner, column 0.
  TKalenderModel k = Kalender(2021, 2);
  k.Klick(1, 21, false);
  EXPECT_EQ(Markiert(k), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  k.Klick(175, 139, false);
  EXPECT_TRUE(k.Marker(41));
  k.Klick(22, 40, false);
  EXPECT_TRUE(k.Marker(7));
  EXPECT_EQ(TKalenderModel().Klick(50, 50, false).Nachricht, 0);  // no month yet
}

TEST(KalenderModel, DisplayClicksAndYearBlock) {
  struct Fall {
    int j, m;
    bool block;
    std::pair<int, int> zelle;  // (month, day)
    bool rechts;
    int wj, wm, wt;  // date sent; 0 = the blocked answer 0, 0
    int nachJ, nachM;
  } faelle[] = {
      {2025, 12, true, {1, 2}, false, 0, 0, 0, 2025, 12},
      {2026, 1, true, {12, 30}, true, 0, 0, 0, 2026, 1},
      {2025, 12, false, {1, 2}, false, 2026, 1, 2, 2026, 1},
      {2026, 1, false, {12, 30}, true, 2025, 12, 30, 2025, 12},
      {2021, 2, true, {1, 28}, false, 2021, 1, 28, 2021, 1},
      {2021, 2, true, {3, 3}, false, 2021, 3, 3, 2021, 3},
      {2021, 2, true, {2, 14}, true, 2021, 2, 14, 2021, 2},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(::testing::Message() << f.j << "-" << f.m << " " << f.zelle.second << "." << f.zelle.first);
    TKalenderModel k;
    k.Setze_Modus(false);
    k.Setze_JahresBlock(f.block);
    ASSERT_TRUE(k.Init(uint16_t(f.j), uint16_t(f.m), 5, nullptr));
    const TKalenderAktion a = Klicke(k, Zelle(k, f.zelle.first, f.zelle.second), f.rechts);
    EXPECT_EQ(a.Nachricht, kNachrichtTag);
    EXPECT_EQ(a.WParam, f.wj ? int32_t(EncodeDate(f.wj, f.wm, f.wt)) : 0);
    EXPECT_EQ(a.LParam, f.wj && f.rechts ? 1 : 0);
    EXPECT_EQ(a.NeuerMonat, f.nachM != f.m);
    EXPECT_EQ(k.Get_Jahr(), f.nachJ);
    EXPECT_EQ(k.Get_Monat(), f.nachM);
    EXPECT_EQ(k.Markier(), f.nachM != f.m ? 0 : 5);
  }
}

TEST(KalenderModel, Navigation) {
  struct Fall {
    int j, m;
    bool block, eintrag;
    bool vor, nach;
  } faelle[] = {
      {2025, 12, false, false, true, true}, {2025, 12, true, false, true, false},
      {2025, 12, false, true, true, false}, {2026, 1, true, false, false, true},
      {2026, 1, false, true, false, true},  {2026, 1, false, false, true, true},
      {2021, 6, true, true, true, true},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(::testing::Message() << f.j << "-" << f.m << " block " << f.block << " entry " << f.eintrag);
    for (int richtung : {-1, 1}) {
      TKalenderModel k = Kalender(f.j, f.m);
      k.Setze_JahresBlock(f.block);
      if (f.eintrag) k.Setze_Daten(Liste({{20, 10, uint8_t(f.m), 10, uint8_t(f.m)}}).data());
      EXPECT_EQ(k.VorigerErlaubt(), f.vor);
      EXPECT_EQ(k.NaechsterErlaubt(), f.nach);
      const bool erlaubt = richtung < 0 ? f.vor : f.nach;
      const TKalenderAktion a = richtung < 0 ? k.VorigerMonat() : k.NaechsterMonat();
      EXPECT_EQ(a.NeuerMonat, erlaubt);
      const int ziel = f.j * 12 + f.m - 1 + (erlaubt ? richtung : 0);
      EXPECT_EQ(k.Get_Jahr() * 12 + k.Get_Monat() - 1, ziel);
    }
  }
}

TEST(KalenderModel, EditsSurviveNavigation) {
  const TEintragListe start = Liste({{2, 5, 1, 6, 1}, {13, 29, 3, 31, 3}});
  const auto host = Heap(start);
  TKalenderModel k = Kalender(2021, 2, true, host.data());
  Klicke(k, Zelle(k, 2, 10));
  EXPECT_EQ(k.Get_Daten(), Liste({{2, 5, 1, 6, 1}, {6, 10, 2, 10, 2}, {13, 29, 3, 31, 3}}));
  k.NaechsterMonat();
  EXPECT_EQ(Markiert(k).size(), 3u);  // 29 to 31 March
  Klicke(k, Zelle(k, 3, 2));
  EXPECT_EQ(k.Get_Daten(),
            Liste({{2, 5, 1, 6, 1}, {6, 10, 2, 10, 2}, {9, 2, 3, 2, 3}, {13, 29, 3, 31, 3}}));
  k.VorigerMonat();
  EXPECT_EQ(Markiert(k), (std::vector<int>{Zelle(k, 2, 10), Zelle(k, 3, 2)}));
  EXPECT_EQ(std::vector<uint8_t>(host), Heap(start));

  // Display mode reads the remembered host list again on every month.
  TKalenderModel d = Kalender(2021, 2, false, host.data());
  d.NaechsterMonat();
  EXPECT_EQ(Markiert(d).size(), 3u);
}

TEST(KalenderModel, DaysBeyondTheGridAreKept) {
  // A run made in March from Sunday the 7th; February's grid ends on that Sunday.
  TKalenderModel k = Kalender(2021, 3);
  for (int t : {7, 8, 9}) Klicke(k, Zelle(k, 3, t));
  ASSERT_EQ(k.Get_Daten(), Liste({{9, 7, 3, 9, 3}}));
  k.VorigerMonat();
  EXPECT_EQ(Markiert(k), (std::vector<int>{41}));
  Klicke(k, Zelle(k, 2, 10));
  EXPECT_EQ(k.Get_Daten(), Liste({{6, 10, 2, 10, 2}, {9, 7, 3, 9, 3}}));
  k.NaechsterMonat();
  EXPECT_EQ(Markiert(k), (std::vector<int>{Zelle(k, 3, 7), Zelle(k, 3, 8), Zelle(k, 3, 9)}));

  // A host entry running past the grid keeps its end when the month is edited.
  TKalenderModel h = Kalender(2021, 2);
  h.Setze_Daten(Liste({{8, 27, 2, 10, 3}}).data());
  Klicke(h, Zelle(h, 2, 1));
  EXPECT_EQ(h.Get_Daten(), Liste({{5, 1, 2, 1, 2}, {8, 27, 2, 28, 2}, {9, 1, 3, 10, 3}}));
  // Cutting the run short inside the grid is the user's choice.
  Klicke(h, 41);
  EXPECT_EQ(h.Get_Daten(), Liste({{5, 1, 2, 1, 2}, {8, 27, 2, 28, 2}, {9, 1, 3, 6, 3}}));
}

TEST(KalenderModel, SetzeDatum) {
  auto host = Heap(Liste({{6, 10, 2, 10, 2}}));
  TKalenderModel k;
  k.Setze_Modus(false);
  ASSERT_TRUE(k.Init(2021, 2, 5, host.data()));
  EXPECT_TRUE(k.Hervorgehoben(Zelle(k, 2, 5)));
  EXPECT_EQ(k.Get_Datum(), EncodeDate(2021, 2, 5));
  host[1] = 11;
  host[3] = 11;
  // Within the month only the highlight moves: the changed host list is not read yet.
  EXPECT_TRUE(k.Setze_Datum(EncodeDate(2021, 2, 17) + 0.75));
  EXPECT_EQ(k.Markier(), 17);
  EXPECT_FALSE(k.Hervorgehoben(Zelle(k, 2, 5)));
  EXPECT_EQ(Markiert(k), (std::vector<int>{Zelle(k, 2, 10)}));
  EXPECT_EQ(k.Get_Datum(), EncodeDate(2021, 2, 17));
  // Another month is laid out anew.
  EXPECT_TRUE(k.Setze_Datum(EncodeDate(2021, 3, 3)));
  EXPECT_EQ(k.Get_Monat(), 3);
  EXPECT_TRUE(k.Setze_Datum(EncodeDate(2021, 2, 1)));
  EXPECT_EQ(Markiert(k), (std::vector<int>{Zelle(k, 2, 11)}));
  k.NaechsterMonat();
  EXPECT_EQ(k.Get_Datum(), 0.0);
  // The day 31 of a 28-day month and impossible months are no highlight and no month.
  EXPECT_TRUE(k.Init(2021, 2, 31, nullptr));
  EXPECT_EQ(k.Markier(), 0);
  EXPECT_FALSE(k.Init(2021, 13, 1, nullptr));
  EXPECT_FALSE(k.Init(2021, 0, 1, nullptr));
  EXPECT_FALSE(k.Init(1, 1, 1, nullptr));
  EXPECT_EQ(k.Titel(), "Februar 2021");
  // Only the highlight is drawn in display mode.
  k.Setze_Modus(true);
  k.Setze_Datum(EncodeDate(2021, 2, 9));
  EXPECT_FALSE(k.Hervorgehoben(Zelle(k, 2, 9)));
}

TEST(KalenderModel, ClearingAndReadingEntries) {
  const TEintragListe start = Liste({{2, 5, 1, 6, 1}, {6, 10, 2, 12, 2}});
  // Edit mode: clearing the markers removes the shown month's entries only.
  TKalenderModel k = Kalender(2021, 2, true, start.data());
  k.Del_Marker();
  EXPECT_TRUE(Markiert(k).empty());
  EXPECT_EQ(k.Get_Daten(), Liste({{2, 5, 1, 6, 1}}));
  // Display mode: the markers go from view, the entries stay, also through a later conversion.
  TKalenderModel d = Kalender(2021, 2, false, start.data());
  d.Del_Marker();
  EXPECT_TRUE(Markiert(d).empty());
  EXPECT_FALSE(d.Get_Marker(9));
  EXPECT_EQ(d.Get_Daten(), start);
  d.Del_Eintraege();
  EXPECT_EQ(d.Get_Daten(), TEintragListe{});

  // A host list out of order: the April entry between two shown ones stays.
  TKalenderModel u = Kalender(2021, 2, true, Liste({{5, 3, 2, 3, 2}, {14, 5, 4, 5, 4}, {7, 20, 2, 20, 2}}).data());
  Klicke(u, Zelle(u, 2, 10));
  EXPECT_EQ(u.Get_Daten(), Liste({{5, 3, 2, 3, 2}, {6, 10, 2, 10, 2}, {7, 20, 2, 20, 2}, {14, 5, 4, 5, 4}}));

  // Get_Eintraege writes 5 * n bytes, n at most 9, into buffers of exactly that size.
  TKalenderModel g = Kalender(2021, 2, true, start.data());
  std::vector<uint8_t> drei(15, 0xAA);
  EXPECT_FALSE(g.Get_Eintraege(drei.data(), 3));
  EXPECT_EQ(drei, (std::vector<uint8_t>{2, 5, 1, 6, 1, 6, 10, 2, 12, 2, 0, 0, 0, 0, 0}));
  std::vector<uint8_t> alle(45);
  EXPECT_FALSE(g.Get_Eintraege(alle.data(), 20));
  EXPECT_EQ(alle, Heap(start));
  EXPECT_FALSE(g.Get_Eintraege(nullptr, 9));
  EXPECT_FALSE(g.Get_Eintraege(alle.data(), 0));
  // Asking for fewer entries than the list holds refuses, and the list stays whole.
  std::vector<uint8_t> eins(5);
  EXPECT_TRUE(g.Get_Eintraege(eins.data(), 1));
  EXPECT_EQ(g.Get_Daten(), start);
}

TEST(KalenderModel, RandomEditsReadBackTheSame) {
  uint32_t s = 12345;
  auto zufall = [&](int n) {
    s = s * 1103515245u + 12345u;
    return int((s >> 16) % uint32_t(n));
  };
  for (int runde = 0; runde < 400; ++runde) {
    const int j = 1900 + zufall(201), m = 1 + zufall(12);
    SCOPED_TRACE(::testing::Message() << j << "-" << m << " round " << runde);
    TKalenderModel k = Kalender(j, m);
    for (int n = 0; n < 14; ++n) {
      const auto vorher = Markiert(k);
      const TPoint p = zufall(8) == 0 ? WochenFeld(zufall(6)) : Mitte(zufall(42));
      const TKalenderAktion a = k.Klick(p.x, p.y, false);
      if (a.ZuViele) {
        ASSERT_EQ(Markiert(k), vorher);
      }
      ASSERT_LE(k.AnzahlEintraege(), 9);
      ASSERT_EQ(Markiert(Kalender(j, m, true, k.Get_Daten().data())), Markiert(k));
    }
  }
}

TEST(KalenderModel, RandomHostListsStayBoundedAndKept) {
  uint32_t s = 777;
  auto zufall = [&](int n) {
    s = s * 1103515245u + 12345u;
    return int((s >> 16) % uint32_t(n));
  };
  auto eintraege = [](const TEintragListe& l, int n) {
    std::vector<Eintrag> v;
    for (int i = 0; i < n; ++i) {
      Eintrag e;
      std::memcpy(e.data(), l.data() + 5 * i, 5);
      v.push_back(e);
    }
    return v;
  };
  for (int runde = 0; runde < 3000; ++runde) {
    // Mostly plausible bytes, now and then anything.
    std::vector<uint8_t> host(45);
    for (size_t i = 0; i < host.size(); ++i) {
      const int art = zufall(10);
      const size_t feld = i % 5;
      if (art == 0) host[i] = uint8_t(zufall(256));
      else if (feld == 0) host[i] = uint8_t(1 + zufall(53) + (art == 1 ? 0x40 : art == 2 ? 0x80 : 0));
      else if (feld == 2 || feld == 4) host[i] = uint8_t(1 + zufall(12));
      else host[i] = uint8_t(1 + zufall(31));
    }
    const int j = 1990 + zufall(40), m = 1 + zufall(12);
    SCOPED_TRACE(::testing::Message() << j << "-" << m << " round " << runde);
    TKalenderModel k = Kalender(j, m, zufall(2) == 0, host.data());
    const TPoint p = Mitte(zufall(42));
    // A display click may show another month; its mask is the one the conversion uses.
    if (!k.Edit()) k.Klick(p.x, p.y, zufall(2) == 0);
    const int n = k.AnzahlEintraege();
    const uint32_t gezeigt = k.Gezeigt();
    const auto alt = eintraege(k.Get_Daten(), n);
    if (k.Edit()) k.Klick(p.x, p.y, false);
    else if (k.Get_Marker(9)) continue;
    // Entries not drawn in this month are never lost by editing it.
    auto neu = eintraege(k.Get_Daten(), k.AnzahlEintraege());
    for (int i = 0; i < n; ++i) {
      if (gezeigt & (1u << i)) continue;
      const auto it = std::find(neu.begin(), neu.end(), alt[size_t(i)]);
      ASSERT_NE(it, neu.end()) << "entry " << i;
      neu.erase(it);
    }
  }
}

TEST(KalenderModel, Texts) {
  EXPECT_EQ(TKalenderModel::HeuteText(EncodeDate(2026, 12, 8) + 0.5), "   Heute: 08.12.2026");
  EXPECT_EQ(TKalenderModel::HeuteText(EncodeDate(1999, 1, 31)), "   Heute: 31.01.1999");
  EXPECT_EQ(TKalenderModel().Titel(), "");
}
