// TStringTab: a non-visual table of strings (a title row, then data rows) with one current
// record. The report engine reads its data from string tables; the icon table completes
// in-cell input from one with FindRow.
#pragma once
#include <cstdint>
#include <string>

#include "framework/gui/controls.h"
#include "framework/stringlist.h"

namespace komp {

// Result of a row search: the row found (-1 none), the characters matched at the start of its
// cell, and the characters of that cell after the match.
struct SuchResult {
  int32_t Row = -1;
  int32_t Matched = 0;
  int32_t Rest = 0;
};

class TStringTab : public TComponent {
 public:
  explicit TStringTab(QObject* owner = nullptr);

  // Published, in this order.
  int MinimumRows = 0;   // lower bound of the row count given to Set_Tab
  int MaximumRows = -1;  // upper bound of it; 0 or below: none
  int RecordRow() const { return recordRow_; }  // data row of the current record, -1 none
  int ColCount() const { return colCount_; }

  // Empties the table and gives it rows (with the title row, bounded by MinimumRows and
  // MaximumRows) and columns.
  void Set_Tab(int Rows, int Cols);
  // Writing a data row's cell while there is no current record makes the first data row current.
  void SetCell(int Row, int Col, const std::string& Text);
  std::string GetCell(int Row, int Col) const;
  // A cell of the current record (row RecordRow + 1).
  std::string GetRecordCell(int Col) const;
  // With the title row, or the row count minus 1 (so -1 for a table without any row).
  int GetRowCount(bool WithTitle) const;
  // All: no rows and no columns left; otherwise only an empty title row remains.
  void Clear(bool All);
  // Inserts Count rows before row Position (-1: after the last), filled row by row from Values
  // (missing values give empty cells). The index of the first inserted row, or -1 when refused.
  int InsertRow(int Position, const TStringList* Values = nullptr, int Count = 1);
  // Deletes a data row; the current record keeps pointing at the same data where it can.
  void DeleteRow(int Row);
  // Makes data row Row current; out of range means none.
  void SetZeile(int Row);
  // The cells, row by row: cell (r, c) is entry r * ColCount + c; the list may be shorter.
  TStringList& GetStrings() { return cells_; }
  const TStringList& GetStrings() const { return cells_; }
  // Searches column Col for a cell equal to Text (letters and umlauts in either case), or,
  // unless Exact, starting with it; StartRow -1 starts at the current record. Wraps around
  // once and never looks at the title row. The row found or -1; fills Result when found.
  int FindRow(const std::string& Text, int Col, int StartRow, bool Exact, SuchResult* Result = nullptr) const;

 private:
  // Entry of a cell in the list, or -1 outside the table.
  int64_t Index(int Row, int Col) const;

  int rowCount_ = 0;
  int colCount_ = 0;
  int recordRow_ = -1;
  TStringList cells_;
};

namespace Stringtab {
// Puts TStringTab on the palette page "Beispiele".
void Register();
}  // namespace Stringtab

}  // namespace komp
