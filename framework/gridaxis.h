// One direction of a grid, columns or rows, without a window: cell sizes (a size of 0 or below
// hides a cell), fixed cells, the first scrolled cell, grid lines, and what follows from them:
// where a cell starts in a view of a given length, which cell lies at a position, how far a view
// can scroll. Sums are 64-bit, so that a hundred million rows stay exact; walks stop at the end
// of the view, so that a cell far beyond it costs nothing.
#pragma once
#include <cstdint>
#include <vector>

namespace komp {

struct TGridAxis {
  int count = 5;
  int fixed = 1;
  int defSize = 64;
  int first = 1;           // first scrolled cell: LeftCol / TopRow
  std::vector<int> sizes;  // empty while every cell has the default size
  int lw = 1;              // effective line width (0 when the lines are not drawn)

  int Size(int i) const;
  // Size plus the line after it; 0 for a hidden cell.
  int64_t Extent(int i) const;
  int64_t FixedExtent() const;
  // Offset of the cell from the view's start, or -1 when hidden, scrolled away or beyond `len`.
  int64_t Start(int i, int len) const;
  // The last cell shown whole in `len` pixels.
  int LastFullVisible(int len) const;
  // The smallest first cell that still shows `last` completely in `len` pixels.
  int FirstToShow(int last, int len) const;
  int MaxFirst(int len) const { return FirstToShow(count - 1, len); }
  // The cell at position `pos` of a view `len` long, or -1.
  int CellAt(int pos, int len) const;
  void Resize(int n);
};

}  // namespace komp
