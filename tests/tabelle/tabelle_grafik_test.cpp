// TTabelle's graph view and printing: entering and leaving (what is saved and given back, the
// mode events), the four view columns drawn on a recording canvas (titles, key, lists with
// their aligned titles, the silver bar with its value), sorting by a title press in the view;
// printing read from the recording printer: the font size chosen, the orientation, pages,
// lines and foot, the refusal box, an empty table, no printer, the graph view on paper.
#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "components/tabelle/tabelle.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {

using Zeilen = std::vector<std::vector<std::string>>;

// Six columns, the value column 3 in the middle: two columns before it, two after.
const Zeilen kKunden = {
    {"Nr", "Name", "Ort", "Umsatz", "PLZ", "Land"},
    {"17", "Anton", "Bonn", "250,00", "53111", "DE"},
    {"1002", "Bertha", "Berlin-Mitte", "1000", "10115", "CH"},
    {"3", "C\xE4sar", "K\xF6ln", "0", "50667", "DE"},
    {"4", "Dora", "Ulm", "", "89073", "AT"},
};

struct Umgebung {
  TTestServices services;
  TForm form;
  TTabelle* t;
  std::vector<bool> modus;  // OnModeChange, in order
  explicit Umgebung(int breite = 640, int hoehe = 300) {
    form.SetClientSize(breite + 20, hoehe + 20);
    t = new TTabelle(&form);
    t->SetBounds(0, 0, breite, hoehe);
    t->OnModeChange = [this](TObject*, bool an) { modus.push_back(an); };
  }
  void Fuelle(const Zeilen& z, int spalten, int sichtbar) {
    t->SetTabelle(int(z.size()), spalten, sichtbar);
    for (size_t r = 0; r < z.size(); ++r)
      for (size_t k = 0; k < z[r].size(); ++k) t->SetCell(int(r), int(k), z[r][k]);
  }
  TFont Schrift(int groesse, bool fett = false) const {
    TFont f = t->Font();
    f.Size = groesse;
    f.Height = 0;
    if (fett) f.Style |= fsBold;
    return f;
  }
  int Breite(const std::string& s, int groesse, bool fett = false, int ppi = 96) {
    return int(t->Breiten().Width(Schrift(groesse, fett), s, ppi));
  }
  int Hoehe(int groesse, int ppi = 96) { return t->Breiten().Height(Schrift(groesse), ppi); }
};

// What the grid shows, as a host sees it.
struct Ansicht {
  int spalten, schrift, zeilenHoehe, titelHoehe, neueZeileHoehe;
  std::vector<int> breiten;
  friend bool operator==(const Ansicht&, const Ansicht&) = default;
};
Ansicht Lies(const TTabelle& t) {
  Ansicht a{t.ColCount(), t.Font().Size, t.DefaultRowHeight(), t.RowHeights(0), t.RowHeights(1), {}};
  for (int c = 0; c < t.ColCount(); ++c) a.breiten.push_back(t.ColWidths(c));
  return a;
}

std::vector<const TCanvasOp*> TexteIn(const TCanvasRecord& rec, const TRect& zelle) {
  std::vector<const TCanvasOp*> out;
  for (const TCanvasOp* op : rec.Texts())
    if (op->clipped && op->clip == zelle && !op->text.empty()) out.push_back(op);
  return out;
}

const TCanvasOp* Text(const TCanvasRecord& rec, const std::string& s) {
  const TCanvasOp* op = rec.FindText(s);
  EXPECT_NE(op, nullptr) << "no text \"" << s << "\" in: " << rec.AllText();
  return op;
}

std::vector<const TCanvasOp*> Linien(const TCanvasRecord& rec, bool waagrecht) {
  std::vector<const TCanvasOp*> out;
  for (const TCanvasOp& op : rec.ops)
    if (op.kind == TCanvasOp::Line && op.points.size() == 2 &&
        (op.points[0].y == op.points[1].y) == waagrecht && op.points[0] != op.points[1])
      out.push_back(&op);
  return out;
}

std::vector<const TCanvasOp*> Silber(const TCanvasRecord& rec) {
  std::vector<const TCanvasOp*> out;
  for (const TCanvasOp& op : rec.ops)
    if (op.kind == TCanvasOp::FillRect && op.brushColor == clSilver && !op.brushClear) out.push_back(&op);
  return out;
}

// "Zelle " and a number, without the temporary strings GCC warns about.
std::string Mit(std::string vor, int64_t n) {
  vor += std::to_string(n);
  return vor;
}

TPoint Mitte(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

// ---------------------------------------------------------------- entering and leaving

TEST(TabelleGrafik, EnterAndLeaveGiveTheNormalViewBack) {
  struct Fall {
    const char* name;
    bool neueZeile, autoBreite;
    int schrift;
  } faelle[] = {
      {"automatic widths", false, true, 8},
      {"fixed widths, 10 points", false, false, 10},
      {"new-row line", true, true, 9},
  };
  for (const Fall& f : faelle) {
    Umgebung u;
    u.t->AutoBreite = f.autoBreite;
    u.t->FNeueZeile(f.neueZeile);
    TFont font = u.t->Font();
    font.Size = f.schrift;
    u.t->SetFont(font);
    u.Fuelle(kKunden, 6, 6);
    const Ansicht vorher = Lies(*u.t);

    u.t->Set_Grafik(true, 3);
    EXPECT_TRUE(u.t->Grafik()) << f.name;
    EXPECT_EQ(u.t->ColCount(), 4) << f.name;
    EXPECT_EQ(u.t->Font().Size, 8) << f.name;
    // Two lines per record; the title row keeps the normal default height.
    EXPECT_EQ(u.t->DefaultRowHeight(), 2 * u.Hoehe(8)) << f.name;
    EXPECT_EQ(u.t->RowHeights(0), vorher.zeilenHoehe) << f.name;
    if (f.neueZeile) {
      EXPECT_EQ(u.t->RowHeights(1), 20) << f.name;
    }
    EXPECT_EQ(u.t->Spalten(), 6) << f.name;  // the data stays as it is
    EXPECT_EQ(u.t->GetCell(3, f.neueZeile ? 3 : 2), "1000") << f.name;

    // Entering again (another column) lays out anew but keeps the normal view saved once.
    u.t->Set_Grafik(true, 2);
    EXPECT_EQ(u.t->Get_GrafSpalte(), 2) << f.name;
    EXPECT_EQ(u.t->DefaultRowHeight(), 3 * u.Hoehe(8)) << f.name;
    EXPECT_EQ(u.modus, std::vector<bool>{true}) << f.name;

    u.t->Set_Grafik(false, 0);
    EXPECT_FALSE(u.t->Grafik()) << f.name;
    EXPECT_EQ(Lies(*u.t), vorher) << f.name;
    EXPECT_EQ(u.modus, (std::vector<bool>{true, false})) << f.name;
    // Leaving twice: nothing more.
    u.t->Set_Grafik(false, 0);
    EXPECT_EQ(Lies(*u.t), vorher) << f.name;
    EXPECT_EQ(u.modus.size(), 2u) << f.name;
  }
}

TEST(TabelleGrafik, LeavingAViewNeverEnteredChangesNothing) {
  Umgebung u;
  u.Fuelle(kKunden, 6, 6);
  u.t->SetColWidth(1, 99);
  const Ansicht vorher = Lies(*u.t);
  u.t->Set_Grafik(false, 3);
  EXPECT_EQ(Lies(*u.t), vorher);
  EXPECT_TRUE(u.modus.empty());
  // Nor does it before any content.
  Umgebung leer;
  const Ansicht nichts = Lies(*leer.t);
  leer.t->Set_Grafik(false, 0);
  EXPECT_EQ(Lies(*leer.t), nichts);
  EXPECT_TRUE(leer.modus.empty());
}

TEST(TabelleGrafik, ColumnMinusOneIsTheSearchColumn) {
  Umgebung u;
  u.Fuelle(kKunden, 6, 6);
  u.t->Suche(smSpalte + 4);
  ASSERT_GT(u.t->SuchSpalte(), 0);
  u.t->Set_Grafik(true, -1);
  EXPECT_EQ(u.t->Get_GrafSpalte(), u.t->SuchSpalte());
  u.t->Set_Grafik(true, 9);  // clamped like Get_GrafSpalte
  EXPECT_EQ(u.t->Get_GrafSpalte(), 1);
}

TEST(TabelleGrafik, NewContentWithOtherColumnsLeavesAndComesBackByTitle) {
  Umgebung u;
  u.Fuelle(kKunden, 6, 6);
  u.t->Set_Grafik(true, 3);
  // The same title in another place: the view comes back on it once the content is complete.
  u.t->AutoUpdate = false;
  u.Fuelle({{"Nr", "Umsatz", "Ort"}, {"1", "5", "Bonn"}}, 3, 3);
  EXPECT_EQ(u.modus, (std::vector<bool>{true, false}));
  u.t->FEndUpdate(false);
  EXPECT_EQ(u.modus, (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(u.t->Grafik());
  EXPECT_EQ(u.t->Get_GrafSpalte(), 1);
  EXPECT_EQ(u.t->ColCount(), 4);
}

// ---------------------------------------------------------------- the view on screen

TEST(TabelleGrafik, ViewColumnsAreDrawnAsRecords) {
  Umgebung u;
  u.Fuelle(kKunden, 6, 6);
  u.t->Set_Grafik(true, 3);
  TRecordingCanvas bild(640, 300);
  u.t->PaintTo(bild);
  const TCanvasRecord& rec = bild.record;
  const int lh = u.Hoehe(8);

  // Title row: the key's and the graph column's titles, nothing over the lists.
  EXPECT_EQ(TexteIn(rec, u.t->CellRect(0, 0)).size(), 1u);
  EXPECT_EQ(TexteIn(rec, u.t->CellRect(0, 0))[0]->text, "Nr");
  ASSERT_EQ(TexteIn(rec, u.t->CellRect(2, 0)).size(), 1u);
  EXPECT_EQ(TexteIn(rec, u.t->CellRect(2, 0))[0]->text, "Umsatz");
  EXPECT_TRUE(TexteIn(rec, u.t->CellRect(1, 0)).empty());
  EXPECT_TRUE(TexteIn(rec, u.t->CellRect(3, 0)).empty());

  // Record 2: the key bold at 16 points, whole in its column.
  const TRect key = u.t->CellRect(0, 2);
  const TCanvasOp* k = Text(rec, "1002");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->clip, key);
  EXPECT_EQ(k->font.Size, 16);
  EXPECT_TRUE(k->font.Style & fsBold);
  EXPECT_EQ(k->rect.left, key.left + 2);
  EXPECT_LE(k->rect.right, key.right);

  // The lists: one line per column, a line height apart, all titles ending at one x.
  struct Zeile {
    int spalte;
    std::string titel, text;
    int linie;
  } zeilen[] = {
      {1, "Name", "Name: Bertha", 0}, {1, "Ort", "Ort: Berlin-Mitte", 1},
      {3, "PLZ", "PLZ: 10115", 0},    {3, "Land", "Land: CH", 1},
  };
  int titelEnde[4] = {-1, -1, -1, -1};
  for (const Zeile& z : zeilen) {
    const TRect zelle = u.t->CellRect(z.spalte, 2);
    const TCanvasOp* op = Text(rec, z.text);
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->clip, zelle) << z.text;
    EXPECT_EQ(op->rect.top, zelle.top + z.linie * lh) << z.text;
    EXPECT_LE(op->rect.right, zelle.right) << z.text << ": clipped";
    EXPECT_FALSE(op->font.Style & fsBold) << z.text;
    const int ende = op->rect.left + u.Breite(z.titel, 8);
    if (titelEnde[z.spalte] < 0) titelEnde[z.spalte] = ende;
    EXPECT_EQ(ende, titelEnde[z.spalte]) << z.text;
  }
  // Code page 1252 texts come through as they are.
  EXPECT_NE(rec.FindText("Ort: K\xF6ln"), nullptr);
  EXPECT_NE(rec.FindText("Name: C\xE4sar"), nullptr);

  // The bar column takes what the others leave.
  const int w0 = u.t->ColWidths(0), w1 = u.t->ColWidths(1), w3 = u.t->ColWidths(3);
  EXPECT_EQ(u.t->ColWidths(2), u.t->ClientWidth() - w0 - w1 - w3 - 25);
  const int platz = u.t->ColWidths(2) - 4;

  // Bars: 3 pixels inside the row, the largest value fills the column but 4 pixels.
  struct Balken {
    int zeile;
    std::string wert;
    int laenge;  // -1: no bar
  } balken[] = {
      {1, "250,00", (platz + 2) / 4}, {2, "1000", platz}, {3, "0", -1}, {4, "", -1},
  };
  const auto silber = Silber(rec);
  for (const Balken& b : balken) {
    const TRect zelle = u.t->CellRect(2, b.zeile);
    const TCanvasOp* bar = nullptr;
    for (const TCanvasOp* op : silber)
      if (op->rect.left == zelle.left && op->rect.top == zelle.top + 3) bar = op;
    if (b.laenge < 0) {
      EXPECT_EQ(bar, nullptr) << "row " << b.zeile;
      continue;
    }
    ASSERT_NE(bar, nullptr) << "row " << b.zeile;
    EXPECT_NEAR(bar->rect.right - zelle.left, b.laenge, 1) << "row " << b.zeile;
    EXPECT_EQ(bar->rect.bottom, zelle.bottom - 3) << "row " << b.zeile;
    EXPECT_EQ(bild.Pixel(bar->rect.right - 1, bar->rect.top), FromRGBHex(0xC0C0C0)) << "row " << b.zeile;
    if (b.zeile != u.t->Row()) {  // the current row has the selection's colour
      EXPECT_EQ(bild.Pixel(bar->rect.right + 1, bar->rect.top), clWhite) << "row " << b.zeile;
    }
    const TCanvasOp* wert = Text(rec, b.wert);
    ASSERT_NE(wert, nullptr);
    EXPECT_TRUE(wert->font.Style & fsBold);
    EXPECT_EQ(wert->font.Size, 8);
    EXPECT_EQ(wert->clip, zelle);
    EXPECT_NEAR(wert->rect.top - zelle.top, zelle.bottom - wert->rect.bottom, 1) << "centred";
  }
}

TEST(TabelleGrafik, OneLinePerRecordKeepsTheKeyPlain) {
  Umgebung u;
  u.Fuelle({{"Name", "Wert"}, {"Anton", "3"}, {"Bertha", "4"}}, 2, 2);
  const int breite0 = u.t->ColWidths(0);
  u.t->Set_Grafik(true, 1);
  EXPECT_EQ(u.t->DefaultRowHeight(), u.Hoehe(8));
  EXPECT_EQ(u.t->ColWidths(0), breite0);
  EXPECT_EQ(u.t->ColWidths(1), -1);
  EXPECT_EQ(u.t->ColWidths(3), -1);
  TRecordingCanvas bild(640, 300);
  u.t->PaintTo(bild);
  const TCanvasOp* k = Text(bild.record, "Bertha");
  ASSERT_NE(k, nullptr);
  EXPECT_EQ(k->font.Size, 8);
  EXPECT_FALSE(k->font.Style & fsBold);
}

TEST(TabelleGrafik, ValuesThatGiveNoBar) {
  struct Fall {
    const char* name;
    std::vector<std::string> werte;
  } faelle[] = {
      {"empty", {"", "", ""}},
      {"zero", {"0", "0,00", "-5"}},
      {"no digits", {"abc", "-", "."}},
  };
  for (const Fall& f : faelle) {
    Umgebung u;
    Zeilen z = {{"Name", "Betrag", "Ort"}};
    for (size_t i = 0; i < f.werte.size(); ++i) z.push_back({Mit("N", i), f.werte[i], "Ort"});
    u.Fuelle(z, 3, 3);
    const int breiteG = u.t->ColWidths(1);
    u.t->Set_Grafik(true, 1);
    EXPECT_EQ(u.t->ColWidths(2), breiteG) << f.name;
    TRecordingCanvas bild(640, 300);
    u.t->PaintTo(bild);
    for (const TCanvasOp* op : Silber(bild.record))
      for (int r = 1; r < u.t->RowCount(); ++r)
        EXPECT_NE(op->rect.top, u.t->CellRect(2, r).top + 3) << f.name << ": a bar in row " << r;
  }
}

TEST(TabelleGrafik, TitlePressInTheViewSortsByTheGraphColumnOrTheKey) {
  Umgebung u;
  ShowAndActivate(&u.form);
  u.Fuelle(kKunden, 6, 6);
  std::vector<std::pair<int, bool>> sortiert;
  u.t->OnSortCell = [&](TObject*, uint8_t spalte, bool ab) { sortiert.emplace_back(spalte, ab); };
  u.t->Set_Grafik(true, 3);
  struct Druck {
    int spalte;
    std::pair<int, bool> erwartet;
  } drucke[] = {
      {2, {4, false}},  // the bar stands for the graph column
      {2, {4, true}},   // again: the other direction
      {1, {1, false}},  // any other column for column 0
      {3, {1, true}},
  };
  for (const Druck& d : drucke) {
    const TPoint p = Mitte(u.t->CellRect(d.spalte, 0));
    SendMouse(u.t, QEvent::MouseButtonPress, Qt::LeftButton, p);
    SendMouse(u.t, QEvent::MouseButtonRelease, Qt::LeftButton, p);
    ASSERT_FALSE(sortiert.empty());
    EXPECT_EQ(sortiert.back(), d.erwartet) << "view column " << d.spalte;
  }
  EXPECT_EQ(sortiert.size(), 4u);
}

// ---------------------------------------------------------------- printing

namespace {

struct Druck {
  const TRecordingPrinter::Job& job;
  const TCanvasRecord& Seite(size_t p) const { return job.pages.at(p)->record; }
};

Zeilen Liste(int zeilen, int spalten, const std::string& muster = "Zelle") {
  Zeilen z(1);
  for (int k = 0; k < spalten; ++k) z[0].push_back(Mit("Titel ", k));
  for (int r = 1; r <= zeilen; ++r) {
    z.push_back({});
    for (int k = 0; k < spalten; ++k) z.back().push_back(muster + Mit(" ", r) + Mit(".", k));
  }
  return z;
}

}  // namespace

TEST(TabellePrint, FittingTableGrowsTo17AndIsFramed) {
  Umgebung u;
  // The first cell empty: the line height must not come from it.
  Zeilen z = {{"", "Wert"}, {"Anton", "12"}, {"Bertha", "7,5"}, {"C\xE4sar", "100"}};
  u.Fuelle(z, 2, 2);
  u.t->Print("Kundenliste");
  ASSERT_EQ(u.services.printer.jobs.size(), 1u);
  const auto& job = u.services.printer.jobs[0];
  EXPECT_EQ(job.title, "Kundenliste");
  EXPECT_EQ(job.orientation, TPrinterOrientation::Portrait);
  ASSERT_EQ(job.pages.size(), 1u);
  const TCanvasRecord& rec = job.pages[0]->record;
  EXPECT_TRUE(u.services.boxes.calls.empty());

  const int dpi = u.services.printer.DpiX();
  const int m = u.Breite("m", 17, false, dpi), lh = u.Hoehe(17, dpi);
  // The title: bold, 6 points larger, at the margin one line down.
  const TCanvasOp* titel = Text(rec, "Kundenliste");
  ASSERT_NE(titel, nullptr);
  EXPECT_EQ(titel->font.Size, 23);
  EXPECT_TRUE(titel->font.Style & fsBold);
  EXPECT_EQ(titel->rect.left, 2 * m);
  EXPECT_EQ(titel->rect.top, lh);
  // Title row bold at 3 lines, the rows one line apart below it, m / 2 right of each line.
  struct Zelle {
    std::string text;
    int zeile, spalte;
    bool fett;
  } zellen[] = {{"Wert", 0, 1, true}, {"Anton", 1, 0, false}, {"12", 1, 1, false}, {"C\xE4sar", 3, 0, false}};
  const int breite0 = std::max(u.Breite("Anton", 17, false, dpi), std::max(u.Breite("Bertha", 17, false, dpi),
                                                                           u.Breite("C\xE4sar", 17, false, dpi))) + m;
  for (const Zelle& c : zellen) {
    const TCanvasOp* op = Text(rec, c.text);
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->font.Size, 17) << c.text;
    EXPECT_EQ(bool(op->font.Style & fsBold), c.fett) << c.text;
    EXPECT_EQ(op->rect.top, 3 * lh + c.zeile * lh) << c.text;
    EXPECT_EQ(op->rect.left, 2 * m + (c.spalte == 1 ? breite0 : 0) + m / 2) << c.text;
  }
  // A line under the title row and under each of the three rows; one at the margin and one
  // after each column, from the table's top to its last line.
  const auto waagrecht = Linien(rec, true), senkrecht = Linien(rec, false);
  ASSERT_EQ(waagrecht.size(), 4u);
  for (size_t i = 0; i < waagrecht.size(); ++i) {
    EXPECT_EQ(waagrecht[i]->points[0].y, 3 * lh + int(i + 1) * lh);
    EXPECT_EQ(waagrecht[i]->points[0].x, 2 * m);
  }
  ASSERT_EQ(senkrecht.size(), 3u);
  EXPECT_EQ(senkrecht[0]->points[0].x, 2 * m);
  EXPECT_EQ(senkrecht[1]->points[0].x, 2 * m + breite0);
  for (const TCanvasOp* l : senkrecht) {
    EXPECT_EQ(l->points[0].y, 3 * lh);
    EXPECT_EQ(l->points[1].y, 7 * lh);
    EXPECT_LT(l->points[0].x, job.pages[0]->Width());
  }
  EXPECT_EQ(senkrecht[2]->points[0].x, waagrecht[0]->points[1].x);
  // One page: no foot.
  for (const TCanvasOp* op : rec.Texts()) EXPECT_EQ(op->text.find("Seite"), std::string::npos);
}

namespace {

// How many characters "x" one column may hold at a size on a page that wide: 4 m plus the
// column (its widest text plus m) must stay below the page width.
struct Zeichen {
  Umgebung mess;
  int dpi = 0, hoch = 0, quer = 0;
  Zeichen() {
    dpi = mess.services.printer.DpiX();
    hoch = mess.services.printer.PageWidth();
    mess.services.printer.Orientation = TPrinterOrientation::Landscape;
    quer = mess.services.printer.PageWidth();
  }
  int Bei(int groesse, int seite) {
    return (seite - 1 - 5 * mess.Breite("m", groesse, false, dpi)) / mess.Breite("x", groesse, false, dpi);
  }
};

}  // namespace

TEST(TabellePrint, SizeOrientationAndRefusal) {
  // One column of n characters "x", n taken from the font's own widths: fits upright, only
  // across, only at smaller sizes, at 7 points only, or nowhere.
  Zeichen z;
  const int bei7 = z.Bei(7, z.quer), bei8 = z.Bei(8, z.quer);
  ASSERT_LT(z.Bei(17, z.quer), z.Bei(10, z.hoch));
  ASSERT_LT(bei8, bei7);
  const auto hoch = TPrinterOrientation::Portrait, quer = TPrinterOrientation::Landscape;
  struct Fall {
    const char* name;
    int eigene, n;
    TPrinterOrientation vorher;
    bool abgelehnt, quer;
    int kleinste, groesste;  // the size chosen lies here
  } faelle[] = {
      {"small table, largest size", 8, 5, hoch, false, false, 17, 17},
      {"own size above 17 stays", 20, 5, hoch, false, false, 20, 20},
      {"too wide upright, fits across", 10, (z.Bei(10, z.hoch) + z.Bei(10, z.quer)) / 2, hoch, false, true, 10, 17},
      {"starts from a printer across", 10, (z.Bei(10, z.hoch) + z.Bei(10, z.quer)) / 2, quer, false, true, 10, 17},
      {"back to 8 and up", 14, (z.Bei(14, z.quer) + z.Bei(9, z.quer)) / 2, hoch, false, true, 8, 13},
      {"own 12, printed at 7", 12, (bei8 + bei7) / 2 + 1, hoch, false, true, 7, 7},
      {"own 8, too wide", 8, bei8 + 2, hoch, true, true, 0, 0},
      {"own 12, not even at 7", 12, bei7 + 2, hoch, true, true, 0, 0},
      {"own 6, never enlarged", 6, z.Bei(6, z.quer) + 2, hoch, true, true, 0, 0},
  };
  for (const Fall& f : faelle) {
    Umgebung u;
    TFont font = u.t->Font();
    font.Size = f.eigene;
    u.t->SetFont(font);
    const std::string text(size_t(f.n), 'x');
    u.Fuelle({{"T"}, {text}, {"kurz"}}, 1, 1);
    u.services.printer.Orientation = f.vorher;
    u.t->Print("Liste");
    // The printer stays across after the switch.
    EXPECT_EQ(u.services.printer.Orientation == quer, f.quer) << f.name;
    if (f.abgelehnt) {
      ASSERT_EQ(u.services.boxes.calls.size(), 1u) << f.name;
      EXPECT_EQ(u.services.boxes.calls[0].text, "Tabelle kann nicht gedruckt werden,\nda die Breite zu gro\xDF ist!");
      EXPECT_EQ(u.services.boxes.calls[0].caption, "nicht m\xF6glich");
      EXPECT_EQ(u.services.boxes.calls[0].buttons, MB_OK);
      EXPECT_TRUE(u.services.printer.jobs.empty()) << f.name;
      continue;
    }
    EXPECT_TRUE(u.services.boxes.calls.empty()) << f.name;
    ASSERT_EQ(u.services.printer.jobs.size(), 1u) << f.name;
    const auto& job = u.services.printer.jobs[0];
    EXPECT_EQ(job.orientation == quer, f.quer) << f.name;
    const TCanvasRecord& rec = job.pages[0]->record;
    const TCanvasOp* zelle = Text(rec, text);
    ASSERT_NE(zelle, nullptr) << f.name;
    EXPECT_GE(zelle->font.Size, f.kleinste) << f.name;
    EXPECT_LE(zelle->font.Size, f.groesste) << f.name;
    // Every column on the page.
    for (const TCanvasOp* l : Linien(rec, false)) EXPECT_LT(l->points[0].x, job.pages[0]->Width()) << f.name;
    for (const TCanvasOp* op : rec.Texts()) EXPECT_LE(op->rect.right, job.pages[0]->Width()) << f.name << op->text;
  }
}

TEST(TabellePrint, PagesAndFoot) {
  // Two short columns print at 17 points: the page boundaries follow from that line height.
  Zeichen z;
  const int lh17 = z.mess.Hoehe(17, z.dpi), hoehe17 = z.mess.services.printer.PageHeight();
  const int erste17 = hoehe17 / lh17 - 5, folge17 = hoehe17 / lh17 - 3;
  struct Fall {
    int zeilen;
  } faelle[] = {{1}, {erste17}, {erste17 + 1}, {erste17 + folge17}, {erste17 + folge17 + 1}, {200}};
  for (const Fall& f : faelle) {
    Umgebung u;
    u.Fuelle(Liste(f.zeilen, 2), 2, 2);
    u.t->Print("Lang");
    ASSERT_EQ(u.services.printer.jobs.size(), 1u);
    const auto& job = u.services.printer.jobs[0];
    const TCanvasOp* erste = Text(job.pages[0]->record, "Titel 0");
    ASSERT_NE(erste, nullptr);
    const int groesse = erste->font.Size, dpi = u.services.printer.DpiX();
    EXPECT_EQ(groesse, 17);
    const int lh = u.Hoehe(groesse, dpi), m = u.Breite("m", groesse, false, dpi);
    const int hoehe = u.services.printer.PageHeight();
    const int proSeite1 = hoehe / lh - 5, proSeite = hoehe / lh - 3;
    const int seiten = f.zeilen <= proSeite1 ? 1 : 1 + (f.zeilen - proSeite1 + proSeite - 1) / proSeite;
    ASSERT_EQ(int(job.pages.size()), seiten) << f.zeilen << " rows";
    int zeile = 1;
    for (int p = 0; p < seiten; ++p) {
      const TCanvasRecord& rec = job.pages[size_t(p)]->record;
      // Each page starts with the title row, the first page 3 lines down, the others 1.
      const int oben = p == 0 ? 3 * lh : lh;
      const TCanvasOp* titel = Text(rec, "Titel 0");
      ASSERT_NE(titel, nullptr);
      EXPECT_EQ(titel->rect.top, oben);
      EXPECT_EQ(rec.FindText("Lang") != nullptr, p == 0);
      const int hier = std::min(f.zeilen - zeile + 1, p == 0 ? proSeite1 : proSeite);
      const TCanvasOp* z1 = Text(rec, Mit("Zelle ", zeile) + ".0");
      ASSERT_NE(z1, nullptr) << "page " << p;
      EXPECT_EQ(z1->rect.top, oben + lh);
      const std::string letzte = Mit("Zelle ", zeile + hier - 1) + ".1";
      const TCanvasOp* zl = Text(rec, letzte);
      ASSERT_NE(zl, nullptr) << "page " << p;
      EXPECT_EQ(zl->rect.top, oben + hier * lh);
      EXPECT_LE(zl->rect.bottom, hoehe - lh) << "the last row stays clear of the foot";
      EXPECT_EQ(rec.FindText(Mit("Zelle ", zeile + hier) + ".0"), nullptr);
      zeile += hier;
      if (seiten > 1) {
        const std::string fuss = Mit("Seite ", p + 1) + Mit(" von ", seiten) + " Seiten";
        const TCanvasOp* op = Text(rec, fuss);
        ASSERT_NE(op, nullptr);
        EXPECT_EQ(op->rect.left, 2 * m);
        EXPECT_EQ(op->rect.top, hoehe - lh);
      }
    }
    EXPECT_EQ(zeile, f.zeilen + 1);
  }
}

TEST(TabellePrint, EmptyTablesPrintTheirTitleRow) {
  struct Fall {
    const char* name;
    Zeilen z;
    int zeilen;
  } faelle[] = {
      {"titles only", {{"Name", "Ort"}}, 1},
      {"no cells at all", {}, 0},
  };
  for (const Fall& f : faelle) {
    Umgebung u;
    u.t->SetTabelle(f.zeilen, 2, 2);
    for (size_t r = 0; r < f.z.size(); ++r)
      for (size_t k = 0; k < f.z[r].size(); ++k) u.t->SetCell(int(r), int(k), f.z[r][k]);
    u.t->Print("Leer");
    ASSERT_EQ(u.services.printer.jobs.size(), 1u) << f.name;
    ASSERT_EQ(u.services.printer.jobs[0].pages.size(), 1u) << f.name;
    const TCanvasRecord& rec = u.services.printer.jobs[0].pages[0]->record;
    if (!f.z.empty()) {
      EXPECT_NE(rec.FindText("Name"), nullptr);
      EXPECT_NE(rec.FindText("Ort"), nullptr);
    }
    EXPECT_EQ(Linien(rec, true).size(), 1u) << f.name;
    EXPECT_EQ(Linien(rec, false).size(), 3u) << f.name;
  }
}

TEST(TabellePrint, WithoutAPrinterNothingHappens) {
  Umgebung u;
  u.Fuelle(kKunden, 6, 6);
  u.services.printer.available = false;
  u.t->Print("Nichts");
  EXPECT_TRUE(u.services.printer.jobs.empty());
  EXPECT_TRUE(u.services.boxes.calls.empty());
  IPrinter* vorher = Services().Printer;
  Services().Printer = nullptr;
  u.t->Print("Nichts");
  Services().Printer = vorher;
  EXPECT_TRUE(u.services.boxes.calls.empty());
}

TEST(TabellePrint, GraphViewPrintsRecordsWithBars) {
  Umgebung u;
  Zeilen z = kKunden;
  for (int i = 5; i <= 80; ++i)
    z.push_back({std::to_string(i), Mit("Name ", i), "Ort", std::to_string(i * 3), "12345", "DE"});
  u.Fuelle(z, 6, 6);
  u.t->Set_Grafik(true, 3);
  u.t->Print("Grafik");
  ASSERT_EQ(u.services.printer.jobs.size(), 1u);
  const auto& job = u.services.printer.jobs[0];
  const TCanvasRecord& rec = job.pages[0]->record;
  const TCanvasOp* titel0 = Text(rec, "Nr");
  const TCanvasOp* titelG = Text(rec, "Umsatz");
  ASSERT_NE(titel0, nullptr);
  ASSERT_NE(titelG, nullptr);
  const int s = titel0->font.Size, dpi = u.services.printer.DpiX();
  EXPECT_GE(s, 8);
  EXPECT_LE(s, 17);
  EXPECT_TRUE(titelG->font.Style & fsBold);
  const int lh = u.Hoehe(s, dpi);
  // Records of two lines: the key bold at twice the size, the lists a line apart.
  const TCanvasOp* key = Text(rec, "1002");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->font.Size, 2 * s);
  EXPECT_TRUE(key->font.Style & fsBold);
  const TCanvasOp* name = Text(rec, "Name: Bertha");
  const TCanvasOp* ort = Text(rec, "Ort: Berlin-Mitte");
  ASSERT_NE(name, nullptr);
  ASSERT_NE(ort, nullptr);
  EXPECT_EQ(ort->rect.top - name->rect.top, lh);
  EXPECT_EQ(name->rect.top, key->rect.top);
  EXPECT_EQ(name->rect.left + u.Breite("Name", s, false, dpi), ort->rect.left + u.Breite("Ort", s, false, dpi));
  const TCanvasOp* next = Text(rec, "Name: C\xE4sar");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->rect.top - name->rect.top, 2 * lh);
  // Bars for the positive values only; 1000 is the largest value and has the longest.
  const auto bars = Silber(rec);
  const int aufSeite1 = std::max(1, (u.services.printer.PageHeight() / lh - 5) / 2);
  int positiv = 0;
  for (int r = 1; r <= aufSeite1 && r < int(z.size()); ++r) positiv += TTabelle::Str_in_Zahl(z[size_t(r)][3]) > 0;
  EXPECT_EQ(int(bars.size()), positiv);
  int laengste = 0;
  for (const TCanvasOp* b : bars) laengste = std::max(laengste, b->rect.Width());
  const TCanvasOp* tausend = Text(rec, "1000");
  ASSERT_NE(tausend, nullptr);
  EXPECT_TRUE(tausend->font.Style & fsBold);
  bool tausendAmLaengsten = false;
  for (const TCanvasOp* b : bars)
    if (b->rect.Width() == laengste && b->rect.top < tausend->rect.bottom && b->rect.bottom > tausend->rect.top)
      tausendAmLaengsten = true;
  EXPECT_TRUE(tausendAmLaengsten);
  // The bar column is at least a third of the page, and nothing leaves the page.
  EXPECT_GE(laengste, job.pages[0]->Width() / 3 - 8);
  for (const TCanvasOp* op : rec.Texts()) EXPECT_LE(op->rect.right, job.pages[0]->Width()) << op->text;
  // Records over pages, with the foot.
  const int seiten = 1 + (80 - aufSeite1 + (u.services.printer.PageHeight() / lh - 3) / 2 - 1) /
                             ((u.services.printer.PageHeight() / lh - 3) / 2);
  EXPECT_EQ(int(job.pages.size()), seiten);
  ASSERT_GT(seiten, 1);
  EXPECT_NE(job.pages.back()->record.FindText(Mit("Seite ", seiten) + Mit(" von ", seiten) +
                                              " Seiten"),
            nullptr);
}
