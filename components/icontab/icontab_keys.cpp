// TIconTab's keyboard: keys and characters with and without the editor, the editor's clipboard,
// the edit mask.
//
//   WMKeyDown, MoveRow, EnterKey  keys with and without the editor
//   WMChar, EditorChar, Completion characters; typing into the editor, completing from a list
//   EditorKopie, WMEditCommand    Ctrl+C/V/X and the edit menu
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
