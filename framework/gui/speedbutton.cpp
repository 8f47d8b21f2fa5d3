// TSpeedButton: a painted button with a glyph; toggles in groups.
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

}  // namespace komp
