// TPdfWriter: page collection (BeginPage .. EndPage), then the file in one pass
// (WriteFile: header objects, pages, streams, resources, cross-reference table).
#include "components/druckreport/pdf/writer.h"

#include "components/druckreport/pdf/content.h"
#include "components/druckreport/pdf/fonts.h"
#include "components/druckreport/pdf/format.h"
#include "components/druckreport/pdf/objects.h"

namespace komp::pdf {

TPdfWriter::TPdfWriter(TPdfSink& sink) : sink_(sink) {}

TPdfWriter::~TPdfWriter() {
  if (state_ != State::Done && state_ != State::Idle) sink_.Discard();
}

bool TPdfWriter::Fail() {
  if (state_ != State::Failed && state_ != State::Done) sink_.Discard();
  if (state_ != State::Done) state_ = State::Failed;
  pages_.clear();
  streaming_.reset();
  return false;
}

void TPdfWriter::ExpectPages(int32_t n) {
  const bool fresh = state_ == State::Document ? pages_.empty()
                     : state_ == State::Page   ? pages_.size() == 1 && pages_[0].empty()
                                               : false;
  if (!fresh || n < 1 || streaming_) {
    Fail();
    return;
  }
  expected_ = n;
  written_ = 0;
  streaming_ = std::make_unique<TPdfObjects>(sink_);
  streaming_->Reserve(3 * int64_t(n) + 6);
  if (!WriteHead(*streaming_, n)) Fail();
}

void TPdfWriter::BeginDocument(int32_t widthTenthMm, int32_t heightTenthMm) {
  if (state_ != State::Idle || widthTenthMm <= 0 || heightTenthMm <= 0) {
    Fail();
    return;
  }
  width_ = int32_t(int64_t(widthTenthMm) * 2 / 7);
  height_ = int32_t(int64_t(heightTenthMm) * 2 / 7);
  state_ = State::Document;
}

void TPdfWriter::BeginPage() {
  if (state_ != State::Document) {
    Fail();
    return;
  }
  pages_.emplace_back();
  state_ = State::Page;
}

void TPdfWriter::EndPage() {
  if (state_ != State::Page) {
    Fail();
    return;
  }
  state_ = State::Document;
  if (!streaming_) return;
  if (written_ >= expected_) {
    mismatch_ = true;
    Fail();
    return;
  }
  ++written_;
  if (!WriteStream(*streaming_, expected_, written_, pages_.back())) Fail();
  pages_.clear();
}

bool TPdfWriter::InPage() {
  if (state_ == State::Page) return true;
  return Fail();
}

void TPdfWriter::Color(TColor c, bool fill) {
  if (InPage()) AppendColor(pages_.back(), c, fill);
}

void TPdfWriter::Text(int32_t x, int32_t y, std::string_view text, int size, bool bold) {
  if (InPage()) AppendText(pages_.back(), height_, x, y, text, size, bold);
}

void TPdfWriter::Rectangle(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (InPage()) AppendRectangle(pages_.back(), height_, x, y, w, h);
}

void TPdfWriter::Line(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (InPage()) AppendLine(pages_.back(), height_, x, y, w, h);
}

void TPdfWriter::Ellipse(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (InPage()) AppendEllipse(pages_.back(), height_, x, y, w, h);
}

void TPdfWriter::Abort() { Fail(); }

bool TPdfWriter::EndDocument() {
  if (state_ != State::Document) return Fail();
  if (streaming_) {
    if (written_ != expected_) {
      mismatch_ = true;
      return Fail();
    }
    const bool ok = WriteTail(*streaming_, expected_) && sink_.Finish();
    streaming_.reset();
    state_ = State::Done;
    if (!ok) sink_.Discard();
    return ok;
  }
  // A layout always has a first page; a document without one still gets a blank page,
  // since a page tree without kids is no document a reader opens.
  if (pages_.empty()) pages_.emplace_back();
  if (!WriteFile() || !sink_.Finish()) {
    state_ = State::Done;  // the sink already dropped what it had
    sink_.Discard();
    pages_.clear();
    return false;
  }
  state_ = State::Done;
  pages_.clear();
  return true;
}

bool TPdfWriter::WriteFile() {
  const int64_t n = int64_t(pages_.size());
  TPdfObjects obj(sink_);
  obj.Reserve(3 * n + 6);
  if (!WriteHead(obj, n)) return false;
  for (int64_t k = 1; k <= n; ++k) {
    if (!WriteStream(obj, n, k, pages_[size_t(k - 1)])) return false;
    std::string().swap(pages_[size_t(k - 1)]);  // a long report need not hold every stream twice
  }
  return WriteTail(obj, n);
}

bool TPdfWriter::WriteHead(TPdfObjects& obj, int64_t n) {
  std::string s;
  s = "%PDF-1.4\r";
  if (!obj.Write(s)) return false;
  obj.Begin(1);
  obj.Write("<< /Type /Catalog\r/Outlines 2 0 R\r/Pages 3 0 R\r>>\rendobj\r");
  obj.Begin(2);
  obj.Write("<< /Type /Outlines\r/Count 0\r>>\rendobj\r");
  obj.Begin(3);
  s = "<< /Type /Pages\r/Kids [";
  for (int64_t k = 1; k <= n; ++k) {
    AppendInt(s, k + 3);
    s += " 0 R\r";
  }
  s += "]\r/Count ";
  AppendInt(s, n);
  s += "\r>>\rendobj\r";
  if (!obj.Write(s)) return false;

  for (int64_t k = 1; k <= n; ++k) {
    if (!obj.Begin(k + 3)) return false;
    s = "<< /Type /Page\r/Parent 3 0 R\r/MediaBox [0 0 ";
    AppendInt(s, width_);
    s += ' ';
    AppendInt(s, height_);
    s += "]\r/Contents ";
    AppendInt(s, n + 2 * k + 2);
    s += " 0 R\r/Resources << /ProcSet ";
    AppendInt(s, 3 * n + 4);
    s += " 0 R \r/Font << /F1 ";
    AppendInt(s, 3 * n + 5);
    s += " 0 R\r/F2 ";
    AppendInt(s, 3 * n + 6);
    s += " 0 R >>\r>>\r>>\rendobj\r";
    if (!obj.Write(s)) return false;
  }
  return true;
}

bool TPdfWriter::WriteStream(TPdfObjects& obj, int64_t n, int64_t k, std::string& content) {
  std::string s;
  if (!obj.Begin(n + 2 * k + 2)) return false;
  s = "<< /Length ";
  AppendInt(s, n + 2 * k + 3);
  s += " 0 R >>\rstream\r\n";
  if (!obj.Write(s) || !obj.Write(content)) return false;
  if (!obj.Write("endstream\rendobj\r")) return false;
  if (!obj.Begin(n + 2 * k + 3)) return false;
  s.clear();
  AppendInt(s, int64_t(content.size()));
  s += "\rendobj\r";
  return obj.Write(s);
}

bool TPdfWriter::WriteTail(TPdfObjects& obj, int64_t n) {
  obj.Begin(3 * n + 4);
  obj.Write("[/PDF]\rendobj\r");
  obj.Begin(3 * n + 5);
  obj.Write(FontDictionary(false) + "endobj\r");
  obj.Begin(3 * n + 6);
  obj.Write(FontDictionary(true) + "endobj\r");
  return obj.Finish();
}

}  // namespace komp::pdf
