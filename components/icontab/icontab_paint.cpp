// TIconTab's painting: the tabs stacked below the title band, table rows cell by cell, the
// new-row band, the title band, the header marks.
//
//   Paint       tab after tab from the vertical position; only visible rows are drawn
//   DrawRow     one row: at a given rectangle while painting, else its place is repainted
//   DrawCells   background, grid, grouping, marks, "Keine Angaben", one or several lines
//   PaintMitNeu, PaintTitel
#include <algorithm>
#include <climits>

#include "components/common/marks.h"
#include "components/icontab/icontab.h"
#include "components/suchfeld/suchfeld.h"
#include "framework/gui/graphics.h"

namespace komp {

namespace {
constexpr TColor kGrid = RGB(128, 128, 128);
constexpr TColor kFremdAuswahl = RGB(255, 246, 255);
constexpr TColor kNeuFarbe = RGB(45, 45, 219);
constexpr TColor kNeuRuhig = RGB(210, 250, 250);

TColor Lighter(TColor c) {
  const TColor rgb = ColorToRGB(c);
  auto half = [](uint8_t v) { return uint8_t(v + (255 - v) / 2); };
  return RGB(half(GetRValue(rgb)), half(GetGValue(rgb)), half(GetBValue(rgb)));
}
}  // namespace

void TIconTab::Paint() {
  TCanvas& c = Canvas();
  c.Brush.Color = Color();
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect(ClientRect());
  if (update_) return;
  painting_ = true;
  editorPending_ = false;
  bool relayout = false;
  const int right = ClientW();
  WalkRows(
      [&](Tabdefinition& t, int r, int y, bool firstData) {
        RowDef* row = t.Zeilen[size_t(r)];
        if (row->Fetch && OnGetDaten && r >= t.FixedRows) {
          GetDaten(r, &t);
          relayout |= layoutChanged_;
          // The host's handler changed the tabs or rows: draw again from the start.
          if (!HasTab(&t) || r >= t.RowCount() || t.Zeilen[size_t(r)] != row) {
            relayout = true;
            return true;
          }
        }
        DrawCells(t, r, *row, {0, y, right, y + row->Height}, firstData);
        return false;
      },
      [&](int y) { PaintMitNeu(y); });
  if (editorPending_) {
    editorPending_ = false;
    if (editorOpen_ && editor_) Draw_Input(c, editorCell_);
  }
  if (titleHeight_ > 0) PaintTitel();
  painting_ = false;
  // Fetched texts widened a column or a row: lay out again and draw once more.
  if (relayout) {
    SetGroesse();
    Invalidate();
  }
}

void TIconTab::DrawRow(int ARow, RowDef* Row, const TRect* Rect, Tabdefinition* Tab) {
  Tabdefinition* t = Tab ? Tab : selected_;
  if (!t || ARow < 0 || ARow >= t->RowCount()) return;
  RowDef* r = Row ? Row : t->Zeilen[size_t(ARow)];
  if (Rect && painting_) {
    DrawCells(*t, ARow, *r, *Rect, ARow == t->FixedRows + t->TopRow);
    return;
  }
  TRect place;
  if (RowPlace(*t, ARow, place)) {
    update(place.left, place.top, place.Width(), place.Height());
    return;
  }
  // The current row of the clicked tab scrolled out of sight: scroll just enough to show it.
  if (t != clicked_ || ARow != t->CurrentRow || ARow < t->FixedRows || t->Format != A_Tabelle) return;
  int64_t before = 0;  // data rows of the tabs above
  for (const auto& o : tabs_) {
    if (o.get() == t) break;
    if (o->Format == A_Tabelle) before += std::max(0, o->DataRows());
  }
  const int64_t index = before + (ARow - t->FixedRows);
  int64_t pos = vPos_;
  if (index < pos) {
    pos = index;
  } else {
    // Down: the row becomes the last one that fits.
    int used = 0;
    for (int k = 0; k < t->FixedRows; ++k) used += t->Zeilen[size_t(k)]->Height;
    // The tabs above are scrolled away then: the band comes right above this one.
    if (neueZeile_) used += neueZeileHeight_;
    const int avail = ClientH() - titleHeight_;
    int64_t first = ARow;
    used += t->Zeilen[size_t(ARow)]->Height;
    while (first - 1 >= t->FixedRows && used + t->Zeilen[size_t(first - 1)]->Height <= avail) {
      --first;
      used += t->Zeilen[size_t(first)]->Height;
    }
    pos = before + (first - t->FixedRows);
  }
  vPos_ = int(std::clamp<int64_t>(pos, 0, vRange_));
  PlaceBars();
  Invalidate();
}

TColor TIconTab::CellColor(const Tabdefinition& t, int row, int col, TColor rowColor) const {
  if (t.ZellFarben.empty() || col >= t.ZellFarbenCols) return rowColor;
  const size_t i = size_t(row) * size_t(t.ZellFarbenCols) + size_t(col);
  return i < t.ZellFarben.size() ? t.ZellFarben[i] : rowColor;
}

void TIconTab::DrawCells(Tabdefinition& t, int row, RowDef& r, const TRect& rect, bool firstVisible) {
  TCanvas& c = Canvas();
  const int clientRight = ClientW();
  const bool caption = r.Art & 1;
  const bool title = row < t.FixedRows;
  const bool lastTitle = row == t.FixedRows - 1;
  const bool dataRow = !title;
  const bool current = dataRow && row == t.CurrentRow && selectionShown_;
  const bool active = Focused() && &t == clicked_;
  const bool stretch = uint32_t(r.Extent) > uint32_t(t.Cols);
  const int lastCol = std::min<int64_t>(t.Cols, uint32_t(r.Extent)) - 1;

  TFont font = Font();
  font.Size = t.FontSize;
  font.Height = 0;
  if (caption) {
    font.Size = 16;
    font.Style |= fsBold;
  } else if (title) {
    font.Style |= fsBold;
  }
  c.Font = font;
  const int lineH = TextHeight(font.Size, (font.Style & fsBold) != 0);
  lineHeight_ = lineH;

  // The open editor is drawn over its cell, after the row.
  const bool editing = editorOpen_ && editor_ && editor_->Tab == &t && editor_->Row == row && !caption;
  TRect editCell;
  bool editShown = false;
  int64_t x = 0;
  int64_t scrolledAway = 0;
  for (int k = t.FixedCols; k < std::min(t.FixedCols + hPos_, t.Cols); ++k) scrolledAway += ColWidth(t, k);
  for (int col = 0; col <= lastCol; ++col) {
    if (col == t.FixedCols && t.FixedCols + hPos_ > col) col = t.FixedCols + hPos_;
    if (col > lastCol) break;
    TRect cell{int(x), rect.top, int(std::min<int64_t>(x + ColWidth(t, col), INT_MAX / 2)), rect.bottom};
    if (caption) cell = {int(-scrolledAway), rect.top, clientRight, rect.bottom};
    else if (col == lastCol && stretch) cell.right = std::max(cell.right, clientRight);

    TColor back = Color();
    if (col < t.FixedCols || title) back = SuchModus ? kSuchFarbe : clBtnFace;
    else if (r.Art == 2) back = clBtnFace;
    TColor ink = CellColor(t, row, col, r.Color);
    if (ink == 0) ink = clWindowText;
    if (current && !caption && col >= t.FixedCols) {
      if (active) {
        back = r.Color ? r.Color : clHighlight;
        if (col == currentCol_) back = Lighter(back);
        ink = clWhite;
      } else {
        back = kFremdAuswahl;
      }
    }
    c.Brush.Color = back;
    // Paint filled the area in the control's colour already.
    c.Brush.Style = back == Color() ? TBrushStyle::Clear : TBrushStyle::Solid;
    if (r.Art == 1) {
      c.FillRect(cell);
    } else {
      c.Pen.Color = kGrid;
      c.Pen.Style = TPenStyle::Solid;
      c.Pen.Width = 1;
      c.Rectangle(cell.left, cell.top, cell.right + 1, cell.bottom + 1);
    }
    const bool hidden = Group && !t.Grafik && dataRow && !caption && col >= t.FixedCols && col < r.Group && !firstVisible;
    if (Group && !t.Grafik && dataRow && !caption && col >= t.FixedCols) {
      // Grouped cells merge with the cell above into one block.
      c.Pen.Color = Color();
      if (hidden) {
        c.MoveTo(cell.left + 1, cell.top);
        c.LineTo(cell.right, cell.top);
      }
      const RowDef* below = t.Row(row + 1);
      if (below && !(below->Art & 1) && col < below->Group) {
        c.MoveTo(cell.left + 1, cell.bottom);
        c.LineTo(cell.right, cell.bottom);
      }
    }

    int tx = cell.left + 4;
    if (lastTitle && !caption) {
      const int markY = cell.top + (cell.Height() - marks::kHeight) / 2;
      if (sortierung_ && col == sortCol_) {
        c.Draw(cell.left + 4, markY, sortDown_ ? marks::SortDown() : marks::SortUp());
        tx += 10;
        if (col == SuchSpalte) ink = clPurple;
      } else if (col == SuchSpalte && such_) {
        c.Draw(cell.left + 4, markY, marks::Search());
        tx += 10;
      }
    }
    std::string text(caption ? t.Cell(row, 0) : t.Cell(row, col));
    if (dataRow && r.Art == 0 && col == t.FixedCols && !Zusatztext.empty()) text = Zusatztext + text;
    if (KeineAngaben && dataRow && r.Art == 0 && text.empty()) text = "Keine Angaben";
    if (!hidden) {
      c.Font.Color = ink;
      c.Brush.Style = TBrushStyle::Clear;
      const TRect clip = cell.Intersect(rect);
      if (r.Lines <= 1 || caption) {
        c.TextRect(clip, tx, cell.top + cell.Height() / 2 - lineH / 2, text);
      } else {
        size_t start = 0;
        for (int line = 0;; ++line) {
          size_t end = text.find('\r', start);
          const std::string_view part = std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start);
          c.TextRect(clip, tx, cell.top + line * lineH + DefaultRowHeight / 2 - lineH / 2, part);
          if (end == std::string::npos) break;
          start = end + 1;
          if (start < text.size() && text[start] == '\n') ++start;
        }
      }
    }
    if (OnUserDraw) {
      TIconUserDrawEvent handler = OnUserDraw;
      handler(this, row, col, c, cell, text, t.Format, r.Art, t.Nummer);
    }
    if (editing && col == editor_->Column) {
      editCell = cell;
      editShown = true;
    }
    if (caption) break;
    x = cell.right;
    if (x >= clientRight) break;
  }
  // Drawn when all rows are: a box grown for several lines overlaps the rows below.
  if (editShown) {
    editorCell_ = editCell;
    editorPending_ = true;
  }
}

void TIconTab::PaintMitNeu(int y) {
  TCanvas& c = Canvas();
  const TRect band{0, y, ClientW(), y + neueZeileHeight_};
  const bool none = !selected_ || selected_->CurrentRow < 0;
  TColor back = Color(), ink = kNeuFarbe;
  if (none) {
    back = Focused() ? clHighlight : kNeuRuhig;
    if (Focused()) ink = clWhite;
  }
  c.Brush.Color = back;
  c.Brush.Style = TBrushStyle::Solid;
  c.Pen.Color = kGrid;
  c.Pen.Style = TPenStyle::Solid;
  c.Rectangle(band.left, band.top, band.right, band.bottom + 1);
  TFont f = Font();
  f.Height = 0;
  f.Size = Font().Size * 3 / 2;
  f.Style |= fsBold;
  f.Color = ink;
  c.Font = f;
  c.Brush.Style = TBrushStyle::Clear;
  c.TextRect(band, 2, y, neueZeileText_);
}

void TIconTab::PaintTitel() {
  TCanvas& c = Canvas();
  const int w = ClientW();
  c.Brush.Color = titelColor_;
  c.Brush.Style = TBrushStyle::Solid;
  c.FillRect({0, 0, w, titleHeight_});
  TFont f = Font();
  f.Height = 0;
  f.Size = 10;
  f.Style |= fsBold;
  f.Color = clWindowText;
  c.Font = f;
  c.Brush.Style = TBrushStyle::Clear;
  c.TextRect({0, 0, w, titleHeight_}, 4, 2, caption_);
  c.Pen.Style = TPenStyle::Solid;
  c.Pen.Color = cl3DDkShadow;
  c.MoveTo(0, titleHeight_ - 2);
  c.LineTo(w, titleHeight_ - 2);
  c.Pen.Color = cl3DLight;
  c.MoveTo(0, titleHeight_ - 1);
  c.LineTo(w, titleHeight_ - 1);
}

}  // namespace komp
