// komp-report end to end: the real executable on an example definition with CSV tables into a
// PDF (read back with pdftotext) and page pictures, broken definitions and outputs that cannot
// be written; printing in process with the recording printer.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "framework/testing/doubles.h"
#include "tools/komp-report/args.h"

using namespace komp;
using namespace komp::report_cli;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
bool Have(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }
bool Contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

struct Ran {
  int status;
  std::string err;
};

class KompReport : public ::testing::Test {
 protected:
  KompReport() : dir_(fs::temp_directory_path() / ("komp-report-" + std::to_string(getpid()))) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~KompReport() override { fs::remove_all(dir_); }
  // Runs the executable without a display; stderr is caught.
  Ran Run(const std::string& args) {
    const fs::path err = dir_ / "err.txt";
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" KOMP_REPORT_EXE "' " + args +
                            " >/dev/null 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(err)};
  }
  std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }
  // A list of `rows` names, enough for several pages with one line each.
  fs::path Namensliste(int rows) {
    WriteFile(dir_ / "namen.txt",
              "seiten 0\nframe oben 100\ntabelle tab1\nobject dbtext links 0 breite 800 h\xF6he 50 text Name\nend\nend\n");
    std::string csv = "Name\n";
    for (int i = 1; i <= rows; ++i) csv += "Person " + std::to_string(i) + "\n";
    WriteFile(dir_ / "namen.csv", csv);
    return dir_ / "namen.txt";
  }
  fs::path dir_;
};

TEST_F(KompReport, PdfOfAnExampleCarriesTheCsvTable) {
  WriteFile(dir_ / "posten.csv",
            "\xEF\xBB\xBF" "Artikel,Menge,Betrag\r\n\"Zange, rot\",7,\"9,99\"\r\nS\xC3\xA4ge \xE2\x82\xAC,1,\"20,00\"\r\n");
  const Ran r = Run(std::string(KOMP_DOCS_EXAMPLES "/rechnung.txt --table1 ") + Q(dir_ / "posten.csv") + " --pdf " +
                    Q(dir_ / "r.pdf"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "r.pdf").substr(0, 5), "%PDF-");
  if (!Have("pdftotext")) GTEST_SKIP() << "pdftotext fehlt";
  ASSERT_EQ(std::system(("pdftotext " + Q(dir_ / "r.pdf") + " " + Q(dir_ / "r.txt")).c_str()), 0);
  const std::string text = ReadFile(dir_ / "r.txt");
  EXPECT_TRUE(Contains(text, "Zange, rot")) << text;
  EXPECT_TRUE(Contains(text, "S\xC3\xA4ge \xE2\x82\xAC")) << text;
  EXPECT_TRUE(Contains(text, "29,99")) << text;  // the sum over the CSV's rows
  // The linked table replaces the definition's own rows.
  EXPECT_FALSE(Contains(text, "Schrauben")) << text;
}

TEST_F(KompReport, PngWritesOnePicturePerPageAsThePdfHasPages) {
  const fs::path def = Namensliste(150);
  Ran r = Run(Q(def) + " --table1 " + Q(dir_ / "namen.csv") + " --png " + Q(dir_ / "bilder"));
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run(Q(def) + " --table1 " + Q(dir_ / "namen.csv") + " --pdf " + Q(dir_ / "n.pdf"));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string pdf = ReadFile(dir_ / "n.pdf");
  int pages = 0;
  for (size_t at = 0; (at = pdf.find("/Type /Page", at)) != std::string::npos; at += 5)
    if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
  ASSERT_GT(pages, 1);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_ / "bilder")) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(int(names.size()), pages) << ::testing::PrintToString(names);
  for (int i = 1; i <= pages; ++i) {
    const std::string png = ReadFile(dir_ / "bilder" / ("seite" + std::to_string(i) + ".png"));
    EXPECT_EQ(png.substr(1, 3), "PNG") << i;
  }
}

TEST_F(KompReport, BrokenDefinitionsTellNumberAndLineAndWriteNothing) {
  WriteFile(dir_ / "kaputt.txt", "# Kopf\nseiten 0\nend\n");
  Ran r = Run(Q(dir_ / "kaputt.txt") + " --pdf " + Q(dir_ / "k.pdf"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "komp-report: Fehler 8 in Zeile 3: ")) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "k.pdf"));

  WriteFile(dir_ / "wort.txt", "seiten 0\nquatsch 5\nobject label text Hallo\nend\nunsinn\n");
  r = Run(Q(dir_ / "wort.txt") + " --pdf " + Q(dir_ / "w.pdf"));
  EXPECT_EQ(r.status, 1);
  // Reading goes on after an unknown word, so both are told.
  EXPECT_TRUE(Contains(r.err, "Unbekanntes Wort in Zeile 2: quatsch")) << r.err;
  EXPECT_TRUE(Contains(r.err, "Unbekanntes Wort in Zeile 5: unsinn")) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "w.pdf"));

  r = Run(Q(dir_ / "fehlt.txt") + " --pdf " + Q(dir_ / "f.pdf"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "fehlt.txt")) << r.err;

  WriteFile(dir_ / "offen.csv", "Name\n\"Meier\nSchulz\n");
  r = Run(std::string(KOMP_DOCS_EXAMPLES "/rechnung.txt --table1 ") + Q(dir_ / "offen.csv") + " --pdf " +
          Q(dir_ / "o.pdf"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "Tabelle1")) << r.err;
  EXPECT_TRUE(Contains(r.err, "Anf\xC3\xBChrungszeichen ab Zeile 2 wird nicht geschlossen")) << r.err;
  EXPECT_FALSE(fs::exists(dir_ / "o.pdf"));
}

TEST_F(KompReport, UnwritableOutputsFailWithoutHalfFiles) {
  const fs::path def = Namensliste(3);
  const std::string tab = " --table1 " + Q(dir_ / "namen.csv");
  Ran r = Run(Q(def) + tab + " --pdf " + Q(dir_ / "nicht-da" / "x.pdf"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "konnte nicht geschrieben werden")) << r.err;

  fs::create_directory(dir_ / "ordner");
  r = Run(Q(def) + tab + " --pdf " + Q(dir_ / "ordner"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(fs::is_empty(dir_ / "ordner"));

  WriteFile(dir_ / "datei", "x");
  r = Run(Q(def) + tab + " --png " + Q(dir_ / "datei"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "kann nicht angelegt werden")) << r.err;
  EXPECT_EQ(ReadFile(dir_ / "datei"), "x");

  r = Run(Q(def) + " --pdf");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Contains(r.err, "Aufruf: komp-report")) << r.err;

  // Nothing but what the test wrote is left in its folder.
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"datei", "err.txt", "namen.csv", "namen.txt", "ordner"}));
}

TEST_F(KompReport, PrintGoesToThePrinterServiceWithTheCopies) {
  const fs::path def = Namensliste(3);
  TRecordingPrinter printer;
  TServices doubles;
  doubles.Printer = &printer;
  TServiceOverride use(doubles);
  std::FILE* err = std::tmpfile();
  EXPECT_EQ(RunReport({def.string(), "--table1", (dir_ / "namen.csv").string(), "--print", "--copies", "3"}, stdout, err),
            kOk);
  ASSERT_EQ(printer.jobs.size(), 1u);
  EXPECT_EQ(printer.jobs[0].copies, 3);
  EXPECT_FALSE(printer.jobs[0].aborted);
  EXPECT_EQ(printer.jobs[0].pages.size(), 1u);

  printer.available = false;
  EXPECT_EQ(RunReport({def.string(), "--print"}, stdout, err), kFehler);
  std::rewind(err);
  std::string text(4096, '\0');
  text.resize(std::fread(text.data(), 1, text.size(), err));
  std::fclose(err);
  EXPECT_TRUE(Contains(text, "komp-report: Drucken fehlgeschlagen")) << text;
}

}  // namespace
