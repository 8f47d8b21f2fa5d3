#include "components/taste/taste.h"

#include <QPointer>

#include "framework/gui/registry.h"

namespace komp {

namespace {
TColor Shade(TColor c, int (*f)(int)) {
  const TColor rgb = ColorToRGB(c);
  return RGB(uint8_t(f(GetRValue(rgb))), uint8_t(f(GetGValue(rgb))), uint8_t(f(GetBValue(rgb))));
}
}  // namespace

TColor TTaste::Lighter(TColor c) {
  return Shade(c, [](int v) { return v + (255 - v) / 4; });
}

TColor TTaste::Darker(TColor c) {
  return Shade(c, [](int v) { return v - v / 3; });
}

TTaste::TTaste(QWidget* owner) : TCustomControl(owner) {
  SetColor(clBtnFace);
  SetTabStop(true);
}

void TTaste::SetCaption(const std::string& text) {
  caption_ = text;
  Invalidate();
}

void TTaste::SetEnabled(bool v) {
  TCustomControl::SetEnabled(v);
  Invalidate();
}

void TTaste::Paint() {
  TCanvas& c = Canvas();
  const int w = Width(), h = Height();
  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = Color();
  c.Pen.Style = TPenStyle::Solid;
  c.Pen.Width = 1;
  c.Pen.Color = FromRGBHex(0x808080);
  c.Rectangle(0, 0, w, h);
  if (w < 4 || h < 4) return;

  if (!caption_.empty()) {
    c.Font = Font();
    if (!Enabled()) c.Font.Color = clGrayText;
    const TSize ext = c.TextExtent(caption_);
    const int x = ext.cx < w - 6 ? (w - ext.cx) / 2 : 3;
    c.Brush.Style = TBrushStyle::Clear;
    c.TextRect(Rect(3, 3, w - 3, h - 3), x, (h - ext.cy) / 2, caption_);
    c.Brush.Style = TBrushStyle::Solid;
  }

  // Inner ring first; each ring outwards takes the shades one step further apart.
  TColor light = Lighter(Color()), dark = Darker(Color());
  for (int k = 2; k >= 1; --k) {
    c.Pen.Color = pressed_ ? dark : light;
    c.MoveTo(k, h - k);
    c.LineTo(k, k);
    c.LineTo(w - k, k);
    c.Pen.Color = pressed_ ? light : dark;
    c.LineTo(w - k, h - k);
    c.LineTo(k, h - k);
    light = Lighter(light);
    dark = Darker(dark);
  }

  if (Enabled() && Focused() && !pressed_) {
    c.Brush.Color = Color();
    c.DrawFocusRect(Rect(3, 3, w - 3, h - 3));
  }
}

void TTaste::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_SETFOCUS: EvSetFocus(msg); break;
    case WM_KILLFOCUS: EvKillFocus(msg); break;
    case WM_KEYUP: EvKeyUp(msg); break;
    case WM_CHAR: EvChar(msg); break;
    case WM_LBUTTONDOWN: EvLButtonDown(msg); break;
    case WM_LBUTTONUP: EvLButtonUp(msg); break;
    default: TCustomControl::Dispatch(msg); break;
  }
}

void TTaste::EvSetFocus(TMessage&) { Invalidate(); }

void TTaste::EvKillFocus(TMessage&) {
  // A press that the focus change ends does not click.
  pressed_ = false;
  if (GetCapture() == this) ReleaseCapture();
  Invalidate();
}

void TTaste::EvKeyUp(TMessage& msg) {
  if ((msg.WParam == VK_SPACE || msg.WParam == VK_RETURN) && pressed_) {
    pressed_ = false;
    Invalidate();
    Click();
    return;
  }
  TCustomControl::Dispatch(msg);
}

void TTaste::EvChar(TMessage& msg) {
  // A held key sends its character again and again; only the press itself counts, and a key
  // held since before the focus came here (Enter that left a field) presses nothing.
  if ((msg.WParam == ' ' || msg.WParam == '\r') && !pressed_ && !KeyRepeated(msg)) {
    pressed_ = true;
    Invalidate();
  }
}

void TTaste::EvLButtonDown(TMessage&) {
  if (!Focused()) {
    QPointer<TTaste> self(this);
    SetFocus(FOCUS_MOUSE);
    if (!self) return;
  }
  pressed_ = true;
  SetCapture(this);
  Invalidate();
}

void TTaste::EvLButtonUp(TMessage&) {
  if (!pressed_) return;
  pressed_ = false;
  ReleaseCapture();
  Invalidate();
  Click();
}

void TTaste::Click() {
  if (OnClick) {
    // The handler may free the button: nothing of it is touched afterwards.
    TNotifyEvent handler = OnClick;
    handler(this);
  }
}

namespace Taste {
void Register() { RegisterComponentClass<TTaste>("Beispiele", "TTaste"); }
}  // namespace Taste

}  // namespace komp
