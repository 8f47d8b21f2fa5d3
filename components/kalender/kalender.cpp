// TKalender: drawing the model, mouse and keys, the month list, the host messages.
//
//   construction   parts, the marker symbol
//   interface      Init ... Setze_JahresBlock: delegate to the model, then buttons and drawing
//   drawing        Paint -> Zeichne_Kalender -> BildZeichnen (image), TitelZeichnen (control)
//   mouse          Dispatch -> EvMausDown -> Monats_NameMouseDown / ZFMouseDown -> Ausfuehren
//   month list     TKalenderListe, ListBox1* handlers, ListeZu
#include "components/kalender/kalender.h"

#include <QPointer>
#include <algorithm>
#include <string>

#include "framework/gui/registry.h"
#include "framework/gui/services.h"

namespace komp {

using namespace kalender;

namespace {

constexpr TColor kGrau = RGB(128, 128, 128);
constexpr TColor kSymbolGrund = clFuchsia;  // transparent in the image list

TFont BildFont() {
  TFont f;
  f.Name = "Courier New";
  f.Size = 10;
  f.Color = clBlack;
  return f;
}

TShiftState MausShift(const TMessage& m) {
  TShiftState s = 0;
  if (m.WParam & MK_SHIFT) s |= ssShift;
  if (m.WParam & MK_CONTROL) s |= ssCtrl;
  if (m.WParam & MK_LBUTTON) s |= ssLeft;
  if (m.WParam & MK_RBUTTON) s |= ssRight;
  if (m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK) s |= ssDouble;
  return s;
}

TKalender::TMouseButton MausTaste(uint32_t msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: return TKalender::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return TKalender::mbMiddle;
    default: return TKalender::mbLeft;
  }
}

bool IstDruck(uint32_t m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_LBUTTONDBLCLK ||
         m == WM_RBUTTONDBLCLK;
}

bool IstLoslassen(uint32_t m) { return m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP; }

// The display mode's marker, one cell large: a red bar across the cell under the day number's
// base line, so the number stays readable.
TBitmap MarkerSymbol() {
  TBitmap b(kZellBreite, kZellHoehe);
  TCanvas& c = b.Canvas();
  c.Brush.Color = kSymbolGrund;
  c.FillRect({0, 0, kZellBreite, kZellHoehe});
  c.Brush.Color = clRed;
  c.FillRect({3, 15, 21, 18});
  return b;
}

}  // namespace

// ---------------------------------------------------------------- construction

TKalender::TKalender(QWidget* owner)
    : TCustomControl(owner), bild_(kBildBreite, kBildHoehe), bilder_(kZellBreite, kZellHoehe) {
  SetBounds(Left(), Top(), kBreite, kHoehe);
  SetColor(clBtnFace);

  // The marker is image 2; the two places before it stay empty.
  TBitmap leer(kZellBreite, kZellHoehe);
  leer.Canvas().Brush.Color = kSymbolGrund;
  leer.Canvas().FillRect({0, 0, kZellBreite, kZellHoehe});
  bilder_.AddMasked(leer, kSymbolGrund);
  bilder_.AddMasked(leer, kSymbolGrund);
  bilder_.AddMasked(MarkerSymbol(), kSymbolGrund);

  const int knopf = kTitelHoehe - 2;
  zurueck_ = new TSpeedButton(this);
  zurueck_->SetBounds(1, 1, knopf, knopf);
  zurueck_->Caption.assign(1, '<');  // assign: g++ 12 warns wrongly on = "<"
  zurueck_->SetHint("Voriger Monat");
  zurueck_->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
  vor_ = new TSpeedButton(this);
  vor_->SetBounds(kBreite - 1 - knopf, 1, knopf, knopf);
  vor_->SetAnchors(akTop | akRight);
  vor_->Caption.assign(1, '>');
  vor_->SetHint("N\xE4" "chster Monat");
  vor_->OnClick = [this](TObject* s) { SpeedButton2Click(s); };

  heute_ = new TLabel(this);
  heute_->SetBounds(kBildX, kBildY + kBildHoehe + 3, kBildBreite, kHoehe - kBildY - kBildHoehe - 3);
  heute_->SetFocusable(false);
  heute_->SetVisible(false);

  // Created last, so that it lies over the label when dropped.
  liste_ = new TKalenderListe(this);
  liste_->SetVisible(false);

  Knoepfe();
  BildZeichnen(true);
}

TKalender::~TKalender() {
  // The list may still hear of its focus going while the children are freed.
  liste_->kalender_ = nullptr;
  if (GetCapture() == liste_) ReleaseCapture();
}

// ---------------------------------------------------------------- interface

bool TKalender::Init(uint16_t Jahr, uint16_t Monat, int Markier, const uint8_t* Liste) {
  if (!model_.Init(Jahr, Monat, Markier, Liste)) return false;
  Knoepfe();
  Zeichne_Kalender(true);
  return true;
}

void TKalender::Setze_Daten(const uint8_t* Daten) {
  model_.Setze_Daten(Daten);
  Knoepfe();
  Zeichne_Kalender(false);
}

bool TKalender::Get_Eintraege(uint8_t* Ziel, int Anzahl) {
  const bool zuViele = model_.Get_Eintraege(Ziel, Anzahl);
  if (zuViele) ZuVieleMelden();
  Knoepfe();
  Zeichne_Kalender(false);
  return !zuViele;
}

void TKalender::Del_Eintraege() {
  model_.Del_Eintraege();
  Knoepfe();
  Zeichne_Kalender(false);
}

bool TKalender::Get_Marker(int Anzahl) {
  const bool zuViele = model_.Get_Marker(Anzahl);
  if (zuViele) ZuVieleMelden();
  Knoepfe();
  Zeichne_Kalender(false);
  return !zuViele;
}

void TKalender::Del_Marker(bool Zeichnen) {
  model_.Del_Marker();
  Knoepfe();
  if (Zeichnen) Zeichne_Kalender(false);
}

void TKalender::Setze_Modus(bool Edit) {
  model_.Setze_Modus(Edit);
  heute_->SetVisible(!Edit);
  if (!Edit) Setze_Heute();
  Zeichne_Kalender(false);
}

void TKalender::Setze_Heute() { heute_->SetCaption(TKalenderModel::HeuteText(Now())); }

bool TKalender::Setze_Datum(TDateTime Datum) {
  const int jahr = model_.Get_Jahr(), monat = model_.Get_Monat();
  if (!model_.Setze_Datum(Datum)) return false;
  const bool neu = jahr != model_.Get_Jahr() || monat != model_.Get_Monat();
  if (neu) Knoepfe();
  Zeichne_Kalender(neu);
  return true;
}

void TKalender::Setze_Farbmodus(int Modus) {
  model_.Setze_Farbmodus(Modus);
  Zeichne_Kalender(true);
}

void TKalender::Setze_JahresBlock(bool An) {
  model_.Setze_JahresBlock(An);
  Knoepfe();
}

void TKalender::SpeedButton1Click(TObject*) { Ausfuehren(model_.VorigerMonat()); }

void TKalender::SpeedButton2Click(TObject*) { Ausfuehren(model_.NaechsterMonat()); }

void TKalender::ZFMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  Ausfuehren(model_.Klick(X, Y, Button == mbRight));
}

void TKalender::Ausfuehren(const TKalenderAktion& a) {
  QPointer<TKalender> self(this);
  if (a.ZuViele) {
    ZuVieleMelden();
    if (!self) return;
  }
  Knoepfe();
  if (a.NeuerMonat) Zeichne_Kalender(true);
  else if (a.Neuzeichnen) Zeichne_Kalender(false);
  if (a.Nachricht) Melden(a.Nachricht, a.WParam, a.LParam);
}

void TKalender::Melden(int n, intptr_t w, intptr_t l) {
  QPointer<TKalender> self(this);
  const uint32_t msg = WM_APP + uint32_t(n);
  SendToActiveWindow(msg, w, l);
  if (!self || !OnNachricht) return;
  auto handler = OnNachricht;  // it may free the calendar
  handler(this, msg, w, l);
}

void TKalender::ZuVieleMelden() { MessageBox(kZuVieleText, kZuVieleTitel, MB_OK); }

void TKalender::Knoepfe() {
  zurueck_->SetEnabled(model_.VorigerErlaubt());
  vor_->SetEnabled(model_.NaechsterErlaubt());
}

// ---------------------------------------------------------------- drawing

void TKalender::Paint() {
  malen_ = true;
  Zeichne_Kalender(true);
  malen_ = false;
}

void TKalender::Zeichne_Kalender(bool Voll) {
  BildZeichnen(Voll);
  if (!malen_) {
    // The title and the image reach the screen through Paint.
    Invalidate();
    return;
  }
  TCanvas& c = Canvas();
  if (Voll) TitelZeichnen(c);
  c.Draw(kBildX, kBildY, bild_);
}

TPoint TKalender::TitelPos() const {
  TFont f = Font();
  f.Style |= fsBold;
  const TSize s = TCanvas::MeasureText(f, "M");
  return {kTitelHoehe + 3, (kTitelHoehe - s.cy) / 2};
}

void TKalender::TitelZeichnen(TCanvas& c) {
  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = model_.TitelFarbe();
  c.FillRect({0, 0, Width(), kTitelHoehe});
  c.Font = Font();
  c.Font.Style |= fsBold;
  c.Font.Color = model_.TitelSchrift();
  c.Brush.Style = TBrushStyle::Clear;
  const TPoint p = TitelPos();
  c.TextOut(p.x, p.y, model_.Titel());
  c.Brush.Style = TBrushStyle::Solid;
}

void TKalender::BildZeichnen(bool voll) {
  TCanvas& c = bild_.Canvas();
  c.Font = BildFont();
  c.Pen = TPen{};
  c.Brush = TBrush{};
  const TColor band = model_.BandFarbe();
  if (voll) {
    c.Pen.Color = clBlack;
    c.Brush.Color = clWhite;
    c.Rectangle(0, 0, kBildBreite, kBildHoehe);
    c.Brush.Color = band;
    c.FillRect({1, 1, kBildBreite - 1, kZellHoehe});
    for (int s = 0; s < kSpalten; ++s) {
      c.Font.Color = s < 5 ? clBlue : clRed;
      const TPoint p = WochentagText(s);
      c.TextOut(p.x, p.y, kWochentagNamen[s]);
    }
    c.FillRect({1, kZellHoehe, kWochenSpalteRechts, kBildHoehe - 1});
    for (int k = 2; k <= kZeilen; ++k) {
      c.MoveTo(1, kZellHoehe * k);
      c.LineTo(kWochenSpalteRechts, kZellHoehe * k);
    }
    c.MoveTo(kWochenSpalteRechts, 1);
    c.LineTo(kWochenSpalteRechts, kBildHoehe - 1);
    c.MoveTo(1, kZellHoehe - 1);
    c.LineTo(kBildBreite - 1, kZellHoehe - 1);
    c.Font.Color = clBlack;
    c.TextOut(2, 2, "KW");
    c.Brush.Color = clWhite;
    c.FillRect({kZellBreite, kZellHoehe, kBildBreite - 1, kBildHoehe - 1});
  }
  if (!model_.HatMonat()) return;

  const bool edit = model_.Edit();
  for (int i = 0; i < kZellen; ++i) {
    const int zeile = i / kSpalten;
    if (voll && i % kSpalten == 0) {
      const int woche = model_.Woche(zeile);
      const TPoint p = WochenText(zeile, woche);
      c.Brush.Color = band;
      c.Font.Color = clBlue;
      c.TextOut(p.x, p.y, std::to_string(woche));
    }
    const bool imMonat = model_.ImMonat(i);
    const bool hell = model_.Hervorgehoben(i);
    c.Brush.Color = hell ? clBlue : clWhite;
    c.Font.Color = hell ? clWhite : imMonat ? clBlack : kGrau;
    c.FillRect(ZellInnen(i));
    const int tag = model_.Tag(i);
    const TPoint t = TagText(i, tag);
    c.TextOut(t.x, t.y, std::to_string(tag));
    c.Brush.Color = imMonat ? clBlack : kGrau;
    c.FrameRect(ZellRahmen(i));
    if (!model_.Marker(i)) continue;
    if (edit) {
      c.InvertRect(ZellInnen(i));
    } else {
      const TPoint o = ZellUrsprung(i);
      c.DrawImage(o.x, o.y, bilder_, 2);
    }
  }
}

// ---------------------------------------------------------------- mouse

void TKalender::Dispatch(TMessage& msg) {
  if (IstDruck(msg.Msg)) {
    EvMausDown(msg);
    return;
  }
  if ((IstLoslassen(msg.Msg) || msg.Msg == WM_MOUSEMOVE) && liste_->Visible() && GetCapture() == liste_) {
    // Where the platform has no pointer grab, the release of the press that opened the list
    // still comes here: the list has the mouse, so it gets it.
    const TPoint p = ListenPunkt(msg);
    liste_->Perform(msg.Msg, msg.WParam, MakeLParam(p.x, p.y));
    return;
  }
  TCustomControl::Dispatch(msg);
}

TPoint TKalender::ListenPunkt(const TMessage& msg) const {
  return {msg.XPos() - liste_->Left(), msg.YPos() - liste_->Top()};
}

void TKalender::EvMausDown(TMessage& msg) {
  const int x = msg.XPos(), y = msg.YPos();
  if (liste_->Visible()) {
    // The open list has the mouse: a press anywhere else closes it and does nothing more.
    const TPoint p = ListenPunkt(msg);
    liste_->Perform(msg.Msg, msg.WParam, MakeLParam(p.x, p.y));
    return;
  }
  const TMouseButton taste = MausTaste(msg.Msg);
  const TShiftState shift = MausShift(msg);
  if (y < kTitelHoehe) {
    Monats_NameMouseDown(this, taste, shift, x, y);
    return;
  }
  const int bx = x - kBildX, by = y - kBildY;
  if (bx >= 0 && bx < kBildBreite && by >= 0 && by < kBildHoehe) ZFMouseDown(this, taste, shift, bx, by);
}

// ---------------------------------------------------------------- month list

void TKalender::Monats_NameMouseDown(TObject*, TMouseButton, TShiftState, int X, int) {
  if (X < kListeLinks || X > kListeRechts || !model_.HatMonat() || liste_->Visible()) return;
  liste_->SetBounds(kListeLinks, kTitelHoehe, TKalenderListe::kBreite, TKalenderListe::kHoehe);
  liste_->SetItemIndex(model_.Get_Monat() - 1);
  liste_->SetVisible(true);
  liste_->raise();
  liste_->SetFocus(FOCUS_MOUSE);
  SetCapture(liste_);
  listeNeu_ = true;
}

void TKalender::ListBox1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (X < 0 || X > TKalenderListe::kBreite - 1 || Y < 0 || Y > TKalenderListe::kHoehe - 1) ListeZu();
}

void TKalender::ListBox1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  const int i = liste_->ItemIndex();
  if (i == -1 || !liste_->Visible()) return;
  if (listeNeu_) {
    listeNeu_ = false;
    return;
  }
  ListeZu();
  Init(uint16_t(model_.Get_Jahr()), uint16_t(i + 1), 0, nullptr);
}

void TKalender::ListBox1KeyDown(TObject*, int& Key, TShiftState) {
  if (Key == VK_RETURN) {
    const int i = liste_->ItemIndex();
    ListeZu();
    if (i >= 0) Init(uint16_t(model_.Get_Jahr()), uint16_t(i + 1), 0, nullptr);
    Key = 0;
  } else if (Key == VK_ESCAPE) {
    ListeZu();
    Key = 0;
  }
}

void TKalender::ListBox1Exit(TObject*) { ListeZu(); }

void TKalender::ListeZu() {
  if (!liste_->Visible()) return;
  const bool fokus = liste_->Focused();
  listeNeu_ = false;
  if (GetCapture() == liste_) ReleaseCapture();
  liste_->SetVisible(false);
  // Keys typed next stay with the calendar rather than wander to the host's next control.
  if (fokus) SetFocus(FOCUS_OTHER);
}

TKalenderListe::TKalenderListe(TKalender* owner) : TCustomControl(owner), kalender_(owner) {
  SetColor(clWindow);
  resize(kBreite, kHoehe);
}

void TKalenderListe::SetItemIndex(int i) {
  index_ = i >= 0 && i < Count() ? i : -1;
  Invalidate();
}

TRect TKalenderListe::ItemRect(int i) const {
  return {1, kOben + kZeilenHoehe * i, kBreite - 1, kOben + kZeilenHoehe * (i + 1)};
}

int TKalenderListe::ItemAt(TPoint p) const {
  if (p.x < 1 || p.x >= kBreite - 1 || p.y < kOben) return -1;
  const int i = (p.y - kOben) / kZeilenHoehe;
  return i < Count() ? i : -1;
}

void TKalenderListe::Paint() {
  TCanvas& c = Canvas();
  c.Pen.Color = clBlack;
  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = clWindow;
  c.Rectangle(0, 0, Width(), Height());
  c.Font = kalender_ ? kalender_->Font() : Font();
  for (int i = 0; i < Count(); ++i) {
    const TRect r = ItemRect(i);
    const bool gewaehlt = i == index_;
    c.Brush.Color = gewaehlt ? clHighlight : clWindow;
    c.FillRect(r);
    c.Font.Color = gewaehlt ? clHighlightText : clWindowText;
    c.Brush.Style = TBrushStyle::Clear;
    c.TextOut(r.left + 3, r.top + (kZeilenHoehe - c.TextHeight("M")) / 2, kMonatsNamen[i]);
    c.Brush.Style = TBrushStyle::Solid;
  }
}

void TKalenderListe::Dispatch(TMessage& msg) {
  if (!kalender_) {
    TCustomControl::Dispatch(msg);
    return;
  }
  const TPoint p{msg.XPos(), msg.YPos()};
  if (IstDruck(msg.Msg)) {
    // As a list box does: the press selects what it hits, then the owner hears of it.
    if (MausTaste(msg.Msg) == TKalender::mbLeft && ItemAt(p) >= 0) SetItemIndex(ItemAt(p));
    kalender_->ListBox1MouseDown(this, MausTaste(msg.Msg), MausShift(msg), p.x, p.y);
    return;
  }
  if (IstLoslassen(msg.Msg)) {
    kalender_->ListBox1MouseUp(this, MausTaste(msg.Msg), MausShift(msg), p.x, p.y);
    return;
  }
  switch (msg.Msg) {
    case WM_MOUSEMOVE:
      if ((msg.WParam & MK_LBUTTON) && ItemAt(p) >= 0 && ItemAt(p) != index_) SetItemIndex(ItemAt(p));
      return;
    case WM_KEYDOWN: {
      int key = int(msg.WParam);
      QPointer<TKalenderListe> self(this);
      kalender_->ListBox1KeyDown(this, key, KeyShiftOf(msg));
      if (!self || key == 0) return;
      const int letzter = Count() - 1;
      int i = index_;
      switch (key) {
        case VK_UP: i = i < 0 ? 0 : std::max(0, i - 1); break;
        case VK_DOWN: i = i < 0 ? 0 : std::min(letzter, i + 1); break;
        case VK_HOME:
        case VK_PRIOR: i = 0; break;
        case VK_END:
        case VK_NEXT: i = letzter; break;
        default: TCustomControl::Dispatch(msg); return;
      }
      SetItemIndex(i);
      return;
    }
    case WM_KILLFOCUS:
      kalender_->ListBox1Exit(this);
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(msg);
}

namespace Kalender {
void Register() { RegisterComponentClass<TKalender>("Beispiele", "TKalender"); }
}  // namespace Kalender

}  // namespace komp
