// The main window end to end: files picked through the scripted dialog, messages read back
// from the scripted message boxes, conversions run for real in a temporary directory.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/unit1.h"
#include "components/in/in.h"
#include "components/taste/taste.h"
#include "framework/cp1252.h"
#include "framework/gui/canvas.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"
#include "tests/brivox/window_fixture.h"

using namespace komp;
using brivox::HeaderState;
using brivox::TForm1;
namespace fs = std::filesystem;

namespace {

uint32_t ToQColorRgb(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

const std::string kNotOpened = "Datei konnte nicht ge\xF6" "ffnet werden!";

class WindowTest : public brivox::test::WindowFixture {
 protected:
  WindowTest() : WindowFixture("brivox-window-") {}
  // Types into a field as a person would and leaves it with Tab.
  void TypeInto(TIn* field, const std::string& text) {
    field->SetFocus(FOCUS_MOUSE);
    for (unsigned char c : text) field->Perform(WM_CHAR, c, 0);
    form_->Taste1->SetFocus(FOCUS_KEYBOARD);
  }
  std::vector<std::string> Boxes() const { return services_.boxes.Lines(); }
  std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = char(rng() % 7 == 0 ? rng() : rng() % 20);
    return s;
  }

};

}  // namespace

TEST_F(WindowTest, LooksAsDesignedAtStart) {
  EXPECT_EQ(form_->Caption(), "Brivox");
  EXPECT_EQ(form_->ClientWidth(), 529);
  EXPECT_EQ(form_->ClientHeight(), 172);
  EXPECT_EQ(form_->Name->BoundsRect(), Bounds(0, 8, 521, 21));
  EXPECT_EQ(form_->Taste1->BoundsRect(), Bounds(214, 33, 100, 21));
  EXPECT_EQ(form_->Taste2->BoundsRect(), Bounds(208, 144, 100, 21));
  EXPECT_EQ(form_->Box->BoundsRect(), Bounds(2, 54, 523, 83));
  EXPECT_EQ(form_->In1->BoundsRect(), Bounds(2, 20, 209, 21));
  EXPECT_EQ(form_->ExName->BoundsRect(), Bounds(8, 53, 281, 21));
  EXPECT_EQ(form_->Zeit->BoundsRect(), Bounds(1, 88, 525, 30));
  EXPECT_EQ(form_->Label1->Caption(), "Importieren / Exportieren");
  EXPECT_TRUE(form_->Label1->Visible());
  EXPECT_FALSE(form_->Box->Visible());
  EXPECT_FALSE(form_->Zeit->Visible());
  EXPECT_EQ(form_->ExName->Value(), "Export.txt");
  EXPECT_TRUE(form_->In1->Numeric());
  // Tab order: "Datei auswählen" first, then the file field.
  EXPECT_TRUE(form_->Taste1->Focused());
  EXPECT_EQ(FindNextControl(form_.get(), form_->Taste1, true, true), form_->Name);
}

TEST_F(WindowTest, PickingFilesDecidesTheMode) {
  Pick(Write("fuenf.bin", "12345"));
  ASSERT_EQ(services_.dialogs.openCalls.size(), 1u);
  EXPECT_EQ(form_->Name->Text(), Path("fuenf.bin"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_TRUE(form_->Box->Visible());
  EXPECT_FALSE(form_->Label1->Visible());

  // A cancelled dialog changes nothing.
  form_->Taste1->Perform(WM_LBUTTONDOWN);
  form_->Taste1->Perform(WM_LBUTTONUP);
  EXPECT_EQ(form_->Name->Text(), Path("fuenf.bin"));

  // Export a chain of pieces, then pick its second piece.
  Write("daten.bin", RandomBytes(5000, 1));
  Pick(Path("daten.bin"));
  form_->In1->FSetText("2");
  Start();
  ASSERT_TRUE(fs::exists(Path("Export2.txt"))) << ::testing::PrintToString(Boxes());
  services_.boxes.calls.clear();
  Pick(Path("Export2.txt"));
  EXPECT_TRUE(services_.boxes.calls.empty());
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Import);
  EXPECT_EQ(form_->Label1->Caption(), "Import Zieldatei:daten.bin");
  EXPECT_TRUE(form_->Label1->Visible());
  EXPECT_FALSE(form_->Box->Visible());

  // A damaged header.
  Pick(Write("kaputt.txt", "Brivox01ZZ"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Achtung: Falsches Datenformat der Importdatei!!"});
  EXPECT_EQ(form_->Label1->Caption(), "Falsche Datei");
  EXPECT_TRUE(form_->Label1->Visible());
  EXPECT_FALSE(form_->Box->Visible());
}

TEST_F(WindowTest, TypedPathThatDoesNotExist) {
  TypeInto(form_->Name, Path("gibt-es-nicht.bin"));
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Achtung: " + kNotOpened});
  EXPECT_EQ(form_->Label1->Caption(), "Import/Export");
  EXPECT_TRUE(form_->Label1->Visible());

  // Start does not convert anything, and does not show the same fault twice.
  services_.boxes.calls.clear();
  Start();
  EXPECT_TRUE(Boxes().empty()) << ::testing::PrintToString(Boxes());
  EXPECT_EQ(services_.sound.beeps, 1);
  EXPECT_TRUE(form_->Taste2->Enabled());

  // Once the file is there, the same Start runs.
  Write("gibt-es-nicht.bin", "jetzt schon");
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
}

TEST_F(WindowTest, PathSetFromCodeIsDecidedAtStartWithOneMessage) {
  form_->Name->FSetText(Path("fehlt.bin"));
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Achtung: " + kNotOpened});
  EXPECT_EQ(form_->Label1->Caption(), "Import/Export");

  services_.boxes.calls.clear();
  form_->Name->FSetText(Write("kaputt.txt", "Brivox01ZZ"));
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Achtung: Falsches Datenformat der Importdatei!!"});
  // Asked again, the same file is refused without a second message.
  services_.boxes.calls.clear();
  Start();
  EXPECT_TRUE(Boxes().empty()) << ::testing::PrintToString(Boxes());
  EXPECT_EQ(services_.sound.beeps, 1);

  services_.boxes.calls.clear();
  form_->Name->FSetText(Write("klein.bin", "abc"));
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
  EXPECT_TRUE(fs::exists(Path("Export.txt")));
}

TEST_F(WindowTest, StartWithoutAFile) {
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Achtung: Es muss eine Datei angegeben werden!"});
  EXPECT_TRUE(form_->Taste2->Enabled());
  EXPECT_EQ(form_->Label1->Caption(), "Importieren / Exportieren");
}

TEST_F(WindowTest, ExportThenImportRoundTrip) {
  const std::string data = RandomBytes(100000, 7);
  Write("daten.bin", data);
  Pick(Path("daten.bin"));
  form_->In1->FSetText("40");
  form_->ExName->FSetText("Teil.txt");
  int processed = 0;
  std::vector<bool> disabledDuringRun;
  services_.loop.onProcess = [&] {
    ++processed;
    disabledDuringRun.push_back(!form_->Taste2->Enabled() && !form_->Name->Enabled() && !form_->Taste1->Enabled() &&
                                !form_->In1->Enabled() && !form_->ExName->Enabled());
  };
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
  int pieces = 0;
  while (fs::exists(Path("Teil" + std::to_string(pieces + 1) + ".txt"))) ++pieces;
  EXPECT_GE(pieces, 2);
  for (int i = 1; i <= pieces; ++i) EXPECT_LE(fs::file_size(Path("Teil" + std::to_string(i) + ".txt")), 40u * 1024 + 200);
  EXPECT_GT(processed, 100);
  // All but the last call (after the run, with everything enabled again) happen during the run.
  ASSERT_GE(disabledDuringRun.size(), 2u);
  for (size_t i = 0; i + 1 < disabledDuringRun.size(); ++i) ASSERT_TRUE(disabledDuringRun[i]) << i;
  EXPECT_FALSE(disabledDuringRun.back());
  EXPECT_TRUE(form_->Taste2->Enabled());
  EXPECT_TRUE(form_->Taste2->Focused());
  EXPECT_FALSE(form_->Zeit->Visible());
  EXPECT_EQ(form_->In1->Text(), "40");
  EXPECT_EQ(form_->ExName->Text(), "Teil.txt");

  fs::rename(Path("daten.bin"), Path("original.bin"));
  services_.boxes.calls.clear();
  services_.loop.onProcess = nullptr;
  Pick(Path("Teil2.txt"));
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
  EXPECT_EQ(Read(Path("daten.bin")), data);
  EXPECT_TRUE(form_->Taste2->Enabled());
}

TEST_F(WindowTest, FailingRunShowsItsMessageFirst) {
  Write("daten.bin", RandomBytes(20000, 3));
  Pick(Path("daten.bin"));
  form_->In1->FSetText("5");
  Start();
  ASSERT_TRUE(fs::exists(Path("Export3.txt")));
  fs::remove(Path("Export2.txt"));
  services_.boxes.calls.clear();
  Pick(Path("Export1.txt"));
  Start();
  const std::vector<std::string> expected = {
      "Achtung: Datei:\"" + Path("Export2.txt") + "\" konnte nicht ge\xF6" "ffnet werden!",
      "Fertig: Fehler bei der Konvertierung"};
  EXPECT_EQ(Boxes(), expected);
  EXPECT_TRUE(form_->Taste2->Enabled());
  EXPECT_FALSE(form_->Zeit->Visible());
}

TEST_F(WindowTest, SizeThatIsNoWholeNumber) {
  Pick(Write("daten.bin", "Hallo Welt"));
  form_->In1->FSetText("1,5");
  Start();
  ASSERT_EQ(services_.boxes.calls.size(), 1u) << ::testing::PrintToString(Boxes());
  EXPECT_EQ(services_.boxes.calls[0].caption, "Achtung");
  EXPECT_FALSE(fs::exists(Path("Export.txt")));
  EXPECT_TRUE(form_->Taste2->Enabled());
  EXPECT_TRUE(form_->In1->Enabled());

  services_.boxes.calls.clear();
  form_->In1->FSetText("");
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
  EXPECT_TRUE(fs::exists(Path("Export.txt")));
}

TEST_F(WindowTest, ProgressFollowsARunOfSomeMegabytes) {
  const size_t size = 3 * 1024 * 1024 + 123;
  Write("gross.bin", RandomBytes(size, 11));
  Pick(Path("gross.bin"));
  std::vector<int64_t> positions;
  int64_t maximum = 0;
  bool shown = true;
  services_.loop.onProcess = [&] {
    if (!form_->Zeit->Visible()) return;
    positions.push_back(form_->Zeit->Position());
    maximum = form_->Zeit->Max();
    shown = shown && form_->Zeit->Visible();
  };
  Start();
  // Counting fills the first half of the bar, writing the second.
  EXPECT_EQ(maximum, 2 * int64_t(size));
  ASSERT_GT(positions.size(), size / 1000 - 10);
  for (size_t i = 1; i < positions.size(); ++i) ASSERT_GE(positions[i], positions[i - 1]);
  EXPECT_LT(positions.front(), int64_t(size));
  EXPECT_EQ(positions.back(), 2 * int64_t(size));
  EXPECT_FALSE(form_->Zeit->Visible());
}

TEST_F(WindowTest, ClosingDuringARunAsksAndLeavesNothingHalfWritten) {
  Write("gross.bin", RandomBytes(2 * 1024 * 1024, 5));
  Write("Export1.txt", "an older piece");
  Pick(Path("gross.bin"));
  form_->In1->FSetText("100");
  const std::string question = "Wirklich: Konvertierung abbrechen?";

  // "Nein": the run goes on to its end.
  services_.boxes.answers = {IDNO};
  int calls = 0;
  services_.loop.onProcess = [&] {
    if (++calls == 300) form_->close();
  };
  Start();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{question, "Fertig: Konvertierung erfolgreich abgeschlossen"}));
  EXPECT_TRUE(form_->isVisible());
  EXPECT_TRUE(fs::exists(Path("Export20.txt")));
  ASSERT_EQ(services_.boxes.calls[0].buttons, MB_YESNO);

  // "Ja": the run stops soon after, no piece of it is left and the older one
  // stays; then the window closes.
  fs::remove(Path("Export20.txt"));
  Write("Export1.txt", "an older piece");
  services_.boxes.calls.clear();
  services_.boxes.answers = {IDYES};
  calls = 0;
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{question});
  EXPECT_FALSE(form_->isVisible());
  EXPECT_FALSE(form_->Running());
  EXPECT_LT(calls, 400);
  EXPECT_EQ(Read(Path("Export1.txt")), "an older piece");
  for (const auto& e : fs::directory_iterator(dir_)) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name == "gross.bin" || name == "Export1.txt" || name == "Export2.txt" ||
                (name.rfind("Export", 0) == 0 && name != "Export20.txt"))
        << name;
    EXPECT_NE(name.front(), '.') << name;  // no temporary file
  }
}

TEST_F(WindowTest, NamesAsTheFileSystemHasThem) {
  // Picked through the dialog: a name the code page cannot hold.
  const std::string data = RandomBytes(3000, 9);
  Write("daten\u2713\u03a9.bin", data);
  Pick(Path("daten\u2713\u03a9.bin"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_TRUE(Boxes().empty()) << ::testing::PrintToString(Boxes());
  Start();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Fertig: Konvertierung erfolgreich abgeschlossen"});
  services_.boxes.calls.clear();
  Pick(Path("Export.txt"));
  EXPECT_EQ(form_->Label1->Caption(), "Import Zieldatei:daten__.bin");
  Start();
  EXPECT_EQ(Read(Path("daten__.bin")), data);

  // Typed with umlauts, and pasted with a line break from a terminal.
  Write("Gr\u00fc\u00dfe.bin", "hallo");
  services_.boxes.calls.clear();
  form_->Name->FSetText("");
  TypeInto(form_->Name, Path("Gr\xFC\xDF" "e.bin"));
  EXPECT_EQ(form_->Name->Text(), Path("Gr\xFC\xDF" "e.bin"));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  form_->Name->FSetText(Path("Export.txt") + "\r\n");
  form_->NameChange(form_->Name);
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Import);
  EXPECT_TRUE(Boxes().empty()) << ::testing::PrintToString(Boxes());
  EXPECT_EQ(form_->Name->Text(), Path("Export.txt") + "\r\n");  // the field keeps what was pasted

  // Pasted with characters the field cannot hold: it shows "?", the file is found all the same.
  const std::string pasted = Path("daten\u2713\u03a9.bin") + "\n";
  services_.clipboard.SetText(Utf8ToCp1252(pasted));
  services_.clipboard.unicodeText = pasted;
  form_->Name->FSetText("");
  form_->Name->SetFocus(FOCUS_MOUSE);
  form_->Name->Perform(WM_PASTE, 0, 0);
  form_->Taste1->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(form_->Name->Text(), Utf8ToCp1252(pasted));
  EXPECT_EQ(form_->CurrentMode(), TForm1::Mode::Export);
  EXPECT_EQ(form_->FilePath(), Path("daten\u2713\u03a9.bin"));
  EXPECT_TRUE(Boxes().empty()) << ::testing::PrintToString(Boxes());
}

TEST_F(WindowTest, ALongTargetNameKeepsTheStartOfTheStatusLine) {
  const std::string target = "ein-sehr-langer-name-" + std::string(150, 'x') + "-ende.bin";
  HeaderState h;
  h.record.pieceCount = 1;
  h.record.pieceNumber = 1;
  h.targetName = target;
  Pick(Write("lang.txt", std::string(brivox::kMagic) + brivox::HeaderText(h)));
  const std::string shown = form_->Label1->Caption();
  EXPECT_EQ(shown.rfind("Import Zieldatei:ein-sehr", 0), 0u) << shown;
  EXPECT_NE(shown.find('\x85'), std::string::npos) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 8), "ende.bin");
  EXPECT_LE(TCanvas::MeasureText(form_->Label1->Font(), shown).cx, form_->Label1->Width());
  EXPECT_EQ(form_->Label1->toolTip().toStdString(), "Import Zieldatei:" + target);

  // A short one stands whole, without a tooltip.
  h.targetName = "kurz.bin";
  Pick(Write("kurz.txt", std::string(brivox::kMagic) + brivox::HeaderText(h)));
  EXPECT_EQ(form_->Label1->Caption(), "Import Zieldatei:kurz.bin");
  EXPECT_TRUE(form_->Label1->toolTip().isEmpty());
}

// Renders the window in both modes through its real paint path. With BRIVOX_SCREENSHOT_DIR set
// the images are kept there (scripts/screenshots.sh puts them into docs/).
TEST_F(WindowTest, RendersBothModes) {
  const char* keep = std::getenv("BRIVOX_SCREENSHOT_DIR");
  const std::string out = keep && *keep ? std::string(keep) : dir_.string();

  Write("daten.bin", RandomBytes(300000, 2));
  Pick(Path("daten.bin"));
  form_->In1->FSetText("100");
  Start();
  ASSERT_TRUE(fs::exists(Path("Export2.txt")));
  Pick(Path("daten.bin"));
  form_->Name->FSetText("/home/anna/Dokumente/daten.bin");
  QImage exportShot = form_->grab().toImage();
  ASSERT_TRUE(exportShot.save(QString::fromStdString(out + "/brivox-export.png")));

  Pick(Path("Export2.txt"));
  EXPECT_EQ(form_->Label1->Caption(), "Import Zieldatei:daten.bin");
  form_->Name->FSetText("/home/anna/Dokumente/Export2.txt");
  QImage importShot = form_->grab().toImage();
  ASSERT_TRUE(importShot.save(QString::fromStdString(out + "/brivox-import.png")));

  EXPECT_EQ(exportShot.size(), QSize(529, 172));
  // The Start button's face and its grey outline, where the window places them.
  const QRect start(208, 144, 100, 21);
  EXPECT_EQ(exportShot.pixelColor(start.left() + 6, start.center().y()).rgb() & 0xFFFFFF, ToQColorRgb(clBtnFace));
  EXPECT_EQ(exportShot.pixelColor(start.left(), start.top()).rgb() & 0xFFFFFF, 0x808080u);
  // The edit box of the file field is white inside.
  EXPECT_EQ(importShot.pixelColor(400, 8 + 10).rgb() & 0xFFFFFF, 0xFFFFFFu);
}
