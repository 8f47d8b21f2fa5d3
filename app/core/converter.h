// The converter: export a file into a chain of pieces, import a chain back,
// and look at a picked file to decide which of the two it calls for.
// Every function works on its own copy of its settings and reports through a
// ConversionHost; none changes the process's current directory.
//
// Paths are the file system's own names (as a dialog or a command line gives
// them); the names stored in piece headers are code page 1252 text. Whatever
// a run writes appears whole when the run succeeds, and not at all otherwise.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/core/codec.h"
#include "app/core/codetable.h"
#include "app/core/host.h"
#include "app/core/messages.h"
#include "app/core/piece.h"

namespace brivox {

inline const std::string kDefaultExportName = "Export.txt";

// Body characters a piece may hold: no limit at all.
inline constexpr uint64_t kNoLimit = UINT64_MAX;

struct ExportSettings {
  std::string sourcePath;   // system name
  std::string directory;    // of the source, with its "/"; empty: the current one
  std::string targetName;   // stored in the pieces (1252); empty: from the source's name
  std::string exportName;   // text of "Export Name" (1252); empty: "Export.txt"
  uint64_t limit = kNoLimit;  // body characters per piece
};

// The text of "Maximale Dateigröße in KB" to a limit in characters: a whole
// number of kilobytes with optional surrounding spaces; empty, 0 or below is
// kNoLimit. Parsed once, where the person typed it.
enum class SizeText { Ok, NotWhole, TooLarge };
SizeText ParseSizeText(const std::string& text, uint64_t& limitChars);
// The same, telling the person (caption "Achtung") when the text is no usable size.
bool CheckSizeText(const std::string& text, ConversionHost& host, uint64_t* limitChars);

// "Export.txt" gives Export and .txt: split at the first point.
struct ExportNames {
  std::string base;
  std::string extension;
  std::string PieceName(uint64_t number, uint64_t count) const;
};
ExportNames SplitExportName(const std::string& exportName);

bool RunExport(ExportSettings settings, ConversionHost& host);

struct ImportSettings {
  std::string piecePath;  // the picked piece, system name
  std::string directory;  // its directory, with its "/"; empty: the current one
  HeaderState header;     // read from the picked piece (InspectFile)
};

struct ImportResult {
  bool success = false;
  uint64_t bytes = 0;    // bytes decoded (written, unless verifying)
  int64_t pieces = 0;    // pieces opened and read through
};

bool RunImport(ImportSettings settings, ConversionHost& host);
// Decodes the whole chain like an import but writes nothing.
ImportResult VerifyChain(ImportSettings settings, ConversionHost& host);

// Where a piece of a chain is looked for: its stored name reduced to a bare
// file name, inside the directory of the picked piece. Empty when nothing
// usable is left of the name.
std::string PiecePath(const std::string& directory, const std::string& storedName);

enum class FileKind { Unreadable, Export, Import, WrongFormat };
struct Inspection {
  FileKind kind = FileKind::Unreadable;
  std::string status;  // "Import/Export", "Import Zieldatei:...", "Falsche Datei" or empty
  HeaderState header;
};
// Reads the start of a picked file (system name); shows the window's messages
// for an unreadable file or a damaged header.
Inspection InspectFile(const std::string& path, ConversionHost& host);

// The name of piece number of a chain, derived from its first-piece name;
// empty when the name does not have the form base + "1" + extension.
std::string ChainPieceName(const std::string& firstPieceName, int64_t number);

// "Konvertierung erfolgreich abgeschlossen" / "Fehler bei der Konvertierung", caption "Fertig".
void ShowClosingMessage(ConversionHost& host, bool success);

}  // namespace brivox
