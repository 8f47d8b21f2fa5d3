#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <cstring>

#include "framework/clipformat.h"
#include "framework/gui/caret.h"
#include "framework/gui/menus.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"
#include "framework/gui/timer.h"
#include "framework/testing/doubles.h"

using namespace komp;

// Without a TTestServices alive, Services() is the real Qt implementation.
TEST(RealClipboard, TextFormatsAndHtmlForOtherPrograms) {
  IClipboard* clip = Services().Clipboard;
  ASSERT_EQ(dynamic_cast<TMemoryClipboard*>(clip), nullptr);
  clip->SetText("Gr\xFC\xDF" "e \x80 5");
  EXPECT_TRUE(clip->HasText());
  EXPECT_EQ(clip->GetText(), "Gr\xFC\xDF" "e \x80 5");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC 5"));

  const std::string html = MakeHtmlFormat("<b>M\xC3\xBCller</b>");
  const TDateTime when = EncodeDate(2025, 12, 9) + 0.5;
  std::string stamp(sizeof when, '\0');
  std::memcpy(stamp.data(), &when, sizeof when);
  clip->SetData({{kTextFormat, "M\xFCller"}, {"HTML Format", html}, {"TDateTime", stamp}});
  EXPECT_TRUE(clip->HasFormat("HTML Format"));
  EXPECT_TRUE(clip->HasFormat("TDateTime"));
  EXPECT_FALSE(clip->HasFormat("Rich Text Format"));
  EXPECT_EQ(clip->GetData("HTML Format"), html);
  const auto back = clip->GetData("TDateTime");
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->size(), 8u);
  TDateTime read = 0;
  std::memcpy(&read, back->data(), 8);
  EXPECT_EQ(read, when);
  EXPECT_EQ(clip->GetText(), "M\xFCller");
  // Other programs see the HTML itself as text/html.
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  ASSERT_TRUE(mime->hasHtml());
  EXPECT_TRUE(mime->html().contains(QString::fromUtf8("<b>M\xC3\xBCller</b>")));
  EXPECT_FALSE(mime->html().contains("StartHTML"));

  // HTML put there by another program arrives with the header of offsets.
  auto* other = new QMimeData;
  other->setHtml("<i>x</i>");
  QGuiApplication::clipboard()->setMimeData(other);
  const auto fromOther = clip->GetData("HTML Format");
  ASSERT_TRUE(fromOther.has_value());
  EXPECT_EQ(HtmlFromHtmlFormat(*fromOther).find("<i>x</i>") != std::string::npos, true);
  EXPECT_FALSE(clip->GetData("TDateTime").has_value());
}

TEST(RealMessageBoxes, GermanButtonsAndAnswers) {
  struct Case {
    int buttons;
    QStringList texts;
    QString press;
    int answer;
  } cases[] = {{MB_OK, {"OK"}, "OK", IDOK},
               {MB_OKCANCEL, {"OK", "Abbrechen"}, "Abbrechen", IDCANCEL},
               {MB_OKCANCEL, {"OK", "Abbrechen"}, "OK", IDOK},
               {MB_RETRYCANCEL, {"Wiederholen", "Abbrechen"}, "Wiederholen", IDRETRY},
               {MB_RETRYCANCEL, {"Wiederholen", "Abbrechen"}, "Abbrechen", IDCANCEL}};
  for (const Case& c : cases) {
    QStringList seen;
    QString title, text;
    // Answers the box from inside its own loop, as a person would.
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      title = box->windowTitle();
      text = box->text();
      for (QAbstractButton* b : box->buttons()) seen << b->text();
      for (QAbstractButton* b : box->buttons())
        if (b->text() == c.press) b->click();
    });
    EXPECT_EQ(MessageBox("Datei \xFC" "berschreiben?", "Frage", c.buttons, MB_ICONQUESTION), c.answer) << c.press.toStdString();
    seen.sort();
    QStringList want = c.texts;
    want.sort();
    EXPECT_EQ(seen, want);
    EXPECT_EQ(title, "Frage");
    EXPECT_EQ(text, QString::fromUtf8("Datei \xC3\xBC" "berschreiben?"));
  }
  // Escape on an OK box is OK, on the others Cancel.
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_EQ(MessageBox("x", "y", MB_OKCANCEL), IDCANCEL);
}

TEST(ScriptedServices, MessageBoxesAnswerInOrderAndExceptionsAreShown) {
  TTestServices services;
  services.boxes.answers = {IDCANCEL, IDRETRY};
  EXPECT_EQ(MessageBox("a", "Eins", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBox("b", "Zwei", MB_RETRYCANCEL, MB_ICONERROR), IDRETRY);
  EXPECT_EQ(MessageBox("c", "Drei"), IDOK);
  ASSERT_EQ(services.boxes.calls.size(), 3u);
  EXPECT_EQ(services.boxes.calls[1].buttons, MB_RETRYCANCEL);
  EXPECT_EQ(services.boxes.calls[1].icon, MB_ICONERROR);
  // An exception escaping a message handler is shown, and the control lives on.
  struct Thrower : TControl {
    using TControl::TControl;
    void Dispatch(TMessage& m) override {
      if (m.Msg == WM_APP) throw std::runtime_error("kaputt");
      TControl::Dispatch(m);
    }
  };
  TForm form;
  auto* t = new Thrower(&form);
  t->Perform(WM_APP);
  EXPECT_EQ(services.boxes.Lines().back(), "Fehler: kaputt");
  MessageBeep();
  EXPECT_EQ(services.sound.beeps, 1);
  ProcessMessages();
  EXPECT_EQ(services.loop.calls, 1);
  EXPECT_EQ(Now(), services.clock.now);
}

TEST(Timers, FireOnTheManualClock) {
  TTestServices services;
  TForm form;
  auto* timer = new TTimer(&form);
  int fired = 0;
  timer->SetInterval(100);
  timer->SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, timer);
    ++fired;
  });
  services.clock.Advance(99);
  EXPECT_EQ(fired, 0);
  services.clock.Advance(1);
  EXPECT_EQ(fired, 1);
  services.clock.Advance(250);
  EXPECT_EQ(fired, 3);
  timer->SetEnabled(false);
  EXPECT_EQ(services.clock.ActiveTimers(), 0);
  services.clock.Advance(1000);
  EXPECT_EQ(fired, 3);
  // Enabled again, it counts its interval from then.
  timer->SetEnabled(true);
  services.clock.Advance(99);
  EXPECT_EQ(fired, 3);
  services.clock.Advance(1);
  EXPECT_EQ(fired, 4);
  timer->SetInterval(0);
  services.clock.Advance(1000);
  EXPECT_EQ(fired, 4);
  EXPECT_EQ(services.clock.ActiveTimers(), 0);

  // A handler may free its own timer, and may stop another due in the same step.
  auto* a = new TTimer(&form);
  auto* b = new TTimer(&form);
  int aFired = 0, bFired = 0;
  a->SetInterval(10);
  b->SetInterval(10);
  a->SetOnTimer([&](TObject*) {
    ++aFired;
    delete a;
    b->SetEnabled(false);
  });
  b->SetOnTimer([&](TObject*) { ++bFired; });
  services.clock.Advance(100);
  EXPECT_EQ(aFired, 1);
  EXPECT_EQ(bFired, 0);
  EXPECT_EQ(services.clock.ActiveTimers(), 0);
  const TDateTime before = services.clock.now;
  services.clock.Advance(86400000 / 2);
  EXPECT_DOUBLE_EQ(services.clock.now - before, 0.5);
  EXPECT_EQ(services.clock.TickMs(), 99u + 1 + 250 + 1000 + 99 + 1 + 1000 + 100 + 86400000 / 2);
}

TEST(Caret, BlinksByInversionOverTheOwnersPainting) {
  TTestServices services;
  TForm form;
  form.SetClientSize(40, 30);
  auto* owner = new TCustomControl(&form);
  owner->SetBounds(0, 0, 40, 30);
  owner->SetColor(clRed);
  ShowAndActivate(&form);
  auto px = [&](int x, int y) { return FromQColor(owner->grab().toImage().pixelColor(x, y)); };
  CreateCaret(owner, 2, 10);
  SetCaretPos(5, 4);
  EXPECT_FALSE(CaretState().visible) << "created hidden";
  ShowCaret(owner);
  EXPECT_TRUE(CaretState().visible);
  EXPECT_EQ(CaretState().rect, (TRect{5, 4, 7, 14}));
  EXPECT_EQ(px(5, 4), clAqua);
  EXPECT_EQ(px(7, 4), clRed);
  services.clock.Advance(530);
  EXPECT_EQ(px(5, 4), clRed) << "blinked off";
  services.clock.Advance(530);
  EXPECT_EQ(px(5, 4), clAqua);
  // Hides count: two hides need two shows.
  HideCaret(owner);
  HideCaret(owner);
  ShowCaret(owner);
  EXPECT_FALSE(CaretState().visible);
  ShowCaret(owner);
  EXPECT_TRUE(CaretState().visible);
  ShowCaret(&form);  // not the owner: ignored
  delete owner;
  EXPECT_EQ(CaretState().owner, nullptr);
  EXPECT_EQ(services.clock.ActiveTimers(), 0) << "no blinking for a caret that is gone";
}

TEST(Printer, RecordsPagesOfAJob) {
  TTestServices services;
  IPrinter& p = *Services().Printer;
  p.Title = "Bericht";
  p.Orientation = TPrinterOrientation::Landscape;
  p.Copies = 2;
  EXPECT_GT(p.PageWidth(), p.PageHeight());
  EXPECT_EQ(p.PhysicalWidth() - p.PageWidth(), 2 * p.OffsetX());
  ASSERT_TRUE(p.BeginDoc());
  EXPECT_FALSE(p.BeginDoc()) << "one job at a time";
  p.Canvas().Font.Size = 12;
  p.Canvas().TextOut(10, 10, "Seite 1");
  p.NewPage();
  EXPECT_EQ(p.Canvas().Font.Size, 12) << "the font carries over to the new page";
  p.Canvas().TextOut(10, 10, "Seite 2");
  EXPECT_EQ(p.Canvas().PixelsPerInch(), p.DpiX());
  p.EndDoc();
  EXPECT_FALSE(p.Printing());
  ASSERT_EQ(services.printer.jobs.size(), 1u);
  const auto& job = services.printer.jobs[0];
  EXPECT_EQ(job.title, "Bericht");
  EXPECT_EQ(job.copies, 2);
  EXPECT_EQ(job.orientation, TPrinterOrientation::Landscape);
  ASSERT_EQ(job.pages.size(), 2u);
  EXPECT_EQ(job.pages[1]->record.AllText(), "Seite 2");
  EXPECT_EQ(job.pages[0]->Width(), p.PageWidth());
  // Drawing outside a job goes nowhere; without a printer nothing starts.
  p.Canvas().TextOut(0, 0, "verloren");
  services.printer.available = false;
  EXPECT_FALSE(p.BeginDoc());
  EXPECT_EQ(services.printer.jobs.size(), 1u);
}

TEST(PopupMenu, RunsTheChosenItemAndNeverAGreyedOne) {
  TTestServices services;
  TForm form;
  TPopupMenu menu(&form);
  std::vector<std::string> ran;
  auto item = [&](const std::string& caption, bool enabled = true) {
    TMenuItem it;
    it.Caption = caption;
    it.Enabled = enabled;
    it.OnClick = [&ran, caption](TObject*) { ran.push_back(caption); };
    return it;
  };
  menu.Items = {item("Ausschneiden"), item("Kopieren"), item("Einf\xFCgen", false), item("-")};
  TMenuItem hidden = item("Versteckt");
  hidden.Visible = false;
  menu.Items.push_back(hidden);
  TMenuItem sub;
  sub.Caption = "Spalte";
  sub.Items = {item("Name"), item("Ort")};
  menu.Items.push_back(sub);

  services.menus.choose = {"Kopieren", "Einf\xFCgen", "Ort", "Versteckt", ""};
  TMenuItem* chosen = menu.Popup(100, 200);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->Caption, "Kopieren");
  EXPECT_EQ(menu.Popup(0, 0), nullptr) << "greyed";
  EXPECT_EQ(menu.Popup(0, 0)->Caption, "Ort");
  EXPECT_EQ(menu.Popup(0, 0), nullptr) << "invisible items are not in the menu";
  EXPECT_EQ(menu.Popup(0, 0), nullptr) << "closed without a choice";
  EXPECT_EQ(ran, (std::vector<std::string>{"Kopieren", "Ort"}));
  ASSERT_EQ(services.menus.calls.size(), 5u);
  EXPECT_EQ(services.menus.calls[0].pos, (TPoint{100, 200}));
  const auto& items = services.menus.calls[0].items;
  ASSERT_EQ(items.size(), 5u);
  EXPECT_FALSE(items[2].Enabled);
  EXPECT_EQ(items[3].Caption, "-");
  EXPECT_EQ(items[4].Items.size(), 2u);
  // Each item chosen runs only its own handler, even when handlers change the menu.
  menu.Items[0].OnClick = [&](TObject*) { menu.Items.clear(); };
  services.menus.choose = {"Ausschneiden"};
  EXPECT_NE(menu.Popup(0, 0), nullptr);
}
