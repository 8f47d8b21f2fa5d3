// SaveasPDF against files worked out by hand: data/layout_*.txt is a definition, data/layout_*.pdf
// the file it must give, computed from the placement and rounding rules without running the
// engine. These files, the PDFs written from them and those of every example in docs/examples are
// read by qpdf, pdftotext and mutool. In CI a missing tool is a failure, elsewhere a skip.
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/cp1252.h"
#include "tests/druckreport/fixture.h"
#include "tests/pdf/tool_run.h"

namespace komp::drtest {
namespace {

namespace fs = std::filesystem;

using komp::test::Shell;
using komp::test::ToolRun;

std::string Data(const std::string& name) { return std::string(KOMP_DR_TESTDATA) + "/" + name; }

// Without white space: pdftotext makes spaces and line breaks from the gaps it sees.
std::string Squeezed(std::string s) {
  s.erase(std::remove_if(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); }),
          s.end());
  return s;
}

// Empty when equal; else the first byte where the two part, with some bytes from there of each.
std::string Difference(const std::string& written, const std::string& byHand) {
  if (written == byHand) return "";
  size_t at = 0;
  while (at < written.size() && at < byHand.size() && written[at] == byHand[at]) ++at;
  const size_t from = at > 30 ? at - 30 : 0;
  auto show = [from](const std::string& s) {
    std::string r;
    for (size_t i = from; i < std::min(s.size(), from + 100); ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (c == '\r') {
        r += "\\r";
      } else if (c < 0x20 || c >= 0x7F) {
        static const char hex[] = "0123456789ABCDEF";
        r += "\\x";
        r += hex[c >> 4];
        r += hex[c & 15];
      } else {
        r += char(c);
      }
    }
    return r;
  };
  return "sizes " + std::to_string(written.size()) + " and " + std::to_string(byHand.size()) +
         ", first difference at byte " + std::to_string(at) + "; from byte " + std::to_string(from) +
         "\n  written: " + show(written) +
         "\n  by hand: " + show(byHand);
}

// The string of every text object in the file, unescaped: code page 1252 as the reader gets it.
std::vector<std::string> ShownTexts(const std::string& pdf) {
  std::vector<std::string> texts;
  for (size_t bt = pdf.find("BT\r"); bt != std::string::npos; bt = pdf.find("BT\r", bt + 3)) {
    size_t p = pdf.find('(', bt);
    if (p == std::string::npos) break;
    std::string s;
    for (++p; p < pdf.size() && pdf[p] != ')'; ++p) {
      if (pdf[p] != '\\' || p + 1 >= pdf.size()) {
        s += pdf[p];
        continue;
      }
      ++p;
      if (pdf[p] < '0' || pdf[p] > '7') {
        s += pdf[p];
        continue;
      }
      int v = 0;
      for (int k = 0; k < 3 && p < pdf.size() && pdf[p] >= '0' && pdf[p] <= '7'; ++k, ++p)
        v = v * 8 + (pdf[p] - '0');
      --p;
      s += char(v);
    }
    texts.push_back(s);
  }
  return texts;
}

struct LayoutPdfFiles : Fixture {
  fs::path dir;
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "komp-layoutfiles-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    if (!dir.empty()) fs::remove_all(dir);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }

  // True when all three readers are installed; in CI a missing one is a failure.
  bool HaveTools() {
    std::string missing;
    for (const char* tool : {"qpdf", "pdftotext", "mutool"})
      if (Shell(std::string("command -v ") + tool).status != 0) missing += std::string(" ") + tool;
    if (missing.empty()) return true;
    if (getenv("CI")) ADD_FAILURE() << "CI needs the PDF tools:" << missing;
    return false;
  }

  // The definition laid out into a PDF in the temporary folder; its bytes.
  std::string Save(const std::string& definition, const std::string& name) {
    EXPECT_TRUE(Parse(definition).empty()) << name << ": the definition is not clean";
    const std::string path = Path(name);
    EXPECT_TRUE(report.SaveasPDF(path.c_str())) << name;
    return ReadFile(path);
  }

  // qpdf finds nothing to fix and mutool draws every page, neither says a word beyond qpdf's
  // report; returns the text pdftotext reads (UTF-8, pages parted by form feeds).
  std::string Read(const std::string& path) {
    const ToolRun q = Shell("qpdf --check '" + path + "'");
    EXPECT_EQ(q.status, 0) << path << "\n" << q.output;
    EXPECT_EQ(q.output.find("WARNING"), std::string::npos) << path << "\n" << q.output;
    EXPECT_NE(q.output.find("No syntax or stream encoding errors found"), std::string::npos)
        << path << "\n" << q.output;
    // -N: no colour management, so the Debian build's note about missing ICC support stays away.
    const ToolRun m = Shell("mutool draw -N -q -o '" + Path("page%d.png") + "' '" + path + "'");
    EXPECT_EQ(m.status, 0) << path << "\n" << m.output;
    EXPECT_EQ(m.output, "") << path;
    const std::string out = Path("text.txt");
    const ToolRun t = Shell("pdftotext -enc UTF-8 '" + path + "' '" + out + "'");
    EXPECT_EQ(t.status, 0) << path << "\n" << t.output;
    EXPECT_EQ(t.output, "") << path;
    return ReadFile(out);
  }

  // Each string the file shows is in what pdftotext read.
  void ExpectEveryTextBack(const std::string& pdf, const std::string& read, const std::string& name) {
    const std::string all = Squeezed(read);
    const std::vector<std::string> texts = ShownTexts(pdf);
    EXPECT_FALSE(texts.empty()) << name;
    for (const std::string& t : texts)
      EXPECT_NE(all.find(Squeezed(Cp1252ToUtf8(t))), std::string::npos)
          << name << ": " << Cp1252ToUtf8(t) << " not in\n" << read;
  }
};

std::vector<std::string> Pages(const std::string& read) {
  std::vector<std::string> pages;
  size_t from = 0;
  for (size_t ff = read.find('\f'); ff != std::string::npos; ff = read.find('\f', from)) {
    pages.push_back(Squeezed(read.substr(from, ff - from)));
    from = ff + 1;
  }
  return pages;
}

TEST_F(LayoutPdfFiles, OnePageAsWorkedOutByHand) {
  const std::string written = Save(ReadFile(Data("layout_one_page.txt")), "one.pdf");
  const std::string byHand = ReadFile(Data("layout_one_page.pdf"));
  ASSERT_FALSE(byHand.empty());
  EXPECT_EQ(report.Seitenanzahl, 1);
  EXPECT_EQ(Difference(written, byHand), "");
  if (!HaveTools()) GTEST_SKIP() << "no PDF tools";
  Read(Data("layout_one_page.pdf"));
  const std::string read = Read(Path("one.pdf"));
  ExpectEveryTextBack(written, read, "one.pdf");
  const std::vector<std::string> pages = Pages(read);
  ASSERT_EQ(pages.size(), 1u) << read;
  // Parentheses and the backslash escaped; the tab an octal escape that has no glyph; byte 81,
  // undefined in code page 1252, a question mark.
  for (const char* t : {"Rechnung (a)", "C:\\temp", "Fett und farbig", "Betrag 5,00", "TabEnde ?"})
    EXPECT_NE(pages[0].find(Squeezed(t)), std::string::npos) << t << " not in\n" << read;
}

TEST_F(LayoutPdfFiles, TwoPagesAsWorkedOutByHand) {
  const std::string written = Save(ReadFile(Data("layout_two_pages.txt")), "two.pdf");
  const std::string byHand = ReadFile(Data("layout_two_pages.pdf"));
  ASSERT_FALSE(byHand.empty());
  EXPECT_EQ(report.Seitenanzahl, 2);
  EXPECT_EQ(Difference(written, byHand), "");
  if (!HaveTools()) GTEST_SKIP() << "no PDF tools";
  Read(Data("layout_two_pages.pdf"));
  const std::string read = Read(Path("two.pdf"));
  ExpectEveryTextBack(written, read, "two.pdf");
  // Each record and each page footer on its own page; umlauts and the euro sign come back.
  const std::vector<std::string> pages = Pages(read);
  ASSERT_EQ(pages.size(), 2u) << read;
  for (const char* t : {"\xDC" "bersicht in \x80", "M\xFC" "ller", "5 \x80", "Seite 1 von 2"})
    EXPECT_NE(pages[0].find(Squeezed(Cp1252ToUtf8(t))), std::string::npos) << t << "\n" << read;
  for (const char* t : {"J\xE4" "ger", "7 \x80", "Seite 2 von 2"})
    EXPECT_NE(pages[1].find(Squeezed(Cp1252ToUtf8(t))), std::string::npos) << t << "\n" << read;
  EXPECT_EQ(pages[0].find(Cp1252ToUtf8("J\xE4" "ger")), std::string::npos);
}

TEST_F(LayoutPdfFiles, EveryExamplePassesTheReaders) {
  if (!HaveTools()) GTEST_SKIP() << "no PDF tools";
  int examples = 0;
  for (const auto& e : fs::directory_iterator(KOMP_DOCS_EXAMPLES)) {
    if (e.path().extension() != ".txt") continue;
    ++examples;
    const std::string name = e.path().stem().string() + ".pdf";
    const std::string written = Save(ReadFile(e.path().string()), name);
    const std::string read = Read(Path(name));
    ExpectEveryTextBack(written, read, name);
    const ToolRun pages = Shell("qpdf --show-npages '" + Path(name) + "'");
    EXPECT_EQ(pages.output, std::to_string(report.Seitenanzahl) + "\n") << name;
  }
  EXPECT_GE(examples, 2);
}

}  // namespace
}  // namespace komp::drtest
