// komp-demo: every component of the package on one form, to try them by hand.
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "demo/demo_page.h"
#include "framework/gui/application.h"
#include "framework/gui/controls.h"
#include "framework/gui/stdctrls.h"

namespace demo {

std::vector<DemoPage>& Pages() {
  static std::vector<DemoPage> pages;
  return pages;
}

bool RegisterDemoPage(std::string title, int order, std::function<void(QWidget*)> build) {
  Pages().push_back({std::move(title), order, std::move(build)});
  return true;
}

komp::TSpeedButton* Knopf(QWidget* page, int left, int top, int width, const std::string& caption) {
  auto* b = new komp::TSpeedButton(page);
  b->SetBounds(left, top, width, 24);
  b->Caption = caption;
  return b;
}

}  // namespace demo

int main(int argc, char** argv) {
  if (!komp::HaveDisplay()) {
    std::fprintf(stderr,
                 "komp-demo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                 "Run it on a desktop, or under a virtual one: xvfb-run -a komp-demo\n");
    return 2;
  }
  komp::TApplication app(argc, argv);
  komp::TForm form;
  form.SetCaption("Komp Demo");
  form.SetClientSize(760, 520);
  form.SetPosition(komp::TPosition::ScreenCenter);
  auto* layout = new QVBoxLayout(&form);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* tabs = new QTabWidget(&form);
  layout->addWidget(tabs);
  auto pages = demo::Pages();
  std::stable_sort(pages.begin(), pages.end(), [](const auto& a, const auto& b) { return a.order < b.order; });
  for (const auto& p : pages) {
    auto* page = new komp::TCustomControl(nullptr);
    p.build(page);
    tabs->addTab(page, QString::fromUtf8(p.title.c_str()));
  }
  // For the README pictures: KOMP_DEMO_TAB opens a page, KOMP_DEMO_SCREENSHOT saves the form and quits.
  if (const char* tab = std::getenv("KOMP_DEMO_TAB")) {
    for (int i = 0; i < tabs->count(); ++i)
      if (tabs->tabText(i) == QString::fromUtf8(tab)) tabs->setCurrentIndex(i);
  }
  form.Show();
  if (const char* shot = std::getenv("KOMP_DEMO_SCREENSHOT")) {
    QTimer::singleShot(300, &form, [&form, shot] {
      const bool ok = form.grab().save(QString::fromLocal8Bit(shot), "PNG");
      std::exit(ok ? 0 : 1);
    });
  }
  return app.Run();
}
