// Controls: real QWidgets that receive messages through one Dispatch entry point.
//
//   TObject            base of everything an event names as its sender
//   TComponent         non-visual, freed by its owner (a QObject parent)
//   TControl           a QWidget with the classic properties, Dispatch, Perform, tab order
//   TCustomControl     a control that paints itself on its Canvas in Paint()
//   TForm              a top-level window (form.cpp: modal run, dropped files)
//
// Qt events are translated into messages (framework/gui/messages.h, by the functions of
// input.h) in TControl::event. The base Dispatch routes each message to a virtual handler of
// its group (WMKeyDown, WMMouseDown, ...), so a control overrides only what it handles; an
// unhandled key bubbles to the parent controls (dispatch.cpp).
#pragma once
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "framework/gui/canvas.h"
#include "framework/gui/input.h"
#include "framework/gui/messages.h"

class QEventLoop;

namespace komp {

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public QObject, public TObject {
 public:
  explicit TComponent(QObject* owner);
  std::string Name;
  intptr_t Tag = 0;
};

enum class TAlign { None, Top, Bottom, Left, Right, Client };
enum TAnchor : int { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = int;
enum class TCursor { Default, Arrow, IBeam, Wait, Cross, SizeWE, SizeNS, SizeAll, HandPoint, Drag, No };

class TControl : public QWidget, public TObject {
 public:
  explicit TControl(QWidget* owner);
  ~TControl() override;

  int Left() const { return x(); }
  int Top() const { return y(); }
  int Width() const { return width(); }
  int Height() const { return height(); }
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return {Left(), Top(), Left() + Width(), Top() + Height()}; }
  TRect ClientRect() const { return {0, 0, Width(), Height()}; }
  int ClientWidth() const { return Width(); }
  int ClientHeight() const { return Height(); }

  // Own flags, as set; a control inside a hidden or disabled parent keeps them.
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool v) { setVisible(v); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);

  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& f);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors a);
  void SetCursorShape(TCursor c);
  void SetHint(const std::string& hint);

  std::string Name;
  intptr_t Tag = 0;

  // Delivers a message synchronously, as Qt's events are delivered, and returns its result.
  intptr_t Perform(uint32_t msg, intptr_t wparam = 0, intptr_t lparam = 0);
  // Every message passes here. The base routes it to the handler of its group below; a
  // control that overrides Dispatch passes what it does not handle to the inherited one.
  virtual void Dispatch(TMessage& msg);

  bool Focused() const;
  // Takes the focus; `how` tells the control whether by keyboard or by mouse (WM_SETFOCUS).
  void SetFocus(intptr_t how = FOCUS_OTHER);
  // Gives the focus up without handing it to another control.
  void ClearFocus();
  bool CanFocus() const;
  // False: the control never takes the focus, neither by click, Tab nor SetFocus.
  bool Focusable() const { return focusable_; }
  void SetFocusable(bool v);
  // Moves the focus to the next (or previous) tab stop of this control's window, wrapping
  // around; false when there is none.
  bool SelectNextControl(bool forward);
  TControl* ParentControl() const;
  // Visible on screen: the control and all its parents are shown.
  bool Showing() const { return isVisible(); }
  void Invalidate();
  void Repaint();
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // The screen the control is on, in screen coordinates: all of it, and the part that
  // panels and task bars leave free.
  TRect MonitorBounds() const;
  TRect MonitorWorkArea() const;
  // The caption or text the control shows (a window's title, an edit's text); empty for
  // controls that show none. Lets a control tell what it lost the focus to.
  virtual std::string WindowText() const { return {}; }

 protected:
  bool event(QEvent* e) override;

  // The handlers the base Dispatch calls, by message group. The base versions take nothing:
  // they clear msg.Handled. A key message (WM_KEYDOWN, WM_KEYUP, WM_CHAR) left unhandled
  // goes on to the parent control, then to its parent, up to the window or a Qt widget that
  // is no control, until one handles it; disabled parents are passed over. msg.Origin is the
  // control the key was typed into, so a parent tells its children's keys (Origin != this)
  // from its own. What nobody handles ends in the origin's DefaultHandler.
  virtual void WMKeyDown(TMessage& msg) { msg.Handled = false; }
  virtual void WMKeyUp(TMessage& msg) { msg.Handled = false; }
  virtual void WMChar(TMessage& msg) { msg.Handled = false; }
  // WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN; a tab stop has taken the focus before.
  virtual void WMMouseDown(TMessage& msg) { msg.Handled = false; }
  // WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP.
  virtual void WMMouseUp(TMessage& msg) { msg.Handled = false; }
  // WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK: the second press of a double click.
  virtual void WMDblClick(TMessage& msg) { msg.Handled = false; }
  virtual void WMMouseMove(TMessage& msg) { msg.Handled = false; }
  virtual void WMMouseWheel(TMessage& msg) { msg.Handled = false; }
  virtual void WMSetFocus(TMessage& msg) { msg.Handled = false; }
  virtual void WMKillFocus(TMessage& msg) { msg.Handled = false; }
  virtual void WMSize(TMessage& msg) { msg.Handled = false; }
  virtual void WMHScroll(TMessage& msg) { msg.Handled = false; }
  virtual void WMVScroll(TMessage& msg) { msg.Handled = false; }
  virtual void WMTimer(TMessage& msg) { msg.Handled = false; }
  // WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR.
  virtual void WMEditCommand(TMessage& msg) { msg.Handled = false; }
  // Everything else: application messages, CM_MOUSEENTER, CM_FONTCHANGED, ...
  virtual void WMOther(TMessage& msg) { msg.Handled = false; }
  // Runs for a message nobody handled: Tab moves the focus through the window's tab order.
  virtual void DefaultHandler(TMessage& msg);

 private:
  // Keeps the distances to the parent's anchored edges.
  void ApplyAnchors();
  void DispatchGuarded(TMessage& msg);
  void ApplyFocusPolicy();

  bool enabled_ = true;
  int tabOrder_ = 0;
  bool tabStop_ = false;
  bool focusable_ = false;
  TFont font_;
  TColor color_ = clBtnFace;
  TAlign align_ = TAlign::None;
  TAnchors anchors_ = akLeft | akTop;
  QObject* anchorWatcher_ = nullptr;
  // Distances to the parent's right and bottom edges, for anchoring.
  int anchorRight_ = 0;
  int anchorBottom_ = 0;
};

class TCustomControl : public TControl {
 public:
  explicit TCustomControl(QWidget* owner);
  ~TCustomControl() override;
  TCanvas& Canvas() { return *target_; }
  // Draws the control; the default fills it with its colour.
  virtual void Paint();
  // Paints the control as it looks now into another canvas (tests, screenshots).
  void PaintTo(TCanvas& canvas);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  TCanvas canvas_;
  TCanvas* target_ = &canvas_;
};

// A panel with an optional raised or lowered bevel.
enum class TBevelCut { None, Lowered, Raised };
class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(QWidget* owner);
  void Paint() override;
  std::string WindowText() const override { return Caption; }
  TBevelCut BevelOuter = TBevelCut::Raised;
  TBevelCut BevelInner = TBevelCut::None;
  std::string Caption;
};

enum class TBorderStyle { Sizeable, Single, ToolWindow, Dialog };
enum class TPosition { Designed, ScreenCenter };
// Results of a modal form.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

class TForm : public TCustomControl {
 public:
  explicit TForm(QWidget* owner = nullptr);
  ~TForm() override;
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  std::string WindowText() const override { return Caption(); }
  void SetClientSize(int width, int height);
  void SetBorderStyle(TBorderStyle style);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetPosition(TPosition p) { position_ = p; }
  void Show();
  void Close();
  // Shows the window modal to the whole application and returns once its ModalResult is set
  // (a button's ModalResult, Escape: mrCancel) or it is closed (mrCancel). Runs through the
  // modal forms service, so tests answer it without a person.
  int ShowModal();
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result);
  bool Modal() const { return modal_; }
  // The control with the focus inside this window (for a wrapped Qt widget the control that
  // wraps it), or null.
  TControl* ActiveControl() const;

  TNotifyEvent OnClose;
  // Asked before closing; false keeps the window open.
  std::function<bool()> OnCloseQuery;

  // Files dragged from a file manager and dropped anywhere on the window, by the file
  // system's own names, in the order the drag gave them. Taken only while AcceptFiles is
  // on; otherwise the drag is refused before the drop and nothing is called.
  std::function<void(TObject* Sender, const std::vector<std::string>& files)> OnDropFiles;
  bool AcceptFiles() const { return acceptFiles_; }
  void SetAcceptFiles(bool accept);

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  bool acceptFiles_ = false;
  TBorderStyle borderStyle_ = TBorderStyle::Sizeable;
  TPosition position_ = TPosition::Designed;
  bool centred_ = false;
  int modalResult_ = mrNone;
  bool modal_ = false;
  // The loop of the real modal run, ended when a result is set or the window goes.
  QEventLoop* modalLoop_ = nullptr;
  friend class TModalRun;
};

// The direct children of an object that are of class T. Use this rather than findChildren:
// framework classes carry no meta-object of their own, so qobject_cast (and findChildren)
// takes any QWidget for a TControl or any QObject for a helper.
template <class T>
std::vector<T*> ChildrenOf(const QObject* parent) {
  std::vector<T*> out;
  if (!parent) return out;
  for (QObject* o : parent->children())
    if (T* t = dynamic_cast<T*>(o)) out.push_back(t);
  return out;
}

// The tab order of a container: its controls in TabOrder, each followed by its own children's.
// Plain Qt widgets a host puts in between (pages, layout frames) count as tab order 0 and are
// looked through; other windows are not part of it.
std::vector<TControl*> TabOrderList(QWidget* container);
// The next control after `current` in the container's tab order that can take the focus
// (and has its tab stop set when checkTabStop), wrapping around; null when there is none.
// A `current` inside a control (the line edit of a TEdit) counts as that control.
TControl* FindNextControl(QWidget* container, QWidget* current, bool forward, bool checkTabStop);
// Moves the focus there, by keyboard; false when no control qualifies.
bool SelectNext(QWidget* container, QWidget* current, bool forward, bool checkTabStop);
// The control that has the focus in the window of `w`, or null.
TControl* FocusedControl(const QWidget* w);
// The control a focus widget stands for: the control itself, or the control that wraps it
// (its focus proxy is the widget or holds it); null for any other widget and for null.
TControl* ControlOfFocusWidget(const QWidget* w);
// WM_KILLFOCUS: the control that receives the focus, or null when the focus leaves the
// application or goes to a widget that is not a control.
inline TControl* FocusReceiver(const TMessage& m) {
  return m.Msg == WM_KILLFOCUS ? reinterpret_cast<TControl*>(m.WParam) : nullptr;
}

// Sends an application message to the active window (WM_APP + n); 0 when there is none.
intptr_t SendToActiveWindow(uint32_t msg, intptr_t wparam, intptr_t lparam);

// Mouse capture: the captured control receives the mouse messages wherever the pointer is.
void SetCapture(TControl* control);
void ReleaseCapture();
TControl* GetCapture();

}  // namespace komp
