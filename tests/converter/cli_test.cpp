// The command line: commands, exit status, messages in UTF-8, names relative
// to the picked file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "app/core/cli.h"
#include "tests/converter/test_support.h"

namespace brivox {
namespace {

using test::Exists;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun Cli(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunCommandLine(args, out, err, false);
  return {status, out.str(), err.str()};
}

TEST(Cli, ExportInfoVerifyImport) {
  TempDir dir;
  std::string data;
  for (int i = 0; i < 5000; ++i) data += char(i * 31 % 256);
  WriteFile(dir / "daten.bin", data);

  CliRun e = Cli({"export", dir / "daten.bin", "--size", "2", "--name=Teil.txt"});
  EXPECT_EQ(e.status, 0);
  EXPECT_EQ(e.err, "Fertig: Konvertierung erfolgreich abgeschlossen\n");
  ASSERT_TRUE(Exists(dir / "Teil5.txt"));
  std::filesystem::remove(dir / "daten.bin");

  CliRun info = Cli({"info", dir / "Teil2.txt"});
  EXPECT_EQ(info.status, 0);
  EXPECT_NE(info.out.find("Zieldatei:       daten.bin"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("  5  " + (dir / "Teil5.txt") + "  vorhanden"), std::string::npos) << info.out;

  CliRun verify = Cli({"verify", dir / "Teil5.txt"});
  EXPECT_EQ(verify.status, 0);
  EXPECT_NE(verify.out.find("5000 Bytes"), std::string::npos) << verify.out;
  EXPECT_FALSE(Exists(dir / "daten.bin"));

  CliRun import = Cli({"import", dir / "Teil3.txt"});
  EXPECT_EQ(import.status, 0);
  EXPECT_EQ(ReadFile(dir / "daten.bin"), data);

  std::filesystem::remove(dir / "Teil4.txt");
  CliRun gap = Cli({"info", dir / "Teil1.txt"});
  EXPECT_NE(gap.out.find("  4  " + (dir / "Teil4.txt") + "  fehlt"), std::string::npos) << gap.out;
  EXPECT_NE(gap.out.find("  5  " + (dir / "Teil5.txt") + "  vorhanden"), std::string::npos) << gap.out;
  CliRun broken = Cli({"verify", dir / "Teil1.txt"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("Achtung: Datei:\"" + (dir / "Teil4.txt") + "\" konnte nicht ge\xC3\xB6" "ffnet werden!"),
            std::string::npos) << broken.err;
}

TEST(Cli, FailuresAndUsage) {
  TempDir dir;
  CliRun missing = Cli({"import", dir / "nichts.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Achtung: Datei konnte nicht ge\xC3\xB6" "ffnet werden!\n");

  WriteFile(dir / "plain.txt", "just text");
  CliRun notPiece = Cli({"import", dir / "plain.txt"});
  EXPECT_EQ(notPiece.status, 1);
  EXPECT_EQ(notPiece.err, "Achtung: Falsches Datenformat der Importdatei!!\n");

  CliRun size = Cli({"export", dir / "plain.txt", "--size", "1,5"});
  EXPECT_EQ(size.status, 1);
  EXPECT_EQ(size.err, "Achtung: Die Maximale Dateigr\xC3\xB6\xC3\x9F" "e muss eine ganze Zahl (in KB) sein!\n"
                      "Fertig: Fehler bei der Konvertierung\n");
  EXPECT_FALSE(Exists(dir / "Export.txt"));

  EXPECT_EQ(Cli({}).status, 2);
  EXPECT_EQ(Cli({"export"}).status, 2);
  EXPECT_EQ(Cli({"export", "a", "--size"}).status, 2);
  EXPECT_EQ(Cli({"export", "a", "b"}).status, 2);
  EXPECT_EQ(Cli({"import", "a", "b"}).status, 2);
  EXPECT_EQ(Cli({"frobnicate"}).status, 2);
  CliRun help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("brivox export QUELLE"), std::string::npos);
}

TEST(Cli, RelativeNamesFollowThePickedFileNotTheWorkingDirectory) {
  TempDir dir;
  std::filesystem::create_directory(dir / "in");
  WriteFile(dir / "in/\xC3\xA4rger.bin", "Umlaute");  // UTF-8 on disk, code page 1252 inside
  const auto saved = std::filesystem::current_path();
  std::filesystem::current_path(dir.Dir());
  CliRun e = Cli({"export", "in/\xC3\xA4rger.bin"});
  std::filesystem::current_path(saved);
  EXPECT_EQ(e.status, 0) << e.err;
  ASSERT_TRUE(Exists(dir / "in/Export.txt"));
  EXPECT_FALSE(Exists(dir / "Export.txt"));
  // The stored target name is code page 1252.
  EXPECT_NE(ReadFile(dir / "in/Export.txt").find("\xE4rger.bin"), std::string::npos);
  std::filesystem::remove(dir / "in/\xC3\xA4rger.bin");
  EXPECT_EQ(Cli({"import", dir / "in/Export.txt"}).status, 0);
  EXPECT_EQ(ReadFile(dir / "in/\xC3\xA4rger.bin"), "Umlaute");
}

}  // namespace
}  // namespace brivox
