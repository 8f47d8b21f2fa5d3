// The report preview: geometry, painting of the band and the page buttons, real mouse and
// wheel input, focus, and the bounded page bitmap cache.
//   Geometry  page rectangle and scroll bar for several control sizes, with and without the bar
//   Buttons   placement, labels, bevel colours, pressed look, page changes through clicks
//   Scrolling wheel steps, scroll bar changes, the band copied from the bitmap
//   Cache     many pages keep a few bitmaps; evicted pages come back identical
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QWheelEvent>

#include "framework/gui/qtbridge.h"
#include "framework/gui/stdctrls.h"
#include "tests/druckreport/fixture.h"

using namespace komp;
using namespace komp::drtest;

namespace {

constexpr TColor Grey(int c) { return TColor(c | (c << 8) | (c << 16)); }

// A list of `rows` records, six to a page at this step, each record's name on it.
std::string Liste(int rows) {
  std::string s = "seiten 0\ndata tab1\nrow Name\n";
  for (int i = 1; i <= rows; ++i) s += "row Satz" + std::to_string(i) + "\n";
  return s + "end\nframe oben 0\ntabelle tab1\nschrittweite 500\n"
             "object dbtext links 0 oben 0 text Name schrifth\xF6he 40\nend\nend\n";
}

TPoint Centre(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void Wheel(QWidget* w, int delta) {
  const QPointF local(10, 10);
  QWheelEvent e(local, w->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

struct Preview : Fixture {
  int runsEnded = 0;  // OnRecordChange(0, -1) marks the end of each layout run
  void SetUp() override {
    report.OnRecordChange = [this](TObject*, int tab, int pos) {
      if (tab == 0 && pos == -1) ++runsEnded;
    };
  }
  // Paints the control as it is now and returns the picture with its record.
  std::unique_ptr<TRecordingCanvas> Shot() {
    auto c = std::make_unique<TRecordingCanvas>(report.Width(), report.Height());
    c->SetRecorder(&c->record);
    report.PaintTo(*c);
    return c;
  }
  void Press(int taste) {
    SendMouse(&report, QEvent::MouseButtonPress, Qt::LeftButton, Centre(report.TastenRect(taste)));
  }
  void Release(TPoint p) { SendMouse(&report, QEvent::MouseButtonRelease, Qt::LeftButton, p); }
  void ClickTaste(int taste) {
    Press(taste);
    Release(Centre(report.TastenRect(taste)));
    Shot();
  }
};

TEST_F(Preview, GeometryForSeveralControlSizes) {
  struct Case {
    bool landscape;
    int w, h;
    bool bar;
    TRect page;
    bool scroll;
    int barHeight, max;
  };
  const Case cases[] = {
      {false, 420, 700, false, {0, 53, 420, 647}, false, 0, 0},
      {false, 420, 700, true, {0, 24, 420, 618}, false, 0, 0},  // moved up by the bar
      {false, 227, 200, false, {0, 0, 210, 297}, true, 200, 97},
      {false, 227, 200, true, {0, 0, 210, 297}, true, 171, 126},  // the bar adds 29
      {true, 297, 400, false, {0, 95, 297, 305}, false, 0, 0},
      // Fits only without the bar's 21 pixels: then the narrower page scrolls.
      {false, 210, 310, true, {8, 0, 201, 272}, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + (c.bar ? " bar" : ""));
    report.SetPFormat(0, c.landscape ? 1 : 0);
    report.SetBounds(0, 0, c.w, c.h);
    report.Tastenleiste = c.bar;
    report.SetGroesse();
    EXPECT_EQ(report.Seitenrect, c.page);
    EXPECT_TRUE(report.Neuzeichnen);
    TScrollBar* sb = report.ScrollBar();
    EXPECT_EQ(sb->Visible(), c.scroll);
    if (c.scroll) {
      EXPECT_EQ(sb->Left(), report.Seitenrect.right);
      EXPECT_EQ(sb->Top(), 0);
      EXPECT_EQ(sb->Height(), c.barHeight);
      EXPECT_EQ(sb->Max(), c.max);
    }
  }
}

TEST_F(Preview, OnePageUsesTheFullHeightWithoutButtons) {
  report.SetBounds(0, 0, 227, 200);
  Parse(Liste(3));
  auto shot = Shot();
  EXPECT_EQ(report.Seitenanzahl, 1);
  EXPECT_FALSE(report.Tastenleiste);
  EXPECT_EQ(shot->record.FindText("<<"), nullptr);
  EXPECT_EQ(shot->record.FindText(">"), nullptr);
  bool copied = false;
  for (const auto& op : shot->record.ops)
    if (op.kind == TCanvasOp::Copy) copied = op.rect == TRect{0, 0, report.GetFrameBild(0)->Width(), 200};
  EXPECT_TRUE(copied);
  // The page runs to the bottom row: its text is there, no button bevel.
  EXPECT_EQ(shot->Pixel(100, 199), clWhite);
  // A click where a button would be changes nothing.
  Click(&report, Centre(report.TastenRect(2)));
  EXPECT_EQ(report.AktSeite, 0);
  EXPECT_EQ(report.GedrueckteTaste(), -1);
}

TEST_F(Preview, ButtonsLabelsAndBevels) {
  report.SetBounds(0, 0, 420, 700);
  Parse(Liste(15));
  auto shot = Shot();
  ASSERT_EQ(report.Seitenanzahl, 3);
  ASSERT_TRUE(report.Tastenleiste);
  // The bar took 29 pixels from the page's place; the band above it is 700 - 29 high.
  EXPECT_EQ(report.Seitenrect, (TRect{0, 24, 420, 618}));
  const char* labels[] = {"<<", "<", ">", ">>"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(labels[i]);
    const TRect b = report.TastenRect(i);
    EXPECT_EQ(b.left, 210 - 88 + 44 * i);
    EXPECT_EQ(b.top, 700 - 27);
    const TCanvasOp* t = shot->record.FindText(labels[i]);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->font.Size, 10);
    EXPECT_EQ(t->font.Color, clBlack);
    EXPECT_EQ(t->rect.left, b.left + 20 - t->rect.Width() / 2);
    EXPECT_EQ(t->rect.top, b.top + 12 - t->rect.Height() / 2);
    const int midY = b.top + 6, midX = b.left + 8;
    EXPECT_EQ(shot->Pixel(b.left + 2, midY), Grey(159));
    EXPECT_EQ(shot->Pixel(midX, b.top + 2), Grey(159));
    EXPECT_EQ(shot->Pixel(b.left + 38, midY), Grey(86));
    EXPECT_EQ(shot->Pixel(midX, 700 - 4), Grey(86));
    EXPECT_EQ(shot->Pixel(b.left + 1, midY), Grey(183));
    EXPECT_EQ(shot->Pixel(midX, b.top + 1), Grey(183));
    EXPECT_EQ(shot->Pixel(b.left + 39, midY), Grey(58));
    EXPECT_EQ(shot->Pixel(midX, 700 - 3), Grey(58));
  }
  // The control's own font is back after the buttons.
  EXPECT_EQ(report.Font().Size, 8);

  // Pressed: the rings reverse, on this button only.
  Press(2);
  EXPECT_EQ(report.GedrueckteTaste(), 2);
  EXPECT_EQ(GetCapture(), &report);
  shot = Shot();
  const TRect b = report.TastenRect(2);
  EXPECT_EQ(shot->Pixel(b.left + 2, b.top + 6), Grey(86));
  EXPECT_EQ(shot->Pixel(b.left + 38, b.top + 6), Grey(159));
  EXPECT_EQ(shot->Pixel(b.left + 1, b.top + 6), Grey(58));
  EXPECT_EQ(shot->Pixel(b.left + 39, b.top + 6), Grey(183));
  const TRect a = report.TastenRect(1);
  EXPECT_EQ(shot->Pixel(a.left + 2, a.top + 6), Grey(159));
  Release(Centre(b));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(report.GedrueckteTaste(), -1);
  EXPECT_EQ(report.AktSeite, 1);
}

TEST_F(Preview, ClicksChangeThePage) {
  report.SetBounds(0, 0, 420, 700);
  Parse(Liste(20));
  Shot();
  ASSERT_EQ(report.Seitenanzahl, 4);
  ClickTaste(2);
  EXPECT_EQ(report.AktSeite, 1);
  ClickTaste(3);
  EXPECT_EQ(report.AktSeite, 3);
  ClickTaste(1);
  EXPECT_EQ(report.AktSeite, 2);
  ClickTaste(0);
  EXPECT_EQ(report.AktSeite, 0);
  ClickTaste(1);  // not below the first page
  EXPECT_EQ(report.AktSeite, 0);
  // A quick double click on ">" is two clicks.
  const TPoint next = Centre(report.TastenRect(2));
  Click(&report, next);
  SendMouse(&report, QEvent::MouseButtonDblClick, Qt::LeftButton, next);
  Release(next);
  EXPECT_EQ(report.AktSeite, 2);
  ClickTaste(0);

  // ">" on the last page: no page change and no layout run, only the button drawn released.
  ClickTaste(3);
  const int runs = report.Renderlaeufe(), ended = runsEnded;
  Press(2);
  Release(Centre(report.TastenRect(2)));
  auto shot = Shot();
  EXPECT_EQ(report.AktSeite, 3);
  EXPECT_EQ(report.Renderlaeufe(), runs);
  EXPECT_EQ(runsEnded, ended);
  const TRect b = report.TastenRect(2);
  EXPECT_EQ(shot->Pixel(b.left + 2, b.top + 6), Grey(159));

  // Released outside the pressed button (on another one, or off the control): no change.
  Press(0);
  Release(Centre(report.TastenRect(1)));
  EXPECT_EQ(report.AktSeite, 3);
  Press(0);
  Release({-50, 900});
  EXPECT_EQ(report.AktSeite, 3);
  EXPECT_EQ(report.GedrueckteTaste(), -1);
  // The button's own edges are not inside it.
  const TRect r = report.TastenRect(0);
  Click(&report, {r.left, Centre(r).y});
  Click(&report, {Centre(r).x, r.bottom});
  EXPECT_EQ(report.AktSeite, 3);
  Click(&report, {r.left + 1, r.bottom - 1});
  EXPECT_EQ(report.AktSeite, 0);
}

TEST_F(Preview, WheelAndScrollBarMoveTheBand) {
  report.SetBounds(0, 0, 227, 200);
  Parse(Liste(3));
  Shot();
  TScrollBar* sb = report.ScrollBar();
  ASSERT_TRUE(sb->Visible());
  ASSERT_EQ(sb->Max(), 97);
  // The page's top border is in the first row at offset 0, gone at 10.
  EXPECT_EQ(Shot()->Pixel(100, 0), clBlack);
  Wheel(&report, -120);
  EXPECT_EQ(report.ScrollOffset, 10);
  EXPECT_EQ(sb->Position(), 10);
  EXPECT_EQ(Shot()->Pixel(100, 0), clWhite);
  std::vector<int> seen;
  for (int i = 0; i < 11; ++i) {
    Wheel(&report, -120);
    seen.push_back(report.ScrollOffset);
  }
  EXPECT_EQ(seen, (std::vector<int>{20, 30, 40, 50, 60, 70, 80, 90, 97, 97, 97}));
  EXPECT_EQ(sb->Position(), 97);
  Wheel(&report, 120);
  EXPECT_EQ(report.ScrollOffset, 87);
  for (int i = 0; i < 10; ++i) Wheel(&report, 120);
  EXPECT_EQ(report.ScrollOffset, 0);
  EXPECT_EQ(sb->Position(), 0);

  // The bar's own change moves the band, without a new layout.
  const int runs = report.Renderlaeufe();
  sb->SetPosition(40);
  EXPECT_EQ(report.ScrollOffset, 40);
  EXPECT_EQ(Shot()->Pixel(100, 0), clWhite);
  EXPECT_EQ(report.Renderlaeufe(), runs);
  // A larger control needs no scrolling: the bar goes, the page shows from its top.
  report.SetBounds(0, 0, 227, 400);
  report.SetGroesse();  // a hidden control gets no size message
  EXPECT_FALSE(sb->Visible());
  EXPECT_EQ(report.ScrollOffset, 0);
  Wheel(&report, -120);
  EXPECT_EQ(report.ScrollOffset, 0);
}

TEST_F(Preview, ScrollBarTakesTheFocusFromClicksAndMoves) {
  TForm form;
  form.SetClientSize(300, 300);
  TDruckReport r(&form);
  TEdit edit(&form);
  edit.SetBounds(250, 0, 40, 20);
  r.SetBounds(0, 0, 227, 200);
  ASSERT_TRUE(r.SetReportdaten(Liste(3).c_str()));
  ShowAndActivate(&form);
  ASSERT_TRUE(r.ScrollBar()->Visible());
  edit.SetFocus();
  ASSERT_FALSE(r.ScrollBar()->Focused());
  SendMouse(&r, QEvent::MouseButtonPress, Qt::LeftButton, {50, 50});
  SendMouse(&r, QEvent::MouseButtonRelease, Qt::LeftButton, {50, 50});
  EXPECT_TRUE(r.ScrollBar()->Focused());

  edit.SetFocus();
  SendMouse(&r, QEvent::MouseMove, Qt::NoButton, {60, 60}, 0);
  EXPECT_TRUE(r.ScrollBar()->Focused());
  // With outlines shown the mouse leaves the focus where it is.
  r.SetKonstrukt(kkFrame);
  edit.SetFocus();
  SendMouse(&r, QEvent::MouseMove, Qt::NoButton, {70, 70}, 0);
  EXPECT_FALSE(r.ScrollBar()->Focused());
}

TEST_F(Preview, ManyPagesKeepFewBitmaps) {
  report.SetBounds(0, 0, 420, 700);
  Parse(Liste(300));
  Shot();
  ASSERT_EQ(report.Seitenanzahl, 50);
  EXPECT_LE(report.FrameBildCount(), TDruckReport::kSeitenbilder);
  ClickTaste(2);
  const QImage second = report.GetFrameBild(1)->Image().copy();
  ClickTaste(3);
  EXPECT_EQ(report.AktSeite, 49);
  EXPECT_LE(report.FrameBildCount(), TDruckReport::kSeitenbilder);
  const QImage last = report.GetFrameBild(49)->Image().copy();
  EXPECT_NE(last, second);
  // The page before came along with the last one: "<" needs no run.
  int runs = report.Renderlaeufe();
  ClickTaste(1);
  EXPECT_EQ(report.Renderlaeufe(), runs);
  // Walk back far enough that page 1's bitmap gives way, then show it again.
  for (int i = 0; i < 4; ++i) ClickTaste(1);
  EXPECT_EQ(report.AktSeite, 44);
  EXPECT_EQ(report.Renderlaeufe(), runs + 2);  // 47 and 45, each with its neighbours
  EXPECT_LE(report.FrameBildCount(), TDruckReport::kSeitenbilder);
  runs = report.Renderlaeufe();
  ClickTaste(0);
  ClickTaste(2);
  EXPECT_EQ(report.AktSeite, 1);
  EXPECT_EQ(report.Renderlaeufe(), runs + 1);  // rendered on demand, once
  EXPECT_EQ(report.GetFrameBild(1)->Image(), second);
  // The page that came back is shown: its band is what the control paints.
  auto shot = Shot();
  EXPECT_EQ(shot->Image().copy(0, 0, 420, 671), second.copy(0, 0, 420, 671));
  EXPECT_EQ(report.Renderlaeufe(), runs + 1);
}

}  // namespace

namespace {

// Bounds of the pixels inside `r` that are darker than light grey.
TRect DarkInk(const QImage& img, const TRect& r) {
  TRect ink{r.right, r.bottom, r.left - 1, r.top - 1};
  for (int y = std::max(0, r.top); y < std::min(img.height(), r.bottom); ++y)
    for (int x = std::max(0, r.left); x < std::min(img.width(), r.right); ++x)
      if (qGray(img.pixel(x, y)) < 160) {
        ink.left = std::min(ink.left, x);
        ink.top = std::min(ink.top, y);
        ink.right = std::max(ink.right, x + 1);
        ink.bottom = std::max(ink.bottom, y + 1);
      }
  return ink;
}

int CountColour(const QImage& img, TColor c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (FromQColor(img.pixelColor(x, y)) == c) ++n;
  return n;
}

}  // namespace

// Screen fonts come in whole sizes; the preview puts each line on the width the layout measured,
// so that right-aligned amounts end at their box's edge and nothing is cut, at any zoom.
TEST_F(Preview, ScreenTextCoversTheMeasuredWidthAtEveryZoom) {
  Parse("object label links 0 oben 0 breite 1500 text \"Gesamtbetrag der Rechnung\"\nend\n"
        "object label links 1000 oben 200 breite 600 text \"12,50\"\nausrichtung rechts\nend\n"
        "object label links 0 oben 400 breite 1800 text \"Summe\" schrifth\xF6he 14 fontart fett\nend\n");
  const std::string texts[] = {"Gesamtbetrag der Rechnung", "12,50", "Summe"};
  for (int width : {420, 600, 840, 1190, 1680}) {
    SCOPED_TRACE(width);
    const int height = width * 2970 / 2100;
    TRecordingCanvas page(width, height);
    page.SetRecorder(&page.record);
    TCanvasOutput out(page, report.Seitenbreite, report.Seitenhoehe, width, height, {0, 0}, 96,
                      nullptr);
    out.SetScreen(0);
    ASSERT_TRUE(report.DrawCanvas(out));
    const double scale = double(width) / report.Seitenbreite;
    for (const std::string& t : texts) {
      SCOPED_TRACE(t);
      const TCanvasOp* op = page.record.FindText(t);
      ASSERT_NE(op, nullptr) << page.record.AllText();
      ASSERT_TRUE(op->clipped);
      const TRect box = op->clip;
      // What the layout measured: the text at its size at 96 dpi, in 0.1 mm, scaled.
      TFont f = op->font;
      f.Size = t == "Summe" ? 14 : 10;
      f.Height = 0;
      const double measured = TCanvas::MeasureText(f, t, 96).cx * 254 / 96 * scale;
      const TRect ink = DarkInk(page.Image(), {box.left, box.top, box.right, box.bottom});
      ASSERT_LT(ink.left, ink.right) << "nothing drawn";
      EXPECT_GE(ink.left, box.left);
      EXPECT_LE(ink.right, box.right);
      // The ink runs from the line's start to its measured end, give or take a glyph's bearing.
      EXPECT_NEAR(ink.left, op->rect.left, 2 + width / 300);
      EXPECT_NEAR(ink.right, op->rect.left + measured, 2 + width / 300);
      // The nearest whole pixel size to the scaled font.
      EXPECT_NEAR(op->font.PixelHeight(), f.Size * scale * 254 / 72, 0.5);
    }
    // The amount ends at the right edge of its box.
    const TCanvasOp* amount = page.record.FindText("12,50");
    EXPECT_NEAR(DarkInk(page.Image(), amount->clip).right, amount->clip.right, 2 + width / 300);
  }
}

// The construction aids: hatched boxes for frames (yellow), texts (green) and missing bitmaps
// (purple, with the name), on the screen only.
TEST_F(Preview, ConstructionBoxesOnTheScreenOnly) {
  report.SetBounds(0, 0, 420, 620);
  Parse("frame oben 100 h\xF6he 800 anzahl 1\nobject label links 100 oben 100 breite 800 h\xF6he 100 text Titel\nend\nend\n"
        "object bitmap links 100 oben 1200 breite 1200 h\xF6he 600 text Logo\nend\n");
  const TColor yellow = 0x00FFFF, green = 0x008000, purple = 0x800080;
  auto shot = Shot();
  EXPECT_EQ(CountColour(shot->Image(), yellow), 0);
  EXPECT_EQ(CountColour(shot->Image(), green), 0);
  EXPECT_EQ(CountColour(shot->Image(), purple), 0);

  report.SetKonstrukt(kkBitmap | kkText | kkFrame);
  shot = Shot();
  const QImage& img = shot->Image();
  const double z = double(report.Seitenrect.right - report.Seitenrect.left) / report.Seitenbreite;
  auto at = [&](int x, int y) -> TPoint {  // 0.1 mm from the page corner to control pixels
    return {report.Seitenrect.left + int(x * z), report.Seitenrect.top + int(y * z)};
  };
  auto count = [&](TColor c, int l, int t, int r, int b) {
    const TPoint a = at(l, t), e = at(r, b);
    int n = 0;
    for (int y = a.y; y < e.y; ++y)
      for (int x = a.x; x < e.x; ++x) n += FromQColor(img.pixelColor(x, y)) == c;
    return n;
  };
  const int m = report.RandLinks, o = report.RandOben;
  // The frame's box runs from its offset to the right margin and its height.
  EXPECT_GT(count(yellow, m + 20, o + 120, report.Seitenbreite - report.RandRechts - 20, o + 880), 200);
  EXPECT_EQ(count(yellow, m, o + 1000, report.Seitenbreite - report.RandRechts, o + 1100), 0);
  // The text's box lies behind the text; the bitmap's carries its name.
  EXPECT_GT(count(green, m + 110, o + 210, m + 890, o + 290), 20);
  EXPECT_EQ(count(green, m + 1000, o + 210, m + 1500, o + 290), 0);
  EXPECT_GT(count(purple, m + 110, o + 1210, m + 1290, o + 1790), 100);
  // The name is drawn into the page bitmap, not onto the control: its ink shows it.
  const TPoint a = at(m + 100, o + 1200), e = at(m + 1300, o + 1800);
  EXPECT_LT(DarkInk(img, {a.x, a.y, e.x, e.y}).left, e.x) << "the name is written in the box";

  // Printer and PDF show none of it.
  ASSERT_TRUE(report.Drucken("K", 1));
  for (const auto& op : services.printer.jobs.at(0).pages.at(0)->record.ops)
    EXPECT_TRUE(op.brushStyle == TBrushStyle::Solid || op.brushStyle == TBrushStyle::Clear);
}

// A long count does not hold up the first page: the preview shows it with the total still open
// ("…"), counts on in slices on the clock, then shows the total. Pages are drawn from the
// states kept by the count, with no run over the pages before them.
TEST_F(Preview, LongCountsGoOnInTheBackground) {
  report.SetBounds(0, 0, 420, 700);
  std::vector<std::string> totals;
  report.OnFormat = [&](TObject*, const char* name, std::string& value) {
    if (std::string(name) == "von ") totals.push_back(value);
  };
  Parse(Liste(60) + "seitenframe oben 2600\nobject seitevon text \"von \"\nanzeige format\nend\nend\n");
  report.Zaehlscheibe = 0;  // every slice counts one page
  Shot();
  EXPECT_TRUE(report.ZaehltNoch());
  EXPECT_GE(report.Seitenanzahl, 2);
  EXPECT_LT(report.Seitenanzahl, 10);
  EXPECT_TRUE(report.Tastenleiste) << "two pages are known: the bar is there";
  ASSERT_FALSE(totals.empty());
  EXPECT_EQ(totals.back(), "von \x85");
  // The clock runs the slices; the total appears when the count is done.
  for (int i = 0; i < 100 && report.ZaehltNoch(); ++i) services.clock.Advance(1);
  EXPECT_FALSE(report.ZaehltNoch());
  EXPECT_EQ(services.clock.ActiveTimers(), 0);
  EXPECT_EQ(report.Seitenanzahl, 10);
  totals.clear();
  Shot();
  ASSERT_FALSE(totals.empty());
  EXPECT_EQ(totals.back(), "von 10");
  // The last page comes from its kept state: one run, laying out two pages at most.
  const int runs = report.Renderlaeufe();
  ClickTaste(3);
  EXPECT_EQ(report.AktSeite, 9);
  EXPECT_EQ(report.Renderlaeufe(), runs + 1);
  EXPECT_LE(totals.size(), 2u + 2u);
  // A new definition stops a count still running.
  report.Zaehlscheibe = 0;
  Parse(Liste(60));
  Shot();
  EXPECT_TRUE(report.ZaehltNoch());
  Parse("object label text Kurz\nend\n");
  EXPECT_FALSE(report.ZaehltNoch());
  EXPECT_EQ(services.clock.ActiveTimers(), 0);
}
