// The marks of table headers, drawn in code: the ascending and descending sort arrows and the
// search-column magnifier, each 10 x 12 pixels on a transparent ground.
#pragma once
#include "framework/gui/graphics.h"

namespace komp::marks {

const TBitmap& SortUp();
const TBitmap& SortDown();
const TBitmap& Search();
constexpr int kHeight = 12;

}  // namespace komp::marks
