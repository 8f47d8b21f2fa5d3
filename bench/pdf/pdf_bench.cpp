// Pages a second and bytes a page for the report PDF writer, beside QPdfWriter
// drawing the same texts and lines (when built with Qt).
//   pdf_bench [--max PAGES] [--dir DIR] [--no-qt]
// Each page: a frame, a bold heading, 50 lines of text each underlined by a
// rule. Every document is written as a file (temporary file, then rename) and
// its size taken from the disk; the best of three runs is shown (one at 10 000 pages).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "components/druckreport/pdf/writer.h"

#ifdef KOMP_BENCH_QPDF
#include <QFont>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#endif

namespace fs = std::filesystem;
using komp::pdf::TPdfFileSink;
using komp::pdf::TPdfWriter;

namespace {

constexpr int kLines = 50;

std::string LineText(int page, int line) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "Position %d.%d  Artikel %05d  Gr\xF6\xDF" "e M  Menge %d  Betrag %d,%02d \x80", page,
                line, (page * 37 + line * 11) % 100000, line % 9 + 1, (page + line) % 1000, line * 3 % 100);
  return buf;
}

bool WriteOurs(const std::string& path, int pages) {
  TPdfFileSink sink;
  if (!sink.Create(path)) return false;
  TPdfWriter pdf(sink);
  pdf.BeginDocument(2100, 2970);
  for (int p = 1; p <= pages; ++p) {
    pdf.BeginPage();
    pdf.Color(komp::clBlack, false);
    pdf.Rectangle(40, 40, 520, 768);
    pdf.Color(komp::clNavy, true);
    pdf.Text(50, 50, "Bericht Seite " + std::to_string(p), 14, true);
    pdf.Color(komp::clBlack, true);
    for (int l = 0; l < kLines; ++l) {
      const int y = 80 + l * 14;
      pdf.Text(50, y, LineText(p, l), 10, false);
      pdf.Line(50, y + 12, 500, 0);
    }
    pdf.EndPage();
  }
  return pdf.EndDocument();
}

#ifdef KOMP_BENCH_QPDF
bool WriteQt(const std::string& path, int pages) {
  QPdfWriter writer(QString::fromStdString(path));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(72);  // one device unit a point, as in our stream
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  QFont roman("Times New Roman", 10);
  QFont bold("Times New Roman", 14, QFont::Bold);
  for (int p = 1; p <= pages; ++p) {
    if (p > 1) writer.newPage();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(40, 40, 520, 768);
    painter.setFont(bold);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(50, 50 + 14, QString::fromStdString("Bericht Seite " + std::to_string(p)));
    painter.setFont(roman);
    painter.setPen(Qt::black);
    for (int l = 0; l < kLines; ++l) {
      const int y = 80 + l * 14;
      painter.drawText(50, y + 10, QString::fromLatin1(LineText(p, l).c_str()));
      painter.drawLine(50, y + 12, 550, y + 12);
    }
  }
  return painter.end();
}
#endif

struct Result {
  double pagesPerSecond = 0;
  double bytesPerPage = 0;
  bool ok = false;
};

Result Measure(bool (*write)(const std::string&, int), const std::string& path, int pages) {
  Result best;
  const int reps = pages >= 10000 ? 1 : 3;
  for (int r = 0; r < reps; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = write(path, pages);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!ok) return {};
    const double pps = pages / s;
    if (pps > best.pagesPerSecond) best.pagesPerSecond = pps;
    best.bytesPerPage = double(fs::file_size(path)) / pages;
    best.ok = true;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int maxPages = 10000;
  std::string dir = fs::temp_directory_path().string();
  bool qt = true;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--max") && i + 1 < argc) maxPages = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else if (!std::strcmp(argv[i], "--no-qt")) qt = false;
    else {
      std::fprintf(stderr, "usage: pdf_bench [--max PAGES] [--dir DIR] [--no-qt]\n");
      return 2;
    }
  }
#ifdef KOMP_BENCH_QPDF
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qargc = 1;
  QGuiApplication app(qargc, argv);
#else
  qt = false;
#endif
  const std::string ours = dir + "/komp-pdf-bench.pdf";
  const std::string theirs = dir + "/komp-pdf-bench-qt.pdf";
  std::printf("%8s  %14s %12s", "pages", "komp pages/s", "bytes/page");
  if (qt) std::printf("  %14s %12s %7s", "QPdf pages/s", "bytes/page", "ratio");
  std::printf("\n");
  for (int pages : {10, 100, 1000, 10000}) {
    if (pages > maxPages) break;
    const Result a = Measure(WriteOurs, ours, pages);
    std::printf("%8d  %14.0f %12.0f", pages, a.pagesPerSecond, a.bytesPerPage);
    if (!a.ok) std::printf("  (write failed)");
#ifdef KOMP_BENCH_QPDF
    if (qt) {
      const Result b = Measure(WriteQt, theirs, pages);
      std::printf("  %14.0f %12.0f %6.1fx", b.pagesPerSecond, b.bytesPerPage,
                  b.pagesPerSecond > 0 ? a.pagesPerSecond / b.pagesPerSecond : 0.0);
    }
#endif
    std::printf("\n");
    std::fflush(stdout);
  }
  fs::remove(ours);
  fs::remove(theirs);
  return 0;
}
