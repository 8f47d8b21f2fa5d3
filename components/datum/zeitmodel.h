// TZeit without a window: the five value fields, the digit cursor and its visiting order, the
// keyboard, validity, the value as TDateTime and as text, the from/to coupling, "Jetzt", the quick
// ranges, the clipboard bytes, the click-to-digit mapping, the layout numbers and the change delay.
// The control measures, paints, owns the timers, the menu and the picker, and asks the clock for
// "now"; everything it decides is here.
//
// Index
//   TZeitStyle, TZeitKey, TZeitKeyResult, TZeitLayout, TZeitRange
//   TZeitModel
//     fields and flags · style and cursor · Test and values · text forms · keyboard
//     partner · Minuten, Jetzt, ranges · clipboard · layout and mouse · focus · change delay
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/datetime.h"
#include "framework/types.h"

namespace komp {

enum TZeitStyle { zaDatum, zaUhr, zaBeides };

// The keys the field handles itself; the control maps keypad digits to Digit too. Tab and Enter
// move the focus (or call OnNextWindow) and belong to the control, which knows the tab order.
enum class TZeitKey { Digit, Backspace, Left, Right, Space, Up, Down };

struct TZeitKeyResult {
  bool handled = false;         // one of our keys: the control restarts the blink and repaints
  bool changed = false;         // the value was edited and Change is set: start the delayed notice
  bool partnerChanged = false;  // the partner took a new value: repaint it too
};

// Layout numbers from the measured "M" cell (Courier New at FontSize) and the caption width.
struct TZeitLayout {
  int w = 0, h = 0;      // digit cell
  int Hoehe = 0;         // control height
  int TitelBreite = 0;   // title area, 0 without caption
  int TextStart = 0;     // first part
  int ZweitStart = 0;    // second part in zaBeides (its text sits 3 pixels further right), else 0
  int Breite = 0;        // control width
  int KnopfX = 0;        // left edge of the drop-down button
};

struct TZeitRange {
  TDateTime Start = 0;
  TDateTime Ende = 0;
};

class TZeitModel {
 public:
  // The value. Empty: 0 for the date fields, -1 for the time fields. The keyboard keeps them in
  // range; whoever writes them directly (the picker) must too.
  uint16_t Tag = 0, Monat = 0, Jahr = 0;
  int16_t Stunde = -1, Minute = -1;

  bool Change = false;      // the user changed the value; SetValue and SetAnsi clear it
  bool NullZeit = false;    // an empty value reads "00000000" in the text getters
  bool TextFormat = false;  // text getters write "DD.MM.YYYY" and "HH:MM"
  bool Zeit_Datum = false;  // zaBeides: the time comes first, on screen and in the visiting order
  bool Von = false;         // the "from" end of a pair
  TZeitModel* Kombi = nullptr;  // partner of a from/to pair; each field points at the other

  // --- style and cursor ----------------------------------------------------------------------
  TZeitStyle Style() const { return style_; }
  void SetStyle(TZeitStyle s);
  // 7 in zaDatum, 3 in zaUhr, 11 in zaBeides.
  int LastPosition() const;
  // The digit under the cursor; -1: no cursor, and the keys do nothing.
  int Position() const { return pos_; }
  void SetPosition(int p);  // clamped to -1 .. LastPosition()
  // Zeit_Datum only takes effect where there is a time to put first.
  bool TimeFirst() const { return Zeit_Datum && style_ == zaBeides; }
  bool IsEmpty() const;  // all five fields empty
  void Clear();          // empties all five fields

  // --- validity and values -------------------------------------------------------------------
  // Mode 1 accepts an incomplete date. Unless the mode is 2, a failure moves the cursor to the
  // failing digit: 4 for a year before 1900, else 0.
  bool Test(int mode);
  bool DateValid() const;  // day, month and year form a date within 1900..9999
  bool TimeSet() const { return Stunde >= 0 && Minute >= 0; }
  // -1 when empty; the date counts outside zaUhr, the time outside zaDatum. zaBeides with an
  // empty date but a time gives -1 plus the time of day.
  TDateTime GetValue() const;
  TDateTime GetDateValue() const;  // -1 unless the date is valid
  TDateTime GetTimeValue() const;  // -1 unless hour and minute are set
  // Fills the fields the style shows, clears Change and, for a usable value, moves the partner.
  // Not finite, outside the years 1900..9999 or (date styles) a day number of 0 or less empties
  // the fields instead.
  void SetValue(TDateTime v);

  // --- text forms ----------------------------------------------------------------------------
  // Compact: YYYYMMDD and HHMM00; with TextFormat DD.MM.YYYY and HH:MM, joined without a space.
  // Empty or invalid: "00000000" with NullZeit, else "NULL" (compact) or "" (TextFormat).
  std::string GetAnsi() const;
  std::string GetDateAnsi(int offsetDays = 0) const;
  std::string GetTimeAnsi() const;
  // Reads what GetAnsi writes. A short text, a non-digit, a missing separator (TextFormat), an
  // impossible date or time empties the value. Clears Change; a usable value moves the partner.
  void SetAnsi(std::string_view text);
  // What the painter draws: "DD.MM.YYYY" and "HH:MM", underscores for an empty field.
  std::string DatumText() const;
  std::string UhrText() const;
  // The first part (0) is drawn at the text start, the second (1; zaBeides only, else empty)
  // at the second start.
  std::string PartText(int part) const;
  int PartCount() const { return style_ == zaBeides ? 2 : 1; }
  std::string Shown() const;  // the parts joined by one space, as read on screen

  // --- keyboard ------------------------------------------------------------------------------
  // One key-down. `digit` is used for TZeitKey::Digit; `now` fills an empty field first.
  TZeitKeyResult Key(TZeitKey key, int digit, TDateTime now);

  // --- Minuten, Jetzt, ranges ----------------------------------------------------------------
  // Adds n minutes (negative too); an empty hour or minute counts as 0. An empty or invalid
  // date stays as it is. False, and nothing changed, when the date would leave 1900..9999.
  bool Minuten(int n);
  // The current date into the date fields (unless zaUhr), hour and minute into the time fields
  // (unless zaDatum); sets Change. False for a `now` that is no date.
  bool Jetzt(TDateTime now);
  // First day 00:00 to last day 23:59:59.999; none when the range leaves 1900..9999.
  static std::optional<TZeitRange> DieserMonat(TDateTime now);
  static std::optional<TZeitRange> LetzterMonat(TDateTime now);
  static std::optional<TZeitRange> Monatsauswahl(int month, int year);
  static std::optional<TZeitRange> DiesesJahr(TDateTime now);
  static std::optional<TZeitRange> LetztesJahr(TDateTime now);
  // The month and year the month dialog starts with: the field's, or those of `now`.
  void MonatsVorgabe(TDateTime now, int& month, int& year) const;
  // Puts a range into the pair: a "from" field takes the start into its own fields (hour and
  // minute to 0 unless keepTime) and hands the end to the partner; a "to" field takes the end and
  // hands the start over. Sets Change. Does nothing in zaUhr (false).
  bool ApplyRange(const TZeitRange& r, bool keepTime);

  // --- clipboard -----------------------------------------------------------------------------
  // The "TDateTime" format: the 8 bytes of a little-endian double.
  static std::string ToClipboardBytes(TDateTime v);
  // Pasted data is foreign: exactly 8 bytes, finite, within the years 1900..9999.
  static std::optional<TDateTime> FromClipboardBytes(std::string_view bytes);

  // --- layout and mouse ----------------------------------------------------------------------
  // From the "M" cell (w, h) and the caption's width in its bold font; no caption: hasCaption false.
  TZeitLayout Layout(int w, int h, bool hasCaption, int captionWidth) const;
  // The digit under a left click at x; -1 on the title.
  int ColumnToPosition(int x, const TZeitLayout& l) const;
  // The inverted cursor cell of a digit position; empty for -1.
  TRect CursorCell(int pos, const TZeitLayout& l) const;

  // --- focus ---------------------------------------------------------------------------------
  // On focus gain: to the start of the first part, then to the first empty part (unless -1).
  void FocusGained();

  // --- change delay --------------------------------------------------------------------------
  // Each keystroke (re)starts the change timer with the returned delay: 400, 1000, 1600, 1600...
  int Changing();
  // The timer fired: the next run starts at 400 again.
  void ChangeFired() { delay_ = 400; }
  int ChangeDelay() const { return delay_; }

 private:
  bool CheckDate(int& failPos) const;
  bool Usable(int mode) const;
  void SyncPartner();
  bool PartnerCorrection();
  int StepRight(int p) const;
  int StepLeft(int p) const;
  bool SetDate(TDateTime d);
  std::string EmptyText() const;
  std::string DateText(TDateTime d) const;
  std::string TimeText() const;

  TZeitStyle style_ = zaDatum;
  int pos_ = 0;
  int delay_ = 400;
  bool syncing_ = false;  // pushing our value into the partner; it must not push back meanwhile
};

}  // namespace komp
