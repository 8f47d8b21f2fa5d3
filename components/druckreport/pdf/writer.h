// A PDF 1.4 document as the report layout writes it, page by page.
//
// Call flow (the layout in PDF mode drives it; nothing else is a canvas):
//   TPdfFileSink sink; sink.Create(name);        or a TPdfMemorySink
//   TPdfWriter pdf(sink);
//   pdf.BeginDocument(2100, 2970);                page size in 0.1 mm
//   pdf.BeginPage();  pdf.Color(...); pdf.Text(...); pdf.Rectangle(...); ...  pdf.EndPage();
//   ... one BeginPage/EndPage per page laid out ...
//   bool ok = pdf.EndDocument();                  or pdf.Abort() (then EndDocument is false)
//
// The page streams are kept until EndDocument, which then knows the number of
// pages n; or, when the count is known before the first page (ExpectPages), the head
// is written at once and each stream as its page ends. The object order is the same:
//   1 catalog, 2 outlines, 3 page tree, 4..n+3 pages,
//   n+2k+2 / n+2k+3 content stream of page k and its length (k = 1..n),
//   3n+4 ProcSet, 3n+5 Times-Roman (/F1), 3n+6 Times-Bold (/F2),
//   then the cross-reference table of the real offsets.
// Lines end in CR; "stream" is followed by CR LF.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/druckreport/pdf/sink.h"
#include "framework/types.h"

namespace komp::pdf {

class TPdfObjects;

class TPdfWriter {
 public:
  explicit TPdfWriter(TPdfSink& sink);
  ~TPdfWriter();
  TPdfWriter(const TPdfWriter&) = delete;
  TPdfWriter& operator=(const TPdfWriter&) = delete;

  // Page size in 0.1 mm; the page in points is size × 2/7, truncated (A4: 600 × 848).
  void BeginDocument(int32_t widthTenthMm, int32_t heightTenthMm);
  int32_t PageWidth() const { return width_; }    // points
  int32_t PageHeight() const { return height_; }  // points

  // Before anything is drawn on the first page: the document will have n pages. Its head
  // goes out now and each page when it ends, so memory holds one page, not the document.
  // Ending with another number of pages then fails the document (PageCountMismatch).
  void ExpectPages(int32_t n);
  bool PageCountMismatch() const { return mismatch_; }

  void BeginPage();
  void EndPage();
  int32_t PageCount() const {
    return int32_t(expected_ > 0 ? written_ + (state_ == State::Page) : int64_t(pages_.size()));
  }

  // Fragments of the current page. Positions and sizes are whole points from
  // the page's top-left corner. Text: one line, y its top, size in points.
  void Color(TColor c, bool fill);
  void Text(int32_t x, int32_t y, std::string_view cp1252, int size, bool bold);
  void Rectangle(int32_t x, int32_t y, int32_t w, int32_t h);
  void Line(int32_t x, int32_t y, int32_t w, int32_t h);
  void Ellipse(int32_t x, int32_t y, int32_t w, int32_t h);

  // Writes the file; true only when every byte reached the sink and the sink
  // completed (a file is then in place). False after Abort, a call out of
  // order, or any write error: then the sink is discarded and no file remains.
  bool EndDocument();
  // Stops the document; nothing is written.
  void Abort();

 private:
  enum class State { Idle, Document, Page, Done, Failed };
  bool InPage();
  bool Fail();
  bool WriteFile();
  bool WriteHead(TPdfObjects& obj, int64_t n);
  bool WriteStream(TPdfObjects& obj, int64_t n, int64_t k, std::string& content);
  bool WriteTail(TPdfObjects& obj, int64_t n);

  TPdfSink& sink_;
  std::unique_ptr<TPdfObjects> streaming_;  // after ExpectPages
  int64_t expected_ = 0;
  int64_t written_ = 0;
  bool mismatch_ = false;
  State state_ = State::Idle;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<std::string> pages_;  // content stream of each page
};

}  // namespace komp::pdf
