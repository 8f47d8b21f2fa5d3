// The command line of komp-report and the run behind it.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace komp::report_cli {

enum class TZiel { Keins, Pdf, Png, Drucker };

struct TAufruf {
  std::string Definition;   // file system names, as given
  std::string Tabellen[3];  // --table1..--table3, empty when not given
  TZiel Ziel = TZiel::Keins;
  std::string Ausgabe;      // the PDF file or the picture folder
  int Kopien = 1;
  bool Hilfe = false;       // --help: the usage text, nothing else
};

struct TArgumente {
  // Empty when the command line is right; otherwise what is wrong, in German.
  std::string Fehler;
  TAufruf Aufruf;
};

constexpr int kMaxKopien = 999;

TArgumente ParseArgs(const std::vector<std::string>& args);

// The usage text (German, UTF-8 for the terminal).
extern const char* const kUsage;

// Exit statuses.
enum : int { kOk = 0, kFehler = 1, kAufruf = 2 };

// Parses the arguments and runs the report; messages go to `err` in UTF-8. Needs the
// application object (main makes it).
int RunReport(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace komp::report_cli
