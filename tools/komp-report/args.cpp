#include "tools/komp-report/args.h"

#include <charconv>

namespace komp::report_cli {

const char* const kUsage =
    "Aufruf: komp-report DEFINITION [--table1 CSV] [--table2 CSV] [--table3 CSV]\n"
    "                    (--pdf DATEI.pdf | --png ORDNER | --print [--copies N])\n"
    "\n"
    "Setzt eine Reportdefinition (Codepage 1252) ohne Bildschirm:\n"
    "  --table1..--table3 CSV  CSV-Datei (UTF-8, erste Zeile Spaltennamen) als Tabelle1..Tabelle3\n"
    "  --pdf DATEI.pdf         schreibt den Report als PDF-Datei\n"
    "  --png ORDNER            schreibt jede Seite als Bild (seite1.png, seite2.png, ...)\n"
    "  --print                 druckt auf dem Standarddrucker\n"
    "  --copies N              Anzahl der Kopien beim Drucken (1 bis 999)\n"
    "  --help                  zeigt diese Hilfe\n"
    "\n"
    "Exit-Status: 0 Ausgabe vollst\xC3\xA4ndig geschrieben, 1 Fehler, 2 falscher Aufruf.\n";

TArgumente ParseArgs(const std::vector<std::string>& args) {
  TArgumente r;
  TAufruf& a = r.Aufruf;
  bool kopienGesetzt = false;
  auto fail = [&](std::string message) {
    r.Fehler = std::move(message);
    return r;
  };
  auto setZiel = [&](TZiel z) {
    if (a.Ziel != TZiel::Keins) return false;
    a.Ziel = z;
    return true;
  };
  const std::string zuViel = "Nur eine Ausgabe angeben: --pdf, --png oder --print";
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& s = args[i];
    auto wert = [&](std::string& into) {
      if (i + 1 >= args.size() || args[i + 1].empty()) return false;
      into = args[++i];
      return true;
    };
    if (s == "--help" || s == "-h") {
      a.Hilfe = true;
    } else if (s == "--table1" || s == "--table2" || s == "--table3") {
      std::string& t = a.Tabellen[s.back() - '1'];
      if (!t.empty()) return fail(s + " ist doppelt angegeben");
      if (!wert(t)) return fail(s + " braucht eine CSV-Datei");
    } else if (s == "--pdf") {
      if (!setZiel(TZiel::Pdf)) return fail(zuViel);
      if (!wert(a.Ausgabe)) return fail("--pdf braucht einen Dateinamen");
    } else if (s == "--png") {
      if (!setZiel(TZiel::Png)) return fail(zuViel);
      if (!wert(a.Ausgabe)) return fail("--png braucht einen Ordner");
    } else if (s == "--print") {
      if (!setZiel(TZiel::Drucker)) return fail(zuViel);
    } else if (s == "--copies") {
      std::string v;
      if (kopienGesetzt) return fail("--copies ist doppelt angegeben");
      if (!wert(v)) return fail("--copies braucht eine Zahl");
      int n = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
      if (ec != std::errc() || end != v.data() + v.size() || n < 1 || n > kMaxKopien)
        return fail("--copies braucht eine Zahl von 1 bis " + std::to_string(kMaxKopien) + ", nicht \"" + v + "\"");
      a.Kopien = n;
      kopienGesetzt = true;
    } else if (s.size() > 1 && s[0] == '-') {
      return fail("Unbekannte Option: " + s);
    } else {
      if (!a.Definition.empty()) return fail("Nur eine Reportdefinition angeben, nicht auch \"" + s + "\"");
      if (s.empty()) return fail("Leerer Dateiname der Reportdefinition");
      a.Definition = s;
    }
  }
  if (a.Hilfe) return r;
  if (a.Definition.empty()) return fail("Keine Reportdefinition angegeben");
  if (a.Ziel == TZiel::Keins) return fail("Keine Ausgabe angegeben: --pdf, --png oder --print");
  if (kopienGesetzt && a.Ziel != TZiel::Drucker) return fail("--copies gilt nur mit --print");
  return r;
}

}  // namespace komp::report_cli
