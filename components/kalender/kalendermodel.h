// The duty-day calendar without a window: the month's 42 cells with week numbers, the markers,
// the 45-byte entry list, navigation, the year block and what a click on the day image means.
// TKalender paints this state and sends the messages a click result asks for.
//
//   geometry     image size, cell origins, label positions (shared by painter and click mapping)
//   texts        month and weekday names, the too-many message, the message offsets
//   TKalenderAktion   what the control does after a click or a month switch
//   TKalenderModel    the state and its operations
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "framework/datetime.h"
#include "framework/types.h"

namespace komp {

namespace kalender {

// The off-screen day image. Row r and column c (both from 1) have their cell origin at
// (22 * c, 20 * r); row 0 is the weekday band, column 0 the week numbers.
constexpr int kBildBreite = 178;
constexpr int kBildHoehe = 141;
constexpr int kZellBreite = 22;
constexpr int kZellHoehe = 20;
constexpr int kSpalten = 7;
constexpr int kZeilen = 6;
constexpr int kZellen = 42;
constexpr int kWochenSpalteRechts = 21;  // x of the line right of the week numbers
constexpr int kTitelHoehe = 20;          // the title line on the control itself
constexpr int kListeLinks = 11, kListeRechts = 69;  // presses on the title here open the month list

// Origin of grid cell `index` (0 to 41) on the image.
constexpr TPoint ZellUrsprung(int index) {
  return {kZellBreite * (index % kSpalten + 1), kZellHoehe * (index / kSpalten + 1)};
}
// Inside of a cell, filled with its background and inverted when marked.
constexpr TRect ZellInnen(int index) {
  const TPoint o = ZellUrsprung(index);
  return {o.x + 2, o.y + 2, o.x + 21, o.y + 18};
}
// Frame of a cell.
constexpr TRect ZellRahmen(int index) {
  const TPoint o = ZellUrsprung(index);
  return {o.x + 1, o.y + 1, o.x + 22, o.y + 19};
}
// Text position of a day number in cell `index`: one-digit numbers sit further right.
constexpr TPoint TagText(int index, int tag) {
  const TPoint o = ZellUrsprung(index);
  return {o.x + (tag >= 10 ? 3 : 7), o.y + 2};
}
// Text position of the week number of row `zeile` (0 to 5).
constexpr TPoint WochenText(int zeile, int woche) {
  return {woche >= 10 ? 2 : 7, kZellHoehe * (zeile + 1) + 2};
}
// Text position of the weekday name of column `spalte` (0 = Monday).
constexpr TPoint WochentagText(int spalte) { return {25 + kZellBreite * spalte, 2}; }

}  // namespace kalender

// Weekday abbreviations in code page 1252 (the month names are the framework's kMonatsNamen).
extern const char* const kWochentagNamen[7];

constexpr const char* kZuVieleText =
    "Zu viele Bereitschaftseintr\xE4ge im Kalender! Ich kann maximal nur 9 Eintr\xE4ge verarbeiten.\n"
    "Alle Eintr\xE4ge dar\xFC" "ber wurden gel\xF6scht";
constexpr const char* kZuVieleTitel = "Kann ich nicht!";

// Offsets to the application message base of the messages sent to the active window.
constexpr int kNachrichtTag = 400;     // a day was clicked (or a click would leave the year: 0, 0)
constexpr int kNachrichtMarker = 401;  // markers changed in edit mode

// One entry: week byte with the year bits, first day, its month, last day, its month.
constexpr int kEintragGroesse = 5;
constexpr int kMaxEintraege = 9;
constexpr int kListenGroesse = kEintragGroesse * kMaxEintraege;  // 45
constexpr uint8_t kBitFolgejahr = 0x40;   // December shown, week of the next year
constexpr uint8_t kBitVorjahr = 0x80;     // January shown, run starts in December
using TEintragListe = std::array<uint8_t, kListenGroesse>;

// What the control must do, in this order: show the too-many message box, redraw (everything
// when the month changed, else the grid), then send the message, if any.
struct TKalenderAktion {
  bool Neuzeichnen = false;
  bool NeuerMonat = false;
  bool ZuViele = false;
  int Nachricht = 0;  // 0, kNachrichtTag or kNachrichtMarker
  int32_t WParam = 0;
  int32_t LParam = 0;
};

class TKalenderModel {
 public:
  // Years whose grids, with the neighbouring months, stay inside the date range.
  static constexpr int kJahrMin = 2, kJahrMax = 9998;

  // Lays out the month and places the entries. `liste` is null or points to 45 bytes the host
  // keeps alive; it is remembered, and only ever read, 45 bytes at a time. Given a list, its
  // bytes become the calendar's list; without one, display mode re-reads the remembered host
  // list, edit mode keeps the calendar's own (edited) list. False for an impossible month,
  // which leaves everything as it was.
  bool Init(uint16_t jahr, uint16_t monat, int markier, const uint8_t* liste);

  // ISO 8601 week of the date; the year is not needed for that and is accepted for the host.
  static int Get_Kalenderwoche(int jahr, TDateTime datum);

  // Replaces the list (45 bytes read) and shows it in the current month.
  void Setze_Daten(const uint8_t* daten);
  const TEintragListe& Get_Daten() const { return liste_; }
  // Get_Marker(n), then 5 * n bytes of the list to `ziel`; n is bounded to 0..9.
  // True: the too-many message must be shown.
  bool Get_Eintraege(uint8_t* ziel, int n);
  void Del_Eintraege();
  // Converts the shown month's markers into entries, keeping the other months' entries.
  // When that would need more than n (at most 9) entries nothing is stored, the markers go
  // back to what the list says, and the result is true: show the too-many message.
  bool Get_Marker(int n);
  // Clears all markers; in edit mode that removes the shown month's entries from the list.
  void Del_Marker();

  void Setze_Modus(bool edit) { edit_ = edit; }
  bool Edit() const { return edit_; }
  TDateTime Get_Datum() const;
  // Shows the date's month with its day highlighted; within the shown month only the highlight
  // moves. False when the date cannot be shown.
  bool Setze_Datum(TDateTime datum);
  void Setze_JahresBlock(bool an) { jahresBlock_ = an; }
  bool JahresBlock() const { return jahresBlock_; }
  // Colour mode 1 or 2; false (and nothing changed) for other values.
  bool Setze_Farbmodus(int modus);

  int Get_Jahr() const { return jahr_; }
  int Get_Monat() const { return monat_; }
  bool HatMonat() const { return jahr_ != 0; }

  // Month navigation (SpeedButton1Click, SpeedButton2Click). Blocked in January or December when
  // the year block is on or the list has entries (entries never span two years).
  bool VorigerErlaubt() const;
  bool NaechsterErlaubt() const;
  TKalenderAktion VorigerMonat();
  TKalenderAktion NaechsterMonat();

  // A press on the day image at (x, y) (ZFMouseDown).
  TKalenderAktion Klick(int x, int y, bool rechts);

  // "Februar 2021"; empty before the first Init.
  std::string Titel() const;
  // "   Heute: 08.12.2026" for the given clock reading.
  static std::string HeuteText(TDateTime heute);

  int Tag(int index) const { return tage_[size_t(index)]; }
  int Woche(int zeile) const { return wochen_[size_t(zeile)]; }
  bool Marker(int index) const { return marker_[size_t(index)] != 0; }
  int ErsteWoche() const { return ersteWoche_; }
  // Cells strictly between these two belong to the shown month.
  int LetzteVorzelle() const { return letzteVorzelle_; }
  int ErsteFolgezelle() const { return ersteFolgezelle_; }
  bool ImMonat(int index) const { return index > letzteVorzelle_ && index < ersteFolgezelle_; }
  int ZellMonat(int index) const;
  TDateTime ZellDatum(int index) const { return ersterTag_ + index; }
  int Markier() const { return markier_; }
  // Drawn highlighted: the highlight day of the shown month, in display mode only.
  bool Hervorgehoben(int index) const {
    return !edit_ && markier_ != 0 && ImMonat(index) && tage_[size_t(index)] == markier_;
  }
  uint32_t Gezeigt() const { return gezeigt_; }
  const uint8_t* HostListe() const { return host_; }
  int AnzahlEintraege() const;

  TColor TitelFarbe() const { return titelFarbe_; }
  TColor TitelSchrift() const { return titelSchrift_; }
  TColor BandFarbe() const { return bandFarbe_; }

 private:
  struct TEintrag {
    uint8_t b[kEintragGroesse];
  };
  void Anordnen();
  void Platzieren();
  bool Wechseln(int richtung, TKalenderAktion& a);
  int Vormonat() const { return monat_ == 1 ? 12 : monat_ - 1; }
  int Folgemonat() const { return monat_ == 12 ? 1 : monat_ + 1; }

  int jahr_ = 0, monat_ = 0, markier_ = 0;
  TDateTime ersterTag_ = 0;  // date of cell 0
  std::array<int8_t, kalender::kZellen> tage_{};
  std::array<int8_t, kalender::kZeilen> wochen_{};
  std::array<uint8_t, kalender::kZellen> marker_{};
  int letzteVorzelle_ = -1, ersteFolgezelle_ = kalender::kZellen;
  int ersteWoche_ = 0;
  TEintragListe liste_{};
  const uint8_t* host_ = nullptr;
  uint32_t gezeigt_ = 0;
  // An entry placed up to the last cell whose end lies beyond the grid: the run that reaches
  // the last cell keeps that end, so editing a month does not cut the next one's days.
  bool endeHinten_ = false;
  uint8_t endeTag_ = 0, endeMonat_ = 0;
  bool edit_ = true;
  bool jahresBlock_ = false;
  TColor titelFarbe_ = RGB(0, 128, 255), titelSchrift_ = clWhite, bandFarbe_ = clYellow;
};

}  // namespace komp
