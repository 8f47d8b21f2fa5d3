// TIconTab's rows: grouping, inserting and deleting, emptying, the current row, row kinds,
// the record-count hint, the sort mark, decimal texts and the new-record row.
#include <gtest/gtest.h>

#include <QPointer>
#include <string>
#include <vector>

#include "tests/icontab/tafel.h"

using namespace komp;
using namespace komp::icontab_test;

namespace {

const Zeilen kOrte = {
    {"Ort", "Name", "Betrag", "Notiz"},
    {"Bonn", "Arndt", "1", "a"},
    {"Bonn", "Arndt", "2", "b"},
    {"Bonn", "Berg", "3", "c"},
    {"K\xF6ln", "Berg", "4", "d"},
};

}  // namespace

// ---------------------------------------------------------------- grouping

TEST(IconTabZeilen, GroupDepthFollowsTheData) {
  Tafel k;
  k.t->Group = true;
  k.Fuellen(kOrte);
  // Ort and Name repeat; the numeric Betrag ends the group.
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 1, 0}));
  k.t->SetCell(2, 0, "Essen");
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 0, 0, 0}));
  k.t->SetCell(2, 0, "Bonn");
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 1, 0}));
  k.t->SetCell(3, 0, "");
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 0, 0}));
  k.t->SetCell(3, 0, "Bonn");

  TStringList l;
  for (const char* s : {"Bonn", "Arndt", "9", "z"}) l.Add(s);
  EXPECT_EQ(k.t->InsertRow(2, &l), 3);
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 2, 1, 0}));
  l.Clear();
  for (const char* s : {"K\xF6ln", "Berg", "9", "z"}) l.Add(s);
  k.t->InsertRow(4, &l);  // the row after it no longer repeats its neighbour
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 2, 0, 0, 0}));

  k.t->DeleteRow(1);  // the new first data row groups nothing
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 0, 0, 0}));
  k.t->DeleteRow(3);  // Bonn Berg now follows Bonn Arndt
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 1, 0}));
  k.t->DeleteRow(2);
  EXPECT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 1, 0}));
}

TEST(IconTabZeilen, ColumnTurningTextRegroupsRowsWrittenBefore) {
  // Ort, Nummer, Name: the middle column is numeric until "abc" arrives in the last row.
  const Zeilen z = {{"Ort", "Nr", "Name", "x"}, {"Bonn", "1", "A", "a"}, {"Bonn", "1", "A", "b"}, {"K\xF6ln", "abc", "B", "c"}};
  Tafel vorher, nachher;
  for (Tafel* k : {&vorher, &nachher}) k->t->Group = true;
  nachher.Fuellen(z);
  // The same rows with the text first: the column is text from the start.
  Zeilen umgekehrt = {z[0], z[3], z[1], z[2]};
  vorher.Fuellen(umgekehrt);
  EXPECT_EQ(vorher.Tiefen(), (std::vector<int>{0, 0, 0, 3}));
  EXPECT_EQ(nachher.Tiefen(), (std::vector<int>{0, 0, 3, 0}));
}

TEST(IconTabZeilen, RowAfterACaptionRowGroupsNothingWhateverTheOrder) {
  for (bool artZuerst : {true, false}) {
    SCOPED_TRACE(artZuerst ? "kind first" : "kind last");
    Tafel k;
    k.t->Group = true;
    k.t->SetTabelle(4, 2);
    if (artZuerst) k.t->SetRowArt(2, 1);
    for (unsigned r = 1; r < 4; ++r) {
      k.t->SetCell(r, 0, "Bonn");
      k.t->SetCell(r, 1, std::to_string(r));
    }
    if (!artZuerst) k.t->SetRowArt(2, 1);
    EXPECT_EQ(k.t->GetZeile(3)->Group, 0);
  }
}

// ---------------------------------------------------------------- rows

TEST(IconTabZeilen, InsertRowReturnsThePlaceAfterTheNewRows) {
  struct Fall {
    bool neu;
    int row, count, ergebnis, zeilen;
  };
  const Fall faelle[] = {
      {false, 2, 1, 3, 5},   {false, -1, 1, 5, 5},  {false, -1, 3, 7, 7}, {false, 4, 1, 5, 5},
      {false, 5, 1, -1, 4},  {false, 1, 0, -1, 4},  {false, -2, 1, -1, 4},
      {true, -1, 1, 5, 6},   {true, -1, 2, 6, 7},   {true, 5, 1, 6, 6},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::to_string(f.row) + " x " + std::to_string(f.count) + (f.neu ? " neu" : ""));
    Tafel k;
    k.t->NeuerDatensatz = f.neu;
    k.Fuellen({{"T", "U"}, {"a", "1"}, {"b", "2"}, {"c", "3"}});
    const int vorher = k.t->GetRowCount(true);
    TStringList l;
    l.Add("neu");
    l.Add("9");
    EXPECT_EQ(k.t->InsertRow(f.row, &l, f.count), f.ergebnis);
    EXPECT_EQ(k.t->GetRowCount(true), f.zeilen);
    EXPECT_EQ(k.Tab().TotalHeight, f.zeilen * 18);
    if (f.ergebnis < 0) continue;
    const int erste = f.ergebnis - f.count;
    EXPECT_EQ(k.t->GetCell(0, erste), "neu");
    EXPECT_EQ(k.t->GetCell(1, erste), "9");
    if (f.count > 1) {
      EXPECT_EQ(k.t->GetCell(0, erste + 1), "");
    }
    if (f.neu && f.row == -1) {
      // Before the new-record row, which stays last and empty.
      EXPECT_EQ(erste, vorher - 1);
      EXPECT_EQ(f.ergebnis, f.zeilen - 1);
      EXPECT_EQ(k.t->GetCell(0, f.ergebnis), "");
    }
  }
}

TEST(IconTabZeilen, DeleteRowKeepsTheCurrentRowOnItsRecord) {
  Tafel k;
  k.Fuellen({{"T"}, {"r1"}, {"r2"}, {"r3"}, {"r4"}, {"r5"}});
  auto aktuell = [&] { return k.t->GetRow() < 0 ? std::string("-") : k.t->GetCell(0, k.t->GetRow()); };
  k.t->SetRow(3);
  k.t->DeleteRow(1);
  EXPECT_EQ(k.t->GetRow(), 2);
  EXPECT_EQ(aktuell(), "r3");
  k.t->DeleteRow(4);  // below: nothing moves
  EXPECT_EQ(aktuell(), "r3");
  k.t->DeleteRow(2);  // the current record itself: its successor takes its place
  EXPECT_EQ(aktuell(), "r4");
  k.t->DeleteRow(2);  // the last one: the row above
  EXPECT_EQ(aktuell(), "r2");
  k.t->DeleteRow(1);
  EXPECT_EQ(k.t->GetRow(), -1);
  EXPECT_EQ(k.t->GetRowCount(true), 1);
  EXPECT_EQ(k.t->Hint(), "0 Datens\xE4tze in der Tabelle");
  k.t->DeleteRow(1);  // out of range
  EXPECT_EQ(k.t->GetRowCount(true), 1);

  // Inserting and deleting the same row leaves the height as it was, multi-line or not.
  k.Fuellen({{"T"}, {"r1"}, {"r2"}});
  const int64_t hoehe = k.Tab().TotalHeight;
  TStringList l;
  l.Add("eins\r\nzwei");
  k.t->InsertRow(2, &l);
  EXPECT_GT(k.Tab().TotalHeight, hoehe + 18);
  k.t->DeleteRow(2);
  EXPECT_EQ(k.Tab().TotalHeight, hoehe);
  EXPECT_EQ(k.Spalte(0), (std::vector<std::string>{"T", "r1", "r2"}));
}

TEST(IconTabZeilen, ClearKeepsTheTitleRows) {
  struct Fall {
    int fixed;
    bool neu, alles;
    int aktuell, zeilen, nachher;
  };
  const Fall faelle[] = {
      {1, false, false, 3, 1, -1}, {1, true, false, 3, 2, 1},  {1, true, false, -1, 2, -1},
      {2, true, false, 3, 3, -1},  {2, false, true, 3, 0, -1}, {1, true, true, 3, 0, -1},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::to_string(f.fixed) + (f.neu ? " neu" : "") + (f.alles ? " alles" : ""));
    Tafel k;
    k.t->StdFixedRows = f.fixed;
    k.t->NeuerDatensatz = f.neu;
    k.Fuellen({{"Kopf", "K2"}, {"Titel", "T2"}, {"a", "1"}, {"b", "2"}, {"c", "3"}});
    if (f.aktuell >= 0) k.t->SetRow(f.aktuell);
    k.t->Clear(f.alles);
    EXPECT_EQ(k.t->GetRowCount(true), f.zeilen);
    EXPECT_EQ(k.Tab().TotalHeight, f.zeilen * 18);
    EXPECT_EQ(k.t->GetRow(), f.nachher);
    EXPECT_EQ(k.t->Hint(), "0 Datens\xE4tze in der Tabelle");
    const TStringList l = k.t->GetStrings();
    EXPECT_EQ(l.Count(), f.alles ? 0 : 2 * f.fixed);
    if (!f.alles) {
      EXPECT_EQ(k.t->GetCell(1, 0), "K2");
      EXPECT_EQ(k.t->GetCell(0, f.fixed - 1), f.fixed == 2 ? "Titel" : "Kopf");
      EXPECT_EQ(k.t->GetCell(0, f.fixed), "");
    }
  }
  // A title of two lines keeps its height: its text stays.
  Tafel k;
  k.t->NeuerDatensatz = true;
  k.Fuellen({{"Zeile 1\rZeile 2"}, {"a"}});
  const int hoehe = k.t->GetZeile(0)->Height;
  ASSERT_GT(hoehe, 18);
  k.t->Clear(false);
  EXPECT_EQ(k.t->GetZeile(0)->Height, hoehe);
  EXPECT_EQ(k.t->GetZeile(0)->Lines, 2);
  EXPECT_EQ(k.Tab().TotalHeight, hoehe + 18);
}

TEST(IconTabZeilen, CurrentRowSetRowNextRowAndRowKinds) {
  Tafel k;
  k.Fuellen({{"T"}, {"r1"}, {"r2"}, {"r3"}, {"r4"}, {"r5"}});
  k.t->SetRowArt(2, 1);
  k.t->SetRowArt(4, 2);
  struct Fall {
    int aktuell;
    bool hoch;
    unsigned skip;
    int ergebnis;
  };
  const Fall faelle[] = {
      {1, false, 0, 3}, {1, false, 1, 3}, {1, false, 2, 5}, {1, false, 4, 1}, {3, true, 0, 1},
      {5, false, 0, 5}, {1, true, 0, 1},  {-1, false, 0, 1}, {3, false, 0, 5},
  };
  for (const Fall& f : faelle) {
    k.t->ChangeRow(f.aktuell, nullptr);
    EXPECT_EQ(k.t->NextRow(f.hoch, f.skip), f.ergebnis) << f.aktuell << (f.hoch ? " up " : " down ") << f.skip;
  }
  // -2 hides the selection, -1 shows it again without a row; rows are raised to the data rows.
  k.t->SetRow(3);
  k.t->SetRow(-2);
  EXPECT_EQ(k.t->GetRow(), -2);
  EXPECT_FALSE(k.t->IfSelected());
  EXPECT_EQ(k.t->GetCell(0, -1), "");
  EXPECT_EQ(k.t->GetCell(0, 3), "r3");
  k.t->SetRow(-1);
  EXPECT_EQ(k.t->GetRow(), -1);
  k.t->SetRow(0);
  EXPECT_EQ(k.t->GetRow(), 1);
  EXPECT_TRUE(k.t->IfSelected());
  k.t->SetRow(99);
  EXPECT_EQ(k.t->GetRow(), 1);
  EXPECT_EQ(k.t->GetCell(0, -1), "r1");
  // A row of another kind stops being the current row.
  k.t->SetRowArt(1, 2);
  EXPECT_EQ(k.t->GetRow(), -1);
}

TEST(IconTabZeilen, RowKindsSetTheRowHeight) {
  struct Fall {
    RowArt art;
    bool text;
    int hoehe;  // -1: a 16-point bold line
  };
  const Fall faelle[] = {{1, false, 9}, {3, false, 9}, {1, true, -1}, {2, true, 18}, {0, true, 18}};
  for (const Fall& f : faelle) {
    Tafel k;
    k.t->SetTabelle(3, 2);
    if (f.text) k.t->SetCell(1, 0, "Abschnitt");
    const int64_t vorher = k.Tab().TotalHeight;
    k.t->SetRowArt(1, f.art);
    const int soll = f.hoehe < 0 ? Hoehe(*k.t, 16, true) : f.hoehe;
    EXPECT_EQ(k.t->GetZeile(1)->Height, soll) << int(f.art) << f.text;
    EXPECT_EQ(k.Tab().TotalHeight, vorher - 18 + soll);
    k.t->SetRowArt(1, 0);
    EXPECT_EQ(k.Tab().TotalHeight, vorher);
  }
}

TEST(IconTabZeilen, RecordCountHintSumsTheTabs) {
  Tafel k;
  k.Fuellen({{"T"}, {"a"}});
  EXPECT_EQ(k.t->Hint(), "1 Datensatz in der Tabelle");
  k.Fuellen({{"T"}, {"a"}, {"b"}}, 1);
  EXPECT_EQ(k.t->Hint(), "3 Datens\xE4tze in der Tabelle");
  k.t->InsertRow(-1);  // counts the selected tab only
  EXPECT_EQ(k.t->Hint(), "3 Datens\xE4tze in der Tabelle");
  k.t->DeleteRow(1);
  EXPECT_EQ(k.t->Hint(), "2 Datens\xE4tze in der Tabelle");
}

TEST(IconTabZeilen, SortMarkAndDecimalTexts) {
  Tafel k;
  struct Sort {
    char in;
    int spalte;
    bool ab;
  };
  for (const Sort& s : {Sort{char(0x85), 5, true}, Sort{3, 3, false}, Sort{char(0xFF), 127, true}, Sort{0, 0, false}}) {
    k.t->WSort_Spalte(s.in);
    EXPECT_EQ(k.t->SortColumn(), s.spalte);
    EXPECT_EQ(k.t->SortDescending(), s.ab);
    EXPECT_EQ(k.t->FSort_Spalte(), s.in);
  }
  // A sort column beyond the new tab's columns returns to 0.
  k.t->WSort_Spalte(5);
  k.t->SetTabelle(2, 3);
  EXPECT_EQ(k.t->SortColumn(), 0);

  struct Zahl {
    const char* text;
    int64_t wert;
  };
  const Zahl zahlen[] = {
      {"12,5", 1250},  {"3", 300},           {"-7", 700},     {"1.234,56", 123},   {"0,05", 5},
      {"12.345.678", 1234}, {"", 0},         {"abc", 0},      {"7,999", 799},      {"1 000", 100000},
      {"9999999999999999", 999999999999999900}, {"99999999999999999999999", 999999999999999900},
  };
  for (const Zahl& z : zahlen) EXPECT_EQ(TIconTab::Str_in_Zahl(z.text), z.wert) << z.text;
}

// ---------------------------------------------------------------- the new-record row

TEST(IconTabZeilen, TextInTheNewRecordRowAppendsAnother) {
  Tafel k;
  k.t->NeuerDatensatz = true;
  k.Fuellen({{"T", "U"}, {"a", "1"}, {"b", "2"}});
  ASSERT_EQ(k.t->GetRowCount(true), 4);
  EXPECT_EQ(k.t->Hint(), "2 Datens\xE4tze in der Tabelle");
  k.t->SetRow(2);
  k.t->SetCell(3, 1, "");  // no text, no new row
  EXPECT_EQ(k.t->GetRowCount(true), 4);
  k.t->SetCell(3, 1, "neu");
  EXPECT_EQ(k.t->GetRowCount(true), 5);
  EXPECT_EQ(k.t->GetRow(), 2);
  EXPECT_EQ(k.t->GetCell(1, 3), "neu");
  EXPECT_EQ(k.t->GetCell(1, 4), "");
  EXPECT_EQ(k.Tab().TotalHeight, 5 * 18);
  EXPECT_EQ(k.t->Hint(), "3 Datens\xE4tze in der Tabelle");
}

TEST(IconTabZeilen, NewRowHandlerMayRefuseOrRemoveTheRowTheTabOrTheControl) {
  enum Was { Zulassen, Ablehnen, Nochmal, ZeileWeg, TabsWeg, ControlWeg };
  struct Fall {
    Was was;
    int zeilen;  // afterwards; -1: no tab
  };
  const Fall faelle[] = {{Zulassen, 5}, {Ablehnen, 4}, {Nochmal, 5}, {ZeileWeg, 3}, {TabsWeg, -1}, {ControlWeg, -1}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(int(f.was));
    Tafel k;
    k.t->NeuerDatensatz = true;
    k.Fuellen({{"T", "U"}, {"a", "1"}, {"b", "2"}});
    QPointer<TIconTab> p(k.t);
    int aufrufe = 0, zeile = -1, tab = -1;
    k.t->OnNewRow = [&](TObject*, int row, bool& enabled, int tabelle) {
      ++aufrufe;
      zeile = row;
      tab = tabelle;
      EXPECT_TRUE(p->Updating());
      switch (f.was) {
        case Ablehnen: enabled = false; break;
        case Nochmal: p->SetCell(unsigned(row), 0, "zweiter Text"); break;
        case ZeileWeg: p->DeleteRow(row); break;
        case TabsWeg: p->ClearTabs(); break;
        case ControlWeg: delete p.data(); break;
        default: break;
      }
    };
    k.t->SetCell(3, 1, "neu");
    EXPECT_EQ(aufrufe, 1);
    EXPECT_EQ(zeile, 3);
    EXPECT_EQ(tab, 0);
    if (f.was == ControlWeg) {
      EXPECT_TRUE(p.isNull());
      continue;
    }
    ASSERT_FALSE(p.isNull());
    EXPECT_FALSE(k.t->Updating());
    EXPECT_EQ(f.zeilen < 0 ? -1 : k.t->GetRowCount(true), f.zeilen);
  }
}
