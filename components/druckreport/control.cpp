// The control: construction, the message boxes that tell the model's diagnostics, clearing and
// SetReportdaten with the view state, registration. The preview is in preview.cpp.
#include <algorithm>
#include <cstdio>

#include "components/druckreport/druckreport.h"
#include "framework/gui/registry.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace komp {

namespace {
constexpr int kScrollBarWidth = 17;
}  // namespace

TDruckReport::TDruckReport(QWidget* owner) : TCustomControl(owner) {
  SetBounds(Left(), Top(), 200, 283);
  model_.SetDiagnostics(this);
  SetDefaultwerte();
  SetPFormat(0, 0);
  scrollBar_ = new TScrollBar(this, TScrollBarKind::Vertical);
  scrollBar_->SetBounds(Width() - kScrollBarWidth, 0, kScrollBarWidth, Height());
  scrollBar_->SetVisible(false);
  scrollBar_->SetFocusable(true);
  scrollBar_->OnChange = [this](TObject* Sender) { HorChange(Sender); };
}

TDruckReport::~TDruckReport() {
  StopZaehlen();
  LoesTaste();
  Clear_Report(true);
  frameBilder_.clear();
}

bool TDruckReport::UnknownWord(const std::string& word, int64_t line) {
  std::string text = word + '\n';
  if (line < 100000) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", int(line));
    text += "In Zeile ";
    text += digits;
  }
  return MessageBox(text, "Unbekannter Befehl", MB_OKCANCEL) != IDCANCEL;
}

void TDruckReport::ParseError(int n, int64_t line) {
  MessageBox("Fehler in den Reportdaten!\nFehlernummer:" + std::to_string(n) + "  " +
                 ReportFehlerText(n) + "\nIn Zeile " + std::to_string(line),
             "Fehler", MB_OK);
}

void TDruckReport::OutOfMemory() { MessageBox("Nicht genug Speicher", "Achtung", MB_OK); }

void TDruckReport::DuplicateVariable(const std::string& name) {
  MessageBox("Variable: " + name +
                 "\nist schon definiert. Bitte benutzen Sie einen anderen Namen f\xFC"
                 "r die se Variable!",
             "Fehler", MB_OK);
}

void TDruckReport::Clear_Report(bool keep) {
  // Kept states point into the objects that go now.
  StopZaehlen();
  if (punkte_) punkte_->Clear();
  Neuzaehlen = true;
  Seitenanzahl = 1;
  Neuzeichnen = true;
  model_.Clear(true);
  if (!keep) {
    Invalidate();
    SetDefaultwerte();
    Abbruch = false;
    ScrollOffset = 0;
    if (scrollBar_) scrollBar_->SetPosition(0);
  }
}

void TDruckReport::SetDefaultwerte() {
  model_.SetDefaultwerte();
  AktSeite = 0;
}

bool TDruckReport::SetReportdaten(const char* text) {
  Clear_Report(false);
  // False: freed or given another definition while a message box was open; that one stands.
  if (!model_.SetReportdaten(text)) return true;
  SetGroesse();
  if (Showing()) Invalidate();
  return true;
}

void TDruckReport::SetKonstrukt(DefKonstrukt k) {
  if (k == konstrukt_) return;
  konstrukt_ = k;
  Neuzeichnen = true;
  Repaint();
}

namespace Druckreport {
void Register() { RegisterComponentClass<TDruckReport>("Beispiele", "TDruckReport"); }
}  // namespace Druckreport

}  // namespace komp
