// Translation of Qt input into messages (pure functions; see input.h).
#include "framework/gui/input.h"

#include <QEvent>
#include <algorithm>

#include "framework/cp1252.h"

namespace komp {

// ---------------------------------------------------------------- keys

int QtKeyToVirtualKey(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return VK_F1 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_Adiaeresis: return 0xDE;
    case Qt::Key_Odiaeresis: return 0xC0;
    case Qt::Key_Udiaeresis: return 0xBA;
    case Qt::Key_ssharp: return 0xDB;
    default: return 0;
  }
}

int KeyPressToChar(int key, const std::string& textUtf8, bool ctrl, bool alt) {
  if (alt) return -1;
  if (ctrl) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 1 + (key - Qt::Key_A);
    return -1;
  }
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Delete: return -1;
    default: break;
  }
  if (textUtf8.empty()) return -1;
  const std::string cp = Utf8ToCp1252(textUtf8);
  const auto c = static_cast<unsigned char>(cp[0]);
  if (c < 32 || c == 127) return -1;
  if (c == '?' && textUtf8[0] != '?') return -1;  // no such character in code page 1252
  return c;
}

TShiftState QtModifiersToShift(int mods, int buttons) {
  TShiftState s = 0;
  if (mods & Qt::ShiftModifier) s |= ssShift;
  if (mods & Qt::ControlModifier) s |= ssCtrl;
  if (mods & Qt::AltModifier) s |= ssAlt;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  return s;
}

TShiftState KeyShift(int qtKey, int qtModifiers) {
  TShiftState s = QtModifiersToShift(qtModifiers, 0);
  if (qtKey == Qt::Key_Backtab) s |= ssShift;
  return s;
}

// ---------------------------------------------------------------- mouse

uint32_t MouseMessageFor(int type, int button) {
  if (type == QEvent::MouseMove) return WM_MOUSEMOVE;
  struct Row {
    int type, button;
    uint32_t msg;
  };
  // No row for a middle double click: there is no message for it.
  static constexpr Row rows[] = {
      {QEvent::MouseButtonPress, Qt::LeftButton, WM_LBUTTONDOWN},
      {QEvent::MouseButtonPress, Qt::RightButton, WM_RBUTTONDOWN},
      {QEvent::MouseButtonPress, Qt::MiddleButton, WM_MBUTTONDOWN},
      {QEvent::MouseButtonRelease, Qt::LeftButton, WM_LBUTTONUP},
      {QEvent::MouseButtonRelease, Qt::RightButton, WM_RBUTTONUP},
      {QEvent::MouseButtonRelease, Qt::MiddleButton, WM_MBUTTONUP},
      {QEvent::MouseButtonDblClick, Qt::LeftButton, WM_LBUTTONDBLCLK},
      {QEvent::MouseButtonDblClick, Qt::RightButton, WM_RBUTTONDBLCLK},
  };
  for (const Row& r : rows)
    if (r.type == type && r.button == button) return r.msg;
  return 0;
}

intptr_t MouseKeyState(int mods, int buttons) {
  intptr_t k = 0;
  if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) k |= MK_SHIFT;
  if (mods & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

intptr_t WheelWParam(int delta, int mods, int buttons) {
  // A fast touchpad flick can exceed 16 bits; held there, it keeps its direction.
  const auto d = int16_t(std::clamp(delta, -32768, 32767));
  return intptr_t((uint32_t(uint16_t(d)) << 16) | uint32_t(MouseKeyState(mods, buttons)));
}

// ---------------------------------------------------------------- focus

intptr_t FocusHowFromReason(int reason) {
  switch (reason) {
    case Qt::MouseFocusReason: return FOCUS_MOUSE;
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason: return FOCUS_KEYBOARD;
    default: return FOCUS_OTHER;
  }
}

bool FocusReasonCounts(int reason) { return reason != Qt::PopupFocusReason; }

int FocusReasonFor(intptr_t how) {
  return how == FOCUS_MOUSE ? Qt::MouseFocusReason : how == FOCUS_KEYBOARD ? Qt::TabFocusReason : Qt::OtherFocusReason;
}

}  // namespace komp
