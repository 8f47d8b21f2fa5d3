// Layout numbers of TTabelle's graph view and of its print-out, without a window or a printer:
// the control and the printing code measure through ITextMass and draw what comes out here.
//
//   TDaten            the cell list as the layout reads it
//   GrafSpalte        the graph column, clamped like Get_GrafSpalte
//   GrafikLayout      the four view columns: widths, title offsets, lines per record, bars
//   WaehleSchrift     the print font size with the landscape switch and the refusal
//   TSpaltenMessung   printed column widths at any size (all cells once, then the widest)
//   DruckLayout       font, columns, line height, rows per page, pages, the page foot
//   GrafikDruckLayout the same for the graph view's record layout on paper
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace komp::tabelle {

// The cell list: row 0 is the title row, data rows 1 .. zeilen - 1; a missing cell reads "".
struct TDaten {
  std::function<std::string_view(int64_t zeile, int spalte)> zelle;
  int64_t zeilen = 0;  // title row included
  int spalten = 0;     // the stride of the cell list
  int sichtbar = 0;    // columns from here on are hidden data columns
  // The shown columns: the smaller of the column count and the visible-column count.
  int Genutzt() const;
  int64_t DatenZeilen() const { return zeilen > 1 ? zeilen - 1 : 0; }
};

// Text measures of the target (screen or printer) in its own pixels, for the table's font face.
class ITextMass {
 public:
  virtual ~ITextMass() = default;
  virtual int Breite(std::string_view text, int groesse, bool fett) = 0;
  // Height of the letter "A": one line.
  virtual int Hoehe(int groesse, bool fett) = 0;
};

// Reads a value cell in hundredths (Str_in_Zahl).
using TWertLeser = std::function<int64_t(std::string_view)>;

// ---- graph view

// 1 when the wanted column is 0 or not a shown column.
int GrafSpalte(int wunsch, const TDaten& daten);

struct TGrafikVorgaben {
  int schrift = 8;             // lists and titles
  int schluesselSchrift = 16;  // the key of a record of more than one line
  int zeilenHoehe = 1;         // one line of a record
  int breite = 0;              // the table (or page) width the bar column shares
  int rest = 25;               // kept free beside the four columns
  int titelZusatz = 0;         // room for a title glyph beside the column-0 title
  int luft = 4;                // added to each list and key column beside its text
  // Column 0 keeps this width with one line per record; unset measures the keys at `schrift`.
  std::optional<int> breiteSpalte0;
  // The bar column's width when no value is above 0; unset keeps the computed width.
  std::optional<int> breiteOhneWert;
  bool mitBalken = true;       // false: widths only (the print fitting's trial runs)
};

// The cells that were widest at the first measurement; later sizes measure only these.
struct TGrafikKandidaten {
  bool gemessen = false;
  int64_t schluessel = -1;               // row of the widest key
  int64_t vorZeile = -1, nachZeile = -1;  // widest value cell of each list
  int vorSpalte = 0, nachSpalte = 0;
};

struct TGrafikLayout {
  int g = 1;              // graph column
  int n = 0;              // shown columns
  int zeilenProSatz = 1;  // lines per record, at least 1
  int zeilenHoehe = 1;
  int64_t groessterWert = 0;
  std::array<int, 4> breiten{};  // the view columns; -1 hides one
  // Indent of each title so that a list's titles all end at the same x: entry i belongs to
  // column 1 + i (before-list) and g + 1 + i (after-list).
  std::vector<int> titelVor, titelNach;
  int doppelpunkt = 0;  // width of ": "
  // Bar length in pixels per row of the cell list (index 0, the title row, stays 0).
  std::vector<int32_t> balken;
  int SatzHoehe() const { return zeilenProSatz * zeilenHoehe; }
  int32_t Balken(int64_t zeile) const {
    return zeile >= 0 && zeile < int64_t(balken.size()) ? balken[size_t(zeile)] : 0;
  }
};

TGrafikLayout GrafikLayout(const TDaten& daten, int wunschSpalte, const TGrafikVorgaben& v, ITextMass& mass,
                           const TWertLeser& wert, TGrafikKandidaten* kandidaten = nullptr);

// ---- printing

constexpr int kGroessteSchrift = 17;
constexpr int kKleinsteSchrift = 7;
constexpr const char* kZuBreitText = "Tabelle kann nicht gedruckt werden,\nda die Breite zu gro\xDF ist!";
constexpr const char* kZuBreitTitel = "nicht m\xF6glich";

struct TSchriftWahl {
  int groesse = 8;
  bool quer = false;       // switched to landscape
  bool abgelehnt = false;  // too wide at the smallest size: nothing is printed
};

// passt(size, page width): whether the table fits at that size on a page that wide.
// Starts at the table's own size in the printer's current orientation, grows while it fits
// (to 17 at most), switches to landscape when the first try does not fit, then tries 8 and 7
// points; a size below the table's own is only taken when it fits, and none above it is
// tried when the own size does not fit.
TSchriftWahl WaehleSchrift(int eigeneGroesse, int breiteJetzt, int breiteQuer,
                           const std::function<bool(int groesse, int seitenBreite)>& passt);

// Printed column widths: the widest cell of each shown column (at least 10) plus the width of
// "m". The first size measures every cell and remembers the widest of each column; other sizes
// measure only those. Title cells are measured bold, as they are printed.
class TSpaltenMessung {
 public:
  TSpaltenMessung(const TDaten& daten, ITextMass& mass);
  const std::vector<int>& Breiten(int groesse);
  int M(int groesse);
  // 4 m plus the columns: what must stay below the page width.
  int64_t Bedarf(int groesse);

 private:
  const TDaten& daten_;
  ITextMass& mass_;
  std::vector<int64_t> widest_;  // row of the widest cell per column; empty before the first run
  std::vector<int> breiten_;
  int groesse_ = -1;
};

// Which rows of a print go on which page: per page a capacity (first page, later pages) in
// records; at least one record per page, at least one page.
struct TSeiten {
  int64_t saetze = 0;
  int64_t ersteSeite = 1, folgeSeite = 1;
  int64_t Anzahl() const;
  // First record (from 0) and count on page p (from 0).
  int64_t Erster(int64_t seite) const;
  int64_t AufSeite(int64_t seite) const;
};

// "Seite 2 von 5 Seiten", or "" when the print has one page.
std::string SeitenFuss(int64_t seite, int64_t seiten);

struct TDruckLayout {
  TSchriftWahl schrift;
  int m = 0;
  int rand = 0;                // left margin: 2 m
  std::vector<int> spalten;    // widths of the shown columns
  int64_t gesamtBreite = 0;    // all columns together
  int zeilenHoehe = 1;
  int seitenHoehe = 0;
  int zeilenErste = 1, zeilenFolge = 1;  // data rows per page
  TSeiten seiten;
  // Top of the table (its title row) on a page.
  int TabelleOben(int64_t seite) const { return seite == 0 ? 3 * zeilenHoehe : zeilenHoehe; }
  int FussY() const { return seitenHoehe - zeilenHoehe; }
};

// Page measures in the printer's current orientation and in landscape (the same when it
// already is landscape).
struct TSeitenMasse {
  int breite = 0, hoehe = 0;
  int breiteQuer = 0, hoeheQuer = 0;
};

TDruckLayout DruckLayout(const TDaten& daten, int eigeneGroesse, const TSeitenMasse& seite, ITextMass& mass);

// The graph view on paper: the record layout at the printer's size, the key doubled for records
// of more than one line, the bar column at least a third of the page. Records per page are
// the page's rows divided by the lines per record.
struct TGrafikDruckLayout {
  TDruckLayout druck;   // size, orientation, margins, line height, pages (of records)
  TGrafikLayout satz;   // the view columns and bars at that size
};

TGrafikDruckLayout GrafikDruckLayout(const TDaten& daten, int grafSpalte, int eigeneGroesse,
                                     const TSeitenMasse& seite, ITextMass& mass, const TWertLeser& wert);

}  // namespace komp::tabelle
