#include "framework/gui/stdctrls_support.h"

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

namespace komp::stdctrls {

// Puts a Qt widget inside a control, filling it up to `margin` pixels from its edges.
void FillWith(QWidget* host, QWidget* inner, int margin) {
  auto* layout = new QHBoxLayout(host);
  layout->setContentsMargins(margin, margin, margin, margin);
  layout->setSpacing(0);
  // The control's size is whatever its user sets, never the wrapped widget's minimum.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(inner);
  // A layout shows a widget added to a visible host only later, from the event loop: a control
  // made on a shown window could not take the focus until then.
  inner->setVisible(true);
}

namespace {

// The two-pixel sunken border of edits and list boxes, painted on the host around its child.
class SunkenBorder : public QObject {
 public:
  explicit SunkenBorder(QWidget* host) : QObject(host), host_(host) { host->installEventFilter(this); }
  bool eventFilter(QObject* obj, QEvent* e) override {
    if (obj == host_ && e->type() == QEvent::Paint) {
      QPainter p(host_);
      const int w = host_->width(), h = host_->height();
      auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
        p.setPen(QPen(ToQColor(c), 0));
        p.drawLine(x1, y1, x2, y2);
      };
      line(clBtnShadow, 0, 0, w - 2, 0);
      line(clBtnShadow, 0, 0, 0, h - 2);
      line(clBtnHighlight, 0, h - 1, w - 1, h - 1);
      line(clBtnHighlight, w - 1, 0, w - 1, h - 1);
      line(cl3DDkShadow, 1, 1, w - 3, 1);
      line(cl3DDkShadow, 1, 1, 1, h - 3);
      line(cl3DLight, 1, h - 2, w - 2, h - 2);
      line(cl3DLight, w - 2, 1, w - 2, h - 2);
      return true;
    }
    return false;
  }

 private:
  QWidget* host_;
};

}  // namespace

void AddSunkenBorder(QWidget* host) { new SunkenBorder(host); }

// Window colours of the classic scheme for a wrapped editing widget.
void ClassicPalette(QWidget* w, bool keepSelection) {
  QPalette pal = w->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(group, QPalette::Base, ToQColor(clWindow));
    pal.setColor(group, QPalette::Text, ToQColor(clWindowText));
    pal.setColor(group, QPalette::Highlight, ToQColor(clHighlight));
    pal.setColor(group, QPalette::HighlightedText, ToQColor(clHighlightText));
  }
  if (!keepSelection) {
    // Without the focus a selection is not shown at all.
    pal.setColor(QPalette::Inactive, QPalette::Highlight, ToQColor(clWindow));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, ToQColor(clWindowText));
  }
  pal.setColor(QPalette::Disabled, QPalette::Base, ToQColor(clBtnFace));
  pal.setColor(QPalette::Disabled, QPalette::Text, ToQColor(clGrayText));
  w->setPalette(pal);
}

// Text of a disabled control: embossed, a white copy one pixel down and right under a grey one.
void DrawStateText(TCanvas& c, int x, int y, const TRect& clip, const std::string& text, bool enabled,
                   TColor color) {
  c.Brush.Style = TBrushStyle::Clear;
  if (enabled) {
    c.Font.Color = color;
    c.TextRect(clip, x, y, text);
    return;
  }
  c.Font.Color = clBtnHighlight;
  c.TextRect(clip.Offset(1, 1), x + 1, y + 1, text);
  c.Font.Color = clBtnShadow;
  c.TextRect(clip, x, y, text);
}

std::vector<std::string> SplitLines(const std::string& s) {
  std::vector<std::string> out(1);
  for (char ch : s) {
    if (ch == '\r') continue;
    if (ch == '\n') out.emplace_back();
    else out.back() += ch;
  }
  return out;
}


}  // namespace komp::stdctrls
