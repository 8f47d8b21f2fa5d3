// How TTabelle copes with 1 000, 100 000 and 1 000 000 records of six columns.
//   tabelle_bench [--max ROWS]
// For each size, in a child process of its own (so that its peak memory is its own):
//   fill     SetTabelle, SetCell for every cell with AutoBreite on, FEndUpdate; beside it the
//            time the bench needs to make the same texts without a table (included in fill)
//   paint    the table (800 x 600) painted into a bitmap with TopRow at the top, the middle and
//            the end; best of 5 each
//   search   a typed character no cell starts with (type-ahead over every row, then the beep),
//            and the same through an attached TSuchfeld (its Vergleich for every cell)
//   graph    Set_Grafik on the value column, and back
//   print    Print on a printer that draws nowhere (600 dpi A4): the font fitting, the page
//            layout and every drawing call of every page
//   peak     VmHWM of the child after each step
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/common/child.h"
#include "components/suchfeld/suchfeld.h"
#include "components/tabelle/tabelle.h"
#include "framework/gui/application.h"
#include "framework/gui/graphics.h"
#include "framework/gui/services.h"

using namespace komp;

namespace {

using namespace komp::bench;

constexpr int kSizes[] = {1000, 100000, 1000000};
constexpr int kBreite = 800, kHoehe = 600;

// Six columns as a customer list has them: number, name, first name, town, amount, count.
struct Erzeuger {
  const char* namen[8] = {"M\xFCller", "Sch\xE4" "fer", "Meier", "Schulz", "Kr\xFCger", "Wei\xDF",
                          "Hoffmann", "Zimmermann"};
  const char* vornamen[6] = {"Anna", "J\xFCrgen", "Claudia", "Dieter", "Elke", "G\xFCnther"};
  const char* orte[6] = {"K\xF6ln", "M\xFCnchen", "D\xFCsseldorf", "Aachen", "Berlin", "W\xFCrzburg"};
  std::string Zelle(int r, int c) const {
    char buf[32];
    switch (c) {
      case 0: return std::to_string(r);
      case 1: return namen[(r * 7) % 8];
      case 2: return vornamen[(r * 5) % 6];
      case 3: return orte[(r * 11) % 6];
      case 4:
        std::snprintf(buf, sizeof buf, "%d,%02d", (r * 37) % 100000, r % 100);
        return buf;
      default: return std::to_string((r * 13) % 500);
    }
  }
};

// A printer with an A4 page at 600 dpi whose canvas is bound to no device: every drawing
// call is made and measured, nothing is rasterised.
class NullDrucker : public IPrinter {
 public:
  int seiten = 0;
  bool BeginDoc() override {
    printing_ = true;
    seiten = 1;
    canvas_.SetPixelsPerInch(600);
    return true;
  }
  void NewPage() override { ++seiten; }
  void EndDoc() override { printing_ = false; }
  void Abort() override { printing_ = false; }
  bool Printing() const override { return printing_; }
  TCanvas& Canvas() override { return canvas_; }
  bool Quer() const { return Orientation == TPrinterOrientation::Landscape; }
  int PageWidth() const override { return Quer() ? 7016 : 4960; }
  int PageHeight() const override { return Quer() ? 4960 : 7016; }
  int PhysicalWidth() const override { return PageWidth(); }
  int PhysicalHeight() const override { return PageHeight(); }
  int OffsetX() const override { return 0; }
  int OffsetY() const override { return 0; }
  int DpiX() const override { return 600; }
  int DpiY() const override { return 600; }
  std::string PrinterName() const override { return "null"; }

 private:
  bool printing_ = false;
  TCanvas canvas_;
};

struct Boxes : IMessageBoxes {
  int shown = 0;
  int Show(const std::string&, const std::string&, int, int) override { return ++shown, IDOK; }
};
struct Stille : ISound {
  int beeps = 0;
  void Beep() override { ++beeps; }
};

int Child(int rows, int argc, char** argv) {
  QApplication app(argc, argv);
  InitFramework();
  Boxes boxes;
  Stille sound;
  NullDrucker drucker;
  TServices s;
  s.MessageBoxes = &boxes;
  s.Sound = &sound;
  s.Printer = &drucker;
  TServiceOverride services(s);
  Row out;
  out["rows"] = rows;
  out["peak_start_kb"] = PeakKb();

  const Erzeuger e;
  // The texts alone, as the host makes them: subtracted from nothing, shown beside the fill.
  {
    size_t n = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int r = 1; r <= rows; ++r)
      for (int c = 0; c < 6; ++c) n += e.Zelle(r, c).size();
    out["gen_s"] = Since(t0);
    out["bytes"] = double(n);
  }

  TForm form;
  auto* t = new TTabelle(&form);
  t->SetBounds(0, 0, kBreite, kHoehe);
  t->AutoUpdate = false;
  const char* titel[6] = {"Nr", "Name", "Vorname", "Ort", "Betrag", "Menge"};
  auto t0 = std::chrono::steady_clock::now();
  t->SetTabelle(rows + 1, 6, 6);
  for (int c = 0; c < 6; ++c) t->SetCell(0, c, titel[c]);
  for (int r = 1; r <= rows; ++r)
    for (int c = 0; c < 6; ++c) t->SetCell(r, c, e.Zelle(r, c));
  t->SetTyp(4);
  t->FEndUpdate(false);
  out["fill_s"] = Since(t0);
  out["peak_fill_kb"] = PeakKb();
  out["hint_ok"] = t->Hint() == std::to_string(rows) + " Datens\xE4tze in der Tabelle";

  TBitmap bild(kBreite, kHoehe);
  const int oben[3] = {1, (rows + 1) / 2, rows};
  const char* namen[3] = {"paint_top_s", "paint_mid_s", "paint_end_s"};
  for (int k = 0; k < 3; ++k) {
    t->SetTopRow(oben[k]);
    double best = 1e9;
    for (int rep = 0; rep < 5; ++rep) {
      t0 = std::chrono::steady_clock::now();
      t->PaintTo(bild.Canvas());
      best = std::min(best, Since(t0));
    }
    out[namen[k]] = best;
  }
  out["top_end"] = t->TopRow();
  out["peak_paint_kb"] = PeakKb();

  // Type-ahead: "Q" starts no cell of column 0 (numbers).
  t->SetRow(1);
  double best = 1e9;
  for (int rep = 0; rep < 3; ++rep) {
    const int beeps = sound.beeps;
    t0 = std::chrono::steady_clock::now();
    t->Perform(WM_CHAR, 'Q', 0);
    best = std::min(best, Since(t0));
    out["search_miss_ok"] = sound.beeps == beeps + 1 && t->Row() == 1;
  }
  out["search_s"] = best;
  {
    auto* feld = new TSuchfeld(&form);
    t->SetSuchelement(feld);
    t->Perform(WM_SETFOCUS, FOCUS_OTHER);  // the table hooks the field when it gets the focus
    feld->SetText("Q12");
    best = 1e9;
    for (int rep = 0; rep < 3; ++rep) {
      t0 = std::chrono::steady_clock::now();
      t->Suche(smSuchen);
      best = std::min(best, Since(t0));
    }
    out["search_field_s"] = best;
    t->SetSuchelement(nullptr);
  }
  out["peak_search_kb"] = PeakKb();

  t0 = std::chrono::steady_clock::now();
  t->Set_Grafik(true, 4);
  out["graph_in_s"] = Since(t0);
  out["graph_ok"] = t->Grafik() && t->ColCount() == 4;
  t->SetTopRow((rows + 1) / 2);
  t0 = std::chrono::steady_clock::now();
  t->PaintTo(bild.Canvas());
  out["graph_paint_s"] = Since(t0);
  t0 = std::chrono::steady_clock::now();
  t->Set_Grafik(false, 0);
  out["graph_out_s"] = Since(t0);
  out["peak_graph_kb"] = PeakKb();

  t0 = std::chrono::steady_clock::now();
  t->Print("Kundenliste");
  out["print_s"] = Since(t0);
  out["print_pages"] = drucker.seiten;
  out["print_font"] = drucker.Canvas().Font.Size;
  out["print_landscape"] = drucker.Quer();
  out["peak_print_kb"] = PeakKb();
  out["boxes"] = boxes.shown;

  PrintResult(out);
  return 0;
}


}  // namespace

int main(int argc, char** argv) {
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int maxRows = 1000000, child = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--max") && i + 1 < argc) maxRows = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--child") && i + 1 < argc) child = std::atoi(argv[++i]);
    else {
      std::fprintf(stderr, "usage: tabelle_bench [--max ROWS]\n");
      return 2;
    }
  }
  if (child > 0) {
    int qargc = 1;
    return Child(child, qargc, argv);
  }
  std::printf("tabelle_bench: six columns, AutoBreite on, an 800 x 600 table; each size in a child\n"
              "process of its own; paints best of 5, searches best of 3.\n\n");
  std::printf("%9s | %8s %8s %8s | %7s %7s %7s | %8s %8s | %8s %8s | %8s %5s %4s\n", "rows", "fill s",
              "texts s", "peak MB", "top ms", "mid ms", "end ms", "type ms", "field ms", "graph ms",
              "peak MB", "print s", "pages", "pt");
  bool ok = true;
  for (int rows : kSizes) {
    if (rows > maxRows) break;
    Row r;
    std::string failure;
    if (!RunChild({"tabelle_bench", "--child", std::to_string(rows)}, r, failure)) {
      std::printf("%9d  %s\n", rows, failure.c_str());
      ok = false;
      continue;
    }
    ok = ok && r["hint_ok"] && r["search_miss_ok"] && r["graph_ok"] && r["boxes"] == 0;
    std::printf("%9.0f | %8.3f %8.3f %8.1f | %7.2f %7.2f %7.2f | %8.1f %8.1f | %8.1f %8.1f | %8.2f %5.0f %2.0f%s\n",
                r["rows"], r["fill_s"], r["gen_s"], r["peak_fill_kb"] / 1024, r["paint_top_s"] * 1e3,
                r["paint_mid_s"] * 1e3, r["paint_end_s"] * 1e3, r["search_s"] * 1e3, r["search_field_s"] * 1e3,
                r["graph_in_s"] * 1e3, r["peak_graph_kb"] / 1024, r["print_s"], r["print_pages"],
                r["print_font"], r["print_landscape"] ? "q" : "");
    std::fflush(stdout);
  }
  std::printf("\nfill: SetTabelle + SetCell of every cell + FEndUpdate, the texts made on the way (texts s:\n"
              "the making alone). peak MB: VmHWM after the fill, and after the graph view. type ms: a\n"
              "typed character without a match; field ms: the same through a TSuchfeld. graph ms:\n"
              "Set_Grafik into the view. print: Print on a null 600 dpi printer, its pages and the font\n"
              "size chosen (q: landscape).\n");
  return ok ? 0 : 1;
}
