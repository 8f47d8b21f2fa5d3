#include "framework/gui/controls.h"

#include <QApplication>
#include <QCloseEvent>
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
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"

namespace komp {

TComponent::TComponent(QObject* owner) : QObject(owner) {}

// ---------------------------------------------------------------- translation of Qt input

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

namespace {

intptr_t MouseKeys(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  intptr_t k = 0;
  if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) k |= MK_SHIFT;
  if (mods & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

bool IsInputMessage(uint32_t m) {
  return (m >= WM_KEYDOWN && m <= WM_SYSKEYUP) || (m >= WM_MOUSEMOVE && m <= WM_MOUSEWHEEL) || m == WM_CUT ||
         m == WM_PASTE || m == WM_CLEAR;
}

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

void TControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (focusPolicy() != Qt::NoFocus || v) setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus);
}

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

intptr_t TControl::Perform(uint32_t msg, intptr_t wparam, intptr_t lparam) {
  TMessage m{msg, wparam, lparam, 0};
  DispatchGuarded(m);
  return m.Result;
}

void TControl::DispatchGuarded(TMessage& m) {
  // Input to a disabled control is dropped here, whichever way it came.
  if (!isEnabled() && IsInputMessage(m.Msg)) return;
  try {
    Dispatch(m);
  } catch (const std::exception& ex) {
    ShowException(ex.what());
  } catch (...) {
    ShowException("Unbekannter Fehler");
  }
}

void TControl::Dispatch(TMessage& msg) { DefaultHandler(msg); }

void TControl::DefaultHandler(TMessage& msg) {
  if (msg.Msg == WM_KEYDOWN && msg.WParam == VK_TAB && !(msg.LParam & (ssCtrl | ssAlt))) {
    SelectNext(window(), this, !(msg.LParam & ssShift), true);
  }
}

bool TControl::Focused() const { return hasFocus(); }

void TControl::SetFocus(intptr_t how) {
  const Qt::FocusReason reason = how == FOCUS_MOUSE      ? Qt::MouseFocusReason
                                 : how == FOCUS_KEYBOARD ? Qt::TabFocusReason
                                                         : Qt::OtherFocusReason;
  if (focusPolicy() == Qt::NoFocus) return;
  setFocus(reason);
}

bool TControl::CanFocus() const {
  return focusPolicy() != Qt::NoFocus && isEnabled() && isVisibleTo(window()) && !isHidden();
}

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
      const TShiftState ss = QtModifiersToShift(int(ke->modifiers()), 0);
      const int vk = QtKeyToVirtualKey(ke->key());
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
      uint32_t msg = WM_MOUSEMOVE;
      const bool left = me->button() == Qt::LeftButton, right = me->button() == Qt::RightButton;
      const bool middle = me->button() == Qt::MiddleButton;
      if (e->type() == QEvent::MouseButtonPress)
        msg = left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : middle ? uint32_t(WM_MBUTTONDOWN) : uint32_t(0);
      else if (e->type() == QEvent::MouseButtonRelease)
        msg = left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : middle ? uint32_t(WM_MBUTTONUP) : uint32_t(0);
      else if (e->type() == QEvent::MouseButtonDblClick)
        msg = left ? WM_LBUTTONDBLCLK : right ? uint32_t(WM_RBUTTONDBLCLK) : uint32_t(0);
      if (msg) {
        const QPoint p = me->position().toPoint();
        TMessage m{msg, MouseKeys(me->modifiers(), me->buttons()), MakeLParam(p.x(), p.y()), 0};
        DispatchGuarded(m);
      }
      e->accept();
      return true;
    }
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      const int delta = we->angleDelta().y();
      const QPoint g = we->globalPosition().toPoint();
      TMessage m{WM_MOUSEWHEEL, intptr_t((uint32_t(uint16_t(int16_t(delta))) << 16) | uint32_t(MouseKeys(we->modifiers(), we->buttons()))),
                 MakeLParam(g.x(), g.y()), 0};
      DispatchGuarded(m);
      e->accept();
      return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      auto* fe = static_cast<QFocusEvent*>(e);
      // A popup menu opening or closing is not a change of focus for the control.
      if (fe->reason() == Qt::PopupFocusReason) return true;
      TMessage m{e->type() == QEvent::FocusIn ? uint32_t(WM_SETFOCUS) : uint32_t(WM_KILLFOCUS), 0, 0, 0};
      if (e->type() == QEvent::FocusIn)
        m.WParam = fe->reason() == Qt::MouseFocusReason ? FOCUS_MOUSE
                   : (fe->reason() == Qt::TabFocusReason || fe->reason() == Qt::BacktabFocusReason ||
                      fe->reason() == Qt::ShortcutFocusReason)
                       ? FOCUS_KEYBOARD
                       : FOCUS_OTHER;
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

// ---------------------------------------------------------------- tab order and focus

std::vector<TControl*> TabOrderList(QWidget* container) {
  std::vector<TControl*> out;
  if (!container) return out;
  auto kids = ChildrenOf<TControl>(container);
  std::stable_sort(kids.begin(), kids.end(), [](TControl* a, TControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TControl* c : kids) {
    out.push_back(c);
    const auto inner = TabOrderList(c);
    out.insert(out.end(), inner.begin(), inner.end());
  }
  return out;
}

TControl* FindNextControl(QWidget* container, QWidget* current, bool forward, bool checkTabStop) {
  const auto list = TabOrderList(container);
  if (list.empty()) return nullptr;
  const int n = int(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[size_t(i)] == current) start = i;
  if (start < 0) start = forward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    const int i = ((start + (forward ? step : -step)) % n + n) % n;
    TControl* c = list[size_t(i)];
    if (c == current) continue;
    if (c->CanFocus() && (!checkTabStop || c->TabStop())) return c;
  }
  return nullptr;
}

bool SelectNext(QWidget* container, QWidget* current, bool forward, bool checkTabStop) {
  TControl* next = FindNextControl(container, current, forward, checkTabStop);
  if (!next) return false;
  next->SetFocus(FOCUS_KEYBOARD);
  return true;
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
  setFocusPolicy(Qt::ClickFocus);
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

// ---------------------------------------------------------------- TForm

TForm::TForm(QWidget* owner) : TCustomControl(owner) {
  setWindowFlag(Qt::Window, true);
  setFocusPolicy(Qt::NoFocus);
}

std::string TForm::Caption() const { return FromQString(windowTitle()); }

void TForm::SetCaption(const std::string& caption) { setWindowTitle(ToQString(caption)); }

void TForm::SetClientSize(int w, int h) {
  resize(w, h);
  if (borderStyle_ != TBorderStyle::Sizeable) setFixedSize(w, h);
}

void TForm::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  if (style != TBorderStyle::Sizeable) {
    setFixedSize(size());
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
  }
  if (style == TBorderStyle::ToolWindow || style == TBorderStyle::Dialog) setWindowFlag(Qt::WindowMinMaxButtonsHint, false);
}

void TForm::Show() {
  show();
  raise();
  activateWindow();
}

void TForm::Close() { close(); }

TControl* TForm::ActiveControl() const { return dynamic_cast<TControl*>(focusWidget()); }

void TForm::closeEvent(QCloseEvent* e) {
  if (OnCloseQuery && !OnCloseQuery()) {
    e->ignore();
    return;
  }
  if (OnClose) OnClose(this);
  e->accept();
}

void TForm::showEvent(QShowEvent* e) {
  if (position_ == TPosition::ScreenCenter && !centred_) {
    centred_ = true;
    if (QScreen* s = QGuiApplication::primaryScreen()) {
      const QRect a = s->availableGeometry();
      move(a.center() - QPoint(width() / 2, height() / 2));
    }
  }
  // A window opens with the focus on the first control of its tab order.
  if (!focusWidget())
    if (TControl* first = FindNextControl(this, nullptr, true, true)) first->SetFocus(FOCUS_OTHER);
  TCustomControl::showEvent(e);
}

}  // namespace komp
