// TDruckReport as a control around its model: the error boxes and the last error, the model
// operations, the preview geometry, hostile input and the reference examples.
//   Errors    every number with its message and line; LastError beside the box
//   Model     defaults, paper, variables, bitmaps, text arithmetic, geometry
//   Hostile   broken input, hosts that free the report during a box, fuzzer findings
//   Language  the example definitions of docs/examples
#include <gtest/gtest.h>

#include <QPointer>
#include <filesystem>

#include "framework/gui/registry.h"
#include "framework/gui/stdctrls.h"
#include "tests/druckreport/fixture.h"

using namespace komp;
using namespace komp::drtest;

TEST_F(Errors, EveryNumberWithItsMessageAndLine) {
  ExpectError("label\n", 1, "Objektzuweisung ohne Objektdefinition", 1);
  ExpectError("fontart fett\n", 1, "Objektzuweisung ohne Objektdefinition", 1);
  ExpectError("\ntabelle tab1\n", 1, "Objektzuweisung ohne Objektdefinition", 2);
  ExpectError("object label\nunten\n", 4,
              "Ausrichtungsangabe oder Parameterposition an ung\xFC" "ltiger Stelle", 2);
  ExpectError("querformat\n", 4, "Ausrichtungsangabe oder Parameterposition an ung\xFC" "ltiger Stelle", 1);
  ExpectError("object links 5\n", 4, "Ausrichtungsangabe oder Parameterposition an ung\xFC" "ltiger Stelle", 1);
  ExpectError("object label wenn gruppe 1\n", 4,
              "Ausrichtungsangabe oder Parameterposition an ung\xFC" "ltiger Stelle", 1);
  ExpectError("data seiten 2\n", 4, "Ausrichtungsangabe oder Parameterposition an ung\xFC" "ltiger Stelle", 1);
  ExpectError("object label kursiv\n", 5, "Parameter f\xFC" "r Schriftart ohne Parameterdefinition gefunden", 1);
  ExpectError("normal\n", 5, "Parameter f\xFC" "r Schriftart ohne Parameterdefinition gefunden", 1);
  ExpectError("oben 5\n", 6, "Frameparameter ohne Framedefinition", 1);
  ExpectError("spalten 2\n", 6, "Frameparameter ohne Framedefinition", 1);
  ExpectError("frame wenn spalten 2\n", 6, "Frameparameter ohne Framedefinition", 1);
  for (const char* kw : {"links", "breite", "h\xF6" "he", "stift", "text", "farbe", "schrifth\xF6" "he",
                         "anzahl", "schrittweite", "textwinkel", "gruppe", "einzelschritt", "wenn",
                         "add", "wert", "typ", "anzeige", "else", "getdbtext"})
    ExpectError(std::string("\n\n") + kw + " 1\n", 7, "Zuweisung ohne Objektdefinition", 3);
  ExpectError("set else x\n", 7, "Zuweisung ohne Objektdefinition", 1);
  ExpectError("end\n", 8, "Unerwartete 'end'-Anweisung", 1);
  ExpectError("object label end\nend\n", 8, "Unerwartete 'end'-Anweisung", 2);
  ExpectError("object label typ zahl\n", 9, "Unzul\xE4" "ssige Objekteigenschaft", 1);
  ExpectError("object dbtext getdbtext A\n", 9, "Unzul\xE4" "ssige Objekteigenschaft", 1);
  ExpectError("frame\nset spalten 2\n", 10, "Kein Vorgabeparameter", 2);
  ExpectError("set seiten 2\n", 10, "Kein Vorgabeparameter", 1);
  ExpectError("tab2\n", 11, "Tabellenauswahl ohne 'Set' oder ohne 'Data' -Befehl", 1);
  ExpectError("row a,b\n", 12, "Zeilendefinition (row) ohne Datenmous 'data tabX'", 1);
  ExpectError("data tab1\nrow a\nend\nrow b\n", 12, "Zeilendefinition (row) ohne Datenmous 'data tabX'", 4);
  ExpectError("object label leer\n", 13, "Bedingungsparameter ohne Parameterdefinition gefunden", 1);
  ExpectError("object variable zahl\n", 13, "Bedingungsparameter ohne Parameterdefinition gefunden", 1);
  ExpectError("object label format\n", 13, "Bedingungsparameter ohne Parameterdefinition gefunden", 1);
  ExpectError("frame\nend\nseitenframe\nend\n\nseitenframe\n", 14,
              "Es kann nur ein Seitenframe-Objekt definiert werden", 6);
  ExpectError("frame\nseitenframe\n", 15,
              "Ein Seitenframe-Objekt kann nicht innerhalb eines Frames definiert werden", 2);
  ExpectError("object label end\nset anzeige format\n", 16,
              "Diese Eigenschaft kann nicht als Vorgabe gesetzt werden", 2);
  ExpectError("frame\nobject label\nobject label\n", 17, "Fehlende 'end'-Anweisung", 3);
  ExpectError("object label\nobject label\n", 17, "Fehlende 'end'-Anweisung", 2);
  // Objects built before an error stay; parsing stops at it.
  ExpectError("object label end\nend\nobject linie end\n", 8, "Unerwartete 'end'-Anweisung", 2);
  EXPECT_EQ(Objects(report).size(), 1u);
}

TEST_F(Errors, CodeReadsTheLastErrorBesideTheBox) {
  TReportError seen;
  services.boxes.onShow = [&](const TScriptedMessageBoxes::Call&) { seen = report.LastError(); };
  ExpectError("object label end\n\nend\n", 8, "Unerwartete 'end'-Anweisung", 3);
  EXPECT_EQ(report.LastError(), (TReportError{rfEnd, 3}));
  EXPECT_EQ(seen, report.LastError());  // already readable while the box is open
  EXPECT_TRUE(Parse("object label end\n").empty());
  EXPECT_EQ(report.LastError(), TReportError{});

  // A cancel at an unknown word shows no error box, but code sees that reading stopped.
  services.boxes.answers.push_back(IDCANCEL);
  EXPECT_EQ(Parse("object label end\nFoo\n").size(), 1u);
  EXPECT_EQ(report.LastError(), (TReportError{rfAbgebrochen, 2}));
  // OK reads on: the definition counts as read.
  EXPECT_EQ(Parse("Foo\nobject label end\n").size(), 1u);
  EXPECT_EQ(report.LastError(), TReportError{});
  services.boxes.onShow = nullptr;

  // The control's names reach the model that layout and outputs read.
  EXPECT_EQ(report.Model().ErstesObjekt(), report.ErstesObjekt());
  report.Seitenlimit = 0;
  EXPECT_EQ(report.Model().Seitenlimit, 0);
}

TEST_F(Model, NewObjectsCopyTheDefaults) {
  DruckReport_Struct* o = report.Neues_Objekt();
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->Breite, 500);
  EXPECT_EQ(o->Hoehe, 300);
  EXPECT_EQ(o->Stift, 10);
  EXPECT_EQ(o->Auto, 1);
  EXPECT_EQ(o->Tabelle, 1);
  EXPECT_EQ(o->Spalten, 1);
  EXPECT_EQ(o->Anzeigen, 1);
  EXPECT_EQ(o->Fuellfarbe, clNone);
  EXPECT_EQ(o->Font.Name, "Times New Roman");
  EXPECT_EQ(o->Font.Size, 0);
  EXPECT_EQ(report.Seitenlimit, 1);
  EXPECT_EQ(report.Seitenanzahl, 1);
  EXPECT_EQ(report.Width(), 200);
  EXPECT_EQ(report.Height(), 283);
}

TEST_F(Model, PaperFormats) {
  report.SetPFormat(1, 0);
  EXPECT_EQ(report.Seitenbreite, 2100);
  EXPECT_EQ(report.Seitenhoehe, 1485);
  report.SetPFormat(1, 1);
  EXPECT_EQ(report.Seitenbreite, 1485);
  EXPECT_EQ(report.Seitenhoehe, 2100);
  report.SetPFormat(7, 1);
  EXPECT_EQ(report.Seitenbreite, 2970);
  EXPECT_EQ(report.Seitenhoehe, 2100);
  EXPECT_EQ(report.RandOben + report.RandUnten + report.RandLinks + report.RandRechts, 400);
}

TEST_F(Model, VariablesActionsAndBitmaps) {
  FVar* a = report.NeuVariable("Summe");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Wert, "");
  EXPECT_EQ(report.NeuVariable("Summe"), nullptr);
  ASSERT_EQ(services.boxes.calls.size(), 1u);
  EXPECT_EQ(services.boxes.calls[0].text,
            "Variable: Summe\nist schon definiert. Bitte benutzen Sie einen anderen Namen f\xFC"
            "r die se Variable!");
  EXPECT_EQ(services.boxes.calls[0].caption, "Fehler");
  EXPECT_EQ(report.NeuVariable(""), nullptr);
  EXPECT_EQ(report.NeuVariable(nullptr), nullptr);
  EXPECT_EQ(report.GetVariable("Summe"), a);
  EXPECT_EQ(report.GetVariable("summe"), nullptr);
  FVar* b = report.NeuVariable("summe");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(report.Variablen().back().Name, "summe");

  FAktionListe list;
  EXPECT_EQ(report.NeuAktion(nullptr), nullptr);
  report.NeuAktion(&list)->Name = "x";
  report.NeuAktion(&list)->Name = "y";
  EXPECT_EQ(list.back().Name, "y");

  int asked = 0;
  TBitmap host(4, 3);
  report.OnGetBitmap = [&](const std::string& name, TBitmap*& bild) {
    ++asked;
    EXPECT_EQ(bild, nullptr);
    if (name == "Logo") bild = &host;
  };
  auto* logo = report.GetBild("Logo");
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->Bild.Width(), 4);
  EXPECT_EQ(report.GetBild("Logo"), logo);
  EXPECT_TRUE(report.GetBild("Fehlt")->Bild.Empty());
  EXPECT_EQ(asked, 2);

  TBitmap* p0 = report.GetFrameBild(0);
  ASSERT_NE(p0, nullptr);
  EXPECT_EQ(report.GetFrameBild(0), p0);
  EXPECT_EQ(report.GetFrameBild(2), nullptr);
  EXPECT_NE(report.GetFrameBild(1), nullptr);
  EXPECT_EQ(report.GetFrameBild(-1), nullptr);

  // A definition frees variables and cached bitmaps (page bitmaps stay).
  Parse("");
  EXPECT_TRUE(report.Variablen().empty());
  EXPECT_TRUE(report.Bilder().empty());
  EXPECT_EQ(report.GetVariable("Summe"), nullptr);
  EXPECT_EQ(report.FrameBildCount(), 2);
}

TEST_F(Model, TextArithmetic) {
  auto add = [&](const char* a, const char* b, bool n) {
    const char* r = report.AddStr(a, b, n);
    return r ? std::string(r) : std::string("<null>");
  };
  EXPECT_EQ(add("1,5", "2,75", true), "4,25");
  EXPECT_EQ(add("12", "abc", true), "12");
  EXPECT_EQ(add("abc", "12", true), "12");
  EXPECT_EQ(add("abc", "abc", true), "0");
  EXPECT_EQ(add("ab", "cd", false), "abcd");
  EXPECT_EQ(add("99", "1", true), "100");
  EXPECT_EQ(add("9.95", "0,05", false), "10,00");
  EXPECT_EQ(add("", "7", true), "7");
  EXPECT_EQ(add("12", "", true), "12");
  EXPECT_EQ(add("1,2,3", "1", true), "1");
  EXPECT_EQ(add("-1", "1", false), "-11");
  EXPECT_EQ(add(nullptr, "1", true), "<null>");
  // A running sum fed back into the next call stays intact.
  const char* sum = report.AddStr("0", "0,5", true);
  for (int i = 0; i < 19; ++i) sum = report.AddStr(sum, "0,5", true);
  EXPECT_STREQ(sum, "10,0");

  EXPECT_EQ(TDruckReport::Str_in_Zahl("1.2.3"), 12);
  EXPECT_EQ(TDruckReport::Str_in_Zahl("12,5"), 125);
  EXPECT_EQ(TDruckReport::Str_in_Zahl("a1b2"), 12);
  EXPECT_EQ(TDruckReport::Str_in_Zahl("-7"), 7);
  // 32-bit arithmetic: a wrap into the negative gives 0.
  EXPECT_EQ(TDruckReport::Str_in_Zahl("2147483648"), 0);
  EXPECT_EQ(TDruckReport::Str_in_Zahl("4294967297"), 1);
  EXPECT_EQ(TDruckReport::Str_in_Zahl("0000000000000001234"), 1);   // only 16 characters read
  EXPECT_EQ(TDruckReport::Str_in_Zahl(nullptr), 0);
}

TEST_F(Model, ControlRegistersAndGeometry) {
  Druckreport::Register();
  const TPaletteEntry* e = FindPaletteEntry("TDruckReport");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Page, "Beispiele");
  std::unique_ptr<TObject> made(e->Create(nullptr));
  EXPECT_NE(dynamic_cast<TDruckReport*>(made.get()), nullptr);

  // A4 fitted to 200 px is taller than 200 px: scroll bar at the page's right edge.
  report.SetBounds(0, 0, 200, 200);
  report.SetGroesse();
  ASSERT_NE(report.ScrollBar(), nullptr);
  EXPECT_TRUE(report.ScrollBar()->isVisibleTo(&report));
  EXPECT_EQ(report.ScrollBar()->Left(), report.Seitenrect.right);
  EXPECT_EQ(report.ScrollBar()->Max(), report.Seitenrect.bottom - report.Height());
  report.SetBounds(0, 0, 200, 600);
  report.SetGroesse();
  EXPECT_FALSE(report.ScrollBar()->isVisibleTo(&report));
  EXPECT_EQ(report.Seitenrect.Width(), 200);

  report.SetKonstrukt(kkFrame | kkText);
  EXPECT_EQ(report.Konstrukt(), kkFrame | kkText);
}

TEST_F(Hostile, BrokenInputGivesMessagesAndNoCrash) {
  // Truncated in every place of a full example.
  std::string full = ReadFile(std::string(KOMP_DOCS_EXAMPLES) + "/rechnung.txt");
  ASSERT_FALSE(full.empty());
  // A cut leaves at most one unknown word at the end, never an error.
  for (size_t n = 0; n <= full.size(); n += 3) {
    auto boxes = Parse(full.substr(0, n));
    ASSERT_LE(boxes.size(), 1u) << n;
    if (!boxes.empty()) {
      EXPECT_EQ(boxes[0].caption, "Unbekannter Befehl") << n;
    }
  }

  // 10 000 nested frames and data blocks, then as many ends.
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "frame\nobject label end\n";
  for (int i = 0; i < 10000; ++i) deep += "end\n";
  EXPECT_TRUE(Parse(deep).empty());
  EXPECT_EQ(Objects(report).size(), 20000u);
  std::string data;
  for (int i = 0; i < 10000; ++i) data += "data tab1\n";
  EXPECT_TRUE(Parse(data + "row a\n").empty());

  // Every byte value as a token, with OK answered to every unknown word.
  for (int c = 1; c < 256; ++c) {
    std::string line = std::string("object label text ") + char(c) + " farbe " + char(c) + " end\n";
    EXPECT_LE(Parse(line + line).size(), 2u) << c;
  }
  auto boxes = Parse(std::string("links -") + '\0' + "xyz");
  ASSERT_EQ(boxes.size(), 1u);  // error 7; the NUL ends the text
}

TEST_F(Hostile, HostFreesOrReplacesTheReportWhileABoxIsOpen) {
  auto* r = new TDruckReport(nullptr);
  QPointer<TDruckReport> watch(r);
  services.boxes.onShow = [&](const TScriptedMessageBoxes::Call&) { delete r; };
  EXPECT_TRUE(r->SetReportdaten("object label end\nFoo\nobject label end\n"));
  EXPECT_TRUE(watch.isNull());

  bool again = true;
  services.boxes.onShow = [&](const TScriptedMessageBoxes::Call&) {
    if (again) {
      again = false;
      report.SetReportdaten("object rechteck end\nausrichtung querformat\n");
    }
  };
  report.SetReportdaten("object label end\nFoo\nobject linie end\n");
  auto o = Objects(report);
  ASSERT_EQ(o.size(), 1u);
  EXPECT_EQ(o[0]->Typ, typRechteck);
  EXPECT_EQ(report.Dir, 1);
  services.boxes.onShow = nullptr;
}

TEST_F(Language, ReferenceExamplesBuildTheirModels) {
  auto boxes = Parse(ReadFile(std::string(KOMP_DOCS_EXAMPLES) + "/rechnung.txt"));
  EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].text);
  auto o = Objects(report);
  ASSERT_EQ(o.size(), 9u);
  EXPECT_EQ(o[0]->Font.Size, 16);
  EXPECT_EQ(o[0]->Font.Style, fsBold);
  EXPECT_EQ(o[1]->Typ, typDatum);
  EXPECT_EQ(o[3]->Typ, typFrame);
  EXPECT_EQ(o[3]->Schrittweite, 60);
  EXPECT_EQ(o[6]->Aktionen.front().Name, "Summe");
  EXPECT_EQ(o[6]->Parent, o[3]);
  EXPECT_EQ(o[8]->Typ, typVariable);
  EXPECT_EQ(o[8]->Zahl, 1);
  EXPECT_EQ(o[8]->HAusrichtung, 2);
  TStringTab* t = report.GetDatenTab(1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetRowCount(false), 3);
  EXPECT_EQ(t->GetCell(1, 0), "Schrauben, verzinkt");
  EXPECT_EQ(t->GetCell(1, 2), "12,50");
  const char* sum = "";
  for (int r = 1; r <= 3; ++r) sum = report.AddStr(sum, t->GetCell(r, 2).c_str(), true);
  EXPECT_STREQ(sum, "20,45");

  boxes = Parse(ReadFile(std::string(KOMP_DOCS_EXAMPLES) + "/liste.txt"));
  EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].text);
  o = Objects(report);
  ASSERT_EQ(o.size(), 8u);
  EXPECT_EQ(report.Seitenlimit, 0);
  // The heading stands before the frame; the list's texts read tab2 by default.
  EXPECT_EQ(o[0]->Typ, typLabel);
  EXPECT_EQ(o[1]->Typ, typFrame);
  for (int k = 2; k <= 4; ++k) {
    EXPECT_EQ(o[size_t(k)]->Typ, typDbtext);
    EXPECT_EQ(o[size_t(k)]->Tabelle, 2);
    EXPECT_EQ(o[size_t(k)]->Parent, o[1]);
  }
  EXPECT_EQ(report.Seitenframe(), o[5]);
  EXPECT_EQ(o[6]->Typ, typSeite);
  EXPECT_EQ(o[6]->Text, "Seite ");
  EXPECT_EQ(o[7]->Text, " von ");
  EXPECT_EQ(o[7]->Parent, o[5]);
  EXPECT_EQ(report.GetDatenTab(2)->GetCell(3, 0), "Krause, Udo");
  EXPECT_EQ(report.GetDatenTab(2)->GetCell(3, 2), "089 9012");
}

TEST_F(Hostile, FuzzerFindingsStayFixed) {
  // Inputs the fuzzer once stopped on, and hostile seeds, are kept here and replayed; the
  // report takes a sound definition after each.
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(KOMP_DR_TESTDATA)) {
    ++files;
    Parse(ReadFile(e.path().string()));
    EXPECT_TRUE(Parse("object label end\n").empty()) << e.path();
    EXPECT_EQ(Objects(report).size(), 1u) << e.path();
  }
  EXPECT_GT(files, 0);
}
