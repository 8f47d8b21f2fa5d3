// TTabelle: mouse, keys, type-ahead and Suche, and the hooks of an attached TSuchfeld.
//
//   Dispatch        presses and releases (title row: sort, search column, pressed look;
//                   data rows: selection and OnSelectCell), double click, keys, characters,
//                   focus (hooks the search field), size (the last column fills the width)
//   Suche           the search field's callback; mode 0 walks the search column from the row
//                   after the current one (or the first data row) round to where it started
#include <algorithm>

#include "components/suchfeld/suchfeld.h"
#include "components/tabelle/tabelle.h"
#include "framework/gui/menus.h"
#include "framework/gui/services.h"

namespace komp {

namespace {

// Upper case in code page 1252, for the type-ahead comparison (ä matches Ä).
struct Gross1252 {
  unsigned char t[256];
  Gross1252() {
    for (int i = 0; i < 256; ++i) t[i] = (unsigned char)i;
    for (int i = 'a'; i <= 'z'; ++i) t[i] = (unsigned char)(i - 32);
    for (int i = 0xE0; i <= 0xFE; ++i)
      if (i != 0xF7) t[i] = (unsigned char)(i - 32);  // à .. þ, not the division sign
    t[0x9A] = 0x8A;  // š
    t[0x9C] = 0x8C;  // œ
    t[0x9E] = 0x8E;  // ž
    t[0xFF] = 0x9F;  // ÿ
  }
};
const Gross1252 kGross;

bool BeginntMit(const std::string& zelle, const std::string& grossText) {
  if (zelle.size() < grossText.size()) return false;
  for (size_t i = 0; i < grossText.size(); ++i)
    if (kGross.t[(unsigned char)zelle[i]] != (unsigned char)grossText[i]) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- messages

void TTabelle::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      EvMausDrueck(msg, false);
      return;
    case WM_RBUTTONDOWN:
      EvMausDrueck(msg, true);
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      EvMausLos(msg);
      return;
    case WM_KEYDOWN:
      EvTaste(msg);
      return;
    case WM_CHAR:
      EvZeichen(char(msg.WParam));
      return;
    case WM_SETFOCUS:
      EvFokus();
      Invalidate();  // the selection changes from the inactive colour to the highlight
      break;
    case WM_KILLFOCUS:
      Invalidate();
      break;
    case WM_SIZE: {
      QPointer<TTabelle> self(this);
      TCustomGrid::Dispatch(msg);
      if (self) LetzteStrecken();
      return;
    }
    default:
      break;
  }
  TCustomGrid::Dispatch(msg);
}

void TTabelle::Melden() {
  gemeldet_ = TCustomGrid::Row();
  if (!OnSelectCell) return;
  TTabSelectEvent handler = OnSelectCell;
  handler(this, gemeldet_);
}

void TTabelle::EvMausDrueck(TMessage& msg, bool rechts) {
  QPointer<TTabelle> self(this);
  const int x = msg.XPos(), y = msg.YPos();
  if (!rechts && (Options() & goColSizing) && ColBorderAt(x, y) >= 0) {
    benutzerBreite_ = true;
    TCustomGrid::Dispatch(msg);
    return;
  }
  int col = -1, row = -1;
  MouseToCell(x, y, col, row);
  if (row >= 0 && row < FixedRows()) {
    druckInDaten_ = false;
    if (!rechts) TCustomGrid::Dispatch(msg);  // the focus
    if (!self || col < 0) return;
    gedrueckt_ = col;
    InvalidateCell(col, row);
    SetCapture(this);  // the release ends the pressed look wherever it happens
    if (!rechts && Sortierung) {
      const int s = grafikAn_ ? GrafikSortColumn(col) : col;
      if (s == sortSpalte_) {
        abwaerts_ = !abwaerts_;
      } else {
        sortSpalte_ = s;
        abwaerts_ = false;
      }
      InvalidateRow(0);
      if (OnSortCell) {
        TSortCellEvent handler = OnSortCell;
        handler(this, uint8_t(sortSpalte_ + 1), abwaerts_);
      }
    } else if (rechts && !grafikAn_ && col < std::min(spalten_, sichtbar_)) {
      suchSpalte_ = col;
      tippText_.clear();
      if (such_) such_->Set_Spalte(col);
      InvalidateRow(0);
    }
    return;
  }
  if (rechts) return;  // the popup menu comes with the release
  druckInDaten_ = row >= FixedRows();
  if (!druckInDaten_) {
    TCustomGrid::Dispatch(msg);
    return;
  }
  const bool warHell = auswahlZeigen_ && !keinHighlight_;
  TCustomGrid::Dispatch(msg);
  if (!self) return;
  auswahlZeigen_ = true;
  keinHighlight_ = false;
  // The grid repaints a row it moves to; the same row again only changes its look here.
  if (!warHell || TCustomGrid::Row() == gemeldet_) InvalidateRow(TCustomGrid::Row());
  Melden();
  if (!self) return;
  if (msg.Msg == WM_LBUTTONDBLCLK && OnDoppelKlick && TCustomGrid::Row() >= FixedRows()) {
    TNotifyEvent handler = OnDoppelKlick;
    handler(this);
  }
}

void TTabelle::EvMausLos(TMessage& msg) {
  QPointer<TTabelle> self(this);
  const bool warGedrueckt = gedrueckt_ != 255;
  if (warGedrueckt) {
    InvalidateCell(gedrueckt_, 0);
    gedrueckt_ = 255;
  }
  if (msg.Msg == WM_LBUTTONUP) {
    TCustomGrid::Dispatch(msg);
    if (!self) return;
  } else if (GetCapture() == this) {
    ReleaseCapture();
  }
  int col = -1, row = -1;
  MouseToCell(msg.XPos(), msg.YPos(), col, row);
  if (row < FixedRows() || warGedrueckt) return;
  if (msg.Msg == WM_LBUTTONUP) {
    if (auswahlZeigen_ && TCustomGrid::Row() != gemeldet_) Melden();
  } else if (PopupMenu) {
    const TPoint p = ClientToScreen({msg.XPos(), msg.YPos()});
    PopupMenu->Popup(p.x, p.y, this);
  }
}

void TTabelle::EvTaste(TMessage& msg) {
  const int key = int(msg.WParam);
  if (key == VK_F3) {
    SucheStarten(true);
    return;
  }
  if (key == VK_LEFT || key == VK_RIGHT) return;
  QPointer<TTabelle> self(this);
  const bool warHell = auswahlZeigen_ && !keinHighlight_;
  const int vorher = TCustomGrid::Row();
  TCustomGrid::Dispatch(msg);
  if (!self) return;
  auswahlZeigen_ = true;
  keinHighlight_ = false;
  if (!warHell) InvalidateRow(TCustomGrid::Row());
  if (TCustomGrid::Row() != vorher) Melden();
}

void TTabelle::EvZeichen(char ch) {
  if ((unsigned char)ch < 32) return;
  if (such_) {
    // The search field takes the typing over: its text box gets the focus and the character,
    // and the key's release there starts the search.
    Anmelden();
    such_->Focus();
    such_->GetFenster()->Perform(WM_CHAR, (unsigned char)ch, 0);
    return;
  }
  if (TCustomGrid::Row() != tippZeile_) tippText_.clear();
  tippText_ += ch;
  SucheStarten(false);
}

void TTabelle::EvFokus() {
  Anmelden();
  if (!such_) return;
  such_->Set_Spalte(-1);
  for (int c = 0; c < std::min(spalten_, sichtbar_); ++c) such_->Set_Spalten_Name(Titel(c), c);
  such_->Set_Spalte(suchSpalte_);
}

void TTabelle::Anmelden() {
  if (!such_ || such_->Ziel() == this) return;
  QPointer<TTabelle> self(this);
  such_->Set_Suche(
      [self](TControl*, int Modus) {
        if (self) self->Suche(Modus);
      },
      this);
}

// ---------------------------------------------------------------- search

void TTabelle::Suche(int Modus) {
  switch (Modus) {
    case smSuchen:
      SucheStarten(false);
      return;
    case smAbmelden:
      spaltenSuche_ = false;
      SetFixedColor(clBtnFace);
      return;
    case smAnmelden:
      spaltenSuche_ = true;
      SetFixedColor(clYellow);
      return;
    case smEnter:
      if (GetRow() >= FixedRows() && OnDoppelKlick) {
        TNotifyEvent handler = OnDoppelKlick;
        handler(this);
      }
      return;
    default:
      break;
  }
  // 4 + k picks column k, as the search field's column menu counts its items.
  const int k = Modus - smSpalte;
  if (k < 0 || k >= std::min(spalten_, sichtbar_)) return;
  suchSpalte_ = k;
  tippText_.clear();
  InvalidateRow(0);
}

void TTabelle::SucheStarten(bool vomAktuellen) {
  QPointer<TTabelle> self(this);
  const int spalte = suchSpalte_;
  const std::string suchText = such_ ? such_->GetText() : tippText_;
  if (suchText.empty() || spalte >= std::min(spalten_, sichtbar_)) return;
  const bool von = vomAktuellen || (such_ && such_->GetVon());
  const int erste = FixedRows() + (neueZeile_ ? 1 : 0);
  const int letzte = RowCount() - 1;
  const int anzahl = letzte - erste + 1;
  int gefunden = -1, anfang = -1, bester = 0;
  if (anzahl > 0) {
    int start = von && auswahlZeigen_ && TCustomGrid::Row() >= erste ? TCustomGrid::Row() + 1 : erste;
    if (start > letzte) start = erste;
    std::string gross;
    if (!such_)
      for (unsigned char ch : suchText) gross += char(kGross.t[ch]);
    const std::string feldText = such_ ? such_->GetText() : std::string();
    for (int i = 0; i < anzahl; ++i) {
      const int row = start + i <= letzte ? start + i : start + i - anzahl;
      const std::string& zelle = Zelle(DatenZeile(row), spalte);
      if (!such_) {
        if (BeginntMit(zelle, gross)) {
          gefunden = row;
          break;
        }
        continue;
      }
      const int32_t v = such_->Vergleich(zelle, feldText);
      if (v & kVergleichGleich) {
        gefunden = row;
        break;
      }
      // The last cell in search order that starts with the text is taken.
      if (v & kVergleichAnfang) anfang = row;
      bester = std::max(bester, int(v & kVergleichAnzahl));
    }
  }
  if (gefunden < 0) gefunden = anfang;
  if (gefunden >= 0) {
    auswahlZeigen_ = true;
    keinHighlight_ = false;
    TCustomGrid::SetRow(gefunden);
    if (!self) return;
    tippZeile_ = TCustomGrid::Row();
    InvalidateRow(gefunden);
    Melden();
    return;
  }
  MessageBeep();
  if (!self) return;
  if (such_) {
    such_->NotFund(bester);
  } else {
    tippText_.pop_back();
    tippZeile_ = TCustomGrid::Row();
  }
}

}  // namespace komp
