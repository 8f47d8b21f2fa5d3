// TIconTab: construction, published setters, the display switch, messages and scroll bars,
// registration.
#include "components/icontab/icontab.h"

#include <algorithm>

#include "components/suchfeld/suchfeld.h"
#include "framework/gui/registry.h"
#include "framework/gui/stdctrls.h"

namespace komp {

TIconTab::TIconTab(QWidget* owner) : TCustomControl(owner), alive_(std::make_shared<bool>(true)) {
  // The bars first: sizing the control lays it out, and the layout places them.
  vbar_ = new TScrollBar(this, TScrollBarKind::Vertical);
  hbar_ = new TScrollBar(this, TScrollBarKind::Horizontal);
  for (TScrollBar* b : {vbar_, hbar_}) {
    b->SetVisible(false);
    b->SetFocusable(false);
  }
  // The bars report through WM_VSCROLL / WM_HSCROLL, the control decides the position.
  vbar_->OnScroll = [this](TObject*, int code, int& pos) {
    barTrack_ = pos;
    Perform(WM_VSCROLL, intptr_t(uint32_t(uint16_t(code)) | (uint32_t(uint16_t(pos)) << 16)),
            reinterpret_cast<intptr_t>(vbar_));
    pos = vPos_;
  };
  hbar_->OnScroll = [this](TObject*, int code, int& pos) {
    barTrack_ = pos;
    Perform(WM_HSCROLL, intptr_t(uint32_t(uint16_t(code)) | (uint32_t(uint16_t(pos)) << 16)),
            reinterpret_cast<intptr_t>(hbar_));
    pos = hPos_;
  };
  SetBounds(Left(), Top(), 100, 100);
  SetColor(clWhite);
  SetTabStop(true);
}

TIconTab::~TIconTab() { *alive_ = false; }

// ---------------------------------------------------------------- published setters

void TIconTab::SetDetail(bool on) {
  detail_ = on;
  if (!update_) {
    SetGroesse();
    Invalidate();
  }
}

void TIconTab::SetTitelColor(TColor c) {
  titelColor_ = c;
  if (titleHeight_ > 0) Invalidate();
}

void TIconTab::SetH_Abstand(int v) {
  if (v < 0) return;
  hAbstand_ = v;
  Invalidate();
}

void TIconTab::SetV_Abstand(int v) {
  if (v < 0) return;
  vAbstand_ = v;
  Invalidate();
}

void TIconTab::SetIcons(TImageList* list) {
  icons_ = list;
  Invalidate();
}

TSuchfeld* TIconTab::Suchelement() const { return such_.data(); }

void TIconTab::SetSuchelement(TSuchfeld* feld) {
  such_ = feld;
  Invalidate();
}

void TIconTab::SetCaption(const std::string& text) {
  caption_ = text;
  if (!text.empty()) titleHeight_ = TextHeight(10, true) + 5;
  else if (bereich_ == TBereichStyle::zaKein) titleHeight_ = 0;
  if (!update_) {
    SetGroesse();
    Invalidate();
  }
}

void TIconTab::SetStrNeu(const std::string& text) {
  neueZeileText_ = text;
  if (text.empty()) {
    neueZeile_ = false;
  } else if (!neueZeile_) {
    neueZeile_ = true;
    neueZeileHeight_ = TextHeight(Font().Size * 3 / 2, true) + 2;
  }
  SetGroesse();
  Invalidate();
}

void TIconTab::FNeueZeile(bool on) {
  neueZeile_ = on;
  if (on && neueZeileHeight_ == 0) neueZeileHeight_ = TextHeight(Font().Size * 3 / 2, true) + 2;
  SetGroesse();
  Invalidate();
}

// ---------------------------------------------------------------- display

TAnzeigeFormat TIconTab::GetA_Format() const { return selected_ ? selected_->Format : A_Restore; }

void TIconTab::SetA_Format(TAnzeigeFormat Format) {
  Tabdefinition* t = selected_ ? selected_ : tabs_.empty() ? nullptr : tabs_.front().get();
  if (!t) return;
  const bool graphic = t->Format == A_Bitmap || t->Format == A_Vektor;
  if (Format == A_Restore) {
    if (!graphic) return;
    Format = restoreFormat_;
  } else if (!graphic && (Format == A_Bitmap || Format == A_Vektor)) {
    restoreFormat_ = t->Format;
  }
  if (Format == A_Restore || Format == t->Format) return;
  const bool lock = update_;
  update_ = true;
  t->Format = Format;
  if (Format == A_Bitmap || Format == A_Vektor) t->CurrentRow = -1;
  update_ = lock;
  SetGroesse();
  // Keep the current row in sight.
  if (Format == A_Tabelle && t->CurrentRow >= t->FixedRows) DrawRow(t->CurrentRow, nullptr, nullptr, t);
  if (!lock) Invalidate();
}

// ---------------------------------------------------------------- messages

void TIconTab::WMSize(TMessage&) { SetGroesse(); }

void TIconTab::WMVScroll(TMessage& msg) { Ver_Change(msg.ScrollCode(), msg.ScrollPos()); }

void TIconTab::WMHScroll(TMessage& msg) { Hor_Change(msg.ScrollCode(), msg.ScrollPos()); }

void TIconTab::WMMouseWheel(TMessage& msg) {
  // Three rows a notch, as the desktop scrolls lists.
  const int delta = msg.WheelDelta();
  const int notches = delta / 120 != 0 ? delta / 120 : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
  for (int i = 0; i < std::abs(notches) * 3; ++i) Ver_Change(notches > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
}

namespace IconTab {
void Register() { RegisterComponentClass<TIconTab>("Beispiele", "TIconTab"); }
}  // namespace IconTab

}  // namespace komp
