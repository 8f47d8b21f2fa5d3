#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>

#include "framework/gui/controls.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"
#include "tests/framework/window_input.h"

using namespace komp;

namespace {
class Stop : public TCustomControl {
 public:
  Stop(QWidget* owner, const char* name, int order) : TCustomControl(owner) {
    SetTabStop(true);
    SetTabOrder(order);
    Name = name;
  }
  std::vector<intptr_t> focusHow;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_SETFOCUS) focusHow.push_back(m.WParam);
    TCustomControl::Dispatch(m);
  }
};

std::string NameOf(TControl* c) { return c ? c->Name : std::string("none"); }

// Presses Tab (or Shift+Tab) on the focused control and names the control that has the focus then.
std::string Tab(TForm& form, bool back = false) {
  TControl* at = form.ActiveControl();
  if (!at) return "none";
  QWidget* target = at;
  if (auto* e = dynamic_cast<TEdit*>(at)) target = e->Editor();
  if (back) SendKey(target, Qt::Key_Backtab, "", Qt::ShiftModifier);
  else SendKey(target, Qt::Key_Tab, "\t");
  return NameOf(form.ActiveControl());
}
}  // namespace

TEST(Focus, TabWalksTheWholeWindowThroughGroupBoxesAndHostPages) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  auto* first = new Stop(&form, "first", 0);
  auto* box = new TGroupBox(&form);
  box->SetTabOrder(1);
  box->SetBounds(0, 40, 300, 100);
  new Stop(box, "inBox2", 1);
  new Stop(box, "inBox1", 0);
  new Stop(&form, "after", 2);
  // A page of a host, a plain Qt widget, with controls of its own; it counts as tab order 0.
  auto* page = new QWidget(&form);
  page->setGeometry(0, 150, 300, 100);
  auto* onPage = new Stop(page, "onPage", 5);
  auto* edit = new TEdit(&form);
  edit->Name = "edit";
  edit->SetTabOrder(3);
  // A window owned by this one keeps its controls to itself.
  auto* other = new TForm(&form);
  new Stop(other, "otherWindow", 0);
  ShowAndActivate(&form);

  std::string order;
  for (TControl* c : TabOrderList(&form)) order += c->Name + " ";
  EXPECT_EQ(order, "first onPage  inBox1 inBox2 after edit ")
      << "the page sorts with tab order 0 after the control created before it; the group box has no name";

  first->SetFocus(FOCUS_KEYBOARD);
  std::vector<std::string> forward, back;
  for (int i = 0; i < 6; ++i) forward.push_back(Tab(form));
  EXPECT_EQ(forward, (std::vector<std::string>{"onPage", "inBox1", "inBox2", "after", "edit", "first"}))
      << "the last control of the box hands on to the control after the box";
  for (int i = 0; i < 6; ++i) back.push_back(Tab(form, true));
  EXPECT_EQ(back, (std::vector<std::string>{"edit", "after", "inBox2", "inBox1", "onPage", "first"}))
      << "Shift+Tab goes backwards, out of the box at its start too";

  // The edit's own line edit counts as the edit.
  EXPECT_EQ(NameOf(FindNextControl(&form, edit->Editor(), true, true)), "first");
  EXPECT_EQ(NameOf(FindNextControl(&form, edit->Editor(), false, true)), "after");

  // A hidden group box is skipped as a whole.
  box->SetVisible(false);
  EXPECT_EQ(NameOf(FindNextControl(&form, onPage, true, true)), "after");
}

TEST(Focus, AClickNeverLosesTheFocus) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 200);
  // A page that could take the focus itself, as a host's page does.
  auto* page = new TCustomControl(nullptr);
  page->setParent(&form);
  page->SetBounds(0, 0, 400, 200);
  page->show();
  auto* a = new Stop(page, "a", 0);
  a->SetBounds(10, 10, 100, 21);
  auto* off = new Stop(page, "off", 1);
  off->SetBounds(10, 40, 100, 21);
  off->SetEnabled(false);
  auto* never = new Stop(page, "never", 2);
  never->SetBounds(10, 70, 100, 21);
  never->SetFocusable(false);
  auto* edit = new TEdit(page);
  edit->SetBounds(10, 100, 100, 21);
  edit->SetEnabled(false);
  auto* b = new Stop(page, "b", 3);
  b->SetBounds(200, 10, 100, 21);
  ShowAndActivate(&form);
  a->SetFocus(FOCUS_KEYBOARD);

  WindowClick(off, {5, 5});
  EXPECT_TRUE(a->Focused()) << "a click on a disabled control";
  WindowClick(edit, {5, 5});
  EXPECT_TRUE(a->Focused()) << "a click on a disabled edit";
  WindowClick(page, {350, 150});
  EXPECT_TRUE(a->Focused()) << "a click on an empty place of the page";
  WindowClick(never, {5, 5});
  EXPECT_TRUE(a->Focused()) << "a control that never takes the focus";
  never->SetFocus(FOCUS_KEYBOARD);
  EXPECT_TRUE(a->Focused());
  EXPECT_FALSE(never->CanFocus());

  b->focusHow.clear();
  WindowClick(b, {5, 5});
  EXPECT_TRUE(b->Focused()) << "an enabled tab stop takes the focus on a click";
  EXPECT_EQ(b->focusHow, std::vector<intptr_t>{FOCUS_MOUSE}) << "once, and by mouse";
  // The same for a press sent to the control itself.
  a->focusHow.clear();
  SendMouse(a, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  SendMouse(a, QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(a->focusHow, std::vector<intptr_t>{FOCUS_MOUSE});

  // A control without tab stop still takes the focus from code.
  page->SetFocus();
  EXPECT_TRUE(page->Focused());
}

TEST(Focus, ActiveControlShowingAndScreen) {
  TTestServices services;
  TForm form;
  form.SetClientSize(300, 100);
  auto* a = new Stop(&form, "a", 0);
  auto* edit = new TEdit(&form);
  edit->SetTop(40);
  auto* box = new TGroupBox(&form);
  auto* inner = new Stop(box, "inner", 0);
  box->SetVisible(false);
  ShowAndActivate(&form);

  a->SetFocus();
  EXPECT_EQ(form.ActiveControl(), a);
  EXPECT_EQ(FocusedControl(inner), a) << "asked through any widget of the window";
  edit->SetFocus();
  EXPECT_EQ(form.ActiveControl(), edit) << "the edit, not its line edit";
  edit->SetEnabled(false);
  EXPECT_EQ(form.ActiveControl(), nullptr) << "a disabled control gives the focus up";
  a->SetFocus();
  a->ClearFocus();
  EXPECT_EQ(form.ActiveControl(), nullptr);

  EXPECT_TRUE(inner->Visible()) << "its own flag";
  EXPECT_FALSE(inner->Showing()) << "but its box is hidden";
  EXPECT_TRUE(a->Showing());

  const TRect bounds = a->MonitorBounds(), work = a->MonitorWorkArea();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(bounds, Bounds(screen.x(), screen.y(), screen.width(), screen.height()));
  EXPECT_GT(work.Width(), 0);
  EXPECT_TRUE(bounds.Contains({work.left, work.top})) << "the work area lies on the screen";
}
