#include "framework/gui/menus.h"

namespace komp {

namespace {
void Build(std::vector<TMenuItem>& items, std::vector<TMenuItemSpec>& specs, std::vector<TMenuItem*>& byCommand) {
  for (TMenuItem& it : items) {
    if (!it.Visible) continue;
    TMenuItemSpec s;
    s.Caption = it.Caption;
    s.Enabled = it.Enabled;
    s.Checked = it.Checked;
    if (it.Caption != "-" && it.Items.empty()) {
      byCommand.push_back(&it);
      s.Command = int(byCommand.size());
    }
    Build(it.Items, s.Items, byCommand);
    specs.push_back(std::move(s));
  }
}
}  // namespace

TMenuItem* TPopupMenu::Popup(int x, int y, TControl* owner) {
  std::vector<TMenuItemSpec> specs;
  std::vector<TMenuItem*> byCommand;
  Build(Items, specs, byCommand);
  if (!Services().PopupMenus) return nullptr;
  const int cmd = Services().PopupMenus->Track(specs, {x, y}, owner);
  if (cmd <= 0 || cmd > int(byCommand.size())) return nullptr;
  TMenuItem* item = byCommand[size_t(cmd - 1)];
  if (item->OnClick) {
    TNotifyEvent handler = item->OnClick;
    handler(item);
  }
  return item;
}

}  // namespace komp
