// TIconTab's search: the search field's codes, type-ahead, F3, the field's comparison, the tab
// searched, a superseded search, and FindRow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/suchfeld/suchfeld.h"
#include "framework/gui/stdctrls.h"
#include "tests/icontab/tafel.h"

using namespace komp;
using namespace komp::icontab_test;

namespace {

const Zeilen kNamen = {{"Name", "Ort"}, {"arndt", "Bonn"}, {"Berg", "K\xF6ln"}, {"b\xE4r", "Essen"}, {"Bonn", "Ulm"}};

struct Gewaehlt {
  std::vector<std::pair<int, int>> zellen;
  void An(TIconTab* t) {
    t->OnSelectCell = [this](TObject*, int r, int c) { zellen.push_back({r, c}); };
  }
};

}  // namespace

TEST(IconTabSuche, CodesOfTheSearchField) {
  Tafel k;
  k.Fuellen(kNamen);
  int doppel = 0;
  k.t->OnDoppelKlick = [&](TObject*) { ++doppel; };
  EXPECT_EQ(k.t->SuchSpalte, 0);
  k.t->Suche(5);
  EXPECT_EQ(k.t->SuchSpalte, 1);
  EXPECT_EQ(k.Tab().CurrentRow, -1);  // a column change does not search
  k.t->Suche(2);
  EXPECT_TRUE(k.t->SuchModus);
  k.t->Suche(1);
  EXPECT_FALSE(k.t->SuchModus);
  k.t->Suche(3);
  EXPECT_EQ(doppel, 0);  // no current data row
  k.t->SetRow(2);
  k.t->Suche(3);
  EXPECT_EQ(doppel, 1);
}

TEST(IconTabSuche, TypeAheadWithoutField) {
  Tafel k;
  k.Fuellen(kNamen);
  Gewaehlt g;
  g.An(k.t);
  const struct {
    char key;
    const char* getippt;
    int row;
    int beeps;
  } schritte[] = {
      {'b', "B", 2, 0},           // upper-cased: Berg, not arndt
      {'\xE4', "B\xC4", 3, 0},    // ä compares as Ä
      {'x', "B\xC4", 3, 1},       // no match: the letter is dropped, the row stays
      {'r', "B\xC4R", 3, 1},
  };
  for (const auto& s : schritte) {
    k.t->SucheZeichen(s.key);
    EXPECT_EQ(k.t->TypedSearch(), s.getippt) << s.key;
    EXPECT_EQ(k.Tab().CurrentRow, s.row) << s.key;
    EXPECT_EQ(k.dienste.sound.beeps, s.beeps) << s.key;
  }
  EXPECT_EQ(g.zellen, (std::vector<std::pair<int, int>>{{2, 0}, {3, 0}}));
  k.t->ClearTypedSearch();
  EXPECT_EQ(k.t->TypedSearch(), "");

  // F3 goes on after the current row and wraps to the first data row.
  k.t->SucheZeichen('b');
  EXPECT_EQ(k.Tab().CurrentRow, 2);
  std::vector<int> weiter;
  for (int i = 0; i < 3; ++i) {
    k.t->SucheWeiter();
    weiter.push_back(k.Tab().CurrentRow);
  }
  EXPECT_EQ(weiter, (std::vector<int>{3, 4, 2}));
  k.t->Suche(5);  // the second column
  k.t->ClearTypedSearch();
  k.t->SucheZeichen('u');
  EXPECT_EQ(k.Tab().CurrentRow, 4);
}

TEST(IconTabSuche, FieldComparesAndReportsTheBestScore) {
  Tafel k;
  k.Fuellen(kNamen);
  auto* feld = new TSuchfeld(&k.form);
  k.t->SetSuchelement(feld);
  k.t->SucheAnmelden();
  EXPECT_EQ(feld->Ziel(), k.t);
  EXPECT_TRUE(k.t->SuchModus);
  EXPECT_EQ(feld->Spalten_Namen().Count(), 2);

  feld->SetText("b");
  k.t->Suche(0);
  EXPECT_EQ(k.Tab().CurrentRow, 2);  // the first that begins with it
  feld->SetText("bonn");
  k.t->Suche(0);
  EXPECT_EQ(k.Tab().CurrentRow, 4);  // an equal cell wins
  const int beeps = k.dienste.sound.beeps;
  feld->SetText("Bex");
  k.t->Suche(0);
  EXPECT_EQ(k.Tab().CurrentRow, 4);
  EXPECT_EQ(k.dienste.sound.beeps, beeps + 1);
  // "Be" of Berg matched: the rest of the search text is selected for typing over.
  EXPECT_EQ(feld->GetFenster()->SelStart(), 2);
  EXPECT_EQ(feld->GetFenster()->SelLength(), 1);
}

TEST(IconTabSuche, SearchesTheLastTabAndShowsTheRow) {
  Tafel k;
  Zeilen a = {{"A"}}, b = {{"B"}};
  for (int i = 1; i <= 40; ++i) a.push_back({"a" + std::to_string(i)});
  for (int i = 1; i <= 100; ++i) b.push_back({"b" + std::to_string(i)});
  k.Fuellen(a, 0);
  k.Fuellen(b, 1);
  k.t->SetSelectTab(0);
  k.t->SetRow(5);  // the user's selection is in the first tab
  k.t->SucheZeichen('b');
  k.t->SucheZeichen('8');
  k.t->SucheZeichen('7');
  EXPECT_EQ(k.Tab(1).CurrentRow, 87);
  EXPECT_EQ(k.Tab(0).CurrentRow, -1);
  EXPECT_EQ(k.t->GetClickTab(), 1);
  EXPECT_EQ(k.t->GetRow(), 87);
  TRect r;
  EXPECT_TRUE(k.t->GetZellRect(r, 0, 87, 1));
  EXPECT_GE(r.top, k.t->TitleHeight());
  EXPECT_LE(r.bottom, k.t->Height());
}

TEST(IconTabSuche, ANewerSearchSupersedesTheRunningOne) {
  Tafel k;
  k.t->DatenCols = 1;  // column 0 is fetched on first read
  k.t->SetTabelle(6, 1);
  k.t->SetCell(0, 0, "Name");
  k.t->FEndUpdate(false);
  auto* feld = new TSuchfeld(&k.form);
  k.t->SetSuchelement(feld);
  k.t->SucheAnmelden();
  Gewaehlt g;
  g.An(k.t);
  bool innen = false;
  k.t->OnGetDaten = [&](TObject*, int row, TStringList& s, uint32_t, int) {
    s.SetString(0, "R" + std::to_string(row));
    if (innen) return;
    innen = true;
    feld->SetText("zzz");
    k.t->Suche(0);  // finds nothing: it beeps; the outer one would have found R3
  };
  feld->SetText("R3");
  k.t->Suche(0);
  EXPECT_EQ(k.dienste.sound.beeps, 1);
  EXPECT_EQ(k.Tab().CurrentRow, -1);
  EXPECT_TRUE(g.zellen.empty());
}

TEST(IconTabSuche, FindRow) {
  Tafel k;
  k.Fuellen({{"Nr", "Name"}, {"1", "M\xDCLLER"}, {"2", "M\xFC"}, {"3", "Maier"}, {"4", "m\xFC"}});
  auto* edit = new TEdit(&k.form);
  const struct {
    const char* text;
    bool exact;
    int start, row;
  } faelle[] = {
      {"m\xFCl", false, -1, 1}, {"M\xDC", false, -1, 2},  // an equal cell wins over a prefix
      {"m\xFC", true, -1, 2},   {"m\xFC", true, 3, 4},     // from row 3 round to it
      {"m\xFCl", true, -1, -1}, {"x", false, -1, -1},      {"ma", false, 0, 3},
  };
  for (const auto& f : faelle) {
    TIconTab::SuchResult res;
    EXPECT_EQ(k.t->FindRow(f.text, false, 1, nullptr, f.start, f.exact, -1, &res), f.row) << f.text;
  }
  EXPECT_EQ(k.dienste.sound.beeps, 0);
  EXPECT_EQ(k.Tab().CurrentRow, -1);

  TIconTab::SuchResult res;
  EXPECT_EQ(k.t->FindRow("m\xFCl", true, 1, edit, -1, false, -1, &res), 1);
  EXPECT_EQ(edit->Text(), "M\xDCLLER");
  EXPECT_EQ(edit->SelStart(), 3);
  EXPECT_EQ(edit->SelLength(), 3);
  EXPECT_EQ(res.Row, 1);
  EXPECT_EQ(res.Matched, 3);
  EXPECT_EQ(res.Rest, 3);
  EXPECT_EQ(k.Tab().CurrentRow, 1);
  EXPECT_EQ(k.t->FindRow("zz", true, 1, edit), -1);
  EXPECT_EQ(k.dienste.sound.beeps, 1);

  // Another tab: its cells, its current row as the start, its row changed.
  k.Fuellen({{"Nr", "Name"}, {"9", "M\xFC"}, {"8", "Maier"}, {"7", "M\xFC"}}, 1);
  k.t->SetSelectTab(0);
  k.t->Multitabselect = true;
  k.t->ChangeRow(1, k.t->GetTabelle(0));
  k.t->ChangeRow(2, k.t->GetTabelle(1));
  EXPECT_EQ(k.t->FindRow("m\xFC", true, 1, nullptr, -1, true, 1), 3);
  EXPECT_EQ(k.Tab(1).CurrentRow, 3);
  EXPECT_EQ(k.Tab(0).CurrentRow, 1);
}

TEST(IconTabSuche, AnOpenEditorGoesAlongToTheFoundRowAndGetCellReadsItsText) {
  Tafel k;
  k.form.Show();
  k.Fuellen(kNamen);
  k.t->SetEditCol(1u << 1);
  k.t->Set_Eingabefocus(1, 1);
  ASSERT_TRUE(k.t->EditorOpen());
  ASSERT_EQ(k.t->Editor()->Row, 1);
  // Typing replaces the selected text; GetCell reads what the editor shows, the cell is unchanged.
  k.t->Perform(WM_CHAR, 'X');
  EXPECT_EQ(k.t->GetCell(1, 1), "X");
  EXPECT_EQ(k.Tab().Cell(1, 1), "Bonn");
  k.t->SucheZeichen('b');
  EXPECT_EQ(k.Tab().CurrentRow, 2);
  // The typed text was committed to its row; the editor now holds the found row's cell.
  EXPECT_EQ(k.t->GetCell(1, 1), "X");
  ASSERT_TRUE(k.t->EditorOpen());
  EXPECT_EQ(k.t->Editor()->Row, 2);
  EXPECT_EQ(k.t->GetCell(1, 2), "K\xF6ln");
}
