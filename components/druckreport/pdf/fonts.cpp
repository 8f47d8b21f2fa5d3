#include "components/druckreport/pdf/fonts.h"

#include "components/druckreport/pdf/content.h"

namespace komp::pdf {

int64_t TextWidthUnits(std::string_view text, bool bold) {
  const uint16_t* widths = bold ? kTimesBold : kTimesRoman;
  int64_t sum = 0;
  for (const char ch : text) sum += widths[static_cast<unsigned char>(ch)];
  return sum;
}

double TextWidth(std::string_view text, bool bold, int size) {
  return double(TextWidthUnits(text, bold)) * EffectiveFontSize(size) / 1000.0;
}

std::string FontDictionary(bool bold) {
  std::string d = "<< /Type /Font\r/Subtype /Type1\r/BaseFont /";
  d += bold ? "Times-Bold" : "Times-Roman";
  d += "\r/Encoding /WinAnsiEncoding\r>>\r";
  return d;
}

}  // namespace komp::pdf
