// TIconTab's layout: scroll ranges and the child scroll bars, scrolling, where a row and a cell
// are, the first visible row, measured column widths.
//
//   SetGroesse      ranges of both bars from the rows and columns that do not fit
//   Hor_Change,
//   Ver_Change      scroll codes of the bars (WM_HSCROLL, WM_VSCROLL) and the wheel
//   RowPlace        the rectangle of a row in client coordinates, false when not visible
//   GetZellRect     the same for one cell
//   GetTopRow, GetColBreiten
#include <algorithm>
#include <climits>

#include "components/icontab/icontab.h"
#include "framework/gui/stdctrls.h"

namespace komp {

int TIconTab::ClientW() const { return std::max(0, Width() - (vbar_ && vbar_->Visible() ? kBar : 0)); }
int TIconTab::ClientH() const { return std::max(0, Height() - (hbar_ && hbar_->Visible() ? kBar : 0)); }

// ---------------------------------------------------------------- ranges

void TIconTab::SetGroesse(int, int, int) {
  if (inGroesse_) return;
  inGroesse_ = true;
  const int W = Width(), H = Height();
  bool vShown = false, hShown = false;
  int vRange = 0, hRange = 0;
  // Each bar takes room from the other direction: settle both in two rounds.
  for (int round = 0; round < 3; ++round) {
    const int cw = W - (vShown ? kBar : 0), ch = H - (hShown ? kBar : 0);
    hRange = 0;
    vRange = 0;
    const int avail = ch - titleHeight_;
    // The new-row band goes into whichever tab is drawn first: its room is taken once.
    int64_t used = neueZeile_ ? neueZeileHeight_ : 0;
    bool full = false;
    for (size_t ti = tabs_.size(); ti-- > 0;) {
      const Tabdefinition& t = *tabs_[ti];
      if (t.Format != A_Tabelle) continue;
      // Columns: from the last shown one leftwards while they fit beside the fixed ones.
      int64_t fixedW = 0;
      for (int c = 0; c < std::min(t.FixedCols, t.Cols); ++c) fixedW += ColWidth(t, c);
      int64_t sum = 0;
      int k = t.Cols - 1;
      for (; k >= t.FixedCols; --k) {
        sum += ColWidth(t, k);
        if (fixedW + sum > cw - 2) break;
      }
      if (k >= t.FixedCols) hRange = std::max(hRange, std::min(k + 1 - t.FixedCols, t.Cols - 1 - t.FixedCols));
      // Rows: from the last upwards while they fit below the title band.
      if (full) {
        vRange += std::max(0, t.DataRows());
        continue;
      }
      for (int r = 0; r < std::min(t.FixedRows, t.RowCount()); ++r) used += t.Zeilen[size_t(r)]->Height;
      int r = t.RowCount() - 1;
      for (; r >= t.FixedRows; --r) {
        const int h = t.Zeilen[size_t(r)]->Height;
        if (used + h > avail) {
          full = true;
          break;
        }
        used += h;
      }
      vRange += std::max(0, r - t.FixedRows + 1);
      if (used + kTabGap <= avail) used += kTabGap;
    }
    const bool v = vRange >= 1, h = hRange > 0;
    if (v == vShown && h == hShown) break;
    vShown = v;
    hShown = h;
  }
  vRange_ = std::max(0, vRange);
  hRange_ = std::max(0, hRange);
  vPos_ = std::clamp(vPos_, 0, vRange_);
  hPos_ = std::clamp(hPos_, 0, hRange_);
  if (vRange_ < 1) vPos_ = 0;
  vbar_->SetVisible(vShown);
  hbar_->SetVisible(hShown);
  rightMargin_ = vShown ? kBar : 0;
  PlaceBars();
  inGroesse_ = false;
}

void TIconTab::PlaceBars() {
  const int W = Width(), H = Height();
  const bool v = vbar_->Visible(), h = hbar_->Visible();
  if (v) {
    vbar_->SetBounds(W - kBar, 0, kBar, H - (h ? kBar : 0));
    const int page = std::max(1, (ClientH() - titleHeight_) / std::max(1, DefaultRowHeight));
    vbar_->SetParams(0, 0, 0);
    vbar_->SetPageSize(0);
    vbar_->SetParams(vPos_, 0, vRange_ + page - 1);
    vbar_->SetPageSize(page);
    vbar_->SetPosition(vPos_);
  }
  if (h) {
    hbar_->SetBounds(0, H - kBar, W - (v ? kBar : 0), kBar);
    hbar_->SetParams(0, 0, 0);
    hbar_->SetPageSize(0);
    hbar_->SetParams(hPos_, 0, hRange_);
    hbar_->SetPageSize(1);
    hbar_->SetPosition(hPos_);
  }
}

// ---------------------------------------------------------------- scrolling

void TIconTab::Hor_Change(int code, int pos) {
  if (barTrack_ >= 0 && (code == SB_THUMBPOSITION || code == SB_THUMBTRACK)) pos = barTrack_;
  barTrack_ = -1;
  int p = hPos_;
  switch (code) {
    case SB_LINEUP: p -= 1; break;
    case SB_LINEDOWN: p += 1; break;
    case SB_PAGEUP: p -= 10; break;
    case SB_PAGEDOWN: p += 10; break;
    case SB_TOP: p = 0; break;
    case SB_BOTTOM: p = hRange_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: p = pos; break;
    case SB_ENDSCROLL: hbar_->SetPosition(hPos_); return;
    default: return;
  }
  p = std::clamp(p, 0, hRange_);
  if (code != SB_THUMBTRACK) hbar_->SetPosition(p);
  if (p == hPos_) return;
  hPos_ = p;
  Invalidate();
}

void TIconTab::Ver_Change(int code, int pos) {
  const int barTrack = barTrack_;
  barTrack_ = -1;
  int64_t p = vPos_;
  const int page = std::max(1, (ClientH() - titleHeight_) / std::max(1, DefaultRowHeight));
  switch (code) {
    case SB_LINEUP: p -= 1; break;
    case SB_LINEDOWN: p += 1; break;
    case SB_PAGEUP: p -= page; break;
    case SB_PAGEDOWN: p += page; break;
    case SB_TOP: p = 0; break;
    case SB_BOTTOM: p = vRange_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The bar's own 32-bit position when it is in range; the message's 16 bits otherwise.
      const int track = barTrack >= 0 ? barTrack : vbar_->Position();
      p = track >= 0 && track <= vRange_ ? track : pos;
      break;
    }
    case SB_ENDSCROLL: vbar_->SetPosition(vPos_); return;
    default: return;
  }
  p = std::clamp<int64_t>(p, 0, vRange_);
  if (code != SB_THUMBTRACK) vbar_->SetPosition(int(p));
  if (p == vPos_) return;
  vPos_ = int(p);
  Invalidate();
}

// ---------------------------------------------------------------- places

bool TIconTab::WalkRows(const RowVisitor& at, const std::function<void(int y)>& band) {
  const int top = titleHeight_, bottom = ClientH();
  int64_t y = top;
  int64_t p = vPos_;
  bool first = true;
  // By index: a visitor that fetches lazy cells may run host code that changes the tabs; it
  // then stops the walk.
  for (size_t ti = 0; ti < tabs_.size(); ++ti) {
    Tabdefinition& t = *tabs_[ti];
    if (y >= bottom) break;
    t.TopRow = int(std::min<int64_t>(p, INT_MAX));
    if (t.Format != A_Tabelle) continue;
    if (p > 0 && p >= t.DataRows()) {
      p -= std::max(0, t.DataRows());
      continue;
    }
    if (first && neueZeile_ && t.FixedRows == 0) {
      if (band) band(int(y));
      y += neueZeileHeight_;
    }
    const int fixed = std::min(t.FixedRows, t.RowCount());
    for (int r = 0; r < fixed && y < bottom; ++r) {
      if (at(t, r, int(y), false)) return true;
      y += t.Zeilen[size_t(r)]->Height;
    }
    if (first && neueZeile_ && t.FixedRows > 0 && y < bottom) {
      if (band) band(int(y));
      y += neueZeileHeight_;
    }
    const int64_t firstData = t.FixedRows + p;
    for (int64_t r = firstData; r < t.RowCount() && y < bottom; ++r) {
      if (at(t, int(r), int(y), r == firstData)) return true;
      y += t.Zeilen[size_t(r)]->Height;
    }
    p = 0;
    first = false;
    if (y > top) y += kTabGap;
  }
  return false;
}

bool TIconTab::RowPlace(Tabdefinition& tab, int row, TRect& out) {
  const int right = ClientW();
  return WalkRows([&](Tabdefinition& t, int r, int y, bool) {
    if (&t != &tab || r != row) return false;
    out = {0, y, right, y + t.Zeilen[size_t(r)]->Height};
    return true;
  });
}

void TIconTab::InvalidateRow(Tabdefinition& t, int row) {
  TRect r;
  if (RowPlace(t, row, r)) update(r.left, r.top, r.Width(), r.Height());
}

int TIconTab::ColWidth(const Tabdefinition& t, int col) const {
  const int w = t.Spalten[size_t(col)].Width;
  if (w >= 0) return w;
  // Not measured yet: room for "Keine Angaben", or the default width.
  return KeineAngaben ? MinWidth(t) + 4 : DefaultColWidth;
}

int64_t TIconTab::ColumnLeft(const Tabdefinition& t, int col) const {
  int64_t x = 0;
  for (int c = 0; c < std::min(col, t.FixedCols); ++c) x += ColWidth(t, c);
  for (int c = t.FixedCols + hPos_; c < col; ++c) x += ColWidth(t, c);
  return x;
}

bool TIconTab::GetZellRect(TRect& Rect, int ACol, int ARow, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t || ACol < 0 || ACol >= t->Cols || ARow < 0 || ARow >= t->RowCount()) return false;
  TRect row;
  if (!RowPlace(*t, ARow, row)) return false;
  const RowDef& r = *t->Zeilen[size_t(ARow)];
  // A caption row is one cell across the width, wherever the columns stand.
  if (r.Art & 1) {
    int64_t away = 0;
    for (int c = t->FixedCols; c < std::min(t->FixedCols + hPos_, t->Cols); ++c) away += ColWidth(*t, c);
    Rect = {int(-std::min<int64_t>(away, INT_MAX / 2)), row.top, ClientW(), row.bottom};
    return true;
  }
  // A column scrolled away to the left is not visible either.
  if (ACol >= t->FixedCols && ACol < t->FixedCols + hPos_) return false;
  const int64_t left = ColumnLeft(*t, ACol);
  if (left >= ClientW()) return false;
  int64_t right = left + ColWidth(*t, ACol);
  if (ACol == t->Cols - 1 && uint32_t(r.Extent) > uint32_t(t->Cols)) right = std::max<int64_t>(right, ClientW());
  Rect = {int(left), row.top, int(std::min<int64_t>(right, INT_MAX)), row.bottom};
  return true;
}

int TIconTab::GetTopRow(int Tab) {
  const Tabdefinition* t = TabOrSelected(Tab);
  if (!t) return 0;
  return t->TopRow + t->FixedRows;
}

// ---------------------------------------------------------------- measured widths

int TIconTab::GetColBreiten(TCanvas& Canvas, Breiten& B, int Tab, int, bool Measure) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t) return 0;
  TFont normal = Canvas.Font, bold = Canvas.Font;
  bold.Style |= fsBold;
  const int ppi = Canvas.Font.PixelsPerInch;
  B.Widths.assign(size_t(t->Cols) + 1, 0);
  const bool had = B.Widest.size() == size_t(t->Cols);
  if (!had) B.Widest.assign(size_t(t->Cols), -1);
  const int margin = int(2 * widths_.Width(normal, "W", ppi));
  B.Widths[0] = margin;
  int64_t total = margin;
  for (int c = 0; c < t->Cols; ++c) {
    int64_t widest = 0;
    auto measure = [&](int row) {
      const TFont& f = row == 0 && t->FixedRows > 0 ? bold : normal;
      const int64_t w = widths_.Width(f, t->Cell(row, c), ppi);
      if (w > widest) {
        widest = w;
        B.Widest[size_t(c)] = int64_t(row) * t->RealCols + c;
      }
    };
    if (Measure) {
      B.Widest[size_t(c)] = -1;
      for (int r = 0; r < t->RowCount(); ++r)
        if (r == 0 || r >= t->FixedRows) measure(r);
    } else {
      int64_t index = had ? B.Widest[size_t(c)] : -1;
      if (index < 0) index = int64_t(std::max(0, t->Spalten[size_t(c)].WidestRow)) * t->RealCols + c;
      if (t->RealCols > 0) measure(int(index / t->RealCols));
    }
    const int w = int(std::min<int64_t>(std::max<int64_t>(widest, 10) + margin, INT_MAX / 4));
    B.Widths[size_t(c) + 1] = w;
    total += w;
  }
  return int(std::min<int64_t>(total, INT_MAX));
}

}  // namespace komp
