#include "app/core/messages.h"

namespace brivox {

namespace {
std::string Quoted(std::string_view before, std::string_view path, std::string_view after) {
  std::string s(before);
  s += '"';
  s += path;
  s += '"';
  s += after;
  return s;
}
}  // namespace

std::string MsgCannotOpen(std::string_view path) {
  return Quoted("Datei:", path, " konnte nicht ge\xF6" "ffnet werden!");
}

std::string MsgReadError(std::string_view path) {
  return Quoted("Fehler beim lesen der Datei:", path, "!");
}

std::string MsgWriteError(std::string_view path) {
  return Quoted("Fehler beim schreiben der Datei:", path, "!");
}

std::string MsgPieceIsSource(std::string_view piecePath) {
  return Quoted("Teildatei:", piecePath,
                " ist die Quelldatei selbst und w\xFCrde \xFC" "berschrieben!");
}

std::string MsgTargetIsPiece(std::string_view targetPath) {
  return Quoted("Zieldatei:", targetPath,
                " ist eine der Importdateien und w\xFCrde \xFC" "berschrieben!");
}

std::string MsgNotAFile(std::string_view path) {
  return Quoted("Datei:", path,
                " ist keine gew\xF6hnliche Datei (Pipe, Ger\xE4t oder Systemdatei) und kann nicht "
                "exportiert werden! Bitte zuerst in eine Datei kopieren.");
}

std::string MsgSourceChanged(std::string_view path) {
  return Quoted("Datei:", path, " wurde w\xE4hrend des Lesens ver\xE4ndert! Es wurde nichts geschrieben.");
}

std::string MsgPieceNoPiece(std::string_view piecePath) {
  return Quoted("Teildatei:", piecePath, " ist keine Brivox-Teildatei!");
}

std::string MsgPieceBadHeader(std::string_view piecePath) {
  return Quoted("Teildatei:", piecePath, " hat einen besch\xE4" "digten Kopf!");
}

std::string MsgPieceWrongPlace(std::string_view piecePath, int64_t expected, int64_t found,
                               int64_t count) {
  return Quoted("Teildatei:", piecePath,
                " steht an der falschen Stelle der Kette: erwartet Teil " + std::to_string(expected) +
                    " von " + std::to_string(count) + ", gefunden Teil " + std::to_string(found) + "!");
}

std::string MsgPieceOtherCount(std::string_view piecePath, int64_t expected, int64_t found) {
  return Quoted("Teildatei:", piecePath,
                " geh\xF6rt zu einer Kette aus " + std::to_string(found) + " Teilen, erwartet " +
                    std::to_string(expected) + "!");
}

std::string MsgPieceOtherChain(std::string_view piecePath, std::string_view what,
                               std::string_view expected, std::string_view found) {
  return Quoted("Teildatei:", piecePath,
                " geh\xF6rt zu einer anderen Kette (" + std::string(what) + " \"" + std::string(found) +
                    "\" statt \"" + std::string(expected) + "\")!");
}

std::string MsgPieceBadCharacter(std::string_view piecePath, uint64_t position, uint8_t character) {
  static const char kHex[] = "0123456789ABCDEF";
  const std::string code = {'0', 'x', kHex[character >> 4], kHex[character & 15]};
  return Quoted("Teildatei:", piecePath,
                " ist besch\xE4" "digt: ung\xFCltiges Zeichen " + code + " an Stelle " +
                    std::to_string(position) + "!");
}

std::string MsgPieceBadToken(std::string_view piecePath, uint64_t position) {
  return Quoted("Teildatei:", piecePath,
                " ist besch\xE4" "digt: falsch kodiertes Zeichen an Stelle " + std::to_string(position) +
                    "!");
}

std::string MsgPieceCutToken(std::string_view piecePath) {
  return Quoted("Teildatei:", piecePath, " endet mitten in einem kodierten Zeichen und ist gek\xFCrzt oder besch\xE4" "digt!");
}

std::string MsgPieceShort(std::string_view piecePath) {
  return Quoted("Teildatei:", piecePath, " ist k\xFCrzer als die anderen Teile und wurde wohl gek\xFCrzt!");
}

std::string MsgPieceLong(std::string_view piecePath) {
  return Quoted("Teildatei:", piecePath, " ist l\xE4nger als die anderen Teile und wurde wohl ver\xE4ndert!");
}

std::string MsgChainInconsistent(std::string_view firstPiecePath) {
  return Quoted("Die Kette ab Teildatei:", firstPiecePath,
                " passt nicht zu ihrer eigenen Kodierung: ein Teil ist gek\xFCrzt, vertauscht oder "
                "ver\xE4ndert!");
}

const std::string& ClosingMessage(bool success) { return success ? kMsgSuccess : kMsgFailure; }

}  // namespace brivox
