// Translation of Qt input into messages: small pure functions, used by every control and
// tested as tables. Qt's values come in as plain ints (key codes, modifier and button flags,
// event types, focus reasons), so this header needs no Qt.
//
//   keys     QtKeyToVirtualKey, KeyPressToChar, QtModifiersToShift, KeyShift
//   mouse    MouseMessageFor, MouseKeyState, WheelWParam
//   focus    FocusHowFromReason, FocusReasonCounts, FocusReasonFor
#pragma once
#include <cstdint>
#include <string>

#include "framework/gui/messages.h"

namespace komp {

// ---------------------------------------------------------------- keys

// The virtual key (VK_*, 'A'..'Z', '0'..'9') of a Qt key; 0 for keys the framework has none for.
int QtKeyToVirtualKey(int qtKey);
// The character message for a key press: code page 1252 code, or -1 when the press types none.
int KeyPressToChar(int qtKey, const std::string& textUtf8, bool ctrl, bool alt);
TShiftState QtModifiersToShift(int qtModifiers, int qtButtons);
// The shift state of a key message; Backtab is Shift+Tab even where Qt leaves Shift out.
TShiftState KeyShift(int qtKey, int qtModifiers);

// ---------------------------------------------------------------- mouse

// The message for a Qt mouse event (QEvent::Type) caused by `qtButton`: WM_LBUTTONDOWN,
// WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE (whatever the button), ...; 0 when there is none
// (other buttons, a middle double click, events that are no mouse events).
uint32_t MouseMessageFor(int qtEventType, int qtButton);
// The WParam of a mouse message: the buttons held and Shift and Ctrl as MK_* flags.
intptr_t MouseKeyState(int qtModifiers, int qtButtons);
// The WParam of WM_MOUSEWHEEL: the signed delta (120 a notch, held to 16 bits) in the high
// word, MouseKeyState in the low word.
intptr_t WheelWParam(int delta, int qtModifiers, int qtButtons);

// ---------------------------------------------------------------- focus

// The WParam of WM_SETFOCUS for a Qt focus reason: FOCUS_MOUSE for a click, FOCUS_KEYBOARD for
// Tab, Shift+Tab and shortcuts, FOCUS_OTHER for everything else.
intptr_t FocusHowFromReason(int qtReason);
// False for the focus moves of a popup menu opening and closing: for the control they are no
// change of focus, and it hears nothing of them.
bool FocusReasonCounts(int qtReason);
// The Qt focus reason that SetFocus gives for a FOCUS_* value; FocusHowFromReason reads the
// same value back.
int FocusReasonFor(intptr_t how);

}  // namespace komp
