#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "framework/gui/controls.h"
#include "framework/gui/listwindow.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {

class Probe : public TCustomControl {
 public:
  explicit Probe(QWidget* owner) : TCustomControl(owner) {}
  int presses = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_LBUTTONDOWN) ++presses;
    TCustomControl::Dispatch(m);
  }
};

struct Watched {
  uint32_t msg;
  TPoint pos;
};

std::vector<std::string> Names(int n) {
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.push_back("Eintrag " + std::to_string(i));
  return out;
}

}  // namespace

TEST(ListWindow, ShownOnTopWithoutTakingTheFocus) {
  TTestServices services;
  TForm form;
  form.SetBounds(50, 50, 300, 200);
  auto* edit = new TEdit(&form);
  ShowAndActivate(&form);
  edit->SetFocus();
  ASSERT_TRUE(edit->Focused());

  TListWindow list;
  list.SetItems({"eins", "zwei", "drei"});
  const TRect at = Bounds(60, 90, 120, 3 * list.ItemHeight() + 2);
  list.ShowAt(at);
  QCoreApplication::processEvents();
  EXPECT_TRUE(list.Visible());
  EXPECT_EQ(list.ScreenRect(), at);
  EXPECT_EQ(QApplication::activeWindow(), &form);
  EXPECT_TRUE(edit->Focused());
  const Qt::WindowFlags f = list.Widget()->windowFlags();
  EXPECT_TRUE(f & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(f & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(f & Qt::FramelessWindowHint);
  list.Hide();
  EXPECT_FALSE(list.Visible());
  EXPECT_TRUE(edit->Focused());
}

TEST(ListWindow, MouseWatchSeesMovesAndPressesAnywhere) {
  TTestServices services;
  TForm form;
  form.SetBounds(40, 30, 300, 200);
  auto* probe = new Probe(&form);
  probe->SetBounds(20, 20, 100, 50);
  ShowAndActivate(&form);

  TListWindow list;
  list.SetItems({"eins", "zwei"});
  std::vector<Watched> seen;
  bool swallow = false;
  list.MouseWatch = [&](uint32_t msg, TPoint p) {
    seen.push_back({msg, p});
    return swallow;
  };
  // Not shown: nothing is watched.
  SendMouse(probe, QEvent::MouseMove, Qt::NoButton, {5, 5});
  EXPECT_TRUE(seen.empty());

  list.ShowAt(Bounds(200, 300, 100, 40));
  const TPoint global = FromQPoint(probe->mapToGlobal(QPoint(7, 9)));
  SendMouse(probe, QEvent::MouseMove, Qt::NoButton, {7, 9});
  ASSERT_EQ(seen.size(), 1u) << "one event, reported once";
  EXPECT_EQ(seen[0].msg, uint32_t(WM_MOUSEMOVE));
  EXPECT_EQ(seen[0].pos, global);

  // A right press is not watched; the left one is, and the control still gets it.
  seen.clear();
  SendMouse(probe, QEvent::MouseButtonPress, Qt::RightButton, {7, 9});
  SendMouse(probe, QEvent::MouseButtonRelease, Qt::RightButton, {7, 9});
  EXPECT_TRUE(seen.empty());
  Click(probe, {7, 9});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].msg, uint32_t(WM_LBUTTONDOWN));
  EXPECT_EQ(seen[0].pos, global);
  EXPECT_EQ(probe->presses, 1);

  // Swallowed: the control does not see the press.
  swallow = true;
  Click(probe, {7, 9});
  EXPECT_EQ(probe->presses, 1);
  EXPECT_EQ(seen.size(), 2u);

  // Presses on the list window itself are reported too, in screen coordinates.
  seen.clear();
  swallow = false;
  Click(list.Widget(), {10, 5});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].pos, (TPoint{210, 305}));

  list.Hide();
  seen.clear();
  Click(probe, {7, 9});
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(probe->presses, 2);
}

TEST(ListWindow, WatchMayCloseOrFreeTheWindow) {
  TTestServices services;
  TForm form;
  auto* probe = new Probe(&form);
  ShowAndActivate(&form);
  auto* list = new TListWindow;
  list->SetItems({"eins"});
  list->MouseWatch = [&](uint32_t msg, TPoint) {
    if (msg == WM_LBUTTONDOWN) list->Hide();
    return false;
  };
  list->ShowAt(Bounds(0, 0, 100, 20));
  Click(probe, {3, 3});
  EXPECT_FALSE(list->Visible());
  EXPECT_EQ(probe->presses, 1);
  list->MouseWatch = [&](uint32_t, TPoint) {
    delete list;
    list = nullptr;
    return true;
  };
  list->ShowAt(Bounds(0, 0, 100, 20));
  Click(probe, {3, 3});
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(probe->presses, 1);
  Click(probe, {3, 3});
  EXPECT_EQ(probe->presses, 2);
}

TEST(ListWindow, ItemsUnderScreenPointsAndScrolling) {
  TTestServices services;
  TListWindow list;
  TFont font;
  font.Size = 10;
  list.SetFont(font);
  list.SetItems(Names(20));
  const int ih = list.ItemHeight();
  EXPECT_GE(ih, 13);
  const TRect at = Bounds(100, 100, 150, 5 * ih + 2);
  EXPECT_EQ(list.ItemAtScreen({110, 110}), -1) << "not shown";
  list.ShowAt(at);
  auto rowY = [&](int row) { return at.top + 1 + row * ih + ih / 2; };
  EXPECT_EQ(list.ItemAtScreen({110, rowY(0)}), 0);
  EXPECT_EQ(list.ItemAtScreen({110, rowY(4)}), 4);
  EXPECT_EQ(list.ItemAtScreen({99, rowY(0)}), -1);
  EXPECT_EQ(list.ItemAtScreen({110, at.top}), -1) << "the border";
  EXPECT_EQ(list.ItemAtScreen({at.right - 5, rowY(1)}), -1) << "the scroll bar";

  // Selecting an item below the visible ones scrolls it into view, at the bottom.
  list.SetItemIndex(12);
  EXPECT_EQ(list.ItemAtScreen({110, rowY(4)}), 12);
  EXPECT_EQ(list.ItemAtScreen({110, rowY(0)}), 8);
  list.SetItemIndex(99);
  EXPECT_EQ(list.ItemIndex(), 12);

  // Few items: no scroll bar, and below the last item there is none.
  list.SetItems({"eins", "zwei"});
  list.SetItemIndex(1);
  EXPECT_EQ(list.ItemAtScreen({at.right - 5, rowY(1)}), 1);
  EXPECT_EQ(list.ItemAtScreen({110, rowY(3)}), -1);

  // The selected item is drawn in the highlight colour inside a thin frame.
  const QImage img = list.Widget()->grab().toImage();
  EXPECT_EQ(FromQColor(img.pixelColor(0, 0)), ColorToRGB(clWindowFrame));
  EXPECT_EQ(FromQColor(img.pixelColor(148, 1 + ih + 1)), ColorToRGB(clHighlight));
  EXPECT_EQ(FromQColor(img.pixelColor(148, 1 + 1)), ColorToRGB(clWindow));
}
