// TIconTab's search: the linked search field's callback (Suche), type-ahead without a field, and
// FindRow, the search by the text of one column.
//
//   Suche(0)    the last tab's search column from the first data row (or the row after the
//               current one) round to the start; the field's Vergleich, else the typed text
//   FindRow     one column of one tab, equal or (unless Exact) beginning with the text
//   ZeigeZeile  the scroll position that puts a row of a tab at the top
//
// Every step reads the tab that is searched: cells, start row, the row change. A search started
// while another runs (from a lazy fetch inside it) supersedes that one.
#include <algorithm>

#include "components/icontab/icontab.h"
#include "components/icontab/icontab_editor.h"
#include "components/suchfeld/suchfeld.h"
#include "framework/gui/services.h"
#include "framework/gui/stdctrls.h"

namespace komp {

namespace {

// Upper case in code page 1252: letters, accented letters, š œ ž ÿ.
struct Gross {
  unsigned char t[256];
  Gross() {
    for (int i = 0; i < 256; ++i) {
      const bool klein = (i >= 'a' && i <= 'z') || (i >= 0xE0 && i <= 0xFE && i != 0xF7);
      t[i] = static_cast<unsigned char>(klein ? i - 0x20 : i);
    }
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0x9E] = 0x8E;
    t[0xFF] = 0x9F;
  }
};
const Gross kGross;

bool BeginntGross(std::string_view zelle, std::string_view gross) {
  if (zelle.size() < gross.size()) return false;
  for (size_t i = 0; i < gross.size(); ++i)
    if (kGross.t[static_cast<unsigned char>(zelle[i])] != static_cast<unsigned char>(gross[i])) return false;
  return true;
}

// FindRow's comparison: letters and ä ö ü in either case.
unsigned char Fold(unsigned char c) {
  return (c >= 65 && c <= 122) || c == 228 || c == 246 || c == 252 ? c & ~0x20 : c;
}


}  // namespace

int TIconTab::suchLauf_ = 0;

void TIconTab::Suche(int Code) {
  switch (Code) {
    case smSuchen:
      SucheIn(false);
      return;
    case smAbmelden:
      SuchModus = false;
      Invalidate();
      return;
    case smAnmelden:
      SuchModus = true;
      // The field names the columns by the last tab's titles.
      if (TSuchfeld* f = such_.data()) {
        f->Set_Spalte(-1);
        if (!tabs_.empty() && tabs_.back()->FixedRows > 0) {
          const Tabdefinition& t = *tabs_.back();
          for (int c = 0; c < t.ActiveCols; ++c) f->Set_Spalten_Name(std::string(t.Cell(t.FixedRows - 1, c)), c);
        }
        f->Set_Spalte(SuchSpalte);
      }
      Invalidate();
      return;
    case smEnter:
      if (!tabs_.empty()) {
        const Tabdefinition& t = *tabs_.back();
        if (t.CurrentRow >= t.FixedRows && t.CurrentRow < t.RowCount() && OnDoppelKlick) {
          TNotifyEvent handler = OnDoppelKlick;
          handler(this);
        }
      }
      return;
    default:
      if (Code < smSpalte) return;
      SuchSpalte = Code - smSpalte;
      if (TSuchfeld* f = such_.data()) f->Set_Spalte(SuchSpalte);
      Invalidate();
  }
}

void TIconTab::SucheWeiter() { SucheIn(true); }

void TIconTab::SucheZeichen(char Key) {
  if (static_cast<unsigned char>(Key) < 32) return;
  tippText_ += char(kGross.t[static_cast<unsigned char>(Key)]);
  SucheIn(false);
}

void TIconTab::SucheAnmelden() {
  TSuchfeld* f = such_.data();
  if (!f || f->Ziel() == this) return;
  QPointer<TIconTab> self(this);
  f->Set_Suche(
      [self](TControl*, int Modus) {
        if (self) self->Suche(Modus);
      },
      this);
}

void TIconTab::SucheIn(bool weiter) {
  const int lauf = ++suchLauf_;
  if (tabs_.empty()) return;
  Tabdefinition* t = tabs_.back().get();
  TSuchfeld* feld = such_.data();
  const int col = SuchSpalte;
  const std::string text = feld ? feld->GetText() : tippText_;
  if (text.empty() || col < 0 || col >= t->Cols) return;
  const bool von = weiter || (feld && feld->GetVon());
  const int erste = t->FixedRows;
  int letzte = t->RowCount() - 1;
  if (NeuerDatensatz && letzte >= erste) --letzte;
  const int anzahl = letzte - erste + 1;
  int start = von && t->CurrentRow >= erste && t->CurrentRow <= letzte ? t->CurrentRow + 1 : erste;
  if (start > letzte) start = erste;

  const std::shared_ptr<bool> alive = alive_;
  const bool holen = bool(OnGetDaten);
  int gefunden = -1, anfang = -1, bester = 0;
  for (int i = 0; i < anzahl; ++i) {
    const int row = start + i <= letzte ? start + i : start + i - anzahl;
    if (holen && row < t->RowCount() && ColumnBit(t->Zeilen[size_t(row)]->Fetch, col)) {
      GetDaten(row, t);
      // The host's code may have freed the control, the tab or the field, or searched itself.
      if (!*alive || !HasTab(t) || suchLauf_ != lauf) return;
      if (feld && such_.data() != feld) return;
    }
    const std::string_view zelle = t->Cell(row, col);
    if (!feld) {
      if (BeginntGross(zelle, text)) {
        gefunden = row;
        break;
      }
      continue;
    }
    const int32_t v = feld->Vergleich(zelle, text);
    if (v & kVergleichGleich) {
      gefunden = row;
      break;
    }
    if ((v & kVergleichAnfang) && anfang < 0) anfang = row;
    bester = std::max(bester, int(v & kVergleichAnzahl));
  }
  if (gefunden < 0) gefunden = anfang;
  if (gefunden < 0) {
    if (!feld && !tippText_.empty()) tippText_.pop_back();
    MessageBeep();
    if (*alive && feld && such_.data() == feld) feld->NotFund(bester);
    return;
  }
  if (!selectionShown_ || gefunden == t->CurrentRow) return;
  ZeigeZeile(*t, gefunden);
  // The found row is the user's selection now, whichever tab held it before.
  clicked_ = t;
  const bool moveEditor = editorOpen_ && editor_ && editor_->Tab == t;
  ChangeRow(gefunden, t);
  if (!*alive) return;
  // An open editor goes along to the found row.
  if (moveEditor && editor_) {
    Set_Input(gefunden);
    if (!*alive) return;
    Input_Show(true);
  }
  focusCol_ = 0;
  if (OnSelectCell) {
    TIconCellEvent handler = OnSelectCell;
    handler(this, gefunden, 0);
  }
}

void TIconTab::ZeigeZeile(Tabdefinition& t, int row) {
  if (t.Format != A_Tabelle || vRange_ <= 0) return;
  // The scroll position counts the data rows of the table tabs from the first.
  int64_t index = 0;
  for (const auto& o : tabs_) {
    if (o.get() == &t) break;
    if (o->Format == A_Tabelle) index += std::max(0, o->DataRows());
  }
  index += row - t.FixedRows;
  const int pos = int(std::clamp<int64_t>(index, 0, vRange_));
  if (pos == vPos_) return;
  vPos_ = pos;
  PlaceBars();
  Invalidate();
}

int TIconTab::FindRow(std::string_view Text, bool Select, int ACol, TEdit* Edit, int StartRow, bool Exact, int Tab,
                      SuchResult* Result) {
  Tabdefinition* t = TabOrSelected(Tab);
  int gleich = -1, anfang = -1;
  if (t && ACol >= 0 && ACol < t->RealCols) {
    const int erste = t->FixedRows;
    int letzte = t->RowCount() - 1;
    if (NeuerDatensatz && letzte >= erste) --letzte;
    const int anzahl = letzte - erste + 1;
    int start = erste;
    if (StartRow == -1 && t->CurrentRow >= erste && t->CurrentRow <= letzte) start = t->CurrentRow;
    else if (StartRow >= erste && StartRow <= letzte) start = StartRow;
    const std::shared_ptr<bool> alive = alive_;
    for (int i = 0; i < anzahl; ++i) {
      const int row = start + i <= letzte ? start + i : start + i - anzahl;
      if (OnGetDaten && row < t->RowCount() && ColumnBit(t->Zeilen[size_t(row)]->Fetch, ACol)) {
        GetDaten(row, t);
        if (!*alive || !HasTab(t)) return -1;
      }
      const std::string_view zelle = t->Cell(row, ACol);
      if (zelle.size() < Text.size()) continue;
      size_t n = 0;
      while (n < Text.size() && Fold(static_cast<unsigned char>(zelle[n])) == Fold(static_cast<unsigned char>(Text[n])))
        ++n;
      if (n < Text.size()) continue;
      if (zelle.size() == n) {
        gleich = row;
        break;
      }
      if (anfang < 0) anfang = row;
    }
  }
  const int found = gleich >= 0 ? gleich : Exact ? -1 : anfang;
  if (found < 0) {
    if (Edit) MessageBeep();
    return -1;
  }
  const std::string zelle(t->Cell(found, ACol));
  const int matched = int(Text.size()), rest = int(zelle.size() - Text.size());
  if (Edit) {
    Edit->SetText(zelle);
    Edit->SetSel(matched, rest);
  }
  if (Result) *Result = {found, matched, rest};
  if (Select && found != t->CurrentRow) {
    ZeigeZeile(*t, found);
    clicked_ = t;
    ChangeRow(found, t);
    focusCol_ = ACol;
  }
  return found;
}

}  // namespace komp
