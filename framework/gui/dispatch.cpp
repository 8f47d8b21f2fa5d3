// The way of a message through the framework.
//
//   Perform / TControl::event -> DispatchGuarded: input to a disabled control is dropped
//     -> Dispatch (virtual; the base routes by group to WMKeyDown, WMMouseDown, ...)
//     -> a key left unhandled: OfferToParents, nearest parent first, up to the window
//     -> left unhandled by all: the origin's DefaultHandler (Tab moves the focus)
//
// Any handler may free the control it runs in, or the origin: each step checks first.
#include <QPointer>
#include <exception>

#include "framework/gui/controls.h"
#include "framework/gui/services.h"

namespace komp {

namespace {

bool IsInputMessage(uint32_t m) {
  return (m >= WM_KEYDOWN && m <= WM_SYSKEYUP) || (m >= WM_MOUSEMOVE && m <= WM_MOUSEWHEEL) || m == WM_CUT ||
         m == WM_PASTE || m == WM_CLEAR;
}

bool IsKeyMessage(uint32_t m) { return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_CHAR; }

// Runs a handler. An exception escaping it is shown and ends the message there: false.
template <class F>
bool Guarded(F&& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& ex) {
    ShowException(ex.what());
  } catch (...) {
    ShowException("Unbekannter Fehler");
  }
  return false;
}

// Offers a key the origin left unhandled to its parent controls, nearest first; the window is
// the last one asked, so a key never leaves a dialog for the window that opened it. False
// when the way ended early: the origin was freed or a handler failed.
bool OfferToParents(TControl* origin, TMessage& m) {
  QPointer<TControl> alive(origin);
  QPointer<QWidget> at(origin);
  while (!at->isWindow()) {
    QPointer<TControl> parent(dynamic_cast<TControl*>(at->parentWidget()));
    if (!parent) return true;
    if (parent->isEnabled()) {
      m.Handled = true;
      if (!Guarded([&] { parent->Dispatch(m); })) return false;
      if (m.Handled) return true;
      if (!alive || !parent) return false;
    }
    at = parent.data();
  }
  return true;
}

}  // namespace

intptr_t TControl::Perform(uint32_t msg, intptr_t wparam, intptr_t lparam) {
  TMessage m{msg, wparam, lparam, 0};
  DispatchGuarded(m);
  return m.Result;
}

void TControl::DispatchGuarded(TMessage& m) {
  if (!isEnabled() && IsInputMessage(m.Msg)) return;
  QPointer<TControl> self(this);
  m.Origin = this;
  m.Handled = true;
  if (!Guarded([&] { Dispatch(m); }) || m.Handled || !self) return;
  if (IsKeyMessage(m.Msg) && (!OfferToParents(this, m) || m.Handled || !self)) return;
  Guarded([&] { DefaultHandler(m); });
}

void TControl::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_KEYDOWN: WMKeyDown(msg); break;
    case WM_KEYUP: WMKeyUp(msg); break;
    case WM_CHAR: WMChar(msg); break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: WMMouseDown(msg); break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: WMMouseUp(msg); break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: WMDblClick(msg); break;
    case WM_MOUSEMOVE: WMMouseMove(msg); break;
    case WM_MOUSEWHEEL: WMMouseWheel(msg); break;
    case WM_SETFOCUS: WMSetFocus(msg); break;
    case WM_KILLFOCUS: WMKillFocus(msg); break;
    case WM_SIZE: WMSize(msg); break;
    case WM_HSCROLL: WMHScroll(msg); break;
    case WM_VSCROLL: WMVScroll(msg); break;
    case WM_TIMER: WMTimer(msg); break;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR: WMEditCommand(msg); break;
    default: WMOther(msg); break;
  }
}

void TControl::DefaultHandler(TMessage& msg) {
  if (msg.Msg == WM_KEYDOWN && msg.WParam == VK_TAB && !(msg.LParam & (ssCtrl | ssAlt))) {
    SelectNextControl(!(msg.LParam & ssShift));
  }
}

}  // namespace komp
