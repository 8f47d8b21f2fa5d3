#include "framework/gui/controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>
#include <exception>

#include "framework/gui/caret.h"
#include "framework/gui/keyboard.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"

namespace komp {

TComponent::TComponent(QObject* owner) : QObject(owner) {}

namespace {

QPointer<TControl> g_capture;

// Keeps the aligned and anchored controls of one parent in place when it is resized.
class AlignWatcher : public QObject {
 public:
  explicit AlignWatcher(QWidget* parent) : QObject(parent) { parent->installEventFilter(this); }
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (e->type() == QEvent::Resize) Realign(static_cast<QWidget*>(obj));
    return false;
  }
  static void Realign(QWidget* parent);
};

void AlignWatcher::Realign(QWidget* parent) {
  QRect free = parent->rect();
  const auto kids = ChildrenOf<TControl>(parent);
  for (TAlign pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
    for (TControl* c : kids) {
      if (c->Align() != pass || c->isHidden()) continue;
      QRect g = c->geometry();
      switch (pass) {
        case TAlign::Top:
          g = QRect(free.left(), free.top(), free.width(), g.height());
          free.setTop(free.top() + g.height());
          break;
        case TAlign::Bottom:
          g = QRect(free.left(), free.bottom() + 1 - g.height(), free.width(), g.height());
          free.setBottom(free.bottom() - g.height());
          break;
        case TAlign::Left:
          g = QRect(free.left(), free.top(), g.width(), free.height());
          free.setLeft(free.left() + g.width());
          break;
        case TAlign::Right:
          g = QRect(free.right() + 1 - g.width(), free.top(), g.width(), free.height());
          free.setRight(free.right() - g.width());
          break;
        default:
          g = free;
          break;
      }
      c->setGeometry(g);
    }
  }
}

}  // namespace

// ---------------------------------------------------------------- TControl

TControl::TControl(QWidget* owner) : QWidget(owner) {
  WatchHeldKeys();
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  resize(100, 21);
  // A child is visible unless hidden; shown with its parent.
  if (owner) setVisible(true);
}

TControl::~TControl() {
  if (g_capture == this) ReleaseCapture();
  DestroyCaretOf(this);
}

void TControl::SetBounds(int left, int top, int w, int h) {
  setGeometry(left, top, std::max(0, w), std::max(0, h));
  if (parentWidget()) {
    anchorRight_ = parentWidget()->width() - (left + w);
    anchorBottom_ = parentWidget()->height() - (top + h);
  }
}

void TControl::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  setEnabled(v);
  if (!v && hasFocus()) clearFocus();
  update();
}

void TControl::SetTabOrder(int order) { tabOrder_ = std::max(0, order); }

void TControl::SetFont(const TFont& f) {
  font_ = f;
  Perform(CM_FONTCHANGED);
  update();
}

void TControl::SetColor(TColor c) {
  color_ = c;
  update();
}

void TControl::SetAlign(TAlign a) {
  align_ = a;
  if (parentWidget()) {
    if (ChildrenOf<AlignWatcher>(parentWidget()).empty())
      new AlignWatcher(parentWidget());
    AlignWatcher::Realign(parentWidget());
  }
}

void TControl::SetAnchors(TAnchors a) {
  anchors_ = a;
  if (parentWidget()) {
    anchorRight_ = parentWidget()->width() - (Left() + Width());
    anchorBottom_ = parentWidget()->height() - (Top() + Height());
    if (!anchorWatcher_) {
      // Anchors follow the parent's size through an event filter of their own.
      struct AnchorWatcher : QObject {
        TControl* self;
        AnchorWatcher(TControl* s, QWidget* p) : QObject(s), self(s) { p->installEventFilter(this); }
        bool eventFilter(QObject*, QEvent* e) override {
          if (e->type() == QEvent::Resize) self->ApplyAnchors();
          return false;
        }
      };
      anchorWatcher_ = new AnchorWatcher(this, parentWidget());
    }
  }
}

void TControl::ApplyAnchors() {
  QWidget* p = parentWidget();
  if (!p || align_ != TAlign::None) return;
  QRect g = geometry();
  if (anchors_ & akRight) {
    const int right = p->width() - anchorRight_;
    if (anchors_ & akLeft) g.setWidth(std::max(0, right - g.left()));
    else g.moveLeft(right - g.width());
  }
  if (anchors_ & akBottom) {
    const int bottom = p->height() - anchorBottom_;
    if (anchors_ & akTop) g.setHeight(std::max(0, bottom - g.top()));
    else g.moveTop(bottom - g.height());
  }
  setGeometry(g);
}

void TControl::SetCursorShape(TCursor c) {
  static const Qt::CursorShape shapes[] = {Qt::ArrowCursor, Qt::ArrowCursor, Qt::IBeamCursor, Qt::WaitCursor,
                                           Qt::CrossCursor, Qt::SizeHorCursor, Qt::SizeVerCursor,
                                           Qt::SizeAllCursor, Qt::PointingHandCursor, Qt::DragMoveCursor,
                                           Qt::ForbiddenCursor};
  if (c == TCursor::Default) unsetCursor();
  else setCursor(shapes[int(c)]);
}

void TControl::SetHint(const std::string& hint) { setToolTip(ToQString(hint)); }

TControl* TControl::ParentControl() const { return dynamic_cast<TControl*>(parentWidget()); }

void TControl::Invalidate() { update(); }

void TControl::Repaint() { repaint(); }

TPoint TControl::ClientToScreen(TPoint p) const { return FromQPoint(mapToGlobal(QPoint(p.x, p.y))); }

TPoint TControl::ScreenToClient(TPoint p) const { return FromQPoint(mapFromGlobal(QPoint(p.x, p.y))); }

bool TControl::event(QEvent* e) {
  QPointer<TControl> self(this);
  switch (e->type()) {
    case QEvent::ShortcutOverride: {
      // Keys typed into a control belong to it, not to a host's shortcuts.
      auto* ke = static_cast<QKeyEvent*>(e);
      if (!(ke->modifiers() & Qt::AltModifier)) {
        e->accept();
        return true;
      }
      break;
    }
    case QEvent::KeyPress: {
      auto* ke = static_cast<QKeyEvent*>(e);
      const int vk = QtKeyToVirtualKey(ke->key());
      intptr_t ss = KeyShift(ke->key(), int(ke->modifiers()));
      if (vk && HeldKeys().Press(vk, ke->isAutoRepeat(), ke->timestamp())) ss |= KF_REPEAT;
      if (vk) {
        TMessage m{WM_KEYDOWN, vk, ss, 0};
        DispatchGuarded(m);
      }
      if (!self) return true;
      const QByteArray text = ke->text().toUtf8();
      const int ch = KeyPressToChar(ke->key(), std::string(text.constData(), size_t(text.size())),
                                    ke->modifiers() & Qt::ControlModifier, ke->modifiers() & Qt::AltModifier);
      if (ch >= 0) {
        TMessage m{WM_CHAR, ch, ss, 0};
        DispatchGuarded(m);
      }
      e->accept();
      return true;
    }
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(e);
      if (!ke->isAutoRepeat()) {
        const int vk = QtKeyToVirtualKey(ke->key());
        if (vk) {
          TMessage m{WM_KEYUP, vk, QtModifiersToShift(int(ke->modifiers()), 0), 0};
          DispatchGuarded(m);
        }
      }
      e->accept();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(e);
      const uint32_t msg = MouseMessageFor(e->type(), me->button());
      // The framework's own part of a press: a tab stop takes the focus. A disabled control
      // takes nothing, and the focus stays where it was.
      if (e->type() == QEvent::MouseButtonPress && tabStop_ && CanFocus() && !hasFocus()) {
        SetFocus(FOCUS_MOUSE);
        if (!self) return true;
      }
      if (msg) {
        const QPoint p = me->position().toPoint();
        TMessage m{msg, MouseKeyState(int(me->modifiers()), int(me->buttons())), MakeLParam(p.x(), p.y()), 0};
        DispatchGuarded(m);
      }
      e->accept();
      return true;
    }
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      const QPoint g = we->globalPosition().toPoint();
      TMessage m{WM_MOUSEWHEEL, WheelWParam(we->angleDelta().y(), int(we->modifiers()), int(we->buttons())),
                 MakeLParam(g.x(), g.y()), 0};
      DispatchGuarded(m);
      e->accept();
      return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      auto* fe = static_cast<QFocusEvent*>(e);
      if (!FocusReasonCounts(fe->reason())) return true;
      TMessage m{e->type() == QEvent::FocusIn ? uint32_t(WM_SETFOCUS) : uint32_t(WM_KILLFOCUS), 0, 0, 0};
      if (e->type() == QEvent::FocusIn) {
        m.WParam = FocusHowFromReason(fe->reason());
      } else {
        // Qt has already made the receiver the focus widget when the loser hears of it.
        m.WParam = intptr_t(ControlOfFocusWidget(QApplication::focusWidget()));
      }
      DispatchGuarded(m);
      if (self) update();
      return true;
    }
    case QEvent::Resize: {
      TMessage m{WM_SIZE, 0, MakeLParam(width(), height()), 0};
      DispatchGuarded(m);
      break;
    }
    case QEvent::Enter: {
      TMessage m{CM_MOUSEENTER, 0, 0, 0};
      DispatchGuarded(m);
      break;
    }
    case QEvent::Leave: {
      TMessage m{CM_MOUSELEAVE, 0, 0, 0};
      DispatchGuarded(m);
      break;
    }
    default:
      break;
  }
  if (!self) return true;
  return QWidget::event(e);
}

TControl* ControlOfFocusWidget(const QWidget* w) {
  for (const QWidget* p = w; p; p = p->parentWidget()) {
    if (auto* c = dynamic_cast<const TControl*>(p)) {
      if (p == w) return const_cast<TControl*>(c);
      const QWidget* proxy = c->focusProxy();
      return proxy && (proxy == w || proxy->isAncestorOf(w)) ? const_cast<TControl*>(c) : nullptr;
    }
    if (p->isWindow()) break;
  }
  return nullptr;
}

intptr_t SendToActiveWindow(uint32_t msg, intptr_t wparam, intptr_t lparam) {
  auto* w = dynamic_cast<TControl*>(QApplication::activeWindow());
  if (!w) return 0;
  return w->Perform(msg, wparam, lparam);
}

namespace {
// The offscreen platform of the tests has no pointer grab; Qt's implicit grab while a button
// is held covers what the controls need there.
bool CanGrab() {
  static const bool can = QGuiApplication::platformName() != QLatin1String("offscreen");
  return can;
}
}  // namespace

void SetCapture(TControl* control) {
  if (g_capture && g_capture != control && CanGrab()) g_capture->releaseMouse();
  g_capture = control;
  if (control && control->isVisible() && CanGrab()) control->grabMouse();
}

void ReleaseCapture() {
  if (g_capture && CanGrab()) g_capture->releaseMouse();
  g_capture = nullptr;
}

TControl* GetCapture() { return g_capture; }

// ---------------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(QWidget* owner) : TControl(owner) {
  SetFocusable(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::Paint() {
  Canvas().Brush.Color = Color();
  Canvas().Brush.Style = TBrushStyle::Solid;
  Canvas().FillRect(ClientRect());
}

void TCustomControl::PaintTo(TCanvas& canvas) {
  target_ = &canvas;
  canvas.Font = Font();
  canvas.Brush = TBrush{Color(), TBrushStyle::Solid};
  try {
    Paint();
  } catch (...) {
    target_ = &canvas_;
    throw;
  }
  target_ = &canvas_;
}

void TCustomControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // The background is erased in the control's colour, so what Paint leaves out is not garbage.
  p.fillRect(rect(), ToQColor(Color()));
  canvas_.Begin(&p, nullptr);
  canvas_.Font = Font();
  canvas_.Brush = TBrush{Color(), TBrushStyle::Solid};
  try {
    Paint();
  } catch (const std::exception& ex) {
    canvas_.End();
    ShowException(ex.what());
    return;
  }
  PaintCaret(this, p);
  canvas_.End();
}

// ---------------------------------------------------------------- TCustomPanel

TCustomPanel::TCustomPanel(QWidget* owner) : TCustomControl(owner) { resize(185, 41); }

void TCustomPanel::Paint() {
  TCanvas& c = Canvas();
  c.Brush.Color = Color();
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect(ClientRect());
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::None) return;
    const TColor tl = cut == TBevelCut::Raised ? clBtnHighlight : clBtnShadow;
    const TColor br = cut == TBevelCut::Raised ? clBtnShadow : clBtnHighlight;
    c.Frame3D(r, tl, br);
    r = r.Inflate(-1, -1);
  };
  bevel(BevelOuter);
  bevel(BevelInner);
  if (!Caption.empty()) {
    c.Brush.Style = TBrushStyle::Clear;
    c.Font = Font();
    const TSize s = c.TextExtent(Caption);
    c.TextOut((Width() - s.cx) / 2, (Height() - s.cy) / 2, Caption);
  }
}

}  // namespace komp
