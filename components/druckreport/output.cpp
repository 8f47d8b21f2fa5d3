// The report outputs: a canvas page (preview bitmap or printer page) and a PDF content stream.
#include "components/druckreport/output.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "components/druckreport/pdf/content.h"
#include "components/druckreport/pdf/fonts.h"
#include "components/druckreport/pdf/writer.h"

namespace komp {

int ReportFontSize(int size) { return pdf::EffectiveFontSize(size); }

// ---- canvas

TCanvasOutput::TCanvasOutput(TCanvas& canvas, int32_t pageWidth, int32_t pageHeight, int width,
                             int height, TPoint origin, int textResolution,
                             std::function<TCanvas*()> nextPage)
    : canvas_(&canvas),
      sx_(pageWidth > 0 ? double(width) / pageWidth : 0),
      sy_(pageHeight > 0 ? double(height) / pageHeight : 0),
      origin_(origin),
      res_(textResolution > 0 ? textResolution : 96),
      nextPage_(std::move(nextPage)) {}

int64_t TCanvasOutput::TextWidth(const TFont& f, std::string_view text) const {
  return widths_.Width(f, text, res_);
}

int64_t TCanvasOutput::TextHeight(const TFont& f) const { return widths_.Height(f, res_); }

void TCanvasOutput::Text(const TFont& f, int x, int y, std::string_view text, const TRect& box,
                         int width) {
  if (screen_) return ScreenText(f, x, y, text, box, width);
  // Drawn at the device's own scale, so that the text covers what was measured at res_.
  const int ppi = canvas_->PixelsPerInch();
  canvas_->SetPixelsPerInch(std::max(1, int(std::lround(sy_ * 254))));
  canvas_->Font = f;
  canvas_->Brush.Style = TBrushStyle::Clear;
  if (f.Orientation != 0)
    canvas_->TextOut(x, y, text);  // a clip box would cut rotated text
  else
    canvas_->TextRect(box, x, y, text);
  canvas_->SetPixelsPerInch(ppi);
}

void TCanvasOutput::ScreenText(const TFont& f, int x, int y, std::string_view text,
                               const TRect& box, int width) {
  // Screen fonts come in whole pixel sizes whose hinted widths do not scale with the size: draw
  // the nearest size and put each character where the layout measured it, so that the line
  // covers exactly its measured width (right-aligned amounts end at their edge, columns hold).
  constexpr int kPpi = 96;
  TFont measured = f;
  measured.Orientation = 0;
  std::vector<int> dx(text.size());
  std::vector<int64_t> at(text.size() + 1, 0);
  for (size_t i = 0; i < text.size(); ++i) at[i + 1] = at[i] + TextWidth(measured, text.substr(i, 1));
  width = std::max(0, width);
  const double k = at.back() > 0 ? double(width) / double(at.back()) : 0;
  for (size_t i = 0; i < text.size(); ++i)
    dx[i] = int(std::lround(double(at[i + 1]) * k) - std::lround(double(at[i]) * k));
  TFont g = f;
  g.Height = std::max(1, int(std::lround(measured.Size * sx_ * 254.0 / 72.0)));
  const int ppi = canvas_->PixelsPerInch();
  canvas_->SetPixelsPerInch(kPpi);
  canvas_->Font = g;
  canvas_->Brush.Style = TBrushStyle::Clear;
  canvas_->TextOutDx(x, y, text, dx, f.Orientation != 0 ? nullptr : &box);
  canvas_->SetPixelsPerInch(ppi);
}

void TCanvasOutput::Hatched(TColor c, const TRect& r, std::string_view caption) {
  canvas_->Pen.Color = c;
  canvas_->Pen.Width = 1;
  canvas_->Pen.Style = TPenStyle::Solid;
  canvas_->Pen.Mode = TPenMode::Copy;
  canvas_->Brush.Color = c;
  canvas_->Brush.Style = TBrushStyle::BDiagonal;
  canvas_->Rectangle(r);
  if (caption.empty()) return;
  const int ppi = canvas_->PixelsPerInch();
  canvas_->SetPixelsPerInch(96);
  TFont f;
  f.Size = 16;
  f.Color = clBlack;
  canvas_->Font = f;
  canvas_->Brush.Style = TBrushStyle::Clear;
  const TSize ext = canvas_->TextExtent(caption);
  canvas_->TextRect(r, (r.left + r.right - ext.cx) / 2, (r.top + r.bottom - ext.cy) / 2, caption);
  canvas_->SetPixelsPerInch(ppi);
}

void TCanvasOutput::Shape(TColor c, int pen) {
  canvas_->Pen.Color = c;
  canvas_->Pen.Width = std::max(1, pen);
  canvas_->Pen.Style = TPenStyle::Solid;
  canvas_->Brush.Style = TBrushStyle::Clear;
}

void TCanvasOutput::Rectangle(TColor c, int pen, const TRect& r) {
  Shape(c, pen);
  canvas_->Polyline({{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom},
                     {r.left, r.top}});
}

void TCanvasOutput::Line(TColor c, int pen, const TRect& r) {
  Shape(c, pen);
  canvas_->MoveTo(r.left, r.top);
  canvas_->LineTo(r.right, r.bottom);
}

void TCanvasOutput::Ellipse(TColor c, int pen, const TRect& r) {
  Shape(c, pen);
  canvas_->Ellipse(r.left, r.top, r.right, r.bottom);
}

void TCanvasOutput::Bitmap(const TBitmap& b, const TRect& r) { canvas_->StretchDraw(r, b); }

bool TCanvasOutput::NewPage() {
  TCanvas* next = nextPage_ ? nextPage_() : nullptr;
  if (!next) return false;
  canvas_ = next;
  return true;
}

// ---- PDF

TPdfOutput::TPdfOutput(pdf::TPdfWriter& writer, int32_t pageWidth, int32_t pageHeight)
    : w_(writer),
      sx_(pageWidth > 0 ? double(writer.PageWidth()) / pageWidth : 0),
      sy_(pageHeight > 0 ? double(writer.PageHeight()) / pageHeight : 0) {
  w_.BeginPage();
}

int64_t TPdfOutput::TextWidth(const TFont& f, std::string_view text) const {
  return int64_t(std::ceil(pdf::TextWidth(text, (f.Style & fsBold) != 0, f.Size)));
}

int64_t TPdfOutput::TextHeight(const TFont& f) const {
  // Ascent and descent of Times together, as a canvas measures a line.
  return int64_t(std::ceil(pdf::EffectiveFontSize(f.Size) * 1.15));
}

void TPdfOutput::Text(const TFont& f, int x, int y, std::string_view text, const TRect&, int) {
  w_.Color(f.Color, true);
  w_.Text(x, y, text, pdf::EffectiveFontSize(f.Size), (f.Style & fsBold) != 0);
}

void TPdfOutput::Rectangle(TColor c, int, const TRect& r) {
  w_.Color(c, false);
  w_.Rectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPdfOutput::Line(TColor c, int, const TRect& r) {
  w_.Color(c, false);
  w_.Line(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPdfOutput::Ellipse(TColor c, int, const TRect& r) {
  w_.Color(c, false);
  w_.Ellipse(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPdfOutput::PagesCounted(int32_t pages) { w_.ExpectPages(pages); }

bool TPdfOutput::NewPage() {
  w_.EndPage();
  w_.BeginPage();
  return true;
}

}  // namespace komp
