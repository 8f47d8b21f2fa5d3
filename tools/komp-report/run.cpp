// RunReport: reads the definition and the CSV tables, parses with the errors on stderr, and
// writes the PDF, the page pictures or the print job. The message boxes the report raises
// while laying out go to stderr as well, so no run ever waits for a person.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "components/druckreport/druckreport.h"
#include "components/druckreport/output.h"
#include "components/stringtab/stringtab.h"
#include "framework/cp1252.h"
#include "framework/file.h"
#include "framework/gui/graphics.h"
#include "framework/gui/services.h"
#include "tools/komp-report/args.h"
#include "tools/komp-report/csv.h"

namespace komp::report_cli {

namespace {

constexpr int64_t kMaxDefinition = int64_t(64) << 20;
constexpr int64_t kMaxCsv = int64_t(512) << 20;

// A message in code page 1252 to stderr.
void Melde(std::FILE* err, const std::string& cp1252) {
  std::fputs(("komp-report: " + Cp1252ToUtf8(cp1252) + "\n").c_str(), err);
}

// A system name as the messages show it.
std::string Name(const std::string& systemName) { return "\"" + FromSystemName(systemName) + "\""; }

bool LeseDatei(const std::string& systemName, int64_t limit, std::string& bytes, std::string& fehler) {
  if (TypeOf(systemName) != FileType::Regular) {
    fehler = "Die Datei " + Name(systemName) + " gibt es nicht oder sie ist keine gew\xF6hnliche Datei";
    return false;
  }
  TFile f;
  if (!f.Open(systemName, TFile::Mode::Read, 1 << 16)) {
    fehler = "Die Datei " + Name(systemName) + " kann nicht ge\xF6" "ffnet werden";
    return false;
  }
  bytes.clear();
  char buffer[1 << 16];
  for (;;) {
    const int64_t got = f.Read(buffer, sizeof buffer);
    if (got < 0) {
      fehler = "Die Datei " + Name(systemName) + " kann nicht gelesen werden";
      return false;
    }
    if (got == 0) return true;
    if (int64_t(bytes.size()) + got > limit) {
      fehler = "Die Datei " + Name(systemName) + " ist gr\xF6\xDF" "er als " + std::to_string(limit >> 20) + " MB";
      return false;
    }
    bytes.append(buffer, size_t(got));
  }
}

class TStderrDiagnostics final : public IReportDiagnostics {
 public:
  explicit TStderrDiagnostics(std::FILE* err) : err_(err) {}
  int Meldungen = 0;
  bool UnknownWord(const std::string& text, int64_t line) override {
    ++Meldungen;
    // The parser gives up to 20 bytes from the word on; the word is what ends at a blank.
    const size_t end = text.find_first_of(" \t\r\n");
    Melde(err_, "Unbekanntes Wort in Zeile " + std::to_string(line) + ": " + text.substr(0, end));
    return true;
  }
  void ParseError(int n, int64_t line) override {
    ++Meldungen;
    Melde(err_, "Fehler " + std::to_string(n) + " in Zeile " + std::to_string(line) + ": " + ReportFehlerText(n));
  }
  void OutOfMemory() override {
    ++Meldungen;
    Melde(err_, "Nicht genug Speicher");
  }
  void DuplicateVariable(const std::string& name) override {
    ++Meldungen;
    Melde(err_, "Die Variable " + name + " ist schon definiert");
  }

 private:
  std::FILE* err_;
};

// Message boxes without a person: the text goes to stderr, the answer is the first button.
class TStderrBoxes final : public IMessageBoxes {
 public:
  explicit TStderrBoxes(std::FILE* err) : err_(err) {}
  int Show(const std::string& text, const std::string& caption, int buttons, int) override {
    std::string line = caption + ": " + text;
    for (char& c : line)
      if (c == '\n' || c == '\r') c = ' ';
    Melde(err_, line);
    return buttons == MB_YESNO ? IDYES : buttons == MB_RETRYCANCEL ? IDCANCEL : IDOK;
  }

 private:
  std::FILE* err_;
};

// A name for the framework (code page 1252) that leads back to exactly this file.
bool Cp1252Name(const std::string& systemName, std::string& cp1252, std::FILE* err) {
  cp1252 = FromSystemName(systemName);
  if (ToSystemName(cp1252) == systemName) return true;
  Melde(err, "Der Name " + cp1252 + " enth\xE4lt Zeichen, die Codepage 1252 nicht kennt");
  return false;
}

int SchreibePdf(TDruckReport& report, const std::string& ziel, std::FILE* err) {
  std::string name;
  if (!Cp1252Name(ziel, name, err)) return kFehler;
  if (TypeOf(ziel) == FileType::Directory) {
    Melde(err, "Die PDF-Datei " + Name(ziel) + " ist ein Ordner");
    return kFehler;
  }
  if (!report.SaveasPDF(name.c_str())) {
    Melde(err, "Die PDF-Datei " + Name(ziel) + " konnte nicht geschrieben werden");
    return kFehler;
  }
  return kOk;
}

// Each page as the preview lays it out (the screen output at 96 dpi) on a white sheet. The
// pages go to temporary files first and are renamed to seiteN.png once all are written.
int SchreibePng(TDruckReport& report, const std::string& ordner, std::FILE* err) {
  std::string ordner1252;
  if (!Cp1252Name(ordner, ordner1252, err)) return kFehler;
  std::error_code ec;
  std::filesystem::create_directory(ordner, ec);
  if (TypeOf(ordner) != FileType::Directory) {
    Melde(err, "Der Ordner " + Name(ordner) + " kann nicht angelegt werden");
    return kFehler;
  }
  const int w = std::max(1, int(std::lround(report.Seitenbreite * 96.0 / 254.0)));
  const int h = std::max(1, int(std::lround(report.Seitenhoehe * 96.0 / 254.0)));
  TBitmap bild;
  bild.SetSize(w, h);
  auto weiss = [&]() {
    TCanvas& c = bild.Canvas();
    c.Brush.Style = TBrushStyle::Solid;
    c.Brush.Color = clWhite;
    c.FillRect({0, 0, w, h});
  };
  weiss();
  const std::string prefix = ordner + "/.komp-report-" + std::to_string(getpid()) + "-seite";
  std::vector<std::string> temporaere;
  auto speichere = [&]() {
    const std::string name = prefix + std::to_string(temporaere.size() + 1) + ".png";
    temporaere.push_back(name);
    return bild.SaveToFile(FromSystemName(name));
  };
  auto aufraeumen = [&]() {
    for (const std::string& t : temporaere) std::remove(t.c_str());
  };
  bool speicherFehler = false;
  TCanvasOutput out(bild.Canvas(), report.Seitenbreite, report.Seitenhoehe, w, h, {0, 0}, 96,
                    [&]() -> TCanvas* {
                      if (!speichere()) {
                        speicherFehler = true;
                        return nullptr;
                      }
                      weiss();
                      return &bild.Canvas();
                    });
  out.SetScreen(0);  // texts fitted as in the preview
  const bool gesetzt = report.DrawCanvas(out);
  if (!gesetzt || speicherFehler || !speichere()) {
    aufraeumen();
    Melde(err, gesetzt || speicherFehler ? "Die Bilder in " + Name(ordner) + " konnten nicht geschrieben werden"
                                         : std::string("Der Report konnte nicht gesetzt werden"));
    return kFehler;
  }
  for (size_t i = 0; i < temporaere.size(); ++i) {
    const std::string ziel = ordner + "/seite" + std::to_string(i + 1) + ".png";
    if (std::rename(temporaere[i].c_str(), ziel.c_str()) != 0) {
      aufraeumen();
      Melde(err, "Das Bild " + Name(ziel) + " konnte nicht geschrieben werden");
      return kFehler;
    }
  }
  return kOk;
}

int Drucke(TDruckReport& report, const std::string& titel, int kopien, std::FILE* err) {
  if (!report.Drucken(FromSystemName(titel).c_str(), kopien)) {
    Melde(err, "Drucken fehlgeschlagen: kein Standarddrucker oder der Druckauftrag wurde abgebrochen");
    return kFehler;
  }
  return kOk;
}

}  // namespace

int RunReport(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  const TArgumente parsed = ParseArgs(args);
  if (!parsed.Fehler.empty()) {
    std::fprintf(err, "komp-report: %s\n\n%s", parsed.Fehler.c_str(), kUsage);
    return kAufruf;
  }
  const TAufruf& a = parsed.Aufruf;
  if (a.Hilfe) {
    std::fputs(kUsage, out);
    return kOk;
  }
  std::string definition, fehler;
  if (!LeseDatei(a.Definition, kMaxDefinition, definition, fehler)) {
    Melde(err, fehler);
    return kFehler;
  }
  std::unique_ptr<TStringTab> tabellen[3];
  for (int n = 0; n < 3; ++n) {
    if (a.Tabellen[n].empty()) continue;
    const std::string wer = "Tabelle" + std::to_string(n + 1) + " (" + FromSystemName(a.Tabellen[n]) + "): ";
    std::string csv;
    if (!LeseDatei(a.Tabellen[n], kMaxCsv, csv, fehler)) {
      Melde(err, wer + fehler);
      return kFehler;
    }
    const TCsvTable table = ReadCsv(csv);
    tabellen[n] = std::make_unique<TStringTab>();
    if (!table.Fehler.empty() || !FillStringTab(table, *tabellen[n], fehler)) {
      Melde(err, wer + (table.Fehler.empty() ? fehler : table.Fehler));
      return kFehler;
    }
  }

  TStderrBoxes boxes(err);
  TServices replacement;
  replacement.MessageBoxes = &boxes;
  TServiceOverride override(replacement);
  TStderrDiagnostics diagnostics(err);
  TDruckReport report(nullptr);
  report.Model().SetDiagnostics(&diagnostics);
  report.SetTabelle1(tabellen[0].get());
  report.SetTabelle2(tabellen[1].get());
  report.SetTabelle3(tabellen[2].get());
  report.SetReportdaten(definition.c_str());
  if (diagnostics.Meldungen > 0 || report.LastError().Number != rfKeiner) {
    Melde(err, "Die Reportdefinition " + Name(a.Definition) + " enth\xE4lt Fehler; nichts geschrieben");
    return kFehler;
  }
  switch (a.Ziel) {
    case TZiel::Pdf: return SchreibePdf(report, a.Ausgabe, err);
    case TZiel::Png: return SchreibePng(report, a.Ausgabe, err);
    case TZiel::Drucker: return Drucke(report, a.Definition, a.Kopien, err);
    case TZiel::Keins: break;
  }
  return kAufruf;
}

}  // namespace komp::report_cli
