// TZeit: a single-line field for a date, a time of day or both, in fixed masks
// ("__.__.____", "__:__") of a monospaced font, edited digit by digit under a blinking block
// cursor; a drop-down picker (month calendar, hour and minute sliders), a context menu with
// "Jetzt", "Kopieren", "Einfügen" and, for a from/to pair, whole months and years; OnChange
// delayed while the user types.
//
// The digits, the cursor, validity, values, texts, the pair and the layout numbers live in
// TZeitModel (zeitmodel.h); this class turns messages into model operations and draws it.
//
// Index
//   properties · values and texts · menu actions · picker · message handlers · painting
#pragma once
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/datum/zeitmodel.h"
#include "framework/gui/controls.h"
#include "framework/gui/graphics.h"

namespace komp {

class TPopupMenu;
class TTimer;
struct TZeitPicker;

using TZeitEvent = std::function<void(TObject* Sender, TDateTime Value)>;

class TZeit : public TCustomControl {
 public:
  explicit TZeit(QWidget* owner);
  ~TZeit() override;

  // --- properties ------------------------------------------------------------------------------
  TZeitStyle Style() const { return model_.Style(); }
  void SetStyle(TZeitStyle s);
  // Called when the value changes: at once for the picker and the menu, delayed while typing.
  TZeitEvent OnChange;
  // If set, Enter calls it instead of moving the focus. Tab, and Enter without it, are left
  // to the parent controls (they bubble, Origin = this field); when no parent takes them the
  // focus moves on through the parent's tab order.
  TNotifyEvent OnNextWindow;
  bool Change() const { return model_.Change; }
  void SetChangeFlag(bool v) { model_.Change = v; }
  bool NullZeit() const { return model_.NullZeit; }
  void SetNullZeit(bool v) { model_.NullZeit = v; }
  bool TextFormat() const { return model_.TextFormat; }
  void SetTextFormat(bool v) { model_.TextFormat = v; }
  // zaBeides: the time before the date.
  bool Zeit_Datum() const { return model_.Zeit_Datum; }
  void SetChange(bool zeitDatum);
  bool Von() const { return model_.Von; }
  void SetVon(bool v) { model_.Von = v; }
  TZeit* Kombi() const { return kombi_; }
  // One way: a pair calls it on both fields, and sets Von on the "from" field.
  void SetPartner(TZeit* partner);
  int FontSize() const { return fontSize_; }
  void SetSize(int points);  // below 8: ignored
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TColor TitelColor() const { return titelColor_; }
  void SetTitelColor(TColor c);

  // --- values and texts --------------------------------------------------------------------
  TDateTime GetValue() const { return model_.GetValue(); }
  TDateTime GetDateValue() const { return model_.GetDateValue(); }
  TDateTime GetTimeValue() const { return model_.GetTimeValue(); }
  void SetValue(TDateTime v);
  std::string GetAnsi() const { return model_.GetAnsi(); }
  void SetAnsi(const std::string& text);
  std::string GetTimeAnsi() const { return model_.GetTimeAnsi(); }
  std::string GetDateAnsi(int offsetDays = 0) const { return model_.GetDateAnsi(offsetDays); }
  // Mode 1 accepts an incomplete date, mode 2 leaves the cursor where it is.
  bool Test(int mode);
  void Minuten(int n);

  // --- menu actions (Sender null: called by code) --------------------------------------------
  void FensterClick(TObject* Sender);  // "Jetzt"; OnChange only with a sender
  void Dieser_Monat(TObject* Sender);
  void Letzter_Monat(TObject* Sender);
  void Monats_Wahl(TObject* Sender);
  void Dieses_Jahr(TObject* Sender);
  void Letztes_Jahr(TObject* Sender);
  void Kopie(TObject* Sender);
  void Paste(TObject* Sender);
  // Greys what cannot act now; runs before the menu opens.
  void KontextPopup(TObject* Sender);
  TPopupMenu* PopupMenu() const { return menu_; }
  // What "Einfügen" would take: a "TDateTime" from the clipboard, or a text in the shown form.
  std::optional<TDateTime> ClipboardValue() const;

  // --- picker --------------------------------------------------------------------------------
  // Opens the drop-down below (or above) the field.
  void TasteClick();
  // The open picker's window, or null.
  TControl* PickerWindow() const;

  // --- message handlers ----------------------------------------------------------------------
  void Dispatch(TMessage& msg) override;
  void EvActivate(TMessage& msg);
  void KillFocus(TMessage& msg);
  void TastePress(TMessage& msg);
  void OnClick(TMessage& msg);
  void MouseWheelHandler(TMessage& msg);
  // The change timer fired.
  void OnTimer(TObject* Sender);

  // --- painting ------------------------------------------------------------------------------
  void Paint() override;
  const TZeitLayout& Layout() const { return layout_; }
  bool Blinkphase() const { return blink_; }
  bool KnopfGedrueckt() const { return pressed_; }

  // The editing state. Whoever writes its fields directly calls Invalidate.
  TZeitModel& Model() { return model_; }
  const TZeitModel& Model() const { return model_; }

 protected:
  void DefaultHandler(TMessage& msg) override;

 private:
  friend struct TZeitPicker;
  void Blinken();
  void Intervall(TObject* Sender);
  void RestartBlink();
  void Changing();
  void Notify();
  // After a value change that may have moved the partner: both repaint.
  void Changed();
  void Range(const std::optional<TZeitRange>& r, bool keepTime);
  void BuildBackground();
  void PickerClosed(bool ok);
  // The picker's window goes with the field; it must not call back into what is left of it.
  void PickerGone();
  void KalClick(TObject* Sender, TDateTime Date);
  void TrackBarChange(TObject* Sender);
  bool InKnopf(int x) const { return x >= layout_.KnopfX && x < Width() - 4; }

  TZeitModel model_;
  TZeitLayout layout_;
  QPointer<TZeit> kombi_;
  // Fields that named this one their partner, so that they forget it when it goes.
  std::vector<QPointer<TZeit>> partnerOf_;
  std::string caption_;
  int fontSize_ = 10;
  TColor titelColor_ = clBtnFace;
  TBitmap background_;
  TPopupMenu* menu_ = nullptr;
  TTimer* blinkTimer_ = nullptr;
  TTimer* changeTimer_ = nullptr;
  // Gives the focus back after "Wiederholen", once the move away from the field is over.
  TTimer* retryTimer_ = nullptr;
  struct PickerDelete {
    void operator()(TZeitPicker* p) const;
  };
  std::unique_ptr<TZeitPicker, PickerDelete> picker_;
  bool focused_ = false;
  bool blink_ = false;
  bool pressed_ = false;
  // The focus came with a mouse press; the press decides where the cursor goes.
  bool mouseFocus_ = false;
  // Retry after "Kein gültiges Datum!": the cursor stays on the failing digit.
  bool keepPosition_ = false;
};

namespace Datum {
// Puts TZeit on the palette page "Beispiele".
void Register();
}  // namespace Datum

}  // namespace komp
