// A mouse click as the window system delivers it: to the window, which finds the widget under
// the pointer and gives the focus as Qt does for a real click. Sending the event straight to a
// widget (SendMouse) skips that part.
#pragma once
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "framework/types.h"

namespace komp {

inline void WindowClick(QWidget* target, TPoint local, Qt::MouseButton button = Qt::LeftButton) {
  QWidget* top = target->window();
  const QPointF inWindow(target->mapTo(top, QPoint(local.x, local.y)));
  const QPointF global(target->mapToGlobal(QPoint(local.x, local.y)));
  QMouseEvent press(QEvent::MouseButtonPress, inWindow, inWindow, global, button, button, Qt::NoModifier);
  QApplication::sendEvent(top->windowHandle(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, inWindow, inWindow, global, button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(top->windowHandle(), &release);
}

}  // namespace komp
