// TListBox (QListWidget) and TScrollBar (QScrollBar; Qt's slider actions become SB_* codes for
// OnScroll).
#include "framework/gui/stdctrls.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <climits>

#include "framework/gui/keyboard.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls_support.h"

namespace komp {

using namespace stdctrls;

// ---------------------------------------------------------------- TListBox

TListBox::TListBox(QWidget* owner) : TControl(owner), list_(new QListWidget(this)) {
  list_->setFrameShape(QFrame::NoFrame);
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setFont(TCanvas::ToQFont(Font(), 96));
  ClassicPalette(list_, true);
  FillWith(this, list_, 2);
  AddSunkenBorder(this);
  setFocusProxy(list_);
  SetTabStop(true);
  SetColor(clWindow);
  resize(121, 97);
  QObject::connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
    if (OnClick) {
      TNotifyEvent handler = OnClick;
      handler(this);
    }
  });
  QObject::connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) {
    if (OnDblClick) {
      TNotifyEvent handler = OnDblClick;
      handler(this);
    }
  });
}

TListBox::~TListBox() { delete list_; }

void TListBox::SetItems(const TStringList& items) {
  const QSignalBlocker block(list_);
  items_ = items;
  list_->clear();
  for (const auto& it : items_) list_->addItem(ToQString(it.text));
  list_->setCurrentRow(-1);
}

// The selected item; the current one alone is no choice (Qt makes the first one current on focus).
int TListBox::ItemIndex() const {
  const auto rows = list_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void TListBox::SetItemIndex(int i) {
  const QSignalBlocker block(list_);
  if (i < 0 || i >= list_->count()) {
    list_->setCurrentRow(-1);
    list_->clearSelection();
    return;
  }
  list_->setCurrentRow(i);
  list_->scrollToItem(list_->item(i));
}

int TListBox::ItemHeight() const {
  if (list_->count() > 0) return list_->visualItemRect(list_->item(0)).height();
  return QFontMetrics(list_->font()).height();
}

int TListBox::ItemAt(TPoint clientPos) const {
  const QPoint p = list_->viewport()->mapFrom(this, ToQPoint(clientPos));
  if (!list_->viewport()->rect().contains(p)) return -1;
  const QModelIndex index = list_->indexAt(p);
  return index.isValid() ? index.row() : -1;
}

void TListBox::Dispatch(TMessage& msg) {
  if (msg.Msg == CM_FONTCHANGED) list_->setFont(TCanvas::ToQFont(Font(), 96));
  TControl::Dispatch(msg);
}

// ---------------------------------------------------------------- TScrollBar

namespace {
int ScrollCode(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    default: return -1;
  }
}

// Takes SmallChange and LargeChange over before Qt computes a step, and reports the end of
// a scroll once the bar has handled the mouse letting go of it.
class ScrollWatch : public QObject {
 public:
  ScrollWatch(TScrollBar* owner, QScrollBar* bar, std::function<void()> sync, std::function<void()> ended)
      : QObject(owner), bar_(bar), sync_(std::move(sync)), ended_(std::move(ended)) {
    bar->installEventFilter(this);
  }
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (obj != bar_) return false;
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::Wheel:
        sync_();
        return false;
      case QEvent::MouseButtonRelease: {
        QPointer<QObject> self(this);
        static_cast<QObject*>(bar_)->event(e);
        if (self) ended_();
        return true;
      }
      default:
        return false;
    }
  }

 private:
  QScrollBar* bar_;
  std::function<void()> sync_;
  std::function<void()> ended_;
};
}  // namespace

TScrollBar::TScrollBar(QWidget* owner, TScrollBarKind kind)
    : TControl(owner), bar_(new QScrollBar(this)), kind_(kind) {
  bar_->setFocusPolicy(Qt::NoFocus);
  FillWith(this, bar_, 0);
  bar_->setOrientation(kind == TScrollBarKind::Horizontal ? Qt::Horizontal : Qt::Vertical);
  if (kind == TScrollBarKind::Horizontal) resize(121, 16);
  else resize(16, 121);
  new ScrollWatch(
      this, bar_,
      [this] {
        bar_->setSingleStep(std::max(1, SmallChange));
        bar_->setPageStep(page_ > 0 ? page_ : std::max(1, LargeChange));
      },
      [this] {
        if (!OnScroll) return;
        int pos = pos_;
        TScrollEvent handler = OnScroll;
        handler(this, SB_ENDSCROLL, pos);
      });
  QObject::connect(bar_, &QAbstractSlider::actionTriggered, this, [this](int action) {
    const int code = ScrollCode(action);
    if (code < 0 || !OnScroll) return;
    int pos = bar_->sliderPosition();
    QPointer<TScrollBar> self(this);
    TScrollEvent handler = OnScroll;
    handler(this, code, pos);
    if (self && pos != bar_->sliderPosition()) bar_->setSliderPosition(std::clamp(pos, bar_->minimum(), bar_->maximum()));
  });
  QObject::connect(bar_, &QAbstractSlider::sliderReleased, this, [this] {
    if (!OnScroll) return;
    int pos = bar_->sliderPosition();
    QPointer<TScrollBar> self(this);
    TScrollEvent handler = OnScroll;
    handler(this, SB_THUMBPOSITION, pos);
    if (self && pos != bar_->value()) SetPosition(pos);
  });
  QObject::connect(bar_, &QAbstractSlider::valueChanged, this, [this](int v) {
    if (setting_) return;
    pos_ = v;
    if (OnChange) {
      TNotifyEvent handler = OnChange;
      handler(this);
    }
  });
  Apply();
}

TScrollBar::~TScrollBar() { delete bar_; }

void TScrollBar::SetKind(TScrollBarKind k) {
  const Qt::Orientation o = k == TScrollBarKind::Horizontal ? Qt::Horizontal : Qt::Vertical;
  const bool turned = k != kind_;
  kind_ = k;
  bar_->setOrientation(o);
  if (turned) resize(height(), width());
}

int TScrollBar::Min() const { return min_; }
int TScrollBar::Max() const { return max_; }
int TScrollBar::Position() const { return pos_; }
int TScrollBar::PageSize() const { return page_; }

void TScrollBar::Apply() {
  setting_ = true;
  // A page of PageSize ends at Max: the last position that shows it is Max - PageSize + 1.
  const int last = page_ > 0 ? std::max(min_, max_ - page_ + 1) : max_;
  bar_->setRange(min_, last);
  bar_->setSingleStep(std::max(1, SmallChange));
  bar_->setPageStep(page_ > 0 ? page_ : std::max(1, LargeChange));
  bar_->setValue(pos_);
  setting_ = false;
}

void TScrollBar::SetParams(int position, int min, int max) {
  max = std::max(min, max);
  const int last = page_ > 0 ? std::max(min, max - page_ + 1) : max;
  position = std::clamp(position, min, last);
  const bool changed = position != pos_;
  min_ = min;
  max_ = max;
  pos_ = position;
  Apply();
  if (changed && OnChange) {
    TNotifyEvent handler = OnChange;
    handler(this);
  }
}

void TScrollBar::SetPosition(int pos) { SetParams(pos, min_, max_); }

void TScrollBar::SetPageSize(int page) {
  page_ = std::clamp(page, 0, max_ - min_ + 1);
  SetParams(pos_, min_, max_);
}

}  // namespace komp
