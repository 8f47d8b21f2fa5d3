#include "components/taste/taste.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include "framework/gui/registry.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {
const TColor kOutline = FromRGBHex(0x808080);

int CountOps(const TCanvasRecord& r, TCanvasOp::Kind kind) {
  int n = 0;
  for (const auto& op : r.ops) n += op.kind == kind;
  return n;
}
}  // namespace

TEST(Taste, BevelOfASilverButtonPixelByPixelAndSwappedWhilePressed) {
  TTestServices services;
  TTaste b(nullptr);
  b.SetColor(FromRGBHex(0xC0C0C0));
  const int w = b.Width(), h = b.Height();
  ASSERT_EQ(w, 100);
  ASSERT_EQ(h, 21);

  TRecordingCanvas up(w, h, clWhite);
  b.PaintTo(up);
  EXPECT_EQ(up.Pixel(2, h / 2), FromRGBHex(0xCFCFCF));
  EXPECT_EQ(up.Pixel(w / 2, 2), FromRGBHex(0xCFCFCF));
  // The right and bottom edges of ring k lie at w - k and h - k, as LineTo leaves out the end.
  EXPECT_EQ(up.Pixel(w - 2, h / 2), FromRGBHex(0x808080));
  EXPECT_EQ(up.Pixel(w / 2, h - 2), FromRGBHex(0x808080));
  EXPECT_EQ(up.Pixel(1, h / 2), FromRGBHex(0xDBDBDB));
  EXPECT_EQ(up.Pixel(w / 2, 1), FromRGBHex(0xDBDBDB));
  EXPECT_EQ(up.Pixel(w - 1, h / 2), FromRGBHex(0x565656));
  EXPECT_EQ(up.Pixel(w / 2, h - 1), FromRGBHex(0x565656));
  EXPECT_EQ(up.Pixel(0, h / 2), kOutline);
  EXPECT_EQ(up.Pixel(w / 2, 0), kOutline);
  EXPECT_EQ(up.Pixel(w / 2, h / 2), FromRGBHex(0xC0C0C0));

  b.Perform(WM_CHAR, ' ');
  ASSERT_TRUE(b.Pressed());
  TRecordingCanvas down(w, h, clWhite);
  b.PaintTo(down);
  EXPECT_EQ(down.Pixel(2, h / 2), FromRGBHex(0x808080));
  EXPECT_EQ(down.Pixel(w / 2, 2), FromRGBHex(0x808080));
  EXPECT_EQ(down.Pixel(w - 2, h / 2), FromRGBHex(0xCFCFCF));
  EXPECT_EQ(down.Pixel(w / 2, h - 2), FromRGBHex(0xCFCFCF));
  EXPECT_EQ(down.Pixel(1, h / 2), FromRGBHex(0x565656));
  EXPECT_EQ(down.Pixel(w / 2, 1), FromRGBHex(0x565656));
  EXPECT_EQ(down.Pixel(w - 1, h / 2), FromRGBHex(0xDBDBDB));
  EXPECT_EQ(down.Pixel(w / 2, h - 1), FromRGBHex(0xDBDBDB));

  // A system colour is resolved before shading: button face D4D0C8.
  b.SetColor(clBtnFace);
  b.Perform(WM_KILLFOCUS);
  TRecordingCanvas face(w, h, clWhite);
  b.PaintTo(face);
  EXPECT_EQ(face.Pixel(2, h / 2), FromRGBHex(0xDEDBD5));
  EXPECT_EQ(face.Pixel(w - 2, h / 2), FromRGBHex(0x8E8B86));
}

TEST(Taste, CaptionPlacementClippingAndFocusRectangle) {
  TTestServices services;
  TForm form;
  form.SetClientSize(200, 60);
  auto* b = new TTaste(&form);
  b->SetBounds(10, 10, 100, 21);
  auto* other = new TTaste(&form);
  other->SetBounds(10, 35, 100, 21);
  ShowAndActivate(&form);
  other->SetFocus(FOCUS_KEYBOARD);
  const int w = b->Width(), h = b->Height();

  b->SetCaption("Start");
  TRecordingCanvas narrow(w, h);
  b->PaintTo(narrow);
  const TCanvasOp* t = narrow.record.FindText("Start");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->rect.left, (w - t->rect.Width()) / 2);
  EXPECT_EQ(t->rect.top, (h - t->rect.Height()) / 2);
  EXPECT_EQ(t->clip, Rect(3, 3, w - 3, h - 3));
  EXPECT_EQ(CountOps(narrow.record, TCanvasOp::FocusRect), 0) << "not focused";

  const std::string wide = "Datei ausw\xE4hlen und dann noch sehr viel mehr";
  b->SetCaption(wide);
  b->SetFocus(FOCUS_KEYBOARD);
  ASSERT_TRUE(b->Focused());
  TRecordingCanvas clipped(w, h);
  b->PaintTo(clipped);
  t = clipped.record.FindText(wide);
  ASSERT_NE(t, nullptr);
  ASSERT_GT(t->rect.Width(), w - 6);
  EXPECT_EQ(t->rect.left, 3);
  // Nothing of the text reaches the column right of the clip rectangle.
  for (int y = 3; y < h - 3; ++y) ASSERT_EQ(clipped.Pixel(w - 3, y), ColorToRGB(clBtnFace)) << "y " << y;
  bool inked = false;
  for (int y = 3; y < h - 3; ++y) inked |= clipped.Pixel(w - 4, y) != ColorToRGB(clBtnFace);
  EXPECT_TRUE(inked) << "the caption runs up to the clip edge";
  ASSERT_EQ(CountOps(clipped.record, TCanvasOp::FocusRect), 1);
  for (const auto& op : clipped.record.ops) {
    if (op.kind == TCanvasOp::FocusRect) {
      EXPECT_EQ(op.rect, Rect(3, 3, w - 3, h - 3));
    }
  }

  b->Perform(WM_CHAR, '\r');
  TRecordingCanvas pressed(w, h);
  b->PaintTo(pressed);
  EXPECT_EQ(CountOps(pressed.record, TCanvasOp::FocusRect), 0) << "pressed";

  b->SetEnabled(false);
  TRecordingCanvas disabled(w, h);
  b->PaintTo(disabled);
  EXPECT_EQ(CountOps(disabled.record, TCanvasOp::FocusRect), 0) << "disabled";
  t = disabled.record.FindText(wide);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->font.Color, clGrayText);
}

TEST(Taste, ClicksOnceForSpaceHeldAndOnMouseReleaseAnywhere) {
  TTestServices services;
  TForm form;
  form.SetClientSize(240, 60);
  auto* b = new TTaste(&form);
  b->SetBounds(10, 10, 100, 21);
  auto* other = new TTaste(&form);
  other->SetBounds(120, 10, 100, 21);
  int clicks = 0;
  b->OnClick = [&](TObject* s) {
    EXPECT_EQ(s, b);
    EXPECT_FALSE(b->Pressed()) << "the button looks released when its handler runs";
    ++clicks;
  };
  ShowAndActivate(&form);
  b->SetFocus(FOCUS_KEYBOARD);

  SendKeyPress(b, Qt::Key_Space, " ");
  for (int i = 0; i < 5; ++i) SendKeyPress(b, Qt::Key_Space, " ", 0, true);
  for (int i = 0; i < 5; ++i) SendKeyRelease(b, Qt::Key_Space, 0, true);
  EXPECT_TRUE(b->Pressed());
  EXPECT_EQ(clicks, 0) << "no click while held";
  SendKeyRelease(b, Qt::Key_Space);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->Pressed());

  // Pressed by Space, released by Enter: still one click. A lone key-up clicks nothing.
  SendKeyPress(b, Qt::Key_Space, " ");
  SendKeyRelease(b, Qt::Key_Return);
  EXPECT_EQ(clicks, 2);
  SendKeyRelease(b, Qt::Key_Space);
  EXPECT_EQ(clicks, 2);

  // The mouse: the press takes the focus, the release clicks even outside the button.
  other->SetFocus(FOCUS_KEYBOARD);
  SendMouse(b, QEvent::MouseButtonPress, Qt::LeftButton, {50, 10});
  EXPECT_TRUE(b->Focused());
  EXPECT_TRUE(b->Pressed());
  EXPECT_EQ(GetCapture(), b);
  SendMouse(b, QEvent::MouseButtonRelease, Qt::LeftButton, {500, 300});
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(GetCapture(), nullptr);

  // A press ended by a focus change does not click.
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
  other->SetFocus(FOCUS_KEYBOARD);
  EXPECT_FALSE(b->Pressed());
  b->Perform(WM_LBUTTONUP, 0, MakeLParam(5, 5));
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Taste, OnePressOneClickWhateverTheAutoRepeatFlagSays) {
  TTestServices services;
  TForm form;
  form.SetClientSize(240, 60);
  auto* b = new TTaste(&form);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ShowAndActivate(&form);
  b->SetFocus(FOCUS_KEYBOARD);
  auto key = [&](QEvent::Type type, int qtKey, bool autoRepeat, uint64_t time) {
    QKeyEvent e(type, qtKey, Qt::NoModifier, type == QEvent::KeyPress ? (qtKey == Qt::Key_Space ? " " : "\r") : "",
                autoRepeat);
    e.setTimestamp(time);
    QApplication::sendEvent(b, &e);
  };

  // Held keys repeated as presses alone, none of them flagged as a repeat.
  for (int qtKey : {Qt::Key_Space, Qt::Key_Return}) {
    clicks = 0;
    for (int i = 0; i < 20; ++i) key(QEvent::KeyPress, qtKey, false, 1000 + 40 * i);
    EXPECT_EQ(clicks, 0);
    key(QEvent::KeyRelease, qtKey, false, 2000);
    EXPECT_EQ(clicks, 1) << qtKey;
  }

  // A held Space as the X server repeats it: release/press pairs with one timestamp, some of
  // which Qt failed to flag.
  clicks = 0;
  key(QEvent::KeyPress, Qt::Key_Space, false, 10000);
  for (int i = 0; i < 20; ++i) {
    const uint64_t t = 10660 + 40 * i;
    const bool flagged = i % 3 != 0;
    key(QEvent::KeyRelease, Qt::Key_Space, flagged, t);
    key(QEvent::KeyPress, Qt::Key_Space, flagged, t);
  }
  key(QEvent::KeyRelease, Qt::Key_Space, false, 12000);
  EXPECT_EQ(clicks, 1) << "one hold, one click";
  EXPECT_FALSE(b->Pressed());

  // Quick presses one after the other each click.
  clicks = 0;
  for (int i = 0; i < 3; ++i) {
    key(QEvent::KeyPress, Qt::Key_Space, false, 20000 + 100 * i);
    key(QEvent::KeyRelease, Qt::Key_Space, false, 20050 + 100 * i);
  }
  EXPECT_EQ(clicks, 3);
}

TEST(Taste, HandlerMayFreeTheButtonAndPaletteCreatesIt) {
  TTestServices services;
  Taste::Register();
  const TPaletteEntry* e = FindPaletteEntry("TTaste");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Page, "Beispiele");
  TForm form;
  auto* b = dynamic_cast<TTaste*>(e->Create(&form));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Width(), 100);
  EXPECT_EQ(b->Height(), 21);
  EXPECT_TRUE(b->TabStop());
  EXPECT_EQ(b->Color(), clBtnFace);
  ShowAndActivate(&form);
  b->SetFocus(FOCUS_KEYBOARD);
  b->OnClick = [b](TObject*) { delete b; };
  SendKeyPress(b, Qt::Key_Return, "\r");
  QPointer<TTaste> watch(b);
  SendKeyRelease(b, Qt::Key_Return);
  EXPECT_TRUE(watch.isNull());
}
