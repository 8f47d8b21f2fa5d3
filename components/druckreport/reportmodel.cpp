// The report's model: objects and their defaults, paper, data tables, variables, actions and
// the two bitmap caches.
#include <new>

#include "components/druckreport/druckreport.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace komp {

DruckReport_Struct* TDruckReport::Neues_Objekt() {
  DruckReport_Struct* o = nullptr;
  try {
    objekte_.reserve(objekte_.size() + 1);
    auto owned = std::make_unique<DruckReport_Struct>();
    o = owned.get();
    objekte_.push_back(std::move(owned));
  } catch (const std::bad_alloc&) {
    MessageBox("Nicht genug Speicher", "Achtung", MB_OK);
    return nullptr;
  }
  const DruckReport_Vorgaben& v = vorgaben_;
  o->Oben = v.Oben;
  o->Links = v.Links;
  o->Breite = v.Breite;
  o->Hoehe = v.Hoehe;
  o->HAusrichtung = v.HAusrichtung;
  o->VAusrichtung = v.VAusrichtung;
  o->Gruppe = v.Gruppe;
  o->Farbe = v.Farbe;
  o->Fuellfarbe = v.Fuellfarbe;
  o->Stift = v.Stift;
  o->Anzahl = v.Anzahl;
  o->Auto = v.Auto;
  o->Tabelle = v.Tabelle;
  o->Zahl = v.Zahl;
  o->Font.Name = "Times New Roman";
  o->Font.Style = v.Schriftart;
  o->Font.Size = v.Schrifthoehe;
  o->Font.Color = clBlack;
  return o;
}

void TDruckReport::FreeModel() {
  ++generation_;
  pageFrame_ = nullptr;
  first_ = nullptr;
  objekte_.clear();
  vars_.clear();
  varIndex_.clear();
  bilder_.clear();
  for (auto& t : inline_) t.reset();
}

void TDruckReport::Clear_Report(bool keep) {
  Neuzaehlen = true;
  Seitenanzahl = 1;
  Neuzeichnen = true;
  FreeModel();
  if (!keep) {
    Invalidate();
    SetDefaultwerte();
    Abbruch = false;
    ScrollOffset = 0;
    if (scrollBar_) scrollBar_->SetPosition(0);
  }
}

void TDruckReport::SetDefaultwerte() {
  DruckReport_Vorgaben& v = vorgaben_;
  // Font size and style stay as last set.
  v.Oben = 0;
  v.Links = 0;
  v.Breite = 500;
  v.Hoehe = 300;
  v.Anzahl = 0;
  v.HAusrichtung = 0;
  v.VAusrichtung = 0;
  v.Gruppe = 0;
  v.Stift = 10;
  v.Auto = 1;
  v.Zahl = 0;
  v.Tabelle = 1;
  v.Farbe = 0;
  v.Fuellfarbe = clNone;
  v.Reserve = 0;
  Seitenlimit = 1;
  AktSeite = 0;
}

void TDruckReport::SetPFormat(int f, int d) {
  RandOben = RandUnten = RandLinks = RandRechts = 100;
  if (f == 1) {
    // The "portrait" A5 is the wider page.
    Seitenbreite = d == 0 ? 2100 : 1485;
    Seitenhoehe = d == 0 ? 1485 : 2100;
  } else {
    Seitenbreite = d == 0 ? 2100 : 2970;
    Seitenhoehe = d == 0 ? 2970 : 2100;
  }
  BlattFormat = f;
  Dir = d;
}

TStringTab* TDruckReport::InlineTabelle(int n) const {
  if (n < 1 || n > 3) return nullptr;
  return inline_[n - 1].get();
}

TStringTab* TDruckReport::GetDatenTab(int n) const {
  if (n < 1 || n > 3) return nullptr;
  TStringTab* linked = linked_[n - 1];
  if (linked && linked->GetRowCount(false) > 0) return linked;
  return inline_[n - 1].get();
}

FVar* TDruckReport::NeuVariable(const char* name) {
  if (!name || !*name) return nullptr;
  if (varIndex_.count(name)) {
    MessageBox("Variable: " + std::string(name) +
                   "\nist schon definiert. Bitte benutzen Sie einen anderen Namen f\xFC"
                   "r die se Variable!",
               "Fehler", MB_OK);
    return nullptr;
  }
  FVar& v = vars_.emplace_back();
  v.Name = name;
  varIndex_[v.Name] = &v;
  return &v;
}

FVar* TDruckReport::GetVariable(const char* name) {
  if (!name) return nullptr;
  auto it = varIndex_.find(name);
  return it == varIndex_.end() ? nullptr : it->second;
}

FAktion* TDruckReport::NeuAktion(FAktionListe* liste) {
  if (!liste) return nullptr;
  return &liste->emplace_back();
}

TDruckReport::Bitmap* TDruckReport::GetBild(const char* name) {
  std::string n = name ? name : "";
  for (Bitmap& b : bilder_)
    if (b.Name == n) return &b;
  Bitmap& b = bilder_.emplace_back();
  b.Name = n;
  if (OnGetBitmap) {
    QPointer<TDruckReport> self(this);
    uint64_t generation = generation_;
    TBitmap* bild = nullptr;
    OnGetBitmap(n, bild);
    // The handler may have freed the report or cleared it, and the entry with it.
    if (!self || generation != generation_) return nullptr;
    if (bild) b.Bild = *bild;
  }
  return &b;
}

TBitmap* TDruckReport::GetFrameBild(int i) {
  if (i < 0) return nullptr;
  if (size_t(i) < frameBilder_.size()) return frameBilder_[size_t(i)].get();
  if (size_t(i) == frameBilder_.size()) {
    frameBilder_.push_back(std::make_unique<TBitmap>());
    return frameBilder_.back().get();
  }
  return nullptr;
}

}  // namespace komp
