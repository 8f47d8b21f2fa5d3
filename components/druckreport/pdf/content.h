// Content stream fragments: one call appends one complete fragment to a page's
// stream. Coordinates are whole points measured from the page's top-left
// corner, as the layout places them; pageHeight (H) turns them bottom-up.
//
//   AppendColor      "r g b rg" (fill, for text) or "RG" (stroke, for shapes)
//   AppendText       one line of text in Times-Roman (/F1) or Times-Bold (/F2)
//   AppendRectangle  outline, width 1
//   AppendLine       top-left to bottom-right of the box
//   AppendEllipse    inscribed in the box, four Bézier curves, width 1
//   AppendEscaped    a code page 1252 text as the inside of a PDF string
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/types.h"

namespace komp::pdf {

// A size of 0 (or below) would make text invisible ("0 Tf"); such text is
// written at this size, the size the report uses when nothing else is set.
constexpr int kDefaultFontSize = 10;
inline int EffectiveFontSize(int size) { return size > 0 ? size : kDefaultFontSize; }

// The colour as an RGB triple: system colours (bit 31 set, whatever the
// palette bits 24-30 say) through the framework's table, other values by
// their low 24 bits.
TColor ResolveColor(TColor c);

void AppendColor(std::string& out, TColor c, bool fill);
void AppendEscaped(std::string& out, std::string_view cp1252);
void AppendText(std::string& out, int64_t pageHeight, int64_t x, int64_t y, std::string_view cp1252,
                int size, bool bold);
void AppendRectangle(std::string& out, int64_t pageHeight, int64_t x, int64_t y, int64_t w, int64_t h);
void AppendLine(std::string& out, int64_t pageHeight, int64_t x, int64_t y, int64_t w, int64_t h);
void AppendEllipse(std::string& out, int64_t pageHeight, int64_t x, int64_t y, int64_t w, int64_t h);

}  // namespace komp::pdf
