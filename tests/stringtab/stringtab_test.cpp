#include <gtest/gtest.h>

#include "components/stringtab/stringtab.h"

using namespace komp;

namespace {
std::vector<std::string> Cells(const TStringTab& t) {
  std::vector<std::string> v;
  for (auto& item : t.GetStrings()) v.push_back(item.text);
  return v;
}
TStringList List(std::initializer_list<const char*> texts) {
  TStringList l;
  for (auto* s : texts) l.Add(s);
  return l;
}
}  // namespace

TEST(StringTab, SetTabKeepsTheRowCountWithinItsBounds) {
  TStringTab t;
  EXPECT_EQ(t.MinimumRows, 0);
  EXPECT_EQ(t.MaximumRows, -1);
  EXPECT_EQ(t.RecordRow(), -1);
  EXPECT_EQ(t.ColCount(), 0);

  t.MinimumRows = 5;
  t.Set_Tab(2, 3);
  EXPECT_EQ(t.GetRowCount(true), 5);
  EXPECT_EQ(t.GetRowCount(false), 4);
  EXPECT_EQ(t.ColCount(), 3);

  t.MinimumRows = 0;
  t.MaximumRows = 10;
  t.Set_Tab(20, 3);
  EXPECT_EQ(t.GetRowCount(true), 10);
  t.MaximumRows = -1;
  t.Set_Tab(20, 3);
  EXPECT_EQ(t.GetRowCount(true), 20);
  t.MaximumRows = 0;
  t.Set_Tab(20, 3);
  EXPECT_EQ(t.GetRowCount(true), 20);

  // A new content forgets the cells and the current record.
  t.SetCell(2, 0, "a");
  ASSERT_EQ(t.RecordRow(), 0);
  t.Set_Tab(4, 2);
  EXPECT_EQ(t.GetStrings().Count(), 0);
  EXPECT_EQ(t.RecordRow(), -1);
  EXPECT_EQ(t.GetCell(2, 0), "");

  // Nonsense sizes give an empty table, not a negative one.
  t.Set_Tab(-3, -1);
  EXPECT_EQ(t.GetRowCount(true), 0);
  EXPECT_EQ(t.GetRowCount(false), -1) << "the row count minus 1, even without a title row";
  EXPECT_EQ(t.ColCount(), 0);
}

TEST(StringTab, SetCellPadsTheListAndTheFirstDataWriteMakesARecord) {
  TStringTab t;
  t.Set_Tab(5, 3);
  t.SetCell(0, 2, "Titel");
  EXPECT_EQ(t.RecordRow(), -1) << "a title cell is no record";
  t.SetCell(3, 1, "M\xFC" "ller");
  ASSERT_EQ(t.GetStrings().Count(), 11);
  EXPECT_EQ(t.GetStrings()[10], "M\xFC" "ller");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(t.GetStrings()[i], i == 2 ? "Titel" : "") << i;
  EXPECT_EQ(t.RecordRow(), 0);
  EXPECT_EQ(t.GetCell(3, 1), "M\xFC" "ller");

  // Replacing an entry keeps the list length; the record stays where it is.
  t.SetZeile(2);
  t.SetCell(3, 1, "Meier");
  t.SetCell(1, 0, "x");
  EXPECT_EQ(t.GetStrings().Count(), 11);
  EXPECT_EQ(t.GetCell(3, 1), "Meier");
  EXPECT_EQ(t.RecordRow(), 2);
  EXPECT_EQ(t.GetRecordCell(1), "Meier");
  EXPECT_EQ(t.GetRecordCell(3), "");

  // Outside the table nothing is written.
  auto before = Cells(t);
  t.SetCell(5, 0, "row too far");
  t.SetCell(1, 3, "column too far");
  t.SetCell(-1, 0, "negative row");
  t.SetCell(1, -1, "negative column");
  EXPECT_EQ(Cells(t), before);

  // Reading beyond the list or the columns gives empty cells.
  EXPECT_EQ(t.GetCell(4, 2), "");
  EXPECT_EQ(t.GetCell(400, 0), "");
  EXPECT_EQ(t.GetCell(3, 3), "");
  EXPECT_EQ(t.GetCell(-1, 0), "");

  TStringTab empty;
  empty.SetCell(0, 0, "x");
  EXPECT_EQ(empty.GetStrings().Count(), 0);
  EXPECT_EQ(empty.GetRecordCell(0), "");
}

TEST(StringTab, InsertRowWithAndWithoutValues) {
  TStringTab t;
  t.Set_Tab(3, 2);
  t.SetCell(0, 0, "A");
  t.SetCell(0, 1, "B");
  t.SetCell(1, 0, "a1");
  t.SetCell(1, 1, "b1");
  t.SetCell(2, 0, "a2");
  t.SetCell(2, 1, "b2");

  // Values fill the new cells row by row; missing values give empty cells.
  TStringList v = List({"x1", "y1", "x2"});
  EXPECT_EQ(t.InsertRow(2, &v, 2), 2);
  EXPECT_EQ(t.GetRowCount(true), 5);
  EXPECT_EQ(Cells(t), (std::vector<std::string>{"A", "B", "a1", "b1", "x1", "y1", "x2", "", "a2", "b2"}));

  // -1 appends after the last row.
  TStringList one = List({"z", "w"});
  EXPECT_EQ(t.InsertRow(-1, &one, 1), 5);
  EXPECT_EQ(t.GetCell(5, 0), "z");
  EXPECT_EQ(t.GetCell(5, 1), "w");
  EXPECT_EQ(t.GetRowCount(true), 6);

  // Without values inside the list: empty cells move the rest down.
  EXPECT_EQ(t.InsertRow(1, nullptr, 1), 1);
  EXPECT_EQ(t.GetCell(1, 0), "");
  EXPECT_EQ(t.GetCell(2, 0), "a1");
  EXPECT_EQ(t.GetStrings().Count(), 14);

  // Refused: no rows, or a position past the end.
  EXPECT_EQ(t.InsertRow(1, &v, 0), -1);
  EXPECT_EQ(t.InsertRow(8, &v, 1), -1);
  EXPECT_EQ(t.InsertRow(-2, &v, 1), -1);
  EXPECT_EQ(t.GetRowCount(true), 7);
  EXPECT_EQ(t.GetStrings().Count(), 14);
}

TEST(StringTab, InsertRowBeyondTheListIsVirtualUnlessValuesAreGiven) {
  TStringTab t;
  t.Set_Tab(4, 2);
  t.SetCell(0, 0, "A");
  TStringList none;
  EXPECT_EQ(t.InsertRow(3, &none, 2), 3);
  EXPECT_EQ(t.GetRowCount(true), 6);
  EXPECT_EQ(t.GetStrings().Count(), 1) << "no values: the list stays as it is";
  EXPECT_EQ(t.GetCell(4, 1), "");

  TStringList v = List({"p", "q"});
  EXPECT_EQ(t.InsertRow(3, &v, 1), 3);
  EXPECT_EQ(t.GetStrings().Count(), 8) << "padded to the insertion point, then one row";
  EXPECT_EQ(t.GetCell(3, 0), "p");
  EXPECT_EQ(t.GetCell(3, 1), "q");
  EXPECT_EQ(t.GetCell(2, 1), "");
  EXPECT_EQ(t.GetRowCount(true), 7);
}

TEST(StringTab, DeleteRowRemovesItsCellsAndFollowsTheRecord) {
  TStringTab t;
  t.Set_Tab(5, 2);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 2; ++c) t.SetCell(r, c, std::string(1, char('a' + r)) + char('0' + c));
  auto all = Cells(t);

  t.DeleteRow(0);
  t.DeleteRow(5);
  t.DeleteRow(-1);
  EXPECT_EQ(Cells(t), all);
  EXPECT_EQ(t.GetRowCount(true), 5);

  t.SetZeile(2);  // row 3
  t.DeleteRow(4);  // after the record: it stays
  EXPECT_EQ(t.RecordRow(), 2);
  EXPECT_EQ(t.GetRowCount(true), 4);
  EXPECT_EQ(t.GetRecordCell(0), "d0");

  t.DeleteRow(1);  // before the record: it moves with its data
  EXPECT_EQ(t.RecordRow(), 1);
  EXPECT_EQ(t.GetRecordCell(0), "d0");
  EXPECT_EQ(Cells(t), (std::vector<std::string>{"a0", "a1", "c0", "c1", "d0", "d1"}));

  t.DeleteRow(2);  // the record itself: the one before becomes current
  EXPECT_EQ(t.RecordRow(), 0);
  EXPECT_EQ(t.GetRecordCell(0), "c0");
  t.DeleteRow(1);
  EXPECT_EQ(t.RecordRow(), -1);
  EXPECT_EQ(t.GetRowCount(true), 1);
  EXPECT_EQ(Cells(t), (std::vector<std::string>{"a0", "a1"}));

  // A row the list does not reach only lowers the count.
  t.Set_Tab(6, 2);
  t.SetCell(1, 0, "x");
  t.DeleteRow(4);
  EXPECT_EQ(t.GetRowCount(true), 5);
  EXPECT_EQ(t.GetStrings().Count(), 3);

  TStringTab empty;
  empty.DeleteRow(1);
  EXPECT_EQ(empty.GetRowCount(true), 0);
}

TEST(StringTab, SetZeileAndClear) {
  TStringTab t;
  t.Set_Tab(4, 2);  // data rows 0..2
  t.SetZeile(2);
  EXPECT_EQ(t.RecordRow(), 2);
  t.SetZeile(3);
  EXPECT_EQ(t.RecordRow(), -1);
  t.SetZeile(0);
  EXPECT_EQ(t.RecordRow(), 0);
  t.SetZeile(-5);
  EXPECT_EQ(t.RecordRow(), -1);

  t.SetCell(0, 0, "Titel");
  t.SetCell(2, 1, "x");
  t.Clear(false);
  EXPECT_EQ(t.GetRowCount(true), 1);
  EXPECT_EQ(t.GetRowCount(false), 0) << "only the title row";
  EXPECT_EQ(t.ColCount(), 2);
  EXPECT_EQ(t.GetCell(0, 0), "");
  EXPECT_EQ(t.RecordRow(), -1);
  t.Clear(true);
  EXPECT_EQ(t.GetRowCount(true), 0);
  EXPECT_EQ(t.GetRowCount(false), -1);
  EXPECT_EQ(t.ColCount(), 0);
  t.Clear(false);
  EXPECT_EQ(t.GetRowCount(true), 0) << "an empty table does not gain a title row";
}

namespace {
// A 6-row table (title and five data rows) with the given texts in column 1.
void Fill(TStringTab& t, std::vector<std::string> column) {
  t.Set_Tab(int(column.size()) + 1, 2);
  t.SetCell(0, 1, "Name");
  for (size_t i = 0; i < column.size(); ++i) t.SetCell(int(i) + 1, 1, column[i]);
  t.SetZeile(-1);
}
}  // namespace

TEST(StringTab, FindRowVisitsFromTheStartRowAndWrapsOnce) {
  TStringTab t;
  // The first prefix match in search order wins, so pairs of prefix matches show the order
  // 3, 4, 5, 1, 2 from row 3.
  struct Case {
    std::vector<std::string> cells;
    int expected;
  } cases[] = {
      {{"", "", "xa", "xb", ""}, 3}, {{"", "", "", "xa", "xb"}, 4}, {{"xa", "", "", "", "xb"}, 5},
      {{"xa", "xb", "", "", ""}, 1}, {{"", "xb", "", "", ""}, 2},
  };
  for (auto& c : cases) {
    Fill(t, c.cells);
    EXPECT_EQ(t.FindRow("x", 1, 3, false), c.expected) << c.cells[0] << "|" << c.cells[1];
  }

  // A full match ends the search even after an earlier prefix match.
  Fill(t, {"Alpha", "Alp", "Alpen", "", ""});
  SuchResult r;
  EXPECT_EQ(t.FindRow("alp", 1, 1, false, &r), 2);
  EXPECT_EQ(r.Row, 2);
  EXPECT_EQ(r.Matched, 3);
  EXPECT_EQ(r.Rest, 0);

  // Start rows outside the data rows start at row 1; -1 starts at the current record value.
  Fill(t, {"xa", "", "", "xb", ""});
  EXPECT_EQ(t.FindRow("x", 1, 0, false), 1);
  EXPECT_EQ(t.FindRow("x", 1, 6, false), 1);
  EXPECT_EQ(t.FindRow("x", 1, -1, false), 1);
  t.SetZeile(2);
  EXPECT_EQ(t.FindRow("x", 1, -1, false), 4);

  // The title row is never searched.
  EXPECT_EQ(t.FindRow("Name", 1, 1, true), -1);
  // Nor is anything outside the columns or in a table without data rows.
  EXPECT_EQ(t.FindRow("", 2, 1, false), -1);
  TStringTab empty;
  empty.Set_Tab(1, 2);
  EXPECT_EQ(empty.FindRow("", 0, 1, false), -1);
}

TEST(StringTab, FindRowFoldsCaseOfLettersAndUmlautsOnly) {
  TStringTab t;
  Fill(t, {"M\xFC" "ller", "m\xFC" "ller", "Meier", "\xC4" "rger", "abc"});
  SuchResult r;
  EXPECT_EQ(t.FindRow("mue", 1, 1, false, &r), -1) << "u is no \xFC";
  EXPECT_EQ(r.Row, -1) << "an unfound search leaves the record alone";

  EXPECT_EQ(t.FindRow("M\xDC", 1, 2, false, &r), 2);
  EXPECT_EQ(r.Row, 2);
  EXPECT_EQ(r.Matched, 2);
  EXPECT_EQ(r.Rest, 4);
  EXPECT_EQ(t.FindRow("\xE4" "RGER", 1, 1, true, &r), 4);
  EXPECT_EQ(r.Matched, 5);
  EXPECT_EQ(r.Rest, 0);
  EXPECT_EQ(t.FindRow("ABC", 1, 1, true), 5);
  EXPECT_EQ(t.FindRow("meier", 1, 1, true), 3);

  // Exact takes only cells equal apart from case; a longer text never matches a shorter cell.
  EXPECT_EQ(t.FindRow("m\xFC", 1, 1, true), -1);
  EXPECT_EQ(t.FindRow("m\xFC", 1, 1, false), 1);
  EXPECT_EQ(t.FindRow("abcd", 1, 1, false), -1);
  EXPECT_EQ(t.FindRow("abd", 1, 1, false), -1);
  // Digits and other bytes keep their case bit: '1' (0x31) is not the control byte 0x11.
  Fill(t, {"\x11", "1"});
  EXPECT_EQ(t.FindRow("1", 1, 1, true), 2);
}
