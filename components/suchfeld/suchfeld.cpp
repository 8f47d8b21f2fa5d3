#include "components/suchfeld/suchfeld.h"

#include <algorithm>
#include <vector>

#include "components/suchfeld/glyphs.h"
#include "framework/gui/listwindow.h"
#include "framework/gui/registry.h"
#include "framework/gui/services.h"

namespace komp {

namespace {
// One history list for the whole process: created when a field first opens it, freed with
// the last field.
TListWindow* g_liste = nullptr;
int g_felder = 0;

unsigned char Fold(unsigned char c) {
  if ((c >= 65 && c <= 122) || c == 0xE4 || c == 0xF6 || c == 0xFC) return c & ~0x20;
  return c;
}

// Fields and buttons must not pull the focus away from the table or the search text.
void KeinFokus(TControl* c) { c->SetFocusable(false); }

TSpeedButton* Knopf(TSuchfeld* feld, int left, int width, const TBitmap& glyph, int numGlyphs,
                    const std::string& hint) {
  auto* b = new TSpeedButton(feld);
  b->SetBounds(left, 2, width, 20);
  b->Glyph = glyph;
  b->NumGlyphs = numGlyphs;
  b->SetHint(hint);
  KeinFokus(b);
  return b;
}
}  // namespace

TSuchfeld::TSuchfeld(QWidget* owner) : TCustomPanel(owner) {
  ++g_felder;
  KeinFokus(this);
  SetBounds(Left(), Top(), 235, 25);
  Caption.clear();
  TFont f = Font();
  f.Size = 10;
  SetFont(f);
  SetHint("Suche in der Tabelle");

  label_ = new TLabel(this);
  label_->SetBounds(2, 2, 68, 20);
  label_->Border = TStaticBorder::Sunken;
  label_->Layout = TTextLayout::Center;
  TFont lf = label_->Font();
  lf.Size = 10;
  lf.Style = fsBold;
  label_->SetFont(lf);
  label_->SetHint("Suchspalte");

  spalteKnopf_ = Knopf(this, 71, 9, suchfeld_glyphs::Spaltenpfeil(), 1, "Suchspalte w\xE4" "hlen");
  spalteKnopf_->OnClick = [this](TObject* s) { SpalteClick(s); };

  text_ = new TEdit(this);
  text_->SetBounds(82, 2, 90, 20);
  TFont tf = text_->Font();
  tf.Size = 10;
  text_->SetFont(tf);
  text_->SetHideSelection(false);
  text_->SetTabStop(true);
  text_->OnKeyUp = [this](TObject* s, int& k, TShiftState sh) { TasteUp(s, k, sh); };
  text_->OnKeyDown = [this](TObject* s, int& k, TShiftState sh) { TasteDown(s, k, sh); };
  text_->OnKeyPress = [this](TObject* s, char& k) { TastePress(s, k); };
  text_->OnExit = [this](TObject* s) { TextExit(s); };

  listeKnopf_ = Knopf(this, 174, 9, suchfeld_glyphs::Historie(), 1, "Letzte Suchbegriffe");
  listeKnopf_->OnClick = [this](TObject* s) { FensterClick(s); };

  gross_ = Knopf(this, 185, 22, suchfeld_glyphs::Gross(), 4, "Gro\xDF" "- und Kleinschreibung beachten");
  gross_->GroupIndex = 1;
  gross_->AllowAllUp = true;

  start_ = Knopf(this, 210, 22, suchfeld_glyphs::Lupe(), 1, "Weitersuchen (F3)");
  start_->OnClick = [this](TObject* s) { StartClick(s); };

  menu_ = new TPopupMenu(this);
}

TSuchfeld::~TSuchfeld() {
  // The text box outlives this part of the field: it must not call back into it, not even
  // for the focus it loses while the children go.
  text_->OnKeyUp = nullptr;
  text_->OnKeyDown = nullptr;
  text_->OnKeyPress = nullptr;
  text_->OnExit = nullptr;
  text_->ClearFocus();
  if (g_liste && g_liste->Owner == this) {
    g_liste->Hide();
    g_liste->MouseWatch = nullptr;
    g_liste->Owner = nullptr;
  }
  if (--g_felder == 0) {
    delete g_liste;
    g_liste = nullptr;
  }
}

TListWindow* TSuchfeld::Liste() { return g_liste; }

TRect TSuchfeld::Bildschirm() const { return MonitorBounds(); }

// ---------------------------------------------------------------- target

void TSuchfeld::Melde(int Modus) {
  if (!suche_ || (zielRaw_ && !ziel_)) return;
  TSuchEvent suche = suche_;  // the call may attach the field elsewhere
  suche(zielRaw_, Modus);
}

void TSuchfeld::Set_Suche(TSuchEvent Suche, TControl* Ziel) {
  const bool gleich = Ziel == zielRaw_ && (Ziel == nullptr || ziel_) && bool(Suche) == bool(suche_);
  if (gleich) return;
  QPointer<TSuchfeld> self(this);
  if (!GetText().empty()) {
    InHistorie();
    SetText("");
  }
  TSuchEvent altSuche = std::move(suche_);
  TControl* altRaw = zielRaw_;
  QPointer<TControl> alt = ziel_;
  suche_ = std::move(Suche);
  zielRaw_ = Ziel;
  ziel_ = Ziel;
  if (altSuche && (!altRaw || alt)) altSuche(altRaw, smAbmelden);
  if (!self) return;
  Melde(smAnmelden);
}

// ---------------------------------------------------------------- columns

void TSuchfeld::Set_Spalte(int Spalte) {
  if (Spalte == -1) {
    spalten_.Clear();
    label_->SetCaption("");
  } else if (Spalte >= 0 && Spalte < spalten_.Count()) {
    Text_Ausgabe(spalten_[Spalte]);
  }
}

void TSuchfeld::Set_Spalten_Name(const std::string& Name, int Spalte) {
  if (Spalte < 0) return;
  while (spalten_.Count() <= Spalte) spalten_.Add("");
  spalten_.SetString(Spalte, Name);
}

void TSuchfeld::Text_Ausgabe(const std::string& Name) {
  TFont f = label_->Font();
  f.Style |= fsBold;
  label_->SetFont(f);
  TCanvas c;
  c.Font = f;
  // Each step puts "..." in place of the last four characters, the dots of the step before
  // included, but keeps at least four characters of the name.
  std::string s = Name;
  size_t behalten = Name.size();
  bool gekuerzt = false;
  while (c.TextWidth(s) >= 69 && behalten > 4) {
    behalten = gekuerzt ? behalten - 1 : std::max<size_t>(4, behalten - 4);
    gekuerzt = true;
    s = Name.substr(0, behalten) + "...";
  }
  label_->SetCaption(s);
}

void TSuchfeld::SpalteClick(TObject*) {
  ListeZu();
  if (spalten_.Empty()) return;
  menu_->Items.clear();
  for (int i = 0; i < spalten_.Count(); ++i) {
    TMenuItem it;
    it.Caption = spalten_[i];
    it.Tag = i;
    it.OnClick = [this](TObject* s) { AuswahlClick(s); };
    menu_->Items.push_back(std::move(it));
  }
  TPoint p = Services().Mouse ? Services().Mouse->CursorPos() : ClientToScreen({spalteKnopf_->Left(), Height()});
  menu_->Popup(p.x, p.y, this);
}

void TSuchfeld::AuswahlClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || item->Tag < 0 || item->Tag >= spalten_.Count()) return;
  const int k = int(item->Tag);
  Text_Ausgabe(spalten_[k]);
  Melde(smSpalte + k);
}

// ---------------------------------------------------------------- search text

void TSuchfeld::SetText(const std::string& Text) { text_->SetText(Text); }

std::string TSuchfeld::GetText() const { return text_->Text(); }

void TSuchfeld::Focus() { text_->SetFocus(); }

int32_t TSuchfeld::Vergleich(const std::string& Zelle) const { return Vergleich(Zelle, GetText()); }

int32_t TSuchfeld::Vergleich(std::string_view Zelle, std::string_view such) const {
  const bool mitGross = gross_->Down();
  size_t n = 0;
  while (n < such.size() && n < Zelle.size()) {
    unsigned char a = static_cast<unsigned char>(such[n]), b = static_cast<unsigned char>(Zelle[n]);
    if (a != b && (mitGross || Fold(a) != Fold(b))) break;
    ++n;
  }
  int32_t r = int32_t(std::min<size_t>(n, kVergleichAnzahl));
  if (n == such.size() && n == Zelle.size()) return r | kVergleichGleich;
  if (n == such.size()) return r | kVergleichAnfang;
  return r;
}

void TSuchfeld::NotFund(int Laenge) {
  const int len = int(GetText().size());
  if (len == 0) return;
  if (Laenge == -1) {
    text_->SetSel(len - 1, 1);
  } else {
    const int von = std::clamp(Laenge, 0, len);
    text_->SetSel(von, len - von);
  }
}

void TSuchfeld::TastePress(TObject*, char& Key) {
  if (Key == '\r') {
    Key = 0;
    return;
  }
  if (text_->Focused()) getippt_ = true;
}

void TSuchfeld::TasteDown(TObject*, int& Key, TShiftState) {
  if (Key != VK_RETURN) return;
  QPointer<TSuchfeld> self(this);
  Melde(smEnter);
  if (self) text_->SelectAll();
}

void TSuchfeld::TasteUp(TObject*, int& Key, TShiftState) {
  if (!getippt_ && Key != VK_F3) return;
  getippt_ = false;
  von_ = Key == VK_F3;
  QPointer<TSuchfeld> self(this);
  Melde(smSuchen);
  if (self) von_ = false;
}

void TSuchfeld::StartClick(TObject*) {
  ListeZu();
  von_ = true;
  QPointer<TSuchfeld> self(this);
  Melde(smSuchen);
  if (self) von_ = false;
}

// ---------------------------------------------------------------- history

void TSuchfeld::InHistorie() {
  const std::string t = GetText();
  if (t.empty()) return;
  const int i = historie_.IndexOf(t);
  if (i != 0) {
    if (i > 0) historie_.Delete(i);
    if (historie_.Count() > 5) historie_.Delete(5);
    historie_.Insert(0, t);
  }
  historieNeu_ = true;
  text_->SelectAll();
}

void TSuchfeld::TextExit(TObject*) { InHistorie(); }

bool TSuchfeld::ListeOffen() const { return g_liste && g_liste->Visible() && g_liste->Owner == this; }

void TSuchfeld::ListeZu() {
  if (g_liste && g_liste->Visible()) g_liste->Hide();
}

void TSuchfeld::FensterClick(TObject*) {
  if (ListeOffen())
    ListeZu();
  else
    Draw_Liste();
}

void TSuchfeld::Draw_Liste() {
  if (!g_liste) g_liste = new TListWindow;
  TListWindow& l = *g_liste;
  if (l.Owner != this || historieNeu_) {
    std::vector<std::string> items;
    for (auto& it : historie_) items.push_back(it.text);
    l.SetItems(items);
    l.SetItemIndex(-1);
    historieNeu_ = false;
  }
  l.Owner = this;
  TFont f = Font();
  f.Style = 0;
  l.SetFont(f);
  l.MouseWatch = [this](uint32_t Msg, TPoint Screen) { return MausWatch(Msg, Screen); };

  const int zeile = l.ItemHeight();
  const int h = zeile * std::max<int>(1, int(l.Items().size())) + 2;
  const int w = std::max(Width(), 100);
  const TPoint unten = ClientToScreen({0, Height()});
  TRect r = Bounds(unten.x, unten.y, w, h);
  const TRect schirm = Bildschirm();
  if (r.bottom > schirm.bottom) {
    if (schirm.bottom - unten.y < 10 * zeile) {
      const TPoint oben = ClientToScreen({0, 0});
      r = Bounds(oben.x, oben.y - h, w, h);
    } else {
      r.bottom = schirm.bottom;
    }
  }
  l.ShowAt(r);
}

void TSuchfeld::SetListIndex(int Index) {
  std::vector<std::string> items;
  if (g_liste && g_liste->Owner == this)
    items = g_liste->Items();
  else
    for (auto& it : historie_) items.push_back(it.text);
  ListeZu();
  if (Index < 0 || Index >= int(items.size())) return;
  SetText(items[size_t(Index)]);
  text_->SelectAll();
  Focus();
}

bool TSuchfeld::MausWatch(uint32_t Msg, TPoint Screen) {
  if (!ListeOffen()) return false;
  TListWindow& l = *g_liste;
  const bool ueber = l.ScreenRect().Contains(Screen);
  if (Msg == WM_MOUSEMOVE) {
    if (ueber) {
      const int i = l.ItemAtScreen(Screen);
      if (i >= 0 && i != l.ItemIndex()) l.SetItemIndex(i);
    }
    return false;
  }
  if (Msg != WM_LBUTTONDOWN) return false;
  if (ueber) {
    const int i = l.ItemAtScreen(Screen);
    if (i < 0) return false;  // the scroll bar
    SetListIndex(i);
    return true;
  }
  const TPoint p = ClientToScreen({0, 0});
  if (!Bounds(p.x, p.y, Width(), Height()).Contains(Screen)) ListeZu();
  return false;
}

namespace Suchfeld {
void Register() { RegisterComponentClass<TSuchfeld>("Beispiele", "TSuchfeld"); }
}  // namespace Suchfeld

}  // namespace komp
