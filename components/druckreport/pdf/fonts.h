// The two standard Type 1 fonts the PDF uses, Times-Roman (/F1) and
// Times-Bold (/F2), both with WinAnsiEncoding so that code page 1252 bytes
// are written as they are; and their glyph widths for measuring text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace komp::pdf {

// Advance widths in 1/1000 em per code page 1252 byte (times_metrics.cpp).
extern const uint16_t kTimesRoman[256];
extern const uint16_t kTimesBold[256];

// Width of a text in 1/1000 em, as a reader draws it from the written string
// (control bytes have no glyph, undefined bytes are written as "?").
int64_t TextWidthUnits(std::string_view cp1252, bool bold);
// Width in points at a font size in points (size 0 or below: the default size).
double TextWidth(std::string_view cp1252, bool bold, int size);

// The dictionary of font object /F1 or /F2, from "<<" to ">>\r".
std::string FontDictionary(bool bold);

}  // namespace komp::pdf
