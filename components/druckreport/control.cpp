// The control: construction, the message boxes that tell the model's diagnostics, clearing and
// SetReportdaten with the view state, background painting, preview geometry and the scroll
// bar, registration. Paint shows the rendered page bitmaps; the page buttons are not drawn yet.
#include <algorithm>
#include <cstdio>

#include "components/druckreport/druckreport.h"
#include "framework/gui/registry.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace komp {

namespace {
constexpr int kScrollBarWidth = 17;
constexpr int kButtonBar = 29;
}  // namespace

TDruckReport::TDruckReport(QWidget* owner) : TCustomControl(owner) {
  SetBounds(Left(), Top(), 200, 283);
  model_.SetDiagnostics(this);
  SetDefaultwerte();
  SetPFormat(0, 0);
  scrollBar_ = new TScrollBar(this, TScrollBarKind::Vertical);
  scrollBar_->SetBounds(Width() - kScrollBarWidth, 0, kScrollBarWidth, Height());
  scrollBar_->SetVisible(false);
  scrollBar_->OnChange = [this](TObject* Sender) { HorChange(Sender); };
}

TDruckReport::~TDruckReport() {
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

TBitmap* TDruckReport::GetFrameBild(int i) {
  if (i < 0) return nullptr;
  if (size_t(i) < frameBilder_.size()) return frameBilder_[size_t(i)].get();
  if (size_t(i) == frameBilder_.size()) {
    frameBilder_.push_back(std::make_unique<TBitmap>());
    return frameBilder_.back().get();
  }
  return nullptr;
}

void TDruckReport::SetKonstrukt(DefKonstrukt k) {
  if (k == konstrukt_) return;
  konstrukt_ = k;
  Neuzeichnen = true;
  Repaint();
}

void TDruckReport::SetGroesse() {
  const int W = Width(), H = Height();
  const int sbw = scrollBar_ ? scrollBar_->Width() : kScrollBarWidth;
  double z = double(W) / Seitenbreite;
  int avail = H - (Tastenleiste ? 21 : 0);
  bool scroll = int(Seitenhoehe * z) > avail;
  if (scroll) z = double(W - sbw) / Seitenbreite;
  int r = int(Seitenhoehe * z);
  int top = std::max((H - r) / 2, 0);
  int range = top + r - H;
  if (range < 0) {
    range = 0;
    scroll = false;
  }
  int w = int(Seitenbreite * z);
  int left = std::max((W - w) / 2 - (scroll ? sbw / 2 : 0), 0);
  int barHeight = H;
  if (Tastenleiste) {
    if (top != 0) top = std::max(top - kButtonBar, 0);
    range += kButtonBar;
    barHeight = H - kButtonBar;
  }
  Seitenrect = {left, top, left + w, top + r};
  if (scrollBar_) {
    scrollBar_->SetVisible(scroll);
    if (scroll) {
      scrollBar_->SetBounds(Seitenrect.right, 0, sbw, barHeight);
      if (ScrollOffset > range) ScrollOffset = range;
      scrollBar_->SetParams(ScrollOffset, 0, range);
    }
  }
  Neuzeichnen = true;
}

void TDruckReport::Paint() {
  Canvas().Brush.Color = Color();
  Canvas().Brush.Style = TBrushStyle::Solid;
  Canvas().FillRect(ClientRect());
  if (Neuzeichnen) {
    QPointer<TDruckReport> self(this);
    RenderPreview();
    if (!self) return;
    const bool bar = Seitenanzahl >= 2;
    if (bar != Tastenleiste) {
      Tastenleiste = bar;
      SetGroesse();
      RenderPreview();
      if (!self) return;
    }
  }
  TBitmap* b = GetFrameBild(AktSeite > 0 && AktSeite < Seitenanzahl ? AktSeite : 0);
  if (!b || b->Empty()) return;
  const int visible = Height() - (Tastenleiste ? kButtonBar : 0);
  Canvas().CopyRect({0, 0, b->Width(), visible}, b->Canvas(),
                    {0, ScrollOffset, b->Width(), ScrollOffset + visible});
}

void TDruckReport::EvGroesse(TMessage&) { SetGroesse(); }

void TDruckReport::Dispatch(TMessage& msg) {
  if (msg.Msg == WM_SIZE) EvGroesse(msg);
  TCustomControl::Dispatch(msg);
}

void TDruckReport::HorChange(TObject*) {
  if (scrollBar_->Position() == ScrollOffset) return;
  ScrollOffset = scrollBar_->Position();
  Invalidate();
}

namespace Druckreport {
void Register() { RegisterComponentClass<TDruckReport>("Beispiele", "TDruckReport"); }
}  // namespace Druckreport

}  // namespace komp
