// The control: construction, background painting, preview geometry and the scroll bar,
// registration. Until the page preview is drawn, Paint shows only the control's colour.
#include <algorithm>

#include "components/druckreport/druckreport.h"
#include "framework/gui/registry.h"
#include "framework/gui/stdctrls.h"

namespace komp {

namespace {
constexpr int kScrollBarWidth = 17;
constexpr int kButtonBar = 29;
}  // namespace

TDruckReport::TDruckReport(QWidget* owner) : TCustomControl(owner) {
  SetBounds(Left(), Top(), 200, 283);
  SetDefaultwerte();
  SetPFormat(0, 0);
  scrollBar_ = new TScrollBar(this, TScrollBarKind::Vertical);
  scrollBar_->SetBounds(Width() - kScrollBarWidth, 0, kScrollBarWidth, Height());
  scrollBar_->SetVisible(false);
  scrollBar_->OnChange = [this](TObject* Sender) { HorChange(Sender); };
}

TDruckReport::~TDruckReport() {
  Clear_Report(true);
  frameBilder_.clear();
}

void TDruckReport::SetKonstrukt(DefKonstrukt k) {
  if (k == konstrukt_) return;
  konstrukt_ = k;
  Neuzeichnen = true;
  Repaint();
}

void TDruckReport::SetGroesse() {
  const int W = Width(), H = Height();
  const int sbw = scrollBar_ ? scrollBar_->Width() : kScrollBarWidth;
  double z = double(W) / Seitenbreite;
  int avail = H - (Tastenleiste ? 21 : 0);
  bool scroll = int(Seitenhoehe * z) > avail;
  if (scroll) z = double(W - sbw) / Seitenbreite;
  int r = int(Seitenhoehe * z);
  int top = std::max((H - r) / 2, 0);
  int range = top + r - H;
  if (range < 0) {
    range = 0;
    scroll = false;
  }
  int w = int(Seitenbreite * z);
  int left = std::max((W - w) / 2 - (scroll ? sbw / 2 : 0), 0);
  int barHeight = H;
  if (Tastenleiste) {
    if (top != 0) top = std::max(top - kButtonBar, 0);
    range += kButtonBar;
    barHeight = H - kButtonBar;
  }
  Seitenrect = {left, top, left + w, top + r};
  if (scrollBar_) {
    scrollBar_->SetVisible(scroll);
    if (scroll) {
      scrollBar_->SetBounds(Seitenrect.right, 0, sbw, barHeight);
      if (ScrollOffset > range) ScrollOffset = range;
      scrollBar_->SetParams(ScrollOffset, 0, range);
    }
  }
  Neuzeichnen = true;
}

void TDruckReport::Paint() {
  Canvas().Brush.Color = Color();
  Canvas().Brush.Style = TBrushStyle::Solid;
  Canvas().FillRect(ClientRect());
}

void TDruckReport::EvGroesse(TMessage&) { SetGroesse(); }

void TDruckReport::Dispatch(TMessage& msg) {
  if (msg.Msg == WM_SIZE) EvGroesse(msg);
  TCustomControl::Dispatch(msg);
}

void TDruckReport::HorChange(TObject*) {
  if (scrollBar_->Position() == ScrollOffset) return;
  ScrollOffset = scrollBar_->Position();
  Invalidate();
}

namespace Druckreport {
void Register() { RegisterComponentClass<TDruckReport>("Beispiele", "TDruckReport"); }
}  // namespace Druckreport

}  // namespace komp
