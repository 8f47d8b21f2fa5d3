// Layout numbers of TTabelle's graph view and print-out, on a text measure whose widths are
// known: every character is as wide as the size in points (one more when bold), a line is
// twice the size high. So each expected width below can be counted by hand.
#include "components/tabelle/tabelle_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace komp::tabelle;

namespace {

class TFesteSchrift : public ITextMass {
 public:
  int aufrufe = 0;
  std::vector<std::pair<std::string, int>> gemessen;  // text and size, when protokoll is on
  bool protokoll = false;
  int Breite(std::string_view text, int groesse, bool fett) override {
    ++aufrufe;
    if (protokoll) gemessen.emplace_back(std::string(text), groesse);
    return int(text.size()) * (groesse + (fett ? 1 : 0));
  }
  int Hoehe(int groesse, bool) override { return 2 * groesse; }
};

// Rows of cells; a row may be shorter than the column count (missing cells read empty).
struct TTabelle {
  std::vector<std::vector<std::string>> zeilen;
  int spalten = 0, sichtbar = 0;
  TDaten Daten() const {
    TDaten d;
    d.zelle = [this](int64_t r, int k) -> std::string_view {
      if (r < 0 || r >= int64_t(zeilen.size()) || k < 0 || k >= int(zeilen[size_t(r)].size())) return {};
      return zeilen[size_t(r)][size_t(k)];
    };
    d.zeilen = int64_t(zeilen.size());
    d.spalten = spalten;
    d.sichtbar = sichtbar;
    return d;
  }
};

// Whole numbers only, in hundredths: enough to drive the bars.
int64_t Wert(std::string_view t) {
  int64_t v = 0;
  for (char c : t)
    if (c >= '0' && c <= '9') v = v * 10 + (c - '0');
  return v * 100;
}

TDaten Leer(int spalten, int sichtbar) {
  TDaten d;
  d.zelle = [](int64_t, int) { return std::string_view(); };
  d.zeilen = 1;
  d.spalten = spalten;
  d.sichtbar = sichtbar;
  return d;
}

}  // namespace

TEST(TabelleLayout, GrafSpalteIsClampedToAShownColumn) {
  struct Fall {
    int wunsch, spalten, sichtbar, erwartet;
  } faelle[] = {
      {2, 5, 5, 2}, {4, 5, 5, 4}, {0, 5, 5, 1},  {5, 5, 5, 1},  {-1, 5, 5, 1},
      {3, 5, 3, 1},  // a hidden data column
      {2, 5, 3, 2}, {3, 3, 9, 1},  // visible count above the column count: the columns decide
      {1, 0, 0, 1}, {1, 1, 1, 1},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(GrafSpalte(f.wunsch, Leer(f.spalten, f.sichtbar)), f.erwartet)
        << f.wunsch << " of " << f.spalten << "/" << f.sichtbar;
}

TEST(TabelleLayout, LinesPerRecordAreTheLongerListAndAtLeastOne) {
  struct Fall {
    int spalten, sichtbar, g, zeilen;
  } faelle[] = {
      {5, 5, 2, 2},  // before 1, after 2
      {5, 5, 4, 3},  // before 3, after 0
      {6, 6, 3, 2}, {2, 2, 1, 1}, {1, 1, 1, 1}, {0, 0, 1, 1},
      {8, 4, 2, 1},  // only the shown columns count
      {4, 4, 0, 2},  // clamped to 1 first
  };
  TFesteSchrift mass;
  for (const Fall& f : faelle) {
    TGrafikVorgaben v;
    v.zeilenHoehe = 13;
    v.breite = 600;
    v.breiteSpalte0 = 50;
    const TGrafikLayout l = GrafikLayout(Leer(f.spalten, f.sichtbar), f.g, v, mass, Wert);
    EXPECT_EQ(l.zeilenProSatz, f.zeilen) << f.spalten << "/" << f.sichtbar << " g " << f.g;
    EXPECT_EQ(l.SatzHoehe(), 13 * f.zeilen);
  }
}

TEST(TabelleLayout, GrafikListsKeyAndBarColumnWidths) {
  // Column 0 key, 1 and 2 before the graph column 3, 4 after it, 5 hidden.
  TTabelle t{{{"Nr", "Ort", "Strasse", "Umsatz", "PLZ", "geheim"},
              {"1", "Bonn", "Am Hof", "12", "53111", "xxxxxxxxxxxxxxxxxxxx"},
              {"1002", "Berlin-Mitte", "", "30", "10115"},
              {"3"}},
             6,
             5};
  TFesteSchrift mass;
  TGrafikVorgaben v;  // 8 points, keys at 16, bold
  v.zeilenHoehe = 10;
  v.breite = 1000;
  v.titelZusatz = 14;
  v.breiteSpalte0 = 77;  // not used: two lines per record
  const TGrafikLayout l = GrafikLayout(t.Daten(), 3, v, mass, Wert);
  EXPECT_EQ(l.g, 3);
  EXPECT_EQ(l.n, 5);
  EXPECT_EQ(l.zeilenProSatz, 2);
  EXPECT_EQ(l.doppelpunkt, 16);
  // Before: titles "Ort" 24, "Strasse" 56; widest value "Berlin-Mitte" 96; 56 + 96 + 16 + 4.
  EXPECT_EQ(l.breiten[1], 172);
  EXPECT_EQ(l.titelVor, (std::vector<int>{32, 0}));
  // After: "PLZ" 24, values 40; the hidden column 5 is no part of it.
  EXPECT_EQ(l.breiten[3], 24 + 40 + 16 + 4);
  EXPECT_EQ(l.titelNach, (std::vector<int>{0}));
  // Key "1002" bold at 16: 4 x 17 = 68; the title "Nr" at 8 with the glyph: 16 + 14.
  EXPECT_EQ(l.breiten[0], 68 + 4);
  // Bar: 1000 - 72 - 172 - 84 - 25.
  EXPECT_EQ(l.breiten[2], 647);
  EXPECT_EQ(l.groessterWert, 3000);
  // 643 pixels for 30.00: 12.00 gets 257.2.
  ASSERT_EQ(l.balken.size(), 4u);
  EXPECT_EQ(l.balken, (std::vector<int32_t>{0, 257, 643, 0}));
}

TEST(TabelleLayout, KeyColumnWithOneLinePerRecord) {
  TTabelle t{{{"Schluessel", "Wert"}, {"A", "5"}, {"Langer Schluessel", "7"}}, 2, 2};
  TFesteSchrift mass;
  TGrafikVorgaben v;
  v.breite = 600;
  v.breiteSpalte0 = 90;  // the screen keeps the normal view's width
  EXPECT_EQ(GrafikLayout(t.Daten(), 1, v, mass, Wert).breiten[0], 90);
  v.breiteSpalte0.reset();  // paper measures the keys at the list size, not bold
  v.luft = 6;
  EXPECT_EQ(GrafikLayout(t.Daten(), 1, v, mass, Wert).breiten[0], 17 * 8 + 6);
  // No lists: both hidden.
  const TGrafikLayout l = GrafikLayout(t.Daten(), 1, v, mass, Wert);
  EXPECT_EQ(l.breiten[1], -1);
  EXPECT_EQ(l.breiten[3], -1);
  EXPECT_TRUE(l.titelVor.empty());
  EXPECT_TRUE(l.titelNach.empty());
}

TEST(TabelleLayout, BarWidthAndLengthsAtTheEdges) {
  const int64_t riesig = std::numeric_limits<int64_t>::max();
  struct Fall {
    const char* name;
    int breite;
    std::vector<int64_t> werte;  // per data row
    std::optional<int> ohneWert;
    int balkenBreite;
    std::vector<int32_t> balken;  // per data row
  } faelle[] = {
      // 300 - 50 - 25 = 225 is above a third: 221 pixels for the largest.
      {"normal", 300, {100, 50, 0}, std::nullopt, 225, {221, 111, 0}},
      // What is left is below a third of the width: the third.
      {"third", 105, {4, 2}, std::nullopt, 35, {31, 16}},
      // Bar widths of 4 and less leave no room: a positive value still gets a pixel.
      {"narrow 4", 12, {9, 1}, std::nullopt, 4, {1, 1}},
      {"narrow 0", 2, {9, 0}, std::nullopt, 0, {1, 0}},
      // A tiny value beside a huge one is not rounded away.
      {"tiny", 300, {1000000, 1}, std::nullopt, 225, {221, 1}},
      {"saturated", 300, {riesig, riesig / 2, 1}, std::nullopt, 225, {221, 111, 1}},
      // Nothing above 0: no bars, and the bar column takes the graph column's width.
      {"zero", 300, {0, 0}, 64, 64, {0, 0}},
      {"empty", 300, {}, 64, 64, {}},
      {"zero on paper", 300, {0}, std::nullopt, 225, {0}},
  };
  for (const Fall& f : faelle) {
    TTabelle t{{{"K", "W"}}, 2, 2};
    for (int64_t w : f.werte) t.zeilen.push_back({"k", std::to_string(w)});
    TFesteSchrift mass;
    TGrafikVorgaben v;
    v.breite = f.breite;
    v.breiteSpalte0 = 50;
    v.breiteOhneWert = f.ohneWert;
    const TGrafikLayout l = GrafikLayout(t.Daten(), 1, v, mass, [](std::string_view s) {
      int64_t z = 0;
      for (char c : s) z = z * 10 + (c - '0');  // no overflow: the values are int64 texts
      return z;
    });
    EXPECT_EQ(l.breiten[2], f.balkenBreite) << f.name;
    std::vector<int32_t> balken(f.balken.size());
    for (size_t i = 0; i < balken.size(); ++i) balken[i] = l.Balken(int64_t(i) + 1);
    EXPECT_EQ(balken, f.balken) << f.name;
    EXPECT_EQ(l.Balken(0), 0) << f.name;
    EXPECT_EQ(l.Balken(-1), 0) << f.name;
    EXPECT_EQ(l.Balken(int64_t(f.werte.size()) + 5), 0) << f.name;
  }
}

TEST(TabelleLayout, LaterSizesMeasureOnlyTheWidestCellsFound) {
  TTabelle t{{{"K", "A", "G", "B"}}, 4, 4};
  for (int i = 0; i < 200; ++i)
    t.zeilen.push_back({std::string(size_t(i % 7 + 1), 'k'), std::string(size_t(i % 11 + 1), 'a'), "5",
                        std::string(size_t(i % 5 + 1), 'b')});
  TFesteSchrift mass;
  TGrafikKandidaten kand;
  TGrafikVorgaben v;
  v.breite = 2000;
  v.mitBalken = false;
  const TGrafikLayout erste = GrafikLayout(t.Daten(), 2, v, mass, Wert, &kand);
  EXPECT_TRUE(kand.gemessen);
  EXPECT_GT(mass.aufrufe, 600);
  mass.aufrufe = 0;
  mass.protokoll = true;
  v.schrift = 10;
  v.schluesselSchrift = 20;
  const TGrafikLayout zweite = GrafikLayout(t.Daten(), 2, v, mass, Wert, &kand);
  // ": ", titles A and B and K, and the three widest cells.
  EXPECT_EQ(mass.aufrufe, 7);
  EXPECT_EQ(erste.breiten[1], 8 + 11 * 8 + 16 + 4);
  EXPECT_EQ(zweite.breiten[1], 10 + 11 * 10 + 20 + 4);
  EXPECT_EQ(zweite.breiten[3], 10 + 5 * 10 + 20 + 4);
  EXPECT_EQ(zweite.breiten[0], 7 * 10 + 4);  // one line per record: not bold
  EXPECT_TRUE(zweite.balken.empty());
}

TEST(TabelleLayout, FontChoiceGrowsSwitchesAndNeverCutsColumns) {
  // The table needs `je` pixels per point; a page of `hoch` (portrait) or `quer` pixels.
  struct Fall {
    const char* name;
    int eigene, je, hoch, quer;
    int groesse;
    bool querGewaehlt, abgelehnt;
  } faelle[] = {
      {"grows to 17", 10, 10, 1000, 1400, 17, false, false},
      {"grows while it fits", 10, 10, 125, 1400, 12, false, false},
      {"fits exactly is too wide", 10, 10, 120, 1400, 11, false, false},
      {"own size 17 stays", 17, 10, 1000, 1400, 17, false, false},
      {"above 17 stays", 20, 10, 1000, 1400, 20, false, false},
      {"landscape, then grows", 10, 10, 90, 145, 14, true, false},
      {"landscape at a large size", 20, 10, 150, 205, 20, true, false},
      {"own 8 too wide: refused", 8, 10, 50, 70, 8, true, true},
      {"back to 8, then grows", 12, 10, 50, 101, 10, true, false},
      {"7 when 8 is too wide", 12, 10, 50, 75, 7, true, false},
      {"not even 7: refused", 12, 10, 50, 70, 12, true, true},
      {"below 8 never enlarged", 6, 10, 50, 60, 6, true, true},
      {"7 own, too wide: refused", 7, 10, 50, 65, 7, true, true},
  };
  for (const Fall& f : faelle) {
    const TSchriftWahl w = WaehleSchrift(f.eigene, f.hoch, f.quer,
                                         [&](int groesse, int breite) { return groesse * f.je < breite; });
    EXPECT_EQ(w.abgelehnt, f.abgelehnt) << f.name;
    if (!f.abgelehnt) {
      EXPECT_EQ(w.groesse, f.groesse) << f.name;
    }
    EXPECT_EQ(w.quer, f.querGewaehlt) << f.name;
  }
}

TEST(TabelleLayout, FontChoiceTriesSizesInOrder) {
  std::vector<std::pair<int, int>> versuche;
  const TSchriftWahl w = WaehleSchrift(12, 100, 200, [&](int groesse, int breite) {
    versuche.emplace_back(groesse, breite);
    return groesse * 20 < breite;
  });
  EXPECT_EQ(w.groesse, 9);
  EXPECT_EQ(versuche, (std::vector<std::pair<int, int>>{{12, 100}, {12, 200}, {8, 200}, {9, 200}, {10, 200}}));
}

TEST(TabelleLayout, PagesAndFoot) {
  struct Fall {
    int64_t saetze, erste, folge, seiten;
    std::vector<std::pair<int64_t, int64_t>> bereiche;  // first record and count per page
  } faelle[] = {
      {0, 10, 12, 1, {{0, 0}}},
      {1, 10, 12, 1, {{0, 1}}},
      {10, 10, 12, 1, {{0, 10}}},
      {11, 10, 12, 2, {{0, 10}, {10, 1}}},
      {22, 10, 12, 2, {{0, 10}, {10, 12}}},
      {23, 10, 12, 3, {{0, 10}, {10, 12}, {22, 1}}},
      {3, 1, 1, 3, {{0, 1}, {1, 1}, {2, 1}}},
      {1000000000000, 1, 1, 1000000000000, {{0, 1}, {1, 1}}},
  };
  for (const Fall& f : faelle) {
    TSeiten s{f.saetze, f.erste, f.folge};
    EXPECT_EQ(s.Anzahl(), f.seiten) << f.saetze;
    int64_t summe = 0;
    for (size_t p = 0; p < f.bereiche.size(); ++p) {
      EXPECT_EQ(s.Erster(int64_t(p)), f.bereiche[p].first) << f.saetze << " page " << p;
      EXPECT_EQ(s.AufSeite(int64_t(p)), f.bereiche[p].second) << f.saetze << " page " << p;
      summe += s.AufSeite(int64_t(p));
    }
    if (int64_t(f.bereiche.size()) == f.seiten) {
      EXPECT_EQ(summe, f.saetze);
    }
    EXPECT_EQ(s.AufSeite(f.seiten), 0);
  }
  EXPECT_EQ(SeitenFuss(1, 1), "");
  EXPECT_EQ(SeitenFuss(1, 2), "Seite 1 von 2 Seiten");
  EXPECT_EQ(SeitenFuss(2, 5), "Seite 2 von 5 Seiten");
}

TEST(TabelleLayout, PrintLayoutLinesAndPages) {
  // Two shown columns of three. Widest cells: "Bertha-Maria" (12 characters) and the bold
  // title "Wert" (4 x (s + 1)): 4 m + 13 s + (4 s + 4 + s) = 22 s + 4 must stay below 300.
  TTabelle t{{{"Name", "Wert", "Geheimnis mit sehr langem Text"}, {"Anton", "12"}, {"Bertha-Maria", "7,5"}}, 3, 2};
  TFesteSchrift mass;
  struct Fall {
    const char* name;
    TSeitenMasse seite;
    int eigene;
    bool quer;
    int erste, folge;
  } faelle[] = {
      {"portrait", {300, 520, 420, 400}, 10, false, 15, 17},
      {"landscape page height", {200, 520, 300, 390}, 10, true, 10, 12},
      {"tiny page: a row per page", {300, 30, 300, 30}, 13, false, 1, 1},
  };
  for (const Fall& f : faelle) {
    const TDruckLayout l = DruckLayout(t.Daten(), f.eigene, f.seite, mass);
    ASSERT_FALSE(l.schrift.abgelehnt) << f.name;
    EXPECT_EQ(l.schrift.groesse, 13) << f.name;
    EXPECT_EQ(l.schrift.quer, f.quer) << f.name;
    EXPECT_EQ(l.spalten, (std::vector<int>{12 * 13 + 13, 4 * 14 + 13})) << f.name;
    EXPECT_EQ(l.zeilenHoehe, 26) << f.name;  // from the font, not from a cell
    EXPECT_EQ(l.zeilenErste, f.erste) << f.name;
    EXPECT_EQ(l.zeilenFolge, f.folge) << f.name;
  }
  // Narrow cells still take 10 pixels.
  TTabelle schmal{{{"", "i"}}, 2, 2};
  EXPECT_EQ(DruckLayout(schmal.Daten(), 8, {1000, 1000, 1400, 700}, mass).spalten,
            (std::vector<int>{10 + 17, 18 + 17}));
}

TEST(TabelleLayout, PrintMeasuresEveryCellOnceThenTheWidest) {
  TTabelle t{{{"A", "B", "C"}}, 3, 3};
  for (int i = 0; i < 500; ++i)
    t.zeilen.push_back({std::to_string(i), std::string(size_t(i % 13), 'x'), i == 250 ? "lang lang lang" : "k"});
  TFesteSchrift mass;
  TDaten d = t.Daten();
  TSpaltenMessung messung(d, mass);
  EXPECT_EQ(messung.Breiten(8), (std::vector<int>{3 * 8 + 8, 12 * 8 + 8, 14 * 8 + 8}));
  EXPECT_GT(mass.aufrufe, 1400);
  mass.aufrufe = 0;
  mass.protokoll = true;
  EXPECT_EQ(messung.Breiten(11), (std::vector<int>{3 * 11 + 11, 12 * 11 + 11, 14 * 11 + 11}));
  EXPECT_EQ(mass.aufrufe, 4);  // "m" and one cell per column
  EXPECT_EQ(mass.gemessen[3], (std::pair<std::string, int>{"lang lang lang", 11}));
  EXPECT_EQ(messung.Bedarf(11), 4 * 11 + 44 + 143 + 165);
}
