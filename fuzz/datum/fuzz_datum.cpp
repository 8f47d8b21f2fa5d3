// Drives a from/to pair of TZeit models with arbitrary texts for SetAnsi in every style and text
// form, arbitrary bytes as a pasted "TDateTime", arbitrary clock readings and key sequences.
// No QApplication.
//
// Checked after each step, for both fields: each field in its range or empty, a value that
// GetAnsi writes reads back through SetAnsi to the same fields and the same text, SetAnsi
// leaves a whole valid value or an empty one, a pasted value is accepted only as a date
// the field can hold and lands on that day.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/common/eingabe.h"
#include "components/datum/zeitmodel.h"

namespace {

using namespace komp;

using komp::fuzz::Eingabe;

bool Ganz(const TZeitModel& z) {
  if (z.Style() == zaDatum) return z.DateValid();
  if (z.Style() == zaUhr) return z.TimeSet();
  return z.DateValid() && z.TimeSet();
}

bool GleicheFelder(const TZeitModel& a, const TZeitModel& b) {
  const bool datum = a.Style() != zaUhr, zeit = a.Style() != zaDatum;
  return (!datum || (a.Tag == b.Tag && a.Monat == b.Monat && a.Jahr == b.Jahr)) &&
         (!zeit || (a.Stunde == b.Stunde && a.Minute == b.Minute));
}

void PruefeFelder(const TZeitModel& z) {
  Pruefe(z.Tag <= 31 && z.Monat <= 12 && z.Jahr <= 9999);
  Pruefe(z.Stunde >= -1 && z.Stunde <= 23 && z.Minute >= -1 && z.Minute <= 59);
  Pruefe(z.Position() >= -1 && z.Position() <= z.LastPosition());
  Pruefe(z.DatumText().size() == 10 && z.UhrText().size() == 5);
  if (z.DateValid()) Pruefe(z.Jahr >= 1900 && z.Tag >= 1 && z.Monat >= 1);
  // What GetAnsi writes for a whole value, SetAnsi reads back to the same fields and text.
  if (Ganz(z)) {
    const std::string text = z.GetAnsi();
    TZeitModel zurueck;
    zurueck.SetStyle(z.Style());
    zurueck.TextFormat = z.TextFormat;
    zurueck.NullZeit = z.NullZeit;
    zurueck.SetAnsi(text);
    Pruefe(GleicheFelder(z, zurueck));
    Pruefe(zurueck.GetAnsi() == text);
  }
}

// SetAnsi takes a whole valid value or empties the fields.
void PruefeGelesen(const TZeitModel& z) {
  Pruefe(!z.Change);
  if (z.Style() != zaUhr) Pruefe(z.DateValid() || (z.Tag == 0 && z.Monat == 0 && z.Jahr == 0));
  if (z.Style() != zaDatum) Pruefe(z.TimeSet() || (z.Stunde == -1 && z.Minute == -1));
  Pruefe(Ganz(z) || z.IsEmpty());
}

TZeitKey Taste(uint8_t b) {
  static const TZeitKey tasten[] = {TZeitKey::Digit, TZeitKey::Backspace, TZeitKey::Left, TZeitKey::Right,
                                    TZeitKey::Space, TZeitKey::Up,        TZeitKey::Down};
  return tasten[b % 7];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Eingabe in{data, size};
  TZeitModel von, bis;
  TZeitModel* felder[2] = {&von, &bis};
  const uint8_t kopf = in.Byte();
  for (TZeitModel* z : felder) {
    z->SetStyle(TZeitStyle(kopf % 3));
    z->TextFormat = kopf & 0x04;
    z->NullZeit = kopf & 0x08;
    z->Zeit_Datum = kopf & 0x10;
  }
  if (kopf & 0x20) {
    von.Von = true;
    von.Kombi = &bis;
    bis.Kombi = &von;
  }
  // A clock reading for "now": mostly a day within the years, sometimes anything at all.
  TDateTime jetzt = 46000.5;

  int schritte = 0;
  while (in.n > 0 && ++schritte < 300) {
    const uint8_t op = in.Byte();
    TZeitModel& z = *felder[op & 1];
    switch ((op >> 1) % 12) {
      case 0: {
        // Texts the size of the patterns and around it, bytes of any kind.
        z.SetAnsi(in.Bytes(in.Byte() % 24));
        PruefeGelesen(z);
        break;
      }
      case 1: {
        // Digits and the separators in the right places, so that the reading gets far.
        std::string s = in.Bytes(in.Byte() % 20);
        for (char& c : s)
          if (uint8_t(c) % 4) c = char('0' + uint8_t(c) % 10);
        if (z.TextFormat && s.size() > 5) s[2] = s[5] = '.';
        z.SetAnsi(s);
        PruefeGelesen(z);
        break;
      }
      case 2: {
        const int digit = in.Byte() % 12;  // 10 and 11 are no digits
        z.Key(Taste(in.Byte()), digit, jetzt);
        break;
      }
      case 3: {
        const std::string bytes = in.Bytes((op & 0x80) ? in.Byte() % 12 : 8);
        const auto v = TZeitModel::FromClipboardBytes(bytes);
        if (!v) break;
        Pruefe(bytes.size() == 8 && std::isfinite(*v) && *v >= 0);
        z.SetValue(*v);
        if (z.Style() != zaUhr) {
          Pruefe(z.DateValid());
          // Values are kept to the millisecond: within half of one before midnight is the next day.
          Pruefe(z.GetDateValue() == std::floor(*v + 0.5 / 86400000.0));
        }
        break;
      }
      case 4: z.SetPosition(in.Wort()); break;
      case 5:
        z.SetStyle(TZeitStyle(in.Byte() % 3));
        break;
      case 6:
        z.TextFormat = op & 0x40;
        z.NullZeit = op & 0x80;
        break;
      case 7: z.Minuten(in.Wort()); break;
      case 8: {
        jetzt = (op & 0x80) ? in.Double() : 2 + in.Wort() * 2.0 + in.Byte() / 256.0 + 36000;
        break;
      }
      case 9: z.Jetzt(jetzt); break;
      case 10: {
        std::optional<TZeitRange> r;
        switch (in.Byte() % 5) {
          case 0: r = TZeitModel::DieserMonat(jetzt); break;
          case 1: r = TZeitModel::LetzterMonat(jetzt); break;
          case 2: r = TZeitModel::DiesesJahr(jetzt); break;
          case 3: r = TZeitModel::LetztesJahr(jetzt); break;
          default: r = TZeitModel::Monatsauswahl(in.Byte() % 14, in.Wort()); break;
        }
        if (r) {
          Pruefe(r->Start <= r->Ende);
          z.ApplyRange(*r, op & 0x80);
        }
        break;
      }
      case 11:
        if (op & 0x80) z.FocusGained();
        else z.SetValue(in.Double());
        break;
    }
    PruefeFelder(von);
    PruefeFelder(bis);
  }
  return 0;
}
