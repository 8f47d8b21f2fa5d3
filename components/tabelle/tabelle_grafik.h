// State of TTabelle's graph view, and the text measures the graph view and printing share.
#pragma once
#include <utility>
#include <vector>

#include "components/tabelle/tabelle.h"
#include "components/tabelle/tabelle_layout.h"

namespace komp {

// The bar lengths live in `layout.balken`, one per row of the cell list, and not as objects of
// the cells: the cell list stays the host's text alone, and a million records cost 4 MB.
struct TTabelleGrafik {
  // The normal view, saved on the first entry and given back on leaving.
  std::vector<int> breiten;
  int spalten = 1;
  int schriftGroesse = 8;
  int schriftHoehe = 0;
  int zeilenHoehe = 16;
  // The view: graph column g, shown columns n, lines per record, widths, offsets, bars.
  tabelle::TGrafikLayout layout;
};

// ITextMass on the table's shared character widths, for one font face at one resolution.
class TTabellenMass : public tabelle::ITextMass {
 public:
  TTabellenMass(TTextWidths& breiten, const TFont& basis, int ppi) : breiten_(breiten), basis_(basis), ppi_(ppi) {}
  int Breite(std::string_view text, int groesse, bool fett) override {
    return int(std::min<int64_t>(breiten_.Width(Letzte(groesse, fett), text, ppi_), 1 << 20));
  }
  int Hoehe(int groesse, bool fett) override { return breiten_.Height(Letzte(groesse, fett), ppi_); }
  // The table's face and style at a size, made bold on request.
  TFont Schrift(int groesse, bool fett) const {
    TFont f = basis_;
    f.Size = groesse;
    f.Height = 0;
    if (fett) f.Style |= fsBold;
    return f;
  }

 private:
  // Cells are measured column after column in one font: no font copy per cell.
  const TFont& Letzte(int groesse, bool fett) {
    if (groesse != letzteGroesse_ || fett != letzteFett_) {
      letzte_ = Schrift(groesse, fett);
      letzteGroesse_ = groesse;
      letzteFett_ = fett;
    }
    return letzte_;
  }
  TTextWidths& breiten_;
  TFont letzte_;
  int letzteGroesse_ = -1;
  bool letzteFett_ = false;
  TFont basis_;
  int ppi_;
};

// The cell list as the layout reads it.
inline tabelle::TDaten DatenVon(const TTabelle& t) {
  tabelle::TDaten d;
  d.zelle = [&t](int64_t zeile, int spalte) -> std::string_view { return t.Zelle(zeile, spalte); };
  d.zeilen = t.ZellZeilen();
  d.spalten = t.Spalten();
  d.sichtbar = t.SichtbareSpalten();
  return d;
}

}  // namespace komp
