#include "framework/gui/application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdlib>

namespace komp {

TApplication::TApplication(int& argc, char** argv) : app_(std::make_unique<QApplication>(argc, argv)) {
  InitFramework();
}

TApplication::~TApplication() = default;

int TApplication::Run() { return app_->exec(); }

void TApplication::Terminate() { app_->quit(); }

namespace {
// The program speaks German, so do Qt's own dialogs (file dialog, standard buttons),
// whatever the desktop's language.
void LoadQtGerman() {
  static QTranslator translator;
  if (translator.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&translator);
}
}  // namespace

void InitFramework() {
  LoadQtGerman();
  if (QStyle* s = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(s);
  QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
  QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
}

bool HaveDisplay() {
  auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace komp
