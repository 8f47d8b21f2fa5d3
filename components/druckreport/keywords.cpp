// The two tables of the language: the keywords (their position gives their number) and the
// messages of the numbered errors.
#include "components/druckreport/parser.h"

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

const char* const kFehler[kReportFehlerAnzahl + 1] = {
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

}  // namespace

const char* ReportFehlerText(int n) {
  return n >= 1 && n <= kReportFehlerAnzahl ? kFehler[n] : "";
}

int TReportModel::GetBefehl(const char* p) {
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

}  // namespace komp
