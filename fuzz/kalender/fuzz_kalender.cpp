// Drives the calendar model with a hostile 45-byte host list and a run of operations: months and
// years (impossible ones too), clicks anywhere, marker toggles, mode and year block, navigation,
// entry reads into buffers of exactly their size. No QApplication.
//
// Checked after each step: the grid is a grid (days 1..31, weeks 1..53, month bounds in place),
// clicks off the six rows change nothing, an edit click toggles the cell the coordinates name,
// a refused run leaves the list as it was, stored markers read back from the list, a day
// message names a day of the month now shown. Reads and writes past any 45 bytes are left to
// the address sanitizer: every list lives on the heap at exactly its size.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "fuzz/common/eingabe.h"
#include "components/kalender/kalendermodel.h"

namespace {

using namespace komp;
namespace k = komp::kalender;

using komp::fuzz::Eingabe;

void PruefeGitter(const TKalenderModel& m) {
  if (!m.HatMonat()) return;
  Pruefe(m.Get_Monat() >= 1 && m.Get_Monat() <= 12);
  Pruefe(m.Get_Jahr() >= TKalenderModel::kJahrMin && m.Get_Jahr() <= TKalenderModel::kJahrMax);
  Pruefe(m.LetzteVorzelle() >= 0 && m.LetzteVorzelle() <= 6);
  Pruefe(m.ErsteFolgezelle() >= 28 + 1 && m.ErsteFolgezelle() <= 7 + 31);
  for (int i = 0; i < k::kZellen; ++i) {
    Pruefe(m.Tag(i) >= 1 && m.Tag(i) <= 31);
    if (i > 0) Pruefe(m.ZellDatum(i) == m.ZellDatum(i - 1) + 1);
  }
  for (int r = 0; r < k::kZeilen; ++r) Pruefe(m.Woche(r) >= 1 && m.Woche(r) <= 53);
  Pruefe(m.Markier() >= 0 && m.Markier() <= 31);
}

bool GleicheMarker(const TKalenderModel& a, const TKalenderModel& b) {
  for (int i = 0; i < k::kZellen; ++i)
    if (a.Marker(i) != b.Marker(i)) return false;
  return true;
}

// Markers just stored as entries come back when the list is placed again.
void PruefeGespeichert(const TKalenderModel& m) {
  TKalenderModel probe = m;
  const auto kopie = std::make_unique<uint8_t[]>(kListenGroesse);
  std::memcpy(kopie.get(), m.Get_Daten().data(), kListenGroesse);
  probe.Setze_Daten(kopie.get());
  for (int i = 0; i < k::kZellen; ++i)
    if (m.Marker(i)) Pruefe(probe.Marker(i));
}

// Whether the list holds only what the model wrote itself. A host's list may end a run on a day
// that comes earlier in the grid; such a list is only held to staying in bounds.
bool g_eigen = true;

void Klick(TKalenderModel& m, int x, int y, bool rechts) {
  const TKalenderModel vorher = m;
  const TKalenderAktion a = m.Klick(x, y, rechts);
  const bool imGitter = m.HatMonat() && x >= 1 && x < k::kZellBreite * (k::kSpalten + 1) && y > k::kZellHoehe &&
                        y < k::kZellHoehe * (k::kZeilen + 1);
  if (!imGitter) {
    Pruefe(a.Nachricht == 0 && !a.Neuzeichnen && !a.NeuerMonat && !a.ZuViele);
    Pruefe(m.Get_Daten() == vorher.Get_Daten() && GleicheMarker(m, vorher));
    Pruefe(m.Get_Monat() == vorher.Get_Monat() && m.Get_Jahr() == vorher.Get_Jahr());
    return;
  }
  const int zeile = (y - k::kZellHoehe) / k::kZellHoehe;
  const int spalte = x < k::kZellBreite ? 0 : (x - k::kZellBreite) / k::kZellBreite;
  const int index = zeile * k::kSpalten + spalte;
  Pruefe(index >= 0 && index < k::kZellen);
  if (vorher.Edit()) {
    Pruefe(a.Neuzeichnen && !a.NeuerMonat);
    if (a.ZuViele) {
      // Refused: other months' entries are not given up for the new run.
      Pruefe(a.Nachricht == 0 && m.Get_Daten() == vorher.Get_Daten());
      return;
    }
    Pruefe(a.Nachricht == kNachrichtMarker && a.WParam == 0 && a.LParam == 0);
    if (x > k::kWochenSpalteRechts) {
      for (int i = 0; i < k::kZellen; ++i) Pruefe(m.Marker(i) == (vorher.Marker(i) != (i == index)));
    } else {
      for (int i = 0; i < k::kZellen; ++i)
        if (i / k::kSpalten != zeile) Pruefe(m.Marker(i) == vorher.Marker(i));
    }
    if (g_eigen) PruefeGespeichert(m);
    return;
  }
  Pruefe(!a.Neuzeichnen || a.NeuerMonat);
  if (a.Nachricht == 0) return;
  Pruefe(a.Nachricht == kNachrichtTag);
  // Day number 0 is 30 December 1899 as well as the answer to a click that would leave the year.
  if (a.WParam == 0 && vorher.ZellDatum(index) != 0) {
    Pruefe(a.LParam == 0 && vorher.JahresBlock() && m.Get_Monat() == vorher.Get_Monat());
    return;
  }
  Pruefe(a.LParam == (rechts ? 1 : 0));
  Pruefe(TDateTime(a.WParam) == vorher.ZellDatum(index));
  int j = 0, mo = 0, t = 0;
  DecodeDate(a.WParam, j, mo, t);
  Pruefe(j == m.Get_Jahr() && mo == m.Get_Monat() && t == vorher.Tag(index));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Eingabe in{data, size};
  // The host's list: exactly 45 bytes, kept alive for the whole run as a host must.
  const auto gast = std::make_unique<uint8_t[]>(kListenGroesse);
  for (int i = 0; i < kListenGroesse; ++i) gast[size_t(i)] = in.Byte();

  TKalenderModel m;
  g_eigen = true;
  int schritte = 0;
  while (in.n > 0 && ++schritte < 200) {
    const uint8_t op = in.Byte();
    switch (op % 14) {
      case 0: {
        // Years around the limits and in the middle, months 0 to 15.
        const int16_t w = in.Wort();
        const uint16_t jahr = uint16_t(w < 0 ? 2000 + w % 40 : w);
        const uint16_t monat = in.Byte() % 16;
        const int markier = int8_t(in.Byte());
        const TKalenderModel vorher = m;
        const bool mitListe = op & 0x10;
        const bool ok = m.Init(jahr, monat, markier, mitListe ? gast.get() : nullptr);
        if (ok && mitListe) g_eigen = false;
        const bool moeglich = monat >= 1 && monat <= 12 && jahr >= TKalenderModel::kJahrMin &&
                              jahr <= TKalenderModel::kJahrMax;
        Pruefe(ok == moeglich);
        if (!ok) Pruefe(m.Get_Daten() == vorher.Get_Daten() && m.Get_Monat() == vorher.Get_Monat());
        break;
      }
      case 1:
      case 2:
      case 3: {
        // Mostly inside the image, sometimes far off.
        const bool weit = op & 0x80;
        const int x = weit ? in.Wort() : in.Byte() % 200 - 10;
        const int y = weit ? in.Wort() : in.Byte() % 170 - 10;
        Klick(m, x, y, op & 0x20);
        break;
      }
      case 4: {
        // The week column of a row.
        const int zeile = in.Byte() % 8;
        Klick(m, 1 + in.Byte() % k::kWochenSpalteRechts, k::kZellHoehe * zeile + 10, false);
        break;
      }
      case 5: m.Setze_Modus(op & 0x10); break;
      case 6: m.Setze_JahresBlock(op & 0x10); break;
      case 7: {
        const int monat = m.Get_Monat(), jahr = m.Get_Jahr();
        const bool erlaubt = (op & 0x10) ? m.NaechsterErlaubt() : m.VorigerErlaubt();
        const TKalenderAktion a = (op & 0x10) ? m.NaechsterMonat() : m.VorigerMonat();
        Pruefe(a.NeuerMonat == erlaubt && a.Nachricht == 0);
        if (!erlaubt) Pruefe(m.Get_Monat() == monat && m.Get_Jahr() == jahr);
        else Pruefe((m.Get_Jahr() * 12 + m.Get_Monat()) - (jahr * 12 + monat) == ((op & 0x10) ? 1 : -1));
        break;
      }
      case 8: {
        const int n = int8_t(in.Byte()) % 12;
        const TEintragListe vorher = m.Get_Daten();
        if (m.Get_Marker(n)) Pruefe(m.Get_Daten() == vorher);
        else if (g_eigen && m.HatMonat() && m.Edit() && n == kMaxEintraege) PruefeGespeichert(m);
        break;
      }
      case 9: m.Del_Marker(); break;
      case 10: {
        // The host changes its list and hands it over again.
        gast[in.Byte() % kListenGroesse] = in.Byte();
        m.Setze_Daten(gast.get());
        g_eigen = false;
        Pruefe(std::memcmp(m.Get_Daten().data(), gast.get(), kListenGroesse) == 0);
        break;
      }
      case 11: {
        // A destination of exactly the bytes asked for (none for counts out of range).
        const int n = int8_t(in.Byte()) % 12;
        const size_t groesse = size_t(n >= 1 && n <= kMaxEintraege ? n : n > kMaxEintraege ? kMaxEintraege : 0) *
                               kEintragGroesse;
        auto ziel = std::make_unique<uint8_t[]>(groesse + 1);
        m.Get_Eintraege(groesse ? ziel.get() : nullptr, n);
        if (groesse) Pruefe(std::memcmp(ziel.get(), m.Get_Daten().data(), groesse) == 0);
        break;
      }
      case 12: {
        const TDateTime d = (op & 0x10) ? in.Double() : TDateTime(in.Wort()) * 4 + in.Byte();
        const int monat = m.Get_Monat(), jahr = m.Get_Jahr();
        if (!m.Setze_Datum(d)) Pruefe(m.Get_Monat() == monat && m.Get_Jahr() == jahr);
        break;
      }
      case 13:
        if (op & 0x10) m.Del_Eintraege();
        else m.Setze_Farbmodus(op >> 5);
        break;
    }
    PruefeGitter(m);
    Pruefe(m.AnzahlEintraege() <= kMaxEintraege);
    Pruefe(m.Get_Daten().size() == size_t(kListenGroesse));
  }
  return 0;
}
