#include <gtest/gtest.h>

#include "framework/stringlist.h"

using namespace komp;

TEST(StringList, EditingKeepsObjectsBesideTheirStrings) {
  TStringList l;
  int a = 0, b = 0, c = 0;
  EXPECT_EQ(l.Add("Bern", &a), 0);
  EXPECT_EQ(l.Add("Berlin", &b), 1);
  l.Insert(0, "Aachen", &c);
  l.Insert(99, "Zug");  // clamped to the end
  l.Insert(-5, "Anfang");
  ASSERT_EQ(l.Count(), 5);
  EXPECT_EQ(l.Text(), "Anfang\r\nAachen\r\nBern\r\nBerlin\r\nZug\r\n");
  EXPECT_EQ(l.Objects(1), &c);
  l.Exchange(1, 3);
  EXPECT_EQ(l[1], "Berlin");
  EXPECT_EQ(l.Objects(1), &b);
  l.Move(1, 4);
  EXPECT_EQ(l.Text(), "Anfang\r\nBern\r\nAachen\r\nZug\r\nBerlin\r\n");
  EXPECT_EQ(l.IndexOf("Zug"), 3);
  EXPECT_EQ(l.IndexOf("zug"), -1);
  EXPECT_EQ(l.IndexOfObject(&b), 4);
  l.Delete(0);
  l.Delete(17);
  EXPECT_EQ(l.Count(), 4);
  // Out of range reads are empty, writes are ignored.
  EXPECT_EQ(l[-1], "");
  EXPECT_EQ(l[4], "");
  EXPECT_EQ(l.Objects(4), nullptr);
  l.SetString(9, "x");
  l.SetObject(-1, &a);
  l.Move(0, 9);
  l.Exchange(0, 9);
  EXPECT_EQ(l.Text(), "Bern\r\nAachen\r\nZug\r\nBerlin\r\n");
}

TEST(StringList, SortIsByteOrderAndStable) {
  TStringList l;
  int first = 1, second = 2;
  for (const char* s : {"\xE4pfel", "Zebra", "apfel", "Apfel", "b"}) l.Add(s);
  l.Add("b", &first);
  l.Insert(0, "b", &second);
  l.Sort();
  EXPECT_EQ(l.Text(), "Apfel\r\nZebra\r\napfel\r\nb\r\nb\r\nb\r\n\xE4pfel\r\n");
  EXPECT_EQ(l.Objects(3), &second) << "equal strings keep their order";
  EXPECT_EQ(l.Objects(4), nullptr);
  EXPECT_EQ(l.Objects(5), &first);
}

TEST(StringList, TextSplitsAtEveryLineBreakAndCommaTextQuotes) {
  TStringList l;
  l.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(l.Count(), 4);
  EXPECT_EQ(l[3], "d");
  l.SetText("a\r\n\r\nb\r\n");
  EXPECT_EQ(l.Count(), 3) << "an empty line in the middle stays, the last break ends the last line";
  EXPECT_EQ(l[1], "");
  l.SetText("");
  EXPECT_TRUE(l.Empty());
  l.SetText("\n");
  EXPECT_EQ(l.Count(), 1);
  l.Clear();
  for (const char* s : {"eins", "zwei drei", "a,b", "sagt \"hallo\"", ""}) l.Add(s);
  EXPECT_EQ(l.CommaText(), "eins,\"zwei drei\",\"a,b\",\"sagt \"\"hallo\"\"\",\"\"");
}
