// Main of every GUI test: an offscreen application with the framework's settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "framework/gui/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  komp::InitFramework();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
