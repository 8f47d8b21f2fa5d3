// A top-most list window (drop-down and history lists): it never takes the focus, and while
// it is shown an application-wide mouse watch reports every mouse move and left press,
// wherever it happens, so its user can track the pointer and close it on a press outside.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/gui/canvas.h"
#include "framework/types.h"

class QWidget;

namespace komp {

class TListWindow {
 public:
  TListWindow();
  ~TListWindow();
  TListWindow(const TListWindow&) = delete;
  TListWindow& operator=(const TListWindow&) = delete;

  void SetItems(const std::vector<std::string>& items);
  const std::vector<std::string>& Items() const;
  void SetFont(const TFont& font);
  int ItemHeight() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Shows it at a rectangle in screen coordinates (a thin border and a vertical scroll bar
  // when the items do not fit); Hide closes it.
  void ShowAt(const TRect& screenRect);
  void Hide();
  bool Visible() const;
  TRect ScreenRect() const;
  // The item under a screen point, or -1.
  int ItemAtScreen(TPoint screen) const;
  // The one who shows the list: any value; lets several fields share one window.
  const void* Owner = nullptr;

  // While shown: called for WM_MOUSEMOVE and WM_LBUTTONDOWN anywhere in the application,
  // with the screen position; returning true swallows the event.
  std::function<bool(uint32_t msg, TPoint screen)> MouseWatch;

  // The window itself, for tests that render or click it.
  QWidget* Widget() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace komp
