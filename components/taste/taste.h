// TTaste: a push button that draws itself: a flat face in its colour, a grey outline, a
// two-ring bevel shaded from the face colour, the centred caption and a focus rectangle.
// It clicks on a left button release, or on the release of Space or Enter.
#pragma once
#include <string>

#include "framework/gui/controls.h"

namespace komp {

class TTaste : public TCustomControl {
 public:
  explicit TTaste(QWidget* owner);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  // The framework's enabling, then a repaint (the caption turns grey).
  void SetEnabled(bool v) override;
  bool Pressed() const { return pressed_; }

  TNotifyEvent OnClick;

  void Paint() override;
  void Dispatch(TMessage& msg) override;

  // The bevel shades of a face component: light = c + (255 - c) / 4, dark = c - c / 3.
  static TColor Lighter(TColor c);
  static TColor Darker(TColor c);

 protected:
  void EvSetFocus(TMessage& msg);
  void EvKillFocus(TMessage& msg);
  void EvKeyUp(TMessage& msg);
  void EvChar(TMessage& msg);
  void EvLButtonDown(TMessage& msg);
  void EvLButtonUp(TMessage& msg);

 private:
  void Click();

  std::string caption_;
  bool pressed_ = false;
};

namespace Taste {
// Puts TTaste on the palette page "Beispiele".
void Register();
}  // namespace Taste

}  // namespace komp
