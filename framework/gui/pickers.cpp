// Picker controls.
//
//   PlaceDropDown     the placement rule, plain geometry
//   TDropDownWindow   Qt::Popup window; Escape through an application key watch while open,
//                     a press outside closes it (TControl::event would hide the press from Qt)
//   TWrappedControl   layout, focus proxy, font and the Tab watch shared by the wrappers
//   TMonthCalendar    QCalendarWidget set up in German
//   TTrackBar         QSlider; its own key steps
//   TComboBox         QComboBox; OnChange only for the person's choices
//   TSpinEdit         QSpinBox
//   TButton           QPushButton; Enter on it, Default through an application key watch
#include "framework/gui/pickers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <algorithm>
#include <climits>

#include "framework/gui/qtbridge.h"

namespace komp {

namespace {

bool PlainKey(const QKeyEvent* ke) { return !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)); }

bool IsEnter(const QKeyEvent* ke) { return ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter; }

// Calls a notify handler so that it may free the control that raised it.
void Notify(const TNotifyEvent& event, TObject* sender) {
  if (!event) return;
  TNotifyEvent handler = event;
  handler(sender);
}

}  // namespace

// ---------------------------------------------------------------- PlaceDropDown

TRect PlaceDropDown(const TRect& anchor, TSize size, const TRect& workArea) {
  int left = anchor.left, top = anchor.bottom;
  if (left + size.cx > workArea.right) left = workArea.right - size.cx;
  if (top + size.cy > workArea.bottom) top = anchor.top - size.cy;
  left = std::max(left, workArea.left);
  top = std::max(top, workArea.top);
  return Bounds(left, top, size.cx, size.cy);
}

// ---------------------------------------------------------------- TDropDownWindow

namespace {
// Escape closes the drop-down whichever of its controls has the focus; a control in it
// would take the key and keep it.
class DropDownEscape : public QObject {
 public:
  explicit DropDownEscape(TDropDownWindow* w) : w_(w) {}
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || !obj->isWidgetType()) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    if (ke->key() != Qt::Key_Escape || !PlainKey(ke)) return false;
    if (static_cast<QWidget*>(obj)->window() != w_) return false;
    // Nothing of this object is used after: the handler may free the window and with it this.
    w_->Close(false);
    return true;
  }

 private:
  TDropDownWindow* w_;
};
}  // namespace

TDropDownWindow::TDropDownWindow(TControl* owner) : TCustomControl(nullptr), escape_(new DropDownEscape(this)) {
  setParent(owner, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  // The press that closes it is not handed on to what it hit.
  setAttribute(Qt::WA_NoMouseReplay);
  SetFocusable(false);
}

TDropDownWindow::~TDropDownWindow() {
  // Freed while open (with its owner): nobody is left to hear of the closing.
  open_ = false;
  if (qApp) qApp->removeEventFilter(escape_.get());
}

void TDropDownWindow::FitChildren() {
  int left = INT_MAX, top = INT_MAX, right = 0, bottom = 0;
  bool any = false;
  for (QObject* o : children()) {
    auto* w = dynamic_cast<QWidget*>(o);
    if (!w || w->isWindow() || w->isHidden()) continue;
    const QRect g = w->geometry();
    left = std::min(left, g.left());
    top = std::min(top, g.top());
    right = std::max(right, g.left() + g.width());
    bottom = std::max(bottom, g.top() + g.height());
    any = true;
  }
  if (any) resize(right + std::max(0, left), bottom + std::max(0, top));
}

void TDropDownWindow::Popup(const TRect& anchor) {
  if (AutoSize) FitChildren();
  QScreen* screen = QGuiApplication::screenAt(ToQRect(anchor).center());
  if (!screen && parentWidget()) screen = parentWidget()->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  const TRect work = screen ? FromQRect(screen->availableGeometry()) : TRect{-(1 << 20), -(1 << 20), 1 << 20, 1 << 20};
  setGeometry(ToQRect(PlaceDropDown(anchor, {width(), height()}, work)));
  if (open_) return;
  open_ = true;
  qApp->installEventFilter(escape_.get());
  // Chosen before showing, so that Qt hands the focus over as to a popup: the owner hears
  // nothing of it, and gets it back on closing.
  if (!focusWidget())
    if (TControl* first = FindNextControl(this, nullptr, true, true)) first->SetFocus(FOCUS_OTHER);
  show();
  raise();
  activateWindow();
}

void TDropDownWindow::Close(bool ok) { Finish(ok); }

void TDropDownWindow::Finish(bool ok) {
  if (!open_) return;
  open_ = false;
  qApp->removeEventFilter(escape_.get());
  if (isVisible()) hide();
  if (OnClose) {
    auto handler = OnClose;
    handler(ok);
  }
}

bool TDropDownWindow::event(QEvent* e) {
  if (open_ && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
    // In popup mode Qt hands the window every press, also those outside it.
    auto* me = static_cast<QMouseEvent*>(e);
    if (!rect().contains(me->position().toPoint())) {
      e->accept();
      close();
      return true;
    }
  }
  return TCustomControl::event(e);
}

void TDropDownWindow::closeEvent(QCloseEvent* e) {
  e->accept();
  Finish(false);
}

void TDropDownWindow::hideEvent(QHideEvent* e) {
  TCustomControl::hideEvent(e);
  Finish(false);
}

void TDropDownWindow::Paint() {
  TCanvas& c = Canvas();
  c.Brush.Color = Color();
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect(ClientRect());
  // The raised edge of a window, as it has no frame of its own.
  c.Frame3D(ClientRect(), cl3DLight, cl3DDkShadow);
  c.Frame3D(ClientRect().Inflate(-1, -1), clBtnHighlight, clBtnShadow);
}

// ---------------------------------------------------------------- TWrappedControl

namespace {
// Tab in the wrapped widget (or any widget inside it) moves on in the framework's tab order;
// Qt's own chain would not know the order of the controls.
class TabKeys : public QObject {
 public:
  TabKeys(TControl* owner, QWidget* inner) : QObject(owner), owner_(owner) {
    inner->installEventFilter(this);
    for (QWidget* w : inner->findChildren<QWidget*>()) w->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    if ((ke->key() != Qt::Key_Tab && ke->key() != Qt::Key_Backtab) || !PlainKey(ke)) return false;
    owner_->SelectNextControl(ke->key() == Qt::Key_Tab && !(ke->modifiers() & Qt::ShiftModifier));
    return true;
  }

 private:
  TControl* owner_;
};
}  // namespace

TWrappedControl::TWrappedControl(QWidget* owner, QWidget* inner) : TControl(owner), inner_(inner) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The control's size is whatever its user sets, never the wrapped widget's minimum.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(inner);
  inner->setVisible(true);  // at once, not from the event loop (see FillWith)
  inner->setFont(TCanvas::ToQFont(Font(), 96));
  setFocusProxy(inner);
  SetTabStop(true);
  new TabKeys(this, inner);
}

// The wrapped widget goes first, and its signals no longer reach the handlers of a control
// whose derived part is already gone.
TWrappedControl::~TWrappedControl() {
  QObject::disconnect(inner_, nullptr, this, nullptr);
  delete inner_;
}

void TWrappedControl::Dispatch(TMessage& msg) {
  if (msg.Msg == CM_FONTCHANGED) inner_->setFont(TCanvas::ToQFont(Font(), 96));
  TControl::Dispatch(msg);
}

// ---------------------------------------------------------------- TMonthCalendar

TMonthCalendar::TMonthCalendar(QWidget* owner) : TWrappedControl(owner, new QCalendarWidget) {
  QCalendarWidget* cal = Calendar();
  cal->setLocale(QLocale(QLocale::German, QLocale::Germany));
  cal->setFirstDayOfWeek(Qt::Monday);
  cal->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
  cal->setGridVisible(true);
  cal->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
  resize(cal->sizeHint());
  // clicked comes from the day grid only; the month and year bar has signals of its own.
  QObject::connect(cal, &QCalendarWidget::clicked, this, [this](QDate d) {
    if (!OnDayClick || !d.isValid()) return;
    auto handler = OnDayClick;
    handler(this, EncodeDate(d.year(), d.month(), d.day()));
  });
  QObject::connect(cal, &QCalendarWidget::activated, this, [this](QDate d) {
    if (!OnActivate || !d.isValid()) return;
    auto handler = OnActivate;
    handler(this, EncodeDate(d.year(), d.month(), d.day()));
  });
}

QCalendarWidget* TMonthCalendar::Calendar() const { return static_cast<QCalendarWidget*>(Inner()); }

TDateTime TMonthCalendar::Date() const {
  const QDate d = Calendar()->selectedDate();
  return d.isValid() ? EncodeDate(d.year(), d.month(), d.day()) : 0;
}

void TMonthCalendar::SetDate(TDateTime date) {
  static const TDateTime first = EncodeDate(1, 1, 1), end = EncodeDate(9999, 12, 31) + 1;
  if (!(date >= first && date < end)) return;
  int y = 0, m = 0, d = 0;
  DecodeDate(date, y, m, d);
  Calendar()->setSelectedDate(QDate(y, m, d));
  Calendar()->setCurrentPage(y, m);
}

// ---------------------------------------------------------------- TTrackBar

namespace {
// The keys of the classic track bar: left and up step back, Page Up a page back.
class TrackKeys : public QObject {
 public:
  explicit TrackKeys(TTrackBar* bar) : QObject(bar), bar_(bar) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    if (!PlainKey(ke)) return false;
    int64_t p = bar_->Position();
    switch (ke->key()) {
      case Qt::Key_Left:
      case Qt::Key_Up: p -= bar_->LineSize(); break;
      case Qt::Key_Right:
      case Qt::Key_Down: p += bar_->LineSize(); break;
      case Qt::Key_PageUp: p -= bar_->PageSize(); break;
      case Qt::Key_PageDown: p += bar_->PageSize(); break;
      case Qt::Key_Home: p = bar_->Min(); break;
      case Qt::Key_End: p = bar_->Max(); break;
      default: return false;
    }
    bar_->SetPosition(int(std::clamp<int64_t>(p, bar_->Min(), bar_->Max())));
    return true;
  }

 private:
  TTrackBar* bar_;
};
}  // namespace

TTrackBar::TTrackBar(QWidget* owner) : TWrappedControl(owner, new QSlider(Qt::Horizontal)) {
  QSlider* s = Slider();
  s->setRange(0, 10);
  s->setSingleStep(lineSize_);
  s->setPageStep(pageSize_);
  s->setTickPosition(QSlider::TicksBelow);
  s->setTickInterval(frequency_);
  s->installEventFilter(new TrackKeys(this));
  resize(150, 45);
  QObject::connect(s, &QSlider::valueChanged, this, [this] { Notify(OnChange, this); });
}

QSlider* TTrackBar::Slider() const { return static_cast<QSlider*>(Inner()); }
int TTrackBar::Min() const { return Slider()->minimum(); }
int TTrackBar::Max() const { return Slider()->maximum(); }
int TTrackBar::Position() const { return Slider()->value(); }

void TTrackBar::SetRange(int min, int max) { Slider()->setRange(min, std::max(min, max)); }
void TTrackBar::SetMin(int min) { SetRange(min, std::max(min, Max())); }
void TTrackBar::SetMax(int max) { SetRange(std::min(Min(), max), max); }
void TTrackBar::SetPosition(int position) { Slider()->setValue(std::clamp(position, Min(), Max())); }

void TTrackBar::SetFrequency(int frequency) {
  frequency_ = std::max(0, frequency);
  // Qt picks an interval of its own for 0.
  Slider()->setTickPosition(frequency_ > 0 ? QSlider::TicksBelow : QSlider::NoTicks);
  Slider()->setTickInterval(frequency_);
}

void TTrackBar::SetLineSize(int n) {
  lineSize_ = std::max(1, n);
  Slider()->setSingleStep(lineSize_);
}

void TTrackBar::SetPageSize(int n) {
  pageSize_ = std::max(1, n);
  Slider()->setPageStep(pageSize_);
}

// ---------------------------------------------------------------- TComboBox

TComboBox::TComboBox(QWidget* owner) : TWrappedControl(owner, new QComboBox) {
  Combo()->setEditable(false);
  Combo()->setMaxVisibleItems(8);
  resize(145, 21);
  // Changes made by code are made with the signals blocked.
  QObject::connect(Combo(), &QComboBox::currentIndexChanged, this, [this] { Notify(OnChange, this); });
}

QComboBox* TComboBox::Combo() const { return static_cast<QComboBox*>(Inner()); }

void TComboBox::SetItems(const TStringList& items) {
  const QSignalBlocker block(Combo());
  items_ = items;
  Combo()->clear();
  for (const auto& it : items_) Combo()->addItem(ToQString(it.text));
  Combo()->setCurrentIndex(-1);
}

int TComboBox::ItemIndex() const { return Combo()->currentIndex(); }

void TComboBox::SetItemIndex(int index) {
  const QSignalBlocker block(Combo());
  Combo()->setCurrentIndex(index >= 0 && index < items_.Count() ? index : -1);
}

std::string TComboBox::Text() const {
  const int i = ItemIndex();
  return i >= 0 ? items_[i] : std::string();
}

void TComboBox::SetDropDownCount(int n) { Combo()->setMaxVisibleItems(std::max(1, n)); }

// ---------------------------------------------------------------- TSpinEdit

TSpinEdit::TSpinEdit(QWidget* owner) : TWrappedControl(owner, new QSpinBox) {
  QLocale german(QLocale::German, QLocale::Germany);
  // A year is 2024, never 2.024.
  german.setNumberOptions(QLocale::OmitGroupSeparator);
  SpinBox()->setLocale(german);
  SpinBox()->setGroupSeparatorShown(false);
  ApplyRange();
  resize(121, 22);
  QObject::connect(SpinBox(), &QSpinBox::valueChanged, this, [this] { Notify(OnChange, this); });
}

QSpinBox* TSpinEdit::SpinBox() const { return static_cast<QSpinBox*>(Inner()); }

void TSpinEdit::ApplyRange() {
  if (min_ == 0 && max_ == 0) SpinBox()->setRange(INT_MIN, INT_MAX);
  else SpinBox()->setRange(min_, std::max(min_, max_));
}

void TSpinEdit::SetMinValue(int v) {
  min_ = v;
  ApplyRange();
}

void TSpinEdit::SetMaxValue(int v) {
  max_ = v;
  ApplyRange();
}

int TSpinEdit::Value() const { return SpinBox()->value(); }

void TSpinEdit::SetValue(int v) { SpinBox()->setValue(v); }

void TSpinEdit::SetIncrement(int n) { SpinBox()->setSingleStep(std::max(1, n)); }

std::string TSpinEdit::WindowText() const { return FromQString(SpinBox()->text()); }

// ---------------------------------------------------------------- TButton

namespace {
// Enter on the focused button clicks it, as Space does.
class ButtonEnter : public QObject {
 public:
  explicit ButtonEnter(TButton* b) : QObject(b), b_(b) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || !IsEnter(static_cast<QKeyEvent*>(e))) return false;
    b_->Click();
    return true;
  }

 private:
  TButton* b_;
};

// Enter anywhere in the default button's window clicks it, before the control with the focus
// sees the key, as a dialog's default key does.
class DefaultEnter : public QObject {
 public:
  explicit DefaultEnter(TButton* b) : b_(b) { qApp->installEventFilter(this); }
  ~DefaultEnter() override {
    if (qApp) qApp->removeEventFilter(this);
  }
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (e->type() != QEvent::KeyPress || !obj->isWidgetType()) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    if (!IsEnter(ke) || !PlainKey(ke)) return false;
    auto* w = static_cast<QWidget*>(obj);
    if (w->window() != b_->window() || !b_->isVisible() || !b_->isEnabled()) return false;
    // A focused button clicks itself; an editor of lines takes Enter as a line break.
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w))
      return false;
    b_->Click();
    return true;
  }

 private:
  TButton* b_;
};
}  // namespace

TButton::TButton(QWidget* owner) : TWrappedControl(owner, new QPushButton) {
  Button()->setAutoDefault(false);
  Button()->installEventFilter(new ButtonEnter(this));
  resize(75, 25);
  QObject::connect(Button(), &QPushButton::clicked, this, [this] { Click(); });
}

TButton::~TButton() = default;

QPushButton* TButton::Button() const { return static_cast<QPushButton*>(Inner()); }

void TButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  Button()->setText(ToQString(caption));
}

void TButton::SetDefault(bool on) {
  if (on == Default()) return;
  if (on) default_ = std::make_unique<DefaultEnter>(this);
  else default_.reset();
  Button()->setDefault(on);
}

void TButton::Click() {
  QPointer<TButton> self(this);
  if (ModalResult != mrNone)
    if (auto* form = dynamic_cast<TForm*>(window())) form->SetModalResult(ModalResult);
  if (self) Notify(OnClick, this);
}

}  // namespace komp
