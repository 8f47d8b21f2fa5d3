// The demo shows every component on one form, a tab page each; page files register themselves.
#pragma once
#include <functional>
#include <string>

class QWidget;
namespace komp {
class TSpeedButton;
}

namespace demo {

struct DemoPage {
  std::string title;
  int order;
  std::function<void(QWidget* page)> build;  // places the components on the page
};

bool RegisterDemoPage(std::string title, int order, std::function<void(QWidget* page)> build);

// A button of the pages, 24 pixels high.
komp::TSpeedButton* Knopf(QWidget* page, int left, int top, int width, const std::string& caption);

}  // namespace demo
