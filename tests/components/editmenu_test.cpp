#include "components/common/editmenu.h"

#include <gtest/gtest.h>

#include "framework/gui/controls.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {
class Target : public TCustomControl {
 public:
  explicit Target(QWidget* owner) : TCustomControl(owner) {}
  std::vector<TMessage> got;
  void Dispatch(TMessage& m) override {
    if (m.Msg >= WM_CUT && m.Msg <= WM_CLEAR) got.push_back(m);
    else TCustomControl::Dispatch(m);
  }
};
}  // namespace

TEST(EditMenu, ItemsGreyingAndCommandsSent) {
  TTestServices services;
  Target target(nullptr);
  services.mouse.pos = {123, 45};

  // Without "Zeilenumbruch" allowed it is not listed; the others are greyed by their bits.
  EXPECT_EQ(ShowEditMenu(&target, emCopy | emPaste), 0u);
  ASSERT_EQ(services.menus.calls.size(), 1u);
  const auto& items = services.menus.calls[0].items;
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].Caption, "Ausschneiden");
  EXPECT_EQ(items[1].Caption, "Kopieren");
  EXPECT_EQ(items[2].Caption, "Einf\xFC" "gen");
  EXPECT_EQ(items[3].Caption, "L\xF6" "schen");
  EXPECT_FALSE(items[0].Enabled);
  EXPECT_TRUE(items[1].Enabled);
  EXPECT_FALSE(items[2].Enabled) << "no text on the clipboard";
  EXPECT_FALSE(items[3].Enabled);
  EXPECT_EQ(services.menus.calls[0].pos, (TPoint{123, 45}));

  services.clipboard.SetText("x");
  const int all = emCut | emCopy | emPaste | emClear | emZeilenumbruch;
  const std::pair<const char*, uint32_t> picks[] = {{"Ausschneiden", WM_CUT}, {"Kopieren", WM_COPY},
                                                    {"Einf\xFC" "gen", WM_PASTE}, {"L\xF6" "schen", WM_CLEAR},
                                                    {"Zeilenumbruch", WM_PASTE}};
  for (const auto& [caption, msg] : picks) {
    services.menus.choose.push_back(caption);
    EXPECT_EQ(ShowEditMenu(&target, all), msg) << caption;
  }
  EXPECT_EQ(services.menus.calls.back().items.size(), 5u);
  ASSERT_EQ(target.got.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(target.got[i].Msg, picks[i].second);
  EXPECT_EQ(target.got[2].WParam, 0);
  EXPECT_EQ(target.got[4].WParam, 1) << "Zeilenumbruch is a paste with WParam 1";

  // A greyed item cannot be chosen.
  target.got.clear();
  services.menus.choose.push_back("L\xF6" "schen");
  EXPECT_EQ(ShowEditMenu(&target, emPaste), 0u);
  EXPECT_TRUE(target.got.empty());
}
