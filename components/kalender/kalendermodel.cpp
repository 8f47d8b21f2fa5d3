// TKalenderModel: month layout, placing entries as markers, markers back to entries, clicks and
// navigation.
//
//   Init -> Anordnen (days, weeks, bounds) -> Platzieren (entries -> markers, shown mask)
//   Klick (edit) -> toggle markers -> Get_Marker (markers -> entries, or refuse and re-place)
//   Klick (display), VorigerMonat, NaechsterMonat -> Wechseln -> Init
#include "components/kalender/kalendermodel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace komp {

const char* const kWochentagNamen[7] = {"MO", "DI", "MI", "DO", "FR", "SA", "SO"};

using namespace kalender;

int TKalenderModel::Get_Kalenderwoche(int /*jahr*/, TDateTime datum) { return IsoWeekNumber(datum); }

int TKalenderModel::ZellMonat(int index) const {
  if (index <= letzteVorzelle_) return Vormonat();
  if (index < ersteFolgezelle_) return monat_;
  return Folgemonat();
}

int TKalenderModel::AnzahlEintraege() const {
  int n = 0;
  while (n < kMaxEintraege && liste_[size_t(n * kEintragGroesse)] != 0) ++n;
  return n;
}

bool TKalenderModel::Init(uint16_t jahr, uint16_t monat, int markier, const uint8_t* liste) {
  if (monat < 1 || monat > 12 || jahr < kJahrMin || jahr > kJahrMax) return false;
  // memmove: a host may hand back the calendar's own list.
  if (liste) {
    host_ = liste;
    std::memmove(liste_.data(), liste, kListenGroesse);
  } else if (!edit_ && host_) {
    std::memmove(liste_.data(), host_, kListenGroesse);
  }
  jahr_ = jahr;
  monat_ = monat;
  markier_ = markier >= 1 && markier <= DaysInMonth(jahr_, monat_) ? markier : 0;
  Anordnen();
  Platzieren();
  return true;
}

void TKalenderModel::Anordnen() {
  const int vorJahr = monat_ == 1 ? jahr_ - 1 : jahr_;
  const TDateTime erster = EncodeDate(jahr_, monat_, 1);
  const int wochentag = (DayOfWeek(erster) + 5) % 7;  // Monday 0
  // A month starting on Monday still gets a full row of the previous month.
  const int vorTage = wochentag == 0 ? 7 : wochentag;
  const int vorLaenge = DaysInMonth(vorJahr, Vormonat());
  const int laenge = DaysInMonth(jahr_, monat_);
  ersterTag_ = erster - vorTage;
  letzteVorzelle_ = vorTage - 1;
  ersteFolgezelle_ = vorTage + laenge;
  for (int i = 0; i < kZellen; ++i) {
    int tag;
    if (i < vorTage) tag = vorLaenge - vorTage + 1 + i;
    else if (i < ersteFolgezelle_) tag = i - vorTage + 1;
    else tag = i - ersteFolgezelle_ + 1;
    tage_[size_t(i)] = int8_t(tag);
  }
  ersteWoche_ = Get_Kalenderwoche(vorJahr, ersterTag_);
  wochen_[0] = int8_t(ersteWoche_);
  for (int r = 1; r < kZeilen; ++r) wochen_[size_t(r)] = int8_t(IsoWeekNumber(ersterTag_ + 7 * r));
}

void TKalenderModel::Platzieren() {
  marker_.fill(0);
  gezeigt_ = 0;
  endeHinten_ = false;
  if (!HatMonat()) return;
  for (int e = 0; e < kMaxEintraege; ++e) {
    const uint8_t* b = liste_.data() + e * kEintragGroesse;
    if (b[0] == 0) break;
    const bool folgejahr = b[0] & kBitFolgejahr, vorjahr = b[0] & kBitVorjahr;
    // The cells the first day is looked for in: the part of the grid holding the entry's month.
    int von = 0, bis = -1;
    if (b[2] == Vormonat() && !folgejahr && (monat_ != 1 || vorjahr)) {
      von = 0;
      bis = letzteVorzelle_;
    } else if (b[2] == monat_ && !(vorjahr && monat_ != 1) && !(folgejahr && monat_ != 12)) {
      von = letzteVorzelle_ + 1;
      bis = ersteFolgezelle_ - 1;
    } else if (b[2] == Folgemonat() && !vorjahr && (monat_ != 12 || folgejahr)) {
      von = ersteFolgezelle_;
      bis = kZellen - 1;
    }
    int start = -1;
    for (int i = von; i <= bis; ++i)
      if (tage_[size_t(i)] == int8_t(b[1])) {
        start = i;
        break;
      }
    if (start < 0) continue;
    for (int i = start; i < kZellen; ++i) {
      marker_[size_t(i)] = 1;
      if (tage_[size_t(i)] == int8_t(b[3])) break;
      if (i == kZellen - 1) {
        endeHinten_ = true;
        endeTag_ = b[3];
        endeMonat_ = b[4];
      }
    }
    gezeigt_ |= 1u << e;
  }
}

bool TKalenderModel::Get_Marker(int n) {
  if (!HatMonat()) return false;
  const int grenze = std::clamp(n, 0, kMaxEintraege);
  const int anzahl = AnzahlEintraege();
  auto alt = [&](int i) {
    TEintrag e;
    std::memcpy(e.b, liste_.data() + i * kEintragGroesse, kEintragGroesse);
    return e;
  };
  // The old entries not drawn in this month are kept, split into those before the month's
  // entries and those after them.
  std::array<TEintrag, kMaxEintraege> vorne{}, hinten{};
  int nVorne = 0, nHinten = 0;
  const uint32_t gezeigt = gezeigt_ & ((1u << anzahl) - 1);
  if (gezeigt != 0) {
    int erster = 0;
    while (!(gezeigt & (1u << erster))) ++erster;
    for (int i = 0; i < anzahl; ++i) {
      if (gezeigt & (1u << i)) continue;
      if (i < erster) vorne[size_t(nVorne++)] = alt(i);
      else hinten[size_t(nHinten++)] = alt(i);
    }
  } else {
    // Signed: the previous year's December (bit 7) counts as before any week.
    int letzter = -1;
    for (int i = 0; i < anzahl; ++i)
      if (int8_t(liste_[size_t(i * kEintragGroesse)]) < wochen_[2]) letzter = i;
    for (int i = 0; i < anzahl; ++i) {
      if (i <= letzter) vorne[size_t(nVorne++)] = alt(i);
      else hinten[size_t(nHinten++)] = alt(i);
    }
  }

  // Runs of marked cells. A run ends at a row end, except when it starts on that very cell.
  std::array<TEintrag, kZellen> neu{};
  int nNeu = 0;
  bool endeBenutzt = false;
  for (int i = 0; i < kZellen;) {
    if (!marker_[size_t(i)]) {
      ++i;
      continue;
    }
    int ende = i;
    while (ende < kZellen - 1 && !(ende % kSpalten == kSpalten - 1 && ende != i) && marker_[size_t(ende + 1)]) ++ende;
    uint8_t woche = uint8_t(wochen_[size_t(i / kSpalten)]);
    // The next year's first days can lie in week 52 or 53: the bit goes by month there too,
    // or the run would be read back as January of the shown year.
    if (monat_ == 12 && (woche < 10 || ZellMonat(i) == 1)) woche |= kBitFolgejahr;
    if (monat_ == 1 && ZellMonat(i) == 12) woche |= kBitVorjahr;
    TEintrag& e = neu[size_t(nNeu++)];
    e.b[0] = woche;
    e.b[1] = uint8_t(tage_[size_t(i)]);
    e.b[2] = uint8_t(ZellMonat(i));
    e.b[3] = uint8_t(tage_[size_t(ende)]);
    e.b[4] = uint8_t(ZellMonat(ende));
    if (ende == kZellen - 1 && endeHinten_) {
      e.b[3] = endeTag_;
      e.b[4] = endeMonat_;
      endeBenutzt = true;
    }
    i = ende + 1;
  }

  if (nVorne + nNeu + nHinten > grenze) {
    // Refused: the list stays, and the markers show it again.
    Platzieren();
    return true;
  }
  TEintragListe liste{};
  int k = 0;
  auto anhaengen = [&](const TEintrag& e) {
    std::memcpy(liste.data() + k * kEintragGroesse, e.b, kEintragGroesse);
    ++k;
  };
  for (int i = 0; i < nVorne; ++i) anhaengen(vorne[size_t(i)]);
  gezeigt_ = 0;
  for (int i = 0; i < nNeu; ++i) {
    gezeigt_ |= 1u << k;
    anhaengen(neu[size_t(i)]);
  }
  for (int i = 0; i < nHinten; ++i) anhaengen(hinten[size_t(i)]);
  liste_ = liste;
  endeHinten_ = endeBenutzt;
  return false;
}

bool TKalenderModel::Get_Eintraege(uint8_t* ziel, int n) {
  const int anzahl = std::clamp(n, 0, kMaxEintraege);
  if (!ziel || anzahl == 0) return false;
  const bool zuViele = Get_Marker(anzahl);
  std::memcpy(ziel, liste_.data(), size_t(anzahl * kEintragGroesse));
  return zuViele;
}

void TKalenderModel::Setze_Daten(const uint8_t* daten) {
  if (!daten) return;
  std::memmove(liste_.data(), daten, kListenGroesse);
  // The shown mask must describe this list, or the next edit would drop the wrong entries.
  Platzieren();
}

void TKalenderModel::Del_Eintraege() {
  liste_.fill(0);
  marker_.fill(0);
  gezeigt_ = 0;
  endeHinten_ = false;
}

void TKalenderModel::Del_Marker() {
  marker_.fill(0);
  if (edit_) {
    Get_Marker(kMaxEintraege);  // only removes entries, so it cannot overflow
  } else {
    // Hiding the markers must not make a later conversion drop the entries behind them.
    gezeigt_ = 0;
    endeHinten_ = false;
  }
}

TDateTime TKalenderModel::Get_Datum() const {
  if (!HatMonat() || markier_ == 0) return 0;
  return EncodeDate(jahr_, monat_, markier_);
}

bool TKalenderModel::Setze_Datum(TDateTime datum) {
  // A host's value may be anything: NaN or a huge number must not reach the date arithmetic.
  if (!(datum >= EncodeDate(kJahrMin, 1, 1) && datum < EncodeDate(kJahrMax + 1, 1, 1))) return false;
  int j = 0, m = 0, t = 0;
  DecodeDate(datum, j, m, t);
  if (HatMonat() && j == jahr_ && m == monat_) {
    markier_ = t;
    return true;
  }
  if (j < kJahrMin || j > kJahrMax) return false;
  return Init(uint16_t(j), uint16_t(m), t, nullptr);
}

bool TKalenderModel::Setze_Farbmodus(int modus) {
  if (modus == 1) {
    titelFarbe_ = RGB(0, 128, 255);
    titelSchrift_ = clWhite;
    bandFarbe_ = clYellow;
  } else if (modus == 2) {
    titelFarbe_ = clInfoBk;
    titelSchrift_ = clBlack;
    bandFarbe_ = clWhite;
  } else {
    return false;
  }
  return true;
}

bool TKalenderModel::VorigerErlaubt() const {
  if (!HatMonat()) return false;
  if (monat_ == 1) return !jahresBlock_ && liste_[0] == 0 && jahr_ > kJahrMin;
  return true;
}

bool TKalenderModel::NaechsterErlaubt() const {
  if (!HatMonat()) return false;
  if (monat_ == 12) return !jahresBlock_ && liste_[0] == 0 && jahr_ < kJahrMax;
  return true;
}

// Shows the neighbouring month; the highlight goes. In edit mode the markers are stored first.
bool TKalenderModel::Wechseln(int richtung, TKalenderAktion& a) {
  int j = jahr_, m = monat_ + richtung;
  if (m == 0) {
    m = 12;
    --j;
  } else if (m == 13) {
    m = 1;
    ++j;
  }
  if (j < kJahrMin || j > kJahrMax) return false;
  if (edit_) a.ZuViele = Get_Marker(kMaxEintraege);
  Init(uint16_t(j), uint16_t(m), 0, nullptr);
  a.NeuerMonat = true;
  return true;
}

TKalenderAktion TKalenderModel::VorigerMonat() {
  TKalenderAktion a;
  if (VorigerErlaubt()) Wechseln(-1, a);
  return a;
}

TKalenderAktion TKalenderModel::NaechsterMonat() {
  TKalenderAktion a;
  if (NaechsterErlaubt()) Wechseln(1, a);
  return a;
}

TKalenderAktion TKalenderModel::Klick(int x, int y, bool rechts) {
  TKalenderAktion a;
  // Only the six rows of the grid: the band above, the border below and anything right of
  // the last column would name no cell or one of another row.
  const int rechterRand = kZellBreite * (kSpalten + 1);
  const int unterRand = kZellHoehe * (kZeilen + 1);
  if (!HatMonat() || y <= kZellHoehe || y >= unterRand || x < 1 || x >= rechterRand) return a;
  const int zeile = (y - kZellHoehe) / kZellHoehe;
  const int spalte = x < kZellBreite ? 0 : (x - kZellBreite) / kZellBreite;
  const int index = zeile * kSpalten + spalte;

  if (edit_) {
    if (x > kWochenSpalteRechts) {
      marker_[size_t(index)] ^= 1;
    } else {
      const auto von = marker_.begin() + zeile * kSpalten, bis = von + kSpalten;
      const bool alle = std::all_of(von, bis, [](uint8_t v) { return v != 0; });
      std::fill(von, bis, alle ? 0 : 1);
    }
    a.Neuzeichnen = true;
    a.ZuViele = Get_Marker(kMaxEintraege);
    if (!a.ZuViele) a.Nachricht = kNachrichtMarker;
    return a;
  }

  if (x <= kZellBreite) return a;
  const int tag = tage_[size_t(index)];
  const bool vor = index <= letzteVorzelle_, nach = index >= ersteFolgezelle_;
  if ((vor && monat_ == 1 && jahresBlock_) || (nach && monat_ == 12 && jahresBlock_)) {
    a.Nachricht = kNachrichtTag;
    return a;
  }
  if ((vor || nach) && !Wechseln(vor ? -1 : 1, a)) return a;
  a.Nachricht = kNachrichtTag;
  a.WParam = int32_t(EncodeDate(jahr_, monat_, tag));
  a.LParam = rechts ? 1 : 0;
  return a;
}

std::string TKalenderModel::Titel() const {
  if (!HatMonat()) return {};
  return std::string(kMonatsNamen[monat_ - 1]) + " " + std::to_string(jahr_);
}

std::string TKalenderModel::HeuteText(TDateTime heute) {
  int j = 0, m = 0, t = 0;
  DecodeDate(heute, j, m, t);
  char s[40];
  std::snprintf(s, sizeof s, "   Heute: %02d.%02d.%04d", t, m, j);
  return s;
}

}  // namespace komp
