// The pixel images of the search field's speed buttons, drawn in code so that they stay
// crisp at 96 dpi. The background is clFuchsia and marked transparent.
#pragma once
#include "framework/gui/graphics.h"

namespace komp::suchfeld_glyphs {

TBitmap Spaltenpfeil();  // column menu: a small down arrow
TBitmap Historie();      // history list: a bar above a down arrow
TBitmap Gross();         // case toggle, 4 images: up "aa", disabled, clicked "Aa", down "Aa"
TBitmap Lupe();          // start: a magnifier

}  // namespace komp::suchfeld_glyphs
