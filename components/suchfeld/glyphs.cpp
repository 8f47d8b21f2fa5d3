#include "components/suchfeld/glyphs.h"

#include <string>
#include <vector>

namespace komp::suchfeld_glyphs {

namespace {
using Pattern = std::vector<std::string>;

// 'X' is drawn in the ink colour, 'o' in a light fill, anything else stays background.
void Put(TBitmap& b, int x0, int y0, const Pattern& p, TColor ink) {
  for (int y = 0; y < int(p.size()); ++y)
    for (int x = 0; x < int(p[size_t(y)].size()); ++x) {
      char c = p[size_t(y)][size_t(x)];
      if (c == 'X') b.Canvas().SetPixel(x0 + x, y0 + y, ink);
      else if (c == 'o') b.Canvas().SetPixel(x0 + x, y0 + y, RGB(214, 234, 255));
    }
}

TBitmap Blank(int w, int h) {
  TBitmap b(w, h);
  b.Canvas().Brush.Color = clFuchsia;
  b.Canvas().Brush.Style = TBrushStyle::Solid;
  b.Canvas().FillRect({0, 0, w, h});
  b.Transparent = true;
  b.TransparentColor = clFuchsia;
  return b;
}

const Pattern kPfeil = {
    "XXXXX",
    ".XXX.",
    "..X..",
};
const Pattern kHistorie = {
    "XXXXX",
    ".....",
    "XXXXX",
    ".XXX.",
    "..X..",
};
const Pattern kA = {
    "..XXX..",
    ".XX.XX.",
    "XX...XX",
    "XX...XX",
    "XXXXXXX",
    "XX...XX",
    "XX...XX",
    "XX...XX",
    "XX...XX",
};
const Pattern ka = {
    ".XXXX.",
    "....XX",
    ".XXXXX",
    "XX..XX",
    "XX..XX",
    ".XXXXX",
};
const Pattern kLupe = {
    "..XXXX......",
    ".XXooXX.....",
    "XXooooXX....",
    "XooooooX....",
    "XooooooX....",
    "XXooooXX....",
    ".XXooXXX....",
    "..XXXXXXX...",
    ".......XXX..",
    "........XXX.",
    ".........XXX",
    "..........X.",
};
constexpr int kGrossW = 14, kGrossH = 9;

void Aa(TBitmap& b, int x0, bool gross, TColor ink) {
  if (gross) {
    Put(b, x0, 0, kA, ink);
    Put(b, x0 + 8, 3, ka, ink);
  } else {
    Put(b, x0, 3, ka, ink);
    Put(b, x0 + 8, 3, ka, ink);
  }
}
}  // namespace

TBitmap Spaltenpfeil() {
  TBitmap b = Blank(5, 3);
  Put(b, 0, 0, kPfeil, clBlack);
  return b;
}

TBitmap Historie() {
  TBitmap b = Blank(5, 5);
  Put(b, 0, 0, kHistorie, clBlack);
  return b;
}

TBitmap Gross() {
  TBitmap b = Blank(4 * kGrossW, kGrossH);
  Aa(b, 0 * kGrossW, false, clBlack);
  Aa(b, 1 * kGrossW, false, clGray);
  Aa(b, 2 * kGrossW, true, clNavy);
  Aa(b, 3 * kGrossW, true, clBlack);
  return b;
}

TBitmap Lupe() {
  TBitmap b = Blank(12, 12);
  Put(b, 0, 0, kLupe, clBlack);
  return b;
}

}  // namespace komp::suchfeld_glyphs
