// Every PDF the writer makes, read by three independent readers: qpdf checks
// the structure, pdftotext must give every text back, mutool must draw every
// page; none may warn. In CI a missing tool is a failure, elsewhere a skip.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/cp1252.h"
#include "tests/pdf/documents.h"
#include "tests/pdf/tool_run.h"

namespace komp::pdf {
namespace {

namespace fs = std::filesystem;

using komp::test::Shell;
using komp::test::ToolRun;

bool HaveTools(std::string& missing) {
  for (const char* tool : {"qpdf", "pdftotext", "mutool"})
    if (Shell(std::string("command -v ") + tool).status != 0) missing += std::string(" ") + tool;
  return missing.empty();
}

#define REQUIRE_TOOLS()                                                               \
  do {                                                                                \
    std::string missing;                                                              \
    if (!HaveTools(missing)) {                                                        \
      if (getenv("CI")) FAIL() << "CI needs the PDF tools (scripts/setup.sh):" << missing; \
      GTEST_SKIP() << "missing:" << missing;                                          \
    }                                                                                 \
  } while (0)

class PdfTools : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "komp-pdftools-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, void (*draw)(TPdfWriter&)) {
    const std::string path = dir_ + "/" + name;
    TPdfFileSink sink;
    EXPECT_TRUE(sink.Create(path));
    TPdfWriter pdf(sink);
    draw(pdf);
    EXPECT_TRUE(pdf.EndDocument()) << name;
    return path;
  }

  // qpdf and mutool accept the file without a word beyond qpdf's report; the
  // text pdftotext gives back (UTF-8) is returned.
  std::string Check(const std::string& path) {
    const ToolRun q = Shell("qpdf --check '" + path + "'");
    EXPECT_EQ(q.status, 0) << path << "\n" << q.output;
    EXPECT_EQ(q.output.find("WARNING"), std::string::npos) << path << "\n" << q.output;
    EXPECT_NE(q.output.find("No syntax or stream encoding errors found"), std::string::npos) << q.output;
    // -N: without colour management, so the Debian build's note about missing ICC support stays away.
    const ToolRun m = Shell("mutool draw -N -q -o '" + dir_ + "/page%d.png' '" + path + "'");
    EXPECT_EQ(m.status, 0) << path << "\n" << m.output;
    EXPECT_EQ(m.output, "") << path;
    const ToolRun t = Shell("pdftotext -enc UTF-8 '" + path + "' -");
    EXPECT_EQ(t.status, 0) << path << "\n" << t.output;
    return t.output;
  }

  std::string dir_;
};

void ExpectText(const std::string& utf8, const std::string& cp1252) {
  EXPECT_NE(utf8.find(Cp1252ToUtf8(cp1252)), std::string::npos) << Cp1252ToUtf8(cp1252) << " not in:\n" << utf8;
}

TEST_F(PdfTools, EveryWrittenPdfPassesTheReadersWithAllItsText) {
  REQUIRE_TOOLS();
  std::string text = Check(Write("one.pdf", test::DrawOnePage));
  ExpectText(text, "Rechnung (a)");
  ExpectText(text, "C:\\temp");

  text = Check(Write("two.pdf", test::DrawTwoPages));
  ExpectText(text, "Seite 1 von 2");
  ExpectText(text, "Seite 2 von 2");
  ExpectText(text, "Gr\xFC\xDF" "e, 5 \x80");
  EXPECT_EQ(Shell("mutool info '" + dir_ + "/two.pdf' | grep -c '^Pages: 2'").output, "1\n");

  text = Check(Write("hard.pdf", [](TPdfWriter& p) { test::DrawHardTexts(p, 3); }));
  for (const char* t : {"(a)", "C:\\temp", "\xC4\xD6\xDC\xE4\xF6\xFC\xDF", "5 \x80 netto", "a)b(c\\d", "?????",
                        "\x84" "Anf\xFChrung\x93 \x96 Ende", "Tab", "Steuer"})
    ExpectText(text, t);

  Check(Write("blank.pdf", [](TPdfWriter& p) { p.BeginDocument(2970, 2100); }));
  Check(KOMP_PDF_TESTDATA "/one_page.pdf");
  Check(KOMP_PDF_TESTDATA "/two_pages.pdf");
}

TEST_F(PdfTools, TheReadersDoComplainAboutABrokenFile) {
  REQUIRE_TOOLS();
  // The same file with one cross-reference offset off by one: the checks above would see it.
  std::string bytes = test::ReadAll(Write("one.pdf", test::DrawOnePage));
  const size_t entry = bytes.find("0000000178 00000 n");
  ASSERT_NE(entry, std::string::npos);
  bytes[entry + 9] = '9';
  const std::string broken = dir_ + "/broken.pdf";
  std::ofstream(broken, std::ios::binary) << bytes;
  const ToolRun q = Shell("qpdf --check '" + broken + "'");
  EXPECT_TRUE(q.status != 0 || q.output.find("WARNING") != std::string::npos) << q.output;
  const ToolRun m = Shell("mutool draw -N -q -o '" + dir_ + "/b%d.png' '" + broken + "'");
  EXPECT_NE(m.output, "");
}

}  // namespace
}  // namespace komp::pdf
