// TIconTab's interaction in the table display: clicks at points taken from GetZellRect, keys,
// sorting and the search column, column sizing, double click, the popup menus, the focus, and
// the in-cell editor of every input kind with the faults it once had.
#include <gtest/gtest.h>

#include <QEvent>
#include <QPointer>
#include <algorithm>
#include <memory>
#include <tuple>

#include "components/in/in.h"
#include "components/stringtab/stringtab.h"
#include "framework/gui/listwindow.h"
#include "framework/gui/menus.h"
#include "framework/stringlist.h"
#include "tests/icontab/tafel.h"

namespace komp {
namespace {

using icontab_test::Tafel;
using icontab_test::Zeilen;

const Zeilen kOrte = {{"Name", "Ort", "Nr"}, {"Anna", "Bern", "1"}, {"Bert", "Chur", "2"}, {"Cora", "Genf", "3"}};

struct Bedienung : Tafel {
  TIn* danach;  // the next control of the tab order
  explicit Bedienung(const Zeilen& z = kOrte) {
    Fuellen(z);
    t->SetTabOrder(0);
    danach = new TIn(&form);
    danach->SetBounds(0, 250, 100, 20);
    danach->SetTabOrder(1);
    ShowAndActivate(&form);
    t->SetFocus(FOCUS_MOUSE);
  }
  TPoint Mitte(int col, int row, int tab = -1) {
    TRect r;
    EXPECT_TRUE(t->GetZellRect(r, col, row, tab)) << col << "," << row;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Maus(uint32_t m, TPoint p) { t->Perform(m, m == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, MakeLParam(p.x, p.y)); }
  void Klick(TPoint p) {
    Maus(WM_LBUTTONDOWN, p);
    Maus(WM_LBUTTONUP, p);
  }
  void Rechts(TPoint p) {
    Maus(WM_RBUTTONDOWN, p);
    Maus(WM_RBUTTONUP, p);
  }
  void Taste(int vk, int shift = 0) {
    t->Perform(WM_KEYDOWN, vk, shift);
    t->Perform(WM_KEYUP, vk, shift);
  }
  void Tippen(const std::string& s) {
    for (char c : s) t->Perform(WM_CHAR, intptr_t(uint8_t(c)));
  }
  std::string Text() { return t->Editor() ? t->Editor()->GetTextStr(0) : "<kein Editor>"; }
  std::string Auswahl() { return t->Editor() ? t->Editor()->GetTextStr(3) : "<kein Editor>"; }
  std::vector<std::string> Menue() {
    std::vector<std::string> v;
    if (dienste.menus.calls.empty()) return v;
    for (const TMenuItemSpec& s : dienste.menus.calls.back().items) v.push_back(s.Caption);
    return v;
  }
};

// ---------------------------------------------------------------- rows and keys

TEST(IconTabBedienung, ClicksSelectRowsAndKeysMoveOneRowInTheTableDisplay) {
  Bedienung k;
  ASSERT_TRUE(k.t->Focused());
  std::vector<std::pair<int, int>> gemeldet;
  k.t->OnSelectCell = [&](TObject*, int r, int c) { gemeldet.push_back({r, c}); };
  k.Klick(k.Mitte(1, 2));
  EXPECT_EQ(k.t->GetRow(), 2);
  EXPECT_EQ(k.t->CurrentCol(), 1);
  ASSERT_EQ(gemeldet.size(), 1u);
  EXPECT_EQ(gemeldet[0], std::make_pair(2, 1));
  // Key, row before, row after.
  struct Fall {
    int vk, vorher, nachher;
  };
  for (const Fall f : {Fall{VK_LEFT, 2, 1}, Fall{VK_RIGHT, 2, 3}, Fall{VK_UP, 3, 2}, Fall{VK_DOWN, 1, 2},
                       Fall{VK_DOWN, 3, 3}, Fall{VK_UP, 1, 1}}) {
    k.t->SetRow(f.vorher);
    k.Taste(f.vk);
    EXPECT_EQ(k.t->GetRow(), f.nachher) << f.vk << " from " << f.vorher;
  }
  // A press on the title row's cells changes no row; a click below the rows neither.
  k.t->SetRow(2);
  k.Klick(k.Mitte(0, 0));
  EXPECT_EQ(k.t->GetRow(), 2);
  k.Klick({10, 190});
  EXPECT_EQ(k.t->GetRow(), 2);
}

TEST(IconTabBedienung, TheNewRowBandTakesTheSelectionByClickAndByUp) {
  Bedienung k;
  k.t->SetStrNeu("Neuer Eintrag");
  std::vector<int> gemeldet;
  k.t->OnSelectCell = [&](TObject*, int r, int) { gemeldet.push_back(r); };
  k.Klick(k.Mitte(0, 1));
  ASSERT_EQ(k.t->GetRow(), 1);
  TRect titel;
  ASSERT_TRUE(k.t->GetZellRect(titel, 0, 0));
  k.Klick({5, titel.bottom + 3});  // the band lies between the titles and the first row
  EXPECT_EQ(k.t->GetRow(), -1);
  k.Taste(VK_DOWN);
  EXPECT_EQ(k.t->GetRow(), 1);
  k.Taste(VK_UP);
  EXPECT_EQ(k.t->GetRow(), -1);
  EXPECT_EQ(gemeldet, (std::vector<int>{1, -1, 1, -1}));
}

TEST(IconTabBedienung, DoubleClickAndEnterRaiseOnDoppelKlickOnDataRowsOnly) {
  Bedienung k;
  int doppel = 0;
  k.t->OnDoppelKlick = [&](TObject*) { ++doppel; };
  const TPoint p = k.Mitte(0, 2);
  k.Maus(WM_LBUTTONDOWN, p);
  k.Maus(WM_LBUTTONUP, p);
  EXPECT_EQ(doppel, 0);
  k.Maus(WM_LBUTTONDBLCLK, p);
  EXPECT_EQ(doppel, 0);  // on the release
  k.Maus(WM_LBUTTONUP, p);
  EXPECT_EQ(doppel, 1);
  k.Taste(VK_RETURN);
  EXPECT_EQ(doppel, 2);
  k.t->SetRow(-1);
  k.Taste(VK_RETURN);
  EXPECT_EQ(doppel, 2);
}

TEST(IconTabBedienung, TitleClicksSortFlipAndRightClickSetsTheSearchColumn) {
  Bedienung k;
  k.t->SetOrder(true);
  std::vector<std::pair<int, bool>> sortiert;
  std::vector<std::pair<int, int>> fest;
  k.t->OnSortCell = [&](TObject*, char s, bool ab) { sortiert.push_back({s, ab}); };
  k.t->OnClickFixed = [&](TObject*, int r, int c) { fest.push_back({r, c}); };
  const std::vector<std::string> vorher = k.Spalte(0);
  k.Klick(k.Mitte(1, 0));
  k.Klick(k.Mitte(1, 0));
  k.Klick(k.Mitte(1, 0));
  EXPECT_EQ(sortiert, (std::vector<std::pair<int, bool>>{{1, false}, {1, true}, {1, false}}));
  EXPECT_EQ(k.Spalte(0), vorher);  // the host sorts, not the control
  k.Rechts(k.Mitte(2, 0));
  EXPECT_EQ(k.t->SuchSpalte, 2);
  EXPECT_EQ(k.t->SortColumn(), 1);
  EXPECT_FALSE(k.t->SortDescending());
  EXPECT_EQ(sortiert.size(), 3u);
  EXPECT_EQ(fest.size(), 4u);
  EXPECT_EQ(fest.back(), std::make_pair(0, 2));
}

TEST(IconTabBedienung, AColumnBorderDragsButNotBelowThreePixels) {
  Bedienung k;
  TRect r;
  ASSERT_TRUE(k.t->GetZellRect(r, 0, 0));
  const int y = (r.top + r.bottom) / 2;
  k.t->Perform(WM_MOUSEMOVE, 0, MakeLParam(r.right, y));
  EXPECT_EQ(k.t->cursor().shape(), Qt::SizeHorCursor);
  k.Maus(WM_LBUTTONDOWN, {r.right, y});
  EXPECT_EQ(k.t->GetRow(), -1);
  k.t->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(0, y));
  EXPECT_EQ(k.Tab().Spalten[0].Width, 3);
  k.t->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(40, y));
  EXPECT_EQ(k.Tab().Spalten[0].Width, 40);
  k.Maus(WM_LBUTTONUP, {40, y});
  EXPECT_NE(k.t->cursor().shape(), Qt::SizeHorCursor);
  TRect nachher;
  ASSERT_TRUE(k.t->GetZellRect(nachher, 1, 1));
  EXPECT_EQ(nachher.left, 40);
  // Away from a border the default cursor comes back.
  k.t->Perform(WM_MOUSEMOVE, 0, MakeLParam(r.right - 1, y));
  k.t->Perform(WM_MOUSEMOVE, 0, MakeLParam(20, k.Mitte(0, 2).y));
  EXPECT_NE(k.t->cursor().shape(), Qt::SizeHorCursor);
}

// ---------------------------------------------------------------- menus and focus

TEST(IconTabBedienung, DefaultMenuAloneAndMergedIntoTheHostsMenuForItsPopup) {
  Bedienung k;
  const std::vector<std::string> standard = {"Tabelle Drucken", "Zelle Kopieren", "Tabelle Kopieren",
                                             "Tabelle Exportieren", "Tabelle Senden (E-Mail)"};
  k.dienste.menus.choose.push_back("Zelle Kopieren");
  k.Rechts(k.Mitte(1, 2));
  EXPECT_EQ(k.Menue(), standard);
  EXPECT_EQ(k.dienste.clipboard.GetText(), "Chur");

  TPopupMenu host(&k.form);
  TMenuItem eigen;
  eigen.Caption = "Eigenes";
  int eigenes = 0;
  eigen.OnClick = [&](TObject*) { ++eigenes; };
  host.Items.push_back(eigen);
  k.t->PopupMenu = &host;
  k.dienste.menus.choose.push_back("Eigenes");
  k.Rechts(k.Mitte(0, 1));
  std::vector<std::string> erwartet = {"Eigenes", "-"};
  erwartet.insert(erwartet.end(), standard.begin(), standard.end());
  EXPECT_EQ(k.Menue(), erwartet);
  EXPECT_EQ(eigenes, 1);
  ASSERT_EQ(host.Items.size(), 1u);  // moved back, the separator gone
  ASSERT_NE(k.t->DefaultPopup(), nullptr);
  EXPECT_EQ(k.t->DefaultPopup()->Items.size(), 5u);
  // A default entry chosen from the merged menu runs as well.
  k.dienste.menus.choose.push_back("Tabelle Kopieren");
  k.Rechts(k.Mitte(0, 1));
  EXPECT_NE(k.dienste.clipboard.GetText().find("Anna"), std::string::npos);
  EXPECT_EQ(host.Items.size(), 1u);

  k.t->PopupMenu = nullptr;
  k.t->SetDefaultMenu(false);
  const size_t menues = k.dienste.menus.calls.size();
  k.Rechts(k.Mitte(0, 1));
  EXPECT_EQ(k.dienste.menus.calls.size(), menues);
}

TEST(IconTabBedienung, TabAndNextWindowMoveTheFocusOnWrappingAround) {
  Bedienung k;
  k.Taste(VK_TAB);
  EXPECT_TRUE(k.danach->Focused());
  k.t->SetFocus();
  k.t->NextWindow(k.danach);  // the sender itself is passed over: nothing else takes it
  EXPECT_TRUE(k.t->Focused());
  // A real Tab key through Qt.
  SendKey(k.t, Qt::Key_Tab);
  EXPECT_TRUE(k.danach->Focused());
}

// ---------------------------------------------------------------- the editor, kind 0

TEST(IconTabEingabe, ClickOpensTypingReplacesEnterCommitsAndMovesOn) {
  Bedienung k;
  k.t->SetEditCol(0b110);
  std::vector<std::pair<int, int>> gemeldet;
  k.t->OnSelectCell = [&](TObject*, int r, int c) { gemeldet.push_back({r, c}); };
  k.Klick(k.Mitte(0, 1));  // not editable
  EXPECT_FALSE(k.t->EditorOpen());
  k.Klick(k.Mitte(1, 1));
  ASSERT_TRUE(k.t->EditorOpen());
  EXPECT_EQ(k.Auswahl(), "Bern");
  k.Tippen("Zug");
  EXPECT_EQ(k.Text(), "Zug");
  EXPECT_TRUE(k.t->Editor()->Modified);
  k.Taste(VK_RETURN);
  EXPECT_EQ(k.t->GetCell(1, 1), "Zug");
  EXPECT_EQ(k.t->Editor()->Column, 2);
  EXPECT_EQ(k.Text(), "1");
  k.Taste(VK_RETURN);  // the last editable column: on to the next row
  EXPECT_EQ(k.t->GetRow(), 2);
  EXPECT_EQ(k.t->Editor()->Column, 1);
  EXPECT_EQ(k.Text(), "Chur");
  EXPECT_EQ(gemeldet.back(), std::make_pair(2, 1));
  // Escape after typing restores the cell text, selected.
  k.Tippen("xy");
  k.Taste(VK_ESCAPE);
  EXPECT_EQ(k.Text(), "Chur");
  EXPECT_EQ(k.Auswahl(), "Chur");
  EXPECT_FALSE(k.t->Editor()->Modified);
  // Down moves the editor with the row, committing what was typed.
  k.Tippen("Sitten");
  k.Taste(VK_DOWN);
  EXPECT_EQ(k.t->GetCell(1, 2), "Sitten");
  EXPECT_EQ(k.t->GetRow(), 3);
  EXPECT_EQ(k.Text(), "Genf");
  // Clicking a non-editable cell commits and closes.
  k.Tippen("Biel");
  k.Klick(k.Mitte(0, 1));
  EXPECT_FALSE(k.t->EditorOpen());
  EXPECT_EQ(k.t->GetCell(1, 3), "Biel");
}

TEST(IconTabEingabe, CaretKeysShiftSelectionBackspaceAndDelete) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  k.Klick(k.Mitte(1, 1));
  ASSERT_TRUE(k.t->EditorOpen());
  const TZellEditor& e = *k.t->Editor();
  struct Fall {
    int vk, shift;
    int caret;
    const char* auswahl;
  };
  // From "Bern" selected with the caret at its end.
  const Fall faelle[] = {
      {VK_HOME, 0, 0, ""},      {VK_RIGHT, ssShift, 1, "B"}, {VK_RIGHT, ssShift, 2, "Be"},
      {VK_LEFT, ssShift, 1, "B"}, {VK_END, ssShift, 4, "Bern"}, {VK_LEFT, 0, 3, ""},
      {VK_HOME, ssShift, 0, "Ber"}, {VK_RIGHT, 0, 1, ""},
  };
  for (const Fall& f : faelle) {
    k.Taste(f.vk, f.shift);
    EXPECT_EQ(e.CaretOffset(), f.caret) << f.vk << " " << f.shift;
    EXPECT_EQ(k.Auswahl(), f.auswahl) << f.vk << " " << f.shift;
  }
  k.Tippen("\b");
  EXPECT_EQ(k.Text(), "ern");
  k.Taste(VK_DELETE);
  EXPECT_EQ(k.Text(), "rn");
  k.Tippen("X");
  EXPECT_EQ(k.Text(), "Xrn");
  EXPECT_EQ(e.CaretOffset(), 1);
  // Real keys through Qt: Shift+End selects the rest.
  SendKey(k.t, Qt::Key_End, "", Qt::ShiftModifier);
  EXPECT_EQ(k.Auswahl(), "rn");
  SendKey(k.t, Qt::Key_A, "a");
  EXPECT_EQ(k.Text(), "Xa");
}

TEST(IconTabEingabe, ClipboardKeysAndTheEditMenuCutCopiedFirst) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  k.Klick(k.Mitte(1, 1));
  ASSERT_EQ(k.Auswahl(), "Bern");
  k.Tippen("\x18");  // Ctrl+X
  EXPECT_EQ(k.dienste.clipboard.GetText(), "Bern");
  EXPECT_EQ(k.Text(), "");
  k.Tippen("\x16");  // Ctrl+V
  EXPECT_EQ(k.Text(), "Bern");
  k.Taste(VK_HOME, ssShift);
  k.Tippen("\x03");  // Ctrl+C
  k.Taste(VK_END);
  k.Tippen("\x16");
  EXPECT_EQ(k.Text(), "BernBern");

  // Right click into the editor: the edit menu; without a selection cut, copy and delete greyed.
  k.dienste.menus.choose.push_back("Zeilenumbruch");
  k.Rechts(k.Mitte(1, 1));
  ASSERT_EQ(k.Menue(), (std::vector<std::string>{"Ausschneiden", "Kopieren", "Einf\xFCgen", "L\xF6schen",
                                                  "Zeilenumbruch"}));
  EXPECT_FALSE(k.dienste.menus.LastItem("Ausschneiden")->Enabled);
  EXPECT_TRUE(k.dienste.menus.LastItem("Einf\xFCgen")->Enabled);
  EXPECT_EQ(k.t->Editor()->Lines().size(), 2u);
  // The break selected with Shift+Left and cut through the menu: copied, then gone.
  k.Taste(VK_LEFT, ssShift);
  ASSERT_EQ(k.Auswahl(), "\r\n");
  k.dienste.menus.choose.push_back("Ausschneiden");
  k.Rechts(k.Mitte(1, 1));
  EXPECT_TRUE(k.dienste.menus.LastItem("Ausschneiden")->Enabled);
  EXPECT_EQ(k.dienste.clipboard.GetText(), "\r\n");
  EXPECT_EQ(k.Text(), "BernBern");
  // Ctrl+X without a selection keeps the clipboard.
  k.Tippen("\x18");
  EXPECT_EQ(k.dienste.clipboard.GetText(), "\r\n");
  k.Taste(VK_RETURN);
  EXPECT_EQ(k.t->GetCell(1, 1), "BernBern");
}

TEST(IconTabEingabe, ShiftEnterCommitsAndLeavesTheLastCellRaisesOnNextWindow) {
  {
    Bedienung k;
    k.t->SetEditCol(0b10);
    k.Klick(k.Mitte(1, 2));
    k.Tippen("Sion");
    k.Taste(VK_RETURN, ssShift);
    EXPECT_EQ(k.t->GetCell(1, 2), "Sion");
    EXPECT_TRUE(k.danach->Focused());
    EXPECT_FALSE(k.t->EditorOpen());
  }
  {
    Bedienung k;
    k.t->SetEditCol(0b10);
    int weiter = 0;
    k.t->OnNextWindow = [&](TObject*) { ++weiter; };
    k.Klick(k.Mitte(1, 3));
    k.Taste(VK_RETURN);
    EXPECT_EQ(weiter, 1);
    EXPECT_FALSE(k.t->EditorOpen());
    k.t->OnNextWindow = nullptr;
    k.Klick(k.Mitte(1, 3));
    k.Taste(VK_RETURN);
    EXPECT_TRUE(k.danach->Focused());
  }
}

TEST(IconTabEingabe, EnterPassesToTheNextTabWithAnEditMaskAndAsksOnIsEditCol) {
  Bedienung k;
  k.Fuellen({{"T", "U"}, {"x", "y"}}, 1);
  k.t->SetEditCol(0b110, 0);
  k.t->SetEditCol(0b01, 1);
  std::vector<std::pair<int, int>> gefragt;
  k.t->OnIsEditCol = [&](TObject*, int, int c, bool& ok, int tab) {
    gefragt.push_back({tab, c});
    ok = !(tab == 0 && c == 2);
  };
  k.Klick(k.Mitte(1, 3, 0));
  ASSERT_TRUE(k.t->EditorOpen());
  k.Taste(VK_RETURN);  // column 2 refused, no row after 3: the next tab
  EXPECT_EQ(k.t->GetClickTab(), 1);
  EXPECT_EQ(k.t->Editor()->Column, 0);
  EXPECT_EQ(k.Text(), "x");
  EXPECT_EQ(k.Tab(0).CurrentRow, -1);
  EXPECT_NE(std::find(gefragt.begin(), gefragt.end(), std::make_pair(0, 2)), gefragt.end());
}

TEST(IconTabEingabe, TheBoxIsDrawnOverTheCellWhiteWhenFocusedWithTheText) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  k.Klick(k.Mitte(1, 2));
  TRect zelle;
  ASSERT_TRUE(k.t->GetZellRect(zelle, 1, 2));
  TRecordingCanvas c(k.t->Width(), k.t->Height());
  k.t->PaintTo(c);
  bool kasten = false;
  for (const TCanvasOp& op : c.record.ops)
    if (op.kind == TCanvasOp::Rectangle && op.rect == zelle && op.brushColor == clWhite && op.penColor == RGB(128, 128, 128))
      kasten = true;
  EXPECT_TRUE(kasten);
  const TCanvasOp* text = nullptr;
  for (const TCanvasOp& op : c.record.ops)
    if (op.kind == TCanvasOp::Text && op.text == "Chur") text = &op;
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->font.Color, clWhite);  // selected
  EXPECT_EQ(text->rect.left, zelle.left + 4);
}

TEST(IconTabEingabe, ABoxGrownForSeveralLinesIsDrawnOverTheRowsBelow) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  k.Klick(k.Mitte(1, 1));
  k.Tippen("a");
  k.dienste.menus.choose.push_back("Zeilenumbruch");
  k.Rechts(k.Mitte(1, 1));
  k.Tippen("b");
  ASSERT_EQ(k.t->Editor()->Lines().size(), 2u);
  TRect zelle;
  ASSERT_TRUE(k.t->GetZellRect(zelle, 1, 1));
  TRecordingCanvas c(k.t->Width(), k.t->Height());
  k.t->PaintTo(c);
  int kasten = -1, unten = -1;
  for (size_t i = 0; i < c.record.ops.size(); ++i) {
    const TCanvasOp& op = c.record.ops[i];
    if (op.kind == TCanvasOp::Rectangle && op.rect.top == zelle.top && op.rect.left == zelle.left &&
        op.rect.bottom > zelle.bottom && op.brushColor == clWhite)
      kasten = int(i);
    if (op.kind == TCanvasOp::Text && op.text == "Chur") unten = int(i);  // the cell below
  }
  ASSERT_GE(kasten, 0);
  ASSERT_GE(unten, 0);
  EXPECT_GT(kasten, unten);
}

// ---------------------------------------------------------------- kinds 1 to 3

TEST(IconTabEingabe, KindOneDropsDownTheListAndTakesTheEntry) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  TStringList farben;
  for (const char* s : {"rot", "gruen", "blau"}) farben.Add(s);
  k.t->OnGetFilter = [&](TObject*, Filter_Struct& f, int, int) {
    f.Art = eaListe;
    f.Strings = &farben;
  };
  k.Klick(k.Mitte(1, 1));
  ASSERT_TRUE(k.t->EditorOpen());
  EXPECT_EQ(k.t->Editor()->Kind, eaListe);
  k.Tippen("x");  // no typing into a list
  EXPECT_EQ(k.Text(), "Bern");
  k.Taste(VK_DOWN);
  ASSERT_NE(k.t->DropDown(), nullptr);
  ASSERT_TRUE(k.t->DropDown()->Visible());
  EXPECT_EQ(k.t->DropDown()->Items().size(), 3u);
  k.Taste(VK_DOWN);
  k.Taste(VK_DOWN);
  k.Taste(VK_RETURN);
  EXPECT_FALSE(k.t->DropDown()->Visible());
  EXPECT_EQ(k.t->GetCell(1, 1), "gruen");
  // Escape closes the list without taking anything.
  k.Klick(k.Mitte(1, 2));
  k.Taste(VK_DOWN);
  k.Taste(VK_ESCAPE);
  EXPECT_FALSE(k.t->DropDown()->Visible());
  EXPECT_EQ(k.Text(), "Chur");
}

TEST(IconTabEingabe, KindTwoAndThreeCompleteFromTheBoundTableInTableOrder) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  // Without a parent: a TIconTab made inside a shown window gets its size before its bars.
  std::unique_ptr<TIconTab> halter(new TIconTab(nullptr));
  TIconTab* staedte = halter.get();
  staedte->SetTabelle(3, 2);
  for (auto [r, a, b] : {std::tuple{0, "Kz", "Stadt"}, {1, "BE", "Bern"}, {2, "B", "Berlin"}}) {
    staedte->SetCell(unsigned(r), 0, a);
    staedte->SetCell(unsigned(r), 1, b);
  }
  staedte->FEndUpdate(false);
  TStringTab liste(&k.form);
  liste.Set_Tab(3, 1);
  liste.SetCell(0, 0, "Ort");
  liste.SetCell(1, 0, "Bern");
  liste.SetCell(2, 0, "Berlin");
  uint8_t art = eaTabelle;
  k.t->OnGetFilter = [&](TObject*, Filter_Struct& f, int, int) {
    f.Art = art;
    f.Tabelle = staedte;
    f.StringTab = &liste;
    f.Spalte = art == eaTabelle ? 1 : 0;
  };
  std::vector<int> indizes;
  k.t->OnCellChange = [&](TObject*, int, int, std::string&, int index, bool&) { indizes.push_back(index); };
  for (uint8_t a : {eaTabelle, eaStringTab}) {
    art = a;
    k.Klick(k.Mitte(1, 2));
    ASSERT_TRUE(k.t->EditorOpen());
    k.Taste(VK_LEFT);  // at the start with all selected: the text goes
    EXPECT_EQ(k.Text(), "") << int(a);
    struct Schritt {
      char c;
      const char* text;
      const char* rest;
    };
    for (const Schritt s : {Schritt{'b', "Bern", "ern"}, Schritt{'e', "Bern", "rn"}, Schritt{'r', "Bern", "n"},
                            Schritt{'l', "Berlin", "in"}}) {
      k.Tippen(std::string(1, s.c));
      EXPECT_EQ(k.Text(), s.text) << int(a) << " " << s.c;
      EXPECT_EQ(k.Auswahl(), s.rest) << int(a) << " " << s.c;
    }
    const int beeps = k.dienste.sound.beeps;
    k.Tippen("x");
    EXPECT_EQ(k.dienste.sound.beeps, beeps + 1);
    EXPECT_EQ(k.Text(), "Berlin");
    k.Taste(VK_LEFT);  // the accepted part shrinks by one
    EXPECT_EQ(k.Auswahl(), "lin");
    k.Taste(VK_RETURN);
    EXPECT_EQ(k.t->GetCell(1, 2), "Berlin");
  }
  EXPECT_EQ(indizes, (std::vector<int>{2, 2}));
}

// ---------------------------------------------------------------- mended faults

TEST(IconTabEingabe, ACommitGoesWhereEditingBeganThoughAnotherTabIsSelectedNow) {
  Bedienung k;
  k.t->SetEditCol(0b10, 0);
  k.Klick(k.Mitte(1, 1));
  k.Tippen("Thun");
  // The host fills a second tab meanwhile: it becomes the selected and clicked tab.
  k.Fuellen({{"A", "B"}, {"a1", "b1"}, {"a2", "b2"}}, 1);
  k.t->SetRow(1);
  k.danach->SetFocus();
  EXPECT_EQ(k.t->GetCell(1, 1, 0), "Thun");
  EXPECT_EQ(k.t->GetCell(1, 1, 1), "b1");
}

TEST(IconTabEingabe, TheEditorIsFreedOnlyWhenNoTabHasAMask) {
  Bedienung k;
  k.Fuellen({{"A", "B"}, {"a1", "b1"}}, 1);
  k.t->SetEditCol(0b10, 0);
  k.t->SetEditCol(0b10, 1);
  k.t->SetEditCol(0, 1);
  ASSERT_NE(k.t->Editor(), nullptr);
  k.Klick(k.Mitte(1, 1, 0));
  EXPECT_TRUE(k.t->EditorOpen());
  k.Tippen("Olten");
  k.t->SetEditCol(0, 0);  // commits, closes and frees
  EXPECT_EQ(k.t->Editor(), nullptr);
  EXPECT_EQ(k.t->GetCell(1, 1, 0), "Olten");
  k.Klick(k.Mitte(1, 2, 0));
  EXPECT_FALSE(k.t->EditorOpen());
}

TEST(IconTabEingabe, ALazyCellOpensWithItsFetchedText) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  int geholt = 0;
  k.t->OnGetDaten = [&](TObject*, int, TStringList& s, uint32_t, int) {
    ++geholt;
    s.SetString(1, "Lugano");
  };
  k.t->SetDatenCols(2, 0b10);
  k.Klick(k.Mitte(1, 2));
  EXPECT_EQ(geholt, 1);
  EXPECT_EQ(k.Text(), "Lugano");
}

TEST(IconTabEingabe, ACommitIsNotRepeatedFromAMessageBoxThatMovesTheFocus) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  int aenderungen = 0;
  k.t->OnCellChange = [&](TObject*, int, int, std::string& s, int, bool&) {
    ++aenderungen;
    s += "!";
    MessageBox("Gespeichert", "Hinweis");
  };
  k.dienste.boxes.onShow = [&](const TScriptedMessageBoxes::Call&) {
    k.danach->SetFocus();
    k.t->TextChange();
  };
  k.Klick(k.Mitte(1, 1));
  k.Tippen("Aarau");
  k.Taste(VK_RETURN);
  EXPECT_EQ(aenderungen, 1);
  EXPECT_EQ(k.t->GetCell(1, 1), "Aarau!");
  EXPECT_EQ(k.dienste.boxes.calls.size(), 1u);
}

TEST(IconTabEingabe, ABoundTableFreedByTheHostEndsCompletion) {
  Bedienung k;
  k.t->SetEditCol(0b10);
  QPointer<TIconTab> staedte = new TIconTab(nullptr);
  staedte->SetTabelle(2, 1);
  staedte->SetCell(1, 0, "Basel");
  staedte->FEndUpdate(false);
  k.t->OnGetFilter = [&](TObject*, Filter_Struct& f, int, int) {
    f.Art = eaTabelle;
    f.Tabelle = staedte.data();
  };
  k.Klick(k.Mitte(1, 1));
  k.Tippen("b");
  EXPECT_EQ(k.Text(), "Basel");
  delete staedte.data();
  EXPECT_EQ(k.t->Editor()->Tabelle(), nullptr);
  k.Tippen("z");
  k.Taste(VK_DOWN);
  k.Taste(VK_UP);
  EXPECT_EQ(k.Text(), "Basel");
  k.Taste(VK_RETURN);
  EXPECT_EQ(k.t->GetCell(1, 1), "Basel");
}

}  // namespace
}  // namespace komp
