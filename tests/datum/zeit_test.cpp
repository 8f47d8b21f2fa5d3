// TZeit as a person uses it: the key tables of zeit_cases.h through real key presses (the API
// half is zeitmodel_test.cpp), painting, the blink and the change delay on the manual clock,
// leaving with an impossible date, Tab and Enter, clicks, the picker, the context menu with the
// month dialog, the clipboard (our bytes, our text, another program's text) and the pair.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QWheelEvent>
#include <cmath>

#include "components/datum/zeit.h"
#include "framework/gui/menus.h"
#include "framework/gui/pickers.h"
#include "framework/gui/stdctrls.h"
#include "framework/testing/doubles.h"
#include "tests/datum/zeit_cases.h"
#include "tests/framework/window_input.h"

using namespace komp;
using namespace komp::zeitcases;

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0) { return EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0); }

// One script character of zeit_cases.h as the key a person presses; blanks only group.
void Type(QWidget* w, std::string_view keys) {
  for (char c : keys) {
    if (c >= '0' && c <= '9') SendKey(w, Qt::Key_0 + (c - '0'), std::string(1, c));
    else if (c == '<') SendKey(w, Qt::Key_Left);
    else if (c == '>') SendKey(w, Qt::Key_Right);
    else if (c == '^') SendKey(w, Qt::Key_Up);
    else if (c == 'v') SendKey(w, Qt::Key_Down);
    else if (c == 'B') SendKey(w, Qt::Key_Backspace, "\b");
    else if (c == '_') SendKey(w, Qt::Key_Space, " ");
  }
}

// The same script through the model's API.
void ApiType(TZeitModel& m, std::string_view keys) {
  for (char c : keys) {
    TZeitKey key;
    int digit;
    if (ScriptKey(c, key, digit)) m.Key(key, digit, Jetzt());
  }
}

// The texts a field paints, in drawing order.
std::vector<std::string> Painted(TZeit* z, TRecordingCanvas* keep = nullptr) {
  TRecordingCanvas own(z->Width(), z->Height());
  TRecordingCanvas& c = keep ? *keep : own;
  c.record.Clear();
  z->PaintTo(c);
  std::vector<std::string> out;
  for (const TCanvasOp* op : c.record.Texts()) out.push_back(op->text);
  return out;
}

std::vector<TRect> Inverted(TZeit* z) {
  TRecordingCanvas c(z->Width(), z->Height());
  z->PaintTo(c);
  std::vector<TRect> out;
  for (const auto& op : c.record.ops)
    if (op.kind == TCanvasOp::Invert) out.push_back(op.rect);
  return out;
}

std::string Joined(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& t : v) s += (s.empty() ? "" : " ") + t;
  return s;
}

// A form with a field, a second field, a "Weiter" and an "Abbruch" button in tab order.
struct Bench {
  TTestServices services;
  TForm form;
  TZeit* zeit;
  TZeit* zweit;
  TButton* weiter;
  TButton* abbruch;
  std::vector<std::pair<TObject*, TDateTime>> changes;

  explicit Bench(TZeitStyle style = zaDatum) {
    services.clock.now = Jetzt();
    form.SetBounds(100, 100, 600, 260);
    zeit = new TZeit(&form);
    zeit->SetStyle(style);
    zeit->SetLeft(10);
    zeit->SetTop(10);
    zweit = new TZeit(&form);
    zweit->SetStyle(style);
    zweit->SetLeft(10);
    zweit->SetTop(50);
    zweit->SetTabOrder(1);
    weiter = new TButton(&form);
    weiter->SetCaption("Weiter");
    weiter->SetBounds(300, 10, 75, 25);
    weiter->SetTabOrder(2);
    abbruch = new TButton(&form);
    abbruch->SetCaption("Abbruch (ohne Pr\xFC" "fung)");
    abbruch->SetBounds(300, 50, 150, 25);
    abbruch->SetTabOrder(3);
    for (TZeit* z : {zeit, zweit}) z->OnChange = [this](TObject* s, TDateTime v) { changes.push_back({s, v}); };
    ShowAndActivate(&form);
    zeit->SetFocus(FOCUS_KEYBOARD);
  }
  void Load(TZeit* z, const char* shown, int pos = 0) {
    LoadShown(z->Model(), shown);
    z->Model().Change = false;
    z->Model().SetPosition(pos);
  }
  TPoint Knopf(TZeit* z) const { return {z->Layout().KnopfX + 3, z->Height() / 2}; }
};

// The grid cell of the open calendar showing `day` of its month (15..21 are never shown twice).
QPoint DayCentre(TMonthCalendar* cal, int day, QWidget*& viewport) {
  auto* view = cal->Calendar()->findChild<QTableView*>();
  viewport = view ? view->viewport() : nullptr;
  if (!view) return {};
  QAbstractItemModel* m = view->model();
  for (int r = 1; r < m->rowCount(); ++r)
    for (int c = 1; c < m->columnCount(); ++c)
      if (m->index(r, c).data().toString() == QString::number(day)) return view->visualRect(m->index(r, c)).center();
  return {};
}

}  // namespace

// ---------------------------------------------------------------- keys

TEST(Zeit, KeyTablesThroughRealKeys) {
  Bench b;
  for (const KeyCase& c : kKeyCases) {
    b.zeit->SetStyle(c.style);
    b.zeit->SetChange(c.zeitDatum);
    b.Load(b.zeit, c.start, c.startPos);
    TZeitModel api = b.zeit->Model();
    Type(b.zeit, c.keys);
    ApiType(api, c.keys);
    EXPECT_EQ(b.zeit->Model().Shown(), c.shown) << c.why;
    EXPECT_EQ(b.zeit->Model().Position(), c.pos) << c.why;
    EXPECT_EQ(b.zeit->Change(), api.Change) << c.why;
    EXPECT_EQ(Joined(Painted(b.zeit)), c.shown) << c.why << ": what is painted";
    EXPECT_EQ(b.zeit->Test(1), c.leaveOk) << c.why;
  }
  EXPECT_TRUE(b.services.boxes.calls.empty()) << "the field kept the focus throughout";
}

TEST(Zeit, PairTablesThroughRealKeys) {
  Bench b(zaBeides);
  TZeit* from = b.zeit;
  TZeit* to = b.zweit;
  from->SetVon(true);
  from->SetPartner(to);
  to->SetPartner(from);
  for (const PairCase& c : kPairCases) {
    TZeit* edited = c.editTo ? to : from;
    TZeit* other = c.editTo ? from : to;
    edited->SetFocus(FOCUS_KEYBOARD);
    b.Load(from, c.from);
    b.Load(to, c.to);
    other->Model().Change = c.otherChanged;
    edited->Model().SetPosition(c.pos);
    Type(edited, c.keys);
    EXPECT_EQ(from->Model().Shown(), c.fromAfter) << c.why;
    EXPECT_EQ(to->Model().Shown(), c.toAfter) << c.why;
    EXPECT_EQ(Joined(Painted(other)), other->Model().Shown()) << c.why << ": the partner repaints";
  }
  EXPECT_TRUE(b.services.boxes.calls.empty());

  // Typing on after the partner is gone reaches no freed field.
  delete to;
  from->SetFocus(FOCUS_KEYBOARD);
  b.Load(from, "05.03.2021 14:00", 0);
  Type(from, "07");
  EXPECT_EQ(from->Model().Shown(), "07.03.2021 14:00");
  EXPECT_EQ(from->Kombi(), nullptr);
}

TEST(Zeit, WheelStepsOnlyByWholeNotchesAndOnlyWithFocus) {
  Bench b;
  b.Load(b.zeit, "15.06.2024", 1);
  auto wheel = [&](TZeit* z, int delta) {
    QWheelEvent e(QPointF(20, 5), QPointF(z->mapToGlobal(QPoint(20, 5))), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(z, &e);
  };
  wheel(b.zeit, 120);
  EXPECT_EQ(b.zeit->Model().Shown(), "16.06.2024");
  wheel(b.zeit, -120);
  wheel(b.zeit, -120);
  EXPECT_EQ(b.zeit->Model().Shown(), "14.06.2024");
  wheel(b.zeit, 60);
  wheel(b.zeit, 240);
  EXPECT_EQ(b.zeit->Model().Shown(), "14.06.2024") << "half and double notches are ignored";
  b.Load(b.zweit, "15.06.2024", 1);
  wheel(b.zweit, 120);
  EXPECT_EQ(b.zweit->Model().Shown(), "15.06.2024") << "a field the pointer merely passes over";
}

// ---------------------------------------------------------------- painting, blink, delay

TEST(Zeit, PaintsMasksInTheMonospacedFontAtTheLayoutsPlaces) {
  Bench b;
  TZeit* z = b.zweit;
  TFont mono;
  mono.Name = "Courier New";
  mono.Size = 10;
  const TSize m = TCanvas::MeasureText(mono, "M");
  struct Row {
    TZeitStyle style;
    bool zeitDatum;
    std::vector<std::string> texts;
  } rows[] = {{zaDatum, false, {"__.__.____"}},
              {zaUhr, false, {"__:__"}},
              {zaBeides, false, {"__.__.____", "__:__"}},
              {zaBeides, true, {"__:__", "__.__.____"}}};
  for (const Row& r : rows) {
    z->SetStyle(r.style);
    z->SetChange(r.zeitDatum);
    const TZeitLayout want = z->Model().Layout(m.cx, m.cy, false, 0);
    EXPECT_EQ(z->Width(), want.Breite);
    EXPECT_EQ(z->Height(), want.Hoehe);
    TRecordingCanvas c(z->Width(), z->Height());
    z->PaintTo(c);
    const auto texts = c.record.Texts();
    ASSERT_EQ(texts.size(), r.texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i]->text, r.texts[i]);
      EXPECT_EQ(texts[i]->font.Name, "Courier New");
      EXPECT_EQ(texts[i]->font.Size, 10);
      EXPECT_EQ(texts[i]->rect.left, i == 0 ? want.TextStart : want.ZweitStart + 3);
      EXPECT_EQ(texts[i]->rect.top, 2);
    }
  }

  // The caption in bold on the title colour, the digits behind it; pixels of the frame.
  z->SetStyle(zaDatum);
  z->SetSize(12);
  z->SetSize(7);  // ignored
  z->SetCaption("Vom");
  z->SetTitelColor(RGB(200, 220, 255));
  const TZeitLayout& l = z->Layout();
  TFont bold;
  bold.Size = 12;
  bold.Style = fsBold;
  EXPECT_EQ(l.TitelBreite, TCanvas::MeasureText(bold, "Vom").cx + 4);
  EXPECT_EQ(l.w, [] {
    TFont f;
    f.Name = "Courier New";
    f.Size = 12;
    return TCanvas::MeasureText(f, "M").cx;
  }());
  TRecordingCanvas c(z->Width(), z->Height(), clRed);
  z->PaintTo(c);
  const auto texts = c.record.Texts();
  ASSERT_EQ(texts.size(), 1u) << "the caption belongs to the background image";
  EXPECT_EQ(texts[0]->rect.left, l.TextStart);
  const int W = z->Width(), H = z->Height();
  int ink = 0;
  for (int x = 3; x < l.TitelBreite; ++x)
    for (int y = 2; y < H - 2; ++y) ink += c.Pixel(x, y) == ColorToRGB(clBtnText);
  EXPECT_GT(ink, 10) << "the caption is written on the title area";
  EXPECT_EQ(c.Pixel(0, H / 2), FromRGBHex(0x8D8D8D));
  EXPECT_EQ(c.Pixel(W / 2, 0), FromRGBHex(0x8D8D8D));
  EXPECT_EQ(c.Pixel(W - 1, H / 2), FromRGBHex(0xFDFDFD));
  EXPECT_EQ(c.Pixel(W / 2, H - 1), FromRGBHex(0xFDFDFD));
  EXPECT_EQ(c.Pixel(2, H - 3), RGB(200, 220, 255)) << "title area";
  EXPECT_EQ(c.Pixel(l.TextStart - 4, H / 2), RGB(128, 128, 128)) << "line after the title";
  EXPECT_EQ(c.Pixel(l.TextStart - 2, 3), clWhite) << "the digits' box";
  EXPECT_EQ(c.Pixel(l.KnopfX, H / 2), FromRGBHex(0xEFEFEF)) << "raised button, light left edge";
  EXPECT_EQ(c.Pixel(W - 4, H / 2), ColorToRGB(cl3DDkShadow)) << "and dark right edge";
  EXPECT_EQ(c.Pixel((l.KnopfX + W - 3) / 2, H / 2), clBlack) << "the triangle";

  // Pressed: sunken, until the button comes up outside it (which opens nothing).
  SendMouse(z, QEvent::MouseButtonPress, Qt::LeftButton, b.Knopf(z));
  EXPECT_TRUE(z->KnopfGedrueckt());
  z->PaintTo(c);
  EXPECT_EQ(c.Pixel(l.KnopfX - 1, H / 2), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(c.Pixel(W - 2, H / 2), FromRGBHex(0xEFEFEF));
  SendMouse(z, QEvent::MouseButtonRelease, Qt::LeftButton, {l.TextStart, H / 2});
  EXPECT_FALSE(z->KnopfGedrueckt());
  EXPECT_EQ(z->PickerWindow(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(Zeit, CursorCellBlinksOnTheManualClock) {
  Bench b;
  TZeit* z = b.zeit;
  b.Load(z, "05.03.2021", 4);
  z->Perform(WM_KEYDOWN, VK_RIGHT);  // restarts the blink: on for a full interval
  const TRect cell = z->Model().CursorCell(5, z->Layout());
  ASSERT_FALSE(cell.IsEmpty());
  EXPECT_EQ(Inverted(z), std::vector<TRect>{cell});
  TRecordingCanvas c(z->Width(), z->Height());
  z->PaintTo(c);
  // Below the digit's ink, the box's white turned black; beside the cell it stayed white.
  const int ix = (cell.left + cell.right) / 2, iy = cell.bottom - 1;
  EXPECT_EQ(c.Pixel(ix, iy), clBlack);
  EXPECT_EQ(c.Pixel(cell.left - 1, iy), clWhite);
  EXPECT_EQ(c.Pixel(cell.right, iy), clWhite);
  b.services.clock.Advance(599);
  EXPECT_EQ(Inverted(z).size(), 1u);
  b.services.clock.Advance(1);
  EXPECT_TRUE(Inverted(z).empty());
  z->PaintTo(c);
  EXPECT_EQ(c.Pixel(ix, iy), clWhite);
  b.services.clock.Advance(600);
  EXPECT_EQ(Inverted(z).size(), 1u);
  b.services.clock.Advance(300);
  z->Perform(WM_KEYDOWN, VK_LEFT);
  b.services.clock.Advance(599);
  EXPECT_EQ(Inverted(z), std::vector<TRect>{z->Model().CursorCell(4, z->Layout())}) << "a key restarts the phase";

  // Without the focus: no cursor and no timer at all.
  b.weiter->SetFocus();
  EXPECT_TRUE(Inverted(z).empty());
  EXPECT_EQ(b.services.clock.ActiveTimers(), 0);
  b.services.clock.Advance(600);
  EXPECT_TRUE(Inverted(z).empty());
}

TEST(Zeit, OnChangeWaitsForTheTypingToPause) {
  Bench b;
  TZeit* z = b.zeit;
  b.Load(z, "05.03.2021", 0);
  Type(z, "1");
  b.services.clock.Advance(100);
  Type(z, "2");
  b.services.clock.Advance(100);
  Type(z, "0");
  Type(z, ">");  // no edit: no new delay
  b.services.clock.Advance(1599);
  EXPECT_TRUE(b.changes.empty());
  b.services.clock.Advance(1);
  ASSERT_EQ(b.changes.size(), 1u) << "one notice, 1600 ms after the third key";
  EXPECT_EQ(b.changes[0].first, z);
  EXPECT_EQ(b.changes[0].second, At(2021, 3, 12));
  b.services.clock.Advance(5000);
  EXPECT_EQ(b.changes.size(), 1u);

  Type(z, "9");
  b.services.clock.Advance(399);
  EXPECT_EQ(b.changes.size(), 1u);
  b.services.clock.Advance(1);
  ASSERT_EQ(b.changes.size(), 2u) << "the next run starts at 400 ms again";
  EXPECT_EQ(b.changes[1].second, z->GetValue());

  // A handler may free the field.
  z->OnChange = [&](TObject*, TDateTime) { delete b.zeit; };
  QPointer<TZeit> guard(z);
  Type(z, "1");
  b.services.clock.Advance(400);
  EXPECT_TRUE(guard.isNull());
  b.services.clock.Advance(2000);
}

// ---------------------------------------------------------------- focus, Tab and Enter

TEST(Zeit, LeavingAnImpossibleDateAsksRetryOrCancel) {
  Bench b;
  TZeit* z = b.zeit;
  b.Load(z, "", 0);
  Type(z, "31 02 2021");
  b.services.boxes.answers = {IDRETRY};
  b.weiter->SetFocus();
  ASSERT_EQ(b.services.boxes.calls.size(), 1u);
  EXPECT_EQ(b.services.boxes.calls[0].text, "Kein g\xFCltiges Datum!");
  EXPECT_EQ(b.services.boxes.calls[0].caption, "Fehler");
  EXPECT_EQ(b.services.boxes.calls[0].buttons, MB_RETRYCANCEL);
  b.services.clock.Advance(1);
  EXPECT_TRUE(z->Focused()) << "retry gives the focus back once the move is over";
  EXPECT_EQ(z->Model().Shown(), "31.02.2021");
  EXPECT_EQ(z->Model().Position(), 0);

  b.services.boxes.answers = {IDCANCEL};
  SendKey(z, Qt::Key_Tab, "\t");
  EXPECT_EQ(b.services.boxes.calls.size(), 2u);
  EXPECT_TRUE(b.zweit->Focused()) << "Tab went on";
  EXPECT_EQ(z->Model().Shown(), "__.__.____") << "cancel empties";

  // A year before 1900: retry puts the cursor on the year.
  z->SetFocus();
  b.Load(z, "05.03.2021", 4);
  Type(z, "18");
  b.services.boxes.answers = {IDRETRY};
  b.weiter->SetFocus();
  b.services.clock.Advance(1);
  EXPECT_EQ(b.services.boxes.calls.size(), 3u);
  EXPECT_TRUE(z->Focused());
  EXPECT_EQ(z->Model().Position(), 4);

  // To a button that cancels the form: no question.
  b.abbruch->SetFocus();
  EXPECT_EQ(b.services.boxes.calls.size(), 3u);
  EXPECT_EQ(z->Model().Shown(), "05.03.1821");

  // Possible dates and incomplete ones leave quietly.
  z->SetFocus();
  b.Load(z, "", 0);
  Type(z, "29 02");
  b.weiter->SetFocus();
  z->SetFocus();
  b.Load(z, "__.03.2021", 0);
  b.weiter->SetFocus();
  EXPECT_EQ(b.services.boxes.calls.size(), 3u) << b.services.boxes.Lines().back();
}

TEST(Zeit, FocusPlacesTheCursorOnTheFirstEmptyPart) {
  Bench b(zaBeides);
  TZeit* z = b.zweit;
  struct Row {
    bool zeitDatum;
    const char* shown;
    int pos;
  } rows[] = {{false, "05.03.2021 14:07", 0}, {false, "05.03.2021 __:__", 8}, {false, "__.__.____ 14:07", 0},
              {true, "14:07 05.03.2021", 8},  {true, "__:__ __.__.____", 8}, {true, "14:07 __.__.____", 0}};
  for (const Row& r : rows) {
    b.zeit->SetFocus();
    z->SetChange(r.zeitDatum);
    b.Load(z, r.shown, 5);
    z->SetFocus(FOCUS_KEYBOARD);
    EXPECT_EQ(z->Model().Position(), r.pos) << r.shown;
  }
}

namespace {
// A parent that hosts date fields as a table hosts its editors: it records the keys that
// bubble up from them and, while `takes` is set, handles them.
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

TEST(Zeit, TabAndEnterMoveThroughTheParentsOrder) {
  Bench b;
  SendKey(b.zeit, Qt::Key_Return, "\r");
  EXPECT_TRUE(b.zweit->Focused());
  SendKey(b.zweit, Qt::Key_Tab, "\t");
  EXPECT_TRUE(b.weiter->Focused());
  b.zweit->SetFocus();
  SendKey(b.zweit, Qt::Key_Backtab, "", Qt::ShiftModifier);
  EXPECT_TRUE(b.zeit->Focused());
  int next = 0;
  b.zeit->OnNextWindow = [&](TObject* s) {
    EXPECT_EQ(s, b.zeit);
    ++next;
  };
  SendKey(b.zeit, Qt::Key_Return, "\r");
  EXPECT_EQ(next, 1);
  EXPECT_TRUE(b.zeit->Focused()) << "OnNextWindow decides";
  SendKey(b.zeit, Qt::Key_Tab, "\t");
  EXPECT_EQ(next, 1) << "Tab always moves";
  EXPECT_TRUE(b.zweit->Focused());

  // On a host, Tab goes to the host first. Not taken, it moves on through the host's order
  // (wrapping inside it); taken, the host decides and the field keeps the focus.
  auto* host = new Host(&b.form);
  host->SetBounds(10, 120, 400, 60);
  auto* vom = new TZeit(host);
  auto* bis = new TZeit(host);
  bis->SetLeft(150);
  bis->SetTabOrder(1);
  vom->SetFocus();
  SendKey(vom, Qt::Key_Tab, "\t");
  EXPECT_TRUE(bis->Focused());
  SendKey(bis, Qt::Key_Tab, "\t");
  EXPECT_TRUE(vom->Focused());
  ASSERT_EQ(host->keys.size(), 2u);
  EXPECT_EQ(host->keys[0].Origin, vom);
  EXPECT_EQ(host->keys[1].Origin, bis);
  host->takes = true;
  vom->SetFocus();
  SendKey(vom, Qt::Key_Tab, "\t");
  SendKey(vom, Qt::Key_Return, "\r");
  ASSERT_EQ(host->keys.size(), 4u);
  EXPECT_EQ(host->keys[2].WParam, VK_TAB);
  EXPECT_EQ(host->keys[2].Origin, vom);
  EXPECT_EQ(host->keys[3].WParam, VK_RETURN);
  EXPECT_TRUE(vom->Focused());
  vom->OnNextWindow = [&](TObject*) { ++next; };
  SendKey(vom, Qt::Key_Return, "\r");
  EXPECT_EQ(next, 2) << "OnNextWindow takes Enter before the host";
  EXPECT_EQ(host->keys.size(), 4u);
}

TEST(Zeit, ClicksPlaceTheCursorUnderThePointer) {
  Bench b;
  struct Row {
    TZeitStyle style;
    bool zeitDatum;
  } rows[] = {{zaDatum, false}, {zaUhr, false}, {zaBeides, false}, {zaBeides, true}};
  for (const Row& r : rows) {
    TZeit* z = b.zweit;
    z->SetStyle(r.style);
    z->SetChange(r.zeitDatum);
    z->SetCaption("Am");
    b.Load(z, "");
    for (int pos = z->Model().LastPosition(); pos >= 0; --pos) {
      // Every other click comes from outside.
      if (pos % 2) b.zeit->SetFocus();
      else z->SetFocus();
      const TRect cell = z->Model().CursorCell(pos, z->Layout());
      WindowClick(z, {(cell.left + cell.right) / 2, z->Height() / 2});
      EXPECT_TRUE(z->Focused());
      EXPECT_EQ(z->Model().Position(), pos) << r.style << " " << r.zeitDatum;
    }
    // The title is no digit: the focus puts the cursor where Tab would.
    b.Load(z, "", 3);
    b.zeit->SetFocus();
    WindowClick(z, {2, z->Height() / 2});
    EXPECT_EQ(z->Model().Position(), r.zeitDatum ? 8 : 0);
  }
  EXPECT_TRUE(b.services.boxes.calls.empty());
}

// ---------------------------------------------------------------- picker

TEST(Zeit, PickerTakesADayOrDropsOnEscape) {
  Bench b;
  TZeit* z = b.zeit;
  b.Load(z, "05.03.2021");
  WindowClick(z, b.Knopf(z));
  TControl* picker = z->PickerWindow();
  ASSERT_NE(picker, nullptr);
  EXPECT_TRUE(picker->isVisible());
  const TPoint at = z->ClientToScreen({0, 0});
  EXPECT_EQ(picker->BoundsRect(), PlaceDropDown(Bounds(at.x, at.y, z->Width(), z->Height()),
                                                {picker->Width(), picker->Height()}, z->MonitorWorkArea()));
  const auto cals = ChildrenOf<TMonthCalendar>(picker);
  ASSERT_EQ(cals.size(), 1u);
  EXPECT_EQ(cals[0]->Date(), At(2021, 3, 5)) << "preset to the field";
  for (auto* bar : ChildrenOf<TTrackBar>(picker)) EXPECT_FALSE(bar->Visible()) << "no time in a date field";

  // Escape: closed, nothing changed.
  SendKey(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(z->PickerWindow(), nullptr);
  EXPECT_EQ(z->Model().Shown(), "05.03.2021");
  EXPECT_TRUE(b.changes.empty());

  // A day: closed, taken, told at once.
  WindowClick(z, b.Knopf(z));
  QWidget* viewport = nullptr;
  const QPoint day = DayCentre(cals[0], 17, viewport);
  ASSERT_NE(viewport, nullptr);
  Click(viewport, {day.x(), day.y()});
  EXPECT_EQ(z->PickerWindow(), nullptr);
  EXPECT_EQ(z->Model().Shown(), "17.03.2021");
  EXPECT_TRUE(z->Change());
  ASSERT_EQ(b.changes.size(), 1u);
  EXPECT_EQ(b.changes[0].second, At(2021, 3, 17));
  EXPECT_TRUE(z->Focused());

  // An empty field opens on today.
  b.Load(z, "");
  WindowClick(z, b.Knopf(z));
  EXPECT_EQ(cals[0]->Date(), At(2024, 6, 15));
  SendKey(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_TRUE(z->Model().IsEmpty());
}

TEST(Zeit, PickerOfDateAndTimeWaitsForOk) {
  Bench b(zaBeides);
  TZeit* z = b.zeit;
  b.Load(z, "05.03.2021 14:07", 2);
  WindowClick(z, b.Knopf(z));
  TControl* picker = z->PickerWindow();
  ASSERT_NE(picker, nullptr);
  const auto bars = ChildrenOf<TTrackBar>(picker);
  const auto labels = ChildrenOf<TLabel>(picker);
  const auto buttons = ChildrenOf<TButton>(picker);
  const auto cals = ChildrenOf<TMonthCalendar>(picker);
  ASSERT_EQ(bars.size(), 2u);
  ASSERT_EQ(labels.size(), 2u);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(buttons[0]->Caption(), "OK");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(bars[size_t(i)]->Width(), 232);
    EXPECT_EQ(labels[size_t(i)]->Width(), 232);
    EXPECT_EQ(bars[size_t(i)]->Left(), cals[0]->Left() + cals[0]->Width()) << "right of the calendar";
  }
  EXPECT_EQ(bars[0]->Max(), 23);
  EXPECT_EQ(bars[1]->Max(), 59);
  EXPECT_EQ(labels[0]->Caption(), "Stunde=14");
  EXPECT_EQ(labels[1]->Caption(), "Minute=7");
  EXPECT_LT(labels[1]->Top(), bars[1]->Top());
  EXPECT_GT(labels[1]->Top(), bars[0]->Top());

  QWidget* viewport = nullptr;
  const QPoint day = DayCentre(cals[0], 20, viewport);
  Click(viewport, {day.x(), day.y()});
  EXPECT_NE(z->PickerWindow(), nullptr) << "a day alone does not close it";
  bars[0]->SetPosition(9);
  bars[1]->SetPosition(45);
  EXPECT_EQ(labels[0]->Caption(), "Stunde=9");
  EXPECT_EQ(labels[1]->Caption(), "Minute=45");
  EXPECT_TRUE(b.changes.empty());
  Click(buttons[0]->Button(), {5, 5});
  EXPECT_EQ(z->PickerWindow(), nullptr);
  EXPECT_EQ(z->Model().Shown(), "20.03.2021 09:45");
  EXPECT_EQ(z->Model().Position(), 8) << "on to the time";
  ASSERT_EQ(b.changes.size(), 1u);
  EXPECT_EQ(b.changes[0].second, At(2021, 3, 20, 9, 45));

  // A time field without a time starts at now; it has no calendar.
  z->SetStyle(zaUhr);
  b.Load(z, "");
  WindowClick(z, b.Knopf(z));
  ASSERT_NE(z->PickerWindow(), nullptr);
  EXPECT_FALSE(cals[0]->Visible());
  EXPECT_EQ(labels[0]->Caption(), "Stunde=9");
  EXPECT_EQ(labels[1]->Caption(), "Minute=41");
  EXPECT_EQ(bars[0]->Left(), labels[0]->Left());
  SendKey(QApplication::focusWidget(), Qt::Key_Return, "\r");
  EXPECT_EQ(z->PickerWindow(), nullptr) << "Enter is OK";
  EXPECT_EQ(z->Model().Shown(), "09:41");
}

// ---------------------------------------------------------------- menu

TEST(Zeit, MenuEntriesAndWhenTheyAct) {
  Bench b;
  TZeit* z = b.zeit;
  auto& menus = b.services.menus;
  b.Load(z, "");
  const TPoint click{z->Layout().TextStart + 20, 5};
  WindowClick(z, click, Qt::RightButton);
  ASSERT_EQ(menus.calls.size(), 1u);
  std::vector<std::string> captions;
  for (const auto& it : menus.calls[0].items) captions.push_back(it.Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Jetzt", "-", "Kopieren", "Einf\xFCgen", "-"}));
  EXPECT_EQ(menus.calls[0].pos, z->ClientToScreen(click));
  EXPECT_TRUE(menus.LastItem("Jetzt")->Enabled);
  EXPECT_FALSE(menus.LastItem("Kopieren")->Enabled) << "nothing to copy";
  EXPECT_FALSE(menus.LastItem("Einf\xFCgen")->Enabled) << "nothing to paste";

  menus.choose = {"Jetzt"};
  WindowClick(z, click, Qt::RightButton);
  EXPECT_EQ(z->Model().Shown(), "15.06.2024");
  EXPECT_TRUE(z->Change());
  ASSERT_EQ(b.changes.size(), 1u);
  EXPECT_EQ(b.changes[0].second, At(2024, 6, 15));
  z->FensterClick(nullptr);
  EXPECT_EQ(b.changes.size(), 1u) << "from code: no event";

  // Coupled: the five range entries, once.
  TZeit* bis = b.zweit;
  z->SetVon(true);
  z->SetPartner(bis);
  z->SetPartner(bis);
  bis->SetPartner(z);
  WindowClick(z, click, Qt::RightButton);
  captions.clear();
  for (const auto& it : menus.calls.back().items) captions.push_back(it.Caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Jetzt", "-", "Kopieren", "Einf\xFCgen", "-", "Dieser Monat",
                                                "Letzter Monat", "Monatsauswahl", "Dieses Jahr", "Letztes Jahr"}));
  EXPECT_TRUE(menus.LastItem("Kopieren")->Enabled);

  struct Row {
    TZeit* field;
    const char* entry;
    const char* vom;
    const char* bisText;
  } rows[] = {{z, "Dieser Monat", "01.06.2024", "30.06.2024"},
              {z, "Letzter Monat", "01.05.2024", "31.05.2024"},
              {bis, "Dieses Jahr", "01.01.2024", "31.12.2024"},
              {bis, "Letztes Jahr", "01.01.2023", "31.12.2023"}};
  for (const Row& r : rows) {
    b.changes.clear();
    menus.choose = {r.entry};
    WindowClick(r.field, click, Qt::RightButton);
    EXPECT_EQ(z->Model().Shown(), r.vom) << r.entry;
    EXPECT_EQ(bis->Model().Shown(), r.bisText) << r.entry;
    ASSERT_EQ(b.changes.size(), 1u) << r.entry;
    EXPECT_EQ(b.changes[0].first, r.field) << r.entry << ": only the chosen field tells";
    EXPECT_TRUE(r.field->Change());
  }

  // A time field has no ranges to take.
  TZeit* uhr = new TZeit(&b.form);
  uhr->SetStyle(zaUhr);
  uhr->SetTop(100);
  uhr->SetPartner(z);
  WindowClick(uhr, {uhr->Layout().TextStart + 3, 5}, Qt::RightButton);
  EXPECT_FALSE(menus.LastItem("Dieser Monat")->Enabled);
  EXPECT_FALSE(menus.LastItem("Monatsauswahl")->Enabled);
}

TEST(Zeit, MonatswahlDialogSetsTheChosenMonth) {
  Bench b(zaBeides);
  TZeit* vom = b.zeit;
  TZeit* bis = b.zweit;
  vom->SetVon(true);
  vom->SetPartner(bis);
  bis->SetPartner(vom);
  b.Load(vom, "05.03.2021 14:07");
  b.Load(bis, "06.03.2021 16:00");
  std::vector<std::string> items;
  int shownMonth = -1, shownYear = -1, minYear = 0, maxYear = 0;
  b.services.modals.onShow = [&](TForm& f) {
    auto combos = ChildrenOf<TComboBox>(&f);
    auto spins = ChildrenOf<TSpinEdit>(&f);
    auto oks = ChildrenOf<TButton>(&f);
    ASSERT_EQ(combos.size(), 1u);
    ASSERT_EQ(spins.size(), 1u);
    ASSERT_EQ(oks.size(), 1u);
    items.clear();
    for (const auto& it : combos[0]->Items()) items.push_back(it.text);
    shownMonth = combos[0]->ItemIndex();
    shownYear = spins[0]->Value();
    minYear = spins[0]->MinValue();
    maxYear = spins[0]->MaxValue();
    combos[0]->SetItemIndex(1);
    spins[0]->SetValue(2100);
    EXPECT_EQ(oks[0]->Caption(), "OK");
    Click(oks[0]->Button(), {5, 5});
  };
  b.services.menus.choose = {"Monatsauswahl"};
  WindowClick(vom, {vom->Layout().TextStart + 3, 5}, Qt::RightButton);
  EXPECT_EQ(b.services.modals.captions, std::vector<std::string>{"Monatswahl"});
  EXPECT_EQ(items, (std::vector<std::string>{"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli",
                                             "August", "September", "Oktober", "November", "Dezember"}));
  EXPECT_EQ(shownMonth, 2) << "preset to the field's month";
  EXPECT_EQ(shownYear, 2021);
  EXPECT_EQ(minYear, 1900);
  EXPECT_EQ(maxYear, 9999);
  EXPECT_EQ(vom->Model().Shown(), "01.02.2100 14:07") << "the start keeps its time";
  EXPECT_EQ(bis->Model().Shown(), "28.02.2100 23:59");
  EXPECT_EQ(b.changes.size(), 1u);

  // Cancelled: nothing.
  b.services.modals.onShow = [](TForm& f) { f.SetModalResult(mrCancel); };
  vom->Monats_Wahl(nullptr);
  EXPECT_EQ(vom->Model().Shown(), "01.02.2100 14:07");
  EXPECT_EQ(b.changes.size(), 1u);
}

// ---------------------------------------------------------------- clipboard

TEST(Zeit, CopyPutsBytesAndTextPasteTakesEither) {
  Bench b(zaBeides);
  auto& clip = b.services.clipboard;
  TZeit* z = b.zeit;
  struct Row {
    TZeitStyle style;
    bool zeitDatum;
    const char* shown;
    TDateTime value;
    const char* text;
  } rows[] = {{zaBeides, false, "05.03.2021 14:07", At(2021, 3, 5, 14, 7), "05.03.2021 14:07"},
              {zaBeides, true, "14:07 05.03.2021", At(2021, 3, 5, 14, 7), "05.03.2021 14:07"},
              {zaBeides, false, "05.03.2021 __:__", At(2021, 3, 5), "05.03.2021"},
              {zaDatum, false, "05.03.2021", At(2021, 3, 5), "05.03.2021"},
              {zaUhr, false, "14:07", EncodeTime(14, 7, 0, 0), "14:07"}};
  for (const Row& r : rows) {
    z->SetStyle(r.style);
    z->SetChange(r.zeitDatum);
    b.Load(z, r.shown);
    z->Kopie(nullptr);
    EXPECT_EQ(clip.data["TDateTime"], TZeitModel::ToClipboardBytes(r.value)) << r.shown;
    EXPECT_EQ(clip.data[kTextFormat], r.text) << r.shown;
    // Into an empty field of the same kind, through the keys of the desktop.
    b.zweit->SetStyle(r.style);
    b.Load(b.zweit, "");
    b.zweit->SetFocus();
    b.changes.clear();
    SendKey(b.zweit, Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(b.zweit->GetValue(), z->GetValue()) << r.shown;
    ASSERT_EQ(b.changes.size(), 1u);
    EXPECT_EQ(b.changes[0].second, b.zweit->GetValue());
    EXPECT_TRUE(b.zweit->Change());
    z->SetFocus();
  }
  // Nothing to copy: the clipboard stays as it was.
  b.Load(z, "");
  const int writes = clip.writes;
  SendKey(z, Qt::Key_C, "\x03", Qt::ControlModifier);
  EXPECT_EQ(clip.writes, writes);

  // Another program's text, as a person writes the date; or what it cannot be.
  struct Text {
    TZeitStyle style;
    const char* text;
    const char* shown;  // null: refused
  } texts[] = {
      {zaBeides, "24.12.2025 18:30", "24.12.2025 18:30"}, {zaBeides, " 5.3.2021\n", "05.03.2021 00:00"},
      {zaBeides, "18:30 24.12.2025", "24.12.2025 18:30"}, {zaDatum, "24.12.2025 18:30", "24.12.2025"},
      {zaUhr, "8:05", "08:05"},                            {zaUhr, "24.12.2025 18:30", "18:30"},
      {zaDatum, "31.02.2025", nullptr},                   {zaBeides, "24.12.2025 24:00", nullptr},
      {zaDatum, "24.12.1899", nullptr},                   {zaDatum, "24.12.25", nullptr},
      {zaUhr, "18:3", nullptr},                           {zaBeides, "18:30", nullptr},
      {zaDatum, "Heiligabend", nullptr},                  {zaBeides, "24.12.2025 18:30 Uhr", nullptr},
      {zaDatum, "", nullptr},
  };
  for (const Text& t : texts) {
    z->SetStyle(t.style);
    z->SetChange(false);
    b.Load(z, "");
    clip.SetText(t.text);
    WindowClick(z, {z->Layout().TextStart + 3, 5}, Qt::RightButton);
    EXPECT_EQ(b.services.menus.LastItem("Einf\xFCgen")->Enabled, t.shown != nullptr) << t.text;
    z->Paste(nullptr);
    EXPECT_EQ(z->Model().Shown(), t.shown ? t.shown : (t.style == zaUhr ? "__:__" : t.style == zaDatum ? "__.__.____" : "__.__.____ __:__"))
        << t.text;
  }
}

TEST(Zeit, PastedBytesAreCheckedAndTimesPassBetweenTimeFields) {
  Bench b(zaUhr);
  auto& clip = b.services.clipboard;
  const double nan = std::nan("");
  struct Row {
    TZeitStyle style;
    std::string bytes;
    const char* shown;
  } rows[] = {
      {zaUhr, TZeitModel::ToClipboardBytes(EncodeTime(14, 7, 0, 0)), "14:07"},
      {zaUhr, TZeitModel::ToClipboardBytes(At(2021, 3, 5, 9, 30)), "09:30"},
      {zaUhr, TZeitModel::ToClipboardBytes(1.0), nullptr},
      {zaUhr, TZeitModel::ToClipboardBytes(-0.25), nullptr},
      {zaUhr, TZeitModel::ToClipboardBytes(nan), nullptr},
      {zaUhr, TZeitModel::ToClipboardBytes(EncodeTime(14, 7, 0, 0)).substr(0, 7), nullptr},
      {zaDatum, TZeitModel::ToClipboardBytes(EncodeTime(14, 7, 0, 0)), nullptr},
      {zaDatum, TZeitModel::ToClipboardBytes(EncodeDate(1800, 1, 1)), nullptr},
      {zaDatum, TZeitModel::ToClipboardBytes(At(2021, 3, 5, 9, 30)), "05.03.2021"},
      {zaBeides, TZeitModel::ToClipboardBytes(At(2021, 3, 5, 9, 30)) + "x", nullptr},
  };
  TZeit* z = b.zeit;
  int row = 0;
  for (const Row& r : rows) {
    ++row;
    z->SetStyle(r.style);
    b.Load(z, "");
    clip.SetData({{"TDateTime", r.bytes}});
    EXPECT_EQ(z->ClipboardValue().has_value(), r.shown != nullptr) << "row " << row;
    z->Paste(nullptr);
    if (r.shown) EXPECT_EQ(z->Model().Shown(), r.shown) << "row " << row;
    else EXPECT_TRUE(z->Model().IsEmpty()) << "row " << row;
  }
  // Unusable bytes beside a usable text: the text.
  z->SetStyle(zaDatum);
  b.Load(z, "");
  clip.SetData({{"TDateTime", "kaputt"}, {kTextFormat, "01.04.2022"}});
  z->Paste(nullptr);
  EXPECT_EQ(z->Model().Shown(), "01.04.2022");
}

TEST(Zeit, SharesTheSystemClipboardWithOtherPrograms) {
  IClipboard* system = Services().Clipboard;
  Bench b(zaBeides);
  TServiceOverride real(TServices{nullptr, system});
  b.Load(b.zeit, "05.03.2021 14:07");
  b.zeit->Kopie(nullptr);
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(mime, nullptr);
  EXPECT_EQ(mime->text(), QStringLiteral("05.03.2021 14:07")) << "what a text editor pastes";
  b.Load(b.zweit, "");
  b.zweit->Paste(nullptr);
  EXPECT_EQ(b.zweit->GetValue(), At(2021, 3, 5, 14, 7));

  // Another program offers only text.
  auto* other = new QMimeData;
  other->setText(QStringLiteral("01.04.2022 08:15"));
  QGuiApplication::clipboard()->setMimeData(other);
  b.zweit->Paste(nullptr);
  EXPECT_EQ(b.zweit->Model().Shown(), "01.04.2022 08:15");
}
