// The in-cell editor's text model: lines, offsets (a break counts 2), caret moves, selection,
// inserting and deleting across line breaks.
#include <gtest/gtest.h>

#include "components/icontab/icontab_editor.h"

namespace komp {
namespace {

std::vector<std::string> L(std::initializer_list<const char*> v) { return {v.begin(), v.end()}; }

TEST(ZellEditor, SetStringSplitsAtCrLfCrAndLfAndGivesTheTextBack) {
  struct Fall {
    const char* ein;
    std::vector<std::string> zeilen;
    const char* aus;
    int laenge;
  };
  const Fall faelle[] = {
      {"", L({""}), "", 0},
      {"Bern", L({"Bern"}), "Bern", 4},
      {"a\r\nb", L({"a", "b"}), "a\r\nb", 4},
      {"a\nb\rc", L({"a", "b", "c"}), "a\r\nb\r\nc", 7},
      {"a\r\n", L({"a", ""}), "a\r\n", 3},
      {"\xE4\r\n\r\nx", L({"\xE4", "", "x"}), "\xE4\r\n\r\nx", 6},
  };
  for (const Fall& f : faelle) {
    TZellEditor e;
    e.SetString(-1, f.ein);
    EXPECT_EQ(e.Lines(), f.zeilen) << f.ein;
    EXPECT_EQ(e.GetTextStr(0), f.aus) << f.ein;
    EXPECT_EQ(e.GetTextLength(), f.laenge) << f.ein;
  }
  TZellEditor e;
  e.SetString(-1, "eins\r\nzwei");
  e.SetString(1, "drei\r\nvier");
  EXPECT_EQ(e.Lines(), L({"eins", "drei"}));
}

TEST(ZellEditor, OffsetsAndCaretPlacesAgreeAcrossLineBreaks) {
  TZellEditor e;
  e.SetString(-1, "ab\r\ncde\r\n\r\nf");
  struct Fall {
    int offset, zeile, zeichen;
  };
  for (const Fall f : {Fall{0, 0, 0}, Fall{2, 0, 2}, Fall{3, 0, 2}, Fall{4, 1, 0}, Fall{7, 1, 3}, Fall{9, 2, 0},
                       Fall{11, 3, 0}, Fall{12, 3, 1}, Fall{99, 3, 1}}) {
    const Cursordef c = e.PosinCurPos(f.offset);
    EXPECT_EQ(c.Zeile, f.zeile) << f.offset;
    EXPECT_EQ(c.Zeichen, f.zeichen) << f.offset;
  }
  EXPECT_EQ(e.Offset(1, 2), 6);
  e.Caret = {1, 1, 0};
  EXPECT_EQ(e.GetTextStr(1), "ab\r\nc");
  EXPECT_EQ(e.GetTextStr(2), "de\r\n\r\nf");
  // Moving steps over a break onto the next line and stops at the ends.
  e.Caret = {0, 1, 0};
  e.Move(2);
  EXPECT_EQ(e.Caret.Zeile, 1);
  EXPECT_EQ(e.Caret.Zeichen, 0);
  e.Move(-1);
  EXPECT_EQ(e.Caret.Zeile, 0);
  EXPECT_EQ(e.Caret.Zeichen, 2);
  e.Move(-10);
  EXPECT_EQ(e.CaretOffset(), 0);
  e.Move(100);
  EXPECT_TRUE(e.IfTextLastPos(e.Caret.Zeile, e.Caret.Zeichen));
}

TEST(ZellEditor, InsertAndDeleteSplitAndJoinLines) {
  TZellEditor e;
  e.SetString(-1, "Hausnummer");
  e.InsertText(0, 4, &e.Caret, "\r\nX\r\n");
  EXPECT_EQ(e.Lines(), L({"Haus", "X", "nummer"}));
  EXPECT_EQ(e.Caret.Zeile, 2);
  EXPECT_EQ(e.Caret.Zeichen, 0);
  // Backspace at a line start removes the whole break.
  e.DeleteText(2, 0, -1);
  EXPECT_EQ(e.Lines(), L({"Haus", "Xnummer"}));
  EXPECT_EQ(e.Caret.Zeile, 1);
  EXPECT_EQ(e.Caret.Zeichen, 1);
  e.DeleteText(0, 4, 2);
  EXPECT_EQ(e.Lines(), L({"HausXnummer"}));
  e.DeleteText(0, 0, -1);  // nothing before the start
  EXPECT_EQ(e.GetTextStr(0), "HausXnummer");
}

TEST(ZellEditor, SelectionByShiftMovesDeletesAndCopiesWithCrLf) {
  TZellEditor e;
  e.SetString(-1, "ab\r\ncd");
  e.Caret = {0, 1, 0};
  e.MoveTo(e.CaretOffset() + 1, true);
  e.MoveTo(e.CaretOffset() + 2, true);  // over the break
  EXPECT_EQ(e.SelStart, 1);
  EXPECT_EQ(e.SelLength, 3);
  EXPECT_EQ(e.GetTextStr(3), "b\r\n");
  // Back again shrinks it from the moving end.
  e.MoveTo(e.CaretOffset() - 2, true);
  EXPECT_EQ(e.GetTextStr(3), "b");
  e.MoveTo(0, true);
  EXPECT_EQ(e.SelStart, 0);
  EXPECT_EQ(e.SelLength, 1);
  ASSERT_TRUE(e.DelSelect());
  EXPECT_EQ(e.GetTextStr(0), "b\r\ncd");
  EXPECT_FALSE(e.DelSelect());
  e.SetSelStart(1, 1);
  EXPECT_EQ(e.GetTextStr(3), "d");
  e.SelectAll();
  EXPECT_EQ(e.GetTextStr(3), "b\r\ncd");
}

}  // namespace
}  // namespace komp
