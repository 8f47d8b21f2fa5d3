#include <gtest/gtest.h>

#include <QImage>

#include "framework/gui/canvas.h"
#include "framework/gui/graphics.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/textwidths.h"

using namespace komp;

namespace {

TColor Px(TRecordingCanvas& c, int x, int y) { return FromQColor(c.Image().pixelColor(x, y)); }

// The pixels of one colour inside a rectangle.
int Count(TRecordingCanvas& c, const TRect& r, TColor colour) {
  const QImage& img = c.Image();
  int n = 0;
  for (int y = std::max(0, r.top); y < std::min(img.height(), r.bottom); ++y)
    for (int x = std::max(0, r.left); x < std::min(img.width(), r.right); ++x)
      if (FromQColor(img.pixelColor(x, y)) == colour) ++n;
  return n;
}

// Text is smoothed: its pixels are those near the text colour, with the colour's channels dominant.
int Near(TRecordingCanvas& c, const TRect& r, TColor colour, TColor background) {
  const QImage& img = c.Image();
  const QColor want = ToQColor(colour), bg = ToQColor(background);
  int n = 0;
  for (int y = std::max(0, r.top); y < std::min(img.height(), r.bottom); ++y)
    for (int x = std::max(0, r.left); x < std::min(img.width(), r.right); ++x) {
      const QColor p = img.pixelColor(x, y);
      const int dWant = std::abs(p.red() - want.red()) + std::abs(p.green() - want.green()) + std::abs(p.blue() - want.blue());
      const int dBg = std::abs(p.red() - bg.red()) + std::abs(p.green() - bg.green()) + std::abs(p.blue() - bg.blue());
      if (dWant < dBg) ++n;
    }
  return n;
}

// Bounds of the pixels that are not the background.
TRect Ink(TRecordingCanvas& c, TColor background = clWhite) {
  const QImage& img = c.Image();
  TRect r{img.width(), img.height(), -1, -1};
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (FromQColor(img.pixelColor(x, y)) != background) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r;
}

}  // namespace

TEST(Canvas, RectanglesAndLinesLeaveOutRightAndBottom) {
  TRecordingCanvas c(40, 40);
  c.Pen.Color = clBlack;
  c.Brush.Color = clRed;
  c.Rectangle(2, 2, 8, 6);
  EXPECT_EQ(Px(c, 2, 2), clBlack);
  EXPECT_EQ(Px(c, 7, 5), clBlack);
  EXPECT_EQ(Px(c, 8, 5), clWhite);
  EXPECT_EQ(Px(c, 7, 6), clWhite);
  EXPECT_EQ(Px(c, 3, 3), clRed);
  EXPECT_EQ(Count(c, {0, 0, 40, 40}, clRed), 4 * 2);
  // Without a pen the brush fills all of it.
  c.Pen.Style = TPenStyle::Clear;
  c.Rectangle(10, 2, 14, 6);
  EXPECT_EQ(Count(c, {10, 0, 20, 10}, clRed), 16);
  c.Pen.Style = TPenStyle::Solid;

  c.Brush.Color = clBlue;
  c.FillRect({20, 20, 23, 22});
  EXPECT_EQ(Count(c, {0, 0, 40, 40}, clBlue), 6);
  c.Brush.Color = clLime;
  c.FrameRect({20, 30, 25, 35});
  EXPECT_EQ(Count(c, {20, 30, 25, 35}, clLime), 16);
  EXPECT_EQ(Px(c, 22, 32), clWhite);

  TRecordingCanvas l(20, 20);
  l.Pen.Color = clBlack;
  l.MoveTo(0, 0);
  l.LineTo(5, 0);
  l.LineTo(5, 5);
  l.LineTo(0, 0);
  EXPECT_EQ(Count(l, {0, 0, 5, 1}, clBlack), 5);
  EXPECT_EQ(Px(l, 5, 0), clBlack) << "drawn as the start of the second line";
  EXPECT_EQ(Count(l, {5, 0, 6, 20}, clBlack), 6) << "5,0 to 5,4, and 5,5 starting the third line";
  EXPECT_EQ(Px(l, 5, 5), clBlack);
  EXPECT_EQ(Px(l, 4, 4), clBlack);
  EXPECT_EQ(l.PenPos, (TPoint{0, 0}));
  // A shallow line: the start point is drawn, the end point is not.
  TRecordingCanvas s(20, 20);
  s.MoveTo(0, 10);
  s.LineTo(10, 13);
  EXPECT_EQ(Px(s, 0, 10), clBlack);
  EXPECT_EQ(Px(s, 10, 13), clWhite);
  EXPECT_EQ(Count(s, {0, 0, 20, 20}, clBlack), 10);
  ASSERT_EQ(s.record.ops.size(), 1u);
  EXPECT_EQ(s.record.ops[0].kind, TCanvasOp::Line);
  EXPECT_EQ(s.record.ops[0].points, (std::vector<TPoint>{{0, 10}, {10, 13}}));
}

TEST(Canvas, ShapesFillWithTheBrushInsideTheirBounds) {
  TRecordingCanvas c(60, 30);
  c.Pen.Color = clBlue;
  c.Brush.Color = clYellow;
  c.Polygon({{10, 2}, {20, 22}, {0, 22}});
  EXPECT_EQ(Px(c, 10, 15), clYellow);
  EXPECT_EQ(Px(c, 10, 22), clBlue);
  EXPECT_EQ(Px(c, 2, 5), clWhite);
  c.Ellipse(30, 0, 50, 20);
  EXPECT_EQ(Px(c, 40, 10), clYellow);
  EXPECT_EQ(Px(c, 30, 0), clWhite);
  c.Brush.Style = TBrushStyle::Clear;
  c.RoundRect(0, 24, 60, 30, 4, 4);
  const TRect ink = Ink(c);
  EXPECT_EQ(ink.right, 60);
  EXPECT_EQ(ink.bottom, 30);
  ASSERT_EQ(c.record.ops.size(), 3u);
  EXPECT_EQ(c.record.ops[0].kind, TCanvasOp::Polygon);
  EXPECT_EQ(c.record.ops[0].rect, (TRect{0, 2, 21, 23}));
  EXPECT_EQ(c.record.ops[0].brushColor, clYellow);
  EXPECT_TRUE(c.record.ops[2].brushClear);
  // A polyline is one operation that draws joined lines.
  TRecordingCanvas p(20, 20);
  p.Polyline({{0, 0}, {5, 0}, {5, 5}});
  ASSERT_EQ(p.record.ops.size(), 1u);
  EXPECT_EQ(p.record.ops[0].kind, TCanvasOp::Polyline);
  EXPECT_EQ(Count(p, {0, 0, 20, 20}, clBlack), 10);
  EXPECT_EQ(Px(p, 5, 5), clWhite);
}

TEST(Canvas, TextIsPlacedByItsTopWithOpaqueOrClearBackground) {
  TRecordingCanvas c(200, 60);
  c.Font.Color = clRed;
  c.Brush.Color = clYellow;
  c.TextOut(10, 5, "Wq");
  const TSize ext = c.TextExtent("Wq");
  ASSERT_EQ(c.record.ops.size(), 1u);
  const TCanvasOp& op = c.record.ops[0];
  EXPECT_EQ(op.text, "Wq");
  EXPECT_EQ(op.rect, (TRect{10, 5, 10 + ext.cx, 5 + ext.cy}));
  EXPECT_EQ(op.font.Color, clRed);
  EXPECT_EQ(c.PenPos, (TPoint{10 + ext.cx, 5}));
  // The opaque cell is exactly the extent, and the text is drawn inside it.
  EXPECT_EQ(Px(c, 10, 5), clYellow);
  EXPECT_EQ(Px(c, 9, 5), clWhite);
  EXPECT_EQ(Px(c, 10, 4), clWhite);
  EXPECT_EQ(Px(c, 10 + ext.cx, 5 + ext.cy - 1), clWhite);
  const TRect cell{10, 5, 10 + ext.cx, 5 + ext.cy};
  EXPECT_GT(Near(c, cell, clRed, clYellow), 10);
  EXPECT_EQ(Ink(c), cell) << "nothing outside the cell";

  c.Brush.Style = TBrushStyle::Clear;
  c.Font.Color = clBlue;
  c.TextOut(100, 5, "Wq");
  EXPECT_EQ(Count(c, {100, 5, 100 + ext.cx, 5 + ext.cy}, clYellow), 0);
  EXPECT_GT(Near(c, {100, 5, 100 + ext.cx, 5 + ext.cy}, clBlue, clWhite), 10);

  // Clipped text: nothing beyond the rectangle, whose background is filled.
  TRecordingCanvas t(200, 60);
  t.Font.Color = clRed;
  t.Brush.Color = clYellow;
  t.TextRect({0, 0, 15, 40}, 2, 2, "WWWWWWWW");
  EXPECT_EQ(Ink(t), (TRect{0, 0, 15, 40})) << "nothing beyond the clip rectangle";
  EXPECT_GT(Near(t, {0, 0, 15, 40}, clRed, clYellow), 5);
  EXPECT_EQ(Px(t, 14, 39), clYellow);
  EXPECT_EQ(Px(t, 0, 40), clWhite);
  ASSERT_EQ(t.record.Texts().size(), 1u);
  EXPECT_TRUE(t.record.Texts()[0]->clipped);
  EXPECT_EQ(t.record.Texts()[0]->clip, (TRect{0, 0, 15, 40}));
  EXPECT_EQ(t.record.AllText(), "WWWWWWWW");
}

TEST(Canvas, FontSizesFollowTheResolution) {
  TFont f;
  EXPECT_EQ(f.PixelHeight(), 11);  // 8 points at 96 dpi
  f.Size = 10;
  EXPECT_EQ(f.PixelHeight(), 13);
  f.PixelsPerInch = 600;
  EXPECT_EQ(f.PixelHeight(), 83);
  f.Height = -12;
  EXPECT_EQ(f.PixelHeight(), 12);
  TRecordingCanvas screen(10, 10), printer(10, 10);
  printer.SetPixelsPerInch(600);
  screen.Font.Size = printer.Font.Size = 10;
  const int ws = screen.TextWidth("Druckvorschau"), wp = printer.TextWidth("Druckvorschau");
  EXPECT_NEAR(double(wp) / ws, 600.0 / 96, 0.6);
  TRecordingCanvas bold(10, 10);
  bold.Font.Size = 10;
  bold.Font.Style = fsBold;
  EXPECT_GT(bold.TextWidth("Druckvorschau"), ws);
}

TEST(Canvas, RotatedTextIsDrawnUpwards) {
  TRecordingCanvas c(100, 120);
  c.Font.Color = clBlack;
  c.Font.Size = 12;
  c.Font.Orientation = 900;
  c.Brush.Style = TBrushStyle::Clear;
  c.TextOut(40, 100, "Hallo");
  const TRect ink = Ink(c);
  const int w = c.TextWidth("Hallo"), h = c.TextHeight("Hallo");
  ASSERT_LT(ink.left, ink.right) << "nothing drawn";
  // Turned counter-clockwise about its top left corner: it runs up from y = 100, to the right of x = 40.
  EXPECT_GE(ink.left, 40);
  EXPECT_LE(ink.right, 40 + h + 1);
  EXPECT_LE(ink.bottom, 101);
  EXPECT_GE(ink.top, 100 - w - 1);
  EXPECT_GT(ink.Height(), ink.Width());
}

TEST(Canvas, InversionFocusRectAndClipping) {
  TRecordingCanvas c(20, 20);
  c.Brush.Color = clRed;
  c.FillRect({0, 0, 10, 10});
  c.InvertRect({5, 5, 15, 15});
  EXPECT_EQ(Px(c, 6, 6), clAqua);  // red inverted
  EXPECT_EQ(Px(c, 12, 12), clBlack);
  EXPECT_EQ(Px(c, 15, 15), clWhite);
  c.InvertRect({5, 5, 15, 15});
  EXPECT_EQ(Px(c, 6, 6), clRed);
  EXPECT_EQ(Px(c, 12, 12), clWhite);
  c.DrawFocusRect({2, 12, 12, 18});
  EXPECT_GT(Count(c, {2, 12, 12, 18}, clBlack), 8);
  EXPECT_EQ(Px(c, 6, 15), clWhite) << "only the frame";
  c.DrawFocusRect({2, 12, 12, 18});
  EXPECT_EQ(Count(c, {2, 12, 12, 18}, clBlack), 0) << "drawn twice, it is gone";

  TRecordingCanvas k(20, 20);
  k.SetClipRect({5, 5, 10, 10});
  k.Brush.Color = clBlue;
  k.FillRect({0, 0, 20, 20});
  EXPECT_EQ(Count(k, {0, 0, 20, 20}, clBlue), 25);
  k.ResetClip();
  k.SetPixel(0, 0, clRed);
  EXPECT_EQ(k.Pixel(0, 0), clRed);
  EXPECT_EQ(k.Pixel(20, 0), clNone);
}

TEST(Canvas, BitmapsStretchedTransparentAndCopied) {
  TBitmap b(4, 4);
  b.Canvas().Brush.Color = clLime;
  b.Canvas().FillRect({0, 0, 4, 4});
  b.Canvas().SetPixel(1, 1, clBlue);
  TRecordingCanvas c(40, 40, clRed);
  c.Draw(0, 0, b);
  EXPECT_EQ(Px(c, 1, 1), clBlue);
  EXPECT_EQ(Px(c, 0, 0), clLime);
  EXPECT_EQ(Px(c, 4, 4), clRed);
  // Transparent: the bottom-left pixel's colour is left out.
  b.Transparent = true;
  c.Draw(10, 0, b);
  EXPECT_EQ(Px(c, 11, 1), clBlue);
  EXPECT_EQ(Px(c, 10, 0), clRed);
  b.TransparentColor = clBlue;
  c.Draw(20, 0, b);
  EXPECT_EQ(Px(c, 21, 1), clRed);
  EXPECT_EQ(Px(c, 20, 0), clLime);
  b.Transparent = false;
  c.StretchDraw({0, 10, 16, 26}, b);
  EXPECT_EQ(Count(c, {0, 10, 16, 26}, clBlue), 16);
  EXPECT_EQ(Px(c, 4, 14), clBlue);
  EXPECT_EQ(Px(c, 8, 14), clLime);

  TRecordingCanvas copy(10, 10);
  copy.CopyRect({0, 0, 4, 4}, c, {10, 0, 14, 4});
  EXPECT_EQ(Px(copy, 1, 1), clBlue);
  EXPECT_EQ(Px(copy, 0, 0), clRed);
  EXPECT_EQ(Px(copy, 4, 4), clWhite);
  EXPECT_EQ(copy.record.ops.back().kind, TCanvasOp::Copy);
}

TEST(Canvas, ImageListEntriesEnabledAndDisabled) {
  TBitmap strip(8, 4);
  strip.Canvas().Brush.Color = clRed;
  strip.Canvas().FillRect({0, 0, 4, 4});
  strip.Canvas().Brush.Color = clNavy;
  strip.Canvas().FillRect({4, 0, 8, 4});
  strip.Canvas().SetPixel(0, 0, clFuchsia);
  TImageList list(4, 4);
  EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  TRecordingCanvas c(30, 10, clGreen);
  c.DrawImage(0, 0, list, 0);
  c.DrawImage(5, 0, list, 1);
  c.DrawImage(10, 0, list, 0, false);
  c.DrawImage(20, 0, list, 7);  // no such image: nothing
  EXPECT_EQ(Px(c, 1, 1), clRed);
  EXPECT_EQ(Px(c, 0, 0), clGreen) << "the mask colour is transparent";
  EXPECT_EQ(Px(c, 6, 1), clNavy);
  const TColor grey = Px(c, 11, 1);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  EXPECT_GT(GetRValue(grey), 127) << "disabled images are light";
  EXPECT_EQ(Px(c, 10, 0), clGreen);
  EXPECT_EQ(Count(c, {20, 0, 30, 10}, clGreen), 100);
  EXPECT_EQ(c.record.ops.size(), 4u);
  EXPECT_EQ(c.record.ops[1].rect, (TRect{5, 0, 9, 4}));
}

TEST(Canvas, HatchedBrushesDrawLinesAndKeepTheGround) {
  struct Case {
    TBrushStyle style;
    bool rows, columns;  // whole rows or columns of the hatch colour
  };
  const Case cases[] = {{TBrushStyle::Horizontal, true, false},
                        {TBrushStyle::Vertical, false, true},
                        {TBrushStyle::Cross, true, true},
                        {TBrushStyle::BDiagonal, false, false},
                        {TBrushStyle::FDiagonal, false, false},
                        {TBrushStyle::DiagCross, false, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(int(k.style));
    TRecordingCanvas c(60, 40, clYellow);
    c.Brush.Color = clNavy;
    c.Brush.Style = k.style;
    c.FillRect({10, 10, 42, 30});
    ASSERT_EQ(c.record.ops.size(), 1u);
    EXPECT_EQ(c.record.ops[0].brushStyle, k.style);
    const int hatch = Count(c, {10, 10, 42, 30}, clNavy), ground = Count(c, {10, 10, 42, 30}, clYellow);
    EXPECT_GT(hatch, 20);
    EXPECT_GT(ground, hatch) << "the ground between the lines stays";
    EXPECT_EQ(hatch + ground, 32 * 20) << "only the two colours";
    EXPECT_EQ(Count(c, {0, 0, 60, 40}, clNavy), hatch) << "nothing outside";
    bool row = false, column = false;
    for (int y = 10; y < 30; ++y) row = row || Count(c, {10, y, 42, y + 1}, clNavy) == 32;
    for (int x = 10; x < 42; ++x) column = column || Count(c, {x, 10, x + 1, 30}, clNavy) == 20;
    EXPECT_EQ(row, k.rows);
    EXPECT_EQ(column, k.columns);
  }
  // A hatched rectangle keeps its outline in the pen colour.
  TRecordingCanvas r(40, 40);
  r.Pen.Color = clRed;
  r.Brush.Color = clGreen;
  r.Brush.Style = TBrushStyle::BDiagonal;
  r.Rectangle(5, 5, 35, 35);
  EXPECT_EQ(Count(r, {5, 5, 35, 6}, clRed), 30);
  EXPECT_GT(Count(r, {6, 6, 34, 34}, clGreen), 28);
  EXPECT_GT(Count(r, {6, 6, 34, 34}, clWhite), 28 * 14);
}

TEST(Canvas, TextWithOwnCharacterAdvances) {
  TRecordingCanvas plain(300, 40), wide(300, 40);
  for (TRecordingCanvas* c : {&plain, &wide}) {
    c->Font.Size = 12;
    c->Font.Color = clBlack;
    c->Brush.Style = TBrushStyle::Clear;
  }
  plain.TextOut(10, 5, "IIII");
  const int w = plain.TextWidth("I");
  // Every gap 20 pixels wider: the ink spreads by three gaps.
  wide.TextOutDx(10, 5, "IIII", {w + 20, w + 20, w + 20, w});
  EXPECT_EQ(wide.record.AllText(), "IIII") << "one text operation, whole";
  EXPECT_NEAR(Ink(wide).Width(), Ink(plain).Width() + 60, 2);
  EXPECT_EQ(Ink(wide).left, Ink(plain).left);

  // Characters not wholly inside the clip box are left out, not cut.
  TRecordingCanvas clipped(300, 40);
  clipped.Font.Size = 12;
  clipped.Brush.Style = TBrushStyle::Clear;
  const int m = clipped.TextWidth("M");
  const TRect box{10, 0, 10 + 2 * m + m / 2, 40};
  clipped.TextOutDx(10, 5, "MMMM", {}, &box);
  const TRect ink = Ink(clipped);
  EXPECT_LE(ink.right, 10 + 2 * m);
  EXPECT_GT(ink.right, 10 + m);

  // A rotated font places the characters along its angle.
  TRecordingCanvas up(60, 300);
  up.Font.Size = 12;
  up.Font.Orientation = 900;
  up.Brush.Style = TBrushStyle::Clear;
  const int i = up.TextWidth("I");
  up.TextOutDx(20, 280, "III", {i + 40, i + 40, i});
  const TRect r = Ink(up);
  EXPECT_GT(r.Height(), 80);
  EXPECT_LT(r.Width(), 30);
  EXPECT_LE(r.bottom, 281);
}

// Widths summed from per-font character tables agree with measuring each character, whatever
// the colour or angle; the resolution and the style are tables of their own.
TEST(Canvas, TextWidthTablesSumCharacterWidths) {
  TTextWidths widths;
  TFont f;
  f.Size = 10;
  const std::string text = "Gr\xFC\xDF" "e, 12,50 \x80 Wq";
  for (int ppi : {72, 96, 600})
    for (int style : {0, int(fsBold)}) {
      SCOPED_TRACE(std::to_string(ppi) + " " + std::to_string(style));
      TFont g = f;
      g.Style = style;
      int64_t sum = 0;
      for (char ch : text) sum += TCanvas::MeasureText(g, std::string(1, ch), ppi).cx;
      EXPECT_EQ(widths.Width(g, text, ppi), sum);
      g.Color = clRed;
      g.Orientation = 900;
      EXPECT_EQ(widths.Width(g, text, ppi), sum) << "colour and angle share the table";
      EXPECT_EQ(widths.Height(g, ppi), TCanvas::MeasureText(g, "A", ppi).cy);
    }
  EXPECT_GT(widths.Width(f, "MMMM", 600), 5 * widths.Width(f, "MMMM", 96));
  EXPECT_EQ(widths.Width(f, ""), 0);
}
