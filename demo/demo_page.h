// The demo shows every component on one form, a tab page each; page files register themselves.
#pragma once
#include <functional>
#include <string>

class QWidget;

namespace demo {

struct DemoPage {
  std::string title;
  int order;
  std::function<void(QWidget* page)> build;  // places the components on the page
};

bool RegisterDemoPage(std::string title, int order, std::function<void(QWidget* page)> build);

}  // namespace demo
