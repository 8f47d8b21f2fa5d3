// Demo page of the report control: a definition editor beside the preview, the example
// definitions to choose from, the construction aids, printing and PDF files.
#include <algorithm>
#include <iterator>
#include <string>

#include "components/druckreport/druckreport.h"
#include "demo/demo_page.h"
#include "framework/gui/dialogs.h"
#include "framework/gui/memo.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace {

using demo::Knopf;

using namespace komp;

#include "demo_beispiele.inc"

const bool registered = demo::RegisterDemoPage("Report", 100, [](QWidget* page) {
  auto* auswahl = new TListBox(page);
  auswahl->SetBounds(8, 8, 310, 40);
  TStringList namen;
  for (const auto& b : kBeispiele) namen.Add(b.name);
  auswahl->SetItems(namen);

  auto* editor = new TMemo(page);
  editor->SetBounds(8, 54, 310, 330);
  editor->SetWordWrap(false);
  auto* report = new TDruckReport(page);
  report->SetBounds(326, 8, 420, 440);
  auto* status = new TLabel(page);
  status->SetBounds(146, 424, 172, 20);

  auto anwenden = [editor, report, status] {
    const std::string text = editor->Text();
    report->SetReportdaten(text.c_str());
    const TReportError e = report->LastError();
    status->SetCaption(e.Number == 0 ? std::string("Definition gelesen")
                                     : "Fehler " + std::to_string(e.Number) + " in Zeile " +
                                           std::to_string(e.Line));
  };
  auto laden = [auswahl, editor, anwenden] {
    const int i = auswahl->ItemIndex();
    if (i < 0 || i >= int(std::size(kBeispiele))) return;
    editor->SetText(kBeispiele[i].text);
    anwenden();
  };
  auswahl->OnClick = [laden](TObject*) { laden(); };

  Knopf(page, 8, 392, 95, "Anwenden")->OnClick = [anwenden](TObject*) { anwenden(); };
  Knopf(page, 108, 392, 95, "Drucken")->OnClick = [report, auswahl](TObject*) {
    const std::string titel = "Komp Demo: " + auswahl->Items()[std::max(0, auswahl->ItemIndex())];
    if (!report->Drucken(titel.c_str(), 1))
      MessageBox("Der Bericht konnte nicht gedruckt werden (kein Drucker?).", "Drucken", MB_OK,
                 MB_ICONERROR);
  };
  Knopf(page, 208, 392, 110, "Als PDF speichern")->OnClick = [page, report](TObject*) {
    TSaveDialog dlg(page);
    dlg.Title = "Als PDF speichern";
    dlg.Filter = "PDF-Dateien (*.pdf)|*.pdf|Alle Dateien (*.*)|*.*";
    dlg.DefaultExt = "pdf";
    dlg.FileName = "bericht.pdf";
    if (!dlg.Execute()) return;
    if (!report->SaveasPDF(dlg.FileName.c_str()))
      MessageBox("Die PDF-Datei \"" + dlg.FileName + "\" konnte nicht geschrieben werden.",
                 "Als PDF speichern", MB_OK, MB_ICONERROR);
  };

  // The construction aids: hatched boxes for frames, texts and missing pictures.
  auto* hilfe = Knopf(page, 8, 420, 130, "Hilfsrahmen zeigen");
  hilfe->OnClick = [report, hilfe](TObject*) {
    const bool an = report->Konstrukt() == 0;
    report->SetKonstrukt(an ? kkBitmap | kkText | kkFrame : 0);
    hilfe->Caption = an ? "Hilfsrahmen aus" : "Hilfsrahmen zeigen";
    hilfe->Invalidate();
  };

  auswahl->SetItemIndex(0);
  laden();
});

}  // namespace
