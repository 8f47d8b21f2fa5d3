// Demo page of the grid: generated customer records in a TTabelle with a TSuchfeld attached.
// A title click sorts the records (the table only reports the wish: the page sorts and fills
// again), typing searches, the bar-chart view shows one value column, "Drucken" prints.
// KOMP_DEMO_TABELLE=grafik opens the page in the graph view (for the README picture).
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "components/suchfeld/suchfeld.h"
#include "components/tabelle/tabelle.h"
#include "demo/demo_page.h"
#include "framework/gui/stdctrls.h"

namespace {

using demo::Knopf;

using namespace komp;

constexpr int kSpalten = 7;    // the last one is a hidden data column: the record's key
constexpr int kSichtbar = 6;
constexpr int kUmsatz = 4, kMenge = 5;
const char* const kTitel[kSpalten] = {"Name", "Vorname", "Ort", "PLZ", "Umsatz", "Menge", "Schl\xFC" "ssel"};

struct Datensatz {
  std::string zelle[kSpalten];
};

std::vector<Datensatz> Erzeugen(int anzahl) {
  const char* namen[] = {"M\xFC" "ller", "Sch\xE4" "fer", "\xD6" "zt\xFC" "rk", "Meier", "Schulz",
                         "J\xE4" "ger", "Kr\xFC" "ger", "Wei\xDF", "Gro\xDF" "mann", "Becker",
                         "Hoffmann", "Zimmermann", "Bauer", "K\xF6" "nig", "Lehmann", "Wagner"};
  const char* vornamen[] = {"Anna", "J\xFC" "rgen", "Bj\xF6" "rn", "Claudia", "Dieter", "Elke",
                            "Frank", "G\xFC" "nther", "Hanna", "Ines", "Klaus", "Lena"};
  const char* orte[] = {"K\xF6" "ln", "M\xFC" "nchen", "D\xFC" "sseldorf", "L\xFC" "beck", "Aachen",
                        "Berlin", "Essen", "W\xFC" "rzburg", "Bremen", "G\xF6" "ttingen"};
  std::vector<Datensatz> v;
  uint32_t z = 12345;
  auto zufall = [&z](uint32_t n) {
    z = z * 1103515245u + 12345u;
    return (z >> 8) % n;
  };
  for (int i = 0; i < anzahl; ++i) {
    Datensatz d;
    d.zelle[0] = namen[zufall(std::size(namen))];
    d.zelle[1] = vornamen[zufall(std::size(vornamen))];
    const uint32_t ort = zufall(std::size(orte));
    d.zelle[2] = orte[ort];
    d.zelle[3] = std::to_string(10000 + ort * 8000 + zufall(900));
    const uint32_t cent = zufall(5000000);
    d.zelle[4] = std::to_string(cent / 100) + "," + (cent % 100 < 10 ? "0" : "") + std::to_string(cent % 100);
    d.zelle[5] = std::to_string(zufall(250));
    d.zelle[6] = std::string(1, 'K').append(std::to_string(100000 + i));
    v.push_back(std::move(d));
  }
  return v;
}

struct Seite {
  TTabelle* tabelle = nullptr;
  TLabel* status = nullptr;
  std::vector<Datensatz> daten;

  // Fills the table from the records and keeps the record that was current.
  void Fuellen() {
    const std::string schluessel = tabelle->GetRow() > 0 ? Schluessel(tabelle->GetRow()) : "";
    tabelle->SetTabelle(int(daten.size()) + 1, kSpalten, kSichtbar);
    for (int c = 0; c < kSpalten; ++c) tabelle->SetCell(0, c, kTitel[c]);
    for (size_t r = 0; r < daten.size(); ++r) {
      // Large turnovers in green, as a host marks rows.
      const TColor farbe = TTabelle::Str_in_Zahl(daten[r].zelle[kUmsatz]) > 4000000 ? clGreen : 0;
      for (int c = 0; c < kSpalten; ++c) tabelle->SetCell(int(r) + 1, c, daten[r].zelle[c], farbe);
    }
    tabelle->SetTyp(kUmsatz);
    tabelle->SetTyp(kMenge);
    tabelle->FEndUpdate(false);
    for (size_t r = 0; r < daten.size(); ++r)
      if (!schluessel.empty() && daten[r].zelle[6] == schluessel) tabelle->SetRow(Zeile(int(r)));
  }
  int Zeile(int datensatz) const { return datensatz + (tabelle->NeueZeile() ? 2 : 1); }
  std::string Schluessel(int zeile) const { return tabelle->GetCell(6, zeile); }

  void Sortieren(int spalte, bool abwaerts) {
    const bool zahl = spalte == kUmsatz || spalte == kMenge || spalte == 3;
    std::stable_sort(daten.begin(), daten.end(), [=](const Datensatz& a, const Datensatz& b) {
      const std::string& x = abwaerts ? b.zelle[spalte] : a.zelle[spalte];
      const std::string& y = abwaerts ? a.zelle[spalte] : b.zelle[spalte];
      if (zahl) return TTabelle::Str_in_Zahl(x) < TTabelle::Str_in_Zahl(y);
      return x < y;
    });
    Fuellen();
  }

  void Melden(int zeile) {
    if (zeile < 0) return;
    if (tabelle->NeueZeile() && zeile == 1) {
      status->SetCaption("Neuer Datensatz");
      return;
    }
    status->SetCaption("Zeile " + std::to_string(zeile) + ": " + tabelle->GetCell(1, zeile) + " " +
                       tabelle->GetCell(0, zeile) + ", " + tabelle->GetCell(2, zeile) + " (" +
                       Schluessel(zeile) + ")   " + tabelle->Hint());
  }
};

const bool registered = demo::RegisterDemoPage("Tabelle", 85, [](QWidget* page) {
  auto seite = std::make_shared<Seite>();
  seite->daten = Erzeugen(2000);

  auto* such = new TSuchfeld(page);
  such->SetBounds(8, 8, 235, 25);
  auto* t = new TTabelle(page);
  t->SetBounds(8, 40, 736, 380);
  t->AutoUpdate = false;
  t->NeueZeileText = "<Neuer Datensatz>";
  t->SetSuchelement(such);
  seite->tabelle = t;
  seite->status = new TLabel(page);
  seite->status->SetBounds(8, 426, 736, 20);

  Seite* s = seite.get();
  t->OnSortCell = [s](TObject*, uint8_t spalte, bool abwaerts) { s->Sortieren(spalte - 1, abwaerts); };
  t->OnSelectCell = [s](TObject*, int zeile) { s->Melden(zeile); };
  t->OnDoppelKlick = [s](TObject*) { s->status->SetCaption("Doppelklick auf " + s->Schluessel(s->tabelle->GetRow())); };
  s->Sortieren(0, false);
  // The titles reached the field with the cells; its label shows the search column at once,
  // not only once the table has had the focus.
  such->Set_Spalte(t->SuchSpalte());

  auto* grafik = Knopf(page, 260, 8, 120, "Balken: Umsatz");
  grafik->GroupIndex = 3;
  grafik->AllowAllUp = true;
  auto* menge = Knopf(page, 384, 8, 120, "Balken: Menge");
  menge->GroupIndex = 3;
  menge->AllowAllUp = true;
  auto umschalten = [t](TSpeedButton* knopf, int spalte) {
    return [t, knopf, spalte](TObject*) { t->Set_Grafik(knopf->Down(), spalte); };
  };
  grafik->OnClick = umschalten(grafik, kUmsatz);
  menge->OnClick = umschalten(menge, kMenge);
  t->OnModeChange = [s](TObject*, bool an) {
    s->status->SetCaption(an ? "Balkenansicht" : "Listenansicht");
  };

  auto* neu = Knopf(page, 508, 8, 110, "Neue Zeile");
  neu->GroupIndex = 4;
  neu->AllowAllUp = true;
  neu->OnClick = [s, neu](TObject*) {
    s->tabelle->FNeueZeile(neu->Down());
    s->Fuellen();
  };
  Knopf(page, 622, 8, 122, "Drucken")->OnClick = [t](TObject*) { t->Print("Kundenliste"); };

  if (const char* modus = std::getenv("KOMP_DEMO_TABELLE"); modus && std::string(modus) == "grafik") {
    grafik->SetDown(true);
    t->Set_Grafik(true, kUmsatz);
  }
  s->tabelle->SetRow(3);
  s->Melden(3);
  // The records live as long as the program, like the page.
  static std::vector<std::shared_ptr<Seite>> seiten;
  seiten.push_back(seite);
});

}  // namespace
