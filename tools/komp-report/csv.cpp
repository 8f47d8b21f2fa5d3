#include "tools/komp-report/csv.h"

#include <climits>

#include "components/stringtab/stringtab.h"
#include "framework/cp1252.h"

namespace komp::report_cli {

namespace {
std::string Zeile(int64_t line) { return "Zeile " + std::to_string(line); }
}  // namespace

TCsvTable ReadCsv(std::string_view text) {
  TCsvTable result;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const size_t n = text.size();
  size_t i = 0;
  int64_t line = 1;
  std::vector<std::string> record;
  std::string field;
  auto fail = [&](std::string message) {
    result.Rows.clear();
    result.Fehler = std::move(message);
    return result;
  };
  while (i < n) {
    const int64_t recordLine = line;
    record.clear();
    // One record: fields until a line end outside quotes or the end of the text.
    for (;;) {
      field.clear();
      if (i < n && text[i] == '"') {
        ++i;
        for (;;) {
          if (i >= n) return fail("Anf\xFChrungszeichen ab " + Zeile(recordLine) + " wird nicht geschlossen");
          const char c = text[i];
          if (c == '"') {
            if (i + 1 < n && text[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (c == '\n') ++line;
          field += c;
          ++i;
        }
        if (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r')
          return fail("Zeichen nach dem schlie\xDF" "enden Anf\xFChrungszeichen in " + Zeile(line));
      } else {
        // Unquoted: up to the comma or line end; a quote inside is taken as it is.
        const size_t start = i;
        while (i < n && text[i] != ',' && text[i] != '\n' && text[i] != '\r') ++i;
        field.assign(text.substr(start, i - start));
      }
      record.push_back(Utf8ToCp1252(field));
      if (i < n && text[i] == ',') {
        ++i;
        continue;
      }
      break;
    }
    // The line end: CRLF, LF, or a lone CR.
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
    ++line;
    if (record.size() == 1 && record[0].empty()) continue;  // an empty line
    if (!result.Rows.empty()) {
      const size_t cols = result.Rows[0].size();
      if (record.size() > cols)
        return fail(Zeile(recordLine) + " hat " + std::to_string(record.size()) + " Felder, die Kopfzeile nur " +
                    std::to_string(cols));
      record.resize(cols);
    }
    result.Rows.push_back(record);
  }
  if (result.Rows.empty()) return fail("Die Datei enth\xE4lt keine Kopfzeile");
  return result;
}

bool FillStringTab(const TCsvTable& table, TStringTab& tab, std::string& fehler) {
  if (table.Rows.empty()) {
    fehler = "Die Tabelle hat keine Kopfzeile";
    return false;
  }
  const int64_t rows = int64_t(table.Rows.size());
  const int64_t cols = int64_t(table.Rows[0].size());
  // A TStringTab addresses its cells with int.
  if (rows * cols >= INT_MAX || rows >= INT_MAX) {
    fehler = "Die Tabelle hat zu viele Zellen (" + std::to_string(rows) + " Zeilen, " + std::to_string(cols) +
             " Spalten)";
    return false;
  }
  tab.MinimumRows = 0;
  tab.MaximumRows = -1;
  tab.Set_Tab(int(rows), int(cols));
  for (int r = 0; r < int(rows); ++r)
    for (int c = 0; c < int(cols); ++c) tab.SetCell(r, c, table.Rows[size_t(r)][size_t(c)]);
  tab.SetZeile(0);
  return true;
}

}  // namespace komp::report_cli
