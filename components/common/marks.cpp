#include "components/common/marks.h"

namespace komp::marks {

namespace {

// 'X' ink, 'o' the lens, '.' transparent ground.
using Muster = const char* [12];
const Muster kAuf = {
    "..........", "..........", "....X.....", "...XXX....", "..XXXXX...", ".XXXXXXX..",
    "XXXXXXXXX.", "...XXX....", "...XXX....", "...XXX....", "...XXX....", "..........",
};
const Muster kAb = {
    "..........", "...XXX....", "...XXX....", "...XXX....", "...XXX....", "XXXXXXXXX.",
    ".XXXXXXX..", "..XXXXX...", "...XXX....", "....X.....", "..........", "..........",
};
const Muster kSuch = {
    "..XXXX....", ".X....X...", "X..oo..X..", "X.oooo.X..", "X.oooo.X..", "X..oo..X..",
    ".X....X...", "..XXXXXX..", "......XXX.", ".......XXX", "........XX", "..........",
};

TBitmap Zeichne(const Muster& m, TColor ink) {
  TBitmap b(10, kHeight);
  TCanvas& c = b.Canvas();
  c.Brush.Color = clFuchsia;
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect({0, 0, 10, kHeight});
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < 10 && m[y][x]; ++x) {
      if (m[y][x] == 'X') c.SetPixel(x, y, ink);
      else if (m[y][x] == 'o') c.SetPixel(x, y, RGB(255, 255, 160));
    }
  b.Transparent = true;
  b.TransparentColor = clFuchsia;
  return b;
}

}  // namespace

const TBitmap& SortUp() {
  static const TBitmap b = Zeichne(kAuf, clBlack);
  return b;
}
const TBitmap& SortDown() {
  static const TBitmap b = Zeichne(kAb, clBlack);
  return b;
}
const TBitmap& Search() {
  static const TBitmap b = Zeichne(kSuch, clNavy);
  return b;
}

}  // namespace komp::marks
