// A scrollable grid of cells that leaves the content of each cell to its subclass (DrawCell).
//
//   geometry     fixed rows and columns stay in place; the others scroll from TopRow / LeftCol;
//                a cell of width or height 0 or -1 is hidden and takes no grid line either
//   Paint        background, grid lines, cell fill, fixed-cell bevels, then DrawCell per visible
//                cell, the focus frame, the sunken border
//   input        keys move the current cell (or scroll with goRowSelect), a press selects,
//                a drag on a column border in the fixed rows sizes that column (goColSizing),
//                the wheel and the child scroll bars move TopRow / LeftCol
//
// Coordinates (CellRect, MouseToCell) are those of the control, border included.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/gridaxis.h"
#include "framework/gui/controls.h"

namespace komp {

class TScrollBar;

enum TGridOption : int {
  goFixedVertLine = 0x0001,
  goFixedHorzLine = 0x0002,
  goVertLine = 0x0004,
  goHorzLine = 0x0008,
  goRangeSelect = 0x0010,
  goDrawFocusSelected = 0x0020,
  goColSizing = 0x0080,
  goRowSelect = 0x1000,
  goThumbTracking = 0x8000,
};
using TGridOptions = int;

enum TGridDrawStateFlag : int { gdSelected = 1, gdFocused = 2, gdFixed = 4 };
using TGridDrawState = int;

// Inclusive cell ranges, as the classic grid reports its selection.
struct TGridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;

class TCustomGrid : public TCustomControl {
 public:
  explicit TCustomGrid(QWidget* owner);
  ~TCustomGrid() override;

  static constexpr int kScrollBarSize = 16;

  int ColCount() const { return cols_.count; }
  void SetColCount(int n);
  int RowCount() const { return rows_.count; }
  void SetRowCount(int n);
  int FixedCols() const { return cols_.fixed; }
  void SetFixedCols(int n);
  int FixedRows() const { return rows_.fixed; }
  void SetFixedRows(int n);

  // Setting a default size forgets the individual sizes, as in the classic grid.
  int DefaultColWidth() const { return cols_.defSize; }
  void SetDefaultColWidth(int w);
  int DefaultRowHeight() const { return rows_.defSize; }
  void SetDefaultRowHeight(int h);
  int ColWidths(int col) const { return cols_.Size(col); }
  void SetColWidth(int col, int w);
  int RowHeights(int row) const { return rows_.Size(row); }
  void SetRowHeight(int row, int h);

  int GridLineWidth() const { return lineWidth_; }
  void SetGridLineWidth(int w);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions o);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor c);
  // The sunken two-pixel edge around the grid.
  bool Border() const { return border_; }
  void SetBorder(bool on);

  // The current cell; moving it asks SelectCell first and scrolls it into view.
  int Col() const { return cur_.col; }
  int Row() const { return cur_.row; }
  void SetCol(int col) { FocusCell(col, cur_.row, true); }
  void SetRow(int row) { FocusCell(cur_.col, row, true); }
  // Moves the current cell (and, with extend false, the selection anchor); false when refused.
  bool FocusCell(int col, int row, bool moveAnchor);
  TGridRect Selection() const;

  int TopRow() const { return rows_.first; }
  void SetTopRow(int row);
  int LeftCol() const { return cols_.first; }
  void SetLeftCol(int col);
  // Scrollable rows / columns that are visible completely from TopRow / LeftCol on.
  int VisibleRowCount() const;
  int VisibleColCount() const;

  // The cell's rectangle without its grid lines; empty when the cell is hidden or scrolled away.
  TRect CellRect(int col, int row) const;
  // The cell under a point (a grid line belongs to the cell before it); -1 where there is none.
  void MouseToCell(int x, int y, int& col, int& row) const;
  // The column whose right border is under the pointer in the fixed rows, or -1.
  int ColBorderAt(int x, int y) const;

  void InvalidateCell(int col, int row);
  void InvalidateRow(int row);

  TScrollBar* VertScrollBar() const { return vbar_; }
  TScrollBar* HorzScrollBar() const { return hbar_; }

  void Paint() override;
  void Dispatch(TMessage& msg) override;

 protected:
  // Draws one cell's content; the canvas has the grid font and the cell's fill colour as brush.
  // Fixed cells already carry their bevel, which a fill of the whole rectangle paints over.
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
  // Asked before the current cell moves; the default asks FOnSelectCell.
  virtual bool SelectCell(int ACol, int ARow);
  // After the user has sized a column with the mouse.
  virtual void ColWidthsChanged() {}
  // After TopRow or LeftCol changed.
  virtual void TopLeftChanged() {}
  // A subclass publishes this under its own event's name.
  TSelectCellEvent FOnSelectCell;

  void EvKeyDown(int key, TShiftState shift);
  void EvMouseDown(const TMessage& msg);
  void EvMouseMove(const TMessage& msg);
  void EvMouseUp(const TMessage& msg);
  void EvMouseWheel(int delta);
  bool ColSizing() const { return sizingCol_ >= 0; }

 private:
  using Axis = TGridAxis;

  struct Coord {
    int col = 1, row = 1;
  };

  void Relayout();
  void UpdateLineWidths();
  void ClampCurrent();
  bool MoveFirst(Axis& a, int first);
  void ScrollInView(int col, int row);
  void OnBarScroll(bool vertical, int code, int& pos);
  void SizeColumnTo(int x);
  TRect RowBand(int row) const;

  Axis cols_, rows_;
  Coord cur_, anchor_;
  int lineWidth_ = 1;
  TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  TColor fixedColor_ = clBtnFace;
  bool border_ = true;
  TRect area_;  // the cells' area: inside the border, without the scroll bars
  TScrollBar* vbar_ = nullptr;
  TScrollBar* hbar_ = nullptr;
  bool selecting_ = false;
  int sizingCol_ = -1;
  int sizingGrab_ = 0;  // pointer x minus the column's right edge when the drag began
  int wheelRest_ = 0;
  bool inLayout_ = false;
  int reportedTop_ = 1, reportedLeft_ = 1;
};

}  // namespace komp
