// SaveasPDF: the layout written through the PDF writer, read back by qpdf and pdftotext.
// In CI a missing tool is a failure, elsewhere a skip.
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "framework/cp1252.h"
#include "tests/druckreport/fixture.h"
#include "tests/pdf/tool_run.h"

namespace komp::drtest {
namespace {

namespace fs = std::filesystem;

using komp::test::Shell;
using komp::test::ToolRun;

struct LayoutPdf : Fixture {
  fs::path dir;
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "komp-layoutpdf-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  // The text pdftotext reads (UTF-8), after qpdf found the file sound; empty when skipped.
  std::string Check(const std::string& path) {
    for (const char* tool : {"qpdf", "pdftotext"})
      if (Shell(std::string("command -v ") + tool).status != 0) {
        if (getenv("CI")) ADD_FAILURE() << "CI needs " << tool;
        return "";
      }
    const ToolRun q = Shell("qpdf --check '" + path + "'");
    EXPECT_EQ(q.status, 0) << q.output;
    EXPECT_EQ(q.output.find("WARNING"), std::string::npos) << q.output;
    const ToolRun t = Shell("pdftotext -enc UTF-8 '" + path + "' -");
    EXPECT_EQ(t.status, 0) << t.output;
    return t.output;
  }
};

TEST_F(LayoutPdf, SmallReportReadsBack) {
  Parse("object label oben 0 text \"Gr\xFC\xDF" "e (a) 5 \x80\"\nend\n"
        "object label oben 100 text C:\\temp\nend\n"
        "object rechteck oben 300 breite 500 h\xF6he 200\nend\n");
  const std::string path = Path("klein.pdf");
  ASSERT_TRUE(report.SaveasPDF(path.c_str()));
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.rfind("%PDF-1.4\r", 0), 0u);
  EXPECT_NE(bytes.find("/MediaBox [0 0 600 848]"), std::string::npos);
  // Font size 0 in the definition: the default size, never an invisible 0 Tf.
  EXPECT_EQ(bytes.find(" 0 Tf"), std::string::npos);
  EXPECT_NE(bytes.find("/F1 10 Tf"), std::string::npos);
  EXPECT_NE(bytes.find(" re\r"), std::string::npos);
  const std::string text = Check(path);
  if (text.empty()) GTEST_SKIP() << "no PDF tools";
  EXPECT_NE(text.find("Gr\xC3\xBC\xC3\x9F" "e (a) 5 \xE2\x82\xAC"), std::string::npos) << text;
  EXPECT_NE(text.find("C:\\temp"), std::string::npos) << text;
}

TEST_F(LayoutPdf, PageTotalsCountedOnThePdfMeasures) {
  const std::string path = Path("liste.pdf");
  Parse("seiten 0\nset schrifth\xF6he 11\n"
        "object label breite 1900 text Adressliste\nend\n"
        "frame oben 100\ntabelle tab1\n"
        "object dbtext links 0 breite 800 h\xF6he 50 text Name\nend\nend\n"
        "seitenframe oben 2700\n"
        "object seite links 1400 breite 250 h\xF6he 50 text \"Seite \" ausrichtung rechts\nend\n"
        "object seitevon links 1650 breite 250 h\xF6he 50 text \" von \"\nend\nend\n");
  ASSERT_TRUE(services.boxes.calls.empty());
  // Enough addresses for two pages, from a table the host links.
  TStringTab tab;
  tab.Set_Tab(1, 3);
  tab.SetCell(0, 0, "Name");
  tab.SetCell(0, 1, "Ort");
  tab.SetCell(0, 2, "Telefon");
  for (int i = 1; i <= 80; ++i) tab.InsertRow(-1, nullptr, 1), tab.SetCell(i, 0, "Person " + std::to_string(i));
  report.SetTabelle1(&tab);
  ASSERT_TRUE(report.SaveasPDF(path.c_str()));
  EXPECT_EQ(report.Seitenanzahl, 2);
  const std::string bytes = ReadFile(path);
  EXPECT_NE(bytes.find("(Seite 1) Tj"), std::string::npos);
  EXPECT_NE(bytes.find("(Seite 2) Tj"), std::string::npos);
  EXPECT_NE(bytes.find("( von 2) Tj"), std::string::npos);
  EXPECT_EQ(bytes.find("( von 1) Tj"), std::string::npos);
  const std::string text = Check(path);
  if (text.empty()) GTEST_SKIP() << "no PDF tools";
  EXPECT_NE(text.find("Person 1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Seite 2 von 2"), std::string::npos) << text;
  EXPECT_NE(text.find("Person 80"), std::string::npos);
  EXPECT_NE(text.find("Adressliste"), std::string::npos);
}

TEST_F(LayoutPdf, FailuresLeaveNoFile) {
  Parse("object label text Hallo\nend\n");
  EXPECT_FALSE(report.SaveasPDF((dir / "fehlt" / "x.pdf").string().c_str()));
  EXPECT_FALSE(report.SaveasPDF(nullptr));
  EXPECT_FALSE(report.SaveasPDF(""));
  // A structure error stops the run: no file, not even a half one.
  Parse("seiten 0\nframe\nobject label oben 5000 text Nie\nend\nend\n");
  const std::string path = Path("kaputt.pdf");
  EXPECT_FALSE(report.SaveasPDF(path.c_str()));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
  ASSERT_EQ(services.boxes.calls.size(), 1u);
  EXPECT_EQ(services.boxes.calls[0].caption, "Fehler");
  // A code page 1252 name reaches the file system as UTF-8.
  Parse("object label text Hallo\nend\n");
  ASSERT_TRUE(report.SaveasPDF((dir.string() + "/Pr\xFC" "fung.pdf").c_str()));
  EXPECT_TRUE(fs::exists(dir / "Pr\xC3\xBC" "fung.pdf"));
}

TEST_F(LayoutPdf, InvoiceExampleOnPdfAndCanvas) {
  Parse(ReadFile(std::string(KOMP_DOCS_EXAMPLES) + "/rechnung.txt"));
  ASSERT_TRUE(services.boxes.calls.empty());
  const std::string path = Path("rechnung.pdf");
  ASSERT_TRUE(report.SaveasPDF(path.c_str()));
  TRecordingCanvas page(840, 1188);
  TCanvasOutput out(page, report.Seitenbreite, report.Seitenhoehe, 840, 1188, {0, 0}, 96, nullptr);
  ASSERT_TRUE(report.DrawCanvas(out));
  const std::string drawn = page.record.AllText();
  EXPECT_NE(page.record.FindText("20,45"), nullptr) << drawn;
  EXPECT_NE(page.record.FindText("D\xFC" "bel"), nullptr) << drawn;
  const std::string text = Check(path);
  if (text.empty()) GTEST_SKIP() << "no PDF tools";
  // Every text the canvas got is in the PDF too.
  size_t from = 0;
  while (from <= drawn.size()) {
    const size_t bar = std::min(drawn.find('|', from), drawn.size());
    const std::string piece = drawn.substr(from, bar - from);
    if (!piece.empty()) {
      const std::string utf8 = Cp1252ToUtf8(piece);
      EXPECT_NE(text.find(utf8.substr(0, utf8.find(' '))), std::string::npos) << piece;
    }
    from = bar + 1;
  }
}

// The PDF goes out page by page once the count is known. A host that changes the data while
// the pages are drawn (so that they are more than counted) still gets a whole, right file.
TEST_F(LayoutPdf, PagesChangedByTheHostDuringTheDrawingRun) {
  TStringTab tab;
  tab.Set_Tab(2, 1);
  tab.SetCell(0, 0, "Name");
  tab.SetCell(1, 0, "erste");
  Parse("seiten 0\ndata tab2\nrow X\nrow a\nrow b\nend\n"
        "frame oben 0 tabelle tab2 schrittweite 100\nobject dbtext tabelle tab2 text X\nend\nend\n"
        "frame oben 300 tabelle tab1 schrittweite 400\nobject dbtext text Name\nend\nend\n"
        "seitenframe oben 2700\nobject seitevon text \"von \"\nend\nend\n");
  report.SetTabelle1(&tab);
  bool grown = false;
  report.OnRecordChange = [&](TObject*, int t, int) {
    // Called in drawing runs only: the counting run saw one record, the drawing run gets 20.
    if (t != 2 || grown) return;
    grown = true;
    tab.InsertRow(-1, nullptr, 19);
    for (int r = 2; r <= 20; ++r) tab.SetCell(r, 0, "N" + std::to_string(r));
  };
  const std::string path = Path("gewachsen.pdf");
  ASSERT_TRUE(report.SaveasPDF(path.c_str()));
  const std::string text = Check(path);
  if (text.empty()) GTEST_SKIP() << "no PDF tools";
  EXPECT_NE(text.find("N20"), std::string::npos) << text;
  const ToolRun pages = Shell("qpdf --show-npages '" + path + "'");
  EXPECT_EQ(std::stoi(pages.output), report.Seitenanzahl);
  EXPECT_GT(report.Seitenanzahl, 1);
}

}  // namespace
}  // namespace komp::drtest
