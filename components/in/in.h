// TIn: a captioned single-line input drawn by the control itself: a bold caption on the left,
// a white edit box with a sunken two-line frame, its own caret, selection, horizontal
// scrolling, clipboard commands and the edit context menu. Numeric filter, length limit,
// password display, a default shown in braces while empty, and a change event either on
// leaving the field or on every change (EinzelChange).
//
// The editing state lives in TInModel (inmodel.h); this class turns messages into model
// operations and draws the model.
#pragma once
#include <algorithm>
#include <string>

#include "components/in/inmodel.h"
#include "framework/gui/controls.h"

namespace komp {

class TIn : public TCustomControl {
 public:
  explicit TIn(QWidget* owner);

  // Tab or Enter call this instead of moving the focus (Shift+Tab never does). Without it
  // they are left to the parent controls (they bubble, Origin = this field), and when no
  // parent takes them the focus moves on through the window's tab order.
  TNotifyEvent OnNextWindow;
  // Fired when the field is left after user edits, or on every change with EinzelChange.
  TNotifyEvent OnChange;

  const std::string& Text() const { return model_.Text(); }
  const std::string& FGetText() const { return model_.Text(); }
  // Replaces the text from code; never fires OnChange.
  void FSetText(const std::string& text);
  void SetText(const std::string& text) { FSetText(text); }

  const std::string& Default() const { return default_; }
  void FSetDefault(const std::string& value);
  void SetDefault(const std::string& value) { FSetDefault(value); }

  const std::string& Caption() const { return caption_; }
  void FSetCaption(const std::string& caption);
  void SetCaption(const std::string& caption) { FSetCaption(caption); }

  // The text, or the default while the text is empty.
  const std::string& Value() const { return FGetValue(); }
  const std::string& FGetValue() const;

  int CaptionWidth() const { return captionWidth_; }
  void FSetCaptionWidth(int width);
  void SetCaptionWidth(int width) { FSetCaptionWidth(width); }

  int CaptionSize() const { return captionSize_; }
  void FSetCaptionSize(int points);
  void SetCaptionSize(int points) { FSetCaptionSize(points); }

  bool Numeric() const { return model_.Numeric; }
  void SetNumeric(bool v) { model_.Numeric = v; }

  int MaxLength() const { return model_.MaxLength; }
  void FSetMax(int n);
  void SetMaxLength(int n) { FSetMax(n); }

  void FSetEnabled(bool v) { SetEnabled(v); }

  bool EinzelChange() const { return einzelChange_; }
  void SetEinzelChange(bool v) { einzelChange_ = v; }

  bool Passwort() const { return model_.Passwort; }
  void SetPasswort(bool v);

  // asDefault: the text becomes empty and the value the default; otherwise the value is the
  // text and the default empty. Not modified afterwards.
  void SetValue(const std::string& value, bool asDefault);
  // The selection, or the whole text, onto the clipboard; nothing for a password.
  void TextKopie();
  // Inserts the clipboard text at the cursor; returns the cursor position after it.
  int TextPaste(bool repaint);
  // Removes the selected characters; returns the selection start.
  int DelSelect();
  // Moves the cursor and caret, scrolling as needed.
  void SetCursor(int pos);

  void Paint() override;
  void Dispatch(TMessage& msg) override;

  // Left edge of the edit box in pixels: 0 until a caption or caption width is set, then the
  // caption width, kept 4 pixels inside the control.
  int CaptionX() const { return captionXSet_ ? std::max(0, std::min(captionWidth_, Width() - 4)) : 0; }
  const TInModel& Model() const { return model_; }

 protected:
  void EvSetFocus(TMessage& msg);
  void EvKillFocus(TMessage& msg);
  void EvKeyDown(TMessage& msg);
  void EvChar(TMessage& msg);
  void EvMouseMove(TMessage& msg);
  void EvLButtonDown(TMessage& msg);
  void EvLButtonUp(TMessage& msg);
  void EvRButtonUp(TMessage& msg);
  void EvLButtonDblClk(TMessage& msg);
  void EvEditCommand(TMessage& msg);
  void DefaultHandler(TMessage& msg) override;

 private:
  int TextWidth(std::string_view s);
  int TextTop();
  // After a user edit: cursor and caret placed, repainted, OnChange with EinzelChange.
  // False when the change handler freed the field.
  bool Changed();
  void NextWindow(TMessage& msg);
  bool InEditBox(int x, int y) const { return x > CaptionX() && y >= 0 && y < Height(); }

  TInModel model_;
  std::string default_;
  std::string caption_;
  int captionWidth_ = 40;
  int captionSize_ = 8;
  bool captionXSet_ = false;
  bool einzelChange_ = false;
  bool caretShown_ = false;
  bool mouseDown_ = false;
  int dragAnchor_ = -1;
  int dragStartX_ = 0;
  bool dragging_ = false;
};

namespace In {
// Puts TIn on the palette page "Beispiele".
void Register();
}  // namespace In

}  // namespace komp
