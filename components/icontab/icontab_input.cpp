// TIconTab's interaction: mouse, keys, characters, focus, the popup menus, the edit mask.
//
//   HitTest, ColumnAt, BorderAt   where a point is (tab, row, column, the new-row band)
//   EvButton                      presses and releases: sort and search column in the title
//                                 rows, column sizing, the editor, the current row, menus
//   WMMouseMove                   column sizing, text selection, the resize cursor
//   WMKeyDown, MoveRow, EnterKey  keys with and without the editor
//   WMChar, EditorChar, Completion characters; typing into the editor, completing from a list
//   WMSetFocus, WMKillFocus       the editor closes (and commits) when the focus leaves
//   SetEditCol, Set_Eingabefocus  the edit mask and opening the editor from code
#include <QPointer>
#include <algorithm>

#include "components/common/editmenu.h"
#include "components/icontab/icontab.h"
#include "components/stringtab/stringtab.h"
#include "components/suchfeld/suchfeld.h"
#include "framework/gui/caret.h"
#include "framework/gui/listwindow.h"
#include "framework/gui/menus.h"
#include "framework/gui/services.h"

namespace komp {

namespace {
bool Bit(uint32_t mask, int col) { return col >= 0 && col < 32 && (mask >> col) & 1u; }
const char* const kDefaultEntries[] = {"Tabelle Drucken", "Zelle Kopieren", "Tabelle Kopieren", "Tabelle Exportieren",
                                       "Tabelle Senden (E-Mail)"};
}  // namespace

// ---------------------------------------------------------------- where

int TIconTab::ColumnAt(const Tabdefinition& t, int row, int x) const {
  int64_t left = 0;
  int last = -1;
  for (int c = 0; c < t.Cols; ++c) {
    if (c == t.FixedCols) c = t.FixedCols + hPos_;
    if (c >= t.Cols) break;
    const int64_t right = left + ColWidth(t, c);
    if (x >= left && x < right) return c;
    left = right;
    last = c;
  }
  // The last column of a row that stretches reaches to the right edge.
  const RowDef* r = t.Row(row);
  if (r && last == t.Cols - 1 && uint32_t(r->Extent) > uint32_t(t.Cols) && x >= left && x < ClientW()) return last;
  return -1;
}

TIconTab::Treffer TIconTab::HitTest(int x, int y) {
  Treffer hit;
  if (y < titleHeight_) return hit;
  WalkRows(
      [&](Tabdefinition& t, int r, int top, bool) {
        if (y < top || y >= top + t.Zeilen[size_t(r)]->Height) return false;
        hit.Tab = &t;
        hit.Row = r;
        hit.Col = ColumnAt(t, r, x);
        return true;
      },
      [&](int top) {
        if (y >= top && y < top + neueZeileHeight_) hit.Band = true;
      });
  return hit;
}

// The column whose right border lies within 2 pixels of x in a title row (not the last one).
int TIconTab::BorderAt(int x, int y, Tabdefinition** tab) {
  const Treffer hit = HitTest(x, y);
  if (!hit.Tab || hit.Row >= hit.Tab->FixedRows) return -1;
  const Tabdefinition& t = *hit.Tab;
  int64_t right = 0;
  for (int c = 0; c < t.Cols - 1; ++c) {
    if (c == t.FixedCols) c = t.FixedCols + hPos_;
    if (c >= t.Cols - 1) break;
    right += ColWidth(t, c);
    if (std::abs(x - right) <= 2) {
      if (tab) *tab = hit.Tab;
      return c;
    }
  }
  return -1;
}

bool TIconTab::IsEditable(Tabdefinition& t, int row, int col) {
  if (!Bit(t.EditMask, col) || col >= t.Cols) return false;
  if (!OnIsEditCol) return true;
  bool enabled = true;
  TIconEditColEvent handler = OnIsEditCol;
  handler(this, row, col, enabled, t.Nummer);
  return enabled;
}

int TIconTab::NextEditCol(Tabdefinition& t, int row, int after) {
  const std::shared_ptr<bool> alive = alive_;
  for (int c = std::max(after + 1, t.FixedCols); c < std::min(t.Cols, 32); ++c) {
    if (!Bit(t.EditMask, c)) continue;
    const bool ok = IsEditable(t, row, c);
    if (!*alive || !HasTab(&t)) return -1;
    if (ok) return c;
  }
  return -1;
}

void TIconTab::RaiseSelectCell(int row, int col) {
  if (!OnSelectCell) return;
  TIconCellEvent handler = OnSelectCell;
  handler(this, row, col);
}

// ---------------------------------------------------------------- mouse

void TIconTab::WMMouseDown(TMessage& msg) {
  if (msg.Msg == WM_MBUTTONDOWN) return;
  EvButton(msg, true, msg.Msg == WM_RBUTTONDOWN);
}

void TIconTab::WMMouseUp(TMessage& msg) {
  if (msg.Msg == WM_MBUTTONUP) return;
  EvButton(msg, false, msg.Msg == WM_RBUTTONUP);
}

void TIconTab::WMDblClick(TMessage& msg) {
  if (msg.Msg != WM_LBUTTONDBLCLK) return;
  doubleClick_ = true;
  mouseHeld_ = true;
}

void TIconTab::EvButton(TMessage& msg, bool press, bool right) {
  const std::shared_ptr<bool> alive = alive_;
  if (!Focused()) {
    if (!press) return;
    SetFocus(FOCUS_MOUSE);
    if (!*alive) return;
  }
  const int x = msg.XPos(), y = msg.YPos();
  // The drop-down list takes its presses through its mouse watch; here only what is left.
  if (DropDown() && DropDown()->Visible()) return;
  if (press) SetCapture(this);
  const int oldCol = currentCol_;
  if (press) clickedRow_ = -1;

  if (y < titleHeight_) {
    if (press && right && CaptionPopup) {
      const TPoint p = ClientToScreen({x, y});
      CaptionPopup->Popup(p.x, p.y, this);
      if (!*alive) return;
    }
  } else if (const Treffer hit = HitTest(x, y); hit.Band && press) {
    ChangeRow(-1, selected_ ? selected_ : clicked_);
    if (!*alive) return;
    RaiseSelectCell(-1, 0);
    if (!*alive) return;
  } else if (hit.Tab && (hit.Row < hit.Tab->FixedRows || (hit.Col >= 0 && hit.Col < hit.Tab->FixedCols)) &&
             hit.Tab->Format != A_Vektor) {
    Tabdefinition* t = hit.Tab;
    currentCol_ = hit.Col;
    if (!press) {
      // A release here ends a pending selection.
      InvalidateRow(*t, hit.Row);
    } else if (!right && resizeCol_ >= 0 && resizeTab_ == t && Spaltenbreite) {
      anchorX_ = x + 2;
      resizeState_ = 1;
      currentCol_ = -1;
    } else if (hit.Col >= 0) {
      if (!right && sortierung_) {
        if (hit.Col == sortCol_) sortDown_ = !sortDown_;
        else sortCol_ = hit.Col;
        if (OnSortCell) {
          TIconSortEvent handler = OnSortCell;
          handler(this, char(std::min(sortCol_, 127)), sortDown_);
          if (!*alive) return;
        }
      } else if (right) {
        SuchSpalte = hit.Col;
        if (SuchModus && such_) such_->Set_Spalte(hit.Col);
      }
      if (t->FixedRows > 0) InvalidateRow(*t, t->FixedRows - 1);
      if (OnClickFixed) {
        TIconCellEvent handler = OnClickFixed;
        handler(this, hit.Row, hit.Col);
        if (!*alive) return;
      }
    }
  } else if (hit.Tab && hit.Row >= hit.Tab->FixedRows && hit.Tab->Zeilen[size_t(hit.Row)]->Art == 0 &&
             (press || mouseHeld_) && (hit.Row != hit.Tab->CurrentRow || (press && !right))) {
    Tabdefinition* t = hit.Tab;
    const int row = hit.Row, col = hit.Col;
    clickedRow_ = row;
    currentCol_ = col;
    bool editorTookRow = false;
    if (t->EditMask && editor_ && col >= t->FixedCols && press && !right) {
      TZellEditor* e = editor_.get();
      const bool same = editorOpen_ && e->Tab == t && e->Row == row && e->Column == col;
      if (col < 0 || t->Format != A_Tabelle || !IsEditable(*t, row, col)) {
        if (!*alive) return;
        CloseEditor(true);
      } else if (!same) {
        if (e->Modified) TextChange();
        if (!*alive || !editor_) return;
        editor_->Tab = t;
        editor_->Column = col;
        clicked_ = t;
        if (t->CurrentRow != row) ChangeRow(row, t);
        editorTookRow = true;
        Set_Input(row);
        if (!*alive || !editor_) return;
        Input_Show(true);
      } else if (e->Kind == eaListe && x >= e->Box.right - 14) {
        Draw_Liste();
      } else {
        SetMouseCursor(x, y);
        if (e->Kind == eaTabelle || e->Kind == eaStringTab) {
          e->SetSelStart(e->Caret.Zeile, e->Caret.Zeichen);
        } else {
          e->SelLength = 0;
          e->SelStart = e->CaretOffset();
          textAnchor_ = e->SelStart;
          resizeState_ = 2;
        }
        RedrawEditor();
      }
    }
    if (!editorTookRow && (row != t->CurrentRow || t != clicked_)) {
      clicked_ = t;
      ChangeRow(row, t);
      if (!*alive) return;
      if (such_) such_->NotFund(0);
    }
    clicked_ = t;
    if (selectionShown_ || ZwangsMessage) {
      RaiseSelectCell(row, col);
      if (!*alive) return;
    }
    if (currentCol_ != oldCol && t->CurrentRow >= 0) InvalidateRow(*t, t->CurrentRow);
  }

  if (!press && right && y >= titleHeight_) {
    const Treffer hit = HitTest(x, y);
    if (hit.Tab && hit.Row >= hit.Tab->FixedRows && !(hit.Col >= 0 && hit.Col < hit.Tab->FixedCols)) {
      const TPoint p = ClientToScreen({x, y});
      if (editorOpen_ && editor_ && editor_->Kind == eaText) {
        ShowEditMenu(this, editor_->HasSelection() ? (emCut | emCopy | emPaste | emClear | emZeilenumbruch)
                                                   : (emPaste | emZeilenumbruch));
        if (!*alive) return;
      } else if (PopupMenu || DefaultMenu) {
        ShowDefaultMenu(p, hit.Row >= hit.Tab->FixedRows);
        if (!*alive) return;
      }
    }
  }

  if (!press) {
    mouseHeld_ = false;
    if (GetCapture() == this && !(DropDown() && DropDown()->Visible())) ReleaseCapture();
    const Tabdefinition* t = clicked_;
    if (doubleClick_ && t && t->CurrentRow >= t->FixedRows && clickedRow_ >= t->FixedRows && OnDoppelKlick) {
      doubleClick_ = false;
      TNotifyEvent handler = OnDoppelKlick;
      handler(this);
      if (!*alive) return;
    }
    doubleClick_ = false;
    if (resizeState_ == 1) {
      SetCursorShape(TCursor::Default);
      resizeCol_ = -1;
      SetGroesse();
      Invalidate();
    }
    resizeState_ = 0;
  } else if (!(DropDown() && DropDown()->Visible())) {
    mouseHeld_ = true;
  }
}

void TIconTab::WMMouseMove(TMessage& msg) {
  const int x = msg.XPos() + 2;
  if (resizeState_ == 1 && resizeTab_ && HasTab(resizeTab_) && resizeCol_ >= 0 && resizeCol_ < resizeTab_->Cols) {
    const int limitX = std::min(x, ClientW() - 2);
    TColumnDef& c = resizeTab_->Spalten[size_t(resizeCol_)];
    const int w = std::max(3, ColWidth(*resizeTab_, resizeCol_) + (limitX - anchorX_));
    anchorX_ += w - ColWidth(*resizeTab_, resizeCol_);
    c.Width = w;
    if (editorOpen_) SetCursor(0, false);
    Invalidate();
    return;
  }
  if (resizeState_ == 2 && editorOpen_ && editor_) {
    TZellEditor* e = editor_.get();
    SetMouseCursor(msg.XPos(), msg.YPos());
    const int now = e->CaretOffset();
    e->SelStart = std::min(textAnchor_, now);
    e->SelLength = std::abs(now - textAnchor_);
    RedrawEditor();
    return;
  }
  if (!Spaltenbreite || mouseHeld_) return;
  Tabdefinition* tab = nullptr;
  const int col = BorderAt(msg.XPos(), msg.YPos(), &tab);
  if (col >= 0) {
    resizeCol_ = col;
    resizeTab_ = tab;
    SetCursorShape(TCursor::SizeWE);
  } else if (resizeCol_ >= 0) {
    resizeCol_ = -1;
    resizeTab_ = nullptr;
    SetCursorShape(TCursor::Default);
  }
}

// ---------------------------------------------------------------- menus

void TIconTab::SetDefaultMenu(bool on) {
  DefaultMenu = on;
  if (!on) {
    delete defaultMenu_;
    defaultMenu_ = nullptr;
    return;
  }
  if (defaultMenu_) return;
  defaultMenu_ = new TPopupMenu(this);
  QPointer<TIconTab> self(this);
  auto action = [self](void (TIconTab::*m)(TObject*)) {
    return [self, m](TObject* sender) {
      if (self) (self.data()->*m)(sender);
    };
  };
  for (const char* caption : kDefaultEntries) {
    TMenuItem it;
    it.Caption = caption;
    defaultMenu_->Items.push_back(std::move(it));
  }
  std::vector<TMenuItem>& items = defaultMenu_->Items;
  items[0].OnClick = [self](TObject*) {
    if (self && self->OnDruck) {
      TNotifyEvent handler = self->OnDruck;
      handler(self.data());
    }
  };
  items[1].OnClick = action(&TIconTab::OnZellKopie);
  items[2].OnClick = action(&TIconTab::OnTabKopie);
  items[3].OnClick = action(&TIconTab::OnExport);
  items[4].OnClick = action(&TIconTab::OnEMail);
}

void TIconTab::ShowDefaultMenu(TPoint screen, bool rowClicked) {
  if (!defaultMenu_) SetDefaultMenu(true);
  const bool vector = selected_ && selected_->Format == A_Vektor;
  std::vector<TMenuItem>& items = defaultMenu_->Items;
  items[0].Caption = vector ? "Grafik Drucken" : "Tabelle Drucken";
  items[1].Visible = !vector && rowClicked;
  for (size_t i = 2; i < items.size(); ++i) items[i].Visible = !vector;
  if (!PopupMenu) {
    defaultMenu_->Popup(screen.x, screen.y, this);
    return;
  }
  // The host's menu carries the default entries for the time of its popup.
  const std::shared_ptr<bool> alive = alive_;
  QPointer<TPopupMenu> host(PopupMenu);
  QPointer<TPopupMenu> own(defaultMenu_);
  const size_t before = host->Items.size();
  TMenuItem separator;
  separator.Caption = "-";
  host->Items.push_back(std::move(separator));
  for (TMenuItem& it : items) host->Items.push_back(std::move(it));
  items.clear();
  // Back where they belong before a handler runs: it may change or free either menu.
  struct Back {
    QPointer<TPopupMenu> host, own;
    size_t before;
    ~Back() {
      if (!host) return;
      if (own && host->Items.size() > before)
        for (size_t i = before + 1; i < host->Items.size(); ++i) own->Items.push_back(std::move(host->Items[i]));
      if (host->Items.size() > before) host->Items.resize(before);
    }
  };
  {
    Back back{host, own, before};
    host->Popup(screen.x, screen.y, this);
  }
}

// ---------------------------------------------------------------- keys

void TIconTab::WMKeyUp(TMessage& msg) {
  if (msg.Origin != this) {
    msg.Handled = false;
    return;
  }
  if (msg.WParam == VK_SHIFT) shift_ = false;
  else msg.Handled = false;
}

void TIconTab::WMKeyDown(TMessage& msg) {
  if (msg.Origin != this) {
    msg.Handled = false;
    return;
  }
  const int key = int(msg.WParam);
  const bool shiftKey = (KeyShiftOf(msg) & ssShift) != 0;
  if (key == VK_SHIFT) {
    shift_ = true;
    return;
  }
  Tabdefinition* t = clicked_;
  if (key == VK_TAB) {
    NextWindow(this);
    return;
  }
  if (!t) {
    msg.Handled = false;
    return;
  }
  const std::shared_ptr<bool> alive = alive_;
  const bool open = editorOpen_ && editor_;
  if (key == VK_RETURN) {
    if (open) {
      EnterKey();
      if (*alive && (shift_ || shiftKey)) LeaveControl();
    } else if (t->CurrentRow >= t->FixedRows && OnDoppelKlick) {
      TNotifyEvent handler = OnDoppelKlick;
      handler(this);
    }
    return;
  }
  if (key == VK_PRIOR || key == VK_NEXT) {
    Ver_Change(key == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN, 0);
    return;
  }
  if (open) {
    bool done = false;
    EditorKey(msg, done);
    if (done || !*alive) return;
  }
  switch (key) {
    case VK_LEFT: MoveRow(*t, true, 1); return;
    case VK_RIGHT: MoveRow(*t, false, 1); return;
    case VK_UP: MoveRow(*t, true, 1); return;
    case VK_DOWN: MoveRow(*t, false, 1); return;
    case VK_F3: SucheWeiter(); return;
    case VK_ESCAPE: msg.Handled = false; return;
    default: msg.Handled = false; return;
  }
}

void TIconTab::EditorKey(TMessage& msg, bool& done) {
  TZellEditor* e = editor_.get();
  const int key = int(msg.WParam);
  const bool shiftKey = (KeyShiftOf(msg) & ssShift) != 0;
  const bool listOpen = e->DropDown && e->DropDown->Visible();
  const bool completes = (e->Kind == eaTabelle || e->Kind == eaStringTab);
  done = true;
  switch (key) {
    case VK_ESCAPE:
      if (listOpen) {
        CloseListe();
        return;
      }
      e->Modified = false;
      Set_Input(e->Row);
      RedrawEditor();
      return;
    case VK_BACK:
      // Kind 0 deletes with the character message.
      if (!completes) return;
      [[fallthrough]];
    case VK_LEFT:
      if (listOpen) return;
      if (e->CaretOffset() > 0) {
        if (completes) {
          e->Move(-1);
          e->SetSelStart(e->Caret.Zeile, e->Caret.Zeichen);
          SetCursor(0, true);
          return;
        }
        if (e->Kind == eaText && shiftKey) {
          e->MoveTo(e->CaretOffset() - (e->Caret.Zeichen == 0 ? 2 : 1), true);
        } else {
          if (e->SelLength > 0) e->SelLength = 0;
          e->Move(-1);
          e->SelStart = e->CaretOffset();
        }
        SetCursor(0, true);
      } else if (e->SelLength > 0 && !(e->Kind == eaText && shiftKey)) {
        e->SelLength = 0;
        if (completes) {
          e->SetString(-1, "");
          e->ListIndex = -1;
          e->Modified = true;
        }
        SetCursor(0, true);
      }
      return;
    case VK_RIGHT:
      if (listOpen) return;
      if (e->IfTextLastPos(e->Caret.Zeile, e->Caret.Zeichen)) {
        if (e->SelLength > 0 && !shiftKey) {
          e->SelLength = 0;
          RedrawEditor();
        }
        return;
      }
      if (completes) {
        e->Move(1);
        e->SetSelStart(e->Caret.Zeile, e->Caret.Zeichen);
      } else if (e->Kind == eaText && shiftKey) {
        e->MoveTo(e->CaretOffset() + (e->Caret.Zeichen == int(e->Lines()[size_t(e->Caret.Zeile)].size()) ? 2 : 1),
                  true);
      } else {
        if (e->SelLength > 0) e->SelLength = 0;
        e->Move(1);
        e->SelStart = e->CaretOffset();
      }
      SetCursor(0, true);
      return;
    case VK_HOME:
    case VK_END:
      if (e->Kind != eaText) return;
      e->MoveTo(e->Offset(e->Caret.Zeile, key == VK_HOME ? 0 : int(e->Lines()[size_t(e->Caret.Zeile)].size())),
                shiftKey);
      SetCursor(0, true);
      return;
    case VK_DELETE:
      if (e->Kind != eaText) return;
      if (!e->DelSelect()) {
        if (e->IfTextLastPos(e->Caret.Zeile, e->Caret.Zeichen)) return;
        const bool lineEnd = e->Caret.Zeichen == int(e->Lines()[size_t(e->Caret.Zeile)].size());
        e->DeleteText(e->Caret.Zeile, e->Caret.Zeichen, lineEnd ? 2 : 1);
      }
      e->Modified = true;
      SetCursor(0, true);
      return;
    case VK_UP:
    case VK_DOWN:
      if (listOpen) {
        SetListIndex(0, key == VK_UP ? char(0x80) : 1);
        return;
      }
      if (e->Kind == eaListe && key == VK_DOWN) {
        Draw_Liste();
        return;
      }
      if (completes && e->HasList()) {
        LoadListRow(key == VK_UP);
        return;
      }
      done = false;
      return;
    default: done = false; return;
  }
}

void TIconTab::LoadListRow(bool up) {
  TZellEditor* e = editor_.get();
  int row = e->ListIndex;
  std::string text;
  if (e->Kind == eaTabelle) {
    TIconTab* other = e->Tabelle();
    const int first = other->GetFixedRows(), count = other->GetRowCount(true);
    row = row < first ? first : row + (up ? -1 : 1);
    if (row < first || row >= count) return;
    text = other->GetCell(e->ListColumn, row);
    if (!editor_) return;
    if (e->ListSelect) other->SetRow(row);
  } else {
    TStringTab* other = e->StringTab();
    row = row < 1 ? 1 : row + (up ? -1 : 1);
    if (row < 1 || row > other->GetRowCount(false)) return;
    text = other->GetCell(row, e->ListColumn);
  }
  e->ListIndex = row;
  e->SetString(-1, text);
  e->SelectAll();
  e->Modified = true;
  SetCursor(0, true);
}

void TIconTab::MoveRow(Tabdefinition& t, bool up, int step) {
  const std::shared_ptr<bool> alive = alive_;
  const int cur = t.CurrentRow;
  if (up && neueZeile_ && t.Format == A_Tabelle && cur == t.FixedRows && &t == tabs_.front().get()) {
    ChangeRow(-1, &t);
    if (*alive) RaiseSelectCell(-1, 0);
    return;
  }
  const int target = NextRow(up, unsigned(step - 1), &t);
  if (target < 0) return;
  if (target == cur) {
    Ver_Change(up ? SB_TOP : SB_BOTTOM, 0);
    return;
  }
  const bool moveEditor = editorOpen_ && editor_ && editor_->Tab == &t;
  if (moveEditor && editor_->Modified) {
    TextChange();
    if (!*alive || !editor_) return;
  }
  ChangeRow(target, &t);
  if (!*alive) return;
  if (moveEditor && editor_) {
    Set_Input(target);
    if (!*alive) return;
    Input_Show(true);
  }
  DrawRow(target, nullptr, nullptr, &t);
  RaiseSelectCell(target, moveEditor && editor_ ? editor_->Column : 0);
  if (*alive && such_) such_->NotFund(0);
}

void TIconTab::EnterKey() {
  const std::shared_ptr<bool> alive = alive_;
  TZellEditor* e = editor_.get();
  if (!e || !e->Tab || !HasTab(e->Tab)) return;
  if (e->DropDown && e->DropDown->Visible()) {
    TakeListEntry();
    CloseListe();
  }
  const bool wasModified = e->Modified;
  if (e->Modified) {
    TextChange();
    if (!*alive || editor_.get() != e) return;
  }
  Tabdefinition* t = e->Tab;
  int row = e->Row;
  const bool newRecord = NeuerDatensatz && row == t->RowCount() - 1;
  int col = newRecord && !wasModified ? -1 : NextEditCol(*t, row, e->Column);
  if (!*alive || editor_.get() != e) return;
  if (col < 0) {
    // The next row of this tab, else the next tab with an edit mask.
    for (;;) {
      int next = -1;
      for (int r = row + 1; r < t->RowCount(); ++r)
        if (t->Zeilen[size_t(r)]->Art == 0) {
          next = r;
          break;
        }
      if (next >= 0) {
        col = NextEditCol(*t, next, -1);
        if (!*alive || editor_.get() != e) return;
        row = next;
        if (col >= 0) break;
        continue;
      }
      Tabdefinition* following = nullptr;
      for (size_t i = size_t(t->Nummer) + 1; i < tabs_.size(); ++i)
        if (tabs_[i]->EditMask && tabs_[i]->DataRows() > 0) {
          following = tabs_[i].get();
          break;
        }
      if (!following) break;
      t->CurrentRow = -1;
      InvalidateRow(*t, row);
      t = following;
      row = t->FixedRows - 1;
    }
  }
  if (col < 0) {
    CloseEditor(false);
    if (OnNextWindow) {
      TNotifyEvent handler = OnNextWindow;
      handler(this);
    } else {
      NextWindow(this);
    }
    return;
  }
  e->Tab = t;
  e->Column = col;
  clicked_ = t;
  if (t->CurrentRow != row) ChangeRow(row, t);
  if (!*alive || editor_.get() != e) return;
  Set_Input(row);
  if (!*alive || editor_.get() != e) return;
  Input_Show(true);
  DrawRow(row, nullptr, nullptr, t);
  RaiseSelectCell(row, col);
}

void TIconTab::LeaveControl() {
  if (OnNextWindow) {
    TNotifyEvent handler = OnNextWindow;
    handler(this);
  } else {
    NextWindow(this);
  }
}

void TIconTab::NextWindow(TObject* Sender) {
  QWidget* parent = parentWidget();
  if (!parent) return;
  std::vector<TControl*> order = TabOrderList(parent);
  auto self = std::find(order.begin(), order.end(), static_cast<TControl*>(this));
  if (self == order.end()) return;
  const size_t start = size_t(self - order.begin());
  for (size_t k = 1; k < order.size(); ++k) {
    TControl* c = order[(start + k) % order.size()];
    if (c == this || static_cast<TObject*>(c) == Sender) continue;
    if (!c->CanFocus() || !c->Visible() || !c->Enabled()) continue;
    c->SetFocus(FOCUS_KEYBOARD);
    return;
  }
}

// ---------------------------------------------------------------- characters

void TIconTab::WMChar(TMessage& msg) {
  if (msg.Origin != this) {
    msg.Handled = false;
    return;
  }
  const int ch = int(msg.WParam);
  if (editorOpen_ && editor_) {
    EditorChar(ch);
    return;
  }
  if (ch < 32 && ch != 8) {
    msg.Handled = false;
    return;
  }
  if (!such_) {
    SucheZeichen(char(ch));
    return;
  }
  if (such_->GetFenster()) such_->GetFenster()->Perform(WM_CHAR, msg.WParam, 0);
  Suche(0);
}

void TIconTab::EditorChar(int ch) {
  TZellEditor* e = editor_.get();
  if (e->Kind == eaText) {
    switch (ch) {
      case 3: EditorKopie(); return;
      case 22:
        EditorPaste(true);
        return;
      case 24:
        // Copied first: the cut text must not be lost.
        if (!e->HasSelection()) return;
        EditorKopie();
        e->DelSelect();
        e->Modified = true;
        SetCursor(0, true);
        return;
      default: break;
    }
    if (ch != 8 && (ch < 32 || ch > 255)) return;
    if (!e->DelSelect() && ch == 8) e->DeleteText(e->Caret.Zeile, e->Caret.Zeichen, -1);
    if (ch != 8) {
      const char c = char(ch);
      e->InsertText(e->Caret.Zeile, e->Caret.Zeichen, &e->Caret, std::string_view(&c, 1));
    }
    e->SelStart = e->CaretOffset();
    e->SelLength = 0;
    e->Modified = true;
    SetCursor(0, true);
    return;
  }
  if (e->Kind > eaStringTab || ch < 32 || ch > 255 || !e->HasList()) return;
  if (e->Kind == eaListe) return;
  Completion(char(ch));
}

void TIconTab::Completion(char ch) {
  TZellEditor* e = editor_.get();
  const std::string candidate = e->GetTextStr(1) + ch;
  int row = -1;
  std::string text;
  if (e->Kind == eaTabelle) {
    TIconTab* other = e->Tabelle();
    row = other->FindRow(candidate, e->ListSelect, e->ListColumn, nullptr, other->GetFixedRows(), false);
    if (!editor_ || !e->Tabelle()) return;
    if (row >= 0) text = other->GetCell(e->ListColumn, row);
  } else {
    TStringTab* other = e->StringTab();
    row = other->FindRow(candidate, e->ListColumn, 1, false);
    if (row >= 0) text = other->GetCell(row, e->ListColumn);
  }
  if (!editor_) return;
  if (row < 0) {
    MessageBeep();
    return;
  }
  e->ListIndex = row;
  const int at = int(candidate.size());
  e->SetString(-1, text);
  e->Caret = e->PosinCurPos(at);
  e->SetSelStart(e->Caret.Zeile, e->Caret.Zeichen);
  e->Modified = true;
  SetCursor(0, true);
}

// ---------------------------------------------------------------- clipboard and edit menu

void TIconTab::EditorKopie() {
  if (!editor_) return;
  const std::string sel = editor_->GetTextStr(3);
  if (!sel.empty()) TextKopie(sel, false);
}

void TIconTab::EditorPaste(bool redraw) {
  TZellEditor* e = editor_.get();
  std::string clip;
  if (!e || !TextPaste(clip, 1)) return;
  e->DelSelect();
  e->InsertText(e->Caret.Zeile, e->Caret.Zeichen, &e->Caret, clip);
  e->SelStart = e->CaretOffset();
  e->SelLength = 0;
  e->Modified = true;
  SetCursor(0, redraw);
}

void TIconTab::WMEditCommand(TMessage& msg) {
  TZellEditor* e = editor_.get();
  if (!editorOpen_ || !e || e->Kind != eaText) return;
  if (msg.Msg != WM_PASTE && !e->HasSelection()) return;
  switch (msg.Msg) {
    case WM_COPY: EditorKopie(); return;
    case WM_CUT:
      EditorKopie();
      e->DelSelect();
      break;
    case WM_CLEAR: e->DelSelect(); break;
    default:
      if (msg.WParam == 1) {
        e->DelSelect();
        e->InsertText(e->Caret.Zeile, e->Caret.Zeichen, &e->Caret, "\r\n");
        e->SelStart = e->CaretOffset();
      } else {
        EditorPaste(false);
      }
      break;
  }
  e->Modified = true;
  SetCursor(0, true);
}

// ---------------------------------------------------------------- focus

void TIconTab::WMSetFocus(TMessage&) {
  shift_ = false;
  if (such_) {
    SucheAnmelden();
    such_->Set_Spalte(-1);
    if (!tabs_.empty()) {
      Tabdefinition& last = *tabs_.back();
      if (last.FixedRows > 0)
        for (int c = 0; c < last.ActiveCols; ++c) such_->Set_Spalten_Name(std::string(last.Cell(last.FixedRows - 1, c)), c);
    }
    such_->Set_Spalte(SuchSpalte);
  }
  if (editorOpen_ && editor_) {
    CreateCaret(this, 2, EditorLineHeight());
    editor_->Shown = editor_->Kind != eaListe && editor_->Kind <= eaStringTab;
    SetCursor(0, false);
    if (editor_->Shown) ShowCaret(this);
  }
  Invalidate();
}

void TIconTab::WMKillFocus(TMessage&) {
  const std::shared_ptr<bool> alive = alive_;
  if (editorOpen_ && editor_) {
    if (CaretState().owner == this) HideCaret(this);
    editorOpen_ = false;
    CloseListe();
    if (editor_->Modified) TextChange();
    if (!*alive) return;
    if (editor_) Input_Show(false);
  }
  if (GetCapture() == this) ReleaseCapture();
  mouseHeld_ = false;
  resizeState_ = 0;
  Invalidate();
  if (such_) such_->NotFund(0);
  ClearTypedSearch();
}

// ---------------------------------------------------------------- edit mask

void TIconTab::SetEditCol(uint32_t Mask, int Tab) {
  Tabdefinition* t = TabOrSelected(Tab);
  if (!t) return;
  if (editorOpen_) CloseEditor(true);
  t->EditMask = Mask;
  if (Mask && !editor_) editor_ = std::make_unique<TZellEditor>();
  bool any = false;
  for (const auto& o : tabs_) any |= o->EditMask != 0;
  // Only when no tab takes input any more: another tab may still be edited.
  if (!any) editor_.reset();
}

uint32_t TIconTab::GetEditCol() const { return selected_ ? selected_->EditMask : 0; }

void TIconTab::Set_Eingabefocus(int Index, int ARow, int Tab) {
  const std::shared_ptr<bool> alive = alive_;
  if (Tab >= 0) SetSelectTab(Tab);
  Tabdefinition* t = selected_;
  if (!t || t->DataRows() <= 0 || editorOpen_ || !editor_ || !t->EditMask || !selectionShown_) return;
  const int before = t->CurrentRow;
  clicked_ = t;
  if (ARow == -1) {
    t->CurrentRow = -1;
    const int first = NextRow(false, 0, t);
    if (first < 0) return;
    ChangeRow(first, t);
  } else if (ARow >= t->FixedRows && ARow < t->RowCount() && ARow != t->CurrentRow) {
    ChangeRow(ARow, t);
  }
  if (!*alive || t->CurrentRow < t->FixedRows) return;
  const int col = NextEditCol(*t, t->CurrentRow, Index - 1);
  if (!*alive || col < 0 || !editor_) return;
  editor_->Tab = t;
  editor_->Column = col;
  if (!Focused()) {
    editorOpen_ = true;
    SetFocus(FOCUS_OTHER);
    if (!*alive || !editor_) return;
  }
  Set_Input(t->CurrentRow);
  if (!*alive || !editor_) return;
  Input_Show(true);
  if (ARow == -1 || ARow != before) RaiseSelectCell(t->CurrentRow, col);
}

}  // namespace komp
