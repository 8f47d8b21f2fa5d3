// The report definition language: a line-oriented keyword language that builds the object list.
//
// One pass over the text, no recursion: whitespace, line ends and comments are handled where a
// token may begin; a token is a keyword (dispatched on its number) or the value a keyword waits
// for. After each token the rest of it up to the next space or line end is skipped.
#include <cstdio>

#include "components/druckreport/druckreport.h"
#include "framework/gui/services.h"

namespace komp {

namespace {

// The keywords, in the order that gives their numbers.
constexpr char kBefehle[] =
    "frame#set#object#data#end#label#bitmap#rechteck#linie#datum#uhrzeit#seite#seitevon#dbtext#"
    "elipse#bedingung#variable#links#oben#breite#h\xF6"
    "he#stift#text#farbe#ausrichtung#unten#rechts#hmitte#vmitte#auto#box#schrifth\xF6"
    "he#fontart#fett#kursiv#unterstrichen#normal#anzahl#tabelle#tab1#tab2#tab3#schrittweite#"
    "hochformat#querformat#textwinkel#gruppe#row#wenn#\xE4"
    "nderung#datensatz#einzelschritt#spalten#nerster#leer#nleer#seiten#erster#seitenframe#add#"
    "wert#neueseite#ersteseite#typ#zahl#anzeige#format#letzter#else#setgruppe#getdbtext#";

enum Befehl : int {
  kNone = -1,
  kFrame = 0, kSet, kObject, kData, kEnd, kLabel, kBitmap, kRechteck, kLinie, kDatum, kUhrzeit,
  kSeite, kSeitevon, kDbtext, kElipse, kBedingung, kVariable, kLinks, kOben, kBreite, kHoehe,
  kStift, kText, kFarbe, kAusrichtung, kUnten, kRechts, kHmitte, kVmitte, kAuto, kBox,
  kSchrifthoehe, kFontart, kFett, kKursiv, kUnterstrichen, kNormal, kAnzahl, kTabelle, kTab1,
  kTab2, kTab3, kSchrittweite, kHochformat, kQuerformat, kTextwinkel, kGruppe, kRow, kWenn,
  kAenderung, kDatensatz, kEinzelschritt, kSpalten, kNerster, kLeer, kNleer, kSeiten, kErster,
  kSeitenframe, kAdd, kWert, kNeueseite, kErsteseite, kTyp, kZahl, kAnzeige, kFormat, kLetzter,
  kElse, kSetgruppe, kGetdbtext,
  kAnzahlBefehle
};

struct Keyword {
  const char* text;
  int length;
};

struct KeywordTable {
  Keyword entries[kAnzahlBefehle];
  KeywordTable() {
    const char* p = kBefehle;
    for (auto& e : entries) {
      e.text = p;
      e.length = 0;
      while (p[e.length] != '#') ++e.length;
      p += e.length + 1;
    }
  }
};

const KeywordTable& Keywords() {
  static const KeywordTable table;
  return table;
}

const char* const kFehler[18] = {
    "",
    "Objektzuweisung ohne Objektdefinition",
    "Unvollst\xE4"
    "ndiger Befehl",
    "Parameterwert erwartet aber nicht definiert",
    "Ausrichtungsangabe oder Parameterposition an ung\xFC"
    "ltiger Stelle",
    "Parameter f\xFC"
    "r Schriftart ohne Parameterdefinition gefunden",
    "Frameparameter ohne Framedefinition",
    "Zuweisung ohne Objektdefinition",
    "Unerwartete 'end'-Anweisung",
    "Unzul\xE4"
    "ssige Objekteigenschaft",
    "Kein Vorgabeparameter",
    "Tabellenauswahl ohne 'Set' oder ohne 'Data' -Befehl",
    "Zeilendefinition (row) ohne Datenmous 'data tabX'",
    "Bedingungsparameter ohne Parameterdefinition gefunden",
    "Es kann nur ein Seitenframe-Objekt definiert werden",
    "Ein Seitenframe-Objekt kann nicht innerhalb eines Frames definiert werden",
    "Diese Eigenschaft kann nicht als Vorgabe gesetzt werden",
    "Fehlende 'end'-Anweisung",
};

bool EndsToken(char c) { return c == 0 || c == ' ' || c == '\r' || c == '\n'; }

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

int TDruckReport::GetBefehl(const char* p) {
  if (!p) return 255;
  const KeywordTable& table = Keywords();
  for (int k = 0; k < kAnzahlBefehle; ++k) {
    const Keyword& e = table.entries[k];
    int i = 0;
    // A NUL in the text differs from every keyword byte, so this never reads past the text.
    while (i < e.length && p[i] == e.text[i]) ++i;
    if (i == e.length && EndsToken(p[i])) return k;
  }
  return 255;
}

// One run over a definition. Only the report's model survives it.
class TReportParser {
 public:
  TReportParser(TDruckReport& report, const char* text)
      : r_(report), self_(&report), generation_(report.generation_), t_(text ? text : "") {}

  void Run();
  // The report was freed or replaced during a message box: nothing of it may be touched.
  bool Gone() const { return !self_ || r_.generation_ != generation_; }
  bool landscape = false;

 private:
  void Keyword(int k);
  void Value();
  void UnknownWord();
  void ShowError();
  void SkipToken() {
    while (!EndsToken(t_[pos_])) ++pos_;
  }
  int32_t ReadInteger();
  std::string ReadString();
  void AddRow(const std::string& row);
  void StartData(int n);
  DruckReport_Struct* NewLinked();

  // Statement checks; each sets the error number when it fails.
  bool NeedsBlock() {
    if (depth_ > 0 || setMode_) return true;
    err_ = 7;
    return false;
  }
  // The object a statement changes: the defaults in set mode where the keyword has one, else the
  // current object, which must exist.
  bool HasTarget(bool hasDefault) {
    if ((setMode_ && hasDefault) || cur_) return true;
    err_ = 7;
    return false;
  }
  void WaitValue(int k) {
    pending_ = k;
    expectKeyword_ = false;
  }
  // Stores into the defaults (set mode) or the current object.
  template <class D, class O, class V>
  void Put(D DruckReport_Vorgaben::*d, O DruckReport_Struct::*o, V value) {
    if (setMode_)
      r_.vorgaben_.*d = D(value);
    else if (cur_)
      cur_->*o = O(value);
    else
      err_ = 7;
  }
  void Condition(uint16_t keep, uint16_t set) {
    if (pending_ != kWenn) {
      err_ = 13;
      return;
    }
    if (!cur_) {
      err_ = 7;
      return;
    }
    cur_->Bedingungen = uint16_t((cur_->Bedingungen & keep) | set);
    pending_ = kNone;
  }
  // An alignment keyword after `ausrichtung`; it stays pending, so several may follow.
  bool AfterAusrichtung() {
    if (pending_ == kAusrichtung) return true;
    err_ = 4;
    return false;
  }

  TDruckReport& r_;
  QPointer<TDruckReport> self_;
  uint64_t generation_;
  const char* t_;
  size_t pos_ = 0;
  int64_t line_ = 1;
  int pending_ = kNone;
  bool expectKeyword_ = true;
  bool setMode_ = false;
  int depth_ = 0;
  int frameCount_ = 0;
  DruckReport_Struct* curFrame_ = nullptr;
  DruckReport_Struct* tail_ = nullptr;
  DruckReport_Struct* cur_ = nullptr;
  int dataTab_ = 0;
  int err_ = 0;
};

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
        err_ = 2;  // reported in the line that ended
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
      int k = TDruckReport::GetBefehl(t_ + pos_);
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
  if (err_ > 0) ShowError();
}

void TReportParser::UnknownWord() {
  std::string text;
  for (size_t i = 0; i < 20 && t_[pos_ + i]; ++i) text += t_[pos_ + i];
  text += '\n';
  if (line_ < 100000) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", int(line_));
    text += "In Zeile ";
    text += digits;
  }
  if (MessageBox(text, "Unbekannter Befehl", MB_OKCANCEL) == IDCANCEL) err_ = -1;
}

void TReportParser::ShowError() {
  std::string text = "Fehler in den Reportdaten!\nFehlernummer:" + std::to_string(err_) + "  " +
                     kFehler[err_] + "\nIn Zeile " + std::to_string(line_);
  MessageBox(text, "Fehler", MB_OK);
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

void TReportParser::Keyword(int k) {
  switch (k) {
    case kFrame: {
      DruckReport_Struct* o = NewLinked();
      if (!o) break;
      o->Typ = typFrame;
      o->Parent = curFrame_;
      curFrame_ = tail_ = cur_ = o;
      ++frameCount_;
      o->Links = o->Breite = o->Hoehe = 0;
      depth_ = 1;
      break;
    }
    case kSet:
      setMode_ = true;
      break;
    case kObject: {
      if (!(depth_ == 0 || (depth_ == 1 && frameCount_ != 0))) {
        err_ = 17;
        break;
      }
      DruckReport_Struct* o = NewLinked();
      if (Gone()) return;
      if (o) o->Parent = curFrame_;
      cur_ = o;
      pending_ = kObject;
      ++depth_;
      break;
    }
    case kData:
      pending_ = kData;
      dataTab_ = 0;
      break;
    case kEnd:
      pending_ = kNone;
      dataTab_ = 0;
      tail_ = cur_;
      if (depth_ == 0) {
        err_ = 8;
        break;
      }
      if (--depth_ == 0 && curFrame_) {
        curFrame_ = curFrame_->Parent;
        if (curFrame_)
          depth_ = 1;
        else
          r_.vorgaben_.Gruppe = 0;
      }
      break;
    case kLabel: case kBitmap: case kRechteck: case kLinie: case kDatum: case kUhrzeit:
    case kSeite: case kSeitevon: case kDbtext: case kElipse: case kBedingung: case kVariable:
    case kSetgruppe: {
      static const uint8_t kinds[] = {typLabel, typBitmap, typRechteck, typLinie, typDatum,
                                      typUhrzeit, typSeite, typSeitevon, typDbtext, typElipse,
                                      typBedingung, typVariable};
      if (pending_ != kObject) {
        err_ = 1;
        break;
      }
      if (cur_) cur_->Typ = k == kSetgruppe ? uint8_t(typSetgruppe) : kinds[k - kLabel];
      pending_ = kNone;
      break;
    }
    case kLinks:
      if (pending_ == kAusrichtung)
        Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 0);
      else if (pending_ != kNone)
        err_ = 4;
      else if (NeedsBlock() && HasTarget(true))
        WaitValue(k);
      break;
    case kOben:
      if (pending_ == kAusrichtung)
        Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 0);
      else if (pending_ != kNone)
        err_ = 4;
      else if (depth_ == 0 && !setMode_)
        err_ = 6;
      else if (HasTarget(true))
        WaitValue(k);
      break;
    case kBreite: case kHoehe: case kStift: case kFarbe: case kSchrifthoehe: case kAnzahl:
      if (NeedsBlock() && HasTarget(true)) WaitValue(k);
      break;
    case kText: case kSchrittweite: case kTextwinkel: case kEinzelschritt: case kAdd: case kWert:
      if (NeedsBlock() && HasTarget(false)) WaitValue(k);
      break;
    case kAusrichtung:
      pending_ = kAusrichtung;
      break;
    case kUnten:
      if (AfterAusrichtung())
        Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 2);
      break;
    case kRechts:
      if (AfterAusrichtung())
        Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 2);
      break;
    case kHmitte:
      if (AfterAusrichtung())
        Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 1);
      break;
    case kVmitte:
      if (AfterAusrichtung())
        Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 1);
      break;
    case kAuto:
      if (AfterAusrichtung()) Put(&DruckReport_Vorgaben::Auto, &DruckReport_Struct::Auto, 1);
      break;
    case kBox:
      if (AfterAusrichtung()) Put(&DruckReport_Vorgaben::Auto, &DruckReport_Struct::Auto, 0);
      break;
    case kHochformat:
      if (AfterAusrichtung()) landscape = false;
      break;
    case kQuerformat:
      if (AfterAusrichtung()) landscape = true;
      break;
    case kFontart:
      if (depth_ == 0 && !setMode_)
        err_ = 1;
      else
        pending_ = kFontart;
      break;
    case kFett: case kKursiv: case kUnterstrichen: {
      if (pending_ != kFontart) {
        err_ = 5;
        break;
      }
      TFontStyles style = k == kFett ? fsBold : k == kKursiv ? fsItalic : fsUnderline;
      if (setMode_)
        r_.vorgaben_.Schriftart |= style;
      else if (cur_)
        cur_->Font.Style |= style;
      else
        err_ = 7;
      break;
    }
    case kNormal:
      if (pending_ == kFontart) {
        if (setMode_)
          r_.vorgaben_.Schriftart = 0;
        else if (cur_)
          cur_->Font.Style = 0;
        else
          err_ = 7;
      } else if (pending_ == kAusrichtung) {
        Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 0);
        Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 0);
        Put(&DruckReport_Vorgaben::Auto, &DruckReport_Struct::Auto, 1);
      } else {
        err_ = 5;
      }
      break;
    case kTabelle:
      if (depth_ == 0 && !setMode_)
        err_ = 1;
      else
        pending_ = kTabelle;
      break;
    case kTab1: case kTab2: case kTab3: {
      int n = k - kTab1 + 1;
      if (pending_ == kTabelle) {
        Put(&DruckReport_Vorgaben::Tabelle, &DruckReport_Struct::Tabelle, n);
        pending_ = kNone;
      } else if (pending_ == kData) {
        StartData(n);
        pending_ = kNone;
      } else {
        err_ = 11;
      }
      break;
    }
    case kGruppe:
      if (pending_ != kNone)
        err_ = 4;
      else if (NeedsBlock() && HasTarget(true))
        WaitValue(k);
      break;
    case kRow:
      if (dataTab_ == 0)
        err_ = 12;
      else
        WaitValue(k);
      break;
    case kWenn:
      if (NeedsBlock() && HasTarget(false)) pending_ = kWenn;
      break;
    case kAenderung:
      Condition(0xFFFF, bedAenderung);
      if (err_ == 0) cur_->Wert.reset();
      break;
    case kDatensatz: Condition(0xFFFF, bedDatensatz); break;
    case kNerster: Condition(0x00DF, bedNerster); break;
    case kLeer: Condition(0x00EF, bedLeer); break;
    case kNleer: Condition(0x00F7, bedNleer); break;
    case kErster: Condition(0x00BB, bedErster); break;
    case kLetzter: Condition(0x00DB, bedLetzter); break;
    case kNeueseite: Condition(0xFFFF, bedNeueseite); break;
    case kErsteseite: Condition(0xFFFF, bedErsteseite); break;
    case kSpalten:
      if (depth_ == 0 || pending_ != kNone)
        err_ = 6;
      else if (setMode_)
        err_ = 10;
      else if (HasTarget(false))
        WaitValue(k);
      break;
    case kSeiten:
      if (pending_ != kNone)
        err_ = 4;
      else if (setMode_)
        err_ = 10;
      else
        WaitValue(k);
      break;
    case kSeitenframe: {
      if (r_.pageFrame_) {
        err_ = 14;
        break;
      }
      if (curFrame_) {
        err_ = 15;
        break;
      }
      DruckReport_Struct* o = NewLinked();
      if (!o) break;
      o->Typ = typSeitenframe;
      curFrame_ = tail_ = cur_ = o;
      r_.pageFrame_ = o;
      o->Links = o->Breite = o->Hoehe = 0;
      o->Tabelle = 0;
      ++depth_;
      break;
    }
    case kTyp:
      if (!NeedsBlock()) break;
      if (!setMode_) {
        if (!cur_) {
          err_ = 7;
          break;
        }
        if (cur_->Typ != typVariable) {
          err_ = 9;
          break;
        }
      }
      pending_ = kTyp;
      break;
    case kZahl:
      if (pending_ != kTyp) {
        err_ = 13;
        break;
      }
      Put(&DruckReport_Vorgaben::Zahl, &DruckReport_Struct::Zahl, 1);
      pending_ = kNone;
      break;
    case kAnzeige:
      if (!NeedsBlock()) break;
      if (setMode_)
        err_ = 16;
      else if (HasTarget(false))
        pending_ = kAnzeige;
      break;
    case kFormat:
      if (pending_ != kAnzeige) {
        err_ = 13;
        break;
      }
      if (!cur_) {
        err_ = 7;
        break;
      }
      cur_->Format = 1;
      pending_ = kNone;
      break;
    case kElse:
      if (depth_ == 0 || !cur_)
        err_ = 7;
      else
        WaitValue(k);
      break;
    case kGetdbtext:
      if (depth_ == 0 || !cur_)
        err_ = 7;
      else if (cur_->Typ != typVariable)
        err_ = 9;
      else
        WaitValue(k);
      break;
  }
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
          err_ = 7;
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
    err_ = 3;
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

bool TDruckReport::SetReportdaten(const char* text) {
  Clear_Report(false);
  TReportParser parser(*this, text);
  parser.Run();
  // Freed or given another definition while a message box was open: that one stands.
  if (parser.Gone()) return true;
  SetPFormat(0, parser.landscape ? 1 : 0);
  SetGroesse();
  if (Showing()) Invalidate();
  return true;
}

}  // namespace komp
