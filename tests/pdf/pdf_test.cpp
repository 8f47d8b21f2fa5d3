// The PDF writer in memory: the hand-written files byte for byte, object
// numbering and cross-reference table read back from the output, fragment
// formats, colour digits, escaping, glyph widths and what makes a document fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <locale>
#include <string>
#include <vector>

#include "components/druckreport/pdf/content.h"
#include "components/druckreport/pdf/fonts.h"
#include "components/druckreport/pdf/writer.h"
#include "tests/pdf/documents.h"

namespace komp::pdf {
namespace {

using test::DrawHardTexts;
using test::DrawOnePage;
using test::DrawTwoPages;
using test::ReadAll;

std::string Written(void (*draw)(TPdfWriter&)) {
  TPdfMemorySink sink;
  TPdfWriter pdf(sink);
  draw(pdf);
  EXPECT_TRUE(pdf.EndDocument());
  return sink.Bytes();
}

int64_t NumberAt(const std::string& s, size_t pos) {
  int64_t v = 0;
  bool any = false;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
    v = v * 10 + (s[pos++] - '0');
    any = true;
  }
  return any ? v : -1;
}

// Reads the file back the way a strict reader does: from startxref to the
// table, from each entry to its object, from each page to its stream and the
// stream's length. Returns the content streams.
std::vector<std::string> ReadBack(const std::string& pdf, int64_t pages) {
  std::vector<std::string> streams;
  const int64_t n = pages;
  const int64_t size = 3 * n + 7;
  const size_t sx = pdf.rfind("\rstartxref\r");
  if (sx == std::string::npos) {
    ADD_FAILURE() << "no startxref";
    return streams;
  }
  const int64_t xref = NumberAt(pdf, sx + 11);
  EXPECT_EQ(pdf.substr(sx + 11 + std::to_string(xref).size()), "\r%%EOF");
  EXPECT_EQ(pdf.compare(size_t(xref), 7, "xref\r0 "), 0) << "startxref " << xref;
  EXPECT_EQ(NumberAt(pdf, size_t(xref) + 7), size);
  size_t entry = size_t(xref) + 7 + std::to_string(size).size() + 1;
  EXPECT_EQ(pdf.substr(entry, 20), std::string("0000000000 65535 f\r\n"));
  std::vector<int64_t> offsets(size_t(size), -1);
  for (int64_t i = 1; i < size; ++i) {
    const std::string e = pdf.substr(std::min(pdf.size(), entry + size_t(i) * 20), 20);
    if (e.size() != 20) {
      ADD_FAILURE() << "table cut short at entry " << i;
      return streams;
    }
    EXPECT_EQ(e.substr(10), " 00000 n\r\n") << "entry " << i;
    offsets[size_t(i)] = NumberAt(e, 0);
    const std::string head = std::to_string(i) + " 0 obj\r";
    EXPECT_EQ(pdf.compare(size_t(offsets[size_t(i)]), head.size(), head), 0) << "object " << i;
    EXPECT_EQ(pdf[size_t(offsets[size_t(i)]) - 1], '\r') << "object " << i;
  }
  const std::string trailer = "trailer\r<< /Size " + std::to_string(size) + "\r/Root 1 0 R\r>>\rstartxref\r";
  EXPECT_EQ(pdf.compare(entry + size_t(size) * 20, trailer.size(), trailer), 0);

  const std::string kids = "/Kids [" + [&] {
    std::string k;
    for (int64_t p = 1; p <= n; ++p) k += std::to_string(p + 3) + " 0 R\r";
    return k;
  }() + "]\r/Count " + std::to_string(n) + "\r";
  EXPECT_NE(pdf.find(kids, size_t(offsets[3])), std::string::npos);
  for (int64_t k = 1; k <= n; ++k) {
    const std::string page = pdf.substr(size_t(offsets[size_t(k + 3)]), 200);
    const std::string refs = "/Contents " + std::to_string(n + 2 * k + 2) + " 0 R\r/Resources << /ProcSet " +
                             std::to_string(3 * n + 4) + " 0 R \r/Font << /F1 " + std::to_string(3 * n + 5) +
                             " 0 R\r/F2 " + std::to_string(3 * n + 6) + " 0 R >>";
    EXPECT_NE(page.find(refs), std::string::npos) << "page " << k;
    const size_t so = size_t(offsets[size_t(n + 2 * k + 2)]);
    const std::string dict = std::to_string(n + 2 * k + 2) + " 0 obj\r<< /Length " +
                             std::to_string(n + 2 * k + 3) + " 0 R >>\rstream\r\n";
    EXPECT_EQ(pdf.compare(so, dict.size(), dict), 0) << "stream of page " << k;
    const size_t lo = size_t(offsets[size_t(n + 2 * k + 3)]);
    const int64_t length = NumberAt(pdf, lo + std::to_string(n + 2 * k + 3).size() + 7);
    const size_t data = so + dict.size();
    EXPECT_EQ(pdf.compare(data + size_t(length), 17, "endstream\rendobj\r"), 0) << "length of page " << k;
    streams.push_back(pdf.substr(data, size_t(length)));
  }
  const std::string procSet = std::to_string(3 * n + 4) + " 0 obj\r[/PDF]\rendobj\r";
  EXPECT_EQ(pdf.substr(size_t(offsets[size_t(3 * n + 4)]), procSet.size()), procSet);
  EXPECT_NE(pdf.find("/BaseFont /Times-Roman\r/Encoding /WinAnsiEncoding", size_t(offsets[size_t(3 * n + 5)])),
            std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont /Times-Bold\r/Encoding /WinAnsiEncoding", size_t(offsets[size_t(3 * n + 6)])),
            std::string::npos);
  return streams;
}

TEST(PdfWriter, OneAndTwoPagesAreTheHandWrittenFilesByteForByte) {
  const std::string one = Written(DrawOnePage);
  EXPECT_EQ(one, ReadAll(KOMP_PDF_TESTDATA "/one_page.pdf"));
  EXPECT_EQ(one.rfind("%PDF-1.4\r", 0), 0u);
  EXPECT_NE(one.find("2 0 obj\r<< /Type /Outlines\r"), std::string::npos);
  EXPECT_NE(one.find("/MediaBox [0 0 600 848]"), std::string::npos);
  EXPECT_EQ(one.find('\n'), one.find("stream\r\n") + 7) << "LF only after the stream keyword";
  ReadBack(one, 1);

  const std::string two = Written(DrawTwoPages);
  EXPECT_EQ(two, ReadAll(KOMP_PDF_TESTDATA "/two_pages.pdf"));
  const auto streams = ReadBack(two, 2);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_NE(streams[0].find("(Seite 1 von 2)"), std::string::npos);
  EXPECT_NE(streams[1].find("(Seite 2 von 2)"), std::string::npos);
  // The first length object follows the first stream, the second the last.
  EXPECT_LT(two.find("\r7 0 obj\r"), two.find("\r8 0 obj\r"));
  EXPECT_GT(two.find("\r9 0 obj\r"), two.find("(Seite 2 von 2)"));
}

// A known page count lets each page go out as it ends: the same bytes as a document kept
// whole, and a count that turns out wrong fails the document instead of writing a wrong one.
TEST(PdfWriter, StreamingWithAKnownPageCount) {
  for (int pages : {1, 2, 5, 40}) {
    SCOPED_TRACE(pages);
    TPdfMemorySink kept, streamed;
    TPdfWriter a(kept), b(streamed);
    DrawHardTexts(a, pages);
    DrawHardTexts(b, pages, pages);
    ASSERT_TRUE(a.EndDocument());
    ASSERT_TRUE(b.EndDocument());
    EXPECT_FALSE(b.PageCountMismatch());
    EXPECT_EQ(streamed.Bytes(), kept.Bytes());
  }
  for (auto [drawn, expected] : {std::pair{3, 4}, std::pair{5, 4}}) {
    SCOPED_TRACE(drawn);
    TPdfMemorySink sink;
    TPdfWriter w(sink);
    DrawHardTexts(w, drawn, expected);
    EXPECT_FALSE(w.EndDocument());
    EXPECT_TRUE(w.PageCountMismatch());
    EXPECT_TRUE(sink.Bytes().empty()) << "nothing left of a wrong document";
  }
  // Too late once the first page has content.
  TPdfMemorySink sink;
  TPdfWriter w(sink);
  w.BeginDocument(2100, 2970);
  w.BeginPage();
  w.Text(10, 10, "x", 10, false);
  w.ExpectPages(1);
  w.EndPage();
  EXPECT_FALSE(w.EndDocument());
}

TEST(PdfWriter, ObjectsAndCrossReferencesFollowThePagesLaidOut) {
  for (int pages : {1, 2, 3, 7, 40}) {
    SCOPED_TRACE(pages);
    TPdfMemorySink sink;
    TPdfWriter pdf(sink);
    DrawHardTexts(pdf, pages);
    EXPECT_EQ(pdf.PageCount(), pages);
    ASSERT_TRUE(pdf.EndDocument());
    const auto streams = ReadBack(sink.Bytes(), pages);
    ASSERT_EQ(streams.size(), size_t(pages));
    for (const auto& s : streams) EXPECT_EQ(s, streams[0]);
  }
  // No page begun still gives a document a reader opens: one blank page.
  TPdfMemorySink sink;
  TPdfWriter pdf(sink);
  pdf.BeginDocument(2100, 2970);
  ASSERT_TRUE(pdf.EndDocument());
  const auto streams = ReadBack(sink.Bytes(), 1);
  ASSERT_EQ(streams.size(), 1u);
  EXPECT_EQ(streams[0], "");
}

TEST(PdfWriter, PageSizeInPointsIsTwoSeventhsTruncated) {
  struct Case { int32_t w, h, pw, ph; };
  for (const Case c : {Case{2100, 2970, 600, 848}, Case{2970, 2100, 848, 600}, Case{1480, 2100, 422, 600},
                       Case{3, 4, 0, 1}, Case{2159, 2794, 616, 798}}) {
    TPdfMemorySink sink;
    TPdfWriter pdf(sink);
    pdf.BeginDocument(c.w, c.h);
    EXPECT_EQ(pdf.PageWidth(), c.pw) << c.w;
    EXPECT_EQ(pdf.PageHeight(), c.ph) << c.h;
  }
}

std::string Fragment(void (*f)(std::string&)) {
  std::string s;
  f(s);
  return s;
}

TEST(PdfContent, FragmentsKeepTheirExactFormats) {
  EXPECT_EQ(Fragment([](std::string& s) { AppendText(s, 848, 50, 40, "Summe", 12, false); }),
            "BT\r/F1 12 Tf\r50 808 TD\r-12 Ts\r(Summe) Tj\rET\r");
  EXPECT_EQ(Fragment([](std::string& s) { AppendText(s, 848, 0, 900, "x", 8, true); }),
            "BT\r/F2 8 Tf\r0 -52 TD\r-8 Ts\r(x) Tj\rET\r");
  EXPECT_EQ(Fragment([](std::string& s) { AppendRectangle(s, 848, 10, 20, 30, 40); }),
            "1 w \r10 788 30 40 re\rs\r");
  EXPECT_EQ(Fragment([](std::string& s) { AppendLine(s, 848, 10, 20, 30, 40); }), "10 828 m\r40 788 l\rs\r");
  // Odd sizes: the halves are truncated.
  EXPECT_EQ(Fragment([](std::string& s) { AppendEllipse(s, 848, 10, 20, 7, 5); }),
            "1 w \r13 823 m\r 10 823 10 826 v\r 10 828  13 828 v\r 17 828 17 826 v\r 17 823 13 823 v\rs\r");
  // Font size 0 would be invisible: the default size instead, on Tf and Ts alike.
  EXPECT_EQ(Fragment([](std::string& s) { AppendText(s, 100, 1, 2, "a", 0, false); }),
            "BT\r/F1 10 Tf\r1 98 TD\r-10 Ts\r(a) Tj\rET\r");
  EXPECT_EQ(Fragment([](std::string& s) { AppendText(s, 100, 1, 2, "a", -3, true); }),
            "BT\r/F2 10 Tf\r1 98 TD\r-10 Ts\r(a) Tj\rET\r");
}

TEST(PdfContent, ColourOperatorsTruncateToTwoDigitsAfterResolvingSystemColours) {
  struct Case { TColor c; bool fill; const char* out; };
  const Case cases[] = {
      {0x000080, true, "0.50 0.00 0.00 rg\r"},   // dark red, components in red-green-blue order
      {0x800000, false, "0.00 0.00 0.50 RG\r"},
      {0xFFFFFF, true, "1.0 1.0 1.0 rg\r"},
      {0x0A0501, false, "0.00 0.01 0.03 RG\r"},  // 1 → 0.39, 5 → 1.96, 10 → 3.92
      {0x02000080, true, "0.50 0.00 0.00 rg\r"}, // palette bits ignored
      {0xFF000080, true, "0.00 0.00 0.00 rg\r"}, // bit 31: system colour 0x80 (unknown) is black
      {clHighlight, true, "0.03 0.14 0.41 rg\r"},                 // 0A246A
      {clHighlight | 0x02000000u, false, "0.03 0.14 0.41 RG\r"},  // as the layout hands it over
      {clBtnFace, true, "0.83 0.81 0.78 rg\r"},                   // D4D0C8
      {clWindowText | 0x02000000u, true, "0.00 0.00 0.00 rg\r"},
  };
  for (const Case& c : cases) {
    std::string s;
    AppendColor(s, c.c, c.fill);
    EXPECT_EQ(s, c.out) << std::hex << c.c;
  }
}

TEST(PdfContent, StringsEscapeWhatReadersWouldMisread) {
  struct Case { std::string in, out; };
  const Case cases[] = {
      {"(a)", "\\(a\\)"},
      {"C:\\temp", "C:\\\\temp"},
      {"\\)", "\\\\\\)"},
      {"\xC4\xD6\xDC\xE4\xF6\xFC\xDF \x80", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF \x80"},  // WinAnsi bytes as they are
      {std::string("a\x01\tb\r\n\x1F\x7F", 8), "a\\001\\011b\\015\\012\\037\\177"},
      {std::string("\0", 1), "\\000"},
      {"x\x81\x8D\x8F\x90\x9Dy", "x?????y"},
      {"\x80\x82\x8E\x9E\x9F\xA0\xFF", "\x80\x82\x8E\x9E\x9F\xA0\xFF"},
  };
  for (const Case& c : cases) {
    std::string s;
    AppendEscaped(s, c.in);
    EXPECT_EQ(s, c.out) << c.in;
  }
}

// German number punctuation: a decimal comma and dots between thousands.
struct GermanNumbers : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(PdfContent, NumbersIgnoreTheLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // where installed; the C++ locale below always applies
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new GermanNumbers));
  std::string s;
  AppendColor(s, 0x808080, true);
  AppendText(s, 1000000, 1234567, -5, "a", 12, false);
  TPdfMemorySink sink;
  TPdfWriter pdf(sink);
  pdf.BeginDocument(300000, 400000);
  pdf.BeginPage();
  pdf.Rectangle(12345, 23456, 1000, 2000);
  pdf.EndPage();
  const bool ok = pdf.EndDocument();
  std::locale::global(previous);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(s, "0.50 0.50 0.50 rg\rBT\r/F1 12 Tf\r1234567 1000005 TD\r-12 Ts\r(a) Tj\rET\r");
  ASSERT_TRUE(ok);
  EXPECT_NE(sink.Bytes().find("/MediaBox [0 0 85714 114285]"), std::string::npos);
  EXPECT_NE(sink.Bytes().find("1 w \r12345 88829 1000 2000 re\r"), std::string::npos);
  ReadBack(sink.Bytes(), 1);
}

TEST(PdfFonts, WidthsAreTheStandardTimesMetrics) {
  // Adobe's Times-Roman / Times-Bold widths, 1/1000 em.
  struct Case { const char* text; int64_t roman, bold; };
  const Case cases[] = {
      {"Hello", 722 + 444 + 278 + 278 + 500, 778 + 444 + 278 + 278 + 500},
      {" ", 250, 250},
      {"W", 944, 1000},
      {"\x80", 500, 500},                      // Euro
      {"\xE4\xDF", 444 + 500, 500 + 556},      // adieresis germandbls
      {"'`", 180 + 333, 278 + 333},            // quotesingle grave, not the curly quotes
      {"\x93\x94\x96\x97", 444 + 444 + 500 + 1000, 500 + 500 + 500 + 1000},
      {"\x01\x1F\x7F", 0, 0},                  // control bytes draw nothing
      {"\x81\x9D", 444 + 444, 500 + 500},      // written and so measured as "?"
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextWidthUnits(c.text, false), c.roman) << c.text;
    EXPECT_EQ(TextWidthUnits(c.text, true), c.bold) << c.text;
  }
  EXPECT_DOUBLE_EQ(TextWidth("Hello", false, 12), 2222 * 12 / 1000.0);
  EXPECT_DOUBLE_EQ(TextWidth("Hello", true, 0), 2278 * 10 / 1000.0);
  for (int b = 0x20; b < 256; ++b) {
    if (b == 0x7F) continue;
    EXPECT_GT(kTimesRoman[b], 0) << b;
    EXPECT_GT(kTimesBold[b], 0) << b;
  }
}

TEST(PdfWriter, FailuresLeaveNothingAndReturnFalse) {
  const size_t full = Written(DrawTwoPages).size();
  // A write failing anywhere: at the header, in a stream, in the table, at the last byte.
  for (size_t limit : {size_t(0), size_t(5), size_t(200), size_t(600), full - 300, full - 1}) {
    TPdfMemorySink sink(limit);
    TPdfWriter pdf(sink);
    DrawTwoPages(pdf);
    EXPECT_FALSE(pdf.EndDocument()) << limit;
    EXPECT_EQ(sink.Bytes(), "") << limit;
  }
  {
    TPdfMemorySink sink(full);
    TPdfWriter pdf(sink);
    DrawTwoPages(pdf);
    EXPECT_TRUE(pdf.EndDocument());
  }
  {
    TPdfMemorySink sink;
    TPdfWriter pdf(sink);
    DrawTwoPages(pdf);
    pdf.Abort();
    EXPECT_FALSE(pdf.EndDocument());
    EXPECT_EQ(sink.Bytes(), "");
  }
  // Calls out of order are a broken run, not a document.
  using Step = void (*)(TPdfWriter&);
  const Step broken[] = {
      [](TPdfWriter& p) { p.BeginPage(); },
      [](TPdfWriter& p) { p.BeginDocument(2100, 2970); p.Text(1, 1, "vor der Seite", 10, false); },
      [](TPdfWriter& p) { p.BeginDocument(2100, 2970); p.BeginPage(); p.BeginPage(); },
      [](TPdfWriter& p) { p.BeginDocument(2100, 2970); p.BeginPage(); },  // page left open
      [](TPdfWriter& p) { p.BeginDocument(2100, 2970); p.EndPage(); },
      [](TPdfWriter& p) { p.BeginDocument(0, 2970); p.BeginPage(); p.EndPage(); },
      [](TPdfWriter& p) { p.BeginDocument(2100, 2970); p.BeginDocument(2100, 2970); },
  };
  for (const Step s : broken) {
    TPdfMemorySink sink;
    TPdfWriter pdf(sink);
    s(pdf);
    EXPECT_FALSE(pdf.EndDocument());
    EXPECT_EQ(sink.Bytes(), "");
  }
  // A document is ended once.
  TPdfMemorySink sink;
  TPdfWriter pdf(sink);
  DrawOnePage(pdf);
  EXPECT_TRUE(pdf.EndDocument());
  EXPECT_FALSE(pdf.EndDocument());
  EXPECT_EQ(sink.Bytes(), Written(DrawOnePage));
}

}  // namespace
}  // namespace komp::pdf
