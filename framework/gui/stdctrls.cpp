// Stock controls.
//
//   helpers        classic sunken frame painted around a wrapped Qt widget, embossed disabled text
//   TLabel         painted caption
//   TGroupBox      painted etched frame with the caption over its top line
//   TProgressBar   QProgressBar, 64-bit range scaled onto Qt's int range
//   TSpeedButton   painted button with glyph; toggles in groups
//   TEdit          QLineEdit; its key input goes through Dispatch (OnKeyDown/OnKeyPress/OnKeyUp)
//   TListBox       QListWidget
//   TScrollBar     QScrollBar; Qt's slider actions become SB_* codes for OnScroll
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

namespace komp {

namespace {

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

}  // namespace

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

// ---------------------------------------------------------------- TSpeedButton

TSpeedButton::TSpeedButton(QWidget* owner) : TCustomControl(owner) {
  SetFocusable(false);
  resize(23, 22);
}

void TSpeedButton::SetDown(bool d) {
  if (GroupIndex == 0) d = false;
  if (d == down_) return;
  // The last one down in a group stays down unless the group may be all up.
  if (down_ && !AllowAllUp) return;
  down_ = d;
  if (d && parentWidget()) {
    for (TSpeedButton* b : ChildrenOf<TSpeedButton>(parentWidget()))
      if (b != this && b->GroupIndex == GroupIndex && b->down_) {
        b->down_ = false;
        b->update();
      }
  }
  update();
}

void TSpeedButton::Click() {
  QPointer<TSpeedButton> self(this);
  if (GroupIndex != 0) {
    if (!down_) SetDown(true);
    else if (AllowAllUp) SetDown(false);
  }
  if (OnClick && self) {
    TNotifyEvent handler = OnClick;
    handler(this);
  }
}

void TSpeedButton::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      hot_ = true;
      update();
      return;
    case WM_MOUSEMOVE:
      if (pressed_) {
        // Dragging out of the button lets it come up; back in, it goes down again.
        const bool inside = ClientRect().Contains({msg.XPos(), msg.YPos()});
        if (inside != hot_) {
          hot_ = inside;
          update();
        }
      }
      return;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        const bool inside = ClientRect().Contains({msg.XPos(), msg.YPos()});
        hot_ = inside;
        update();
        if (inside) Click();
      }
      return;
    case CM_MOUSEENTER:
      hot_ = true;
      if (Flat) update();
      break;
    case CM_MOUSELEAVE:
      if (!pressed_) hot_ = false;
      if (Flat) update();
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(msg);
}

void TSpeedButton::Paint() {
  TCanvas& c = Canvas();
  const int w = Width(), h = Height();
  const bool enabled = isEnabled();
  const bool pushed = pressed_ && hot_;
  const bool sunken = pushed || down_;
  c.Brush.Color = Color();
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect(ClientRect());
  auto ring = [&](const TRect& r, TColor tl, TColor br) { c.Frame3D(r, tl, br); };
  const TRect outer = ClientRect(), inner = outer.Inflate(-1, -1);
  if (Flat) {
    if (sunken) ring(outer, clBtnShadow, clBtnHighlight);
    else if (hot_ && enabled) ring(outer, clBtnHighlight, clBtnShadow);
  } else if (sunken) {
    ring(outer, clBtnShadow, clBtnHighlight);
    ring(inner, cl3DDkShadow, cl3DLight);
  } else {
    ring(outer, clBtnHighlight, cl3DDkShadow);
    ring(inner, cl3DLight, clBtnShadow);
  }
  if (down_ && !pushed) {
    // A button held down by its group shows the dithered face.
    const TRect face = Flat ? outer.Inflate(-1, -1) : inner.Inflate(-1, -1);
    if (!face.IsEmpty()) {
      TBitmap dither(face.Width(), face.Height());
      QImage& img = dither.MutableImage();
      const QRgb hi = ToQColor(clBtnHighlight).rgb(), fc = ToQColor(Color()).rgb();
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, ((x + face.left + y + face.top) & 1) ? fc : hi);
      c.Draw(face.left, face.top, dither);
    }
  }

  // Glyph and caption side by side, centred; one pixel down and right while sunken.
  int gw = 0, gh = 0, index = 0;
  const int n = std::max(1, NumGlyphs);
  if (!Glyph.Empty()) {
    gw = Glyph.Width() / n;
    gh = Glyph.Height();
    if (!enabled) index = n > 1 ? 1 : 0;
    else if (pushed) index = n > 2 ? 2 : 0;
    else if (down_) index = n > 3 ? 3 : 0;
  }
  c.Font = Font();
  const int tw = Caption.empty() ? 0 : c.TextWidth(Caption);
  const int th = Caption.empty() ? 0 : c.TextHeight(Caption);
  const int spacing = gw > 0 && tw > 0 ? 4 : 0;
  const int total = gw + spacing + tw;
  const int off = sunken ? 1 : 0;
  int x = (w - total + 1) / 2 + off;
  if (gw > 0 && gh > 0) {
    TBitmap part(gw, gh);
    const QImage piece = Glyph.Image().copy(index * gw, 0, gw, gh);
    part.SetImage(piece);
    part.Transparent = true;
    part.TransparentColor = Glyph.TransparentColor;
    const int gy = (h - gh + 1) / 2 + off;
    if (!enabled && n == 1) {
      // No disabled image given: a grey shade of the up image.
      TImageList list(gw, gh);
      list.AddMasked(part, part.EffectiveTransparentColor());
      c.DrawImage(x, gy, list, 0, false);
    } else {
      c.Draw(x, gy, part);
    }
    x += gw + spacing;
  }
  if (tw > 0) {
    const int ty = (h - th) / 2 + off;
    DrawStateText(c, x, ty, ClientRect().Inflate(-2, -2), Caption, enabled, Font().Color);
  }
}

// ---------------------------------------------------------------- TEdit

// Key input of the wrapped line edit goes through the TEdit's Dispatch first. Events are
// handed to the line edit here and never propagate to the TEdit, which would see them twice.
class TEditFilter : public QObject {
 public:
  explicit TEditFilter(TEdit* edit) : QObject(edit), edit_(edit) {}
  bool inFilter = false;
  bool hideSelection = true;
  bool eventFilter(QObject* obj, QEvent* e) override;
  // Delivers an event straight to the line edit: no filters, no propagation to parents.
  void Deliver(QEvent* e) { static_cast<QObject*>(edit_->edit_)->event(e); }

 private:
  TEdit* edit_;
};

namespace {
// A Qt key press that types a code page 1252 character into a line edit.
QKeyEvent CharToKeyEvent(unsigned char ch) {
  switch (ch) {
    case 8: return QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    case 9: return QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QString(QChar(9)));
    case 13: return QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(QChar(13)));
    case 27: return QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    default: break;
  }
  if (ch >= 1 && ch <= 26)  // Ctrl+A ... Ctrl+Z: select all, copy, paste, cut, undo
    return QKeyEvent(QEvent::KeyPress, Qt::Key_A + (ch - 1), Qt::ControlModifier, QString(QChar(ch)));
  const QString text = ToQString(std::string(1, char(ch)));
  int key = Qt::Key_unknown;
  if (ch >= 'a' && ch <= 'z') key = Qt::Key_A + (ch - 'a');
  else if (ch >= 32 && ch < 127) key = QChar(ch).toUpper().unicode();
  return QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text);
}

// The edit's context menu in the program's language, through the popup menu and clipboard services.
void ShowEditContextMenu(QLineEdit* le, QPoint screen) {
  enum { kUndo = 1, kCut, kCopy, kPaste, kDelete, kSelectAll };
  const bool sel = le->hasSelectedText(), rw = !le->isReadOnly();
  const bool password = le->echoMode() != QLineEdit::Normal;
  const bool clip = Services().Clipboard && Services().Clipboard->HasText();
  const std::vector<TMenuItemSpec> items = {
      {"R\xFC" "ckg\xE4" "ngig", kUndo, rw && le->isUndoAvailable(), false, {}},
      {"-", 0, true, false, {}},
      {"Ausschneiden", kCut, rw && sel && !password, false, {}},
      {"Kopieren", kCopy, sel && !password, false, {}},
      {"Einf\xFC" "gen", kPaste, rw && clip, false, {}},
      {"L\xF6" "schen", kDelete, rw && sel, false, {}},
      {"-", 0, true, false, {}},
      {"Alles markieren", kSelectAll, !le->text().isEmpty(), false, {}},
  };
  QPointer<QLineEdit> guard(le);
  const int cmd = Services().PopupMenus ? Services().PopupMenus->Track(items, FromQPoint(screen), nullptr) : 0;
  if (!guard) return;
  switch (cmd) {
    case kUndo: le->undo(); break;
    case kCut:
      Services().Clipboard->SetText(FromQString(le->selectedText()));
      le->del();
      break;
    case kCopy: Services().Clipboard->SetText(FromQString(le->selectedText())); break;
    case kPaste: le->insert(ToQString(Services().Clipboard->GetText())); break;
    case kDelete: le->del(); break;
    case kSelectAll: le->selectAll(); break;
    default: break;
  }
}

intptr_t FocusHow(Qt::FocusReason r) {
  if (r == Qt::MouseFocusReason) return FOCUS_MOUSE;
  if (r == Qt::TabFocusReason || r == Qt::BacktabFocusReason || r == Qt::ShortcutFocusReason) return FOCUS_KEYBOARD;
  return FOCUS_OTHER;
}
}  // namespace

bool TEditFilter::eventFilter(QObject* obj, QEvent* e) {
  if (obj != edit_->edit_) return false;
  QPointer<TEdit> self(edit_);
  QLineEdit* le = edit_->edit_;
  switch (e->type()) {
    case QEvent::ShortcutOverride: {
      // Keys typed into the edit belong to it, not to a host's shortcuts.
      auto* ke = static_cast<QKeyEvent*>(e);
      if (!(ke->modifiers() & Qt::AltModifier)) e->accept();
      return false;
    }
    case QEvent::KeyPress: {
      auto* ke = static_cast<QKeyEvent*>(e);
      intptr_t ss = KeyShift(ke->key(), int(ke->modifiers()));
      e->accept();
      if (const int vk = QtKeyToVirtualKey(ke->key())) {
        if (HeldKeys().Press(vk, ke->isAutoRepeat(), ke->timestamp())) ss |= KF_REPEAT;
        inFilter = true;
        const intptr_t pass = self->Perform(WM_KEYDOWN, vk, ss);
        if (!self) return true;
        inFilter = false;
        if (!pass) return true;
      }
      const QByteArray utf8 = ke->text().toUtf8();
      const int ch = KeyPressToChar(ke->key(), std::string(utf8.constData(), size_t(utf8.size())),
                                    ke->modifiers() & Qt::ControlModifier, ke->modifiers() & Qt::AltModifier);
      if (ch >= 0) {
        inFilter = true;
        const intptr_t typed = self->Perform(WM_CHAR, ch, ss);
        if (!self) return true;
        inFilter = false;
        if (typed == 0) return true;
        if (typed != ch) {
          // OnKeyPress replaced the character: type the new one instead.
          QKeyEvent other = CharToKeyEvent((unsigned char)typed);
          Deliver(&other);
          e->accept();
          return true;
        }
      }
      Deliver(e);
      e->accept();
      return true;
    }
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(e);
      const int vk = QtKeyToVirtualKey(ke->key());
      e->accept();
      if (vk && !ke->isAutoRepeat()) {
        const intptr_t pass = self->Perform(WM_KEYUP, vk, QtModifiersToShift(int(ke->modifiers()), 0));
        if (!self || !pass) return true;
      }
      Deliver(e);
      e->accept();
      return true;
    }
    case QEvent::FocusIn: {
      auto* fe = static_cast<QFocusEvent*>(e);
      if (fe->reason() == Qt::PopupFocusReason) return false;
      // The line edit takes the focus first (selecting all when tabbed into), then the handlers hear of it.
      Deliver(e);
      self->Perform(WM_SETFOCUS, FocusHow(fe->reason()));
      return true;
    }
    case QEvent::FocusOut: {
      auto* fe = static_cast<QFocusEvent*>(e);
      if (fe->reason() == Qt::PopupFocusReason) return false;
      if (!hideSelection && le->hasSelectedText()) {
        // The line edit drops its selection when it loses the focus; put it back.
        const int start = le->selectionStart(), len = int(le->selectedText().size());
        const bool caretAtStart = le->cursorPosition() == start;
        Deliver(e);
        if (caretAtStart) le->setSelection(start + len, -len);
        else le->setSelection(start, len);
      } else {
        Deliver(e);
      }
      self->Perform(WM_KILLFOCUS, intptr_t(ControlOfFocusWidget(QApplication::focusWidget())));
      return true;
    }
    case QEvent::ContextMenu: {
      ShowEditContextMenu(le, static_cast<QContextMenuEvent*>(e)->globalPos());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (me->button() != Qt::LeftButton || !le->rect().contains(me->position().toPoint()) || !edit_->OnClick)
        return false;
      Deliver(e);
      if (self && self->OnClick) {
        TNotifyEvent handler = self->OnClick;
        handler(self.data());
      }
      return true;
    }
    default:
      return false;
  }
}

TEdit::TEdit(QWidget* owner) : TControl(owner), edit_(new QLineEdit(this)) {
  edit_->setFrame(false);
  edit_->setContextMenuPolicy(Qt::DefaultContextMenu);
  edit_->setAttribute(Qt::WA_InputMethodEnabled, false);
  edit_->setMaxLength(32767);
  ClassicPalette(edit_, false);
  edit_->setFont(TCanvas::ToQFont(Font(), 96));
  FillWith(this, edit_, 2);
  new SunkenBorder(this);
  edit_->installEventFilter(new TEditFilter(this));
  setFocusProxy(edit_);
  SetColor(clWindow);
  SetTabStop(true);
  resize(121, 21);
  QObject::connect(edit_, &QLineEdit::textChanged, this, [this] {
    if (OnChange) {
      TNotifyEvent handler = OnChange;
      handler(this);
    }
  });
}

// The wrapped widget goes first, while this is still a TEdit: its last events (focus out,
// hide) must not reach handlers of an object half destroyed.
TEdit::~TEdit() {
  for (TEditFilter* f : ChildrenOf<TEditFilter>(this)) delete f;
  delete edit_;
}

std::string TEdit::Text() const { return FromQString(edit_->text()); }

void TEdit::SetText(const std::string& text) {
  const QString q = ToQString(text);
  if (q == edit_->text()) return;
  edit_->setText(q);
  edit_->setCursorPosition(0);
}

int TEdit::SelStart() const { return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition(); }

int TEdit::SelLength() const { return edit_->hasSelectedText() ? int(edit_->selectedText().size()) : 0; }

void TEdit::SetSelStart(int start) {
  edit_->deselect();
  edit_->setCursorPosition(std::clamp(start, 0, int(edit_->text().size())));
}

void TEdit::SetSel(int start, int length) {
  const int n = int(edit_->text().size());
  start = std::clamp(start, 0, n);
  length = std::clamp(length, 0, n - start);
  if (length == 0) SetSelStart(start);
  else edit_->setSelection(start, length);
}

void TEdit::SelectAll() { edit_->selectAll(); }

void TEdit::SetMaxLength(int n) { edit_->setMaxLength(n > 0 ? n : 32767); }

void TEdit::SetHideSelection(bool hide) {
  ChildrenOf<TEditFilter>(this).front()->hideSelection = hide;
  ClassicPalette(edit_, !hide);
}

void TEdit::SetReadOnly(bool ro) { edit_->setReadOnly(ro); }

void TEdit::Dispatch(TMessage& msg) {
  TEditFilter* filter = ChildrenOf<TEditFilter>(this).front();
  QPointer<TEdit> self(this);
  // Keys that come from the line edit itself go on to it when Result is not 0;
  // keys sent from elsewhere are typed into it here.
  const bool fromEditor = filter->inFilter;
  switch (msg.Msg) {
    case WM_KEYDOWN: {
      int key = int(msg.WParam);
      if (OnKeyDown) {
        TKeyEvent handler = OnKeyDown;
        handler(this, key, KeyShiftOf(msg));
        if (!self) return;
      }
      msg.Result = key;
      if (key == 0) return;
      if (key == VK_TAB) {
        msg.Result = 0;
        msg.WParam = key;
        TControl::Dispatch(msg);
        return;
      }
      if (!fromEditor) {
        const int qtKey = key == VK_LEFT ? Qt::Key_Left : key == VK_RIGHT ? Qt::Key_Right
                          : key == VK_HOME ? Qt::Key_Home : key == VK_END ? Qt::Key_End
                          : key == VK_DELETE ? Qt::Key_Delete : key == VK_BACK ? Qt::Key_Backspace : 0;
        if (qtKey) {
          Qt::KeyboardModifiers mods;
          if (msg.LParam & ssShift) mods |= Qt::ShiftModifier;
          if (msg.LParam & ssCtrl) mods |= Qt::ControlModifier;
          QKeyEvent ke(QEvent::KeyPress, qtKey, mods, QString());
          filter->Deliver(&ke);
        }
      }
      return;
    }
    case WM_KEYUP: {
      int key = int(msg.WParam);
      if (OnKeyUp) {
        TKeyEvent handler = OnKeyUp;
        handler(this, key, KeyShiftOf(msg));
        if (!self) return;
      }
      msg.Result = key;
      return;
    }
    case WM_CHAR: {
      char ch = char(msg.WParam);
      if (OnKeyPress) {
        TKeyPressEvent handler = OnKeyPress;
        handler(this, ch);
        if (!self) return;
      }
      msg.Result = (unsigned char)ch;
      if (ch == 0 || fromEditor) return;
      if (edit_->isReadOnly() && (unsigned char)ch >= 32) return;
      QKeyEvent ke = CharToKeyEvent((unsigned char)ch);
      filter->Deliver(&ke);
      return;
    }
    case WM_SETFOCUS:
      if (OnEnter) {
        TNotifyEvent handler = OnEnter;
        handler(this);
      }
      return;
    case WM_KILLFOCUS:
      if (OnExit) {
        TNotifyEvent handler = OnExit;
        handler(this);
      }
      return;
    case WM_CUT: edit_->cut(); return;
    case WM_COPY: edit_->copy(); return;
    case WM_PASTE: edit_->paste(); return;
    case WM_CLEAR: edit_->del(); return;
    case CM_FONTCHANGED: edit_->setFont(TCanvas::ToQFont(Font(), 96)); break;
    default: break;
  }
  TControl::Dispatch(msg);
}

// ---------------------------------------------------------------- TListBox

TListBox::TListBox(QWidget* owner) : TControl(owner), list_(new QListWidget(this)) {
  list_->setFrameShape(QFrame::NoFrame);
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setFont(TCanvas::ToQFont(Font(), 96));
  ClassicPalette(list_, true);
  FillWith(this, list_, 2);
  new SunkenBorder(this);
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
