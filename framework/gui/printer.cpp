// The system's default printer through Qt.
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>

#include "framework/gui/canvas.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"

namespace komp {

namespace {

class QtPrinter : public IPrinter {
 public:
  bool BeginDoc() override {
    if (printing_) return false;
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return false;
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer_->setDocName(ToQString(Title));
    printer_->setCopyCount(std::max(1, Copies));
    printer_->setPageOrientation(Orientation == TPrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                               : QPageLayout::Portrait);
    // The printable area's corner, measured before the job switches to the whole sheet.
    offset_ = printer_->pageRect(QPrinter::DevicePixel).toRect().topLeft() -
              printer_->paperRect(QPrinter::DevicePixel).toRect().topLeft();
    printer_->setFullPage(true);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
      painter_.reset();
      printer_.reset();
      return false;
    }
    canvas_.SetPixelsPerInch(printer_->resolution());
    canvas_.Begin(painter_.get(), nullptr);
    // The canvas origin is the printable area's corner, as on the classic printer device.
    painter_->translate(offset_);
    printing_ = true;
    return true;
  }
  void NewPage() override {
    if (printing_) printer_->newPage();
  }
  void EndDoc() override {
    if (!printing_) return;
    canvas_.End();
    painter_->end();
    painter_.reset();
    printer_.reset();
    printing_ = false;
  }
  void Abort() override {
    if (!printing_) return;
    printer_->abort();
    EndDoc();
  }
  bool Printing() const override { return printing_; }
  TCanvas& Canvas() override { return canvas_; }
  int PageWidth() const override { return Metric(false, true); }
  int PageHeight() const override { return Metric(false, false); }
  int PhysicalWidth() const override { return Metric(true, true); }
  int PhysicalHeight() const override { return Metric(true, false); }
  int OffsetX() const override { return Info().x(); }
  int OffsetY() const override { return Info().y(); }
  int DpiX() const override { return Probe().resolution(); }
  int DpiY() const override { return Probe().resolution(); }
  std::string PrinterName() const override { return FromQString(QPrinterInfo::defaultPrinter().printerName()); }

 private:
  // Capabilities are asked before a job too; a probe printer answers them, also during a job,
  // whose own printer covers the whole sheet and would report no margins.
  const QPrinter& Probe() const {
    if (!probe_) {
      const QPrinterInfo info = QPrinterInfo::defaultPrinter();
      probe_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                             : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    probe_->setPageOrientation(Orientation == TPrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait);
    return *probe_;
  }
  int Metric(bool physical, bool width) const {
    const QPrinter& p = Probe();
    const QRect r = (physical ? p.paperRect(QPrinter::DevicePixel) : p.pageRect(QPrinter::DevicePixel)).toRect();
    return width ? r.width() : r.height();
  }
  QPoint Info() const {
    const QPrinter& p = Probe();
    return p.pageRect(QPrinter::DevicePixel).toRect().topLeft() - p.paperRect(QPrinter::DevicePixel).toRect().topLeft();
  }

  std::unique_ptr<QPrinter> printer_;
  mutable std::unique_ptr<QPrinter> probe_;
  std::unique_ptr<QPainter> painter_;
  TCanvas canvas_;
  QPoint offset_;
  bool printing_ = false;
};

}  // namespace

IPrinter* RealPrinter() {
  static QtPrinter printer;
  return &printer;
}

}  // namespace komp
