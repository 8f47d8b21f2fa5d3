// TTabelle's graph view: each record one tall row, a bar for one value column.
//
//   Set_Grafik        saves the normal view on the first entry, lays the four columns out
//                     (tabelle::GrafikLayout), gives the normal view back on leaving
//   DrawGrafikCell    title row, key, the lists before and after the graph column, the bar
//   GrafikSortColumn  a title press on the bar stands for the graph column, others for column 0
#include <algorithm>

#include "components/tabelle/tabelle.h"
#include "components/tabelle/tabelle_grafik.h"

namespace komp {

namespace {
constexpr int kGrafikSchrift = 8;
constexpr int kSchluesselSchrift = 16;
constexpr int kNeueZeileHoehe = 20;
}  // namespace

void TTabelle::Set_Grafik(bool On, int Spalte) {
  if (!On) {
    // Leaving a view that was never entered has nothing to give back.
    if (!grafikAn_ || !grafik_) return;
    TTabelleGrafik& s = *grafik_;
    grafikAn_ = false;
    TFont f = Font();
    f.Size = s.schriftGroesse;
    f.Height = s.schriftHoehe;
    SetFont(f);
    SetDefaultRowHeight(s.zeilenHoehe);
    if (neueZeile_) SetRowHeight(1, kNeueZeileHoehe);
    SetColCount(s.spalten);
    for (size_t c = 0; c < s.breiten.size(); ++c) SetColWidth(int(c), s.breiten[c]);
    s.layout = {};
    Invalidate();
    if (OnModeChange) {
      TModeChangeEvent handler = OnModeChange;
      handler(this, false);
    }
    return;
  }

  if (!grafik_) grafik_ = std::make_unique<TTabelleGrafik>();
  TTabelleGrafik& s = *grafik_;
  const bool erstes = !grafikAn_;
  if (erstes) {
    s.breiten.clear();
    for (int c = 0; c < ColCount(); ++c) s.breiten.push_back(ColWidths(c));
    s.spalten = ColCount();
    s.schriftGroesse = Font().Size;
    s.schriftHoehe = Font().Height;
    s.zeilenHoehe = DefaultRowHeight();
    TFont f = Font();
    f.Size = kGrafikSchrift;
    f.Height = 0;
    SetFont(f);
    grafikAn_ = true;
  }

  const tabelle::TDaten daten = DatenVon(*this);
  const int wunsch = Spalte == -1 ? suchSpalte_ : Spalte;
  const int g = tabelle::GrafSpalte(wunsch, daten);
  TTabellenMass mass(breiten_, Font(), Canvas().PixelsPerInch());
  tabelle::TGrafikVorgaben v;
  v.schrift = Font().Size;
  v.schluesselSchrift = kSchluesselSchrift;
  v.zeilenHoehe = breiten_.Height(Font(), Canvas().PixelsPerInch());
  v.breite = ClientWidth();
  v.titelZusatz = (such_ || Sortierung) ? 14 : 0;
  // The normal view's widths: a re-entry (new content) must not start from the view's own.
  auto normal = [&](int c) { return c < int(s.breiten.size()) ? s.breiten[size_t(c)] : DefaultColWidth(); };
  v.breiteSpalte0 = normal(0);
  v.breiteOhneWert = normal(g);
  s.layout = tabelle::GrafikLayout(daten, wunsch, v, mass, &TTabelle::Str_in_Zahl);
  grafSpalte_ = s.layout.g;

  SetDefaultRowHeight(s.layout.SatzHoehe());
  SetRowHeight(0, s.zeilenHoehe);
  if (neueZeile_) SetRowHeight(1, kNeueZeileHoehe);
  SetColCount(4);
  for (int c = 0; c < 4; ++c) SetColWidth(c, s.layout.breiten[size_t(c)]);
  Invalidate();
  if (erstes && OnModeChange) {
    TModeChangeEvent handler = OnModeChange;
    handler(this, true);
  }
}

int TTabelle::GrafikSortColumn(int viewColumn) const {
  if (viewColumn != 2) return 0;
  return grafik_ && grafikAn_ ? grafik_->layout.g : Get_GrafSpalte();
}

void TTabelle::DrawGrafikCell(int col, int row, const TRect& r, [[maybe_unused]] bool selected) {
  if (!grafik_) return;
  const tabelle::TGrafikLayout& l = grafik_->layout;
  TCanvas& c = Canvas();
  if (row == 0) {
    // The title cells of the key and the graph column, with their sort and search marks.
    if (col == 0 || col == 2) DrawTitel(col == 0 ? 0 : l.g, r, c);
    return;
  }
  const int z = DatenZeile(row);
  if (z < 0) return;
  const TFont vorher = c.Font;
  c.Brush.Style = TBrushStyle::Clear;

  // One line per column: its title at the list's offset, ": ", the cell.
  auto liste = [&](int erste, const std::vector<int>& offsets) {
    for (size_t i = 0; i < offsets.size(); ++i) {
      const int k = erste + int(i);
      std::string zeile = Titel(k);
      zeile += ": ";
      zeile += Zelle(z, k);
      c.TextRect(r, r.left + 2 + offsets[i], r.top + int(i) * l.zeilenHoehe, zeile);
    }
  };

  switch (col) {
    case 0:
      if (l.zeilenProSatz > 1) {
        c.Font.Size = kSchluesselSchrift;
        c.Font.Height = 0;
        c.Font.Style |= fsBold;
      }
      c.TextRect(r, r.left + 2, r.top + 2, Zelle(z, 0));
      break;
    case 1:
      liste(1, l.titelVor);
      break;
    case 2: {
      const int laenge = std::min<int>(l.Balken(z), r.Width());
      const TRect balken{r.left, r.top + 3, r.left + laenge, r.bottom - 3};
      if (!balken.IsEmpty()) {
        c.Brush.Style = TBrushStyle::Solid;
        c.Brush.Color = clSilver;
        c.FillRect(balken);
        c.Brush.Style = TBrushStyle::Clear;
      }
      c.Font.Style |= fsBold;
      c.TextRect(r, r.left + 2, r.top + (r.Height() - c.TextHeight("A")) / 2, Zelle(z, l.g));
      break;
    }
    case 3:
      liste(l.g + 1, l.titelNach);
      break;
    default:
      break;
  }
  c.Font = vorher;
}

}  // namespace komp
