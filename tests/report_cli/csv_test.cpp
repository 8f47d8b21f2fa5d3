// The CSV reader as tables: RFC 4180 quoting, line ends, BOM, ragged rows, bad UTF-8, and the
// code page 1252 bytes that reach the report.
#include <gtest/gtest.h>

#include "components/stringtab/stringtab.h"
#include "tools/komp-report/csv.h"

using namespace komp;
using namespace komp::report_cli;

namespace {
using Rows = std::vector<std::vector<std::string>>;

TEST(Csv, ReadsFieldsAsRfc4180Says) {
  struct Case {
    const char* name;
    std::string text;
    Rows rows;
  } cases[] = {
      {"plain LF", "a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
      {"CRLF, no final line end", "a,b\r\n1,2", {{"a", "b"}, {"1", "2"}}},
      {"quoted comma", "a,b\n\"x, y\",2\n", {{"a", "b"}, {"x, y", "2"}}},
      {"doubled quotes", "a\n\"er sagte \"\"ja\"\"\"\n", {{"a"}, {"er sagte \"ja\""}}},
      {"line break in quotes", "a,b\n\"eins\r\nzwei\",3\n", {{"a", "b"}, {"eins\r\nzwei", "3"}}},
      {"empty fields", "a,b,c\n,,\n", {{"a", "b", "c"}, {"", "", ""}}},
      {"empty quoted field", "a,b\n\"\",x\n", {{"a", "b"}, {"", "x"}}},
      {"BOM skipped", "\xEF\xBB\xBFName\nx\n", {{"Name"}, {"x"}}},
      {"empty lines skipped", "a\n\nx\r\n\r\ny\n", {{"a"}, {"x"}, {"y"}}},
      {"short row padded", "a,b,c\n1\n", {{"a", "b", "c"}, {"1", "", ""}}},
      {"quote inside unquoted field kept", "a\n5\"\n", {{"a"}, {"5\""}}},
      {"umlauts and euro to 1252", "Stra\xC3\x9F" "e\n\xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC\n",
       {{"Stra\xDF" "e"}, {"\xE4\xF6\xFC \x80"}}},
      {"no 1252 character becomes ?", "a\n\xE2\x86\x92\n", {{"a"}, {"?"}}},
      {"invalid UTF-8 taken as Latin-1", "a\n\xFF\xC3x\n", {{"a"}, {"\xFF\xC3x"}}},
  };
  for (const Case& c : cases) {
    const TCsvTable t = ReadCsv(c.text);
    EXPECT_EQ(t.Fehler, "") << c.name;
    EXPECT_EQ(t.Rows, c.rows) << c.name;
  }
}

TEST(Csv, MalformedTextGivesAMessageWithTheLine) {
  struct Case {
    std::string text;
    std::string message;
  } cases[] = {
      {"a,b\n1,2\n\"offen,3\nnoch\n", "Anf\xFChrungszeichen ab Zeile 3 wird nicht geschlossen"},
      {"a\n\"x\"y\n", "Zeichen nach dem schlie\xDF" "enden Anf\xFChrungszeichen in Zeile 2"},
      {"a,b\n1,2\n1,2,3\n", "Zeile 3 hat 3 Felder, die Kopfzeile nur 2"},
      {"", "Die Datei enth\xE4lt keine Kopfzeile"},
      {"\xEF\xBB\xBF\r\n\n", "Die Datei enth\xE4lt keine Kopfzeile"},
  };
  for (const Case& c : cases) {
    const TCsvTable t = ReadCsv(c.text);
    EXPECT_EQ(t.Fehler, c.message) << c.text;
    EXPECT_TRUE(t.Rows.empty()) << c.text;
  }
}

TEST(Csv, HugeFieldsAndManyRowsAreReadWhole) {
  const std::string big(8 << 20, 'x');
  std::string text = "a,b\n\"" + big + "\",1\n";
  for (int i = 0; i < 20000; ++i) text += "r" + std::to_string(i) + ",2\n";
  const TCsvTable t = ReadCsv(text);
  ASSERT_EQ(t.Fehler, "");
  ASSERT_EQ(t.Rows.size(), 20002u);
  EXPECT_EQ(t.Rows[1][0].size(), big.size());
  EXPECT_EQ(t.Rows.back(), (std::vector<std::string>{"r19999", "2"}));
}

TEST(Csv, FillsTheStringTabWithTheHeaderAsRowZero) {
  const TCsvTable t = ReadCsv("Artikel,Betrag\nD\xC3\xBC" "bel,\"4,20\"\nMutter,1\n");
  TStringTab tab;
  std::string fehler;
  ASSERT_TRUE(FillStringTab(t, tab, fehler)) << fehler;
  EXPECT_EQ(tab.ColCount(), 2);
  EXPECT_EQ(tab.GetRowCount(false), 2);
  EXPECT_EQ(tab.GetCell(0, 0), "Artikel");
  EXPECT_EQ(tab.GetCell(0, 1), "Betrag");
  EXPECT_EQ(tab.GetCell(1, 0), "D\xFC" "bel");
  EXPECT_EQ(tab.GetCell(2, 1), "1");
  EXPECT_EQ(tab.RecordRow(), 0);
  EXPECT_EQ(tab.GetRecordCell(1), "4,20");

  TCsvTable leer;
  EXPECT_FALSE(FillStringTab(leer, tab, fehler));
  EXPECT_EQ(fehler, "Die Tabelle hat keine Kopfzeile");
}

}  // namespace
