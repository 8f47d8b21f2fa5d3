// The top-most list window: a frameless window that is shown without activation and never
// takes the focus, draws its items itself, and while visible watches the mouse of the whole
// application through an event filter on the application object.
#include "framework/gui/listwindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "framework/gui/messages.h"
#include "framework/gui/qtbridge.h"

namespace komp {

namespace {
constexpr int kBorder = 1;
constexpr int kScrollWidth = 16;
}  // namespace

struct ListState;

class ListWidget : public QWidget {
 public:
  explicit ListWidget(ListState* d);
  void paintEvent(QPaintEvent*) override;
  void wheelEvent(QWheelEvent* e) override;
  void resizeEvent(QResizeEvent*) override;
  QScrollBar* bar;

 private:
  ListState* d_;
};

// Sees every mouse event of the application while the list is shown.
class MouseWatcher : public QObject {
 public:
  explicit MouseWatcher(ListState* d) : d_(d) {}
  bool eventFilter(QObject* obj, QEvent* e) override;
  void Reset() { lastType_ = QEvent::None; }

 private:
  ListState* d_;
  // One input event reaches the filter once per widget it is offered to (the window, the
  // widget under the mouse, its parents when ignored); it is reported once.
  QEvent::Type lastType_ = QEvent::None;
  QPointF lastPos_;
  quint64 lastStamp_ = 0;
  bool swallowLast_ = false;
};

struct ListState {
  TListWindow* self = nullptr;
  std::vector<std::string> items;
  TFont font;
  int itemIndex = -1;
  int top = 0;
  std::unique_ptr<ListWidget> widget;
  std::unique_ptr<MouseWatcher> watcher;
  bool watching = false;

  int ItemHeight() const {
    TCanvas measure;
    measure.Font = font;
    return std::max(1, measure.TextHeight("Ag"));
  }
  QRect ItemArea() const {
    const QRect r = widget->rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    return widget->bar->isVisible() ? r.adjusted(0, 0, -kScrollWidth, 0) : r;
  }
  int Visible() const { return std::max(1, ItemArea().height() / ItemHeight()); }
  void Layout() {
    const int n = int(items.size());
    const QRect inner = widget->rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    const int fits = std::max(1, inner.height() / ItemHeight());
    const bool needBar = n > fits;
    widget->bar->setGeometry(inner.right() + 1 - kScrollWidth, inner.top(), kScrollWidth, inner.height());
    widget->bar->setVisible(needBar);
    const int maxTop = std::max(0, n - fits);
    widget->bar->setRange(0, maxTop);
    widget->bar->setPageStep(fits);
    top = std::clamp(top, 0, maxTop);
    widget->bar->setValue(top);
    widget->update();
  }
  void Watch(bool on) {
    if (on == watching) return;
    watching = on;
    watcher->Reset();
    if (on) qApp->installEventFilter(watcher.get());
    else if (qApp) qApp->removeEventFilter(watcher.get());
  }
};

struct TListWindow::Impl : ListState {};

ListWidget::ListWidget(ListState* d)
    // A tool tip kind of window: above all others and never activated, whatever the platform;
    // an ordinary tool window would be made the active window by some of them.
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      bar(new QScrollBar(Qt::Vertical, this)),
      d_(d) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setWindowTitle(QStringLiteral("PopUp"));
  bar->setFocusPolicy(Qt::NoFocus);
  bar->hide();
  QObject::connect(bar, &QScrollBar::valueChanged, this, [this](int v) {
    d_->top = v;
    update();
  });
}

void ListWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TCanvas c;
  c.Begin(&p, nullptr);
  c.Brush.Color = clWindowFrame;
  c.FrameRect(FromQRect(rect()));
  const QRect area = d_->ItemArea();
  const int ih = d_->ItemHeight();
  c.Font = d_->font;
  c.SetClipRect(FromQRect(area));
  c.Brush.Style = TBrushStyle::Solid;
  int y = area.top();
  for (int i = d_->top; y < area.bottom() + 1; ++i, y += ih) {
    const TRect row{area.left(), y, area.right() + 1, y + ih};
    const bool selected = i == d_->itemIndex;
    c.Brush.Color = selected ? clHighlight : clWindow;
    if (i >= int(d_->items.size())) {
      c.Brush.Color = clWindow;
      c.FillRect({area.left(), y, area.right() + 1, area.bottom() + 1});
      break;
    }
    c.Font.Color = selected ? clHighlightText : clWindowText;
    c.TextRect(row, row.left + 2, row.top, d_->items[size_t(i)]);
  }
  c.End();
}

void ListWidget::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 120;
  if (steps && bar->isVisible()) bar->setValue(bar->value() - 3 * steps);
  e->accept();
}

void ListWidget::resizeEvent(QResizeEvent*) { d_->Layout(); }

bool MouseWatcher::eventFilter(QObject* obj, QEvent* e) {
  const QEvent::Type t = e->type();
  if (t != QEvent::MouseMove && t != QEvent::MouseButtonPress && t != QEvent::MouseButtonDblClick) {
    if (t == QEvent::MouseButtonRelease) lastType_ = QEvent::None;
    return false;
  }
  // The window receives it before its widget does; the widget's delivery is the one reported.
  if (!obj->isWidgetType()) return false;
  auto* me = static_cast<QMouseEvent*>(e);
  if (t != QEvent::MouseMove && me->button() != Qt::LeftButton) return false;
  const QPointF g = me->globalPosition();
  if (t == lastType_ && g == lastPos_ && me->timestamp() == lastStamp_) return swallowLast_;
  lastType_ = t;
  lastPos_ = g;
  lastStamp_ = me->timestamp();
  swallowLast_ = false;
  if (!d_->self->MouseWatch) return false;
  // The handler may hide or even destroy the list window: keep what is needed on the stack.
  auto watch = d_->self->MouseWatch;
  QPointer<QObject> alive(this);
  const bool swallow = watch(t == QEvent::MouseMove ? uint32_t(WM_MOUSEMOVE) : uint32_t(WM_LBUTTONDOWN),
                             {int(std::floor(g.x())), int(std::floor(g.y()))});
  if (alive) swallowLast_ = swallow;
  if (swallow) e->accept();
  return swallow;
}

TListWindow::TListWindow() : d_(std::make_unique<Impl>()) {
  d_->self = this;
  d_->widget = std::make_unique<ListWidget>(d_.get());
  d_->watcher = std::make_unique<MouseWatcher>(d_.get());
  d_->widget->resize(100, 2 + d_->ItemHeight());
}

TListWindow::~TListWindow() {
  d_->Watch(false);
  d_->widget.reset();
}

void TListWindow::SetItems(const std::vector<std::string>& items) {
  d_->items = items;
  if (d_->itemIndex >= int(items.size())) d_->itemIndex = -1;
  d_->Layout();
}

const std::vector<std::string>& TListWindow::Items() const { return d_->items; }

void TListWindow::SetFont(const TFont& font) {
  d_->font = font;
  d_->Layout();
}

int TListWindow::ItemHeight() const { return d_->ItemHeight(); }

int TListWindow::ItemIndex() const { return d_->itemIndex; }

void TListWindow::SetItemIndex(int index) {
  if (index < -1 || index >= int(d_->items.size())) return;
  d_->itemIndex = index;
  if (index >= 0) {
    // Scrolled so that the selected item shows.
    const int visible = d_->Visible();
    if (index < d_->top) d_->top = index;
    else if (index >= d_->top + visible) d_->top = index - visible + 1;
    d_->widget->bar->setValue(d_->top);
  }
  d_->widget->update();
}

void TListWindow::ShowAt(const TRect& screenRect) {
  d_->widget->setGeometry(ToQRect(screenRect));
  d_->Layout();
  d_->widget->show();
  d_->Watch(true);
}

void TListWindow::Hide() {
  d_->Watch(false);
  d_->widget->hide();
}

bool TListWindow::Visible() const { return d_->widget->isVisible(); }

TRect TListWindow::ScreenRect() const { return FromQRect(d_->widget->geometry()); }

int TListWindow::ItemAtScreen(TPoint screen) const {
  if (!Visible()) return -1;
  const QPoint local = d_->widget->mapFromGlobal(ToQPoint(screen));
  const QRect area = d_->ItemArea();
  if (!area.contains(local)) return -1;
  const int i = d_->top + (local.y() - area.top()) / d_->ItemHeight();
  return i < int(d_->items.size()) ? i : -1;
}

QWidget* TListWindow::Widget() const { return d_->widget.get(); }

}  // namespace komp
