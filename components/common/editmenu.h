// The edit context menu that the input field and the icon table share: "Ausschneiden",
// "Kopieren", "Einfügen", "Löschen" and, when the caller allows it, "Zeilenumbruch".
#pragma once
#include <cstdint>

#include "framework/types.h"

namespace komp {

class TControl;

// Bits of the items a caller allows, in menu order.
enum : int { emCut = 1, emCopy = 2, emPaste = 4, emClear = 8, emZeilenumbruch = 16 };

// Shows the menu at the mouse position and sends the chosen item to `caller` as WM_CUT,
// WM_COPY, WM_PASTE or WM_CLEAR ("Zeilenumbruch": WM_PASTE with WParam 1). The first four items
// are always listed, greyed when not allowed; "Einfügen" is greyed too while the clipboard holds
// no text. Returns the message sent, or 0 when the menu closed without a choice.
uint32_t ShowEditMenu(TControl* caller, int allowed);

}  // namespace komp
