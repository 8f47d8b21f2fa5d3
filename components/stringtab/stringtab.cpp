#include "components/stringtab/stringtab.h"

#include <algorithm>
#include <climits>

#include "framework/gui/registry.h"

namespace komp {

namespace {
// Letters (and the bytes between them) and the small umlauts lose bit 5, so that both cases
// compare equal; the capital umlauts have it clear already.
unsigned char Fold(unsigned char c) {
  if ((c >= 65 && c <= 122) || c == 0xE4 || c == 0xF6 || c == 0xFC) return c & ~0x20;
  return c;
}
}  // namespace

TStringTab::TStringTab(QObject* owner) : TComponent(owner) {}

int64_t TStringTab::Index(int Row, int Col) const {
  if (Row < 0 || Col < 0 || Col >= colCount_) return -1;
  int64_t i = int64_t(Row) * colCount_ + Col;
  return i <= INT_MAX ? i : -1;
}

void TStringTab::Set_Tab(int Rows, int Cols) {
  cells_.Clear();
  if (Rows < MinimumRows)
    Rows = MinimumRows;
  else if (MaximumRows > 0 && MaximumRows < Rows)
    Rows = MaximumRows;
  rowCount_ = std::max(Rows, 0);
  colCount_ = std::max(Cols, 0);
  recordRow_ = -1;
}

void TStringTab::SetCell(int Row, int Col, const std::string& Text) {
  if (rowCount_ == 0 || Row >= rowCount_) return;
  int64_t i = Index(Row, Col);
  if (i < 0) return;
  while (cells_.Count() < i) cells_.Add("");
  if (cells_.Count() == i)
    cells_.Add(Text);
  else
    cells_.SetString(int(i), Text);
  if (Row > 0 && recordRow_ == -1) recordRow_ = 0;
}

std::string TStringTab::GetCell(int Row, int Col) const {
  int64_t i = Index(Row, Col);
  if (i < 0 || i >= cells_.Count()) return {};
  return cells_[int(i)];
}

std::string TStringTab::GetRecordCell(int Col) const {
  if (recordRow_ == -1) return {};
  return GetCell(recordRow_ + 1, Col);
}

int TStringTab::GetRowCount(bool WithTitle) const {
  // Without the title a table that has no rows at all gives -1; callers clamp it themselves.
  return WithTitle ? rowCount_ : rowCount_ - 1;
}

void TStringTab::Clear(bool All) {
  cells_.Clear();
  if (All) {
    rowCount_ = 0;
    colCount_ = 0;
  } else if (rowCount_ > 0) {
    rowCount_ = 1;
  }
  recordRow_ = -1;
}

int TStringTab::InsertRow(int Position, const TStringList* Values, int Count) {
  if (Position == -1) Position = rowCount_;
  if (Count < 1 || Position < 0 || Position > rowCount_) return -1;
  int64_t at = int64_t(Position) * colCount_;
  int64_t n = int64_t(Count) * colCount_;
  if (at + n > INT_MAX) return -1;
  bool noValues = Values == nullptr || Values->Empty();
  if (!(cells_.Count() < at && noValues)) {
    while (cells_.Count() < at) cells_.Add("");
    for (int k = 0; k < n; ++k) cells_.Insert(int(at) + k, Values ? (*Values)[k] : std::string());
  }
  rowCount_ += Count;
  return Position;
}

void TStringTab::DeleteRow(int Row) {
  if (Row <= 0 || Row >= rowCount_) return;
  int64_t first = int64_t(Row) * colCount_;
  for (int k = 0; k < colCount_ && first < cells_.Count(); ++k) cells_.Delete(int(first));
  --rowCount_;
  if (Row - 1 <= recordRow_) --recordRow_;
}

void TStringTab::SetZeile(int Row) {
  recordRow_ = (Row < 0 || Row >= rowCount_ - 1) ? -1 : Row;
}

int TStringTab::FindRow(const std::string& Text, int Col, int StartRow, bool Exact, SuchResult* Result) const {
  if (Col < 0 || Col >= colCount_ || rowCount_ < 2) return -1;
  int start;
  if (StartRow == -1 && recordRow_ > 0)
    start = recordRow_;
  else if (StartRow < 1 || StartRow >= rowCount_)
    start = 1;
  else
    start = StartRow;

  int found = -1, foundMatched = 0, foundLength = 0;
  int candidate = -1, candidateMatched = 0, candidateLength = 0;
  auto visit = [&](int row) {
    std::string cell = GetCell(row, Col);
    size_t n = 0;
    while (n < Text.size() && n < cell.size() &&
           Fold(static_cast<unsigned char>(Text[n])) == Fold(static_cast<unsigned char>(cell[n])))
      ++n;
    if (n == Text.size() && n == cell.size()) {
      found = row;
      foundMatched = int(n);
      foundLength = int(cell.size());
      return true;
    }
    if (n == Text.size() && !Exact && int(n) > candidateMatched) {
      candidate = row;
      candidateMatched = int(n);
      candidateLength = int(cell.size());
    }
    return false;
  };
  bool stop = false;
  for (int row = start; row < rowCount_ && !stop; ++row) stop = visit(row);
  for (int row = 1; row < start && !stop; ++row) stop = visit(row);

  if (found < 0) {
    found = candidate;
    foundMatched = candidateMatched;
    foundLength = candidateLength;
  }
  if (found >= 0 && Result) *Result = {found, foundMatched, foundLength - foundMatched};
  return found;
}

namespace Stringtab {
void Register() { RegisterComponentClass<TStringTab>("Beispiele", "TStringTab"); }
}  // namespace Stringtab

}  // namespace komp
