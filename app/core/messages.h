// The converter's user-visible texts, code page 1252, in one place.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace brivox {

inline const std::string kCaptionWarning = "Achtung";
inline const std::string kCaptionDone = "Fertig";

inline const std::string kMsgNoFile = "Es muss eine Datei angegeben werden!";
inline const std::string kMsgChosenFileNotOpened = "Datei konnte nicht ge\xF6" "ffnet werden!";
inline const std::string kMsgWrongFormat = "Falsches Datenformat der Importdatei!!";
inline const std::string kMsgCannotCreate = "Zieldatei konnte nicht erstellt werden!";
inline const std::string kMsgSuccess = "Konvertierung erfolgreich abgeschlossen";
inline const std::string kMsgFailure = "Fehler bei der Konvertierung";

inline const std::string kMsgSizeNotWhole =
    "Die Maximale Dateigr\xF6\xDF" "e muss eine ganze Zahl (in KB) sein!";
inline const std::string kMsgSizeTooLarge = "Die Maximale Dateigr\xF6\xDF" "e ist zu gro\xDF!";
inline const std::string kMsgTooManyPieces =
    "Die Datei ergibt mehr als 32767 Teildateien! Bitte eine gr\xF6\xDF" "ere Maximale "
    "Dateigr\xF6\xDF" "e angeben.";
inline const std::string kMsgNamesTooLong =
    "Die Dateinamen sind zu lang f\xFCr den Kopf der Teildateien!";

// "Datei:"<path>" konnte nicht geöffnet werden!"
std::string MsgCannotOpen(std::string_view path);
// "Fehler beim lesen der Datei:"<path>"!"
std::string MsgReadError(std::string_view path);
std::string MsgWriteError(std::string_view path);
std::string MsgPieceIsSource(std::string_view piecePath);
std::string MsgTargetIsPiece(std::string_view targetPath);

// A source that cannot be read twice (pipe, device, /proc file) and one that
// changed between the two passes of an export.
std::string MsgNotAFile(std::string_view path);
std::string MsgSourceChanged(std::string_view path);

// A chain that is damaged: each message names the piece file.
std::string MsgPieceNoPiece(std::string_view piecePath);
std::string MsgPieceBadHeader(std::string_view piecePath);
std::string MsgPieceWrongPlace(std::string_view piecePath, int64_t expected, int64_t found,
                               int64_t count);
std::string MsgPieceOtherCount(std::string_view piecePath, int64_t expected, int64_t found);
// what: "Zieldatei" or "erster Teil", the header field that differs.
std::string MsgPieceOtherChain(std::string_view piecePath, std::string_view what,
                               std::string_view expected, std::string_view found);
std::string MsgPieceBadCharacter(std::string_view piecePath, uint64_t position, uint8_t character);
std::string MsgPieceBadToken(std::string_view piecePath, uint64_t position);
std::string MsgPieceCutToken(std::string_view piecePath);
std::string MsgPieceShort(std::string_view piecePath);
std::string MsgPieceLong(std::string_view piecePath);
// The decoded file does not fit the code table its chain was written with.
std::string MsgChainInconsistent(std::string_view firstPiecePath);

// The closing message of every run, caption "Fertig".
const std::string& ClosingMessage(bool success);

}  // namespace brivox
