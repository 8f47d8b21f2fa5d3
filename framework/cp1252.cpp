#include "framework/cp1252.h"

namespace komp {

namespace {
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += char(u);
  } else if (u < 0x800) {
    out += char(0xC0 | (u >> 6));
    out += char(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += char(0xE0 | (u >> 12));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  } else {
    out += char(0xF0 | (u >> 18));
    out += char(0x80 | ((u >> 12) & 0x3F));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  }
}
}  // namespace

char32_t Cp1252ToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
  return c;
}

int UnicodeToCp1252(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u < 0x100)) return int(u);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == u) return 0x80 + i;
  return -1;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (unsigned char c : text) AppendUtf8(out, Cp1252ToUnicode(c));
  return out;
}

std::string Utf8ToCp1252(std::string_view text, char unmapped) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int len = 0;
    char32_t u = 0;
    if (c < 0x80) {
      len = 1;
      u = c;
    } else if ((c & 0xE0) == 0xC0) {
      len = 2;
      u = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      u = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      u = c & 0x07;
    }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) ok = false;
      else u = (u << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8 either: an overlong
    // "/" or "." must never come out of a name as one.
    if (ok && ((len == 2 && u < 0x80) || (len == 3 && (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF))) ||
               (len == 4 && (u < 0x10000 || u > 0x10FFFF))))
      ok = false;
    if (!ok) {  // not UTF-8: take the byte as Latin-1
      out += char(c);
      ++i;
      continue;
    }
    const int b = UnicodeToCp1252(u);
    out += b < 0 ? unmapped : char(b);
    i += len;
  }
  return out;
}

}  // namespace komp
