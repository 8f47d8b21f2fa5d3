// The control runs the layout engine: DrawCanvas (counting run, then drawing run), SaveasPDF,
// Drucken, GetTextzeilen, and the host side of the engine (events, bitmaps, the error box).
// Every callback may free the control or give it a new definition: after one, `self` and the
// engine's model guard are checked before anything of the control is touched.
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "components/druckreport/druckreport.h"
#include "components/druckreport/pdf/sink.h"
#include "components/druckreport/pdf/writer.h"
#include "framework/file.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace komp {

void TDruckReport::RecordChange(int tab, int position) {
  if (auto handler = OnRecordChange) handler(this, tab, position);
}

void TDruckReport::Format(const char* name, std::string& value) {
  if (auto handler = OnFormat) handler(this, name, value);
}

const TBitmap* TDruckReport::Bild(const std::string& name) {
  const auto fetch = OnGetBitmap;
  Bitmap* b = model_.GetBild(name.c_str(), fetch);
  return b ? &b->Bild : nullptr;
}

void TDruckReport::TwoPageBreaks() {
  MessageBox("Fehler in der Reportstruktur, zwei Seitenwechsel in Folge!", "Fehler", MB_OK);
}

bool TDruckReport::DrawCanvas(IReportOutput& out) {
  if (Abbruch) return false;
  QPointer<TDruckReport> self(this);
  int32_t count = 1;
  if (Seitenlimit != 1) {
    // Counted on this output's own measures: screen, printer and PDF wrap text differently.
    TCountingOutput counting(out);
    TReportLayout run(model_, counting, this);
    const bool ok = run.Run(1);
    if (!self || run.ModelGone()) return false;
    if (!ok) {
      Abbruch = Abbruch || run.Aborted();
      return false;
    }
    count = run.Pages();
    out.PagesCounted(count);
  }
  TReportLayout run(model_, out, this);
  const bool ok = run.Run(count);
  if (!self || run.ModelGone()) return false;
  Neuzaehlen = false;
  if (!ok) {
    Abbruch = Abbruch || run.Aborted();
    return false;
  }
  Seitenanzahl = run.Pages();
  AktSeite = std::clamp(AktSeite, 0, std::max(0, Seitenanzahl - 1));
  if (auto handler = OnRecordChange) handler(this, 0, -1);
  return bool(self);
}

namespace {
// Lets the drawing run stream the document only the first time: when a host callback made the
// drawing run lay out another number of pages than counted, the second try keeps the pages.
class TBufferedPdfOutput final : public TForwardingOutput {
 public:
  using TForwardingOutput::TForwardingOutput;
  void PagesCounted(int32_t) override {}
};
}  // namespace

bool TDruckReport::SaveasPDF(const char* name) {
  if (!name || !*name) return false;
  QPointer<TDruckReport> self(this);
  for (int versuch = 0; versuch < 2; ++versuch) {
    pdf::TPdfFileSink sink;
    if (!sink.Create(ToSystemName(name))) return false;
    pdf::TPdfWriter writer(sink);
    writer.BeginDocument(Seitenbreite, Seitenhoehe);
    TPdfOutput out(writer, Seitenbreite, Seitenhoehe);
    TBufferedPdfOutput buffered(out);
    const bool ok = versuch == 0 ? DrawCanvas(out) : DrawCanvas(buffered);
    if (!self) return false;
    if (!ok) {
      writer.Abort();
      if (writer.PageCountMismatch()) continue;
      return false;
    }
    writer.EndPage();
    if (writer.EndDocument()) return true;
    if (!writer.PageCountMismatch() || !self) return false;
  }
  return false;
}

bool TDruckReport::Drucken(const char* title, int copies) {
  IPrinter* printer = Services().Printer;
  if (!printer || Abbruch) return false;
  QPointer<TDruckReport> self(this);
  printer->Title = title ? title : "";
  printer->Orientation = Dir ? TPrinterOrientation::Landscape : TPrinterOrientation::Portrait;
  printer->Copies = std::max(1, copies);
  if (!printer->BeginDoc()) return false;
  const int w = printer->PhysicalWidth(), h = printer->PhysicalHeight();
  const double sx = double(w) / std::max(1, Seitenbreite), sy = double(h) / std::max(1, Seitenhoehe);
  // The device draws from its printable area: the page origin lies up to one offset outside it.
  const TPoint origin{-std::min(int(RandLinks * sx), printer->OffsetX()),
                      -std::min(int(RandOben * sy), printer->OffsetY())};
  TCanvasOutput out(printer->Canvas(), Seitenbreite, Seitenhoehe, w, h, origin, printer->DpiX(),
                    [printer]() -> TCanvas* {
                      printer->NewPage();
                      return &printer->Canvas();
                    });
  const bool ok = DrawCanvas(out);
  if (!ok) {
    printer->Abort();
    return false;
  }
  printer->EndDoc();
  if (!self) return true;
  if (auto handler = OnDruck) handler(this);
  return true;
}

int TDruckReport::GetTextzeilen(const char* text, const TCanvas& canvas, int startLine, int width) {
  const TFont font = canvas.Font;
  const int ppi = canvas.PixelsPerInch();
  auto measure = [&](std::string_view s) { return int64_t(TCanvas::MeasureText(font, s, ppi).cx); };
  return komp::GetTextzeilen(text ? std::string_view(text) : std::string_view(), measure,
                             std::max(0, startLine), width, textzeilen_);
}

}  // namespace komp
