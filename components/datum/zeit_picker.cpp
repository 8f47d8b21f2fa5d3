// TZeit's choosers: the drop-down picker (month calendar; hour and minute sliders with their
// labels and an OK button) and the modal "Monatswahl" dialog of the range menu.
//
// The picker is built on first use and kept; each opening shows the parts the style needs,
// preset from the field. Escape and a click outside close it without a change.
#include <QPointer>
#include <string>

#include "components/datum/zeit.h"
#include "framework/gui/pickers.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace komp {

namespace {
constexpr int kRand = 4;          // inside the window's raised edge
constexpr int kSchieber = 232;    // width of a slider and its label
}  // namespace

struct TZeitPicker {
  TDropDownWindow* window = nullptr;
  TMonthCalendar* kalender = nullptr;
  TLabel* stundeText = nullptr;
  TTrackBar* stunde = nullptr;
  TLabel* minuteText = nullptr;
  TTrackBar* minute = nullptr;
  TButton* ok = nullptr;
};

void TZeit::PickerDelete::operator()(TZeitPicker* p) const { delete p; }

TControl* TZeit::PickerWindow() const {
  return picker_ && picker_->window->IsOpen() ? picker_->window : nullptr;
}

void TZeit::PickerGone() {
  if (!picker_) return;
  picker_->window->OnClose = nullptr;
  picker_->kalender->OnDayClick = nullptr;
  picker_->kalender->OnActivate = nullptr;
  picker_->stunde->OnChange = nullptr;
  picker_->minute->OnChange = nullptr;
  picker_->ok->OnClick = nullptr;
}

void TZeit::TasteClick() {
  if (PickerWindow()) return;
  if (!picker_) {
    std::unique_ptr<TZeitPicker, PickerDelete> p(new TZeitPicker);
    p->window = new TDropDownWindow(this);
    p->window->AutoSize = true;
    p->window->OnClose = [this](bool ok) { PickerClosed(ok); };
    p->kalender = new TMonthCalendar(p->window);
    p->kalender->OnDayClick = [this](TObject* s, TDateTime d) { KalClick(s, d); };
    // Enter on a day takes it, in every style (a date-only picker has no OK button for it).
    p->kalender->OnActivate = [this](TObject*, TDateTime) {
      if (picker_) picker_->window->Close(true);
    };
    auto bar = [&](TLabel*& text, TTrackBar*& slider, int max, int frequency, int order) {
      text = new TLabel(p->window);
      text->Alignment = TAlignment::Center;
      slider = new TTrackBar(p->window);
      slider->SetRange(0, max);
      slider->SetFrequency(frequency);
      slider->SetTabOrder(order);
      slider->OnChange = [this](TObject* s) { TrackBarChange(s); };
    };
    bar(p->stundeText, p->stunde, 23, 1, 1);
    bar(p->minuteText, p->minute, 59, 5, 2);
    p->ok = new TButton(p->window);
    p->ok->SetCaption("OK");
    p->ok->SetTabOrder(3);
    // Enter anywhere in the picker takes what it shows.
    p->ok->SetDefault(true);
    p->ok->OnClick = [this](TObject*) { picker_->window->Close(true); };
    picker_ = std::move(p);
  }
  TZeitPicker& p = *picker_;
  const bool datum = Style() != zaUhr, zeit = Style() != zaDatum;

  int c = 0;
  p.kalender->SetVisible(datum);
  if (datum) {
    p.kalender->SetBounds(kRand, kRand, p.kalender->Width(), p.kalender->Height());
    p.kalender->SetDate(model_.DateValid() ? GetDateValue() : Now());
    c = p.kalender->Width();
  }
  for (TControl* t : std::initializer_list<TControl*>{p.stundeText, p.stunde, p.minuteText, p.minute, p.ok})
    t->SetVisible(zeit);
  if (zeit) {
    const int x = kRand + c;
    p.stundeText->SetBounds(x, kRand + 1, kSchieber, 16);
    p.stunde->SetBounds(x, kRand + 17, kSchieber, p.stunde->Height());
    p.minuteText->SetBounds(x, kRand + 64, kSchieber, 16);
    p.minute->SetBounds(x, kRand + 80, kSchieber, p.minute->Height());
    p.ok->SetBounds(x + 112 - p.ok->Width() / 2, kRand + 131, p.ok->Width(), p.ok->Height());
    int h = model_.Stunde, m = model_.Minute;
    if (!model_.TimeSet()) {
      int s = 0, ms = 0;
      DecodeTime(Now(), h, m, s, ms);
    }
    p.stunde->SetPosition(h);
    p.minute->SetPosition(m);
    TrackBarChange(nullptr);
  }
  const TPoint at = ClientToScreen({0, 0});
  p.window->Popup(Bounds(at.x, at.y, Width(), Height()));
  // The focus may still sit on a part the last style showed and this one hides.
  if (TControl* first = FindNextControl(p.window, nullptr, true, true)) first->SetFocus();
}

void TZeit::TrackBarChange(TObject*) {
  if (!picker_) return;
  picker_->stundeText->SetCaption("Stunde=" + std::to_string(picker_->stunde->Position()));
  picker_->minuteText->SetCaption("Minute=" + std::to_string(picker_->minute->Position()));
}

void TZeit::KalClick(TObject*, TDateTime) {
  // With a time to choose too, the day waits for OK.
  if (Style() != zaBeides && picker_) picker_->window->Close(true);
}

void TZeit::PickerClosed(bool ok) {
  if (!ok || !picker_) return;
  const TZeitPicker& p = *picker_;
  if (Style() != zaUhr) {
    int y = 0, m = 0, d = 0;
    DecodeDate(p.kalender->Date(), y, m, d);
    model_.Jahr = uint16_t(y);
    model_.Monat = uint16_t(m);
    model_.Tag = uint16_t(d);
  }
  if (Style() != zaDatum) {
    model_.Stunde = int16_t(p.stunde->Position());
    model_.Minute = int16_t(p.minute->Position());
  }
  // Through SetValue the pair stays in order, as after any value set from outside.
  if (kombi_ && (Style() == zaUhr || model_.DateValid())) model_.SetValue(model_.GetValue());
  model_.Change = true;
  QPointer<TZeit> self(this);
  if (Focused() && Style() == zaBeides) {
    model_.SetPosition(8);
  } else if (!Focused()) {
    SetFocus();
    if (!self) return;
  }
  RestartBlink();
  Changed();
  Notify();
}

// ---------------------------------------------------------------- "Monatsauswahl"

void TZeit::Monats_Wahl(TObject*) {
  if (Style() == zaUhr) return;
  int month = 1, year = 1900;
  model_.MonatsVorgabe(Now(), month, year);

  auto* form = new TForm(this);
  QPointer<TForm> guard(form);
  form->SetCaption("Monatswahl");
  form->SetClientSize(222, 76);
  form->SetBorderStyle(TBorderStyle::Dialog);
  auto* monat = new TComboBox(form);
  TStringList namen;
  for (const char* n : kMonatsNamen) namen.Add(n);
  monat->SetItems(namen);
  monat->SetItemIndex(month - 1);
  monat->SetDropDownCount(12);
  monat->SetBounds(8, 10, 114, 22);
  monat->SetTabOrder(0);
  auto* jahr = new TSpinEdit(form);
  jahr->SetMinValue(1900);
  jahr->SetMaxValue(9999);
  jahr->SetValue(year);
  jahr->SetBounds(130, 10, 84, 22);
  jahr->SetTabOrder(1);
  auto* ok = new TButton(form);
  ok->SetCaption("OK");
  ok->ModalResult = mrOk;
  ok->SetDefault(true);
  ok->SetBounds(139, 43, 75, 25);
  ok->SetTabOrder(2);
  // Beside the field, as its picker would open.
  const TPoint at = ClientToScreen({0, 0});
  const TRect r = PlaceDropDown(Bounds(at.x, at.y, Width(), Height()), {222, 76}, MonitorWorkArea());
  form->SetBounds(r.left, r.top, 222, 76);

  QPointer<TZeit> self(this);
  const int result = form->ShowModal();
  if (!self || !guard) return;  // freed meanwhile, the dialog with the field
  const int m = monat->ItemIndex() + 1, y = jahr->Value();
  delete form;
  if (result == mrOk) Range(TZeitModel::Monatsauswahl(m, y), true);
}

}  // namespace komp
