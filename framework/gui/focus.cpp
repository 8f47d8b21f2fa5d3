// Focus and tab order: which controls Tab visits and in what order, moving the focus there,
// and which control of a window has the focus. Also the screen a control is on.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "framework/gui/controls.h"
#include "framework/gui/qtbridge.h"

namespace komp {

namespace {
// The tab order of one container level, appended to `out`.
void AppendTabOrder(QWidget* container, std::vector<TControl*>& out) {
  std::vector<QWidget*> kids;
  for (QObject* o : container->children()) {
    auto* w = dynamic_cast<QWidget*>(o);
    // A control's own wrapped Qt widget (the line edit of an edit) holds no controls; another
    // window (a dialog owned by this one) has a tab order of its own.
    if (w && !w->isWindow()) kids.push_back(w);
  }
  auto order = [](QWidget* w) {
    auto* c = dynamic_cast<TControl*>(w);
    return c ? c->TabOrder() : 0;
  };
  std::stable_sort(kids.begin(), kids.end(), [&](QWidget* a, QWidget* b) { return order(a) < order(b); });
  for (QWidget* w : kids) {
    if (auto* c = dynamic_cast<TControl*>(w)) out.push_back(c);
    AppendTabOrder(w, out);
  }
}

// The control in `list` that is `w` or contains it, or -1.
int IndexOf(const std::vector<TControl*>& list, const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i] == w) return int(i);
    if (w->isWindow()) break;
  }
  return -1;
}
}  // namespace

std::vector<TControl*> TabOrderList(QWidget* container) {
  std::vector<TControl*> out;
  if (container) AppendTabOrder(container, out);
  return out;
}

TControl* FindNextControl(QWidget* container, QWidget* current, bool forward, bool checkTabStop) {
  const auto list = TabOrderList(container);
  if (list.empty()) return nullptr;
  const int n = int(list.size());
  int start = IndexOf(list, current);
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

bool TControl::SelectNextControl(bool forward) { return SelectNext(window(), this, forward, true); }

TControl* FocusedControl(const QWidget* w) {
  if (!w) return nullptr;
  const QWidget* window = w->window();
  for (QWidget* f = window->focusWidget(); f; f = f->parentWidget()) {
    if (auto* c = dynamic_cast<TControl*>(f)) return f->window() == window ? c : nullptr;
    if (f->isWindow()) break;
  }
  return nullptr;
}

TControl* TForm::ActiveControl() const { return FocusedControl(this); }

// ---------------------------------------------------------------- focus of one control

bool TControl::Focused() const { return hasFocus(); }

void TControl::SetFocus(intptr_t how) {
  if (!focusable_) return;
  setFocus(Qt::FocusReason(FocusReasonFor(how)));
}

void TControl::ClearFocus() {
  if (hasFocus()) clearFocus();
}

bool TControl::CanFocus() const { return focusable_ && isEnabled() && isVisibleTo(window()) && !isHidden(); }

void TControl::SetFocusable(bool v) {
  focusable_ = v;
  if (!v) ClearFocus();
  ApplyFocusPolicy();
}

void TControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (v) focusable_ = true;
  ApplyFocusPolicy();
}

// Qt never gives a control the focus on a click: its own search would hand it to an enclosing
// control when the clicked one is disabled. The framework focuses on click in one place
// (TControl::event). Qt's tab chain, which host widgets use, sees the tab stops.
void TControl::ApplyFocusPolicy() { setFocusPolicy(focusable_ && tabStop_ ? Qt::TabFocus : Qt::NoFocus); }

// ---------------------------------------------------------------- screen

namespace {
QScreen* ScreenOf(const QWidget* w) {
  QScreen* s = w->screen();
  return s ? s : QGuiApplication::primaryScreen();
}
constexpr TRect kNoScreen{0, 0, 1 << 20, 1 << 20};
}  // namespace

TRect TControl::MonitorBounds() const {
  const QScreen* s = ScreenOf(this);
  return s ? FromQRect(s->geometry()) : kNoScreen;
}

TRect TControl::MonitorWorkArea() const {
  const QScreen* s = ScreenOf(this);
  return s ? FromQRect(s->availableGeometry()) : kNoScreen;
}

}  // namespace komp
