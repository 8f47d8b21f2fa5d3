#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QApplication>
#include <QCursor>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>
#include <set>

#include "framework/gui/grids.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {

// Records every DrawCell with the canvas state it was handed.
class TTestGrid : public TCustomGrid {
 public:
  using TCustomGrid::TCustomGrid;
  struct Call {
    int col, row;
    TRect rect;
    TGridDrawState state;
    TColor brush, fontColor;
  };
  std::vector<Call> calls;
  int sized = 0;
  int topLeftChanges = 0;
  bool writeText = false;  // for looking at a rendering
  void SetSelectHook(TSelectCellEvent e) { FOnSelectCell = std::move(e); }
  const Call* Find(int col, int row) const {
    for (const Call& c : calls)
      if (c.col == col && c.row == row) return &c;
    return nullptr;
  }
  // Paints into a recording canvas of the grid's size and keeps what DrawCell saw.
  void Render(TRecordingCanvas& canvas) {
    calls.clear();
    PaintTo(canvas);
  }

 protected:
  void DrawCell(int col, int row, const TRect& r, TGridDrawState s) override {
    calls.push_back({col, row, r, s, Canvas().Brush.Color, Canvas().Font.Color});
    if (writeText) {
      Canvas().Brush.Style = TBrushStyle::Clear;
      Canvas().TextRect(r, r.left + 2, r.top + 2, row == 0 ? "Spalte " + std::to_string(col) : "Zeile " + std::to_string(row));
    }
  }
  void ColWidthsChanged() override { ++sized; }
  void TopLeftChanged() override { ++topLeftChanges; }
};

TColor Px(TRecordingCanvas& c, int x, int y) { return c.Pixel(x, y); }

TPoint Centre(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

TEST(Grid, PaintHandsEachVisibleCellToDrawCellOnce) {
  TForm form;
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 4 + 4 * 65 + 30, 4 + 4 * 25 + 10);  // four columns and rows fit, part of a fifth
  g->SetColWidth(2, -1);
  TRecordingCanvas canvas(g->Width(), g->Height());
  g->Render(canvas);

  std::set<std::pair<int, int>> drawn;
  for (const auto& c : g->calls) EXPECT_TRUE(drawn.insert({c.col, c.row}).second) << c.col << "," << c.row;
  // Column 2 is hidden; all five rows and the other columns show, the last ones in part.
  EXPECT_EQ(drawn.size(), 4u * 5u);
  EXPECT_EQ(g->Find(2, 1), nullptr);
  ASSERT_NE(g->Find(4, 4), nullptr);

  EXPECT_EQ(g->Find(0, 0)->rect, Bounds(2, 2, 64, 24));
  EXPECT_EQ(g->Find(1, 1)->rect, Bounds(67, 27, 64, 24));
  EXPECT_EQ(g->Find(3, 1)->rect, Bounds(132, 27, 64, 24)) << "the hidden column takes no room";
  EXPECT_EQ(g->Find(0, 0)->state, gdFixed);
  EXPECT_EQ(g->Find(3, 0)->state, gdFixed);
  EXPECT_EQ(g->Find(0, 3)->state, gdFixed);
  EXPECT_EQ(g->Find(3, 3)->state, 0);
  // The current cell is selected; without the focus it is not focused and shows highlighted.
  EXPECT_EQ(g->Find(1, 1)->state, gdSelected);
  EXPECT_EQ(g->Find(1, 1)->brush, clHighlight);
  EXPECT_EQ(g->Find(0, 0)->brush, clBtnFace);

  g->SetOptions(g->Options() | goRowSelect);
  g->Render(canvas);
  for (int col : {1, 3, 4}) {
    EXPECT_EQ(g->Find(col, 1)->state, gdSelected) << col;
    EXPECT_EQ(g->Find(col, 1)->brush, clHighlight);
    EXPECT_EQ(g->Find(col, 1)->fontColor, clHighlightText);
    EXPECT_EQ(g->Find(col, 2)->state, 0);
  }
  EXPECT_EQ(g->Find(0, 1)->state, gdFixed);

  // Scrolled: rows 1 and 2 give way to 3 and 4, the fixed row stays on top.
  g->SetRowCount(20);
  g->SetTopRow(3);
  g->Render(canvas);
  EXPECT_EQ(g->Find(1, 1), nullptr);
  ASSERT_NE(g->Find(1, 3), nullptr);
  EXPECT_EQ(g->Find(1, 3)->rect, Bounds(67, 27, 64, 24));
  EXPECT_EQ(g->Find(1, 0)->rect, Bounds(67, 2, 64, 24));
}

TEST(Grid, CellRectAndMouseToCellAgreeWithHiddenColumnsAndScrolling) {
  TForm form;
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 300, 200);
  g->SetColCount(12);
  g->SetRowCount(40);
  g->SetFixedCols(2);
  g->SetColWidth(1, 30);
  g->SetColWidth(3, 0);
  g->SetColWidth(4, -1);
  g->SetColWidth(6, 100);
  g->SetRowHeight(2, 40);
  auto check = [&](const char* when) {
    int seen = 0;
    for (int col = 0; col < g->ColCount(); ++col)
      for (int row = 0; row < g->RowCount(); ++row) {
        const TRect r = g->CellRect(col, row);
        if (r.IsEmpty()) continue;
        ++seen;
        int c, rr;
        for (TPoint p : {TPoint{r.left, r.top}, Centre(r), TPoint{r.right - 1, r.bottom - 1}}) {
          if (p.x >= g->Width() - 2 - TCustomGrid::kScrollBarSize || p.y >= g->Height() - 2 - TCustomGrid::kScrollBarSize)
            continue;  // the part of a cell under a scroll bar
          g->MouseToCell(p.x, p.y, c, rr);
          EXPECT_EQ(c, col) << when << " at " << p.x << "," << p.y;
          EXPECT_EQ(rr, row) << when << " at " << p.x << "," << p.y;
        }
        // The grid line right of and below a cell belongs to it.
        g->MouseToCell(r.right, r.bottom, c, rr);
        if (r.right < 250 && r.bottom < 150) {
          EXPECT_EQ(c, col) << when;
          EXPECT_EQ(rr, row) << when;
        }
      }
    return seen;
  };
  EXPECT_GT(check("at the start"), 10);
  EXPECT_TRUE(g->CellRect(3, 1).IsEmpty());
  EXPECT_TRUE(g->CellRect(4, 1).IsEmpty());
  EXPECT_EQ(g->CellRect(5, 1).left, g->CellRect(2, 1).right + 1);
  EXPECT_EQ(g->CellRect(1, 3).top, g->CellRect(1, 2).top + 41);

  g->SetLeftCol(5);
  g->SetTopRow(10);
  EXPECT_EQ(g->LeftCol(), 5);
  EXPECT_EQ(g->TopRow(), 10);
  EXPECT_GT(check("scrolled"), 10);
  EXPECT_TRUE(g->CellRect(2, 1).IsEmpty()) << "scrolled away";
  EXPECT_TRUE(g->CellRect(0, 9).IsEmpty());
  EXPECT_EQ(g->CellRect(5, 10), Bounds(2 + 65 + 31, 2 + 25, 64, 24)) << "first scrolled cell after the fixed ones";
  EXPECT_EQ(g->CellRect(0, 10), Bounds(2, 27, 64, 24));
  EXPECT_TRUE(g->CellRect(0, 39).IsEmpty()) << "below the view";

  int c = 0, r = 0;
  g->MouseToCell(0, 0, c, r);  // the border
  EXPECT_EQ(c, -1);
  EXPECT_EQ(r, -1);
  g->MouseToCell(g->Width() - 1, g->Height() - 1, c, r);
  EXPECT_EQ(c, -1);
  EXPECT_EQ(r, -1);
}

TEST(Grid, HugeRowCountsScrollWithoutOverflow) {
  TForm form;
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 200, 4 + 11 * 25);
  g->SetColCount(2);
  g->SetRowCount(150'000'000);  // 150 million rows of 25 pixels overflow 32 bits
  EXPECT_EQ(g->VisibleRowCount(), 10) << "no horizontal bar takes room";
  g->SetTopRow(g->RowCount());
  EXPECT_EQ(g->TopRow(), 150'000'000 - 10);
  EXPECT_EQ(g->CellRect(1, g->RowCount() - 1).top, 2 + 25 * 10);
  g->SetRow(g->RowCount() - 1);
  int c, r;
  g->MouseToCell(Centre(g->CellRect(1, g->RowCount() - 1)).x, Centre(g->CellRect(1, g->RowCount() - 1)).y, c, r);
  EXPECT_EQ(r, 150'000'000 - 1);
  EXPECT_EQ(g->VertScrollBar()->Position(), g->TopRow());
  EXPECT_TRUE(g->CellRect(1, 70'000'000).IsEmpty());
}

// Keys through real Qt events, the move refused by the select hook included.
TEST(Grid, KeyboardMovesTheCurrentCellAndScrolls) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 4 + 5 * 65 + 16, 4 + 10 * 25 + 16);  // five columns, ten rows on screen
  g->SetColCount(8);
  g->SetRowCount(30);
  g->SetColWidth(3, -1);
  int refusedRow = -1;
  std::vector<std::pair<int, int>> asked;
  g->SetSelectHook([&](TObject*, int col, int row, bool& can) {
    asked.push_back({col, row});
    can = row != refusedRow;
  });
  ShowAndActivate(&form);
  g->SetFocus(FOCUS_KEYBOARD);
  ASSERT_TRUE(g->Focused());
  QWidget* target = QApplication::focusWidget();
  ASSERT_EQ(target, g);
  ASSERT_EQ(g->VisibleRowCount(), 9);

  struct Step {
    int qtKey, mods;
    int col, row, top;
  };
  const Step steps[] = {
      {Qt::Key_Down, 0, 1, 2, 1},
      {Qt::Key_Right, 0, 2, 2, 1},
      {Qt::Key_Right, 0, 4, 2, 1},  // over the hidden column
      {Qt::Key_Left, 0, 2, 2, 1},
      {Qt::Key_End, 0, 7, 2, 1},
      {Qt::Key_Home, 0, 1, 2, 1},
      {Qt::Key_PageDown, 0, 1, 10, 9},  // a page is the visible rows less one
      {Qt::Key_PageDown, 0, 1, 18, 17},
      {Qt::Key_PageUp, 0, 1, 10, 9},
      {Qt::Key_Down, Qt::ControlModifier, 1, 17, 9},
      {Qt::Key_Up, Qt::ControlModifier, 1, 9, 9},
      {Qt::Key_End, Qt::ControlModifier, 7, 29, 21},
      {Qt::Key_Down, 0, 7, 29, 21},
      {Qt::Key_Home, Qt::ControlModifier, 1, 1, 1},
      {Qt::Key_Up, 0, 1, 1, 1},
  };
  for (const Step& s : steps) {
    SendKey(target, s.qtKey, "", s.mods);
    EXPECT_EQ(g->Col(), s.col) << "key " << std::hex << s.qtKey;
    EXPECT_EQ(g->Row(), s.row) << "key " << std::hex << s.qtKey;
    EXPECT_EQ(g->TopRow(), s.top) << "key " << std::hex << s.qtKey;
  }
  // Moving right scrolls the columns so that the current one shows completely.
  for (int i = 0; i < 5; ++i) SendKey(target, Qt::Key_Right);
  EXPECT_EQ(g->Col(), 7);
  EXPECT_EQ(g->LeftCol(), 4);
  EXPECT_FALSE(g->CellRect(7, 1).IsEmpty());

  refusedRow = 2;
  asked.clear();
  SendKey(target, Qt::Key_Down);
  EXPECT_EQ(g->Row(), 1);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(7, 2));
  refusedRow = 9;
  SendKey(target, Qt::Key_PageDown);
  EXPECT_EQ(g->Row(), 1) << "page refused";
  EXPECT_EQ(g->TopRow(), 1) << "a refused page does not scroll";
  SendKey(target, Qt::Key_End, "", Qt::ControlModifier);
  EXPECT_EQ(g->Row(), 29);

  // With whole-row selection the left and right keys scroll instead of moving.
  refusedRow = -1;
  g->SetOptions(g->Options() | goRowSelect);
  SendKey(target, Qt::Key_Home, "", Qt::ControlModifier);
  g->SetLeftCol(1);
  SendKey(target, Qt::Key_Right);
  EXPECT_EQ(g->Col(), 1);
  EXPECT_EQ(g->LeftCol(), 2);
  SendKey(target, Qt::Key_Left);
  EXPECT_EQ(g->LeftCol(), 1);
  SendKey(target, Qt::Key_End);
  EXPECT_EQ(g->Row(), 29) << "End goes to the last row";
  SendKey(target, Qt::Key_Home);
  EXPECT_EQ(g->Row(), 1);
}

TEST(Grid, PressSelectsAWholeRowAndDragFollows) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 340, 200);
  g->SetRowCount(10);
  g->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRowSelect);
  std::vector<int> asked;
  g->SetSelectHook([&](TObject*, int, int row, bool& can) {
    asked.push_back(row);
    can = row != 6;
  });
  ShowAndActivate(&form);

  SendMouse(g, QEvent::MouseButtonPress, Qt::LeftButton, Centre(g->CellRect(3, 3)));
  EXPECT_TRUE(g->Focused()) << "a press takes the focus";
  EXPECT_EQ(g->Row(), 3);
  EXPECT_EQ(g->Selection(), (TGridRect{1, 3, 4, 3}));
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, Centre(g->CellRect(2, 5)), Qt::LeftButton);
  EXPECT_EQ(g->Row(), 5) << "dragging moves the selection";
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, Centre(g->CellRect(2, 6)), Qt::LeftButton);
  EXPECT_EQ(g->Row(), 5) << "refused by the hook";
  SendMouse(g, QEvent::MouseButtonRelease, Qt::LeftButton, Centre(g->CellRect(2, 6)));
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, Centre(g->CellRect(2, 4)), Qt::NoButton);
  EXPECT_EQ(g->Row(), 5) << "moving without a button selects nothing";
  EXPECT_EQ(asked, (std::vector<int>{3, 5, 6}));

  Click(g, Centre(g->CellRect(0, 2)));
  Click(g, Centre(g->CellRect(2, 0)));
  EXPECT_EQ(g->Row(), 5) << "presses on fixed cells select nothing";

  TRecordingCanvas canvas(g->Width(), g->Height());
  g->Render(canvas);
  for (int col = 1; col < 5; ++col) {
    EXPECT_TRUE(g->Find(col, 5)->state & gdSelected) << col;
    EXPECT_FALSE(g->Find(col, 4)->state & gdSelected) << col;
  }
  EXPECT_EQ(g->Find(g->Col(), 5)->state, gdSelected | gdFocused);
  EXPECT_EQ(g->Find(g->Col(), 5)->brush, clHighlight) << "the whole row is highlighted, focused cell too";
  // The focus frame goes round the visible part of the row.
  const TCanvasOp* frame = nullptr;
  for (const TCanvasOp& op : canvas.record.ops)
    if (op.kind == TCanvasOp::FocusRect) frame = &op;
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->rect.left, g->CellRect(1, 5).left);
  EXPECT_EQ(frame->rect.top, g->CellRect(1, 5).top);
  EXPECT_EQ(frame->rect.right, g->Width() - 2 - TCustomGrid::kScrollBarSize) << "up to the scroll bar";

  g->SetOptions(g->Options() & ~goRowSelect);
  g->Render(canvas);
  EXPECT_EQ(g->Find(g->Col(), 5)->brush, clWindow) << "a focused single cell is framed, not highlighted";
  g->SetOptions(g->Options() | goDrawFocusSelected);
  g->Render(canvas);
  EXPECT_EQ(g->Find(g->Col(), 5)->brush, clHighlight);
}

TEST(Grid, DraggingAFixedRowBorderSizesTheColumn) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 380, 200);
  g->SetOptions(g->Options() | goColSizing);
  ShowAndActivate(&form);
  const TRect title = g->CellRect(1, 0);
  const int left2 = g->CellRect(2, 0).left;
  const TPoint border{title.right, Centre(title).y};

  SendMouse(g, QEvent::MouseMove, Qt::NoButton, Centre(title), Qt::NoButton);
  EXPECT_EQ(g->cursor().shape(), Qt::ArrowCursor);
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, border, Qt::NoButton);
  EXPECT_EQ(g->cursor().shape(), Qt::SizeHorCursor);
  const int row = g->Row();

  SendMouse(g, QEvent::MouseButtonPress, Qt::LeftButton, border);
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, {border.x + 20, border.y + 40}, Qt::LeftButton);
  EXPECT_EQ(g->ColWidths(1), 84) << "the column follows the pointer";
  EXPECT_EQ(g->sized, 0) << "reported once the drag ends";
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, {border.x + 30, border.y}, Qt::LeftButton);
  SendMouse(g, QEvent::MouseButtonRelease, Qt::LeftButton, {border.x + 30, border.y});
  EXPECT_EQ(g->ColWidths(1), 94);
  EXPECT_EQ(g->ColWidths(2), 64);
  EXPECT_EQ(g->CellRect(2, 0).left, left2 + 30);
  EXPECT_EQ(g->sized, 1);
  EXPECT_EQ(g->Row(), row) << "sizing selects nothing";

  // Narrowing past the left edge keeps one pixel, so the column can be grabbed again.
  const TPoint border2{g->CellRect(1, 0).right + 1, border.y};
  SendMouse(g, QEvent::MouseButtonPress, Qt::LeftButton, border2);
  SendMouse(g, QEvent::MouseButtonRelease, Qt::LeftButton, {0, border.y});
  EXPECT_EQ(g->ColWidths(1), 1);
  EXPECT_EQ(g->sized, 2);

  // The same place in a data row selects; without goColSizing the title border does nothing.
  const TRect data = g->CellRect(2, 2);
  SendMouse(g, QEvent::MouseButtonPress, Qt::LeftButton, {data.left, Centre(data).y});
  SendMouse(g, QEvent::MouseButtonRelease, Qt::LeftButton, {data.left, Centre(data).y});
  EXPECT_EQ(g->Row(), 2);
  EXPECT_EQ(g->sized, 2);
  g->SetOptions(g->Options() & ~goColSizing);
  const TPoint border3{g->CellRect(2, 0).right, border.y};
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, border3, Qt::NoButton);
  EXPECT_EQ(g->cursor().shape(), Qt::ArrowCursor);
  SendMouse(g, QEvent::MouseButtonPress, Qt::LeftButton, border3);
  SendMouse(g, QEvent::MouseMove, Qt::NoButton, {border3.x + 30, border.y}, Qt::LeftButton);
  SendMouse(g, QEvent::MouseButtonRelease, Qt::LeftButton, {border3.x + 30, border.y});
  EXPECT_EQ(g->ColWidths(2), 64);
}

TEST(Grid, ScrollBarsAndWheelMoveTopRow) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 300, 4 + 8 * 25);
  g->SetColCount(4);
  g->SetRowCount(6);
  ShowAndActivate(&form);
  EXPECT_FALSE(g->VertScrollBar()->Visible()) << "all rows fit";
  EXPECT_FALSE(g->HorzScrollBar()->Visible());

  g->SetRowCount(50);
  ASSERT_TRUE(g->VertScrollBar()->Visible());
  EXPECT_FALSE(g->HorzScrollBar()->Visible());
  EXPECT_EQ(g->VertScrollBar()->BoundsRect(), Rect(300 - 2 - 16, 2, 300 - 2, 2 + 8 * 25));
  EXPECT_EQ(g->VisibleRowCount(), 7);
  auto bars = ChildrenOf<QScrollBar>(g->VertScrollBar());
  ASSERT_EQ(bars.size(), 1u);
  QScrollBar* bar = bars[0];

  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(g->TopRow(), 2);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(g->TopRow(), 8);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(g->TopRow(), 50 - 7);
  EXPECT_EQ(bar->value(), g->TopRow());
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(g->TopRow(), 1);
  EXPECT_GE(g->topLeftChanges, 4);

  // Dragging the thumb scrolls live only with goThumbTracking; letting go always does.
  bar->setSliderDown(true);
  bar->setSliderPosition(20);
  EXPECT_EQ(g->TopRow(), 1);
  bar->setSliderDown(false);
  EXPECT_EQ(g->TopRow(), 20);
  g->SetOptions(g->Options() | goThumbTracking);
  bar->setSliderDown(true);
  bar->setSliderPosition(30);
  EXPECT_EQ(g->TopRow(), 30);
  bar->setSliderDown(false);

  auto wheel = [&](int delta) {
    const QPointF at(50, 50);
    QWheelEvent e(at, g->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(g, &e);
  };
  wheel(-120);
  EXPECT_EQ(g->TopRow(), 33) << "a notch down scrolls three rows";
  wheel(60);
  EXPECT_EQ(g->TopRow(), 33) << "half a notch waits for the other half";
  wheel(60);
  EXPECT_EQ(g->TopRow(), 30);
  wheel(-120 * 20);
  EXPECT_EQ(g->TopRow(), 43);
  EXPECT_EQ(g->VertScrollBar()->Position(), 43);
  EXPECT_EQ(g->Row(), 1) << "the wheel scrolls without moving the current row";

  // Wider columns bring the horizontal bar, which takes a row's room.
  g->SetDefaultColWidth(120);
  ASSERT_TRUE(g->HorzScrollBar()->Visible());
  EXPECT_EQ(g->VisibleRowCount(), 6);
  EXPECT_EQ(g->TopRow(), 43);
  g->SetTopRow(100);
  EXPECT_EQ(g->TopRow(), 44) << "the last row ends the view";
  g->HorzScrollBar()->SetPosition(2);
  ChildrenOf<QScrollBar>(g->HorzScrollBar())[0]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(g->LeftCol(), 2);
}

// Pixels of the classic look: sunken edge, raised fixed cells, black and silver lines.
TEST(Grid, PaintsClassicLinesBevelsAndBorder) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 4 + 4 * 65 + 20, 4 + 4 * 25 + 30);
  g->SetRowCount(4);
  g->SetColCount(4);
  g->SetRow(2);
  g->SetCol(2);
  TRecordingCanvas c(g->Width(), g->Height(), clFuchsia);
  g->Render(c);
  const TColor face = ColorToRGB(clBtnFace), shadow = ColorToRGB(clBtnShadow), white = clWhite;

  EXPECT_EQ(Px(c, 0, 0), shadow) << "outer edge";
  EXPECT_EQ(Px(c, 1, 1), ColorToRGB(cl3DDkShadow)) << "inner edge";
  EXPECT_EQ(Px(c, g->Width() - 1, g->Height() - 1), white);

  const TRect fixed = g->CellRect(1, 0);
  EXPECT_EQ(Px(c, fixed.left, fixed.top), white) << "raised bevel";
  EXPECT_EQ(Px(c, fixed.right - 1, fixed.bottom - 1), shadow);
  EXPECT_EQ(Px(c, fixed.right - 1, fixed.top + 5), shadow);
  EXPECT_EQ(Px(c, fixed.left + 5, fixed.top + 5), face);
  EXPECT_EQ(Px(c, fixed.right, fixed.top + 5), clBlack) << "line between fixed cells";
  EXPECT_EQ(Px(c, fixed.left + 5, fixed.bottom), clBlack);
  const TRect side = g->CellRect(0, 1);
  EXPECT_EQ(Px(c, side.right, side.top + 5), clBlack) << "right of the fixed column";

  const TRect data = g->CellRect(1, 1);
  EXPECT_EQ(Px(c, data.left + 5, data.top + 5), white) << "window colour";
  EXPECT_EQ(Px(c, data.right, data.top + 5), clSilver);
  EXPECT_EQ(Px(c, data.left + 5, data.bottom), clSilver);
  EXPECT_EQ(Px(c, g->CellRect(3, 3).right + 5, data.top + 5), white) << "room right of the last column";
  EXPECT_EQ(Px(c, data.left + 5, g->CellRect(3, 3).bottom + 5), white) << "room below the last row";
  EXPECT_EQ(Px(c, g->CellRect(2, 2).left + 5, g->CellRect(2, 2).top + 5), ColorToRGB(clHighlight)) << "current cell";

  g->SetOptions(g->Options() & ~(goVertLine | goFixedVertLine));
  g->Render(c);
  EXPECT_EQ(g->CellRect(2, 1).left, g->CellRect(1, 1).right) << "cells touch without vertical lines";
  EXPECT_EQ(Px(c, g->CellRect(1, 1).right - 1, g->CellRect(1, 1).top + 5), white);
  EXPECT_EQ(Px(c, g->CellRect(2, 0).left, g->CellRect(2, 0).top + 5), white) << "bevel still on";

  // With KOMP_GRID_PNG set the rendering is kept there to be looked at.
  g->SetOptions(g->Options() | goVertLine | goFixedVertLine | goRowSelect);
  g->SetRowCount(12);
  g->SetColCount(7);
  if (const char* out = std::getenv("KOMP_GRID_PNG")) {
    g->writeText = true;
    g->SetColWidth(3, 30);
    ShowAndActivate(&form);
    g->SetFocus();
    ASSERT_TRUE(SaveWidgetPng(g, out));
  }
}

TEST(Grid, ShiftExtendsTheSelectionOnlyWithRangeSelect) {
  TForm form;
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 300, 200);
  g->Perform(WM_KEYDOWN, VK_DOWN, ssShift);
  g->Perform(WM_KEYDOWN, VK_RIGHT, ssShift);
  EXPECT_EQ(g->Selection(), (TGridRect{1, 1, 2, 2}));
  g->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(g->Selection(), (TGridRect{2, 3, 2, 3})) << "a plain move drops the range";
  g->SetOptions(g->Options() & ~goRangeSelect);
  g->Perform(WM_KEYDOWN, VK_UP, ssShift);
  EXPECT_EQ(g->Selection(), (TGridRect{2, 2, 2, 2}));
}

// Fewer or more fixed columns and rows on a grid not scrolled: it still starts at its first
// scrolled cell, so no column is scrolled away before the user ever scrolled; a scrolled grid
// keeps its place.
TEST(Grid, FixedCountsMoveTheStartOfAGridNotScrolled) {
  TForm form;
  auto* g = new TTestGrid(&form);
  g->SetBounds(0, 0, 200, 100);
  g->SetColCount(10);
  g->SetRowCount(30);
  g->SetDefaultColWidth(80);
  g->SetFixedCols(0);
  g->SetFixedRows(0);
  EXPECT_EQ(g->LeftCol(), 0);
  EXPECT_EQ(g->TopRow(), 0);
  g->SetFixedCols(2);
  g->SetFixedRows(1);
  EXPECT_EQ(g->LeftCol(), 2);
  EXPECT_EQ(g->TopRow(), 1);
  g->SetTopRow(7);
  g->SetFixedRows(0);
  EXPECT_EQ(g->TopRow(), 7);
}
