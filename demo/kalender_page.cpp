// Demo page of the duty-day calendar: a calendar in edit mode with its 45-byte entry list
// beside it, in hex and read as runs of days; buttons for the mode, the colours, the year block;
// below, a calendar in display mode that reads the same list as a host's list.
// The calendars send their messages to the active window, the demo's form, which does not pass
// them on; the page hears them through the calendars' OnNachricht, which follows each message.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "components/kalender/kalender.h"
#include "demo/demo_page.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace {

using demo::Knopf;

using namespace komp;

std::string Hex(uint8_t b) {
  char s[4];
  std::snprintf(s, sizeof s, "%02X", b);
  return s;
}

// "1  0A 03 02 05 02   KW 10   3.02. - 5.02." per entry, the end marker and empty places too.
std::string ListenText(const TEintragListe& l) {
  std::string out;
  bool ende = false;
  for (int e = 0; e < kMaxEintraege; ++e) {
    const uint8_t* b = l.data() + e * kEintragGroesse;
    std::string z = std::to_string(e + 1) + "  ";
    for (int i = 0; i < kEintragGroesse; ++i) z += Hex(b[i]) + " ";
    if (!ende && b[0] == 0) {
      ende = true;
      z += "  Ende der Liste";
    } else if (!ende) {
      char s[64];
      std::snprintf(s, sizeof s, "  KW %2d%s %2d.%02d. - %2d.%02d.", b[0] & 0x3F,
                    (b[0] & kBitFolgejahr) ? "+" : (b[0] & kBitVorjahr) ? "-" : " ", b[1], b[2], b[3], b[4]);
      z += s;
    }
    out += z + "\n";
  }
  return out;
}

const bool registered = demo::RegisterDemoPage("Kalender", 70, [](QWidget* page) {
  auto* kal = new TKalender(page);
  kal->SetBounds(10, 10, TKalender::kBreite, TKalender::kHoehe);

  auto* titel = new TLabel(page);
  titel->SetBounds(210, 10, 520, 18);
  titel->SetCaption("Eintragsliste (45 Bytes: Woche, erster Tag, Monat, letzter Tag, Monat)");
  auto* bytes = new TLabel(page);
  bytes->SetBounds(210, 30, 520, 9 * 17 + 6);
  bytes->Border = TStaticBorder::Sunken;
  bytes->SetColor(clWindow);
  TFont f = bytes->Font();
  f.Name = "Courier New";
  f.Size = 10;
  bytes->SetFont(f);

  auto* status = new TLabel(page);
  status->SetBounds(210, 240, 520, 18);
  status->SetCaption("Nachrichten des Kalenders erscheinen hier.");
  auto* hilfe = new TLabel(page);
  hilfe->SetBounds(210, 265, 520, 140);
  hilfe->SetCaption(
      "Oben: Bearbeiten. Ein Klick auf einen Tag markiert ihn oder nimmt die\n"
      "Markierung weg, ein Klick auf die Wochennummer markiert die ganze Woche.\n"
      "Ein Klick auf den Monatsnamen \xF6" "ffnet die Monatsliste; < und > bl\xE4ttern.\n"
      "Eintr\xE4ge tragen kein Jahr: mit Eintr\xE4gen bleibt das Jahr gesperrt.\n\n"
      "Links: Anzeige im Farbmodus 2 mit der Liste als Liste des Gastgebers, nach\n"
      "jeder \xC4nderung oben neu gelesen. Ein Klick auf einen Tag meldet sein Datum,\n"
      "die rechte Maustaste ebenso, mit dem Kennzeichen 1.");

  auto zeigen = [kal, bytes] { bytes->SetCaption(ListenText(kal->Get_Daten())); };
  auto melden = [status](uint32_t msg, intptr_t w, intptr_t l) {
    if (msg == WM_APP + kNachrichtMarker) {
      status->SetCaption("Nachricht +401: Markierungen ge\xE4ndert");
    } else if (w == 0) {
      status->SetCaption("Nachricht +400 mit 0, 0: der Klick h\xE4tte das Jahr verlassen");
    } else {
      int j = 0, m = 0, t = 0;
      DecodeDate(TDateTime(w), j, m, t);
      char s[96];
      std::snprintf(s, sizeof s, "Nachricht +400: Tag %ld = %02d.%02d.%04d, %s Maustaste", long(w), t, m, j,
                    l ? "rechte" : "linke");
      status->SetCaption(s);
    }
  };

  // The host's copy of the list, read by the display calendar whenever it lays out a month.
  auto* gast = new TEintragListe{};
  QObject::connect(page, &QObject::destroyed, [gast] { delete gast; });
  auto* anzeige = new TKalender(page);
  anzeige->SetBounds(10, 240, TKalender::kBreite, TKalender::kHoehe);
  anzeige->Setze_Modus(false);
  anzeige->Setze_Farbmodus(2);
  anzeige->OnNachricht = [melden](TObject*, uint32_t msg, intptr_t w, intptr_t l) { melden(msg, w, l); };

  // The edit calendar's list goes to the host's copy, and the display calendar reads it anew.
  auto weiter = [zeigen, kal, anzeige, gast] {
    zeigen();
    *gast = kal->Get_Daten();
    int j = 0, m = 0, t = 0;
    DecodeDate(anzeige->Get_Datum(), j, m, t);
    anzeige->Init(uint16_t(anzeige->Get_Jahr()), uint16_t(anzeige->Get_Monat()), t, nullptr);
  };
  kal->OnNachricht = [weiter, melden](TObject*, uint32_t msg, intptr_t w, intptr_t l) {
    if (msg == WM_APP + kNachrichtMarker) weiter();
    melden(msg, w, l);
  };

  int j = 0, m = 0, t = 0;
  DecodeDate(Now(), j, m, t);
  kal->Init(uint16_t(j), uint16_t(m), t, nullptr);
  // A few duty days to start with: rows 2 and 4 always lie inside the month.
  const TKalenderModel& mo = kal->Model();
  const uint8_t start[15] = {uint8_t(mo.Woche(1)), uint8_t(mo.Tag(9)),  uint8_t(m), uint8_t(mo.Tag(11)), uint8_t(m),
                             uint8_t(mo.Woche(3)), uint8_t(mo.Tag(21)), uint8_t(m), uint8_t(mo.Tag(22)), uint8_t(m),
                             uint8_t(mo.Woche(3)), uint8_t(mo.Tag(26)), uint8_t(m), uint8_t(mo.Tag(26)), uint8_t(m)};
  TEintragListe liste{};
  std::copy(std::begin(start), std::end(start), liste.begin());
  kal->Setze_Daten(liste.data());
  zeigen();
  *gast = liste;
  anzeige->Init(uint16_t(j), uint16_t(m), t, gast->data());

  const int y = 200;
  auto* modus = Knopf(page, 10, y, 120, "Anzeigemodus");
  modus->OnClick = [kal, modus](TObject*) {
    const bool edit = !kal->Model().Edit();
    kal->Setze_Modus(edit);
    modus->Caption = edit ? "Anzeigemodus" : "Bearbeiten";
    modus->Invalidate();
  };
  auto* farbe = Knopf(page, 135, y, 120, "Farbmodus 2");
  farbe->OnClick = [kal, farbe](TObject*) {
    const bool eins = farbe->Caption == "Farbmodus 1";
    kal->Setze_Farbmodus(eins ? 1 : 2);
    farbe->Caption = eins ? "Farbmodus 2" : "Farbmodus 1";
    farbe->Invalidate();
  };
  auto* block = Knopf(page, 260, y, 120, "Jahresblock an");
  block->OnClick = [kal, block](TObject*) {
    const bool an = !kal->Model().JahresBlock();
    kal->Setze_JahresBlock(an);
    block->Caption = an ? "Jahresblock aus" : "Jahresblock an";
    block->Invalidate();
  };
  Knopf(page, 385, y, 120, "Eintr\xE4ge l\xF6schen")->OnClick = [kal, weiter](TObject*) {
    kal->Del_Eintraege();
    weiter();
  };
  Knopf(page, 510, y, 120, "Heute zeigen")->OnClick = [kal, anzeige](TObject*) {
    kal->Setze_Datum(Now());
    anzeige->Setze_Datum(Now());
  };
});

}  // namespace
