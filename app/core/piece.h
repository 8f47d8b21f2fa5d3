// Piece files: magic, header record in hexadecimal, three names, body.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/file.h"

namespace brivox {

inline constexpr std::string_view kMagic = "Brivox01";
inline constexpr int kRecordChars = 32;
// What a reader accepts as header length, and so what a writer may produce.
inline constexpr int kMaxHeaderLength = 7999;
inline constexpr int64_t kMaxPieces = 32767;

// Seven little-endian 16-bit words and two filler bytes; travels as 32 hex characters.
struct PieceHeader {
  int16_t headerLength = 0;
  int16_t pieceCount = 0;
  int16_t pieceNumber = 0;
  int16_t targetNameLength = 0;
  int16_t firstNameLength = 0;
  int16_t nextNameLength = 0;
  int16_t reserved = 0;
  uint8_t filler[2] = {0, 0};
};

// A header record with the names that follow it.
struct HeaderState {
  PieceHeader record;
  std::string targetName;
  std::string firstPieceName;
  std::string nextPieceName;
};

// "0"-"9" give 0-9, any other character its code minus 55; nothing is validated.
inline uint8_t Nibble(unsigned char c) { return uint8_t(c <= '9' ? c - '0' : c - 55); }
inline uint8_t HexByte(unsigned char high, unsigned char low) {
  return uint8_t((Nibble(high) << 4) | Nibble(low));
}
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string EncodeRecord(const PieceHeader& record);
PieceHeader DecodeRecord(const char* chars32);

// The record followed by the non-empty names, with the lengths filled in
// from the names (the piece count and number are taken from state.record).
std::string HeaderText(HeaderState state);

// Reads the header of a file positioned just after the magic. On a wrong
// format (a length the record and its names do not fill exactly, among
// others) the names are left empty and false is returned.
bool ReadHeader(komp::TFile& file, HeaderState& state);

// Name helpers. A name ends at a NUL. The directory of a path keeps its
// trailing "/"; paths on this platform are separated by "/", and names written
// elsewhere may carry "\" too, so BareName drops up to either.
std::string BareName(std::string_view path);
std::string DirectoryOf(std::string_view path);
// A relative name is taken inside directory; an absolute one stays as it is.
std::string ResolvePath(std::string_view directory, std::string_view name);
// The target name of a header reduced to a bare file name; empty when nothing
// usable is left (empty, "." or "..").
std::string SafeTargetName(std::string_view storedName);

}  // namespace brivox
