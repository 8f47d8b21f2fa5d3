#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "components/komp.h"
#include "framework/gui/controls.h"
#include "framework/gui/registry.h"
#include "framework/testing/doubles.h"

using namespace komp;

// The package puts every component on "Beispiele", and each entry creates its own class.
TEST(Komp, RegistersEveryComponentOnBeispiele) {
  TTestServices services;
  RegisterKomp();
  for (const char* name : {"TTaste", "TIn", "TDruckReport", "TStringTab", "TSuchfeld", "TZeit", "TKalender", "TTabelle"}) {
    const TPaletteEntry* e = FindPaletteEntry(name);
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(e->Page, "Beispiele") << name;
    QWidget owner;
    std::unique_ptr<TObject> made(e->Create(&owner));
    ASSERT_NE(made, nullptr) << name;
    // The same class, by its name, through the object's dynamic type.
    EXPECT_NE(std::string(typeid(*made).name()).find(std::string(name).substr(1)), std::string::npos) << name;
  }
}
