// The converter: export a file into a chain of pieces, import a chain back,
// and look at a picked file to decide which of the two it calls for.
// Every function works on its own copy of its settings and reports through a
// ConversionHost; none changes the process's current directory.
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

struct ExportSettings {
  std::string sourcePath;   // as picked, code page 1252
  std::string directory;    // of the picked file, with its "/"; empty: the current one
  std::string targetName;   // stored in the pieces; empty: the source's file name
  std::string exportName;   // text of "Export Name"; empty: "Export.txt"
  std::string sizeText;     // text of "Maximale Dateigröße in KB"
};

// Size text to a limit in characters: a whole number of kilobytes with
// optional surrounding spaces; empty, 0 or below is no limit (0).
enum class SizeText { Ok, NotWhole, TooLarge };
SizeText ParseSizeText(const std::string& text, uint64_t& limitChars);
// The same, telling the person (caption "Achtung") when the text is no usable size.
bool CheckSizeText(const std::string& text, ConversionHost& host, uint64_t* limitChars = nullptr);

// "Export.txt" gives Export and .txt: split at the first point.
struct ExportNames {
  std::string base;
  std::string extension;
  std::string PieceName(uint64_t number, uint64_t count) const;
};
ExportNames SplitExportName(const std::string& exportName);

bool RunExport(ExportSettings settings, ConversionHost& host);

struct ImportSettings {
  std::string piecePath;  // the picked piece
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

// Where a stored piece name is found: inside the directory, or, when it
// carries a directory of its own and is not there, by its bare name.
std::string ResolvePiece(const std::string& directory, const std::string& storedName);

enum class FileKind { Unreadable, Export, Import, WrongFormat };
struct Inspection {
  FileKind kind = FileKind::Unreadable;
  std::string status;  // "Import/Export", "Import Zieldatei:...", "Falsche Datei" or empty
  HeaderState header;
};
// Reads the start of a picked file; shows the window's messages for an
// unreadable file or a damaged header.
Inspection InspectFile(const std::string& path, ConversionHost& host);

// The name of piece number of a chain, derived from its first-piece name;
// empty when the name does not have the form base + "1" + extension.
std::string ChainPieceName(const std::string& firstPieceName, int64_t number);

// "Konvertierung erfolgreich abgeschlossen" / "Fehler bei der Konvertierung", caption "Fertig".
void ShowClosingMessage(ConversionHost& host, bool success);

}  // namespace brivox
