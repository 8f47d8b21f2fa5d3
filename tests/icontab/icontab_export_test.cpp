// TIconTab's export files, clipboard text and HTML, mail address, paste and table copy.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "framework/file.h"
#include "tests/icontab/tafel.h"

using namespace komp;
using namespace komp::icontab_test;

namespace {

// Three of five columns shown; with Group the second Bonn row repeats one cell.
const Zeilen kOrte = {
    {"Ort", "Name", "Nr", "x", "y"},
    {"Bonn", "Arndt", "1", "h", "h"},
    {"Bonn", "Berg", "2", "h", "h"},
    {"K\xF6ln", "Berg", "3", "h", "h"},
};

void Fuellen(Tafel& k, const Zeilen& z, int shown, int tab = -1) {
  k.t->SetTabelle(unsigned(z.size()), unsigned(z[0].size()), shown, tab);
  for (size_t r = 0; r < z.size(); ++r)
    for (size_t c = 0; c < z[r].size(); ++c) k.t->SetCell(unsigned(r), unsigned(c), z[r][c]);
  k.t->FEndUpdate(false);
}

struct Ordner {
  std::string pfad;
  Ordner() {
    char tmpl[] = "/tmp/icontab_export_XXXXXX";
    pfad = mkdtemp(tmpl);
  }
  ~Ordner() { std::system(("rm -rf '" + pfad + "'").c_str()); }
  std::string operator/(const std::string& name) const { return pfad + "/" + name; }
};

std::string Lesen(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Schreiben(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

const char kFehler[] = "Fehler: Datei konnte nicht gespeichert werden!";

}  // namespace

// ---------------------------------------------------------------- export files

TEST(IconTabExport, SixLayoutsByteForByte) {
  Tafel k;
  k.t->Group = true;
  Fuellen(k, kOrte, 3);
  ASSERT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 1, 0}));
  Ordner o;
  const struct {
    int format;
    const char* bytes;
  } faelle[] = {
      {1, "Ort\tName\tNr\r\nBonn\tArndt\t1\r\nBonn\tBerg\t2\r\nK\xF6ln\tBerg\t3\r\n"},
      {2, "Ort;Name;Nr\r\nBonn;Arndt;1\r\nBonn;Berg;2\r\nK\xF6ln;Berg;3\r\n"},
      {3, "Ort#Name#Nr\r\nBonn#Arndt#1\r\nBonn#Berg#2\r\nK\xF6ln#Berg#3\r\n"},
      {4, "Ort\tName\tNr\r\nBonn\tArndt\t1\r\n \tBerg\t2\r\nK\xF6ln\tBerg\t3\r\n"},
      {5, "Ort;Name;Nr\r\nBonn;Arndt;1\r\n ;Berg;2\r\nK\xF6ln;Berg;3\r\n"},
      {6, "Ort#Name#Nr\r\nBonn#Arndt#1\r\n #Berg#2\r\nK\xF6ln#Berg#3\r\n"},
      {0, "Ort#Name#Nr\r\nBonn#Arndt#1\r\nBonn#Berg#2\r\nK\xF6ln#Berg#3\r\n"},
      {7, "Ort#Name#Nr\r\nBonn#Arndt#1\r\nBonn#Berg#2\r\nK\xF6ln#Berg#3\r\n"},
  };
  for (const auto& f : faelle) {
    const std::string name = o / ("f" + std::to_string(f.format) + ".txt");
    EXPECT_TRUE(k.t->Export(name, f.format));
    EXPECT_EQ(Lesen(name), f.bytes) << "layout " << f.format;
  }
  // Names are code page 1252 texts: the file system gets them as UTF-8.
  EXPECT_TRUE(k.t->Export(o / "Bl\xE4tter.txt", 1));
  EXPECT_TRUE(FileExists(o / "Bl\xC3\xA4tter.txt"));
  EXPECT_TRUE(k.dienste.boxes.calls.empty());
}

TEST(IconTabExport, QuotesOnlyCellsThatWouldBreakTheRowAndPadsTheLastRow) {
  Tafel k;
  k.t->NeuerDatensatz = true;
  k.t->SetTabelle(5, 3);  // five rows and the new-record row
  const Zeilen z = {{"A;B", "say \"hi\"", "a\tb"}, {"zwei\r\nZeilen \"x\"", "", "lf\nonly"}};
  for (size_t r = 0; r < z.size(); ++r)
    for (size_t c = 0; c < 3; ++c) k.t->SetCell(unsigned(r), unsigned(c), z[r][c]);
  k.t->SetCell(2, 0, "kurz");  // the cell list ends inside row 2; rows 3 and 4 have no entries
  k.t->FEndUpdate(false);
  Ordner o;
  ASSERT_TRUE(k.t->Export(o / "a.txt", 2));
  EXPECT_EQ(Lesen(o / "a.txt"),
            "\"A;B\";say \"hi\";a\tb\r\n"
            "\"zwei\r\nZeilen \"\"x\"\"\";;\"lf\nonly\"\r\n"
            "kurz;;\r\n");
  ASSERT_TRUE(k.t->Export(o / "b.txt", 1));
  EXPECT_EQ(Lesen(o / "b.txt"),
            "A;B\tsay \"hi\"\t\"a\tb\"\r\n"
            "\"zwei\r\nZeilen \"\"x\"\"\"\t\t\"lf\nonly\"\r\n"
            "kurz\t\t\r\n");
  // The plain clipboard text writes the same rows, quoted for its tab.
  k.t->OnTabKopie(nullptr);
  EXPECT_EQ(k.dienste.clipboard.data["text"],
            "A;B\tsay \"hi\"\t\"a\tb\"\r\n"
            "\"zwei\r\nZeilen \"\"x\"\"\"\t\t\"lf\nonly\"\r\n"
            "kurz\t\t");
}

TEST(IconTabExport, FailuresAreReportedAndLeaveTheOldFile) {
  Ordner o;
  {
    Tafel k;  // no tab at all
    EXPECT_FALSE(k.t->Export(o / "leer.txt", 1));
    EXPECT_FALSE(FileExists(o / "leer.txt"));
    EXPECT_EQ(k.dienste.boxes.Lines(), (std::vector<std::string>{kFehler}));
  }
  Tafel k;
  k.Gross(3000, 5);
  EXPECT_FALSE(k.t->Export(o / "fehlt/a.txt", 1));
  EXPECT_EQ(k.dienste.boxes.Lines(), (std::vector<std::string>{kFehler}));

  // A disk that fills up: the writes fail beyond a small size.
  const std::string alt = o / "alt.txt";
  Schreiben(alt, "vorher");
  struct sigaction ignore {}, before {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &before);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit klein = saved;
  klein.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &klein);
  const bool ok = k.t->Export(alt, 1);
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &before, nullptr);
  EXPECT_FALSE(ok);
  EXPECT_EQ(k.dienste.boxes.Lines(), (std::vector<std::string>{kFehler, kFehler}));
  EXPECT_EQ(Lesen(alt), "vorher");
  EXPECT_EQ(std::system(("test $(ls -A '" + o.pfad + "' | wc -l) -eq 1").c_str()), 0) << "a temporary file was left";
}

TEST(IconTabExport, SaveDialogChoosesLayoutAndName) {
  Ordner o;
  Tafel k;
  k.t->OnExport(nullptr);  // no tab: no dialog
  EXPECT_TRUE(k.dienste.dialogs.saveCalls.empty());
  k.Fuellen({{"a", "b"}, {"c", "d"}});
  auto& d = k.dienste.dialogs;

  d.saveAnswers = {o / "liste"};
  d.filterAnswers = {5};
  k.t->OnExport(nullptr);
  ASSERT_EQ(d.saveCalls.size(), 1u);
  EXPECT_EQ(d.saveCalls[0].Title, "Exportieren in Datei");
  EXPECT_EQ(d.saveCalls[0].Filter,
            "Tabulator|*.txt|Trennzeichen(;)|*.txt|Trennzeichen(#)|*.txt|Gruppe+Tabulator|*.txt|"
            "Gruppe+Trennzeichen(;)|*.txt|Gruppe+Trennzeichen(#)|*.txt");
  EXPECT_EQ(d.saveCalls[0].FilterIndex, 1);
  EXPECT_EQ(d.saveCalls[0].DefaultExt, "");
  EXPECT_EQ(Lesen(o / "liste.txt"), "a;b\r\nc;d\r\n");

  // Only the last component counts for the extension; any extension stays as it is.
  std::system(("mkdir '" + (o / "ein.ordner") + "'").c_str());
  d.saveAnswers = {o / "ein.ordner/name", o / "x.csv", ""};
  d.filterAnswers = {1, 3};
  k.t->OnExport(nullptr);
  k.t->OnExport(nullptr);
  k.t->OnExport(nullptr);  // cancelled
  EXPECT_EQ(Lesen(o / "ein.ordner/name.txt"), "a\tb\r\nc\td\r\n");
  EXPECT_EQ(Lesen(o / "x.csv"), "a#b\r\nc#d\r\n");
  EXPECT_EQ(d.saveCalls.size(), 4u);

  // ".txt" appended to a name that then exists: asked first, kept on "no".
  Schreiben(o / "da.txt", "alt");
  k.dienste.boxes.answers = {IDNO, IDYES};
  d.saveAnswers = {o / "da", o / "da"};
  k.t->OnExport(nullptr);
  EXPECT_EQ(Lesen(o / "da.txt"), "alt");
  ASSERT_EQ(k.dienste.boxes.calls.size(), 1u);
  EXPECT_EQ(k.dienste.boxes.calls[0].text, "Die Datei " + (o / "da.txt") + " ist schon vorhanden.\nSoll sie ersetzt werden?");
  EXPECT_EQ(k.dienste.boxes.calls[0].buttons, MB_YESNO);
  k.t->OnExport(nullptr);
  EXPECT_EQ(Lesen(o / "da.txt"), "a\tb\r\nc\td\r\n");
}

// ---------------------------------------------------------------- clipboard

TEST(IconTabExport, TableTextAndCellCopy) {
  Tafel k;
  Fuellen(k, kOrte, 3);
  k.t->OnTabKopie(nullptr);
  auto& clip = k.dienste.clipboard.data;
  EXPECT_EQ(clip["text"], "Ort\tName\tNr\r\nBonn\tArndt\t1\r\nBonn\tBerg\t2\r\nK\xF6ln\tBerg\t3");
  EXPECT_EQ(clip.count("HTML Format"), 1u);

  clip.clear();
  k.t->SetRow(0);  // a title row cannot be chosen: the first data row is
  k.t->SetRow(-1);
  k.t->OnZellKopie(nullptr);  // no current row
  EXPECT_TRUE(clip.empty());
  k.t->SetRow(2);
  k.t->OnZellKopie(nullptr);  // no column chosen yet: nothing to copy
  EXPECT_TRUE(clip.empty());
}

TEST(IconTabExport, TextKopieTakesExactlyTheGivenText) {
  Tafel k;
  auto& clip = k.dienste.clipboard;
  EXPECT_FALSE(k.t->TextKopie("", false));
  EXPECT_EQ(clip.writes, 0);
  std::string lang(300000, 'x');
  lang[5] = '\0';  // a zero inside does not end it
  lang += "\xE9nde";
  EXPECT_TRUE(k.t->TextKopie(lang, false));
  EXPECT_EQ(clip.data["text"], lang);
  EXPECT_EQ(clip.data.count("HTML Format"), 0u);
  EXPECT_TRUE(k.t->TextKopie(std::string_view(lang).substr(0, 3), false));
  EXPECT_EQ(clip.data["text"], "xxx");

  std::string s = "Anfang";
  EXPECT_TRUE(k.t->TextPaste(s, 3));
  EXPECT_EQ(s, "Anxxxfang");
  EXPECT_TRUE(k.t->TextPaste(s, 99));
  EXPECT_EQ(s, "Anxxxfangxxx");
  clip.data.clear();
  EXPECT_FALSE(k.t->TextPaste(s, 1));
  EXPECT_EQ(s, "Anxxxfangxxx");
}

TEST(IconTabExport, HtmlOfAGroupedTableWithCaption) {
  Tafel k;
  k.t->Group = true;
  k.t->SetCaption("Gr\xFC\xDF" "e & <B\xE4nde>");
  k.t->SetTabelle(5, 3);
  const Zeilen z = {{"Ort", "Name", "Nr"}, {"Bonn", "Arndt", "1"}, {"Bonn", "Arndt", "2"}, {"Bonn", "Arndt", "3"},
                    {"Caf\xE9", "\x80 <&>", ""}};
  for (size_t r = 0; r < z.size(); ++r)
    for (size_t c = 0; c < 3; ++c) k.t->SetCell(unsigned(r), unsigned(c), z[r][c]);
  k.t->FEndUpdate(false);
  ASSERT_EQ(k.Tiefen(), (std::vector<int>{0, 0, 2, 2, 0}));
  std::string html;
  ASSERT_TRUE(k.t->HTMLKopie(html));
  const std::string body =
      "<html>\r\n<body>\r\n"
      "<caption><h2>\r\nGr&uuml;&szlig;e &amp; &lt;B&auml;nde&gt;\r\n</h2></caption>\r\n"
      "<table cellspacing=0 cellpadding=3 border=1>\r\n"
      "<tr bgcolor=#dddddd>\r\n<th>Ort</th>\r\n<th>Name</th>\r\n<th>Nr</th>\r\n</tr>\r\n"
      "<tr>\r\n<td valign=top  rowspan=3>Bonn</td>\r\n<td valign=top  rowspan=3>Arndt</td>\r\n<td>1</td>\r\n</tr>\r\n"
      "<tr>\r\n<td>2</td>\r\n</tr>\r\n"
      "<tr>\r\n<td>3</td>\r\n</tr>\r\n"
      "<tr>\r\n<td>Caf&#233;</td>\r\n<td>&#8364; &lt;&amp;&gt;</td>\r\n<td>&nbsp;</td>\r\n</tr>\r\n"
      "</table>\r\n</body>";
  const std::string len = std::to_string(151 + body.size());
  const std::string n9 = std::string(9 - len.size(), '0') + len;
  EXPECT_EQ(html, "Version:1.0\r\nStartHTML:000000151\r\nEndHTML:" + n9 + "\r\nStartFragment:000000159\r\nEndFragment:" +
                      n9 + "\r\nStartSelection:000000159\r\nEndSelection:" + n9 + "\r\n" + body);
  for (unsigned char ch : html) EXPECT_LT(ch, 0x80);

  // Without the header the HTML is appended to what is there.
  std::string mehr = "vorher";
  EXPECT_TRUE(k.t->HTMLKopie(mehr, true));
  EXPECT_EQ(mehr, "vorher" + body);
}

TEST(IconTabExport, HtmlRowKindsSpansAndTabs) {
  Tafel k;
  k.t->Group = true;
  Fuellen(k, {{"T", "U"}, {"a", "x"}, {"a", "y"}, {"b", "z"}}, 0);
  k.t->SetRowArt(3, 2);  // shaded
  Fuellen(k, {{"Kopf", "-"}, {"q", "r"}}, 0, 1);
  k.t->SetRowArt(1, 1);  // one cell across
  std::string html;
  ASSERT_TRUE(k.t->HTMLKopie(html));
  EXPECT_NE(html.find("<tr>\r\n<td rowspan=2>a</td>\r\n<td>x</td>\r\n</tr>\r\n<tr>\r\n<td>y</td>\r\n</tr>\r\n"
                      "<tr bgcolor=#dddddd>\r\n<td>b</td>\r\n<td>z</td>\r\n</tr>\r\n</table>\r\n<br>\r\n"
                      "<table cellspacing=0 cellpadding=3 border=1>\r\n"
                      "<tr bgcolor=#dddddd>\r\n<th>Kopf</th>\r\n<th>-</th>\r\n</tr>\r\n"
                      "<tr>\r\n<td align=left colspan=2>q</td></tr>\r\n</table>\r\n</body>"),
            std::string::npos)
      << html;
  EXPECT_EQ(html.find("<caption>"), std::string::npos);

  // No tab at all: still a document whose offsets hold.
  Tafel leer;
  ASSERT_TRUE(leer.t->HTMLKopie(html));
  EXPECT_EQ(html.substr(151), "<html>\r\n<body>\r\n</body>");
  EXPECT_EQ(html.substr(0, 53), "Version:1.0\r\nStartHTML:000000151\r\nEndHTML:000000174\r\n");
}

TEST(IconTabExport, MailAddressIsPercentEncodedUtf8) {
  Tafel k;
  k.t->SetCaption("Best\xE4nde & Preise ab 5\x80");
  k.Fuellen({{"a"}, {"b"}});
  k.t->OnEMail(nullptr);
  ASSERT_EQ(k.dienste.shell.urls.size(), 1u);
  EXPECT_EQ(k.dienste.shell.urls[0],
            "mailto:?Subject=Best%C3%A4nde%20%26%20Preise%20ab%205%E2%82%AC"
            "&body=Bitte%20Tabelle%20per%20Hand%20einf%C3%BCgen.%20Text%20markieren%20und%20klick%20auf%20"
            "%27Einf%C3%BCgen%27");
  EXPECT_EQ(k.dienste.clipboard.data["text"], "Tab");
  EXPECT_NE(k.dienste.clipboard.data["HTML Format"].find("<td>b</td>"), std::string::npos);
}

TEST(IconTabExport, TabKopieCopiesEntriesOneForOne) {
  Tafel k;
  k.t->SetTabelle(3, 4, 2);
  const Zeilen z = {{"A", "B", "C", "D"}, {"zwei\r\nZeilen", "x", "y", "z"}, {"e", "", "g", "h"}};
  for (size_t r = 0; r < z.size(); ++r)
    for (size_t c = 0; c < 4; ++c) k.t->SetCell(unsigned(r), unsigned(c), z[r][c]);
  k.t->FEndUpdate(false);
  k.t->SetColWidth(0, 77);
  k.t->SetColWidth(1, 55);
  Fuellen(k, {{"anders"}, {"tab"}}, 0, 1);  // only the first tab is copied

  auto* ziel = new TIconTab(&k.form);
  k.t->Tab_Kopie(ziel);
  ASSERT_EQ(ziel->TabCount(), 1);
  Tabdefinition& t = *ziel->GetTabelle(0);
  EXPECT_EQ(t.RowCount(), 3);
  EXPECT_EQ(t.RealCols, 4);
  EXPECT_EQ(t.Cols, 2);
  const TStringList von = k.t->GetStrings(0), nach = ziel->GetStrings(0);
  ASSERT_EQ(nach.Count(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(nach[i], von[i]) << i;
  EXPECT_EQ(ziel->GetCell(0, 1, 0), "zwei\r\nZeilen");
  EXPECT_EQ(ziel->GetCell(1, 2, 0), "");
  EXPECT_EQ(t.Spalten[0].Width, 77);
  EXPECT_EQ(t.Spalten[1].Width, 55);
  k.t->Tab_Kopie(nullptr);  // nothing happens
}
