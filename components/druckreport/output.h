// Where a report layout goes. The engine places everything in tenths of a millimetre and asks
// its output for scale, origin and text measures; it never knows which device it draws on.
//
//   IReportOutput     the interface: geometry, text measure, drawing, new page
//   TForwardingOutput passes everything on to another output
//   TCountingOutput   measures like another output and draws nothing (page counting)
//   TCanvasOutput     a TCanvas page: preview bitmap or printer page
//   TPdfOutput        a PDF content stream through pdf::TPdfWriter (Times metrics, 72 dpi)
#pragma once
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "framework/gui/canvas.h"
#include "framework/gui/graphics.h"
#include "framework/gui/textwidths.h"

namespace komp {

namespace pdf {
class TPdfWriter;
}

// Font size used where a definition gave none (0 would draw nothing at all).
int ReportFontSize(int size);

class IReportOutput {
 public:
  virtual ~IReportOutput() = default;
  // False for a counting run: the engine then calls no drawing operation and no NewPage.
  virtual bool Draws() const { return true; }
  // Device units per 0.1 mm and the device position of the page's top-left corner.
  virtual double ScaleX() const = 0;
  virtual double ScaleY() const = 0;
  virtual TPoint Origin() const { return {0, 0}; }
  // Pixels per inch at which texts are measured.
  virtual int TextResolution() const = 0;
  // Measures at TextResolution; the font's size is never 0 here.
  virtual int64_t TextWidth(const TFont& f, std::string_view text) const = 0;
  virtual int64_t TextHeight(const TFont& f) const = 0;  // of "A"

  // Device coordinates. `box` is the object's box (texts are clipped to it where the device can);
  // `width` is the line's width as measured, in device units.
  virtual void Text(const TFont& f, int x, int y, std::string_view text, const TRect& box,
                    int width) = 0;
  virtual void Rectangle(TColor c, int pen, const TRect& r) = 0;
  virtual void Line(TColor c, int pen, const TRect& r) = 0;
  virtual void Ellipse(TColor c, int pen, const TRect& r) = 0;
  virtual void Bitmap(const TBitmap& b, const TRect& r) = 0;
  // Ends the page and starts the next one; false stops the run (the device failed).
  virtual bool NewPage() = 0;
  // Told before the drawing run when a counting run found the number of pages.
  virtual void PagesCounted(int32_t /*pages*/) {}
  // Construction aids, on the screen only: the Konstrukt bits shown, and a hatched box with an
  // optional caption.
  virtual unsigned Konstrukt() const { return 0; }
  virtual void Hatched(TColor, const TRect&, std::string_view /*caption*/) {}
};

// Passes everything on to another output; a subclass changes what it needs.
class TForwardingOutput : public IReportOutput {
 public:
  explicit TForwardingOutput(IReportOutput& o) : o_(o) {}
  bool Draws() const override { return o_.Draws(); }
  double ScaleX() const override { return o_.ScaleX(); }
  double ScaleY() const override { return o_.ScaleY(); }
  TPoint Origin() const override { return o_.Origin(); }
  int TextResolution() const override { return o_.TextResolution(); }
  int64_t TextWidth(const TFont& f, std::string_view t) const override { return o_.TextWidth(f, t); }
  int64_t TextHeight(const TFont& f) const override { return o_.TextHeight(f); }
  void Text(const TFont& f, int x, int y, std::string_view t, const TRect& box, int w) override {
    o_.Text(f, x, y, t, box, w);
  }
  void Rectangle(TColor c, int pen, const TRect& r) override { o_.Rectangle(c, pen, r); }
  void Line(TColor c, int pen, const TRect& r) override { o_.Line(c, pen, r); }
  void Ellipse(TColor c, int pen, const TRect& r) override { o_.Ellipse(c, pen, r); }
  void Bitmap(const TBitmap& b, const TRect& r) override { o_.Bitmap(b, r); }
  bool NewPage() override { return o_.NewPage(); }
  void PagesCounted(int32_t pages) override { o_.PagesCounted(pages); }
  unsigned Konstrukt() const override { return o_.Konstrukt(); }
  void Hatched(TColor c, const TRect& r, std::string_view caption) override { o_.Hatched(c, r, caption); }

 protected:
  IReportOutput& o_;
};

// Measures like another output and draws nothing (page counting).
class TCountingOutput final : public TForwardingOutput {
 public:
  explicit TCountingOutput(IReportOutput& measure) : TForwardingOutput(measure) {}
  bool Draws() const override { return false; }
  void Text(const TFont&, int, int, std::string_view, const TRect&, int) override {}
  void Rectangle(TColor, int, const TRect&) override {}
  void Line(TColor, int, const TRect&) override {}
  void Ellipse(TColor, int, const TRect&) override {}
  void Bitmap(const TBitmap&, const TRect&) override {}
  bool NewPage() override { return true; }
  void PagesCounted(int32_t) override {}
  unsigned Konstrukt() const override { return 0; }
  void Hatched(TColor, const TRect&, std::string_view) override {}
};

class TCanvasOutput final : public IReportOutput {
 public:
  // The page (pageWidth x pageHeight, 0.1 mm) fills width x height device pixels at origin.
  // `nextPage` gives the canvas of the following page, or null to stop.
  TCanvasOutput(TCanvas& canvas, int32_t pageWidth, int32_t pageHeight, int width, int height,
                TPoint origin, int textResolution, std::function<TCanvas*()> nextPage);
  double ScaleX() const override { return sx_; }
  double ScaleY() const override { return sy_; }
  TPoint Origin() const override { return origin_; }
  int TextResolution() const override { return res_; }
  int64_t TextWidth(const TFont& f, std::string_view text) const override;
  int64_t TextHeight(const TFont& f) const override;
  void Text(const TFont& f, int x, int y, std::string_view text, const TRect& box,
            int width) override;
  void Rectangle(TColor c, int pen, const TRect& r) override;
  void Line(TColor c, int pen, const TRect& r) override;
  void Ellipse(TColor c, int pen, const TRect& r) override;
  void Bitmap(const TBitmap& b, const TRect& r) override;
  bool NewPage() override;
  unsigned Konstrukt() const override { return konstrukt_; }
  void Hatched(TColor c, const TRect& r, std::string_view caption) override;
  TCanvas& Canvas() { return *canvas_; }
  // The preview: each character of a text goes where the layout measured it, so that a line
  // covers its measured width; `konstrukt` shows the construction aids.
  void SetScreen(unsigned konstrukt) { screen_ = true, konstrukt_ = konstrukt; }

 private:
  void Shape(TColor c, int pen);
  // A layout measures every character of every text: asking the font each time made page
  // counting slow.
  mutable TTextWidths widths_;
  void ScreenText(const TFont& f, int x, int y, std::string_view text, const TRect& box, int width);
  TCanvas* canvas_;
  bool screen_ = false;
  unsigned konstrukt_ = 0;
  double sx_, sy_;
  TPoint origin_;
  int res_;
  std::function<TCanvas*()> nextPage_;
};

class TPdfOutput final : public IReportOutput {
 public:
  // The writer's document is begun; this output begins the first page.
  explicit TPdfOutput(pdf::TPdfWriter& writer, int32_t pageWidth, int32_t pageHeight);
  double ScaleX() const override { return sx_; }
  double ScaleY() const override { return sy_; }
  int TextResolution() const override { return 72; }
  int64_t TextWidth(const TFont& f, std::string_view text) const override;
  int64_t TextHeight(const TFont& f) const override;
  void Text(const TFont& f, int x, int y, std::string_view text, const TRect& box,
            int width) override;
  void Rectangle(TColor c, int pen, const TRect& r) override;
  void Line(TColor c, int pen, const TRect& r) override;
  void Ellipse(TColor c, int pen, const TRect& r) override;
  void Bitmap(const TBitmap&, const TRect&) override {}  // pictures stay out of the PDF
  bool NewPage() override;
  // The writer then streams each page out as it ends instead of keeping the document.
  void PagesCounted(int32_t pages) override;

 private:
  pdf::TPdfWriter& w_;
  double sx_, sy_;
};

}  // namespace komp
