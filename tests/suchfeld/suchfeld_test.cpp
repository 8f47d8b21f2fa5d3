#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <memory>

#include "components/suchfeld/suchfeld.h"
#include "framework/gui/listwindow.h"
#include "framework/testing/doubles.h"

using namespace komp;

namespace komp {
void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
}  // namespace komp

namespace {
// What the target heard, with the from-current-row flag at that moment.
struct Ruf {
  TControl* ziel;
  int modus;
  bool von;
  friend bool operator==(const Ruf&, const Ruf&) = default;
};

struct Feld {
  TTestServices services;
  TForm form;
  TSuchfeld* feld;
  TControl* tabelle;
  std::vector<Ruf> rufe;
  Feld() {
    form.SetClientSize(400, 300);
    feld = new TSuchfeld(&form);
    feld->SetBounds(20, 30, 235, 25);
    tabelle = new TControl(&form);
    tabelle->SetBounds(20, 80, 200, 100);
    tabelle->SetTabStop(true);
  }
  TSuchEvent Ziel() {
    return [this](TControl* z, int m) { rufe.push_back({z, m, feld->GetVon()}); };
  }
  void Anmelden() {
    feld->Set_Suche(Ziel(), tabelle);
    rufe.clear();
  }
};

// A field whose screen can be chosen.
class Testfeld : public TSuchfeld {
 public:
  using TSuchfeld::TSuchfeld;
  TRect schirm{0, 0, 1000, 1000};

 protected:
  TRect Bildschirm() const override { return schirm; }
};

// A screen point over list entry i, found through the list itself.
TPoint ZeilePunkt(TListWindow& l, int i) {
  const TRect r = l.ScreenRect();
  for (int y = r.top; y < r.bottom; ++y)
    if (l.ItemAtScreen({r.left + 10, y}) == i) return {r.left + 10, y + l.ItemHeight() / 2};
  ADD_FAILURE() << "no entry " << i;
  return {};
}

void Historie(TSuchfeld* f, std::initializer_list<const char*> texte) {
  for (auto* t : texte) {
    f->SetText(t);
    f->TextExit(f->GetFenster());
  }
}

std::vector<std::string> Texte(const TStringList& l) {
  std::vector<std::string> v;
  for (auto& it : l) v.push_back(it.text);
  return v;
}
}  // namespace

TEST(Suchfeld, ChildrenSitAtTheirPlaces) {
  Feld t;
  TSuchfeld* f = t.feld;
  EXPECT_EQ(f->Width(), 235);
  EXPECT_EQ(f->Height(), 25);
  EXPECT_EQ(f->Caption, "");
  EXPECT_EQ(f->Font().Size, 10);
  EXPECT_EQ(f->SpaltenLabel()->BoundsRect(), Bounds(2, 2, 68, 20));
  EXPECT_EQ(f->SpaltenKnopf()->BoundsRect(), Bounds(71, 2, 9, 20));
  EXPECT_EQ(f->GetFenster()->BoundsRect(), Bounds(82, 2, 90, 20));
  EXPECT_EQ(f->ListenKnopf()->BoundsRect(), Bounds(174, 2, 9, 20));
  EXPECT_EQ(f->GrossKnopf()->BoundsRect(), Bounds(185, 2, 22, 20));
  EXPECT_EQ(f->StartKnopf()->BoundsRect(), Bounds(210, 2, 22, 20));
  EXPECT_EQ(f->SpaltenLabel()->Border, TStaticBorder::Sunken);
  EXPECT_EQ(f->SpaltenLabel()->Font().Style, fsBold);
  EXPECT_EQ(f->SpaltenLabel()->Font().Size, 10);
  EXPECT_EQ(f->GrossKnopf()->NumGlyphs, 4);
  EXPECT_EQ(f->GrossKnopf()->Glyph.Width() % 4, 0);
  EXPECT_EQ(f->GrossKnopf()->GroupIndex, 1);
  EXPECT_TRUE(f->GrossKnopf()->AllowAllUp);

  // The case toggle goes down and up again.
  EXPECT_FALSE(f->GetGross());
  f->GrossKnopf()->Click();
  EXPECT_TRUE(f->GetGross());
  f->GrossKnopf()->Click();
  EXPECT_FALSE(f->GetGross());

  ShowAndActivate(&t.form);
  ASSERT_TRUE(SaveWidgetPng(f, "suchfeld.png"));
}

TEST(Suchfeld, VergleichCountsMatchedCharactersAndFlagsTheEnd) {
  Feld t;
  TSuchfeld* f = t.feld;
  struct Case {
    const char* such;
    const char* zelle;
    bool gross;
    int32_t erwartet;
  } cases[] = {
      {"Abc", "abcd", false, 3 | kVergleichAnfang},
      {"Abc", "abcd", true, 0},
      {"abc", "abc", false, 3 | kVergleichGleich},
      {"abc", "abc", true, 3 | kVergleichGleich},
      {"abc", "ab", false, 2},
      {"abc", "abx", false, 2},
      {"abc", "abx", true, 2},
      {"abc", "aBc", true, 1},
      {"M\xDC", "m\xFC" "ller", false, 2 | kVergleichAnfang},
      {"mue", "M\xFC" "ller", false, 1},
      {"\xE4", "\xC4", false, 1 | kVergleichGleich},
      {"\xE4", "\xC4", true, 0},
      {"1", "\x11", false, 0},  // only letters lose their case bit
      {"", "x", false, kVergleichAnfang},
      {"", "", false, kVergleichGleich},
  };
  for (auto& c : cases) {
    f->SetText(c.such);
    if (f->GetGross() != c.gross) f->GrossKnopf()->Click();
    EXPECT_EQ(f->Vergleich(c.zelle), c.erwartet) << c.such << " / " << c.zelle << (c.gross ? " with case" : "");
  }
  f->SetText("abc");
  EXPECT_EQ(f->Vergleich("abc") & kVergleichAnzahl, 3);
  EXPECT_LT(f->Vergleich("abc"), 0) << "bit 31 is the sign bit";
}

TEST(Suchfeld, HistoryKeepsTheLastSixMostRecentFirst) {
  Feld t;
  TSuchfeld* f = t.feld;
  Historie(f, {"a", "b", "c", "d", "e", "f"});
  EXPECT_EQ(Texte(f->Historie()), (std::vector<std::string>{"f", "e", "d", "c", "b", "a"}));
  Historie(f, {"g"});
  EXPECT_EQ(Texte(f->Historie()), (std::vector<std::string>{"g", "f", "e", "d", "c", "b"}));
  // An equal entry further down moves up and nothing else is lost; an equal top entry stays.
  Historie(f, {"d"});
  EXPECT_EQ(Texte(f->Historie()), (std::vector<std::string>{"d", "g", "f", "e", "c", "b"}));
  Historie(f, {"d", ""});
  EXPECT_EQ(Texte(f->Historie()), (std::vector<std::string>{"d", "g", "f", "e", "c", "b"}));
  // Leaving the text box stores and selects the whole text.
  f->SetText("Meier");
  f->TextExit(f->GetFenster());
  EXPECT_EQ(f->Historie()[0], "Meier");
  EXPECT_EQ(f->GetFenster()->SelStart(), 0);
  EXPECT_EQ(f->GetFenster()->SelLength(), 5);

  // Through the real focus: the text box loses it to the table.
  ShowAndActivate(&t.form);
  f->Focus();
  ASSERT_TRUE(f->GetFenster()->Focused());
  f->SetText("Schulz");
  t.tabelle->SetFocus();
  ASSERT_TRUE(t.tabelle->Focused());
  EXPECT_EQ(f->Historie()[0], "Schulz");
  EXPECT_EQ(f->Historie().Count(), 6);
}

TEST(Suchfeld, TextAusgabeShortensLongNamesWithDots) {
  Feld t;
  TSuchfeld* f = t.feld;
  TCanvas c;
  c.Font = f->SpaltenLabel()->Font();

  f->Text_Ausgabe("Ort");
  EXPECT_EQ(f->SpaltenLabel()->Caption(), "Ort");

  const std::string lang = "Bestellnummer Kunde";  // 19 characters, far wider than the label
  ASSERT_GE(c.TextWidth(lang), 69);
  f->Text_Ausgabe(lang);
  const std::string s = f->SpaltenLabel()->Caption();
  ASSERT_GT(s.size(), 3u);
  EXPECT_EQ(s.substr(s.size() - 3), "...");
  EXPECT_LT(c.TextWidth(s), 69) << s;
  const std::string kopf = s.substr(0, s.size() - 3);
  EXPECT_EQ(lang.substr(0, kopf.size()), kopf);
  // No more was cut than needed: one character more would not fit.
  EXPECT_GE(c.TextWidth(lang.substr(0, kopf.size() + 1) + "..."), 69) << s;

  // Never below four characters and the dots, however wide they are.
  f->Text_Ausgabe(std::string(20, 'W'));
  EXPECT_EQ(f->SpaltenLabel()->Caption(), "WWWW...");
  EXPECT_EQ(f->SpaltenLabel()->Font().Style & fsBold, fsBold);
}

TEST(Suchfeld, AttachingToASecondTargetDetachesTheFirst) {
  Feld t;
  TSuchfeld* f = t.feld;
  auto* zweite = new TControl(&t.form);
  f->Set_Suche(t.Ziel(), t.tabelle);
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smAnmelden, false}}));
  EXPECT_EQ(f->Ziel(), t.tabelle);

  // The same target again changes nothing.
  t.rufe.clear();
  f->Set_Suche(t.Ziel(), t.tabelle);
  EXPECT_TRUE(t.rufe.empty());

  // A pending search text goes to the history and the box is emptied.
  f->SetText("Meier");
  f->Set_Suche(t.Ziel(), zweite);
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smAbmelden, false}, {zweite, smAnmelden, false}}));
  EXPECT_EQ(f->GetText(), "");
  EXPECT_EQ(f->Historie()[0], "Meier");
  EXPECT_EQ(f->Ziel(), zweite);

  // A destroyed target is never called again, not even to detach it.
  delete zweite;
  t.rufe.clear();
  f->StartClick(f->StartKnopf());
  EXPECT_TRUE(t.rufe.empty());
  f->Set_Suche(t.Ziel(), t.tabelle);
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smAnmelden, false}}));

  // Detaching without a new target.
  t.rufe.clear();
  f->Set_Suche(nullptr, nullptr);
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smAbmelden, false}}));
  f->StartClick(f->StartKnopf());
  EXPECT_EQ(t.rufe.size(), 1u);
}

TEST(Suchfeld, NotFundSelectsTheUnmatchedRest) {
  Feld t;
  TSuchfeld* f = t.feld;
  TEdit* e = f->GetFenster();
  struct Case {
    int laenge, start, len;
  } cases[] = {{2, 2, 3}, {0, 0, 5}, {-1, 4, 1}, {5, 5, 0}, {9, 5, 0}};
  for (auto& c : cases) {
    f->SetText("Meier");
    e->SetSel(1, 1);
    f->NotFund(c.laenge);
    EXPECT_EQ(e->SelStart(), c.start) << c.laenge;
    EXPECT_EQ(e->SelLength(), c.len) << c.laenge;
  }
  f->SetText("");
  f->NotFund(-1);
  EXPECT_EQ(e->SelLength(), 0);
}

TEST(Suchfeld, TypingF3EnterAndStartTellTheTarget) {
  Feld t;
  TSuchfeld* f = t.feld;
  ShowAndActivate(&t.form);
  t.Anmelden();
  f->Focus();
  ASSERT_TRUE(f->GetFenster()->Focused());

  // Each typed character searches on its release, not from the current row.
  SendKey(f->GetFenster(), Qt::Key_M, "m");
  SendKey(f->GetFenster(), Qt::Key_Udiaeresis, "\xC3\xBC");
  EXPECT_EQ(f->GetText(), "m\xFC");
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smSuchen, false}, {t.tabelle, smSuchen, false}}));

  // A key that types nothing does not search; F3 searches on from the current row.
  t.rufe.clear();
  SendKey(f->GetFenster(), Qt::Key_Left);
  EXPECT_TRUE(t.rufe.empty());
  SendKey(f->GetFenster(), Qt::Key_F3);
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smSuchen, true}}));
  EXPECT_FALSE(f->GetVon());

  // Enter is not typed: the target acts on it and the whole text is selected.
  t.rufe.clear();
  f->GetFenster()->SetSel(2, 0);
  SendKey(f->GetFenster(), Qt::Key_Return, "\r");
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smEnter, false}}));
  EXPECT_EQ(f->GetText(), "m\xFC");
  EXPECT_EQ(f->GetFenster()->SelStart(), 0);
  EXPECT_EQ(f->GetFenster()->SelLength(), 2);

  // Characters a table sends while it has the focus are typed but do not search here.
  t.rufe.clear();
  t.tabelle->SetFocus();
  f->GetFenster()->SetSelStart(0);
  f->GetFenster()->Perform(WM_CHAR, 'x');
  EXPECT_EQ(f->GetText(), "xm\xFC");
  int key = 'X';
  f->TasteUp(f->GetFenster(), key, 0);
  EXPECT_TRUE(t.rufe.empty());

  // The start button searches from the current row.
  Click(f->StartKnopf(), {11, 10});
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smSuchen, true}}));
  EXPECT_FALSE(f->GetVon());
}

TEST(Suchfeld, ColumnMenuChoosesTheSearchColumn) {
  Feld t;
  TSuchfeld* f = t.feld;
  t.Anmelden();
  f->Set_Spalten_Name("Ort", 2);
  f->Set_Spalten_Name("Name", 0);
  EXPECT_EQ(Texte(f->Spalten_Namen()), (std::vector<std::string>{"Name", "", "Ort"}));
  f->Set_Spalte(2);
  EXPECT_EQ(f->SpaltenLabel()->Caption(), "Ort");
  f->Set_Spalte(3);
  EXPECT_EQ(f->SpaltenLabel()->Caption(), "Ort");

  t.services.mouse.pos = {321, 123};
  t.services.menus.choose.push_back("Ort");
  Click(f->SpaltenKnopf(), {4, 10});
  ASSERT_EQ(t.services.menus.calls.size(), 1u);
  const auto& menu = t.services.menus.calls[0];
  EXPECT_EQ(menu.pos, (TPoint{321, 123}));
  ASSERT_EQ(menu.items.size(), 3u);
  EXPECT_EQ(menu.items[0].Caption, "Name");
  EXPECT_EQ(menu.items[2].Caption, "Ort");
  EXPECT_EQ(t.rufe, (std::vector<Ruf>{{t.tabelle, smSpalte + 2, false}}));

  // Closing the menu without a choice tells nobody anything.
  t.rufe.clear();
  f->Set_Spalte(0);
  Click(f->SpaltenKnopf(), {4, 10});
  EXPECT_TRUE(t.rufe.empty());
  EXPECT_EQ(f->SpaltenLabel()->Caption(), "Name");

  f->Set_Spalte(-1);
  EXPECT_EQ(f->SpaltenLabel()->Caption(), "");
  EXPECT_TRUE(f->Spalten_Namen().Empty());
}

TEST(Suchfeld, HistoryListOpensBelowOrAboveAndIsShared) {
  TTestServices services;
  TForm form;
  form.SetClientSize(400, 300);
  form.move(100, 100);
  auto* a = new Testfeld(&form);
  a->SetBounds(10, 10, 80, 25);
  auto* b = new Testfeld(&form);
  b->SetBounds(10, 200, 235, 25);
  ShowAndActivate(&form);
  EXPECT_EQ(TSuchfeld::Liste(), nullptr) << "created at first use";

  Historie(a, {"eins", "zwei", "drei"});
  a->Draw_Liste();
  TListWindow* l = TSuchfeld::Liste();
  ASSERT_NE(l, nullptr);
  ASSERT_TRUE(l->Visible());
  EXPECT_EQ(l->Items(), (std::vector<std::string>{"drei", "zwei", "eins"}));
  EXPECT_EQ(l->Owner, a);
  const int ih = l->ItemHeight();
  TPoint unten = a->ClientToScreen({0, 25});
  EXPECT_EQ(l->ScreenRect(), Bounds(unten.x, unten.y, 100, 3 * ih + 2)) << "at least 100 wide";

  // Ending exactly at the screen bottom is still below; one pixel less and, with room for
  // fewer than ten entries, it opens above the field.
  a->schirm.bottom = unten.y + 3 * ih + 2;
  a->Draw_Liste();
  EXPECT_EQ(l->ScreenRect().top, unten.y);
  a->schirm.bottom -= 1;
  a->Draw_Liste();
  TPoint oben = a->ClientToScreen({0, 0});
  EXPECT_EQ(l->ScreenRect(), Bounds(oben.x, oben.y - (3 * ih + 2), 100, 3 * ih + 2));

  // The other field takes the same window and fills it with its own history; an empty
  // history still shows one line.
  b->FensterClick(b->ListenKnopf());
  EXPECT_EQ(TSuchfeld::Liste(), l);
  EXPECT_EQ(l->Owner, b);
  EXPECT_TRUE(l->Items().empty());
  unten = b->ClientToScreen({0, 25});
  EXPECT_EQ(l->ScreenRect(), Bounds(unten.x, unten.y, 235, ih + 2));
  // Its history button closes it again.
  b->FensterClick(b->ListenKnopf());
  EXPECT_FALSE(l->Visible());

  // A changed history is filled in again on the next opening.
  a->FensterClick(a->ListenKnopf());
  EXPECT_EQ(l->Items().size(), 3u);
  Historie(a, {"vier"});
  a->FensterClick(a->ListenKnopf());
  EXPECT_FALSE(l->Visible());
  a->FensterClick(a->ListenKnopf());
  EXPECT_EQ(l->Items().front(), "vier");

  // The window goes with the last field, not before.
  delete a;
  EXPECT_EQ(TSuchfeld::Liste(), l);
  EXPECT_FALSE(l->Visible()) << "the owner's window closes with it";
  delete b;
  EXPECT_EQ(TSuchfeld::Liste(), nullptr);
}

TEST(Suchfeld, MouseWatchFollowsTakesAndCloses) {
  Feld t;
  TSuchfeld* f = t.feld;
  ShowAndActivate(&t.form);
  t.Anmelden();
  Historie(f, {"Meier", "Schulz", "Lehmann"});
  f->SetText("");
  f->Draw_Liste();
  TListWindow* l = TSuchfeld::Liste();
  ASSERT_TRUE(l && l->Visible() && l->MouseWatch);

  // Moving over the list selects the entry under the pointer.
  EXPECT_FALSE(l->MouseWatch(WM_MOUSEMOVE, ZeilePunkt(*l, 1)));
  EXPECT_EQ(l->ItemIndex(), 1);
  EXPECT_FALSE(l->MouseWatch(WM_MOUSEMOVE, ZeilePunkt(*l, 2)));
  EXPECT_EQ(l->ItemIndex(), 2);

  // A press in the field itself leaves it open (its button toggles it).
  EXPECT_FALSE(l->MouseWatch(WM_LBUTTONDOWN, f->ClientToScreen({120, 10})));
  EXPECT_TRUE(l->Visible());
  // A press outside closes it and is not swallowed.
  const TPoint draussen = t.form.ClientToScreen({390, 290});
  ASSERT_FALSE(l->ScreenRect().Contains(draussen));
  EXPECT_FALSE(l->MouseWatch(WM_LBUTTONDOWN, draussen));
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(f->GetText(), "");

  // A press on an entry takes it and closes the list; the press goes no further.
  f->Draw_Liste();
  EXPECT_TRUE(l->MouseWatch(WM_LBUTTONDOWN, ZeilePunkt(*l, 1)));
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(f->GetText(), "Schulz");
  EXPECT_TRUE(f->GetFenster()->Focused());
  EXPECT_TRUE(t.rufe.empty()) << "taking an entry does not search";

  // The same through real mouse input on the list window.
  f->Draw_Liste();
  const TPoint p = ZeilePunkt(*l, 0);
  QWidget* w = l->Widget();
  const QPoint local = w->mapFromGlobal(QPoint(p.x, p.y));
  SendMouse(w, QEvent::MouseMove, Qt::NoButton, {local.x(), local.y()}, Qt::NoButton);
  EXPECT_EQ(l->ItemIndex(), 0);
  SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {local.x(), local.y()});
  EXPECT_FALSE(l->Visible());
  EXPECT_EQ(f->GetText(), "Lehmann");

  // The start and column buttons close an open list.
  f->Draw_Liste();
  f->StartClick(f->StartKnopf());
  EXPECT_FALSE(l->Visible());
  f->Draw_Liste();
  f->SpalteClick(f->SpaltenKnopf());
  EXPECT_FALSE(l->Visible());
}

TEST(Suchfeld, ACallbackMayDestroyTheField) {
  TTestServices services;
  TForm form;
  QPointer<TSuchfeld> f = new TSuchfeld(&form);
  auto* ziel = new TControl(&form);
  f->Set_Suche([&](TControl*, int m) {
    if (m == smSuchen || m == smEnter) delete f.data();
  }, ziel);
  f->StartClick(nullptr);
  EXPECT_TRUE(f.isNull());

  f = new TSuchfeld(&form);
  f->Set_Suche([&](TControl*, int m) {
    if (m == smEnter) delete f.data();
  }, ziel);
  int key = VK_RETURN;
  f->TasteDown(nullptr, key, 0);
  EXPECT_TRUE(f.isNull());
  EXPECT_EQ(TSuchfeld::Liste(), nullptr);

  // A field that goes while its text box has the focus and its list is open.
  std::vector<int> modi;
  f = new TSuchfeld(&form);
  f->Set_Suche([&](TControl*, int m) { modi.push_back(m); }, ziel);
  ShowAndActivate(&form);
  f->Focus();
  ASSERT_TRUE(f->GetFenster()->Focused());
  f->SetText("offen");
  f->Draw_Liste();
  delete f.data();
  EXPECT_EQ(modi, std::vector<int>{smAnmelden});
  EXPECT_EQ(TSuchfeld::Liste(), nullptr);
}
