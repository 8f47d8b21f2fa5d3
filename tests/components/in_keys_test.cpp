// TIn beyond typing: cursor keys with and without Shift, Home, End, Delete and Ctrl+A in the
// model and through real keys; Tab and Shift+Tab through a whole window; the focus on clicks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include "components/in/in.h"
#include "components/taste/taste.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"
#include "tests/framework/window_input.h"

using namespace komp;

namespace {
// A field state written as text with "|" for the cursor and "[" "]" around the selection.
struct State {
  std::string text;
  int cursor = 0, selStart = 0, selEnd = 0;
};

State Parse(const std::string& s) {
  State st;
  for (char ch : s) {
    const int at = int(st.text.size());
    if (ch == '|') st.cursor = at;
    else if (ch == '[') st.selStart = at;
    else if (ch == ']') st.selEnd = at;
    else st.text += ch;
  }
  if (st.selEnd < st.selStart) st.selEnd = st.selStart;
  return st;
}

void Load(TInModel& m, const std::string& s) {
  const State st = Parse(s);
  m.Reset(st.text);
  m.SetCursor(st.cursor);
  m.Select(st.selStart, st.selEnd);
}

std::string Show(const TInModel& m) {
  std::string out;
  const int a = m.SelStart(), b = m.SelStart() + m.SelLength();
  for (int i = 0; i <= m.Length(); ++i) {
    if (m.HasSelection() && i == b) out += ']';
    if (m.HasSelection() && i == a) out += '[';
    if (i == m.Cursor()) out += '|';
    if (i < m.Length()) out += m.Text()[size_t(i)];
  }
  return out;
}

// Real key presses with their releases.
void Key(QWidget* w, int qtKey, int mods = 0, const std::string& text = "") { SendKey(w, qtKey, text, mods); }
}  // namespace

TEST(InModel, CursorKeysSelectionAndDeleteAsATable) {
  using M = TInModel::TMove;
  struct Row {
    const char* before;
    char op;  // L R H E: move; lower case with Shift; D: Delete; A: select all
    const char* after;
    bool selectionChanged;  // for moves
  } rows[] = {
      {"ab|cd", 'L', "a|bcd", false},
      {"|abcd", 'L', "|abcd", false},
      {"abcd|", 'R', "abcd|", false},
      {"ab|cd", 'H', "|abcd", false},
      {"ab|cd", 'E', "abcd|", false},
      {"a[bc]|d", 'L', "ab|cd", true},     // a move without Shift drops the selection
      {"a[bc]|d", 'E', "abcd|", true},
      {"ab|cd", 'r', "ab[c]|d", true},     // Shift+Right starts a selection at the cursor
      {"ab[c]|d", 'r', "ab[cd]|", true},
      {"ab[cd]|", 'r', "ab[cd]|", false},  // nothing further right
      {"ab[cd]|", 'l', "ab[c]|d", true},   // back towards the anchor
      {"ab[c]|d", 'l', "ab|cd", true},     // back to the anchor: no selection
      {"ab|cd", 'l', "a[|b]cd", true},     // and past it the other way
      {"a[|b]cd", 'h', "[|ab]cd", true},
      {"[|ab]cd", 'e', "ab[cd]|", true},   // Shift+End from the left end keeps the anchor
      {"abc|d", 'h', "[|abc]d", true},
      {"a|bcd", 'e', "a[bcd]|", true},
      {"[abcd]|", 'h', "|abcd", true},     // all selected by keyboard focus, then Shift+Home
      {"|", 'r', "|", false},
      {"ab|cd", 'D', "ab|d", false},
      {"abcd|", 'D', "abcd|", false},
      {"a[bc]|d", 'D', "a|d", false},
      {"[|abcd]", 'D', "|", false},
      {"ab|cd", 'A', "[abcd]|", false},
  };
  for (const Row& r : rows) {
    TInModel m;
    Load(m, r.before);
    m.Modified = false;
    bool changed = false;
    bool edited = false;
    switch (r.op) {
      case 'L': case 'l': changed = m.Move(M::Left, r.op == 'l'); break;
      case 'R': case 'r': changed = m.Move(M::Right, r.op == 'r'); break;
      case 'H': case 'h': changed = m.Move(M::Home, r.op == 'h'); break;
      case 'E': case 'e': changed = m.Move(M::End, r.op == 'e'); break;
      case 'D': edited = m.Delete(); break;
      case 'A': m.SelectAll(); break;
    }
    EXPECT_EQ(Show(m), r.after) << r.before << " " << r.op;
    if (r.op == 'D') {
      EXPECT_EQ(edited, Parse(r.before).text != Parse(r.after).text) << r.before << " Delete";
      EXPECT_EQ(m.Modified, edited) << r.before << " Delete sets the modified flag when it deletes";
    } else {
      EXPECT_EQ(changed, r.selectionChanged) << r.before << " " << r.op;
      EXPECT_FALSE(m.Modified) << r.before << " " << r.op << " is no edit";
    }
  }
  // The shadow follows Delete: a password field shows one star less.
  TInModel p;
  p.Passwort = true;
  Load(p, "ge|heim");
  p.Delete();
  EXPECT_EQ(p.Shown(), "*****");
}

TEST(In, EditingKeysThroughTheKeyboardAndTheirChangeEvents) {
  TTestServices services;
  TForm form;
  form.SetClientSize(300, 80);
  auto* f = new TIn(&form);
  f->SetBounds(10, 10, 200, 21);
  auto* g = new TIn(&form);
  g->SetBounds(10, 40, 200, 21);
  g->SetTabOrder(1);
  int changes = 0;
  f->OnChange = [&](TObject*) { ++changes; };
  ShowAndActivate(&form);
  f->SetFocus(FOCUS_MOUSE);
  for (char ch : std::string("hallo welt")) SendKey(f, ch == ' ' ? Qt::Key_Space : Qt::Key_A + (ch - 'a'), std::string(1, ch));

  Key(f, Qt::Key_Home);
  EXPECT_EQ(Show(f->Model()), "|hallo welt");
  Key(f, Qt::Key_Delete);
  EXPECT_EQ(Show(f->Model()), "|allo welt");
  Key(f, Qt::Key_End);
  Key(f, Qt::Key_Left, Qt::ShiftModifier);
  Key(f, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(Show(f->Model()), "allo we[|lt]");
  Key(f, Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(Show(f->Model()), "[|allo welt]") << "the anchor stays where the selection began";
  Key(f, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(Show(f->Model()), "allo welt|") << "back at the anchor: nothing selected";
  Key(f, Qt::Key_Left, Qt::ShiftModifier);
  Key(f, Qt::Key_Left, Qt::ShiftModifier);
  Key(f, Qt::Key_Delete);
  EXPECT_EQ(f->Text(), "allo we");
  Key(f, Qt::Key_A, Qt::ControlModifier, "\x01");
  EXPECT_EQ(Show(f->Model()), "[allo we]|");
  EXPECT_EQ(f->Text(), "allo we") << "Ctrl+A types nothing";
  Key(f, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Show(f->Model()), "[allo we]|") << "nothing further right";
  // A selection made by the keys is what the clipboard commands take.
  Key(f, Qt::Key_Home);
  Key(f, Qt::Key_Right, Qt::ShiftModifier);
  Key(f, Qt::Key_Right, Qt::ShiftModifier);
  Key(f, Qt::Key_C, Qt::ControlModifier, "\x03");
  EXPECT_EQ(services.clipboard.GetText(), "al");
  // The selection is drawn: white letters on blue from the selection's start.
  TRecordingCanvas c(f->Width(), f->Height());
  f->PaintTo(c);
  const TCanvasOp* sel = c.record.FindText("al");
  ASSERT_NE(sel, nullptr);
  EXPECT_EQ(sel->font.Color, clWhite);

  EXPECT_EQ(changes, 0) << "without EinzelChange nothing fires while the field has the focus";
  g->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(changes, 1) << "Delete counts as an edit when the field is left";
  f->SetFocus(FOCUS_KEYBOARD);
  Key(f, Qt::Key_Home);
  Key(f, Qt::Key_End, Qt::ShiftModifier);
  Key(f, Qt::Key_A, Qt::ControlModifier, "\x01");
  g->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(changes, 1) << "moving and selecting change nothing";

  f->SetEinzelChange(true);
  f->SetFocus(FOCUS_KEYBOARD);
  Key(f, Qt::Key_Home);
  Key(f, Qt::Key_Delete);
  EXPECT_EQ(changes, 2) << "with EinzelChange each Delete fires";
  EXPECT_EQ(f->Text(), "llo we");
  Key(f, Qt::Key_End);
  Key(f, Qt::Key_Delete);
  EXPECT_EQ(changes, 2) << "nothing right of the cursor: no change";
  Key(f, Qt::Key_Home, Qt::ShiftModifier);
  Key(f, Qt::Key_Right);
  EXPECT_EQ(changes, 2);
}

TEST(In, TabAndShiftTabThroughAWindowWithAGroupBox) {
  // The layout of the converter's window in export mode.
  TTestServices services;
  TForm form;
  form.SetClientSize(529, 172);
  auto* datei = new TIn(&form);
  datei->SetBounds(0, 8, 521, 21);
  datei->SetTabOrder(1);
  datei->Name = "Datei";
  auto* waehlen = new TTaste(&form);
  waehlen->SetBounds(214, 33, 100, 21);
  waehlen->SetTabOrder(0);
  waehlen->Name = "Datei ausw\xE4hlen";
  auto* box = new TGroupBox(&form);
  box->SetBounds(2, 54, 523, 83);
  box->SetTabOrder(4);
  auto* groesse = new TIn(box);
  groesse->SetBounds(2, 20, 209, 21);
  groesse->Name = "Groesse";
  auto* name = new TIn(box);
  name->SetBounds(8, 53, 281, 21);
  name->Name = "Export Name";
  auto* bar = new TProgressBar(&form);
  bar->SetTabOrder(2);
  bar->SetVisible(false);
  auto* start = new TTaste(&form);
  start->SetBounds(208, 144, 100, 21);
  start->SetTabOrder(3);
  start->Name = "Start";
  ShowAndActivate(&form);
  datei->SetFocus(FOCUS_KEYBOARD);

  auto focused = [&] { return form.ActiveControl() ? form.ActiveControl()->Name : std::string("none"); };
  std::vector<std::string> seen;
  for (int i = 0; i < 6; ++i) {
    SendKey(form.ActiveControl(), Qt::Key_Tab, "\t");
    seen.push_back(focused());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Start", "Groesse", "Export Name", "Datei ausw\xE4hlen", "Datei", "Start"}))
      << "the last field of the box hands on to the first control of the window";
  seen.clear();
  for (int i = 0; i < 6; ++i) {
    SendKey(form.ActiveControl(), Qt::Key_Backtab, "", Qt::ShiftModifier);
    seen.push_back(focused());
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Datei", "Datei ausw\xE4hlen", "Export Name", "Groesse", "Start", "Datei"}))
      << "Shift+Tab goes back, in the fields too";

  // Enter in a field goes forward like Tab; Shift+Tab leaves OnNextWindow alone.
  name->SetFocus(FOCUS_KEYBOARD);
  SendKey(name, Qt::Key_Return, "\r");
  EXPECT_EQ(focused(), "Datei ausw\xE4hlen");
  int next = 0;
  groesse->OnNextWindow = [&](TObject*) { ++next; };
  groesse->SetFocus(FOCUS_KEYBOARD);
  SendKey(groesse, Qt::Key_Backtab, "", Qt::ShiftModifier);
  EXPECT_EQ(focused(), "Start");
  EXPECT_EQ(next, 0);
  // A disabled field is passed over.
  name->SetEnabled(false);
  groesse->OnNextWindow = nullptr;
  groesse->SetFocus(FOCUS_KEYBOARD);
  SendKey(groesse, Qt::Key_Tab, "\t");
  EXPECT_EQ(focused(), "Datei ausw\xE4hlen");
}

TEST(In, ClickOnADisabledFieldKeepsTheFocusAndEnterHeldIntoAButtonClicksNothing) {
  // The page of the demo: a page that could take the focus, a locked field, a button.
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 200);
  auto* page = new TCustomControl(&form);
  page->SetBounds(0, 0, 400, 200);
  auto* field = new TIn(page);
  field->SetBounds(10, 10, 200, 21);
  field->SetTabOrder(0);
  auto* locked = new TIn(page);
  locked->SetBounds(10, 40, 200, 21);
  locked->SetTabOrder(1);
  locked->FSetEnabled(false);
  auto* ok = new TTaste(page);
  ok->SetBounds(10, 70, 100, 21);
  ok->SetTabOrder(2);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  ShowAndActivate(&form);
  ok->SetFocus(FOCUS_KEYBOARD);

  WindowClick(locked, {locked->CaptionX() + 20, 10});
  EXPECT_TRUE(ok->Focused()) << "the button keeps the focus";
  EXPECT_FALSE(locked->Focused());
  SendKey(form.ActiveControl(), Qt::Key_Space, " ");
  EXPECT_EQ(clicks, 1) << "and Space still clicks it";

  WindowClick(field, {field->CaptionX() + 20, 10});
  EXPECT_TRUE(field->Focused()) << "an enabled field takes the focus on a click";

  // Enter in the field moves on to the button (the locked field is passed over); the key held
  // on repeats into the button, which must not take it for a press of its own.
  SendKeyPress(field, Qt::Key_Return, "\r");
  ASSERT_TRUE(ok->Focused());
  for (int i = 0; i < 3; ++i) SendKeyPress(ok, Qt::Key_Return, "\r", 0, false);
  SendKeyRelease(ok, Qt::Key_Return);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(ok->Pressed());
}
