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
