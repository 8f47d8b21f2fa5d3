// The report definition language: a line-oriented keyword language that builds the object list.
//
// One pass over the text, no recursion: whitespace, line ends and comments are handled where a
// token may begin; a token is a keyword (handed to its handler, statements.cpp) or the value a
// keyword waits for. After each token the rest of it up to the next space or line end is skipped.
//
//   TReportModel::SetReportdaten   clear, run, tell the error, paper
//   TReportParser::Run             the token loop; UnknownWord asks the diagnostics
//   Value, ReadInteger, ReadString values of the waiting keyword
//   AddRow, StartData              inline tables
#include <cstdio>

#include "components/druckreport/parser.h"

namespace komp {

namespace {

bool IsIntegerKeyword(int k) {
  switch (k) {
    case kLinks: case kOben: case kBreite: case kHoehe: case kStift: case kSchrifthoehe:
    case kAnzahl: case kSchrittweite: case kTextwinkel: case kGruppe: case kEinzelschritt:
    case kSpalten: case kSeiten:
      return true;
    default:
      return false;
  }
}

bool IsStringKeyword(int k) {
  switch (k) {
    case kFarbe: case kText: case kRow: case kAdd: case kWert: case kElse: case kGetdbtext:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool TReportModel::SetReportdaten(const char* text) {
  Clear(false);
  lastError_ = {};
  TReportParser parser(*this, text);
  parser.Run();
  if (parser.Gone()) return false;
  lastError_ = parser.error();
  if (lastError_.Number > 0 && diagnostics_) {
    Guard guard(*this);
    diagnostics_->ParseError(lastError_.Number, lastError_.Line);
    if (guard.Gone()) return false;
  }
  SetPFormat(0, parser.landscape ? 1 : 0);
  return true;
}

void TReportParser::Run() {
  while (err_ == 0) {
    char c = t_[pos_];
    if (c == 0) break;
    if (c == ' ' || c == '\t') {
      ++pos_;
      continue;
    }
    if (c == '\r' || c == '\n') {
      bool open = pending_ != kNone && pending_ != kAusrichtung && pending_ != kFontart;
      if (open || !expectKeyword_) {
        err_ = rfUnvollstaendig;  // reported in the line that ended
        break;
      }
      pending_ = kNone;
      expectKeyword_ = true;
      setMode_ = false;
      if (c == '\n') ++line_;
      ++pos_;
      continue;
    }
    if (c == '#') {
      while (t_[pos_] && t_[pos_] != '\r' && t_[pos_] != '\n') ++pos_;
      pending_ = kNone;
      expectKeyword_ = true;
      setMode_ = false;
      continue;
    }
    if (expectKeyword_) {
      int k = TReportModel::GetBefehl(t_ + pos_);
      if (k == 255)
        UnknownWord();
      else
        Keyword(k);
      if (Gone()) return;
    } else {
      Value();
    }
    SkipToken();
  }
}

void TReportParser::UnknownWord() {
  IReportDiagnostics* d = r_.Diagnostics();
  if (!d) return;
  std::string text;
  for (size_t i = 0; i < 20 && t_[pos_ + i]; ++i) text += t_[pos_ + i];
  if (!d->UnknownWord(text, line_) && !Gone()) err_ = rfAbgebrochen;
}

void TReportParser::Keyword(int k) {
  if (Handler h = Handlers()[k]) (this->*h)(k);
}

DruckReport_Struct* TReportParser::NewLinked() {
  DruckReport_Struct* o = r_.Neues_Objekt();
  if (Gone() || !o) return nullptr;
  if (tail_) {
    o->Next = tail_->Next;
    tail_->Next = o;
  } else {
    o->Next = r_.first_;
    r_.first_ = o;
  }
  return o;
}

void TReportParser::StartData(int n) {
  auto& table = r_.inline_[n - 1];
  if (table)
    table->Clear(true);
  else
    table = std::make_unique<TStringTab>(nullptr);
  ++depth_;
  dataTab_ = n;
}

// A non-numeric value reads as 0; digits after the first non-digit are ignored. Values beyond
// the 32-bit range are held at its ends.
int32_t TReportParser::ReadInteger() {
  bool negative = false;
  if (t_[pos_] == '-') {
    negative = true;
    ++pos_;
  }
  int64_t v = 0;
  while (t_[pos_] >= '0' && t_[pos_] <= '9') {
    if (v <= INT32_MAX) v = v * 10 + (t_[pos_] - '0');
    ++pos_;
  }
  if (negative) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return int32_t(v);
}

std::string TReportParser::ReadString() {
  std::string v;
  bool quoted = false;
  bool rows = dataTab_ != 0;
  while (v.size() < 200) {
    char c = t_[pos_];
    if (c == 0 || c == '\r' || c == '\n') break;
    if (c == ' ' && !quoted && !rows) break;
    if (c == '"' && !rows) {
      ++pos_;
      if (quoted) break;
      quoted = true;
      continue;
    }
    v += c;
    ++pos_;
  }
  return v;
}

void TReportParser::Value() {
  int k = pending_;
  if (IsIntegerKeyword(k)) {
    int32_t n = ReadInteger();
    switch (k) {
      case kLinks: Put(&DruckReport_Vorgaben::Links, &DruckReport_Struct::Links, n); break;
      case kOben: Put(&DruckReport_Vorgaben::Oben, &DruckReport_Struct::Oben, n); break;
      case kBreite: Put(&DruckReport_Vorgaben::Breite, &DruckReport_Struct::Breite, n); break;
      case kHoehe: Put(&DruckReport_Vorgaben::Hoehe, &DruckReport_Struct::Hoehe, n); break;
      case kStift: Put(&DruckReport_Vorgaben::Stift, &DruckReport_Struct::Stift, n); break;
      case kAnzahl: Put(&DruckReport_Vorgaben::Anzahl, &DruckReport_Struct::Anzahl, n); break;
      case kSchrifthoehe:
        if (setMode_)
          r_.vorgaben_.Schrifthoehe = n;
        else if (cur_)
          cur_->Font.Size = n;
        else
          err_ = rfZuweisung;
        break;
      case kSchrittweite: case kEinzelschritt:
        if (cur_) cur_->Schrittweite = n;
        break;
      case kTextwinkel:
        if (cur_) cur_->Textwinkel = n;
        break;
      case kSpalten:
        if (cur_) cur_->Spalten = n;
        break;
      case kSeiten:
        r_.Seitenlimit = n;
        break;
      case kGruppe: {
        // Groups 1..32; anything else is not a group and changes nothing.
        if (n < 0 || n > 32) break;
        uint32_t bit = n == 0 ? 0 : uint32_t(1) << (n - 1);
        if (setMode_)
          r_.vorgaben_.Gruppe = bit;
        else if (cur_)
          cur_->Gruppe = n == 0 ? 0 : cur_->Gruppe | bit;
        break;
      }
    }
  } else if (IsStringKeyword(k)) {
    std::string s = ReadString();
    switch (k) {
      case kFarbe: {
        uint32_t c = 0;
        for (unsigned char ch : s) {
          unsigned d = ch > '9' ? (ch & 0xDFu) - 7u : ch;
          c = c * 16u + (d - 48u);
        }
        Put(&DruckReport_Vorgaben::Farbe, &DruckReport_Struct::Farbe, c);
        break;
      }
      case kText:
        if (cur_) cur_->Text = s;
        break;
      case kRow:
        AddRow(s);
        break;
      case kAdd:
        if (cur_) r_.NeuAktion(&cur_->Aktionen)->Name = s;
        break;
      case kWert:
        if (cur_) {
          cur_->Wert = s;
          cur_->Anzeigen = 0;
        }
        break;
      case kElse:
        if (cur_) cur_->Text2 = s;
        break;
      case kGetdbtext:
        if (cur_) {
          cur_->Text2 = s;
          cur_->Anzeigen = 0;
        }
        break;
    }
  } else {
    err_ = rfParameterwert;
    return;
  }
  pending_ = kNone;
  expectKeyword_ = true;
}

void TReportParser::AddRow(const std::string& row) {
  TStringList fields;
  std::string field;
  bool quoted = false, closed = false;
  for (char c : row) {
    if (quoted) {
      if (c == '"') {
        quoted = false;
        closed = true;  // the rest up to the next comma is dropped
      } else {
        field += c;
      }
    } else if (c == ',') {
      fields.Add(std::move(field));
      field.clear();
      closed = false;
    } else if (closed) {
    } else if (c == '"') {
      field.clear();
      quoted = true;
    } else {
      field += c;
    }
  }
  fields.Add(std::move(field));
  TStringTab* table = r_.InlineTabelle(dataTab_);
  if (!table) return;
  if (table->GetRowCount(true) == 0) table->Set_Tab(0, fields.Count());
  table->InsertRow(table->GetRowCount(true), &fields, 1);
}

}  // namespace komp
