// TIconTab's model: tabs, SetTabelle, SetCell, GetCell, lazy cells, widths, grouping, counts.
//
//   tabs        GetTabelle, SetTabelle, SetSelectTab, ClearTabs
//   measuring   text widths from the per-font tables, the "Keine Angaben" minimum
//   cells       SetCell (widths, lines, numeric flags, grouping, the new-record row), GetCell
//   lazy cells  GetDaten
//   reading     Get_Spalten, GetStrings, GetRowCells, counts, the record-count hint
//   columns     SetFixedRows, SetFixedCols, SetColWidth, SetTyp, sort mark, Str_in_Zahl
#include <algorithm>
#include <climits>
#include <new>

#include "components/icontab/icontab.h"
#include "components/icontab/icontab_editor.h"
#include "components/suchfeld/suchfeld.h"
#include "framework/gui/services.h"

namespace komp {

namespace {
const char kKeineAngaben[] = "Keine Angaben";

}  // namespace

bool TIconTab::newRowRunning_ = false;

// ---------------------------------------------------------------- tabs

Tabdefinition* TIconTab::TabOrSelected(int Tab) const {
  if (Tab < 0) return selected_;
  return Tab < int(tabs_.size()) ? tabs_[size_t(Tab)].get() : nullptr;
}

Tabdefinition* TIconTab::GetTabelle(int Tab, bool Create) {
  if (Tab < 0) return selected_;
  if (Tab < int(tabs_.size())) return tabs_[size_t(Tab)].get();
  if (!Create || Tab != int(tabs_.size())) return nullptr;
  auto t = std::make_unique<Tabdefinition>();
  t->Nummer = Tab;
  t->FontSize = Font().Size;
  t->StatusSymbole = StdStatus;
  t->Format = DefaultAnzeige == A_Restore ? A_Tabelle : DefaultAnzeige;
  tabs_.push_back(std::move(t));
  return tabs_.back().get();
}

int TIconTab::GetSelectTab() const { return selected_ ? selected_->Nummer : -1; }

int TIconTab::GetClickTab() const { return clicked_ ? clicked_->Nummer : -1; }

void TIconTab::SetSelectTab(int Tab) {
  Tabdefinition* t = Tab >= 0 && Tab < int(tabs_.size()) ? tabs_[size_t(Tab)].get() : nullptr;
  if (t == selected_) return;
  if (t) ChangeRow(-1, t);
  selected_ = t;
}

void TIconTab::SetTabelle(unsigned Rows, unsigned Cols, int MaxCols, int Tab) {
  update_ = true;
  currentCol_ = -1;
  Tabdefinition* t = GetTabelle(Tab < 0 ? GetSelectTab() < 0 ? 0 : GetSelectTab() : Tab, true);
  if (!t) return;
  selected_ = t;
  t->FixedRows = std::max(0, StdFixedRows);
  t->FixedCols = std::max(0, StdFixedCols);
  t->StatusSymbole = StdStatus;
  clicked_ = t;
  if (int(Cols) != t->RealCols) t->EditMask = 0;
  t->Zellen.clear();
  t->Zellen.shrink_to_fit();
  t->Numerisch.clear();
  t->Zeilen.clear();
  t->Zeilen.shrink_to_fit();
  t->Pool.Clear();
  t->Spalten.clear();
  t->ZellFarben.clear();
  t->TotalHeight = 0;

  // Counts that do not fit the model's 32-bit rows and columns are refused like a lack of memory.
  const int64_t target = Rows == 0 ? 2 : int64_t(Rows) + (NeuerDatensatz ? 1 : 0);
  if (target > INT_MAX - 1 || Cols > unsigned(INT_MAX)) {
    t->RealCols = t->Cols = t->ActiveCols = 0;
    t->CurrentRow = -1;
    MessageBox(kSpeicherText, "Fehler");
    return;
  }
  try {
    t->RealCols = int(Cols);
    t->Spalten.assign(Cols, TColumnDef{});
    t->Cols = (MaxCols <= 0 || int(Cols) < MaxCols) ? int(Cols) : MaxCols;
    t->Zeilen.reserve(size_t(target));
    RowDef init;
    init.Height = DefaultRowHeight;
    init.Fetch = DatenCols;
    for (int64_t i = 0; i < target; ++i) t->Zeilen.push_back(t->Pool.New(init));
    t->TotalHeight = target * DefaultRowHeight;
    t->Numerisch.assign(Cols, 1);
  } catch (const std::bad_alloc&) {
    t->Zeilen.clear();
    t->Pool.Clear();
    t->Spalten.clear();
    t->Numerisch.clear();
    t->RealCols = t->Cols = t->ActiveCols = 0;
    t->TotalHeight = 0;
    t->CurrentRow = -1;
    MessageBox(kSpeicherText, "Fehler");
    return;
  }
  // Filling writes every cell once: room for them up front when it is to be had.
  try {
    t->Zellen.reserve(size_t(std::min<int64_t>(target * int64_t(Cols), int64_t(1) << 28)));
  } catch (const std::bad_alloc&) {
  }
  for (TColumnDef& c : t->Spalten) c = {AutoBreite ? -1 : DefaultColWidth, -1, 0};
  t->LabelWidth = 0;
  if (sortCol_ > t->Cols - 1) sortCol_ = 0;

  const int rows = int(target);
  const int old = t->CurrentRow;
  if (AutoSelect && t->FixedRows < rows) {
    if (old < t->FixedRows || old >= rows) {
      t->CurrentRow = t->FixedRows;
      focusCol_ = t->FixedCols;
    }
  } else if (old < t->FixedRows || old >= rows) {
    t->CurrentRow = -1;
    focusCol_ = -1;
  }
  if (t->CurrentRow != old) vPos_ = 0;
  if (SuchModus && such_) such_->Set_Spalte(-1);
  t->ActiveCols = t->Cols;
  if (AutoUpdate) FEndUpdate(false);
}

void TIconTab::ClearTabs(int Tab) {
  if (Tab < 0) {
    tabs_.clear();
    selected_ = clicked_ = nullptr;
  } else {
    if (Tab >= int(tabs_.size())) return;
    Tabdefinition* t = tabs_[size_t(Tab)].get();
    if (selected_ == t) selected_ = nullptr;
    if (clicked_ == t) clicked_ = nullptr;
    tabs_.erase(tabs_.begin() + Tab);
    // The later tabs move up: their numbers follow their places.
    for (size_t i = size_t(Tab); i < tabs_.size(); ++i) tabs_[i]->Nummer = int(i);
  }
  if (!update_) {
    SetGroesse();
    Invalidate();
  }
}

// ---------------------------------------------------------------- measuring

int TIconTab::MeasureLine(const Tabdefinition& t, std::string_view s, bool bold) const {
  TFont f = Font();
  f.Size = t.FontSize;
  f.Height = 0;
  if (bold) f.Style |= fsBold;
  return int(std::min<int64_t>(widths_.Width(f, s), INT_MAX / 2));
}

int TIconTab::TextHeight(int size, bool bold) const {
  TFont f = Font();
  f.Size = size;
  f.Height = 0;
  if (bold) f.Style |= fsBold;
  return widths_.Height(f);
}

int TIconTab::MinWidth(const Tabdefinition& t) const { return MeasureLine(t, kKeineAngaben) + 4; }

int TIconTab::ZusatzWidth(const Tabdefinition& t) const {
  return Zusatztext.empty() ? 0 : MeasureLine(t, Zusatztext);
}

bool TIconTab::IsCellNumeric(std::string_view s) {
  for (char ch : s)
    if (!((ch >= '0' && ch <= '9') || ch == '.')) return false;
  return true;
}

// ---------------------------------------------------------------- cells

void TIconTab::SetCell(unsigned ARow, unsigned ACol, std::string_view Str, TColor Color, int Icon, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t || t->RowCount() == 0 || ARow >= unsigned(t->RowCount()) || ACol >= unsigned(t->RealCols)) return;
  const int row = int(ARow), col = int(ACol);
  RowDef* r = t->Zeilen[size_t(row)];
  layoutChanged_ = false;
  if (Color != 0) r->Color = Color;
  if (Icon >= 0) r->Icon = Icon;

  const int64_t index = int64_t(row) * t->RealCols + col;
  const int64_t had = t->CellCount();
  if (index >= had) {
    // The padded cells read empty: with "Keine Angaben" their columns must hold that text.
    if (KeineAngaben && index > had) {
      const int minWidth = MinWidth(*t);
      int left = t->RealCols;
      std::vector<uint8_t> done(size_t(t->RealCols), 0);
      for (int64_t j = had; j < index && left > 0; ++j) {
        const int c = int(j % t->RealCols);
        if (done[size_t(c)]) continue;
        const RowDef* pr = t->Row(int(j / t->RealCols));
        if (pr && (pr->Art & 1)) continue;
        TColumnDef& cd = t->Spalten[size_t(c)];
        if (cd.Widest < minWidth + 4) {
          cd.Widest = minWidth + 4;
          cd.Width = std::max(cd.Width, minWidth + 4);
        }
        done[size_t(c)] = 1;
        --left;
      }
    }
  }
  try {
    if (index >= had) t->Zellen.resize(size_t(index) + 1);
    t->Zellen[size_t(index)].Assign(Str);
  } catch (const std::bad_alloc&) {
    MessageBox(kSpeicherText, "Fehler");
    return;
  }
  WidenFor(*t, row, col, Str);

  if (col == 0 && (r->Art & 1)) {
    SetRowArtIn(*t, row, r->Art, false);
    layoutChanged_ = false;
  }

  // Text typed into the new-record row: the row becomes a record and a new one follows.
  if (row == t->RowCount() - 1 && NeuerDatensatz && !Str.empty() && !newRowRunning_) {
    layoutChanged_ = true;
    if (OnNewRow) {
      bool enabled = true;
      const bool lock = update_;
      const std::shared_ptr<bool> alive = alive_;
      update_ = true;
      newRowRunning_ = true;
      TIconNewRowEvent handler = OnNewRow;
      try {
        handler(this, row, enabled, t->Nummer);
      } catch (...) {
        newRowRunning_ = false;
        if (*alive) update_ = lock;
        throw;
      }
      newRowRunning_ = false;
      if (!*alive) return;
      update_ = lock;
      // The handler may have removed the row or the tab.
      if (!enabled || !HasTab(t) || row != t->RowCount() - 1) {
        if (Repaints()) {
          SetGroesse();
          Invalidate();
        }
        return;
      }
    }
    const int current = t->CurrentRow;
    InsertRows(*t, t->RowCount(), nullptr, 1, -1);
    t->CurrentRow = current;
    if (Repaints()) {
      SetGroesse();
      Invalidate();
      if (selected_) SetRecordHint(RecordCount(*selected_));
    }
    return;
  }
  if (layoutChanged_) {
    if (Repaints()) {
      SetGroesse();
      Invalidate();
    }
  } else if (!update_) {
    InvalidateRow(*t, row);
  }
}

// Widths, line count, label width, numeric flag and grouping after a cell was written.
void TIconTab::WidenFor(Tabdefinition& t, int row, int col, std::string_view s) {
  RowDef* r = t.Zeilen[size_t(row)];
  int contentWidth = 0;
  bool numeric = true;
  if (s.empty()) {
    contentWidth = KeineAngaben ? MinWidth(t) : 4;
  } else {
    int lines = 1;
    size_t start = 0;
    int widest = 0;
    const size_t scan = std::min<size_t>(s.size(), 1000);
    const bool shown = col < t.Cols;
    for (size_t i = 0; i < scan; ++i) {
      if (s[i] != '\r') continue;
      if (shown) widest = std::max(widest, MeasureLine(t, s.substr(start, i - start)));
      ++lines;
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (shown) {
      widest = std::max(widest, MeasureLine(t, s.substr(start, std::max(scan, start) - start)));
      contentWidth = widest + 4;
    }
    numeric = lines == 1 && IsCellNumeric(s);
    if (shown && lines > r->Lines) {
      const int height = std::max(DefaultRowHeight, TextHeight(t.FontSize) * (lines - 1) + DefaultRowHeight);
      r->Lines = lines;
      RowHeightChanged(t, *r, height);
      layoutChanged_ = true;
    }
  }
  if (SuchModus && such_ && row + 1 == t.FixedRows && col < t.ActiveCols) such_->Set_Spalten_Name(std::string(s), col);
  if (row == 0 && col > 0 && col >= t.FixedCols && col < t.ActiveCols && contentWidth != 0)
    t.LabelWidth = std::max(t.LabelWidth, MeasureLine(t, s, true) + MeasureLine(t, ": "));
  const bool dataRow = row >= t.FixedRows;
  TColumnDef& cd = t.Spalten[size_t(col)];
  if (dataRow && cd.Widest < contentWidth) {
    cd.Widest = contentWidth;
    cd.WidestRow = row;
  }
  if (AutoBreite && col < t.ActiveCols && (row > 0 || MitUeberschrift) && !(r->Art & 1)) {
    int want;
    if (dataRow || (!such_ && !sortierung_)) want = contentWidth + (col == t.FixedCols ? ZusatzWidth(t) : 0) + 4;
    else want = contentWidth + 16;
    if (cd.Width < want) {
      cd.Width = want;
      layoutChanged_ = true;
    }
  }
  if (dataRow && !numeric && t.Numerisch[size_t(col)]) {
    t.Numerisch[size_t(col)] = 0;
    // A column that stops being numeric joins the groups: rows written before regroup.
    if (Group && col > t.FixedCols && col < t.Cols - 1)
      for (int k = t.FixedRows + 1; k < t.RowCount(); ++k) Regroup(t, k);
  }
  if (Group && col < t.Cols - 1) {
    Regroup(t, row);
    Regroup(t, row + 1);
  }
}

std::string TIconTab::GetCell(int ACol, int ARow, int Tab) {
  Tabdefinition* t = Tab < 0 ? (ARow == -1 ? clicked_ : selected_) : TabOrSelected(Tab);
  if (!t) return {};
  if (ACol == -1) {
    ACol = currentCol_;
    if (t->CurrentRow >= 0) ARow = t->CurrentRow;
  } else if (ARow == -1) {
    if (!selectionShown_) return {};
    ARow = t->CurrentRow;
  }
  if (ARow < 0 || ARow >= t->RowCount() || ACol < 0 || ACol >= t->RealCols) return {};
  // The cell being edited reads as the editor shows it.
  if (editorOpen_ && editor_ && editor_->Tab == t && editor_->Row == ARow && editor_->Column == ACol)
    return editor_->GetTextStr(0);
  return FetchedCell(*t, ARow, ACol);
}

std::string TIconTab::FetchedCell(Tabdefinition& tab, int ARow, int ACol) {
  Tabdefinition* t = &tab;
  if (ARow < 0 || ARow >= t->RowCount() || ACol < 0 || ACol >= t->RealCols) return {};
  // Without a handler nothing is fetched: the row record need not be read.
  if (OnGetDaten && ColumnBit(t->Zeilen[size_t(ARow)]->Fetch, ACol)) {
    const RowDef* r = t->Zeilen[size_t(ARow)];
    const std::shared_ptr<bool> alive = alive_;
    GetDaten(ARow, t);
    // The handler may have freed the control, or deleted the row: the row now in its place was
    // not fetched.
    if (!*alive || !HasTab(t) || ARow >= t->RowCount() || t->Zeilen[size_t(ARow)] != r) return {};
  }
  return std::string(t->Cell(ARow, ACol));
}

// ---------------------------------------------------------------- lazy cells

void TIconTab::GetDaten(int ARow, Tabdefinition* Tab) {
  Tabdefinition* t = Tab ? Tab : selected_;
  if (!OnGetDaten || !t || ARow < 0 || ARow >= t->RowCount()) return;
  RowDef* r = t->Zeilen[size_t(ARow)];
  const uint32_t mask = r->Fetch;
  // Cleared first, so that a handler reading this row does not fetch it again.
  r->Fetch = 0;
  TStringList list;
  for (int c = 0; c < t->RealCols; ++c) list.Add(std::string(t->Cell(ARow, c)));
  const TStringList before = list;
  const bool lock = update_;
  const std::shared_ptr<bool> alive = alive_;
  update_ = true;
  TIconGetDatenEvent handler = OnGetDaten;
  try {
    handler(this, ARow, list, mask, t->Nummer);
  } catch (...) {
    if (*alive) update_ = lock;
    throw;
  }
  if (!*alive) return;
  // The handler may have deleted the row or the tab meanwhile.
  if (!HasTab(t) || ARow >= t->RowCount() || t->Zeilen[size_t(ARow)] != r) {
    update_ = lock;
    return;
  }
  bool changed = false;
  for (int c = 0; c < t->RealCols; ++c) {
    if (c < list.Count() && c < before.Count() && list[c] == before[c]) continue;
    SetCell(unsigned(ARow), unsigned(c), c < list.Count() ? std::string_view(list[c]) : std::string_view(),
            r->Color, r->Icon, t->Nummer);
    changed |= layoutChanged_;
    if (!*alive) return;
    // An OnNewRow handler run by the write may have removed the row or the tab.
    if (!HasTab(t) || ARow >= t->RowCount()) {
      update_ = lock;
      return;
    }
  }
  update_ = lock;
  layoutChanged_ = changed;
}

bool TIconTab::HasTab(const Tabdefinition* t) const {
  for (const auto& p : tabs_)
    if (p.get() == t) return true;
  return false;
}

void TIconTab::SetDatenCols(int ARow, uint32_t Mask, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  RowDef* r = t ? t->Row(ARow) : nullptr;
  if (!r) return;
  r->Fetch = Mask;
  if (ARow <= t->TopRow + t->FixedRows && !update_) Invalidate();
}

uint32_t TIconTab::GetDatenCols(int ARow, int Tab) const {
  const Tabdefinition* t = TabOrSelected(Tab);
  const RowDef* r = t ? t->Row(ARow) : nullptr;
  return r ? r->Fetch : 0;
}

// ---------------------------------------------------------------- reading

void TIconTab::GetRowCells(int ARow, TStringList& Strings) {
  Strings.Clear();
  Tabdefinition* t = selected_;
  if (!t || ARow < 0 || ARow >= t->RowCount()) return;
  for (int c = 0; c < t->RealCols; ++c) Strings.Add(std::string(t->Cell(ARow, c)));
}

void TIconTab::Get_Spalten(TStringList& Strings, int From, bool OnlyNumeric) {
  Strings.Clear();
  if (tabs_.empty()) return;
  const Tabdefinition& t = *tabs_.back();
  if (t.FixedRows <= 0) return;
  const int titleRow = t.FixedRows - 1;
  for (int c = std::max(0, From); c < t.ActiveCols; ++c) {
    if (OnlyNumeric && !t.Numerisch[size_t(c)]) continue;
    const int64_t index = int64_t(titleRow) * t.RealCols + c;
    std::string title = index < t.CellCount() ? std::string(t.Cell(titleRow, c)) : "Spalte " + std::to_string(c + 1);
    Strings.Add(std::move(title), reinterpret_cast<void*>(intptr_t(c)));
  }
}

TStringList TIconTab::GetStrings(int Tab) const {
  TStringList out;
  const Tabdefinition* t = TabOrSelected(Tab);
  if (!t) return out;
  for (const TCellText& c : t->Zellen) out.Add(std::string(c.View()));
  return out;
}

int TIconTab::GetRowCount(bool WithFixed, int Tab) const {
  const Tabdefinition* t = TabOrSelected(Tab);
  if (!t) return 0;
  return WithFixed ? t->RowCount() : t->RowCount() - t->FixedRows;
}

int TIconTab::GetColCount() const { return selected_ ? selected_->Cols : 0; }
int TIconTab::GetRealColCount() const { return selected_ ? selected_->RealCols : 0; }
int TIconTab::GetFixedRows() const { return selected_ ? selected_->FixedRows : 0; }

int64_t TIconTab::RecordCount(const Tabdefinition& t) const {
  return std::max<int64_t>(0, int64_t(t.RowCount()) - t.FixedRows - (NeuerDatensatz ? 1 : 0));
}

void TIconTab::SetRecordHint(int64_t n) {
  hint_ = std::to_string(n) + (n == 1 ? " Datensatz" : " Datens\xE4tze") + " in der Tabelle";
  SetHint(hint_);
}

void TIconTab::FEndUpdate(bool Lock) {
  update_ = Lock;
  if (!tabs_.empty()) {
    if (!selected_) selected_ = tabs_.front().get();
    int64_t n = 0;
    for (const auto& t : tabs_)
      if (t->ActiveCols > 0) n += RecordCount(*t);
    SetRecordHint(n);
    if (SuchModus && such_) such_->Set_Spalte(SuchSpalte);
  }
  if (!Lock) {
    SetGroesse();
    Invalidate();
  }
}

// ---------------------------------------------------------------- columns

void TIconTab::SetFixedRows(int Rows, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t || Rows < 0) return;
  t->FixedRows = Rows;
  if (t->CurrentRow >= 0 && t->CurrentRow < Rows) {
    t->CurrentRow = -1;
    const int next = NextRow(false, 0, t);
    t->CurrentRow = next >= Rows ? next : -1;
  }
  if (Repaints()) {
    SetGroesse();
    Invalidate();
  }
}

void TIconTab::SetFixedCols(int Cols, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t || Cols < 0) return;
  t->FixedCols = Cols;
  SetGroesse();
  Invalidate();
}

void TIconTab::SetColWidth(int Col, int Width) {
  Tabdefinition* t = selected_;
  if (!t || Col < 0 || Col >= t->Cols) return;
  TColumnDef& c = t->Spalten[size_t(Col)];
  c.Width = c.Widest = Width;
  c.WidestRow = 1;
  if (!update_) {
    SetGroesse();
    Invalidate();
  }
}

void TIconTab::SetTyp(int Col) {
  if (selected_ && Col >= 1 && Col < selected_->RealCols) selected_->Numerisch[size_t(Col)] = 1;
}

char TIconTab::FSort_Spalte() const { return char((sortDown_ ? 0x80 : 0) | std::min(sortCol_, 127)); }

void TIconTab::WSort_Spalte(char Spalte) {
  sortCol_ = uint8_t(Spalte) & 0x7F;
  sortDown_ = (uint8_t(Spalte) & 0x80) != 0;
  Invalidate();
}

void TIconTab::SetOrder(bool on) {
  sortierung_ = on;
  Invalidate();
}

int64_t TIconTab::Str_in_Zahl(std::string_view Text) {
  int64_t value = 0;
  int decimals = -1;  // -1: no separator yet
  bool saturated = false;
  const size_t n = std::min<size_t>(Text.size(), 16);
  for (size_t i = 0; i < n; ++i) {
    const char ch = Text[i];
    if (ch == ',' || ch == '.') {
      if (decimals >= 0) break;
      decimals = 0;
      continue;
    }
    if (ch < '0' || ch > '9') continue;
    if (value > (INT64_MAX - (ch - '0')) / 10) saturated = true;
    else value = value * 10 + (ch - '0');
    if (decimals >= 0 && ++decimals == 2) break;
  }
  for (int d = std::max(decimals, 0); d < 2; ++d) {
    if (value > INT64_MAX / 10) saturated = true;
    else value *= 10;
  }
  return saturated ? INT64_MAX : value;
}

}  // namespace komp
