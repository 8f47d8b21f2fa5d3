#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QWheelEvent>

#include "framework/gui/controls.h"
#include "framework/gui/stdctrls.h"
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

TEST(Controls, MouseEventsAsMessages) {
  TTestServices services;
  TForm form;
  form.SetClientSize(200, 100);
  auto* p = new Probe(&form);
  p->SetBounds(10, 10, 100, 50);
  ShowAndActivate(&form);
  p->got.clear();
  SendMouse(p, QEvent::MouseButtonPress, Qt::RightButton, {-3, 40});
  SendMouse(p, QEvent::MouseButtonRelease, Qt::RightButton, {-3, 40});
  SendMouse(p, QEvent::MouseButtonDblClick, Qt::LeftButton, {4, 5});
  SendMouse(p, QEvent::MouseMove, Qt::NoButton, {6, 7}, Qt::LeftButton);
  SendMouse(p, QEvent::MouseButtonPress, Qt::MiddleButton, {1, 1});
  std::vector<uint32_t> mouse;
  for (auto& m : p->got)
    if (m.Msg >= WM_MOUSEMOVE && m.Msg <= WM_MOUSEWHEEL) mouse.push_back(m.Msg);
  ASSERT_EQ(mouse, (std::vector<uint32_t>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_MBUTTONDOWN}));
  auto find = [&](uint32_t msg) {
    for (auto& m : p->got)
      if (m.Msg == msg) return m;
    return TMessage{};
  };
  EXPECT_EQ(find(WM_RBUTTONDOWN).XPos(), -3) << "negative positions survive the packing";
  EXPECT_EQ(find(WM_RBUTTONDOWN).YPos(), 40);
  EXPECT_EQ(find(WM_RBUTTONDOWN).WParam, MK_RBUTTON);
  EXPECT_EQ(find(WM_RBUTTONUP).WParam, 0);
  EXPECT_EQ(find(WM_MOUSEMOVE).WParam, MK_LBUTTON);
  EXPECT_EQ(find(WM_MBUTTONDOWN).WParam, MK_MBUTTON);

  // The wheel: delta in the high word of WParam, the screen position in LParam.
  p->got.clear();
  const QPoint global = p->mapToGlobal(QPoint(3, 4));
  QWheelEvent wheel(QPointF(3, 4), QPointF(global), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(p, &wheel);
  ASSERT_EQ(p->Kinds(), (std::vector<uint32_t>{WM_MOUSEWHEEL}));
  EXPECT_EQ(int16_t(uint16_t(p->got[0].WParam >> 16)), -120);
  EXPECT_EQ(p->got[0].WParam & 0xFFFF, MK_CONTROL);
  EXPECT_EQ(p->got[0].XPos(), global.x());
  EXPECT_EQ(p->got[0].YPos(), global.y());
}

TEST(Controls, TabOrderSkipsWhatCannotTakeTheFocusAndWraps) {
  TTestServices services;
  TForm form;
  form.SetClientSize(300, 300);
  auto make = [&](QWidget* parent, int order, const char* name) {
    auto* c = new Probe(parent);
    c->SetTabOrder(order);
    c->Name = name;
    return c;
  };
  // Created out of order: the tab order decides.
  Probe* c = make(&form, 2, "c");
  Probe* a = make(&form, 0, "a");
  auto* panel = new TCustomPanel(&form);
  panel->SetTabOrder(1);
  panel->Name = "panel";
  Probe* inner2 = make(panel, 1, "inner2");
  Probe* inner1 = make(panel, 0, "inner1");
  Probe* off = make(&form, 3, "off");
  off->SetEnabled(false);
  Probe* hidden = make(&form, 4, "hidden");
  hidden->SetVisible(false);
  Probe* noStop = make(&form, 5, "noStop");
  noStop->SetTabStop(false);
  auto* edit = new TEdit(&form);
  edit->SetTabOrder(6);
  edit->Name = "edit";
  ShowAndActivate(&form);

  std::string order;
  for (TControl* t : TabOrderList(&form)) order += t->Name + " ";
  EXPECT_EQ(order, "a panel inner1 inner2 c off hidden noStop edit ") << "the edit's own line edit is no control";

  auto next = [&](QWidget* from, bool forward = true, bool tabStop = true) {
    TControl* n = FindNextControl(&form, from, forward, tabStop);
    return n ? n->Name : std::string("none");
  };
  EXPECT_EQ(next(a), "inner1") << "the panel itself has no tab stop";
  EXPECT_EQ(next(inner2), "c");
  EXPECT_EQ(next(c), "edit");
  EXPECT_EQ(next(edit), "a") << "wraps around";
  EXPECT_EQ(next(a, false), "edit");
  EXPECT_EQ(next(c, true, false), "noStop") << "without the tab stop check";
  EXPECT_EQ(next(nullptr), "a");
  panel->SetEnabled(false);
  EXPECT_EQ(next(a), "c") << "controls in a disabled container";
  panel->SetEnabled(true);
  panel->SetVisible(false);
  EXPECT_EQ(next(a), "c") << "controls in a hidden container";
  panel->SetVisible(true);

  // Tab and Shift+Tab move the focus along that order.
  a->SetFocus();
  SendKey(a, Qt::Key_Tab, "\t");
  EXPECT_TRUE(inner1->Focused());
  SendKey(inner1, Qt::Key_Backtab, "", Qt::ShiftModifier);
  EXPECT_TRUE(a->Focused());
  SendKey(a, Qt::Key_Backtab, "", Qt::ShiftModifier);
  EXPECT_TRUE(edit->Focused());
  SendKey(edit->Editor(), Qt::Key_Tab, "\t");
  EXPECT_TRUE(a->Focused());

  TForm empty;
  EXPECT_EQ(FindNextControl(&empty, nullptr, true, true), nullptr);
  EXPECT_FALSE(SelectNext(&empty, nullptr, true, true));
}

TEST(Controls, ApplicationMessagesGoToTheActiveWindow) {
  TTestServices services;
  struct Window : TForm {
    std::vector<TMessage> got;
    void Dispatch(TMessage& m) override {
      if (m.Msg >= WM_APP && m.Msg < WM_APP + 0x100) {
        got.push_back(m);
        m.Result = 42;
        return;
      }
      TForm::Dispatch(m);
    }
  };
  Window w;
  EXPECT_EQ(SendToActiveWindow(WM_APP + 1, 0, 0), 0) << "no active window";
  ShowAndActivate(&w);
  EXPECT_EQ(SendToActiveWindow(WM_APP + 3, 7, 8), 42);
  ASSERT_EQ(w.got.size(), 1u);
  EXPECT_EQ(w.got[0].Msg, uint32_t(WM_APP + 3));
  EXPECT_EQ(w.got[0].WParam, 7);
  EXPECT_EQ(w.got[0].LParam, 8);
}

TEST(Controls, CaptureFollowsTheControlAndEndsWithIt) {
  TTestServices services;
  TForm form;
  auto* p = new Probe(&form);
  ShowAndActivate(&form);
  SetCapture(p);
  EXPECT_EQ(GetCapture(), p);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  SetCapture(p);
  delete p;
  EXPECT_EQ(GetCapture(), nullptr);
}
