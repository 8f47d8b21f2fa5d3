// Whether an object is drawn, and what it shows.
//
//   Prepare    the rules in their order (record limit, first record, value, änderung, leer,
//              datensatz, neueseite, ersteseite, letzter, groups, group setter), variables,
//              actions, "\c" record numbers, OnFormat
//   Lookup     the cell of the current record in the column named by a header
//   DateText   today's date or the time, as the German short formats write them
#include <cstdio>

#include "components/druckreport/layout_internal.h"
#include "framework/datetime.h"
#include "framework/gui/services.h"

namespace komp {

namespace {
constexpr uint16_t kNeedsCell = bedAenderung | bedLeer | bedNleer;

void ReplaceRecordNumber(std::string& s, int64_t number) {
  const std::string n = std::to_string(number);
  for (size_t at = s.find("\\c"); at != std::string::npos; at = s.find("\\c", at + n.size()))
    s.replace(at, 2, n);
}
}  // namespace

bool TReportLayout::Lookup(const DruckReport_Struct& o, const std::string& column,
                           std::string& value) {
  value.clear();
  TStringTab* t = o.Tabelle >= 1 && o.Tabelle <= 3 ? m_.GetDatenTab(o.Tabelle) : nullptr;
  if (!t || t->ColCount() <= 0 || t->RecordRow() < 0 || column.empty()) return false;
  for (int c = 0; c < t->ColCount(); ++c) {
    if (t->GetCell(0, c) != column) continue;
    value = t->GetRecordCell(c);
    used_[o.Tabelle] = true;
    return true;
  }
  return false;
}

std::string TReportLayout::DateText(bool time) const {
  const TDateTime now = Now();
  char buf[32];
  if (time) {
    int h, mi, s, ms;
    DecodeTime(now, h, mi, s, ms);
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
  } else {
    int y, mo, d;
    DecodeDate(now, y, mo, d);
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, mo, y);
  }
  return buf;
}

bool TReportLayout::Prepare(int i, Act* a, Prepared& p) {
  DruckReport_Struct& o = *obj_[size_t(i)];
  const uint16_t b = o.Bedingungen;
  const bool first = a ? a->first : true;
  const int64_t record = a ? a->record : 0;
  TStringTab* t = o.Tabelle >= 1 && o.Tabelle <= 3 ? m_.GetDatenTab(o.Tabelle) : nullptr;
  std::string& value = p.value;

  bool shown = true;
  if (a && o.Anzahl > 0 && record >= o.Anzahl) shown = false;
  if (shown && b) {
    if ((b & bedNerster) && first) shown = false;
    if ((b & bedErster) && !first) shown = false;
  }
  if (shown) {
    if (o.Typ == typDbtext || o.Typ == typSetgruppe || (b & kNeedsCell)) {
      if (!Lookup(o, o.Text, value) && (b & kNeedsCell)) shown = false;
    } else if (o.Typ == typVariable) {
      FVar* v = m_.GetVariable(o.Text.c_str());
      if (!v && (o.Wert || !o.Text2.empty())) v = m_.NeuVariable(o.Text.c_str());
      if (v) {
        if (o.Wert) {
          v->Wert = *o.Wert;
        } else if (!o.Text2.empty()) {
          std::string cell;
          Lookup(o, o.Text2, cell);
          v->Wert = cell;
        }
        if (o.Zahl) v->Zahl = 1;
        value = v->Wert;
      }
      if (o.Anzeigen != 1) shown = false;
    } else {
      value = o.Text;
      if (o.Typ == typSeite) value += std::to_string(page_);
      if (o.Typ == typSeitevon)
        value += pageCount_ == kUnknownCount ? std::string("\x85") : std::to_string(pageCount_);
      if (o.Typ == typDatum) value += DateText(false);
      if (o.Typ == typUhrzeit) value += DateText(true);
    }
    if (o.Typ == typDbtext || o.Typ == typVariable) {
      for (FAktion& act : o.Aktionen) {
        if (act.Status != 0) continue;
        FVar* v = m_.GetVariable(act.Name.c_str());
        if (!v) v = m_.NeuVariable(act.Name.c_str());
        if (!v) continue;
        const char* sum = m_.AddStr(v->Wert.c_str(), value.c_str(), v->Zahl != 0);
        if (sum) v->Wert = sum;
      }
    }
  }
  if (shown && (b & bedAenderung)) {
    if (first || !o.Wert) {
      o.Wert = value;
    } else if (*o.Wert == value) {
      shown = false;
    } else {
      o.Wert = value;
    }
  }
  if (shown && (b & bedLeer) && !value.empty()) shown = false;
  if (shown && (b & bedNleer) && value.empty()) shown = false;
  if (shown && (b & bedDatensatz) && !(t && t->RecordRow() >= 0)) shown = false;
  if (shown && (b & bedNeueseite) && o.LetzteSeite == page_) shown = false;
  if (shown && (b & bedErsteseite) && page_ != 1) shown = false;
  if (shown && (b & bedLetzter) &&
      !(t && t->RecordRow() >= 0 && t->RecordRow() == t->GetRowCount(false) - 1))
    shown = false;
  if (shown && (b & bedNeueseite)) o.LetzteSeite = page_;

  if (o.Gruppe && (o.Typ == typDbtext || o.Typ == typBedingung))
    groups_ = shown ? groups_ | o.Gruppe : groups_ & ~o.Gruppe;
  p.bild = o.Text;
  if (shown && o.Gruppe && !(o.Gruppe & groups_)) {
    if (o.Typ == typBitmap && !o.Text2.empty())
      p.bild = o.Text2;
    else
      shown = false;
  }
  if (o.Typ == typSetgruppe) {
    if (shown && !value.empty()) groups_ = uint32_t(TReportModel::Str_in_Zahl(value.c_str()));
    return false;
  }
  if (!shown || o.Typ == typBedingung) return false;

  if (o.Typ == typLabel || o.Typ == typDbtext || o.Typ == typVariable)
    ReplaceRecordNumber(value, record + 1);
  if (o.Format && host_ && !trial_) {
    host_->Format(o.Text.c_str(), value);
    if (!Callback()) return false;
  }
  return true;
}

}  // namespace komp
