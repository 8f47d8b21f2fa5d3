// Text widths summed from per-font tables of the 256 code page 1252 advances. Measuring every
// cell of a large table, or every character a layout wraps, through Qt's fonts is slow; each
// character is asked once per font and resolution instead. Kerning is left out, as a sum of
// character widths leaves it out.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "framework/gui/canvas.h"

namespace komp {

class TTextWidths {
 public:
  // Width of a one-line text at `ppi`. Colour and angle do not change widths: fonts that differ
  // only there share a table.
  int64_t Width(const TFont& f, std::string_view text, int ppi = 96);
  // Height of the letter "A": the line height of a font.
  int Height(const TFont& f, int ppi = 96);

 private:
  struct Table {
    TFont font;
    int ppi = 96;
    std::array<int32_t, 256> w{};
    int32_t h = -1;
  };
  Table& For(const TFont& f, int ppi);
  std::vector<Table> tables_;  // most recently used first
};

}  // namespace komp
