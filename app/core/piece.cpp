#include "app/core/piece.h"

#include <algorithm>
#include <vector>

namespace brivox {

namespace {

void PutByte(std::string& out, uint8_t b) {
  out += kHexDigits[b >> 4];
  out += kHexDigits[b & 15];
}

void PutWord(std::string& out, int16_t w) {
  PutByte(out, uint8_t(uint16_t(w) & 0xFF));
  PutByte(out, uint8_t(uint16_t(w) >> 8));
}

int16_t GetWord(const char* p) {
  const auto lo = HexByte(uint8_t(p[0]), uint8_t(p[1]));
  const auto hi = HexByte(uint8_t(p[2]), uint8_t(p[3]));
  return int16_t(uint16_t(lo | (hi << 8)));
}

std::string UpToNul(std::string_view s) { return std::string(s.substr(0, s.find('\0'))); }

}  // namespace

std::string EncodeRecord(const PieceHeader& r) {
  std::string out;
  out.reserve(kRecordChars);
  for (int16_t w : {r.headerLength, r.pieceCount, r.pieceNumber, r.targetNameLength,
                    r.firstNameLength, r.nextNameLength, r.reserved})
    PutWord(out, w);
  PutByte(out, r.filler[0]);
  PutByte(out, r.filler[1]);
  return out;
}

PieceHeader DecodeRecord(const char* p) {
  PieceHeader r;
  r.headerLength = GetWord(p);
  r.pieceCount = GetWord(p + 4);
  r.pieceNumber = GetWord(p + 8);
  r.targetNameLength = GetWord(p + 12);
  r.firstNameLength = GetWord(p + 16);
  r.nextNameLength = GetWord(p + 20);
  r.reserved = GetWord(p + 24);
  r.filler[0] = HexByte(uint8_t(p[28]), uint8_t(p[29]));
  r.filler[1] = HexByte(uint8_t(p[30]), uint8_t(p[31]));
  return r;
}

std::string HeaderText(HeaderState s) {
  PieceHeader& r = s.record;
  r.targetNameLength = int16_t(s.targetName.size());
  r.firstNameLength = int16_t(s.firstPieceName.size());
  r.nextNameLength = int16_t(s.nextPieceName.size());
  r.headerLength = int16_t(kRecordChars + s.targetName.size() + s.firstPieceName.size() +
                           s.nextPieceName.size());
  return EncodeRecord(r) + s.targetName + s.firstPieceName + s.nextPieceName;
}

bool ReadHeader(komp::TFile& file, HeaderState& state) {
  state.targetName.clear();
  state.firstPieceName.clear();
  state.nextPieceName.clear();
  // 240 bytes or the header length when larger, as the reader always had.
  std::vector<char> buffer(240);
  if (file.Read(buffer.data(), 4) != 4) return false;
  const int length = GetWord(buffer.data());
  if (length < 1 || length > kMaxHeaderLength) return false;
  // Shorter than a record the length word cannot be trusted to describe one.
  if (length < kRecordChars) return false;
  if (size_t(length) > buffer.size()) buffer.resize(size_t(length));
  if (file.Read(buffer.data() + 4, size_t(length - 4)) != length - 4) return false;
  const PieceHeader record = DecodeRecord(buffer.data());
  const int lengths[3] = {record.targetNameLength, record.firstNameLength, record.nextNameLength};
  int total = 0;
  for (int l : lengths) {
    if (l < 0) return false;
    total += l;
  }
  // The encoder writes exactly the record and the names; anything else would
  // move the start of the body.
  if (total != length - kRecordChars) return false;
  state.record = record;
  const char* p = buffer.data() + kRecordChars;
  state.targetName = UpToNul({p, size_t(lengths[0])});
  p += lengths[0];
  state.firstPieceName = UpToNul({p, size_t(lengths[1])});
  p += lengths[1];
  state.nextPieceName = UpToNul({p, size_t(lengths[2])});
  return true;
}

std::string BareName(std::string_view path) {
  path = path.substr(0, path.find('\0'));
  const size_t cut = path.find_last_of("/\\");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string DirectoryOf(std::string_view path) {
  path = path.substr(0, path.find('\0'));
  const size_t cut = path.rfind('/');
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string ResolvePath(std::string_view directory, std::string_view name) {
  name = name.substr(0, name.find('\0'));
  if (name.empty()) return {};
  if (name.front() == '/' || directory.empty()) return std::string(name);
  std::string path(directory);
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string SafeTargetName(std::string_view storedName) {
  std::string bare = BareName(storedName);
  if (bare == "." || bare == "..") bare.clear();
  return bare;
}

}  // namespace brivox
