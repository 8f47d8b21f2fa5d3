// The data of the icon table: cell texts, row records, column entries and tabs. No Qt.
//
//   TCellText      one cell, 16 bytes, short texts inline (a ten-character cell allocates nothing)
//   RowDef         the attributes of one row
//   TRowPool       RowDef records in slabs, reused after deletion; rows are reached through an
//                  index of pointers, so any row costs one step
//   TColumnDef     width, widest content and its row, per data column
//   Tabdefinition  one tab: its cells as one list (row after row), its rows, columns, state
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/types.h"

namespace komp {

class TCellText {
 public:
  TCellText() { std::memset(b_, 0, sizeof b_); }
  explicit TCellText(std::string_view s) : TCellText() { Assign(s); }
  TCellText(const TCellText& o) : TCellText() { Assign(o.View()); }
  TCellText(TCellText&& o) noexcept { std::memcpy(b_, o.b_, sizeof b_); std::memset(o.b_, 0, sizeof o.b_); }
  TCellText& operator=(const TCellText& o) {
    if (this != &o) Assign(o.View());
    return *this;
  }
  TCellText& operator=(TCellText&& o) noexcept {
    if (this != &o) {
      Free();
      std::memcpy(b_, o.b_, sizeof b_);
      std::memset(o.b_, 0, sizeof o.b_);
    }
    return *this;
  }
  ~TCellText() { Free(); }

  void Assign(std::string_view s);
  std::string_view View() const {
    if (b_[15] != kHeap) return {b_, size_t(uint8_t(b_[15]))};
    const char* p;
    uint32_t n;
    std::memcpy(&p, b_, sizeof p);
    std::memcpy(&n, b_ + 8, sizeof n);
    return {p, n};
  }
  bool Empty() const { return b_[15] == 0; }

 private:
  static constexpr char kHeap = char(0xFF);
  void Free();
  // Inline: bytes 0..14 the text, byte 15 its length. On the heap: the pointer, the length
  // (bytes 8..11) and kHeap in byte 15.
  char b_[16];
};
static_assert(sizeof(TCellText) == 16);

using RowArt = uint8_t;

// Bit col of a column mask (edit and fetch masks): columns past 31 are never in one.
inline bool ColumnBit(uint32_t mask, int col) { return col >= 0 && col < 32 && ((mask >> col) & 1u) != 0; }

// Attributes of one row. Records are handed out by the table (SetZeile, GetZeile) and stay
// valid until their row is deleted or the tab is emptied.
struct RowDef {
  int32_t Icon = -1;
  int32_t Status = -1;
  int32_t Height = 18;
  TColor Color = 0;
  int8_t Group = 0;   // leading cells that repeat the row above
  RowArt Art = 0;     // bit 0: one cell across the width (caption); 2: shaded
  int32_t Extent = -1;
  int32_t Lines = 1;
  uint32_t Fetch = 0;  // bit c: column c is fetched through OnGetDaten on first read
};

class TRowPool {
 public:
  TRowPool() = default;
  TRowPool(const TRowPool&) = delete;
  TRowPool& operator=(const TRowPool&) = delete;
  RowDef* New(const RowDef& init);
  void Free(RowDef* r);
  void Clear();

 private:
  static constexpr size_t kSlab = 4096;
  std::vector<std::unique_ptr<RowDef[]>> slabs_;
  size_t used_ = kSlab;  // slots taken in the last slab
  std::vector<RowDef*> free_;
};

struct TColumnDef {
  int32_t Width = -1;
  int32_t Widest = -1;
  int32_t WidestRow = 0;
};

enum TAnzeigeFormat : uint8_t { A_Restore = 0, A_Tabelle = 1, A_Icon = 2, A_IconList = 3, A_Bitmap = 4, A_Vektor = 5 };

struct Tabdefinition {
  int Nummer = 0;          // position among the tabs
  int RealCols = 0;        // entries per row in the cell list
  int FixedRows = 0;
  int FixedCols = 0;
  int Cols = 0;            // shown columns
  int ActiveCols = 0;      // columns taking part in widths, titles and counts
  std::vector<TColumnDef> Spalten;
  int LabelWidth = 0;
  int ValueWidth = 0;
  uint32_t EditMask = 0;
  std::vector<uint8_t> Numerisch;  // 1 while every data cell of the column is numeric
  int FontSize = 8;
  int64_t TotalHeight = 0;
  int CurrentRow = -1;
  int TopRow = 0;
  bool Grafik = false;
  bool StatusSymbole = false;
  TAnzeigeFormat Format = A_Tabelle;
  // Per-cell text colours (rows x shown columns), made by SetCellColor; empty when none.
  std::vector<TColor> ZellFarben;
  int ZellFarbenCols = 0;

  // The cell list: entry r * RealCols + c is the cell (r, c); entries past the end read empty.
  std::vector<TCellText> Zellen;
  // Rows in order.
  std::vector<RowDef*> Zeilen;
  TRowPool Pool;

  int64_t CellCount() const { return int64_t(Zellen.size()); }
  std::string_view Cell(int row, int col) const {
    if (row < 0 || col < 0 || col >= RealCols) return {};
    const int64_t i = int64_t(row) * RealCols + col;
    return i < int64_t(Zellen.size()) ? Zellen[size_t(i)].View() : std::string_view();
  }
  RowDef* Row(int r) const { return r >= 0 && r < int(Zeilen.size()) ? Zeilen[size_t(r)] : nullptr; }
  // Rows with title rows and the new-record row.
  int RowCount() const { return int(Zeilen.size()); }
  int DataRows() const { return RowCount() - FixedRows; }
};

}  // namespace komp
