// TTabelle: a read-only grid of record lists on TCustomGrid. A title row, whole-row selection,
// a colour per row, automatic widths, a sort mark that reports sort requests to the owner
// (the table never sorts), type-ahead search by itself or through an attached TSuchfeld, an
// optional new-row line, the record-count hint, a bar-chart view of one value column, printing.
//
//   tabelle.cpp         content (SetTabelle, SetCell, GetCell, widths, hint), drawing, glyphs
//   tabelle_input.cpp   mouse, keys, type-ahead and Suche, the search field's hooks
//   tabelle_grafik.cpp  the graph view: Set_Grafik, Grafik cells           (own state: TTabelleGrafik,
//   tabelle_druck.cpp   Print                                               in tabelle_grafik.h)
//   tabelle_layout.*    pure layout numbers of the graph view and of the print-out
//
// The cell list holds the data; in the graph view the grid shows four view columns over it, so
// ColCount() of the grid is not the data's column count there (Spalten() is).
//
// ~TTabelle is defined in tabelle.cpp, which includes tabelle_grafik.h for TTabelleGrafik.
#pragma once
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/suchfeld/suchfeld.h"
#include "framework/gui/grids.h"
#include "framework/gui/textwidths.h"
#include "framework/stringlist.h"

namespace komp {

class TBitmap;
class TPopupMenu;
struct TTabelleGrafik;

using TTabSelectEvent = std::function<void(TObject* Sender, int ARow)>;
// Sort_Spalte is the column + 1; Abwaerts: descending.
using TSortCellEvent = std::function<void(TObject* Sender, uint8_t Sort_Spalte, bool Abwaerts)>;
using TModeChangeEvent = std::function<void(TObject* Sender, bool Grafik)>;

class TTabelle : public TCustomGrid {
 public:
  explicit TTabelle(QWidget* owner);
  ~TTabelle() override;

  // ---- published, in this order (Align, Anchors, ColCount, RowCount, FixedCols, Visible,
  //      Font, DefaultRowHeight, Options come from the grid)
  bool NeueZeile() const { return neueZeile_; }
  void FNeueZeile(bool on);
  bool AutoBreite = true;
  bool MitUeberschrift = true;
  bool Sortierung = true;
  bool AutoUpdate = true;
  std::string NeueZeileText;
  TTabSelectEvent OnSelectCell;
  TSortCellEvent OnSortCell;
  TSuchfeld* Suchelement() const { return such_; }
  void SetSuchelement(TSuchfeld* feld);
  TNotifyEvent OnDoppelKlick;
  TModeChangeEvent OnModeChange;
  // Shown on a right click in a data row.
  TPopupMenu* PopupMenu = nullptr;

  // ---- content
  // Starts a new content: Rows data rows (2 when 0), Cols columns of which the first
  // Sichtbar are shown (all when Sichtbar equals Cols). Updating until FEndUpdate(false),
  // unless AutoUpdate.
  void SetTabelle(int Rows, int Cols, int Sichtbar);
  // Colour 0: the default text colour. The last colour set for a row wins.
  void SetCell(int Row, int Col, const std::string& Text, TColor Farbe = 0);
  // Row -1: the current row (empty while no row is shown selected). Rows count as the grid
  // shows them: with NeueZeile, grid row 1 is the new-row line and reads empty.
  std::string GetCell(int Col, int Row) const;
  // While updating nothing is drawn; ending it repaints and sets the record-count hint.
  void FEndUpdate(bool Updating);
  bool Updating() const { return update_; }

  // The sort column, with 128 added when descending.
  uint8_t FSort_Spalte() const;
  void WSort_Spalte(int Spalte);
  // 0 search, 1 search colour off, 2 on, 3 as a double click, 4 + k: search column k.
  // Also the callback an attached TSuchfeld calls.
  void Suche(int Modus);

  // The current row, -1 when no row is shown selected.
  int GetRow() const;
  // -1 hides the selection, 0 selects row 1 without highlight, above 0 selects that row.
  void SetRow(int Row);
  // Marks a column as a value column (graph view, Get_Spalten).
  void SetTyp(int Spalte);
  bool IstWertSpalte(int Spalte) const;
  // The titles of the marked visible columns from Erste on, each with its index as object.
  void Get_Spalten(TStringList& Liste, int Erste) const;
  // The graph column, or 1 when it is 0 or not a visible column.
  int Get_GrafSpalte() const;
  // A number in hundredths ("12" 1200, "1,5" 150), saturating at the 64-bit limit; never below 0.
  static int64_t Str_in_Zahl(std::string_view Text);

  // ---- graph view and printing (tabelle_grafik.cpp, tabelle_druck.cpp)
  // Column -1: the search column. Fires OnModeChange when the view changes.
  void Set_Grafik(bool On, int Spalte);
  bool Grafik() const { return grafikAn_; }
  // Prints the visible columns on the default printer; returns quietly without one.
  void Print(const char* Titel);

  // ---- what the graph view, printing and tests read
  const TStringList& Zellen() const { return zellen_; }
  TStringList& Zellen() { return zellen_; }
  // Data column count (the stride of the cell list) and the shown part of it.
  int Spalten() const { return spalten_; }
  int SichtbareSpalten() const { return sichtbar_; }
  // Rows of data in the cell list, title row included (entries / columns, rounded up).
  int64_t ZellZeilen() const;
  // Cell of the cell list: row 0 is the title row, no new-row mapping.
  const std::string& Zelle(int64_t Zeile, int Spalte) const;
  // Title of a data column.
  const std::string& Titel(int Spalte) const { return Zelle(0, Spalte); }
  TColor ZeilenFarbe(int Zeile) const;
  int SortSpalte() const { return sortSpalte_; }
  bool Abwaerts() const { return abwaerts_; }
  int SuchSpalte() const { return suchSpalte_; }
  bool SpaltenSuche() const { return spaltenSuche_; }
  // The column drawn pressed, 255 when none.
  int Gedrueckt() const { return gedrueckt_; }
  const std::string& TippText() const { return tippText_; }
  const std::string& Hint() const { return hint_; }
  // The user dragged a column border: automatic widths stop.
  bool BenutzerBreite() const { return benutzerBreite_; }
  // Shared text measuring of the table (screen and printer resolutions alike).
  TTextWidths& Breiten() const { return breiten_; }

  // The three 12-pixel glyphs, each 10 pixels wide with a transparent ground.
  enum class TGlyph { Auf, Ab, Such };
  static const TBitmap& Glyph(TGlyph g);

  void Dispatch(TMessage& msg) override;

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;

 private:
  // tabelle.cpp
  void Verbreitern(int Spalte, int Breite);
  void LetzteStrecken();
  void AendereGroesse();
  int SpaltenBreiteGewuenscht(int Row, const std::string& Text);
  int DatenZeile(int GridRow) const;
  void DrawTitel(int ACol, const TRect& r, TCanvas& c);

  // tabelle_input.cpp
  void EvMausDrueck(TMessage& msg, bool rechts);
  void EvMausLos(TMessage& msg);
  void EvTaste(TMessage& msg);
  void EvZeichen(char ch);
  void EvFokus();
  void Anmelden();
  void SucheStarten(bool vomAktuellen);
  void Melden();

  // tabelle_grafik.cpp: steps 4 and 5 of a cell's drawing in the graph view.
  void DrawGrafikCell(int col, int row, const TRect& r, bool selected);
  // The data column a title press on view column viewColumn sorts by.
  int GrafikSortColumn(int viewColumn) const;

  TStringList zellen_;
  int spalten_ = 0;
  int sichtbar_ = 0;
  std::vector<TColor> farben_;
  std::vector<uint8_t> typ_;
  int sortSpalte_ = 0;
  bool abwaerts_ = false;
  int suchSpalte_ = 0;
  int gedrueckt_ = 255;
  bool spaltenSuche_ = false;

  bool auswahlZeigen_ = true;
  bool keinHighlight_ = false;
  int gemeldet_ = -1;  // last row reported through OnSelectCell
  bool druckInDaten_ = false;  // the last press was in a data row

  std::string tippText_;
  int tippZeile_ = -1;  // current row when the type-ahead text last searched
  bool vomAktuellen_ = false;
  bool update_ = true;
  bool gesetzt_ = false;  // SetTabelle ran once: cells may be drawn
  bool benutzerBreite_ = false;
  bool neueZeile_ = false;
  int letzteBreite_ = 0;  // widest width the last visible column wanted
  std::string hint_;

  QPointer<TSuchfeld> such_;
  bool angemeldet_ = false;  // hooked to such_

  // Graph view: on, its data column (at least 1), and the title of that column remembered
  // when SetTabelle had to leave the view, to come back to it in FEndUpdate. Maintained by
  // Set_Grafik; the rest of its state lives in grafik_.
  bool grafikAn_ = false;
  int grafSpalte_ = 1;
  std::string grafMerkTitel_;
  std::unique_ptr<TTabelleGrafik> grafik_;

  mutable TTextWidths breiten_;
};

namespace Tabelle {
// Puts TTabelle on the palette page "Beispiele".
void Register();
}  // namespace Tabelle

}  // namespace komp
