// Demo page of the search field: two lists stand in for tables. A click in a list attaches
// the field to it; typing, F3, Enter, the history, the column menu and the case toggle act
// on the attached list, and a line tells what the list was told last.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/suchfeld/suchfeld.h"
#include "demo/demo_page.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace {

using namespace komp;

// A list of records with named columns that searches itself as a table would.
struct Liste {
  TListBox* box = nullptr;
  std::vector<std::string> titel;
  std::vector<std::vector<std::string>> zeilen;
  int spalte = 0;
  std::string name;

  void Zeigen() {
    TStringList items;
    for (auto& z : zeilen) {
      std::string line;
      for (size_t i = 0; i < z.size(); ++i) line += (i ? "  |  " : "") + z[i];
      items.Add(line);
    }
    box->SetItems(items);
  }

  // Full match first; else the first row that starts with the text; else the best partial
  // match goes back to the field.
  void Suchen(TSuchfeld* feld) {
    const int n = int(zeilen.size());
    if (n == 0) return;
    const int start = feld->GetVon() && box->ItemIndex() >= 0 ? box->ItemIndex() + 1 : 0;
    int anfang = -1, best = 0;
    for (int k = 0; k < n; ++k) {
      const int row = (start + k) % n;
      const int32_t r = feld->Vergleich(zeilen[size_t(row)][size_t(spalte)]);
      if (r & kVergleichGleich) {
        box->SetItemIndex(row);
        return;
      }
      if ((r & kVergleichAnfang) && anfang < 0) anfang = row;
      best = std::max(best, int(r & kVergleichAnzahl));
    }
    if (anfang >= 0) {
      box->SetItemIndex(anfang);
      return;
    }
    MessageBeep();
    feld->NotFund(best);
  }
};

const bool registered = demo::RegisterDemoPage("Suchfeld", 80, [](QWidget* page) {
  auto* feld = new TSuchfeld(page);
  feld->SetBounds(10, 10, 235, 25);

  auto* status = new TLabel(page);
  status->SetBounds(10, 330, 700, 20);
  status->SetCaption("Klicken Sie in eine Liste, um das Suchfeld mit ihr zu verbinden.");

  auto* hilfe = new TLabel(page);
  hilfe->SetBounds(260, 14, 480, 20);
  hilfe->SetCaption("Tippen sucht, F3 und die Lupe suchen weiter, Enter meldet die Zeile.");

  auto personen = std::make_shared<Liste>();
  personen->name = "Personen";
  personen->titel = {"Name", "Ort"};
  personen->zeilen = {{"M\xFC" "ller", "Berlin"},  {"Meier", "Hamburg"},    {"Mayer", "M\xFC" "nchen"},
                      {"Schulz", "K\xF6" "ln"},    {"Schmidt", "Bremen"},    {"\xD6" "zt\xFC" "rk", "Essen"},
                      {"Lehmann", "Leipzig"},      {"m\xFC" "ller", "Dresden"}, {"Wagner", "Bonn"},
                      {"Becker", "\xDC" "berlingen"}};
  auto staedte = std::make_shared<Liste>();
  staedte->name = "St\xE4" "dte";
  staedte->titel = {"Stadt", "Land", "Einwohner"};
  staedte->zeilen = {{"Aachen", "NRW", "249000"},        {"Augsburg", "Bayern", "296000"},
                     {"Berlin", "Berlin", "3755000"},    {"Bochum", "NRW", "364000"},
                     {"D\xFC" "sseldorf", "NRW", "619000"}, {"Duisburg", "NRW", "498000"},
                     {"\xC4" "hren", "", "-"}};

  int x = 10;
  for (auto liste : {personen, staedte}) {
    auto* titel = new TLabel(page);
    titel->SetBounds(x, 50, 300, 18);
    titel->SetCaption(liste->name);
    liste->box = new TListBox(page);
    liste->box->SetBounds(x, 70, 340, 250);
    liste->Zeigen();
    x += 360;

    Liste* l = liste.get();
    TSuchEvent suche = [feld, status, l](TControl*, int modus) {
      switch (modus) {
        case smSuchen:
          l->Suchen(feld);
          status->SetCaption(l->name + ": suchen \"" + feld->GetText() + "\"" +
                             (feld->GetVon() ? " ab der aktuellen Zeile" : ""));
          break;
        case smAbmelden:
          status->SetCaption(l->name + ": abgemeldet");
          break;
        case smAnmelden:
          feld->Set_Spalte(-1);
          for (size_t i = 0; i < l->titel.size(); ++i) feld->Set_Spalten_Name(l->titel[i], int(i));
          feld->Set_Spalte(l->spalte);
          status->SetCaption(l->name + ": angemeldet");
          break;
        case smEnter:
          status->SetCaption(l->name + ": Enter auf Zeile " + std::to_string(l->box->ItemIndex() + 1));
          break;
        default:
          l->spalte = modus - smSpalte;
          status->SetCaption(l->name + ": Suchspalte " + l->titel[size_t(l->spalte)]);
          break;
      }
    };
    // The list keeps its data alive for as long as its handlers live.
    liste->box->OnClick = [feld, suche, liste](TObject*) { feld->Set_Suche(suche, liste->box); };
  }
  // Start on the first list, as if it had been clicked.
  personen->box->OnClick(personen->box);
});

}  // namespace
