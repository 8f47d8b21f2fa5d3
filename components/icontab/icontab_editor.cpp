// The in-cell editor: its text model, then the control's side of it.
//
//   TZellEditor       lines, caret, selection, the bound list (no drawing)
//   Set_Input         loads a cell (OnGetFilter, GetCell, selection, scrolling the column in)
//   TextChange        commits to the cell where editing began, once at a time
//   Draw_Input        the box, its text, the overflow marks, the drop-down button
//   SetCursor         caret moves, horizontal scrolling of the text, the caret's place
//   Draw_Liste ...    the drop-down list (kind 1) on the framework's list window
#include "components/icontab/icontab_editor.h"

#include <algorithm>

#include "components/icontab/icontab.h"
#include "components/stringtab/stringtab.h"
#include "framework/gui/caret.h"
#include "framework/gui/listwindow.h"
#include "framework/gui/services.h"
#include "framework/stringlist.h"

namespace komp {

// ---------------------------------------------------------------- model

TZellEditor::TZellEditor() = default;

TZellEditor::~TZellEditor() { SetList(Filter_Struct{}); }

TIconTab* TZellEditor::Tabelle() const { return tabelle_.data(); }
TStringTab* TZellEditor::StringTab() const { return stringTab_.data(); }

void TZellEditor::SetList(const Filter_Struct& f) {
  if (owned_) {
    delete strings_;
    delete tabelle_.data();
    delete stringTab_.data();
  }
  strings_ = f.Strings;
  tabelle_ = f.Tabelle;
  stringTab_ = f.StringTab;
  owned_ = f.Owned == 1;
  ListColumn = f.Spalte;
  Reserved = f.Reserve;
  ListSelect = f.Select;
}

bool TZellEditor::HasList() const {
  switch (Kind) {
    case eaListe: return strings_ != nullptr;
    case eaTabelle: return !tabelle_.isNull();
    case eaStringTab: return !stringTab_.isNull();
    default: return false;
  }
}

void TZellEditor::SetString(int line, std::string_view text) {
  if (line >= 0) {
    if (line >= int(lines_.size())) return;
    const size_t end = text.find_first_of("\r\n");
    lines_[size_t(line)] = std::string(text.substr(0, end));
    return;
  }
  lines_.clear();
  size_t start = 0;
  for (;;) {
    const size_t end = text.find_first_of("\r\n", start);
    lines_.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  Caret = {};
  SelStart = SelLength = 0;
}

int TZellEditor::GetTextLength() const {
  int n = 0;
  for (const std::string& l : lines_) n += int(l.size()) + 2;
  return n - 2;
}

int TZellEditor::Offset(int line, int pos) const {
  int n = 0;
  for (int i = 0; i < line && i < int(lines_.size()); ++i) n += int(lines_[size_t(i)].size()) + 2;
  return n + pos;
}

Cursordef TZellEditor::PosinCurPos(int offset) const {
  Cursordef c;
  offset = std::max(0, offset);
  for (size_t i = 0; i < lines_.size(); ++i) {
    const int len = int(lines_[i].size());
    if (offset <= len || i + 1 == lines_.size()) {
      c.Zeile = int(i);
      c.Zeichen = std::min(offset, len);
      return c;
    }
    // An offset inside the break counts as the end of the line.
    offset -= len + 2;
    if (offset < 0) {
      c.Zeile = int(i);
      c.Zeichen = len;
      return c;
    }
  }
  return c;
}

std::string TZellEditor::GetTextStr(char mode) const {
  std::string all;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) all += "\r\n";
    all += lines_[i];
  }
  const int at = std::min(CaretOffset(), int(all.size()));
  switch (mode) {
    case 1: return all.substr(0, size_t(at));
    case 2: return all.substr(size_t(at));
    case 3:
      if (SelLength <= 0 || SelStart >= int(all.size())) return {};
      return all.substr(size_t(std::max(0, SelStart)), size_t(SelLength));
    default: return all;
  }
}

void TZellEditor::InsertText(int line, int pos, Cursordef* caret, std::string_view text) {
  if (line < 0 || line >= int(lines_.size())) return;
  std::string& l = lines_[size_t(line)];
  pos = std::clamp(pos, 0, int(l.size()));
  const std::string tail = l.substr(size_t(pos));
  l.erase(size_t(pos));
  size_t start = 0;
  int at = line;
  for (;;) {
    const size_t end = text.find_first_of("\r\n", start);
    lines_[size_t(at)] += text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    lines_.insert(lines_.begin() + at + 1, std::string());
    ++at;
  }
  const int endPos = int(lines_[size_t(at)].size());
  lines_[size_t(at)] += tail;
  if (caret) {
    caret->Zeile = at;
    caret->Zeichen = endPos;
  }
}

void TZellEditor::DeleteText(int line, int pos, int count) {
  if (line < 0 || line >= int(lines_.size())) return;
  int from = Offset(line, std::clamp(pos, 0, int(lines_[size_t(line)].size())));
  if (count < 0) {
    if (from == 0) return;
    // One before: a whole line break when the position is at a line start.
    count = pos == 0 ? 2 : 1;
    from -= count;
  }
  const std::string all = GetTextStr(0);
  const int to = std::min(int(all.size()), from + count);
  if (from >= to) return;
  std::string rest = all.substr(0, size_t(from)) + all.substr(size_t(to));
  // A cut through a CR LF pair leaves one half: it still is one break.
  SetString(-1, rest);
  Caret = PosinCurPos(from);
}

bool TZellEditor::DelSelect() {
  if (SelLength <= 0) return false;
  const int start = std::clamp(SelStart, 0, GetTextLength());
  const Cursordef at = PosinCurPos(start);
  DeleteText(at.Zeile, at.Zeichen, SelLength);
  Caret = PosinCurPos(start);
  SelStart = start;
  SelLength = 0;
  return true;
}

int TZellEditor::Clamp(int offset) const { return std::clamp(offset, 0, GetTextLength()); }

void TZellEditor::Move(int n) {
  for (; n > 0; --n) {
    if (Caret.Zeichen < int(lines_[size_t(Caret.Zeile)].size())) ++Caret.Zeichen;
    else if (Caret.Zeile + 1 < int(lines_.size())) Caret = {Caret.Zeile + 1, 0, Caret.Scroll};
  }
  for (; n < 0; ++n) {
    if (Caret.Zeichen > 0) --Caret.Zeichen;
    else if (Caret.Zeile > 0) Caret = {Caret.Zeile - 1, int(lines_[size_t(Caret.Zeile - 1)].size()), Caret.Scroll};
  }
}

void TZellEditor::MoveTo(int offset, bool extend) {
  const int from = CaretOffset();
  int anchor = from;
  if (SelLength > 0) anchor = from == SelStart ? SelStart + SelLength : SelStart;
  const Cursordef to = PosinCurPos(Clamp(offset));
  Caret.Zeile = to.Zeile;
  Caret.Zeichen = to.Zeichen;
  const int now = CaretOffset();
  if (extend) {
    SelStart = std::min(anchor, now);
    SelLength = std::abs(now - anchor);
  } else {
    SelStart = now;
    SelLength = 0;
  }
}

void TZellEditor::SetSelStart(int line, int pos) {
  SelStart = Offset(line, pos);
  SelLength = std::max(0, GetTextLength() - SelStart);
}

void TZellEditor::SelectAll() {
  SelStart = 0;
  SelLength = GetTextLength();
}

// ---------------------------------------------------------------- the control's side

TListWindow* TIconTab::DropDown() const { return editor_ ? editor_->DropDown.get() : nullptr; }

int TIconTab::EditorLineHeight() const {
  const int size = editor_ && editor_->Tab ? editor_->Tab->FontSize : Font().Size;
  return std::max(1, TextHeight(size));
}

int TIconTab::EditorTextWidth(std::string_view s) const {
  if (!editor_ || !editor_->Tab) return 0;
  return MeasureLine(*editor_->Tab, s);
}

void TIconTab::Set_Input(int ARow) {
  TZellEditor* e = editor_.get();
  if (!e || !e->Tab || !HasTab(e->Tab) || ARow < 0 || ARow >= e->Tab->RowCount()) return;
  Tabdefinition* t = e->Tab;
  const std::shared_ptr<bool> alive = alive_;
  e->BoxLines = 0;
  e->ListIndex = -1;
  selected_ = t;
  e->Kind = eaText;
  e->Row = ARow;
  e->RowRecord = t->Zeilen[size_t(ARow)];
  if (OnGetFilter) {
    Filter_Struct f;
    auto handler = OnGetFilter;
    handler(this, f, ARow, e->Column);
    if (!*alive || editor_.get() != e || !HasTab(t) || ARow >= t->RowCount()) return;
    if (f.Art != 0) {
      e->Kind = f.Art;
      e->SetList(f);
    }
  }
  // The fetched text of a lazy cell, not the raw list.
  std::string text = FetchedCell(*t, ARow, e->Column);
  if (!*alive || editor_.get() != e || !HasTab(t) || ARow >= t->RowCount()) return;
  e->SetString(-1, text);
  e->Shown = false;
  e->SelStart = 0;
  if (e->Kind <= eaStringTab && e->Kind != eaListe) {
    e->SelectAll();
    if (e->Kind == eaTabelle && e->Tabelle() && e->IfTextStr()) {
      TIconTab* other = e->Tabelle();
      e->ListIndex = other->FindRow(text, e->ListSelect, 0, nullptr, other->GetFixedRows(), true);
      if (!*alive || editor_.get() != e) return;
    } else if (e->Kind == eaStringTab && e->StringTab() && e->IfTextStr()) {
      e->ListIndex = e->StringTab()->FindRow(text, 0, 1, true);
    }
  } else {
    e->SelLength = e->Kind == eaListe ? -1 : 0;
  }
  e->Modified = false;
  // Bring the column into view.
  if (t->Format == A_Tabelle && e->Column >= t->FixedCols) {
    int pos = hPos_;
    const int rel = e->Column - t->FixedCols;
    if (rel < pos) {
      pos = rel;
    } else {
      int64_t w = 0;
      for (int c = 0; c < std::min(t->FixedCols, t->Cols); ++c) w += ColWidth(*t, c);
      int first = t->FixedCols + pos;
      for (int c = first; c <= e->Column; ++c) w += ColWidth(*t, c);
      while (w > ClientW() && first < e->Column) w -= ColWidth(*t, first++);
      pos = first - t->FixedCols;
    }
    pos = std::clamp(pos, 0, hRange_);
    if (pos != hPos_) {
      hPos_ = pos;
      PlaceBars();
      Invalidate();
    }
  }
  TRect box;
  if (!GetZellRect(box, e->Column, ARow, t->Nummer)) box = {};
  e->Box = box;
  e->Caret = {};
  if (e->Kind == eaText || e->Kind == eaTabelle || e->Kind == eaStringTab) {
    if (Focused()) {
      CreateCaret(this, 2, EditorLineHeight());
      e->Shown = true;
    }
    SetCursor(e->Kind == eaText ? e->SelStart + e->SelLength : 0, false);
    if (e->Shown) ShowCaret(this);
  } else {
    if (CaretState().owner == this) HideCaret(this);
    e->Shown = false;
  }
}

void TIconTab::Input_Show(bool on) {
  if (!editor_) return;
  editorOpen_ = on;
  if (!on) {
    if (CaretState().owner == this) DestroyCaret();
    editor_->Shown = false;
    CloseListe();
  }
  if (editor_->Tab && HasTab(editor_->Tab) && editor_->Row >= 0) InvalidateRow(*editor_->Tab, editor_->Row);
}

void TIconTab::CloseEditor(bool commit) {
  if (!editor_) return;
  if (commit && editor_->Modified) TextChange();
  if (editor_) Input_Show(false);
}

void TIconTab::TextChange() {
  TZellEditor* e = editor_.get();
  // A message box or a focus change inside OnCellChange must not commit a second time.
  if (!e || committing_) return;
  Tabdefinition* t = e->Tab;
  const int row = e->Row, col = e->Column;
  if (!t || !HasTab(t) || row < t->FixedRows || row >= t->RowCount() || t->Zeilen[size_t(row)] != e->RowRecord ||
      col < 0 || col >= t->RealCols)
    return;
  e->Modified = false;
  std::string str = e->GetTextStr(0);
  bool enabled = true;
  committing_ = true;
  const std::shared_ptr<bool> alive = alive_;
  if (OnCellChange) {
    auto handler = OnCellChange;
    try {
      handler(this, row, col, str, e->ListIndex, enabled);
    } catch (...) {
      if (*alive) committing_ = false;
      throw;
    }
    if (!*alive) return;
  }
  committing_ = false;
  if (!enabled || !HasTab(t) || row >= t->RowCount()) return;
  SetCell(unsigned(row), unsigned(col), str, 0, -1, t->Nummer);
  InvalidateRow(*t, row);
}

// ---------------------------------------------------------------- box and caret

int TIconTab::UsableWidth() const {
  const TZellEditor* e = editor_.get();
  if (!e || !e->Tab) return 0;
  const Tabdefinition& t = *e->Tab;
  int w = e->Column >= 0 && e->Column < t.Cols ? ColWidth(t, e->Column) : 0;
  const int room = ClientW() - 2 - e->Box.left;
  if (w > room || e->Column == t.Cols - 1) w = std::max(w, room);
  if (e->Kind == eaListe) w -= 12;
  return std::max(0, w);
}

void TIconTab::SetCursor(int move, bool redraw) {
  TZellEditor* e = editor_.get();
  if (!e) return;
  e->Move(move);
  const int usable = UsableWidth();
  const int oldScroll = e->Caret.Scroll;
  int widest = 0;
  for (const std::string& l : e->Lines()) widest = std::max(widest, EditorTextWidth(l));
  const std::string& line = e->Lines()[size_t(e->Caret.Zeile)];
  int scroll = 0;
  if (widest > usable - 8) {
    scroll = std::clamp(std::min(e->Caret.Scroll, e->Caret.Zeichen - 2), 0, int(line.size()));
    while (scroll < e->Caret.Zeichen &&
           EditorTextWidth(std::string_view(line).substr(size_t(scroll), size_t(e->Caret.Zeichen + 2 - scroll))) >
               usable - (scroll ? 16 : 14))
      ++scroll;
  }
  e->Caret.Scroll = scroll;
  if (redraw || scroll != oldScroll) RedrawEditor();
  PlaceCaret();
}

void TIconTab::PlaceCaret() {
  TZellEditor* e = editor_.get();
  if (!e || CaretState().owner != this) return;
  const std::string& line = e->Lines()[size_t(e->Caret.Zeile)];
  const int s = std::min(e->Caret.Scroll, int(line.size()));
  const int lineH = EditorLineHeight();
  int x = e->Box.left + 4;
  if (e->Caret.Zeichen > 0)
    x += EditorTextWidth(std::string_view(line).substr(size_t(s), size_t(std::max(0, e->Caret.Zeichen - s)))) +
         (s > 0 ? 8 : 0);
  const int half = e->Lines().size() > 1 ? DefaultRowHeight / 2 : e->Box.Height() / 2;
  SetCaretPos(x, e->Box.top + half - lineH / 2 + e->Caret.Zeile * lineH);
}

void TIconTab::SetMouseCursor(int x, int y) {
  TZellEditor* e = editor_.get();
  if (!e) return;
  const int lineH = EditorLineHeight();
  const int half = e->Lines().size() > 1 ? DefaultRowHeight / 2 : e->Box.Height() / 2;
  const int line = std::clamp((y - (e->Box.top + half - lineH / 2)) / lineH, 0, int(e->Lines().size()) - 1);
  const std::string& l = e->Lines()[size_t(line)];
  const int s = line == e->Caret.Zeile ? std::min(e->Caret.Scroll, int(l.size())) : 0;
  const int rel = x - e->Box.left - 4 - (s > 0 ? 8 : 0);
  int ch = s;
  while (ch < int(l.size())) {
    const int before = EditorTextWidth(std::string_view(l).substr(size_t(s), size_t(ch - s)));
    const int after = EditorTextWidth(std::string_view(l).substr(size_t(s), size_t(ch + 1 - s)));
    if (rel < (before + after) / 2) break;
    ++ch;
  }
  e->Caret.Zeile = line;
  e->Caret.Zeichen = ch;
  SetCursor(0, false);
}

void TIconTab::RedrawEditor() {
  if (editor_ && editor_->Tab && HasTab(editor_->Tab) && editor_->Row >= 0) InvalidateRow(*editor_->Tab, editor_->Row);
}

void TIconTab::Draw_Input(TCanvas& c, const TRect& cell) {
  TZellEditor* e = editor_.get();
  if (!e) return;
  const int lineH = EditorLineHeight();
  const int lines = int(e->Lines().size());
  TRect box = cell;
  // More lines than the row shows: the box grows over the rows below.
  if (lines > 1 && box.top + lines * lineH + 8 > box.bottom) box.bottom = box.top + lines * lineH + 8;
  e->Box = box;
  e->BoxLines = lines;
  const bool focused = Focused();
  const TColor fill = !focused ? clHighlight : (e->Kind == eaTabelle || e->Kind == eaStringTab) ? clInfoBk : clWhite;
  c.Brush.Style = TBrushStyle::Solid;
  c.Brush.Color = fill;
  c.Pen.Style = TPenStyle::Solid;
  c.Pen.Color = RGB(128, 128, 128);
  c.Pen.Width = 1;
  c.Rectangle(box);
  c.Brush.Style = TBrushStyle::Clear;
  c.Rectangle(box.left + 2, box.top + 2, box.right - 2, box.bottom - 2);
  TFont f = Font();
  f.Size = e->Tab ? e->Tab->FontSize : f.Size;
  f.Height = 0;
  const int usable = UsableWidth();
  const int selFrom = e->SelLength > 0 ? e->SelStart : -1, selTo = e->SelLength > 0 ? e->SelStart + e->SelLength : -1;
  const TRect clip{box.left + 1, box.top + 1, box.left + std::max(1, usable), box.bottom - 1};
  const int half = lines > 1 ? DefaultRowHeight / 2 : box.Height() / 2;
  for (int i = 0; i < lines; ++i) {
    const std::string& l = e->Lines()[size_t(i)];
    const int s = i == e->Caret.Zeile ? std::min(e->Caret.Scroll, int(l.size())) : 0;
    const int y = box.top + half - lineH / 2 + i * lineH;
    int x = box.left + 4 + (s > 0 ? 8 : 0);
    const int base = e->Offset(i, 0);
    // Runs of selected and unselected characters.
    int k = s;
    while (k < int(l.size())) {
      const bool sel = base + k >= selFrom && base + k < selTo;
      int end = k;
      while (end < int(l.size()) && ((base + end >= selFrom && base + end < selTo) == sel)) ++end;
      const std::string_view part = std::string_view(l).substr(size_t(k), size_t(end - k));
      const int w = MeasureLine(*e->Tab, part);
      f.Color = sel ? clWhite : clBlack;
      c.Font = f;
      if (sel) {
        c.Brush.Style = TBrushStyle::Solid;
        c.Brush.Color = clHighlight;
        c.FillRect(TRect{x, y, x + w, y + lineH}.Intersect(clip));
      }
      c.Brush.Style = TBrushStyle::Clear;
      c.TextRect(clip, x, y, part);
      x += w;
      k = end;
    }
    f.Color = RGB(255, 0, 0);
    c.Font = f;
    if (x > box.left + usable) c.TextRect(box, box.left + usable - MeasureLine(*e->Tab, ">") - 1, y, ">");
    if (s > 0) c.TextRect(box, box.left + 3, y, "<");
  }
  if (e->Kind == eaListe) {
    const int bw = std::min(12, box.Width() - 4);
    if (bw >= 4) {
      const TRect b{box.right - bw - 2, box.top + 2, box.right - 2, box.bottom - 2};
      c.Brush.Style = TBrushStyle::Solid;
      c.Brush.Color = clBtnFace;
      c.Pen.Color = RGB(128, 128, 128);
      c.Rectangle(b);
      c.Brush.Color = clBlack;
      c.Pen.Color = clBlack;
      const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
      c.Polygon({{cx - 3, cy - 1}, {cx + 3, cy - 1}, {cx, cy + 2}});
    }
  }
}

// ---------------------------------------------------------------- drop-down list

void TIconTab::Draw_Liste() {
  TZellEditor* e = editor_.get();
  if (!e || e->Kind != eaListe || !e->Strings()) return;
  if (!e->DropDown) e->DropDown = std::make_unique<TListWindow>();
  TListWindow& w = *e->DropDown;
  std::vector<std::string> items;
  for (int i = 0; i < e->Strings()->Count(); ++i) items.push_back((*e->Strings())[i]);
  w.SetItems(items);
  TFont f = Font();
  f.Height = 0;
  w.SetFont(f);
  w.Owner = this;
  const std::string text = e->GetTextStr(0);
  int index = text.empty() && !items.empty() ? 0 : -1;
  for (size_t i = 0; i < items.size() && index < 0; ++i)
    if (items[i].compare(0, text.size(), text) == 0) index = int(i);
  w.SetItemIndex(index);
  const int itemH = std::max(1, w.ItemHeight());
  int h = std::max<int>(1, int(items.size())) * itemH + 2;
  const int width = std::max(100, e->Box.Width());
  const TPoint below = ClientToScreen({e->Box.left, e->Box.bottom});
  const TPoint above = ClientToScreen({e->Box.left, e->Box.top});
  const TRect screen = MonitorBounds();
  TRect r{below.x, below.y, below.x + width, below.y + h};
  if (r.bottom > screen.bottom) {
    const int roomBelow = screen.bottom - below.y;
    if (roomBelow < 10 * itemH) {
      h = std::min(h, above.y - screen.top);
      r = {above.x, above.y - h, above.x + width, above.y};
    } else {
      r.bottom = screen.bottom;
    }
  }
  QPointer<TIconTab> self(this);
  w.MouseWatch = [self](uint32_t msg, TPoint p) { return self ? self->ListeWatch(msg, p) : false; };
  w.ShowAt(r);
}

bool TIconTab::ListeWatch(uint32_t msg, TPoint screen) {
  TZellEditor* e = editor_.get();
  if (!e || !e->DropDown) return false;
  const int item = e->DropDown->ItemAtScreen(screen);
  if (msg == WM_MOUSEMOVE) {
    if (item >= 0) e->DropDown->SetItemIndex(item);
    return false;
  }
  if (msg != WM_LBUTTONDOWN) return false;
  if (item >= 0) {
    e->DropDown->SetItemIndex(item);
    TakeListEntry();
    CloseListe();
    if (editor_ && editor_->Modified) TextChange();
  } else {
    CloseListe();
  }
  return true;
}

void TIconTab::CloseListe() {
  if (editor_ && editor_->DropDown) {
    editor_->DropDown->MouseWatch = nullptr;
    editor_->DropDown->Hide();
  }
  // The press that opened the list kept the mouse; with the list gone it is free again.
  if (GetCapture() == this) ReleaseCapture();
}

bool TIconTab::TakeListEntry() {
  TZellEditor* e = editor_.get();
  if (!e || !e->DropDown || !e->DropDown->Visible()) return false;
  const int i = e->DropDown->ItemIndex();
  if (i < 0 || i >= int(e->DropDown->Items().size())) return false;
  e->ListIndex = i;
  e->SetString(-1, e->DropDown->Items()[size_t(i)]);
  e->SelLength = -1;
  e->Modified = true;
  RedrawEditor();
  return true;
}

void TIconTab::SetListIndex(int index, char step) {
  TListWindow* w = DropDown();
  if (!w) return;
  if (step) index = w->ItemIndex() + ((uint8_t(step) & 0x80) ? -1 : 1);
  if (index < 0 || index >= int(w->Items().size())) return;
  w->SetItemIndex(index);
}

}  // namespace komp
