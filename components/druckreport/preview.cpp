// The preview of TDruckReport:
//   SetGroesse, EvGroesse       page rectangle, scroll need, scroll bar, the 29-pixel button bar
//   GetFrameBild, RenderPreview  page bitmaps: a small cache, the rest rendered on demand
//   Zaehle, ZaehlWeiter         page counting in slices, keeping states at page starts
//   DrawPages, RenderPage       pages laid out from their kept state into their bitmaps
//   Paint, DrawButton           the band of the shown page, the four page buttons with bevels
//   MouseClick, MouseWheel, MouseMoveMessage, HorChange, Dispatch   input
//
// Call flow: Paint -> (repaint flag) RenderPreview -> Zaehle (counting run keeping the states at
// page starts; a long one is suspended and goes on in ZaehlWeiter on the clock) -> DrawPages of
// the first pages. Paint of a page not in the cache -> RenderPage -> DrawPages from the kept
// state of that page, stopping after the page that follows it.
#include <QPointer>
#include <algorithm>
#include <cstdint>

#include "components/druckreport/druckreport.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace komp {

namespace {
constexpr int kButtonBar = 29;
constexpr int kButtonWidth = 40;
constexpr int kButtonStep = 44;
constexpr int kWheelStep = 10;
const char* const kLabels[4] = {"<<", "<", ">", ">>"};

constexpr TColor Grey(int c) { return TColor(c | (c << 8) | (c << 16)); }

// The pressed page button: one for all instances, as there is one mouse.
struct Pressed {
  const TDruckReport* report = nullptr;
  int taste = -1;
} g_pressed;
}  // namespace

// ---------------------------------------------------------------- geometry

void TDruckReport::SetGroesse() {
  const int W = Width(), H = Height();
  const int sbw = scrollBar_ ? scrollBar_->Width() : 17;
  const int32_t pw = std::max<int32_t>(1, Seitenbreite), ph = std::max<int32_t>(1, Seitenhoehe);
  double z = double(W) / pw;
  const int avail = H - (Tastenleiste ? 21 : 0);
  bool scroll = int64_t(ph * z) > avail;
  if (scroll) z = double(W - sbw) / pw;
  const int r = int(ph * z);
  int top = std::max((H - r) / 2, 0);
  int range = top + r - H;
  if (range < 0) {
    range = 0;
    scroll = false;
  }
  const int w = int(pw * z);
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
    } else {
      // Nothing could scroll the page back into view.
      ScrollOffset = 0;
    }
  }
  Neuzeichnen = true;
}

void TDruckReport::EvGroesse(TMessage&) { SetGroesse(); }

TRect TDruckReport::TastenRect(int i) const {
  const int left = Width() / 2 - 88 + kButtonStep * i;
  return {left, Height() - 27, left + kButtonWidth, Height() - 2};
}

int TDruckReport::TasteBei(int x, int y) const {
  if (!Tastenleiste) return -1;
  for (int i = 0; i < 4; ++i) {
    const TRect r = TastenRect(i);
    if (x > r.left && x < r.right && y > r.top && y < r.bottom) return i;
  }
  return -1;
}

int TDruckReport::GedrueckteTaste() const { return g_pressed.report == this ? g_pressed.taste : -1; }

void TDruckReport::LoesTaste() {
  if (g_pressed.report != this) return;
  g_pressed = {};
  if (GetCapture() == this) ReleaseCapture();
}

// ---------------------------------------------------------------- page bitmaps

int TDruckReport::FrameBildCount() const {
  return int(std::count_if(frameBilder_.begin(), frameBilder_.end(),
                           [](const Seitenbild& s) { return s.bild != nullptr; }));
}

TBitmap* TDruckReport::GetFrameBild(int i) {
  if (i < 0 || size_t(i) > frameBilder_.size()) return nullptr;
  if (size_t(i) == frameBilder_.size()) frameBilder_.emplace_back();
  Seitenbild& slot = frameBilder_[size_t(i)];
  if (!slot.bild) {
    // Page 0 stays: it is the first output of every run and the page shown at the start.
    while (FrameBildCount() >= kSeitenbilder) {
      Seitenbild* alt = nullptr;
      for (size_t k = 1; k < frameBilder_.size(); ++k) {
        Seitenbild& s = frameBilder_[k];
        if (s.bild && k != size_t(i) && (!alt || s.benutzt < alt->benutzt)) alt = &s;
      }
      if (!alt) break;
      alt->bild.reset();
      alt->gezeichnet = false;
    }
    slot.bild = std::make_unique<TBitmap>();
    slot.gezeichnet = false;
  }
  slot.benutzt = ++bildUhr_;
  return slot.bild.get();
}

void TDruckReport::PreviewSize(int& w, int& h) const {
  const int visibleBar = scrollBar_ && scrollBar_->Visible() ? scrollBar_->Width() : 0;
  w = std::max(1, std::max(Width() - visibleBar, int(Seitenrect.right)));
  h = std::max(1, std::max(Height(), int(Seitenrect.bottom)));
}

void TDruckReport::PreviewBackground(TBitmap& b) {
  TCanvas& c = b.Canvas();
  c.Pen.Style = TPenStyle::Solid;
  c.Pen.Color = Color();
  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = Color();
  c.FillRect({0, 0, b.Width(), b.Height()});
  const TRect& r = Seitenrect;
  c.Pen.Color = clBlack;
  c.Pen.Width = 1;
  c.Brush.Color = clWhite;
  c.Rectangle(r);
  const double sx = double(r.right - r.left) / std::max(1, Seitenbreite);
  const double sy = double(r.bottom - r.top) / std::max(1, Seitenhoehe);
  c.Pen.Color = 0xFF0000;
  c.Pen.Style = TPenStyle::Dash;
  c.Brush.Style = TBrushStyle::Clear;
  c.Rectangle(r.left + int(RandLinks * sx) - 1, r.top + int(RandOben * sy) - 1,
              r.right - int(RandRechts * sx), r.bottom - int(RandUnten * sy));
  c.Pen.Style = TPenStyle::Solid;
}

int TDruckReport::Zaehle(bool vonAnfang) {
  QPointer<TDruckReport> self(this);
  // Page geometry is in 0.1 mm and texts are measured at 96 dpi: a count holds for any zoom.
  TCanvasOutput measure(leer_, Seitenbreite, Seitenhoehe, 1, 1, {0, 0}, 96, nullptr);
  TCountingOutput counting(measure);
  TReportLayout run(model_, counting, this);
  run.KeepCheckpoints(punkte_.get());
  IClock* clock = Services().Clock;
  const uint64_t frist = clock ? clock->TickMs() + uint64_t(std::max(0, Zaehlscheibe)) : 0;
  if (clock) run.SetDeadline([clock, frist] { return clock->TickMs() >= frist; });
  const bool begonnen = vonAnfang ? run.Run(1) : run.RunFrom(*punkte_, punkte_->Last(), 1);
  if (!self || run.ModelGone()) return -1;
  if (run.Suspended()) {
    Seitenanzahl = run.Pages();
    zaehltNoch_ = true;
    if (clock && zaehlTimer_ == 0)
      zaehlTimer_ = clock->StartTimer(1, [self] {
        if (self) self->ZaehlWeiter();
      });
    return 0;
  }
  zaehltNoch_ = false;
  if (!begonnen || run.Aborted()) {
    Abbruch = Abbruch || run.Aborted();
    return -1;
  }
  Seitenanzahl = run.Pages();
  return 1;
}

void TDruckReport::StopZaehlen() {
  if (zaehlTimer_ != 0 && Services().Clock) Services().Clock->StopTimer(zaehlTimer_);
  zaehlTimer_ = 0;
  zaehltNoch_ = false;
}

void TDruckReport::ZaehlWeiter() {
  QPointer<TDruckReport> self(this);
  const int r = Zaehle(false);
  if (!self) return;
  if (r != 0) {
    if (zaehlTimer_ != 0 && Services().Clock) Services().Clock->StopTimer(zaehlTimer_);
    zaehlTimer_ = 0;
  }
  // The pages shown so far carry the total as still open: they are drawn again.
  if (r == 1 || LeisteFolgen())
    for (Seitenbild& b : frameBilder_) b.gezeichnet = false;
  if (frameBilder_.size() < size_t(Seitenanzahl)) frameBilder_.resize(size_t(Seitenanzahl));
  AktSeite = std::clamp(AktSeite, 0, std::max(0, Seitenanzahl - 1));
  if (r == 1 && OnRecordChange) OnRecordChange(this, 0, -1);
  if (self) Invalidate();
}

bool TDruckReport::LeisteFolgen() {
  const bool bar = Seitenanzahl >= 2;
  if (bar == Tastenleiste) return false;
  // The bar takes room from the page: the geometry changes, the count does not.
  const bool neu = Neuzeichnen;
  Tastenleiste = bar;
  SetGroesse();
  Neuzeichnen = neu;
  return true;
}

bool TDruckReport::DrawPages(int lo, int hi) {
  QPointer<TDruckReport> self(this);
  int w, h;
  PreviewSize(w, h);
  // Pages before the window are laid out and drawn nowhere; the run stops after it.
  auto prepare = [&](int i) -> TCanvas* {
    if (i > hi) return nullptr;
    if (i < lo) return &leer_;
    TBitmap* b = GetFrameBild(i);
    if (!b) return nullptr;
    b->SetSize(w, h);
    PreviewBackground(*b);
    frameBilder_[size_t(i)].gezeichnet = true;
    return &b->Canvas();
  };
  // A page with a kept state needs no run over the pages before it.
  const int32_t von = punkte_ && lo > 0 ? punkte_->Nearest(lo + 1) : 0;
  int page = von > 0 ? von - 1 : 0;
  TCanvas* first = prepare(page);
  if (!first) return false;
  if (Abbruch) return true;  // a broken structure shows the empty page
  TCanvasOutput out(*first, Seitenbreite, Seitenhoehe, Seitenrect.right - Seitenrect.left,
                    Seitenrect.bottom - Seitenrect.top, {Seitenrect.left, Seitenrect.top}, 96,
                    [&]() { return prepare(++page); });
  out.SetScreen(konstrukt_);
  TReportLayout run(model_, out, this);
  const int32_t total = zaehltNoch_ ? TReportLayout::kUnknownCount : std::max(1, Seitenanzahl);
  if (von > 0)
    run.RunFrom(*punkte_, von, total);
  else
    run.Run(total);
  if (!self || run.ModelGone()) return false;
  if (Seitenlimit == 1) Seitenanzahl = 1;
  return true;
}

bool TDruckReport::RenderPreview() {
  QPointer<TDruckReport> self(this);
  ++renderlaeufe_;
  StopZaehlen();
  if (!punkte_) punkte_ = std::make_unique<TLayoutCheckpoints>();
  punkte_->Clear();
  for (Seitenbild& s : frameBilder_) s.gezeichnet = false;
  // Counted first, on the preview's own measures; a long count shows its first pages at once
  // and goes on in slices on the clock (ZaehlWeiter).
  bool ok = true;
  if (Seitenlimit != 1 && !Abbruch) {
    ok = Zaehle(true) >= 0;
    if (!self) return false;
  } else {
    Seitenanzahl = 1;
  }
  LeisteFolgen();
  Neuzeichnen = false;
  AktSeite = std::clamp(AktSeite, 0, std::max(0, Seitenanzahl - 1));
  const int hi = std::min(kSeitenbilder, std::max(1, Seitenanzahl)) - 1;
  if (!DrawPages(0, ok ? hi : 0) || !self) return false;
  // One slot per page counted so far; those of pages a longer earlier report had go.
  frameBilder_.resize(size_t(std::max(1, Seitenanzahl)));
  Neuzaehlen = false;
  if (ok && OnRecordChange) OnRecordChange(this, 0, -1);
  return ok && bool(self) && !Abbruch;
}

bool TDruckReport::RenderPage(int p) {
  if (p < 0 || p >= std::max(1, Seitenanzahl)) return false;
  QPointer<TDruckReport> self(this);
  ++renderlaeufe_;
  // The neighbours come along, so that "<" and ">" from here need no further run; page 0
  // and these three fill the cache.
  const int lo = std::max(p == 0 ? 0 : 1, p - 1), hi = std::min(p + 1, std::max(1, Seitenanzahl) - 1);
  if (!DrawPages(lo, hi) || !self) return false;
  if (auto handler = OnRecordChange) handler(this, 0, -1);
  return bool(self);
}

// ---------------------------------------------------------------- painting

void TDruckReport::Paint() {
  TCanvas& c = Canvas();
  c.Brush.Color = Color();
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect(ClientRect());
  QPointer<TDruckReport> self(this);
  if (Neuzeichnen) {
    RenderPreview();
    if (!self) return;
  }
  if (!GetFrameBild(0)) return;
  const int page = AktSeite > 0 && AktSeite < Seitenanzahl ? AktSeite : 0;
  TBitmap* b = GetFrameBild(page);
  if (b && !frameBilder_[size_t(page)].gezeichnet) {
    if (!RenderPage(page) || !self) return;
    b = GetFrameBild(page);
  }
  if (!b || b->Empty()) return;
  const int visible = Height() - (Tastenleiste ? kButtonBar : 0);
  c.CopyRect({0, 0, b->Width(), visible}, b->Canvas(),
             {0, ScrollOffset, b->Width(), ScrollOffset + visible});
  // The scroll bar is a child widget and paints itself over the control.
  if (Tastenleiste) DrawButton(c, -1);
}

void TDruckReport::DrawButton(TCanvas& c, int i) {
  if (i == -1) {
    for (int k = 0; k < 4; ++k) DrawButton(c, k);
    return;
  }
  if (i < 0 || i > 3) return;
  const TRect box = TastenRect(i);
  const TFont font = c.Font;
  const TBrush brush = c.Brush;
  c.Font.Size = 10;
  c.Font.Height = 0;
  c.Font.Color = clBlack;
  c.Brush.Style = TBrushStyle::Clear;
  const TSize ext = c.TextExtent(kLabels[i]);
  c.TextOut(box.left + 20 - ext.cx / 2, box.top + 12 - ext.cy / 2, kLabels[i]);
  c.Font = font;
  c.Brush = brush;

  const bool pressed = GedrueckteTaste() == i;
  const int bottom = Height() - 4;
  // The inner ring first; each ring outwards is lighter on its light side, darker on its dark.
  struct Ring {
    int inset, light, dark;
  };
  for (const Ring ring : {Ring{2, 159, 86}, Ring{1, 183, 58}}) {
    const int l = box.left + ring.inset, r = box.left + kButtonWidth - ring.inset;
    const int t = box.top + ring.inset, b = bottom + 2 - ring.inset;
    const TColor light = Grey(ring.light), dark = Grey(ring.dark);
    c.Pen.Style = TPenStyle::Solid;
    c.Pen.Width = 1;
    c.Pen.Color = pressed ? dark : light;
    c.MoveTo(l, b);
    c.LineTo(l, t);
    c.LineTo(r, t);
    c.Pen.Color = pressed ? light : dark;
    c.MoveTo(r, t);
    c.LineTo(r, b);
    c.LineTo(l, b);
  }
}

// ---------------------------------------------------------------- input

void TDruckReport::MouseClick(TMessage& msg) {
  const int x = msg.XPos(), y = msg.YPos();
  // The second press of a quick double click is a press too: pages are flipped at that pace.
  if (msg.Msg != WM_LBUTTONUP) {
    const int taste = TasteBei(x, y);
    if (taste >= 0) {
      g_pressed = {this, taste};
      Invalidate();
      SetCapture(this);
    } else if (scrollBar_ && scrollBar_->Visible() && !scrollBar_->Focused()) {
      scrollBar_->SetFocus(FOCUS_MOUSE);
    }
    return;
  }
  ReleaseCapture();
  const int taste = GedrueckteTaste();
  if (taste < 0) return;
  g_pressed = {};
  const int last = std::max(0, Seitenanzahl - 1);
  int seite = AktSeite;
  if (TasteBei(x, y) == taste) {
    switch (taste) {
      case 0: seite = 0; break;
      case 1: seite = std::max(0, AktSeite - 1); break;
      case 2: seite = std::min(last, AktSeite + 1); break;
      default: seite = last; break;
    }
  }
  // Either way only a copy from the page bitmaps: a changed page, or the button released.
  AktSeite = seite;
  Invalidate();
}

void TDruckReport::MouseWheel(TMessage& msg) {
  if (!scrollBar_ || !scrollBar_->Visible()) return;
  const int delta = msg.WheelDelta();
  if (delta < 0)
    ScrollOffset = std::min(ScrollOffset + kWheelStep, scrollBar_->Max());
  else if (delta > 0)
    ScrollOffset = std::max(ScrollOffset - kWheelStep, 0);
  if (ScrollOffset != scrollBar_->Position()) {
    scrollBar_->SetPosition(ScrollOffset);
    Invalidate();
  }
}

void TDruckReport::MouseMoveMessage(TMessage&) {
  if (konstrukt_ == 0 && scrollBar_ && scrollBar_->Visible() && !scrollBar_->Focused())
    scrollBar_->SetFocus(FOCUS_MOUSE);
}

void TDruckReport::HorChange(TObject*) {
  if (scrollBar_->Position() == ScrollOffset) return;
  ScrollOffset = scrollBar_->Position();
  Invalidate();
}

void TDruckReport::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_MOUSEMOVE: MouseMoveMessage(msg); return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: MouseClick(msg); return;
    case WM_MOUSEWHEEL: MouseWheel(msg); return;
    case WM_SIZE: EvGroesse(msg); break;
    default: break;
  }
  TCustomControl::Dispatch(msg);
}

}  // namespace komp
