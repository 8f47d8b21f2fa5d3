#include "framework/gui/grids.h"

#include <QPointer>
#include <algorithm>
#include <limits>

#include "framework/gui/qtbridge.h"
#include "framework/gui/stdctrls.h"

namespace komp {

namespace {
int ClampInt(int64_t v) {
  return int(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
// Pixels on each side of a column border where a press starts sizing it.
constexpr int kSizingSlack = 3;
constexpr int kWheelRows = 3;
}  // namespace

// ---------------------------------------------------------------- construction and properties

TCustomGrid::TCustomGrid(QWidget* owner) : TCustomControl(owner) {
  cols_.defSize = 64;
  rows_.defSize = 24;
  SetColor(clWindow);
  SetTabStop(true);
  vbar_ = new TScrollBar(this, TScrollBarKind::Vertical);
  hbar_ = new TScrollBar(this, TScrollBarKind::Horizontal);
  vbar_->SetVisible(false);
  hbar_->SetVisible(false);
  vbar_->OnScroll = [this](TObject*, int code, int& pos) { OnBarScroll(true, code, pos); };
  hbar_->OnScroll = [this](TObject*, int code, int& pos) { OnBarScroll(false, code, pos); };
  resize(320, 120);
  UpdateLineWidths();
  Relayout();
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::SetColCount(int n) {
  n = std::max(1, n);
  if (n == cols_.count) return;
  cols_.Resize(n);
  if (cols_.fixed >= n) cols_.fixed = n - 1;
  ClampCurrent();
  Relayout();
}

void TCustomGrid::SetRowCount(int n) {
  n = std::max(1, n);
  if (n == rows_.count) return;
  rows_.Resize(n);
  if (rows_.fixed >= n) rows_.fixed = n - 1;
  ClampCurrent();
  Relayout();
}

void TCustomGrid::SetFixedCols(int n) {
  n = std::clamp(n, 0, cols_.count - 1);
  if (n == cols_.fixed) return;
  // A grid not scrolled stays at its start: the first scrolled column follows the fixed ones.
  if (cols_.first == cols_.fixed || cols_.first < n) cols_.first = n;
  cols_.fixed = n;
  ClampCurrent();
  Relayout();
}

void TCustomGrid::SetFixedRows(int n) {
  n = std::clamp(n, 0, rows_.count - 1);
  if (n == rows_.fixed) return;
  if (rows_.first == rows_.fixed || rows_.first < n) rows_.first = n;
  rows_.fixed = n;
  ClampCurrent();
  Relayout();
}

void TCustomGrid::SetDefaultColWidth(int w) {
  cols_.defSize = w;
  cols_.sizes.clear();
  Relayout();
}

void TCustomGrid::SetDefaultRowHeight(int h) {
  rows_.defSize = h;
  rows_.sizes.clear();
  Relayout();
}

void TCustomGrid::SetColWidth(int col, int w) {
  if (col < 0 || col >= cols_.count || w == cols_.Size(col)) return;
  if (cols_.sizes.empty()) cols_.sizes.assign(size_t(cols_.count), cols_.defSize);
  cols_.sizes[size_t(col)] = w;
  Relayout();
}

void TCustomGrid::SetRowHeight(int row, int h) {
  if (row < 0 || row >= rows_.count || h == rows_.Size(row)) return;
  if (rows_.sizes.empty()) rows_.sizes.assign(size_t(rows_.count), rows_.defSize);
  rows_.sizes[size_t(row)] = h;
  Relayout();
}

void TCustomGrid::SetGridLineWidth(int w) {
  lineWidth_ = std::max(0, w);
  UpdateLineWidths();
  Relayout();
}

void TCustomGrid::SetOptions(TGridOptions o) {
  options_ = o;
  if (!(o & goRangeSelect)) anchor_ = cur_;
  UpdateLineWidths();
  Relayout();
}

void TCustomGrid::SetFixedColor(TColor c) {
  fixedColor_ = c;
  Invalidate();
}

void TCustomGrid::SetBorder(bool on) {
  border_ = on;
  Relayout();
}

void TCustomGrid::UpdateLineWidths() {
  // Without the lines of the scrolled cells the cells touch, fixed ones included, as in the classic grid.
  cols_.lw = (options_ & goVertLine) ? lineWidth_ : 0;
  rows_.lw = (options_ & goHorzLine) ? lineWidth_ : 0;
}

void TCustomGrid::ClampCurrent() {
  auto clamp = [this](Coord& c) {
    c.col = std::clamp(c.col, cols_.fixed, cols_.count - 1);
    c.row = std::clamp(c.row, rows_.fixed, rows_.count - 1);
  };
  clamp(cur_);
  clamp(anchor_);
}

// ---------------------------------------------------------------- layout and scrolling

void TCustomGrid::Relayout() {
  if (inLayout_) return;
  inLayout_ = true;
  const int b = border_ ? 2 : 0;
  const int w = std::max(0, Width() - 2 * b), h = std::max(0, Height() - 2 * b);
  // A bar takes room from the other direction, which can make the other bar necessary in turn.
  bool needV = false, needH = false;
  for (int pass = 0; pass < 3; ++pass) {
    const int aw = std::max(0, w - (needV ? kScrollBarSize : 0));
    const int ah = std::max(0, h - (needH ? kScrollBarSize : 0));
    needV = rows_.MaxFirst(ah) > rows_.fixed;
    needH = cols_.MaxFirst(aw) > cols_.fixed;
  }
  area_ = Rect(b, b, b + std::max(0, w - (needV ? kScrollBarSize : 0)), b + std::max(0, h - (needH ? kScrollBarSize : 0)));
  rows_.first = std::clamp(rows_.first, rows_.fixed, std::max(rows_.fixed, rows_.MaxFirst(area_.Height())));
  cols_.first = std::clamp(cols_.first, cols_.fixed, std::max(cols_.fixed, cols_.MaxFirst(area_.Width())));

  vbar_->SetVisible(needV);
  hbar_->SetVisible(needH);
  if (needV) {
    vbar_->SetBounds(area_.right, b, kScrollBarSize, area_.Height());
    // The page is what fits at the end, so that the bar's last position is the last TopRow.
    vbar_->SetPageSize(0);
    vbar_->SetParams(rows_.first, rows_.fixed, rows_.count - 1);
    vbar_->SetPageSize(rows_.count - rows_.MaxFirst(area_.Height()));
  }
  if (needH) {
    hbar_->SetBounds(b, area_.bottom, area_.Width(), kScrollBarSize);
    hbar_->SetPageSize(0);
    hbar_->SetParams(cols_.first, cols_.fixed, cols_.count - 1);
    hbar_->SetPageSize(cols_.count - cols_.MaxFirst(area_.Width()));
  }
  inLayout_ = false;
  Invalidate();
  // Every change of TopRow or LeftCol ends here, so this is the one place that reports it.
  if (reportedTop_ != rows_.first || reportedLeft_ != cols_.first) {
    reportedTop_ = rows_.first;
    reportedLeft_ = cols_.first;
    TopLeftChanged();
  }
}

bool TCustomGrid::MoveFirst(Axis& a, int first) {
  const int len = &a == &rows_ ? area_.Height() : area_.Width();
  first = std::clamp(first, a.fixed, std::max(a.fixed, a.MaxFirst(len)));
  if (first == a.first) return false;
  a.first = first;
  return true;
}

void TCustomGrid::SetTopRow(int row) {
  if (!MoveFirst(rows_, row)) return;
  Relayout();
}

void TCustomGrid::SetLeftCol(int col) {
  if (!MoveFirst(cols_, col)) return;
  Relayout();
}

int TCustomGrid::VisibleRowCount() const { return std::max(0, rows_.LastFullVisible(area_.Height()) - rows_.first + 1); }

int TCustomGrid::VisibleColCount() const { return std::max(0, cols_.LastFullVisible(area_.Width()) - cols_.first + 1); }

void TCustomGrid::ScrollInView(int col, int row) {
  bool moved = false;
  if (row >= rows_.fixed) {
    if (row < rows_.first) moved |= MoveFirst(rows_, row);
    else if (row > rows_.LastFullVisible(area_.Height())) moved |= MoveFirst(rows_, rows_.FirstToShow(row, area_.Height()));
  }
  if (col >= cols_.fixed && !(options_ & goRowSelect)) {
    if (col < cols_.first) moved |= MoveFirst(cols_, col);
    else if (col > cols_.LastFullVisible(area_.Width())) moved |= MoveFirst(cols_, cols_.FirstToShow(col, area_.Width()));
  }
  if (moved) Relayout();
}

void TCustomGrid::OnBarScroll(bool vertical, int code, int& pos) {
  Axis& a = vertical ? rows_ : cols_;
  const int len = vertical ? area_.Height() : area_.Width();
  int first = a.first;
  switch (code) {
    case SB_LINEUP: first = a.first - 1; break;
    case SB_LINEDOWN: first = a.first + 1; break;
    case SB_PAGEUP: first = a.first - std::max(1, a.LastFullVisible(len) - a.first); break;
    case SB_PAGEDOWN: first = a.first + std::max(1, a.LastFullVisible(len) - a.first); break;
    case SB_TOP: first = a.fixed; break;
    case SB_BOTTOM: first = a.count - 1; break;
    case SB_THUMBTRACK:
      if (!(options_ & goThumbTracking)) return;
      first = pos;
      break;
    case SB_THUMBPOSITION: first = pos; break;
    default: return;
  }
  if (vertical) SetTopRow(first);
  else SetLeftCol(first);
  pos = a.first;
}

// ---------------------------------------------------------------- current cell and selection

bool TCustomGrid::SelectCell(int ACol, int ARow) {
  bool can = true;
  if (FOnSelectCell) {
    TSelectCellEvent handler = FOnSelectCell;
    handler(this, ACol, ARow, can);
  }
  return can;
}

bool TCustomGrid::FocusCell(int col, int row, bool moveAnchor) {
  col = std::clamp(col, cols_.fixed, cols_.count - 1);
  row = std::clamp(row, rows_.fixed, rows_.count - 1);
  if (col != cur_.col || row != cur_.row) {
    QPointer<TCustomGrid> self(this);
    const bool allowed = SelectCell(col, row);
    if (!self || !allowed) return false;
    cur_ = {col, row};
  }
  if (moveAnchor || !(options_ & goRangeSelect)) anchor_ = cur_;
  ScrollInView(col, row);
  Invalidate();
  return true;
}

TGridRect TCustomGrid::Selection() const {
  TGridRect r{std::min(cur_.col, anchor_.col), std::min(cur_.row, anchor_.row), std::max(cur_.col, anchor_.col),
              std::max(cur_.row, anchor_.row)};
  if (options_ & goRowSelect) {
    r.Left = cols_.fixed;
    r.Right = cols_.count - 1;
  }
  return r;
}

// ---------------------------------------------------------------- geometry

TRect TCustomGrid::CellRect(int col, int row) const {
  const int64_t x = cols_.Start(col, area_.Width()), y = rows_.Start(row, area_.Height());
  if (x < 0 || y < 0) return {};
  return Bounds(area_.left + int(x), area_.top + int(y), cols_.Size(col), rows_.Size(row));
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
  col = cols_.CellAt(x - area_.left, area_.Width());
  row = rows_.CellAt(y - area_.top, area_.Height());
}

int TCustomGrid::ColBorderAt(int x, int y) const {
  const int64_t fixedBottom = rows_.FixedExtent();
  if (y < area_.top || y - area_.top >= fixedBottom || x < area_.left || x >= area_.right) return -1;
  const int p = x - area_.left;
  // The last border near the pointer wins, so that a column narrowed to almost nothing can be widened again.
  int found = -1;
  auto check = [&](int k, int64_t start) {
    const int64_t edge = start + cols_.Size(k);
    if (p >= edge - kSizingSlack && p < edge + cols_.lw + kSizingSlack) found = k;
  };
  int64_t pos = 0;
  for (int k = 0; k < cols_.fixed; ++k) {
    if (cols_.Size(k) > 0) check(k, pos);
    pos += cols_.Extent(k);
  }
  for (int k = cols_.first; k < cols_.count && pos < area_.Width(); ++k) {
    if (cols_.Size(k) > 0) check(k, pos);
    pos += cols_.Extent(k);
  }
  return found;
}

TRect TCustomGrid::RowBand(int row) const {
  const int64_t y = rows_.Start(row, area_.Height());
  if (y < 0) return {};
  return Rect(area_.left, area_.top + int(y), area_.right, ClampInt(area_.top + y + rows_.Extent(row)));
}

void TCustomGrid::InvalidateCell(int col, int row) {
  const TRect r = CellRect(col, row);
  if (!r.IsEmpty()) update(ToQRect(r.Inflate(1, 1)));
}

void TCustomGrid::InvalidateRow(int row) {
  const TRect r = RowBand(row);
  if (!r.IsEmpty()) update(ToQRect(r.Inflate(0, 1)));
}

// ---------------------------------------------------------------- painting

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

void TCustomGrid::Paint() {
  TCanvas& c = Canvas();
  struct Span {
    int index;
    int start, size;  // in control coordinates
  };
  // The visible cells of one axis, fixed ones first.
  auto spans = [](const Axis& a, int origin, int len) {
    std::vector<Span> out;
    int64_t pos = 0;
    auto add = [&](int k) {
      const int s = a.Size(k);
      if (s > 0 && pos < len) out.push_back({k, origin + int(pos), s});
      pos += a.Extent(k);
    };
    for (int k = 0; k < a.fixed && k < a.count; ++k) add(k);
    for (int k = a.first; k < a.count && pos < len; ++k) add(k);
    return out;
  };
  const std::vector<Span> xs = spans(cols_, area_.left, area_.Width());
  const std::vector<Span> ys = spans(rows_, area_.top, area_.Height());
  const int fixedRight = ClampInt(area_.left + cols_.FixedExtent());
  const int fixedBottom = ClampInt(area_.top + rows_.FixedExtent());
  const int gridRight = xs.empty() ? area_.left : std::min(area_.right, xs.back().start + xs.back().size + cols_.lw);
  const int gridBottom = ys.empty() ? area_.top : std::min(area_.bottom, ys.back().start + ys.back().size + rows_.lw);

  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = Color();
  c.FillRect(ClientRect());
  c.SetClipRect(area_);
  // Fixed areas in their colour, so that lines left out there show the cell colour.
  c.Brush.Color = fixedColor_;
  c.FillRect(Rect(area_.left, area_.top, std::min(fixedRight, gridRight), gridBottom));
  c.FillRect(Rect(area_.left, area_.top, gridRight, std::min(fixedBottom, gridBottom)));

  // Grid lines: black between fixed cells, silver (grey on a silver grid) between the others.
  const TColor dataLine = ColorToRGB(Color()) == clSilver ? clGray : clSilver;
  for (const Span& x : xs) {
    const int l = x.start + x.size, r = l + cols_.lw;
    if (cols_.lw <= 0) break;
    const bool fixedCol = x.index < cols_.fixed;
    if (options_ & goFixedVertLine) {
      c.Brush.Color = clBlack;
      c.FillRect(Rect(l, area_.top, r, fixedCol ? gridBottom : std::min(fixedBottom, gridBottom)));
    }
    if (!fixedCol && (options_ & goVertLine)) {
      c.Brush.Color = dataLine;
      c.FillRect(Rect(l, fixedBottom, r, gridBottom));
    }
  }
  for (const Span& y : ys) {
    const int t = y.start + y.size, b = t + rows_.lw;
    if (rows_.lw <= 0) break;
    const bool fixedRow = y.index < rows_.fixed;
    if (options_ & goFixedHorzLine) {
      c.Brush.Color = clBlack;
      c.FillRect(Rect(area_.left, t, fixedRow ? gridRight : std::min(fixedRight, gridRight), b));
    }
    if (!fixedRow && (options_ & goHorzLine)) {
      c.Brush.Color = dataLine;
      c.FillRect(Rect(fixedRight, t, gridRight, b));
    }
  }

  const TGridRect sel = Selection();
  const bool focused = Focused();
  const bool bevel = options_ & (goFixedVertLine | goFixedHorzLine);
  for (const Span& y : ys) {
    for (const Span& x : xs) {
      const TRect cell = Bounds(x.start, y.start, x.size, y.size);
      const bool fixed = x.index < cols_.fixed || y.index < rows_.fixed;
      TGridDrawState state = 0;
      if (fixed) state |= gdFixed;
      if (!fixed && sel.Contains(x.index, y.index)) state |= gdSelected;
      if (!fixed && focused && x.index == cur_.col && y.index == cur_.row) state |= gdFocused;
      c.Font = Font();
      // The focused cell stays unhighlighted unless the whole row or goDrawFocusSelected asks for it.
      const bool highlight = (state & gdSelected) &&
                             (!(state & gdFocused) || (options_ & (goDrawFocusSelected | goRowSelect)));
      c.Brush.Style = TBrushStyle::Solid;
      c.Brush.Color = highlight ? clHighlight : fixed ? fixedColor_ : Color();
      if (highlight) c.Font.Color = clHighlightText;
      c.FillRect(cell);
      if (fixed && bevel) c.Frame3D(cell, clBtnHighlight, clBtnShadow);
      c.Brush.Style = TBrushStyle::Solid;
      c.Brush.Color = highlight ? clHighlight : fixed ? fixedColor_ : Color();
      c.Pen.Color = clBlack;
      DrawCell(x.index, y.index, cell, state);
    }
  }

  if (focused) {
    TRect f = CellRect(cur_.col, cur_.row);
    if (options_ & goRowSelect) {
      const TRect band = RowBand(cur_.row);
      if (!band.IsEmpty() && !xs.empty())
        f = Rect(fixedRight, band.top, std::min(area_.right, xs.back().start + xs.back().size),
                 band.top + rows_.Size(cur_.row));
    }
    if (!f.IsEmpty() && f.right > f.left) c.DrawFocusRect(f);
  }
  c.ResetClip();

  if (vbar_->Visible() && hbar_->Visible()) {
    c.Brush.Color = clBtnFace;
    c.FillRect(Rect(area_.right, area_.bottom, area_.right + kScrollBarSize, area_.bottom + kScrollBarSize));
  }
  if (border_) {
    // The sunken client edge of a classic list control.
    const TRect r = ClientRect();
    c.Frame3D(r, clBtnShadow, clBtnHighlight);
    c.Frame3D(r.Inflate(-1, -1), cl3DDkShadow, cl3DLight);
  }
}

// ---------------------------------------------------------------- input

void TCustomGrid::Dispatch(TMessage& msg) {
  switch (msg.Msg) {
    case WM_KEYDOWN: {
      const int key = int(msg.WParam);
      switch (key) {
        case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_PRIOR: case VK_NEXT:
        case VK_HOME: case VK_END:
          EvKeyDown(key, KeyShiftOf(msg));
          return;
        default:
          break;
      }
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      EvMouseDown(msg);
      return;
    case WM_MOUSEMOVE:
      EvMouseMove(msg);
      return;
    case WM_LBUTTONUP:
      EvMouseUp(msg);
      return;
    case WM_MOUSEWHEEL:
      EvMouseWheel(msg.WheelDelta());
      return;
    case WM_SIZE:
      Relayout();
      break;
    case WM_KILLFOCUS:
      selecting_ = false;
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(msg);
}

void TCustomGrid::EvKeyDown(int key, TShiftState shift) {
  const bool ctrl = shift & ssCtrl;
  const bool extend = (shift & ssShift) && (options_ & goRangeSelect);
  const bool rowSelect = options_ & goRowSelect;
  const int page = std::max(1, VisibleRowCount() - 1);
  // Steps over hidden columns; stays when there is no visible one in that direction.
  auto stepCol = [this](int from, int dir) {
    for (int k = from + dir; k >= cols_.fixed && k < cols_.count; k += dir)
      if (cols_.Size(k) > 0) return k;
    return from;
  };
  int col = cur_.col, row = cur_.row;
  int top = -1;
  if (ctrl) {
    switch (key) {
      case VK_UP: case VK_PRIOR: row = rows_.first; break;
      case VK_DOWN: case VK_NEXT: row = std::max(rows_.first, rows_.LastFullVisible(area_.Height())); break;
      case VK_LEFT: if (!rowSelect) col = cols_.first; break;
      case VK_RIGHT: if (!rowSelect) col = std::max(cols_.first, cols_.LastFullVisible(area_.Width())); break;
      case VK_HOME: col = cols_.fixed; row = rows_.fixed; break;
      case VK_END: col = cols_.count - 1; row = rows_.count - 1; break;
      default: return;
    }
  } else {
    switch (key) {
      case VK_UP: --row; break;
      case VK_DOWN: ++row; break;
      case VK_LEFT:
        if (rowSelect) {
          SetLeftCol(cols_.first - 1);
          return;
        }
        col = stepCol(col, -1);
        break;
      case VK_RIGHT:
        if (rowSelect) {
          SetLeftCol(cols_.first + 1);
          return;
        }
        col = stepCol(col, 1);
        break;
      case VK_PRIOR: row -= page; top = rows_.first - page; break;
      case VK_NEXT: row += page; top = rows_.first + page; break;
      case VK_HOME:
        if (rowSelect) row = rows_.fixed;
        else col = cols_.fixed;
        break;
      case VK_END:
        if (rowSelect) row = rows_.count - 1;
        else col = cols_.count - 1;
        break;
      default: return;
    }
  }
  QPointer<TCustomGrid> self(this);
  const int oldTop = rows_.first;
  // A page keeps the current row at its place on screen where the rows allow it.
  if (top >= 0 && MoveFirst(rows_, top)) Relayout();
  if (!FocusCell(col, row, !extend) && self && top >= 0) SetTopRow(oldTop);
}

void TCustomGrid::EvMouseDown(const TMessage& msg) {
  QPointer<TCustomGrid> self(this);
  if (CanFocus() && !Focused()) SetFocus(FOCUS_MOUSE);
  if (!self) return;
  const int x = msg.XPos(), y = msg.YPos();
  if (options_ & goColSizing) {
    const int k = ColBorderAt(x, y);
    if (k >= 0) {
      sizingCol_ = k;
      sizingGrab_ = x - ClampInt(area_.left + cols_.Start(k, area_.Width()) + cols_.Size(k));
      SetCapture(this);
      return;
    }
  }
  int col, row;
  MouseToCell(x, y, col, row);
  if (col < cols_.fixed || row < rows_.fixed) return;
  const bool extend = (msg.WParam & MK_SHIFT) && (options_ & goRangeSelect);
  if (!FocusCell(col, row, !extend) || !self) return;
  selecting_ = true;
  SetCapture(this);
}

void TCustomGrid::EvMouseMove(const TMessage& msg) {
  const int x = msg.XPos(), y = msg.YPos();
  if (sizingCol_ >= 0) {
    SizeColumnTo(x);
    return;
  }
  if (selecting_ && (msg.WParam & MK_LBUTTON)) {
    int col, row;
    MouseToCell(x, y, col, row);
    if (col >= cols_.fixed && row >= rows_.fixed && (col != cur_.col || row != cur_.row))
      FocusCell(col, row, false);
    return;
  }
  SetCursorShape((options_ & goColSizing) && ColBorderAt(x, y) >= 0 ? TCursor::SizeWE : TCursor::Default);
}

void TCustomGrid::SizeColumnTo(int x) {
  const int64_t start = cols_.Start(sizingCol_, area_.Width());
  if (start < 0) return;
  // The column keeps at least one pixel: sizing never hides it.
  const int w = std::max(1, ClampInt(x - sizingGrab_ - (area_.left + start)));
  if (w != cols_.Size(sizingCol_)) SetColWidth(sizingCol_, w);
}

void TCustomGrid::EvMouseUp(const TMessage& msg) {
  selecting_ = false;
  if (GetCapture() == this) ReleaseCapture();
  if (sizingCol_ >= 0) {
    SizeColumnTo(msg.XPos());
    sizingCol_ = -1;
    ColWidthsChanged();
  }
}

void TCustomGrid::EvMouseWheel(int delta) {
  wheelRest_ += delta;
  const int notches = wheelRest_ / 120;
  if (notches == 0) return;
  wheelRest_ -= notches * 120;
  SetTopRow(rows_.first - notches * kWheelRows);
}

}  // namespace komp
