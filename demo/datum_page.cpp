// Demo page of the date and time field: a from/to pair, a field of date and time, a time
// field, and a list of the OnChange events as they arrive, with the value and its text forms.
#include <QPlainTextEdit>
#include <cstdio>
#include <string>

#include "components/datum/zeit.h"
#include "demo/demo_page.h"
#include "framework/gui/memo.h"
#include "framework/gui/qtbridge.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace {

using namespace komp;

// The value an event carries, in the field's own German form.
std::string Wert(TZeitStyle style, TDateTime v) {
  if (v == -1) return "leer";
  char buf[40];
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(v, y, mo, d);
  // A time without a date comes as -1 plus the time of day.
  DecodeTime(v < 0 ? v + 1 : v, h, mi, s, ms);
  if (style == zaDatum) std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, mo, y);
  else if (style == zaUhr) std::snprintf(buf, sizeof buf, "%02d:%02d", h, mi);
  else if (v < 0) std::snprintf(buf, sizeof buf, "ohne Datum, %02d:%02d", h, mi);
  else std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d", d, mo, y, h, mi);
  return buf;
}

TLabel* Text(QWidget* page, int left, int top, int width, const std::string& caption) {
  auto* l = new TLabel(page);
  l->SetBounds(left, top, width, 18);
  l->SetCaption(caption);
  return l;
}

const bool registered = demo::RegisterDemoPage("Datum und Zeit", 110, [](QWidget* page) {
  Text(page, 10, 10, 720, "Zeitraum: \"Vom\" und \"Bis\" sind gekoppelt; das Kontextmen\xFC bietet ganze Monate und Jahre.");
  auto* vom = new TZeit(page);
  vom->SetCaption("Vom");
  vom->SetLeft(10);
  vom->SetTop(32);
  vom->SetVon(true);
  vom->SetTabOrder(0);
  auto* bis = new TZeit(page);
  bis->SetCaption("Bis");
  bis->SetLeft(vom->Left() + vom->Width() + 16);
  bis->SetTop(32);
  bis->SetTabOrder(1);
  vom->SetPartner(bis);
  bis->SetPartner(vom);

  Text(page, 10, 72, 720, "Datum und Uhrzeit, und eine Uhrzeit allein:");
  auto* termin = new TZeit(page);
  termin->SetStyle(zaBeides);
  termin->SetCaption("Termin");
  termin->SetLeft(10);
  termin->SetTop(94);
  termin->SetTabOrder(2);
  auto* uhr = new TZeit(page);
  uhr->SetStyle(zaUhr);
  uhr->SetCaption("Uhrzeit");
  uhr->SetLeft(termin->Left() + termin->Width() + 16);
  uhr->SetTop(94);
  uhr->SetTabOrder(3);

  Text(page, 10, 134, 720,
       "Ziffern tippen; Pfeil auf und ab und das Mausrad z\xE4hlen, die Leertaste springt zwischen Datum und Uhrzeit,");
  Text(page, 10, 152, 720,
       "der Knopf \xF6" "ffnet Kalender und Schieber, die rechte Maustaste: Jetzt, Kopieren, Einf\xFCgen.");

  Text(page, 10, 182, 300, "Ereignisse (OnChange):");
  auto* liste = new TMemo(page);
  liste->SetBounds(10, 202, 720, 200);
  liste->SetReadOnly(true);
  liste->SetTabOrder(4);
  liste->Editor()->setFont(TCanvas::ToQFont(TFont{"Courier New", 9}, 96));

  struct Feld {
    TZeit* zeit;
    const char* name;
  };
  for (Feld f : {Feld{vom, "Vom"}, Feld{bis, "Bis"}, Feld{termin, "Termin"}, Feld{uhr, "Uhrzeit"}}) {
    f.zeit->OnChange = [liste, f](TObject*, TDateTime v) {
      char head[16];
      std::snprintf(head, sizeof head, "%-8s", f.name);
      liste->Editor()->appendPlainText(ToQString(head + Wert(f.zeit->Style(), v) + "   GetAnsi " + f.zeit->GetAnsi()));
    };
  }

  // Start with this month as the range and now as the appointment, as if chosen from the menus.
  vom->Dieser_Monat(nullptr);
  termin->FensterClick(termin);
});

}  // namespace
