// TMemo: QPlainTextEdit inside a control; texts cross the boundary in code page 1252.
#include "framework/gui/memo.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>

#include "framework/gui/canvas.h"
#include "framework/gui/qtbridge.h"

namespace komp {

TMemo::TMemo(QWidget* owner) : TControl(owner), edit_(new QPlainTextEdit(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  // The control's size is whatever its user sets, never the editor's minimum.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(edit_);
  edit_->setFont(TCanvas::ToQFont(Font(), 96));
  setFocusProxy(edit_);
  SetTabStop(true);
  resize(185, 89);
  QObject::connect(edit_, &QPlainTextEdit::textChanged, this, [this] {
    if (OnChange) {
      TNotifyEvent handler = OnChange;
      handler(this);
    }
  });
}

// The editor goes first, while this is still a TMemo: its last signals must not reach handlers
// of an object half destroyed.
TMemo::~TMemo() { delete edit_; }

std::string TMemo::Text() const { return FromQString(edit_->toPlainText()); }

void TMemo::SetText(const std::string& text) {
  const QString q = ToQString(text);
  if (q == edit_->toPlainText()) return;
  edit_->setPlainText(q);
}

void TMemo::SetReadOnly(bool ro) { edit_->setReadOnly(ro); }

void TMemo::SetWordWrap(bool wrap) {
  edit_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

}  // namespace komp
