// Controls of the date and time picker and of small dialogs, on Qt's widgets, in German.
//
//   PlaceDropDown    where a drop-down window goes: below its owner, or above, on the screen
//   TDropDownWindow  borderless popup holding controls; a click outside or Escape closes it
//   TWrappedControl  base of the controls below: one Qt widget filling the control
//   TMonthCalendar   QCalendarWidget: German names, Monday first, ISO weeks, grid lines
//   TTrackBar        horizontal QSlider, ticks below, keys as on the classic track bar
//   TComboBox        QComboBox as a drop-down list without free text
//   TSpinEdit        QSpinBox without thousands separators
//   TButton          QPushButton; Default takes Enter in its window, ModalResult ends a modal form
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "framework/datetime.h"
#include "framework/gui/controls.h"
#include "framework/stringlist.h"

class QCalendarWidget;
class QComboBox;
class QPushButton;
class QSlider;
class QSpinBox;

namespace komp {

// The screen rectangle of a drop-down window of `size` for an owner at `anchor` (both in
// screen coordinates): below the anchor's left edge; moved left to end at the work area's
// right edge when it would leave it there; above the anchor when it would leave the work area
// at the bottom. Never left of or above the work area.
TRect PlaceDropDown(const TRect& anchor, TSize size, const TRect& workArea);

// A popup window owned by a control (freed with it), holding controls the caller places on it.
// Popup shows it without blocking; it closes on Close, on Escape anywhere in it, and on a
// mouse press outside it (the press is consumed, so it does not also reach what it hit).
class TDropDownWindow : public TCustomControl {
 public:
  explicit TDropDownWindow(TControl* owner);
  ~TDropDownWindow() override;
  // On Popup, size the window to its visible children with the margin they keep at the
  // left and top on the right and bottom too; otherwise the caller's size stays.
  bool AutoSize = false;
  // Shows it at PlaceDropDown of `anchor` (the owner's rectangle on the screen) on the work
  // area of the anchor's screen, with the focus on its first tab stop. While it is open
  // another Popup only moves it.
  void Popup(const TRect& anchor);
  void Close(bool ok);
  bool IsOpen() const { return open_; }
  // Called once for each Popup when it closes: ok only through Close(true). May free the window.
  std::function<void(bool ok)> OnClose;
  void Paint() override;

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void Finish(bool ok);
  void FitChildren();
  bool open_ = false;
  std::unique_ptr<QObject> escape_;
};

// A control filled by one Qt widget, which takes its focus and its font. Tab and Shift+Tab
// in the widget walk the framework's tab order as in any control.
class TWrappedControl : public TControl {
 public:
  ~TWrappedControl() override;
  void Dispatch(TMessage& msg) override;

 protected:
  TWrappedControl(QWidget* owner, QWidget* inner);
  QWidget* Inner() const { return inner_; }

 private:
  QWidget* inner_;
};

class TMonthCalendar : public TWrappedControl {
 public:
  explicit TMonthCalendar(QWidget* owner);
  // The selected day (no time of day); SetDate shows its month. Years 1 to 9999.
  TDateTime Date() const;
  void SetDate(TDateTime date);
  // The person clicked a day of the grid (not the month and year bar above it).
  std::function<void(TObject* Sender, TDateTime Date)> OnDayClick;
  // Enter on the selected day, or a double click on one: the person takes that day.
  std::function<void(TObject* Sender, TDateTime Date)> OnActivate;
  QCalendarWidget* Calendar() const;
};

class TTrackBar : public TWrappedControl {
 public:
  explicit TTrackBar(QWidget* owner);
  int Min() const;
  int Max() const;
  int Position() const;
  int Frequency() const { return frequency_; }
  void SetRange(int min, int max);  // max below min is min
  void SetMin(int min);
  void SetMax(int max);
  // Clamped into Min..Max.
  void SetPosition(int position);
  // A tick every `frequency` positions below the bar; 0 shows none.
  void SetFrequency(int frequency);
  // The steps of the arrow keys and of Page Up / Page Down and of a click beside the thumb.
  int LineSize() const { return lineSize_; }
  int PageSize() const { return pageSize_; }
  void SetLineSize(int n);
  void SetPageSize(int n);
  // Every change of Position, by the person or by code.
  TNotifyEvent OnChange;
  QSlider* Slider() const;

 private:
  int frequency_ = 1;
  int lineSize_ = 1;
  int pageSize_ = 2;
};

class TComboBox : public TWrappedControl {
 public:
  explicit TComboBox(QWidget* owner);
  const TStringList& Items() const { return items_; }
  // Replaces the list; nothing is selected then.
  void SetItems(const TStringList& items);
  int ItemIndex() const;
  // -1 or an index out of range selects nothing; OnChange is not called.
  void SetItemIndex(int index);
  // The selected item's text, or empty.
  std::string Text() const;
  std::string WindowText() const override { return Text(); }
  // How many items the open list shows before it scrolls.
  void SetDropDownCount(int n);
  // The person chose another item, from the list or with the keys.
  TNotifyEvent OnChange;
  QComboBox* Combo() const;

 private:
  TStringList items_;
};

class TSpinEdit : public TWrappedControl {
 public:
  explicit TSpinEdit(QWidget* owner);
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  // Both 0: no limits but those of int.
  void SetMinValue(int v);
  void SetMaxValue(int v);
  int Value() const;
  // Clamped into the limits.
  void SetValue(int v);
  void SetIncrement(int n);
  std::string WindowText() const override;
  // Every change of Value, by the person (also while typing) or by code.
  TNotifyEvent OnChange;
  QSpinBox* SpinBox() const;

 private:
  void ApplyRange();
  int min_ = 0, max_ = 0;
};

class TButton : public TWrappedControl {
 public:
  explicit TButton(QWidget* owner);
  ~TButton() override;
  const std::string& Caption() const { return caption_; }
  // "&" marks the accelerator letter, "&&" is an ampersand.
  void SetCaption(const std::string& caption);
  std::string WindowText() const override { return caption_; }
  // The default button clicks on Enter anywhere in its window (a focused button or a
  // multi-line editor keeps its Enter).
  bool Default() const { return default_ != nullptr; }
  void SetDefault(bool on);
  // Not mrNone: a click sets it as the ModalResult of the button's form, before OnClick.
  int ModalResult = mrNone;
  TNotifyEvent OnClick;
  // Sets the form's ModalResult and calls OnClick, as a click does; from code also while disabled.
  void Click();
  QPushButton* Button() const;

 private:
  std::string caption_;
  std::unique_ptr<QObject> default_;
};

}  // namespace komp
