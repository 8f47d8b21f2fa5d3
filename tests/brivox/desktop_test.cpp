// Brivox on the desktop: files dropped on the window through real drag-and-drop events,
// `brivox FILE` as main() starts it, the dialog's folder kept in a temporary configuration
// folder across windows, the desktop entry and the manual page as a desktop reads them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/core/cli.h"
#include "app/start.h"
#include "app/unit1.h"
#include "components/in/in.h"
#include "components/taste/taste.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"
#include "tests/brivox/window_fixture.h"

using namespace komp;
using brivox::PlanStart;
using brivox::TForm1;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Ran {
  int status;
  std::string out, err;
};
// Runs a shell command with its output caught in files of dir.
Ran RunShell(const fs::path& dir, const std::string& command) {
  const fs::path out = dir / "out.txt", err = dir / "err.txt";
  const std::string cmd = command + " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
}
bool Have(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

class DesktopTest : public brivox::test::WindowFixture {
 protected:
  DesktopTest() : WindowFixture("brivox-desktop-") {}
  // Drops on the file field, where a person would aim.
  bool Drop(const std::vector<std::string>& paths) {
    return DropFiles(form_->Name, paths, {form_->Name->Width() / 2, form_->Name->Height() / 2});
  }
  // A chain of two pieces of daten.bin, made through the window.
  void MakeChain() {
    std::string bytes(3000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 7 % 251);
    Pick(Write("daten.bin", bytes));
    form_->In1->FSetText("2");
    ClickButton(form_->Taste2);
    ASSERT_TRUE(fs::exists(Path("Export2.txt"))) << ::testing::PrintToString(services_.boxes.Lines());
    services_.boxes.calls.clear();
  }
  // What a person sees after naming a file.
  struct Seen {
    std::string field, status;
    TForm1::Mode mode;
    bool box, label;
    std::vector<std::string> messages;
    bool operator==(const Seen&) const = default;
  };
  Seen Look() {
    Seen s{form_->Name->Text(), form_->Label1->Caption(), form_->CurrentMode(), form_->Box->Visible(),
           form_->Label1->Visible(), services_.boxes.Lines()};
    services_.boxes.calls.clear();
    return s;
  }
};

}  // namespace

TEST_F(DesktopTest, ADroppedFileIsLookedAtExactlyAsAPickedOne) {
  MakeChain();
  const std::vector<std::string> files = {Write("fuenf.bin", "12345"), Path("Export2.txt"),
                                          Write("kaputt.txt", "Brivox01ZZ"), Path("fehlt.bin"),
                                          Write("Unterordner/leer.bin", "")};
  for (const std::string& f : files) {
    Pick(f);
    const Seen picked = Look();
    form_ = std::make_unique<TForm1>();
    ShowAndActivate(form_.get());
    ASSERT_TRUE(Drop({f})) << f;
    EXPECT_EQ(Look(), picked) << f;
    EXPECT_EQ(form_->FilePath(), f);
  }
  // The piece of a chain decides import, and the import runs from it.
  ASSERT_TRUE(Drop({Path("Export2.txt")}));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Import);
  EXPECT_EQ(form_->Label1->Caption(), "Import Zieldatei:daten.bin");
  const std::string original = ReadFile(Path("daten.bin"));
  fs::remove(Path("daten.bin"));
  ClickButton(form_->Taste2);
  EXPECT_EQ(ReadFile(Path("daten.bin")), original);
  EXPECT_EQ(services_.boxes.Lines(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
}

TEST_F(DesktopTest, DropsThatAreNoSingleLocalFile) {
  // Several files: the first is taken, the others are not looked at.
  Write("a.bin", "12345");
  Write("b.txt", "Brivox01ZZ");
  ASSERT_TRUE(Drop({Path("a.bin"), Path("b.txt")}));
  EXPECT_EQ(form_->FilePath(), Path("a.bin"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_TRUE(services_.boxes.calls.empty());

  // A name the code page lacks is opened by its own name; the field shows its 1252 text.
  const std::string odd = Write("daten\xE2\x9C\x93\xC3\xA4.bin", "123456789");
  ASSERT_TRUE(Drop({odd}));
  EXPECT_EQ(form_->FilePath(), odd);
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_EQ(form_->Name->Text().substr(form_->Name->Text().size() - 5), "\xE4.bin");

  // A dragged web address or a drag without any address is no file: refused before the drop.
  const Seen before = Look();
  EXPECT_FALSE(DropFiles(form_->Name, {}, {5, 5}));
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org/daten.bin"))});
  QWindow* window = form_->windowHandle();
  ASSERT_NE(window, nullptr);
  const QPoint at = form_->Name->mapTo(form_.get(), QPoint(5, 5));
  QDragEnterEvent enter(at, Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &enter);
  EXPECT_FALSE(enter.isAccepted());
  QDragLeaveEvent leave;
  QCoreApplication::sendEvent(window, &leave);
  EXPECT_EQ(Look(), before);
}

TEST_F(DesktopTest, DropDuringARunIsRefusedQuietly) {
  std::string big(400000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 13 % 256);
  Pick(Write("gross.bin", big));
  const std::string other = Write("anders.bin", "Brivox01ZZ");
  int tried = 0;
  bool anyTaken = false;
  services_.loop.onProcess = [&] {
    if (!form_->Running() || tried >= 3) return;
    ++tried;
    anyTaken |= Drop({other});
  };
  ClickButton(form_->Taste2);
  services_.loop.onProcess = nullptr;
  EXPECT_EQ(tried, 3);
  EXPECT_FALSE(anyTaken);
  // The run was not disturbed: its own closing message only, the field and mode as before.
  EXPECT_EQ(services_.boxes.Lines(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
  EXPECT_EQ(services_.sound.beeps, 0);
  EXPECT_EQ(form_->FilePath(), Path("gross.bin"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_TRUE(fs::exists(Path("Export.txt")));
  // After the run the window takes files again.
  services_.boxes.calls.clear();
  EXPECT_TRUE(Drop({other}));
  EXPECT_EQ(services_.boxes.Lines(), std::vector<std::string>{"Achtung: Falsches Datenformat der Importdatei!!"});
}

TEST_F(DesktopTest, CommandLineStartsTheWindowOnlyForOneExistingFile) {
  const std::string file = Write("daten.bin", "12345");
  Write("info", "12345");
  Write("--help", "12345");
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> args;
    bool window;
    std::string file;
  };
  const Case cases[] = {
      {{}, true, ""},
      {{file}, true, file},
      {{"daten.bin"}, true, file},          // relative to the working directory, made absolute
      {{"./Unterordner/../daten.bin"}, true, Path("./Unterordner/../daten.bin")},
      {{"info"}, false, ""},                // a command stays a command, whatever lies around
      {{"--help"}, false, ""},
      {{"export", file}, false, ""},
      {{file, file}, false, ""},
      {{Path("fehlt.bin")}, false, ""},     // the command line explains the wrong call
      {{dir_.string()}, false, ""},
      {{Path("fifo")}, false, ""},          // would block the first look at the file
      {{""}, false, ""},
  };
  fs::create_directories(dir_ / "Unterordner");
  const fs::path cwd = fs::current_path();
  fs::current_path(dir_);
  for (const Case& c : cases) {
    const brivox::StartPlan plan = PlanStart(c.args);
    EXPECT_EQ(plan.window, c.window) << ::testing::PrintToString(c.args);
    EXPECT_EQ(plan.file, c.file) << ::testing::PrintToString(c.args);
  }
  fs::current_path(cwd);
}

TEST_F(DesktopTest, BrivoxFileOpensTheWindowWithTheFileLookedAt) {
  MakeChain();
  // As main() does it: the plan from the arguments, then the file named in the window.
  const brivox::StartPlan plan = PlanStart({Path("Export1.txt")});
  ASSERT_TRUE(plan.window);
  form_ = std::make_unique<TForm1>();
  ShowAndActivate(form_.get());
  form_->OpenFile(plan.file);
  EXPECT_EQ(form_->Name->Text(), Path("Export1.txt"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Import);
  EXPECT_EQ(form_->Label1->Caption(), "Import Zieldatei:daten.bin");
  EXPECT_TRUE(services_.boxes.calls.empty());
  // The dialog then starts beside it.
  ClickButton(form_->Taste1);
  ASSERT_FALSE(services_.dialogs.openCalls.empty());
  EXPECT_EQ(services_.dialogs.openCalls.back().SystemInitialDir, dir_.string());
}

#ifdef BRIVOX_EXE
namespace {
// The real program, with the environment changes given before it.
Ran RunBrivox(const fs::path& dir, const std::string& env, const std::string& args) {
  return RunShell(dir, "env " + env + " '" BRIVOX_EXE "' " + args);
}
}  // namespace

TEST_F(DesktopTest, TheProgramPointsToItsManualPage) {
  const std::string hint = "Ausf\xC3\xBChrlich: man brivox";
  Ran r = RunBrivox(dir_, "", "--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("brivox verify TEIL"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(hint), std::string::npos) << r.out;

  // A wrong call: the summary and the hint on standard error, status 2.
  r = RunBrivox(dir_, "", "'" + Path("fehlt.bin") + "'");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(hint), std::string::npos) << r.err;

  // A file but no display: said so, status 2, no window tried.
  const std::string file = Write("daten.bin", "12345");
  r = RunBrivox(dir_, "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "'" + file + "'");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Kein Bildschirm"), std::string::npos) << r.err;
}
#endif

// ---- the folder of the dialog, kept between runs

TEST_F(DesktopTest, TheDialogStartsInTheFolderOfTheLastFile) {
  // First run: nothing remembered, the dialog starts where the desktop says.
  ClickButton(form_->Taste1);
  ASSERT_EQ(services_.dialogs.openCalls.size(), 1u);
  EXPECT_EQ(services_.dialogs.openCalls[0].SystemInitialDir, "");

  Pick(Write("Ordner/eins.bin", "12345"));
  EXPECT_EQ(services_.settings.values["Dialog/Ordner"], Path("Ordner"));
  ClickButton(form_->Taste1);
  EXPECT_EQ(services_.dialogs.openCalls.back().SystemInitialDir, Path("Ordner"));
  // The proposal is the folder, not the last file's 1252 text (which may have lost characters).
  EXPECT_EQ(services_.dialogs.openCalls.back().FileName, "");

  // A dropped file counts as the last file too; a folder deleted since is not proposed.
  ASSERT_TRUE(Drop({Write("Zwei/zwei.bin", "12345")}));
  EXPECT_EQ(services_.settings.values["Dialog/Ordner"], Path("Zwei"));
  fs::remove_all(dir_ / "Zwei");
  ClickButton(form_->Taste1);
  EXPECT_EQ(services_.dialogs.openCalls.back().SystemInitialDir, "");

  // Settings that cannot be written are no reason to bother anyone.
  services_.settings.writable = false;
  Pick(Write("drei.bin", "12345"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_TRUE(services_.boxes.calls.empty());
}

namespace {
// Taken before the fixture installs its doubles.
struct RealSettings {
  ISettings* real_ = Services().Settings;
};
// The real settings, in a configuration folder of the test's own.
class RealSettingsTest : private RealSettings, public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    const char* old = std::getenv("XDG_CONFIG_HOME");
    oldConfig_ = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
    QCoreApplication::setOrganizationName("Brivox");
    QCoreApplication::setApplicationName("Brivox");
  }
  void TearDown() override {
    if (oldConfig_) ::setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    DesktopTest::TearDown();
  }
  std::optional<std::string> oldConfig_;
  using RealSettings::real_;
};
}  // namespace

TEST_F(RealSettingsTest, TheFolderSurvivesARestart) {
  TServiceOverride useReal{TServices{.Settings = real_}};
  const std::string folder = Path("Ordner \xE2\x9C\x93 \xC3\xA4");  // beyond code page 1252
  Pick(Write("Ordner \xE2\x9C\x93 \xC3\xA4/eins.bin", "12345"));
  const fs::path conf = dir_ / "config" / "Brivox" / "Brivox.conf";
  ASSERT_TRUE(fs::exists(conf));
  EXPECT_NE(ReadFile(conf).find("[Dialog]"), std::string::npos) << ReadFile(conf);

  // A new window, as after a restart: its dialog starts in that folder, exactly.
  form_ = std::make_unique<TForm1>();
  ShowAndActivate(form_.get());
  ClickButton(form_->Taste1);
  EXPECT_EQ(services_.dialogs.openCalls.back().SystemInitialDir, folder);

  // Bytes that are no UTF-8 come back as they were.
  const std::string raw = Path("roh\xFF\xFE");
  ASSERT_TRUE(real_->Write("Dialog/Ordner", raw));
  EXPECT_EQ(real_->Read("Dialog/Ordner"), raw);
  EXPECT_EQ(real_->Read("Dialog/Nie"), std::nullopt);
}

TEST_F(RealSettingsTest, AConfigurationFolderThatCannotBeWritten) {
  TServiceOverride useReal{TServices{.Settings = real_}};
  // The configuration "folder" is a file: nothing can be kept, and the window carries on.
  Write("config", "kein Ordner");
  EXPECT_FALSE(real_->Write("Dialog/Ordner", "/tmp"));
  Pick(Write("eins.bin", "12345"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_TRUE(services_.boxes.calls.empty());
  ClickButton(form_->Taste1);
  EXPECT_EQ(services_.dialogs.openCalls.back().SystemInitialDir, "");
}

// ---- what the desktop reads

#ifdef BRIVOX_SOURCE_DIR
TEST_F(DesktopTest, TheDesktopEntryOpensAnyFile) {
  const std::string entry = BRIVOX_SOURCE_DIR "/app/desktop/brivox.desktop";
  const std::string text = ReadFile(entry);
  // The file manager passes one file; "Open with" lists Brivox for every type.
  EXPECT_NE(text.find("\nExec=brivox %f\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nMimeType=application/octet-stream;\n"), std::string::npos) << text;
  ASSERT_TRUE(Have("desktop-file-validate")) << "scripts/setup.sh installs desktop-file-utils";
  const Ran r = RunShell(dir_, "desktop-file-validate '" + entry + "'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out + r.err, "");
}

TEST_F(DesktopTest, TheManualPageRendersWithoutWarningsAndNamesEveryCommand) {
  ASSERT_TRUE(Have("man")) << "scripts/setup.sh installs man-db";
  const std::string page = BRIVOX_SOURCE_DIR "/docs/brivox.1";
  for (const char* locale : {"C.UTF-8", "C"}) {
    const Ran r = RunShell(dir_, std::string("LC_ALL=") + locale + " MANWIDTH=80 man --warnings -l '" + page + "'");
    EXPECT_EQ(r.status, 0) << locale;
    EXPECT_EQ(r.err, "") << locale;
    EXPECT_NE(r.out.find("EXIT STATUS"), std::string::npos) << locale;
  }
  const std::string text = RunShell(dir_, "LC_ALL=C.UTF-8 MANWIDTH=200 man -l '" + page + "'").out;
  for (const char* call : {"brivox [FILE]", "brivox export SOURCE [--size KB] [--name EXPORTNAME]",
                           "brivox import PIECE", "brivox info PIECE", "brivox verify PIECE", "brivox --help"})
    EXPECT_NE(text.find(call), std::string::npos) << call;
  // Every command and option the program's own help lists is in the page.
  std::ostringstream help, err;
  ASSERT_EQ(brivox::RunCommandLine({"--help"}, help, err, false), 0);
  std::istringstream lines(help.str());
  int seen = 0;
  for (std::string line, word; std::getline(lines, line);) {
    std::istringstream words(line);
    for (std::string before; words >> word; before = word) {
      if ((before == "brivox" && line.find("brivox " + word) != std::string::npos) || word.rfind("--", 0) == 0) {
        ++seen;
        if (word.rfind("--", 0) == 0) EXPECT_NE(text.find(word), std::string::npos) << word;
        else EXPECT_NE(text.find("brivox " + word), std::string::npos) << word;
      }
    }
  }
  EXPECT_GE(seen, 6);
  for (const char* topic : {"EXIT STATUS", "NAMES", "WHAT AN IMPORT CHECKS", "cannot detect",
                            "FILES WRITTEN WHOLE OR NOT AT ALL", "XDG_CONFIG_HOME"})
    EXPECT_NE(text.find(topic), std::string::npos) << topic;
}
#endif
