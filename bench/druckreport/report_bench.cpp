// How fast the report engine lays out one generated list report at 10, 100, 1 000 and 10 000
// pages: a frame over a linked TStringTab (four columns a record, a fixed step) and a page
// frame with a heading, a rule and "Seite x von y" (`seite` and `seitevon`), `seiten 0`.
//   report_bench [--max PAGES] [--keep]
// For each size, in a child process of its own (so that its peak memory is its own):
//   count   the counting run alone, as DrawCanvas makes it: TReportLayout on a TCountingOutput,
//           once with the PDF's measures (what SaveasPDF counts on) and once with the preview's
//   PDF     SaveasPDF whole (counting run, drawing run, file written): pages a second, bytes a
//           page; beside it QPdfWriter + QPainter (A4, 72 dpi) drawing the very texts, lines
//           and rectangles the engine drew, page by page (recorded from a drawing run beforehand,
//           not timed), and the ratio of the two rates
//   preview a TDruckReport of 600 x 850: its first Paint (page bitmap 0; a count longer than
//           the control's slice goes on between events), the time until the total is counted
//           and shown, then ">>" pressed and released with the mouse and painted (the last page), then
//           AktSeite set to the middle page and painted; both pages are rendered on demand
//   peak    VmHWM of the child after the engine's part, and after the Qt part too
// Best of three runs up to 1 000 pages, one run at 10 000. The PDFs go to a temporary folder,
// removed at the end (kept with --keep).
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QMarginsF>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/common/child.h"
#include "components/druckreport/druckreport.h"
#include "components/druckreport/layout.h"
#include "components/druckreport/output.h"
#include "components/druckreport/pdf/sink.h"
#include "components/druckreport/pdf/writer.h"
#include "components/stringtab/stringtab.h"
#include "framework/gui/application.h"
#include "framework/gui/services.h"

namespace fs = std::filesystem;
using namespace komp;

namespace {

using namespace komp::bench;

constexpr int kSizes[] = {10, 100, 1000, 10000};
constexpr int kPreviewWidth = 600, kPreviewHeight = 850;

// ---------------------------------------------------------------- the report

// Code page 1252: "höhe" is h\xF6he.
std::string Definition() {
  return "seiten 0\n"
         "set schrifth\xF6he 10\n"
         "frame oben 0 h\xF6he 2550\n"
         "tabelle tab1\n"
         "schrittweite 50\n"
         "object dbtext oben 150 links 0 breite 150 h\xF6he 45 text Nr ausrichtung rechts\nend\n"
         "object dbtext oben 150 links 200 breite 700 h\xF6he 45 text Name\nend\n"
         "object dbtext oben 150 links 950 breite 500 h\xF6he 45 text Ort\nend\n"
         "object dbtext oben 150 links 1500 breite 400 h\xF6he 45 text Betrag ausrichtung rechts\nend\n"
         "end\n"
         // Put last, so that it reaches every page; the records start below its heading.
         "seitenframe oben 0\n"
         "object label oben 0 links 0 breite 1900 h\xF6he 80 text \"Ums\xE4tze Filiale Nord\"\n"
         "schrifth\xF6he 14 fontart fett\nend\n"
         "object linie oben 110 links 0 breite 1900 h\xF6he 0 stift 5\nend\n"
         "object seite oben 2700 links 1400 breite 250 h\xF6he 50 text \"Seite \" ausrichtung rechts\nend\n"
         "object seitevon oben 2700 links 1650 breite 250 h\xF6he 50 text \" von \"\nend\n"
         "end\n";
}

void Fill(TStringTab& t, int records) {
  static const char* const kNamen[] = {"Meier, Hans", "Schulz, Eva", "Krause, Udo",
                                       "M\xFCller, Petra", "Schmidt, J\xF6rg", "Wagner, Anna",
                                       "Becker, Tim", "Hoffmann, Lea"};
  static const char* const kOrte[] = {"Berlin", "Hamburg", "M\xFCnchen", "K\xF6ln",
                                      "Frankfurt am Main", "Stuttgart", "D\xFCsseldorf", "Leipzig"};
  t.Set_Tab(records + 1, 4);
  t.SetCell(0, 0, "Nr");
  t.SetCell(0, 1, "Name");
  t.SetCell(0, 2, "Ort");
  t.SetCell(0, 3, "Betrag");
  char betrag[32];
  for (int i = 0; i < records; ++i) {
    std::snprintf(betrag, sizeof betrag, "%d,%02d", (i * 37) % 10000, i % 100);
    t.SetCell(i + 1, 0, std::to_string(i + 1));
    t.SetCell(i + 1, 1, std::string(kNamen[i % 8]) + " " + std::to_string(i % 997));
    t.SetCell(i + 1, 2, kOrte[(i * 7 / 3) % 8]);
    t.SetCell(i + 1, 3, betrag);
  }
}

// Answers every box with OK and counts them: the bench's report should raise none.
struct Boxes : IMessageBoxes {
  int shown = 0;
  std::string last;
  int Show(const std::string& text, const std::string&, int, int) override {
    ++shown;
    last = text;
    return IDOK;
  }
};

// The PDF's measures, without a file: TPdfOutput over a writer on a memory sink.
struct PdfMeasure {
  pdf::TPdfMemorySink sink;
  pdf::TPdfWriter writer{sink};
  std::unique_ptr<TPdfOutput> out;
  PdfMeasure(int32_t w, int32_t h) {
    writer.BeginDocument(w, h);
    out = std::make_unique<TPdfOutput>(writer, w, h);
  }
};

struct Count {
  int pages = -1;
  double seconds = 0;
};

// One counting run alone, as DrawCanvas makes it before drawing.
Count CountRun(TReportModel& m, IReportOutput& measure) {
  TCountingOutput counting(measure);
  TReportLayout run(m, counting, nullptr);
  const auto t0 = std::chrono::steady_clock::now();
  const bool ok = run.Run(1);
  Count c;
  c.seconds = Since(t0);
  c.pages = ok ? run.Pages() : -1;
  return c;
}

// The most records that still fit on one page, by counting runs on the PDF's measures.
int RecordsPerPage(const std::string& def) {
  TStringTab t;
  TReportModel m;
  m.SetTabelle(1, &t);
  m.SetReportdaten(def.c_str());
  PdfMeasure pm(m.Seitenbreite, m.Seitenhoehe);
  auto pages = [&](int n) {
    Fill(t, n);
    return CountRun(m, *pm.out).pages;
  };
  int lo = 1, hi = 1000;  // pages(lo) == 1, pages(hi) > 1
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    (pages(mid) == 1 ? lo : hi) = mid;
  }
  return lo;
}

// ---------------------------------------------------------------- what the engine drew

// Records the drawing calls of a run on the PDF's measures, compactly, for Qt to draw again.
class TRecorder final : public IReportOutput {
 public:
  enum Kind : uint8_t { kText, kRect, kLine, kEllipse };
  struct Op {
    Kind kind;
    bool bold;
    uint16_t size;
    TColor color;
    int32_t x, y, x2, y2;
    uint32_t at, len;  // text: its bytes in `text`
  };
  explicit TRecorder(const IReportOutput& m) : m_(m) {}
  double ScaleX() const override { return m_.ScaleX(); }
  double ScaleY() const override { return m_.ScaleY(); }
  int TextResolution() const override { return m_.TextResolution(); }
  int64_t TextWidth(const TFont& f, std::string_view t) const override { return m_.TextWidth(f, t); }
  int64_t TextHeight(const TFont& f) const override { return m_.TextHeight(f); }
  // Both forms of Text, without `override`: whichever the interface declares is overridden (the
  // measured line width is being added to it), the other is an unused overload.
  void Text(const TFont& f, int x, int y, std::string_view s, const TRect&) { Record(f, x, y, s); }
  void Text(const TFont& f, int x, int y, std::string_view s, const TRect&, int) { Record(f, x, y, s); }
  void Rectangle(TColor c, int, const TRect& r) override { Shape(kRect, c, r); }
  void Line(TColor c, int, const TRect& r) override { Shape(kLine, c, r); }
  void Ellipse(TColor c, int, const TRect& r) override { Shape(kEllipse, c, r); }
  void Bitmap(const TBitmap&, const TRect&) override {}  // the PDF leaves pictures out too
  bool NewPage() override {
    pageStart.push_back(ops.size());
    return true;
  }
  size_t Pages() const { return pageStart.size(); }
  size_t Counted(Kind k) const {
    return size_t(std::count_if(ops.begin(), ops.end(), [k](const Op& o) { return o.kind == k; }));
  }

  std::vector<Op> ops;
  std::vector<size_t> pageStart{0};
  std::string text;

 private:
  void Record(const TFont& f, int x, int y, std::string_view s) {
    ops.push_back({kText, (f.Style & fsBold) != 0, uint16_t(ReportFontSize(f.Size)), f.Color, x, y,
                   0, 0, uint32_t(text.size()), uint32_t(s.size())});
    text.append(s);
  }
  void Shape(Kind k, TColor c, const TRect& r) {
    ops.push_back({k, false, 0, c, r.left, r.top, r.right, r.bottom, 0, 0});
  }
  const IReportOutput& m_;
};

QColor ToQ(TColor c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// Qt's own PDF backend drawing what the engine drew: one QPainter call per text, line and
// rectangle, the font and pen changed only where they change.
bool WriteQt(const std::string& path, const TRecorder& r) {
  QPdfWriter writer(QString::fromStdString(path));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(72);  // one device unit a point, as in the engine's PDF output
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  painter.setBrush(Qt::NoBrush);
  std::map<int, QFont> fonts;
  int fontKey = -1;
  TColor pen = clNone;
  for (size_t p = 0; p < r.pageStart.size(); ++p) {
    if (p > 0 && !writer.newPage()) return false;
    const size_t end = p + 1 < r.pageStart.size() ? r.pageStart[p + 1] : r.ops.size();
    for (size_t i = r.pageStart[p]; i < end; ++i) {
      const TRecorder::Op& o = r.ops[i];
      if (o.color != pen) {
        painter.setPen(ToQ(o.color));
        pen = o.color;
      }
      switch (o.kind) {
        case TRecorder::kText: {
          const int key = o.size * 2 + (o.bold ? 1 : 0);
          if (key != fontKey) {
            auto it = fonts.find(key);
            if (it == fonts.end())
              it = fonts.emplace(key, QFont("Times New Roman", o.size, o.bold ? QFont::Bold : QFont::Normal))
                       .first;
            painter.setFont(it->second);
            fontKey = key;
          }
          // The engine gives the top of the line and puts the baseline one size below it.
          painter.drawText(o.x, o.y + o.size, QString::fromLatin1(r.text.data() + o.at, qsizetype(o.len)));
          break;
        }
        case TRecorder::kRect: painter.drawRect(o.x, o.y, o.x2 - o.x, o.y2 - o.y); break;
        case TRecorder::kLine: painter.drawLine(o.x, o.y, o.x2, o.y2); break;
        case TRecorder::kEllipse: painter.drawEllipse(o.x, o.y, o.x2 - o.x, o.y2 - o.y); break;
      }
    }
  }
  return painter.end();
}

// Text, rectangle and line operators in the engine's (uncompressed) PDF, read in blocks.
struct PdfOps {
  long texts = 0, rects = 0, lines = 0;
};
PdfOps CountPdfOps(const std::string& path) {
  PdfOps n;
  std::ifstream in(path, std::ios::binary);
  std::string carry, buf(1 << 20, '\0');
  while (in) {
    in.read(buf.data(), std::streamsize(buf.size()));
    const std::string s = carry + buf.substr(0, size_t(in.gcount()));
    for (size_t k = 0; k + 3 < s.size(); ++k) {
      if (s.compare(k, 4, " Tj\r") == 0) ++n.texts;
      if (s.compare(k, 4, " re\r") == 0) ++n.rects;
      if (s.compare(k, 3, " l\r") == 0 && k + 3 < s.size()) ++n.lines;
    }
    carry = s.size() > 3 ? s.substr(s.size() - 3) : s;
  }
  return n;
}

// ---------------------------------------------------------------- the preview

void Mouse(QWidget* w, QEvent::Type type, TPoint p) {
  const QPointF local(p.x, p.y);
  QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

struct PreviewTimes {
  double first = 0, counted = 0, last = 0, middle = 0;
  int pages = 0, runsFirst = 0, runsLast = 0, runsMiddle = 0;
  bool ok = false;
};

// A fresh control each time, so that its first Paint is a first Paint.
PreviewTimes Preview(TStringTab& tab, const std::string& def) {
  PreviewTimes t;
  TDruckReport report(nullptr);
  report.SetBounds(0, 0, kPreviewWidth, kPreviewHeight);
  report.SetTabelle1(&tab);
  report.SetReportdaten(def.c_str());
  TBitmap shot(kPreviewWidth, kPreviewHeight);

  auto t0 = std::chrono::steady_clock::now();
  report.PaintTo(shot.Canvas());
  t.first = Since(t0);
  t.runsFirst = report.Renderlaeufe();
  // A long count goes on in slices between events; the total is shown when it is done.
  while (report.ZaehltNoch()) QApplication::processEvents(QEventLoop::AllEvents, 50);
  report.PaintTo(shot.Canvas());
  t.counted = Since(t0);
  t.pages = report.Seitenanzahl;
  if (!report.Tastenleiste || t.pages < 3) return t;

  // ">>": pressed and released on the button, then painted.
  const TRect b = report.TastenRect(3);
  const TPoint centre{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
  int runs = report.Renderlaeufe();
  t0 = std::chrono::steady_clock::now();
  Mouse(&report, QEvent::MouseButtonPress, centre);
  Mouse(&report, QEvent::MouseButtonRelease, centre);
  report.PaintTo(shot.Canvas());
  t.last = Since(t0);
  t.runsLast = report.Renderlaeufe() - runs;
  if (report.AktSeite != t.pages - 1) return t;

  // The middle page: there is no button for it; AktSeite is public, as the host would set it.
  runs = report.Renderlaeufe();
  t0 = std::chrono::steady_clock::now();
  report.AktSeite = t.pages / 2;
  report.Invalidate();
  report.PaintTo(shot.Canvas());
  t.middle = Since(t0);
  t.runsMiddle = report.Renderlaeufe() - runs;
  t.ok = report.AktSeite == t.pages / 2 && report.FrameBildCount() <= TDruckReport::kSeitenbilder;
  return t;
}

// ---------------------------------------------------------------- one size, in a child

int Child(int targetPages, const std::string& dir, int argc, char** argv) {
  QApplication app(argc, argv);
  InitFramework();
  Boxes boxes;
  TServices s;
  s.MessageBoxes = &boxes;
  TServiceOverride services(s);

  const std::string def = Definition();
  const int perPage = RecordsPerPage(def);
  const int records = perPage * targetPages;
  const int reps = targetPages >= 10000 ? 1 : 3;
  Row out;
  out["target"] = targetPages;
  out["perpage"] = perPage;
  out["records"] = records;

  TStringTab tab;
  Fill(tab, records);
  TDruckReport report(nullptr);
  report.SetBounds(0, 0, kPreviewWidth, kPreviewHeight);
  report.SetTabelle1(&tab);
  report.SetReportdaten(def.c_str());
  if (report.LastError().Number != 0) {
    std::fprintf(stderr, "definition error %d in line %lld\n", report.LastError().Number,
                 (long long)report.LastError().Line);
    return 3;
  }

  // Counting runs alone, on the PDF's measures and on the preview's (96 dpi, the page rectangle).
  PdfMeasure pm(report.Seitenbreite, report.Seitenhoehe);
  TCanvas nowhere;
  const TRect sr = report.Seitenrect;
  TCanvasOutput screen(nowhere, report.Seitenbreite, report.Seitenhoehe, sr.right - sr.left,
                       sr.bottom - sr.top, {sr.left, sr.top}, 96, {});
  double countPdf = 1e9, countScreen = 1e9;
  int pagesPdf = -1, pagesScreen = -1;
  for (int r = 0; r < reps; ++r) {
    const Count a = CountRun(report.Model(), *pm.out);
    const Count b = CountRun(report.Model(), screen);
    countPdf = std::min(countPdf, a.seconds), pagesPdf = a.pages;
    countScreen = std::min(countScreen, b.seconds), pagesScreen = b.pages;
  }
  out["pages"] = pagesPdf;
  out["count_s"] = countPdf;
  out["pages_screen"] = pagesScreen;
  out["count_screen_s"] = countScreen;

  // The preview, each repetition on a new control.
  PreviewTimes best;
  best.first = best.counted = best.last = best.middle = 1e9;
  bool previewOk = true;
  for (int r = 0; r < reps; ++r) {
    const PreviewTimes p = Preview(tab, def);
    previewOk = previewOk && p.ok;
    best.first = std::min(best.first, p.first);
    best.counted = std::min(best.counted, p.counted);
    best.last = std::min(best.last, p.last);
    best.middle = std::min(best.middle, p.middle);
    best.pages = p.pages, best.runsFirst = p.runsFirst, best.runsLast = p.runsLast,
    best.runsMiddle = p.runsMiddle;
  }
  out["prev_ok"] = previewOk;
  out["prev_pages"] = best.pages;
  out["prev_first_s"] = best.first;
  out["prev_counted_s"] = best.counted;
  out["prev_last_s"] = best.last;
  out["prev_mid_s"] = best.middle;
  out["prev_runs_first"] = best.runsFirst;
  out["prev_runs_last"] = best.runsLast;
  out["prev_runs_mid"] = best.runsMiddle;
  out["peak_preview_kb"] = PeakKb();  // the table, the counts and the preview

  // SaveasPDF whole.
  const std::string ours = dir + "/report-" + std::to_string(targetPages) + ".pdf";
  double pdfS = 1e9;
  bool pdfOk = true;
  for (int r = 0; r < reps && pdfOk; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    pdfOk = report.SaveasPDF(ours.c_str());
    pdfS = std::min(pdfS, Since(t0));
  }
  out["pdf_ok"] = pdfOk;
  out["pdf_s"] = pdfS;
  out["pdf_pages"] = report.Seitenanzahl;
  out["pdf_bytes"] = pdfOk ? double(fs::file_size(ours)) : 0;

  out["peak_kb"] = PeakKb();

  // Qt: what the drawing run of SaveasPDF draws, recorded (not timed), then drawn by QPainter.
  {
    PdfMeasure measure(report.Seitenbreite, report.Seitenhoehe);
    TRecorder rec(*measure.out);
    TReportLayout run(report.Model(), rec, nullptr);
    run.Run(pagesPdf);
    out["rec_pages"] = double(rec.Pages());
    out["texts"] = double(rec.Counted(TRecorder::kText));
    out["lines"] = double(rec.Counted(TRecorder::kLine));
    out["rects"] = double(rec.Counted(TRecorder::kRect));
    if (pdfOk) {
      const PdfOps n = CountPdfOps(ours);
      out["pdf_texts"] = double(n.texts);
      out["pdf_lines"] = double(n.lines);
      out["pdf_rects"] = double(n.rects);
    }
    const std::string theirs = dir + "/qt-" + std::to_string(targetPages) + ".pdf";
    double qtS = 1e9;
    bool qtOk = true;
    for (int r = 0; r < reps && qtOk; ++r) {
      const auto t0 = std::chrono::steady_clock::now();
      qtOk = WriteQt(theirs, rec);
      qtS = std::min(qtS, Since(t0));
    }
    out["qt_ok"] = qtOk;
    out["qt_s"] = qtS;
    out["qt_bytes"] = qtOk ? double(fs::file_size(theirs)) : 0;
  }
  out["peak_all_kb"] = PeakKb();
  out["boxes"] = boxes.shown;
  if (boxes.shown) std::fprintf(stderr, "message box: %s\n", boxes.last.c_str());

  PrintResult(out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int maxPages = 10000;
  bool keep = false;
  int child = 0;
  std::string dir;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--max") && i + 1 < argc) maxPages = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--keep")) keep = true;
    else if (!std::strcmp(argv[i], "--child") && i + 1 < argc) child = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: report_bench [--max PAGES] [--keep]\n");
      return 2;
    }
  }
  if (child > 0) {
    int qargc = 1;
    return Child(child, dir, qargc, argv);
  }

  std::string pattern = (fs::temp_directory_path() / "komp-report-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  dir = pattern;
  std::printf("report_bench: a list over a linked TStringTab, 4 texts a record, page frame with heading,\n"
              "rule and \"Seite x von y\"; seiten 0; best of 3 up to 1 000 pages, one run at 10 000;\n"
              "each size in a child process of its own.\n\n");
  std::printf("%7s %8s %6s | %11s %11s | %10s %9s | %10s %9s %7s\n", "pages", "records", "p/rec",
              "count p/s", "count p/s", "PDF p/s", "bytes/p", "QPdf p/s", "bytes/p", "ours/Qt");
  std::printf("%7s %8s %6s | %11s %11s | %10s %9s | %10s %9s %7s\n", "(made)", "", "", "PDF meas.",
              "screen meas.", "SaveasPDF", "", "QPainter", "", "p/s");
  std::fflush(stdout);
  std::vector<std::pair<int, Row>> rows;
  bool allOk = true;
  for (int target : kSizes) {
    if (target > maxPages) break;
    Row r;
    std::string failure;
    if (!RunChild({"report_bench", "--child", std::to_string(target), "--dir", dir}, r, failure)) {
      std::printf("%8d  %s\n", target, failure.c_str());
      allOk = false;
      continue;
    }
    const double pages = r["pages"];
    const double pdfRate = r["pdf_s"] > 0 ? r["pdf_pages"] / r["pdf_s"] : 0;
    const double qtRate = r["qt_s"] > 0 ? r["rec_pages"] / r["qt_s"] : 0;
    std::printf("%7.0f %8.0f %6.0f | %11.0f %11.0f | %10.0f %9.0f | %10.0f %9.0f %6.2fx\n", pages,
                r["records"], r["perpage"], pages / r["count_s"], r["pages_screen"] / r["count_screen_s"],
                pdfRate, r["pdf_pages"] > 0 ? r["pdf_bytes"] / r["pdf_pages"] : 0, qtRate,
                r["rec_pages"] > 0 ? r["qt_bytes"] / r["rec_pages"] : 0, qtRate > 0 ? pdfRate / qtRate : 0);
    std::fflush(stdout);
    rows.emplace_back(target, r);
  }

  std::printf("\n%7s | %12s %5s %12s | %12s %5s | %12s %5s | %9s %9s %9s\n", "pages", "first Paint", "runs",
              "total shown", "to last", "runs", "to middle", "runs", "peak MB", "peak MB", "peak MB");
  std::printf("%7s | %12s %5s %12s | %12s %5s | %12s %5s | %9s %9s %9s\n", "", "ms", "", "ms", "ms (\">>\")", "",
              "ms (AktSeite)", "", "preview", "+PDF", "+Qt part");
  for (auto& [target, r] : rows)
    std::printf("%7.0f | %12.1f %5.0f %12.1f | %12.1f %5.0f | %12.1f %5.0f | %9.1f %9.1f %9.1f\n", r["prev_pages"],
                r["prev_first_s"] * 1e3, r["prev_runs_first"], r["prev_counted_s"] * 1e3, r["prev_last_s"] * 1e3,
                r["prev_runs_last"], r["prev_mid_s"] * 1e3, r["prev_runs_mid"], r["peak_preview_kb"] / 1024,
                r["peak_kb"] / 1024, r["peak_all_kb"] / 1024);

  std::printf("\nchecks:\n");
  for (auto& [target, r] : rows) {
    const double pages = r["pages"];
    const bool same = r["pages_screen"] == pages && r["pdf_pages"] == pages && r["prev_pages"] == pages &&
                      r["rec_pages"] == pages && pages == target;
    const bool opsSame = r["pdf_texts"] == r["texts"] && r["pdf_lines"] == r["lines"] &&
                         r["pdf_rects"] == r["rects"];
    std::printf("%7d: pages %.0f (PDF count) %.0f (screen count) %.0f (SaveasPDF) %.0f (preview) %.0f (Qt)%s;"
                " texts/lines/rects drawn %.0f/%.0f/%.0f, in our PDF %.0f/%.0f/%.0f%s;%s%s%s%s\n",
                target, pages, r["pages_screen"], r["pdf_pages"], r["prev_pages"], r["rec_pages"],
                same ? "" : " MISMATCH", r["texts"], r["lines"], r["rects"], r["pdf_texts"], r["pdf_lines"],
                r["pdf_rects"], opsSame ? "" : " MISMATCH", r["pdf_ok"] ? "" : " SaveasPDF FAILED",
                r["qt_ok"] ? "" : " QPdfWriter FAILED", r["prev_ok"] ? "" : " preview page switch FAILED",
                r["boxes"] ? " MESSAGE BOX SHOWN" : "");
    allOk = allOk && same && opsSame && r["pdf_ok"] && r["qt_ok"] && r["prev_ok"] && !r["boxes"];
  }

  // Time a page at 10 000 over time a page at 1 000: 1.0 is linear.
  const Row* r1 = nullptr;
  const Row* r10 = nullptr;
  for (auto& [target, r] : rows) {
    if (target == 1000) r1 = &r;
    if (target == 10000) r10 = &r;
  }
  if (r1 && r10) {
    auto lin = [&](const char* time, const char* pages) {
      const Row& a = *r1;
      const Row& b = *r10;
      return (b.at(time) / b.at(pages)) / (a.at(time) / a.at(pages));
    };
    std::printf("\nlinearity t(10 000) / (10 x t(1 000)), per page made: counting %.2f (screen measures %.2f),"
                " PDF %.2f, Qt %.2f\n",
                lin("count_s", "pages"), lin("count_screen_s", "pages_screen"), lin("pdf_s", "pdf_pages"),
                lin("qt_s", "rec_pages"));
  }
  std::printf("\nruns: layout runs into page bitmaps (Renderlaeufe); a full one (RenderPreview) counts (in\n"
              "slices when long, keeping the states at page starts) and draws the first pages; a page on\n"
              "demand (RenderPage) is one drawing run from the kept state of that page.\n"
              "peak MB is VmHWM of each size's own child process: \"preview\" after the linked table, the\n"
              "counting runs and the preview; \"+PDF\" after SaveasPDF too; \"+Qt part\" also holds the\n"
              "recorded drawing calls and QPdfWriter's run.\n");
  if (keep)
    std::printf("PDFs kept in %s\n", dir.c_str());
  else
    fs::remove_all(dir);
  return allOk ? 0 : 1;
}
