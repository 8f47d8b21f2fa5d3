// komp-report: a report definition with CSV tables into a PDF file, page pictures or a print
// job, without a display.
#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/gui/application.h"
#include "tools/komp-report/args.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // A wrong command line or --help needs no Qt at all.
  const komp::report_cli::TArgumente parsed = komp::report_cli::ParseArgs(args);
  if (!parsed.Fehler.empty() || parsed.Aufruf.Hilfe) return komp::report_cli::RunReport(args, stdout, stderr);
  // Offscreen unless told otherwise: a batch run must neither need nor depend on a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  komp::TApplication app(argc, argv);
  return komp::report_cli::RunReport(args, stdout, stderr);
}
