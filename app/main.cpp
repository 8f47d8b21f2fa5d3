// brivox: the window without arguments or with one file to look at, the command line otherwise.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/core/cli.h"
#include "app/start.h"
#include "app/unit1.h"
#include "framework/gui/application.h"

namespace {
bool AsksForHelp(const std::vector<std::string>& args) {
  return args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "help");
}
}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const brivox::StartPlan plan = brivox::PlanStart(args);
  if (!plan.window) {
    const int status = brivox::RunCommandLine(argc, argv);
    if (AsksForHelp(args)) std::fputs(brivox::kManualHint, stdout);
    else if (status == 2) std::fputs(brivox::kManualHint, stderr);
    return status;
  }
  if (!komp::HaveDisplay()) {
    std::fprintf(stderr,
                 "brivox: Kein Bildschirm f\xC3\xBCr das Fenster (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt).\n"
                 "Auf einem Desktop starten (oder unter xvfb-run) oder die Befehlszeile benutzen:\n\n");
    char help[] = "--help";
    char* helpArgs[] = {argv[0], help, nullptr};
    std::fflush(stderr);
    brivox::RunCommandLine(2, helpArgs);
    std::fputs(brivox::kManualHint, stdout);
    return 2;
  }
  komp::TApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/brivox.png")));
  QApplication::setOrganizationName(QStringLiteral("Brivox"));
  QApplication::setApplicationName(QStringLiteral("Brivox"));
  QApplication::setDesktopFileName(QStringLiteral("brivox"));
  brivox::TForm1 form;
  form.Show();
  // The file is looked at once the window is up, so that a message about it has its window.
  if (!plan.file.empty()) QTimer::singleShot(0, &form, [&form, &plan] { form.OpenFile(plan.file); });
  return app.Run();
}
