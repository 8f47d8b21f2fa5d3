// TTabelle::Print: the visible columns on the default printer at a fitted font size, or the
// graph view's records with their bars.
//
//   Print         page measures in both orientations, the layout (tabelle::DruckLayout or
//                 GrafikDruckLayout), the refusal box, then the pages
//   Tabelle pages title, title row, rows, the lines, the foot
//   Grafik pages  the same frame around records of several lines with key, lists and bar
#include <algorithm>
#include <limits>

#include "components/tabelle/tabelle.h"
#include "components/tabelle/tabelle_grafik.h"
#include "framework/gui/services.h"

namespace komp {

namespace {

using tabelle::TDruckLayout;

// The frame of a page: title on the first one, lines under the title row and each row or
// record, lines at the left margin and after each column, the foot.
struct TSeitenRahmen {
  TCanvas& c;
  const TDruckLayout& l;
  TTabellenMass& mass;

  void Titel(int64_t seite, const std::string& titel) {
    if (seite != 0) return;
    c.Font = mass.Schrift(l.schrift.groesse + 6, true);
    c.TextOut(l.rand, l.zeilenHoehe, titel);
  }
  // Lines of a table that starts at `oben` and has rows ending at each of `unten`.
  void Linien(int oben, const std::vector<int>& unten) {
    const int rechts = int(std::min<int64_t>(l.rand + l.gesamtBreite, std::numeric_limits<int>::max() / 2));
    c.Pen.Color = clBlack;
    c.Pen.Style = TPenStyle::Solid;
    for (int y : unten) {
      c.MoveTo(l.rand, y);
      c.LineTo(rechts, y);
    }
    const int ende = unten.empty() ? oben : unten.back();
    int x = l.rand;
    c.MoveTo(x, oben);
    c.LineTo(x, ende);
    for (int b : l.spalten) {
      if (b <= 0) continue;
      x += b;
      c.MoveTo(x, oben);
      c.LineTo(x, ende);
    }
  }
  void Fuss(int64_t seite) {
    const std::string fuss = tabelle::SeitenFuss(seite + 1, l.seiten.Anzahl());
    if (fuss.empty()) return;
    c.Font = mass.Schrift(l.schrift.groesse, false);
    c.TextOut(l.rand, l.FussY(), fuss);
  }
};

}  // namespace

void TTabelle::Print(const char* Titel) {
  IPrinter* printer = Services().Printer;
  if (!printer) return;
  const std::string titel = Titel ? Titel : "";

  // Page measures as they are and in landscape; the orientation is only kept when chosen.
  const TPrinterOrientation jetzt = printer->Orientation;
  tabelle::TSeitenMasse seite;
  seite.breite = printer->PageWidth();
  seite.hoehe = printer->PageHeight();
  printer->Orientation = TPrinterOrientation::Landscape;
  seite.breiteQuer = printer->PageWidth();
  seite.hoeheQuer = printer->PageHeight();
  printer->Orientation = jetzt;

  const tabelle::TDaten daten = DatenVon(*this);
  const int dpi = std::max(1, printer->DpiX());
  TTabellenMass mass(breiten_, Font(), dpi);
  const int eigene = Font().Height > 0 ? std::max(1, (Font().Height * 72 + 48) / 96) : Font().Size;
  const bool grafik = grafikAn_ && grafik_;
  tabelle::TGrafikDruckLayout gl;
  if (grafik)
    gl = tabelle::GrafikDruckLayout(daten, grafik_->layout.g, eigene, seite, mass, &TTabelle::Str_in_Zahl);
  else
    gl.druck = tabelle::DruckLayout(daten, eigene, seite, mass);
  const TDruckLayout& l = gl.druck;
  if (l.schrift.quer) printer->Orientation = TPrinterOrientation::Landscape;
  if (l.schrift.abgelehnt) {
    MessageBox(tabelle::kZuBreitText, tabelle::kZuBreitTitel, MB_OK);
    return;
  }

  printer->Title = titel;
  if (!printer->BeginDoc()) return;
  const TFont normal = mass.Schrift(l.schrift.groesse, false);
  const TFont fett = mass.Schrift(l.schrift.groesse, true);
  const int lh = l.zeilenHoehe;
  const int halbM = l.m / 2;
  // Left edge of each printed column.
  std::vector<int> links;
  for (int x = l.rand; int b : l.spalten) {
    links.push_back(x);
    x += std::max(0, b);
  }
  auto text = [&](int spalte, int y, const std::string& s) {
    printer->Canvas().TextOut(links[size_t(spalte)] + halbM, y, s);
  };

  const int64_t seiten = l.seiten.Anzahl();
  for (int64_t p = 0; p < seiten; ++p) {
    if (p > 0) printer->NewPage();
    TCanvas& c = printer->Canvas();
    c.Brush.Style = TBrushStyle::Clear;
    c.Font.Color = clBlack;
    TSeitenRahmen rahmen{c, l, mass};
    rahmen.Titel(p, titel);
    const int oben = l.TabelleOben(p);
    std::vector<int> unten{oben + lh};
    const int64_t erster = l.seiten.Erster(p) + 1;  // row of the cell list
    const int64_t anzahl = l.seiten.AufSeite(p);

    if (!grafik) {
      c.Font = fett;
      for (size_t k = 0; k < l.spalten.size(); ++k) text(int(k), oben, Zelle(0, int(k)));
      c.Font = normal;
      for (int64_t i = 0; i < anzahl; ++i) {
        const int y = oben + lh * int(i + 1);
        for (size_t k = 0; k < l.spalten.size(); ++k) text(int(k), y, Zelle(erster + i, int(k)));
        unten.push_back(y + lh);
      }
    } else {
      const tabelle::TGrafikLayout& s = gl.satz;
      const int satz = s.SatzHoehe();
      c.Font = fett;
      text(0, oben, Zelle(0, 0));
      text(2, oben, Zelle(0, s.g));
      const TFont schluessel = mass.Schrift(s.zeilenProSatz > 1 ? 2 * l.schrift.groesse : l.schrift.groesse,
                                            s.zeilenProSatz > 1);
      for (int64_t i = 0; i < anzahl; ++i) {
        const int64_t z = erster + i;
        const int y = oben + lh + satz * int(i);
        c.Font = schluessel;
        text(0, y, Zelle(z, 0));
        c.Font = normal;
        auto liste = [&](int spalte, int von, const std::vector<int>& offsets) {
          for (size_t j = 0; j < offsets.size(); ++j) {
            const int k = von + int(j);
            std::string zeile = this->Titel(k);
            zeile += ": ";
            zeile += Zelle(z, k);
            c.TextOut(links[size_t(spalte)] + halbM + offsets[j], y + lh * int(j), zeile);
          }
        };
        liste(1, 1, s.titelVor);
        liste(3, s.g + 1, s.titelNach);
        // The bar a sixth of a line inside the record's top and bottom, its value on it.
        const int rand = std::max(1, lh / 6);
        const int laenge = std::min(s.Balken(z), std::max(0, l.spalten[2] - 1));
        if (laenge > 0) {
          c.Brush.Style = TBrushStyle::Solid;
          c.Brush.Color = clSilver;
          c.FillRect({links[2] + 1, y + rand, links[2] + 1 + laenge, y + satz - rand});
          c.Brush.Style = TBrushStyle::Clear;
        }
        c.Font = fett;
        text(2, y + (satz - lh) / 2, Zelle(z, s.g));
        unten.push_back(y + satz);
      }
    }
    rahmen.Linien(oben, unten);
    rahmen.Fuss(p);
  }
  printer->EndDoc();
}

}  // namespace komp
