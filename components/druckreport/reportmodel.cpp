// The report model's operations: objects and their defaults, paper, data tables, variables,
// actions and the named bitmap cache. Nothing here draws or asks a person directly; what a
// person must hear goes to the diagnostics.
#include <algorithm>
#include <new>

#include "components/druckreport/reportmodel.h"

namespace komp {

TReportModel::TReportModel() : life_(std::make_shared<const char>('\0')) {}

// Objects hold pointers into each other; the vector frees them without following any.
TReportModel::~TReportModel() = default;

DruckReport_Struct* TReportModel::Neues_Objekt() {
  DruckReport_Struct* o = nullptr;
  try {
    // Grown by doubling: reserving one more each time copied the whole list per object.
    if (objekte_.size() == objekte_.capacity())
      objekte_.reserve(std::max<size_t>(16, objekte_.size() * 2));
    auto owned = std::make_unique<DruckReport_Struct>();
    o = owned.get();
    objekte_.push_back(std::move(owned));
  } catch (const std::bad_alloc&) {
    if (diagnostics_) diagnostics_->OutOfMemory();
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

void TReportModel::Free() {
  ++generation_;
  pageFrame_ = nullptr;
  first_ = nullptr;
  objekte_.clear();
  vars_.clear();
  varIndex_.clear();
  bilder_.clear();
  for (auto& t : inline_) t.reset();
}

void TReportModel::Clear(bool keep) {
  Free();
  if (!keep) SetDefaultwerte();
}

void TReportModel::SetDefaultwerte() {
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
}

void TReportModel::SetPFormat(int f, int d) {
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

TStringTab* TReportModel::Tabelle(int n) const {
  if (n < 1 || n > 3) return nullptr;
  return linked_[n - 1];
}

void TReportModel::SetTabelle(int n, TStringTab* t) {
  if (n >= 1 && n <= 3) linked_[n - 1] = t;
}

TStringTab* TReportModel::InlineTabelle(int n) const {
  if (n < 1 || n > 3) return nullptr;
  return inline_[n - 1].get();
}

TStringTab* TReportModel::GetDatenTab(int n) const {
  if (n < 1 || n > 3) return nullptr;
  TStringTab* linked = linked_[n - 1];
  if (linked && linked->GetRowCount(false) > 0) return linked;
  return inline_[n - 1].get();
}

FVar* TReportModel::NeuVariable(const char* name) {
  if (!name || !*name) return nullptr;
  if (varIndex_.count(name)) {
    if (diagnostics_) diagnostics_->DuplicateVariable(name);
    return nullptr;
  }
  FVar& v = vars_.emplace_back();
  v.Name = name;
  varIndex_[v.Name] = &v;
  return &v;
}

FVar* TReportModel::GetVariable(const char* name) {
  if (!name) return nullptr;
  auto it = varIndex_.find(name);
  return it == varIndex_.end() ? nullptr : it->second;
}

FAktion* TReportModel::NeuAktion(FAktionListe* liste) {
  if (!liste) return nullptr;
  return &liste->emplace_back();
}

TReportModel::Bitmap* TReportModel::GetBild(const char* name, const TGetBitmapEvent& fetch) {
  std::string n = name ? name : "";
  for (Bitmap& b : bilder_)
    if (b.Name == n) return &b;
  Bitmap& b = bilder_.emplace_back();
  b.Name = n;
  if (fetch) {
    // A copy: the handler may free the report that holds the event.
    TGetBitmapEvent call = fetch;
    Guard guard(*this);
    TBitmap* bild = nullptr;
    call(n, bild);
    if (guard.Gone()) return nullptr;
    if (bild) b.Bild = *bild;
  }
  return &b;
}

}  // namespace komp
