#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include "framework/gui/pickers.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"
#include "tests/framework/window_input.h"

using namespace komp;

namespace {

// Records, for each focus it loses, the control that took it.
template <class Base>
class Loser : public Base {
 public:
  explicit Loser(QWidget* owner) : Base(owner) {}
  std::vector<TControl*> receivers;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_KILLFOCUS) receivers.push_back(FocusReceiver(m));
    Base::Dispatch(m);
  }
};

class Stop : public Loser<TCustomControl> {
 public:
  Stop(QWidget* owner, int order) : Loser<TCustomControl>(owner) {
    SetTabStop(true);
    SetTabOrder(order);
  }
  std::vector<uint32_t> presses;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP) presses.push_back(m.Msg);
    Loser<TCustomControl>::Dispatch(m);
  }
};

TStringList Months() {
  TStringList l;
  for (const char* m : {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September",
                        "Oktober", "November", "Dezember"})
    l.Add(m);
  return l;
}

// The model cell of the calendar's grid that shows `day` of the shown month (a day from 15 to
// 21 is never shown twice), and the widget to click it in.
struct DayCell {
  QModelIndex index;
  QWidget* viewport = nullptr;
  QPoint centre;
};
DayCell FindDay(TMonthCalendar& cal, int day) {
  auto* view = cal.Calendar()->findChild<QTableView*>();
  DayCell out;
  if (!view) return out;
  QAbstractItemModel* m = view->model();
  // Row 0 holds the day names, column 0 the week numbers.
  for (int r = 1; r < m->rowCount(); ++r)
    for (int c = 1; c < m->columnCount(); ++c)
      if (m->index(r, c).data().toString() == QString::number(day)) {
        out.index = m->index(r, c);
        out.viewport = view->viewport();
        out.centre = view->visualRect(out.index).center();
      }
  return out;
}

QToolButton* CalendarButton(TMonthCalendar& cal, const char* name) {
  return cal.Calendar()->findChild<QToolButton*>(QString::fromLatin1(name));
}

}  // namespace

// ---------------------------------------------------------------- focus receiver, window text

TEST(FocusReceiver, NamesTheControlThatTakesTheFocus) {
  TTestServices services;
  TForm form;
  form.SetClientSize(500, 300);
  auto* a = new Stop(&form, 0);
  auto* b = new Stop(&form, 1);
  b->SetTop(30);
  auto* edit = new Loser<TEdit>(&form);
  edit->SetTabOrder(2);
  edit->SetTop(60);
  auto* cal = new TMonthCalendar(&form);
  cal->SetTabOrder(3);
  cal->SetTop(90);
  auto* cancel = new TButton(&form);
  cancel->SetCaption("Abbruch");
  cancel->SetTabOrder(4);
  cancel->SetLeft(300);
  // A host's own Qt widget is no control.
  auto* host = new QLineEdit(&form);
  host->setGeometry(300, 40, 100, 21);
  ShowAndActivate(&form);

  a->SetFocus();
  b->SetFocus();
  EXPECT_EQ(a->receivers, std::vector<TControl*>{b}) << "by SetFocus";
  SendKey(b, Qt::Key_Tab, "\t");
  EXPECT_EQ(b->receivers, std::vector<TControl*>{edit}) << "by Tab, to the edit and not its line edit";
  SendKey(edit->Editor(), Qt::Key_Tab, "\t");
  ASSERT_TRUE(cal->hasFocus());
  EXPECT_EQ(edit->receivers, std::vector<TControl*>{cal}) << "to a control whose wrapped widget holds the focus";
  // Tab in the calendar's grid walks on in the framework's order.
  SendKey(QApplication::focusWidget(), Qt::Key_Tab, "\t");
  EXPECT_EQ(form.ActiveControl(), cancel);

  // The date field's question: did the focus go to the cancel button?
  edit->SetFocus();
  cancel->SetFocus();
  ASSERT_EQ(edit->receivers.size(), 2u);
  ASSERT_NE(edit->receivers[1], nullptr);
  EXPECT_EQ(edit->receivers[1]->WindowText().rfind("Abbruch", 0), 0u);

  a->SetFocus();
  host->setFocus();
  a->SetFocus();
  a->ClearFocus();
  EXPECT_EQ(a->receivers, (std::vector<TControl*>{b, nullptr, nullptr})) << "to a host widget; to nobody";

  // Into another window of the application.
  TForm other;
  auto* there = new Stop(&other, 0);
  a->SetFocus();
  ShowAndActivate(&other);
  ASSERT_EQ(a->receivers.size(), 4u);
  EXPECT_EQ(a->receivers[3], there) << "the control that the other window's activation focused";

  EXPECT_EQ(ControlOfFocusWidget(edit->Editor()), edit);
  EXPECT_EQ(ControlOfFocusWidget(cal->Calendar()->findChild<QTableView*>()), cal);
  EXPECT_EQ(ControlOfFocusWidget(cancel->Button()), cancel);
  EXPECT_EQ(ControlOfFocusWidget(host), nullptr);
  EXPECT_EQ(ControlOfFocusWidget(a), a);
  EXPECT_EQ(ControlOfFocusWidget(nullptr), nullptr);
}

TEST(WindowText, CaptionOrTextOfEachControl) {
  TTestServices services;
  TForm form;
  form.SetCaption("Monatswahl");
  auto* label = new TLabel(&form);
  label->SetCaption("Stunde=5");
  auto* edit = new TEdit(&form);
  edit->SetText("Gr\xFC\xDF" "e");
  auto* panel = new TPanel(&form);
  panel->Caption = "Tafel";
  auto* box = new TGroupBox(&form);
  box->SetCaption("Zeit");
  auto* speed = new TSpeedButton(&form);
  speed->Caption = "Abbruch";
  auto* button = new TButton(&form);
  button->SetCaption("&OK");
  auto* combo = new TComboBox(&form);
  combo->SetItems(Months());
  combo->SetItemIndex(2);
  // Asked as the date field asks: of a TControl.
  const std::vector<std::pair<TControl*, std::string>> table = {
      {&form, "Monatswahl"}, {label, "Stunde=5"}, {edit, "Gr\xFC\xDF" "e"}, {panel, "Tafel"}, {box, "Zeit"},
      {speed, "Abbruch"},    {button, "&OK"},     {combo, "M\xE4rz"},        {new TCustomControl(&form), ""}};
  for (const auto& [control, text] : table) EXPECT_EQ(control->WindowText(), text);
}

// ---------------------------------------------------------------- drop-down window

TEST(DropDown, PlacedBelowOrAboveInsideTheWorkArea) {
  const TRect work = Rect(0, 0, 1024, 738);
  struct Row {
    const char* what;
    TRect anchor;
    TSize size;
    TRect expected;
  } rows[] = {
      {"below the left edge", Bounds(100, 200, 120, 21), {250, 300}, Bounds(100, 221, 250, 300)},
      {"just fits at the right", Bounds(774, 200, 120, 21), {250, 300}, Bounds(774, 221, 250, 300)},
      {"one pixel too wide: aligned right", Bounds(775, 200, 120, 21), {250, 300}, Bounds(774, 221, 250, 300)},
      {"just fits at the bottom", Bounds(100, 417, 120, 21), {250, 300}, Bounds(100, 438, 250, 300)},
      {"one pixel too low: above", Bounds(100, 418, 120, 21), {250, 300}, Bounds(100, 118, 250, 300)},
      {"bottom right corner", Bounds(1000, 700, 24, 21), {250, 300}, Bounds(774, 400, 250, 300)},
      {"owner partly off the left", Bounds(-50, 10, 120, 21), {250, 300}, Bounds(0, 31, 250, 300)},
      {"no room above either: at the top", Bounds(100, 200, 120, 21), {250, 600}, Bounds(100, 0, 250, 600)},
  };
  for (const Row& r : rows) EXPECT_EQ(PlaceDropDown(r.anchor, r.size, work), r.expected) << r.what;

  // A work area that does not start at 0 (a panel at the left and top, a second screen).
  const TRect second = Rect(1024, 30, 2048, 768);
  EXPECT_EQ(PlaceDropDown(Bounds(1900, 100, 100, 21), {250, 300}, second), Bounds(1798, 121, 250, 300));
  EXPECT_EQ(PlaceDropDown(Bounds(1100, 40, 100, 21), {250, 800}, second), Bounds(1100, 30, 250, 800));
}

TEST(DropDown, ClosesOnceByEscapeByCloseOrByAPressOutside) {
  TTestServices services;
  TForm form;
  form.SetBounds(100, 100, 400, 300);
  auto* field = new Stop(&form, 0);
  field->SetBounds(20, 20, 120, 21);
  auto* elsewhere = new Stop(&form, 1);
  elsewhere->SetBounds(20, 200, 120, 21);
  ShowAndActivate(&form);
  field->SetFocus();

  auto* dd = new TDropDownWindow(field);
  auto* inner = new TEdit(dd);
  inner->SetBounds(4, 4, 100, 21);
  auto* second = new TEdit(dd);
  second->SetBounds(4, 30, 60, 21);
  dd->AutoSize = true;
  std::vector<bool> closes;
  dd->OnClose = [&](bool ok) { closes.push_back(ok); };

  const TPoint at = field->ClientToScreen({0, 0});
  const TRect anchor = Bounds(at.x, at.y, field->Width(), field->Height());
  dd->Popup(anchor);
  EXPECT_TRUE(dd->isVisible());
  EXPECT_TRUE(dd->IsOpen());
  EXPECT_EQ(dd->Width(), 108) << "sized to the children with their margin on all sides";
  EXPECT_EQ(dd->Height(), 55);
  EXPECT_EQ(FromQRect(dd->geometry()), PlaceDropDown(anchor, {108, 55}, field->MonitorWorkArea()));
  EXPECT_TRUE(dd->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(inner->Focused()) << "the first tab stop has the focus";
  EXPECT_TRUE(field->receivers.empty()) << "a popup opening is no loss of focus for the owner";

  SendKey(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(closes, std::vector<bool>{false});
  EXPECT_FALSE(dd->isVisible());
  EXPECT_TRUE(field->Focused()) << "the focus is back with the owner";
  EXPECT_TRUE(field->receivers.empty());

  dd->Popup(anchor);
  dd->Popup(anchor);  // open already: only placed again
  dd->Close(true);
  dd->Close(true);
  EXPECT_EQ(closes, (std::vector<bool>{false, true}));

  // A press inside (on the frame beside a child) keeps it open; one outside closes it and
  // does not reach the control it hit.
  dd->Popup(anchor);
  WindowClick(dd, {dd->Width() - 2, dd->Height() - 2});
  EXPECT_TRUE(dd->IsOpen());
  WindowClick(elsewhere, {5, 5});
  EXPECT_EQ(closes, (std::vector<bool>{false, true, false}));
  EXPECT_FALSE(dd->isVisible());
  EXPECT_EQ(std::count(elsewhere->presses.begin(), elsewhere->presses.end(), uint32_t(WM_LBUTTONDOWN)), 0);

  // Hidden by anybody: closed too.
  dd->Popup(anchor);
  dd->hide();
  EXPECT_EQ(closes.size(), 4u);
  EXPECT_FALSE(closes.back());

  // The handler may free the window, on Escape and on a press outside.
  QPointer<TDropDownWindow> guard(dd);
  dd->OnClose = [&](bool) { delete dd; };
  dd->Popup(anchor);
  SendKeyPress(QApplication::focusWidget(), Qt::Key_Escape);  // its release would go to a freed edit
  EXPECT_TRUE(guard.isNull());
  dd = new TDropDownWindow(field);
  dd->resize(50, 50);
  guard = dd;
  dd->OnClose = [&](bool) { delete dd; };
  dd->Popup(anchor);
  WindowClick(elsewhere, {5, 5});
  EXPECT_TRUE(guard.isNull());
  // Freed with its owner while open: no call into a handler of a window being freed.
  dd = new TDropDownWindow(field);
  dd->OnClose = [&](bool) { ADD_FAILURE() << "called while being freed"; };
  dd->Popup(anchor);
  delete field;
}

// ---------------------------------------------------------------- month calendar

TEST(MonthCalendar, GermanMonthsIsoWeeksAndDayClicks) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  auto* cal = new TMonthCalendar(&form);
  auto* next = new Stop(&form, 1);
  next->SetTop(250);
  std::vector<TDateTime> clicked;
  cal->OnDayClick = [&](TObject* sender, TDateTime d) {
    EXPECT_EQ(sender, cal);
    clicked.push_back(d);
  };
  ShowAndActivate(&form);

  cal->SetDate(EncodeDate(2025, 12, 24) + 0.75);
  EXPECT_EQ(cal->Date(), EncodeDate(2025, 12, 24)) << "the day, without the time";
  cal->SetDate(-1e12);
  EXPECT_EQ(cal->Date(), EncodeDate(2025, 12, 24)) << "no such day: unchanged";
  EXPECT_EQ(CalendarButton(*cal, "qt_calendar_monthbutton")->text(), QString::fromUtf8("Dezember"));
  // Sized to show the whole grid.
  auto* view = cal->Calendar()->findChild<QTableView*>();
  const QRect last = view->visualRect(view->model()->index(6, 7));
  EXPECT_LE(last.right(), view->viewport()->width());
  EXPECT_LE(last.bottom(), view->viewport()->height());

  // Monday first, the ISO week at the left: 15 December 2025 is the Monday of week 51.
  DayCell cell = FindDay(*cal, 15);
  ASSERT_TRUE(cell.index.isValid());
  const QAbstractItemModel* m = cell.index.model();
  EXPECT_EQ(cell.index.column(), 1);
  EXPECT_EQ(m->index(cell.index.row(), 0).data().toString(), QString::number(IsoWeekNumber(EncodeDate(2025, 12, 15))));
  EXPECT_TRUE(m->index(0, 1).data().toString().startsWith(QString::fromUtf8("Mo")));
  EXPECT_TRUE(m->index(0, 7).data().toString().startsWith(QString::fromUtf8("So")));
  EXPECT_TRUE(cal->Calendar()->isGridVisible());

  Click(cell.viewport, FromQPoint(cell.centre));
  EXPECT_EQ(clicked, std::vector<TDateTime>{EncodeDate(2025, 12, 15)});
  EXPECT_EQ(cal->Date(), EncodeDate(2025, 12, 15));

  // The title bar pages without a day click; so does a click on the day names.
  Click(CalendarButton(*cal, "qt_calendar_nextmonth"), {3, 3});
  EXPECT_EQ(CalendarButton(*cal, "qt_calendar_monthbutton")->text(), QString::fromUtf8("Januar"));
  Click(view->viewport(), FromQPoint(view->visualRect(view->model()->index(0, 3)).center()));
  EXPECT_EQ(clicked.size(), 1u);

  cell = FindDay(*cal, 20);
  Click(cell.viewport, FromQPoint(cell.centre));
  EXPECT_EQ(clicked.back(), EncodeDate(2026, 1, 20));

  // Enter on the selected day takes it.
  std::vector<TDateTime> taken;
  cal->OnActivate = [&](TObject*, TDateTime d) { taken.push_back(d); };
  view->setFocus();
  SendKey(view, Qt::Key_Right, "");
  SendKey(view, Qt::Key_Return, "\r");
  EXPECT_EQ(taken, std::vector<TDateTime>{EncodeDate(2026, 1, 21)});
}

// ---------------------------------------------------------------- track bar

TEST(TrackBar, RangeClampingKeysAndChanges) {
  TTestServices services;
  TForm form;
  auto* bar = new TTrackBar(&form);
  bar->SetWidth(232);
  int changes = 0;
  bar->OnChange = [&](TObject* s) {
    EXPECT_EQ(s, bar);
    ++changes;
  };
  ShowAndActivate(&form);

  bar->SetRange(0, 59);
  bar->SetFrequency(5);
  EXPECT_EQ(bar->Min(), 0);
  EXPECT_EQ(bar->Max(), 59);
  EXPECT_EQ(bar->Frequency(), 5);
  EXPECT_EQ(bar->Slider()->tickPosition(), QSlider::TicksBelow);
  bar->SetPosition(30);
  EXPECT_EQ(changes, 1);
  bar->SetPosition(30);
  EXPECT_EQ(changes, 1) << "no change, no event";
  bar->SetPosition(75);
  EXPECT_EQ(bar->Position(), 59);
  bar->SetPosition(-4);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(changes, 3);

  // The classic keys: right steps up a line, Page Up a page back, Page Down a page on.
  bar->SetFocus();
  QWidget* keys = QApplication::focusWidget();
  ASSERT_EQ(keys, bar->Slider());
  struct Step {
    int key, expected;
  } steps[] = {{Qt::Key_Right, 1}, {Qt::Key_Down, 2},  {Qt::Key_PageDown, 4}, {Qt::Key_PageUp, 2},
               {Qt::Key_Left, 1},  {Qt::Key_Up, 0},    {Qt::Key_Up, 0},       {Qt::Key_End, 59},
               {Qt::Key_Right, 59}, {Qt::Key_Home, 0}};
  changes = 0;
  for (const Step& s : steps) {
    SendKey(keys, s.key);
    EXPECT_EQ(bar->Position(), s.expected) << "key " << std::hex << s.key;
  }
  EXPECT_EQ(changes, 8) << "one for each step that moved";
  bar->SetPageSize(10);
  SendKey(keys, Qt::Key_PageDown);
  EXPECT_EQ(bar->Position(), 10);

  // A narrower range takes the position along, and says so.
  bar->SetPosition(40);
  changes = 0;
  bar->SetMax(23);
  EXPECT_EQ(bar->Position(), 23);
  EXPECT_EQ(changes, 1);
  bar->SetMin(30);
  EXPECT_EQ(bar->Min(), 30);
  EXPECT_EQ(bar->Max(), 30);
  EXPECT_EQ(bar->Position(), 30);
}

// ---------------------------------------------------------------- month dialog parts

TEST(ComboBox, ListOnlyInCodePage1252ChangedByThePerson) {
  TTestServices services;
  TForm form;
  auto* combo = new TComboBox(&form);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  ShowAndActivate(&form);

  combo->SetItems(Months());
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(combo->Combo()->itemText(2), QString::fromUtf8("M\xC3\xA4rz"));
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), "M\xE4rz");
  combo->SetItemIndex(12);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(changes, 0) << "changes by code are not reported";
  EXPECT_FALSE(combo->Combo()->isEditable());

  combo->SetItemIndex(2);
  combo->SetFocus();
  SendKey(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(combo->Text(), "April");
  // A letter picks the item it begins with; it is never typed as text.
  SendKey(QApplication::focusWidget(), Qt::Key_D, "d");
  EXPECT_EQ(combo->Text(), "Dezember");
  EXPECT_EQ(changes, 2);
}

TEST(SpinEdit, YearsWithoutSeparatorsClamped) {
  TTestServices services;
  TForm form;
  auto* spin = new TSpinEdit(&form);
  int changes = 0;
  spin->OnChange = [&](TObject*) { ++changes; };
  ShowAndActivate(&form);

  spin->SetValue(123456);
  EXPECT_EQ(spin->Value(), 123456) << "no limits while both are 0";
  EXPECT_EQ(spin->WindowText(), "123456");
  spin->SetMaxValue(9999);
  spin->SetMinValue(1900);
  EXPECT_EQ(spin->Value(), 9999);
  spin->SetValue(2024);
  EXPECT_EQ(spin->WindowText(), "2024") << "no thousands separator in German";
  spin->SetValue(1200);
  EXPECT_EQ(spin->Value(), 1900);
  EXPECT_EQ(changes, 4);

  spin->SetFocus();
  QWidget* keys = QApplication::focusWidget();
  SendKey(keys, Qt::Key_Up);
  EXPECT_EQ(spin->Value(), 1901);
  SendKey(keys, Qt::Key_Down);
  SendKey(keys, Qt::Key_Down);
  EXPECT_EQ(spin->Value(), 1900) << "not below the minimum";
  spin->SpinBox()->selectAll();
  for (char c : std::string("2031")) SendKey(keys, Qt::Key_0 + (c - '0'), std::string(1, c));
  EXPECT_EQ(spin->Value(), 2031);
}

TEST(Button, ClicksByMouseByEnterAndAsDefault) {
  TTestServices services;
  TForm form;
  auto* edit = new TEdit(&form);
  auto* ok = new TButton(&form);
  ok->SetCaption("OK");
  ok->SetTop(40);
  ok->SetTabOrder(1);
  auto* other = new TButton(&form);
  other->SetTop(80);
  other->SetTabOrder(2);
  std::vector<std::string> log;
  ok->OnClick = [&](TObject* s) {
    EXPECT_EQ(s, ok);
    log.push_back("ok");
  };
  other->OnClick = [&](TObject*) { log.push_back("other"); };
  TForm elsewhere;
  auto* foreign = new TEdit(&elsewhere);
  ShowAndActivate(&form);

  EXPECT_EQ(ok->Button()->text(), QString("OK"));
  Click(ok->Button(), {5, 5});
  EXPECT_EQ(log, std::vector<std::string>{"ok"});

  // Enter in the edit is the edit's while there is no default button.
  edit->SetFocus();
  SendKey(edit->Editor(), Qt::Key_Return, "\r");
  EXPECT_EQ(log.size(), 1u);
  ok->SetDefault(true);
  SendKey(edit->Editor(), Qt::Key_Return, "\r");
  EXPECT_EQ(log, (std::vector<std::string>{"ok", "ok"}));
  // A focused button clicks itself; Tab goes on through the framework's order.
  other->SetFocus();
  SendKey(other->Button(), Qt::Key_Return, "\r");
  SendKey(other->Button(), Qt::Key_Tab, "\t");
  EXPECT_EQ(log, (std::vector<std::string>{"ok", "ok", "other"}));
  EXPECT_EQ(form.ActiveControl(), edit);
  // Not from another window, nor while disabled.
  SendKey(foreign->Editor(), Qt::Key_Return, "\r");
  ok->SetEnabled(false);
  SendKey(edit->Editor(), Qt::Key_Return, "\r");
  EXPECT_EQ(log.size(), 3u);
  ok->SetEnabled(true);
  ok->SetDefault(false);
  SendKey(edit->Editor(), Qt::Key_Return, "\r");
  EXPECT_EQ(log.size(), 3u);
}

// ---------------------------------------------------------------- modal forms

namespace {
// The month dialog's shape: a list, a year and a default OK button.
struct MonthDialog {
  TForm form;
  TComboBox* month = new TComboBox(&form);
  TSpinEdit* year = new TSpinEdit(&form);
  TButton* ok = new TButton(&form);
  MonthDialog() {
    form.SetCaption("Monatswahl");
    month->SetItems(Months());
    year->SetTop(30);
    year->SetTabOrder(1);
    year->SetMinValue(1900);
    year->SetMaxValue(9999);
    ok->SetCaption("OK");
    ok->SetTop(60);
    ok->SetTabOrder(2);
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
  }
};
}  // namespace

TEST(ModalForm, AnsweredThroughTheScriptedDouble) {
  TTestServices services;
  MonthDialog d;
  int clicks = 0;
  d.ok->OnClick = [&](TObject*) {
    EXPECT_EQ(d.form.ModalResult(), mrOk) << "set before OnClick";
    ++clicks;
  };
  services.modals.onShow = [&](TForm& f) {
    EXPECT_EQ(&f, &d.form);
    EXPECT_TRUE(f.Modal());
    EXPECT_TRUE(f.isVisible());
    d.month->SetItemIndex(4);
    Click(d.ok->Button(), {5, 5});
  };
  EXPECT_EQ(d.form.ShowModal(), mrOk);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(d.month->ItemIndex(), 4);
  EXPECT_FALSE(d.form.isVisible());
  EXPECT_FALSE(d.form.Modal());
  EXPECT_EQ(services.modals.captions, std::vector<std::string>{"Monatswahl"});

  struct Case {
    const char* what;
    std::function<void(TForm&)> person;
    int expected;
  } cases[] = {
      {"Escape in the year",
       [&](TForm& f) {
         SendKey(QApplication::focusWidget(), Qt::Key_Escape);
         EXPECT_EQ(f.ModalResult(), mrCancel) << "set by the key, not left to the closing";
       },
       mrCancel},
      {"Enter in the year: the default button",
       [&](TForm&) {
         d.year->SetFocus();
         SendKey(QApplication::focusWidget(), Qt::Key_Return, "\r");
       },
       mrOk},
      {"closed by the window's frame", [&](TForm& f) { f.Close(); }, mrCancel},
      {"nothing done", [&](TForm&) {}, mrCancel},
      {"a result set by code", [&](TForm& f) { f.SetModalResult(7); }, 7},
  };
  for (const Case& c : cases) {
    services.modals.onShow = c.person;
    EXPECT_EQ(d.form.ShowModal(), c.expected) << c.what;
    EXPECT_EQ(d.form.ModalResult(), c.expected) << c.what;
  }
  // Escape outside a modal run is the focused control's own key.
  d.form.SetModalResult(mrNone);
  ShowAndActivate(&d.form);
  d.year->SetFocus();
  SendKey(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(d.form.ModalResult(), mrNone);
}

TEST(ModalForm, RealLoopRunsUntilTheResult) {
  // The real service, driven from the loop itself.
  MonthDialog d;
  // Should a run not end, this ends it with a result of its own, and the test fails instead of hanging.
  QTimer::singleShot(20000, &d.form, [&] { d.form.SetModalResult(99); });
  bool modalWhileRunning = false;
  QTimer::singleShot(0, &d.form, [&] {
    modalWhileRunning = QApplication::activeModalWidget() == &d.form;
    d.ok->Click();
  });
  EXPECT_EQ(d.form.ShowModal(), mrOk);
  EXPECT_TRUE(modalWhileRunning);
  EXPECT_FALSE(d.form.isVisible());

  QTimer::singleShot(0, &d.form, [&] { SendKey(d.year->SpinBox(), Qt::Key_Escape); });
  EXPECT_EQ(d.form.ShowModal(), mrCancel);
  QTimer::singleShot(0, &d.form, [&] { d.form.Close(); });
  EXPECT_EQ(d.form.ShowModal(), mrCancel);
}
