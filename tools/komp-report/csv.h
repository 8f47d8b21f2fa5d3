// The CSV reader of komp-report: RFC 4180 text in UTF-8 into rows of code page 1252 cells, and
// such rows into a TStringTab (row 0 the column names, as the report looks them up).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace komp {
class TStringTab;
}

namespace komp::report_cli {

struct TCsvTable {
  // Empty when the text was read; otherwise a German message naming the line.
  std::string Fehler;
  // Row 0 holds the column names. Every row has as many cells as row 0.
  std::vector<std::vector<std::string>> Rows;
};

// Reads CSV text: fields separated by commas, records by CRLF or LF; a quoted field may hold
// commas, line breaks and "" for a quote. A leading UTF-8 BOM is skipped, empty lines are
// skipped, a record shorter than the header gets empty cells, a longer one is an error.
// Bytes that are no valid UTF-8 are taken as Latin-1 (the framework's conversion).
TCsvTable ReadCsv(std::string_view text);

// The table the report reads: the rows as they are, the current record the first data row.
// False (with a message in `fehler`) when the table is too large for a TStringTab.
bool FillStringTab(const TCsvTable& table, TStringTab& tab, std::string& fehler);

}  // namespace komp::report_cli
