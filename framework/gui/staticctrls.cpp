// Painted and simple stock controls: TLabel (caption), TGroupBox (etched frame with the caption
// over its top line), TProgressBar (QProgressBar, a 64-bit range scaled onto Qt's int range).
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

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(QWidget* owner) : TCustomControl(owner) {
  SetFocusable(false);
  // Not opaque: a transparent label shows its parent beneath.
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  resize(65, 13);
}

void TLabel::SetCaption(const std::string& c) {
  if (c == caption_) return;
  caption_ = c;
  if (AutoSize) AdjustSize();
  update();
}

void TLabel::AdjustSize() {
  TCanvas& c = Canvas();
  c.Font = Font();
  const int border = Border == TStaticBorder::None ? 0 : 1;
  int w = 0;
  const auto lines = SplitLines(caption_);
  for (const auto& l : lines) w = std::max(w, c.TextWidth(l));
  const int h = c.TextHeight("Ag") * int(lines.size());
  SetBounds(Left(), Top(), w + 2 * border, h + 2 * border);
}

void TLabel::Dispatch(TMessage& msg) {
  if (msg.Msg == CM_FONTCHANGED && AutoSize) AdjustSize();
  TCustomControl::Dispatch(msg);
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  if (!Transparent) {
    c.Brush.Color = Color();
    c.Brush.Style = TBrushStyle::Solid;
    c.FillRect(r);
  }
  if (Border == TStaticBorder::Single) {
    c.Brush.Color = clWindowFrame;
    c.FrameRect(r);
    r = r.Inflate(-1, -1);
  } else if (Border == TStaticBorder::Sunken) {
    c.Pen.Color = clBtnShadow;
    c.MoveTo(r.left, r.bottom - 1);
    c.LineTo(r.left, r.top);
    c.LineTo(r.right, r.top);
    c.Pen.Color = clBtnHighlight;
    c.MoveTo(r.left + 1, r.bottom - 1);
    c.LineTo(r.right - 1, r.bottom - 1);
    c.LineTo(r.right - 1, r.top);
    r = r.Inflate(-1, -1);
  }
  c.Font = Font();
  const auto lines = SplitLines(caption_);
  const int lh = c.TextHeight("Ag");
  const int total = lh * int(lines.size());
  int y = r.top;
  if (Layout == TTextLayout::Center) y = r.top + (r.Height() - total) / 2;
  else if (Layout == TTextLayout::Bottom) y = r.bottom - total;
  for (const auto& line : lines) {
    const int w = c.TextWidth(line);
    int x = r.left;
    if (Alignment == TAlignment::Center) x = r.left + (r.Width() - w) / 2;
    else if (Alignment == TAlignment::RightJustify) x = r.right - w;
    if (!line.empty()) DrawStateText(c, x, y, r, line, isEnabled(), Font().Color);
    y += lh;
  }
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(QWidget* owner) : TCustomControl(owner) {
  SetFocusable(false);
  resize(185, 105);
}

void TGroupBox::SetCaption(const std::string& c) {
  caption_ = c;
  update();
}

void TGroupBox::Paint() {
  TCanvas& c = Canvas();
  c.Brush.Color = Color();
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect(ClientRect());
  c.Font = Font();
  const int th = c.TextHeight("Ag");
  const int top = th / 2;
  const int w = Width(), h = Height();
  // Etched: a shadow frame with a highlight frame one pixel down and right.
  c.Brush.Color = clBtnHighlight;
  c.FrameRect({1, top + 1, w, h});
  c.Brush.Color = clBtnShadow;
  c.FrameRect({0, top, w - 1, h - 1});
  if (caption_.empty()) return;
  const int tw = c.TextWidth(caption_);
  // The caption interrupts the top line, with a pixel of the face on either side.
  c.Brush.Color = Color();
  c.FillRect({7, 0, std::min(w - 1, 9 + tw), th});
  DrawStateText(c, 8, 0, {8, 0, std::min(w - 2, 8 + tw), th}, caption_, isEnabled(), Font().Color);
}

// ---------------------------------------------------------------- TProgressBar

TProgressBar::TProgressBar(QWidget* owner) : TControl(owner), bar_(new QProgressBar(this)) {
  bar_->setTextVisible(false);
  bar_->setFocusPolicy(Qt::NoFocus);
  QPalette pal = bar_->palette();
  pal.setColor(QPalette::Highlight, ToQColor(clHighlight));
  bar_->setPalette(pal);
  FillWith(this, bar_, 0);
  resize(150, 16);
  Sync();
}

void TProgressBar::SetRange(int64_t min, int64_t max) {
  min_ = min;
  max_ = std::max(min, max);
  Sync();
}

void TProgressBar::SetPosition(int64_t pos) {
  pos_ = pos;
  Sync();
}

void TProgressBar::Sync() {
  const int64_t p = std::clamp(pos_, min_, max_);
  // Qt counts in int: a larger span is scaled down, and only the bar's picture gets coarser.
  const long double span = (long double)max_ - (long double)min_;
  const int64_t qmax = span <= INT_MAX ? int64_t(span) : int64_t(INT_MAX);
  const int64_t qpos = span <= 0 ? 0 : int64_t(((long double)p - (long double)min_) * qmax / span);
  bar_->setRange(0, int(qmax));
  bar_->setValue(int(qpos));
}

}  // namespace komp
