// The text caret: one per application, owned by one control, blinking, drawn by inversion
// over the owner's painting.
#pragma once
#include "framework/types.h"

class QPainter;

namespace komp {

class TControl;

void CreateCaret(TControl* owner, int width, int height);  // created hidden
void DestroyCaret();
void ShowCaret(TControl* owner);
void HideCaret(TControl* owner);
void SetCaretPos(int x, int y);

struct TCaretState {
  TControl* owner = nullptr;
  TRect rect;            // in the owner's coordinates
  bool visible = false;  // created and not hidden (whatever the blink phase)
};
TCaretState CaretState();

// Framework-internal: drawn after the owner's Paint; dropped when its owner goes.
void PaintCaret(TControl* control, QPainter& painter);
void DestroyCaretOf(TControl* control);

}  // namespace komp
