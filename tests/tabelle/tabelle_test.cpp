// TTabelle: content and hint, widths, drawing read from the recording canvas, mouse and keys
// as real Qt input at points taken from the grid's geometry, type-ahead and the search field.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <string>
#include <vector>

#include "components/suchfeld/suchfeld.h"
#include "components/tabelle/tabelle.h"
#include "framework/cp1252.h"
#include "framework/gui/graphics.h"
#include "framework/gui/menus.h"
#include "framework/gui/registry.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {

using Zeilen = std::vector<std::vector<std::string>>;

// Umlauts in code page 1252.
const std::string kMueller = "M\xFCller";
const std::string kAepfel = "\xC4pfel";
const std::string kKoeln = "K\xF6ln";

const Zeilen kDaten = {
    {"Name", "Ort", "Betrag", "Geheim"},
    {kMueller, kKoeln, "12,50", "x1"},
    {"Meier", "Bonn", "7", "x2"},
    {kAepfel, "Aachen", "3", "x3"},
    {"Schulz", "Essen", "0", "Zebra"},
    {"mustermann", "Berlin", "3", "x5"},
};

struct Tab {
  TTestServices dienste;
  TForm form;
  TTabelle* t;
  std::vector<int> gewaehlt;
  std::vector<std::pair<int, bool>> sortiert;
  int doppel = 0;

  explicit Tab(int breite = 360, int hoehe = 200) {
    form.SetClientSize(520, 400);
    t = new TTabelle(&form);
    t->SetBounds(10, 40, breite, hoehe);
    t->OnSelectCell = [this](TObject*, int r) { gewaehlt.push_back(r); };
    t->OnSortCell = [this](TObject*, uint8_t s, bool ab) { sortiert.push_back({s, ab}); };
    t->OnDoppelKlick = [this](TObject*) { ++doppel; };
  }
  void Fuellen(const Zeilen& z, int sichtbar = -1) {
    const int cols = int(z[0].size());
    t->AutoUpdate = false;
    t->SetTabelle(int(z.size()), cols, sichtbar < 0 ? cols : sichtbar);
    for (size_t r = 0; r < z.size(); ++r)
      for (size_t c = 0; c < z[r].size(); ++c) t->SetCell(int(r), int(c), z[r][c]);
    t->FEndUpdate(false);
  }
  void Zeigen() {
    ShowAndActivate(&form);
    t->SetFocus();
  }
};

TPoint Mitte(const TRect& r) { return {r.left + r.Width() / 2, r.top + r.Height() / 2}; }

void Druecken(QWidget* w, TPoint p, Qt::MouseButton b = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonPress, b, p);
}
void Loslassen(QWidget* w, TPoint p, Qt::MouseButton b = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonRelease, b, p);
}
void Klick(QWidget* w, TPoint p, Qt::MouseButton b = Qt::LeftButton) {
  Druecken(w, p, b);
  Loslassen(w, p, b);
}

// A key as a window system delivers it: the press to the widget with the focus, the
// release to whichever widget has the focus by then.
void Taste(QWidget* w, int qtKey, const std::string& utf8 = "") {
  SendKeyPress(w, qtKey, utf8);
  QWidget* fokus = QApplication::focusWidget();
  SendKeyRelease(fokus ? fokus : w, qtKey);
}

struct Bild {
  TRecordingCanvas c;
  explicit Bild(TTabelle* t) : c(t->Width(), t->Height()) { t->PaintTo(c); }
  std::vector<const TCanvasOp*> Ops(TCanvasOp::Kind k) const {
    std::vector<const TCanvasOp*> v;
    for (auto& op : c.record.ops)
      if (op.kind == k) v.push_back(&op);
    return v;
  }
  // The last fill of exactly this rectangle: what the cell shows.
  const TCanvasOp* Fuellung(const TRect& r) const {
    const TCanvasOp* f = nullptr;
    for (auto& op : c.record.ops)
      if (op.kind == TCanvasOp::FillRect && op.rect == r) f = &op;
    return f;
  }
  const TCanvasOp* Text(const std::string& s) const { return c.record.FindText(s); }
};

int TextBreite(const TFont& f, const std::string& s) {
  int w = 0;
  for (char ch : s) w += TCanvas::MeasureText(f, std::string(1, ch)).cx;
  return w;
}

}  // namespace

// ---------------------------------------------------------------- content

TEST(Tabelle, SetTabelleGivesRowsColumnsAndHiddenDataColumns) {
  struct Case {
    int rows, cols, sichtbar;
    bool neueZeile;
    int rowCount, spalten, sichtbarNachher;
  };
  const Case cases[] = {
      {0, 3, 3, false, 2, 3, 3},  {0, 3, 3, true, 3, 3, 3},  {5, 3, 3, false, 5, 3, 3},
      {5, 3, 3, true, 6, 3, 3},   {4, 5, 3, false, 4, 5, 3}, {4, 5, 0, false, 4, 5, 5},
      {-7, 2, 9, false, 2, 2, 2},
  };
  for (const Case& k : cases) {
    Tab t;
    t.t->FNeueZeile(k.neueZeile);
    t.t->SetTabelle(k.rows, k.cols, k.sichtbar);
    SCOPED_TRACE(std::to_string(k.rows) + " x " + std::to_string(k.cols) + " / " + std::to_string(k.sichtbar));
    EXPECT_EQ(t.t->RowCount(), k.rowCount);
    EXPECT_EQ(t.t->Spalten(), k.spalten);
    EXPECT_EQ(t.t->ColCount(), k.cols);
    EXPECT_EQ(t.t->SichtbareSpalten(), k.sichtbarNachher);
    EXPECT_EQ(t.t->FixedRows(), 1);
    EXPECT_EQ(t.t->FixedCols(), 0);
    EXPECT_EQ(t.t->RowHeights(1), k.neueZeile ? 20 : 16);
    // With AutoBreite every column waits hidden for a cell to widen it.
    for (int c = 0; c < k.cols; ++c) EXPECT_EQ(t.t->ColWidths(c), -1) << c;
  }
}

TEST(Tabelle, DefaultsOfANewTable) {
  Tab t;
  EXPECT_EQ(t.t->DefaultRowHeight(), 16);
  EXPECT_EQ(t.t->FixedCols(), 0);
  EXPECT_EQ(t.t->FixedRows(), 1);
  const int o = t.t->Options();
  EXPECT_TRUE(o & goRowSelect);
  EXPECT_TRUE(o & goColSizing);
  EXPECT_TRUE(o & goThumbTracking);
  EXPECT_FALSE(o & goRangeSelect);
  EXPECT_EQ(t.t->Gedrueckt(), 255);
  EXPECT_EQ(t.t->FSort_Spalte(), 0);
}

TEST(Tabelle, HintCountsRecordsOfTheCellList) {
  struct Case {
    int cols, eintraege;
    const char* hint;
  };
  const Case cases[] = {
      {2, 4, "1 Datensatz in der Tabelle"},
      {2, 5, "2 Datens\xE4tze in der Tabelle"},
      {2, 0, "0 Datens\xE4tze in der Tabelle"},
      {2, 2, "0 Datens\xE4tze in der Tabelle"},
      {3, 7, "2 Datens\xE4tze in der Tabelle"},
      {0, 0, "0 Datens\xE4tze in der Tabelle"},  // no columns: nothing to divide by
  };
  for (const Case& k : cases) {
    Tab t;
    t.t->AutoUpdate = false;
    t.t->SetTabelle(10, k.cols, k.cols);
    for (int i = 0; i < k.eintraege; ++i) t.t->SetCell(i / k.cols, i % k.cols, "z");
    ASSERT_EQ(t.t->Zellen().Count(), k.eintraege);
    t.t->FEndUpdate(false);
    EXPECT_EQ(t.t->Hint(), k.hint) << k.cols << " columns, " << k.eintraege << " entries";
    EXPECT_EQ(t.t->toolTip().toStdString(), Cp1252ToUtf8(k.hint));
  }
}

TEST(Tabelle, AutoUpdateEndsTheUpdateAtOnce) {
  Tab t;
  t.t->AutoUpdate = true;
  t.t->SetTabelle(3, 2, 2);
  EXPECT_FALSE(t.t->Updating());
  EXPECT_EQ(t.t->Hint(), "0 Datens\xE4tze in der Tabelle");
  t.t->AutoUpdate = false;
  t.t->SetTabelle(3, 2, 2);
  EXPECT_TRUE(t.t->Updating());
}

TEST(Tabelle, SetCellAndGetCell) {
  Tab t;
  t.t->AutoUpdate = false;
  t.t->SetTabelle(4, 3, 3);
  // Outside the counts nothing is stored.
  t.t->SetCell(4, 0, "zu tief");
  t.t->SetCell(0, 3, "zu weit");
  t.t->SetCell(-1, 0, "davor");
  EXPECT_EQ(t.t->Zellen().Count(), 0);
  // A later cell fills the list up with empty strings.
  t.t->SetCell(2, 1, "b", clRed);
  EXPECT_EQ(t.t->Zellen().Count(), 8);
  EXPECT_EQ(t.t->Zellen()[7], "b");
  EXPECT_EQ(t.t->Zellen()[3], "");
  t.t->SetCell(2, 1, "B", clBlue);
  t.t->SetCell(2, 0, "a", clGreen);
  EXPECT_EQ(t.t->Zellen().Count(), 8);
  EXPECT_EQ(t.t->GetCell(1, 2), "B");
  EXPECT_EQ(t.t->GetCell(0, 2), "a");
  EXPECT_EQ(t.t->ZeilenFarbe(2), clGreen);  // the last call for a row wins
  EXPECT_EQ(t.t->GetCell(2, 3), "");        // beyond the list
  EXPECT_EQ(t.t->GetCell(7, 2), "");        // beyond the columns

  // With the new-row line grid row 1 reads empty and the data moves down one row.
  Tab n;
  n.t->FNeueZeile(true);
  n.Fuellen({{"T"}, {"eins"}, {"zwei"}});
  EXPECT_EQ(n.t->RowCount(), 4);
  EXPECT_EQ(n.t->GetCell(0, 0), "T");
  EXPECT_EQ(n.t->GetCell(0, 1), "");
  EXPECT_EQ(n.t->GetCell(0, 2), "eins");
  EXPECT_EQ(n.t->GetCell(0, 3), "zwei");
}

TEST(Tabelle, GetCellOfTheCurrentRowFollowsTheShownSelection) {
  Tab t;
  t.Fuellen(kDaten);
  t.t->SetRow(3);
  EXPECT_EQ(t.t->GetRow(), 3);
  EXPECT_EQ(t.t->GetCell(0, -1), kAepfel);
  t.t->SetRow(-1);
  EXPECT_EQ(t.t->GetRow(), -1);
  EXPECT_EQ(t.t->GetCell(0, -1), "");
  t.t->SetRow(0);  // row 1, not highlighted
  EXPECT_EQ(t.t->Row(), 1);
  EXPECT_EQ(t.t->GetCell(0, -1), kMueller);
  t.t->SetRow(2);
  EXPECT_EQ(t.t->GetCell(1, -1), "Bonn");
  EXPECT_TRUE(t.gewaehlt.empty());  // set by the host: nobody is told
}

TEST(Tabelle, StrInZahlReadsHundredths) {
  struct Case {
    const char* text;
    int64_t zahl;
  };
  const Case cases[] = {
      {"1.234", 123},
      {"12", 1200},
      {"1,5", 150},
      {"1.2.3", 120},
      {"3,14159", 314},
      {"0,005", 0},
      {"", 0},
      {"abc", 0},
      {"x7y", 700},
      {"1 234,56 EUR", 123456},
      {"-5", 0},
      {"-1,5", 0},
      {"12,", 1200},
      {",75", 75},
      // Sixteen digits: beyond what 32 bits hold, exact in 64.
      {"9999999999999999", 999999999999999900},
      // Only the first 16 characters count.
      {"12345678901234567890", 123456789012345600},
      {"123456789012345,6789", 12345678901234500},
  };
  for (const Case& k : cases) EXPECT_EQ(TTabelle::Str_in_Zahl(k.text), k.zahl) << k.text;
}

TEST(Tabelle, TypesColumnListAndGraphColumn) {
  Tab t;
  t.t->AutoUpdate = false;
  t.t->SetTabelle(3, 5, 4);
  t.t->SetCell(0, 0, "Name");
  t.t->SetCell(0, 1, "Menge");
  t.t->SetCell(0, 3, "");
  t.t->SetCell(0, 4, "Versteckt");
  for (int c : {0, 1, 3, 4, 5, -1}) t.t->SetTyp(c);  // 0 and the out-of-range ones are refused
  EXPECT_FALSE(t.t->IstWertSpalte(0));
  EXPECT_TRUE(t.t->IstWertSpalte(1));
  EXPECT_TRUE(t.t->IstWertSpalte(4));
  TStringList l;
  l.Add("alt");
  t.t->Get_Spalten(l, 0);
  ASSERT_EQ(l.Count(), 2);  // column 4 is a hidden data column
  EXPECT_EQ(l[0], "Menge");
  EXPECT_EQ(intptr_t(l.Objects(0)), 1);
  EXPECT_EQ(l[1], "Spalte 4");
  EXPECT_EQ(intptr_t(l.Objects(1)), 3);
  t.t->Get_Spalten(l, 2);
  ASSERT_EQ(l.Count(), 1);
  EXPECT_EQ(l[0], "Spalte 4");
  EXPECT_EQ(t.t->Get_GrafSpalte(), 1);
}

TEST(Tabelle, SortColumnValueAndFallback) {
  Tab t;
  t.Fuellen(kDaten);
  t.t->WSort_Spalte(2);
  EXPECT_EQ(t.t->FSort_Spalte(), 2);
  t.t->WSort_Spalte(4);  // beyond the last column
  EXPECT_EQ(t.t->FSort_Spalte(), 0);
  t.t->WSort_Spalte(3);
  t.t->SetTabelle(3, 2, 2);  // the sort column is gone
  EXPECT_EQ(t.t->SortSpalte(), 0);
}

// ---------------------------------------------------------------- widths

TEST(Tabelle, AutoBreiteWidensToTheWidestCellAndTheLastColumnFills) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  const TFont& f = t.t->Font();
  auto breitester = [&](int c) {
    int w = TextBreite(f, kDaten[0][size_t(c)]) + 4 + 14;  // title: room for the sort arrow
    for (size_t r = 1; r < kDaten.size(); ++r) w = std::max(w, TextBreite(f, kDaten[r][size_t(c)]) + 6);
    return w;
  };
  EXPECT_EQ(t.t->ColWidths(0), breitester(0));
  EXPECT_EQ(t.t->ColWidths(1), breitester(1));
  EXPECT_EQ(t.t->ColWidths(3), -1);  // a hidden data column is never widened
  // The last shown column takes the rest: border, lines and columns make the table's width.
  const int lw = t.t->GridLineWidth();
  EXPECT_EQ(4 + t.t->ColWidths(0) + t.t->ColWidths(1) + t.t->ColWidths(2) + 3 * lw, t.t->Width());
  EXPECT_GT(t.t->ColWidths(2), breitester(2));
  EXPECT_FALSE(t.t->HorzScrollBar()->Visible());

  // A narrower table leaves the last column its own widest width, and a wider one stretches it.
  t.Zeigen();
  t.t->SetWidth(120);
  EXPECT_EQ(t.t->ColWidths(2), breitester(2));
  t.t->SetWidth(500);
  EXPECT_EQ(4 + t.t->ColWidths(0) + t.t->ColWidths(1) + t.t->ColWidths(2) + 3 * lw, 500);
}

TEST(Tabelle, TitlesWidenOnlyWithMitUeberschriftAndGetGlyphRoomOnlyWhenNeeded) {
  struct Case {
    bool mitUeberschrift, sortierung;
    int zusatz;  // beyond the text: 6 for data, 18 for a title with a glyph
  };
  const std::string lang = "Eine sehr lange Ueberschrift";
  for (const Case& k : {Case{true, true, 18}, Case{true, false, 6}, Case{false, true, -1}}) {
    Tab t(600, 200);
    t.t->MitUeberschrift = k.mitUeberschrift;
    t.t->Sortierung = k.sortierung;
    t.Fuellen({{lang, "B"}, {"x", "y"}});
    const int erwartet = k.zusatz < 0 ? TextBreite(t.t->Font(), "x") + 6 : TextBreite(t.t->Font(), lang) + k.zusatz;
    EXPECT_EQ(t.t->ColWidths(0), erwartet) << k.mitUeberschrift << k.sortierung;
  }
}

TEST(Tabelle, ASearchFieldMakesRoomForItsMarker) {
  Tab t(600, 200);
  auto* feld = new TSuchfeld(&t.form);
  t.t->Sortierung = false;
  t.t->SetSuchelement(feld);
  t.Fuellen({{"Titel", "B"}, {"x", "y"}});
  EXPECT_EQ(t.t->ColWidths(0), TextBreite(t.t->Font(), "Titel") + 18);
}

TEST(Tabelle, WithoutAutoBreiteColumnsKeepTheDefaultWidth) {
  Tab t;
  t.t->AutoBreite = false;
  t.Fuellen(kDaten, 2);
  EXPECT_EQ(t.t->ColWidths(0), t.t->DefaultColWidth());
  EXPECT_EQ(t.t->ColWidths(1), t.t->DefaultColWidth());
  EXPECT_EQ(t.t->ColWidths(2), -1);
  EXPECT_EQ(t.t->ColWidths(3), -1);
}

TEST(Tabelle, DraggingAColumnBorderStopsAutomaticWidths) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.Zeigen();
  const TRect c0 = t.t->CellRect(0, 0);
  const TPoint rand{c0.right, Mitte(c0).y};
  ASSERT_EQ(t.t->ColBorderAt(rand.x, rand.y), 0);
  Druecken(t.t, rand);
  SendMouse(t.t, QEvent::MouseMove, Qt::NoButton, {rand.x + 30, rand.y}, Qt::LeftButton);
  Loslassen(t.t, {rand.x + 30, rand.y});
  EXPECT_TRUE(t.t->BenutzerBreite());
  EXPECT_EQ(t.t->ColWidths(0), c0.Width() + 30);
  EXPECT_TRUE(t.sortiert.empty());  // a border press is no sort click
  const int w1 = t.t->ColWidths(1);
  t.t->SetCell(1, 1, std::string(60, 'W'));
  EXPECT_EQ(t.t->ColWidths(1), w1);
  // The user's widths outlive a new content.
  t.Fuellen(kDaten, 3);
  EXPECT_EQ(t.t->ColWidths(0), c0.Width() + 30);
}

// ---------------------------------------------------------------- drawing

TEST(Tabelle, SelectedRowColours) {
  struct Case {
    const char* was;
    int setRow;
    TColor zeilenFarbe;
    bool fokus;
    TColor fuellung, text;
  };
  const Case cases[] = {
      {"focused", 2, 0, true, clHighlight, clWhite},
      {"unfocused", 2, 0, false, clInactiveCaption, clWhite},
      {"row colour", 2, clGreen, true, clGreen, clWhite},
      {"hidden", -1, 0, true, clWindow, clBlack},
      {"no highlight", 0, 0, true, clWindow, clBlack},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.was);
    Tab t;
    t.t->AutoUpdate = false;
    t.t->SetTabelle(4, 2, 2);
    t.t->SetCell(0, 0, "A");
    t.t->SetCell(0, 1, "B");
    for (int r = 1; r < 4; ++r) {
      const TColor farbe = r == std::max(1, k.setRow) ? k.zeilenFarbe : 0;
      t.t->SetCell(r, 0, std::string(1, 'a').append(std::to_string(r)), farbe);
      t.t->SetCell(r, 1, std::string(1, 'b').append(std::to_string(r)), farbe);
    }
    t.t->FEndUpdate(false);
    t.t->SetRow(2);
    t.t->SetRow(k.setRow);
    if (k.fokus) t.Zeigen();
    const int row = std::max(1, k.setRow < 0 ? 2 : k.setRow);
    Bild b(t.t);
    for (int c = 0; c < 2; ++c) {
      const TCanvasOp* f = b.Fuellung(t.t->CellRect(c, row));
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->brushColor, k.fuellung) << c;
      const TCanvasOp* tx = b.Text(std::string(1, c ? 'b' : 'a').append(std::to_string(row)));
      ASSERT_NE(tx, nullptr);
      EXPECT_EQ(tx->font.Color, k.text) << c;
    }
  }
}

TEST(Tabelle, TextIsClippedToItsCellInTheRowColour) {
  Tab t(200, 150);
  t.t->AutoBreite = false;
  t.t->AutoUpdate = false;
  t.t->SetTabelle(3, 2, 2);
  t.t->SetCell(0, 0, "Titel");
  t.t->SetCell(1, 0, std::string(40, 'X'), clRed);
  t.t->SetCell(2, 1, "blau", clBlue);
  t.t->FEndUpdate(false);
  t.t->SetRow(-1);
  Bild b(t.t);
  const TCanvasOp* lang = b.Text(std::string(40, 'X'));
  ASSERT_NE(lang, nullptr);
  const TRect zelle = t.t->CellRect(0, 1);
  EXPECT_TRUE(lang->clipped);
  EXPECT_EQ(lang->clip, zelle);
  EXPECT_EQ(lang->rect.left, zelle.left + 2);
  EXPECT_GT(lang->rect.right, zelle.right);  // the text is wider; the clip cuts it
  EXPECT_EQ(lang->font.Color, clRed);
  ASSERT_NE(b.Text("blau"), nullptr);
  EXPECT_EQ(b.Text("blau")->font.Color, clBlue);
  // The image holds red only inside the cell.
  bool rotDrin = false, rotDraussen = false;
  for (int y = zelle.top; y < zelle.bottom; ++y)
    for (int x = 0; x < t.t->Width(); ++x) {
      const TColor p = b.c.Pixel(x, y);
      const bool rot = (p & 0xFF) > 150 && ((p >> 8) & 0xFF) < 110 && ((p >> 16) & 0xFF) < 110;
      if (rot && x >= zelle.left && x < zelle.right) rotDrin = true;
      if (rot && (x < zelle.left || x >= zelle.right)) rotDraussen = true;
    }
  EXPECT_TRUE(rotDrin);
  EXPECT_FALSE(rotDraussen);
}

TEST(Tabelle, NothingIsDrawnWhileUpdatingOrBeforeTheFirstContent) {
  Tab t;
  EXPECT_TRUE(Bild(t.t).Ops(TCanvasOp::Text).empty());
  t.t->AutoUpdate = false;
  t.t->SetTabelle(3, 2, 2);
  t.t->SetCell(0, 0, "Titel");
  t.t->SetCell(1, 0, "Zelle");
  EXPECT_TRUE(Bild(t.t).Ops(TCanvasOp::Text).empty());
  t.t->FEndUpdate(false);
  EXPECT_NE(Bild(t.t).Text("Zelle"), nullptr);
}

TEST(Tabelle, TitleGlyphsAndTheSearchColumnColour) {
  struct Case {
    const char* was;
    bool sortierung, feld;
    int sort, such;
    bool abwaerts;
    int glyphSpalte;  // -1: none
    TTabelle::TGlyph glyph;
    int lilaSpalte;   // -1: none
  };
  using G = TTabelle::TGlyph;
  const Case cases[] = {
      {"ascending", true, false, 1, 0, false, 1, G::Auf, -1},
      {"descending", true, false, 1, 0, true, 1, G::Ab, -1},
      {"sort is search", true, false, 1, 1, false, 1, G::Auf, 1},
      {"marker", false, true, 0, 2, false, 2, G::Such, -1},
      {"no field no marker", false, false, 0, 2, false, -1, G::Such, -1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.was);
    Tab t(400, 150);
    t.t->Sortierung = k.sortierung;
    if (k.feld) t.t->SetSuchelement(new TSuchfeld(&t.form));
    t.Fuellen(kDaten, 3);
    t.t->WSort_Spalte(k.sort);
    t.t->Suche(smSpalte + k.such);
    if (k.abwaerts) {
      // Only a click turns the direction: click the sort column's title.
      t.Zeigen();
      Klick(t.t, Mitte(t.t->CellRect(k.sort, 0)));
      ASSERT_TRUE(t.t->Abwaerts());
    }
    t.t->SetRow(-1);
    Bild b(t.t);
    const auto glyphs = b.Ops(TCanvasOp::Bitmap);
    if (k.glyphSpalte < 0) {
      EXPECT_TRUE(glyphs.empty());
      continue;
    }
    ASSERT_EQ(glyphs.size(), 1u);
    const TRect titel = t.t->CellRect(k.glyphSpalte, 0);
    const TRect g = glyphs[0]->rect;
    EXPECT_EQ(g.left, titel.left + 2);
    EXPECT_EQ(g.Width(), 10);
    EXPECT_EQ(g.Height(), 12);
    EXPECT_EQ(g.top - titel.top, titel.bottom - g.bottom);  // vertically centred
    // The pixels are those of the glyph asked for.
    TBitmap bild = TTabelle::Glyph(k.glyph);
    int gleich = 0;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 10; ++x)
        if (bild.Canvas().Pixel(x, y) != clFuchsia) gleich += b.c.Pixel(g.left + x, g.top + y) == bild.Canvas().Pixel(x, y);
    EXPECT_GT(gleich, 10);
    const std::string& titelText = kDaten[0][size_t(k.glyphSpalte)];
    ASSERT_NE(b.Text(titelText), nullptr);
    EXPECT_EQ(b.Text(titelText)->rect.left, titel.left + 12);
    for (int c = 0; c < 3; ++c) {
      const TCanvasOp* tx = b.Text(kDaten[0][size_t(c)]);
      ASSERT_NE(tx, nullptr);
      EXPECT_EQ(tx->font.Color, c == k.lilaSpalte ? clPurple : clBlack) << c;
    }
  }
}

TEST(Tabelle, TheGlyphsDiffer) {
  using G = TTabelle::TGlyph;
  auto ink = [](G g) {
    std::vector<bool> v;
    TBitmap b = TTabelle::Glyph(g);
    EXPECT_EQ(b.Width(), 10);
    EXPECT_EQ(b.Height(), 12);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 10; ++x) v.push_back(b.Canvas().Pixel(x, y) != clFuchsia);
    return v;
  };
  const auto auf = ink(G::Auf), ab = ink(G::Ab), such = ink(G::Such);
  EXPECT_NE(auf, ab);
  EXPECT_NE(auf, such);
  EXPECT_NE(ab, such);
  // The arrows point their way: the ascending one is widest below its tip, the other above.
  auto breite = [](const std::vector<bool>& v, int y) {
    int n = 0;
    for (int x = 0; x < 10; ++x) n += v[size_t(y * 10 + x)];
    return n;
  };
  EXPECT_LT(breite(auf, 2), breite(auf, 6));
  EXPECT_GT(breite(ab, 5), breite(ab, 9));
}

TEST(Tabelle, NewRowLineShowsItsTextRedAtTwelvePoints) {
  for (bool gewaehlt : {false, true}) {
    Tab t;
    t.t->FNeueZeile(true);
    t.t->NeueZeileText = "<neu>";
    t.Fuellen(kDaten, 3);
    t.t->SetRow(gewaehlt ? 1 : 2);
    t.Zeigen();
    Bild b(t.t);
    const TCanvasOp* tx = b.Text("<neu>");
    ASSERT_NE(tx, nullptr);
    EXPECT_EQ(tx->font.Size, 12);
    EXPECT_EQ(tx->font.Color, gewaehlt ? clWhite : clRed);
    EXPECT_EQ(tx->clip, t.t->CellRect(0, 1));
    EXPECT_EQ(t.t->RowHeights(1), 20);
  }
  Tab t;
  t.t->FNeueZeile(true);
  t.t->FNeueZeile(false);
  EXPECT_EQ(t.t->RowHeights(1), 16);
}

// ---------------------------------------------------------------- mouse

TEST(Tabelle, TitleClicksReportSortRequests) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.Zeigen();
  auto titel = [&](int c) { return Mitte(t.t->CellRect(c, 0)); };
  // Clicking the sort column twice toggles the direction, each time with the same column.
  Klick(t.t, titel(1));
  Klick(t.t, titel(1));
  Klick(t.t, titel(1));
  Klick(t.t, titel(0));
  const std::vector<std::pair<int, bool>> erwartet = {{2, false}, {2, true}, {2, false}, {1, false}};
  EXPECT_EQ(t.sortiert, erwartet);
  EXPECT_EQ(t.t->FSort_Spalte(), 0);
  Klick(t.t, titel(2));
  Klick(t.t, titel(2));
  EXPECT_EQ(t.t->FSort_Spalte(), 128 + 2);
  EXPECT_TRUE(t.gewaehlt.empty());  // the title row is no selection

  t.t->Sortierung = false;
  t.sortiert.clear();
  Klick(t.t, titel(0));
  EXPECT_TRUE(t.sortiert.empty());
}

TEST(Tabelle, APressedTitleIsFramedUntilTheRelease) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.Zeigen();
  const TRect zelle = t.t->CellRect(1, 0);
  Druecken(t.t, Mitte(zelle));
  EXPECT_EQ(t.t->Gedrueckt(), 1);
  {
    Bild b(t.t);
    bool rahmen = false;
    for (auto* op : b.Ops(TCanvasOp::FrameRect))
      rahmen |= op->rect == zelle.Inflate(-1, -1) && op->brushColor == clBlack;
    EXPECT_TRUE(rahmen);
  }
  // Released elsewhere, the look ends all the same.
  Loslassen(t.t, {zelle.left, zelle.bottom + 40});
  EXPECT_EQ(t.t->Gedrueckt(), 255);
  Bild b(t.t);
  for (auto* op : b.Ops(TCanvasOp::FrameRect)) EXPECT_NE(op->rect, zelle.Inflate(-1, -1));
}

TEST(Tabelle, RightClickOnATitleMakesTheSearchColumn) {
  Tab t(400, 200);
  auto* feld = new TSuchfeld(&t.form);
  t.t->SetSuchelement(feld);
  t.Fuellen(kDaten, 3);
  t.Zeigen();
  Klick(t.t, Mitte(t.t->CellRect(1, 0)), Qt::RightButton);
  EXPECT_EQ(t.t->SuchSpalte(), 1);
  EXPECT_EQ(feld->SpaltenLabel()->Caption(), "Ort");
  EXPECT_TRUE(t.sortiert.empty());
  EXPECT_EQ(t.t->Gedrueckt(), 255);
}

TEST(Tabelle, DataRowPressesSelectAndReport) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.t->SetRow(-1);
  t.Zeigen();
  auto zeile = [&](int r) { return Mitte(t.t->CellRect(1, r)); };
  Klick(t.t, zeile(3));
  EXPECT_EQ(t.t->GetRow(), 3);  // a press shows a hidden selection
  Klick(t.t, zeile(3));         // the same row again: reported again
  Klick(t.t, zeile(2));
  EXPECT_EQ(t.gewaehlt, (std::vector<int>{3, 3, 2}));

  // A drag to another row reports it at the release.
  t.gewaehlt.clear();
  Druecken(t.t, zeile(2));
  SendMouse(t.t, QEvent::MouseMove, Qt::NoButton, zeile(4), Qt::LeftButton);
  Loslassen(t.t, zeile(4));
  EXPECT_EQ(t.t->GetRow(), 4);
  EXPECT_EQ(t.gewaehlt, (std::vector<int>{2, 4}));
}

TEST(Tabelle, DoubleClickOnADataRowOnly) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.Zeigen();
  const TPoint daten = Mitte(t.t->CellRect(0, 2)), titel = Mitte(t.t->CellRect(0, 0));
  Klick(t.t, daten);
  SendMouse(t.t, QEvent::MouseButtonDblClick, Qt::LeftButton, daten);
  Loslassen(t.t, daten);
  EXPECT_EQ(t.doppel, 1);
  Klick(t.t, titel);
  SendMouse(t.t, QEvent::MouseButtonDblClick, Qt::LeftButton, titel);
  Loslassen(t.t, titel);
  EXPECT_EQ(t.doppel, 1);
  // Enter in the search field acts as a double click on the current row.
  t.t->Suche(smEnter);
  EXPECT_EQ(t.doppel, 2);
  t.t->SetRow(-1);
  t.t->Suche(smEnter);
  EXPECT_EQ(t.doppel, 2);
}

TEST(Tabelle, ACallbackMayFreeTheTable) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.Zeigen();
  QPointer<TTabelle> p(t.t);
  const TPoint daten = Mitte(t.t->CellRect(0, 2));
  t.t->OnSelectCell = [&](TObject*, int) { delete p.data(); };
  Druecken(t.t, daten);
  EXPECT_TRUE(p.isNull());

  Tab s(400, 200);
  s.Fuellen(kDaten, 3);
  s.Zeigen();
  QPointer<TTabelle> q(s.t);
  const TPoint titel = Mitte(s.t->CellRect(0, 0));
  s.t->OnSortCell = [&](TObject*, uint8_t, bool) { delete q.data(); };
  Druecken(s.t, titel);
  EXPECT_TRUE(q.isNull());
}

TEST(Tabelle, RightClickInADataRowOpensThePopupMenu) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  TPopupMenu menu(&t.form);
  bool gewaehlt = false;
  TMenuItem item;
  item.Caption = "Details";
  item.OnClick = [&](TObject*) { gewaehlt = true; };
  menu.Items.push_back(item);
  t.t->PopupMenu = &menu;
  t.dienste.menus.choose.push_back("Details");
  t.Zeigen();
  Klick(t.t, Mitte(t.t->CellRect(0, 2)), Qt::RightButton);
  ASSERT_EQ(t.dienste.menus.calls.size(), 1u);
  EXPECT_TRUE(gewaehlt);
  Klick(t.t, Mitte(t.t->CellRect(0, 0)), Qt::RightButton);  // the title: search column only
  EXPECT_EQ(t.dienste.menus.calls.size(), 1u);
}

// ---------------------------------------------------------------- keys

TEST(Tabelle, KeysMoveRowsAndArrowsSidewaysAreIgnored) {
  Tab t(150, 200);  // narrower than the columns: the grid could scroll sideways
  t.t->AutoBreite = false;
  t.Fuellen(kDaten, 4);
  t.t->SetRow(-1);
  t.Zeigen();
  ASSERT_TRUE(t.t->HorzScrollBar()->Visible());
  struct Schritt {
    int key;
    int row;  // after the key
    bool gemeldet;
  };
  const Schritt schritte[] = {
      {Qt::Key_Down, 2, true}, {Qt::Key_Right, 2, false}, {Qt::Key_Left, 2, false},
      {Qt::Key_End, 5, true},  {Qt::Key_Down, 5, false},  {Qt::Key_Home, 1, true},
      {Qt::Key_Up, 1, false},
  };
  for (const Schritt& s : schritte) {
    t.gewaehlt.clear();
    Taste(t.t, s.key);
    EXPECT_EQ(t.t->GetRow(), s.row) << s.key;
    EXPECT_EQ(t.t->LeftCol(), 0) << s.key;
    EXPECT_EQ(t.gewaehlt, s.gemeldet ? std::vector<int>{s.row} : std::vector<int>{}) << s.key;
  }
}

TEST(Tabelle, TypeAheadFindsRowsInUpperCase) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.t->SetRow(-1);
  t.Zeigen();
  struct Schritt {
    int key;
    const char* utf8;
    int row;         // current row afterwards
    const char* text;  // type-ahead text afterwards
    int beeps;
  };
  const Schritt schritte[] = {
      {Qt::Key_M, "m", 1, "m", 0},             // Müller is the first M
      {Qt::Key_U, "u", 5, "mu", 0},            // u is no ü: mustermann
      {Qt::Key_X, "x", 5, "mu", 1},            // no match: beep, the x goes again
      {Qt::Key_Adiaeresis, "\xC3\xA4", 5, "mu", 2},
  };
  for (const Schritt& s : schritte) {
    Taste(t.t, s.key, s.utf8);
    EXPECT_EQ(t.t->GetRow(), s.row) << s.utf8;
    EXPECT_EQ(t.t->TippText(), s.text) << s.utf8;
    EXPECT_EQ(t.dienste.sound.beeps, s.beeps) << s.utf8;
  }
  // After the row moved the text starts anew; ä finds Äpfel, and ü finds Müller after M.
  Taste(t.t, Qt::Key_Up);
  Taste(t.t, Qt::Key_Adiaeresis, "\xC3\xA4");
  EXPECT_EQ(t.t->TippText(), "\xE4");
  EXPECT_EQ(t.t->GetRow(), 3);
  Taste(t.t, Qt::Key_Down);
  Taste(t.t, Qt::Key_M, "M");
  Taste(t.t, Qt::Key_Udiaeresis, "\xC3\xBC");
  EXPECT_EQ(t.t->GetRow(), 1);
  EXPECT_EQ(t.t->TippText(), "M\xFC");
  EXPECT_EQ(t.gewaehlt.back(), 1);
}

TEST(Tabelle, F3ContinuesFromTheCurrentRowAndWrapsAround) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.t->SetRow(-1);
  t.Zeigen();
  Taste(t.t, Qt::Key_M, "m");
  EXPECT_EQ(t.t->GetRow(), 1);
  std::vector<int> folge;
  for (int i = 0; i < 4; ++i) {
    Taste(t.t, Qt::Key_F3);
    folge.push_back(t.t->GetRow());
  }
  EXPECT_EQ(folge, (std::vector<int>{2, 5, 1, 2}));
  EXPECT_EQ(t.dienste.sound.beeps, 0);
}

TEST(Tabelle, HiddenColumnsAreNeverSearched) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 3);
  t.t->SetRow(-1);
  t.Zeigen();
  t.t->Suche(smSpalte + 3);  // column 3 is a hidden data column
  EXPECT_EQ(t.t->SuchSpalte(), 0);
  t.t->Suche(smSpalte + 1);
  EXPECT_EQ(t.t->SuchSpalte(), 1);
  Taste(t.t, Qt::Key_Z, "z");  // only "Zebra" in the hidden column starts with z
  EXPECT_EQ(t.t->Row(), 1);
  EXPECT_EQ(t.dienste.sound.beeps, 1);
  EXPECT_EQ(t.t->TippText(), "");
  Taste(t.t, Qt::Key_E, "e");
  EXPECT_EQ(t.t->GetRow(), 4);  // Essen
}

TEST(Tabelle, NewRowLineIsNotSearched) {
  Tab t(400, 200);
  t.t->FNeueZeile(true);
  t.Fuellen(kDaten, 3);
  t.t->SetRow(-1);
  t.Zeigen();
  Taste(t.t, Qt::Key_S, "s");
  EXPECT_EQ(t.t->GetRow(), 5);  // Schulz: data row 4 is grid row 5
  EXPECT_EQ(t.t->GetCell(0, -1), "Schulz");
}

// ---------------------------------------------------------------- the graph view's frame

TEST(Tabelle, NewContentKeepsOrLeavesTheGraphView) {
  Tab t(400, 200);
  std::vector<bool> modi;
  t.t->OnModeChange = [&](TObject*, bool an) { modi.push_back(an); };
  t.Fuellen(kDaten, 4);
  t.t->Set_Grafik(true, 2);
  ASSERT_TRUE(t.t->Grafik());
  ASSERT_EQ(t.t->ColCount(), 4);
  EXPECT_EQ(t.t->Spalten(), 4);

  // The same columns again: the view stays and is laid out for the new rows.
  Zeilen mehr = kDaten;
  mehr.push_back({"Neu", "Ulm", "99", "x6"});
  t.Fuellen(mehr, 4);
  EXPECT_TRUE(t.t->Grafik());
  EXPECT_EQ(t.t->ColCount(), 4);
  EXPECT_EQ(t.t->RowCount(), 7);
  EXPECT_EQ(modi, (std::vector<bool>{true}));

  // Other columns: the view is left while filling and found again by its column's title.
  t.Fuellen({{"Name", "Extra", "Betrag"}, {"a", "b", "5"}, {"c", "d", "7"}});
  EXPECT_EQ(modi, (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(t.t->Grafik());
  EXPECT_EQ(t.t->Get_GrafSpalte(), 2);
  EXPECT_EQ(t.t->Spalten(), 3);

  // Without that title the normal view stays, with the new columns.
  t.Fuellen({{"Name", "Ort"}, {"a", "b"}});
  EXPECT_EQ(modi, (std::vector<bool>{true, false, true, false}));
  EXPECT_FALSE(t.t->Grafik());
  EXPECT_EQ(t.t->ColCount(), 2);
  EXPECT_GT(t.t->ColWidths(0), 0);
  EXPECT_GT(t.t->ColWidths(1), 0);
}

TEST(Tabelle, TheGraphViewKeepsSelectionColoursAndSortsByItsBar) {
  Tab t(400, 200);
  t.Fuellen(kDaten, 4);
  t.t->Set_Grafik(true, 2);
  t.t->SetRow(2);
  t.Zeigen();
  Bild b(t.t);
  for (int c = 0; c < 4; ++c) {
    const TRect r = t.t->CellRect(c, 2);
    if (r.IsEmpty()) continue;
    const TCanvasOp* f = b.Fuellung(r);
    ASSERT_NE(f, nullptr) << c;
    EXPECT_EQ(f->brushColor, clHighlight) << c;
  }
  // A press on the bar's title sorts by the graph column, one on any other title by the key.
  Klick(t.t, Mitte(t.t->CellRect(2, 0)));
  Klick(t.t, Mitte(t.t->CellRect(0, 0)));
  EXPECT_EQ(t.sortiert, (std::vector<std::pair<int, bool>>{{3, false}, {1, false}}));
  // The search column is not changed through the view's titles.
  Klick(t.t, Mitte(t.t->CellRect(2, 0)), Qt::RightButton);
  EXPECT_EQ(t.t->SuchSpalte(), 0);
}

// ---------------------------------------------------------------- the search field

struct MitFeld : Tab {
  TSuchfeld* feld;
  MitFeld() : Tab(400, 200) {
    feld = new TSuchfeld(&form);
    feld->SetBounds(10, 5, 235, 25);
    t->SetSuchelement(feld);
    Fuellen(kDaten, 3);
    t->SetRow(-1);
    Zeigen();
  }
};

TEST(Tabelle, TheSearchFieldIsHookedAndHearsTheTitles) {
  MitFeld m;
  EXPECT_EQ(m.feld->Ziel(), m.t);
  EXPECT_EQ(m.t->FixedColor(), clYellow);
  ASSERT_EQ(m.feld->Spalten_Namen().Count(), 3);  // the visible columns only
  EXPECT_EQ(m.feld->Spalten_Namen()[2], "Betrag");
  EXPECT_EQ(m.feld->SpaltenLabel()->Caption(), "Name");
  // A title set while hooked goes to the field at once.
  m.t->SetCell(0, 1, "Stadt");
  EXPECT_EQ(m.feld->Spalten_Namen()[1], "Stadt");

  // A second table takes the field over: the first loses its search colour.
  auto* zweite = new TTabelle(&m.form);
  zweite->SetBounds(10, 260, 300, 100);
  zweite->SetSuchelement(m.feld);
  zweite->SetTabelle(3, 2, 2);
  EXPECT_EQ(m.feld->Ziel(), zweite);
  EXPECT_EQ(m.t->FixedColor(), clBtnFace);
  EXPECT_EQ(zweite->FixedColor(), clYellow);
  zweite->SetFocus();
  m.t->SetFocus();
  EXPECT_EQ(m.feld->Ziel(), m.t);
  EXPECT_EQ(zweite->FixedColor(), clBtnFace);
}

TEST(Tabelle, TypingGoesToTheSearchFieldWhichDecides) {
  MitFeld m;
  struct Schritt {
    int key;
    const char* utf8;
    int row;
    int beeps;
  };
  // The field searches without case: M finds the last row starting with M (mustermann), a
  // full match stops at once.
  const Schritt schritte[] = {
      {Qt::Key_M, "m", 5, 0},
      {Qt::Key_E, "e", 2, 0},  // "me": only Meier
      {Qt::Key_Q, "q", 2, 1},  // "meq": nothing
  };
  for (const Schritt& s : schritte) {
    Taste(QApplication::focusWidget(), s.key, s.utf8);
    EXPECT_EQ(m.t->GetRow(), s.row) << s.utf8;
    EXPECT_EQ(m.dienste.sound.beeps, s.beeps) << s.utf8;
  }
  EXPECT_EQ(m.feld->GetText(), "meq");
  // The best partial match was two characters: the rest is selected for typing over.
  EXPECT_EQ(m.feld->GetFenster()->SelStart(), 2);
  EXPECT_EQ(m.feld->GetFenster()->SelLength(), 1);
  EXPECT_EQ(m.gewaehlt, (std::vector<int>{5, 2}));
}

TEST(Tabelle, AFullMatchWinsOverPrefixesAndF3GoesOn) {
  Tab t(400, 200);
  auto* feld = new TSuchfeld(&t.form);
  t.t->SetSuchelement(feld);
  t.Fuellen({{"Name"}, {"Anna"}, {"Ann"}, {"Annabel"}, {"Ann"}, {"Berta"}});
  t.Zeigen();
  feld->SetText("ann");
  t.t->Suche(smSuchen);
  EXPECT_EQ(t.t->GetRow(), 2);
  // From the current row on: the next full match, then round again.
  t.t->SetFocus();
  Taste(t.t, Qt::Key_F3);
  EXPECT_EQ(t.t->GetRow(), 4);
  Taste(t.t, Qt::Key_F3);
  EXPECT_EQ(t.t->GetRow(), 2);
  // The field's start button searches on from the current row as well.
  feld->StartClick(feld);
  EXPECT_EQ(t.t->GetRow(), 4);
  // An empty search text moves nothing.
  feld->SetText("");
  t.t->Suche(smSuchen);
  EXPECT_EQ(t.t->GetRow(), 4);
  EXPECT_EQ(t.dienste.sound.beeps, 0);
}

TEST(Tabelle, TheFieldsColumnMenuPicksTheSearchColumn) {
  MitFeld m;
  m.dienste.menus.choose.push_back("Ort");
  m.feld->SpaltenKnopf()->Click();
  EXPECT_EQ(m.t->SuchSpalte(), 1);
  EXPECT_EQ(m.feld->SpaltenLabel()->Caption(), "Ort");
  m.feld->SetText("bo");
  m.t->Suche(smSuchen);
  EXPECT_EQ(m.t->GetRow(), 2);  // Bonn
}

TEST(Tabelle, DetachingTheFieldEndsTheSearchColour) {
  MitFeld m;
  m.t->SetSuchelement(nullptr);
  EXPECT_EQ(m.feld->Ziel(), nullptr);
  EXPECT_EQ(m.t->FixedColor(), clBtnFace);
  // Typing is type-ahead again.
  m.t->SetFocus();
  Taste(m.t, Qt::Key_S, "s");
  EXPECT_EQ(m.t->GetRow(), 4);
  EXPECT_EQ(m.feld->GetText(), "");
}

TEST(Tabelle, IsOnThePalette) {
  Tabelle::Register();
  const TPaletteEntry* e = FindPaletteEntry("TTabelle");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Page, "Beispiele");
  TForm form;
  TObject* o = e->Create(&form);
  EXPECT_NE(dynamic_cast<TTabelle*>(o), nullptr);
}
