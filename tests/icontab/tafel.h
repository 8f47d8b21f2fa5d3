// A TIconTab on a form with the test services installed, filled and scrolled as a host does,
// and the text measures the control takes its widths and heights from.
#pragma once
#include <string>
#include <vector>

#include "components/icontab/icontab.h"
#include "framework/gui/textwidths.h"
#include "framework/testing/doubles.h"

namespace komp::icontab_test {

using Zeilen = std::vector<std::vector<std::string>>;

struct Tafel {
  TTestServices dienste;
  TForm form;
  TIconTab* t;
  explicit Tafel(int hoehe = 200, int breite = 300) {
    form.SetClientSize(400, 300);
    t = new TIconTab(&form);
    t->SetBounds(0, 0, breite, hoehe);
  }
  // A tab filled row by row; the update lock is released afterwards.
  void Fuellen(const Zeilen& z, int tab = -1) {
    t->SetTabelle(unsigned(z.size()), unsigned(z[0].size()), 0, tab);
    for (size_t r = 0; r < z.size(); ++r)
      for (size_t c = 0; c < z[r].size(); ++c) t->SetCell(unsigned(r), unsigned(c), z[r][c]);
    t->FEndUpdate(false);
  }
  // Titles "c0".., rows "r<row>" in column 0, the other cells empty; every cell is written, so
  // no padding widens a column.
  void Gross(int rows, int cols) {
    t->SetTabelle(unsigned(rows + 1), unsigned(cols));
    for (int r = 0; r <= rows; ++r)
      for (int c = 0; c < cols; ++c)
        t->SetCell(unsigned(r), unsigned(c), r == 0 ? "c" + std::to_string(c) : c == 0 ? "r" + std::to_string(r) : "");
    t->FEndUpdate(false);
  }
  Tabdefinition& Tab(int n = -1) { return *t->GetTabelle(n); }
  std::vector<std::string> Spalte(int col) {
    std::vector<std::string> v;
    for (int r = 0; r < t->GetRowCount(true); ++r) v.push_back(t->GetCell(col, r));
    return v;
  }
  std::vector<int> Tiefen() {
    std::vector<int> v;
    for (int r = 0; r < t->GetRowCount(true); ++r) v.push_back(t->GetZeile(r)->Group);
    return v;
  }
  void Vert(int code, int pos = 0) { t->Perform(WM_VSCROLL, intptr_t(uint32_t(code) | (uint32_t(pos) << 16))); }
  void Hor(int code, int pos = 0) { t->Perform(WM_HSCROLL, intptr_t(uint32_t(code) | (uint32_t(pos) << 16))); }
  void Rad(int delta) { t->Perform(WM_MOUSEWHEEL, intptr_t(uint32_t(uint16_t(int16_t(delta))) << 16)); }
};

// The control font at another size or bold, as the control measures.
inline TFont Schrift(const TIconTab& t, int size = 8, bool fett = false) {
  TFont f = t.Font();
  f.Height = 0;
  f.Size = size;
  if (fett) f.Style |= fsBold;
  return f;
}
inline int Breite(const TIconTab& t, const std::string& s, bool fett = false) {
  static TTextWidths w;
  return int(w.Width(Schrift(t, 8, fett), s));
}
inline int Hoehe(const TIconTab& t, int size = 8, bool fett = false) {
  static TTextWidths w;
  return w.Height(Schrift(t, size, fett));
}

}  // namespace komp::icontab_test
