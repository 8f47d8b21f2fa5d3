// TTabelle: content, automatic widths, the record-count hint, drawing and the glyphs.
//
//   glyphs            the sort arrows and the search marker, drawn in code
//   content           SetTabelle, SetCell, GetCell, FEndUpdate, rows, types, Str_in_Zahl
//   widths            Verbreitern (a cell wants more room), LetzteStrecken (the last column fills)
//   drawing           DrawCell: fill, new-row line, title glyphs, text, pressed frame
#include "components/tabelle/tabelle.h"
#include "components/common/marks.h"

#include <algorithm>
#include <limits>

#include "components/tabelle/tabelle_grafik.h"
#include "framework/gui/graphics.h"
#include "framework/gui/registry.h"

namespace komp {

// ---------------------------------------------------------------- glyphs

const TBitmap& TTabelle::Glyph(TGlyph g) {
  return g == TGlyph::Auf ? marks::SortUp() : g == TGlyph::Ab ? marks::SortDown() : marks::Search();
}

// ---------------------------------------------------------------- construction

TTabelle::TTabelle(QWidget* owner) : TCustomGrid(owner) {
  SetFixedCols(0);
  SetFixedRows(1);
  SetDefaultRowHeight(16);
  SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRowSelect | goColSizing |
             goThumbTracking);
}

TTabelle::~TTabelle() = default;

// ---------------------------------------------------------------- content

void TTabelle::SetSuchelement(TSuchfeld* feld) {
  if (feld == such_) return;
  if (such_ && such_->Ziel() == this) such_->Set_Suche(nullptr, nullptr);
  such_ = feld;
  spaltenSuche_ = false;
  SetFixedColor(clBtnFace);
  if (such_ && Focused()) EvFokus();
  Invalidate();
}

void TTabelle::SetTabelle(int Rows, int Cols, int Sichtbar) {
  update_ = true;
  gesetzt_ = true;
  Anmelden();
  Cols = std::max(0, Cols);
  if (grafikAn_ && Cols != spalten_) {
    grafMerkTitel_ = Titel(Get_GrafSpalte());
    Set_Grafik(false, 0);
  }
  zellen_.Clear();
  const int zeilen = Rows > 0 ? Rows : 2;
  farben_.assign(size_t(zeilen), 0);
  typ_.assign(size_t(Cols), 0);
  spalten_ = Cols;
  // A visible count of 0 or beyond the columns shows them all: a table of hidden columns only
  // would show nothing at all.
  sichtbar_ = Sichtbar > 0 && Sichtbar < Cols ? Sichtbar : Cols;
  letzteBreite_ = 0;
  tippText_.clear();
  if (!grafikAn_) SetColCount(std::max(1, Cols));
  SetRowCount(zeilen + (neueZeile_ ? 1 : 0));
  SetRowHeight(1, neueZeile_ ? 20 : DefaultRowHeight());
  if (!grafikAn_) {
    const bool auto_ = AutoBreite && !benutzerBreite_;
    for (int c = 0; c < ColCount(); ++c) {
      if (c >= sichtbar_ || auto_)
        SetColWidth(c, -1);
      else if (ColWidths(c) <= 0)
        SetColWidth(c, DefaultColWidth());
    }
  }
  if (sortSpalte_ >= std::max(1, Cols)) sortSpalte_ = 0;
  if (suchSpalte_ >= std::max(1, sichtbar_)) suchSpalte_ = 0;
  if (AutoUpdate) FEndUpdate(false);
}

int64_t TTabelle::ZellZeilen() const {
  if (spalten_ <= 0) return 0;
  return (int64_t(zellen_.Count()) + spalten_ - 1) / spalten_;
}

const std::string& TTabelle::Zelle(int64_t Zeile, int Spalte) const {
  static const std::string leer;
  if (Zeile < 0 || Spalte < 0 || Spalte >= spalten_) return leer;
  const int64_t i = Zeile * spalten_ + Spalte;
  return i < zellen_.Count() ? zellen_[int(i)] : leer;
}

TColor TTabelle::ZeilenFarbe(int Zeile) const {
  return Zeile >= 0 && Zeile < int(farben_.size()) ? farben_[size_t(Zeile)] : 0;
}

int TTabelle::DatenZeile(int GridRow) const {
  if (!neueZeile_) return GridRow;
  if (GridRow == 1) return -1;
  return GridRow > 1 ? GridRow - 1 : GridRow;
}

void TTabelle::SetCell(int Row, int Col, const std::string& Text, TColor Farbe) {
  if (Row < 0 || Col < 0 || Col >= spalten_ || Row >= int(farben_.size())) return;
  farben_[size_t(Row)] = Farbe;
  const int64_t i = int64_t(Row) * spalten_ + Col;
  if (i >= std::numeric_limits<int>::max()) return;
  if (i < zellen_.Count()) {
    zellen_.SetString(int(i), Text);
  } else {
    while (zellen_.Count() < i) zellen_.Add(std::string());
    zellen_.Add(Text);
  }
  if (Row == 0 && such_ && spaltenSuche_) such_->Set_Spalten_Name(Text, Col);
  if (AutoBreite && !benutzerBreite_ && !grafikAn_ && Col < sichtbar_ && (Row > 0 || MitUeberschrift)) {
    Verbreitern(Col, SpaltenBreiteGewuenscht(Row, Text));
  } else if (!update_) {
    Invalidate();
  }
}

int TTabelle::SpaltenBreiteGewuenscht(int Row, const std::string& Text) {
  const int w = int(std::min<int64_t>(breiten_.Width(Font(), Text), 1 << 20)) + 4;
  // A title leaves room for the sort arrow or the search marker.
  return Row == 0 && (Sortierung || such_) ? w + 14 : w + 2;
}

std::string TTabelle::GetCell(int Col, int Row) const {
  if (Row == -1) {
    if (GetRow() < 0) return {};
    Row = TCustomGrid::Row();
  }
  const int z = DatenZeile(Row);
  return z < 0 ? std::string() : Zelle(z, Col);
}

void TTabelle::FEndUpdate(bool Updating) {
  update_ = Updating;
  if (!Updating) {
    if (grafikAn_) {
      Set_Grafik(true, grafSpalte_);
    } else if (!grafMerkTitel_.empty()) {
      for (int c = 1; c < std::min(spalten_, sichtbar_); ++c)
        if (Titel(c) == grafMerkTitel_) {
          grafMerkTitel_.clear();
          Set_Grafik(true, c);
          break;
        }
    }
  }
  Invalidate();
  const int64_t saetze = std::max<int64_t>(0, ZellZeilen() - 1);
  hint_ = std::to_string(saetze) + (saetze == 1 ? " Datensatz" : " Datens\xE4tze") + " in der Tabelle";
  SetHint(hint_);
}

void TTabelle::FNeueZeile(bool on) {
  if (on == neueZeile_) return;
  neueZeile_ = on;
  // The new-row line is a row of its own: the data keeps all its rows.
  if (gesetzt_) SetRowCount(int(farben_.size()) + (on ? 1 : 0));
  SetRowHeight(1, on ? 20 : DefaultRowHeight());
  Invalidate();
}

uint8_t TTabelle::FSort_Spalte() const { return uint8_t((sortSpalte_ & 0x7F) | (abwaerts_ ? 0x80 : 0)); }

void TTabelle::WSort_Spalte(int Spalte) {
  sortSpalte_ = Spalte >= 0 && Spalte < spalten_ ? Spalte : 0;
  InvalidateRow(0);
}

int TTabelle::GetRow() const { return auswahlZeigen_ ? TCustomGrid::Row() : -1; }

void TTabelle::SetRow(int Row) {
  if (Row < 0) {
    auswahlZeigen_ = false;
  } else {
    auswahlZeigen_ = true;
    keinHighlight_ = Row == 0;
    TCustomGrid::SetRow(Row == 0 ? 1 : Row);
    gemeldet_ = TCustomGrid::Row();
  }
  Invalidate();
}

void TTabelle::SetTyp(int Spalte) {
  if (Spalte > 0 && Spalte < spalten_ && Spalte < int(typ_.size())) typ_[size_t(Spalte)] = 1;
}

bool TTabelle::IstWertSpalte(int Spalte) const {
  return Spalte >= 0 && Spalte < int(typ_.size()) && typ_[size_t(Spalte)] != 0;
}

void TTabelle::Get_Spalten(TStringList& Liste, int Erste) const {
  Liste.Clear();
  for (int c = std::max(0, Erste); c < std::min(spalten_, sichtbar_); ++c) {
    if (!IstWertSpalte(c)) continue;
    const std::string& t = Titel(c);
    Liste.Add(t.empty() ? "Spalte " + std::to_string(c + 1) : t, reinterpret_cast<void*>(intptr_t(c)));
  }
}

int TTabelle::Get_GrafSpalte() const {
  return grafSpalte_ > 0 && grafSpalte_ < std::min(spalten_, sichtbar_) ? grafSpalte_ : 1;
}

int64_t TTabelle::Str_in_Zahl(std::string_view Text) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t zahl = 0;
  bool minus = false, ziffern = false;
  int nachkomma = -1;  // -1: no separator yet
  auto mal10plus = [&](int d) { zahl = zahl > (kMax - d) / 10 ? kMax : zahl * 10 + d; };
  const size_t n = std::min<size_t>(Text.size(), 16);
  for (size_t i = 0; i < n && nachkomma < 2; ++i) {
    const char ch = Text[i];
    if (ch >= '0' && ch <= '9') {
      mal10plus(ch - '0');
      ziffern = true;
      if (nachkomma >= 0) ++nachkomma;
    } else if (ch == ',' || ch == '.') {
      if (nachkomma >= 0) break;
      nachkomma = 0;
    } else if (ch == '-' && !ziffern) {
      minus = true;
    }
  }
  for (int k = std::max(0, nachkomma); k < 2; ++k) mal10plus(0);
  return minus ? 0 : zahl;
}

// ---------------------------------------------------------------- widths

void TTabelle::Verbreitern(int Spalte, int Breite) {
  bool breiter = false;
  if (Spalte == sichtbar_ - 1) {
    if (Breite > letzteBreite_) {
      letzteBreite_ = Breite;
      breiter = true;
    }
  } else if (ColWidths(Spalte) < Breite) {
    SetColWidth(Spalte, Breite);
    breiter = true;
  }
  if (breiter)
    LetzteStrecken();
  else if (!update_)
    Invalidate();
}

void TTabelle::LetzteStrecken() {
  if (sichtbar_ <= 0 || grafikAn_ || !AutoBreite || benutzerBreite_) return;
  const int letzte = sichtbar_ - 1;
  // What the cells' area has across, measured as the grid lays it out: the two-pixel border
  // on each side, the vertical bar when not all rows fit, one line after each column.
  const int lw = (Options() & goVertLine) ? GridLineWidth() : 0;
  int64_t frei = int64_t(Width()) - (Border() ? 4 : 0) - (VertScrollBar()->Visible() ? kScrollBarSize : 0);
  for (int c = 0; c < letzte; ++c)
    if (ColWidths(c) > 0) frei -= ColWidths(c) + lw;
  frei -= lw;
  int64_t w = letzteBreite_;
  if (w < frei) w = frei;
  SetColWidth(letzte, w > 0 ? int(std::min<int64_t>(w, std::numeric_limits<int>::max())) : -1);
}

// ---------------------------------------------------------------- drawing

void TTabelle::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (update_ || !gesetzt_) return;
  TCanvas& c = Canvas();
  const int z = DatenZeile(ARow);
  const TColor farbe = ZeilenFarbe(z);
  const bool selected = (AState & gdSelected) != 0;
  const bool hell = selected && auswahlZeigen_ && !keinHighlight_;
  if (selected) {
    TColor fill = c.Brush.Color;
    if (!hell) fill = Color();
    else if (farbe != 0) fill = farbe;
    else if (!Focused()) fill = clInactiveCaption;
    c.Brush.Style = TBrushStyle::Solid;
    c.Brush.Color = fill;
    c.FillRect(ARect);
  }
  c.Font.Color = hell ? clWhite : farbe;

  if (z < 0) {
    // The new-row line: one text across the row, each cell showing its part of it.
    const TRect erste = CellRect(LeftCol(), ARow);
    const int x0 = erste.IsEmpty() ? ARect.left : erste.left;
    c.Font.Size = 12;
    c.Font.Height = 0;
    c.Font.Color = selected && hell ? clWhite : clRed;
    c.Brush.Style = TBrushStyle::Clear;
    c.TextRect(ARect, x0 + 2, ARect.top + 1, NeueZeileText);
    return;
  }

  if (grafikAn_) {
    DrawGrafikCell(ACol, ARow, ARect, hell);
  } else if (ARow == 0) {
    DrawTitel(ACol, ARect, c);
  } else {
    c.Brush.Style = TBrushStyle::Clear;
    c.TextRect(ARect, ARect.left + 2, ARect.top + 2, Zelle(z, ACol));
  }

  if (ARow == 0 && ACol == gedrueckt_) {
    c.Brush.Style = TBrushStyle::Solid;
    c.Brush.Color = clBlack;
    c.FrameRect(ARect.Inflate(-1, -1));
  }
}

void TTabelle::DrawTitel(int ACol, const TRect& r, TCanvas& c) {
  int x = r.left + 2;
  const int glyphY = r.top + (r.Height() - 12) / 2;
  if (Sortierung && ACol == sortSpalte_) {
    c.Draw(r.left + 2, glyphY, Glyph(abwaerts_ ? TGlyph::Ab : TGlyph::Auf));
    x += 10;
    if (ACol == suchSpalte_) c.Font.Color = clPurple;
  } else if (such_ && ACol == suchSpalte_) {
    c.Draw(r.left + 2, glyphY, Glyph(TGlyph::Such));
    x += 10;
  }
  c.Brush.Style = TBrushStyle::Clear;
  c.TextRect(r, x, r.top + 2, Titel(ACol));
}

namespace Tabelle {
void Register() { RegisterComponentClass<TTabelle>("Beispiele", "TTabelle"); }
}  // namespace Tabelle

}  // namespace komp
