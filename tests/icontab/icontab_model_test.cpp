// TIconTab's model: tabs, cells, widths, numeric flags and lazy cells, driven through the
// control's API as a host fills and reads it.
#include <gtest/gtest.h>

#include <QPointer>
#include <climits>
#include <string>
#include <vector>

#include "tests/icontab/tafel.h"

using namespace komp;
using namespace komp::icontab_test;

namespace {
const char kSpeicher[] = "Zeilen konnten nicht eingef\xFCgt werden,\nzu wenig oder zu fragmentierter Speicher!";
}  // namespace

// ---------------------------------------------------------------- tabs

TEST(IconTabModell, SetTabelleRowsColumnsCurrentRowAndHint) {
  struct Fall {
    unsigned rows, cols;
    int maxCols;
    bool neu, autoSelect;
    int zeilen, gezeigt, aktuell;
    const char* hint;
  };
  const Fall faelle[] = {
      {5, 3, 0, false, false, 5, 3, -1, "4 Datens\xE4tze in der Tabelle"},
      {5, 3, 2, false, false, 5, 2, -1, "4 Datens\xE4tze in der Tabelle"},
      {2, 3, 5, false, false, 2, 3, -1, "1 Datensatz in der Tabelle"},
      {0, 2, 0, false, false, 2, 2, -1, "1 Datensatz in der Tabelle"},
      {0, 2, 0, true, false, 2, 2, -1, "0 Datens\xE4tze in der Tabelle"},
      {5, 2, 0, true, false, 6, 2, -1, "4 Datens\xE4tze in der Tabelle"},
      {5, 2, 0, false, true, 5, 2, 1, "4 Datens\xE4tze in der Tabelle"},
      {1, 2, 0, false, true, 1, 2, -1, "0 Datens\xE4tze in der Tabelle"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::to_string(f.rows) + " x " + std::to_string(f.cols) + (f.neu ? " neu" : "") +
                 (f.autoSelect ? " auto" : ""));
    Tafel k;
    k.t->NeuerDatensatz = f.neu;
    k.t->AutoSelect = f.autoSelect;
    k.t->SetTabelle(f.rows, f.cols, f.maxCols);
    EXPECT_TRUE(k.t->Updating());
    EXPECT_EQ(k.t->GetRowCount(true), f.zeilen);
    EXPECT_EQ(k.t->GetColCount(), f.gezeigt);
    EXPECT_EQ(k.t->GetRealColCount(), int(f.cols));
    EXPECT_EQ(k.t->GetFixedRows(), 1);
    EXPECT_EQ(k.Tab().TotalHeight, f.zeilen * 18);
    EXPECT_EQ(k.t->GetRow(), f.aktuell);
    k.t->FEndUpdate(false);
    EXPECT_EQ(k.t->Hint(), f.hint);
  }
}

TEST(IconTabModell, CountsTooLargeAreRefusedWithTheMessage) {
  struct Fall {
    unsigned rows, cols;
  };
  for (const Fall& f : {Fall{0xFFFFFFFFu, 2}, Fall{unsigned(INT_MAX), 1}, Fall{3, 0xFFFFFFFFu}}) {
    Tafel k;
    k.t->SetTabelle(f.rows, f.cols);
    ASSERT_EQ(k.dienste.boxes.calls.size(), 1u) << f.rows << " x " << f.cols;
    EXPECT_EQ(k.dienste.boxes.calls[0].text, kSpeicher);
    EXPECT_EQ(k.dienste.boxes.calls[0].caption, "Fehler");
    EXPECT_EQ(k.t->GetRowCount(true), 0);
    k.t->SetCell(0, 0, "x");
    EXPECT_EQ(k.t->GetStrings().Count(), 0);
  }
  Tafel k;
  k.t->SetTabelle(3, 2);
  EXPECT_EQ(k.t->InsertRow(-1, nullptr, INT_MAX - 2), -1);
  ASSERT_EQ(k.dienste.boxes.calls.size(), 1u);
  EXPECT_EQ(k.dienste.boxes.calls[0].text, kSpeicher);
  EXPECT_EQ(k.t->GetRowCount(true), 3);
}

TEST(IconTabModell, TabsAreCreatedInOrderAndRenumberedWhenOneGoes) {
  Tafel k;
  k.Fuellen({{"A"}, {"a"}}, 0);
  EXPECT_EQ(k.t->GetTabelle(2, true), nullptr);  // only the next number is created
  EXPECT_EQ(k.t->TabCount(), 1);
  k.Fuellen({{"B"}, {"b"}}, 1);
  k.Fuellen({{"C"}, {"c"}}, 2);
  EXPECT_EQ(k.t->GetSelectTab(), 2);
  EXPECT_EQ(k.t->GetClickTab(), 2);

  k.t->ClearTabs(1);
  ASSERT_EQ(k.t->TabCount(), 2);
  EXPECT_EQ(k.t->GetCell(0, 0, 1), "C");
  EXPECT_EQ(k.Tab(1).Nummer, 1);
  EXPECT_EQ(k.t->GetSelectTab(), 1);
  k.t->SetTabelle(1, 1, 0, 2);  // the next free number is 2 again
  EXPECT_EQ(k.t->TabCount(), 3);
  k.t->ClearTabs(7);
  EXPECT_EQ(k.t->TabCount(), 3);
  k.t->ClearTabs();
  EXPECT_EQ(k.t->TabCount(), 0);
  EXPECT_EQ(k.t->GetSelectTab(), -1);
  EXPECT_EQ(k.t->GetClickTab(), -1);
  EXPECT_EQ(k.t->GetCell(0, 0), "");
}

TEST(IconTabModell, SelectingATabClearsCurrentRowsUnlessMultitabselect) {
  for (bool multi : {false, true}) {
    SCOPED_TRACE(multi ? "Multitabselect" : "single");
    Tafel k;
    k.t->Multitabselect = multi;
    k.Fuellen({{"A"}, {"a1"}, {"a2"}}, 0);
    k.Fuellen({{"B"}, {"b1"}, {"b2"}}, 1);
    k.t->ChangeRow(2, k.t->GetTabelle(0));
    k.t->ChangeRow(1, k.t->GetTabelle(1));
    EXPECT_EQ(k.Tab(0).CurrentRow, multi ? 2 : -1);
    k.t->SetSelectTab(0);
    EXPECT_EQ(k.Tab(0).CurrentRow, -1);
    EXPECT_EQ(k.Tab(1).CurrentRow, multi ? 1 : -1);
    // Without a row the clicked tab is read, with one the selected tab.
    k.t->ChangeRow(2, k.t->GetTabelle(1));
    EXPECT_EQ(k.t->GetCell(0, -1), "b2");
    EXPECT_EQ(k.t->GetCell(0, 1), "a1");
    k.t->SetSelectTab(5);
    EXPECT_EQ(k.t->GetSelectTab(), -1);
  }
}

// ---------------------------------------------------------------- cells

TEST(IconTabModell, SetCellOutsideTheTabChangesNothingAndGetCellTakesColumnFirst) {
  Tafel k;
  k.t->SetTabelle(3, 2);
  k.t->SetCell(2, 1, "x", clRed);
  EXPECT_EQ(k.t->GetCell(1, 2), "x");
  EXPECT_EQ(k.t->GetCell(2, 1), "");
  EXPECT_EQ(k.t->GetZeile(2)->Color, clRed);
  const int64_t hoehe = k.Tab().TotalHeight;
  k.t->SetCell(3, 0, "zeile\rzu weit", clBlue);
  k.t->SetCell(0, 2, "spalte zu weit");
  k.t->SetCell(0, 0, "anderer Tab", 0, -1, 1);
  EXPECT_EQ(k.t->GetStrings().Count(), 6);
  EXPECT_EQ(k.Tab().TotalHeight, hoehe);
  EXPECT_EQ(k.t->GetCell(0, 3), "");
  EXPECT_EQ(k.t->GetCell(-2, 0), "");
  EXPECT_EQ(k.t->GetCell(-1, 2), "");  // no current column yet
}

TEST(IconTabModell, SetCellPadsTheListAndPaddedColumnsHoldKeineAngaben) {
  for (bool keine : {true, false}) {
    SCOPED_TRACE(keine ? "KeineAngaben" : "ohne");
    Tafel k;
    k.t->KeineAngaben = keine;
    k.t->SetTabelle(4, 3);
    for (unsigned c = 0; c < 3; ++c) k.t->SetCell(0, c, "Titel");
    k.t->SetRowArt(1, 1);  // padding of a caption row does not count
    k.t->SetCell(2, 0, "x");
    const TStringList l = k.t->GetStrings();
    ASSERT_EQ(l.Count(), 7);
    for (int i = 3; i < 6; ++i) EXPECT_EQ(l[i], "") << i;
    EXPECT_EQ(l[6], "x");
    EXPECT_EQ(k.Tab().Spalten[1].Width, 40);
    EXPECT_EQ(k.Tab().Spalten[1].Widest, -1);

    k.t->SetCell(3, 1, "y");  // pads (2,1), (2,2) and (3,0) of normal rows
    const int soll = Breite(*k.t, "Keine Angaben") + 8;
    EXPECT_EQ(k.Tab().Spalten[2].Width, keine ? soll : 40);
    EXPECT_EQ(k.Tab().Spalten[2].Widest, keine ? soll : -1);
  }
}

TEST(IconTabModell, AutomaticWidthsFollowTheTexts) {
  struct Fall {
    const char* name;
    unsigned row, col;
    std::string text;
    bool mitUeberschrift, sortierung, keine;
    std::string zusatz;
    int extra;  // added to the text width
  };
  const std::string mueller = "M\xFCller";
  const Fall faelle[] = {
      {"Daten", 1, 1, mueller, false, false, false, "", 8},
      {"Zusatztext vorn", 1, 0, mueller, false, false, false, "Nr. ", 8},
      {"Zusatztext nur vorn", 1, 1, mueller, false, false, false, "Nr. ", 8},
      {"Titel mit \xDC" "berschrift", 0, 1, "Betrag", true, false, false, "", 8},
      {"Titel mit Sortiermarke", 0, 1, "Betrag", true, true, false, "", 20},
      {"leer", 1, 1, "", false, false, false, "", 8},
      {"leer mit Keine Angaben", 1, 1, "", false, false, true, "", 8},
      // Cells padded before it already hold "Keine Angaben".
      {"kurz mit Keine Angaben", 1, 1, "i", false, false, true, "", 8},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Tafel k;
    k.t->AutoBreite = true;
    k.t->KeineAngaben = f.keine;
    k.t->MitUeberschrift = f.mitUeberschrift;
    k.t->SetOrder(f.sortierung);
    k.t->Zusatztext = f.zusatz;
    k.t->SetTabelle(3, 2);
    EXPECT_EQ(k.Tab().Spalten[f.col].Width, -1);
    k.t->SetCell(f.row, f.col, f.text);
    int soll = Breite(*k.t, f.keine ? "Keine Angaben" : f.text) + f.extra;
    if (f.col == 0 && !f.zusatz.empty()) soll += Breite(*k.t, f.zusatz);
    EXPECT_EQ(k.Tab().Spalten[f.col].Width, soll);
    // A shorter text later does not narrow the column.
    k.t->SetCell(f.row, f.col, f.text.substr(0, 1));
    EXPECT_EQ(k.Tab().Spalten[f.col].Width, soll);
  }
  // Title texts count only with MitUeberschrift.
  Tafel k;
  k.t->AutoBreite = true;
  k.t->KeineAngaben = false;
  k.t->SetTabelle(3, 2);
  k.t->SetCell(0, 0, "Eine lange \xDC" "berschrift");
  EXPECT_EQ(k.Tab().Spalten[0].Width, -1);
  EXPECT_EQ(k.Tab().Spalten[0].Widest, -1);
  EXPECT_EQ(k.Tab().LabelWidth, 0);  // column 0 is no label
  k.t->SetCell(0, 1, "Ort");
  EXPECT_EQ(k.Tab().LabelWidth, Breite(*k.t, "Ort", true) + Breite(*k.t, ": "));
  k.t->SetCell(2, 0, "breit");
  EXPECT_EQ(k.Tab().Spalten[0].Widest, Breite(*k.t, "breit") + 4);
  EXPECT_EQ(k.Tab().Spalten[0].WidestRow, 2);
}

TEST(IconTabModell, MultiLineCellsRaiseTheRowAndTheTotalHeight) {
  Tafel k;
  k.t->SetTabelle(4, 3, 2);
  const int64_t vorher = k.Tab().TotalHeight;
  const int zeile = Hoehe(*k.t);
  k.t->SetCell(1, 0, "eins\r\nzwei\rdrei");
  EXPECT_EQ(k.t->GetZeile(1)->Lines, 3);
  EXPECT_EQ(k.t->GetZeile(1)->Height, 2 * zeile + 18);
  EXPECT_EQ(k.Tab().TotalHeight, vorher + 2 * zeile);
  k.t->SetCell(1, 1, "a\rb");  // fewer lines keep the height
  EXPECT_EQ(k.t->GetZeile(1)->Height, 2 * zeile + 18);
  k.t->SetCell(2, 2, "a\rb\rc\rd");  // a hidden column does not raise the row
  EXPECT_EQ(k.t->GetZeile(2)->Height, 18);
  EXPECT_EQ(k.Tab().TotalHeight, vorher + 2 * zeile);
}

TEST(IconTabModell, NumericFlagsAndTheColumnList) {
  struct Fall {
    std::string text;
    bool numerisch;
  };
  const Fall faelle[] = {{"1.5", true},    {"007", true},    {"", true},          {"1,5", false},
                         {"1.5 kg", false}, {"12\r\n3", false}, {"-4", false}, {"x", false}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.text);
    Tafel k;
    k.t->SetTabelle(3, 3);
    k.t->SetCell(0, 1, "Betrag");  // title texts do not count
    k.t->SetCell(1, 1, "12");
    k.t->SetCell(2, 1, f.text);
    EXPECT_EQ(k.Tab().Numerisch[1], f.numerisch ? 1 : 0);
    TStringList l;
    k.t->Get_Spalten(l, 0, true);
    EXPECT_EQ(l.IndexOf("Betrag") >= 0, f.numerisch);
  }
  // Titles from the last title row of the last tab, "Spalte n" past the list, column numbers.
  Tafel k;
  k.Fuellen({{"x"}, {"y"}}, 0);
  k.t->StdFixedRows = 2;
  k.t->SetTabelle(4, 4, 0, 1);
  k.t->SetCell(0, 0, "Gruppe");
  k.t->SetCell(1, 0, "Ort");
  k.t->SetCell(1, 1, "Name");
  k.t->SetCell(3, 0, "Bonn");
  TStringList l;
  k.t->Get_Spalten(l, 1, false);
  ASSERT_EQ(l.Count(), 3);
  EXPECT_EQ(l[0], "Name");
  EXPECT_EQ(l[1], "");
  EXPECT_EQ(l[2], "");
  EXPECT_EQ(l.Objects(0), reinterpret_cast<void*>(intptr_t(1)));
  EXPECT_EQ(l.Objects(2), reinterpret_cast<void*>(intptr_t(3)));
  k.t->SetTabelle(2, 3, 0, 1);
  k.t->SetCell(1, 0, "Ort");
  k.t->Get_Spalten(l, 0, false);
  ASSERT_EQ(l.Count(), 3);
  EXPECT_EQ(l[0], "Ort");
  EXPECT_EQ(l[1], "Spalte 2");
  EXPECT_EQ(l[2], "Spalte 3");
}

// ---------------------------------------------------------------- lazy cells

TEST(IconTabModell, LazyCellsAreFetchedOnceAndHandlersMayReadAndFetch) {
  struct Aufruf {
    int row;
    uint32_t mask;
    int tab;
  };
  Tafel k;
  k.t->DatenCols = 0b10;
  k.t->SetTabelle(5, 2);
  for (unsigned r = 1; r < 5; ++r) k.t->SetCell(r, 0, "n" + std::to_string(r));
  k.t->FEndUpdate(false);
  std::vector<Aufruf> aufrufe;
  std::string gelesen = "?", anderer = "?";
  k.t->OnGetDaten = [&](TObject*, int row, TStringList& s, uint32_t mask, int tab) {
    aufrufe.push_back({row, mask, tab});
    EXPECT_TRUE(k.t->Updating());
    if (row == 2) {
      gelesen = k.t->GetCell(1, 2);   // this row again: no second fetch
      anderer = k.t->GetCell(1, 3);   // another row: fetched with a list of its own
    }
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s[0], "n" + std::to_string(row));
    s.SetString(1, "geholt " + std::to_string(row));
  };
  EXPECT_EQ(k.t->GetCell(0, 2), "n2");  // column 0 is not lazy
  EXPECT_TRUE(aufrufe.empty());
  EXPECT_EQ(k.t->GetCell(1, 2), "geholt 2");
  ASSERT_EQ(aufrufe.size(), 2u);
  EXPECT_EQ(aufrufe[0].row, 2);
  EXPECT_EQ(aufrufe[0].mask, 0b10u);
  EXPECT_EQ(aufrufe[0].tab, 0);
  EXPECT_EQ(aufrufe[1].row, 3);
  EXPECT_EQ(gelesen, "");
  EXPECT_EQ(anderer, "geholt 3");
  EXPECT_EQ(k.t->GetCell(1, 3), "geholt 3");
  EXPECT_EQ(k.t->GetCell(1, 2), "geholt 2");
  EXPECT_EQ(aufrufe.size(), 2u);
  EXPECT_EQ(k.t->GetDatenCols(2), 0u);
  EXPECT_EQ(k.t->GetDatenCols(4), 0b10u);
  EXPECT_EQ(k.t->GetCell(0, 2), "n2");
  EXPECT_FALSE(k.t->Updating());

  // A handler that writes the cell itself and leaves the list alone keeps its text.
  k.t->OnGetDaten = [&](TObject*, int row, TStringList&, uint32_t, int) { k.t->SetCell(unsigned(row), 1, "direkt"); };
  EXPECT_EQ(k.t->GetCell(1, 4), "direkt");
}

TEST(IconTabModell, LazyCellHandlerMayDeleteTheRowOrTheControl) {
  Tafel k;
  k.t->DatenCols = 0b11;
  k.t->SetTabelle(5, 2);
  for (unsigned r = 1; r < 5; ++r) k.t->SetCell(r, 0, "n" + std::to_string(r));
  k.t->FEndUpdate(false);
  int aufrufe = 0;
  k.t->OnGetDaten = [&](TObject*, int row, TStringList& s, uint32_t, int) {
    if (++aufrufe == 1) k.t->DeleteRow(row);
    else s.SetString(1, "f");
  };
  // The row read is gone: no text of it, and not the unfetched text of the row now there.
  EXPECT_EQ(k.t->GetCell(0, 2), "");
  EXPECT_EQ(aufrufe, 1);
  EXPECT_EQ(k.t->GetRowCount(true), 4);
  EXPECT_FALSE(k.t->Updating());
  EXPECT_EQ(k.t->GetCell(0, 2), "n3");
  EXPECT_EQ(k.t->GetCell(1, 2), "f");
  EXPECT_EQ(k.t->GetCell(0, 3), "n4");

  // Or free the control.
  QPointer<TIconTab> p(k.t);
  k.t->OnGetDaten = [&](TObject*, int, TStringList&, uint32_t, int) { delete p.data(); };
  EXPECT_EQ(k.t->GetCell(0, 1), "");  // row 1 was not fetched yet
  EXPECT_TRUE(p.isNull());
}

TEST(IconTabModell, OnlyVisibleLazyRowsAreFetched) {
  Tafel k;
  k.t->DatenCols = 0b10;
  k.Gross(1000, 2);
  std::vector<int> geholt;
  k.t->OnGetDaten = [&](TObject*, int row, TStringList& s, uint32_t, int) {
    geholt.push_back(row);
    s.SetString(1, "f" + std::to_string(row));
  };
  auto malen = [&] {
    TRecordingCanvas c(k.t->Width(), k.t->Height());
    k.t->PaintTo(c);
    return c.record;
  };
  const TCanvasRecord bild = malen();
  // Eleven rows reach into the 200 pixels below the title row.
  ASSERT_EQ(geholt.size(), 11u);
  EXPECT_EQ(geholt.front(), 1);
  EXPECT_EQ(geholt.back(), 11);
  ASSERT_NE(bild.FindText("f11"), nullptr) << bild.AllText();
  EXPECT_EQ(bild.FindText("f11")->clip.top, 198);
  geholt.clear();
  malen();
  EXPECT_TRUE(geholt.empty());
  k.Vert(SB_PAGEDOWN);  // eleven rows a page
  malen();
  ASSERT_EQ(geholt.size(), 11u);
  EXPECT_EQ(geholt.front(), 12);
}

TEST(IconTabModell, FetchedTextInTheNewRecordRowWhoseHandlerRemovesItReleasesTheLock) {
  for (bool tabs : {false, true}) {
    SCOPED_TRACE(tabs ? "ClearTabs" : "DeleteRow");
    Tafel k;
    k.t->NeuerDatensatz = true;
    k.t->DatenCols = 0b1;
    k.Fuellen({{"T"}, {"a"}});
    k.t->OnGetDaten = [&](TObject*, int, TStringList& s, uint32_t, int) { s.SetString(0, "geholt"); };
    int neu = 0;
    k.t->OnNewRow = [&](TObject*, int row, bool&, int) {
      ++neu;
      if (tabs) k.t->ClearTabs();
      else k.t->DeleteRow(row);
    };
    EXPECT_EQ(k.t->GetCell(0, 2), "");
    EXPECT_EQ(neu, 1);
    EXPECT_FALSE(k.t->Updating());
  }
}

