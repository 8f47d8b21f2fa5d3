// TDruckReport through its own names: the keyword table and the definition language as the
// message boxes and the built objects show it.
//   Keywords   numbers and exact matching
//   Language   statements, line ends, set mode, styles, groups, conditions, frames, tables
#include <gtest/gtest.h>

#include "tests/druckreport/fixture.h"

using namespace komp;
using namespace komp::drtest;

TEST(DruckreportKeywords, NumbersFollowTheTableOrderAndMatchExactly) {
  const char* order[] = {"frame", "set", "object", "data", "end", "label", "bitmap", "rechteck",
                         "linie", "datum", "uhrzeit", "seite", "seitevon", "dbtext", "elipse",
                         "bedingung", "variable", "links", "oben", "breite", "h\xF6" "he", "stift",
                         "text", "farbe", "ausrichtung", "unten", "rechts", "hmitte", "vmitte",
                         "auto", "box", "schrifth\xF6" "he", "fontart", "fett", "kursiv",
                         "unterstrichen", "normal", "anzahl", "tabelle", "tab1", "tab2", "tab3",
                         "schrittweite", "hochformat", "querformat", "textwinkel", "gruppe", "row",
                         "wenn", "\xE4" "nderung", "datensatz", "einzelschritt", "spalten",
                         "nerster", "leer", "nleer", "seiten", "erster", "seitenframe", "add",
                         "wert", "neueseite", "ersteseite", "typ", "zahl", "anzeige", "format",
                         "letzter", "else", "setgruppe", "getdbtext"};
  ASSERT_EQ(std::size(order), 71u);
  for (int k = 0; k < 71; ++k) {
    EXPECT_EQ(TDruckReport::GetBefehl(order[k]), k) << order[k];
    for (const char* end : {" x", "\r\n", "\n"})
      EXPECT_EQ(TDruckReport::GetBefehl((std::string(order[k]) + end).c_str()), k) << order[k];
    // A tab does not end a keyword.
    EXPECT_EQ(TDruckReport::GetBefehl((std::string(order[k]) + "\t1").c_str()), 255);
  }
  EXPECT_EQ(TDruckReport::GetBefehl("seitevon"), 12);
  EXPECT_EQ(TDruckReport::GetBefehl("seite"), 11);
  EXPECT_EQ(TDruckReport::GetBefehl("nleer"), 55);
  EXPECT_EQ(TDruckReport::GetBefehl("leer"), 54);
  for (const char* no : {"Text", "LINKS", "seit", "seitenx", "", "hoehe", "h\xD6he"})
    EXPECT_EQ(TDruckReport::GetBefehl(no), 255) << no;
  EXPECT_EQ(TDruckReport::GetBefehl(nullptr), 255);
}

TEST_F(Language, EmptyTextGivesAnEmptyA4PortraitReport) {
  EXPECT_TRUE(Parse("").empty());
  EXPECT_EQ(report.ErstesObjekt(), nullptr);
  EXPECT_EQ(report.Seitenbreite, 2100);
  EXPECT_EQ(report.Seitenhoehe, 2970);
  EXPECT_EQ(report.Dir, 0);
  EXPECT_TRUE(report.SetReportdaten(nullptr));
  EXPECT_TRUE(services.boxes.calls.empty());
}

TEST_F(Language, StatementsSpreadOverLinesAndObjectsInOrder) {
  EXPECT_TRUE(Parse("object label\ntext Kunde\nend\r\nobject rechteck links 100 oben -50 end\n"
                    "ausrichtung querformat\n")
                  .empty());
  auto objs = Objects(report);
  ASSERT_EQ(objs.size(), 2u);
  EXPECT_EQ(objs[0]->Typ, typLabel);
  EXPECT_EQ(objs[0]->Text, "Kunde");
  EXPECT_EQ(objs[1]->Typ, typRechteck);
  EXPECT_EQ(objs[1]->Links, 100);
  EXPECT_EQ(objs[1]->Oben, -50);
  EXPECT_EQ(report.Seitenbreite, 2970);
  EXPECT_EQ(report.Seitenhoehe, 2100);
  EXPECT_EQ(report.Dir, 1);

  ExpectError("text Kunde\n", 7, "Zuweisung ohne Objektdefinition", 1);
  // A new definition replaces the old one, orientation included.
  EXPECT_EQ(report.ErstesObjekt(), nullptr);
  EXPECT_EQ(report.Dir, 0);
}

TEST_F(Language, UnknownWordsAskAndOkContinuesCancelStopsSilently) {
  const std::string text = "object label\nend\nText Kunde\nobject linie end\nLINKS\n";
  auto boxes = Parse(text);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "Text Kunde\nobject li\nIn Zeile 00003");
  EXPECT_EQ(boxes[0].caption, "Unbekannter Befehl");
  EXPECT_EQ(boxes[0].buttons, MB_OKCANCEL);
  EXPECT_EQ(boxes[1].text, "Kunde\nobject linie e\nIn Zeile 00003");
  EXPECT_EQ(boxes[2].text, "LINKS\n\nIn Zeile 00005");
  // OK went on after each word: the line object was made.
  ASSERT_EQ(Objects(report).size(), 2u);
  EXPECT_EQ(Objects(report)[1]->Typ, typLinie);

  services.boxes.answers.push_back(IDCANCEL);
  boxes = Parse(text);
  ASSERT_EQ(boxes.size(), 1u);  // no error box after a cancel
  EXPECT_EQ(Objects(report).size(), 1u);

  // "Kunde" after an unknown word is skipped with it; "xyz" on its own is another word.
  boxes = Parse("Text\txyz Kunde\n");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Text\txyz Kunde\n\nIn Zeile 00001");
  EXPECT_EQ(boxes[1].text, "Kunde\n\nIn Zeile 00001");

  // From line 100000 on the line is left out.
  std::string far(99999, '\n');
  boxes = Parse(far + "Foo\n");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Foo\n\n");
  boxes = Parse(std::string(99998, '\n') + "Foo");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Foo\nIn Zeile 99999");
}

TEST_F(Language, LineEndsCommentsAndIncompleteStatements) {
  // A comment drops the pending value of its line without error 2.
  EXPECT_TRUE(Parse("object label links # 100\nend\n").empty());
  EXPECT_EQ(Objects(report)[0]->Links, 0);
  EXPECT_TRUE(Parse("# nur ein Kommentar").empty());
  // ... and ends set mode.
  EXPECT_TRUE(Parse("set # breite 5\nobject label breite 7 end\n").empty());
  EXPECT_EQ(Objects(report)[0]->Breite, 7);
  EXPECT_EQ(report.Vorgaben().Breite, 500);

  ExpectError("object label\nlinks\nend\n", 2, "Unvollst\xE4" "ndiger Befehl", 2);
  ExpectError("object\n", 2, "Unvollst\xE4" "ndiger Befehl", 1);
  ExpectError("object label\r\nwenn\r\n", 2, "Unvollst\xE4" "ndiger Befehl", 2);
  ExpectError("object variable\ntyp\n", 2, "Unvollst\xE4" "ndiger Befehl", 2);
  ExpectError("data\n", 2, "Unvollst\xE4" "ndiger Befehl", 1);
  // A bare ausrichtung or fontart may end a line; an unfinished last line is not reported.
  EXPECT_TRUE(Parse("object label\nausrichtung\nfontart\nend\nobject label links").empty());
  // A missing end is not reported either.
  EXPECT_TRUE(Parse("frame\nobject label\n").empty());
}

TEST_F(Language, SetModeChangesOnlyTheDefaults) {
  EXPECT_TRUE(Parse("object label end\n"
                    "set schrifth\xF6" "he 12 fontart fett\n"
                    "set breite 800 h\xF6" "he 40 oben 5 links 6 stift 3 anzahl 2 farbe ff\n"
                    "set ausrichtung rechts vmitte box\n"
                    "set gruppe 3 tabelle tab2 typ zahl\n"
                    "object label end\n")
                  .empty());
  auto objs = Objects(report);
  ASSERT_EQ(objs.size(), 2u);
  EXPECT_EQ(objs[0]->Font.Size, 0);
  EXPECT_EQ(objs[0]->Font.Style, 0);
  EXPECT_EQ(objs[0]->Breite, 500);
  EXPECT_EQ(objs[0]->Font.Name, "Times New Roman");
  const DruckReport_Struct& b = *objs[1];
  EXPECT_EQ(b.Font.Size, 12);
  EXPECT_EQ(b.Font.Style, fsBold);
  EXPECT_EQ(b.Breite, 800);
  EXPECT_EQ(b.Hoehe, 40);
  EXPECT_EQ(b.Oben, 5);
  EXPECT_EQ(b.Links, 6);
  EXPECT_EQ(b.Stift, 3);
  EXPECT_EQ(b.Anzahl, 2);
  EXPECT_EQ(b.Farbe, 0xFFu);
  EXPECT_EQ(b.HAusrichtung, 2);
  EXPECT_EQ(b.VAusrichtung, 1);
  EXPECT_EQ(b.Auto, 0);
  EXPECT_EQ(b.Gruppe, 4u);
  EXPECT_EQ(b.Tabelle, 2);
  EXPECT_EQ(b.Zahl, 1);

  // Keywords without a default write the current object even in set mode.
  EXPECT_TRUE(Parse("object label end\nset text Hallo schrittweite 9\n").empty());
  EXPECT_EQ(Objects(report)[0]->Text, "Hallo");
  EXPECT_EQ(Objects(report)[0]->Schrittweite, 9);
  // Decided: with no object yet they report error 7 instead of touching a missing one.
  ExpectError("set text Hallo\n", 7, "Zuweisung ohne Objektdefinition", 1);
  ExpectError("set\nset wenn leer\n", 7, "Zuweisung ohne Objektdefinition", 2);
  ExpectError("ausrichtung hmitte\n", 7, "Zuweisung ohne Objektdefinition", 1);
  ExpectError("data tab1\nlinks 5\n", 7, "Zuweisung ohne Objektdefinition", 2);

  // Font size and style defaults survive a new definition; the others are reset.
  EXPECT_TRUE(Parse("object label end\n").empty());
  EXPECT_EQ(Objects(report)[0]->Font.Size, 12);
  EXPECT_EQ(Objects(report)[0]->Font.Style, fsBold);
  EXPECT_EQ(Objects(report)[0]->Breite, 500);
  EXPECT_TRUE(Parse("set fontart normal schrifth\xF6" "he 0\n").empty());
}

TEST_F(Language, FontStylesAlignmentsAndTheirSelectors) {
  EXPECT_TRUE(Parse("object label fontart kursiv end\n"
                    "object label fontart fett\nfontart unterstrichen end\n"
                    "object label fontart fett kursiv normal unterstrichen end\n"
                    "object label ausrichtung rechts unten box end\n"
                    "object label ausrichtung hmitte vmitte\nausrichtung normal end\n")
                  .empty());
  auto o = Objects(report);
  ASSERT_EQ(o.size(), 5u);
  EXPECT_EQ(o[0]->Font.Style, fsItalic);
  EXPECT_EQ(o[1]->Font.Style, fsBold | fsUnderline);
  EXPECT_EQ(o[2]->Font.Style, fsUnderline);
  EXPECT_EQ(o[3]->HAusrichtung, 2);
  EXPECT_EQ(o[3]->VAusrichtung, 2);
  EXPECT_EQ(o[3]->Auto, 0);
  EXPECT_EQ(o[4]->HAusrichtung, 0);
  EXPECT_EQ(o[4]->VAusrichtung, 0);
  EXPECT_EQ(o[4]->Auto, 1);
  // links and oben after ausrichtung are alignments, not values.
  EXPECT_TRUE(Parse("object label ausrichtung rechts unten\nausrichtung links oben end\n").empty());
  EXPECT_EQ(Objects(report)[0]->HAusrichtung, 0);
  EXPECT_EQ(Objects(report)[0]->VAusrichtung, 0);
  EXPECT_EQ(Objects(report)[0]->Links, 0);
}

TEST_F(Language, GroupsColoursAndValues) {
  EXPECT_TRUE(Parse("object label gruppe 2\ngruppe 33\ngruppe 32 end\n"
                    "object label gruppe 5\ngruppe 0 end\n"
                    "object label farbe ff0000 end\n"
                    "object label farbe A0b1C2 end\n"
                    "object label links abc breite 12abc h\xF6" "he 99999999999 oben -99999999999 end\n"
                    "object label text \"Hallo Welt\"rest textwinkel 900 end\n")
                  .empty());
  auto o = Objects(report);
  ASSERT_EQ(o.size(), 6u);
  EXPECT_EQ(o[0]->Gruppe, 0x80000002u);
  EXPECT_EQ(o[1]->Gruppe, 0u);
  EXPECT_EQ(o[2]->Farbe, 0x00FF0000u);
  EXPECT_EQ(o[3]->Farbe, 0x00A0B1C2u);
  EXPECT_EQ(o[4]->Links, 0);  // decided: a value that does not start with a digit reads as 0
  EXPECT_EQ(o[4]->Breite, 12);
  EXPECT_EQ(o[4]->Hoehe, INT32_MAX);
  EXPECT_EQ(o[4]->Oben, INT32_MIN);
  EXPECT_EQ(o[5]->Text, "Hallo Welt");
  EXPECT_EQ(o[5]->Textwinkel, 900);

  // Set mode replaces the default mask; closing a top-level frame resets it.
  EXPECT_TRUE(Parse("set gruppe 3\nset gruppe 4\nobject label end\nframe\nend\nobject label end\n")
                  .empty());
  o = Objects(report);
  EXPECT_EQ(o[0]->Gruppe, 8u);
  EXPECT_EQ(o[2]->Gruppe, 0u);

  // A string value ends after 200 characters; the rest of the token is skipped.
  std::string longText(250, 'x');
  EXPECT_TRUE(Parse("object label text " + longText + " end\n").empty());
  EXPECT_EQ(Objects(report)[0]->Text, std::string(200, 'x'));
}

TEST_F(Language, ConditionsVariablesAndActions) {
  EXPECT_TRUE(Parse("object label wenn ersteseite\nwenn nerster end\n"
                    "object dbtext wenn \xE4" "nderung\nwenn datensatz\nwenn neueseite end\n"
                    "object label wenn leer\nwenn nleer end\n"
                    "object label wenn nleer\nwenn leer end\n"
                    "object label wenn letzter\nwenn erster end\n"
                    "object variable text Summe typ zahl add Gesamt add Netto anzeige format\n"
                    "getdbtext Betrag end\n"
                    "object variable text Fix wert 12,5 end\n"
                    "object bitmap text Logo else Ersatz end\n")
                  .empty());
  auto o = Objects(report);
  ASSERT_EQ(o.size(), 8u);
  EXPECT_EQ(o[0]->Bedingungen, bedNerster);
  EXPECT_EQ(o[1]->Bedingungen, bedAenderung | bedDatensatz | bedNeueseite);
  EXPECT_EQ(o[2]->Bedingungen, bedNleer);
  EXPECT_EQ(o[3]->Bedingungen, bedLeer);
  EXPECT_EQ(o[4]->Bedingungen, bedErster);
  EXPECT_FALSE(o[1]->Wert.has_value());
  const DruckReport_Struct& v = *o[5];
  EXPECT_EQ(v.Typ, typVariable);
  EXPECT_EQ(v.Zahl, 1);
  EXPECT_EQ(v.Format, 1);
  EXPECT_EQ(v.Text2, "Betrag");
  EXPECT_EQ(v.Anzeigen, 0);
  ASSERT_EQ(v.Aktionen.size(), 2u);
  EXPECT_EQ(v.Aktionen.front().Name, "Gesamt");
  EXPECT_EQ(v.Aktionen.back().Name, "Netto");
  EXPECT_EQ(v.Aktionen.back().Status, 0);
  EXPECT_EQ(o[6]->Wert.value_or("-"), "12,5");
  EXPECT_EQ(o[6]->Anzeigen, 0);
  EXPECT_EQ(o[7]->Typ, typBitmap);
  EXPECT_EQ(o[7]->Text2, "Ersatz");
}

TEST_F(Language, FramesNestAndLinkInDefinitionOrder) {
  EXPECT_TRUE(Parse("object label text A end\n"
                    "frame oben 100 tabelle tab2 spalten 2 anzahl 3\n"
                    "object dbtext text B end\n"
                    "frame oben 50\n"
                    "object label text C end\n"
                    "end\n"
                    "object label text D end\n"
                    "end\n"
                    "seitenframe oben 2800\n"
                    "object seite text E end\n"
                    "end\n"
                    "object label text F end\n"
                    "seiten 0\n")
                  .empty());
  auto o = Objects(report);
  ASSERT_EQ(o.size(), 9u);
  std::string order;
  for (auto* x : o) order += x->Typ == typFrame ? "[" : x->Typ == typSeitenframe ? "{" : x->Text;
  EXPECT_EQ(order, "A[B[CD{EF");
  DruckReport_Struct* outer = o[1];
  EXPECT_EQ(outer->Oben, 100);
  EXPECT_EQ(outer->Links, 0);
  EXPECT_EQ(outer->Breite, 0);
  EXPECT_EQ(outer->Hoehe, 0);
  EXPECT_EQ(outer->Tabelle, 2);
  EXPECT_EQ(outer->Spalten, 2);
  EXPECT_EQ(outer->Anzahl, 3);
  EXPECT_EQ(o[0]->Parent, nullptr);
  EXPECT_EQ(o[2]->Parent, outer);
  EXPECT_EQ(o[3]->Parent, outer);
  EXPECT_EQ(o[4]->Parent, o[3]);
  EXPECT_EQ(o[5]->Parent, outer);
  EXPECT_EQ(report.Seitenframe(), o[6]);
  EXPECT_EQ(o[6]->Tabelle, 0);
  EXPECT_EQ(o[7]->Parent, o[6]);
  EXPECT_EQ(o[8]->Parent, nullptr);
  EXPECT_EQ(report.Seitenlimit, 0);
}

TEST_F(Language, InlineTablesWithQuotedFields) {
  EXPECT_TRUE(Parse("data tab1\nrow Name,Betrag\nrow \"Meier, Hans\",12\nrow x,\"1,5\"dropped,zu viel\nend\n"
                    "object label text T end\n"
                    "data tab3\nrow a\nrow \"b c\" d\nend\n")
                  .empty());
  TStringTab* t = report.GetDatenTab(1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->ColCount(), 2);
  EXPECT_EQ(t->GetRowCount(true), 3);
  EXPECT_EQ(t->GetCell(0, 0), "Name");
  EXPECT_EQ(t->GetCell(0, 1), "Betrag");
  EXPECT_EQ(t->GetCell(1, 0), "Meier, Hans");
  EXPECT_EQ(t->GetCell(1, 1), "12");
  EXPECT_EQ(t->GetCell(2, 1), "1,5");
  // A row changes nothing of the current object.
  ASSERT_EQ(Objects(report).size(), 1u);
  EXPECT_EQ(Objects(report)[0]->Text, "T");
  EXPECT_EQ(report.GetDatenTab(2), nullptr);
  ASSERT_NE(report.GetDatenTab(3), nullptr);
  EXPECT_EQ(report.GetDatenTab(3)->GetCell(1, 0), "b c");

  // A linked table wins while it has rows; an empty one falls back to the inline table.
  TStringTab host(nullptr);
  report.SetTabelle1(&host);
  EXPECT_EQ(report.GetDatenTab(1), t);
  host.Set_Tab(3, 1);
  EXPECT_EQ(report.GetDatenTab(1), &host);
  EXPECT_EQ(report.GetDatenTab(0), nullptr);
  EXPECT_EQ(report.GetDatenTab(4), nullptr);
  {
    auto* gone = new TStringTab(nullptr);
    gone->Set_Tab(3, 1);
    report.SetTabelle2(gone);
    EXPECT_EQ(report.GetDatenTab(2), gone);
    delete gone;
    EXPECT_EQ(report.GetDatenTab(2), nullptr);  // a freed host table reads as unlinked
  }

  // A second data block for the same table empties it first.
  EXPECT_TRUE(Parse("data tab1\nrow A\nrow 1\nend\ndata tab1\nrow B,C\nend\n").empty());
  report.SetTabelle1(nullptr);
  EXPECT_EQ(report.GetDatenTab(1)->GetRowCount(true), 1);
  EXPECT_EQ(report.GetDatenTab(1)->GetCell(0, 1), "C");
}
