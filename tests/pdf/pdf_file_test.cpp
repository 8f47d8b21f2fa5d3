// The PDF as a file: written whole through a temporary file, or not at all.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "components/druckreport/pdf/writer.h"
#include "tests/pdf/documents.h"

namespace komp::pdf {
namespace {

namespace fs = std::filesystem;
using test::DrawOnePage;
using test::DrawTwoPages;
using test::ReadAll;

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "komp-pdf-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  int Files() const { return int(std::distance(fs::directory_iterator(path_), fs::directory_iterator())); }

 private:
  std::string path_;
};

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(PdfFile, AFileIsWrittenWholeOrLeftAsItWas) {
  TempDir dir;
  const std::string name = dir / "Bericht \xC3\xBC.pdf";
  WriteText(name, "alter Inhalt");
  {
    TPdfFileSink sink;
    ASSERT_TRUE(sink.Create(name));
    TPdfWriter pdf(sink);
    DrawTwoPages(pdf);
    EXPECT_EQ(ReadAll(name), "alter Inhalt") << "replaced only when complete";
    ASSERT_TRUE(pdf.EndDocument());
  }
  EXPECT_EQ(ReadAll(name), ReadAll(KOMP_PDF_TESTDATA "/two_pages.pdf"));
  EXPECT_EQ(dir.Files(), 1) << "no temporary file left";

  {  // aborted: the old file stays, no temporary file
    TPdfFileSink sink;
    ASSERT_TRUE(sink.Create(name));
    TPdfWriter pdf(sink);
    DrawOnePage(pdf);
    pdf.Abort();
    EXPECT_FALSE(pdf.EndDocument());
  }
  EXPECT_EQ(ReadAll(name), ReadAll(KOMP_PDF_TESTDATA "/two_pages.pdf"));
  EXPECT_EQ(dir.Files(), 1);

  {  // a run that ends without EndDocument (an exception, an early return) leaves nothing either
    TPdfFileSink sink;
    ASSERT_TRUE(sink.Create(dir / "neu.pdf"));
    TPdfWriter pdf(sink);
    DrawOnePage(pdf);
  }
  EXPECT_FALSE(fs::exists(dir / "neu.pdf"));
  EXPECT_EQ(dir.Files(), 1);

  TPdfFileSink sink;
  EXPECT_FALSE(sink.Create(dir / "fehlt/neu.pdf"));
  TPdfWriter pdf(sink);
  DrawOnePage(pdf);
  EXPECT_FALSE(pdf.EndDocument());
  EXPECT_FALSE(fs::exists(dir / "fehlt"));
}

TEST(PdfFile, AWriteErrorOnDiskGivesFalseAndNoHalfFile) {
  TempDir dir;
  const std::string name = dir / "voll.pdf";
  WriteText(name, "alter Inhalt");
  // The file size limit makes the system refuse writes past 1 KiB, as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool ok = true;
  {
    TPdfFileSink sink;
    const bool created = sink.Create(name);
    TPdfWriter pdf(sink);
    pdf.BeginDocument(2100, 2970);
    for (int p = 0; p < 20; ++p) {
      pdf.BeginPage();
      pdf.Text(10, 10, "Eine Zeile, die den Platz f\xFCllt", 10, false);
      pdf.EndPage();
    }
    ok = created && pdf.EndDocument();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_FALSE(ok);
  EXPECT_EQ(ReadAll(name), "alter Inhalt");
  EXPECT_EQ(dir.Files(), 1);
}

}  // namespace
}  // namespace komp::pdf
