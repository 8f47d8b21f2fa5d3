// The fuzz harnesses, shared by the libFuzzer targets and the regression test:
//   FuzzHeader  a picked file's header
//   FuzzChain   a chain of pieces as the input gives them
//   FuzzDamage  a real chain of a source from the input, damaged as the input says
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <string>
#include <vector>

#include "app/core/converter.h"

namespace brivox::fuzz {

class NullHost : public ConversionHost {
 public:
  void Message(const std::string&, const std::string&) override {}
  void ProgressStart(int64_t) override {}
  void ProgressPosition(int64_t) override {}
  bool ProcessMessages() override { return true; }
};

// A private directory inside a private parent, so writes outside show up.
class Sandbox {
 public:
  Sandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brivox-fuzz-XXXXXX").string();
    parent_ = mkdtemp(pattern.data());
    dir_ = parent_ + "/chain/";
    std::filesystem::create_directory(dir_);
  }
  ~Sandbox() {
    std::error_code ec;
    std::filesystem::remove_all(parent_, ec);
  }
  const std::string& Dir() const { return dir_; }
  void Write(const std::string& name, const std::string& bytes) {
    Write(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::string Read(const std::string& name) const {
    std::string s;
    FILE* f = std::fopen((dir_ + name).c_str(), "rb");
    if (!f) return s;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
    return s;
  }
  void Write(const std::string& name, const uint8_t* data, size_t size) {
    FILE* f = std::fopen((dir_ + name).c_str(), "wb");
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  // Every entry of the parent is the chain directory; inside it only the given names.
  size_t EntriesOutside() const {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(parent_)) n += e.path() != std::filesystem::path(dir_).parent_path();
    return n;
  }
  size_t Entries() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++n;
    return n;
  }

 private:
  std::string parent_;
  std::string dir_;
};

// The input is one file, read as a picked piece.
inline void FuzzHeader(const uint8_t* data, size_t size) {
  Sandbox box;
  box.Write("p.txt", data, size);
  NullHost host;
  Inspection in = InspectFile(box.Dir() + "p.txt", host);
  if (in.kind == FileKind::Import) {
    if (in.header.record.pieceCount < 1 || SafeTargetName(in.header.targetName).empty()) abort();
  }
}

// The input, split at "\n--\n", gives pieces p1.txt, p2.txt, ... (up to 8);
// a chain is imported from p1.txt. Only the target may appear, and only in
// the chain's directory.
inline void FuzzChain(const uint8_t* data, size_t size) {
  Sandbox box;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  int pieces = 0;
  while (pieces < 8) {
    const size_t cut = all.find("\n--\n", start);
    const size_t end = cut == std::string_view::npos ? all.size() : cut;
    box.Write("p" + std::to_string(++pieces) + ".txt", data + start, end - start);
    if (cut == std::string_view::npos) break;
    start = cut + 4;
  }
  NullHost host;
  const std::string picked = box.Dir() + "p1.txt";
  Inspection in = InspectFile(picked, host);
  if (in.kind == FileKind::Import) {
    RunImport({picked, box.Dir(), in.header}, host);
    VerifyChain({picked, box.Dir(), in.header}, host);
  }
  if (box.EntriesOutside() != 0 || box.Entries() > size_t(pieces) + 1) abort();
}

// Counts the warnings of a run.
class CountingHost : public NullHost {
 public:
  void Message(const std::string&, const std::string& caption) override { warnings += caption == kCaptionWarning; }
  int warnings = 0;
};

// The pieces of an export of source written into dir, in chain order.
inline std::vector<std::string> ExportInto(const std::string& dir, const std::string& source, uint64_t kb) {
  {
    FILE* f = std::fopen((dir + "src.bin").c_str(), "wb");
    if (!source.empty()) std::fwrite(source.data(), 1, source.size(), f);
    std::fclose(f);
  }
  NullHost host;
  ExportSettings s;
  s.sourcePath = dir + "src.bin";
  s.directory = dir;
  s.targetName = "src.bin";
  s.exportName = "E.txt";
  s.limit = kb * 1024;
  std::vector<std::string> pieces;
  if (!RunExport(s, host)) return pieces;
  std::remove((dir + "src.bin").c_str());
  for (int i = 1;; ++i) {
    FILE* f = std::fopen((dir + "E" + std::to_string(i) + ".txt").c_str(), "rb");
    if (!f) break;
    std::string p;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) p.append(buf, n);
    std::fclose(f);
    pieces.push_back(std::move(p));
  }
  return pieces;
}

inline size_t BodyStart(const std::string& piece) {
  const PieceHeader r = DecodeRecord(piece.data() + 8);
  return 8 + size_t(r.headerLength);
}

inline bool InAlphabet(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ';
}

// Whether a token of an encoder-made chain ends at offset of piece's body.
inline bool TokenEndsAt(const std::vector<std::string>& pieces, size_t piece, size_t offset) {
  bool defined[256] = {};
  for (size_t k = 0; k <= piece; ++k) {
    const std::string& p = pieces[k];
    size_t i = BodyStart(p);
    const size_t end = k == piece ? i + offset : p.size();
    while (i < end) {
      const unsigned char c = static_cast<unsigned char>(p[i]);
      i += (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') ? 2 : defined[c] ? 1 : 3;
      defined[c] = true;
    }
    if (k == piece) return i == end;
  }
  return false;
}

// The input: one byte for the size (1 or 2 KB), one for the kind of damage,
// two 16-bit numbers for where and what, and the rest stretched into a source
// of a few kilobytes. The damaged chain is imported and verified: a run that
// succeeds must give the source back, unless the damage is one no reader can
// see (an alphabet character for another, the last non-empty piece cut
// between tokens) or the damaged chain, line ends aside, is exactly the
// export of the file it gave. A failure must warn and keep the older target.
inline void FuzzDamage(const uint8_t* data, size_t size) {
  if (size < 6) return;
  const uint64_t kb = 1 + data[0] % 2;
  const int kind = data[1] % 10;
  const unsigned where = unsigned(data[2]) | unsigned(data[3]) << 8;
  const unsigned what = unsigned(data[4]) | unsigned(data[5]) << 8;
  std::string source(reinterpret_cast<const char*>(data + 6), size - 6);
  if (source.empty()) source = "0";
  // Stretched with a twist each round, so that the code table still follows the input.
  const size_t seedLength = source.size();
  for (size_t i = 0; source.size() < 1500 + what % 2048; ++i)
    source += char(source[i % seedLength] + char(i / seedLength));

  Sandbox box;
  const std::vector<std::string> pieces = ExportInto(box.Dir(), source, kb);
  if (pieces.size() < 2) return;  // a source of one repeated byte fits one piece
  const size_t n = pieces.size();
  const auto name = [](size_t i) { return "E" + std::to_string(i + 1) + ".txt"; };
  size_t lastNonEmpty = 0;
  for (size_t i = 0; i < n; ++i)
    if (BodyStart(pieces[i]) < pieces[i].size()) lastNonEmpty = i;

  const size_t k = where % n;
  std::string piece = pieces[k];
  bool undetectable = false, mustBeExact = false;
  size_t picked = what % n;
  switch (kind) {
    case 0: {  // line ends in every body
      const size_t width = 1 + what % 100;
      for (size_t i = 0; i < n; ++i) {
        const size_t start = BodyStart(pieces[i]);
        std::string w = pieces[i].substr(0, start);
        for (size_t at = start; at < pieces[i].size(); at += width)
          w += pieces[i].substr(at, width) + (where & 1 ? "\r\n" : "\n");
        box.Write(name(i), w);
      }
      mustBeExact = true;
      break;
    }
    case 1: {  // cut
      const size_t cut = what % piece.size();
      const size_t start = BodyStart(piece);
      undetectable = k == lastNonEmpty && cut >= start && TokenEndsAt(pieces, k, cut - start);
      box.Write(name(k), piece.substr(0, cut));
      break;
    }
    case 2:  // missing
      std::remove((box.Dir() + name(k)).c_str());
      if (picked == k) picked = (k + 1) % n;
      break;
    case 3:  // swapped
    case 4: {  // duplicated
      const size_t j = (k + 1 + what % (n - 1)) % n;
      box.Write(name(j), pieces[k]);
      if (kind == 3) box.Write(name(k), pieces[j]);
      break;
    }
    case 5: {  // a byte replaced
      const size_t pos = what % piece.size();
      const unsigned char before = static_cast<unsigned char>(piece[pos]);
      const unsigned char after = static_cast<unsigned char>(where >> 8) == before ? before ^ 1 : static_cast<unsigned char>(where >> 8);
      undetectable = pos >= BodyStart(piece) && InAlphabet(before) && InAlphabet(after);
      piece[pos] = char(after);
      box.Write(name(k), piece);
      break;
    }
    case 6: {  // a byte inserted
      const size_t pos = what % (piece.size() + 1);
      const char c = char(where >> 8);
      mustBeExact = pos >= BodyStart(piece) && (c == '\r' || c == '\n');
      piece.insert(pos, 1, c);
      box.Write(name(k), piece);
      break;
    }
    case 7: {  // a stretch deleted
      const size_t pos = what % piece.size();
      piece.erase(pos, 1 + (where >> 8) % 16);
      box.Write(name(k), piece);
      break;
    }
    case 8: {  // one header word
      const PieceHeader r = DecodeRecord(piece.data() + 8);
      int16_t words[7] = {r.headerLength, r.pieceCount, r.pieceNumber, r.targetNameLength,
                          r.firstNameLength, r.nextNameLength, r.reserved};
      const int field = (where >> 8) % 7;
      words[field] = int16_t(words[field] + int16_t(what));
      mustBeExact = field == 6 || int16_t(what) == 0;
      PieceHeader e = r;
      e.headerLength = words[0];
      e.pieceCount = words[1];
      e.pieceNumber = words[2];
      e.targetNameLength = words[3];
      e.firstNameLength = words[4];
      e.nextNameLength = words[5];
      e.reserved = words[6];
      piece.replace(8, kRecordChars, EncodeRecord(e));
      box.Write(name(k), piece);
      break;
    }
    default: {  // a piece of another export under the same name
      std::string edited = source;
      edited[what % edited.size()] ^= char(1 + (where >> 8));
      Sandbox other;
      const std::vector<std::string> foreign = ExportInto(other.Dir(), edited, kb);
      if (k < foreign.size()) box.Write(name(k), foreign[k]);
      break;
    }
  }

  static const char kOlder[] = "older target";
  box.Write("src.bin", reinterpret_cast<const uint8_t*>(kOlder), sizeof kOlder - 1);
  const std::string pickedPath = box.Dir() + name(picked);
  CountingHost host;
  Inspection in = InspectFile(pickedPath, host);
  if (in.kind != FileKind::Import) {
    if (box.Read("src.bin") != kOlder) abort();
    return;
  }
  const bool imported = RunImport({pickedPath, box.Dir(), in.header}, host);
  const std::string got = box.Read("src.bin");
  CountingHost verifyHost;
  const ImportResult verified = VerifyChain({pickedPath, box.Dir(), in.header}, verifyHost);
  if (verified.success != imported) abort();
  if (box.EntriesOutside() != 0) abort();
  if (!imported) {
    if (host.warnings == 0 || verifyHost.warnings == 0 || got != kOlder) abort();
    if (mustBeExact) abort();
    return;
  }
  if (got == source || undetectable) return;
  if (mustBeExact) abort();
  // Another file: only when the damaged chain is exactly that file's export.
  for (uint64_t size : {kb, uint64_t(1), uint64_t(2), uint64_t(3)}) {
    Sandbox again;
    const std::vector<std::string> remade = ExportInto(again.Dir(), got, size);
    bool same = remade.size() == n;
    for (size_t i = 0; i < n && same; ++i) {
      std::string p = box.Read(name(i));
      p.erase(std::remove_if(p.begin(), p.end(), [](char c) { return c == '\r' || c == '\n'; }), p.end());
      same = p == remade[i];
    }
    if (same) return;
  }
  abort();
}

}  // namespace brivox::fuzz
