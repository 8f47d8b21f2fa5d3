// The application object: Qt's, set up the way the components expect.
#pragma once
#include <memory>

class QApplication;

namespace komp {

class TApplication {
 public:
  TApplication(int& argc, char** argv);
  ~TApplication();
  int Run();
  void Terminate();

 private:
  std::unique_ptr<QApplication> app_;
};

// The framework's look: one style on every desktop, the Windows faces mapped to installed ones.
void InitFramework();
// True when a window can be shown (an X or Wayland display, or a Qt platform chosen explicitly).
bool HaveDisplay();

}  // namespace komp
