#include "framework/gui/textwidths.h"

#include <algorithm>

namespace komp {

TTextWidths::Table& TTextWidths::For(const TFont& f, int ppi) {
  if (!tables_.empty()) {
    const Table& t = tables_.front();
    if (t.ppi == ppi && t.font.Size == f.Size && t.font.Height == f.Height &&
        t.font.Style == (f.Style & (fsBold | fsItalic)) && t.font.Name == f.Name)
      return tables_.front();
  }
  TFont key;
  key.Name = f.Name;
  key.Size = f.Size;
  key.Height = f.Height;
  key.Style = f.Style & (fsBold | fsItalic);
  for (size_t i = 1; i < tables_.size(); ++i)
    if (tables_[i].ppi == ppi && tables_[i].font == key) {
      std::rotate(tables_.begin(), tables_.begin() + long(i), tables_.begin() + long(i) + 1);
      return tables_.front();
    }
  constexpr size_t kFonts = 8;
  if (tables_.size() >= kFonts) tables_.pop_back();
  Table t;
  t.font = key;
  t.ppi = ppi;
  t.w.fill(-1);
  tables_.insert(tables_.begin(), std::move(t));
  return tables_.front();
}

int64_t TTextWidths::Width(const TFont& f, std::string_view text, int ppi) {
  Table& t = For(f, ppi);
  int64_t sum = 0;
  for (unsigned char ch : text) {
    int32_t& w = t.w[ch];
    if (w < 0) w = TCanvas::MeasureText(t.font, std::string_view(reinterpret_cast<const char*>(&ch), 1), ppi).cx;
    sum += w;
  }
  return sum;
}

int TTextWidths::Height(const TFont& f, int ppi) {
  Table& t = For(f, ppi);
  if (t.h < 0) t.h = TCanvas::MeasureText(t.font, "A", ppi).cy;
  return t.h;
}

}  // namespace komp
