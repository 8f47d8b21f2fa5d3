// TIconTab: an owner-drawn control holding several tables (tabs) stacked in one scrolling
// window, filled by the host, grouped, multi-line, lazily fetched, for millions of records.
//
//   icontab_data.*    cells, rows, columns and tabs (no Qt)
//   icontab.cpp       the control: properties, events, tabs, messages, scroll bars
//   icontab_model.cpp SetTabelle, SetCell, GetCell, lazy cells, widths and grouping
//   icontab_rows.cpp  InsertRow, DeleteRow, Clear, SetZeile/GetZeile, row kinds, current row
//   icontab_layout.cpp SetGroesse, scrolling, GetZellRect, GetTopRow, GetColBreiten
//   icontab_paint.cpp Paint, DrawRow, the title band, the new-row band, the marks
//
// Rows and columns are 0-based. A Tab argument of -1 addresses the selected tab. Operations on a
// missing tab or an out-of-range row do nothing and return 0, -1 or an empty text.
// Note GetCell(ACol, ARow) against SetCell(ARow, ACol): hosts rely on that order.
#pragma once
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/icontab/icontab_data.h"
#include "components/icontab/icontab_editor.h"
#include "framework/gui/controls.h"
#include "framework/gui/textwidths.h"
#include "framework/stringlist.h"

namespace komp {

class TBitmap;
class TEdit;
class TImageList;
class TListWindow;
class TPopupMenu;
class TScrollBar;
class TSuchfeld;

enum class TBereichStyle { zaKein, zaVon, zaBis, zaVonBis, zaAm };

using TIconCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TIconSortEvent = std::function<void(TObject* Sender, char Sort_Spalte, bool Abwaerts)>;
using TIconModeEvent = std::function<void(TObject* Sender, bool Grafik)>;
using TIconCellChangeEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, std::string& Str, int Index, bool& Enabled)>;
using TIconUserDrawEvent = std::function<void(TObject* Sender, int ARow, int ACol, TCanvas& Canvas, const TRect& Rect,
                                              const std::string& Str, TAnzeigeFormat Anzeige, RowArt Format,
                                              int Tabelle)>;
using TIconNewRowEvent = std::function<void(TObject* Sender, int ARow, bool& Enabled, int Tabelle)>;
using TIconEditColEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Enabled, int Tabelle)>;
using TIconGetDatenEvent =
    std::function<void(TObject* Sender, int ARow, TStringList& Strings, uint32_t Cells, int Tabelle)>;
using TBereichChangeEvent = std::function<void(TObject* Sender, double VonValue, double BisValue)>;

// The measured widths of one tab (GetColBreiten): entry 0 of Widths is the left margin,
// entries 1..shown columns the column widths; Widest holds, per shown column, the cell-list
// index of the widest cell found (-1 none).
struct Breiten {
  std::vector<int> Widths;
  std::vector<int64_t> Widest;
};

class TIconTab : public TCustomControl {
 public:
  explicit TIconTab(QWidget* owner);
  ~TIconTab() override;

  // ---- published
  bool AutoUpdate = false;     // repaint after changes even under the update lock
  bool AutoBreite = false;     // widen columns to their contents
  bool Sortierung() const { return sortierung_; }
  void SetOrder(bool on);
  bool MitUeberschrift = false;  // title texts count for automatic widths
  bool Detailfenster() const { return detail_; }
  void SetDetail(bool on);
  bool AutoSelect = false;     // SetTabelle selects the first data row
  bool Group = false;          // leading cells equal to the row above are not drawn
  bool DragDrop = false;
  bool KeineAngaben = true;    // empty cells show "Keine Angaben"
  bool ZwangsMessage = false;
  bool Spaltenbreite = true;
  bool DefaultMenu = true;
  bool NeuerDatensatz = false;  // every tab keeps an empty new-record row at its end
  bool Multitabselect = false;
  bool StdStatus = false;
  TColor TitelColor() const { return titelColor_; }
  void SetTitelColor(TColor c);
  int DefaultRowHeight = 18;
  int DefaultColWidth = 40;
  int StdFixedRows = 1;
  int StdFixedCols = 0;
  int Horizontalabstand() const { return hAbstand_; }
  int Vertikalabstand() const { return vAbstand_; }
  void SetH_Abstand(int v);
  void SetV_Abstand(int v);
  int TabID = 0;
  TBereichStyle Zeitbereich() const { return bereich_; }
  int SelectTab() const { return GetSelectTab(); }
  uint32_t DatenCols = 0;      // fetch mask given to new rows
  std::string Zusatztext;      // written before the first non-fixed cell of data rows
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  const std::string& NeueZeileText() const { return neueZeileText_; }
  void SetStrNeu(const std::string& text);
  std::string Abfrage;         // kept for the host
  TSuchfeld* Suchelement() const;
  void SetSuchelement(TSuchfeld* feld);
  TAnzeigeFormat DefaultAnzeige = A_Tabelle;
  TImageList* Icons() const { return icons_; }
  void SetIcons(TImageList* list);
  TBitmap* Statussymbole = nullptr;
  TPopupMenu* PopupMenu = nullptr;
  TPopupMenu* CaptionPopup = nullptr;
  TBitmap* DatenBild = nullptr;

  // ---- events
  TIconCellEvent OnSelectCell;
  TIconCellEvent OnClickFixed;
  TIconSortEvent OnSortCell;
  TNotifyEvent OnDoppelKlick;
  TIconModeEvent OnModeChange;
  TIconCellChangeEvent OnCellChange;
  TNotifyEvent OnDruck;
  TNotifyEvent OnNextWindow;
  TIconUserDrawEvent OnUserDraw;
  TIconNewRowEvent OnNewRow;
  TIconEditColEvent OnIsEditCol;
  TIconGetDatenEvent OnGetDaten;
  TBereichChangeEvent BereichChange;

  // ---- tabs
  // (Re)defines tab Tab (created when it is the next number) with Rows rows (2 when 0, one more
  // with NeuerDatensatz) and Cols columns of which MaxCols are shown (all when MaxCols <= 0).
  // It becomes the selected and the clicked tab. Leaves the update lock set unless AutoUpdate.
  void SetTabelle(unsigned Rows, unsigned Cols, int MaxCols = 0, int Tab = -1);
  // Tab -1: the selected tab. With Create, a tab is appended when Tab equals the tab count.
  Tabdefinition* GetTabelle(int Tab, bool Create = false);
  void SetSelectTab(int Tab);
  int GetSelectTab() const;
  int TabCount() const { return int(tabs_.size()); }
  int GetClickTab() const;
  void ClearTabs(int Tab = -1);
  void Clear(bool All, int Tab = -1);

  // ---- cells
  void SetCell(unsigned ARow, unsigned ACol, std::string_view Str, TColor Color = 0, int Icon = -1, int Tab = -1);
  std::string GetCell(int ACol, int ARow, int Tab = -1);
  // Inserts Count rows before Row (-1: append; with NeuerDatensatz before the new-record row),
  // filled in order from Strings; returns the position after them, or -1.
  int InsertRow(int Row, const TStringList* Strings = nullptr, int Count = 1, int Extent = -1, int Tab = -1);
  void DeleteRow(int ARow);
  // Links a new row (Row null) or moves Row to position Index (-1 or past the end: append).
  RowDef* SetZeile(int Index, RowDef* Row = nullptr, Tabdefinition* Tab = nullptr);
  RowDef* GetZeile(int Index, Tabdefinition* Tab = nullptr) const;
  void ClearZeilen(Tabdefinition* Tab);
  void GetRowCells(int ARow, TStringList& Strings);
  // Titles of the last tab from column From on (only numeric columns with OnlyNumeric), each
  // with its column number as object.
  void Get_Spalten(TStringList& Strings, int From, bool OnlyNumeric);
  // A copy of the tab's cell list, row after row; empty without the tab.
  TStringList GetStrings(int Tab = -1) const;
  int GetRowCount(bool WithFixed, int Tab = -1) const;
  int GetColCount() const;
  int GetRealColCount() const;
  int GetFixedRows() const;
  void SetFixedRows(int Rows, int Tab = -1);
  void SetFixedCols(int Cols, int Tab = -1);
  void SetColWidth(int Col, int Width);
  void SetTyp(int Col);
  void SetRowColor(int ARow, TColor Color);
  void SetRowIcon(int ARow, int Icon);
  void SetRowStatus(int ARow, int Status);
  void SetRowArt(unsigned ARow, RowArt Art);
  void SetDatenCols(int ARow, uint32_t Mask, int Tab = -1);
  uint32_t GetDatenCols(int ARow, int Tab = -1) const;
  void GetDaten(int ARow, Tabdefinition* Tab);
  void SetCellColor(TColor Color, int ACol, int ARow);

  // ---- current row and update lock
  int GetRow() const;
  void SetRow(int ARow);
  int NextRow(bool Up, unsigned Skip = 0, Tabdefinition* Tab = nullptr);
  bool IfSelected() const;
  void FEndUpdate(bool Lock);
  bool Updating() const { return update_; }
  // Bit 7: descending; bits 0..6: the column (columns past 127 read as 127: see SortColumn).
  char FSort_Spalte() const;
  void WSort_Spalte(char Spalte);
  int SortColumn() const { return sortCol_; }
  bool SortDescending() const { return sortDown_; }
  TAnzeigeFormat GetA_Format() const;
  void SetA_Format(TAnzeigeFormat Format);
  // A decimal text in hundredths: "12,5" 1250; 64-bit, saturating, never negative.
  static int64_t Str_in_Zahl(std::string_view Text);
  // Moves the current row of a tab (-1: none).
  void ChangeRow(int ARow, Tabdefinition* Tab);
  const std::string& Hint() const { return hint_; }
  int CurrentCol() const { return currentCol_; }

  // ---- layout and painting
  void Paint() override;
  // Draws one row; without Rect it finds the row's place (and may scroll to the current row).
  void DrawRow(int ARow, RowDef* Row = nullptr, const TRect* Rect = nullptr, Tabdefinition* Tab = nullptr);
  void SetGroesse(int a = -1, int b = -1, int c = -1);
  void PaintTitel();
  void FNeueZeile(bool on);
  void PaintMitNeu(int y);
  int GetColBreiten(TCanvas& Canvas, Breiten& B, int Tab, int Available, bool Measure);
  bool GetZellRect(TRect& Rect, int ACol, int ARow, int Tab = -1);
  int GetTopRow(int Tab = -1);
  int TitleHeight() const { return titleHeight_; }
  int VertPos() const { return vPos_; }
  int VertRange() const { return vRange_; }
  int HorzPos() const { return hPos_; }
  int HorzRange() const { return hRange_; }
  TScrollBar* VertBar() const { return vbar_; }
  TScrollBar* HorzBar() const { return hbar_; }
  // Search state as the marks show it: the column Suche scans, the search field attached.
  int SuchSpalte = 0;
  bool SuchModus = false;
  static constexpr TColor kSuchFarbe = RGB(192, 246, 174);

  static constexpr int kBar = 16;     // scroll bar thickness
  static constexpr int kTabGap = 10;  // between stacked tabs
  // ---- interaction and in-cell input (icontab_input.cpp, icontab_editor.*)
  // Bit c of a tab's edit mask: column c takes input. The editor exists while any tab has a mask.
  void SetEditCol(uint32_t Mask, int Tab = -1);
  void FSetEditCol(uint32_t Mask) { SetEditCol(Mask, -1); }
  uint32_t GetEditCol() const;
  // Opens the editor on the first editable column >= Index of row ARow (-1: the first data row).
  void Set_Eingabefocus(int Index, int ARow, int Tab = -1);
  // Commits the editor text to the cell where editing began (OnCellChange may refuse it).
  void TextChange();
  bool EditorOpen() const { return editorOpen_; }
  const TZellEditor* Editor() const { return editor_.get(); }
  TListWindow* DropDown() const;
  // The focus goes to the next control of the parent's tab order, other than Sender.
  void NextWindow(TObject* Sender);
  void SetDefaultMenu(bool on);
  TPopupMenu* DefaultPopup() const { return defaultMenu_; }
  int ClickedRow() const { return clickedRow_; }
  std::function<void(TObject* Sender, Filter_Struct& Filter, int ARow, int ACol)> OnGetFilter;

  // ---- search (icontab_search.cpp)
  // The search field's callback: 0 searches the last tab's search column, 1 and 2 end and start
  // the search mode, 3 is Enter, 4 + k makes column k the search column.
  void Suche(int Code);
  // F3: the same search, from the row after the current row.
  void SucheWeiter();
  // A character typed without a search field: taken upper-case into the typed text, then searched.
  void SucheZeichen(char Key);
  // Forgets the typed search text (on focus loss).
  void ClearTypedSearch() { tippText_.clear(); }
  const std::string& TypedSearch() const { return tippText_; }
  // Registers Suche with the linked search field and gives it the column names.
  void SucheAnmelden();
  struct SuchResult {
    int32_t Row = -1;
    int32_t Matched = 0;  // characters of Text matched
    int32_t Rest = 0;     // characters of the cell after them
  };
  // The row of tab Tab (-1: selected) whose column ACol equals Text, ignoring case, or else (unless
  // Exact) the first that begins with it, searched from StartRow (-1: the current row) round to
  // it. With Select the row becomes the current one; Edit gets the cell with the rest selected.
  int FindRow(std::string_view Text, bool Select, int ACol, TEdit* Edit = nullptr, int StartRow = -1,
              bool Exact = false, int Tab = -1, SuchResult* Result = nullptr);

  // ---- export, clipboard, e-mail (icontab_export.cpp)
  // Writes the selected tab to a file (name in code page 1252) in layout 1..6 (see kExportFilter).
  // False, after the message, when it could not be written; an old file is then left as it was.
  bool Export(const std::string& Datei, int Format);
  // The same by the file system's own name.
  bool ExportSystem(const std::string& SystemName, int Format);
  // The save dialog, then Export in the layout of the chosen filter.
  void OnExport(TObject* Sender);
  // Puts Text on the clipboard as it is, with MitHTML also the HTML of all tabs.
  bool TextKopie(std::string_view Text, bool MitHTML);
  // The "HTML Format" text of all tabs; OhneKopf appends the HTML alone to Out. False when the
  // text is too long for the header's offsets (Out then holds it with a header left unset).
  bool HTMLKopie(std::string& Out, bool OhneKopf = false);
  // The clicked tab as text, tab between cells and CR LF between rows, with its HTML.
  void OnTabKopie(TObject* Sender);
  // The current cell of the clicked tab as text.
  void OnZellKopie(TObject* Sender);
  // Puts the tables on the clipboard and opens a new mail for pasting them.
  void OnEMail(TObject* Sender);
  // Inserts the clipboard's text into Str at Pos (1-based); false without text.
  bool TextPaste(std::string& Str, int Pos);
  // The first tab's cells and widths into tab 0 of Ziel.
  void Tab_Kopie(TIconTab* Ziel);
  static constexpr const char* kExportFilter =
      "Tabulator|*.txt|Trennzeichen(;)|*.txt|Trennzeichen(#)|*.txt|Gruppe+Tabulator|*.txt|"
      "Gruppe+Trennzeichen(;)|*.txt|Gruppe+Trennzeichen(#)|*.txt";
  static constexpr const char* kExportFehler = "Datei konnte nicht gespeichert werden!";

  // Shown when rows cannot be had (caption "Fehler").
  static constexpr const char* kSpeicherText =
      "Zeilen konnten nicht eingef\xFCgt werden,\nzu wenig oder zu fragmentierter Speicher!";

 protected:
  void WMSize(TMessage& msg) override;
  void WMVScroll(TMessage& msg) override;
  void WMHScroll(TMessage& msg) override;
  void WMMouseWheel(TMessage& msg) override;

 private:
  // icontab_model.cpp
  Tabdefinition* TabOrSelected(int Tab) const;
  bool HasTab(const Tabdefinition* t) const;
  // A cell as the list holds it, lazy cells fetched first; empty when the fetch lost the row.
  std::string FetchedCell(Tabdefinition& t, int ARow, int ACol);
  int MeasureLine(const Tabdefinition& t, std::string_view s, bool bold = false) const;
  int TextHeight(int size, bool bold = false) const;
  int MinWidth(const Tabdefinition& t) const;
  int ZusatzWidth(const Tabdefinition& t) const;
  void WidenFor(Tabdefinition& t, int row, int col, std::string_view s);
  bool Repaints() const { return !update_ || AutoUpdate; }
  void SetRecordHint(int64_t n);
  int64_t RecordCount(const Tabdefinition& t) const;
  static bool IsCellNumeric(std::string_view s);
  // icontab_rows.cpp
  int InsertRows(Tabdefinition& t, int pos, const TStringList* Strings, int Count, int Extent);
  void SetRowArtIn(Tabdefinition& t, int row, RowArt art, bool repaint);
  void RowHeightChanged(Tabdefinition& t, RowDef& r, int height);
  void Regroup(Tabdefinition& t, int row);
  // icontab_layout.cpp
  void PlaceBars();
  void Hor_Change(int code, int pos);
  void Ver_Change(int code, int pos);
  int ClientW() const;
  int ClientH() const;
  int ColWidth(const Tabdefinition& t, int col) const;
  int64_t ColumnLeft(const Tabdefinition& t, int col) const;
  // Visits the rows as Paint stacks them, with each row's top and whether it is the first
  // data row shown of its tab, until the visitor returns true (then true) or the client area
  // ends; band(y) is called where the new-row band goes.
  using RowVisitor = std::function<bool(Tabdefinition& t, int row, int y, bool firstData)>;
  bool WalkRows(const RowVisitor& at, const std::function<void(int y)>& band = {});
  bool RowPlace(Tabdefinition& t, int row, TRect& out);
  void InvalidateRow(Tabdefinition& t, int row);
  // icontab_input.cpp, icontab_editor.*
  void WMMouseDown(TMessage& msg) override;
  void WMMouseUp(TMessage& msg) override;
  void WMDblClick(TMessage& msg) override;
  void WMMouseMove(TMessage& msg) override;
  void WMKeyDown(TMessage& msg) override;
  void WMKeyUp(TMessage& msg) override;
  void WMChar(TMessage& msg) override;
  void WMSetFocus(TMessage& msg) override;
  void WMKillFocus(TMessage& msg) override;
  void WMEditCommand(TMessage& msg) override;
  void EvButton(TMessage& msg, bool press, bool right);
  struct Treffer {
    Tabdefinition* Tab = nullptr;
    int Row = -1, Col = -1;
    bool Band = false;
  };
  Treffer HitTest(int x, int y);
  int ColumnAt(const Tabdefinition& t, int row, int x) const;
  int BorderAt(int x, int y, Tabdefinition** tab);
  bool IsEditable(Tabdefinition& t, int row, int col);
  int NextEditCol(Tabdefinition& t, int row, int after);
  void MoveRow(Tabdefinition& t, bool up, int step);
  void EnterKey();
  void LeaveControl();
  void RaiseSelectCell(int row, int col);
  void ShowDefaultMenu(TPoint screen, bool rowClicked);
  void EditorKey(TMessage& msg, bool& done);
  void EditorChar(int ch);
  void Completion(char ch);
  void LoadListRow(bool up);
  void EditorKopie();
  void EditorPaste(bool redraw);
  void Set_Input(int ARow);
  void Input_Show(bool on);
  void CloseEditor(bool commit);
  void Draw_Input(TCanvas& c, const TRect& cell);
  void SetCursor(int move, bool redraw);
  void SetMouseCursor(int x, int y);
  void PlaceCaret();
  int EditorLineHeight() const;
  int UsableWidth() const;
  int EditorTextWidth(std::string_view s) const;
  void RedrawEditor();
  void Draw_Liste();
  void CloseListe();
  bool TakeListEntry();
  void SetListIndex(int index, char step);
  bool ListeWatch(uint32_t msg, TPoint screen);

  // icontab_search.cpp
  void SucheIn(bool weiter);
  void ZeigeZeile(Tabdefinition& t, int row);
  // icontab_export.cpp
  // Rows that export, text and HTML write: up to the last with entries, never the new-record row.
  int AusgabeZeilen(const Tabdefinition& t) const;
  std::string TabText(const Tabdefinition& t) const;

  // icontab_paint.cpp
  void DrawCells(Tabdefinition& t, int row, RowDef& r, const TRect& rect, bool firstVisible);
  TColor CellColor(const Tabdefinition& t, int row, int col, TColor rowColor) const;

  std::vector<std::unique_ptr<Tabdefinition>> tabs_;
  Tabdefinition* selected_ = nullptr;
  Tabdefinition* clicked_ = nullptr;
  bool update_ = false;
  bool layoutChanged_ = false;
  bool selectionShown_ = true;
  int currentCol_ = -1;
  int focusCol_ = -1;
  int sortCol_ = 0;
  bool sortDown_ = false;
  bool sortierung_ = false;
  bool detail_ = false;
  TColor titelColor_ = clBtnFace;
  int hAbstand_ = 20;
  int vAbstand_ = 40;
  TBereichStyle bereich_ = TBereichStyle::zaKein;
  std::string caption_;
  std::string neueZeileText_;
  bool neueZeile_ = false;
  int neueZeileHeight_ = 0;
  TImageList* icons_ = nullptr;
  QPointer<TSuchfeld> such_;
  std::string hint_;
  // Layout
  int titleHeight_ = 0;
  int rightMargin_ = 18;
  int vPos_ = 0, vRange_ = 0;
  int hPos_ = 0, hRange_ = 0;
  int lineHeight_ = 13;
  bool inGroesse_ = false;
  bool painting_ = false;
  // The open editor's cell met while painting; its box is drawn after all rows.
  bool editorPending_ = false;
  TRect editorCell_;
  // The position a scroll bar reported with its last scroll code, in full (-1: none).
  int barTrack_ = -1;
  TAnzeigeFormat restoreFormat_ = A_Tabelle;
  TScrollBar* vbar_ = nullptr;
  TScrollBar* hbar_ = nullptr;
  mutable TTextWidths widths_;
  // ---- state of interaction and input (icontab_input.cpp, icontab_editor.*)
  std::unique_ptr<TZellEditor> editor_;
  bool editorOpen_ = false;
  int clickedRow_ = -1;
  bool mouseHeld_ = false;
  bool doubleClick_ = false;
  int resizeState_ = 0;  // 1 a column border is dragged, 2 text is selected with the mouse
  int resizeCol_ = -1;
  Tabdefinition* resizeTab_ = nullptr;
  int anchorX_ = 0;
  int textAnchor_ = 0;
  bool shift_ = false;
  bool committing_ = false;
  int blink_ = 0;
  TPopupMenu* defaultMenu_ = nullptr;

  // ---- state of search (icontab_search.cpp)
  std::string tippText_;  // typed without a search field, upper-case
  static int suchLauf_;   // a newer search supersedes a running one

  // A handler of OnNewRow runs (no second one starts from its writes).
  static bool newRowRunning_;
  // Set in the destructor, so that a handler that frees the control is noticed.
  std::shared_ptr<bool> alive_;
};

// Registers TIconTab on the palette page "Beispiele".
namespace IconTab {
void Register();
}

}  // namespace komp
