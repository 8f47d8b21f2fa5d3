// The translation of Qt input into messages, as tables.
#include "framework/gui/input.h"

#include <gtest/gtest.h>

#include <QEvent>

using namespace komp;

TEST(Input, KeyTranslationTables) {
  struct Key {
    int qt, vk;
  } keys[] = {{Qt::Key_A, 'A'},          {Qt::Key_Z, 'Z'},        {Qt::Key_0, '0'},       {Qt::Key_9, '9'},
              {Qt::Key_F1, VK_F1},       {Qt::Key_F12, VK_F12},   {Qt::Key_Return, VK_RETURN},
              {Qt::Key_Enter, VK_RETURN}, {Qt::Key_Backtab, VK_TAB}, {Qt::Key_Escape, VK_ESCAPE},
              {Qt::Key_Left, VK_LEFT},   {Qt::Key_Down, VK_DOWN}, {Qt::Key_PageUp, VK_PRIOR},
              {Qt::Key_PageDown, VK_NEXT}, {Qt::Key_Home, VK_HOME}, {Qt::Key_Delete, VK_DELETE},
              {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Space, VK_SPACE},
              {Qt::Key_Shift, VK_SHIFT}, {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},
              {Qt::Key_Adiaeresis, 0xDE}, {Qt::Key_ssharp, 0xDB}, {Qt::Key_unknown, 0}};
  for (const Key& k : keys) EXPECT_EQ(QtKeyToVirtualKey(k.qt), k.vk) << std::hex << k.qt;

  struct Char {
    int qt;
    const char* text;
    bool ctrl, alt;
    int ch;
  } chars[] = {{Qt::Key_A, "a", false, false, 'a'},
               {Qt::Key_A, "A", false, false, 'A'},
               {Qt::Key_A, "a", true, false, 1},
               {Qt::Key_V, "\x16", true, false, 22},
               {Qt::Key_Z, "", true, false, 26},
               {Qt::Key_1, "1", true, false, -1},
               {Qt::Key_A, "a", false, true, -1},
               {Qt::Key_Adiaeresis, "\xC3\xA4", false, false, 0xE4},
               {Qt::Key_unknown, "\xE2\x82\xAC", false, false, 0x80},  // euro sign
               {Qt::Key_unknown, "\xE2\x86\x92", false, false, -1},  // no such character in 1252
               {Qt::Key_Question, "?", false, false, '?'},
               {Qt::Key_Backspace, "\b", false, false, 8},
               {Qt::Key_Tab, "\t", false, false, 9},
               {Qt::Key_Return, "\r", false, false, 13},
               {Qt::Key_Enter, "\r", false, false, 13},
               {Qt::Key_Escape, "\x1B", false, false, 27},
               {Qt::Key_Delete, "\x7F", false, false, -1},
               {Qt::Key_Left, "", false, false, -1},
               {Qt::Key_F1, "", false, false, -1}};
  for (const Char& c : chars)
    EXPECT_EQ(KeyPressToChar(c.qt, c.text, c.ctrl, c.alt), c.ch) << std::hex << c.qt << " " << c.text;

  EXPECT_EQ(QtModifiersToShift(Qt::ShiftModifier | Qt::ControlModifier, Qt::LeftButton), ssShift | ssCtrl | ssLeft);
  EXPECT_EQ(QtModifiersToShift(Qt::AltModifier, Qt::RightButton), ssAlt | ssRight);
  EXPECT_EQ(QtModifiersToShift(0, 0), 0);
  EXPECT_EQ(KeyShift(Qt::Key_Backtab, 0), ssShift) << "Backtab is Shift+Tab even without the modifier";
  EXPECT_EQ(KeyShift(Qt::Key_Backtab, Qt::ShiftModifier), ssShift);
  EXPECT_EQ(KeyShift(Qt::Key_Tab, Qt::ControlModifier), ssCtrl);
}

TEST(Input, MouseTranslationTables) {
  struct Event {
    int type, button;
    uint32_t msg;
  } events[] = {
      {QEvent::MouseButtonPress, Qt::LeftButton, WM_LBUTTONDOWN},
      {QEvent::MouseButtonPress, Qt::RightButton, WM_RBUTTONDOWN},
      {QEvent::MouseButtonPress, Qt::MiddleButton, WM_MBUTTONDOWN},
      {QEvent::MouseButtonPress, Qt::BackButton, 0},
      {QEvent::MouseButtonRelease, Qt::LeftButton, WM_LBUTTONUP},
      {QEvent::MouseButtonRelease, Qt::RightButton, WM_RBUTTONUP},
      {QEvent::MouseButtonRelease, Qt::MiddleButton, WM_MBUTTONUP},
      {QEvent::MouseButtonRelease, Qt::NoButton, 0},
      {QEvent::MouseButtonDblClick, Qt::LeftButton, WM_LBUTTONDBLCLK},
      {QEvent::MouseButtonDblClick, Qt::RightButton, WM_RBUTTONDBLCLK},
      {QEvent::MouseButtonDblClick, Qt::MiddleButton, 0},
      {QEvent::MouseMove, Qt::NoButton, WM_MOUSEMOVE},
      {QEvent::MouseMove, Qt::LeftButton, WM_MOUSEMOVE},
      {QEvent::Wheel, Qt::NoButton, 0},
      {QEvent::KeyPress, Qt::LeftButton, 0},
  };
  for (const Event& e : events) EXPECT_EQ(MouseMessageFor(e.type, e.button), e.msg) << e.type << " " << e.button;

  struct State {
    int mods, buttons;
    intptr_t mk;
  } states[] = {
      {0, 0, 0},
      {0, Qt::LeftButton, MK_LBUTTON},
      {0, int(Qt::RightButton | Qt::MiddleButton), MK_RBUTTON | MK_MBUTTON},
      {Qt::ShiftModifier, 0, MK_SHIFT},
      {Qt::ControlModifier, Qt::LeftButton, MK_CONTROL | MK_LBUTTON},
      {int(Qt::AltModifier | Qt::MetaModifier), Qt::BackButton, 0},  // no flag for them
      {int(Qt::ShiftModifier | Qt::ControlModifier), int(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton),
       MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON},
  };
  for (const State& s : states) EXPECT_EQ(MouseKeyState(s.mods, s.buttons), s.mk) << s.mods << " " << s.buttons;

  // The wheel: read back as the controls read it, delta from the high word, flags from the low one.
  struct Wheel {
    int delta, mods, buttons;
    int shownDelta;
    intptr_t mk;
  } wheels[] = {
      {120, 0, 0, 120, 0},
      {-120, Qt::ControlModifier, 0, -120, MK_CONTROL},
      {-240, Qt::ShiftModifier, Qt::LeftButton, -240, MK_SHIFT | MK_LBUTTON},
      {0, 0, Qt::RightButton, 0, MK_RBUTTON},
      {40000, 0, 0, 32767, 0},     // held to 16 bits, still forward
      {-40000, 0, 0, -32768, 0},   // and still back
  };
  for (const Wheel& w : wheels) {
    const intptr_t wp = WheelWParam(w.delta, w.mods, w.buttons);
    EXPECT_EQ(int(int16_t(uint16_t((wp >> 16) & 0xFFFF))), w.shownDelta) << w.delta;
    EXPECT_EQ(wp & 0xFFFF, w.mk) << w.delta;
    EXPECT_EQ(wp >> 32, 0) << "nothing above the two words";
  }
}

TEST(Input, FocusTranslationTables) {
  struct Reason {
    int reason;
    intptr_t how;
    bool counts;
  } reasons[] = {
      {Qt::MouseFocusReason, FOCUS_MOUSE, true},
      {Qt::TabFocusReason, FOCUS_KEYBOARD, true},
      {Qt::BacktabFocusReason, FOCUS_KEYBOARD, true},
      {Qt::ShortcutFocusReason, FOCUS_KEYBOARD, true},
      {Qt::ActiveWindowFocusReason, FOCUS_OTHER, true},
      {Qt::MenuBarFocusReason, FOCUS_OTHER, true},
      {Qt::OtherFocusReason, FOCUS_OTHER, true},
      {Qt::NoFocusReason, FOCUS_OTHER, true},
      {Qt::PopupFocusReason, FOCUS_OTHER, false},  // a menu opening or closing
  };
  for (const Reason& r : reasons) {
    EXPECT_EQ(FocusHowFromReason(r.reason), r.how) << r.reason;
    EXPECT_EQ(FocusReasonCounts(r.reason), r.counts) << r.reason;
  }
  // What SetFocus gives is what the control hears in WM_SETFOCUS.
  for (intptr_t how : {FOCUS_OTHER, FOCUS_KEYBOARD, FOCUS_MOUSE}) {
    EXPECT_EQ(FocusHowFromReason(FocusReasonFor(how)), how) << how;
    EXPECT_TRUE(FocusReasonCounts(FocusReasonFor(how))) << how;
  }
}
