// Inside the language (not for hosts): the keyword numbers and the parser of one definition.
//
//   keywords.cpp    the keyword and error tables, GetBefehl
//   parser.cpp      the run: tokens, line ends, comments, unknown words, values, inline rows
//   statements.cpp  what each keyword does, one handler per group of keywords
#pragma once
#include <cstdint>
#include <string>

#include "components/druckreport/reportmodel.h"

namespace komp {

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

inline bool EndsToken(char c) { return c == 0 || c == ' ' || c == '\r' || c == '\n'; }

// One run over a definition. Only the model survives it.
class TReportParser {
 public:
  TReportParser(TReportModel& model, const char* text)
      : r_(model), guard_(model), t_(text ? text : "") {}

  void Run();
  // A diagnostics handler freed the model or gave it another definition.
  bool Gone() const { return guard_.Gone(); }
  bool landscape = false;
  TReportError error() const { return {err_, err_ ? line_ : 0}; }

  using Handler = void (TReportParser::*)(int k);

 private:
  static const Handler* Handlers();
  void Keyword(int k);
  void Value();
  void UnknownWord();
  void SkipToken() {
    while (!EndsToken(t_[pos_])) ++pos_;
  }
  int32_t ReadInteger();
  std::string ReadString();
  void AddRow(const std::string& row);
  void StartData(int n);
  DruckReport_Struct* NewLinked();

  // Keyword handlers (statements.cpp), each for one group.
  void Block(int k);
  void Kind(int k);
  void Property(int k);
  void Alignment(int k);
  void Style(int k);
  void Table(int k);
  void Condition(int k);

  // Statement checks; each sets the error number when it fails.
  bool NeedsBlock() {
    if (depth_ > 0 || setMode_) return true;
    err_ = rfZuweisung;
    return false;
  }
  // The object a statement changes: the defaults in set mode where the keyword has one, else the
  // current object, which must exist.
  bool HasTarget(bool hasDefault) {
    if ((setMode_ && hasDefault) || cur_) return true;
    err_ = rfZuweisung;
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
      err_ = rfZuweisung;
  }

  TReportModel& r_;
  TReportModel::Guard guard_;
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
  int err_ = rfKeiner;
};

}  // namespace komp
