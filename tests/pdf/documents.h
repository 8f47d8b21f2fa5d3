// The documents the tests write, shared by the byte, file and tool checks.
#pragma once
#include <fstream>
#include <iterator>
#include <string>

#include "components/druckreport/pdf/writer.h"

namespace komp::pdf::test {

// What data/one_page.pdf was typed from.
inline void DrawOnePage(TPdfWriter& pdf) {
  pdf.BeginDocument(2100, 2970);
  pdf.BeginPage();
  pdf.Color(0x000080, true);
  pdf.Text(50, 40, "Rechnung (a)", 12, true);
  pdf.Color(clBlack, true);
  pdf.Text(50, 60, "C:\\temp", 10, false);
  pdf.Color(clBlack, false);
  pdf.Rectangle(50, 100, 200, 30);
  pdf.Line(50, 140, 500, 0);
  pdf.Ellipse(300, 200, 100, 50);
  pdf.EndPage();
}

// What data/two_pages.pdf was typed from.
inline void DrawTwoPages(TPdfWriter& pdf) {
  pdf.BeginDocument(2100, 2970);
  pdf.BeginPage();
  pdf.Color(clBlack, true);
  pdf.Text(50, 40, "Seite 1 von 2", 10, false);
  pdf.EndPage();
  pdf.BeginPage();
  pdf.Color(clBlack, true);
  pdf.Text(50, 40, "Seite 2 von 2", 10, false);
  pdf.Color(clNavy, true);
  pdf.Text(50, 60, "Gr\xFC\xDF" "e, 5 \x80", 14, true);
  pdf.EndPage();
}

// Every text kind that readers lose or garble when it is written carelessly.
inline const char* const kHardTexts[] = {
    "(a)", "C:\\temp", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF", "5 \x80 netto", "a)b(c\\d", "Tab\tund\x01Steuer",
    "\x81\x8D\x8F\x90\x9D", "\x84" "Anf\xFChrung\x93 \x96 Ende",
};

// With `expect` above 0 the writer is told that page count before the first page is drawn.
inline void DrawHardTexts(TPdfWriter& pdf, int pages, int expect = 0) {
  pdf.BeginDocument(2100, 2970);
  for (int p = 0; p < pages; ++p) {
    pdf.BeginPage();
    if (p == 0 && expect > 0) pdf.ExpectPages(expect);
    int y = 30;
    for (const char* t : kHardTexts) {
      pdf.Color(clWindowText | 0x02000000u, true);
      pdf.Text(40, y, t, (y / 30) % 3 == 0 ? 0 : 11, y % 60 == 0);
      y += 30;
    }
    pdf.Color(clHighlight, false);
    pdf.Rectangle(30, 20, 540, y);
    pdf.Ellipse(100, y + 20, 301, 151);
    pdf.Line(30, y + 200, 540, 0);
    pdf.EndPage();
  }
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace komp::pdf::test
