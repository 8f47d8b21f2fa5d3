// TIconTab's interaction: the mouse, the popup menus, the focus.
//
//   HitTest, ColumnAt, BorderAt   where a point is (tab, row, column, the new-row band)
//   EvButton                      presses and releases: sort and search column in the title
//                                 rows, column sizing, the editor, the current row, menus
//   WMMouseMove                   column sizing, text selection, the resize cursor
//   SetDefaultMenu, ShowDefaultMenu the default menu, alone or merged into the host's
//   WMSetFocus, WMKillFocus       the editor closes (and commits) when the focus leaves
// Keys and characters are in icontab_keys.cpp.
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
  if (!ColumnBit(t.EditMask, col) || col >= t.Cols) return false;
  if (!OnIsEditCol) return true;
  bool enabled = true;
  TIconEditColEvent handler = OnIsEditCol;
  handler(this, row, col, enabled, t.Nummer);
  return enabled;
}

int TIconTab::NextEditCol(Tabdefinition& t, int row, int after) {
  const std::shared_ptr<bool> alive = alive_;
  for (int c = std::max(after + 1, t.FixedCols); c < std::min(t.Cols, 32); ++c) {
    if (!ColumnBit(t.EditMask, c)) continue;
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

}  // namespace komp
