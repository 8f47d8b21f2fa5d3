#include "components/druckreport/pdf/content.h"

#include "components/druckreport/pdf/format.h"

namespace komp::pdf {

TColor ResolveColor(TColor c) {
  if (c & 0x80000000u) return ColorToRGB(0x80000000u | (c & 0xFFu)) & 0xFFFFFFu;
  return c & 0xFFFFFFu;
}

namespace {

// Two decimals of a 0..255 component, truncated: readers get the same digits
// the original output had ("1.0" for full intensity).
void AppendComponent(std::string& out, uint32_t component) {
  const int v = int(double(component) * 0.39215686274509803);
  if (v >= 100) {
    out += "1.0";
    return;
  }
  out += "0.";
  out += char('0' + v / 10);
  out += char('0' + v % 10);
}

void AppendPair(std::string& out, int64_t a, int64_t b) {
  AppendInt(out, a);
  out += ' ';
  AppendInt(out, b);
}

}  // namespace

void AppendColor(std::string& out, TColor c, bool fill) {
  const TColor rgb = ResolveColor(c);
  AppendComponent(out, GetRValue(rgb));
  out += ' ';
  AppendComponent(out, GetGValue(rgb));
  out += ' ';
  AppendComponent(out, GetBValue(rgb));
  out += fill ? " rg\r" : " RG\r";
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '(' || b == ')' || b == '\\') {
      out += '\\';
      out += ch;
    } else if (b < 0x20 || b == 0x7F) {
      // A raw CR or LF inside a string would be read back as LF; octal keeps every byte.
      out += '\\';
      out += char('0' + (b >> 6));
      out += char('0' + ((b >> 3) & 7));
      out += char('0' + (b & 7));
    } else if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
      // Undefined in code page 1252: readers would draw a bullet.
      out += '?';
    } else {
      out += ch;
    }
  }
}

void AppendText(std::string& out, int64_t pageHeight, int64_t x, int64_t y, std::string_view text,
                int size, bool bold) {
  const int s = EffectiveFontSize(size);
  out += bold ? "BT\r/F2 " : "BT\r/F1 ";
  AppendInt(out, s);
  out += " Tf\r";
  AppendPair(out, x, pageHeight - y);
  // The position is the line's top; a rise of minus one size puts the baseline below it.
  out += " TD\r-";
  AppendInt(out, s);
  out += " Ts\r(";
  AppendEscaped(out, text);
  out += ") Tj\rET\r";
}

void AppendRectangle(std::string& out, int64_t pageHeight, int64_t x, int64_t y, int64_t w, int64_t h) {
  out += "1 w \r";
  AppendPair(out, x, pageHeight - y - h);
  out += ' ';
  AppendPair(out, w, h);
  out += " re\rs\r";
}

void AppendLine(std::string& out, int64_t pageHeight, int64_t x, int64_t y, int64_t w, int64_t h) {
  AppendPair(out, x, pageHeight - y);
  out += " m\r";
  AppendPair(out, x + w, pageHeight - y - h);
  out += " l\rs\r";
}

void AppendEllipse(std::string& out, int64_t pageHeight, int64_t x, int64_t y, int64_t w, int64_t h) {
  const int64_t top = pageHeight - y;
  const int64_t bottom = pageHeight - y - h;
  const int64_t cx = x + w / 2;
  const int64_t cy = pageHeight - y - h / 2;
  out += "1 w \r";
  AppendPair(out, cx, bottom);
  out += " m\r ";
  AppendPair(out, x, bottom);
  out += ' ';
  AppendPair(out, x, cy);
  out += " v\r ";
  AppendPair(out, x, top);
  out += "  ";
  AppendPair(out, cx, top);
  out += " v\r ";
  AppendPair(out, x + w, top);
  out += ' ';
  AppendPair(out, x + w, cy);
  out += " v\r ";
  AppendPair(out, x + w, bottom);
  out += ' ';
  AppendPair(out, cx, bottom);
  out += " v\rs\r";
}

}  // namespace komp::pdf
