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

const std::string& ClosingMessage(bool success) { return success ? kMsgSuccess : kMsgFailure; }

}  // namespace brivox
