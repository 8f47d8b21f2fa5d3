#include "components/in/in.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>

#include "framework/gui/caret.h"
#include "framework/gui/registry.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {
const TColor kGrey = FromRGBHex(0x808080);

// Types text as a person would: one real key press per character.
void TypeKeys(QWidget* w, const std::string& s) {
  for (char ch : s) {
    const int key = (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : static_cast<unsigned char>(ch);
    SendKey(w, key, std::string(1, ch));
  }
}

int Width(const TIn& field, std::string_view s) {
  TCanvas m;
  m.Font = field.Font();
  return m.TextWidth(s);
}

// The x of the boundary before character i of the shown text (scroll offset 0).
int XOfChar(const TIn& field, int i) {
  return field.CaptionX() + 4 + Width(field, std::string_view(field.Model().Shown()).substr(0, size_t(i)));
}

// A form with fields in tab order; the first one focused by keyboard.
struct Form {
  TTestServices services;
  TForm form;
  std::vector<TIn*> fields;
  explicit Form(int n = 2) {
    form.SetClientSize(300, 40 + 25 * n);
    for (int i = 0; i < n; ++i) {
      auto* f = new TIn(&form);
      f->SetBounds(10, 10 + 25 * i, 200, 21);
      f->SetTabOrder(i);
      fields.push_back(f);
    }
    ShowAndActivate(&form);
    fields[0]->SetFocus(FOCUS_KEYBOARD);
  }
};

// A parent that hosts fields as a table hosts its editors: it records the keys that bubble
// up from them and, while `takes` is set, handles them.
class Host : public TCustomControl {
 public:
  explicit Host(QWidget* owner) : TCustomControl(owner) {}
  std::vector<TMessage> keys;
  bool takes = false;

 protected:
  void WMKeyDown(TMessage& m) override {
    if (m.Origin == this) {
      TCustomControl::WMKeyDown(m);
      return;
    }
    keys.push_back(m);
    if (!takes) m.Handled = false;
  }
};
}  // namespace

// ---------------------------------------------------------------- the model alone

TEST(InModel, ScrollingKeepsTheCursorVisibleBothWays) {
  TInModel m;
  const auto w = [](std::string_view s) { return int(s.size()) * 7; };  // 7 pixels a character
  const int room = 70;                                                    // ten characters
  m.SetText(std::string(30, 'x'));
  for (int pos = 0; pos <= 30; ++pos) {
    m.SetCursor(pos);
    m.ScrollToCursor(room, w);
    ASSERT_LE(m.VisibleWidth(pos, w), room) << "cursor " << pos << " right of the box";
    ASSERT_LE(m.Scroll(), pos);
  }
  EXPECT_EQ(m.Scroll(), 20);
  for (int pos = 30; pos >= 0; --pos) {
    m.SetCursor(pos);
    m.ScrollToCursor(room, w);
    ASSERT_TRUE(pos == 0 ? m.Scroll() == 0 : m.Scroll() == pos - 1 || m.Scroll() < pos) << "cursor " << pos;
  }
  EXPECT_EQ(m.Scroll(), 0);
  // A jump to the start from far right, and a text cut shorter than the offset.
  m.SetCursor(30);
  m.ScrollToCursor(room, w);
  m.SetCursor(0);
  m.ScrollToCursor(room, w);
  EXPECT_EQ(m.Scroll(), 0);
  m.SetCursor(30);
  m.ScrollToCursor(room, w);
  m.SelectAll();
  m.Backspace();
  m.ScrollToCursor(room, w);
  EXPECT_EQ(m.Scroll(), 0);
  // A paste of 5000 characters lands with the cursor in view.
  m.Paste(std::string(5000, 'y'));
  m.ScrollToCursor(room, w);
  EXPECT_EQ(m.Cursor(), 5000);
  EXPECT_LE(m.VisibleWidth(5000, w), room);
  EXPECT_GE(m.VisibleWidth(5000, w), room - 7 * 3);
}

TEST(InModel, HitTestTakesTheFirstCharacterWhoseMiddleIsRightOfThePointer) {
  TInModel m;
  const auto w = [](std::string_view s) { return int(s.size()) * 10; };
  m.SetText("abcdef");
  // Text from x = 4: a spans 4..14 (middle 9), b 14..24 (middle 19), ...
  EXPECT_EQ(m.HitTest(0, w), 0);
  EXPECT_EQ(m.HitTest(8, w), 0);
  EXPECT_EQ(m.HitTest(9, w), 1);
  EXPECT_EQ(m.HitTest(19, w), 2);
  EXPECT_EQ(m.HitTest(500, w), 6);
}

// ---------------------------------------------------------------- painting

TEST(In, FrameCaptionAndDefaultInBraces) {
  TTestServices services;
  TIn f(nullptr);
  f.SetBounds(0, 0, 150, 21);
  f.FSetCaption("Export Name");
  f.FSetCaptionWidth(80);
  f.FSetCaptionSize(10);
  f.FSetDefault("Export.txt");
  ASSERT_EQ(f.CaptionX(), 80);
  EXPECT_EQ(f.Value(), "Export.txt");
  const int w = f.Width(), h = f.Height(), cx = f.CaptionX();

  TRecordingCanvas c(w, h, clRed);
  f.PaintTo(c);
  // Ring 0 and ring 1: dark left and top, light right and bottom.
  EXPECT_EQ(c.Pixel(cx, h / 2), FromRGBHex(0x8D8D8D));
  EXPECT_EQ(c.Pixel(cx + 30, 0), FromRGBHex(0x8D8D8D));
  EXPECT_EQ(c.Pixel(w - 1, h / 2), FromRGBHex(0xFDFDFD));
  EXPECT_EQ(c.Pixel(cx + 30, h - 1), FromRGBHex(0xFDFDFD));
  EXPECT_EQ(c.Pixel(cx + 1, h / 2), FromRGBHex(0xADADAD));
  EXPECT_EQ(c.Pixel(cx + 30, 1), FromRGBHex(0xADADAD));
  EXPECT_EQ(c.Pixel(w - 2, h / 2), FromRGBHex(0xDDDDDD));
  EXPECT_EQ(c.Pixel(cx + 30, h - 2), FromRGBHex(0xDDDDDD));
  EXPECT_EQ(c.Pixel(w - 1, 0), FromRGBHex(0xFDFDFD)) << "top-right corner";
  EXPECT_EQ(c.Pixel(cx, h - 1), FromRGBHex(0xFDFDFD)) << "bottom-left corner";
  EXPECT_EQ(c.Pixel(w - 4, h / 2), clWhite);
  EXPECT_EQ(c.Pixel(0, 0), ColorToRGB(clBtnFace)) << "the caption stands on the control colour";

  const TCanvasOp* cap = c.record.FindText("Export Name");
  ASSERT_NE(cap, nullptr);
  EXPECT_EQ(cap->rect.right, cx - 4);
  EXPECT_TRUE(cap->font.Style & fsBold);
  EXPECT_EQ(cap->font.Size, 10);
  EXPECT_EQ(cap->font.Color, clBlack);

  const auto texts = c.record.Texts();
  ASSERT_EQ(c.record.AllText(), "Export Name|{|Export.txt|}");
  EXPECT_EQ(texts[1]->rect.left, cx + 4);
  EXPECT_EQ(texts[1]->font.Color, clBlack);
  EXPECT_EQ(texts[2]->font.Color, kGrey);
  EXPECT_EQ(texts[3]->font.Color, clBlack);
  EXPECT_EQ(texts[2]->rect.left, texts[1]->rect.right);
  EXPECT_EQ(texts[3]->rect.left, texts[2]->rect.right);
  EXPECT_EQ(texts[1]->rect.top, texts[3]->rect.top);

  f.FSetEnabled(false);
  TRecordingCanvas off(w, h);
  f.PaintTo(off);
  for (const TCanvasOp* t : off.record.Texts()) EXPECT_EQ(t->font.Color, kGrey) << t->text;

  f.SetValue("daten.bin", false);
  EXPECT_EQ(f.Default(), "");
  EXPECT_EQ(f.Value(), "daten.bin");
  f.SetValue("Export.txt", true);
  EXPECT_EQ(f.Text(), "");
  EXPECT_EQ(f.Value(), "Export.txt");
}

TEST(In, PasswortShowsStarsAndCopiesNothing) {
  Form t(1);
  TIn* f = t.fields[0];
  f->FSetText("geheim");
  f->SetPasswort(true);  // switched on after the text: the stars still match it
  TRecordingCanvas c(f->Width(), f->Height());
  f->PaintTo(c);
  EXPECT_EQ(c.record.AllText(), "******");
  t.services.clipboard.SetText("vorher");
  t.services.clipboard.writes = 0;
  SendKey(f, Qt::Key_C, "\x03", Qt::ControlModifier);
  f->Perform(WM_LBUTTONDBLCLK, 0, MakeLParam(20, 10));
  ASSERT_EQ(f->Model().SelLength(), 6);
  f->Perform(WM_COPY);
  f->Perform(WM_CUT);
  EXPECT_EQ(t.services.clipboard.writes, 0);
  EXPECT_EQ(t.services.clipboard.GetText(), "vorher");
  EXPECT_EQ(f->Text(), "") << "cut still deletes";
}

// ---------------------------------------------------------------- typing

TEST(In, NumericFilterMaxLengthAndUnfilteredPaste) {
  Form t(1);
  TIn* f = t.fields[0];
  f->SetNumeric(true);
  TypeKeys(f, "1a-,.9");
  EXPECT_EQ(f->Text(), "1-,.9");
  EXPECT_EQ(t.services.sound.beeps, 1);
  t.services.clipboard.SetText("abc");
  SendKey(f, Qt::Key_V, "\x16", Qt::ControlModifier);
  EXPECT_EQ(f->Text(), "1-,.9abc") << "paste is not filtered";
  EXPECT_EQ(f->Model().Cursor(), 8);

  f->SetNumeric(false);
  f->FSetText("abc");
  f->FSetMax(3);
  f->SetCursor(3);
  TypeKeys(f, "d");
  EXPECT_EQ(f->Text(), "abc");
  EXPECT_EQ(t.services.sound.beeps, 2);
  f->FSetMax(2);
  EXPECT_EQ(f->Text(), "ab");
  EXPECT_LE(f->Model().Cursor(), 2);
  f->FSetMax(0);
  EXPECT_EQ(f->Text(), "ab");
  f->FSetMax(4);
  t.services.clipboard.SetText("xyz");
  f->SetCursor(1);
  f->TextPaste(true);
  EXPECT_EQ(f->Text(), "axyz");
  EXPECT_EQ(t.services.sound.beeps, 3) << "a paste cut to the limit beeps";
  EXPECT_EQ(f->Model().Cursor(), 4);
}

TEST(In, BackspaceCtrlXAndFocusSelection) {
  Form t(2);
  TIn* f = t.fields[0];
  f->FSetText("abc");
  t.fields[1]->SetFocus(FOCUS_KEYBOARD);
  f->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(f->Model().SelLength(), 3) << "keyboard focus selects all";
  EXPECT_EQ(f->Model().Cursor(), 3);
  TypeKeys(f, "x");
  EXPECT_EQ(f->Text(), "x") << "typing replaces the selection";

  f->FSetText("abc");
  f->SetCursor(3);
  SendKey(f, Qt::Key_X, "\x18", Qt::ControlModifier);
  EXPECT_EQ(t.services.clipboard.GetText(), "abc") << "Ctrl+X without a selection copies everything";
  EXPECT_EQ(f->Text(), "ab") << "and deletes the character left of the cursor";

  f->FSetText("hallo");
  f->SetCursor(2);
  SendKey(f, Qt::Key_Backspace);
  EXPECT_EQ(f->Text(), "hllo");
  EXPECT_EQ(f->Model().Cursor(), 1);
  SendKey(f, Qt::Key_Right);
  SendKey(f, Qt::Key_Right);
  TypeKeys(f, "!");
  EXPECT_EQ(f->Text(), "hll!o");

  t.services.clipboard.SetText("-");
  f->Perform(WM_LBUTTONDBLCLK, 0, MakeLParam(XOfChar(*f, 1), 10));
  SendKey(f, Qt::Key_X, "\x18", Qt::ControlModifier);
  EXPECT_EQ(t.services.clipboard.GetText(), "hll!o");
  EXPECT_EQ(f->Text(), "");
}

TEST(In, OnChangeOnceOnLeavingAfterTypingNeverForCode) {
  Form t(2);
  TIn* f = t.fields[0];
  TIn* g = t.fields[1];
  int changes = 0;
  f->OnChange = [&](TObject* s) {
    EXPECT_EQ(s, f);
    ++changes;
  };
  TypeKeys(f, "abc");
  EXPECT_EQ(changes, 0);
  g->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(changes, 1);
  f->SetFocus(FOCUS_KEYBOARD);
  g->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(changes, 1) << "left without typing";
  f->FSetText("von au\xDF" "en");
  f->SetFocus(FOCUS_KEYBOARD);
  f->FSetText("noch einmal");
  g->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(changes, 1) << "setting Text fires nothing";
  EXPECT_EQ(f->Text(), "noch einmal");

  f->SetEinzelChange(true);
  f->SetFocus(FOCUS_KEYBOARD);
  TypeKeys(f, "xy");
  SendKey(f, Qt::Key_Backspace);
  EXPECT_EQ(changes, 4);
  t.services.clipboard.SetText("z");
  SendKey(f, Qt::Key_V, "\x16", Qt::ControlModifier);
  EXPECT_EQ(changes, 5);
  g->SetFocus(FOCUS_KEYBOARD);
  EXPECT_EQ(changes, 5) << "EinzelChange does not fire again on leaving";

  // A change handler may free the field.
  f->SetFocus(FOCUS_KEYBOARD);
  QPointer<TIn> watch(f);
  f->OnChange = [f](TObject*) { delete f; };
  SendKeyPress(f, Qt::Key_Q, "q");
  EXPECT_TRUE(watch.isNull());
}

// ---------------------------------------------------------------- focus and caret

TEST(In, TabAndEnterMoveTheFocusOrCallOnNextWindow) {
  Form t(3);
  TIn *a = t.fields[0], *b = t.fields[1], *c = t.fields[2];
  b->SetTabStop(false);
  SendKey(a, Qt::Key_Tab, "\t");
  EXPECT_TRUE(c->Focused()) << "a control without tab stop is passed over";
  SendKey(c, Qt::Key_Return, "\r");
  EXPECT_TRUE(a->Focused()) << "the order wraps around";
  const TCaretState caret = CaretState();
  EXPECT_EQ(caret.owner, a);
  EXPECT_TRUE(caret.visible);
  EXPECT_EQ(caret.rect, Bounds(a->CaptionX() + 4, 3, 1, a->Height() - 6));

  int next = 0;
  a->OnNextWindow = [&](TObject* s) {
    EXPECT_EQ(s, a);
    ++next;
  };
  SendKey(a, Qt::Key_Tab, "\t");
  SendKey(a, Qt::Key_Enter, "\r");
  EXPECT_EQ(next, 2);
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(a->Text(), "") << "Tab and Enter type nothing";

  c->SetFocus(FOCUS_KEYBOARD);
  EXPECT_NE(CaretState().owner, a) << "the caret goes with the focus";
  EXPECT_EQ(CaretState().owner, c);
}

TEST(In, FieldsOnAHostLeaveTabAndEnterToIt) {
  Form t(1);
  auto* host = new Host(&t.form);
  host->SetBounds(0, 0, 300, 100);
  host->SetTabOrder(1);
  auto* first = new TIn(host);
  first->SetTabOrder(0);
  auto* second = new TIn(host);
  second->SetTabOrder(1);
  second->SetTop(30);
  t.form.show();
  first->SetFocus(FOCUS_KEYBOARD);
  // A host that does not take the key: it hears of it, then the focus moves on as always.
  SendKey(first, Qt::Key_Tab, "\t");
  ASSERT_EQ(host->keys.size(), 1u);
  EXPECT_EQ(host->keys[0].WParam, VK_TAB);
  EXPECT_EQ(host->keys[0].Origin, first);
  EXPECT_TRUE(second->Focused());

  // A host that takes them decides: the field keeps the focus, and nothing is typed.
  host->takes = true;
  SendKey(second, Qt::Key_Tab, "\t");
  SendKey(second, Qt::Key_Return, "\r");
  SendKey(second, Qt::Key_Backtab, "", Qt::ShiftModifier);
  ASSERT_EQ(host->keys.size(), 4u);
  EXPECT_EQ(host->keys[1].WParam, VK_TAB);
  EXPECT_EQ(host->keys[2].WParam, VK_RETURN) << "Enter reaches the host as itself";
  EXPECT_EQ(host->keys[3].WParam, VK_TAB);
  EXPECT_EQ(KeyShiftOf(host->keys[3]), ssShift);
  for (size_t i = 1; i < host->keys.size(); ++i) EXPECT_EQ(host->keys[i].Origin, second) << i;
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(second->Text(), "");

  // OnNextWindow comes first: Tab and Enter go there and not to the host; Shift+Tab does not.
  int next = 0;
  second->OnNextWindow = [&](TObject*) { ++next; };
  SendKey(second, Qt::Key_Tab, "\t");
  SendKey(second, Qt::Key_Return, "\r");
  EXPECT_EQ(next, 2);
  EXPECT_EQ(host->keys.size(), 4u);
  host->takes = false;
  SendKey(second, Qt::Key_Backtab, "", Qt::ShiftModifier);
  EXPECT_EQ(host->keys.size(), 5u);
  EXPECT_TRUE(first->Focused()) << "not taken, Shift+Tab goes back through the window's order";
}

// ---------------------------------------------------------------- mouse, menu, scrolling

TEST(In, MouseDragSelectsAndDoubleClickSelectsAll) {
  Form t(2);
  TIn* f = t.fields[1];
  f->FSetCaption("Datei");
  f->FSetCaptionWidth(50);
  f->FSetText("Brivox01 Datei");
  const int y = f->Height() / 2;
  SendMouse(f, QEvent::MouseButtonPress, Qt::LeftButton, {XOfChar(*f, 2), y});
  ASSERT_TRUE(f->Focused());
  EXPECT_EQ(f->Model().Cursor(), 2) << "the click places the cursor";
  EXPECT_EQ(f->Model().SelLength(), 0);
  SendMouse(f, QEvent::MouseMove, Qt::NoButton, {XOfChar(*f, 2) + 1, y}, Qt::LeftButton);
  EXPECT_EQ(f->Model().SelLength(), 0) << "one pixel is no drag";
  SendMouse(f, QEvent::MouseMove, Qt::NoButton, {XOfChar(*f, 6), y}, Qt::LeftButton);
  SendMouse(f, QEvent::MouseButtonRelease, Qt::LeftButton, {XOfChar(*f, 6), y});
  EXPECT_EQ(f->Model().SelStart(), 2);
  EXPECT_EQ(f->Model().Selected(), "ivox");
  EXPECT_EQ(f->Model().Cursor(), 6);
  SendMouse(f, QEvent::MouseMove, Qt::NoButton, {XOfChar(*f, 9), y}, Qt::NoButton);
  EXPECT_EQ(f->Model().Selected(), "ivox") << "moving without the button changes nothing";

  TRecordingCanvas c(f->Width(), f->Height());
  f->PaintTo(c);
  const TCanvasOp* sel = c.record.FindText("ivox");
  ASSERT_NE(sel, nullptr);
  EXPECT_EQ(sel->font.Color, clWhite);
  EXPECT_EQ(c.Pixel(sel->rect.left + 1, 2), FromRGBHex(0x0000FF));
  EXPECT_EQ(c.Pixel(sel->rect.left + 1, f->Height() - 3), FromRGBHex(0x0000FF));
  EXPECT_EQ(c.Pixel(sel->rect.left + 1, f->Height() - 2), FromRGBHex(0xDDDDDD));

  f->Perform(WM_LBUTTONDBLCLK, 0, MakeLParam(XOfChar(*f, 3), y));
  EXPECT_EQ(f->Model().Selected(), "Brivox01 Datei");
  t.fields[0]->SetFocus(FOCUS_KEYBOARD);
  SendMouse(f, QEvent::MouseButtonPress, Qt::LeftButton, {10, y});
  EXPECT_TRUE(f->Focused());
  EXPECT_EQ(f->Model().SelLength(), 0) << "a click on the caption takes the focus without selecting";
  EXPECT_EQ(f->Model().Cursor(), 14);
}

TEST(In, ContextMenuGreysAndSendsTheCommands) {
  Form t(1);
  TIn* f = t.fields[0];
  auto& menus = t.services.menus;
  int changes = 0;
  f->SetEinzelChange(true);
  f->OnChange = [&](TObject*) { ++changes; };
  f->FSetText("Hallo Welt");
  f->Perform(WM_RBUTTONUP, 0, MakeLParam(20, 10));
  ASSERT_EQ(menus.calls.size(), 1u);
  ASSERT_EQ(menus.calls[0].items.size(), 4u);
  for (const auto& it : menus.calls[0].items) EXPECT_FALSE(it.Enabled) << it.Caption << ": no selection, empty clipboard";
  EXPECT_EQ(menus.calls[0].items[2].Caption, "Einf\xFCgen");

  t.services.clipboard.SetText("!");
  f->Perform(WM_LBUTTONDBLCLK, 0, MakeLParam(XOfChar(*f, 1), 10));
  menus.choose.push_back("Ausschneiden");
  f->Perform(WM_RBUTTONUP, 0, MakeLParam(20, 10));
  for (const auto& it : menus.calls[1].items) EXPECT_TRUE(it.Enabled) << it.Caption;
  EXPECT_EQ(t.services.clipboard.GetText(), "Hallo Welt");
  EXPECT_EQ(f->Text(), "");
  EXPECT_EQ(changes, 1);

  menus.choose.push_back("Einf\xFCgen");
  f->Perform(WM_RBUTTONUP, 0, MakeLParam(20, 10));
  EXPECT_TRUE(menus.LastItem("Einf\xFCgen")->Enabled);
  EXPECT_FALSE(menus.LastItem("Kopieren")->Enabled);
  EXPECT_EQ(f->Text(), "Hallo Welt");
  EXPECT_EQ(changes, 2);

  // Cut, copy and clear without a selection do nothing.
  f->Perform(WM_CUT);
  f->Perform(WM_CLEAR);
  EXPECT_EQ(f->Text(), "Hallo Welt");
  EXPECT_EQ(changes, 2);
}

TEST(In, LongTextScrollsAndTheCaretStaysInTheBox) {
  Form t(1);
  TIn* f = t.fields[0];
  const std::string text = "/home/benutzer/dokumente/archiv/2024/brivox/export/teil-0001.txt";
  TypeKeys(f, text);
  ASSERT_EQ(f->Text(), text);
  const int cx = f->CaptionX();
  auto caretInside = [&] {
    const TRect r = CaretState().rect;
    return r.left >= cx + 4 && r.right <= f->Width() - 3;
  };
  EXPECT_GT(f->Model().Scroll(), 0);
  EXPECT_TRUE(caretInside()) << CaretState().rect.left;
  TRecordingCanvas c(f->Width(), f->Height());
  f->PaintTo(c);
  ASSERT_FALSE(c.record.Texts().empty());
  EXPECT_EQ(c.record.Texts()[0]->text, text.substr(size_t(f->Model().Scroll())));
  for (size_t i = 0; i < text.size(); ++i) {
    SendKey(f, Qt::Key_Left);
    ASSERT_TRUE(caretInside()) << "cursor " << f->Model().Cursor();
    ASSERT_LT(f->Model().Scroll(), std::max(1, f->Model().Cursor() + 1));
  }
  EXPECT_EQ(f->Model().Scroll(), 0);
  EXPECT_EQ(f->Model().Cursor(), 0);
}

TEST(In, PaletteEntryAndDefaults) {
  TTestServices services;
  In::Register();
  const TPaletteEntry* e = FindPaletteEntry("TIn");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Page, "Beispiele");
  TForm form;
  auto* f = dynamic_cast<TIn*>(e->Create(&form));
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Width(), 100);
  EXPECT_EQ(f->Height(), 21);
  EXPECT_TRUE(f->TabStop());
  EXPECT_EQ(f->CaptionWidth(), 40);
  EXPECT_EQ(f->CaptionSize(), 8);
  EXPECT_EQ(f->CaptionX(), 0) << "no caption yet";
  f->FSetCaptionWidth(-5);
  f->FSetCaptionSize(0);
  f->FSetMax(-1);
  EXPECT_EQ(f->CaptionWidth(), 40);
  EXPECT_EQ(f->CaptionSize(), 8);
  EXPECT_EQ(f->MaxLength(), 0);
  f->FSetCaption("Maximale Dateigr\xF6\xDF" "e in KB");
  EXPECT_EQ(f->CaptionX(), 40);
  f->FSetCaptionWidth(160);
  EXPECT_EQ(f->CaptionX(), 96) << "the box keeps 4 pixels inside the control";
  f->SetBounds(2, 20, 209, 21);
  EXPECT_EQ(f->CaptionX(), 160);
}
