// brivox: the window without arguments, the command line with them.
#include <QApplication>
#include <QIcon>
#include <cstdio>

#include "app/core/cli.h"
#include "app/unit1.h"
#include "framework/gui/application.h"

int main(int argc, char** argv) {
  if (argc > 1) return brivox::RunCommandLine(argc, argv);
  if (!komp::HaveDisplay()) {
    std::fprintf(stderr,
                 "brivox: Kein Bildschirm f\xC3\xBCr das Fenster (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt).\n"
                 "Auf einem Desktop starten (oder unter xvfb-run) oder die Befehlszeile benutzen:\n\n");
    char help[] = "--help";
    char* args[] = {argv[0], help, nullptr};
    brivox::RunCommandLine(2, args);
    return 2;
  }
  komp::TApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/brivox.png")));
  QApplication::setApplicationName(QStringLiteral("Brivox"));
  QApplication::setDesktopFileName(QStringLiteral("brivox"));
  brivox::TForm1 form;
  form.Show();
  return app.Run();
}
