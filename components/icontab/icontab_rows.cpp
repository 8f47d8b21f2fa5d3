// TIconTab's rows: inserting, deleting, emptying, linking, row attributes, grouping, the
// current row and the per-cell colours.
//
//   InsertRow / InsertRows   rows and their cells, widths of the texts taken, grouping
//   DeleteRow, Clear         the current row moves with its record; fixed rows survive Clear
//   SetZeile, GetZeile       row records by position (the cells stay where they are)
//   row attributes           colour, icon, status, kind (height of caption rows)
//   grouping                 the depth of a row, recomputed from the data
//   current row              SetRow, GetRow, NextRow, ChangeRow, IfSelected
//   SetCellColor             the tab's cell colour table
#include <algorithm>
#include <climits>
#include <new>

#include "components/icontab/icontab.h"
#include "framework/gui/services.h"

namespace komp {

// ---------------------------------------------------------------- inserting and deleting

int TIconTab::InsertRow(int Row, const TStringList* Strings, int Count, int Extent, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t || Row < -1 || Row > t->RowCount() || Count <= 0) return -1;
  int pos = Row;
  // Appending keeps the new-record row last.
  if (Row == -1) pos = NeuerDatensatz && t->RowCount() > t->FixedRows ? t->RowCount() - 1 : t->RowCount();
  if (int64_t(t->RowCount()) + Count > INT_MAX - 1) {
    MessageBox(kSpeicherText, "Fehler");
    return -1;
  }
  const int done = InsertRows(*t, pos, Strings, Count, Extent);
  ChangeRow(-1, t);
  if (Repaints()) {
    SetGroesse();
    Invalidate();
    if (selected_) SetRecordHint(RecordCount(*selected_));
  }
  if (done < Count) {
    MessageBox(kSpeicherText, "Fehler");
    return -1;
  }
  return pos + Count;
}

int TIconTab::InsertRows(Tabdefinition& t, int pos, const TStringList* Strings, int Count, int Extent) {
  const int stride = t.RealCols;
  int taken = 0;
  RowDef init;
  init.Height = DefaultRowHeight;
  init.Fetch = DatenCols;
  init.Extent = Extent;
  int i = 0;
  try {
    for (; i < Count; ++i, ++pos) {
      RowDef* r = t.Pool.New(init);
      try {
        t.Zeilen.insert(t.Zeilen.begin() + pos, r);
      } catch (...) {
        t.Pool.Free(r);
        throw;
      }
      t.TotalHeight += r->Height;
      if (!t.ZellFarben.empty()) {
        const size_t at = std::min(t.ZellFarben.size(), size_t(pos) * size_t(t.ZellFarbenCols));
        t.ZellFarben.insert(t.ZellFarben.begin() + at, size_t(t.ZellFarbenCols), TColor(0));
      }
      const int64_t start = int64_t(pos) * stride;
      const bool more = Strings && taken < Strings->Count();
      if (stride > 0 && (t.CellCount() >= start || more)) {
        if (t.CellCount() < start) t.Zellen.resize(size_t(start));
        t.Zellen.insert(t.Zellen.begin() + start, size_t(stride), TCellText());
        for (int c = 0; c < stride; ++c) {
          if (!Strings || taken >= Strings->Count()) break;
          const std::string& s = (*Strings)[taken++];
          t.Zellen[size_t(start + c)].Assign(s);
          WidenFor(t, pos, c, s);
        }
      }
      if (Group) Regroup(t, pos);
    }
  } catch (const std::bad_alloc&) {
  }
  if (Group) Regroup(t, pos);
  return i;
}

void TIconTab::DeleteRow(int ARow) {
  Tabdefinition* t = selected_;
  if (!t || ARow < 0 || ARow >= t->RowCount()) return;
  const int64_t start = int64_t(ARow) * t->RealCols;
  if (start < t->CellCount()) {
    const int64_t end = std::min<int64_t>(start + t->RealCols, t->CellCount());
    t->Zellen.erase(t->Zellen.begin() + start, t->Zellen.begin() + end);
  }
  if (!t->ZellFarben.empty()) {
    const size_t a = std::min(t->ZellFarben.size(), size_t(ARow) * size_t(t->ZellFarbenCols));
    const size_t b = std::min(t->ZellFarben.size(), a + size_t(t->ZellFarbenCols));
    t->ZellFarben.erase(t->ZellFarben.begin() + a, t->ZellFarben.begin() + b);
  }
  RowDef* r = t->Zeilen[size_t(ARow)];
  t->TotalHeight -= r->Height;
  t->Zeilen.erase(t->Zeilen.begin() + ARow);
  t->Pool.Free(r);
  // The current row stays on its record.
  if (t->CurrentRow > ARow) --t->CurrentRow;
  if (t->CurrentRow >= t->RowCount()) t->CurrentRow = t->RowCount() - 1;
  if (t->CurrentRow < t->FixedRows) t->CurrentRow = -1;
  if (Group && ARow < t->RowCount()) Regroup(*t, ARow);
  SetGroesse();
  Invalidate();
  SetRecordHint(RecordCount(*t));
}

void TIconTab::Clear(bool All, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t) return;
  // All title rows survive (the last one names the columns), with the heights of their texts.
  std::vector<TCellText> titles;
  std::vector<RowDef> titleRows;
  if (!All && t->FixedRows > 0 && t->RowCount() > 0) {
    const int64_t n = std::min<int64_t>(int64_t(t->FixedRows) * t->RealCols, t->CellCount());
    titles.assign(t->Zellen.begin(), t->Zellen.begin() + n);
    for (int i = 0; i < std::min(t->FixedRows, t->RowCount()); ++i) titleRows.push_back(*t->Zeilen[size_t(i)]);
  }
  t->Zellen.clear();
  t->Zeilen.clear();
  t->Pool.Clear();
  t->ZellFarben.clear();
  t->TotalHeight = 0;
  if (All || t->Format == A_Bitmap || t->Format == A_Vektor) {
    t->CurrentRow = -1;
  } else {
    t->Zellen = std::move(titles);
    RowDef init;
    init.Height = DefaultRowHeight;
    init.Fetch = DatenCols;
    const int rows = t->FixedRows + (NeuerDatensatz ? 1 : 0);
    for (int i = 0; i < rows; ++i) {
      t->Zeilen.push_back(t->Pool.New(size_t(i) < titleRows.size() ? titleRows[size_t(i)] : init));
      t->TotalHeight += t->Zeilen.back()->Height;
    }
    t->CurrentRow = t->CurrentRow > 0 && t->RowCount() > 1 ? 1 : -1;
    if (t->CurrentRow >= 0 && t->CurrentRow < t->FixedRows) t->CurrentRow = -1;
  }
  SetRecordHint(0);
  SetGroesse();
  Invalidate();
}

// ---------------------------------------------------------------- row records

RowDef* TIconTab::SetZeile(int Index, RowDef* Row, Tabdefinition* Tab) {
  Tabdefinition* t = Tab ? Tab : selected_;
  if (!t) return nullptr;
  if (Row) {
    const auto it = std::find(t->Zeilen.begin(), t->Zeilen.end(), Row);
    if (it == t->Zeilen.end()) return nullptr;
    t->Zeilen.erase(it);
  } else {
    RowDef init;
    init.Height = DefaultRowHeight;
    init.Fetch = DatenCols;
    Row = t->Pool.New(init);
    t->TotalHeight += Row->Height;
  }
  if (Index < 0 || Index > t->RowCount()) Index = t->RowCount();
  t->Zeilen.insert(t->Zeilen.begin() + Index, Row);
  return Row;
}

RowDef* TIconTab::GetZeile(int Index, Tabdefinition* Tab) const {
  const Tabdefinition* t = Tab ? Tab : selected_;
  return t ? t->Row(Index) : nullptr;
}

void TIconTab::ClearZeilen(Tabdefinition* Tab) {
  if (!Tab) return;
  Tab->Zeilen.clear();
  Tab->Pool.Clear();
  Tab->TotalHeight = 0;
  Tab->CurrentRow = -1;
}

void TIconTab::RowHeightChanged(Tabdefinition& t, RowDef& r, int height) {
  t.TotalHeight += int64_t(height) - r.Height;
  r.Height = height;
}

void TIconTab::SetRowColor(int ARow, TColor Color) {
  RowDef* r = GetZeile(ARow);
  if (!r) return;
  r->Color = Color;
  if (!update_) InvalidateRow(*selected_, ARow);
}

void TIconTab::SetRowIcon(int ARow, int Icon) {
  RowDef* r = GetZeile(ARow);
  if (!r) return;
  r->Icon = Icon;
  if (!update_) InvalidateRow(*selected_, ARow);
}

void TIconTab::SetRowStatus(int ARow, int Status) {
  RowDef* r = GetZeile(ARow);
  if (!r) return;
  r->Status = Status;
  if (!update_) InvalidateRow(*selected_, ARow);
}

void TIconTab::SetRowArt(unsigned ARow, RowArt Art) {
  if (selected_ && ARow < unsigned(selected_->RowCount())) SetRowArtIn(*selected_, int(ARow), Art, true);
}

void TIconTab::SetRowArtIn(Tabdefinition& t, int row, RowArt art, bool repaint) {
  RowDef& r = *t.Zeilen[size_t(row)];
  r.Art = art;
  // A caption row groups nothing and starts a new group below it, whenever the kind is set.
  if (Group) {
    Regroup(t, row);
    Regroup(t, row + 1);
  }
  int height = DefaultRowHeight;
  if (art & 1) height = t.Cell(row, 0).empty() ? DefaultRowHeight / 2 : TextHeight(16, true);
  const bool changed = height != r.Height;
  RowHeightChanged(t, r, height);
  if (art != 0 && t.CurrentRow == row) t.CurrentRow = -1;
  if (!repaint || !Repaints()) return;
  if (changed) {
    SetGroesse();
    Invalidate();
  } else {
    InvalidateRow(t, row);
  }
}

// ---------------------------------------------------------------- grouping

// The depth of a row follows from the data alone: the leading cells from the first non-fixed
// column on that equal the cells above, stopping at a numeric column after the first and
// before the last shown column. The first data row and caption rows have none.
void TIconTab::Regroup(Tabdefinition& t, int row) {
  if (row < 0 || row >= t.RowCount()) return;
  RowDef& r = *t.Zeilen[size_t(row)];
  int depth = 0;
  if (Group && row > t.FixedRows && !(r.Art & 1) && !(t.Zeilen[size_t(row) - 1]->Art & 1) &&
      !t.Cell(row, t.FixedCols).empty()) {
    int k = t.FixedCols;
    while (k < t.Cols - 1 && k < t.RealCols && (k == t.FixedCols || !t.Numerisch[size_t(k)]) &&
           t.Cell(row, k) == t.Cell(row - 1, k))
      ++k;
    if (k > t.FixedCols) depth = std::min(k, 127);
  }
  r.Group = int8_t(depth);
}

// ---------------------------------------------------------------- current row

int TIconTab::GetRow() const {
  const Tabdefinition* t = clicked_ ? clicked_ : selected_;
  if (!selectionShown_ || !t) return -2;
  return t->CurrentRow;
}

void TIconTab::SetRow(int ARow) {
  Tabdefinition* t = clicked_ ? clicked_ : selected_;
  if (ARow == -2) {
    selectionShown_ = false;
    Invalidate();
    return;
  }
  if (!t) return;
  if (ARow == -1) {
    selectionShown_ = true;
    ChangeRow(-1, t);
    return;
  }
  ARow = std::max(ARow, t->FixedRows);
  if (ARow >= t->RowCount()) return;
  ChangeRow(ARow, t);
}

int TIconTab::NextRow(bool Up, unsigned Skip, Tabdefinition* Tab) {
  Tabdefinition* t = Tab ? Tab : selected_;
  if (!t) return -1;
  const int cur = t->CurrentRow;
  int i = cur < t->FixedRows ? (Up ? t->FixedRows + 1 : t->FixedRows - 1) : cur;
  for (;;) {
    i += Up ? -1 : 1;
    if (i < t->FixedRows || i >= t->RowCount()) break;
    if (Skip > 0) {
      --Skip;
      continue;
    }
    if (t->Zeilen[size_t(i)]->Art == 0) return i;
  }
  if (cur < t->FixedRows) return t->FixedRows < t->RowCount() ? t->FixedRows : -1;
  return cur;
}

bool TIconTab::IfSelected() const {
  const Tabdefinition* t = selected_;
  return t && selectionShown_ && t->CurrentRow >= t->FixedRows && t->CurrentRow < t->RowCount();
}

void TIconTab::ChangeRow(int ARow, Tabdefinition* Tab) {
  Tabdefinition* t = Tab ? Tab : selected_;
  if (!t) return;
  blink_ = 8;
  // A changed editor text goes to its cell before the row moves.
  if (editor_ && editor_->Modified) {
    const std::shared_ptr<bool> alive = alive_;
    TextChange();
    if (!*alive || !HasTab(t)) return;
  }
  t->CurrentRow = ARow >= t->FixedRows && ARow < t->RowCount() ? ARow : -1;
  if (!Multitabselect)
    for (const auto& o : tabs_)
      if (o.get() != t) o->CurrentRow = -1;
  // The editor closes when its cell is left; whoever moves it opens it again.
  if (editorOpen_ && editor_ && (editor_->Tab != t || editor_->Row != t->CurrentRow)) Input_Show(false);
  if (!update_) Invalidate();
}

// ---------------------------------------------------------------- cell colours

void TIconTab::SetCellColor(TColor Color, int ACol, int ARow) {
  Tabdefinition* t = selected_;
  if (!t) return;
  if (ARow < 0) {
    if (t->CurrentRow < 0) return;
    ARow = t->CurrentRow;
  }
  if (ACol < 0) {
    SetRowColor(ARow, Color);
    return;
  }
  if (ACol >= t->Cols || ARow >= t->RowCount()) return;
  if (t->ZellFarben.empty() || t->ZellFarbenCols != t->Cols) {
    try {
      std::vector<TColor> table(size_t(t->RowCount()) * size_t(t->Cols));
      for (int r = 0; r < t->RowCount(); ++r)
        std::fill_n(table.begin() + ptrdiff_t(size_t(r) * size_t(t->Cols)), t->Cols, t->Zeilen[size_t(r)]->Color);
      t->ZellFarben = std::move(table);
      t->ZellFarbenCols = t->Cols;
    } catch (const std::bad_alloc&) {
      return;
    }
    Invalidate();
  }
  if (t->ZellFarben.size() < size_t(t->RowCount()) * size_t(t->Cols)) {
    // Rows linked by SetZeile after the table was made start with their row colour.
    try {
      for (size_t r = t->ZellFarben.size() / size_t(t->Cols); r < size_t(t->RowCount()); ++r)
        t->ZellFarben.insert(t->ZellFarben.end(), size_t(t->Cols), t->Zeilen[r]->Color);
    } catch (const std::bad_alloc&) {
      return;
    }
  }
  t->ZellFarben[size_t(ARow) * size_t(t->Cols) + size_t(ACol)] = Color;
  InvalidateRow(*t, ARow);
}

}  // namespace komp
