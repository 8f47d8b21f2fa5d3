// TKalender on screen: real mouse presses on the day image and the messages the active window
// gets, pixels of the drawn grid, the title line, the navigation buttons under the year block,
// the month list by mouse and keys, the too-many box, today's label, Setze_Datum, host lists.
#include "components/kalender/kalender.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/gui/registry.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace {

// The host window: records each application message with the month shown when it arrived.
struct Fenster : TForm {
  struct Ruf {
    uint32_t msg;
    intptr_t w, l;
    int monat;
  };
  std::vector<Ruf> rufe;
  TKalender* kal = nullptr;
  void Dispatch(TMessage& m) override {
    if (m.Msg >= WM_APP && m.Msg < WM_APP + 0x1000) {
      rufe.push_back({m.Msg, m.WParam, m.LParam, kal ? kal->Get_Monat() : 0});
      return;
    }
    TForm::Dispatch(m);
  }
};

struct Umgebung {
  TTestServices services;
  Fenster form;
  TKalender* kal;
  explicit Umgebung(bool aktiv = true) {
    form.SetClientSize(300, 260);
    kal = new TKalender(&form);
    kal->SetBounds(10, 10, TKalender::kBreite, TKalender::kHoehe);
    form.kal = kal;
    if (aktiv) ShowAndActivate(&form);
  }
};

// Click points come from the calendar's geometry: the middle of a cell, or of a week number.
TPoint ZellPunkt(int index) {
  const TPoint o = kalender::ZellUrsprung(index);
  return {TKalender::kBildX + o.x + kalender::kZellBreite / 2, TKalender::kBildY + o.y + kalender::kZellHoehe / 2};
}
TPoint WochenPunkt(int zeile) { return {TKalender::kBildX + kalender::kWochenSpalteRechts / 2, ZellPunkt(zeile * 7).y}; }

void Rechtsklick(QWidget* w, TPoint p) {
  SendMouse(w, QEvent::MouseButtonPress, Qt::RightButton, p);
  SendMouse(w, QEvent::MouseButtonRelease, Qt::RightButton, p);
}

int Zelle(const TKalender& k, int monat, int tag) {
  for (int i = 0; i < kalender::kZellen; ++i)
    if (k.Model().ZellMonat(i) == monat && k.Model().Tag(i) == tag) return i;
  ADD_FAILURE() << "no cell " << tag << "." << monat;
  return 0;
}

std::vector<uint8_t> Bytes(const TEintragListe& l, size_t n = kListenGroesse) { return {l.begin(), l.begin() + n}; }

TColor BildPixel(TKalender& k, TPoint p) { return k.Bild().Canvas().Pixel(p.x, p.y); }

// A pixel of the cell's inside that no digit covers: the lowest row of the filled part.
TColor ZellGrund(TKalender& k, int index) {
  const TRect r = kalender::ZellInnen(index);
  return BildPixel(k, {r.left, r.bottom - 1});
}

// The control as Paint draws it (title line and image; the child controls are not in it).
std::unique_ptr<TRecordingCanvas> Gemalt(TKalender& k) {
  auto c = std::make_unique<TRecordingCanvas>(k.Width(), k.Height());
  c->SetRecorder(&c->record);
  k.PaintTo(*c);
  return c;
}

}  // namespace

TEST(Kalender, EditClicksMarkDaysAndWeeksAndTellTheWindow) {
  Umgebung u;
  TKalender* k = u.kal;
  ASSERT_TRUE(k->Init(2021, 2, 0, nullptr));
  std::vector<std::pair<uint32_t, intptr_t>> gehoert;
  k->OnNachricht = [&](TObject* s, uint32_t m, intptr_t w, intptr_t l) {
    EXPECT_EQ(s, k);
    // The window has it first.
    EXPECT_EQ(u.form.rufe.size(), gehoert.size() + 1);
    gehoert.push_back({m, w + l});
  };

  // Wednesday to Friday of week 5: one run, one message per click.
  for (int tag : {3, 4, 5}) Click(k, ZellPunkt(Zelle(*k, 2, tag)));
  EXPECT_EQ(Bytes(k->Get_Daten(), 10), (std::vector<uint8_t>{5, 3, 2, 5, 2, 0, 0, 0, 0, 0}));
  ASSERT_EQ(u.form.rufe.size(), 3u);
  for (const auto& r : u.form.rufe) {
    EXPECT_EQ(r.msg, uint32_t(WM_APP + 401));
    EXPECT_EQ(r.w, 0);
    EXPECT_EQ(r.l, 0);
  }
  EXPECT_EQ(gehoert.size(), 3u);

  // The week cell of a partly marked row marks all seven days; of a full row clears it.
  Click(k, ZellPunkt(Zelle(*k, 2, 11)));  // Thursday of week 6
  Click(k, WochenPunkt(2));               // week 6: 8 to 14 February
  EXPECT_EQ(Bytes(k->Get_Daten(), 10), (std::vector<uint8_t>{5, 3, 2, 5, 2, 6, 8, 2, 14, 2}));
  Click(k, WochenPunkt(2));
  EXPECT_EQ(Bytes(k->Get_Daten(), 10), (std::vector<uint8_t>{5, 3, 2, 5, 2, 0, 0, 0, 0, 0}));

  // The right button edits as well; a second press on a day takes its mark away again.
  Rechtsklick(k, ZellPunkt(Zelle(*k, 3, 1)));  // grey 1 March, week 9
  EXPECT_EQ(Bytes(k->Get_Daten(), 10), (std::vector<uint8_t>{5, 3, 2, 5, 2, 9, 1, 3, 1, 3}));
  Click(k, ZellPunkt(Zelle(*k, 3, 1)));
  Click(k, ZellPunkt(Zelle(*k, 2, 4)));
  EXPECT_EQ(Bytes(k->Get_Daten(), 15), (std::vector<uint8_t>{5, 3, 2, 3, 2, 5, 5, 2, 5, 2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(u.form.rufe.size(), 9u);
  EXPECT_TRUE(u.services.boxes.calls.empty());
}

TEST(Kalender, DisplayClicksSendTheDayAndTheButton) {
  Umgebung u;
  TKalender* k = u.kal;
  k->Setze_Modus(false);
  ASSERT_TRUE(k->Init(2021, 2, 10, nullptr));

  Click(k, ZellPunkt(Zelle(*k, 2, 17)));
  Rechtsklick(k, ZellPunkt(Zelle(*k, 2, 18)));
  ASSERT_EQ(u.form.rufe.size(), 2u);
  EXPECT_EQ(u.form.rufe[0].msg, uint32_t(WM_APP + 400));
  EXPECT_EQ(u.form.rufe[0].w, intptr_t(EncodeDate(2021, 2, 17)));
  EXPECT_EQ(u.form.rufe[0].l, 0);
  EXPECT_EQ(u.form.rufe[1].w, intptr_t(EncodeDate(2021, 2, 18)));
  EXPECT_EQ(u.form.rufe[1].l, 1);
  EXPECT_TRUE(k->Model().Marker(Zelle(*k, 2, 17)) == false) << "display clicks mark nothing";

  // A grey day of the next month shows that month first: the window sees March already.
  Click(k, ZellPunkt(Zelle(*k, 3, 2)));
  ASSERT_EQ(u.form.rufe.size(), 3u);
  EXPECT_EQ(u.form.rufe[2].w, intptr_t(EncodeDate(2021, 3, 2)));
  EXPECT_EQ(u.form.rufe[2].monat, 3);
  EXPECT_EQ(k->Get_Monat(), 3);
  EXPECT_EQ(k->Get_Datum(), 0) << "the highlight goes with the month";

  // Presses that name no day do nothing: the week column, the weekday band, the image's
  // border and what lies beside and below the image.
  const std::vector<TPoint> daneben = {
      WochenPunkt(2),
      {ZellPunkt(10).x, TKalender::kBildY + 10},
      {TKalender::kBildX + kalender::kBildBreite - 1, ZellPunkt(10).y},
      {ZellPunkt(38).x, TKalender::kBildY + kalender::kBildHoehe - 1},
      {ZellPunkt(38).x, TKalender::kBildY + kalender::kBildHoehe + 5},
      {TKalender::kBildX + 1, TKalender::kBildY + 1},
  };
  for (TPoint p : daneben) Click(k, p);
  EXPECT_EQ(u.form.rufe.size(), 3u);
  EXPECT_EQ(k->Get_Monat(), 3);

  // Under the year block, January days in December's grid send 0, 0 and December stays.
  ASSERT_TRUE(k->Init(2026, 12, 0, nullptr));
  k->Setze_JahresBlock(true);
  Click(k, ZellPunkt(Zelle(*k, 1, 2)));
  ASSERT_EQ(u.form.rufe.size(), 4u);
  EXPECT_EQ(u.form.rufe[3].msg, uint32_t(WM_APP + 400));
  EXPECT_EQ(u.form.rufe[3].w, 0);
  EXPECT_EQ(u.form.rufe[3].l, 0);
  EXPECT_EQ(k->Get_Monat(), 12);
  EXPECT_EQ(k->Get_Jahr(), 2026);
}

TEST(Kalender, HandlersMayFreeTheCalendar) {
  Umgebung u;
  QPointer<TKalender> k = u.kal;
  k->Init(2021, 2, 0, nullptr);
  k->OnNachricht = [&](TObject*, uint32_t, intptr_t, intptr_t) { delete k.data(); };
  SendMouse(k, QEvent::MouseButtonPress, Qt::LeftButton, ZellPunkt(20));
  EXPECT_TRUE(k.isNull());
  EXPECT_EQ(u.form.rufe.size(), 1u);
}

TEST(Kalender, DrawnGridPixels) {
  Umgebung u(false);
  TKalender* k = u.kal;
  // 3 to 5 February and 1 March marked (March lies in the grid's last row).
  const uint8_t liste[10] = {5, 3, 2, 5, 2, 9, 1, 3, 1, 3};
  TEintragListe l{};
  std::memcpy(l.data(), liste, sizeof liste);
  ASSERT_TRUE(k->Init(2021, 2, 17, l.data()));

  // Header band and week column in the band colour, the field white, the border black.
  const TPoint band{44, 10}, woche{kalender::kWochenSpalteRechts - 2, 38};
  EXPECT_EQ(BildPixel(*k, band), clYellow);
  EXPECT_EQ(BildPixel(*k, woche), clYellow);
  EXPECT_EQ(BildPixel(*k, {0, 0}), clBlack);
  EXPECT_EQ(BildPixel(*k, {kalender::kBildBreite - 1, 70}), clBlack);
  EXPECT_EQ(BildPixel(*k, {kalender::kWochenSpalteRechts, 70}), clBlack);
  EXPECT_EQ(BildPixel(*k, {100, kalender::kZellHoehe - 1}), clBlack);

  // Edit mode: marked cells inverted, others white; frames black in the month, grey outside.
  const int c3 = Zelle(*k, 2, 3), c6 = Zelle(*k, 2, 6), c17 = Zelle(*k, 2, 17), m1 = Zelle(*k, 3, 1);
  EXPECT_EQ(ZellGrund(*k, c3), clBlack);
  EXPECT_EQ(ZellGrund(*k, m1), clBlack);
  EXPECT_EQ(ZellGrund(*k, c6), clWhite);
  EXPECT_EQ(ZellGrund(*k, c17), clWhite) << "no highlight in edit mode";
  const TRect rahmen6 = kalender::ZellRahmen(c6), rahmenJan = kalender::ZellRahmen(Zelle(*k, 1, 25));
  EXPECT_EQ(BildPixel(*k, {rahmen6.left, rahmen6.top + 5}), clBlack);
  EXPECT_EQ(BildPixel(*k, {rahmenJan.left, rahmenJan.top + 5}), RGB(128, 128, 128));

  // Display mode: the highlight day blue with white digits, markers as the red symbol on a
  // white cell.
  k->Setze_Modus(false);
  k->Zeichne_Kalender(false);
  EXPECT_EQ(ZellGrund(*k, c17), clBlue);
  const TRect innen17 = kalender::ZellInnen(c17);
  int weiss = 0;
  for (int y = innen17.top; y < innen17.bottom; ++y)
    for (int x = innen17.left; x < innen17.right; ++x) weiss += BildPixel(*k, {x, y}) == clWhite;
  EXPECT_GT(weiss, 10) << "the day number in white";
  EXPECT_EQ(ZellGrund(*k, c3), clWhite);
  const TPoint o3 = kalender::ZellUrsprung(c3);
  EXPECT_EQ(BildPixel(*k, {o3.x + 19, o3.y + 16}), clRed);
  EXPECT_EQ(BildPixel(*k, {o3.x + 4, o3.y + 8}), clWhite) << "the symbol's ground is transparent";

  // Colour mode 2: white band, the tooltip colour behind the title; 3 changes nothing.
  k->Setze_Farbmodus(2);
  EXPECT_EQ(BildPixel(*k, band), clWhite);
  auto bild = Gemalt(*k);
  EXPECT_EQ(bild->Pixel(150, 18), ColorToRGB(clInfoBk));
  const TCanvasOp* titel = bild->record.FindText("Februar 2021");
  ASSERT_NE(titel, nullptr) << bild->record.AllText();
  EXPECT_EQ(titel->font.Color, clBlack);
  k->Setze_Farbmodus(3);
  EXPECT_EQ(BildPixel(*k, band), clWhite);
  k->Setze_Farbmodus(1);
  bild = Gemalt(*k);
  EXPECT_EQ(bild->Pixel(150, 18), RGB(0, 128, 255));
  EXPECT_EQ(bild->record.FindText("Februar 2021")->font.Color, clWhite);
  // The image sits under the title line, as drawn on the control.
  EXPECT_EQ(bild->Pixel(TKalender::kBildX + band.x, TKalender::kBildY + band.y), clYellow);
}

TEST(Kalender, TextsOfTheImage) {
  Umgebung u(false);
  TKalender* k = u.kal;
  TCanvasRecord rec;
  k->Bild().Canvas().SetRecorder(&rec);
  ASSERT_TRUE(k->Init(2021, 1, 0, nullptr));  // first row: Monday 28.12.2020, week 53
  auto text = [&](const char* t) {
    const TCanvasOp* op = rec.FindText(t);
    if (!op) ADD_FAILURE() << "no text " << t << " in " << rec.AllText();
    return op ? *op : TCanvasOp{};
  };
  EXPECT_EQ(text("MO").rect.left, 25);
  EXPECT_EQ(text("MO").font.Color, clBlue);
  EXPECT_EQ(text("FR").font.Color, clBlue);
  EXPECT_EQ(text("SA").rect.left, 25 + 22 * 5);
  EXPECT_EQ(text("SA").font.Color, clRed);
  EXPECT_EQ(text("SO").font.Color, clRed);
  EXPECT_EQ(text("KW").rect.left, 2);
  EXPECT_EQ(text("MO").font.Name, "Courier New");
  EXPECT_EQ(text("MO").font.Size, 10);
  // Two-digit week numbers at x 2, one-digit ones at 7, in blue.
  EXPECT_EQ(text("53").rect.left, 2);
  EXPECT_EQ(text("53").rect.top, 22);
  EXPECT_EQ(text("53").font.Color, clBlue);
  const TCanvasOp* eins = nullptr;
  for (const TCanvasOp* op : rec.Texts())
    if (op->text == "1" && op->rect.left < kalender::kWochenSpalteRechts) eins = op;
  ASSERT_NE(eins, nullptr);
  EXPECT_EQ(eins->rect.left, 7);
  EXPECT_EQ(eins->rect.top, 42);
  // December's 28 in grey at x + 3, January's 4 in black at x + 7.
  EXPECT_EQ(text("28").font.Color, RGB(128, 128, 128));
  EXPECT_EQ(text("28").rect.left, 22 + 3);
  const TCanvasOp* vier = nullptr;
  for (const TCanvasOp* op : rec.Texts())
    if (op->text == "4" && !vier && op->rect.left > kalender::kWochenSpalteRechts) vier = op;
  ASSERT_NE(vier, nullptr);
  EXPECT_EQ(vier->font.Color, clBlack);
  EXPECT_EQ(vier->rect.left, 22 + 7);
  EXPECT_EQ(vier->rect.top, 42);

  // A grid redraw leaves header and week numbers alone.
  rec.Clear();
  k->Zeichne_Kalender(false);
  EXPECT_EQ(rec.FindText("MO"), nullptr);
  EXPECT_EQ(rec.FindText("53"), nullptr);
  EXPECT_NE(rec.FindText("31"), nullptr);
  k->Bild().Canvas().SetRecorder(nullptr);
}

TEST(Kalender, NavigationButtonsAndYearBlock) {
  Umgebung u;
  TKalender* k = u.kal;
  TSpeedButton* zurueck = k->SpeedButton1();
  TSpeedButton* vor = k->SpeedButton2();
  // The buttons sit in the title line's corners.
  EXPECT_EQ(zurueck->Left(), 1);
  EXPECT_EQ(vor->Left() + vor->Width(), k->Width() - 1);
  EXPECT_LE(zurueck->Top() + zurueck->Height(), kalender::kTitelHoehe);
  EXPECT_FALSE(vor->Enabled()) << "nothing to leave before Init";

  auto druecke = [](TSpeedButton* b) { Click(b, {b->Width() / 2, b->Height() / 2}); };
  ASSERT_TRUE(k->Init(2021, 12, 0, nullptr));
  EXPECT_TRUE(vor->Enabled());
  k->Setze_JahresBlock(true);
  EXPECT_FALSE(vor->Enabled());
  EXPECT_TRUE(zurueck->Enabled());
  druecke(vor);
  EXPECT_EQ(k->Get_Monat(), 12);
  k->Setze_JahresBlock(false);
  EXPECT_TRUE(vor->Enabled());
  druecke(vor);
  EXPECT_EQ(k->Get_Jahr(), 2022);
  EXPECT_EQ(k->Get_Monat(), 1);
  EXPECT_NE(Gemalt(*k)->record.FindText("Januar 2022"), nullptr);
  EXPECT_TRUE(zurueck->Enabled());
  k->Setze_JahresBlock(true);
  EXPECT_FALSE(zurueck->Enabled());
  EXPECT_TRUE(vor->Enabled());
  k->Setze_JahresBlock(false);
  druecke(zurueck);
  EXPECT_EQ(k->Get_Jahr(), 2021);
  EXPECT_EQ(k->Get_Monat(), 12);

  // Entries carry no year: with one in December the year cannot be left.
  Click(k, ZellPunkt(Zelle(*k, 12, 15)));
  EXPECT_FALSE(vor->Enabled());
  druecke(vor);
  EXPECT_EQ(k->Get_Monat(), 12);
  // Going back keeps the entry; the list ends up holding it still.
  druecke(zurueck);
  EXPECT_EQ(k->Get_Monat(), 11);
  EXPECT_EQ(Bytes(k->Get_Daten(), 5), (std::vector<uint8_t>{50, 15, 12, 15, 12}));
  EXPECT_TRUE(vor->Enabled());
  EXPECT_TRUE(zurueck->Enabled());
  // Clearing the December markers frees the way again.
  druecke(vor);
  k->Del_Marker(true);
  EXPECT_TRUE(vor->Enabled());
  EXPECT_EQ(k->Get_Daten()[0], 0);
  EXPECT_TRUE(u.form.rufe.size() == 1u) << "navigation sends nothing";
}

TEST(Kalender, MonthListByMouse) {
  Umgebung u;
  TKalender* k = u.kal;
  TKalenderListe* l = k->ListBox1();
  ASSERT_TRUE(k->Init(2021, 2, 0, nullptr));
  EXPECT_FALSE(l->Visible());

  // Outside the month name nothing drops.
  Click(k, {kalender::kListeRechts + 10, 10});
  EXPECT_FALSE(l->Visible());

  // The press on the name drops the list with the month chosen, focused, with the mouse;
  // its release keeps it open.
  const TPoint name{kalender::kListeLinks + 20, 10};
  SendMouse(k, QEvent::MouseButtonPress, Qt::LeftButton, name);
  EXPECT_TRUE(l->Visible());
  EXPECT_TRUE(l->Focused());
  EXPECT_EQ(GetCapture(), l);
  EXPECT_EQ(l->ItemIndex(), 1);
  EXPECT_EQ(l->Left(), kalender::kListeLinks);
  EXPECT_EQ(l->Top(), kalender::kTitelHoehe);
  EXPECT_LE(l->Top() + l->Height(), k->Height()) << "the list fits in the calendar";
  SendMouse(k, QEvent::MouseButtonRelease, Qt::LeftButton, name);
  EXPECT_TRUE(l->Visible());
  EXPECT_EQ(k->Get_Monat(), 2);

  // Pressing, dragging to May and letting go there shows May.
  const TRect r1 = l->ItemRect(1), r4 = l->ItemRect(4);
  SendMouse(l, QEvent::MouseButtonPress, Qt::LeftButton, {r1.left + 5, r1.top + 5});
  SendMouse(l, QEvent::MouseMove, Qt::NoButton, {r4.left + 5, r4.top + 5}, Qt::LeftButton);
  EXPECT_EQ(l->ItemIndex(), 4);
  SendMouse(l, QEvent::MouseButtonRelease, Qt::LeftButton, {r4.left + 5, r4.top + 5});
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(k->Get_Monat(), 5);
  EXPECT_EQ(k->Get_Jahr(), 2021);
  EXPECT_NE(Gemalt(*k)->record.FindText("Mai 2021"), nullptr);

  // A press outside the list's area closes it and does nothing else, on the day image too.
  Click(k, name);
  EXPECT_TRUE(l->Visible());
  const auto daten = k->Get_Daten();
  Click(k, ZellPunkt(Zelle(*k, 5, 16)));
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(k->Get_Daten(), daten);
  EXPECT_TRUE(u.form.rufe.empty());
  EXPECT_EQ(k->Get_Monat(), 5);
  // With the mouse captured the list hears presses far off, in its own coordinates.
  Click(k, name);
  SendMouse(l, QEvent::MouseButtonPress, Qt::LeftButton, {TKalenderListe::kBreite + 3, 20});
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(k->Get_Monat(), 5);
}

TEST(Kalender, MonthListByKeys) {
  Umgebung u(false);
  TKalender* k = u.kal;
  TKalenderListe* l = k->ListBox1();
  auto* anderes = new TEdit(&u.form);
  anderes->SetBounds(10, 200, 100, 21);
  ShowAndActivate(&u.form);
  ASSERT_TRUE(k->Init(2021, 2, 0, nullptr));
  const TPoint name{kalender::kListeLinks + 20, 10};

  Click(k, name);
  SendKey(l, Qt::Key_Down);
  SendKey(l, Qt::Key_Down);
  EXPECT_EQ(l->ItemIndex(), 3);
  SendKey(l, Qt::Key_Return, "\r");
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(k->Get_Monat(), 4);
  EXPECT_EQ(GetCapture(), nullptr);

  Click(k, name);
  SendKey(l, Qt::Key_End);
  EXPECT_EQ(l->ItemIndex(), 11);
  SendKey(l, Qt::Key_Escape);
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(k->Get_Monat(), 4);

  Click(k, name);
  SendKey(l, Qt::Key_Home);
  SendKey(l, Qt::Key_Up);
  EXPECT_EQ(l->ItemIndex(), 0);
  // Losing the focus closes the list and lets the mouse go; the month stays.
  anderes->SetFocus();
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(k->Get_Monat(), 4);
  EXPECT_TRUE(anderes->Focused()) << "the focus stays where it went";
}

TEST(Kalender, TenthRunBringsTheBoxAndIsNotStored) {
  Umgebung u;
  TKalender* k = u.kal;
  // Nine one-day entries in June; February is shown.
  TEintragListe l{};
  for (int e = 0; e < 9; ++e) {
    uint8_t* b = l.data() + 5 * e;
    b[0] = 23;
    b[1] = b[3] = uint8_t(1 + 2 * e);
    b[2] = b[4] = 6;
  }
  ASSERT_TRUE(k->Init(2021, 2, 0, l.data()));
  const int zelle = Zelle(*k, 2, 10);
  Click(k, ZellPunkt(zelle));
  ASSERT_EQ(u.services.boxes.calls.size(), 1u);
  const auto& box = u.services.boxes.calls[0];
  EXPECT_EQ(box.text,
            "Zu viele Bereitschaftseintr\xE4ge im Kalender! Ich kann maximal nur 9 Eintr\xE4ge verarbeiten.\n"
            "Alle Eintr\xE4ge dar\xFC" "ber wurden gel\xF6scht");
  EXPECT_EQ(box.caption, "Kann ich nicht!");
  EXPECT_EQ(box.buttons, MB_OK);
  EXPECT_EQ(k->Get_Daten(), l) << "June's entries stay";
  EXPECT_FALSE(k->Model().Marker(zelle));
  EXPECT_EQ(ZellGrund(*k, zelle), clWhite) << "the refused day is drawn unmarked";
  EXPECT_TRUE(u.form.rufe.empty()) << "nothing changed, nothing to tell";

  // The interface says so too.
  uint8_t ziel[kListenGroesse];
  EXPECT_TRUE(k->Get_Eintraege(ziel, 9));
  EXPECT_EQ(0, std::memcmp(ziel, l.data(), kListenGroesse));
  EXPECT_EQ(u.services.boxes.calls.size(), 1u);
}

TEST(Kalender, TodayLabelInDisplayModeOnly) {
  Umgebung u;
  TKalender* k = u.kal;
  TLabel* heute = k->HeuteLabel();
  EXPECT_FALSE(heute->Visible());
  u.services.clock.now = EncodeDate(2025, 12, 9) + 0.5;
  k->Setze_Modus(false);
  EXPECT_TRUE(heute->Visible());
  EXPECT_EQ(heute->Caption(), "   Heute: 09.12.2025");
  EXPECT_GE(heute->Top(), TKalender::kBildY + kalender::kBildHoehe) << "under the image";
  EXPECT_LE(heute->Top() + heute->Height(), k->Height());
  u.services.clock.now = EncodeDate(2026, 1, 1);
  k->Setze_Modus(true);
  EXPECT_FALSE(heute->Visible());
  k->Setze_Modus(false);
  EXPECT_EQ(heute->Caption(), "   Heute: 01.01.2026");
}

TEST(Kalender, SetzeDatumWithinAndAcrossMonths) {
  Umgebung u(false);
  TKalender* k = u.kal;
  k->Setze_Modus(false);
  // The host's list: 3 February. Display mode reads it again whenever it lays out a month.
  std::vector<uint8_t> gast(kListenGroesse, 0);
  const uint8_t feb[5] = {5, 3, 2, 3, 2};
  std::memcpy(gast.data(), feb, 5);
  ASSERT_TRUE(k->Init(2021, 2, 10, gast.data()));
  EXPECT_EQ(k->Get_Datum(), EncodeDate(2021, 2, 10));
  const int c3 = Zelle(*k, 2, 3), c10 = Zelle(*k, 2, 10), c20 = Zelle(*k, 2, 20);
  EXPECT_TRUE(k->Model().Marker(c3));
  EXPECT_EQ(ZellGrund(*k, c10), clBlue);

  // Within the month only the highlight moves; the host's changed list is not read.
  const uint8_t maerz[5] = {9, 1, 3, 2, 3};
  std::memcpy(gast.data(), maerz, 5);
  ASSERT_TRUE(k->Setze_Datum(EncodeDate(2021, 2, 20) + 0.75));
  EXPECT_EQ(k->Get_Datum(), EncodeDate(2021, 2, 20));
  EXPECT_EQ(ZellGrund(*k, c20), clBlue);
  EXPECT_EQ(ZellGrund(*k, c10), clWhite);
  EXPECT_TRUE(k->Model().Marker(c3));

  // Across months the month is laid out anew, from the host's list as it is now.
  ASSERT_TRUE(k->Setze_Datum(EncodeDate(2021, 3, 5)));
  EXPECT_EQ(k->Get_Monat(), 3);
  EXPECT_EQ(k->Get_Datum(), EncodeDate(2021, 3, 5));
  EXPECT_TRUE(k->Model().Marker(Zelle(*k, 3, 1)));
  EXPECT_TRUE(k->Model().Marker(Zelle(*k, 3, 2)));
  EXPECT_FALSE(k->Model().Marker(Zelle(*k, 2, 28)));
  EXPECT_EQ(ZellGrund(*k, Zelle(*k, 3, 5)), clBlue);
  EXPECT_NE(Gemalt(*k)->record.FindText("M\xE4rz 2021"), nullptr);

  // A date no grid can hold changes nothing, nor does a value that is no date at all.
  for (TDateTime d : {EncodeDate(9999, 12, 31), std::nan(""), HUGE_VAL, -HUGE_VAL, 1e300, -5.67e178}) {
    EXPECT_FALSE(k->Setze_Datum(d)) << d;
    EXPECT_EQ(k->Get_Monat(), 3);
    EXPECT_EQ(k->Get_Datum(), EncodeDate(2021, 3, 5));
  }
}

TEST(Kalender, HostListsAreReadAndWrittenWithin45Bytes) {
  Umgebung u(false);
  TKalender* k = u.kal;
  // Exactly 45 bytes on the heap each, so the address sanitizer sees any step past them.
  std::vector<uint8_t> gast(kListenGroesse);
  for (size_t i = 0; i < gast.size(); ++i) gast[i] = uint8_t(0xA5 ^ (i * 37));
  k->Setze_Modus(false);
  ASSERT_TRUE(k->Init(2021, 2, 0, gast.data()));
  k->Setze_Daten(gast.data());
  EXPECT_EQ(Bytes(k->Get_Daten()), gast);
  k->Setze_Modus(true);
  std::vector<uint8_t> ziel(kListenGroesse, 0xEE);
  k->Get_Eintraege(ziel.data(), 20);  // at most nine entries go out
  std::vector<uint8_t> kurz(2 * kEintragGroesse, 0xEE);
  k->Get_Eintraege(kurz.data(), 2);
  EXPECT_EQ(0, std::memcmp(kurz.data(), k->Get_Daten().data(), kurz.size()));
  k->Get_Eintraege(nullptr, 9);

  k->Del_Eintraege();
  EXPECT_EQ(k->Get_Daten(), TEintragListe{});
  for (int i = 0; i < kalender::kZellen; ++i) EXPECT_FALSE(k->Model().Marker(i));
  EXPECT_FALSE(k->Init(2021, 13, 0, nullptr));
  EXPECT_EQ(k->Get_Monat(), 2);
  EXPECT_EQ(TKalender::Get_Kalenderwoche(2021, EncodeDate(2021, 1, 4)), 1);
  EXPECT_EQ(TKalender::Get_Kalenderwoche(2020, EncodeDate(2020, 12, 28)), 53);
}

TEST(Kalender, RegisteredOnBeispiele) {
  TTestServices services;
  Kalender::Register();
  const TPaletteEntry* e = FindPaletteEntry("TKalender");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Page, "Beispiele");
  TForm owner;
  std::unique_ptr<TObject> made(e->Create(&owner));
  auto* k = dynamic_cast<TKalender*>(made.get());
  ASSERT_NE(k, nullptr);
  // New: edit mode, colour mode 1, no highlight, no list, no year block, no today label;
  // large enough for its parts.
  EXPECT_TRUE(k->Model().Edit());
  EXPECT_EQ(k->Model().TitelFarbe(), RGB(0, 128, 255));
  EXPECT_EQ(k->Get_Datum(), 0);
  EXPECT_EQ(k->Model().HostListe(), nullptr);
  EXPECT_FALSE(k->Model().JahresBlock());
  EXPECT_FALSE(k->HeuteLabel()->Visible());
  EXPECT_EQ(k->Width(), TKalender::kBreite);
  EXPECT_EQ(k->Height(), TKalender::kHoehe);
  EXPECT_EQ(k->Bild().Width(), 178);
  EXPECT_EQ(k->Bild().Height(), 141);
  EXPECT_EQ(k->Bilder().Count(), 3);
}
