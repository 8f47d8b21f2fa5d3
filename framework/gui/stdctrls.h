// Stock controls the components use, as thin controls of the framework.
// Painted ones (label, group box, panel, speed button) draw on their canvas like any component;
// editing ones (edit, list box, scroll bar, progress bar) wrap a Qt widget that fills them.
//   staticctrls.cpp   TLabel, TGroupBox, TProgressBar
//   speedbutton.cpp   TSpeedButton
//   edit.cpp          TEdit with its German context menu
//   listctrls.cpp     TListBox, TScrollBar
//   stdctrls_support  what they share: the wrapped widget filling its control, the sunken frame,
//                     the classic palette, embossed disabled text
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "framework/gui/controls.h"
#include "framework/gui/graphics.h"
#include "framework/stringlist.h"

class QLineEdit;
class QListWidget;
class QScrollBar;
class QProgressBar;

namespace komp {

enum class TAlignment { LeftJustify, Center, RightJustify };
enum class TTextLayout { Top, Center, Bottom };
enum class TStaticBorder { None, Single, Sunken };

class TLabel : public TCustomControl {
 public:
  explicit TLabel(QWidget* owner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  std::string WindowText() const override { return caption_; }
  TAlignment Alignment = TAlignment::LeftJustify;
  TTextLayout Layout = TTextLayout::Top;
  TStaticBorder Border = TStaticBorder::None;
  bool Transparent = false;
  // Sizes the label to its caption when the caption or font changes.
  bool AutoSize = false;
  void Paint() override;
  void AdjustSize();
  void Dispatch(TMessage& msg) override;

 private:
  std::string caption_;
};

class TGroupBox : public TCustomControl {
 public:
  explicit TGroupBox(QWidget* owner);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c);
  std::string WindowText() const override { return caption_; }
  void Paint() override;

 private:
  std::string caption_;
};

class TPanel : public TCustomPanel {
 public:
  explicit TPanel(QWidget* owner) : TCustomPanel(owner) {}
};

// Position, minimum and maximum are 64-bit, so a bar can follow a file of any size.
class TProgressBar : public TControl {
 public:
  explicit TProgressBar(QWidget* owner);
  int64_t Min() const { return min_; }
  int64_t Max() const { return max_; }
  int64_t Position() const { return pos_; }
  void SetRange(int64_t min, int64_t max);
  void SetMax(int64_t max) { SetRange(min_, max); }
  void SetPosition(int64_t pos);

 private:
  void Sync();
  QProgressBar* bar_;
  int64_t min_ = 0, max_ = 100, pos_ = 0;
};

// A flat button with a glyph; with a group index it is a toggle that stays down.
class TSpeedButton : public TCustomControl {
 public:
  explicit TSpeedButton(QWidget* owner);
  TBitmap Glyph;      // NumGlyphs images side by side: up, disabled, clicked, down
  int NumGlyphs = 1;
  int GroupIndex = 0;
  bool AllowAllUp = false;
  bool Flat = false;
  std::string Caption;
  std::string WindowText() const override { return Caption; }
  bool Down() const { return down_; }
  void SetDown(bool d);
  TNotifyEvent OnClick;
  void Click();
  void Paint() override;
  void Dispatch(TMessage& msg) override;

 private:
  bool down_ = false;
  bool pressed_ = false;
  bool hot_ = false;
};

using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Single-line edit. Character messages (WM_CHAR) sent to it type into it, as if from the keyboard.
class TEdit : public TControl {
 public:
  explicit TEdit(QWidget* owner);
  ~TEdit() override;
  std::string Text() const;
  void SetText(const std::string& text);
  std::string WindowText() const override { return Text(); }
  int SelStart() const;
  int SelLength() const;
  void SetSelStart(int start);
  void SetSel(int start, int length);
  void SelectAll();
  void SetMaxLength(int n);
  // With false the selection stays visible while the edit has no focus.
  void SetHideSelection(bool hide);
  void SetReadOnly(bool ro);
  QLineEdit* Editor() const { return edit_; }

  TNotifyEvent OnChange, OnEnter, OnExit, OnClick;
  TKeyEvent OnKeyDown, OnKeyUp;  // Key set to 0 swallows it
  TKeyPressEvent OnKeyPress;     // Key set to 0 swallows it

  void Dispatch(TMessage& msg) override;

 private:
  friend class TEditFilter;
  QLineEdit* edit_;
};

class TListBox : public TControl {
 public:
  explicit TListBox(QWidget* owner);
  ~TListBox() override;
  void SetItems(const TStringList& items);
  const TStringList& Items() const { return items_; }
  int ItemIndex() const;
  void SetItemIndex(int i);
  int ItemHeight() const;
  int ItemAt(TPoint clientPos) const;
  TNotifyEvent OnClick, OnDblClick;
  QListWidget* List() const { return list_; }
  void Dispatch(TMessage& msg) override;

 private:
  QListWidget* list_;
  TStringList items_;
};

enum class TScrollBarKind { Horizontal, Vertical };
using TScrollEvent = std::function<void(TObject* Sender, int ScrollCode, int& ScrollPos)>;

class TScrollBar : public TControl {
 public:
  TScrollBar(QWidget* owner, TScrollBarKind kind = TScrollBarKind::Horizontal);
  ~TScrollBar() override;
  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind k);
  int Min() const;
  int Max() const;
  int Position() const;
  int PageSize() const;
  void SetParams(int position, int min, int max);
  void SetPosition(int pos);
  void SetPageSize(int page);
  int SmallChange = 1;
  int LargeChange = 1;
  TScrollEvent OnScroll;  // with the SB_* code; may change ScrollPos
  TNotifyEvent OnChange;

 private:
  void Apply();
  QScrollBar* bar_;
  TScrollBarKind kind_;
  bool setting_ = false;
  int min_ = 0, max_ = 100, pos_ = 0, page_ = 0;
};

}  // namespace komp
