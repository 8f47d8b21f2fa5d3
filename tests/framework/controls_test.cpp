#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "framework/gui/controls.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {
class Probe : public TCustomControl {
 public:
  explicit Probe(QWidget* owner) : TCustomControl(owner) { SetTabStop(true); }
  std::vector<TMessage> got;
  void Dispatch(TMessage& m) override {
    if (m.Msg != WM_SIZE && m.Msg != CM_MOUSEENTER && m.Msg != CM_MOUSELEAVE) got.push_back(m);
    TCustomControl::Dispatch(m);
  }
  void Paint() override {
    Canvas().Brush.Color = clRed;
    Canvas().FillRect(ClientRect());
  }
  std::vector<uint32_t> Kinds() const {
    std::vector<uint32_t> k;
    for (auto& m : got) k.push_back(m.Msg);
    return k;
  }
};
}  // namespace

TEST(Controls, RealQtInputArrivesAsMessagesInOrder) {
  TTestServices services;
  TForm form;
  form.SetClientSize(200, 100);
  auto* a = new Probe(&form);
  a->SetBounds(0, 0, 100, 21);
  a->SetTabOrder(0);
  auto* b = new Probe(&form);
  b->SetBounds(0, 30, 100, 21);
  b->SetTabOrder(1);
  ShowAndActivate(&form);
  b->SetFocus();
  a->got.clear();
  a->SetFocus(FOCUS_KEYBOARD);
  ASSERT_TRUE(a->Focused());
  ASSERT_EQ(a->got.size(), 1u);
  EXPECT_EQ(a->got[0].Msg, WM_SETFOCUS);
  EXPECT_EQ(a->got[0].WParam, FOCUS_KEYBOARD);
  a->got.clear();

  SendKey(a, Qt::Key_C, "\x03", Qt::ControlModifier);
  ASSERT_EQ(a->Kinds(), (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  EXPECT_EQ(a->got[0].WParam, 'C');
  EXPECT_EQ(a->got[1].WParam, 3);
  a->got.clear();

  SendKey(a, Qt::Key_Adiaeresis, "\xC3\xA4");
  ASSERT_EQ(a->Kinds(), (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  EXPECT_EQ(a->got[1].WParam, 0xE4);
  a->got.clear();

  // Tab is not taken by the probe: the framework moves the focus to the next control.
  b->got.clear();
  SendKey(a, Qt::Key_Tab, "\t");
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(a->Kinds()[0], uint32_t(WM_KEYDOWN));
  ASSERT_FALSE(b->got.empty());
  EXPECT_EQ(b->got[0].Msg, WM_SETFOCUS);
  EXPECT_EQ(b->got[0].WParam, FOCUS_KEYBOARD);

  b->got.clear();
  SendMouse(b, QEvent::MouseButtonPress, Qt::LeftButton, {7, 9});
  ASSERT_FALSE(b->got.empty());
  EXPECT_EQ(b->got.back().Msg, WM_LBUTTONDOWN);
  EXPECT_EQ(b->got.back().XPos(), 7);
  EXPECT_EQ(b->got.back().YPos(), 9);

  b->SetEnabled(false);
  b->got.clear();
  b->Perform(WM_LBUTTONDOWN, 0, MakeLParam(1, 1));
  EXPECT_TRUE(b->got.empty()) << "input to a disabled control is dropped";

  const QImage img = form.grab().toImage();
  EXPECT_EQ(img.pixelColor(5, 5), QColor(255, 0, 0));
}
