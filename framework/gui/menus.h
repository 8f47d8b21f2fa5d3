// Popup menus: items with handlers, tracked through the popup menu service.
#pragma once
#include <string>
#include <vector>

#include "framework/gui/controls.h"
#include "framework/gui/services.h"

namespace komp {

class TMenuItem : public TObject {
 public:
  std::string Caption;  // "-" is a separator
  bool Enabled = true;
  bool Checked = false;
  bool Visible = true;
  intptr_t Tag = 0;
  TNotifyEvent OnClick;
  std::vector<TMenuItem> Items;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(QObject* owner) : TComponent(owner) {}
  std::vector<TMenuItem> Items;
  // Shows the menu at a screen position; runs the chosen item's OnClick and returns that item.
  TMenuItem* Popup(int x, int y, TControl* owner = nullptr);
};

}  // namespace komp
