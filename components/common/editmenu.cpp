#include "components/common/editmenu.h"

#include <string>
#include <vector>

#include "framework/gui/controls.h"
#include "framework/gui/services.h"

namespace komp {

uint32_t ShowEditMenu(TControl* caller, int allowed) {
  if (!caller || !Services().PopupMenus) return 0;
  struct Entry {
    const char* caption;
    int bit;
    uint32_t msg;
    intptr_t wparam;
  };
  static const Entry entries[] = {
      {"Ausschneiden", emCut, WM_CUT, 0},
      {"Kopieren", emCopy, WM_COPY, 0},
      {"Einf\xFC" "gen", emPaste, WM_PASTE, 0},
      {"L\xF6" "schen", emClear, WM_CLEAR, 0},
      {"Zeilenumbruch", emZeilenumbruch, WM_PASTE, 1},
  };
  const bool clipText = Services().Clipboard && Services().Clipboard->HasText();
  std::vector<TMenuItemSpec> items;
  for (int i = 0; i < 5; ++i) {
    const Entry& e = entries[i];
    const bool allowedHere = (allowed & e.bit) != 0;
    if (e.bit == emZeilenumbruch && !allowedHere) continue;
    TMenuItemSpec s;
    s.Caption = e.caption;
    s.Command = i + 1;
    s.Enabled = allowedHere && (e.bit != emPaste || clipText);
    items.push_back(s);
  }
  const TPoint at = Services().Mouse ? Services().Mouse->CursorPos() : caller->ClientToScreen({0, 0});
  const int cmd = Services().PopupMenus->Track(items, at, caller);
  bool enabled = false;
  for (const auto& s : items)
    if (s.Command == cmd) enabled = s.Enabled;
  if (!enabled) return 0;
  const Entry& e = entries[cmd - 1];
  caller->Perform(e.msg, e.wparam, 0);
  return e.msg;
}

}  // namespace komp
