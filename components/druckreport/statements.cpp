// What each keyword does. The keywords fall into groups with one handler each; the table maps a
// keyword's number to its handler.
//
//   Block      frame, seitenframe, object, data, end, set
//   Kind       the kind after object
//   Property   value keywords and the selectors typ, anzeige, wenn
//   Alignment  ausrichtung and what may follow it
//   Style      fontart and the font styles (normal also after ausrichtung)
//   Table      tabelle, tab1..tab3
//   Condition  the conditions after wenn, zahl after typ, format after anzeige
#include <initializer_list>

#include "components/druckreport/parser.h"

namespace komp {

const TReportParser::Handler* TReportParser::Handlers() {
  struct Table {
    Handler h[kAnzahlBefehle] = {};
    void Set(Handler f, std::initializer_list<int> ks) {
      for (int k : ks) h[k] = f;
    }
    Table() {
      Set(&TReportParser::Block, {kFrame, kSet, kObject, kData, kEnd, kSeitenframe});
      Set(&TReportParser::Kind, {kLabel, kBitmap, kRechteck, kLinie, kDatum, kUhrzeit, kSeite,
                                 kSeitevon, kDbtext, kElipse, kBedingung, kVariable, kSetgruppe});
      Set(&TReportParser::Property,
          {kLinks, kOben, kBreite, kHoehe, kStift, kText, kFarbe, kSchrifthoehe, kAnzahl,
           kSchrittweite, kTextwinkel, kEinzelschritt, kAdd, kWert, kGruppe, kRow, kWenn,
           kSpalten, kSeiten, kTyp, kAnzeige, kElse, kGetdbtext});
      Set(&TReportParser::Alignment, {kAusrichtung, kUnten, kRechts, kHmitte, kVmitte, kAuto,
                                      kBox, kHochformat, kQuerformat});
      Set(&TReportParser::Style, {kFontart, kFett, kKursiv, kUnterstrichen, kNormal});
      Set(&TReportParser::Table, {kTabelle, kTab1, kTab2, kTab3});
      Set(&TReportParser::Condition, {kAenderung, kDatensatz, kNerster, kLeer, kNleer, kErster,
                                      kLetzter, kNeueseite, kErsteseite, kZahl, kFormat});
    }
  };
  static const Table table;
  return table.h;
}

void TReportParser::Block(int k) {
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
    case kSeitenframe: {
      if (r_.pageFrame_) {
        err_ = rfZweiterSeitenframe;
        break;
      }
      if (curFrame_) {
        err_ = rfSeitenframeImFrame;
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
    case kSet:
      setMode_ = true;
      break;
    case kObject: {
      if (!(depth_ == 0 || (depth_ == 1 && frameCount_ != 0))) {
        err_ = rfFehlendesEnd;
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
        err_ = rfEnd;
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
  }
}

void TReportParser::Kind(int k) {
  static const uint8_t kinds[] = {typLabel, typBitmap, typRechteck, typLinie, typDatum,
                                  typUhrzeit, typSeite, typSeitevon, typDbtext, typElipse,
                                  typBedingung, typVariable};
  if (pending_ != kObject) {
    err_ = rfObjektzuweisung;
    return;
  }
  if (cur_) cur_->Typ = k == kSetgruppe ? uint8_t(typSetgruppe) : kinds[k - kLabel];
  pending_ = kNone;
}

void TReportParser::Property(int k) {
  switch (k) {
    case kLinks:
      if (pending_ == kAusrichtung)
        Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 0);
      else if (pending_ != kNone)
        err_ = rfAusrichtung;
      else if (NeedsBlock() && HasTarget(true))
        WaitValue(k);
      break;
    case kOben:
      if (pending_ == kAusrichtung)
        Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 0);
      else if (pending_ != kNone)
        err_ = rfAusrichtung;
      else if (depth_ == 0 && !setMode_)
        err_ = rfFrameparameter;
      else if (HasTarget(true))
        WaitValue(k);
      break;
    case kBreite: case kHoehe: case kStift: case kFarbe: case kSchrifthoehe: case kAnzahl:
      if (NeedsBlock() && HasTarget(true)) WaitValue(k);
      break;
    case kText: case kSchrittweite: case kTextwinkel: case kEinzelschritt: case kAdd: case kWert:
      if (NeedsBlock() && HasTarget(false)) WaitValue(k);
      break;
    case kGruppe:
      if (pending_ != kNone)
        err_ = rfAusrichtung;
      else if (NeedsBlock() && HasTarget(true))
        WaitValue(k);
      break;
    case kRow:
      if (dataTab_ == 0)
        err_ = rfZeile;
      else
        WaitValue(k);
      break;
    case kWenn:
      if (NeedsBlock() && HasTarget(false)) pending_ = kWenn;
      break;
    case kSpalten:
      if (depth_ == 0 || pending_ != kNone)
        err_ = rfFrameparameter;
      else if (setMode_)
        err_ = rfKeineVorgabe;
      else if (HasTarget(false))
        WaitValue(k);
      break;
    case kSeiten:
      if (pending_ != kNone)
        err_ = rfAusrichtung;
      else if (setMode_)
        err_ = rfKeineVorgabe;
      else
        WaitValue(k);
      break;
    case kTyp:
      if (!NeedsBlock()) break;
      if (!setMode_) {
        if (!cur_) {
          err_ = rfZuweisung;
          break;
        }
        if (cur_->Typ != typVariable) {
          err_ = rfEigenschaft;
          break;
        }
      }
      pending_ = kTyp;
      break;
    case kAnzeige:
      if (!NeedsBlock()) break;
      if (setMode_)
        err_ = rfVorgabeEigenschaft;
      else if (HasTarget(false))
        pending_ = kAnzeige;
      break;
    case kElse:
      if (depth_ == 0 || !cur_)
        err_ = rfZuweisung;
      else
        WaitValue(k);
      break;
    case kGetdbtext:
      if (depth_ == 0 || !cur_)
        err_ = rfZuweisung;
      else if (cur_->Typ != typVariable)
        err_ = rfEigenschaft;
      else
        WaitValue(k);
      break;
  }
}

// An alignment keyword after `ausrichtung` leaves it pending, so several may follow.
void TReportParser::Alignment(int k) {
  if (k == kAusrichtung) {
    pending_ = kAusrichtung;
    return;
  }
  if (pending_ != kAusrichtung) {
    err_ = rfAusrichtung;
    return;
  }
  switch (k) {
    case kUnten:
      Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 2);
      break;
    case kRechts:
      Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 2);
      break;
    case kHmitte:
      Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 1);
      break;
    case kVmitte:
      Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 1);
      break;
    case kAuto: Put(&DruckReport_Vorgaben::Auto, &DruckReport_Struct::Auto, 1); break;
    case kBox: Put(&DruckReport_Vorgaben::Auto, &DruckReport_Struct::Auto, 0); break;
    case kHochformat: landscape = false; break;
    case kQuerformat: landscape = true; break;
  }
}

void TReportParser::Style(int k) {
  if (k == kFontart) {
    if (depth_ == 0 && !setMode_)
      err_ = rfObjektzuweisung;
    else
      pending_ = kFontart;
    return;
  }
  if (k == kNormal && pending_ == kAusrichtung) {
    Put(&DruckReport_Vorgaben::HAusrichtung, &DruckReport_Struct::HAusrichtung, 0);
    Put(&DruckReport_Vorgaben::VAusrichtung, &DruckReport_Struct::VAusrichtung, 0);
    Put(&DruckReport_Vorgaben::Auto, &DruckReport_Struct::Auto, 1);
    return;
  }
  if (pending_ != kFontart) {
    err_ = rfSchriftart;
    return;
  }
  if (!setMode_ && !cur_) {
    err_ = rfZuweisung;
    return;
  }
  TFontStyles& style = setMode_ ? r_.vorgaben_.Schriftart : cur_->Font.Style;
  if (k == kNormal)
    style = 0;
  else
    style |= k == kFett ? fsBold : k == kKursiv ? fsItalic : fsUnderline;
}

void TReportParser::Table(int k) {
  if (k == kTabelle) {
    if (depth_ == 0 && !setMode_)
      err_ = rfObjektzuweisung;
    else
      pending_ = kTabelle;
    return;
  }
  int n = k - kTab1 + 1;
  if (pending_ == kTabelle) {
    Put(&DruckReport_Vorgaben::Tabelle, &DruckReport_Struct::Tabelle, n);
    pending_ = kNone;
  } else if (pending_ == kData) {
    StartData(n);
    pending_ = kNone;
  } else {
    err_ = rfTabellenauswahl;
  }
}

void TReportParser::Condition(int k) {
  // The selector each follow-up needs.
  int selector = k == kZahl ? kTyp : k == kFormat ? kAnzeige : kWenn;
  if (pending_ != selector) {
    err_ = rfBedingung;
    return;
  }
  if (k == kZahl) {
    // The only follow-up with a default.
    Put(&DruckReport_Vorgaben::Zahl, &DruckReport_Struct::Zahl, 1);
    pending_ = kNone;
    return;
  }
  if (!cur_) {
    err_ = rfZuweisung;
    return;
  }
  struct Flags {
    uint16_t keep, set;
  };
  Flags f{};
  switch (k) {
    case kAenderung: f = {0xFFFF, bedAenderung}; break;
    case kDatensatz: f = {0xFFFF, bedDatensatz}; break;
    case kNerster: f = {0x00DF, bedNerster}; break;
    case kLeer: f = {0x00EF, bedLeer}; break;
    case kNleer: f = {0x00F7, bedNleer}; break;
    case kErster: f = {0x00BB, bedErster}; break;
    case kLetzter: f = {0x00DB, bedLetzter}; break;
    case kNeueseite: f = {0xFFFF, bedNeueseite}; break;
    case kErsteseite: f = {0xFFFF, bedErsteseite}; break;
    case kFormat:
      cur_->Format = 1;
      pending_ = kNone;
      return;
  }
  cur_->Bedingungen = uint16_t((cur_->Bedingungen & f.keep) | f.set);
  if (k == kAenderung) cur_->Wert.reset();
  pending_ = kNone;
}

}  // namespace komp
