// The way of a message: the base Dispatch's handlers by group, keys bubbling to the parents,
// DefaultHandler at the end, and handlers that free the controls on the way.
#include <gtest/gtest.h>

#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <stdexcept>

#include "framework/gui/controls.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {

// "who handler origin", one line per handler call, in the order of the calls.
using Log = std::vector<std::string>;

// Writes every handler call into a shared log; handles a message when `takes` says so and
// otherwise leaves it to the inherited handler.
template <class Base>
class Rec : public Base {
 public:
  Rec(QWidget* owner, const char* name, Log& log) : Base(owner), log_(log) { this->Name = name; }
  // May free the control (or others); true: the message is handled.
  std::function<bool(TMessage&)> takes;

 protected:
  void WMKeyDown(TMessage& m) override { if (!Take("WMKeyDown", m)) Base::WMKeyDown(m); }
  void WMKeyUp(TMessage& m) override { if (!Take("WMKeyUp", m)) Base::WMKeyUp(m); }
  void WMChar(TMessage& m) override { if (!Take("WMChar", m)) Base::WMChar(m); }
  void WMMouseDown(TMessage& m) override { if (!Take("WMMouseDown", m)) Base::WMMouseDown(m); }
  void WMMouseUp(TMessage& m) override { if (!Take("WMMouseUp", m)) Base::WMMouseUp(m); }
  void WMDblClick(TMessage& m) override { if (!Take("WMDblClick", m)) Base::WMDblClick(m); }
  void WMMouseMove(TMessage& m) override { if (!Take("WMMouseMove", m)) Base::WMMouseMove(m); }
  void WMMouseWheel(TMessage& m) override { if (!Take("WMMouseWheel", m)) Base::WMMouseWheel(m); }
  void WMSetFocus(TMessage& m) override { if (!Take("WMSetFocus", m)) Base::WMSetFocus(m); }
  void WMKillFocus(TMessage& m) override { if (!Take("WMKillFocus", m)) Base::WMKillFocus(m); }
  void WMSize(TMessage& m) override { if (!Take("WMSize", m)) Base::WMSize(m); }
  void WMHScroll(TMessage& m) override { if (!Take("WMHScroll", m)) Base::WMHScroll(m); }
  void WMVScroll(TMessage& m) override { if (!Take("WMVScroll", m)) Base::WMVScroll(m); }
  void WMTimer(TMessage& m) override { if (!Take("WMTimer", m)) Base::WMTimer(m); }
  void WMEditCommand(TMessage& m) override { if (!Take("WMEditCommand", m)) Base::WMEditCommand(m); }
  void WMOther(TMessage& m) override { if (!Take("WMOther", m)) Base::WMOther(m); }
  void DefaultHandler(TMessage& m) override {
    const char* what = m.Msg == WM_KEYDOWN ? "Default(down)" : m.Msg == WM_CHAR ? "Default(char)"
                       : m.Msg == WM_KEYUP ? "Default(up)" : "Default(other)";
    Note(what, m);
    Base::DefaultHandler(m);
  }

 private:
  void Note(const char* handler, const TMessage& m) {
    log_.push_back(this->Name + " " + handler + " " + (m.Origin ? m.Origin->Name : std::string("-")));
  }
  bool Take(const char* handler, TMessage& m) {
    Note(handler, m);
    if (!takes) return false;
    QPointer<QWidget> alive(this);
    auto take = takes;
    const bool took = take(m);
    return took || !alive;
  }
  Log& log_;
};

using Ctl = Rec<TCustomControl>;

// The lines of the log that mention one of the words (keys only, or the mouse only).
Log Only(const Log& log, std::initializer_list<const char*> words) {
  Log out;
  for (const std::string& line : log)
    for (const char* w : words)
      if (line.find(w) != std::string::npos) {
        out.push_back(line);
        break;
      }
  return out;
}

// window > outer > inner > child, then `next` in the window's tab order.
struct Nest {
  TTestServices services;
  Log log;
  Rec<TForm> window{nullptr, "window", log};
  Ctl* outer;
  Ctl* inner;
  Ctl* child;
  Ctl* next;
  Nest() {
    window.SetClientSize(300, 200);
    outer = new Ctl(&window, "outer", log);
    outer->SetBounds(0, 0, 200, 150);
    inner = new Ctl(outer, "inner", log);
    inner->SetBounds(10, 10, 150, 100);
    child = new Ctl(inner, "child", log);
    child->SetBounds(10, 10, 100, 21);
    child->SetTabStop(true);
    next = new Ctl(&window, "next", log);
    next->SetBounds(0, 160, 100, 21);
    next->SetTabOrder(1);
    next->SetTabStop(true);
    ShowAndActivate(&window);
    child->SetFocus(FOCUS_KEYBOARD);
    log.clear();
  }
  Log Keys() const { return Only(log, {"WMKey", "WMChar", "(down)", "(up)", "(char)"}); }
  Log KeyDowns() const { return Only(log, {"WMKeyDown", "(down)"}); }
};

// Handles keys that bubbled up from a child, and only those.
bool ChildKeys(Ctl* self, TMessage& m) { return m.Origin != self; }

}  // namespace

TEST(Dispatch, TheBaseRoutesEachMessageToTheHandlerOfItsGroup) {
  TTestServices services;
  Log log;
  Ctl c(nullptr, "c", log);
  struct Row {
    uint32_t msg;
    const char* handler;
  } rows[] = {
      {WM_KEYDOWN, "WMKeyDown"},        {WM_KEYUP, "WMKeyUp"},           {WM_CHAR, "WMChar"},
      {WM_LBUTTONDOWN, "WMMouseDown"},  {WM_RBUTTONDOWN, "WMMouseDown"}, {WM_MBUTTONDOWN, "WMMouseDown"},
      {WM_LBUTTONUP, "WMMouseUp"},      {WM_RBUTTONUP, "WMMouseUp"},     {WM_MBUTTONUP, "WMMouseUp"},
      {WM_LBUTTONDBLCLK, "WMDblClick"}, {WM_RBUTTONDBLCLK, "WMDblClick"}, {WM_MOUSEMOVE, "WMMouseMove"},
      {WM_MOUSEWHEEL, "WMMouseWheel"},  {WM_SETFOCUS, "WMSetFocus"},     {WM_KILLFOCUS, "WMKillFocus"},
      {WM_SIZE, "WMSize"},              {WM_HSCROLL, "WMHScroll"},       {WM_VSCROLL, "WMVScroll"},
      {WM_TIMER, "WMTimer"},            {WM_CUT, "WMEditCommand"},       {WM_COPY, "WMEditCommand"},
      {WM_PASTE, "WMEditCommand"},      {WM_CLEAR, "WMEditCommand"},     {WM_APP + 5, "WMOther"},
      {WM_USER, "WMOther"},             {CM_MOUSEENTER, "WMOther"},      {CM_FONTCHANGED, "WMOther"},
      {WM_NULL, "WMOther"},
  };
  for (const Row& r : rows) {
    log.clear();
    c.Perform(r.msg, 1, 2);
    const bool key = r.msg == WM_KEYDOWN || r.msg == WM_KEYUP || r.msg == WM_CHAR;
    const std::string end = key ? (r.msg == WM_KEYDOWN ? "c Default(down) c" : r.msg == WM_CHAR ? "c Default(char) c"
                                                                                                : "c Default(up) c")
                                : "c Default(other) c";
    EXPECT_EQ(log, (Log{std::string("c ") + r.handler + " c", end})) << std::hex << r.msg;
  }

  // A handler that takes the message ends it: no DefaultHandler, and Perform returns its Result.
  c.takes = [](TMessage& m) {
    m.Result = 7;
    return true;
  };
  log.clear();
  EXPECT_EQ(c.Perform(WM_APP + 1), 7);
  EXPECT_EQ(c.Perform(WM_KEYDOWN, VK_TAB), 7);
  EXPECT_EQ(log, (Log{"c WMOther c", "c WMKeyDown c"}));
}

TEST(Dispatch, AnUnhandledKeyBubblesToTheParentsWithItsOrigin) {
  Nest n;
  SendKey(n.child, Qt::Key_A, "a");
  const Log chain = {"child WMKeyDown child", "inner WMKeyDown child", "outer WMKeyDown child",
                     "window WMKeyDown child", "child Default(down) child",
                     "child WMChar child",    "inner WMChar child",    "outer WMChar child",
                     "window WMChar child",   "child Default(char) child",
                     "child WMKeyUp child",   "inner WMKeyUp child",   "outer WMKeyUp child",
                     "window WMKeyUp child",  "child Default(up) child"};
  EXPECT_EQ(n.Keys(), chain);

  // Through Perform the same way; a parent's own keys carry itself as the origin.
  n.log.clear();
  n.child->Perform(WM_KEYDOWN, VK_F2, 0);
  n.inner->Perform(WM_KEYDOWN, VK_F2, 0);
  EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child", "inner WMKeyDown child", "outer WMKeyDown child",
                               "window WMKeyDown child", "child Default(down) child", "inner WMKeyDown inner",
                               "outer WMKeyDown inner", "window WMKeyDown inner", "inner Default(down) inner"}));

  // Mouse messages stay with their control.
  n.log.clear();
  SendMouse(n.child, QEvent::MouseButtonPress, Qt::LeftButton, {3, 3});
  SendMouse(n.child, QEvent::MouseButtonRelease, Qt::LeftButton, {3, 3});
  EXPECT_EQ(Only(n.log, {"WMMouse"}), (Log{"child WMMouseDown child", "child WMMouseUp child"}));
}

TEST(Dispatch, TabNobodyTakesMovesTheFocusAndAParentThatTakesItStopsIt) {
  Nest n;
  // Nobody takes it: the framework's Tab, after every parent has been asked.
  SendKey(n.child, Qt::Key_Tab, "\t");
  EXPECT_TRUE(n.next->Focused());
  EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child", "inner WMKeyDown child", "outer WMKeyDown child",
                               "window WMKeyDown child", "child Default(down) child"}));

  // The nearest parent that takes it ends the way; the focus stays.
  n.child->SetFocus(FOCUS_KEYBOARD);
  n.inner->takes = [&](TMessage& m) { return m.Msg == WM_KEYDOWN && ChildKeys(n.inner, m); };
  n.outer->takes = [&](TMessage& m) { return m.Msg == WM_KEYDOWN && ChildKeys(n.outer, m); };
  n.log.clear();
  SendKey(n.child, Qt::Key_Tab, "\t");
  EXPECT_TRUE(n.child->Focused());
  EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child", "inner WMKeyDown child"}));
  SendKey(n.child, Qt::Key_Backtab, "", Qt::ShiftModifier);
  EXPECT_TRUE(n.child->Focused());

  // Its own keys go past it.
  n.log.clear();
  n.inner->Perform(WM_KEYDOWN, VK_F2, 0);
  EXPECT_EQ(n.KeyDowns(), (Log{"inner WMKeyDown inner", "outer WMKeyDown inner"}));
}

TEST(Dispatch, TheWayEndsAtTheWindowAndAtWidgetsThatAreNoControls) {
  Nest n;
  // A dialog over a control of the window: its keys stay in the dialog.
  Rec<TForm> dialog(n.outer, "dialog", n.log);
  auto* field = new Ctl(&dialog, "field", n.log);
  field->Perform(WM_KEYDOWN, 'X', 0);
  EXPECT_EQ(n.KeyDowns(), (Log{"field WMKeyDown field", "dialog WMKeyDown field", "field Default(down) field"}));

  // A plain Qt widget in between (a host's page): the controls above it are not asked.
  auto* page = new QWidget(n.inner);
  auto* onPage = new Ctl(page, "onPage", n.log);
  n.log.clear();
  onPage->Perform(WM_KEYDOWN, 'X', 0);
  EXPECT_EQ(n.KeyDowns(), (Log{"onPage WMKeyDown onPage", "onPage Default(down) onPage"}));

  // A parent disabled on the way takes nothing; the ones above it are still asked.
  n.child->takes = [&](TMessage&) {
    n.inner->SetEnabled(false);
    return false;
  };
  n.log.clear();
  n.child->Perform(WM_KEYDOWN, 'X', 0);
  EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child", "outer WMKeyDown child", "window WMKeyDown child",
                               "child Default(down) child"}));
}

TEST(Dispatch, HandlersThatFreeControlsOnTheWayEndIt) {
  {
    // The origin frees itself.
    Nest n;
    QPointer<Ctl> child(n.child);
    n.child->takes = [&](TMessage&) {
      delete n.child;
      return false;
    };
    SendKeyPress(n.child, Qt::Key_Tab, "\t");
    SendKeyRelease(n.next, Qt::Key_Tab);  // the key goes up elsewhere
    EXPECT_TRUE(child.isNull());
    EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child"}));
  }
  {
    // A parent frees the origin and leaves the key: nobody else hears of it, no Tab.
    Nest n;
    QPointer<Ctl> child(n.child);
    n.inner->takes = [&](TMessage& m) {
      delete m.Origin;
      return false;
    };
    SendKeyPress(n.child, Qt::Key_Tab, "\t");
    SendKeyRelease(n.next, Qt::Key_Tab);  // the key goes up elsewhere
    EXPECT_TRUE(child.isNull());
    EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child", "inner WMKeyDown child"}));
    EXPECT_FALSE(n.next->Focused());
  }
  {
    // A parent frees itself and the origin with it.
    Nest n;
    QPointer<Ctl> inner(n.inner);
    n.inner->takes = [&](TMessage&) {
      delete n.inner;
      return false;
    };
    n.child->Perform(WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(inner.isNull());
    EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child", "inner WMKeyDown child"}));
    // The window goes on working.
    n.next->Perform(WM_CHAR, 'x', 0);
    EXPECT_EQ(Only(n.log, {"WMChar"}), (Log{"next WMChar next", "window WMChar next"}));
  }
  {
    // A parent's handler fails: the error is shown and the key goes no further.
    Nest n;
    n.outer->takes = [](TMessage&) -> bool { throw std::runtime_error("Tabelle kaputt"); };
    SendKey(n.child, Qt::Key_Tab, "\t");
    EXPECT_TRUE(n.child->Focused());
    EXPECT_EQ(n.KeyDowns(), (Log{"child WMKeyDown child", "inner WMKeyDown child", "outer WMKeyDown child"}));
    ASSERT_FALSE(n.services.boxes.calls.empty());
    EXPECT_EQ(n.services.boxes.calls.front().text, "Tabelle kaputt");
    EXPECT_EQ(n.services.boxes.calls.front().caption, "Fehler");
  }
}

TEST(Dispatch, AnEditLeavesTabToItsParentsToo) {
  Nest n;
  auto* edit = new TEdit(n.inner);
  edit->Name = "edit";
  edit->SetBounds(10, 40, 100, 21);
  edit->SetTabOrder(1);
  edit->SetText("ab");
  edit->SetFocus(FOCUS_KEYBOARD);
  n.inner->takes = [&](TMessage& m) { return m.Msg == WM_KEYDOWN && m.WParam == VK_TAB && ChildKeys(n.inner, m); };
  n.log.clear();
  SendKey(edit->Editor(), Qt::Key_Tab, "\t");
  EXPECT_TRUE(edit->Focused()) << "the parent took Tab";
  EXPECT_EQ(edit->Text(), "ab") << "and nothing was typed";
  EXPECT_EQ(n.KeyDowns(), (Log{"inner WMKeyDown edit"}));
  // Other keys the edit takes itself.
  SendKey(edit->Editor(), Qt::Key_C, "c");
  EXPECT_EQ(n.KeyDowns().size(), 1u);
  n.inner->takes = nullptr;
  SendKey(edit->Editor(), Qt::Key_Tab, "\t");
  EXPECT_TRUE(n.next->Focused());
}
