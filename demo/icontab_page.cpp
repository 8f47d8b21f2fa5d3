// Demo page of the icon table: two tabs in one scrolling control. The first lists open orders
// grouped by customer, with a caption row and a two-line note; its article, amount and note
// take input (the note from a drop-down list). The second holds a million generated customer
// records, searched through the search field. The buttons jump through the records, export the
// selected tab, copy the tables and prepare a mail.
#include <cstdio>
#include <string>

#include "components/icontab/icontab.h"
#include "components/icontab/icontab_editor.h"
#include "components/suchfeld/suchfeld.h"
#include "demo/demo_page.h"
#include "framework/gui/stdctrls.h"

namespace {

using demo::Knopf;
using namespace komp;

constexpr int kMillion = 1000000;

void Bestellungen(TIconTab* t) {
  struct Zeile {
    const char* kunde;
    const char* artikel;
    const char* menge;
    const char* hinweis;
  };
  const Zeile zeilen[] = {
      {"M\xFCller GmbH", "Schrauben M6", "500", "Lager A"},
      {"M\xFCller GmbH", "Muttern M6", "500", "Lager A"},
      {"M\xFCller GmbH", "Unterlegscheiben", "1000", "Lieferung\rbis Freitag"},
      {"Sch\xE4" "fer & S\xF6hne", "Holzd\xFC" "bel", "250", "Lager B"},
      {"Sch\xE4" "fer & S\xF6hne", "Leim", "12", "Gefahrgut"},
      {"Wei\xDF KG", "Scharniere", "40", ""},
  };
  t->SetTabelle(2 + 6, 4, 0, 0);
  const char* titel[] = {"Kunde", "Artikel", "Menge", "Hinweis"};
  for (int c = 0; c < 4; ++c) t->SetCell(0, unsigned(c), titel[c]);
  t->SetCell(1, 0, "Offene Bestellungen");
  t->SetRowArt(1, 1);
  int r = 2;
  for (const Zeile& z : zeilen) {
    t->SetCell(unsigned(r), 0, z.kunde);
    t->SetCell(unsigned(r), 1, z.artikel);
    t->SetCell(unsigned(r), 2, z.menge);
    t->SetCell(unsigned(r), 3, z.hinweis);
    ++r;
  }
  t->SetRowColor(7, RGB(160, 0, 0));
}

void Kunden(TIconTab* t) {
  const char* namen[] = {"M\xFCller", "Sch\xE4" "fer", "Meier", "Schulz", "Kr\xFCger", "Wei\xDF", "Hoffmann",
                         "Zimmermann", "K\xF6nig", "Wagner"};
  const char* vornamen[] = {"Anna", "J\xFCrgen", "Claudia", "Dieter", "Elke", "G\xFCnther", "Hanna"};
  const char* orte[] = {"K\xF6ln", "M\xFCnchen", "D\xFCsseldorf", "Aachen", "Berlin", "W\xFCrzburg"};
  t->SetTabelle(kMillion + 1, 5, 0, 1);
  const char* titel[] = {"Nummer", "Name", "Vorname", "Ort", "Umsatz"};
  for (int c = 0; c < 5; ++c) t->SetCell(0, unsigned(c), titel[c]);
  uint32_t z = 4711;
  char buf[32];
  for (int r = 1; r <= kMillion; ++r) {
    z = z * 1103515245u + 12345u;
    std::snprintf(buf, sizeof buf, "%07d", r);
    t->SetCell(unsigned(r), 0, buf);
    t->SetCell(unsigned(r), 1, namen[(z >> 8) % 10]);
    t->SetCell(unsigned(r), 2, vornamen[(z >> 12) % 7]);
    t->SetCell(unsigned(r), 3, orte[(z >> 16) % 6]);
    std::snprintf(buf, sizeof buf, "%u,%02u", (z >> 4) % 100000, z % 100);
    t->SetCell(unsigned(r), 4, buf);
  }
}

const bool registered = demo::RegisterDemoPage("Icontabelle", 87, [](QWidget* page) {
  auto* such = new TSuchfeld(page);
  such->SetBounds(8, 8, 235, 25);
  auto* t = new TIconTab(page);
  t->SetBounds(8, 72, 736, 348);
  t->AutoBreite = true;
  t->MitUeberschrift = true;
  t->Group = true;
  t->SetOrder(true);
  t->SetCaption("Bestellungen und Kunden");
  t->SetSuchelement(such);
  Bestellungen(t);
  Kunden(t);
  // Article, amount and note of the orders take input; the note offers a list.
  t->SetEditCol((1u << 1) | (1u << 2) | (1u << 3), 0);
  static TStringList hinweise;
  if (hinweise.Empty())
    for (const char* h : {"Lager A", "Lager B", "Gefahrgut", "Abholung", "Express"}) hinweise.Add(h);
  t->OnGetFilter = [](TObject*, Filter_Struct& f, int, int col) {
    if (col != 3) return;
    f.Art = eaListe;
    f.Strings = &hinweise;
  };
  t->SetSelectTab(0);
  t->FEndUpdate(false);

  auto* status = new TLabel(page);
  status->SetBounds(8, 426, 736, 20);
  status->SetCaption(t->Hint());

  auto scrolle = [t](int code) { t->Perform(WM_VSCROLL, code, 0); };
  Knopf(page, 8, 40, 84, "Anfang")->OnClick = [scrolle](TObject*) { scrolle(SB_TOP); };
  Knopf(page, 96, 40, 100, "Seite zur\xFC" "ck")->OnClick = [scrolle](TObject*) { scrolle(SB_PAGEUP); };
  Knopf(page, 200, 40, 84, "Seite vor")->OnClick = [scrolle](TObject*) { scrolle(SB_PAGEDOWN); };
  Knopf(page, 288, 40, 84, "Ende")->OnClick = [scrolle](TObject*) { scrolle(SB_BOTTOM); };
  Knopf(page, 400, 40, 110, "Exportieren")->OnClick = [t](TObject* s) { t->OnExport(s); };
  Knopf(page, 514, 40, 110, "Kopieren")->OnClick = [t](TObject* s) { t->OnTabKopie(s); };
  Knopf(page, 628, 40, 116, "Per E-Mail")->OnClick = [t](TObject* s) { t->OnEMail(s); };
});

}  // namespace
