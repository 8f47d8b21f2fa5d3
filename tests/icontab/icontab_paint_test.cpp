// TIconTab's table display: what is drawn where, read from the recording canvas; cell
// rectangles, scroll ranges and the scroll codes of the bars and the wheel.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <string>
#include <vector>

#include "framework/gui/stdctrls.h"
#include "tests/icontab/tafel.h"

using namespace komp;
using namespace komp::icontab_test;

namespace {

struct Bild {
  TRecordingCanvas c;
  explicit Bild(TIconTab* t) : c(t->Width(), t->Height()) { t->PaintTo(c); }
  std::vector<const TCanvasOp*> Ops(TCanvasOp::Kind k) const {
    std::vector<const TCanvasOp*> v;
    for (const auto& op : c.record.ops)
      if (op.kind == k) v.push_back(&op);
    return v;
  }
  std::vector<const TCanvasOp*> Texte(const std::string& s) const {
    std::vector<const TCanvasOp*> v;
    for (const TCanvasOp* op : Ops(TCanvasOp::Text))
      if (op->text == s) v.push_back(op);
    return v;
  }
  // Some operation of kind k meets the test.
  template <class F>
  bool Hat(TCanvasOp::Kind k, F&& test) const {
    for (const TCanvasOp* op : Ops(k))
      if (test(*op)) return true;
    return false;
  }
  const TCanvasOp* Text(const std::string& s) const { return c.record.FindText(s); }
  std::string Alles() const { return c.record.AllText(); }
};

}  // namespace

// ---------------------------------------------------------------- cells

TEST(IconTabBild, TitleRowsBoldAndKeineAngabenOnlyInNormalDataRows) {
  struct Fall {
    bool keine;
    RowArt art;
    int anzahl;
  };
  const Fall faelle[] = {{true, 0, 3}, {true, 2, 1}, {true, 1, 1}, {false, 0, 0}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::to_string(f.keine) + " " + std::to_string(int(f.art)));
    Tafel k;
    k.t->KeineAngaben = f.keine;
    k.Fuellen({{"Ort", ""}, {"Bonn", ""}, {"", ""}});
    k.t->SetRowArt(2, f.art);
    Bild b(k.t);
    ASSERT_NE(b.Text("Ort"), nullptr) << b.Alles();
    EXPECT_TRUE(b.Text("Ort")->font.Style & fsBold);
    EXPECT_FALSE(b.Text("Bonn")->font.Style & fsBold);
    const auto keine = b.Texte("Keine Angaben");
    EXPECT_EQ(int(keine.size()), f.anzahl) << b.Alles();
    if (!keine.empty()) {
      EXPECT_EQ(keine[0]->rect.left, 44);  // row 1, column 1
      EXPECT_EQ(keine[0]->clip.top, 18);
    }
  }
}

TEST(IconTabBild, GroupedCellsShowOnlyInTheFirstVisibleDataRow) {
  Tafel k(90);
  k.t->Group = true;
  k.Fuellen({{"Ort", "Name", "Notiz"},
             {"Bonn", "A", "x"},
             {"Bonn", "A", "y"},
             {"Bonn", "B", "z"},
             {"K\xF6ln", "B", "w"},
             {"K\xF6ln", "B", "v"},
             {"K\xF6ln", "C", "u"}});
  ASSERT_EQ(k.t->VertRange(), 2);
  {
    Bild b(k.t);
    EXPECT_EQ(b.Texte("Bonn").size(), 1u);
    EXPECT_EQ(b.Texte("A").size(), 1u);
    EXPECT_EQ(b.Texte("B").size(), 2u);  // Bonn B and Koeln B start groups of their own
    EXPECT_EQ(b.Texte("K\xF6ln").size(), 1u);
  }
  k.Vert(SB_LINEDOWN);
  Bild b(k.t);
  const auto bonn = b.Texte("Bonn");
  ASSERT_EQ(bonn.size(), 1u) << b.Alles();
  EXPECT_EQ(bonn[0]->clip.top, 18);  // row 2, the first one shown
  EXPECT_EQ(b.Texte("A").size(), 1u);
  // The hidden cell of row 3 merges with the one above: its top border is painted over.
  EXPECT_TRUE(b.Hat(TCanvasOp::Line, [&](const TCanvasOp& op) {
    return op.penColor == k.t->Color() && op.points == std::vector<TPoint>{{1, 36}, {40, 36}};
  }));
}

TEST(IconTabBild, CaptionRowsAreOneCellAcross) {
  Tafel k;
  k.t->Zusatztext = "Nr. ";  // before the first cell of normal data rows only
  k.Fuellen({{"Ort", "Name"}, {"Bonn", "A"}, {"Abschnitt", "verdeckt"}, {"Essen", "B"}});
  k.t->SetRowArt(2, 1);
  const int h = Hoehe(*k.t, 16, true);
  Bild b(k.t);
  const TCanvasOp* t = b.Text("Abschnitt");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->font.Size, 16);
  EXPECT_TRUE(t->font.Style & fsBold);
  EXPECT_EQ(t->clip, (TRect{0, 36, 300, 36 + h}));
  EXPECT_EQ(b.Text("verdeckt"), nullptr);
  EXPECT_TRUE(b.Hat(TCanvasOp::FillRect, [&](const TCanvasOp& op) { return op.rect == TRect{0, 36, 300, 36 + h}; }));
  EXPECT_EQ(b.Text("Nr. Essen")->clip.top, 36 + h);
  EXPECT_NE(b.Text("Nr. Bonn"), nullptr);
  EXPECT_NE(b.Text("Ort"), nullptr);
}

TEST(IconTabBild, SortMarkMovesTheTitleText) {
  struct Fall {
    bool sortierung;
    char spalte;
    int marken;
    int x;
  };
  const Fall faelle[] = {{true, 1, 1, 54}, {true, char(0x81), 1, 54}, {true, 0, 1, 44}, {false, 1, 0, 44}};
  for (const Fall& f : faelle) {
    Tafel k;
    k.t->SetOrder(f.sortierung);
    k.t->WSort_Spalte(f.spalte);
    k.Fuellen({{"Ort", "Name"}, {"Bonn", "A"}});
    Bild b(k.t);
    const auto marken = b.Ops(TCanvasOp::Bitmap);
    ASSERT_EQ(int(marken.size()), f.marken) << f.sortierung << int(f.spalte);
    if (f.marken) {
      EXPECT_EQ(marken[0]->rect.left, (f.spalte & 0x7F) * 40 + 4);
    }
    EXPECT_EQ(b.Text("Name")->rect.left, f.x);
    EXPECT_EQ(b.Text("A")->rect.left, 44);
  }
}

TEST(IconTabBild, NewRowBandAndTitleBand) {
  for (int fixed : {1, 0}) {
    SCOPED_TRACE(fixed);
    Tafel k;
    k.t->StdFixedRows = fixed;
    k.t->SetStrNeu("Neuer Eintrag");
    k.Fuellen({{"Ort"}, {"Bonn"}});
    const int band = Hoehe(*k.t, 12, true) + 2;
    Bild b(k.t);
    const TCanvasOp* t = b.Text("Neuer Eintrag");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rect.left, 2);
    EXPECT_EQ(t->rect.top, fixed * 18);
    EXPECT_TRUE(t->font.Style & fsBold);
    EXPECT_EQ(t->font.Color, RGB(45, 45, 219));
    // No row selected and no focus: the quiet fill.
    EXPECT_TRUE(b.Hat(TCanvasOp::Rectangle, [&](const TCanvasOp& op) {
      return op.rect.top == fixed * 18 && op.brushColor == RGB(210, 250, 250);
    }));
    EXPECT_EQ(b.Text(fixed ? "Bonn" : "Ort")->clip.top, fixed * 18 + band);
    TRect r;
    ASSERT_TRUE(k.t->GetZellRect(r, 0, 1));
    EXPECT_EQ(r.top, 18 + band);
  }

  Tafel k;
  k.t->SetCaption("Kunden");
  const int titel = Hoehe(*k.t, 10, true) + 5;
  EXPECT_EQ(k.t->TitleHeight(), titel);
  k.t->SetTitelColor(clYellow);
  k.Fuellen({{"Ort"}, {"Bonn"}});
  Bild b(k.t);
  const TCanvasOp* t = b.Text("Kunden");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->rect.left, 4);
  EXPECT_EQ(t->rect.top, 2);
  EXPECT_EQ(t->font.Size, 10);
  EXPECT_TRUE(t->font.Style & fsBold);
  EXPECT_TRUE(b.Hat(TCanvasOp::FillRect,
                    [&](const TCanvasOp& op) { return op.rect == TRect{0, 0, 300, titel} && op.brushColor == clYellow; }));
  EXPECT_EQ(b.Text("Ort")->clip.top, titel);
  k.t->SetCaption("");
  EXPECT_EQ(k.t->TitleHeight(), 0);
}

TEST(IconTabBild, NothingIsDrawnUnderTheUpdateLock) {
  Tafel k;
  k.t->SetTabelle(3, 2);
  k.t->SetCell(1, 0, "Bonn");
  EXPECT_TRUE(Bild(k.t).Ops(TCanvasOp::Text).empty());
  k.t->FEndUpdate(false);
  EXPECT_NE(Bild(k.t).Text("Bonn"), nullptr);
  k.t->FEndUpdate(true);
  EXPECT_TRUE(Bild(k.t).Ops(TCanvasOp::Text).empty());
}

TEST(IconTabBild, CellColoursBelongToTheirRows) {
  Tafel k;
  k.Fuellen({{"A", "B"}, {"a1", "b1"}, {"a2", "b2"}, {"a3", "b3"}});
  auto farbe = [&](const std::string& s) {
    Bild b(k.t);
    const TCanvasOp* op = b.Text(s);
    return op ? op->font.Color : TColor(-1);
  };
  k.t->SetCellColor(clBlue, -1, 1);  // the row's colour, no table
  EXPECT_EQ(k.t->GetZeile(1)->Color, clBlue);
  EXPECT_TRUE(k.Tab().ZellFarben.empty());
  EXPECT_EQ(farbe("a1"), clBlue);
  EXPECT_EQ(farbe("b1"), clBlue);

  k.t->SetCellColor(clRed, 1, 2);
  EXPECT_EQ(farbe("b2"), clRed);
  EXPECT_EQ(farbe("a2"), clWindowText);
  EXPECT_EQ(farbe("b1"), clBlue);  // the table starts with the rows' colours
  k.t->InsertRow(1);
  EXPECT_EQ(farbe("b2"), clRed);
  EXPECT_EQ(farbe("b3"), clWindowText);
  k.t->DeleteRow(1);
  k.t->DeleteRow(1);
  EXPECT_EQ(farbe("b2"), clRed);
  k.t->SetRow(1);
  k.t->SetCellColor(clGreen, 0, -1);  // the current row
  EXPECT_EQ(farbe("a2"), clGreen);
  // A row linked after the table was made takes a colour too.
  k.t->SetZeile(-1);
  k.t->SetCellColor(clLime, 0, 3);
  Bild b(k.t);
  const auto keine = b.Texte("Keine Angaben");
  ASSERT_EQ(keine.size(), 2u) << b.Alles();
  EXPECT_EQ(keine[0]->font.Color, clLime);
}

TEST(IconTabBild, MultiLineCellsWriteLineUnderLine) {
  Tafel k;
  k.Fuellen({{"T", "U"}, {"eins\r\nzwei\rdrei", "x"}, {"a", "b"}});
  const int zeile = Hoehe(*k.t, 8, false);
  Bild b(k.t);
  const int oben = 18 + 9 - zeile / 2;
  ASSERT_NE(b.Text("eins"), nullptr) << b.Alles();
  EXPECT_EQ(b.Text("eins")->rect.top, oben);
  EXPECT_EQ(b.Text("zwei")->rect.top, oben + zeile);
  EXPECT_EQ(b.Text("drei")->rect.top, oben + 2 * zeile);
  EXPECT_EQ(b.Text("x")->rect.top, oben);
  EXPECT_EQ(b.Text("a")->clip.top, 36 + 2 * zeile);
}

TEST(IconTabBild, CurrentRowColoursWithAndWithoutFocus) {
  Tafel k;
  k.Fuellen({{"T", "U"}, {"a", "b"}, {"c", "d"}});
  k.t->SetRow(1);
  auto grund = [&](const Bild& b, int top, int left) {
    TColor c = TColor(-1);
    for (const TCanvasOp* op : b.Ops(TCanvasOp::Rectangle))
      if (op->rect.top == top && op->rect.left == left) c = op->brushColor;
    return c;
  };
  {
    Bild b(k.t);
    EXPECT_EQ(grund(b, 18, 0), RGB(255, 246, 255));
    EXPECT_EQ(grund(b, 18, 40), RGB(255, 246, 255));
    EXPECT_EQ(grund(b, 36, 0), k.t->Color());
    EXPECT_EQ(grund(b, 0, 0), clBtnFace);
  }
  ShowAndActivate(&k.form);
  k.t->SetFocus();
  ASSERT_TRUE(k.t->Focused());
  Bild b(k.t);
  EXPECT_EQ(grund(b, 18, 0), clHighlight);
  EXPECT_EQ(b.Text("a")->font.Color, clWhite);
  EXPECT_EQ(b.Text("c")->font.Color, clWindowText);
}

// ---------------------------------------------------------------- stacked tabs and places

TEST(IconTabBild, TheNewRowBandCountsInWhicheverTabItIsDrawn) {
  Tafel k(90);
  k.t->SetStrNeu("Neu");
  k.Fuellen({{"Erste"}, {"a"}, {"b"}, {"c"}}, 0);
  k.Fuellen({{"Zweite"}, {"x1"}, {"x2"}, {"x3"}, {"x4"}, {"x5"}, {"x6"}, {"x7"}, {"x8"}}, 1);
  k.Vert(SB_BOTTOM);
  TRect r;
  ASSERT_TRUE(k.t->GetZellRect(r, 0, 8, 1));
  EXPECT_LE(r.bottom, 90);  // the last row can be seen whole
  k.Vert(SB_TOP);
  k.t->SetRow(8);
  k.t->DrawRow(8, nullptr, nullptr, k.t->GetTabelle(1));
  ASSERT_TRUE(k.t->GetZellRect(r, 0, 8, 1));
  EXPECT_LE(r.bottom, 90);
}

TEST(IconTabBild, ATabScrolledAwayDrawsNothingAndTheNextStartsAtTheTop) {
  Tafel k(90);
  k.Fuellen({{"Erste"}, {"a"}, {"b"}, {"c"}}, 0);
  k.Fuellen({{"Zweite"}, {"x1"}, {"x2"}, {"x3"}, {"x4"}, {"x5"}, {"x6"}, {"x7"}, {"x8"}}, 1);
  // The second tab fills the area with its title and four rows: 4 + 3 rows lie above.
  ASSERT_EQ(k.t->VertRange(), 7);
  for (int i = 0; i < 2; ++i) k.Vert(SB_LINEDOWN);
  {
    Bild b(k.t);
    EXPECT_EQ(b.Text("Erste")->clip.top, 0);
    EXPECT_EQ(b.Text("c")->clip.top, 18);
    EXPECT_EQ(b.Text("Zweite")->clip.top, 46);  // 10 pixels below the first tab
    EXPECT_EQ(b.Text("b"), nullptr);
  }
  k.Vert(SB_LINEDOWN);
  Bild b(k.t);
  EXPECT_EQ(b.Text("Erste"), nullptr) << b.Alles();
  EXPECT_EQ(b.Text("c"), nullptr);
  ASSERT_NE(b.Text("Zweite"), nullptr);
  EXPECT_EQ(b.Text("Zweite")->clip.top, 0);
  EXPECT_EQ(b.Text("x1")->clip.top, 18);
  EXPECT_EQ(k.t->GetTopRow(1), 1);
  k.Vert(SB_BOTTOM);
  Bild unten(k.t);
  EXPECT_EQ(unten.Text("x4"), nullptr);
  EXPECT_EQ(unten.Text("x5")->clip.top, 18);
  EXPECT_EQ(unten.Text("x8")->clip.top, 72);
  EXPECT_EQ(k.t->GetTopRow(1), 5);
}

TEST(IconTabBild, CellRectanglesOnlyForVisibleRowsAndColumns) {
  Tafel k(90);
  k.Gross(10, 3);
  const int rechts = 300 - TIconTab::kBar;
  struct Fall {
    int hoch, quer;  // scroll positions
    int col, row;
    bool sichtbar;
    TRect rect;
  };
  const Fall faelle[] = {
      {0, 0, 1, 2, true, {40, 36, 80, 54}},    {0, 0, 0, 0, true, {0, 0, 40, 18}},
      {0, 0, 2, 1, true, {80, 18, rechts, 36}},  // the last column reaches the right edge
      {0, 0, 0, 4, true, {0, 72, 40, 90}},     {0, 0, 0, 5, false, {}},
      {3, 0, 0, 3, false, {}},                 {3, 0, 0, 4, true, {0, 18, 40, 36}},
      {3, 0, 1, 0, true, {40, 0, 80, 18}},     {0, 0, 3, 1, false, {}},
      {0, 0, 0, 11, false, {}},                {0, 1, 0, 1, false, {}},
      {0, 1, 1, 1, true, {0, 18, 150, 36}},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::to_string(f.hoch) + "/" + std::to_string(f.quer) + " cell " + std::to_string(f.col) + "," +
                 std::to_string(f.row));
    if (f.quer) {
      for (int c = 0; c < 3; ++c) k.t->SetColWidth(c, 150);
    }
    k.Vert(SB_TOP);
    k.Hor(SB_TOP);
    for (int i = 0; i < f.hoch; ++i) k.Vert(SB_LINEDOWN);
    for (int i = 0; i < f.quer; ++i) k.Hor(SB_LINEDOWN);
    ASSERT_EQ(k.t->VertPos(), f.hoch);
    ASSERT_EQ(k.t->HorzPos(), f.quer);
    TRect r;
    EXPECT_EQ(k.t->GetZellRect(r, f.col, f.row), f.sichtbar);
    if (f.sichtbar) {
      EXPECT_EQ(r, f.rect);
    }
  }
  // A caption row is one cell across.
  k.t->SetRowArt(2, 1);
  k.Hor(SB_TOP);
  k.Vert(SB_TOP);
  TRect r;
  ASSERT_TRUE(k.t->GetZellRect(r, 0, 2));
  EXPECT_EQ(r.right, rechts);
}

TEST(IconTabBild, DrawRowScrollsTheCurrentRowIntoSight) {
  Tafel k;
  k.Gross(100, 2);
  ASSERT_FALSE(k.t->HorzBar()->Visible());
  ASSERT_EQ(k.t->VertRange(), 90);  // title and ten rows fit into 200 pixels
  k.t->SetRow(50);
  k.t->DrawRow(50);
  EXPECT_EQ(k.t->VertPos(), 40);  // row 50 is the last one shown
  TRect r;
  ASSERT_TRUE(k.t->GetZellRect(r, 0, 50));
  EXPECT_LE(r.bottom, 200);
  EXPECT_FALSE(k.t->GetZellRect(r, 0, 40));
  k.t->SetRow(5);
  k.t->DrawRow(5);
  EXPECT_EQ(k.t->VertPos(), 4);
  ASSERT_TRUE(k.t->GetZellRect(r, 0, 5));
  EXPECT_EQ(r.top, 18);
}

TEST(IconTabBild, GetColBreitenMeasuresOnTheGivenCanvas) {
  Tafel k;
  k.Fuellen({{"Ort", ""}, {"Bonn", "1"}, {"D\xFCsseldorf", "1"}, {"Ulm", ""}});
  TRecordingCanvas c(10, 10);
  c.Font = Schrift(*k.t);
  const int rand = 2 * Breite(*k.t, "W");
  Breiten b;
  const int summe = k.t->GetColBreiten(c, b, -1, 0, true);
  ASSERT_EQ(b.Widths.size(), 3u);
  EXPECT_EQ(b.Widths[0], rand);
  EXPECT_EQ(b.Widths[1], Breite(*k.t, "D\xFCsseldorf") + rand);
  EXPECT_EQ(b.Widths[2], 10 + rand);  // narrower texts count as 10 pixels
  EXPECT_EQ(b.Widest, (std::vector<int64_t>{4, 3}));  // cell-list indexes
  EXPECT_EQ(summe, b.Widths[0] + b.Widths[1] + b.Widths[2]);
  // Without measuring only the recorded widest cells are measured again.
  k.t->SetCell(3, 0, "Ulm an der Donau");
  const Breiten alt = b;
  k.t->GetColBreiten(c, b, -1, 0, false);
  EXPECT_EQ(b.Widths, alt.Widths);
  k.t->GetColBreiten(c, b, -1, 0, true);
  EXPECT_EQ(b.Widths[1], Breite(*k.t, "Ulm an der Donau") + rand);
  EXPECT_EQ(b.Widest[0], 6);
}

// ---------------------------------------------------------------- scrolling

TEST(IconTabBild, ScrollRangesFromRowsAndColumnsThatDoNotFit) {
  Tafel k;
  k.Gross(100, 20);
  // Both bars: 284 x 184 pixels remain, for the title and nine rows, and seven columns.
  EXPECT_TRUE(k.t->VertBar()->Visible());
  EXPECT_TRUE(k.t->HorzBar()->Visible());
  EXPECT_EQ(k.t->VertRange(), 91);
  EXPECT_EQ(k.t->HorzRange(), 13);
  EXPECT_EQ(k.t->VertBar()->Max() - k.t->VertBar()->PageSize() + 1, 91);
  k.Vert(SB_BOTTOM);
  {
    Bild b(k.t);
    EXPECT_EQ(b.Text("r91"), nullptr);
    ASSERT_NE(b.Text("r92"), nullptr) << b.Alles();
    EXPECT_EQ(b.Text("r100")->clip.bottom, 180);
  }
  k.Hor(SB_BOTTOM);
  Bild b(k.t);
  EXPECT_EQ(b.Text("c12"), nullptr);
  EXPECT_EQ(b.Text("c13")->clip.left, 0);
  EXPECT_EQ(b.Text("c19")->clip.right, 300 - TIconTab::kBar);
  EXPECT_EQ(b.Text("r100"), nullptr);  // column 0 scrolled away
  // Room for everything: no bars, no position.
  k.t->SetBounds(0, 0, 2000, 3000);
  k.t->Perform(WM_SIZE);
  EXPECT_FALSE(k.t->VertBar()->Visible() || k.t->HorzBar()->Visible());
  EXPECT_EQ(k.t->VertPos() + k.t->HorzPos(), 0);
}

TEST(IconTabBild, FixedColumnsStayWhenScrolledSideways) {
  Tafel k;
  k.t->StdFixedCols = 1;
  k.Gross(3, 20);
  EXPECT_EQ(k.t->HorzRange(), 13);  // six columns fit beside the fixed one
  k.Hor(SB_BOTTOM);
  Bild b(k.t);
  EXPECT_EQ(b.Text("c0")->clip.left, 0);
  EXPECT_EQ(b.Text("c13"), nullptr);
  EXPECT_EQ(b.Text("c14")->clip.left, 40);
  EXPECT_EQ(b.Text("c19")->clip.right, 300);  // four rows need no vertical bar
  TRect r;
  EXPECT_TRUE(k.t->GetZellRect(r, 0, 1));
  EXPECT_FALSE(k.t->GetZellRect(r, 13, 1));
  ASSERT_TRUE(k.t->GetZellRect(r, 15, 1));
  EXPECT_EQ(r.left, 80);
  // A caption row stays one cell across the width, moved left by the columns scrolled away.
  k.t->SetCell(2, 0, "Summe");
  k.t->SetRowArt(2, 1);
  ASSERT_TRUE(k.t->GetZellRect(r, 0, 2));
  EXPECT_EQ(r.left, -13 * 40);
  EXPECT_EQ(r.right, 300);
  Bild nach(k.t);
  ASSERT_NE(nach.Text("Summe"), nullptr);
  EXPECT_EQ(nach.Text("Summe")->rect.left, -13 * 40 + 4);
}

TEST(IconTabBild, ScrollCodesMoveWithinTheRange) {
  Tafel k;
  k.Gross(100, 20);
  ASSERT_EQ(k.t->VertRange(), 91);
  const int seite = (200 - TIconTab::kBar) / 18;
  struct Fall {
    int start, code, pos, ende;
  };
  const Fall hoch[] = {
      {0, SB_LINEDOWN, 0, 1},        {5, SB_LINEUP, 0, 4},      {0, SB_LINEUP, 0, 0},
      {0, SB_PAGEDOWN, 0, seite},    {5, SB_PAGEUP, 0, 0},      {88, SB_PAGEDOWN, 0, 91},
      {91, SB_LINEDOWN, 0, 91},      {40, SB_TOP, 0, 0},        {3, SB_BOTTOM, 0, 91},
      {7, SB_ENDSCROLL, 0, 7},       {7, 99, 0, 7},
  };
  for (const Fall& f : hoch) {
    k.Vert(SB_TOP);
    for (int i = 0; i < f.start; ++i) k.Vert(SB_LINEDOWN);
    k.Vert(f.code, f.pos);
    EXPECT_EQ(k.t->VertPos(), f.ende) << f.start << " code " << f.code;
    EXPECT_EQ(k.t->VertBar()->Position(), f.ende) << f.start << " code " << f.code;
  }
  ASSERT_EQ(k.t->HorzRange(), 13);
  const Fall quer[] = {
      {0, SB_LINEDOWN, 0, 1},        {0, SB_PAGEDOWN, 0, 10},   {10, SB_PAGEDOWN, 0, 13},
      {5, SB_PAGEUP, 0, 0},          {0, SB_THUMBPOSITION, 7, 7}, {0, SB_THUMBTRACK, 99, 13},
      {2, SB_BOTTOM, 0, 13},         {9, SB_TOP, 0, 0},         {0, SB_LINEUP, 0, 0},
  };
  for (const Fall& f : quer) {
    k.Hor(SB_TOP);
    for (int i = 0; i < f.start; ++i) k.Hor(SB_LINEDOWN);
    k.Hor(f.code, f.pos);
    EXPECT_EQ(k.t->HorzPos(), f.ende) << f.start << " code " << f.code;
  }
  // The wheel: three rows a notch.
  struct Rad {
    int start, delta, ende;
  };
  for (const Rad& r : {Rad{0, -120, 3}, Rad{10, 120, 7}, Rad{0, -240, 6}, Rad{1, 120, 0}, Rad{90, -120, 91},
                       Rad{10, -30, 13}}) {
    k.Vert(SB_TOP);
    for (int i = 0; i < r.start; ++i) k.Vert(SB_LINEDOWN);
    k.Rad(r.delta);
    EXPECT_EQ(k.t->VertPos(), r.ende) << r.start << " " << r.delta;
  }
}

TEST(IconTabBild, DraggingTheThumbReachesRowsPast65535) {
  Tafel k;
  k.t->SetTabelle(100001, 2);
  k.t->SetCell(70001, 0, "hier");
  k.t->FEndUpdate(false);
  ASSERT_EQ(k.t->VertRange(), 99990);
  auto* bar = k.t->VertBar()->findChild<QScrollBar*>();
  ASSERT_NE(bar, nullptr);
  bar->setSliderDown(true);
  bar->setSliderPosition(70000);
  EXPECT_EQ(k.t->VertPos(), 70000);  // not the 16 bits of the message (4464)
  bar->setSliderDown(false);
  EXPECT_EQ(k.t->VertPos(), 70000);
  EXPECT_EQ(k.t->VertBar()->Position(), 70000);
  Bild b(k.t);
  ASSERT_NE(b.Text("hier"), nullptr) << b.Alles();
  EXPECT_EQ(b.Text("hier")->clip.top, 18);
}

TEST(IconTabBild, MadeInsideAWindowAlreadyShown) {
  TTestServices dienste;
  TForm form;
  form.SetClientSize(300, 200);
  form.Show();
  auto* t = new TIconTab(&form);
  t->SetBounds(0, 0, 200, 100);
  t->SetTabelle(40, 2);
  t->FEndUpdate(false);
  EXPECT_TRUE(t->VertBar()->Visible());
  EXPECT_GT(t->VertRange(), 0);
}
