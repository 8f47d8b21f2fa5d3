// The report model and its parser without any widget or QApplication: what the diagnostics hear
// (every unknown word and error with its line), the last error for code, and handlers that free
// or replace the model while they run.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

#include "components/druckreport/reportmodel.h"

using namespace komp;

namespace {

// Records every diagnostic as one line of text and answers unknown words as scripted.
struct Recorder : IReportDiagnostics {
  std::vector<std::string> heard;
  std::deque<bool> answers;        // to unknown words, in order; true when empty
  std::function<void()> onCall;    // runs after each diagnostic is recorded

  bool UnknownWord(const std::string& text, int64_t line) override {
    heard.push_back("word [" + text + "] " + std::to_string(line));
    bool go = answers.empty() || answers.front();
    if (!answers.empty()) answers.pop_front();
    if (onCall) onCall();
    return go;
  }
  void ParseError(int n, int64_t line) override {
    heard.push_back("error " + std::to_string(n) + " " + std::to_string(line));
    if (onCall) onCall();
  }
  void OutOfMemory() override { heard.push_back("memory"); }
  void DuplicateVariable(const std::string& name) override { heard.push_back("duplicate " + name); }
};

size_t Count(const TReportModel& m) {
  size_t n = 0;
  for (auto* o = m.ErstesObjekt(); o; o = o->Next) ++n;
  return n;
}

struct ModelFixture : ::testing::Test {
  Recorder diag;
  TReportModel model;
  ModelFixture() { model.SetDiagnostics(&diag); }
  std::vector<std::string> Parse(const std::string& text) {
    diag.heard.clear();
    EXPECT_TRUE(model.SetReportdaten(text.c_str()));
    return diag.heard;
  }
};

using ReportModel = ModelFixture;
using ReportModelErrors = ModelFixture;
using ReportModelHostile = ModelFixture;

}  // namespace

TEST_F(ReportModel, ParsesWithoutAWidgetAndSetsThePaper) {
  EXPECT_TRUE(Parse("data tab1\nrow Name,Betrag\nrow \"Meier, Hans\",12\nend\n"
                    "frame oben 100 tabelle tab1\nobject dbtext text Name end\nend\n"
                    "seiten 0\nausrichtung querformat\n")
                  .empty());
  ASSERT_EQ(Count(model), 2u);
  EXPECT_EQ(model.ErstesObjekt()->Typ, typFrame);
  EXPECT_EQ(model.ErstesObjekt()->Next->Parent, model.ErstesObjekt());
  ASSERT_NE(model.GetDatenTab(1), nullptr);
  EXPECT_EQ(model.GetDatenTab(1)->GetCell(1, 0), "Meier, Hans");
  EXPECT_EQ(model.Seitenlimit, 0);
  EXPECT_EQ(model.Dir, 1);
  EXPECT_EQ(model.Seitenbreite, 2970);
  EXPECT_EQ(model.LastError(), TReportError{});

  // The next definition starts from an empty model with reset defaults and portrait paper.
  EXPECT_TRUE(Parse("set breite 7\n").empty());
  EXPECT_EQ(Count(model), 0u);
  EXPECT_EQ(model.GetDatenTab(1), nullptr);
  EXPECT_EQ(model.Vorgaben().Breite, 7);
  EXPECT_EQ(model.Seitenlimit, 1);
  EXPECT_EQ(model.Dir, 0);
  EXPECT_TRUE(Parse("").empty());
  EXPECT_EQ(model.Vorgaben().Breite, 500);
}

TEST_F(ReportModel, UnknownWordsAreHeardWithTheirLineAndMayStopTheRun) {
  const std::string text = "object label end\nText Kunde\nobject linie end\nLINKS\n";
  EXPECT_EQ(Parse(text), (std::vector<std::string>{"word [Text Kunde\nobject li] 2",
                                                   "word [Kunde\nobject linie e] 2",
                                                   "word [LINKS\n] 4"}));
  EXPECT_EQ(Count(model), 2u);
  EXPECT_EQ(model.LastError(), TReportError{});

  // Stopping: no error is told, the run ends at the word and code reads a cancel in its line.
  diag.answers = {true, false};
  EXPECT_EQ(Parse(text).size(), 2u);
  EXPECT_EQ(Count(model), 1u);
  EXPECT_EQ(model.LastError(), (TReportError{rfAbgebrochen, 2}));

  // The line goes to the diagnostics in full; leaving it out of a message is the control's part.
  EXPECT_EQ(Parse(std::string(100000, '\n') + "Foo"),
            (std::vector<std::string>{"word [Foo] 100001"}));

  // Without diagnostics unknown words are read over and errors are only kept for code.
  model.SetDiagnostics(nullptr);
  diag.heard.clear();
  EXPECT_TRUE(model.SetReportdaten("Foo\nobject label end\nend\n"));
  EXPECT_EQ(Count(model), 1u);
  EXPECT_EQ(model.LastError(), (TReportError{rfEnd, 3}));
  EXPECT_TRUE(diag.heard.empty());
}

TEST_F(ReportModelErrors, EachErrorIsHeardOnceAndKeptUntilAGoodDefinition) {
  struct Case {
    const char* text;
    TReportFehler number;
    int64_t line;
  };
  const Case cases[] = {
      {"label\n", rfObjektzuweisung, 1},
      {"object label\nlinks\nend\n", rfUnvollstaendig, 2},
      {"object label\r\nwenn\r\n", rfUnvollstaendig, 2},
      {"querformat\n", rfAusrichtung, 1},
      {"object label kursiv\n", rfSchriftart, 1},
      {"oben 5\n", rfFrameparameter, 1},
      {"\n\ntext 1\n", rfZuweisung, 3},
      {"set text Hallo\n", rfZuweisung, 1},
      {"object label end\nend\n", rfEnd, 2},
      {"object label typ zahl\n", rfEigenschaft, 1},
      {"set seiten 2\n", rfKeineVorgabe, 1},
      {"tab2\n", rfTabellenauswahl, 1},
      {"data tab1\nrow a\nend\nrow b\n", rfZeile, 4},
      {"object label format\n", rfBedingung, 1},
      {"seitenframe\nend\nseitenframe\n", rfZweiterSeitenframe, 3},
      {"frame\nseitenframe\n", rfSeitenframeImFrame, 2},
      {"object label end\nset anzeige format\n", rfVorgabeEigenschaft, 2},
      {"frame\nobject label\nobject label\n", rfFehlendesEnd, 3},
  };
  for (const Case& c : cases) {
    auto heard = Parse(c.text);
    ASSERT_EQ(heard.size(), 1u) << c.text;
    EXPECT_EQ(heard[0], "error " + std::to_string(c.number) + " " + std::to_string(c.line))
        << c.text;
    EXPECT_EQ(model.LastError(), (TReportError{c.number, c.line})) << c.text;
    EXPECT_TRUE(Parse("object label end\n").empty());
    EXPECT_EQ(model.LastError(), TReportError{}) << "after " << c.text;
  }

  // Each number has its message; nothing outside 1..17 has one.
  EXPECT_STREQ(ReportFehlerText(rfZeile), "Zeilendefinition (row) ohne Datenmous 'data tabX'");
  EXPECT_STREQ(ReportFehlerText(rfFehlendesEnd), "Fehlende 'end'-Anweisung");
  for (int n = 1; n <= kReportFehlerAnzahl; ++n) EXPECT_STRNE(ReportFehlerText(n), "") << n;
  for (int n : {int(rfAbgebrochen), int(rfKeiner), kReportFehlerAnzahl + 1, 1000})
    EXPECT_STREQ(ReportFehlerText(n), "") << n;
}

TEST_F(ReportModel, VariablesBitmapsAndTablesWithoutAWidget) {
  ASSERT_NE(model.NeuVariable("Summe"), nullptr);
  EXPECT_EQ(model.NeuVariable("Summe"), nullptr);
  EXPECT_EQ(model.NeuVariable(""), nullptr);
  EXPECT_EQ(diag.heard, (std::vector<std::string>{"duplicate Summe"}));

  int asked = 0;
  TBitmap host(5, 2);
  TGetBitmapEvent fetch = [&](const std::string& name, TBitmap*& bild) {
    ++asked;
    if (name == "Logo") bild = &host;
  };
  auto* logo = model.GetBild("Logo", fetch);
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->Bild.Width(), 5);
  EXPECT_EQ(model.GetBild("Logo", fetch), logo);
  EXPECT_TRUE(model.GetBild("Ohne")->Bild.Empty());
  EXPECT_EQ(asked, 1);

  TStringTab linked(nullptr);
  model.SetTabelle(2, &linked);
  EXPECT_EQ(model.Tabelle(2), &linked);
  EXPECT_EQ(model.GetDatenTab(2), nullptr);  // no rows yet: the (missing) inline table
  linked.Set_Tab(2, 1);
  EXPECT_EQ(model.GetDatenTab(2), &linked);
  model.SetTabelle(4, &linked);
  EXPECT_EQ(model.Tabelle(4), nullptr);
}

TEST_F(ReportModelHostile, HandlersThatFreeOrReplaceTheModel) {
  // Freed while an unknown word is told: the run stops and touches nothing.
  auto* doomed = new TReportModel;
  doomed->SetDiagnostics(&diag);
  diag.onCall = [&] { delete doomed; };
  EXPECT_FALSE(doomed->SetReportdaten("object label end\nFoo\nobject label end\n"));
  // ... or while an error is told.
  doomed = new TReportModel;
  doomed->SetDiagnostics(&diag);
  EXPECT_FALSE(doomed->SetReportdaten("end\n"));

  // Given another definition while an error is told: that one stands, with its own outcome.
  bool again = true;
  diag.onCall = [&] {
    if (!std::exchange(again, false)) return;
    EXPECT_TRUE(model.SetReportdaten("object rechteck end\nausrichtung querformat\n"));
  };
  EXPECT_FALSE(model.SetReportdaten("object label end\nend\nobject linie end\n"));
  ASSERT_EQ(Count(model), 1u);
  EXPECT_EQ(model.ErstesObjekt()->Typ, typRechteck);
  EXPECT_EQ(model.Dir, 1);
  EXPECT_EQ(model.LastError(), TReportError{});
  diag.onCall = nullptr;

  // A bitmap handler that frees the model.
  doomed = new TReportModel;
  TGetBitmapEvent fetch = [&](const std::string&, TBitmap*&) { delete doomed; };
  EXPECT_EQ(doomed->GetBild("Logo", fetch), nullptr);
  // ... or clears it.
  fetch = [&](const std::string&, TBitmap*&) { model.Clear(false); };
  EXPECT_EQ(model.GetBild("Logo", fetch), nullptr);
  EXPECT_TRUE(model.Bilder().empty());
}
