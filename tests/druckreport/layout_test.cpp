// The layout engine through its outputs: what a definition draws on recording canvases, how it
// breaks pages, and what survives hostile definitions and callbacks.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "components/druckreport/layout.h"
#include "components/druckreport/output.h"
#include "tests/druckreport/fixture.h"

namespace komp::drtest {
namespace {

// An A4 page at 0.4 pixels per 0.1 mm, on recording canvases, one per page.
struct Pages {
  static constexpr int kW = 840, kH = 1188;
  std::vector<std::unique_ptr<TRecordingCanvas>> pages;
  std::unique_ptr<TCanvasOutput> out;
  explicit Pages(const TDruckReport& r) {
    pages.push_back(std::make_unique<TRecordingCanvas>(kW, kH));
    out = std::make_unique<TCanvasOutput>(*pages[0], r.Seitenbreite, r.Seitenhoehe, kW, kH,
                                          TPoint{0, 0}, 96, [this]() -> TCanvas* {
                                            pages.push_back(std::make_unique<TRecordingCanvas>(kW, kH));
                                            pages.back()->record.Clear();
                                            return pages.back().get();
                                          });
  }
  std::vector<const TCanvasOp*> Texts(size_t page) const { return pages.at(page)->record.Texts(); }
  std::vector<std::string> TextsOf(size_t page) const {
    std::vector<std::string> v;
    for (auto* op : Texts(page)) v.push_back(op->text);
    return v;
  }
  int Count(size_t page, const std::string& text) const {
    auto t = TextsOf(page);
    return int(std::count(t.begin(), t.end(), text));
  }
};

constexpr int Px(int tenthMm) { return tenthMm * 4 / 10; }  // exact for multiples of 5

struct Layout : Fixture {
  std::unique_ptr<Pages> Draw(const std::string& def, bool expectOk = true) {
    auto boxes = Parse(def);
    EXPECT_TRUE(boxes.empty()) << services.boxes.Lines().size();
    auto p = std::make_unique<Pages>(report);
    EXPECT_EQ(report.DrawCanvas(*p->out), expectOk);
    return p;
  }
  static std::string Rows(int n) {
    std::string s = "data tab1\nrow Name,Wert\n";
    for (int i = 1; i <= n; ++i) s += "row N" + std::to_string(i) + "," + std::to_string(i) + "\n";
    return s + "end\n";
  }
};

TEST_F(Layout, WithoutFramesEachObjectOnceOnPageOne) {
  auto p = Draw(
      "set schrifth\xF6he 10\n"
      "object label links 100 oben 200 text Hallo\nend\n"
      "object label links 500 oben 400 text Welt\nend\n"
      "object rechteck links 0 oben 0 breite 300 h\xF6he 200\nend\n");
  ASSERT_EQ(p->pages.size(), 1u);
  EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{"Hallo", "Welt"}));
  const TCanvasOp* hallo = p->pages[0]->record.FindText("Hallo");
  EXPECT_EQ(hallo->rect.left, Px(100 + 100));
  EXPECT_EQ(hallo->rect.top, Px(200 + 100));
  EXPECT_EQ(hallo->font.Size, 10);
  int polylines = 0;
  for (auto& op : p->pages[0]->record.ops)
    if (op.kind == TCanvasOp::Polyline) {
      ++polylines;
      EXPECT_EQ(op.points.front().x, Px(100));
      EXPECT_EQ(op.points[2].x, Px(100 + 300));
      EXPECT_EQ(op.points[2].y, Px(100 + 200));
    }
  EXPECT_EQ(polylines, 1);
  EXPECT_EQ(report.Seitenanzahl, 1);
}

TEST_F(Layout, FrameRecordsStepAndCounts) {
  const std::string frame = "frame oben 0\ntabelle tab1\nschrittweite 100\n";
  const std::string child = "object dbtext links 0 oben 0 text Name\nend\nend\n";
  {
    auto p = Draw(Rows(3) + frame + child);
    EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{"N1", "N2", "N3"}));
    auto t = p->Texts(0);
    EXPECT_EQ(t[1]->rect.top - t[0]->rect.top, Px(100));
    EXPECT_EQ(t[2]->rect.top - t[1]->rect.top, Px(100));
  }
  {
    auto p = Draw(Rows(3) + frame + "anzahl 2\n" + child);
    EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{"N1", "N2"}));
  }
  {
    // Step 0: each record starts below the height the previous one used.
    auto p = Draw(Rows(3) + "frame oben 0\ntabelle tab1\n" + child);
    auto t = p->Texts(0);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_GT(t[1]->rect.top, t[0]->rect.top);
    EXPECT_NEAR(t[2]->rect.top - t[1]->rect.top, t[1]->rect.top - t[0]->rect.top, 1);
  }
  {
    // erster, letzter, and "\c" numbering the records.
    auto p = Draw(Rows(3) + frame +
                  "object label text Kopf wenn erster\nend\n"
                  "object label links 600 text Fuss wenn letzter\nend\n"
                  "object label links 1200 text Nr\\c\nend\n"
                  "object dbtext links 1500 text Name\nend\nend\n");
    EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{"Kopf", "Nr1", "N1", "Nr2", "N2", "Fuss",
                                                       "Nr3", "N3"}));
  }
}

TEST_F(Layout, RecordChangeReportsEachConsumedRecord) {
  std::vector<std::pair<int, int>> calls;
  report.OnRecordChange = [&](TObject*, int tab, int pos) { calls.push_back({tab, pos}); };
  Draw(Rows(3) + "frame tabelle tab1 schrittweite 100\nobject dbtext text Name\nend\nend\n");
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {0, -1}}));
}

TEST_F(Layout, PageLimitAndPageCount) {
  const std::string body = "frame oben 0\ntabelle tab1\nschrittweite 200\n"
                           "object dbtext text Name\nend\nend\n"
                           "seitenframe oben 2700\nobject seite links 0 text \"Seite \"\nend\n"
                           "object seitevon links 300 text \" von \"\nend\nend\n";
  {
    // The default limit 1: one page, the records that do not fit are cut.
    auto p = Draw(Rows(40) + body);
    EXPECT_EQ(p->pages.size(), 1u);
    EXPECT_EQ(report.Seitenanzahl, 1);
    EXPECT_EQ(p->Count(0, "N14"), 1);
    EXPECT_EQ(p->Count(0, "N15"), 0);
  }
  {
    auto p = Draw("seiten 0\n" + Rows(40) + body);
    ASSERT_EQ(p->pages.size(), 3u);
    EXPECT_EQ(report.Seitenanzahl, 3);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(p->Count(i, "Seite " + std::to_string(i + 1)), 1) << i;
      EXPECT_EQ(p->Count(i, " von 3"), 1) << i;
    }
    EXPECT_EQ(p->Count(1, "N15"), 1);
    EXPECT_EQ(p->Count(2, "N40"), 1);
    // Continuation pages start at the top margin.
    EXPECT_EQ(p->pages[1]->record.FindText("N15")->rect.top, Px(100));
  }
}

TEST_F(Layout, MissingColumnsAndGroups) {
  const std::string grouped = "object label links 900 text Gruppe gruppe 1\nend\nend\n";
  {
    auto p = Draw(Rows(1) + "frame tabelle tab1\nobject dbtext text Fehlt\nend\n" + grouped);
    EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{""}));
  }
  {
    // nleer on a missing column: not drawn, and its group goes off.
    auto p = Draw(Rows(1) + "frame tabelle tab1\nobject dbtext text Fehlt wenn nleer gruppe 1\nend\n" +
                  grouped);
    EXPECT_TRUE(p->TextsOf(0).empty());
  }
  {
    auto p = Draw(Rows(1) + "frame tabelle tab1\nobject dbtext text Name wenn nleer gruppe 1\nend\n" +
                  grouped);
    EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{"N1", "Gruppe"}));
  }
}

TEST_F(Layout, AlignmentAndWidths) {
  auto p = Draw(
      "object label links 1000 oben 0 breite 10 text Langer_Text ausrichtung rechts\nend\n"
      "object rechteck links 0 oben 500 breite -1 h\xF6he 100\nend\n");
  const TCanvasOp* t = p->pages[0]->record.FindText("Langer_Text");
  ASSERT_TRUE(t);
  // Grown to the left: the text ends at the box's right edge.
  EXPECT_NEAR(t->rect.right, Px(100 + 1000 + 10), 2);
  EXPECT_LT(t->rect.left, Px(100 + 1000));
  // A width of -1 ends at the right margin.
  int shapes = 0;
  for (auto& op : p->pages[0]->record.ops) {
    if (op.kind != TCanvasOp::Polyline) continue;
    ++shapes;
    EXPECT_EQ(op.points[1].x, Px(2100 - 100));
  }
  EXPECT_EQ(shapes, 1);
}

TEST_F(Layout, WrappedTextContinuesOnTheNextPage) {
  std::string words;
  for (int i = 0; i < 25; ++i) words += "Wort" + std::to_string(i) + " ";
  auto p = Draw("seiten 0\nset schrifth\xF6he 10\n"
                "frame oben 2600\nobject label breite 400 h\xF6he 0 ausrichtung box text \"" + words +
                "\"\nend\nend\n");
  ASSERT_EQ(p->pages.size(), 2u);
  std::string all = p->pages[0]->record.AllText() + p->pages[1]->record.AllText();
  for (int i = 0; i < 25; ++i) EXPECT_NE(all.find("Wort" + std::to_string(i)), std::string::npos) << i;
  EXPECT_EQ(p->Texts(1).front()->rect.top, Px(2600 - 2600 + 100));
}

TEST_F(Layout, TextLines) {
  auto width = [](std::string_view s) { return int64_t(s.size()) * 10; };
  std::vector<TTextzeile> lines;
  // A glyph wider than the box still takes a line of its own.
  EXPECT_EQ(GetTextzeilen("abc", width, 0, 5, lines), 3);
  EXPECT_EQ(lines[1].start, 1u);
  EXPECT_EQ(lines[1].length, 1u);
  EXPECT_EQ(GetTextzeilen("ab cd\\nef\rgh", width, 0, 1000, lines), 3);
  EXPECT_EQ(lines[0].length, 5u);
  EXPECT_EQ(lines[2].start, 10u);
  // Wraps at the last space; lines before the start line are left out.
  EXPECT_EQ(GetTextzeilen("aa bb cc", width, 1, 35, lines), 2);
  EXPECT_EQ(lines[0].start, 3u);
  EXPECT_EQ(GetTextzeilen("", width, 0, 10, lines), 0);
  // A one-letter line through the control's canvas measure.
  TRecordingCanvas c(10, 10);
  EXPECT_EQ(report.GetTextzeilen("x", c, 0, 0), 1);
  EXPECT_EQ(report.Textzeilen()[0].length, 1u);
}

TEST_F(Layout, NestedFrameLimitCountsParentOffset) {
  auto p = Draw(Rows(10) +
                "frame oben 1000\nframe oben 0 h\xF6he 500\ntabelle tab1\nschrittweite 100\n"
                "object dbtext text Name\nend\nend\nend\n");
  // Records at 1100 .. 1500 from the page top fit above 1000 + 500 + the top margin.
  EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{"N1", "N2", "N3", "N4", "N5"}));
  EXPECT_EQ(p->pages[0]->record.FindText("N1")->rect.top, Px(1100));
}

TEST_F(Layout, AutomaticColumnsChangeNoVariable) {
  auto p = Draw(Rows(30) +
                "frame oben 0 h\xF6he 1000 breite 1800\nspalten 0\ntabelle tab1\nschrittweite 100\n"
                "object dbtext breite 200 text Name\nend\nobject dbtext links 200 text Wert add Summe\nend\nend\n"
                "object variable oben 2000 text Summe typ zahl\nend\n");
  // Ten records fit a column above 1000 + the margin: 30 records need 3 columns.
  EXPECT_EQ(p->pages[0]->record.FindText("N10")->rect.left, Px(100));
  EXPECT_EQ(p->pages[0]->record.FindText("N11")->rect.left, Px(100 + 1800 / 3));
  EXPECT_EQ(p->pages[0]->record.FindText("N11")->rect.top, Px(100));
  EXPECT_EQ(p->pages[0]->record.FindText("N30")->rect.left, Px(100 + 2 * 1800 / 3));
  EXPECT_EQ(p->Count(0, "465"), 1) << p->pages[0]->record.AllText();
}

TEST_F(Layout, TwoPageBreaksInARowStop) {
  auto p = Draw("seiten 0\nframe oben 0\nobject label oben 5000 text Nie\nend\nend\n", false);
  ASSERT_EQ(services.boxes.calls.size(), 1u);
  EXPECT_EQ(services.boxes.calls[0].text, "Fehler in der Reportstruktur, zwei Seitenwechsel in Folge!");
  EXPECT_EQ(services.boxes.calls[0].caption, "Fehler");
  EXPECT_TRUE(report.Abbruch);
  EXPECT_FALSE(report.DrawCanvas(*p->out));  // stays stopped until the next definition
  EXPECT_EQ(services.boxes.calls.size(), 1u);
}

TEST_F(Layout, PagesEndEvenWhenTheDefinitionAsksForEndlessOnes) {
  Parse("seiten 0\nframe anzahl 2000000000 schrittweite 3000\nobject label text X\nend\nend\n");
  TRecordingCanvas c(84, 119);
  TCanvasOutput measure(c, 2100, 2970, 84, 119, {0, 0}, 96, nullptr);
  TCountingOutput counting(measure);
  TReportLayout run(report.Model(), counting, nullptr);
  EXPECT_TRUE(run.Run(1));
  EXPECT_EQ(run.Pages(), TReportLayout::kMaxPages);
}

TEST_F(Layout, TenThousandNestedFrames) {
  std::string def;
  for (int i = 0; i < 10000; ++i) def += "frame\n";
  def += "object label text Tief\nend\n";
  for (int i = 0; i < 10000; ++i) def += "end\n";
  auto p = Draw(def);
  EXPECT_EQ(p->TextsOf(0), (std::vector<std::string>{"Tief"}));
}

TEST_F(Layout, CallbacksThatFreeOrRedefineStopTheRun) {
  {
    auto* r = new TDruckReport(nullptr);
    r->SetReportdaten((Rows(3) + "frame tabelle tab1\nobject dbtext text Name\nend\nend\n").c_str());
    r->OnRecordChange = [r](TObject*, int, int) { delete r; };
    Pages p(*r);
    EXPECT_FALSE(r->DrawCanvas(*p.out));
  }
  {
    report.SetReportdaten((Rows(3) + "frame tabelle tab1\nobject dbtext text Name anzeige format\nend\nend\n").c_str());
    int calls = 0;
    report.OnFormat = [&](TObject*, const char*, std::string&) {
      ++calls;
      report.SetReportdaten("object label text Neu\nend\n");
    };
    Pages p(report);
    EXPECT_FALSE(report.DrawCanvas(*p.out));
    EXPECT_EQ(calls, 1);
    report.OnFormat = nullptr;
    Pages q(report);
    EXPECT_TRUE(report.DrawCanvas(*q.out));
    EXPECT_EQ(q.TextsOf(0), (std::vector<std::string>{"Neu"}));
  }
}

TEST_F(Layout, PrintsThroughThePrinterService) {
  Parse("seiten 0\n" + Rows(40) +
        "frame tabelle tab1 schrittweite 200\nobject dbtext text Name\nend\nend\n"
        "seitenframe oben 2700\nobject seitevon text \"von \"\nend\nend\n");
  int druck = 0;
  report.OnDruck = [&](TObject*) { ++druck; };
  ASSERT_TRUE(report.Drucken("Liste", 2));
  ASSERT_EQ(services.printer.jobs.size(), 1u);
  const auto& job = services.printer.jobs[0];
  EXPECT_EQ(job.title, "Liste");
  EXPECT_EQ(job.copies, 2);
  ASSERT_EQ(job.pages.size(), 3u);
  EXPECT_NE(job.pages[2]->record.FindText("N40"), nullptr);
  EXPECT_NE(job.pages[0]->record.FindText("von 3"), nullptr);
  EXPECT_EQ(druck, 1);
  services.printer.available = false;
  EXPECT_FALSE(report.Drucken("Liste", 1));
  EXPECT_EQ(druck, 1);
}

}  // namespace
}  // namespace komp::drtest

namespace komp::drtest {
namespace {

TEST_F(Layout, PreviewRendersEachPageIntoItsBitmap) {
  report.SetBounds(0, 0, 210, 320);
  Parse("seiten 0\nobject rechteck links 0 oben 0 breite 1000 h\xF6he 1000 stift 10\nend\n"
        "frame oben 2000 schrittweite 500 anzahl 3\nobject label text Zeile\nend\nend\n");
  report.SetGroesse();
  ASSERT_TRUE(report.RenderPreview());
  EXPECT_EQ(report.Seitenanzahl, 2);
  ASSERT_EQ(report.FrameBildCount(), 2);
  const TRect page = report.Seitenrect;
  TBitmap* first = report.GetFrameBild(0);
  ASSERT_GE(first->Width(), page.right);
  const double z = double(page.right - page.left) / report.Seitenbreite;
  TCanvas& c = first->Canvas();
  // The rectangle's left side, inside the white page with its black border.
  EXPECT_EQ(c.Pixel(page.left + int(100 * z), page.top + int(600 * z)), clBlack);
  EXPECT_EQ(c.Pixel(page.left + int(600 * z), page.top + int(600 * z)), clWhite);
  EXPECT_EQ(c.Pixel(page.left, page.top + 20), clBlack);
  // The second page has the background but not the rectangle.
  TCanvas& second = report.GetFrameBild(1)->Canvas();
  EXPECT_EQ(second.Pixel(page.left + int(100 * z), page.top + int(600 * z)), clWhite);
  EXPECT_EQ(second.Pixel(page.left, page.top + 20), clBlack);
}

}  // namespace
}  // namespace komp::drtest

namespace komp::drtest {
namespace {

TEST_F(Layout, BitmapsFromTheHostAndRotatedText) {
  TBitmap logo(4, 4);
  std::vector<std::string> asked;
  report.OnGetBitmap = [&](const std::string& name, TBitmap*& bild) {
    asked.push_back(name);
    if (name == "Logo") bild = &logo;
  };
  auto p = Draw(
      "object bitmap links 0 oben 0 breite 200 h\xF6he 100 text Logo\nend\n"
      "object bitmap links 0 oben 200 text Fehlt\nend\n"
      "object bitmap links 0 oben 400 breite 100 h\xF6he 100 text Aus gruppe 3 else Logo\nend\n"
      "object label oben 600 text Schraeg textwinkel 900\nend\n");
  std::vector<TRect> drawn;
  for (auto& op : p->pages[0]->record.ops)
    if (op.kind == TCanvasOp::Bitmap) drawn.push_back(op.rect);
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(drawn[0].left, Px(100));
  EXPECT_EQ(drawn[0].right, Px(100 + 200));
  EXPECT_EQ(drawn[1].top, Px(100 + 400));
  // Each name is asked once, however often it is drawn.
  EXPECT_EQ(asked, (std::vector<std::string>{"Logo", "Fehlt"}));
  const TCanvasOp* t = p->pages[0]->record.FindText("Schraeg");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->font.Orientation, 900);
}

}  // namespace
}  // namespace komp::drtest

namespace komp::drtest {
namespace {

TEST_F(Layout, NestedRecordCountsCannotKeepARunBusy) {
  // 2^40 innermost records that place nothing: a step budget ends the run.
  std::string def = "frame\nobject label text X\nend\n";
  for (int i = 0; i < 40; ++i) def += "frame anzahl 2\n";
  def += "object bedingung text Spalte wenn leer\nend\n";
  for (int i = 0; i < 42; ++i) def += "end\n";
  Parse(def);
  TRecordingCanvas c(84, 119);
  TCanvasOutput out(c, 2100, 2970, 84, 119, {0, 0}, 96, nullptr);
  TReportLayout run(report.Model(), out, nullptr);
  run.maxSteps = 100000;
  EXPECT_FALSE(run.Run(1));
  EXPECT_TRUE(run.Aborted());
  EXPECT_EQ(c.record.AllText(), "X");
}

}  // namespace
}  // namespace komp::drtest

namespace komp::drtest {
namespace {

// What a page shows, op by op, as text (kind, place, colour, text).
std::vector<std::string> Describe(const TCanvasRecord& r) {
  std::vector<std::string> out;
  for (const TCanvasOp& op : r.ops) {
    std::string s = std::to_string(op.kind) + " " + std::to_string(op.rect.left) + "," +
                    std::to_string(op.rect.top) + "," + std::to_string(op.rect.right) + "," +
                    std::to_string(op.rect.bottom) + " " + std::to_string(op.penColor) + " " +
                    std::to_string(op.font.Color) + " " + op.text;
    out.push_back(s);
  }
  return out;
}

// A page laid out from a kept state looks exactly as in a run from the first page: sums,
// remembered values, groups, per-page headers, wrapped text owed to the next page, columns
// and page totals all carry over.
TEST_F(Layout, PagesFromKeptStatesMatchARunFromTheStart) {
  std::string rows = "data tab1\nrow Gruppe,Name,Betrag,Notiz\n";
  for (int i = 1; i <= 260; ++i) {
    std::string notiz = i % 7 == 0 ? "lange Notiz mit vielen Worten, die umbrechen muss, " + std::to_string(i) + " Ende" : "";
    rows += "row G" + std::to_string(i / 12) + ",N" + std::to_string(i) + "," + std::to_string(i * 3) +
            ",\"" + notiz + "\"\n";
  }
  rows += "end\n";
  const std::string def =
      "seiten 0\nset schrifth\xF6he 10\n" + rows +
      "object label oben 0 text Kopf\nwenn neueseite\nend\n"
      "frame oben 100 tabelle tab1 schrittweite 0\n"
      "object dbtext links 0 text Gruppe\nwenn \xE4nderung\nend\n"
      "object dbtext links 300 text Name\nend\n"
      "object dbtext links 600 text Betrag add summe\nend\n"
      "object variable links 900 text summe typ zahl\nend\n"
      "object dbtext links 1200 breite 300 h\xF6he 0 ausrichtung box text Notiz\nwenn nleer\nend\n"
      "end\n"
      "frame oben 100 tabelle tab1 spalten 2 schrittweite 60 anzahl 0\n"
      "object dbtext text Name\nend\nend\n"
      "seitenframe oben 2650\nobject seite text \"Seite \"\nend\n"
      "object seitevon links 400 text \"von \"\nend\nend\n";
  for (size_t budget : {size_t(64) << 20, size_t(1)}) {
    SCOPED_TRACE(budget);
    Parse(def);
    // The reference: one run from the first page to the last.
    Pages full(report);
    ASSERT_TRUE(report.DrawCanvas(*full.out));
    const int32_t total = report.Seitenanzahl;
    ASSERT_GE(total, 6);
    ASSERT_EQ(full.pages.size(), size_t(total));
    // A counting run that keeps states, as the preview makes it.
    TLayoutCheckpoints store;
    store.budget = budget;
    {
      TCountingOutput counting(*full.out);
      TReportLayout run(report.Model(), counting, nullptr);
      run.KeepCheckpoints(&store);
      ASSERT_TRUE(run.Run(1));
      EXPECT_EQ(run.Pages(), total);
    }
    if (budget == 1) EXPECT_GT(store.Interval(), 1) << "thinned to the budget";
    for (int32_t k = 2; k <= total; ++k) {
      SCOPED_TRACE(k);
      // Before the first kept state a run starts from the beginning.
      const int32_t from = std::max(1, store.Nearest(k));
      ASSERT_LE(from, k);
      std::vector<std::unique_ptr<TRecordingCanvas>> pages;
      pages.push_back(std::make_unique<TRecordingCanvas>(Pages::kW, Pages::kH));
      int32_t at = from;
      TCanvasOutput out(*pages[0], report.Seitenbreite, report.Seitenhoehe, Pages::kW, Pages::kH,
                        {0, 0}, 96, [&]() -> TCanvas* {
                          if (at >= k) return nullptr;  // the page wanted is done
                          ++at;
                          pages.push_back(std::make_unique<TRecordingCanvas>(Pages::kW, Pages::kH));
                          return pages.back().get();
                        });
      TReportLayout run(report.Model(), out, nullptr);
      if (from > 1)
        ASSERT_TRUE(run.RunFrom(store, from, total));
      else
        run.Run(total);
      EXPECT_EQ(Describe(pages.back()->record), Describe(full.pages[size_t(k - 1)]->record));
    }
  }
}

}  // namespace
}  // namespace komp::drtest
