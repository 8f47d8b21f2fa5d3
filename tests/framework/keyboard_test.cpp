#include "framework/gui/keyboard.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "framework/gui/controls.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {
class Probe : public TCustomControl {
 public:
  explicit Probe(QWidget* owner) : TCustomControl(owner) { SetTabStop(true); }
  std::vector<TMessage> got;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_CHAR || m.Msg == WM_KEYUP) got.push_back(m);
    TCustomControl::Dispatch(m);
  }
  // "d" for a fresh key down, "D" for a repeated one, "c"/"C" for characters, "u" for key up.
  std::string Trace() {
    std::string t;
    for (const TMessage& m : got) {
      const bool rep = KeyRepeated(m);
      t += m.Msg == WM_KEYDOWN ? (rep ? 'D' : 'd') : m.Msg == WM_CHAR ? (rep ? 'C' : 'c') : 'u';
    }
    got.clear();
    return t;
  }
};

void Press(QWidget* w, bool autoRepeat, uint64_t time) {
  QKeyEvent e(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", autoRepeat);
  e.setTimestamp(time);
  QApplication::sendEvent(w, &e);
}
void Release(QWidget* w, bool autoRepeat, uint64_t time) {
  QKeyEvent e(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", autoRepeat);
  e.setTimestamp(time);
  QApplication::sendEvent(w, &e);
}
}  // namespace

TEST(Keyboard, HeldKeysTellARepeatFromAPressWhateverQtSays) {
  struct Step {
    char what;  // 'p' press, 'r' release, 'x' the keyboard went elsewhere
    int vk;
    bool qtRepeat;
    uint64_t time;
    bool result;  // press: a repeat; release: a real release
  } steps[] = {
      {'p', VK_SPACE, false, 100, false},   // a fresh press
      {'p', VK_SPACE, false, 700, true},    // pressed again without a release: repeat, flag or not
      {'p', VK_SPACE, true, 740, true},
      {'r', VK_SPACE, true, 780, false},    // Qt's repeat pair: no release
      {'p', VK_SPACE, true, 780, true},
      {'r', VK_SPACE, false, 820, true},    // a pair Qt missed: the release looks real...
      {'p', VK_SPACE, false, 820, true},    // ...but the press carries its timestamp
      {'p', VK_RETURN, false, 830, false},  // another key is a press of its own
      {'r', VK_SPACE, false, 900, true},
      {'p', VK_SPACE, false, 1200, false},  // pressed anew later
      {'r', VK_SPACE, false, 0, true},
      {'p', VK_SPACE, false, 0, false},     // unknown times never pair
      {'x', 0, false, 0, false},
      {'p', VK_SPACE, false, 5, false},     // held when the keyboard went: forgotten
      {'p', VK_RETURN, false, 6, false},
  };
  TKeyTracker t;
  int i = 0;
  for (const Step& s : steps) {
    ++i;
    if (s.what == 'x') {
      t.Clear();
      continue;
    }
    const bool r = s.what == 'p' ? t.Press(s.vk, s.qtRepeat, s.time) : t.Release(s.vk, s.qtRepeat, s.time);
    EXPECT_EQ(r, s.result) << "step " << i;
  }
}

TEST(Keyboard, KeyMessagesCarryTheRepeatFlag) {
  TTestServices services;
  TForm form;
  form.SetClientSize(200, 100);
  auto* a = new Probe(&form);
  auto* edit = new TEdit(&form);
  edit->SetTop(40);
  std::vector<TShiftState> editShifts;
  edit->OnKeyDown = [&](TObject*, int&, TShiftState s) { editShifts.push_back(s); };
  ShowAndActivate(&form);
  a->SetFocus();

  // Presses without releases, none of them flagged: the first one alone is new.
  Press(a, false, 1000);
  Press(a, false, 1500);
  Press(a, false, 1540);
  Release(a, false, 1600);
  EXPECT_EQ(a->Trace(), "dcDCDCu");

  // The release/press pairs of a held key that Qt did not recognise.
  Press(a, false, 2000);
  Release(a, false, 2660);
  Press(a, false, 2660);
  Release(a, true, 2700);
  Press(a, true, 2700);
  Release(a, false, 3000);
  EXPECT_EQ(a->Trace(), "dcuDCDCu") << "the pair's release still arrives, its press is a repeat";
  Press(a, false, 3400);
  Release(a, false, 3500);
  EXPECT_EQ(a->Trace(), "dcu") << "a new press after the release";

  // A release that reaches a widget that is no control still ends the press.
  QWidget plain(&form);
  Press(a, false, 4000);
  Release(&plain, false, 4100);
  Press(a, false, 4200);
  EXPECT_EQ(a->Trace(), "dcdc");
  // So does the application losing the keyboard.
  QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
  QApplication::sendEvent(qApp, &inactive);
  Press(a, false, 4300);
  EXPECT_EQ(a->Trace(), "dc");
  Release(a, false, 4400);
  a->got.clear();

  // Edits see the flag in the message, their key events only the shift state.
  edit->SetFocus();
  QKeyEvent first(QEvent::KeyPress, Qt::Key_Left, Qt::ShiftModifier, "");
  QKeyEvent again(QEvent::KeyPress, Qt::Key_Left, Qt::ShiftModifier, "");
  QApplication::sendEvent(edit->Editor(), &first);
  QApplication::sendEvent(edit->Editor(), &again);
  SendKeyRelease(edit->Editor(), Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(editShifts, (std::vector<TShiftState>{ssShift, ssShift}));
  EXPECT_FALSE(HeldKeys().Held(VK_LEFT));
}
