// TZeitModel, in the order of the header: style and cursor, validity and values, text forms,
// keyboard, partner, Minuten/Jetzt/ranges, clipboard, layout and mouse, focus, change delay.
//
// Call flow of a keystroke: Key -> (Jetzt when empty) -> EditDigit -> cursor step -> Change ->
// PartnerCorrection -> partner's SetValue -> its SyncPartner (stopped by syncing_).
#include "components/datum/zeitmodel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace komp {

namespace {
constexpr TDateTime kFirstDay = 2;           // 1 January 1900
constexpr TDateTime kAfterLastDay = 2958466;  // 1 January 10000

// Day numbers outside this window would overflow the decoder's integers; everything inside it is
// checked by decoding.
bool Decodable(TDateTime v) { return std::isfinite(v) && v > -kAfterLastDay && v < kAfterLastDay; }

bool YearOf(TDateTime v, int& y, int& m, int& d) {
  if (!Decodable(v)) return false;
  DecodeDate(v, y, m, d);
  return y >= 1900 && y <= 9999;
}

TDateTime EndOfDay() { return EncodeTime(23, 59, 59, 999); }

void Put(std::string& out, int v, int digits) {
  char buf[4];
  for (int i = digits - 1; i >= 0; --i, v /= 10) buf[i] = char('0' + v % 10);
  out.append(buf, size_t(digits));
}

// A field shown in its digit places, or underscores when empty.
void PutField(std::string& out, int v, bool empty, int digits) {
  if (empty) out.append(size_t(digits), '_');
  else Put(out, v, digits);
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }
}  // namespace

// --- style and cursor ------------------------------------------------------------------------

void TZeitModel::SetStyle(TZeitStyle s) {
  style_ = s;
  pos_ = std::min(pos_, LastPosition());
}

int TZeitModel::LastPosition() const { return style_ == zaDatum ? 7 : style_ == zaUhr ? 3 : 11; }

void TZeitModel::SetPosition(int p) { pos_ = std::clamp(p, -1, LastPosition()); }

bool TZeitModel::IsEmpty() const { return Tag == 0 && Monat == 0 && Jahr == 0 && Stunde < 0 && Minute < 0; }

void TZeitModel::Clear() {
  Tag = Monat = Jahr = 0;
  Stunde = Minute = -1;
}

// --- validity and values ---------------------------------------------------------------------

bool TZeitModel::CheckDate(int& failPos) const {
  failPos = 0;
  if (Jahr < 1900 || Jahr > 9999) {
    failPos = 4;
    return false;
  }
  return Monat >= 1 && Monat <= 12 && Tag >= 1 && Tag <= DaysInMonth(Jahr, Monat);
}

bool TZeitModel::DateValid() const {
  int fail = 0;
  return Tag != 0 && Monat != 0 && Jahr != 0 && CheckDate(fail);
}

bool TZeitModel::Usable(int mode) const {
  if (style_ != zaUhr && Tag != 0 && Monat != 0 && Jahr != 0) return DateValid();
  return mode == 1 || (style_ == zaUhr && TimeSet());
}

bool TZeitModel::Test(int mode) {
  int fail = 0;
  bool ok;
  // zaUhr has no date to complain about, so the failure is always at its first digit.
  if (style_ != zaUhr && Tag != 0 && Monat != 0 && Jahr != 0) ok = CheckDate(fail);
  else ok = Usable(mode);
  if (!ok && mode != 2 && pos_ >= 0) pos_ = fail;
  return ok;
}

TDateTime TZeitModel::GetValue() const {
  TDateTime v = -1;
  if (style_ != zaUhr && DateValid()) v = EncodeDate(Jahr, Monat, Tag);
  if (style_ == zaDatum || !TimeSet()) return v;
  if (style_ == zaUhr) v = 0;
  return v + EncodeTime(Stunde, Minute, 0, 0);
}

TDateTime TZeitModel::GetDateValue() const { return DateValid() ? EncodeDate(Jahr, Monat, Tag) : -1; }

TDateTime TZeitModel::GetTimeValue() const { return TimeSet() ? EncodeTime(Stunde, Minute, 0, 0) : -1; }

bool TZeitModel::SetDate(TDateTime d) {
  int y = 0, m = 0, day = 0;
  if (!YearOf(d, y, m, day)) return false;
  Jahr = uint16_t(y);
  Monat = uint16_t(m);
  Tag = uint16_t(day);
  return true;
}

void TZeitModel::SetValue(TDateTime v) {
  bool ok = Decodable(v);
  if (style_ != zaUhr) {
    // Day 1 is 31 December 1899: not a year the field can hold.
    if (!ok || std::trunc(v) <= 0 || !SetDate(v)) {
      Tag = Monat = Jahr = 0;
      ok = false;
    }
  } else if (ok && std::trunc(v) < 0) {
    ok = false;
  }
  if (style_ != zaDatum) {
    if (ok) {
      int h = 0, m = 0, s = 0, ms = 0;
      DecodeTime(v, h, m, s, ms);
      Stunde = int16_t(h);
      Minute = int16_t(m);
    } else {
      Stunde = Minute = -1;
    }
  }
  Change = false;
  if (ok) SyncPartner();
}

// --- text forms ------------------------------------------------------------------------------

std::string TZeitModel::EmptyText() const {
  if (NullZeit) return "00000000";
  return TextFormat ? "" : "NULL";
}

std::string TZeitModel::DateText(TDateTime d) const {
  int y = 0, m = 0, day = 0;
  DecodeDate(d, y, m, day);
  std::string s;
  if (TextFormat) {
    Put(s, day, 2);
    s += '.';
    Put(s, m, 2);
    s += '.';
    Put(s, y, 4);
  } else {
    Put(s, y, 4);
    Put(s, m, 2);
    Put(s, day, 2);
  }
  return s;
}

std::string TZeitModel::TimeText() const {
  std::string s;
  Put(s, Stunde, 2);
  if (TextFormat) s += ':';
  Put(s, Minute, 2);
  if (!TextFormat) s += "00";
  return s;
}

std::string TZeitModel::GetAnsi() const {
  std::string out;
  if (style_ != zaUhr) {
    if (!DateValid()) return EmptyText();
    out = DateText(GetDateValue());
  }
  if (style_ != zaDatum) {
    if (!TimeSet()) return EmptyText();
    out += TimeText();
  }
  return out;
}

std::string TZeitModel::GetDateAnsi(int offsetDays) const {
  if (!DateValid()) return EmptyText();
  const TDateTime d = GetDateValue() + offsetDays;
  int y = 0, m = 0, day = 0;
  if (!YearOf(d, y, m, day)) return EmptyText();
  return DateText(d);
}

std::string TZeitModel::GetTimeAnsi() const { return TimeSet() ? TimeText() : EmptyText(); }

void TZeitModel::SetAnsi(std::string_view text) {
  // The texts GetAnsi writes, one letter per digit: D day, M month, Y year, h hour, m minute.
  std::string pattern;
  if (style_ != zaUhr) pattern = TextFormat ? "DD.MM.YYYY" : "YYYYMMDD";
  if (style_ != zaDatum) pattern += TextFormat ? "hh:mm" : "hhmm";

  int day = 0, month = 0, year = 0, hour = 0, minute = 0;
  // "00000000" is the empty value written with NullZeit; in zaUhr it would otherwise read 00:00.
  bool ok = text.size() >= pattern.size() && text != "00000000";
  for (size_t i = 0; ok && i < pattern.size(); ++i) {
    const char p = pattern[i], c = text[i];
    int* field = p == 'D' ? &day : p == 'M' ? &month : p == 'Y' ? &year : p == 'h' ? &hour : p == 'm' ? &minute : nullptr;
    if (!field) ok = c == p;
    else if (c >= '0' && c <= '9') *field = *field * 10 + (c - '0');
    else ok = false;
  }
  Clear();
  if (ok && style_ != zaUhr) {
    Tag = uint16_t(day);
    Monat = uint16_t(month);
    Jahr = uint16_t(year);
    ok = DateValid();
  }
  if (ok && style_ != zaDatum) {
    ok = hour <= 23 && minute <= 59;
    Stunde = int16_t(hour);
    Minute = int16_t(minute);
  }
  if (!ok) Clear();
  Change = false;
  if (ok) SyncPartner();
}

std::string TZeitModel::DatumText() const {
  std::string s;
  PutField(s, Tag % 100, Tag == 0, 2);
  s += '.';
  PutField(s, Monat % 100, Monat == 0, 2);
  s += '.';
  PutField(s, Jahr % 10000, Jahr == 0, 4);
  return s;
}

std::string TZeitModel::UhrText() const {
  std::string s;
  PutField(s, Stunde % 100, Stunde < 0, 2);
  s += ':';
  PutField(s, Minute % 100, Minute < 0, 2);
  return s;
}

std::string TZeitModel::PartText(int part) const {
  if (part == 0) return style_ == zaUhr || TimeFirst() ? UhrText() : DatumText();
  if (part == 1 && style_ == zaBeides) return TimeFirst() ? DatumText() : UhrText();
  return {};
}

std::string TZeitModel::Shown() const { return style_ == zaBeides ? PartText(0) + ' ' + PartText(1) : PartText(0); }

// --- keyboard --------------------------------------------------------------------------------

int TZeitModel::StepRight(int p) const {
  if (TimeFirst()) return p == 7 ? 7 : p == 11 ? 0 : p + 1;
  return std::min(p + 1, LastPosition());
}

int TZeitModel::StepLeft(int p) const {
  if (TimeFirst()) return p == 8 ? 8 : p == 0 ? 11 : p - 1;
  return std::max(p - 1, 0);
}

TZeitKeyResult TZeitModel::Key(TZeitKey key, int digit, TDateTime now) {
  TZeitKeyResult r;
  if (pos_ < 0 || (key == TZeitKey::Digit && (digit < 0 || digit > 9))) return r;
  r.handled = true;
  switch (key) {
    case TZeitKey::Right: pos_ = StepRight(pos_); return r;
    case TZeitKey::Left: pos_ = StepLeft(pos_); return r;
    case TZeitKey::Space: pos_ = style_ == zaBeides && pos_ < 8 ? 8 : 0; return r;
    default: break;
  }
  const bool arrow = key == TZeitKey::Up || key == TZeitKey::Down;
  // Typing into an empty field starts from now; an arrow only fills it.
  const bool filled = key != TZeitKey::Backspace && IsEmpty() && Jetzt(now);
  if (!(filled && arrow)) {
    const int p = style_ == zaUhr ? pos_ + 8 : pos_;
    const bool year = p >= 4 && p < 8;
    int value, max, place;
    if (p < 2) value = Tag, max = 31, place = p == 0 ? 10 : 1;
    else if (p < 4) value = Monat, max = 12, place = p == 2 ? 10 : 1;
    else if (year) value = Jahr, max = 9999, place = p == 4 ? 1000 : p == 5 ? 100 : p == 6 ? 10 : 1;
    else if (p < 10) value = std::max<int>(Stunde, 0), max = 23, place = p == 8 ? 10 : 1;
    else value = std::max<int>(Minute, 0), max = 59, place = p == 10 ? 10 : 1;

    if (key == TZeitKey::Up) {
      value = std::min(value + place, max);
      if (year && value < 1900) value = 1900;
    } else if (key == TZeitKey::Down) {
      value -= place;
      if (value < (year ? 1900 : 0)) value = 0;
    } else {
      const int d = key == TZeitKey::Backspace ? 0 : digit;
      value += (d - value / place % 10) * place;
    }
    value = std::min(value, max);

    if (p < 2) Tag = uint16_t(value);
    else if (p < 4) Monat = uint16_t(value);
    else if (year) Jahr = uint16_t(value);
    else if (p < 10) Stunde = int16_t(value);
    else Minute = int16_t(value);
  }
  // Backspace steps back like the left arrow, so with the time first it never lands in the date.
  if (key == TZeitKey::Backspace) pos_ = StepLeft(pos_);
  else if (key == TZeitKey::Digit) pos_ = StepRight(pos_);
  Change = true;
  r.changed = true;
  r.partnerChanged = PartnerCorrection();
  return r;
}

// --- partner ---------------------------------------------------------------------------------

void TZeitModel::SyncPartner() {
  TZeitModel* p = Kombi;
  // A partner that is pushing its value into us right now must not be pushed back: with
  // different styles the two values never agree exactly and would wear each other down.
  if (!p || p == this || p->syncing_) return;
  const TDateTime v = GetValue(), pv = p->GetValue();
  if (Von ? pv < v : pv > v) {
    syncing_ = true;
    p->SetValue(v);
    syncing_ = false;
  }
}

bool TZeitModel::PartnerCorrection() {
  TZeitModel* p = Kombi;
  if (!p || p == this) return false;
  const TDateTime v = GetValue();
  if (!(std::trunc(v) > 0)) return false;
  const TDateTime pv = p->GetValue();
  if (!(Von ? v > pv : v < pv)) return false;
  if (Von || pos_ < 8 || std::floor(v) != std::floor(pv)) {
    if (p->Change) return false;  // the user set the partner himself
    syncing_ = true;
    p->SetValue(v);
    syncing_ = false;
    return true;
  }
  // A "to" time before the "from" time on the same day means the next day.
  if (v + 1 >= kAfterLastDay) return false;
  SetValue(v + 1);
  Change = true;  // still the user's edit
  return false;
}

// --- Minuten, Jetzt, ranges ------------------------------------------------------------------

bool TZeitModel::Minuten(int n) {
  const bool dated = style_ != zaUhr && DateValid();
  const int64_t day = dated ? int64_t(GetDateValue()) : 0;
  const int64_t total = day * 1440 + std::max<int>(Stunde, 0) * 60 + std::max<int>(Minute, 0) + n;
  const int64_t newDay = FloorDiv(total, 1440);
  const int64_t ofDay = total - newDay * 1440;
  if (dated && !SetDate(TDateTime(newDay))) return false;
  Stunde = int16_t(ofDay / 60);
  Minute = int16_t(ofDay % 60);
  return true;
}

bool TZeitModel::Jetzt(TDateTime now) {
  int y = 0, m = 0, d = 0;
  if (!YearOf(now, y, m, d)) return false;
  if (style_ != zaUhr) SetDate(now);
  if (style_ != zaDatum) {
    int h = 0, mi = 0, s = 0, ms = 0;
    DecodeTime(now, h, mi, s, ms);
    Stunde = int16_t(h);
    Minute = int16_t(mi);
  }
  Change = true;
  return true;
}

namespace {
std::optional<TZeitRange> MonthRange(int year, int month) {
  if (year < 1900 || year > 9999 || month < 1 || month > 12) return std::nullopt;
  return TZeitRange{EncodeDate(year, month, 1), EncodeDate(year, month, DaysInMonth(year, month)) + EndOfDay()};
}

std::optional<TZeitRange> YearRange(int year) {
  if (year < 1900 || year > 9999) return std::nullopt;
  return TZeitRange{EncodeDate(year, 1, 1), EncodeDate(year, 12, 31) + EndOfDay()};
}
}  // namespace

std::optional<TZeitRange> TZeitModel::DieserMonat(TDateTime now) {
  int y = 0, m = 0, d = 0;
  if (!YearOf(now, y, m, d)) return std::nullopt;
  return MonthRange(y, m);
}

std::optional<TZeitRange> TZeitModel::LetzterMonat(TDateTime now) {
  int y = 0, m = 0, d = 0;
  if (!YearOf(now, y, m, d)) return std::nullopt;
  return m == 1 ? MonthRange(y - 1, 12) : MonthRange(y, m - 1);
}

std::optional<TZeitRange> TZeitModel::Monatsauswahl(int month, int year) { return MonthRange(year, month); }

std::optional<TZeitRange> TZeitModel::DiesesJahr(TDateTime now) {
  int y = 0, m = 0, d = 0;
  if (!YearOf(now, y, m, d)) return std::nullopt;
  return YearRange(y);
}

std::optional<TZeitRange> TZeitModel::LetztesJahr(TDateTime now) {
  int y = 0, m = 0, d = 0;
  if (!YearOf(now, y, m, d)) return std::nullopt;
  return YearRange(y - 1);
}

void TZeitModel::MonatsVorgabe(TDateTime now, int& month, int& year) const {
  if (Monat >= 1 && Monat <= 12 && Jahr >= 1900 && Jahr <= 9999) {
    month = Monat;
    year = Jahr;
    return;
  }
  int d = 0;
  if (!YearOf(now, year, month, d)) month = 1, year = 1900;
}

bool TZeitModel::ApplyRange(const TZeitRange& r, bool keepTime) {
  if (style_ == zaUhr) return false;
  TZeitModel* p = Kombi == this ? nullptr : Kombi;
  if (Von) {
    if (!SetDate(r.Start)) return false;
    if (!keepTime) Stunde = Minute = 0;
    if (p) p->SetValue(r.Ende);
  } else {
    SetValue(r.Ende);
    if (p) p->SetValue(r.Start);
  }
  Change = true;
  return true;
}

// --- clipboard -------------------------------------------------------------------------------

std::string TZeitModel::ToClipboardBytes(TDateTime v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  std::string out(8, '\0');
  for (size_t i = 0; i < 8; ++i) out[i] = char(uint8_t(bits >> (8 * i)));
  return out;
}

std::optional<TDateTime> TZeitModel::FromClipboardBytes(std::string_view bytes) {
  if (bytes.size() != 8) return std::nullopt;
  uint64_t bits = 0;
  for (size_t i = 0; i < 8; ++i) bits |= uint64_t(uint8_t(bytes[i])) << (8 * i);
  TDateTime v = 0;
  std::memcpy(&v, &bits, sizeof v);
  int y = 0, m = 0, d = 0;
  if (!YearOf(v, y, m, d)) return std::nullopt;
  return v;
}

// --- layout and mouse ------------------------------------------------------------------------

TZeitLayout TZeitModel::Layout(int w, int h, bool hasCaption, int captionWidth) const {
  TZeitLayout l;
  l.w = w;
  l.h = h;
  l.Hoehe = h + 4;
  l.TitelBreite = hasCaption ? captionWidth + 4 : 0;
  l.TextStart = l.TitelBreite + 5;
  if (style_ == zaBeides) l.ZweitStart = l.TextStart + 10 + (10 - (TimeFirst() ? 5 : 0)) * w;
  const int cells = style_ == zaDatum ? 11 : style_ == zaUhr ? 6 : 16;
  l.Breite = l.TextStart + 12 + cells * w + (style_ == zaBeides ? 13 : 0);
  l.KnopfX = l.Breite - w - 7;
  return l;
}

int TZeitModel::ColumnToPosition(int x, const TZeitLayout& l) const {
  if (l.w <= 0 || x < l.TitelBreite) return -1;
  int dx = x - l.TextStart;
  if (style_ == zaBeides && x >= l.ZweitStart) dx -= 13;  // the gap before the second part
  int col = std::max(dx, 0) / l.w;
  if (TimeFirst()) {
    if (col > 14) return 7;  // right of everything is the end of the date, which is shown last
    // Columns counted as if the date came first: date 0-9, time 10-14.
    col = col > 4 ? col - 5 : col + 10;
  }
  const int separators = style_ == zaBeides ? 3 : style_ == zaUhr ? 1 : 2;
  if (col > LastPosition() + separators) return LastPosition();
  // Skip the separator columns; a separator click lands on a neighbouring digit.
  return col - (col > 12) - (col > 5) - (col > 1);
}

TRect TZeitModel::CursorCell(int pos, const TZeitLayout& l) const {
  if (pos < 0 || pos > LastPosition()) return {};
  const int p = style_ == zaUhr ? pos + 8 : pos;
  const bool time = p >= 8;
  const int index = time ? p - 8 : p;
  const int separators = time ? (index >= 2) : (index >= 2) + (index >= 4);
  const bool second = style_ == zaBeides && time != TimeFirst();
  const int x = (second ? l.ZweitStart + 3 : l.TextStart) + l.w * (index + separators);
  return {x, 4, x + l.w, l.h + 1};
}

// --- focus -----------------------------------------------------------------------------------

void TZeitModel::FocusGained() {
  if (pos_ < 0) return;
  pos_ = TimeFirst() ? 8 : 0;
  const int datePos = Tag == 0 ? 0 : (Monat != 0 && Jahr == 0) ? 4 : -1;
  const int timePos = Stunde < 0 ? 8 : Minute < 0 ? 10 : -1;
  if (style_ == zaBeides) {
    if (timePos >= 0 && (TimeFirst() || datePos < 0)) pos_ = timePos;
    else if (datePos >= 0) pos_ = datePos;
  } else if (style_ == zaUhr) {
    if (timePos >= 0) pos_ = timePos - 8;
  } else if (datePos >= 0) {
    pos_ = datePos;
  }
}

// --- change delay ----------------------------------------------------------------------------

int TZeitModel::Changing() {
  const int d = delay_;
  if (delay_ < 1500) delay_ += 600;
  return d;
}

}  // namespace komp
