#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>

#include "framework/gui/qtbridge.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {

TColor At(const QImage& img, int x, int y) { return FromQColor(img.pixelColor(x, y)); }

// A glyph strip of n images, each filled with its own colour and a clWhite corner pixel
// (bottom left) that is the transparent colour.
TBitmap Strip(const std::vector<TColor>& colours, int size = 8) {
  TBitmap b(size * int(colours.size()), size);
  for (size_t i = 0; i < colours.size(); ++i) {
    b.Canvas().Brush.Color = colours[i];
    b.Canvas().FillRect(Bounds(int(i) * size, 0, size, size));
    b.Canvas().SetPixel(int(i) * size, size - 1, clWhite);
  }
  return b;
}

}  // namespace

TEST(Edit, KeysGoThroughTheHandlersAndCanBeSwallowed) {
  TTestServices services;
  TForm form;
  form.SetClientSize(300, 100);
  auto* edit = new TEdit(&form);
  edit->SetBounds(10, 10, 120, 21);
  auto* next = new TEdit(&form);
  next->SetBounds(10, 40, 120, 21);
  next->SetTabOrder(1);
  std::vector<std::string> log;
  edit->OnKeyDown = [&](TObject*, int& key, TShiftState) {
    log.push_back("down " + std::to_string(key));
    if (key == VK_DELETE) key = 0;
  };
  edit->OnKeyPress = [&](TObject*, char& key) {
    log.push_back(std::string("press ") + key);
    if (key == 'x') key = 0;
    if (key == 'q') key = 'Q';
  };
  edit->OnKeyUp = [&](TObject*, int& key, TShiftState) { log.push_back("up " + std::to_string(key)); };
  edit->OnChange = [&](TObject*) { log.push_back("change " + edit->Text()); };
  ShowAndActivate(&form);
  edit->SetFocus(FOCUS_KEYBOARD);
  ASSERT_TRUE(edit->Focused());
  QWidget* target = QApplication::focusWidget();
  ASSERT_EQ(target, edit->Editor());

  SendKey(target, Qt::Key_A, "a");
  EXPECT_EQ(log, (std::vector<std::string>{"down 65", "press a", "change a", "up 65"}));
  SendKey(target, Qt::Key_X, "x");  // swallowed by OnKeyPress
  SendKey(target, Qt::Key_Q, "q");  // replaced by OnKeyPress
  SendKey(target, Qt::Key_Adiaeresis, "\xC3\xA4");
  EXPECT_EQ(edit->Text(), "aQ\xE4");

  // Delete swallowed by OnKeyDown: the character after the caret stays.
  edit->SetSelStart(0);
  SendKey(target, Qt::Key_Delete);
  EXPECT_EQ(edit->Text(), "aQ\xE4");
  edit->SetSelStart(3);
  SendKey(target, Qt::Key_Backspace, "\b");
  EXPECT_EQ(edit->Text(), "aQ");

  // Each key reaches the handlers once, not again through the edit's parent.
  log.clear();
  SendKey(target, Qt::Key_Return, "\r");
  EXPECT_EQ(log, (std::vector<std::string>{"down 13", "press \r", "up 13"}));

  // Tab is not typed: the focus moves on.
  SendKey(target, Qt::Key_Tab, "\t");
  EXPECT_TRUE(next->Focused());
  EXPECT_EQ(edit->Text(), "aQ");
}

TEST(Edit, CharacterMessagesTypeAsFromTheKeyboard) {
  TTestServices services;
  TForm form;
  auto* edit = new TEdit(&form);
  std::string pressed;
  edit->OnKeyPress = [&](TObject*, char& key) {
    pressed += key;
    if (key == '#') key = 0;
  };
  for (char c : std::string("Gr\xFC\xDF#e")) edit->Perform(WM_CHAR, (unsigned char)c);
  EXPECT_EQ(edit->Text(), "Gr\xFC\xDF" "e");
  EXPECT_EQ(pressed, "Gr\xFC\xDF#e");
  EXPECT_EQ(edit->SelStart(), 5);
  edit->Perform(WM_CHAR, VK_BACK);
  EXPECT_EQ(edit->Text(), "Gr\xFC\xDF");
  // Ctrl+A (1) selects all, and the next character replaces the selection.
  edit->Perform(WM_CHAR, 1);
  EXPECT_EQ(edit->SelLength(), 4);
  edit->Perform(WM_CHAR, 'z');
  EXPECT_EQ(edit->Text(), "z");
  // Key messages sent from elsewhere move the caret as keys do.
  edit->SetText("abc");
  edit->SetSelStart(3);
  edit->Perform(WM_KEYDOWN, VK_LEFT);
  EXPECT_EQ(edit->SelStart(), 2);
  edit->SetMaxLength(3);
  edit->Perform(WM_CHAR, 'd');
  EXPECT_EQ(edit->Text(), "abc");
  edit->SetReadOnly(true);
  edit->SetMaxLength(0);
  edit->Perform(WM_CHAR, 'd');
  EXPECT_EQ(edit->Text(), "abc");
}

TEST(Edit, FocusEventsAndSelectionKeptWithoutFocus) {
  TTestServices services;
  TForm form;
  form.SetClientSize(300, 100);
  auto* keep = new TEdit(&form);
  keep->SetHideSelection(false);
  auto* hide = new TEdit(&form);
  hide->SetTop(30);
  auto* other = new TEdit(&form);
  other->SetTop(60);
  std::vector<std::string> log;
  keep->OnEnter = [&](TObject*) { log.push_back("enter"); };
  keep->OnExit = [&](TObject*) { log.push_back("exit"); };
  ShowAndActivate(&form);
  keep->SetText("Suchtext");
  hide->SetText("Suchtext");
  keep->SetFocus();
  keep->SetSel(2, 3);
  other->SetFocus();
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
  EXPECT_EQ(keep->SelStart(), 2);
  EXPECT_EQ(keep->SelLength(), 3);
  hide->SetFocus();
  hide->SetSel(2, 3);
  other->SetFocus();
  EXPECT_EQ(hide->SelLength(), 0);
  // The kept selection is drawn in the highlight colour while another control has the focus.
  const QImage img = keep->grab().toImage();
  bool highlighted = false;
  for (int x = 0; x < img.width(); ++x)
    if (At(img, x, img.height() / 2) == ColorToRGB(clHighlight)) highlighted = true;
  EXPECT_TRUE(highlighted);
}

// Wrapped controls made on a window already shown take the focus at once, without waiting for
// the event loop to show their inner widget.
TEST(Edit, MadeOnAShownWindowTakesTheFocusAtOnce) {
  TTestServices services;
  TForm form;
  form.SetClientSize(300, 100);
  auto* first = new TEdit(&form);
  ShowAndActivate(&form);
  first->SetFocus();
  auto* later = new TEdit(&form);
  later->SetTop(30);
  later->SetFocus();
  EXPECT_TRUE(later->Focused());
  auto* list = new TListBox(&form);
  list->SetTop(60);
  list->SetFocus();
  EXPECT_TRUE(list->Focused());
}

// The right-click menu speaks German and works through the clipboard service.
TEST(Edit, ContextMenuInGermanThroughTheServices) {
  TTestServices services;
  TForm form;
  auto* edit = new TEdit(&form);
  edit->SetText("Hallo Welt");
  edit->SetSel(0, 5);
  auto menu = [&](const std::string& choice) {
    services.menus.choose.push_back(choice);
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(3, 3), edit->Editor()->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(edit->Editor(), &e);
  };
  menu("Kopieren");
  ASSERT_EQ(services.menus.calls.size(), 1u);
  std::vector<std::string> captions;
  for (const auto& it : services.menus.calls[0].items) captions.push_back(it.Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"R\xFC" "ckg\xE4" "ngig", "-", "Ausschneiden", "Kopieren",
                                                "Einf\xFC" "gen", "L\xF6" "schen", "-", "Alles markieren"}));
  EXPECT_EQ(services.clipboard.GetText(), "Hallo");
  // The clipboard was empty when the menu opened.
  EXPECT_FALSE(services.menus.LastItem("Einf\xFC" "gen")->Enabled);

  menu("Ausschneiden");
  EXPECT_TRUE(services.menus.LastItem("Einf\xFC" "gen")->Enabled);
  EXPECT_EQ(edit->Text(), " Welt");
  edit->SetSelStart(5);
  services.clipboard.SetText("\xC4rger");
  menu("Einf\xFC" "gen");
  EXPECT_EQ(edit->Text(), " Welt\xC4rger");

  // Nothing selected: cut, copy and delete are greyed and cannot be chosen.
  edit->SetSel(0, 0);
  menu("Ausschneiden");
  EXPECT_FALSE(services.menus.LastItem("Ausschneiden")->Enabled);
  EXPECT_FALSE(services.menus.LastItem("L\xF6" "schen")->Enabled);
  EXPECT_EQ(edit->Text(), " Welt\xC4rger");
  menu("Alles markieren");
  EXPECT_EQ(edit->SelLength(), 10);
}

TEST(Edit, HandlerMayFreeTheEdit) {
  TTestServices services;
  TForm form;
  ShowAndActivate(&form);
  auto* edit = new TEdit(&form);
  edit->OnKeyPress = [&](TObject*, char&) { delete edit; };
  edit->SetFocus();
  QPointer<QWidget> target = edit->Editor();
  SendKeyPress(target, Qt::Key_A, "a");
  EXPECT_TRUE(target.isNull());
  auto* edit2 = new TEdit(&form);
  edit2->OnChange = [&](TObject*) { edit2->deleteLater(); };
  edit2->Perform(WM_CHAR, 'b');
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(SpeedButton, GroupsToggleExclusively) {
  TTestServices services;
  TForm form;
  form.SetClientSize(200, 60);
  TSpeedButton* b[3];
  int clicks = 0;
  for (int i = 0; i < 3; ++i) {
    b[i] = new TSpeedButton(&form);
    b[i]->SetBounds(i * 25, 0, 23, 22);
    b[i]->GroupIndex = 1;
    b[i]->OnClick = [&](TObject*) { ++clicks; };
  }
  auto* other = new TSpeedButton(&form);  // another group on the same parent
  other->SetBounds(100, 0, 23, 22);
  other->GroupIndex = 2;
  other->SetDown(true);
  auto* plain = new TSpeedButton(&form);
  plain->SetBounds(130, 0, 23, 22);
  ShowAndActivate(&form);

  const TPoint mid{11, 11};
  Click(b[0], mid);
  EXPECT_TRUE(b[0]->Down());
  Click(b[1], mid);
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[1]->Down());
  EXPECT_TRUE(other->Down()) << "another group is not touched";
  Click(b[1], mid);
  EXPECT_TRUE(b[1]->Down()) << "the last one down stays down without AllowAllUp";
  b[1]->SetDown(false);
  EXPECT_TRUE(b[1]->Down());
  EXPECT_EQ(clicks, 3);

  // A single button in a group that may be all up is a toggle.
  other->AllowAllUp = true;
  Click(other, mid);
  EXPECT_FALSE(other->Down());
  Click(other, mid);
  EXPECT_TRUE(other->Down());

  // Without a group it never stays down.
  int plainClicks = 0;
  plain->OnClick = [&](TObject*) { ++plainClicks; };
  plain->SetDown(true);
  Click(plain, mid);
  EXPECT_FALSE(plain->Down());
  EXPECT_EQ(plainClicks, 1);
  // Pressed, dragged off and released outside: no click.
  SendMouse(plain, QEvent::MouseButtonPress, Qt::LeftButton, mid);
  SendMouse(plain, QEvent::MouseMove, Qt::NoButton, {40, 11}, Qt::LeftButton);
  SendMouse(plain, QEvent::MouseButtonRelease, Qt::LeftButton, {40, 11});
  EXPECT_EQ(plainClicks, 1);
  plain->SetEnabled(false);
  Click(plain, mid);
  EXPECT_EQ(plainClicks, 1);
}

TEST(SpeedButton, BevelAndGlyphForEachState) {
  TTestServices services;
  TForm form;
  form.SetClientSize(100, 60);
  auto* b = new TSpeedButton(&form);
  b->SetBounds(0, 0, 24, 22);
  b->GroupIndex = 1;
  b->AllowAllUp = true;
  b->Glyph = Strip({clRed, clGray, clBlue, clLime});
  b->NumGlyphs = 4;
  ShowAndActivate(&form);
  auto shot = [&] { return b->grab().toImage(); };
  // Glyph 8x8 centred in 24x22: from (8, 7).
  QImage up = shot();
  EXPECT_EQ(At(up, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(up, 23, 21), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(At(up, 22, 20), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(up, 11, 10), clRed);
  EXPECT_EQ(At(up, 8, 14), ColorToRGB(clBtnFace)) << "the transparent corner shows the face";

  SendMouse(b, QEvent::MouseButtonPress, Qt::LeftButton, {12, 11});
  QImage pushed = shot();
  EXPECT_EQ(At(pushed, 0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(pushed, 1, 1), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(At(pushed, 12, 11), clBlue) << "clicked image, one pixel down and right";
  SendMouse(b, QEvent::MouseButtonRelease, Qt::LeftButton, {12, 11});
  ASSERT_TRUE(b->Down());
  EXPECT_EQ(At(shot(), 12, 11), clLime);

  b->SetDown(false);
  b->SetEnabled(false);
  EXPECT_EQ(At(shot(), 11, 10), clGray);
  // With only one image a disabled glyph is a grey shade of it.
  b->NumGlyphs = 1;
  b->Glyph = Strip({clRed});
  const TColor grey = At(shot(), 11, 10);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));

  // Flat: no bevel until the mouse is over it.
  b->SetEnabled(true);
  b->Flat = true;
  b->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(At(shot(), 0, 0), ColorToRGB(clBtnFace));
  b->Perform(CM_MOUSEENTER);
  EXPECT_EQ(At(shot(), 0, 0), ColorToRGB(clBtnHighlight));
}

TEST(ScrollBar, ScrollCodesAndChangedPositions) {
  TTestServices services;
  TForm form;
  form.SetClientSize(200, 200);
  auto* bar = new TScrollBar(&form, TScrollBarKind::Vertical);
  bar->SetBounds(0, 0, 16, 150);
  bar->SetParams(10, 0, 100);
  bar->SmallChange = 3;
  bar->LargeChange = 20;
  std::vector<std::pair<int, int>> scrolls;
  int changes = 0;
  bar->OnScroll = [&](TObject*, int code, int& pos) {
    scrolls.push_back({code, pos});
    if (code == SB_PAGEDOWN) pos = 77;
  };
  bar->OnChange = [&](TObject*) { ++changes; };
  ShowAndActivate(&form);
  QScrollBar* q = bar->findChild<QScrollBar*>();

  // The bottom arrow: one line down, then the end of the scroll.
  Click(q, {8, 145});
  ASSERT_EQ(scrolls.size(), 2u);
  EXPECT_EQ(scrolls[0], std::make_pair(int(SB_LINEDOWN), 13));
  EXPECT_EQ(scrolls[1], std::make_pair(int(SB_ENDSCROLL), 13));
  EXPECT_EQ(bar->Position(), 13);
  EXPECT_EQ(changes, 1);

  // Below the thumb: a page down, which the handler moves elsewhere.
  scrolls.clear();
  Click(q, {8, 120});
  ASSERT_FALSE(scrolls.empty());
  EXPECT_EQ(scrolls[0], std::make_pair(int(SB_PAGEDOWN), 33));
  EXPECT_EQ(bar->Position(), 77);
  EXPECT_EQ(changes, 2);

  // Setting the position from code changes it once; the same position is no change.
  bar->SetPosition(50);
  bar->SetPosition(50);
  EXPECT_EQ(changes, 3);
  bar->SetParams(500, 0, 100);
  EXPECT_EQ(bar->Position(), 100);
  // With a page, the last position shows the page ending at Max.
  bar->SetPageSize(10);
  EXPECT_EQ(bar->Position(), 91);
  EXPECT_EQ(q->maximum(), 91);
  EXPECT_EQ(bar->Max(), 100);
}

TEST(Label, AlignmentLayoutBorderAndAutoSize) {
  TTestServices services;
  TForm form;
  auto* label = new TLabel(&form);
  label->SetBounds(0, 0, 100, 40);
  label->SetCaption("Spalte");
  TRecordingCanvas rec(100, 40);
  label->PaintTo(rec);
  const TCanvasOp* text = rec.record.FindText("Spalte");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->rect.left, 0);
  EXPECT_EQ(text->rect.top, 0);
  const int tw = text->rect.Width(), th = text->rect.Height();

  label->Alignment = TAlignment::RightJustify;
  label->Layout = TTextLayout::Bottom;
  rec.record.Clear();
  label->PaintTo(rec);
  text = rec.record.FindText("Spalte");
  EXPECT_EQ(text->rect.right, 100);
  EXPECT_EQ(text->rect.bottom, 40);

  label->Alignment = TAlignment::Center;
  label->Layout = TTextLayout::Center;
  label->Border = TStaticBorder::Sunken;
  TRecordingCanvas rec2(100, 40, clRed);
  label->PaintTo(rec2);
  text = rec2.record.FindText("Spalte");
  EXPECT_EQ(text->rect.left, 1 + (98 - tw) / 2);
  EXPECT_EQ(text->rect.top, 1 + (38 - th) / 2);
  const QImage& img = rec2.Image();
  EXPECT_EQ(At(img, 0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(img, 0, 38), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(img, 99, 39), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(img, 50, 2), ColorToRGB(clBtnFace));

  // Transparent: nothing but the text is drawn.
  label->Transparent = true;
  label->Border = TStaticBorder::None;
  TRecordingCanvas rec3(100, 40, clRed);
  label->PaintTo(rec3);
  for (const auto& op : rec3.record.ops) EXPECT_EQ(op.kind, TCanvasOp::Text);
  EXPECT_EQ(At(rec3.Image(), 1, 1), clRed);

  // Disabled: embossed, a highlight copy under the grey text.
  label->SetEnabled(false);
  TRecordingCanvas rec4(100, 40);
  label->PaintTo(rec4);
  ASSERT_EQ(rec4.record.Texts().size(), 2u);
  EXPECT_EQ(rec4.record.Texts()[0]->font.Color, clBtnHighlight);
  EXPECT_EQ(rec4.record.Texts()[1]->font.Color, clBtnShadow);

  label->AutoSize = true;
  label->SetCaption("Ein l\xE4ngerer Name");
  EXPECT_EQ(label->Width(), rec.TextWidth("Ein l\xE4ngerer Name"));
  TFont bold = label->Font();
  bold.Style = fsBold;
  bold.Size = 14;
  label->SetFont(bold);
  rec.Font = bold;
  EXPECT_EQ(label->Width(), rec.TextWidth("Ein l\xE4ngerer Name"));
  EXPECT_EQ(label->Height(), rec.TextHeight("Ag"));
}

TEST(GroupBox, EtchedFrameInterruptedByTheCaption) {
  TTestServices services;
  TForm form;
  auto* box = new TGroupBox(&form);
  box->SetBounds(0, 0, 120, 60);
  box->SetCaption("Optionen");
  TRecordingCanvas rec(120, 60, clRed);
  box->PaintTo(rec);
  const TCanvasOp* text = rec.record.FindText("Optionen");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->rect.left, 8);
  EXPECT_EQ(text->rect.top, 0);
  const int top = text->rect.Height() / 2;
  const QImage& img = rec.Image();
  EXPECT_EQ(At(img, 0, top), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(img, 1, top + 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(img, 118, 58), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(img, 119, 59), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(At(img, 4, top), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(img, 7, top), ColorToRGB(clBtnFace)) << "the gap before the caption";
  EXPECT_EQ(At(img, text->rect.right, top), ColorToRGB(clBtnFace)) << "the gap after it";
  EXPECT_EQ(At(img, text->rect.right + 2, top), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(img, 60, 1), ColorToRGB(clBtnFace)) << "above the line";
}

TEST(ProgressBar, SixtyFourBitRangeIsScaled) {
  TTestServices services;
  TForm form;
  auto* bar = new TProgressBar(&form);
  auto* q = bar->findChild<QProgressBar*>();
  bar->SetRange(0, 100);
  bar->SetPosition(40);
  EXPECT_EQ(q->value(), 40);
  const int64_t big = int64_t(1) << 40;
  bar->SetRange(big, 5 * big);
  bar->SetPosition(3 * big);
  EXPECT_EQ(bar->Position(), 3 * big);
  EXPECT_NEAR(double(q->value()) / q->maximum(), 0.5, 1e-6);
  bar->SetPosition(5 * big);
  EXPECT_EQ(q->value(), q->maximum());
  bar->SetPosition(-1);
  EXPECT_EQ(q->value(), 0);
}

TEST(ListBox, ItemsIndexAndHitTest) {
  TTestServices services;
  TForm form;
  form.SetClientSize(200, 200);
  auto* box = new TListBox(&form);
  box->SetBounds(10, 10, 120, 100);
  TStringList items;
  items.SetText("Januar\r\nFebruar\r\nM\xE4rz");
  box->SetItems(items);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  ShowAndActivate(&form);
  EXPECT_EQ(box->List()->item(2)->text(), QString::fromUtf8("M\xC3\xA4rz"));
  box->SetItemIndex(1);
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(clicks, 0) << "setting the index from code is no click";
  const int ih = box->ItemHeight();
  EXPECT_GT(ih, 8);
  const TPoint third{20, 2 + 2 * ih + ih / 2};
  EXPECT_EQ(box->ItemAt(third), 2);
  EXPECT_EQ(box->ItemAt({20, 2 + 3 * ih + ih / 2}), -1);
  const QPoint vp = box->List()->viewport()->mapFrom(box, ToQPoint(third));
  Click(box->List()->viewport(), FromQPoint(vp));
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  box->SetItemIndex(7);
  EXPECT_EQ(box->ItemIndex(), -1);
}

TEST(StockControls, RenderLikeAClassicDialog) {
  TTestServices services;
  TForm form;
  form.SetClientSize(260, 200);
  auto* group = new TGroupBox(&form);
  group->SetBounds(8, 8, 244, 110);
  group->SetCaption("Suche");
  auto* label = new TLabel(group);
  label->SetBounds(10, 20, 68, 20);
  label->Border = TStaticBorder::Sunken;
  label->Layout = TTextLayout::Center;
  label->SetCaption("Spalte");
  auto* edit = new TEdit(group);
  edit->SetBounds(82, 20, 90, 20);
  edit->SetText("M\xFCller");
  auto* down = new TSpeedButton(group);
  down->SetBounds(176, 19, 22, 22);
  down->Caption = "Aa";
  down->GroupIndex = 1;
  down->AllowAllUp = true;
  down->SetDown(true);
  auto* start = new TSpeedButton(group);
  start->SetBounds(200, 19, 22, 22);
  start->Caption = "Go";
  auto* list = new TListBox(group);
  list->SetBounds(10, 48, 120, 52);
  TStringList items;
  items.SetText("eins\r\nzwei\r\ndrei\r\nvier");
  list->SetItems(items);
  list->SetItemIndex(1);
  auto* bar = new TScrollBar(group);
  bar->SetBounds(140, 60, 90, 16);
  bar->SetParams(30, 0, 100);
  auto* progress = new TProgressBar(&form);
  progress->SetBounds(8, 130, 244, 16);
  progress->SetPosition(60);
  ShowAndActivate(&form);
  const std::string path = testing::TempDir() + "stock_controls.png";
  ASSERT_TRUE(SaveWidgetPng(&form, path));
  const QImage img(QString::fromStdString(path));
  EXPECT_EQ(At(img, 8 + 82, 8 + 20), ColorToRGB(clBtnShadow)) << "edit's sunken border";
  EXPECT_EQ(At(img, 8 + 82 + 1, 8 + 20 + 1), ColorToRGB(cl3DDkShadow));
}
