// TIn: properties, painting, then the message handlers (focus, keys, characters, mouse,
// edit commands), then Tab and Enter.
#include "components/in/in.h"

#include <QPointer>
#include <algorithm>
#include <cstdlib>

#include "components/common/editmenu.h"
#include "framework/gui/caret.h"
#include "framework/gui/registry.h"
#include "framework/gui/services.h"

namespace komp {

namespace {
constexpr TColor kGrey = FromRGBHex(0x808080);
constexpr TColor kSelection = FromRGBHex(0x0000FF);

// Only for measuring: a canvas without a device measures with the font metrics alone.
TCanvas& Measurer() {
  static TCanvas canvas;
  return canvas;
}
}  // namespace

TIn::TIn(QWidget* owner) : TCustomControl(owner) {
  SetTabStop(true);
  SetCursorShape(TCursor::IBeam);
}

// ---------------------------------------------------------------- properties

void TIn::FSetText(const std::string& text) {
  model_.SetText(text);
  if (caretShown_) SetCursor(0);
  Invalidate();
}

void TIn::FSetDefault(const std::string& value) {
  default_ = value;
  if (model_.Text().empty()) Invalidate();
}

void TIn::FSetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  captionXSet_ = true;
  Invalidate();
}

const std::string& TIn::FGetValue() const { return model_.Text().empty() ? default_ : model_.Text(); }

void TIn::FSetCaptionWidth(int width) {
  if (width < 0) return;
  captionWidth_ = width;
  captionXSet_ = true;
  Invalidate();
}

void TIn::FSetCaptionSize(int points) {
  if (points < 1 || points == captionSize_) return;
  captionSize_ = points;
  Invalidate();
}

void TIn::FSetMax(int n) {
  if (!model_.SetMaxLength(n)) return;
  if (caretShown_) SetCursor(model_.Cursor());
  Invalidate();
}

void TIn::SetPasswort(bool v) {
  if (v == model_.Passwort) return;
  model_.Passwort = v;
  if (caretShown_) SetCursor(model_.Cursor());
  Invalidate();
}

void TIn::SetValue(const std::string& value, bool asDefault) {
  if (asDefault) {
    default_ = value;
    model_.Reset({});
  } else {
    default_.clear();
    model_.Reset(value);
  }
  if (caretShown_) SetCursor(0);
  Invalidate();
}

void TIn::TextKopie() {
  if (model_.Passwort || model_.Text().empty() || !Services().Clipboard) return;
  Services().Clipboard->SetText(model_.HasSelection() ? model_.Selected() : model_.Text());
}

int TIn::TextPaste(bool repaint) {
  const std::string clip = Services().Clipboard ? Services().Clipboard->GetText() : std::string();
  if (model_.Paste(clip)) MessageBeep();
  SetCursor(model_.Cursor());
  if (repaint) Invalidate();
  return model_.Cursor();
}

int TIn::DelSelect() {
  const int at = model_.DelSelect();
  Invalidate();
  return at;
}

void TIn::SetCursor(int pos) {
  model_.SetCursor(pos);
  const auto measure = [this](std::string_view s) { return TextWidth(s); };
  const bool scrolled = model_.ScrollToCursor(Width() - 8 - CaptionX(), measure);
  if (caretShown_) SetCaretPos(CaptionX() + 4 + model_.VisibleWidth(model_.Cursor(), measure), 3);
  if (scrolled) Invalidate();
}

int TIn::TextWidth(std::string_view s) {
  TCanvas& m = Measurer();
  m.Font = Font();
  return m.TextWidth(s);
}

int TIn::TextTop() {
  TCanvas& m = Measurer();
  m.Font = Font();
  return (Height() - m.TextHeight("A")) / 2;
}

// ---------------------------------------------------------------- painting

void TIn::Paint() {
  TCanvas& c = Canvas();
  const int w = Width(), h = Height();
  const int cx = CaptionX();
  const TColor textColor = Enabled() ? clBlack : kGrey;

  c.Brush.Style = TBrushStyle::Solid;
  c.Pen.Style = TPenStyle::Solid;
  c.Pen.Width = 1;
  if (cx > 0) {
    // The caption stands on the control's own colour.
    c.Brush.Color = Color();
    c.FillRect(Rect(0, 0, cx, h));
  }
  c.Brush.Color = clWhite;
  c.FillRect(Rect(cx + 1, 1, w - 1, h - 1));

  c.Brush.Style = TBrushStyle::Clear;
  if (!caption_.empty()) {
    c.Font = Font();
    c.Font.Style |= fsBold;
    c.Font.Size = captionSize_;
    c.Font.Height = 0;
    c.Font.Color = textColor;
    c.TextOut(cx - 4 - c.TextWidth(caption_), (h - c.TextHeight("A")) / 2, caption_);
  }

  c.Font = Font();
  c.Font.Color = textColor;
  const int y = (h - c.TextHeight("A")) / 2;
  const TRect box = Rect(cx + 2, 2, w - 2, h - 2);
  const std::string_view shown(model_.Shown());
  int x = cx + 4;
  if (shown.empty() && !default_.empty()) {
    c.TextRect(box, x, y, "{");
    x += c.TextWidth("{");
    c.Font.Color = kGrey;
    c.TextRect(box, x, y, default_);
    x += c.TextWidth(default_);
    c.Font.Color = textColor;
    c.TextRect(box, x, y, "}");
  } else if (!shown.empty()) {
    const int n = int(shown.size()), from = model_.Scroll();
    int a = from, b = from;  // the visible part of the selection
    if (model_.HasSelection()) {
      a = std::clamp(model_.SelStart(), from, n);
      b = std::clamp(model_.SelStart() + model_.SelLength(), from, n);
    }
    auto part = [&](int i, int j) { return shown.substr(size_t(i), size_t(j - i)); };
    if (a > from) {
      c.TextRect(box, x, y, part(from, a));
      x += c.TextWidth(part(from, a));
    }
    if (b > a) {
      const int sw = c.TextWidth(part(a, b));
      c.Brush.Style = TBrushStyle::Solid;
      c.Brush.Color = kSelection;
      c.FillRect(Rect(x, 2, x + sw, h - 2).Intersect(box));
      c.Brush.Style = TBrushStyle::Clear;
      c.Font.Color = clWhite;
      c.TextRect(box, x, y, part(a, b));
      c.Font.Color = textColor;
      x += sw;
    }
    if (n > b) c.TextRect(box, x, y, part(b, n));
  }
  c.Brush.Style = TBrushStyle::Solid;

  // Sunken frame: ring 0 outside, ring 1 inside; top-right and bottom-left corners are light.
  for (int k = 0; k <= 1; ++k) {
    const int l = cx + k, t = k, r = w - k - 1, b = h - k - 1;
    c.Pen.Color = FromRGBHex(0x8D8D8D + k * 0x202020);
    c.MoveTo(l, b);
    c.LineTo(l, t);
    c.LineTo(r, t);
    c.Pen.Color = FromRGBHex(0xFDFDFD - k * 0x202020);
    c.LineTo(r, b);
    c.LineTo(l - 1, b);
  }
}

// ---------------------------------------------------------------- messages

void TIn::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_SETFOCUS: EvSetFocus(msg); break;
    case WM_KILLFOCUS: EvKillFocus(msg); break;
    case WM_KEYDOWN: EvKeyDown(msg); break;
    case CN_KEYDOWN: break;
    case WM_CHAR: EvChar(msg); break;
    case WM_MOUSEMOVE: EvMouseMove(msg); break;
    case WM_LBUTTONDOWN: EvLButtonDown(msg); break;
    case WM_LBUTTONUP: EvLButtonUp(msg); break;
    case WM_RBUTTONUP: EvRButtonUp(msg); break;
    case WM_LBUTTONDBLCLK: EvLButtonDblClk(msg); break;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR: EvEditCommand(msg); break;
    default: TCustomControl::Dispatch(msg); break;
  }
}

bool TIn::Changed() {
  model_.Modified = true;
  SetCursor(model_.Cursor());
  Invalidate();
  if (einzelChange_ && OnChange) {
    QPointer<TIn> self(this);
    TNotifyEvent handler = OnChange;
    handler(this);
    if (!self) return false;
  }
  return true;
}

void TIn::EvSetFocus(TMessage& msg) {
  CreateCaret(this, 1, std::max(1, Height() - 6));
  caretShown_ = true;
  if (msg.WParam == FOCUS_KEYBOARD) model_.SelectAll();
  else model_.ClearSelection();
  // By mouse, the click that follows places the cursor.
  SetCursor(model_.Length());
  ShowCaret(this);
  Invalidate();
}

void TIn::EvKillFocus(TMessage&) {
  const bool notify = model_.Modified && !einzelChange_;
  // Everything is settled before the handler runs: it may focus this field again or free it.
  model_.Modified = false;
  model_.ClearSelection();
  if (CaretState().owner == this) DestroyCaret();
  caretShown_ = false;
  mouseDown_ = dragging_ = false;
  dragAnchor_ = -1;
  Invalidate();
  if (notify && OnChange) {
    TNotifyEvent handler = OnChange;
    handler(this);
  }
}

void TIn::EvKeyDown(TMessage& msg) {
  switch (msg.WParam) {
    case VK_TAB:
    case VK_RETURN: NextWindow(msg); return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END: {
      const auto where = msg.WParam == VK_LEFT    ? TInModel::TMove::Left
                         : msg.WParam == VK_RIGHT ? TInModel::TMove::Right
                         : msg.WParam == VK_HOME  ? TInModel::TMove::Home
                                                  : TInModel::TMove::End;
      const bool selectionChanged = model_.Move(where, (KeyShiftOf(msg) & ssShift) != 0);
      SetCursor(model_.Cursor());
      if (selectionChanged) Invalidate();
      return;
    }
    case VK_DELETE:
      if (model_.Delete()) Changed();
      return;
    default: TCustomControl::Dispatch(msg); return;
  }
}

void TIn::EvChar(TMessage& msg) {
  const int ch = int(msg.WParam);
  switch (ch) {
    case 1:  // Ctrl+A
      model_.SelectAll();
      SetCursor(model_.Length());
      Invalidate();
      return;
    case 3: TextKopie(); return;
    case 8:
      if (model_.Backspace()) Changed();
      return;
    case 22: {
      // A keyboard paste notifies like every other change.
      TextPaste(true);
      model_.Modified = true;
      if (einzelChange_ && OnChange) {
        TNotifyEvent handler = OnChange;
        handler(this);
      }
      return;
    }
    case 24: {
      TextKopie();
      if (model_.Backspace()) Changed();
      return;
    }
    default: break;
  }
  if (ch <= 27 || ch > 255) return;
  const bool had = model_.HasSelection();
  if (model_.Type(char(ch)) == TInModel::TypeResult::Refused) {
    MessageBeep();
    if (!had) return;
  }
  Changed();
}

void TIn::EvMouseMove(TMessage& msg) {
  if (!mouseDown_ || !(msg.WParam & MK_LBUTTON) || dragAnchor_ < 0) return;
  if (!dragging_ && std::abs(msg.XPos() - dragStartX_) <= 1) return;
  dragging_ = true;
  const int at = model_.HitTest(msg.XPos() - CaptionX(), [this](std::string_view s) { return TextWidth(s); });
  model_.Select(dragAnchor_, at);
  SetCursor(at);
  Invalidate();
}

void TIn::EvLButtonDown(TMessage& msg) {
  if (!Focused()) {
    QPointer<TIn> self(this);
    SetFocus(FOCUS_MOUSE);
    if (!self) return;
  }
  mouseDown_ = true;
  dragging_ = false;
  dragStartX_ = msg.XPos();
  dragAnchor_ = -1;
  if (!InEditBox(msg.XPos(), msg.YPos())) return;
  const int at = model_.HitTest(msg.XPos() - CaptionX(), [this](std::string_view s) { return TextWidth(s); });
  dragAnchor_ = at;
  model_.ClearSelection();
  SetCursor(at);
  Invalidate();
}

void TIn::EvLButtonUp(TMessage&) {
  mouseDown_ = false;
  dragging_ = false;
}

void TIn::EvRButtonUp(TMessage&) {
  ShowEditMenu(this, model_.HasSelection() ? (emCut | emCopy | emPaste | emClear) : emPaste);
}

void TIn::EvLButtonDblClk(TMessage& msg) {
  if (!InEditBox(msg.XPos(), msg.YPos())) return;
  model_.SelectAll();
  SetCursor(model_.Length());
  Invalidate();
}

void TIn::EvEditCommand(TMessage& msg) {
  if (msg.Msg != WM_PASTE && !model_.HasSelection()) return;
  switch (msg.Msg) {
    case WM_COPY: TextKopie(); return;
    case WM_CUT:
      TextKopie();
      model_.DelSelect();
      break;
    case WM_CLEAR: model_.DelSelect(); break;
    default: TextPaste(false); break;
  }
  Changed();
}

// ---------------------------------------------------------------- Tab and Enter

void TIn::NextWindow(TMessage& msg) {
  // OnNextWindow only knows "next": Shift+Tab never goes there.
  const bool backwards = msg.WParam == VK_TAB && (KeyShiftOf(msg) & ssShift);
  if (!backwards && OnNextWindow) {
    TNotifyEvent handler = OnNextWindow;
    handler(this);
    return;
  }
  // Left to the parents: a table that hosts the field as its editor decides where it goes.
  msg.Handled = false;
}

void TIn::DefaultHandler(TMessage& msg) {
  if (msg.Msg != WM_KEYDOWN || (msg.WParam != VK_TAB && msg.WParam != VK_RETURN)) {
    TCustomControl::DefaultHandler(msg);
    return;
  }
  // The whole window's order, so that Tab leaves a group box at its end.
  SelectNextControl(!(msg.WParam == VK_TAB && (KeyShiftOf(msg) & ssShift)));
}

namespace In {
void Register() { RegisterComponentClass<TIn>("Beispiele", "TIn"); }
}  // namespace In

}  // namespace komp
