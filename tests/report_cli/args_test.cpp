// The command line: what is accepted, and every wrong form with its German message.
#include <gtest/gtest.h>

#include "tools/komp-report/args.h"

using namespace komp::report_cli;

namespace {

TEST(Args, AcceptsEachOutputWithItsOptions) {
  TArgumente r = ParseArgs({"r.txt", "--table2", "b.csv", "--pdf", "o.pdf", "--table1", "a.csv"});
  ASSERT_EQ(r.Fehler, "");
  EXPECT_EQ(r.Aufruf.Definition, "r.txt");
  EXPECT_EQ(r.Aufruf.Tabellen[0], "a.csv");
  EXPECT_EQ(r.Aufruf.Tabellen[1], "b.csv");
  EXPECT_EQ(r.Aufruf.Tabellen[2], "");
  EXPECT_EQ(r.Aufruf.Ziel, TZiel::Pdf);
  EXPECT_EQ(r.Aufruf.Ausgabe, "o.pdf");

  r = ParseArgs({"--png", "bilder", "r.txt"});
  ASSERT_EQ(r.Fehler, "");
  EXPECT_EQ(r.Aufruf.Ziel, TZiel::Png);
  EXPECT_EQ(r.Aufruf.Ausgabe, "bilder");

  r = ParseArgs({"r.txt", "--print", "--copies", "3"});
  ASSERT_EQ(r.Fehler, "");
  EXPECT_EQ(r.Aufruf.Ziel, TZiel::Drucker);
  EXPECT_EQ(r.Aufruf.Kopien, 3);
  EXPECT_EQ(ParseArgs({"r.txt", "--print"}).Aufruf.Kopien, 1);

  EXPECT_TRUE(ParseArgs({"--help"}).Aufruf.Hilfe);
  EXPECT_EQ(ParseArgs({"--help"}).Fehler, "");
}

TEST(Args, WrongCommandLinesAreRefused) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{}, "Keine Reportdefinition angegeben"},
      {{"--pdf", "o.pdf"}, "Keine Reportdefinition angegeben"},
      {{"r.txt"}, "Keine Ausgabe angegeben: --pdf, --png oder --print"},
      {{"r.txt", "s.txt", "--print"}, "Nur eine Reportdefinition angeben, nicht auch \"s.txt\""},
      {{"r.txt", "--pdf"}, "--pdf braucht einen Dateinamen"},
      {{"r.txt", "--pdf", ""}, "--pdf braucht einen Dateinamen"},
      {{"r.txt", "--png"}, "--png braucht einen Ordner"},
      {{"r.txt", "--pdf", "o.pdf", "--print"}, "Nur eine Ausgabe angeben: --pdf, --png oder --print"},
      {{"r.txt", "--print", "--print"}, "Nur eine Ausgabe angeben: --pdf, --png oder --print"},
      {{"r.txt", "--table1"}, "--table1 braucht eine CSV-Datei"},
      {{"r.txt", "--table3", "a", "--table3", "b", "--print"}, "--table3 ist doppelt angegeben"},
      {{"r.txt", "--table4", "a", "--print"}, "Unbekannte Option: --table4"},
      {{"r.txt", "-x", "--print"}, "Unbekannte Option: -x"},
      {{"r.txt", "--pdf", "o.pdf", "--copies", "2"}, "--copies gilt nur mit --print"},
      {{"r.txt", "--print", "--copies"}, "--copies braucht eine Zahl"},
      {{"r.txt", "--print", "--copies", "0"}, "--copies braucht eine Zahl von 1 bis 999, nicht \"0\""},
      {{"r.txt", "--print", "--copies", "1000"}, "--copies braucht eine Zahl von 1 bis 999, nicht \"1000\""},
      {{"r.txt", "--print", "--copies", "2x"}, "--copies braucht eine Zahl von 1 bis 999, nicht \"2x\""},
      {{"r.txt", "--print", "--copies", "99999999999999"},
       "--copies braucht eine Zahl von 1 bis 999, nicht \"99999999999999\""},
      {{"r.txt", "--print", "--copies", "2", "--copies", "3"}, "--copies ist doppelt angegeben"},
  };
  for (const Case& c : cases) {
    const TArgumente r = ParseArgs(c.args);
    EXPECT_EQ(r.Fehler, c.message) << ::testing::PrintToString(c.args);
  }
  std::FILE* err = std::tmpfile();
  EXPECT_EQ(RunReport({"r.txt"}, stdout, err), kAufruf);
  std::rewind(err);
  char buf[4096] = {};
  std::fread(buf, 1, sizeof buf - 1, err);
  std::fclose(err);
  EXPECT_NE(std::string(buf).find("komp-report: Keine Ausgabe angegeben"), std::string::npos);
  EXPECT_NE(std::string(buf).find("Aufruf: komp-report DEFINITION"), std::string::npos);
}

}  // namespace
