// Layout numbers of the graph view and the print-out.
//
//   graph view     GrafSpalte, Liste (one side list: titles, offsets, width), GrafikLayout
//   font choice    WaehleSchrift
//   printing       TSpaltenMessung, TSeiten, SeitenFuss, DruckLayout, GrafikDruckLayout
#include "components/tabelle/tabelle_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace komp::tabelle {

int TDaten::Genutzt() const { return std::max(0, std::min(spalten, sichtbar)); }

int GrafSpalte(int wunsch, const TDaten& daten) {
  return wunsch >= 1 && wunsch < daten.Genutzt() ? wunsch : 1;
}

namespace {

// One side list of the view (the columns before or after the graph column).
struct TListe {
  std::vector<int> offsets;
  int breite = -1;
};

TListe Liste(const TDaten& d, int von, int bis, const TGrafikVorgaben& v, ITextMass& mass, int luft,
             int doppelpunkt, int64_t& kandZeile, int& kandSpalte, bool nurKandidat) {
  TListe l;
  if (von > bis) return l;
  std::vector<int> titel;
  int titelMax = 0;
  for (int k = von; k <= bis; ++k) {
    titel.push_back(mass.Breite(d.zelle(0, k), v.schrift, false));
    titelMax = std::max(titelMax, titel.back());
  }
  int wertMax = 0;
  if (nurKandidat) {
    if (kandZeile > 0) wertMax = mass.Breite(d.zelle(kandZeile, kandSpalte), v.schrift, false);
  } else {
    kandZeile = -1;
    for (int64_t r = 1; r < d.zeilen; ++r)
      for (int k = von; k <= bis; ++k) {
        const std::string_view t = d.zelle(r, k);
        if (t.empty()) continue;
        const int w = mass.Breite(t, v.schrift, false);
        if (w > wertMax || kandZeile < 0) {
          wertMax = std::max(wertMax, w);
          kandZeile = r;
          kandSpalte = k;
        }
      }
  }
  for (int w : titel) l.offsets.push_back(titelMax - w);
  l.breite = titelMax + wertMax + doppelpunkt + luft;
  return l;
}

int Nicht0(int breite) { return std::max(0, breite); }

}  // namespace

TGrafikLayout GrafikLayout(const TDaten& d, int wunsch, const TGrafikVorgaben& v, ITextMass& mass,
                           const TWertLeser& wert, TGrafikKandidaten* kand) {
  TGrafikLayout l;
  l.n = d.Genutzt();
  l.g = GrafSpalte(wunsch, d);
  l.zeilenProSatz = std::max({1, l.g - 1, l.n - l.g - 1});
  l.zeilenHoehe = std::max(1, v.zeilenHoehe);
  l.doppelpunkt = mass.Breite(": ", v.schrift, false);
  const int luft = v.luft;

  TGrafikKandidaten eigene;
  TGrafikKandidaten& k = kand ? *kand : eigene;
  const bool nurKandidat = k.gemessen;

  const TListe vor = Liste(d, 1, l.g - 1, v, mass, luft, l.doppelpunkt, k.vorZeile, k.vorSpalte, nurKandidat);
  const TListe nach = Liste(d, l.g + 1, l.n - 1, v, mass, luft, l.doppelpunkt, k.nachZeile, k.nachSpalte, nurKandidat);
  l.titelVor = vor.offsets;
  l.titelNach = nach.offsets;
  l.breiten[1] = vor.breite;
  l.breiten[3] = nach.breite;

  // Column 0: the key. Bold and large when a record has several lines; else the normal
  // view's width stays unless the caller has none (paper).
  const bool gross = l.zeilenProSatz > 1;
  if (gross || !v.breiteSpalte0) {
    const int groesse = gross ? v.schluesselSchrift : v.schrift;
    int schluessel = 0;
    if (nurKandidat) {
      if (k.schluessel > 0) schluessel = mass.Breite(d.zelle(k.schluessel, 0), groesse, gross);
    } else {
      k.schluessel = -1;
      for (int64_t r = 1; r < d.zeilen; ++r) {
        const std::string_view t = d.zelle(r, 0);
        if (t.empty()) continue;
        const int w = mass.Breite(t, groesse, gross);
        if (w > schluessel || k.schluessel < 0) {
          schluessel = std::max(schluessel, w);
          k.schluessel = r;
        }
      }
    }
    const int titel = mass.Breite(d.zelle(0, 0), v.schrift, false) + v.titelZusatz;
    l.breiten[0] = std::max(schluessel, titel) + luft;
  } else {
    l.breiten[0] = *v.breiteSpalte0;
  }
  k.gemessen = true;

  // Column 2: the bar. What the others leave, but never less than a third of the width.
  const int drittel = std::max(0, v.breite / 3);
  int64_t balken = int64_t(v.breite) - Nicht0(l.breiten[0]) - Nicht0(l.breiten[1]) - Nicht0(l.breiten[3]) - v.rest;
  if (balken < drittel || balken < 1) balken = drittel;
  l.breiten[2] = int(balken);
  if (!v.mitBalken) return l;

  // Two passes over the values (max, then lengths) instead of a second array of a million values.
  const int64_t zeilen = std::max<int64_t>(0, d.zeilen);
  for (int64_t r = 1; r < zeilen; ++r) l.groessterWert = std::max(l.groessterWert, wert(d.zelle(r, l.g)));
  l.balken.assign(size_t(zeilen), 0);
  if (l.groessterWert <= 0) {
    if (v.breiteOhneWert) l.breiten[2] = *v.breiteOhneWert;
    return l;
  }
  // The largest bar leaves 4 pixels of its column free; a positive value shows at least one.
  const double platz = double(std::max<int64_t>(1, balken - 4));
  const double max = double(l.groessterWert);
  for (int64_t r = 1; r < zeilen; ++r) {
    const int64_t w = wert(d.zelle(r, l.g));
    if (w <= 0) continue;
    const int64_t laenge = std::llround(double(w) / max * platz);
    l.balken[size_t(r)] = int32_t(std::clamp<int64_t>(laenge, 1, int64_t(platz)));
  }
  return l;
}

TSchriftWahl WaehleSchrift(int eigene, int breiteJetzt, int breiteQuer,
                           const std::function<bool(int, int)>& passt) {
  TSchriftWahl w;
  w.groesse = std::max(1, eigene);
  int seite = breiteJetzt;
  auto wachsen = [&] {
    while (w.groesse < kGroessteSchrift && passt(w.groesse + 1, seite)) ++w.groesse;
  };
  if (passt(w.groesse, seite)) {
    wachsen();
    return w;
  }
  w.quer = true;
  seite = breiteQuer;
  if (passt(w.groesse, seite)) {
    wachsen();
    return w;
  }
  // Too wide even in landscape. Smaller sizes only: a table never prints larger than its own
  // font when that does not fit, and never with columns cut off.
  if (w.groesse > 8) {
    if (passt(8, seite)) {
      w.groesse = 8;
      wachsen();
      return w;
    }
    if (passt(kKleinsteSchrift, seite)) {
      w.groesse = kKleinsteSchrift;
      return w;
    }
  }
  w.abgelehnt = true;
  return w;
}

TSpaltenMessung::TSpaltenMessung(const TDaten& daten, ITextMass& mass) : daten_(daten), mass_(mass) {}

int TSpaltenMessung::M(int groesse) { return mass_.Breite("m", groesse, false); }

const std::vector<int>& TSpaltenMessung::Breiten(int groesse) {
  if (groesse == groesse_) return breiten_;
  const int n = daten_.Genutzt();
  const int m = M(groesse);
  std::vector<int> breit(size_t(n), 0);
  if (widest_.empty()) {
    widest_.assign(size_t(n), 0);
    // Title row first, then the data rows: one font at a time.
    for (int k = 0; k < n; ++k) breit[size_t(k)] = mass_.Breite(daten_.zelle(0, k), groesse, true);
    for (int64_t r = 1; r < daten_.zeilen; ++r)
      for (int k = 0; k < n; ++k) {
        const std::string_view t = daten_.zelle(r, k);
        if (t.empty()) continue;
        const int w = mass_.Breite(t, groesse, false);
        if (w > breit[size_t(k)]) {
          breit[size_t(k)] = w;
          widest_[size_t(k)] = r;
        }
      }
  } else {
    for (int k = 0; k < n; ++k) {
      const int64_t r = widest_[size_t(k)];
      breit[size_t(k)] = mass_.Breite(daten_.zelle(r, k), groesse, r == 0);
    }
  }
  for (int& b : breit) b = std::max(b, 10) + m;
  breiten_ = std::move(breit);
  groesse_ = groesse;
  return breiten_;
}

int64_t TSpaltenMessung::Bedarf(int groesse) {
  int64_t summe = 4 * int64_t(M(groesse));
  for (int b : Breiten(groesse)) summe += b;
  return summe;
}

int64_t TSeiten::Anzahl() const {
  if (saetze <= ersteSeite) return 1;
  return 1 + (saetze - ersteSeite + folgeSeite - 1) / folgeSeite;
}

int64_t TSeiten::Erster(int64_t seite) const {
  if (seite <= 0) return 0;
  return ersteSeite + (seite - 1) * folgeSeite;
}

int64_t TSeiten::AufSeite(int64_t seite) const {
  const int64_t erster = Erster(seite);
  const int64_t platz = seite <= 0 ? ersteSeite : folgeSeite;
  return std::clamp<int64_t>(saetze - erster, 0, platz);
}

std::string SeitenFuss(int64_t seite, int64_t seiten) {
  if (seiten <= 1) return {};
  return "Seite " + std::to_string(seite) + " von " + std::to_string(seiten) + " Seiten";
}

namespace {

// Line height, page height and the rows each page holds, once the size is chosen.
void Seitenaufteilung(TDruckLayout& l, const TSeitenMasse& seite, ITextMass& mass, int64_t saetze,
                      int zeilenProSatz) {
  l.seitenHoehe = l.schrift.quer ? seite.hoeheQuer : seite.hoehe;
  l.zeilenHoehe = std::max(1, mass.Hoehe(l.schrift.groesse, false));
  const int zeilen = l.seitenHoehe / l.zeilenHoehe;
  l.zeilenErste = std::max(1, zeilen - 5);
  l.zeilenFolge = std::max(1, zeilen - 3);
  const int proSatz = std::max(1, zeilenProSatz);
  l.seiten.saetze = std::max<int64_t>(0, saetze);
  l.seiten.ersteSeite = std::max(1, l.zeilenErste / proSatz);
  l.seiten.folgeSeite = std::max(1, l.zeilenFolge / proSatz);
}

}  // namespace

TDruckLayout DruckLayout(const TDaten& daten, int eigene, const TSeitenMasse& seite, ITextMass& mass) {
  TDruckLayout l;
  TSpaltenMessung messung(daten, mass);
  l.schrift = WaehleSchrift(eigene, seite.breite, seite.breiteQuer,
                            [&](int groesse, int breite) { return messung.Bedarf(groesse) < breite; });
  if (l.schrift.abgelehnt) return l;
  l.m = messung.M(l.schrift.groesse);
  l.rand = 2 * l.m;
  l.spalten = messung.Breiten(l.schrift.groesse);
  for (int b : l.spalten) l.gesamtBreite += b;
  Seitenaufteilung(l, seite, mass, daten.DatenZeilen(), 1);
  return l;
}

namespace {

TGrafikVorgaben PapierVorgaben(int groesse, int seitenBreite, ITextMass& mass, bool mitBalken) {
  TGrafikVorgaben v;
  const int m = mass.Breite("m", groesse, false);
  v.schrift = groesse;
  v.schluesselSchrift = 2 * groesse;
  v.zeilenHoehe = mass.Hoehe(groesse, false);
  v.breite = seitenBreite;
  v.rest = 4 * m;  // the margins, as for the table
  v.luft = m;      // text m / 2 from each line, as in the table
  v.mitBalken = mitBalken;
  return v;
}

}  // namespace

TGrafikDruckLayout GrafikDruckLayout(const TDaten& daten, int grafSpalte, int eigene, const TSeitenMasse& seite,
                                     ITextMass& mass, const TWertLeser& wert) {
  TGrafikDruckLayout l;
  TGrafikKandidaten kand;
  auto passt = [&](int groesse, int breite) {
    const TGrafikLayout s = GrafikLayout(daten, grafSpalte, PapierVorgaben(groesse, breite, mass, false), mass,
                                         wert, &kand);
    int64_t bedarf = 4 * int64_t(mass.Breite("m", groesse, false)) + breite / 3;
    for (int i : {0, 1, 3}) bedarf += std::max(0, s.breiten[size_t(i)]);
    return bedarf < breite;
  };
  l.druck.schrift = WaehleSchrift(eigene, seite.breite, seite.breiteQuer, passt);
  if (l.druck.schrift.abgelehnt) return l;
  const int groesse = l.druck.schrift.groesse;
  const int breite = l.druck.schrift.quer ? seite.breiteQuer : seite.breite;
  l.druck.m = mass.Breite("m", groesse, false);
  l.druck.rand = 2 * l.druck.m;
  l.satz = GrafikLayout(daten, grafSpalte, PapierVorgaben(groesse, breite, mass, true), mass, wert, &kand);
  for (int i = 0; i < 4; ++i) {
    l.druck.spalten.push_back(std::max(0, l.satz.breiten[size_t(i)]));
    l.druck.gesamtBreite += l.druck.spalten.back();
  }
  Seitenaufteilung(l.druck, seite, mass, daten.DatenZeilen(), l.satz.zeilenProSatz);
  return l;
}

}  // namespace komp::tabelle
