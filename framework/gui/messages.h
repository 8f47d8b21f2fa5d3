// Messages that controls receive through Dispatch, and the key codes they carry.
// The numbers follow the classic desktop API, so handlers read as they always have.
#pragma once
#include <cstdint>

namespace komp {

class TControl;

struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
  // Cleared by the framework's own handlers, which take nothing: an unhandled key bubbles to
  // the parent controls, and what nobody takes ends in the DefaultHandler (controls.h).
  bool Handled = true;
  // The control the message was sent to; while a key bubbles, the one it was typed into.
  TControl* Origin = nullptr;

  // Mouse messages carry the position in LParam (x low word, y high word, signed) and the
  // button and modifier state (MK_*) in WParam.
  int XPos() const { return int(int16_t(uint16_t(LParam & 0xFFFF))); }
  int YPos() const { return int(int16_t(uint16_t((LParam >> 16) & 0xFFFF))); }
  // WM_MOUSEWHEEL: the signed delta in the high word of WParam (120 a notch).
  // WM_HSCROLL / WM_VSCROLL: the scroll code in the low word, the position in the high word.
  int WheelDelta() const { return int(int16_t(uint16_t((uint64_t(WParam) >> 16) & 0xFFFF))); }
  int ScrollCode() const { return int(WParam & 0xFFFF); }
  int ScrollPos() const { return int((uint64_t(WParam) >> 16) & 0xFFFF); }
};

constexpr intptr_t MakeLParam(int lo, int hi) {
  return intptr_t(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16));
}

enum : uint32_t {
  WM_NULL = 0x0000,
  WM_SIZE = 0x0005,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_SHOWWINDOW = 0x0018,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  WM_TIMER = 0x0113,
  WM_HSCROLL = 0x0114,
  WM_VSCROLL = 0x0115,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_RBUTTONDBLCLK = 0x0206,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_MOUSEWHEEL = 0x020A,
  WM_CUT = 0x0300,
  WM_COPY = 0x0301,
  WM_PASTE = 0x0302,
  WM_CLEAR = 0x0303,
  WM_USER = 0x0400,
  WM_APP = 0x8000,
  // The framework's notification copy of a key press that a control received (ignored by most).
  CN_KEYDOWN = 0xBD00 + WM_KEYDOWN,
  // Mouse entering and leaving a control.
  CM_MOUSEENTER = 0xB013,
  CM_MOUSELEAVE = 0xB014,
  // Sent by SetFont, so that a control can follow its font (wrapped widgets, auto-sizing).
  CM_FONTCHANGED = 0xB00F,
};

// WParam of WM_SETFOCUS: how the focus came.
enum : intptr_t { FOCUS_OTHER = 0, FOCUS_KEYBOARD = 1, FOCUS_MOUSE = 2 };

// Button and modifier state in the WParam of mouse messages.
enum : intptr_t { MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08, MK_MBUTTON = 0x10 };

// Scroll codes in the low word of WParam of WM_HSCROLL / WM_VSCROLL; the position is in the high word.
enum : int {
  SB_LINEUP = 0, SB_LINEDOWN = 1, SB_PAGEUP = 2, SB_PAGEDOWN = 3, SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5, SB_TOP = 6, SB_BOTTOM = 7, SB_ENDSCROLL = 8
};

// Virtual key codes.
enum : int {
  VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
  VK_PAUSE = 0x13, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
  VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D,
  VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75,
  VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B,
  VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F, VK_MULTIPLY = 0x6A,
  VK_NUMPAD0 = 0x60
};

// Key messages carry the virtual key (WM_KEYDOWN, WM_KEYUP) or the code page 1252 character
// (WM_CHAR) in WParam and the modifier state (TShiftState) in LParam.
enum TShiftFlag : int { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssDouble = 32 };
using TShiftState = int;

// Also in the LParam of WM_KEYDOWN and WM_CHAR: the key was already down, this is its
// auto-repeat. Set by the framework from its own record of held keys, not from Qt's flag alone.
constexpr intptr_t KF_REPEAT = 0x40000000;
inline TShiftState KeyShiftOf(const TMessage& m) { return TShiftState(m.LParam & ~KF_REPEAT); }
inline bool KeyRepeated(const TMessage& m) { return (m.LParam & KF_REPEAT) != 0; }

}  // namespace komp
