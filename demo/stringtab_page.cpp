// Demo page of the string table: a TStringTab shown through a list of its rows, with FindRow,
// the current record and row insertion and deletion to try.
#include <algorithm>
#include <string>

#include "components/stringtab/stringtab.h"
#include "demo/demo_page.h"
#include "framework/gui/stdctrls.h"

namespace {

using namespace komp;

TSpeedButton* Knopf(QWidget* page, int left, int top, const std::string& caption) {
  auto* b = new TSpeedButton(page);
  b->SetBounds(left, top, 110, 24);
  b->Caption = caption;
  return b;
}

const bool registered = demo::RegisterDemoPage("Stringtabelle", 90, [](QWidget* page) {
  auto* tab = new TStringTab(page);
  tab->Set_Tab(1, 3);
  const char* titel[] = {"Name", "Ort", "Telefon"};
  for (int c = 0; c < 3; ++c) tab->SetCell(0, c, titel[c]);
  const char* daten[][3] = {{"M\xFC" "ller", "Berlin", "030 1234"}, {"Meier", "Hamburg", "040 5678"},
                            {"Mayer", "M\xFC" "nchen", "089 4321"}, {"Schulz", "K\xF6" "ln", "0221 876"},
                            {"m\xFC" "ller", "Dresden", "0351 111"}};
  for (auto& d : daten) {
    TStringList v;
    for (auto* s : d) v.Add(s);
    tab->InsertRow(-1, &v, 1);
  }
  tab->SetZeile(0);

  auto* liste = new TListBox(page);
  liste->SetBounds(10, 10, 420, 300);
  auto* status = new TLabel(page);
  status->SetBounds(10, 320, 700, 20);

  auto zeigen = [tab, liste, status] {
    TStringList items;
    for (int r = 0; r < tab->GetRowCount(true); ++r) {
      std::string line = r == 0 ? "     " : (r - 1 == tab->RecordRow() ? "  >  " : "     ");
      for (int c = 0; c < tab->ColCount(); ++c) line += (c ? "  |  " : "") + tab->GetCell(r, c);
      items.Add(line);
    }
    liste->SetItems(items);
    // Without any row (not even a title) the count of data rows comes back as -1.
    status->SetCaption(std::to_string(std::max(0, tab->GetRowCount(false))) + " Datenzeilen, " +
                       std::to_string(tab->GetStrings().Count()) + " Zellen in der Liste, Datensatz " +
                       std::to_string(tab->RecordRow()));
  };
  zeigen();

  auto* hinweis = new TLabel(page);
  hinweis->SetBounds(450, 10, 300, 18);
  hinweis->SetCaption("Name suchen (FindRow, Spalte 0):");
  auto* text = new TEdit(page);
  text->SetBounds(450, 30, 150, 21);
  auto* exakt = Knopf(page, 610, 28, "exakt");
  exakt->GroupIndex = 7;
  exakt->AllowAllUp = true;
  auto* suchen = Knopf(page, 450, 60, "Suchen");
  auto* ergebnis = new TLabel(page);
  ergebnis->SetBounds(450, 90, 300, 18);
  suchen->OnClick = [tab, text, exakt, liste, ergebnis](TObject*) {
    SuchResult r;
    const int von = liste->ItemIndex() > 0 ? liste->ItemIndex() : -1;
    const int row = tab->FindRow(text->Text(), 0, von, exakt->Down(), &r);
    if (row < 0) {
      ergebnis->SetCaption("nicht gefunden");
      return;
    }
    liste->SetItemIndex(row);
    ergebnis->SetCaption("Zeile " + std::to_string(r.Row) + ", " + std::to_string(r.Matched) +
                         " gleich, " + std::to_string(r.Rest) + " folgen");
  };

  Knopf(page, 450, 130, "Datensatz")->OnClick = [tab, liste, zeigen](TObject*) {
    tab->SetZeile(liste->ItemIndex() - 1);
    zeigen();
  };
  Knopf(page, 450, 160, "Zeile einf\xFC" "gen")->OnClick = [tab, liste, zeigen](TObject*) {
    const int at = liste->ItemIndex() > 0 ? liste->ItemIndex() : -1;
    TStringList v;
    v.Add("Neu " + std::to_string(tab->GetRowCount(true)));
    tab->InsertRow(at, &v, 1);
    zeigen();
  };
  Knopf(page, 450, 190, "Zeile l\xF6" "schen")->OnClick = [tab, liste, zeigen](TObject*) {
    tab->DeleteRow(liste->ItemIndex());
    zeigen();
  };
});

}  // namespace
