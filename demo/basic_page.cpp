// Demo page of the basic controls: input fields of every kind and push buttons, with a line
// that tells which event came last.
#include <string>

#include "components/in/in.h"
#include "components/taste/taste.h"
#include "demo/demo_page.h"
#include "framework/gui/stdctrls.h"

namespace {

using namespace komp;

TIn* Field(QWidget* page, int top, const std::string& caption, int tabOrder) {
  auto* f = new TIn(page);
  f->SetBounds(10, top, 360, 21);
  f->FSetCaption(caption);
  f->FSetCaptionWidth(110);
  f->SetTabOrder(tabOrder);
  return f;
}

const bool registered = demo::RegisterDemoPage("Eingabe und Tasten", 10, [](QWidget* page) {
  auto* status = new TLabel(page);
  status->SetBounds(10, 250, 600, 20);
  status->SetCaption("Ereignisse erscheinen hier.");
  int* count = new int(0);
  QObject::connect(status, &QObject::destroyed, [count] { delete count; });
  auto tell = [status, count](const std::string& what) {
    status->SetCaption(std::to_string(++*count) + ": " + what);
  };

  TIn* plain = Field(page, 10, "Name", 0);
  plain->OnChange = [tell, plain](TObject*) { tell("OnChange Name = \"" + plain->Text() + "\""); };

  TIn* number = Field(page, 40, "Zahl (max. 8)", 1);
  number->SetNumeric(true);
  number->FSetMax(8);
  number->OnChange = [tell, number](TObject*) { tell("OnChange Zahl = " + number->Text()); };

  TIn* secret = Field(page, 70, "Passwort", 2);
  secret->SetPasswort(true);
  secret->OnChange = [tell, secret](TObject*) {
    tell("OnChange Passwort, " + std::to_string(secret->Text().size()) + " Zeichen");
  };

  TIn* exportName = Field(page, 100, "Export Name", 3);
  exportName->FSetDefault("Export.txt");
  exportName->OnChange = [tell, exportName](TObject*) { tell("OnChange Export Name, Value = " + exportName->Value()); };

  TIn* single = Field(page, 130, "EinzelChange", 4);
  single->SetEinzelChange(true);
  single->OnChange = [tell, single](TObject*) { tell("OnChange (einzeln) = \"" + single->Text() + "\""); };
  single->OnNextWindow = [tell, plain](TObject*) {
    tell("OnNextWindow: weiter zu Name");
    plain->SetFocus(FOCUS_KEYBOARD);
  };

  TIn* locked = Field(page, 160, "Gesperrt", 5);
  locked->FSetText("nicht \xE4nderbar");
  locked->FSetEnabled(false);

  auto* ok = new TTaste(page);
  ok->SetBounds(10, 200, 100, 21);
  ok->SetCaption("OK");
  ok->SetTabOrder(6);
  ok->OnClick = [tell](TObject*) { tell("OnClick OK"); };

  auto* toggle = new TTaste(page);
  toggle->SetBounds(120, 200, 120, 21);
  toggle->SetCaption("Feld freigeben");
  toggle->SetTabOrder(7);
  toggle->OnClick = [tell, toggle, locked](TObject*) {
    locked->FSetEnabled(!locked->Enabled());
    toggle->SetCaption(locked->Enabled() ? "Feld sperren" : "Feld freigeben");
    tell(locked->Enabled() ? "Feld freigegeben" : "Feld gesperrt");
  };

  auto* silver = new TTaste(page);
  silver->SetBounds(250, 200, 100, 21);
  silver->SetColor(FromRGBHex(0xC0C0C0));
  silver->SetCaption("Silber");
  silver->SetTabOrder(8);
  silver->OnClick = [tell](TObject*) { tell("OnClick Silber"); };

  auto* blue = new TTaste(page);
  blue->SetBounds(360, 200, 100, 21);
  blue->SetColor(FromRGBHex(0xA0C0E0));
  blue->SetCaption("Farbig");
  blue->SetTabOrder(9);
  blue->OnClick = [tell, plain](TObject*) {
    plain->SetValue("vorgegeben", true);
    tell("OnClick Farbig: Name zeigt {vorgegeben}");
  };
});

}  // namespace
